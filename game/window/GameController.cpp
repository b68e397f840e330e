#include "GameController.h"

#include "ConnectionManager.h"
#include "GameWindow.h"
#include "ModelessMsgBox.h"
#include "SocialServices.h"
#include "TableModel.h"
#include "TournamentsController.h"
#include "WaitCursor.h"
#include "table_request_handler.h"

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
    auto* w = new GameWindow(parentWidget, services, ownPlayerId);
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
    // An answer ends the open offer: a page built again does not offer it twice.
    const auto answered = [model] { model->endOffer(); };
    connect(w, &GW::callPass, model, answered);
    connect(w, &GW::callChow, model, answered);
    connect(w, &GW::callPong, model, answered);
    connect(w, &GW::callPongToKong, model, answered);
    connect(w, &GW::callKong, model, answered);
    connect(w, &GW::callMahjong, model, answered);

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
    ModelessMsgBox::warning(parentWidget, tr("Table not opened"),
                            tr("Table %1 could not be opened: the server did not describe it in time.\n"
                               "You have left the table.")
                                .arg(tableId));
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

// --- relays to the model

void GameController::onGameData(qint32 tableId, qint64 handId, server_game_state::enum_t gameState,
                                const std::vector<PlayerData>& players, const TableState& tableState,
                                const WallState& wallState)
{
    if (GameModel* m = modelFor(tableId, "game data"))
        m->onGameData(handId, gameState, players, tableState, wallState);
    // The table's state answers a join or watch of the table, which showed a wait cursor.
    WaitCursor::instance().end(WaitCursor::Request::Join, tableId);
    WaitCursor::instance().end(WaitCursor::Request::Watch, tableId);
}

void GameController::onPrivatePlayerData(qint32 tableId, const PrivatePlayerData& data)
{
    if (GameModel* m = modelFor(tableId, "private player data"))
        m->onPrivatePlayerData(data);
}

void GameController::playerJoined(qint32 tableId, const PlayerData& player)
{
    if (GameModel* m = modelFor(tableId, "player joined"))
        m->onPlayerJoined(player);
}

void GameController::startHand(qint32 tableId, qint64 handId, const Seating& seating,
                               const round_score_vector& roundScores, bool newRound, const TableState& tableState,
                               const WallState& wallState)
{
    if (GameModel* m = modelFor(tableId, "start hand"))
        m->onStartHand(handId, seating, roundScores, newRound, tableState, wallState);
}

void GameController::tileDiscarded(qint32 tableId, qint32 playerId, tile t)
{
    if (GameModel* m = modelFor(tableId, "discard"))
        m->onTileDiscarded(playerId, t, false);
}

void GameController::riichiDeclared(qint32 tableId, qint32 playerId, tile t)
{
    if (GameModel* m = modelFor(tableId, "riichi"))
        m->onTileDiscarded(playerId, t, true);
}

void GameController::tileClaimed(qint32 tableId, qint32 claimingPlayer)
{
    if (GameModel* m = modelFor(tableId, "claim"))
        m->onTileClaimed(claimingPlayer);
}

void GameController::hiddenTilesFromWall(qint32 tableId, qint32 playerId, qint32 count, bool fromDeadWall)
{
    if (GameModel* m = modelFor(tableId, "hidden draw"))
        m->onHiddenTilesFromWall(playerId, count, fromDeadWall);
}

void GameController::meldDeclared(qint32 tableId, qint32 playerId, const meld_tuple& meld)
{
    if (GameModel* m = modelFor(tableId, "meld"))
        m->onMeldDeclared(playerId, meld);
}

void GameController::tilesFromWall(qint32 tableId, const tile_vector& tiles, bool fromDeadWall)
{
    if (GameModel* m = modelFor(tableId, "draw"))
        m->onTilesFromWall(tiles, fromDeadWall);
}

void GameController::kanDora(qint32 tableId, tile t)
{
    if (GameModel* m = modelFor(tableId, "kan dora"))
        m->onKanDora(t);
}

void GameController::furitenChanged(qint32 tableId, bool furiten)
{
    if (GameModel* m = modelFor(tableId, "furiten"))
        m->onFuritenChanged(furiten);
}

void GameController::activeChanged(qint32 tableId, bool active)
{
    if (GameModel* m = modelFor(tableId, "active"))
        m->onActiveChanged(active);
}

void GameController::playerShouldAct(qint32 tableId, const TimeSpan& ts, qint32 playerId)
{
    if (GameModel* m = modelFor(tableId, "player should act"))
        m->onPlayerShouldAct(playerId, ts);
}

void GameController::declareBonus(qint32 tableId, qint32 playerId, const tile_vector& tiles)
{
    if (GameModel* m = modelFor(tableId, "bonus"))
        m->onDeclareBonus(playerId, tiles);
}

void GameController::playerIsReady(qint32 tableId, qint32 playerId)
{
    if (GameModel* m = modelFor(tableId, "player ready"))
        m->onPlayerIsReady(playerId);
}

void GameController::areYouReady(qint32 tableId, const TimeSpan& ts)
{
    if (GameModel* m = modelFor(tableId, "are you ready"))
        m->onAreYouReady(ts);
}

void GameController::onKickPlayer(qint32 tableId, kick_reason::enum_t reason)
{
    GameModel* m = modelFor(tableId, "kick");
    if (!m)
        return;
    m->onPlayerKicked(reason);
    if (reason == kick_reason::KICK_REASON_3)
        connection->watch_table(tableId);
    else if (!existingView(tableId))
        destroyTable(tableId); // no window to show the notice: the table ends here
}

