#pragma once

#include <QPointF>

/// Where one tile lies on the table: what a view that gives or takes tiles
/// reports for each of them.
struct TileGeometry
{
    /// Scene coordinates of the tile's top-left corner.
    QPointF pos;
    /// The picture kind (a `TileImages::Kind`).
    int kind = 0;
    /// The seat orientation: 0 bottom, 1 right, 2 top, 3 left.
    int orientation = 0;

    friend bool operator==(const TileGeometry&, const TileGeometry&) = default;
};
