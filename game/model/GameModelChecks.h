#pragma once

#include "tile.h"

#include <QString>

class PlayerData;

// Checks the game model runs on server data before it changes anything: an
// event that fails one is logged and dropped whole.

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
/// concealed tile stays: it stands for an indicator not turned up). Each tile
/// taken out is logged as dropped from the event.
tile_vector placeableDora(qint32 tableId, const char* event, const tile_vector& dora);
/// Empty when the record can be placed at a table: a wind 0 to 3, known tile
/// codes in its melds, bonus tiles and discards, a riichi index inside its
/// discards or just past them (its riichi discard was claimed), and no
/// negative tile count.
QString checkPlayerRecord(const PlayerData& player);

/// The tiles' debug texts separated by ",".
QString tilesText(const tile_vector& tiles);

/// Logs that an event for the table was dropped and why.
void dropEvent(qint32 tableId, const char* event, const QString& why);
