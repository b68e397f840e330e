#pragma once

#include <QJsonObject>
#include <QString>

class QImage;
class QPainter;
class QRectF;
class QSvgRenderer;

/// Executes the render jobs of make_art.py: whole SVG documents to PNG or JPEG,
/// sheets assembled from SVG elements at fixed rectangles, and the table
/// cloth's weave pattern.
class SheetRenderer
{
public:
    /// Runs one job; returns false (with a message on stderr) when it fails.
    static bool run(const QJsonObject& job);

    /// Renders an element fitted into target, clipped to it (the whole
    /// document when element is empty).
    static void renderElement(QPainter& p, QSvgRenderer& svg, const QString& element, const QRectF& target);
    /// Renders the part of the element between the fractions from and to of
    /// its height into target (the split render of the tile backs).
    static void renderElementPart(QPainter& p, QSvgRenderer& svg, const QString& element, const QRectF& target,
        double from, double to);

    static bool save(const QImage& image, const QString& path);
};
