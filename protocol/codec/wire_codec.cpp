#include "wire_codec.h"

namespace game_wire {

HighlightedTiles codec<HighlightedTiles>::read(message_reader& r, decode_context& ctx)
{
    wire::highlighted_tiles item;
    item.index = r.get_u8();
    // Tiles are checked here, the index by the conversion.
    const tile_vector tiles = game_wire::read<tile_vector>(r, ctx);
    item.tiles.reserve(tiles.size());
    for (tile t : tiles)
        item.tiles.push_back(t.code());
    return highlightedTilesFromWire(item);
}

player_score codec<player_score>::read(message_reader& r, decode_context& ctx)
{
    wire::score_record record;
    record.pid = r.get_i32();
    record.a = r.get_i32();
    record.b = r.get_i32();
    record.c = r.get_i32();
    for (const auto& [id, value] : game_wire::read<std::vector<std::pair<std::uint8_t, std::uint32_t>>>(r, ctx))
        record.points.emplace_back(id, static_cast<std::int32_t>(value));
    record.d = r.get_i32();
    for (const auto& [id, value] : game_wire::read<std::vector<std::pair<std::uint8_t, std::uint16_t>>>(r, ctx))
        record.doubles.emplace_back(id, static_cast<std::int16_t>(value));
    record.e = r.get_i32();
    for (const auto& [id, value] : game_wire::read<std::vector<std::pair<std::uint8_t, std::uint16_t>>>(r, ctx))
        record.limitHands.emplace_back(id, static_cast<std::int16_t>(value));
    record.f = r.get_i32();
    // Tiles and the highlight index are checked by the record's conversion.
    const std::uint32_t groups = r.checked_count(r.get_u32(), codec<HighlightedTiles>::minSize);
    record.highlighted.reserve(groups);
    for (std::uint32_t i = 0; i < groups; ++i) {
        wire::highlighted_tiles item;
        item.index = r.get_u8();
        item.tiles = game_wire::read<std::vector<std::uint8_t>>(r, ctx);
        record.highlighted.push_back(std::move(item));
    }
    record.scoreType = r.get_u8();
    record.g = r.get_i32();
    record.h = r.get_i64();
    return playerScoreFromWire(record);
}

PlayerData codec<PlayerData>::read(message_reader& r, decode_context& ctx)
{
    const qint32 pid = r.get_i32();
    PlayerData player(pid, QString());
    const qint32 tileCount = r.get_u8();
    player.setMelds(game_wire::read<meld_tuple_vector>(r, ctx));
    player.setBonusTiles(game_wire::read<tile_vector>(r, ctx));
    tile_vector discards = game_wire::read<tile_vector>(r, ctx);
    const qint32 riichiIndex = static_cast<std::int16_t>(r.get_u16());
    player.setDiscards(discards, riichiIndex);
    player.setTileCount(tileCount);
    player.setWind(windFromWire(r.get_u8()));
    player.setRoundScore(r.get_i32());
    player.setWins(r.get_i32());
    player.setReady(r.get_u8() != 0);
    return player;
}

round_score_row codec<round_score_row>::read(message_reader& r, decode_context&)
{
    const std::int32_t pid = r.get_i32();
    const std::int32_t score = r.get_i32();
    const std::int32_t wins = r.get_i32();
    return roundScoreFromWire(pid, score, wins);
}

TableState codec<TableState>::read(message_reader& r, decode_context&)
{
    const qint32 a = r.get_i32();
    const qint32 wind = windFromWire(r.get_u8());
    const qint32 b = r.get_u8();
    const qint32 c = r.get_u8();
    const qint32 d = r.get_u8();
    return TableState(a, wind, b, -1, d, c);
}

} // namespace game_wire
