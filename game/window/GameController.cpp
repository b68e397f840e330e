#include "GameController.h"

#include "ConnectionManager.h"
#include "GameWindow.h"
#include "ModelessMsgBox.h"
#include "SocialServices.h"
#include "TableModel.h"
#include "TournamentsController.h"

#include <QApplication>
#include <QDebug>
#include <QDeadlineTimer>
#include <QTimer>

#include <exception>
#include <type_traits>

namespace {

/// How often a tournament seating whose join the throttle refused is tried again.
constexpr int seatingRetryMs = 500;
/// How long a join waits for the record of its table before it is given up.
constexpr int heldJoinMs = 10000;
/// How many of its table's events a join waiting for the record keeps, and
/// how many bytes of memory they may take.
constexpr std::size_t heldEventLimit = 1000;
constexpr std::size_t heldByteLimit = 4u * 1024u * 1024u;

/// The memory a held event's value takes, its lists and texts included.
template <typename T>
std::size_t heldBytes(const T& value)
{
    if constexpr (std::is_same_v<T, QString>) {
        return sizeof(T) + std::size_t(value.size()) * sizeof(QChar);
    } else if constexpr (std::is_same_v<T, PlayerData>) {
        return sizeof(T) + heldBytes(value.name()) + heldBytes(value.melds()) + heldBytes(value.bonusTiles())
               + heldBytes(value.discards()) + heldBytes(value.handTiles()) + heldBytes(value.lastDrawn());
    } else if constexpr (std::is_same_v<T, PrivatePlayerData>) {
        return sizeof(T) + heldBytes(value.hand);
    } else if constexpr (std::is_same_v<T, WallState>) {
        return sizeof(T) + heldBytes(value.doraTiles);
    } else if constexpr (std::is_same_v<T, player_score>) {
        return sizeof(T) + heldBytes(value.name) + heldBytes(value.points) + heldBytes(value.doubles)
               + heldBytes(value.limitHands) + heldBytes(value.highlighted);
    } else if constexpr (std::is_same_v<T, HighlightedTiles>) {
        return sizeof(T) + heldBytes(value.tiles);
    } else if constexpr (requires { value.first; value.second; }) {
        return heldBytes(value.first) + heldBytes(value.second);
    } else if constexpr (requires { value.begin(); value.end(); }) {
        using Item = std::decay_t<decltype(*value.begin())>;
        std::size_t bytes = sizeof(T);
        if constexpr (std::is_trivially_copyable_v<Item>)
            bytes += std::size_t(value.size()) * sizeof(Item);
        else
            for (const auto& item : value)
                bytes += heldBytes(item);
        return bytes;
    } else {
        // A value that owns memory elsewhere needs its own branch above: its
        // size alone would let a flood of long lists through the bound.
        static_assert(std::is_trivially_copyable_v<T> || std::is_same_v<T, TimeSpan>,
                      "count what the value holds");
        return sizeof(T);
    }
}

} // namespace

template <typename... Args>
auto GameController::relay(void (GameController::*slot)(qint32, Args...))
{
    return [this, slot](qint32 tableId, Args... args) {
        const auto held = heldJoins.find(tableId);
        if (held == heldJoins.end() || hasTable(tableId)) {
            (this->*slot)(tableId, args...);
            return;
        }
        HeldJoin& join = held->second;
        // A snapshot restates the whole table: what came before it is moot.
        if constexpr (std::is_same_v<decltype(slot), decltype(&GameController::onGameData)>) {
            join.events.clear();
            join.bytes = 0;
        }
        const std::size_t bytes = (std::size_t(0) + ... + heldBytes(args));
        if (join.events.size() >= heldEventLimit || join.bytes + bytes > heldByteLimit) {
            giveUpHeldJoin(tableId, QStringLiteral("too much for joined table %1 before its record; left")
                                        .arg(tableId));
            return;
        }
        join.bytes += bytes;
        join.events.push_back([this, slot, tableId, args...] { (this->*slot)(tableId, args...); });
    };
}

