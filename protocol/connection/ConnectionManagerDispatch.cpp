// Incoming dispatch: the class switch over every received platform frame and
// the handlers of the platform classes. Each handler reads its fields (and
// converts and checks every value) before it emits anything, so a bad frame
// emits nothing; its server_error leaves through onMessage and ends as one
// exceptionCaught.

#include "ConnectionManager.h"

#include "ConnectionManager_p.h"
#include "ProtocolValues.h"
#include "lobby_records.h"
#include "message_reader.h"
#include "platform_packets.h"
#include "reason_texts.h"
#include "request_frames.h"
#include "request_handler.h"
#include "server_error.h"
#include "table_request_handler.h"

#include <QDebug>

using namespace platform_packets;

/// The platform message handlers. A friend of ConnectionManager, so that
/// the header does not list every handler.
class PlatformDispatch
{
public:
    explicit PlatformDispatch(ConnectionManager& cm)
        : cm(cm)
        , d(*cm.d)
    {
    }

    void dispatch(message_reader& r);
    /// Reads and checks the pending list's records, then announces them,
    /// while the turn's slice lasts; true once all are announced.
    bool continueRecordList();

private:
    void badPacket(message_reader& r);
    void systemMessage(message_reader& r);
    void loginResponse(message_reader& r);
    void playerInfo(message_reader& r);
    void forcedLogout(message_reader& r);
    void seatInfo(message_reader& r);
    void playerQueryResponse(message_reader& r);
    void joinResponse(message_reader& r);
    void watchResponse(message_reader& r);
    void unwatchResponse(message_reader& r);
    void leaveResponse(message_reader& r);
    void notifyJoin(message_reader& r);
    void notifyLeave(message_reader& r);
    void notifySeated(message_reader& r);
    void notifyWatching(message_reader& r);
    void notifyKick(message_reader& r);
    void tournamentEnvelope(message_reader& r);
    void tableSnapshot(message_reader& r);
    void tableSnapshotList(message_reader& r);
    void tableUpdate(message_reader& r);
    void tableUpdateList(message_reader& r);
    void tableRemoved(message_reader& r);
    void tournamentSnapshot(message_reader& r);
    void tournamentSnapshotList(message_reader& r);
    void tournamentUpdate(message_reader& r);
    void tournamentUpdateList(message_reader& r);
    void tournamentRemoved(message_reader& r);
    void filteredJoinResponse(message_reader& r);
    void joinCancelResponse(message_reader& r);
    void filteredJoinTableAvailable(message_reader& r);
    void tournamentRegisterResponse(message_reader& r);
    void tournamentUnregisterResponse(message_reader& r);
    void tournamentSeated(message_reader& r);
    void tournamentPickedUp(message_reader& r);
    void registeredTournaments(message_reader& r);

    /// Builds the TableInfo of a table record (classes 62 and 143) and
    /// announces it with tableInfoUpdate(TableInfo).
    void makeTableInfo(const table_record& record);

    /// Starts reading a list of records (classes 153 to 156) in the next
    /// steps of the drain.
    void startList(message_reader& r, std::size_t minRecordSize, RecordListWork::Kind kind);
    /// Reads the list's next record into its vector of values; a tournament
    /// whose values do not convert is left out with a warning.
    void readListRecord(RecordListWork& list);
    /// Announces the list's record number i, and lets it go.
    void announceListRecord(RecordListWork& list, std::size_t i);

    /// The name-cache rule plus the player-info trace.
    void playerInfoName(qint32 pid, const std::string& nick);

    ConnectionManager& cm;
    ConnectionManagerPrivate& d;
};

void ConnectionManager::handleMessage(message_reader& reader)
{
    PlatformDispatch(*this).dispatch(reader);
}

bool ConnectionManager::continueRecordList()
{
    return PlatformDispatch(*this).continueRecordList();
}

