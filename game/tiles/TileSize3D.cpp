#include "TileSize3D.h"

namespace {
qint32 scaledField(qint32 v, double f)
{
    return v == -1 ? -1 : qint32(v * f);
}
}

TileSize3D TileSize3D::scaled(double f) const
{
    return {scaledField(width, f), scaledField(height, f), scaledField(depth, f)};
}

TileSize3D TileSize3D::resized(qint32 w, qint32 h) const
{
    // A size without a height has nothing to keep the depth proportional to.
    const qint32 d = (depth == -1 || height <= 0) ? depth : depth * h / height;
    return {w, h, d};
}