GameController::GameController(ConnectionManager* connection, SocialServices* services,
                               TournamentsController* tournaments, QWidget* parentWidget)
    : QObject(parentWidget)
    , connection(connection)
    , services(services)
    , tournaments(tournaments)
    , parentWidget(parentWidget)
    , seatingRetry(new QTimer(this))
{
    seatingRetry->setInterval(seatingRetryMs);
    connect(seatingRetry, &QTimer::timeout, this, &GameController::retrySeatings);

    using CM = ConnectionManager;
    using GC = GameController;
    connect(connection, &CM::watchSuccessful, this, &GC::watchSuccessful);
    connect(connection, &CM::unwatchSuccessful, this, &GC::unwatchSuccessful);
    connect(connection, &CM::gameData, this, relay(&GC::onGameData));
    connect(connection, &CM::privatePlayerData, this, relay(&GC::onPrivatePlayerData));
    connect(connection, &CM::tileDiscarded, this, relay(&GC::tileDiscarded));
    connect(connection, &CM::riichiDeclared, this, relay(&GC::riichiDeclared));
    connect(connection, &CM::tileClaimed, this, relay(&GC::tileClaimed));
    connect(connection, &CM::hiddenTilesFromWall, this, relay(&GC::hiddenTilesFromWall));
    connect(connection, &CM::meldDeclared, this, relay(&GC::meldDeclared));
    connect(connection, &CM::joinSuccessful, this, &GC::onJoinSuccessful);
    connect(connection, &CM::joinFailed, this, [this](qint32 tableId, join_failed_reason::enum_t) {
        onJoinFailed(tableId);
    });
    connect(connection, &CM::leaveSuccessful, this, &GC::leaveSuccessful);
    connect(connection, &CM::playerJoined, this, relay(&GC::playerJoined));
    connect(connection, &CM::startHand, this, relay(&GC::startHand));
    connect(connection, &CM::tilesFromWall, this, relay(&GC::tilesFromWall));
    connect(connection, &CM::kanDora, this, relay(&GC::kanDora));
    connect(connection, &CM::meldSuggestion, this, relay(&GC::meldSuggestion));
    connect(connection, &CM::concealedMeldSuggestion, this, relay(&GC::concealedMeldSuggestion));
    connect(connection, &CM::robTheKongSuggestion, this, relay(&GC::robTheKongSuggestion));
    connect(connection, &CM::playerShouldAct, this, relay(&GC::playerShouldAct));
    connect(connection, &CM::declareBonus, this, relay(&GC::declareBonus));
    connect(connection, &CM::handEndNonScoring, this, relay(&GC::handEndNonScoring));
    connect(connection, &CM::handEndScoring, this, relay(&GC::handEndScoring));
    connect(connection, &CM::endOfRound, this, relay(&GC::endOfRound));
    connect(connection, &CM::areYouReady, this, relay(&GC::areYouReady));
    connect(connection, &CM::timeoutOccured, this, relay(&GC::timeoutOccured));
    connect(connection, &CM::kickPlayer, this, relay(&GC::onKickPlayer));
    connect(connection, &CM::someoneDeclaredMahjong, this, relay(&GC::someoneDeclaredMahjong));
    connect(connection, &CM::playerLeft, this, relay(&GC::onPlayerLeft));
    connect(connection, &CM::playerIsReady, this, relay(&GC::playerIsReady));
    connect(connection, &CM::furitenChanged, this, relay(&GC::furitenChanged));
    connect(connection, &CM::activeChanged, this, relay(&GC::activeChanged));
    connect(connection, &CM::someoneDeclaredMeld, this, relay(&GC::someoneDeclaredMeld));
    connect(connection, &CM::gamePacketRefused, this, &GC::onGamePacketRefused);
    connect(connection, &CM::tournamentSeated, this, qOverload<qint32, qint32>(&GC::onTournamentSeated));
    connect(connection, qOverload<TableInfo>(&CM::tableInfoUpdate), this,
            qOverload<const TableInfo&>(&GC::onTableInfo));
    connect(connection, qOverload<qint32, int, TableInfoUpdates>(&CM::tableInfoUpdate), this,
            qOverload<qint32, int, const TableInfoUpdates&>(&GC::onTableInfo));
    connect(connection, &CM::endOfTournamentRound, this, &GC::endOfTournamentRound);
    connect(connection, &CM::tournamentRankings, this, &GC::tournamentRankings);
    connect(connection, &CM::tournamentRemoved, this, &GC::onTournamentRemoved);
    connect(connection, &CM::tournamentPickedUp, this, &GC::tournamentPickedUp);
    // Names asked for while a table was open arrive later: every table that
    // seats the player shows the new name.
    connect(connection, &CM::playerNameUpdate, this, [this](qint32 pid, const QString& name) {
        for (auto& [id, table] : tables)
            if (table.model)
                table.model->onPlayerNameUpdate(pid, name);
    });
    if (tournaments)
        connect(tournaments, &TournamentsController::updateTournamentInfo, this, &GC::onTournamentUpdate);
    if (services)
        connect(services, &SocialServices::playerPictureUpdate, this, &GC::playerPictureUpdate);
}