void PlatformDispatch::dispatch(message_reader& r)
{
    switch (r.class_id()) {
    case cls::platform_version: cm.onPlatformVersionReply(r); break;
    case cls::game_version: cm.onGameVersionReply(r); break;
    case cls::bad_packet: badPacket(r); break;
    case cls::system_message: systemMessage(r); break;
    case cls::ping: cm.onPing(r); break;
    case cls::login_response: loginResponse(r); break;
    case cls::player_info: playerInfo(r); break;
    case cls::forced_logout: forcedLogout(r); break;
    case cls::seat_info: seatInfo(r); break;
    case cls::player_query_response: playerQueryResponse(r); break;
    case cls::join_response: joinResponse(r); break;
    case cls::watch_response: watchResponse(r); break;
    case cls::unwatch_response: unwatchResponse(r); break;
    case cls::leave_response: leaveResponse(r); break;
    case cls::notify_join: notifyJoin(r); break;
    case cls::notify_leave: notifyLeave(r); break;
    case cls::notify_seated: notifySeated(r); break;
    case cls::notify_watching: notifyWatching(r); break;
    case cls::notify_kick: notifyKick(r); break;
    case cls::game_envelope: cm.onGameEnvelope(r); break;
    case cls::service_response: cm.onServiceResponse(r); break;
    case cls::local_service_response: cm.onLocalServiceResponse(r); break;
    case cls::tournament_envelope: tournamentEnvelope(r); break;
    case cls::table_snapshot: tableSnapshot(r); break;
    case cls::table_update: tableUpdate(r); break;
    case cls::table_removed: tableRemoved(r); break;
    case cls::tournament_snapshot: tournamentSnapshot(r); break;
    case cls::tournament_update: tournamentUpdate(r); break;
    case cls::tournament_removed: tournamentRemoved(r); break;
    case cls::table_snapshot_list: tableSnapshotList(r); break;
    case cls::table_update_list: tableUpdateList(r); break;
    case cls::tournament_snapshot_list: tournamentSnapshotList(r); break;
    case cls::tournament_update_list: tournamentUpdateList(r); break;
    case cls::filtered_join_response: filteredJoinResponse(r); break;
    case cls::join_cancel_response: joinCancelResponse(r); break;
    case cls::filtered_join_table_available: filteredJoinTableAvailable(r); break;
    case cls::tournament_register_response: tournamentRegisterResponse(r); break;
    case cls::tournament_unregister_response: tournamentUnregisterResponse(r); break;
    case cls::tournament_seated: tournamentSeated(r); break;
    case cls::tournament_picked_up: tournamentPickedUp(r); break;
    case cls::registered_tournaments: registeredTournaments(r); break;
    default: qWarning() << "   Packet" << r.class_id() << "was not handled"; break;
    }
}

void PlatformDispatch::badPacket(message_reader& r)
{
    const auto p = bad_packet::read(r);
    qWarning().noquote() << "bad_packet recieved:\n" << "    cmd: " << p.cmd << "\n" << "    error: " << p.error;
}

void PlatformDispatch::systemMessage(message_reader& r)
{
    const auto p = system_message::read(r);
    const QString message = wireText(p.message);
    qDebug().noquote() << "cm:system message:" << message;
    Q_EMIT cm.systemMessage(static_cast<qint32>(p.type), static_cast<qint32>(p.level), message);
}

void PlatformDispatch::loginResponse(message_reader& r)
{
    const auto p = login_response::read(r);
    if (p.status == 0) {
        const qint32 pid = static_cast<qint32>(p.pid);
        const QString name = nameFromWire(wireText(p.name));
        qDebug() << "cm:logged in as pid:" << pid;
        d.ownPlayerId = pid;
        d.loggedIn = true;
        cm.setPlayerName(pid, name);
        Q_EMIT cm.loginSuccess(pid, name, wireText(p.credentials), p.code == 1);
    } else {
        qDebug() << "cm:login " << (p.status == 1 ? "failed" : "denied") << "!";
        Q_EMIT cm.loginFailed(static_cast<qint32>(p.code));
    }
}

