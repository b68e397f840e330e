// Request slots: each builds one frame (request_frames.h) and writes it at
// once. Table requests pass the per-table throttle first; sequenced requests
// take their number from their registry.

#include "ConnectionManager.h"

#include "ConnectionManager_p.h"
#include "ProtocolValues.h"
#include "request_frames.h"
#include "request_handler.h"
#include "table_request_handler.h"

#include <QCoreApplication>
#include <QDebug>

namespace rf = request_frames;

void ConnectionManager::login(QString username, QString password)
{
    sendFrame(rf::login(username, password));
}

void ConnectionManager::join_table(qint32 table_id, qint8 seat)
{
    if (!table_requests().checkTableRequest(table_id, rf::cls::join))
        return;
    sendFrame(rf::join_table(table_id, seat));
}

void ConnectionManager::join_table(qint32 table_id)
{
    join_table(table_id, qint8(-1));
}

void ConnectionManager::watch_table(qint32 table_id)
{
    if (!table_requests().checkTableRequest(table_id, rf::cls::watch))
        return;
    sendFrame(rf::watch_table(table_id));
}

void ConnectionManager::unwatch_table(qint32 table_id)
{
    if (!table_requests().checkTableRequest(table_id, rf::cls::unwatch))
        return;
    sendFrame(rf::unwatch_table(table_id));
}

void ConnectionManager::leave_table(qint32 table_id)
{
    if (!table_requests().checkTableRequest(table_id, rf::cls::leave))
        return;
    sendFrame(rf::leave_table(table_id));
}

void ConnectionManager::lobby_table_query(const char* path)
{
    sendFrame(rf::lobby_table_query(path));
}

void ConnectionManager::lobby_table_subscribe(QString path)
{
    sendFrame(rf::lobby_table_subscribe(path));
}

void ConnectionManager::lobby_table_unsubscribe(QString path)
{
    sendFrame(rf::lobby_table_unsubscribe(path));
}

void ConnectionManager::tournaments_lobby_subscribe()
{
    sendFrame(rf::tournaments_lobby_subscribe());
}

int ConnectionManager::filter_join(QString adress)
{
    qDebug() << "filter join, adress:" << adress;
    const int seq = filter_join_requests().registerRequest(rf::cls::filter_join);
    sendFrame(rf::filter_join(static_cast<std::uint32_t>(seq), adress, {}));
    return seq;
}

int ConnectionManager::filter_join(int min_players, int type, int speed, int ruleset)
{
    qDebug() << "filter join, min players:" << min_players << "type:" << type << "speed:" << speed
             << "ruleset:" << ruleset;
    const int seq = filter_join_requests().registerRequest(rf::cls::filter_join);
    sendFrame(rf::filter_join(static_cast<std::uint32_t>(seq), QStringLiteral("/"),
                              rf::filter_join_criteria(min_players, type, speed, ruleset)));
    return seq;
}

void ConnectionManager::cancel_filter_join(int seq)
{
    filter_join_requests().addOutstandingRequest(rf::cls::cancel_filter_join, seq);
    sendFrame(rf::cancel_filter_join(static_cast<std::uint32_t>(seq)));
}

void ConnectionManager::register_tournament_request(int tournamentId)
{
    sendFrame(rf::register_tournament(tournamentId));
}

void ConnectionManager::unregister_tournament_request(int tournamentId)
{
    sendFrame(rf::unregister_tournament(tournamentId));
}

void ConnectionManager::get_tournament_ranking_list(int tournamentId)
{
    sendFrame(rf::tournament_envelope(tournamentId, d->ownPlayerId, rf::empty_inner(rf::cls::tournament_ranking_list)));
}

void ConnectionManager::leave_tournament(int tournamentId)
{
    sendFrame(rf::tournament_envelope(tournamentId, d->ownPlayerId, rf::empty_inner(rf::cls::leave_tournament)));
}

void ConnectionManager::call_chow(qint32 table_id, qint32 player_id, tile t)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::call_with_tile(rf::cls::call_chow, t, player_id)));
}

void ConnectionManager::call_pong(qint32 table_id, qint32 player_id, tile t)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::call_with_tile(rf::cls::call_pong, t, player_id)));
}

void ConnectionManager::call_kong(qint32 table_id, qint32 player_id, tile t)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::call_kong(t, player_id)));
}

void ConnectionManager::call_pong_to_kong(qint32 table_id, qint32 player_id, tile t)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::call_with_tile(rf::cls::call_pong_to_kong, t, player_id)));
}