GameController::~GameController()
{
    // Windows belong to the parent widget and go with it; models are ours.
    for (auto& [id, table] : tables) {
        if (table.window)
            table.window->setModel(nullptr);
        delete table.model;
    }
}

void GameController::setPlayerId(qint32 playerId)
{
    ownPlayerId = playerId;
}

void GameController::setPlayerName(const QString& name)
{
    ownPlayerName = name;
}

void GameController::setTableModel(TableModel* model)
{
    tableModel = model;
}

QString GameController::mttLobbyPath(qint32 tournamentId)
{
    return QStringLiteral("101/mtt/%1").arg(tournamentId);
}

bool GameController::hasTable(qint32 tableId) const
{
    return tables.count(tableId) != 0;
}

GameModel* GameController::gameModel(qint32 tableId) const
{
    const auto it = tables.find(tableId);
    return it == tables.end() ? nullptr : it->second.model;
}

GameWindow* GameController::existingView(qint32 tableId) const
{
    const auto it = tables.find(tableId);
    return it == tables.end() ? nullptr : it->second.window.data();
}

QList<qint32> GameController::pendingSeatings() const
{
    QList<qint32> ids;
    for (const auto& [id, seating] : tournamentSeatings)
        ids << id;
    return ids;
}

GameController::Table* GameController::tableEntry(qint32 tableId, const char* event)
{
    const auto it = tables.find(tableId);
    if (it == tables.end() || !it->second.model) {
        // A table closed locally a moment before still gets the events the
        // server sent before it saw the leave.
        qWarning().noquote() << QStringLiteral("%1 for table %2, which is not open; dropped")
                                    .arg(QLatin1String(event))
                                    .arg(tableId);
        return nullptr;
    }
    return &it->second;
}

GameModel* GameController::modelFor(qint32 tableId, const char* event)
{
    Table* t = tableEntry(tableId, event);
    return t ? t->model : nullptr;
}

GameWindow* GameController::windowFor(qint32 tableId, const char* event)
{
    Table* t = tableEntry(tableId, event);
    return t ? t->window.data() : nullptr;
}

// --- tables

void GameController::createTable(qint32 tableId)
{
    createTable(tableId, -1);
}

void GameController::createTable(qint32 tableId, qint32 tournamentId)
{
    Table& entry = tables[tableId];
    if (!entry.model && !createGameModel(tableId)) {
        tables.erase(tableId);
        return;
    }
    if (tournamentId != -1 && tableModel)
        tableModel->unsubscribe(mttLobbyPath(tournamentId));
    if (entry.model->tableInfo().gameType == 1 && tournaments) {
        const qint32 mtt = entry.model->tableInfo().mttId;
        // The round's board shows the tournament's standings.
        tournaments->showStandings(mtt, entry.model);
        // The seating may come before the tournaments lobby lists the
        // tournament; the table then opens without its record.
        if (tournaments->hasTournament(mtt))
            entry.model->onTournamentInfo(tournaments->tournamentInfo(mtt));
        else
            qWarning().noquote() << QStringLiteral("table %1 opened without tournament %2").arg(tableId).arg(mtt);
    }
    if (!entry.window)
        createGameWindow(tableId);
}

