#include "game_data_packet.h"

#include "wire_codec.h"

game_data_packet game_data_packet::read(message_reader& r, game_wire::decode_context& ctx)
{
    game_data_packet p;
    p.handId = r.get_i64();
    p.players = game_wire::read<std::vector<PlayerData>>(r, ctx);
    p.gameState = r.get_u8();
    for (std::uint32_t pid : game_wire::read<std::vector<std::uint32_t>>(r, ctx))
        p.currentTurn.push_back(static_cast<qint32>(pid));
    p.timeToAct = game_wire::read<game_wire::time_span>(r, ctx);
    p.liveTiles = r.get_u16();
    p.deadWallTiles = r.get_u16();
    p.deadWallPosition = r.get_u16();
    p.deadWallTilesDealt = r.get_u16();
    p.doraTiles = game_wire::read<tile_vector>(r, ctx);
    p.tableState = game_wire::read<TableState>(r, ctx);
    return p;
}
