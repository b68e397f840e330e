#pragma once

// Field-by-field decoding of the game and service protocol's composite
// values. Each decodable type has a game_wire::codec<T> with read() and the
// smallest number of bytes one value takes on the wire (minSize), which lets
// every list check its announced count against the bytes left before it
// allocates anything.

#include "PlayerData.h"
#include "ProtocolValues.h"
#include "TableState.h"
#include "message_reader.h"
#include "meld.h"
#include "server_error.h"
#include "tile.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace game_wire {

/// How deep typed values may nest inside each other (error parameters hold
/// lists of typed values, which may hold errors again).
constexpr int maxNestingDepth = 8;
/// How many typed values one message may hold in all.
constexpr std::size_t maxValuesPerMessage = 4096;

/// State shared by the reads of one message: nesting depth and the number of
/// typed values read so far.
struct decode_context
{
    int depth = 0;
    std::size_t values = 0;
};

template<class T, class Enable = void>
struct codec;

template<class T>
T read(message_reader& r, decode_context& ctx)
{
    return codec<T>::read(r, ctx);
}

template<class T>
T read(message_reader& r)
{
    decode_context ctx;
    return codec<T>::read(r, ctx);
}

template<class T>
struct codec<T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T>>>
{
    static constexpr std::size_t minSize = sizeof(T);
    static T read(message_reader& r, decode_context&)
    {
        if constexpr (sizeof(T) == 1)
            return r.get_u8();
        else if constexpr (sizeof(T) == 2)
            return r.get_u16();
        else if constexpr (sizeof(T) == 4)
            return r.get_u32();
        else
            return r.get_u64();
    }
};

template<>
struct codec<std::monostate>
{
    static constexpr std::size_t minSize = 0;
    static std::monostate read(message_reader&, decode_context&) { return {}; }
};

template<>
struct codec<std::string>
{
    static constexpr std::size_t minSize = 2;
    static std::string read(message_reader& r, decode_context&) { return r.get_string(); }
};

/// A tile byte; anything but 0-41 and 0xFF is refused.
template<>
struct codec<tile>
{
    static constexpr std::size_t minSize = 1;
    static tile read(message_reader& r, decode_context&) { return tileFromWire(r.get_u8()); }
};

/// Two u64 server times, start then end, as sent.
struct time_span
{
    std::int64_t start = 0;
    std::int64_t end = 0;

    /// The span as date-times.
    TimeSpan toTimeSpan() const { return timeSpanFromWire(wire::time_span{start, end}); }

    friend bool operator==(const time_span&, const time_span&) = default;
};

template<>
struct codec<time_span>
{
    static constexpr std::size_t minSize = 16;
    static time_span read(message_reader& r, decode_context&)
    {
        time_span span;
        span.start = r.get_i64();
        span.end = r.get_i64();
        return span;
    }
};

/// u8 type, u8 visibility, u8 tile, u32 extra, u8 extra tile.
template<>
struct codec<meld_tuple>
{
    static constexpr std::size_t minSize = 8;
    static meld_tuple read(message_reader& r, decode_context&)
    {
        wire::meld_record record;
        record.type = r.get_u8();
        record.visibility = r.get_u8();
        record.tile = r.get_u8();
        record.extra = r.get_i32();
        record.extraTile = r.get_u8();
        return meldTupleFromWire(record);
    }
};

/// u8 meld type, u8 tile.
template<>
struct codec<meld_offer>
{
    static constexpr std::size_t minSize = 2;
    static meld_offer read(message_reader& r, decode_context&)
    {
        const std::uint8_t type = r.get_u8();
        const std::uint8_t code = r.get_u8();
        return meld_offer{meldTypeFromWire(type), tileFromWire(code)};
    }
};

/// A u32 count, then that many values. The count is checked against the bytes
/// left before anything is reserved.
template<class T>
struct codec<std::vector<T>>
{
    static constexpr std::size_t minSize = 4;
    static std::vector<T> read(message_reader& r, decode_context& ctx)
    {
        constexpr std::size_t elementSize = codec<T>::minSize > 0 ? codec<T>::minSize : 1;
        const std::uint32_t count = r.checked_count(r.get_u32(), elementSize);
        std::vector<T> values;
        values.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i)
            values.push_back(codec<T>::read(r, ctx));
        return values;
    }
};

template<class A, class B>
struct codec<std::pair<A, B>>
{
    static constexpr std::size_t minSize = codec<A>::minSize + codec<B>::minSize;
    static std::pair<A, B> read(message_reader& r, decode_context& ctx)
    {
        A a = codec<A>::read(r, ctx);
        B b = codec<B>::read(r, ctx);
        return {std::move(a), std::move(b)};
    }
};

/// Fields one after the other, in order.
template<class... Ts>
struct codec<std::tuple<Ts...>>
{
    static constexpr std::size_t minSize = (std::size_t(0) + ... + codec<Ts>::minSize);
    static std::tuple<Ts...> read(message_reader& r, decode_context& ctx)
    {
        // Braced initialisation evaluates left to right, as the fields lie.
        return std::tuple<Ts...>{codec<Ts>::read(r, ctx)...};
    }
};

/// Records with a static read(message_reader&, decode_context&) and minWireSize.
template<class T>
struct codec<T, std::void_t<decltype(T::minWireSize)>>
{
    static constexpr std::size_t minSize = T::minWireSize;
    static T read(message_reader& r, decode_context& ctx) { return T::read(r, ctx); }
};

/// u8 highlight index, tile vector; the index may not exceed the tile count.
template<>
struct codec<HighlightedTiles>
{
    static constexpr std::size_t minSize = 5;
    static HighlightedTiles read(message_reader& r, decode_context& ctx);
};

/// The scoring record of a hand end (pid, three u32, point pairs, a total,
/// double pairs, a total, limit-hand pairs, a total, highlighted groups, the
/// score type byte, the settlement, the payment).
template<>
struct codec<player_score>
{
    static constexpr std::size_t minSize = 57;
    static player_score read(message_reader& r, decode_context& ctx);
};

/// The player record of a table snapshot: u32 pid, u8 tile count, melds,
/// bonus tiles, discards, the riichi discard index (signed 16-bit), u8 wind,
/// u32 round score, u32 wins, u8 ready. The name is left empty; the caller
/// looks it up.
template<>
struct codec<PlayerData>
{
    static constexpr std::size_t minSize = 29;
    static PlayerData read(message_reader& r, decode_context& ctx);
};

/// A round-score row: player id, round score, wins.
template<>
struct codec<round_score_row>
{
    static constexpr std::size_t minSize = 12;
    static round_score_row read(message_reader& r, decode_context& ctx);
};

/// The table-state group: u32, u8 wind, u8, u8 counter sticks, u8 riichi
/// sticks. The discarding player is left at -1.
template<>
struct codec<TableState>
{
    static constexpr std::size_t minSize = 8;
    static TableState read(message_reader& r, decode_context& ctx);
};

} // namespace game_wire
