#pragma once

#include <QPointF>

/// Where a tile lies on the table and how it is drawn there: the scene
/// position of its top-left corner, its picture kind (TileImages::Kind) and
/// the seat orientation it is seen from (0 bottom, 1 right, 2 top, 3 left).
/// Views hand these to the tile animations.
struct TileGeometry
{
    QPointF pos;
    int kind = 0;
    int orientation = 0;
};
