#pragma once

// Received platform messages, one struct per class (or per shape shared by
// several classes), each with read() that takes the fields in wire order
// from a reader standing just behind the class byte. Reading never emits
// anything; ConnectionManager's dispatch turns the result into signals.

#include "ParamValue.h"
#include "ScoreRecords.h"
#include "message.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class message_reader;

namespace platform_packets {

/// Received platform classes.
namespace cls {
constexpr std::uint8_t platform_version = 0;
constexpr std::uint8_t game_version = 1;
constexpr std::uint8_t bad_packet = 3;
constexpr std::uint8_t system_message = 4;
constexpr std::uint8_t ping = 7;
constexpr std::uint8_t login_response = 11;
constexpr std::uint8_t player_info = 13;
constexpr std::uint8_t forced_logout = 14;
constexpr std::uint8_t seat_info = 15;
constexpr std::uint8_t player_query_response = 17;
constexpr std::uint8_t join_response = 31;
constexpr std::uint8_t watch_response = 33;
constexpr std::uint8_t unwatch_response = 35;
constexpr std::uint8_t leave_response = 37;
constexpr std::uint8_t notify_join = 60;
constexpr std::uint8_t notify_leave = 61;
constexpr std::uint8_t notify_seated = 62;
constexpr std::uint8_t notify_watching = 63;
constexpr std::uint8_t notify_kick = 64;
constexpr std::uint8_t game_envelope = 100;
constexpr std::uint8_t service_response = 101;
constexpr std::uint8_t local_service_response = 103;
constexpr std::uint8_t tournament_envelope = 104;
constexpr std::uint8_t table_snapshot = 143;
constexpr std::uint8_t table_update = 144;
constexpr std::uint8_t table_removed = 147;
constexpr std::uint8_t tournament_snapshot = 148;
constexpr std::uint8_t tournament_update = 149;
constexpr std::uint8_t tournament_removed = 150;
constexpr std::uint8_t table_snapshot_list = 153;
constexpr std::uint8_t table_update_list = 154;
constexpr std::uint8_t tournament_snapshot_list = 155;
constexpr std::uint8_t tournament_update_list = 156;
constexpr std::uint8_t filtered_join_response = 171;
constexpr std::uint8_t join_cancel_response = 173;
constexpr std::uint8_t filtered_join_table_available = 174;
constexpr std::uint8_t tournament_register_response = 206;
constexpr std::uint8_t tournament_unregister_response = 208;
constexpr std::uint8_t tournament_seated = 209;
constexpr std::uint8_t tournament_picked_up = 210;
constexpr std::uint8_t registered_tournaments = 211;

// Inner classes of the tournament envelope.
constexpr std::uint8_t end_of_tournament_round = 60;
constexpr std::uint8_t tournament_ranking_list = 61;
constexpr std::uint8_t tournament_leave_response = 62;
}

/// Text received from the server: the bytes as UTF-8, up to the first zero byte.
QString wireText(const std::string& bytes);
QString wireText(const std::vector<unsigned char>& bytes);

struct bad_packet
{
    std::uint8_t cmd = 0;
    std::uint8_t error = 0;
    static bad_packet read(message_reader& r);
};

struct system_message
{
    std::uint32_t type = 0;
    std::uint32_t level = 0;
    std::string message;
    static system_message read(message_reader& r);
};

struct login_response
{
    std::string name;
    std::uint32_t pid = 0;
    std::uint8_t status = 0;
    std::uint32_t code = 0;
    std::vector<unsigned char> credentials;
    static login_response read(message_reader& r);
};

/// Class 13: a player's id and name.
struct player_info
{
    std::uint32_t pid = 0;
    std::string nick;
    static player_info read(message_reader& r);
};

/// Class 15.
struct seat_info
{
    std::uint32_t tableId = 0;
    std::uint8_t seat = 0;
    std::uint8_t status = 0;
    std::uint32_t pid = 0;
    std::string nick;
    static seat_info read(message_reader& r);
};

/// Class 17, the answer to a player name query.
struct player_query_response
{
    std::uint32_t pid = 0;
    std::string nick;
    std::uint8_t status = 0;
    static player_query_response read(message_reader& r);
};

/// Class 31.
struct join_response
{
    std::uint32_t tableId = 0;
    std::uint8_t seat = 0;
    std::uint8_t status = 0;
    std::uint32_t code = 0;
    static join_response read(message_reader& r);
};

/// Classes 33 (watch) and 35 (unwatch), and class 37 (leave, with a trailing
/// u32 that is read and dropped when withTrailer is set).
struct table_status_response
{
    std::uint32_t tableId = 0;
    std::uint8_t status = 0;
    static table_status_response read(message_reader& r, bool withTrailer = false);
};

/// Class 60.
struct notify_join
{
    std::uint32_t tableId = 0;
    std::uint32_t pid = 0;
    std::string nick;
    static notify_join read(message_reader& r);
};

/// Classes 61 (notify leave): table id and player id. Also the shape of
/// other pairs of u32.
struct id_pair
{
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    static id_pair read(message_reader& r);
};

/// Class 64.
struct notify_kick
{
    std::uint32_t tableId = 0;
    std::uint16_t reason = 0;
    static notify_kick read(message_reader& r);
};

/// A lobby table as the server lists it.
struct table_record
{
    std::uint32_t tableId = 0;
    std::string lobbyPath;
    std::string name;
    std::int16_t capacity = 0;
    std::int16_t seated = 0;
    ParamList params;
    static constexpr std::size_t minWireSize = 4 + 2 + 2 + 2 + 2 + 4;
    static table_record read(message_reader& r);
};

/// Class 62.
struct notify_seated
{
    std::uint32_t tableId = 0;
    std::uint8_t seat = 0;
    std::uint32_t tournamentId = 0;
    table_record table;
    static notify_seated read(message_reader& r);
};

/// A change of a lobby table.
struct table_update_record
{
    std::uint32_t tableId = 0;
    std::int16_t seated = 0;
    ParamList params;
    std::vector<std::string> removedKeys;
    static constexpr std::size_t minWireSize = 4 + 2 + 4 + 4;
    static table_update_record read(message_reader& r);
};

struct tournament_record
{
    std::uint32_t tournamentId = 0;
    std::string address;
    ParamList params;
    static constexpr std::size_t minWireSize = 4 + 2 + 4;
    static tournament_record read(message_reader& r);
};

struct tournament_update_record
{
    std::uint32_t tournamentId = 0;
    ParamList params;
    std::vector<std::string> removedKeys;
    static constexpr std::size_t minWireSize = 4 + 4 + 4;
    static tournament_update_record read(message_reader& r);
};

/// The largest frame of a class, length word included: wire::maxListFrameSize
/// for the lists of records, wire::maxFrameSize for the others.
std::size_t frameLimit(std::uint8_t classId);

/// Lists of records (classes 153 to 156): a u32 count, then the records.
std::vector<table_record> readTableRecords(message_reader& r);
std::vector<table_update_record> readTableUpdateRecords(message_reader& r);
std::vector<tournament_record> readTournamentRecords(message_reader& r);
std::vector<tournament_update_record> readTournamentUpdateRecords(message_reader& r);

/// Class 171.
struct filtered_join_response
{
    std::uint32_t seq = 0;
    std::uint8_t status = 0;
    static filtered_join_response read(message_reader& r);
};

/// Class 173.
struct join_cancel_response
{
    std::uint32_t seq = 0;
    std::uint8_t status = 0;
    static join_cancel_response read(message_reader& r);
};

/// Class 174.
struct filtered_join_table_available
{
    std::uint32_t tableId = 0;
    static filtered_join_table_available read(message_reader& r);
};

/// Classes 206 and 208.
struct tournament_register_response
{
    std::uint32_t mttId = 0;
    std::uint8_t status = 0;
    static tournament_register_response read(message_reader& r);
};

/// Classes 209 (seated; flag = seat) and 210 (picked up; flag = keep watching).
struct tournament_table_move
{
    std::uint32_t mttId = 0;
    std::uint32_t tableId = 0;
    std::uint8_t flag = 0;
    static tournament_table_move read(message_reader& r);
};

/// Class 104: the tournament id and the inner payload (class byte first).
struct tournament_envelope
{
    std::uint32_t mttId = 0;
    message_t inner;
    static tournament_envelope read(message_reader& r);
};

/// Tournament envelope, inner class 60.
struct end_of_tournament_round
{
    std::uint8_t lastRound = 0;
    std::uint32_t tableId = 0;
    std::vector<round_score_row> scores;
    static end_of_tournament_round read(message_reader& r);
};

/// One row of a ranking list (tournament envelope, inner class 61).
struct ranking_row
{
    std::uint32_t pid = 0;
    std::string name;
    std::uint32_t tablePoints = 0;
    std::uint32_t competitionPoints = 0;
    std::uint8_t flag = 0;
};
std::vector<ranking_row> readRankingRows(message_reader& r);

} // namespace platform_packets
