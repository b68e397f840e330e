#pragma once

#include "tile.h"

#include <QMetaType>

#include <cstdint>
#include <iosfwd>
#include <vector>

namespace game_protocol {
namespace meld_type {
/// Meld type codes; also used as bit values in claim offers.
enum enum_t : std::int32_t {
    CHOW = 1,
    PONG = 2,
    PONG_TO_KONG = 4, ///< adding the fourth tile to a declared pong
    KONG = 8,
    MAHJONG = 16,
    PAIR = 32,
    RIICHI = 128, ///< only in offers
};
}
namespace meld_visibility {
enum enum_t : std::int32_t { VISIBILITY_0 = 0, VISIBILITY_1 = 1, VISIBILITY_2 = 2 };
}
}

/// A meld type as a value of its own, as carried by someoneDeclaredMeld.
using meld = game_protocol::meld_type::enum_t;

/// A declared meld.
struct meld_tuple
{
    game_protocol::meld_type::enum_t type = game_protocol::meld_type::CHOW;
    game_protocol::meld_visibility::enum_t visibility = game_protocol::meld_visibility::VISIBILITY_0;
    tile meld_tile;
    std::int32_t extra = -1;
    tile extra_tile; ///< 0xFF unless the server names one

    friend bool operator==(const meld_tuple&, const meld_tuple&) = default;
};
using meld_tuple_vector = std::vector<meld_tuple>;

/// A claim the server offers the own player.
struct meld_offer
{
    game_protocol::meld_type::enum_t type = game_protocol::meld_type::CHOW;
    tile meld_tile;

    friend bool operator==(const meld_offer&, const meld_offer&) = default;
};
using meld_offer_vector = std::vector<meld_offer>;

/// "CHOW", "PONG", "PONG TO KONG", "KONG", "MAHJONG", "PAIR"; "UNKNOWN" otherwise (riichi included).
const char* meldTypeName(std::int32_t code);

/// "Meld<KONG EAST WIND concealed:1>"
std::ostream& operator<<(std::ostream& os, const meld_tuple& m);
/// "Melds<" the melds separated by "," ">"
std::ostream& operator<<(std::ostream& os, const meld_tuple_vector& melds);

Q_DECLARE_METATYPE(meld)
Q_DECLARE_METATYPE(meld_tuple)
Q_DECLARE_METATYPE(meld_tuple_vector)
Q_DECLARE_METATYPE(meld_offer)
Q_DECLARE_METATYPE(meld_offer_vector)