bool GameController::createGameModel(qint32 tableId)
{
    const bool listed = tableModel && tableModel->hasTableInfo(tableId);
    if (!listed && m_arrivedRecord.tableId != tableId) {
        qWarning().noquote() << QStringLiteral("no table info for table %1; the table is not opened").arg(tableId);
        return false;
    }
    const TableInfo info = listed ? tableModel->tableInfo(tableId) : m_arrivedRecord;
    if (tableModel)
        tableModel->subscribe(info.lobbyPath);
    auto* model = new GameModel(tableId, info, ownPlayerId, ownPlayerName);
    tables[tableId].model = model;
    connect(model, &GameModel::tournamentRoundEnded, this, &GameController::onTournamentRoundEnded);
    Q_EMIT gameModelCreated(model);
    return true;
}

void GameController::createGameWindow(qint32 tableId)
{
    Table& entry = tables[tableId];
    GameModel* model = entry.model;
    auto* w = new GameWindow(pageParent, services, ownPlayerId);
    entry.window = w;
    w->hide();

    using GW = GameWindow;
    connect(w, &GW::tournamentScoreDialogClosed, this, &GameController::onTournamentScoreDialogClosed);
    // Stopped countdowns: the table no longer waits for the user.
    connect(w, &GW::clearTimeout, this, [this](qint32 id) { Q_EMIT tableActivity(id, false); });
    connect(w, &GW::leave, this, &GameController::onLeave);
    connect(w, &GW::reactivate, this, &GameController::onReactivate);
    connect(w, &GW::join, this, &GameController::onJoin);
    connect(w, &GW::ready, this, &GameController::onReady);
    connect(w, &GW::playerAdded, this, &GameController::onPlayerAdded);
    connect(w, &GW::tableActivity, this, &GameController::tableActivity);
    connect(w, &GW::kickedConfirmed, this, &GameController::onKickedConfirmed);

    w->setModel(model);
    w->onTableInfo(model->tableInfo());

    using CM = ConnectionManager;
    connect(w, &GW::discardTile, connection, &CM::discard_tile);
    connect(w, &GW::callPass, connection, qOverload<qint32, qint32, bool>(&CM::call_pass));
    connect(w, &GW::callChow, connection, &CM::call_chow);
    connect(w, &GW::callPong, connection, &CM::call_pong);
    connect(w, &GW::callPongToKong, connection, &CM::call_pong_to_kong);
    connect(w, &GW::callKong, connection, &CM::call_kong);
    connect(w, &GW::callRiichi, connection, &CM::call_riichi);
    connect(w, &GW::callMahjong, connection, &CM::call_mahjong);

    using GM = GameModel;
    connect(model, &GM::modelReset, w, &GW::reset);
    connect(model, qOverload<const TableInfo&>(&GM::tableInfo), w, &GW::onTableInfo);
    connect(model, qOverload<const TournamentInfo&>(&GM::tournamentInfo), w, &GW::onTournamentInfo);
    connect(model, &GM::playerShouldAct, w, &GW::onPlayerShouldAct);
    connect(model, &GM::privatePlayerData, w, &GW::onPrivatePlayerData);
    connect(model, &GM::tilesFromWall, w, &GW::onTilesFromWall);
    connect(model, &GM::kanDora, w, &GW::onKanDora);
    connect(model, &GM::hiddenTilesFromWall, w, &GW::onHiddenTilesFromWall);
    connect(model, &GM::tileDiscarded, w, &GW::onTileDiscarded);
    connect(model, &GM::tileClaimed, w, &GW::onTileClaimed);
    connect(model, &GM::playerSeated, w, &GW::onPlayerSeated);
    connect(model, &GM::playerUnseated, w, [w](qint32 pid, qint32) { w->onPlayerUnseated(pid); });
    connect(model, &GM::meldDeclared, w, &GW::onMeldDeclared);
    connect(model, &GM::bonusDeclared, w, &GW::onBonusDeclared);
    connect(model, &GM::gameStateChanged, w, &GW::onGameStateChanged);
    connect(model, &GM::startHand, w, &GW::onStartHand);
    connect(model, &GM::handEndScoring, w, &GW::onHandEndScoring);
    connect(model, &GM::handEndNonScoring, w, &GW::onHandEndNonScoring);
    connect(model, &GM::endOfTournamentRound, w, &GW::onEndOfTournamentRound);
    connect(model, &GM::tournamentRankings, w, &GW::onTournamentRankings);
    connect(model, &GM::tournamentRoundEnded, w, [w](qint32) { w->onTournamentRoundEnded(); });
    connect(model, &GM::tournamentRemoved, w, &GW::onTournamentRemoved);
    connect(model, &GM::furitenChanged, w, &GW::onFuritenChanged);
    connect(model, &GM::activeChanged, w, &GW::onActiveChanged);
    connect(model, &GM::areYouReady, w, &GW::onAreYouReady);
    connect(model, &GM::playerIsReady, w, &GW::onPlayerIsReady);
    connect(model, &GM::playerNameChanged, w, &GW::onPlayerNameChanged);
    connect(model, &GM::playerStateChanged, w, &GW::onPlayerStateChanged);

    Q_EMIT tableViewCreated(tableId, w);
}

