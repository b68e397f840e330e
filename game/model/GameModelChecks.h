#pragma once

#include "meld.h"
#include "tile.h"

#include <QString>

#include <algorithm>

class DropLog;
class PlayerData;
struct player_score;

// Checks the game model runs on server data before it changes anything: an
// event that fails one is logged and dropped whole.

/// Logs in the table's log of drops that an event (or a part of it) was dropped and why.
void dropEvent(DropLog& drops, const char* event, const QString& why);

/// What the rules let a table hold: its seats, a player's concealed tiles
/// (a full hand of 14 and a kong's worth), bonus tiles and declared melds.
constexpr int maxSeats = 4;
constexpr int maxHandTiles = 14 + 4;
constexpr int maxBonusTiles = 8;
constexpr int maxMelds = 4;
/// A player's meld records besides its bonus tiles: seven pairs and the
/// winning declaration at the most.
constexpr int maxMeldRecords = 7 + 1;
/// The record type of a bonus tile laid aside, among a player's melds.
constexpr auto bonusMeldType = static_cast<game_protocol::meld_type::enum_t>(64);
/// The dora indicators of a hand: the first and one for each kong.
constexpr int maxDora = 1 + maxMelds;
/// The tiles of one player's hand on the score board: the concealed tiles
/// with a kong's worth, and the bonus tiles.
constexpr int maxScoreTiles = maxHandTiles + maxBonusTiles;

/// A tile the server may show face up: codes 0 to 41.
inline bool isKnownTile(tile t)
{
    return t.code() <= tile::lastCode;
}

/// Empty when every tile is a known face; otherwise why not.
QString checkTiles(const tile_vector& tiles);
/// A meld tile the model can place: a known face, or the concealed tile in a
/// concealed meld of another player (whose face the client may not see).
bool isPlaceableMeldTile(tile t, int visibility);
/// The dora indicators of a wall without codes the client does not know (the
/// concealed tile stays: it stands for an indicator not turned up), at most
/// maxDora. What is taken out is logged as dropped from the event, in one
/// line for the unknown codes and one for the tiles past maxDora.
tile_vector placeableDora(DropLog& drops, const char* event, const tile_vector& dora);
/// The player's declared chows, pongs and kongs.
int meldCount(const PlayerData& player);
/// The player's meld records of any type, bonus tiles aside.
int meldRecordCount(const PlayerData& player);
/// Empty when the player may declare one more meld of this type; otherwise why not.
QString checkMeldRoom(const PlayerData& player, game_protocol::meld_type::enum_t type);
/// The bonus tiles the table shows for the player: those laid aside during
/// the hand and those of the snapshot that none of these stands for.
int bonusTileCount(const PlayerData& player);

/// Empty when the record can be placed at a table: a wind 0 to 3, known tile
/// codes in its melds, bonus tiles and discards, a riichi index inside its
/// discards or just past them (its riichi discard was claimed), a tile count
/// from 0 to maxHandTiles, and no more concealed tiles, melds, bonus tiles or
/// discards than a hand can hold (a pond of at most `maxPond` tiles).
QString checkPlayerRecord(const PlayerData& player, int maxPond);

/// A player's score of a hand held to what a hand can hold: each list of
/// points, doubles and limit hands to maxScoreTiles items, the highlighted
/// groups to maxScoreTiles tiles (and as many groups). What is cut is
/// logged, one line for the record.
player_score handScore(DropLog& drops, const player_score& score);

/// The rows of a round's board: the first row of each player, as many as a
/// round has seats. What is left out is logged once for the event.
template <typename Rows>
Rows seatRows(DropLog& drops, const char* event, const Rows& rows)
{
    Rows kept;
    for (const auto& row : rows) {
        const bool seen = std::any_of(kept.begin(), kept.end(), [&](const auto& k) { return k.pid == row.pid; });
        if (!seen && kept.size() < std::size_t(maxSeats))
            kept.push_back(row);
    }
    if (kept.size() != rows.size())
        dropEvent(drops, event, QStringLiteral("%1 of its %2 rows repeat a player or pass the %3 seats")
                                      .arg(rows.size() - kept.size())
                                      .arg(rows.size())
                                      .arg(maxSeats));
    return kept;
}

/// The tiles' debug texts separated by ",".
QString tilesText(const tile_vector& tiles);

