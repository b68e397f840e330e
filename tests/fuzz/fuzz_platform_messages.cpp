// Fuzzes every decoder of the platform messages: the input's first byte picks
// a received class, the rest is that class's fields. Each message is read and
// turned into the values its signals would carry (table and tournament
// records, checked update lists, rankings, reasons). Bad input must end in
// an exception, never in a crash, a hang or a huge allocation.

#include "ProtocolValues.h"
#include "TableInfo.h"
#include "TournamentInfo.h"
#include "lobby_records.h"
#include "message_reader.h"
#include "platform_packets.h"
#include "reason_texts.h"
#include "server_error.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <exception>

using namespace platform_packets;

namespace {

const std::uint8_t classes[] = {
    cls::bad_packet, cls::system_message, cls::login_response, cls::player_info, cls::forced_logout,
    cls::seat_info, cls::player_query_response, cls::join_response, cls::watch_response, cls::unwatch_response,
    cls::leave_response, cls::notify_join, cls::notify_leave, cls::notify_seated, cls::notify_watching,
    cls::notify_kick, cls::tournament_envelope, cls::table_snapshot, cls::table_update, cls::table_removed,
    cls::tournament_snapshot, cls::tournament_update, cls::tournament_removed, cls::table_snapshot_list,
    cls::table_update_list, cls::tournament_snapshot_list, cls::tournament_update_list,
    cls::filtered_join_response, cls::join_cancel_response, cls::filtered_join_table_available,
    cls::tournament_register_response, cls::tournament_unregister_response, cls::tournament_seated,
    cls::tournament_picked_up, cls::registered_tournaments,
};

void silence(QtMsgType, const QMessageLogContext&, const QString&)
{
}

// Applies a checked update list to a record, as every receiver does; it must
// never throw.
template<class Info, class Updates>
void apply(const Updates& updates)
{
    Info info;
    info.applyUpdates(updates);
}

void decode(message_reader& r)
{
    switch (r.class_id()) {
    case cls::bad_packet: bad_packet::read(r); break;
    case cls::system_message: wireText(system_message::read(r).message); break;
    case cls::login_response: {
        const auto p = login_response::read(r);
        wireText(p.name);
        wireText(p.credentials);
        break;
    }
    case cls::player_info: player_info::read(r); break;
    case cls::forced_logout: r.get_u32(); r.get_string(); break;
    case cls::seat_info: seat_info::read(r); break;
    case cls::player_query_response: player_query_response::read(r); break;
    case cls::join_response: {
        const auto p = join_response::read(r);
        if (p.status != 0 && p.code != 0)
            joinFailedReasonFromWire(p.code);
        joinResponseStatusName(p.status);
        break;
    }
    case cls::watch_response: reason_texts::watchStatus(table_status_response::read(r).status); break;
    case cls::unwatch_response: table_status_response::read(r); break;
    case cls::leave_response: reason_texts::leaveStatus(table_status_response::read(r, true).status); break;
    case cls::notify_join: wireText(notify_join::read(r).nick); break;
    case cls::notify_leave: id_pair::read(r); break;
    case cls::notify_seated: tableInfoFromRecord(notify_seated::read(r).table); break;
    case cls::notify_watching: r.get_u32(); break;
    case cls::notify_kick: kickReasonFromWire(notify_kick::read(r).reason); break;
    case cls::tournament_envelope: {
        const auto envelope = tournament_envelope::read(r);
        message_reader inner(envelope.inner);
        switch (inner.class_id()) {
        case cls::end_of_tournament_round: end_of_tournament_round::read(inner); break;
        case cls::tournament_ranking_list: tournamentRankingsFromRows(readRankingRows(inner)); break;
        case cls::tournament_leave_response: reason_texts::tournamentLeaveStatus(inner.get_u8()); break;
        default: break;
        }
        break;
    }
    case cls::table_snapshot: tableInfoFromRecord(table_record::read(r)); break;
    case cls::table_update: apply<TableInfo>(tableInfoUpdatesFromRecord(table_update_record::read(r))); break;
    case cls::table_removed: r.get_u32(); break;
    case cls::tournament_snapshot: tournamentInfoFromRecord(tournament_record::read(r)); break;
    case cls::tournament_update:
        apply<TournamentInfo>(tournamentInfoUpdatesFromRecord(tournament_update_record::read(r)));
        break;
    case cls::tournament_removed: r.get_u32(); break;
    case cls::table_snapshot_list:
        for (const auto& record : readTableRecords(r))
            tableInfoFromRecord(record);
        break;
    case cls::table_update_list:
        for (const auto& record : readTableUpdateRecords(r))
            apply<TableInfo>(tableInfoUpdatesFromRecord(record));
        break;
    case cls::tournament_snapshot_list:
        for (const auto& record : readTournamentRecords(r))
            tournamentInfoFromRecord(record);
        break;
    case cls::tournament_update_list:
        for (const auto& record : readTournamentUpdateRecords(r))
            apply<TournamentInfo>(tournamentInfoUpdatesFromRecord(record));
        break;
    case cls::filtered_join_response: filtered_join_response::read(r); break;
    case cls::join_cancel_response: join_cancel_response::read(r); break;
    case cls::filtered_join_table_available: filtered_join_table_available::read(r); break;
    case cls::tournament_register_response:
    case cls::tournament_unregister_response: {
        const auto p = tournament_register_response::read(r);
        if (p.status != 0)
            tournamentRegisterFailedReasonFromWire(p.status);
        break;
    }
    case cls::tournament_seated:
    case cls::tournament_picked_up: tournament_table_move::read(r); break;
    case cls::registered_tournaments: readU32List(r); break;
    default: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = (qInstallMessageHandler(silence), true);
    (void)quiet;
    if (size == 0)
        return 0;
    message_t frame;
    frame.reserve(size);
    frame.push_back(classes[data[0] % std::size(classes)]);
    frame.insert(frame.end(), data + 1, data + size);
    try {
        message_reader r(std::move(frame));
        decode(r);
    } catch (const std::exception&) {
        // server_error, or the registry-style runtime errors: both are the
        // expected end of bad input.
    }
    return 0;
}
