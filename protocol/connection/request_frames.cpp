#include "request_frames.h"

#include "message_writer.h"

#include <QList>

#include <stdexcept>

namespace request_frames {

std::string latin1(const QString& text)
{
    // One byte per character the user sees: a character outside Latin-1
    // becomes one '?', also when it takes two UTF-16 units.
    std::string result;
    result.reserve(std::size_t(text.size()));
    for (const char32_t c : text.toUcs4())
        result.push_back(c <= 0xFF ? char(c) : '?');
    return result;
}

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

namespace {

frame_t tableFrame(std::uint8_t classId, std::int32_t tableId)
{
    message_writer w(classId);
    w.put_i32(tableId);
    return w.finish();
}

frame_t lobbyPathFrame(std::uint8_t classId, const QString& path, const char* what)
{
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    if (slash < 0)
        throw std::runtime_error(std::string("invalid path in ") + what);
    bool ok = false;
    const int game = path.left(slash).toInt(&ok, 10);
    if (!ok)
        throw std::runtime_error(std::string("path game-id part not an integer in ") + what);
    message_writer w(classId);
    w.put_u8(0);
    w.put_i32(game);
    w.put_string(latin1(path.mid(slash + 1)));
    return w.finish();
}

FilterParam intFilter(const char* name, qint32 value, std::uint8_t comparison)
{
    return FilterParam {name, param_type::integer, encodeIntParamValue(value), comparison};
}

} // namespace

frame_t login(const QString& username, const QString& password)
{
    message_writer w(cls::login);
    w.put_string(latin1(username));
    w.put_string(utf8(password));
    w.put_u32(partnerId);
    w.put_bytes({});
    return w.finish();
}

frame_t player_query(std::int32_t pid)
{
    return tableFrame(cls::player_query, pid);
}

frame_t join_table(std::int32_t tableId, std::int8_t seat)
{
    message_writer w(cls::join);
    w.put_i32(tableId);
    w.put_u8(static_cast<std::uint8_t>(seat));
    writeParamList(w, {});
    return w.finish();
}

frame_t watch_table(std::int32_t tableId)
{
    return tableFrame(cls::watch, tableId);
}

frame_t unwatch_table(std::int32_t tableId)
{
    return tableFrame(cls::unwatch, tableId);
}

frame_t leave_table(std::int32_t tableId)
{
    return tableFrame(cls::leave, tableId);
}

frame_t lobby_table_query(const char* path)
{
    message_writer w(cls::lobby_table_query);
    w.put_u32(gameId);
    w.put_string(path ? std::string(path) : std::string());
    w.put_u8(0);
    return w.finish();
}

frame_t lobby_table_subscribe(const QString& path)
{
    return lobbyPathFrame(cls::lobby_subscribe, path, "subscribe");
}

frame_t lobby_table_unsubscribe(const QString& path)
{
    return lobbyPathFrame(cls::lobby_unsubscribe, path, "unsubscribe");
}

frame_t tournaments_lobby_subscribe()
{
    message_writer w(cls::lobby_subscribe);
    w.put_u8(1);
    w.put_u32(tournamentsGameId);
    w.put_string("/");
    return w.finish();
}

frame_t filter_join(std::uint32_t seq, const QString& address, const FilterParamList& filters)
{
    message_writer w(cls::filter_join);
    w.put_u32(seq);
    w.put_u32(gameId);
    w.put_string(latin1(address));
    writeFilterParamList(w, filters);
    return w.finish();
}

FilterParamList filter_join_criteria(int minPlayers, int type, int speed, int ruleset)
{
    return {
        intFilter("_CAPACITY", minPlayers, 3),
        intFilter("_SEATED", 1, 3),
        intFilter("GAME_TYPE", type, 0),
        intFilter("SPEED", speed, 0),
        intFilter("RULESET", ruleset, 0),
    };
}

frame_t cancel_filter_join(std::uint32_t seq)
{
    message_writer w(cls::cancel_filter_join);
    w.put_u32(seq);
    return w.finish();
}

frame_t register_tournament(std::int32_t tournamentId)
{
    message_writer w(cls::register_tournament);
    w.put_i32(tournamentId);
    writeParamList(w, {});
    return w.finish();
}

frame_t unregister_tournament(std::int32_t tournamentId)
{
    return tableFrame(cls::unregister_tournament, tournamentId);
}

frame_t game_envelope(std::int32_t tableId, std::int32_t playerId, const frame_t& inner)
{
    message_writer w(cls::game_envelope);
    w.put_i32(tableId);
    w.put_i32(playerId);
    w.put_bytes(inner);
    return w.finish();
}

frame_t call_with_tile(std::uint8_t innerClass, tile t, std::int32_t playerId)
{
    message_writer w(innerClass);
    w.put_u8(t.code());
    w.put_i32(playerId);
    return w.finish();
}

frame_t call_kong(tile t, std::int32_t playerId)
{
    message_writer w(cls::call_kong);
    w.put_u8(t.code());
    w.put_u8(0);
    w.put_i32(playerId);
    return w.finish();
}

frame_t call_pass(std::int32_t playerId, bool autopass)
{
    message_writer w(cls::call_pass);
    w.put_i32(playerId);
    w.put_flag(autopass);
    return w.finish();
}

frame_t reactivate_table()
{
    return empty_inner(cls::reactivate_table);
}

frame_t ready(std::int32_t playerId)
{
    return tableFrame(cls::ready, playerId);
}

frame_t alive_answer()
{
    return empty_inner(cls::alive_answer);
}

frame_t discard_tile(tile t)
{
    message_writer w(cls::discard_tile);
    w.put_u8(t.code());
    return w.finish();
}

frame_t call_mahjong()
{
    return empty_inner(cls::call_mahjong);
}

frame_t tournament_envelope(std::int32_t tournamentId, std::int32_t playerId, const frame_t& inner)
{
    message_writer w(cls::tournament_envelope);
    w.put_i32(tournamentId);
    w.put_i32(playerId);
    w.put_bytes(inner);
    return w.finish();
}

frame_t empty_inner(std::uint8_t innerClass)
{
    return message_writer(innerClass).finish();
}

frame_t service_request(std::int32_t playerId, std::uint32_t seq, const std::string& serviceName,
                        const frame_t& inner)
{
    message_writer w(cls::service_request);
    w.put_i32(playerId);
    w.put_u32(seq);
    w.put_string(serviceName);
    w.put_u8(1);
    w.put_bytes(inner);
    return w.finish();
}

frame_t local_service_request(std::uint32_t seq, const frame_t& inner)
{
    message_writer w(cls::local_service_request);
    w.put_u32(seq);
    w.put_bytes(inner);
    return w.finish();
}

frame_t client_uuid(const std::string& uuid)
{
    message_writer w(cls::client_uuid);
    w.put_string(uuid);
    return w.finish();
}

frame_t change_password(const QString& password)
{
    message_writer w(cls::change_password);
    w.put_string(utf8(password));
    return w.finish();
}

frame_t web_page(std::uint8_t pageCode)
{
    message_writer w(cls::web_page);
    w.put_u8(pageCode);
    w.put_u32(partnerId);
    return w.finish();
}

frame_t register_user(const QString& username, const QString& password, const QString& email,
                      const QString& affiliateCode)
{
    message_writer w(cls::register_user);
    w.put_u32(partnerId);
    w.put_string(utf8(affiliateCode));
    w.put_string(utf8(username));
    w.put_string(utf8(password));
    w.put_string(utf8(email));
    return w.finish();
}

} // namespace request_frames
