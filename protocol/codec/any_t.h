#pragma once

#include "PlayerData.h"
#include "ProtocolValues.h"
#include "ScoreRecords.h"
#include "game_data_packet.h"
#include "hand_end_packet.h"
#include "meld.h"
#include "start_hand_packet.h"
#include "tile.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "wire_codec.h"

class any_t;
using any_list = std::vector<any_t>;

/// The shape of an error: a code and a list of typed parameters.
struct any_error
{
    static constexpr std::size_t minWireSize = 5;

    std::uint8_t code = 0;
    any_list params;

    static any_error read(message_reader& r, game_wire::decode_context& ctx);

    friend bool operator==(const any_error& a, const any_error& b);
};

/// Value shapes of the typed-value union. Tags with the same fields share a
/// shape; the tag keeps them apart.
namespace any_shape {
using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;
using empty = std::monostate;
using text = std::string;
using span = game_wire::time_span;
using u8_u32 = std::tuple<u8, u32>;
using u8_u16 = std::tuple<u8, u16>;
using turn = std::tuple<std::vector<u32>, span>;
using three_u32 = std::tuple<u32, u32, u32>;
using highscore_row = std::tuple<u32, text, u64>;
using error_record = std::tuple<u64, u64, any_error>;
using ranking_row = std::tuple<u32, text, u32, u32, u8>;
using tiles_u8 = std::tuple<tile_vector, u8>;
using tile_u8 = std::tuple<tile, u8>;
using offers_span = std::tuple<meld_offer_vector, span>;
using u32_span = std::tuple<u32, span>;
using u8_u8_u32 = std::tuple<u8, u8, u32>;
using tiles_u32 = std::tuple<tile_vector, u32>;
using u32_u8_u8_u8 = std::tuple<u32, u8, u8, u8>;
using tile_u32 = std::tuple<tile, u32>;
using tiles_u8_u8 = std::tuple<tile_vector, u8, u8>;
using u32_tile = std::tuple<u32, tile>;
using tile_u8_u32 = std::tuple<tile, u8, u32>;
using u32_u8 = std::tuple<u32, u8>;
using round_end = std::tuple<u8, u32, std::vector<three_u32>>;
using rankings = std::vector<ranking_row>;
using register_user = std::tuple<u32, text, text, text, text>;
using highscores = std::vector<highscore_row>;
using four_texts = std::tuple<text, text, text, text>;
using u8_text = std::tuple<u8, text>;
}

// The one table of typed-value tags: tags 1 to 21 are records that appear
// inside messages, 22 to 78 the game, tournament and service classes with the
// same number. The list generates the tag-to-type map and the read switch.
#define PARLOR_ANY_T_TAGS(X)                                                                                          \
    X(1, any_shape::text)                                                                                             \
    X(2, any_shape::u32)                                                                                              \
    X(3, any_shape::u64)                                                                                              \
    X(4, any_shape::u64)                                                                                              \
    X(5, any_error)                                                                                                   \
    X(6, any_shape::span)                                                                                             \
    X(7, any_shape::u8)                                                                                               \
    X(8, any_shape::u8_u32)                                                                                           \
    X(9, any_shape::u8_u16)                                                                                           \
    X(10, any_shape::u8_u16)                                                                                          \
    X(11, meld_tuple)                                                                                                 \
    X(12, PlayerData)                                                                                                 \
    X(13, any_shape::turn)                                                                                            \
    X(14, meld_offer)                                                                                                 \
    X(15, HighlightedTiles)                                                                                           \
    X(16, player_score)                                                                                               \
    X(17, any_shape::three_u32)                                                                                       \
    X(18, any_shape::highscore_row)                                                                                   \
    X(19, any_shape::error_record)                                                                                    \
    X(20, any_shape::ranking_row)                                                                                     \
    X(21, any_shape::three_u32)                                                                                       \
    X(22, any_shape::text)                                                                                            \
    X(23, any_shape::empty)                                                                                           \
    X(24, any_shape::tiles_u8)                                                                                        \
    X(25, any_shape::tile_u8)                                                                                         \
    X(26, any_shape::offers_span)                                                                                     \
    X(27, any_shape::u32_span)                                                                                        \
    X(28, any_shape::u8_u8_u32)                                                                                       \
    X(29, any_shape::tiles_u32)                                                                                       \
    X(30, any_shape::u32_u8_u8_u8)                                                                                    \
    X(31, start_hand_packet)                                                                                          \
    X(32, hand_end_packet)                                                                                            \
    X(33, any_shape::tile_u32)                                                                                        \
    X(34, any_shape::offers_span)                                                                                     \
    X(35, any_shape::offers_span)                                                                                     \
    X(36, any_shape::empty)                                                                                           \
    X(37, game_data_packet)                                                                                           \
    X(38, any_shape::tiles_u8_u8)                                                                                     \
    X(39, any_shape::u8)                                                                                              \
    X(40, any_shape::u8)                                                                                              \
    X(41, any_shape::span)                                                                                            \
    X(42, any_shape::tile_u32)                                                                                        \
    X(43, any_shape::tile_u32)                                                                                        \
    X(44, any_shape::tile_u32)                                                                                        \
    X(45, any_shape::u32)                                                                                             \
    X(46, any_shape::u32_tile)                                                                                        \
    X(47, any_shape::tile_u32)                                                                                        \
    X(48, any_shape::tile_u32)                                                                                        \
    X(49, any_shape::tile_u8_u32)                                                                                     \
    X(50, any_shape::tile_u32)                                                                                        \
    X(51, any_shape::tile_u32)                                                                                        \
    X(52, any_shape::u32_u8)                                                                                          \
    X(53, any_shape::empty)                                                                                           \
    X(54, any_shape::u32)                                                                                             \
    X(55, any_shape::empty)                                                                                           \
    X(56, any_shape::u8)                                                                                              \
    X(57, any_shape::empty)                                                                                           \
    X(58, any_shape::empty)                                                                                           \
    X(59, any_shape::empty)                                                                                           \
    X(60, any_shape::round_end)                                                                                       \
    X(61, any_shape::rankings)                                                                                        \
    X(62, any_shape::u8)                                                                                              \
    X(63, any_shape::empty)                                                                                           \
    X(64, any_shape::text)                                                                                            \
    X(65, any_shape::text)                                                                                            \
    X(66, any_shape::empty)                                                                                           \
    X(67, any_shape::empty)                                                                                           \
    X(68, any_shape::empty)                                                                                           \
    X(69, any_shape::u8_u32)                                                                                          \
    X(70, any_shape::register_user)                                                                                   \
    X(71, any_shape::empty)                                                                                           \
    X(72, any_error)                                                                                                  \
    X(73, any_shape::u64)                                                                                             \
    X(74, any_shape::highscores)                                                                                      \
    X(75, any_shape::u8)                                                                                              \
    X(76, any_shape::u64)                                                                                             \
    X(77, any_shape::four_texts)                                                                                      \
    X(78, any_shape::u8_text)

