#pragma once

#include "Seating.h"
#include "TableState.h"
#include "round_score_vector.h"
#include "tile.h"

#include <QtGlobal>

#include <cstdint>

class message_reader;
namespace game_wire {
struct decode_context;
}

/// Game packet 31, the start of a hand: hand id, seating, the round's
/// standings, the dead wall position, the dora tiles, whether a new round
/// begins, and the table state.
struct start_hand_packet
{
    static constexpr std::size_t minWireSize = 8 + 16 + 4 + 1 + 4 + 1 + 8;

    qint64 handId = 0;
    Seating seating;
    round_score_vector roundScores;
    qint32 deadWallPosition = 0;
    tile_vector doraTiles;
    bool newRound = false;
    TableState tableState;

    static start_hand_packet read(message_reader& r, game_wire::decode_context& ctx);

    friend bool operator==(const start_hand_packet&, const start_hand_packet&) = default;
};