void PlatformDispatch::playerInfoName(qint32 pid, const std::string& nick)
{
    const QString name = nameFromWire(wireText(nick));
    cm.setPlayerName(pid, name);
    qDebug().noquote() << "app:got fb:player_info_packet" << "\n  pid:        " << pid << "\n  nick:       " << name;
}

void PlatformDispatch::playerInfo(message_reader& r)
{
    const auto p = player_info::read(r);
    playerInfoName(static_cast<qint32>(p.pid), p.nick);
}

void PlatformDispatch::forcedLogout(message_reader& r)
{
    r.get_u32(); // not used
    r.get_string(); // not used
    d.loggedIn = false;
    d.sessionEnded = true;
    Q_EMIT cm.forcedLogout();
}

void PlatformDispatch::seatInfo(message_reader& r)
{
    const auto p = seat_info::read(r);
    Q_EMIT cm.seatInfo(static_cast<qint32>(p.tableId), static_cast<qint8>(p.seat), static_cast<qint8>(p.status));
    playerInfoName(static_cast<qint32>(p.pid), p.nick);
}

void PlatformDispatch::playerQueryResponse(message_reader& r)
{
    const auto p = player_query_response::read(r);
    const qint32 pid = static_cast<qint32>(p.pid);
    switch (p.status) {
    case 0: {
        const QString name = nameFromWire(wireText(p.nick));
        cm.setPlayerName(pid, name);
        qDebug().noquote() << "app:got fb:player_query_response_packet" << "\n  pid:        " << pid
                           << "\n  nick:       " << name;
        break;
    }
    case 1:
        qDebug().noquote() << "app:got fb:player_query_response_packet" << "\n  pid:        " << pid
                           << "\n  status:     FAILED (server error)";
        break;
    case 2:
        qDebug().noquote() << "app:got fb:player_query_response_packet" << "\n  pid:        " << pid
                           << "\n  status:     DENIED (player not found)";
        break;
    default:
        break;
    }
}

void PlatformDispatch::joinResponse(message_reader& r)
{
    const auto p = join_response::read(r);
    const qint32 tableId = static_cast<qint32>(p.tableId);
    qDebug().noquote() << "app:got fb:join_response_packet" << "\n  tableid: " << tableId << "\n  seat:    " << p.seat
                       << "\n  status:  " << p.status << "\n  code:    " << p.code;
    const bool asked = table_requests().completeTableRequest(tableId, request_frames::cls::join);
    if (p.status == 0) {
        // A seat the client never asked for opens no table.
        if (asked)
            Q_EMIT cm.joinSuccessful(tableId);
        else
            qWarning().noquote() << "app:join of table" << tableId << "answered, never asked for; dropped";
        return;
    }
    if (p.code == 0) {
        throw server_error(std::string("received JOIN_ALLOWED when response status was ")
                           + joinResponseStatusName(p.status));
    }
    const auto reason = joinFailedReasonFromWire(p.code);
    Q_EMIT cm.joinFailed(tableId, reason);
}

void PlatformDispatch::watchResponse(message_reader& r)
{
    const auto p = table_status_response::read(r);
    const qint32 tableId = static_cast<qint32>(p.tableId);
    qDebug().noquote() << "cm:got fb:watch_response" << "\n  table_id: " << tableId << "\n  status:  " << p.status;
    const bool asked = table_requests().completeTableRequest(tableId, request_frames::cls::watch);
    if (p.status == 0 && !asked) {
        qWarning().noquote() << "app:watch of table" << tableId << "answered, never asked for; dropped";
    } else if (p.status == 0) {
        Q_EMIT cm.watchSuccessful(tableId);
    } else if (p.status == 3) {
        Q_EMIT cm.alreadySeated(tableId);
    } else {
        const QString text = reason_texts::watchStatus(p.status);
        qWarning().noquote() << "app:watch table" << text;
        Q_EMIT cm.watchFailed(tableId, text);
    }
}

