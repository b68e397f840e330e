#include "platform_packets.h"

#include "message_reader.h"

#include <algorithm>
#include <cstring>

namespace platform_packets {

QString wireText(const std::string& bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(end - bytes.begin()));
}

QString wireText(const std::vector<unsigned char>& bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), 0);
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(end - bytes.begin()));
}

bad_packet bad_packet::read(message_reader& r)
{
    bad_packet p;
    p.cmd = r.get_u8();
    p.error = r.get_u8();
    return p;
}

system_message system_message::read(message_reader& r)
{
    system_message p;
    p.type = r.get_u32();
    p.level = r.get_u32();
    p.message = r.get_string();
    readU32List(r); // not used
    return p;
}

login_response login_response::read(message_reader& r)
{
    login_response p;
    p.name = r.get_string();
    p.pid = r.get_u32();
    p.status = r.get_u8();
    p.code = r.get_u32();
    r.get_string(); // not used
    p.credentials = r.get_bytes();
    return p;
}

player_info player_info::read(message_reader& r)
{
    player_info p;
    p.pid = r.get_u32();
    p.nick = r.get_string();
    readParamList(r); // not used
    return p;
}

seat_info seat_info::read(message_reader& r)
{
    seat_info p;
    p.tableId = r.get_u32();
    p.seat = r.get_u8();
    p.status = r.get_u8();
    p.pid = r.get_u32();
    p.nick = r.get_string();
    readParamList(r); // not used
    return p;
}

player_query_response player_query_response::read(message_reader& r)
{
    player_query_response p;
    p.pid = r.get_u32();
    p.nick = r.get_string();
    p.status = r.get_u8();
    r.get_bytes(); // not used
    return p;
}

join_response join_response::read(message_reader& r)
{
    join_response p;
    p.tableId = r.get_u32();
    p.seat = r.get_u8();
    p.status = r.get_u8();
    p.code = r.get_u32();
    return p;
}

table_status_response table_status_response::read(message_reader& r, bool withTrailer)
{
    table_status_response p;
    p.tableId = r.get_u32();
    p.status = r.get_u8();
    if (withTrailer)
        r.get_u32(); // not used
    return p;
}

notify_join notify_join::read(message_reader& r)
{
    notify_join p;
    p.tableId = r.get_u32();
    p.pid = r.get_u32();
    p.nick = r.get_string();
    r.get_u8(); // not used
    return p;
}

id_pair id_pair::read(message_reader& r)
{
    id_pair p;
    p.first = r.get_u32();
    p.second = r.get_u32();
    return p;
}

notify_kick notify_kick::read(message_reader& r)
{
    notify_kick p;
    p.tableId = r.get_u32();
    p.reason = r.get_u16();
    return p;
}

table_record table_record::read(message_reader& r)
{
    table_record p;
    p.tableId = r.get_u32();
    p.lobbyPath = r.get_string();
    p.name = r.get_string();
    p.capacity = static_cast<std::int16_t>(r.get_u16());
    p.seated = static_cast<std::int16_t>(r.get_u16());
    p.params = readParamList(r);
    return p;
}

notify_seated notify_seated::read(message_reader& r)
{
    notify_seated p;
    p.tableId = r.get_u32();
    p.seat = r.get_u8();
    p.tournamentId = r.get_u32();
    p.table = table_record::read(r);
    return p;
}

table_update_record table_update_record::read(message_reader& r)
{
    table_update_record p;
    p.tableId = r.get_u32();
    p.seated = static_cast<std::int16_t>(r.get_u16());
    p.params = readParamList(r);
    p.removedKeys = readStringList(r);
    return p;
}

tournament_record tournament_record::read(message_reader& r)
{
    tournament_record p;
    p.tournamentId = r.get_u32();
    p.address = r.get_string();
    p.params = readParamList(r);
    return p;
}

tournament_update_record tournament_update_record::read(message_reader& r)
{
    tournament_update_record p;
    p.tournamentId = r.get_u32();
    p.params = readParamList(r);
    p.removedKeys = readStringList(r);
    return p;
}

namespace {
template<class Record>
std::vector<Record> readRecords(message_reader& r)
{
    // The count is checked against the bytes left before anything is
    // reserved: a lying count ends in server_error, not in a huge allocation.
    const std::uint32_t count = r.checked_count(r.get_u32(), Record::minWireSize);
    std::vector<Record> records;
    records.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        records.push_back(Record::read(r));
    return records;
}
}

std::size_t frameLimit(std::uint8_t classId)
{
    switch (classId) {
    case cls::table_snapshot_list:
    case cls::table_update_list:
    case cls::tournament_snapshot_list:
    case cls::tournament_update_list:
        return wire::maxListFrameSize;
    default:
        return wire::maxFrameSize;
    }
}

std::vector<table_record> readTableRecords(message_reader& r)
{
    return readRecords<table_record>(r);
}

std::vector<table_update_record> readTableUpdateRecords(message_reader& r)
{
    return readRecords<table_update_record>(r);
}

std::vector<tournament_record> readTournamentRecords(message_reader& r)
{
    return readRecords<tournament_record>(r);
}

std::vector<tournament_update_record> readTournamentUpdateRecords(message_reader& r)
{
    return readRecords<tournament_update_record>(r);
}

filtered_join_response filtered_join_response::read(message_reader& r)
{
    filtered_join_response p;
    p.seq = r.get_u32();
    r.get_u32(); // not used
    r.get_string(); // not used
    p.status = r.get_u8();
    return p;
}

join_cancel_response join_cancel_response::read(message_reader& r)
{
    join_cancel_response p;
    p.seq = r.get_u32();
    p.status = r.get_u8();
    return p;
}

filtered_join_table_available filtered_join_table_available::read(message_reader& r)
{
    filtered_join_table_available p;
    r.get_u32(); // not used
    p.tableId = r.get_u32();
    r.get_u8(); // not used
    return p;
}

tournament_register_response tournament_register_response::read(message_reader& r)
{
    tournament_register_response p;
    p.mttId = r.get_u32();
    p.status = r.get_u8();
    return p;
}

tournament_table_move tournament_table_move::read(message_reader& r)
{
    tournament_table_move p;
    p.mttId = r.get_u32();
    p.tableId = r.get_u32();
    p.flag = r.get_u8();
    return p;
}

tournament_envelope tournament_envelope::read(message_reader& r)
{
    tournament_envelope p;
    p.mttId = r.get_u32();
    r.get_u32(); // not used
    p.inner = r.get_nested();
    return p;
}

end_of_tournament_round end_of_tournament_round::read(message_reader& r)
{
    end_of_tournament_round p;
    p.lastRound = r.get_u8();
    p.tableId = r.get_u32();
    const std::uint32_t count = r.checked_count(r.get_u32(), 12);
    p.scores.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        round_score_row row;
        row.pid = r.get_i32();
        row.score = r.get_i32();
        row.value = r.get_i32();
        p.scores.push_back(row);
    }
    return p;
}

std::vector<ranking_row> readRankingRows(message_reader& r)
{
    const std::uint32_t count = r.checked_count(r.get_u32(), 4 + 2 + 4 + 4 + 1);
    std::vector<ranking_row> rows;
    rows.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        ranking_row row;
        row.pid = r.get_u32();
        row.name = r.get_string();
        row.tablePoints = r.get_u32();
        row.competitionPoints = r.get_u32();
        row.flag = r.get_u8();
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace platform_packets
