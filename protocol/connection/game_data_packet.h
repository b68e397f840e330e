#pragma once

#include "PlayerData.h"
#include "ProtocolValues.h"
#include "TableState.h"
#include "tile.h"

#include <QtGlobal>

#include <cstdint>
#include <vector>

#include "wire_codec.h"

/// Game packet 37, the whole state of a table, sent when the client starts
/// watching a table or sits down at one that is already playing.
struct game_data_packet
{
    static constexpr std::size_t minWireSize = 8 + 4 + 1 + 4 + 16 + 8 + 4 + 8;

    qint64 handId = 0;
    /// Players in wire order; names are left empty for the caller to fill.
    std::vector<PlayerData> players;
    /// The game state byte as sent (converted by the handler).
    std::uint8_t gameState = 0;
    /// The players who may act now.
    std::vector<qint32> currentTurn;
    game_wire::time_span timeToAct;
    qint32 liveTiles = 0;
    qint32 deadWallTiles = 0;
    qint32 deadWallPosition = 0;
    qint32 deadWallTilesDealt = 0;
    tile_vector doraTiles;
    TableState tableState;

    static game_data_packet read(message_reader& r, game_wire::decode_context& ctx);

    friend bool operator==(const game_data_packet& a, const game_data_packet& b)
    {
        return a.handId == b.handId && a.players == b.players && a.gameState == b.gameState
               && a.currentTurn == b.currentTurn && a.timeToAct == b.timeToAct && a.liveTiles == b.liveTiles
               && a.deadWallTiles == b.deadWallTiles && a.deadWallPosition == b.deadWallPosition
               && a.deadWallTilesDealt == b.deadWallTilesDealt && a.doraTiles == b.doraTiles
               && a.tableState == b.tableState;
    }
};
