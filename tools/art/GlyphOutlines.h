#pragma once

#include <QJsonArray>
#include <QJsonObject>

/// Turns texts into SVG path data through a font, so the art needs no font
/// when it is rendered.
class GlyphOutlines
{
public:
    /// Each request holds "key", "text", "family", "weight" (CSS weight) and
    /// "pixelSize"; the answer maps each key to {"d", "x", "y", "w", "h",
    /// "advance"} in pixels, the path's origin at the text's baseline start.
    static QJsonObject outline(const QJsonArray& requests);
};