GameWindow* GameController::tableView(qint32 tableId)
{
    const auto it = tables.find(tableId);
    if (it == tables.end() || !it->second.model)
        return nullptr;
    if (!it->second.window) {
        createGameWindow(tableId);
        GameModel* model = it->second.model;
        const PlayerData* own = model->ownPlayer();
        if (own && model->isOwnPlayerSeated())
            model->onPrivatePlayerData(PrivatePlayerData{own->handTiles(), own->active(), own->furiten()});
    }
    return it->second.window;
}

void GameController::destroyTableView(qint32 tableId)
{
    const auto it = tables.find(tableId);
    if (it == tables.end() || !it->second.window)
        return;
    GameWindow* w = it->second.window;
    if (it->second.model)
        disconnect(it->second.model, nullptr, w, nullptr);
    disconnect(w, nullptr, nullptr, nullptr);
    Q_EMIT tableViewAboutToBeDestroyed(tableId);
    w->setModel(nullptr);
    w->hide();
    w->setParent(nullptr);
    w->deleteLater();
    it->second.window = nullptr;
    Q_EMIT tableViewDestroyed(tableId);
}

void GameController::destroyTable(qint32 tableId)
{
    destroyTableView(tableId);
    const auto it = tables.find(tableId);
    if (it == tables.end())
        return;
    GameModel* model = it->second.model;
    if (model) {
        Q_EMIT gameModelAboutToBeDestroyed(model);
        if (tableModel)
            tableModel->unsubscribe(model->tableInfo().lobbyPath);
        delete model;
    }
    tables.erase(tableId);
}

// --- joins and watches

void GameController::watchSuccessful(qint32 tableId)
{
    createTable(tableId, -1);
    GameModel* model = gameModel(tableId);
    if (!model)
        return;
    const bool fromLobby = model->playerState() == GameModel::NO_PLAYER_STATE;
    model->onWatching(fromLobby);
    Q_EMIT tableWatched(tableId, fromLobby);
}

void GameController::unwatchSuccessful(qint32 tableId)
{
    GameModel* model = gameModel(tableId);
    if (model && model->gameState() != GameModel::GAME_FINISHED)
        destroyTable(tableId);
}

void GameController::onJoinSuccessful(qint32 tableId)
{
    qint32 tournamentId = -1;
    int reason = 0;
    const auto seat = tournamentSeatings.find(tableId);
    const bool seated = seat != tournamentSeatings.end();
    if (seated) {
        tournamentId = seat->second.tournamentId;
        reason = seat->second.reason;
        tournamentSeatings.erase(seat);
    } else if (!hasTable(tableId) && (!tableModel || !tableModel->hasTableInfo(tableId))) {
        holdJoin(tableId);
        return;
    }
    openJoinedTable(tableId, tournamentId, reason, seated);
}

