#include "WallState.h"

#include <ostream>

std::ostream& operator<<(std::ostream& out, const WallState& wall)
{
    return out << "WallState<deadWallPos:" << wall.deadWallPosition << " dora:" << wall.doraTiles
               << " live:" << wall.liveTiles << " dead:" << wall.deadWallTiles
               << " deadDealt:" << wall.deadWallTilesDealt << ">";
}
