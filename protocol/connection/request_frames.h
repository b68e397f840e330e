#pragma once

#include "ParamValue.h"
#include "tile.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

/// Builders of every request frame the client sends after the version
/// handshake. Each returns one finished frame (length word first), ready for
/// Connection::sendFrame. ConnectionManager's request slots call them; tests
/// compare their bytes with hand-written ones.
namespace request_frames {

using frame_t = std::vector<unsigned char>;

/// Our game on the server, in version requests, lobby paths and filtered joins.
constexpr std::uint32_t gameId = 101;
/// The game id of the tournaments lobby.
constexpr std::uint32_t tournamentsGameId = 102;
/// Our partner id, in version, login, registration and web page requests.
constexpr std::uint32_t partnerId = 4;

/// Platform classes sent by the client.
namespace cls {
constexpr std::uint8_t login = 10;
constexpr std::uint8_t player_query = 16;
constexpr std::uint8_t join = 30;
constexpr std::uint8_t watch = 32;
constexpr std::uint8_t unwatch = 34;
constexpr std::uint8_t leave = 36;
constexpr std::uint8_t game_envelope = 100;
constexpr std::uint8_t service_request = 101;
constexpr std::uint8_t local_service_request = 103;
constexpr std::uint8_t tournament_envelope = 104;
constexpr std::uint8_t lobby_table_query = 142;
constexpr std::uint8_t lobby_subscribe = 145;
constexpr std::uint8_t lobby_unsubscribe = 146;
constexpr std::uint8_t filter_join = 170;
constexpr std::uint8_t cancel_filter_join = 172;
constexpr std::uint8_t register_tournament = 205;
constexpr std::uint8_t unregister_tournament = 207;

// Inner classes of the game envelope.
constexpr std::uint8_t call_chow = 47;
constexpr std::uint8_t call_pong = 48;
constexpr std::uint8_t call_kong = 49;
constexpr std::uint8_t call_pong_to_kong = 50;
constexpr std::uint8_t call_riichi = 51;
constexpr std::uint8_t call_pass = 52;
constexpr std::uint8_t reactivate_table = 53;
constexpr std::uint8_t ready = 54;
constexpr std::uint8_t alive_answer = 55;
constexpr std::uint8_t discard_tile = 56;
constexpr std::uint8_t call_mahjong = 57;

// Inner classes of the tournament envelope.
constexpr std::uint8_t tournament_ranking_list = 58;
constexpr std::uint8_t leave_tournament = 59;

// Inner classes of the service envelopes.
constexpr std::uint8_t account_balance = 63;
constexpr std::uint8_t client_uuid = 64;
constexpr std::uint8_t change_password = 65;
constexpr std::uint8_t highscore_list = 66;
constexpr std::uint8_t current_time = 67;
constexpr std::uint8_t client_config = 68;
constexpr std::uint8_t web_page = 69;
constexpr std::uint8_t register_user = 70;
}

/// Service names of the service request envelope.
namespace service {
inline const std::string playerDb = "com.quobrix.mahjong.login.PlayerDB";
inline const std::string highScore = "com.quobrix.mahjong.highscore.HighScoreService";
inline const std::string backend = "com.quobrix.backend.BackendService";
}

/// Latin-1 bytes of a text; characters outside Latin-1 become "?".
std::string latin1(const QString& text);
/// UTF-8 bytes of a text.
std::string utf8(const QString& text);

frame_t login(const QString& username, const QString& password);
frame_t player_query(std::int32_t pid);
/// Seat -1 (0xFF) means any seat.
frame_t join_table(std::int32_t tableId, std::int8_t seat);
frame_t watch_table(std::int32_t tableId);
frame_t unwatch_table(std::int32_t tableId);
frame_t leave_table(std::int32_t tableId);
frame_t lobby_table_query(const char* path);
/// "101/Regular" -> u8 0, u32 101, "Regular". Throws std::runtime_error
/// "invalid path in subscribe" / "path game-id part not an integer in subscribe"
/// (", unsubscribe" for the unsubscribe frame).
frame_t lobby_table_subscribe(const QString& path);
frame_t lobby_table_unsubscribe(const QString& path);
frame_t tournaments_lobby_subscribe();
frame_t filter_join(std::uint32_t seq, const QString& address, const FilterParamList& filters);
/// The five filter items of a filtered join by criteria.
FilterParamList filter_join_criteria(int minPlayers, int type, int speed, int ruleset);
frame_t cancel_filter_join(std::uint32_t seq);
frame_t register_tournament(std::int32_t tournamentId);
frame_t unregister_tournament(std::int32_t tournamentId);

/// Wraps a finished inner frame in a game envelope (class 100).
frame_t game_envelope(std::int32_t tableId, std::int32_t playerId, const frame_t& inner);
/// Inner game action frames (to be wrapped by game_envelope).
frame_t call_with_tile(std::uint8_t innerClass, tile t, std::int32_t playerId); // 47, 48, 50, 51
frame_t call_kong(tile t, std::int32_t playerId);
frame_t call_pass(std::int32_t playerId, bool autopass);
frame_t reactivate_table();
frame_t ready(std::int32_t playerId);
frame_t alive_answer();
frame_t discard_tile(tile t);
frame_t call_mahjong();

/// Wraps a finished inner frame in a tournament envelope (class 104).
frame_t tournament_envelope(std::int32_t tournamentId, std::int32_t playerId, const frame_t& inner);
/// An inner frame of the class with no fields (58, 59, 63, 66, 67, 68, ...).
frame_t empty_inner(std::uint8_t innerClass);

/// Wraps an inner frame in a service request (class 101).
frame_t service_request(std::int32_t playerId, std::uint32_t seq, const std::string& serviceName,
                        const frame_t& inner);
/// Wraps an inner frame in a local service request (class 103).
frame_t local_service_request(std::uint32_t seq, const frame_t& inner);
frame_t client_uuid(const std::string& uuid);
frame_t change_password(const QString& password);
frame_t web_page(std::uint8_t pageCode);
frame_t register_user(const QString& username, const QString& password, const QString& email,
                      const QString& affiliateCode);

} // namespace request_frames
