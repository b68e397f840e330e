// The controller's part in tournaments and table records: seatings joined
// once the lobby lists their table, held joins opened when their record
// comes, and the rounds' ends that close a tournament table.

#include "GameController.h"

#include "ConnectionManager.h"
#include "GameWindow.h"
#include "ModelessMsgBox.h"
#include "TableModel.h"
#include "table_request_handler.h"

#include <QDebug>
#include <QTimer>


// --- tournaments

void GameController::onTournamentSeated(qint32 tournamentId, qint32 tableId)
{
    onTournamentSeated(tournamentId, tableId, 0);
}

void GameController::onTournamentSeated(qint32 tournamentId, qint32 tableId, int reason)
{
    // The server follows every join with the notice that the user sits at
    // the table. For a table the user sits at already, or that is being
    // joined, the notice confirms that seating: a join sent for it would be
    // followed by another notice, and so on without end.
    if (reason == 1 && (sitsAt(tableId) || tournamentSeatings.count(tableId)))
        return;
    if (tournamentSeatings.count(tableId)) {
        qWarning().noquote() << QStringLiteral("Server tried to seat twice at table %1 (now for tournament %2)")
                                    .arg(tableId)
                                    .arg(tournamentId);
        return;
    }
    SeatingRecord seating{tournamentId, false, reason};
    tournamentSeatings[tableId] = seating;
    if (tableModel && tableModel->hasTableInfo(tableId))
        sendSeatingJoin(tableId);
    if (tableModel)
        tableModel->subscribe(mttLobbyPath(tournamentId));
}

bool GameController::sitsAt(qint32 tableId) const
{
    if (heldJoins.count(tableId))
        return true;
    const GameModel* model = gameModel(tableId);
    return model && (model->freshJoin() || model->isSeated());
}

bool GameController::sendSeatingJoin(qint32 tableId)
{
    const auto it = tournamentSeatings.find(tableId);
    if (it == tournamentSeatings.end() || it->second.joined)
        return true;
    // A join for this table sent less than three seconds ago and not yet
    // answered makes the connection refuse this one without a word; the
    // seating is then tried again until its join goes out. An older one
    // no longer holds it back.
    if (table_requests().isThrottled(tableId, 30)) {
        if (!seatingRetry->isActive())
            seatingRetry->start();
        return false;
    }
    connection->join_table(tableId, -1);
    it->second.joined = true;
    return true;
}

void GameController::retrySeatings()
{
    bool waiting = false;
    for (auto& [tableId, seating] : tournamentSeatings) {
        if (seating.joined || !tableModel || !tableModel->hasTableInfo(tableId))
            continue;
        if (!sendSeatingJoin(tableId))
            waiting = true;
    }
    if (!waiting)
        seatingRetry->stop();
}

void GameController::onGamePacketRefused(qint32 tableId)
{
    // The connection logged why. A table without a page (closed already, or
    // waiting for its record) has nothing to close.
    if (!existingView(tableId))
        return;
    leaveOnceOver(tableId);
    destroyTableView(tableId);
    ModelessMsgBox::warning(parentWidget, [tableId] {
        return ModelessMsgBox::Wording{
            tr("Table closed"),
            tr("Table %1 was closed: the server sent something about it that cannot be shown.").arg(tableId)};
    });
}

void GameController::onTableInfo(const TableInfo& ti)
{
    if (const auto held = heldJoins.find(ti.tableId); held != heldJoins.end()) {
        const std::vector<std::function<void()>> events = std::move(held->second.events);
        heldJoins.erase(held);
        // The lobby's list may take the record after this slot, or not at
        // all (a path it does not show): the table opens with the record in hand.
        m_arrivedRecord = ti;
        openJoinedTable(ti.tableId, -1, 0, false);
        m_arrivedRecord = TableInfo();
        for (const std::function<void()>& event : events)
            event();
    }
    const auto seat = tournamentSeatings.find(ti.tableId);
    if (seat != tournamentSeatings.end() && !seat->second.joined)
        sendSeatingJoin(ti.tableId);
    const auto it = tables.find(ti.tableId);
    if (it != tables.end() && it->second.model)
        it->second.model->onTableInfo(ti);
}

void GameController::onTableInfo(qint32 tableId, int seated, const TableInfoUpdates& updates)
{
    const auto it = tables.find(tableId);
    if (it != tables.end() && it->second.model)
        it->second.model->onTableInfo(seated, updates);
}

void GameController::onTournamentUpdate(qint32 tournamentId, const TournamentInfoUpdates& updates)
{
    for (auto& [id, table] : tables) {
        if (!table.model || table.model->tableInfo().mttId != tournamentId)
            continue;
        // A table whose round is over goes on showing that round, not the
        // rounds the tournament plays after it (a join of it for a later
        // round brings that round's record).
        if (table.model->isTournamentTable() && table.model->gameState() == GameModel::GAME_FINISHED)
            continue;
        TournamentInfo info = table.model->tournamentInfo();
        info.applyUpdates(updates);
        table.model->onTournamentInfo(info);
    }
}

void GameController::onTournamentRemoved(qint32 tournamentId)
{
    for (auto& [id, table] : tables)
        if (table.model && table.model->tableInfo().gameType == 1 && table.model->tableInfo().mttId == tournamentId)
            table.model->onTournamentRemoved();
}

void GameController::tournamentRankings(qint32 tournamentId, const TournamentRankings& rankings)
{
    for (auto& [id, table] : tables)
        if (table.model && table.model->tableInfo().gameType == 1 && table.model->tableInfo().mttId == tournamentId)
            table.model->onTournamentRankings(rankings);
}

void GameController::tournamentPickedUp(qint32, qint32 tableId, bool keepWatching)
{
    const auto it = tables.find(tableId);
    if (it != tables.end())
        it->second.keepWatching = keepWatching;
    else if (keepWatching)
        connection->unwatch_table(tableId);
}

void GameController::onTournamentScoreDialogClosed(qint32 tournamentId, qint32 tableId, bool lastRound)
{
    // The round is over either way. A table the server keeps the user
    // watching is no longer watched; kept without its page, it would stand
    // for the table id in the lobby, and a later join or watch of it would
    // only show the finished round.
    const auto it = tables.find(tableId);
    if (it != tables.end() && it->second.keepWatching)
        connection->unwatch_table(tableId);
    destroyTable(tableId);
    Q_EMIT tournamentScoreDialogClosed(tournamentId, tableId, lastRound);
}

void GameController::onTournamentRoundEnded(qint32 tableId)
{
    connection->unwatch_table(tableId);
}