void PlatformDispatch::unwatchResponse(message_reader& r)
{
    const auto p = table_status_response::read(r);
    const qint32 tableId = static_cast<qint32>(p.tableId);
    table_requests().completeTableRequest(tableId, request_frames::cls::unwatch);
    if (p.status == 0)
        Q_EMIT cm.unwatchSuccessful(tableId);
    else
        Q_EMIT cm.unwatchFailed(tableId);
}

void PlatformDispatch::leaveResponse(message_reader& r)
{
    const auto p = table_status_response::read(r, true);
    const qint32 tableId = static_cast<qint32>(p.tableId);
    table_requests().completeTableRequest(tableId, request_frames::cls::leave);
    if (p.status == 0)
        Q_EMIT cm.leaveSuccessful(tableId);
    else
        Q_EMIT cm.leaveFailed(tableId, reason_texts::leaveStatus(p.status));
}

void PlatformDispatch::notifyJoin(message_reader& r)
{
    const auto p = notify_join::read(r);
    const qint32 pid = static_cast<qint32>(p.pid);
    const QString name = nameFromWire(wireText(p.nick));
    PlayerData player(pid, QString());
    player.setName(name);
    cm.setPlayerName(pid, name);
    qDebug().noquote() << "notify join:" << pid << name;
    Q_EMIT cm.playerJoined(static_cast<qint32>(p.tableId), player);
}

void PlatformDispatch::notifyLeave(message_reader& r)
{
    const auto p = id_pair::read(r);
    Q_EMIT cm.playerLeft(static_cast<qint32>(p.first), static_cast<qint32>(p.second));
}

void PlatformDispatch::notifySeated(message_reader& r)
{
    const auto p = notify_seated::read(r);
    makeTableInfo(p.table);
    Q_EMIT cm.notifySeated(static_cast<qint32>(p.tableId), p.seat, static_cast<qint32>(p.tournamentId));
}

void PlatformDispatch::notifyWatching(message_reader& r)
{
    Q_EMIT cm.notifyWatching(r.get_i32());
}

void PlatformDispatch::notifyKick(message_reader& r)
{
    const auto p = notify_kick::read(r);
    qDebug() << "kicked from table:" << static_cast<qint32>(p.tableId) << " reason:" << p.reason;
    const auto reason = kickReasonFromWire(p.reason);
    Q_EMIT cm.kickPlayer(static_cast<qint32>(p.tableId), reason);
}

void PlatformDispatch::tournamentEnvelope(message_reader& r)
{
    const auto envelope = tournament_envelope::read(r);
    const qint32 mttId = static_cast<qint32>(envelope.mttId);
    message_reader inner(envelope.inner);
    switch (inner.class_id()) {
    case cls::end_of_tournament_round: {
        const auto p = end_of_tournament_round::read(inner);
        qDebug().noquote() << "end of tournament round," << "last_round:" << QString(QChar(char(p.lastRound)));
        Q_EMIT cm.endOfTournamentRound(mttId, static_cast<qint32>(p.tableId), p.lastRound != 0, p.scores);
        break;
    }
    case cls::tournament_ranking_list: {
        const auto rows = readRankingRows(inner);
        qDebug() << "tournament ranking list";
        for (const ranking_row& row : rows) {
            qDebug() << "pid:" << static_cast<qint32>(row.pid) << "table_points:"
                     << static_cast<qint32>(row.tablePoints) << "competition_points:"
                     << static_cast<qint32>(row.competitionPoints);
        }
        Q_EMIT cm.tournamentRankings(mttId, tournamentRankingsFromRows(rows));
        break;
    }
    case cls::tournament_leave_response: {
        const std::uint8_t status = inner.get_u8();
        const QString text = reason_texts::tournamentLeaveStatus(status);
        qDebug().noquote() << "MTT leave response, mttId:" << mttId << " status:" << status << "(" << text << ")";
        if (status == 0)
            Q_EMIT cm.tournamentLeaveSuccess(mttId);
        else
            Q_EMIT cm.tournamentLeaveFailed(mttId, text);
        break;
    }
    default:
        qWarning() << "   MTT packet" << "mttid:" << mttId << "cls:" << inner.class_id() << " was not handled";
        break;
    }
}

