#pragma once

#include "TileGeometry.h"
#include "tile.h"

#include <vector>

/// A view that gives up tiles to a move (a hand, a pond, the wall). The
/// move asks where the leaving tiles are now, then takes them away at once;
/// only the moving pictures are seen until the move ends.
class TileAnimationSource
{
public:
    virtual ~TileAnimationSource() = default;

    /// Where the given face-up tiles lie now, one entry per tile.
    virtual std::vector<TileGeometry> geometryFor(const std::vector<tile>& tiles)
    {
        return geometryFor(int(tiles.size()));
    }
    /// Where `count` concealed tiles lie now, one entry per tile.
    virtual std::vector<TileGeometry> geometryFor(int count) = 0;
    /// Removes the given face-up tiles from the view.
    virtual void transfer(const std::vector<tile>& tiles) { transfer(int(tiles.size())); }
    /// Removes `count` concealed tiles from the view.
    virtual void transfer(int count) = 0;
};