void GameController::holdJoin(qint32 tableId)
{
    // A join the lobby cannot describe yet (a table it does not list, joined
    // again after "already seated"): the table opens when its record comes.
    qWarning().noquote() << QStringLiteral("joined table %1 before its record; waiting for it").arg(tableId);
    heldJoins[tableId].deadline = QDeadlineTimer(heldJoinMs);
    // A coarse timer may fire a little early, before the deadline: the join
    // would then never be given up.
    QTimer::singleShot(heldJoinMs + 10, Qt::PreciseTimer, this, [this, tableId] {
        const auto it = heldJoins.find(tableId);
        if (it == heldJoins.end() || !it->second.deadline.hasExpired())
            return;
        giveUpHeldJoin(tableId, QStringLiteral("no record of joined table %1 came within %2 s; left")
                                    .arg(tableId)
                                    .arg(heldJoinMs / 1000));
    });
}

void GameController::giveUpHeldJoin(qint32 tableId, const QString& why)
{
    // The server holds the user's seat: a table that cannot be shown is left,
    // and the user told, rather than kept there with no page.
    heldJoins.erase(tableId);
    qWarning().noquote() << why;
    connection->leave_table(tableId);
    ModelessMsgBox::warning(parentWidget, [tableId] {
        return ModelessMsgBox::Wording{tr("Table not opened"),
                                       tr("Table %1 could not be opened: the server did not describe it in time.\n"
                                          "You have left the table.")
                                           .arg(tableId)};
    });
}

void GameController::openJoinedTable(qint32 tableId, qint32 tournamentId, int reason, bool seated)
{
    createTable(tableId, tournamentId);
    const auto it = tables.find(tableId);
    if (it == tables.end())
        return;
    it->second.model->markJoined();
    it->second.keepWatching = false;
    if (seated)
        Q_EMIT tournamentTableJoined(tournamentId, tableId, reason);
    else
        Q_EMIT regularTableJoined(tableId);
}

void GameController::onJoinFailed(qint32 tableId)
{
    const auto seat = tournamentSeatings.find(tableId);
    if (seat == tournamentSeatings.end())
        return;
    if (tableModel)
        tableModel->unsubscribe(mttLobbyPath(seat->second.tournamentId));
    tournamentSeatings.erase(seat);
}

void GameController::leaveSuccessful(qint32 tableId)
{
    destroyTable(tableId);
}

void GameController::onLeave(qint32 tableId)
{
    GameModel* model = modelFor(tableId, "leave");
    if (!model)
        return;
    // Between the hands of a regular game the server waits for the user's
    // answer to its ready question: the user's leave goes out at once.
    if (model->tableInfo().gameType != 1 && model->isSeated() && !model->isInPlay()) {
        connection->leave_table(tableId);
        return;
    }
    leaveOnceOver(tableId);
}

void GameController::leaveOnceOver(qint32 tableId)
{
    GameModel* model = modelFor(tableId, "leave");
    if (!model)
        return;
    if (model->tableInfo().gameType != 1) {
        if (!model->isSeated())
            connection->unwatch_table(tableId);
        else if (!model->gameInProgress())
            connection->leave_table(tableId);
        else
            destroyTableView(tableId);
        return;
    }
    if (model->gameState() == GameModel::GAME_FINISHED)
        destroyTable(tableId);
    else if (!model->isSeated())
        connection->unwatch_table(tableId);
    else
        destroyTableView(tableId);
}

void GameController::onInPlayLeave(qint32 tableId)
{
    destroyTableView(tableId);
}

void GameController::onJoin(qint32 tableId)
{
    connection->join_table(tableId, -1);
}

void GameController::onReady(qint32 tableId)
{
    connection->ready(tableId, ownPlayerId);
}

void GameController::onReactivate(qint32 tableId)
{
    connection->reactivate_table(tableId);
}

void GameController::onKickedConfirmed(qint32 tableId)
{
    destroyTable(tableId);
}

void GameController::onPlayerAdded(qint32 tableId, qint32 playerId)
{
    GameWindow* w = windowFor(tableId, "player added");
    if (w && services)
        w->setPlayerPicture(playerId, services->playerPicture(playerId));
}

void GameController::playerPictureUpdate(qint32 playerId)
{
    if (!services)
        return;
    for (auto& [id, table] : tables)
        if (table.window)
            table.window->setPlayerPicture(playerId, services->playerPicture(playerId));
}
