#include "hand_end_packet.h"

#include "wire_codec.h"

hand_end_packet hand_end_packet::read(message_reader& r, game_wire::decode_context& ctx)
{
    hand_end_packet p;
    p.handId = r.get_i64();
    p.scores = game_wire::read<std::vector<player_score>>(r, ctx);
    p.tiles = game_wire::read<tile_vector>(r, ctx);
    p.endType = r.get_u8();
    p.endOfGame = r.get_u8() != 0;
    p.last = r.get_u8();
    return p;
}
