#pragma once

// Record builders for the game tests: tables, players and the other server
// records, filled the way the server fills them.

#include "PlayerData.h"
#include "TableInfo.h"
#include "TableState.h"
#include "TimeSpan.h"
#include "WallState.h"
#include "meld.h"

#include <vector>

namespace fixtures {

constexpr qint32 tableId = 501;
constexpr qint32 ownId = 11;

/// A regular table of four seats with the ruleset; game type 2 (full game)
/// unless given.
TableInfo table(int ruleset, int gameType = 2, int capacity = 4);

PlayerData player(qint32 id, int wind = 0, bool ready = false);

/// A claim meld as the server's claim packets build it (extra -1, extra tile 0xFF).
meld_tuple claimMeld(game_protocol::meld_type::enum_t type, tile t, int visibility = 0);

TableState tableState(qint32 first = 0, qint32 discardingPlayer = -1, qint32 riichiSticks = 0,
                      qint32 counterSticks = 0);
WallState wallState(qint32 deadWallPosition, const tile_vector& dora, qint32 live = 0, qint32 dead = 0,
                    qint32 dealt = 0);

/// A span that starts now and lasts the given milliseconds.
TimeSpan span(int ms = 15000);

/// Tile codes by suit and rank, for readable test data.
inline tile bam(int rank) { return tile(std::uint8_t(rank - 1)); }
inline tile man(int rank) { return tile(std::uint8_t(8 + rank)); }
inline tile pin(int rank) { return tile(std::uint8_t(17 + rank)); }
inline tile windTile(int wind) { return tile(std::uint8_t(27 + wind)); }
inline tile dragon(int n) { return tile(std::uint8_t(31 + n)); }
inline tile flower(int n) { return tile(std::uint8_t(33 + n)); }

}