void ConnectionManager::call_riichi(qint32 table_id, qint32 player_id, tile t)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::call_with_tile(rf::cls::call_riichi, t, player_id)));
}

void ConnectionManager::call_pass(qint32 table_id, qint32 player_id, bool autopass)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::call_pass(player_id, autopass)));
}

void ConnectionManager::call_pass(qint32 table_id, qint32 player_id)
{
    call_pass(table_id, player_id, false);
}

void ConnectionManager::reactivate_table(qint32 table_id)
{
    sendFrame(rf::game_envelope(table_id, -1, rf::reactivate_table()));
}

void ConnectionManager::ready(qint32 table_id, qint32 player_id)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::ready(player_id)));
}

void ConnectionManager::discard_tile(qint32 table_id, qint32 player_id, tile t)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::discard_tile(t)));
}

void ConnectionManager::call_mahjong(qint32 table_id, qint32 player_id)
{
    sendFrame(rf::game_envelope(table_id, player_id, rf::call_mahjong()));
}

int ConnectionManager::sendServiceRequest(qint32 playerId, const std::string& service,
                                          const std::vector<unsigned char>& inner)
{
    // The inner frame's class byte sits behind its length word.
    const int seq = service_requests().registerRequest(inner.at(wire::lengthWordSize));
    sendFrame(rf::service_request(playerId, static_cast<std::uint32_t>(seq), service, inner));
    return seq;
}

void ConnectionManager::sendLocalServiceRequest(const std::vector<unsigned char>& inner)
{
    const int seq = local_service_requests().registerRequest(inner.at(wire::lengthWordSize));
    sendFrame(rf::local_service_request(static_cast<std::uint32_t>(seq), inner));
}

void ConnectionManager::query_account_balance()
{
    sendServiceRequest(d->ownPlayerId, rf::service::backend, rf::empty_inner(rf::cls::account_balance));
}

void ConnectionManager::log_client_uuid(std::string uuid)
{
    sendServiceRequest(d->ownPlayerId, rf::service::backend, rf::client_uuid(uuid));
}

qint32 ConnectionManager::change_password(QString password)
{
    return sendServiceRequest(d->ownPlayerId, rf::service::playerDb, rf::change_password(password));
}

void ConnectionManager::get_highscore_list(qint32 player_id)
{
    sendServiceRequest(player_id, rf::service::highScore, rf::empty_inner(rf::cls::highscore_list));
}

qint32 ConnectionManager::query_current_time()
{
    const auto inner = rf::empty_inner(rf::cls::current_time);
    const int seq = service_requests().registerRequest(rf::cls::current_time);
    sendFrame(rf::service_request(d->ownPlayerId, static_cast<std::uint32_t>(seq), rf::service::highScore, inner));
    return seq;
}

void ConnectionManager::query_client_config()
{
    sendServiceRequest(d->ownPlayerId, rf::service::highScore, rf::empty_inner(rf::cls::client_config));
}

void ConnectionManager::query_web_page(WebPageRequest::enum_t page)
{
    const auto inner = rf::web_page(webPageRequestToWire(page));
    // The account creation page, its terms and the password reset are asked
    // for before login, so they go to the local services.
    if (page == WebPageRequest::CREATE_ACCOUNT || page == WebPageRequest::CREATE_ACCOUNT_TERMS
        || page == WebPageRequest::PASSWORD_RESET) {
        sendLocalServiceRequest(inner);
    } else {
        sendServiceRequest(d->ownPlayerId, rf::service::playerDb, inner);
    }
}

void ConnectionManager::register_user(QString username, QString password, QString email, QString affiliate_code)
{
    sendLocalServiceRequest(rf::register_user(username, password, email, affiliate_code));
}

QString ConnectionManager::playerName(qint32 pid)
{
    const auto it = d->playerNames.find(pid);
    if (it != d->playerNames.end())
        return it->second;
    const QString unknown = QCoreApplication::translate("Utils", "<unknown>");
    d->playerNames.emplace(pid, unknown);
    sendFrame(rf::player_query(pid));
    return unknown;
}

void ConnectionManager::setPlayerName(qint32 pid, const QString& name)
{
    const auto it = d->playerNames.find(pid);
    if (it != d->playerNames.end() && it->second == name)
        return;
    d->playerNames[pid] = name;
    Q_EMIT playerNameUpdate(pid, name);
}
