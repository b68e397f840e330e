#pragma once

#include "tile.h"

#include <map>
#include <vector>

/// The arithmetic of the wall, apart from any graphics item: the kind of every
/// stack around the table for a wall state, and where its live and dead ends
/// lie. Every stack index wraps into the wall, whatever the server sends.
namespace WallLayout {

/// Stack kinds (the wall's tile item kinds).
enum StackKind { Empty = 8, One = 5, Two = 6, Three = 7, Shown = 9 };

/// How the tiles of a ruleset lie: 0 dead wall with dora indicators (riichi),
/// 1 dead wall with loose tiles on top (classic), 2 no dead wall (international).
int fillModeForRuleset(int ruleset);

/// `i` wrapped into 0..n-1 (n > 0), also for negative values.
int wrap(long long i, int n);

/// The wall state as the server reports it.
struct State
{
    int liveTiles = 0;
    int deadWallTiles = 0;
    int deadWallPos = 0;
    int deadWallDealt = 0;
    tile_vector doraTiles;
};

/// The wall for one state: a kind per stack, the dora tiles shown on their
/// stacks, and the global stack indexes of the live end (where the next tile
/// is drawn) and of the dead end.
struct Fill
{
    std::vector<int> kinds;
    std::map<int, tile> shown;
    int liveEnd = 0;
    int deadEnd = 0;
};

/// Lays out 4 x stacksPerSide stacks (at least one a side) in fill mode `mode`.
Fill fill(int mode, int stacksPerSide, const State& state);

/// A stack one tile higher: 8 -> 5 -> 6 -> 7; 7 and 9 stay.
int addTile(int kind);

/// The side (0..3) and the stack on it of a global stack index, for a wall
/// turned by `rotation` sides.
struct End
{
    int side = 0;
    int stack = 0;
};
End endOf(int globalStack, int stacksPerSide, int rotation);

/// The global index of the first stack drawn on `side`.
int firstStackOf(int side, int stacksPerSide, int rotation);

} // namespace WallLayout
