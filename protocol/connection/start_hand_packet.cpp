#include "start_hand_packet.h"

#include "wire_codec.h"

start_hand_packet start_hand_packet::read(message_reader& r, game_wire::decode_context& ctx)
{
    start_hand_packet p;
    p.handId = r.get_i64();
    const qint32 east = r.get_i32();
    const qint32 south = r.get_i32();
    const qint32 west = r.get_i32();
    const qint32 north = r.get_i32();
    p.seating = Seating(east, south, west, north);
    p.roundScores = game_wire::read<round_score_vector>(r, ctx);
    p.deadWallPosition = r.get_u8();
    p.doraTiles = game_wire::read<tile_vector>(r, ctx);
    p.newRound = r.get_u8() != 0;
    p.tableState = game_wire::read<TableState>(r, ctx);
    return p;
}