void PlatformDispatch::makeTableInfo(const table_record& record)
{
    const TableInfo info = tableInfoFromRecord(record);
    Q_EMIT cm.tableInfoUpdate(info);
}

void PlatformDispatch::tableSnapshot(message_reader& r)
{
    makeTableInfo(table_record::read(r));
}

void PlatformDispatch::startList(message_reader& r, std::size_t minRecordSize, RecordListWork::Kind kind)
{
    // The count is checked against the bytes left before anything is
    // reserved: a lying count ends in server_error, not in a huge allocation.
    const std::uint32_t count = r.checked_count(r.get_u32(), minRecordSize);
    d.recordList.emplace(r, count, kind);
    switch (kind) {
    case RecordListWork::Kind::TableSnapshots: d.recordList->tables.reserve(count); break;
    case RecordListWork::Kind::TableUpdates: d.recordList->tableUpdates.reserve(count); break;
    case RecordListWork::Kind::TournamentSnapshots: d.recordList->tournaments.reserve(count); break;
    case RecordListWork::Kind::TournamentUpdates: d.recordList->tournamentUpdates.reserve(count); break;
    }
}

void PlatformDispatch::tableSnapshotList(message_reader& r)
{
    startList(r, table_record::minWireSize, RecordListWork::Kind::TableSnapshots);
}

void PlatformDispatch::tableUpdate(message_reader& r)
{
    const auto record = table_update_record::read(r);
    const TableInfoUpdates updates = tableInfoUpdatesFromRecord(record);
    Q_EMIT cm.tableInfoUpdate(static_cast<qint32>(record.tableId), int(record.seated), updates);
}

void PlatformDispatch::tableUpdateList(message_reader& r)
{
    startList(r, table_update_record::minWireSize, RecordListWork::Kind::TableUpdates);
}

namespace {
/// Runs the conversion of one record read from a list: a record whose values
/// are wrong is only that table's or tournament's fault, and is left out.
template <typename Convert>
void keepUnlessWrong(const char* kind, quint32 id, Convert convert)
{
    try {
        convert();
    } catch (const std::exception& e) {
        qWarning() << kind << static_cast<qint32>(id) << "left out of the list:" << e.what();
    }
}
}

void PlatformDispatch::readListRecord(RecordListWork& list)
{
    // A record that cannot be read leaves the stream unreadable, and ends it.
    using Kind = RecordListWork::Kind;
    switch (list.kind) {
    case Kind::TableSnapshots: {
        const auto record = table_record::read(*list.reader);
        keepUnlessWrong("table", record.tableId, [&] { list.tables.push_back(tableInfoFromRecord(record)); });
        break;
    }
    case Kind::TableUpdates: {
        const auto record = table_update_record::read(*list.reader);
        keepUnlessWrong("table", record.tableId, [&] {
            list.tableUpdates.push_back(
                {static_cast<qint32>(record.tableId), int(record.seated), tableInfoUpdatesFromRecord(record)});
        });
        break;
    }
    case Kind::TournamentSnapshots: {
        const auto record = tournament_record::read(*list.reader);
        keepUnlessWrong("tournament", record.tournamentId,
                        [&] { list.tournaments.push_back(tournamentInfoFromRecord(record)); });
        break;
    }
    case Kind::TournamentUpdates: {
        const auto record = tournament_update_record::read(*list.reader);
        keepUnlessWrong("tournament", record.tournamentId, [&] {
            list.tournamentUpdates.push_back(
                {static_cast<qint32>(record.tournamentId), tournamentInfoUpdatesFromRecord(record)});
        });
        break;
    }
    }
}

