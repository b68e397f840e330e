#include "lobby_records.h"

#include "ProtocolValues.h"

#include <QDebug>
#include <QLoggingCategory>

namespace {
// The parameter texts of the traces are built only when debug lines are wanted.
bool tracing()
{
    return QLoggingCategory::defaultCategory()->isDebugEnabled();
}
}

using namespace platform_packets;

TableInfo tableInfoFromRecord(const table_record& record)
{
    TableInfo info;
    info.tableId = static_cast<qint32>(record.tableId);
    info.lobbyPath = wireText(record.lobbyPath);
    info.name = nameFromWire(wireText(record.name));
    info.capacity.setCapacity(record.capacity);
    info.capacity.setSeated(record.seated);
    info.value.setPlayers(record.capacity);
    info.applyUpdates(tableInfoUpdatesFromParams(record.params, {}));
    if (tracing())
        qDebug().nospace().noquote() << "Got table " << info.tableId << " on address " << info.lobbyPath << " cap: "
                       << record.capacity << " seat: " << record.seated
                       << "\nparams:" << paramListDebugText(record.params).c_str();
    return info;
}

TableInfoUpdates tableInfoUpdatesFromRecord(const table_update_record& record)
{
    qDebug().nospace() << "Update table " << static_cast<qint32>(record.tableId) << " seat: " << record.seated;
    return tableInfoUpdatesFromParams(record.params, record.removedKeys);
}

TournamentInfo tournamentInfoFromRecord(const tournament_record& record)
{
    if (tracing())
        qDebug() << "tournament_snapshot, mttid:" << static_cast<qint32>(record.tournamentId) << "address:"
             << record.address.c_str() << "params:" << paramListDebugText(record.params).c_str();
    TournamentInfo info;
    info.tournamentId = static_cast<qint32>(record.tournamentId);
    info.applyUpdates(tournamentInfoUpdatesFromParams(record.params, {}));
    return info;
}

TournamentInfoUpdates tournamentInfoUpdatesFromRecord(const tournament_update_record& record)
{
    if (tracing())
        qDebug() << "tournament_update, mttid:" << static_cast<qint32>(record.tournamentId)
             << "params:" << paramListDebugText(record.params).c_str();
    return tournamentInfoUpdatesFromParams(record.params, record.removedKeys);
}

TournamentRankings tournamentRankingsFromRows(const std::vector<ranking_row>& rows)
{
    TournamentRankings rankings;
    rankings.reserve(rows.size());
    for (const ranking_row& row : rows) {
        TournamentRanking ranking;
        ranking.pid = static_cast<qint32>(row.pid);
        ranking.name = nameFromWire(wireText(row.name));
        ranking.tablePoints = static_cast<qint32>(row.tablePoints);
        ranking.competitionPoints = static_cast<qint32>(row.competitionPoints);
        ranking.flag = row.flag != 0;
        rankings.push_back(std::move(ranking));
    }
    return rankings;
}
