#pragma once

// The inside of a tile set, shared by the files that build, rescale and
// stream it.

#include "TileImages.h"

#include <mutex>

struct TileImages::Private
{
    double scale = 1.0;
    QImage elements[orientationCount][kindCount];
    QImage handImages[2];
    QImage faces[orientationCount][faceCount];
    QImage handFaces[faceCount];
    QImage highlights[orientationCount];
    TileSize3D sizes[orientationCount][kindCount];
    QRectF rects[orientationCount][kindCount];
    ShadowGeometry shadows[orientationCount][kindCount];

    /// The files of the back and face sheets that could not be drawn and gave
    /// way to the program's own; empty for a sheet drawn.
    QString refusedBack;
    QString refusedFace;

    /// The dimming overlay of the own standing tile, made on first use.
    mutable QImage overlay;
    mutable std::once_flag overlayOnce;

    /// rects from the pictures (offsets 0), keeping no offsets.
    void resetRects();
    /// shadows from rects and sizes.
    void computeShadows();
    /// Every picture in the format painting is fastest with.
    void premultiply();
    /// rects[Bottom][Hand] from the standing tile's picture.
    void setHandRect();

    /// Renders from the sheets (TileSheets.cpp).
    void renderBack(const QString& path);
    void renderFaces(const QString& path);
    void renderHighlights(const QString& path);
};

namespace TileSheets {
/// An upright orientation (Bottom, Top) shows the tile's long side up the screen.
inline bool isUpright(int orientation)
{
    return (orientation & 1) == 0;
}
/// The suffix of SVG element names for an orientation.
QString suffix(int orientation);
/// A picture that shows plainly that the sheet lacked it.
void drawPlaceholder(QImage& image, const QRectF& target, bool face);
}