void PlatformDispatch::announceListRecord(RecordListWork& list, std::size_t i)
{
    // A slot may end the list (a failed connection): the record is let go
    // through a copy of the list's own, which the slot cannot take away.
    using Kind = RecordListWork::Kind;
    switch (list.kind) {
    case Kind::TableSnapshots: {
        const TableInfo record = std::exchange(list.tables[i], {});
        Q_EMIT cm.tableInfoUpdate(record);
        break;
    }
    case Kind::TableUpdates: {
        const RecordListWork::TableUpdate update = std::exchange(list.tableUpdates[i], {});
        Q_EMIT cm.tableInfoUpdate(update.tableId, update.seated, update.updates);
        break;
    }
    case Kind::TournamentSnapshots: {
        const TournamentInfo record = std::exchange(list.tournaments[i], {});
        Q_EMIT cm.tournamentInfoUpdate(record);
        break;
    }
    case Kind::TournamentUpdates: {
        const RecordListWork::TournamentUpdate update = std::exchange(list.tournamentUpdates[i], {});
        Q_EMIT cm.tournamentInfoUpdate(update.tournamentId, update.updates);
        break;
    }
    }
}

bool PlatformDispatch::continueRecordList()
{
    // Every record is read before the first is announced, so a record that
    // cannot be read stops the whole list rather than half of it (a table or
    // tournament whose values are wrong is only left out).
    RecordListWork& list = *d.recordList;
    for (; list.unread > 0; --list.unread) {
        if (d.turn.elapsed() >= ConnectionManager::dispatchSliceMsecs)
            return false;
        readListRecord(list);
    }
    list.reader.reset();
    const std::size_t count
        = list.tables.size() + list.tableUpdates.size() + list.tournaments.size() + list.tournamentUpdates.size();
    while (list.announced < count) {
        if (d.turn.elapsed() >= ConnectionManager::dispatchSliceMsecs)
            return false;
        // A slot may end the list (a failed connection): nothing is used after it.
        announceListRecord(list, list.announced++);
        if (!d.recordList)
            return true;
    }
    const bool tournaments = list.isTournamentList();
    d.recordList.reset();
    if (tournaments)
        Q_EMIT cm.tournamentListAnnounced();
    return true;
}

void PlatformDispatch::tableRemoved(message_reader& r)
{
    Q_EMIT cm.tableRemoved(r.get_i32());
}

void PlatformDispatch::tournamentSnapshot(message_reader& r)
{
    const TournamentInfo info = tournamentInfoFromRecord(tournament_record::read(r));
    Q_EMIT cm.tournamentInfoUpdate(info);
}

void PlatformDispatch::tournamentSnapshotList(message_reader& r)
{
    startList(r, tournament_record::minWireSize, RecordListWork::Kind::TournamentSnapshots);
}

void PlatformDispatch::tournamentUpdate(message_reader& r)
{
    const auto record = tournament_update_record::read(r);
    const TournamentInfoUpdates updates = tournamentInfoUpdatesFromRecord(record);
    Q_EMIT cm.tournamentInfoUpdate(static_cast<qint32>(record.tournamentId), updates);
}

void PlatformDispatch::tournamentUpdateList(message_reader& r)
{
    startList(r, tournament_update_record::minWireSize, RecordListWork::Kind::TournamentUpdates);
}

void PlatformDispatch::tournamentRemoved(message_reader& r)
{
    const qint32 id = r.get_i32();
    qDebug() << "tournament_removed, mttid:" << id;
    Q_EMIT cm.tournamentRemoved(id);
}