void GameController::handEndNonScoring(qint32 tableId, endhand_reason_t washoutType, bool endOfGame)
{
    Table* t = tableEntry(tableId, "wash-out");
    if (!t)
        return;
    t->model->onHandEndNonScoring(washoutType, endOfGame);
    if (hasTable(tableId) && !tables[tableId].window)
        leaveOnceOver(tableId);
}

void GameController::handEndScoring(qint32 tableId, const std::map<qint32, player_score>& scores,
                                    endhand_reason_t mahjongType, bool endOfGame)
{
    Table* t = tableEntry(tableId, "hand end");
    if (!t)
        return;
    t->model->onHandEndScoring(scores, mahjongType, endOfGame);
    if (hasTable(tableId) && !tables[tableId].window)
        leaveOnceOver(tableId);
}

void GameController::endOfTournamentRound(qint32, qint32 tableId, bool lastRound, const TournamentRoundScores& scores)
{
    const auto it = tables.find(tableId);
    if (it == tables.end() || !it->second.model)
        return;
    // A regular table's model drops the round's end: its game goes on.
    const bool tournament = it->second.model->isTournamentTable();
    it->second.model->onEndOfTournamentRound(lastRound, scores);
    if (tournament && hasTable(tableId) && !tables[tableId].window)
        leaveOnceOver(tableId);
}

void GameController::onPlayerLeft(qint32 tableId, qint32 playerId)
{
    const auto it = tables.find(tableId);
    if (it == tables.end() || !it->second.model)
        return;
    // Players leaving a tournament table are replaced by the server; their
    // records stay.
    if (it->second.model->tableInfo().gameType != 1)
        it->second.model->onPlayerLeft(playerId);
}

// --- relays to the window

GameModel* GameController::offerModel(qint32 tableId, const char* event)
{
    // An offer outside the user's hand opens no chooser and sends no pass.
    GameModel* m = modelFor(tableId, event);
    return m && m->acceptsOffers(event) ? m : nullptr;
}

void GameController::meldSuggestion(qint32 tableId, const TimeSpan& ts, const meld_offer_vector& offers)
{
    GameModel* m = offerModel(tableId, "claim offer");
    if (!m)
        return;
    // Kept by the model too: a page closed now and built again shows it.
    const meld_offer_vector allowed = m->allowedOffers(offers, GameModel::OfferKind::Claim);
    m->keepOffer(GameModel::OfferKind::Claim, allowed, ts);
    if (GameWindow* w = existingView(tableId))
        w->showMeldSuggestion(allowed, m->lastDiscard(), ts);
}

void GameController::concealedMeldSuggestion(qint32 tableId, const TimeSpan& ts, const meld_offer_vector& offers)
{
    GameModel* m = offerModel(tableId, "concealed offer");
    if (!m)
        return;
    const meld_offer_vector allowed = m->allowedOffers(offers, GameModel::OfferKind::Declaration);
    m->keepOffer(GameModel::OfferKind::Declaration, allowed, ts);
    if (GameWindow* w = existingView(tableId))
        w->showConcealedMeldSuggestion(allowed, ts);
}

void GameController::robTheKongSuggestion(qint32 tableId, const TimeSpan& ts, const meld_offer_vector& offers)
{
    GameModel* m = offerModel(tableId, "rob-the-kong offer");
    if (!m)
        return;
    const meld_offer_vector allowed = m->allowedOffers(offers, GameModel::OfferKind::RobKong);
    m->keepOffer(GameModel::OfferKind::RobKong, allowed, ts);
    if (GameWindow* w = existingView(tableId))
        w->showRobTheKongSuggestion(ts, allowed);
}

void GameController::endOfRound(qint32 tableId, const MonetaryRoundScores& scores)
{
    if (GameWindow* w = windowFor(tableId, "end of round"))
        w->onEndOfRound(w->model()->tableRoundRows(scores));
}

void GameController::timeoutOccured(qint32 tableId)
{
    GameModel* m = modelFor(tableId, "time-out");
    if (!m)
        return;
    m->endOffer();
    if (GameWindow* w = existingView(tableId))
        w->onTimeoutOccured();
}

void GameController::someoneDeclaredMahjong(qint32 tableId, qint32 playerId)
{
    GameWindow* w = windowFor(tableId, "mahjong claim");
    if (w)
        w->showMahjongClaim(playerId, w->model()->tableInfo().ruleset == 2 ? 2 : 1);
}

void GameController::someoneDeclaredMeld(qint32 tableId, qint32 playerId, meld m, tile)
{
    if (GameWindow* w = windowFor(tableId, "meld claim"))
        w->showMeldClaim(playerId, m);
}

// --- tournaments

void GameController::onTournamentSeated(qint32 tournamentId, qint32 tableId)
{
    onTournamentSeated(tournamentId, tableId, 0);
}

void GameController::onTournamentSeated(qint32 tournamentId, qint32 tableId, int reason)
{
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
    ModelessMsgBox::warning(parentWidget, tr("Table closed"),
                            tr("Table %1 was closed: the server sent something about it that cannot be shown.")
                                .arg(tableId));
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
        TournamentInfo info = table.model->tournamentInfo();
        info.applyUpdates(updates);
        table.model->onTournamentInfo(info);
    }
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
