#pragma once

#include "ScoreRecords.h"
#include "tile.h"

#include <QtGlobal>

#include <cstdint>
#include <vector>

class message_reader;
namespace game_wire {
struct decode_context;
}

/// Game packet 32, the end of a hand: the scoring records (none when the hand
/// ended without a score), the end type and whether the game is over.
struct hand_end_packet
{
    static constexpr std::size_t minWireSize = 8 + 4 + 4 + 1 + 1 + 1;

    qint64 handId = 0;
    /// In wire order; names are left empty for the caller to fill.
    std::vector<player_score> scores;
    tile_vector tiles; ///< not used
    std::uint8_t endType = 0;
    bool endOfGame = false;
    std::uint8_t last = 0; ///< not used

    static hand_end_packet read(message_reader& r, game_wire::decode_context& ctx);

    friend bool operator==(const hand_end_packet&, const hand_end_packet&) = default;
};