void PlatformDispatch::filteredJoinResponse(message_reader& r)
{
    const auto p = filtered_join_response::read(r);
    const int seq = static_cast<int>(p.seq);
    const int requestClass = filter_join_requests().takeOutstandingRequest(seq);
    if (requestClass != request_frames::cls::filter_join) {
        throw server_error("received invalid seq no " + std::to_string(p.seq) + " for class "
                           + std::to_string(requestClass));
    }
    switch (p.status) {
    case 3:
        qDebug() << "SEATING...";
        Q_EMIT cm.seating(seq);
        break;
    case 4:
        qDebug() << "WAITING_LIST...";
        Q_EMIT cm.waitingList(seq);
        break;
    case 1:
        qWarning() << "FAILED!";
        Q_EMIT cm.filterJoinFailed(seq);
        break;
    default:
        qWarning() << "DENIED!";
        Q_EMIT cm.filterJoinFailed(seq);
        break;
    }
}

void PlatformDispatch::joinCancelResponse(message_reader& r)
{
    const auto p = join_cancel_response::read(r);
    const int seq = static_cast<int>(p.seq);
    qDebug() << "join cancel resp, seq:" << seq << " status:" << p.status;
    const int requestClass = filter_join_requests().takeOutstandingRequest(seq);
    if (requestClass != request_frames::cls::cancel_filter_join)
        throw server_error("unexpected sequence number received in filtered join cancel response: " + std::to_string(p.seq));
    if (p.status == 0)
        Q_EMIT cm.waitingListCancelled(seq);
    else
        Q_EMIT cm.waitingListCancelFailed(p.status == 2);
}

void PlatformDispatch::filteredJoinTableAvailable(message_reader& r)
{
    const auto p = filtered_join_table_available::read(r);
    qDebug() << "filtered join table available";
    cm.join_table(static_cast<qint32>(p.tableId), qint8(-1));
}

void PlatformDispatch::tournamentRegisterResponse(message_reader& r)
{
    const auto p = tournament_register_response::read(r);
    const qint32 mttId = static_cast<qint32>(p.mttId);
    qDebug() << "MMT register response, mttId:" << mttId << " status:" << p.status;
    if (p.status == 0) {
        Q_EMIT cm.tournamentRegisterSuccess(mttId);
    } else {
        const auto reason = tournamentRegisterFailedReasonFromWire(p.status);
        Q_EMIT cm.tournamentRegisterFailed(mttId, reason);
    }
}

void PlatformDispatch::tournamentUnregisterResponse(message_reader& r)
{
    const auto p = tournament_register_response::read(r);
    const qint32 mttId = static_cast<qint32>(p.mttId);
    qDebug() << "MTT unregister response, mttId:" << mttId << " status:" << p.status;
    if (p.status == 0) {
        Q_EMIT cm.tournamentUnregisterSuccess(mttId);
    } else {
        const auto reason = tournamentRegisterFailedReasonFromWire(p.status);
        Q_EMIT cm.tournamentUnregisterFailed(mttId, reason);
    }
}

void PlatformDispatch::tournamentSeated(message_reader& r)
{
    const auto p = tournament_table_move::read(r);
    qDebug().noquote() << "mtt_seated, mttid:" << static_cast<qint32>(p.mttId) << "tableid:"
                       << static_cast<qint32>(p.tableId) << "seat:" << QString(QChar(char(p.flag)));
    Q_EMIT cm.tournamentSeated(static_cast<qint32>(p.mttId), static_cast<qint32>(p.tableId));
}

void PlatformDispatch::tournamentPickedUp(message_reader& r)
{
    const auto p = tournament_table_move::read(r);
    qDebug() << "mtt_picked_up, mttid:" << static_cast<qint32>(p.mttId) << "tableid:" << static_cast<qint32>(p.tableId);
    Q_EMIT cm.tournamentPickedUp(static_cast<qint32>(p.mttId), static_cast<qint32>(p.tableId), p.flag != 0);
}

void PlatformDispatch::registeredTournaments(message_reader& r)
{
    const auto list = readU32List(r);
    std::vector<qint32> ids(list.begin(), list.end());
    Q_EMIT cm.notifyRegistered(ids);
}
