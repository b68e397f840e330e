#pragma once

#include "tile.h"

#include <QMetaType>
#include <QtGlobal>

#include <iosfwd>

/// The wall of a hand as the server reports it: where the dead wall starts,
/// the dora indicators, and how many tiles are left in the live and the dead
/// wall and how many were dealt from the dead wall.
struct WallState
{
    qint32 deadWallPosition = 0;
    tile_vector doraTiles;
    qint32 liveTiles = 0;
    qint32 deadWallTiles = 0;
    qint32 deadWallTilesDealt = 0;

    friend bool operator==(const WallState&, const WallState&) = default;
};

std::ostream& operator<<(std::ostream& out, const WallState& wall);

Q_DECLARE_METATYPE(WallState)