/// The value type of a tag.
template<int Tag>
struct any_value;
#define PARLOR_ANY_T_MAP(tag, type)                                                                                   \
    template<>                                                                                                        \
    struct any_value<tag>                                                                                             \
    {                                                                                                                 \
        using type_t = type;                                                                                          \
    };
PARLOR_ANY_T_TAGS(PARLOR_ANY_T_MAP)
#undef PARLOR_ANY_T_MAP
template<int Tag>
using any_value_t = typename any_value<Tag>::type_t;

/// The typed-value union of the game and service protocol: empty (tag -1) or
/// one value of the type that its tag names. A plain value: copying copies
/// the value, assigning a value of the tag already held assigns in place.
class any_t
{
public:
    static constexpr std::int32_t emptyTag = -1;
    static constexpr int firstTag = 1;
    static constexpr int lastTag = 78;
    static constexpr std::size_t minWireSize = 1;

    using storage = std::variant<any_shape::empty, any_shape::text, any_shape::u8, any_shape::u32, any_shape::u64,
                                 any_shape::span, any_error, any_shape::u8_u32, any_shape::u8_u16, meld_tuple,
                                 PlayerData, any_shape::turn, meld_offer, HighlightedTiles, player_score,
                                 any_shape::three_u32, any_shape::highscore_row, any_shape::error_record,
                                 any_shape::ranking_row, any_shape::tiles_u8, any_shape::tile_u8,
                                 any_shape::offers_span, any_shape::u32_span, any_shape::u8_u8_u32,
                                 any_shape::tiles_u32, any_shape::u32_u8_u8_u8, start_hand_packet, hand_end_packet,
                                 any_shape::tile_u32, game_data_packet, any_shape::tiles_u8_u8, any_shape::u32_tile,
                                 any_shape::tile_u8_u32, any_shape::u32_u8, any_shape::round_end,
                                 any_shape::rankings, any_shape::register_user, any_shape::highscores,
                                 any_shape::four_texts, any_shape::u8_text>;

    any_t() = default;

    std::int32_t tag() const { return m_tag; }
    bool empty() const { return m_tag == emptyTag; }

    /// Stores a value under a tag: in place when the tag is already held,
    /// else the old value goes and the tag changes.
    template<int Tag>
    void set(any_value_t<Tag> value)
    {
        using T = any_value_t<Tag>;
        if (m_tag == Tag) {
            std::get<T>(m_value) = std::move(value);
        } else {
            m_value.template emplace<T>(std::move(value));
            m_tag = Tag;
        }
    }

    /// The value of a tag; throws std::logic_error when another tag is held.
    template<int Tag>
    const any_value_t<Tag>& get() const
    {
        if (m_tag != Tag)
            throw std::logic_error("any_t holds tag " + std::to_string(m_tag) + ", not " + std::to_string(Tag));
        return std::get<any_value_t<Tag>>(m_value);
    }

    /// The value of a tag, or nullptr when another tag is held.
    template<int Tag>
    const any_value_t<Tag>* get_if() const
    {
        return m_tag == Tag ? &std::get<any_value_t<Tag>>(m_value) : nullptr;
    }

    void clear()
    {
        m_value = any_shape::empty{};
        m_tag = emptyTag;
    }

    /// Reads a u8 tag and the value of that tag. A tag of 0 or above 78
    /// throws std::runtime_error "unknown class-id for any_t"; a message that
    /// nests values too deep or holds too many throws server_error.
    static any_t read(message_reader& r, game_wire::decode_context& ctx);
    /// Reads the value of a tag into this union (in place when the tag is held).
    void readValue(int tag, message_reader& r, game_wire::decode_context& ctx);
    /// A u32 count, then that many unions.
    static any_list readList(message_reader& r, game_wire::decode_context& ctx);

    friend bool operator==(const any_t& a, const any_t& b) { return a.m_tag == b.m_tag && a.m_value == b.m_value; }

private:
    std::int32_t m_tag = emptyTag;
    storage m_value;
};

inline bool operator==(const any_error& a, const any_error& b)
{
    return a.code == b.code && a.params == b.params;
}
