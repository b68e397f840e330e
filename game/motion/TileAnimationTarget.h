#pragma once

#include "TileGeometry.h"
#include "tile.h"

#include <vector>

/// A view that receives tiles from a move (a hand, a pond, the melds). The
/// move asks where the arriving tiles will lie, and adds them to the view
/// only when it ends. A view that plays both roles derives from both
/// interfaces; the two sets of overrides are independent.
class TileAnimationTarget
{
public:
    virtual ~TileAnimationTarget() = default;

    /// Where the given face-up tiles will lie, one entry per tile.
    virtual std::vector<TileGeometry> geometryFor(const std::vector<tile>& tiles)
    {
        return geometryFor(int(tiles.size()));
    }
    /// Where `count` concealed tiles will lie, one entry per tile.
    virtual std::vector<TileGeometry> geometryFor(int count) = 0;
    /// Adds the given face-up tiles to the view.
    virtual void transfer(const std::vector<tile>& tiles) { transfer(int(tiles.size())); }
    /// Adds `count` concealed tiles to the view.
    virtual void transfer(int count) = 0;
};
