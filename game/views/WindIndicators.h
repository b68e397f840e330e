#pragma once

#include <QPixmap>
#include <QSizeF>
#include <QTransform>

class QPainter;
class QSvgRenderer;

/// The process-wide renderer of "resources:/wind-indicators.svg" and the
/// cached pictures drawn from it: the seat wind markers and the prevalent
/// wind indicator. GUI thread only.
namespace WindIndicators {

/// The shared renderer (made on first use).
QSvgRenderer& renderer();
/// The largest bounds among "east", "blank" and "glow".
QSizeF maxSize();
/// "east", "south", "west", "north" for winds 0-3; empty otherwise.
QString windElement(int wind);
/// The pixmap-cache key of a picture: element, the double's bit pattern in
/// hexadecimal and the orientation.
QString cacheKey(const QString& elementId, double scale, int orientation);
/// An element rendered into a square of side ceil(62 x scale) through the
/// transform, centred; from QPixmapCache when already made.
QPixmap cachedPixmap(const QString& elementId, double scale, const QTransform& transform, int orientation);
/// Draws the prevalent wind indicator of a wind at a position and scale.
void drawPrevalent(QPainter* painter, const QPointF& pos, int wind, double scale);

} // namespace WindIndicators
