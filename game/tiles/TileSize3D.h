#pragma once

#include <QtGlobal>

/// The pixel size of a tile picture seen in 3D: `height` is the extent of the
/// top surface on screen and `depth` the visible thickness below it, so the
/// picture is width x (height + depth). A field of -1 is not set and stays -1
/// through every operation.
struct TileSize3D
{
    qint32 width = -1;
    qint32 height = -1;
    qint32 depth = -1;

    constexpr TileSize3D() = default;
    constexpr TileSize3D(qint32 w, qint32 h, qint32 d)
        : width(w)
        , height(h)
        , depth(d)
    {
    }

    /// Every set field multiplied by f and truncated toward zero.
    TileSize3D scaled(double f) const;
    /// Width and height replaced; the depth keeps its proportion to the
    /// height (depth x h / height, integer division).
    TileSize3D resized(qint32 w, qint32 h) const;

    friend constexpr bool operator==(const TileSize3D& a, const TileSize3D& b)
    {
        return a.width == b.width && a.height == b.height && a.depth == b.depth;
    }
    friend constexpr bool operator!=(const TileSize3D& a, const TileSize3D& b) { return !(a == b); }
};
