// How the controller passes the server's per-table events on: most go to
// the table's model, which the window follows; offers, claim words and the
// round's end go to the table's window. And the answers a table gives by
// itself, with or without a page.

#include "GameController.h"

#include "ConnectionManager.h"
#include "GameLog.h"
#include "GameWindow.h"
#include "Utils.h"
#include "WaitCursor.h"

#include <QDebug>
#include <QTimer>

#include <utility>

namespace {

bool autoPass()
{
    return settingsSwitch("game/autoPass", true);
}

} // namespace


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
    const quint64 asked = m->keepOffer(GameModel::OfferKind::Claim, allowed, ts);
    if (allowed.empty() && autoPass())
        answerLater(tableId, asked);
    else if (GameWindow* w = existingView(tableId))
        w->showMeldSuggestion(allowed, m->lastDiscard(), ts);
}

void GameController::concealedMeldSuggestion(qint32 tableId, const TimeSpan& ts, const meld_offer_vector& offers)
{
    GameModel* m = offerModel(tableId, "concealed offer");
    if (!m)
        return;
    const meld_offer_vector allowed = m->allowedOffers(offers, GameModel::OfferKind::Declaration);
    const quint64 asked = m->keepOffer(GameModel::OfferKind::Declaration, allowed, ts);
    // A player in riichi with nothing to declare discards the drawn tile.
    const PlayerData* own = m->ownPlayer();
    if (allowed.empty() && own && own->riichiDiscardIndex() != -1 && autoPass())
        answerLater(tableId, asked);
    else if (GameWindow* w = existingView(tableId))
        w->showConcealedMeldSuggestion(allowed, ts);
}

void GameController::robTheKongSuggestion(qint32 tableId, const TimeSpan& ts, const meld_offer_vector& offers)
{
    GameModel* m = offerModel(tableId, "rob-the-kong offer");
    if (!m)
        return;
    const meld_offer_vector allowed = m->allowedOffers(offers, GameModel::OfferKind::RobKong);
    const quint64 asked = m->keepOffer(GameModel::OfferKind::RobKong, allowed, ts);
    if (allowed.empty() && autoPass())
        answerLater(tableId, asked);
    else if (GameWindow* w = existingView(tableId))
        w->showRobTheKongSuggestion(ts, allowed);
}

void GameController::endOfRound(qint32 tableId, const MonetaryRoundScores& scores)
{
    if (GameModel* m = gameModel(tableId))
        m->moment().end(TableMoment::All);
    if (GameWindow* w = windowFor(tableId, "end of round"))
        w->onEndOfRound(w->model()->tableRoundRows(scores));
}

void GameController::timeoutOccured(qint32 tableId)
{
    GameModel* m = modelFor(tableId, "time-out");
    if (!m)
        return;
    m->onTimeout();
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

// --- answers that need no page

void GameController::answerLater(qint32 tableId, quint64 question)
{
    dueAnswers.emplace_back(tableId, question);
    if (dueAnswers.size() == 1)
        QMetaObject::invokeMethod(this, &GameController::sendDueAnswers, Qt::QueuedConnection);
}

void GameController::sendDueAnswers()
{
    // The frames that came with the question go first: after a stop, a
    // backlog may end it (the next discard, a time-out) further on.
    if (connection->hasUnhandledFrames()) {
        QTimer::singleShot(0, this, &GameController::sendDueAnswers);
        return;
    }
    for (const auto& [tableId, id] : std::exchange(dueAnswers, {})) {
        GameModel* m = gameModel(tableId);
        const TableMoment::Question* q = m ? m->moment().find(id) : nullptr;
        if (!q) {
            qCDebug(lcGame) << "table" << tableId << ": no automatic answer to question" << id
                            << "- play has moved past it";
            continue;
        }
        if (TableMoment::hasExpired(q->span)) {
            // A pass names no offer: one sent now would answer whatever the
            // server asks the user by the time it arrives.
            qCDebug(lcGame) << "table" << tableId << ": no automatic answer to question" << id
                            << "- its time ran out by the server's clock";
            continue;
        }
        if (q->kind != TableMoment::Declaration) {
            m->moment().answer(id, "automatic pass");
            connection->call_pass(tableId, ownPlayerId, true);
            continue;
        }
        const PlayerData* own = m->ownPlayer();
        if (!own || own->lastDrawn().empty()) {
            qWarning() << "no drawn tile to discard automatically";
            continue;
        }
        const tile drawn = own->lastDrawn().front();
        m->moment().answer(id, "automatic riichi discard", TableMoment::Turn);
        connection->discard_tile(tableId, ownPlayerId, drawn);
    }
}
