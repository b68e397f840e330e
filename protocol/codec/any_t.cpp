#include "any_t.h"

#include "wire_codec.h"

#include <stdexcept>

any_error any_error::read(message_reader& r, game_wire::decode_context& ctx)
{
    any_error error;
    error.code = r.get_u8();
    error.params = any_t::readList(r, ctx);
    return error;
}

any_list any_t::readList(message_reader& r, game_wire::decode_context& ctx)
{
    // Each union is at least its tag byte, so a count larger than the bytes
    // left is a lie and is refused before anything is allocated.
    const std::uint32_t count = r.checked_count(r.get_u32(), minWireSize);
    if (ctx.depth >= game_wire::maxNestingDepth)
        throw server_error("typed values nested deeper than " + std::to_string(game_wire::maxNestingDepth)
                           + " levels");
    if (count > game_wire::maxValuesPerMessage - ctx.values)
        throw server_error("message holds more than " + std::to_string(game_wire::maxValuesPerMessage)
                           + " typed values");
    ++ctx.depth;
    any_list list(count);
    for (any_t& value : list) {
        const int tag = r.get_u8();
        value.readValue(tag, r, ctx);
    }
    --ctx.depth;
    return list;
}

any_t any_t::read(message_reader& r, game_wire::decode_context& ctx)
{
    any_t value;
    const int tag = r.get_u8();
    value.readValue(tag, r, ctx);
    return value;
}

void any_t::readValue(int tag, message_reader& r, game_wire::decode_context& ctx)
{
    if (++ctx.values > game_wire::maxValuesPerMessage)
        throw server_error("message holds more than " + std::to_string(game_wire::maxValuesPerMessage)
                           + " typed values");
    switch (tag) {
#define PARLOR_ANY_T_CASE(N, type)                                                                                    \
    case N:                                                                                                           \
        set<N>(game_wire::read<type>(r, ctx));                                                                        \
        break;
        PARLOR_ANY_T_TAGS(PARLOR_ANY_T_CASE)
#undef PARLOR_ANY_T_CASE
    default:
        throw std::runtime_error("unknown class-id for any_t");
    }
}
