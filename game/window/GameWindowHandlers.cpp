// The flow of a hand at the table window: every model event that changes the
// tiles becomes queued animations and steps, so that the table shows events
// one after another in arrival order; what only informs (claim words,
// countdowns, side bar marks) happens at once. Also the own discard, which is
// shown before the server confirms it.

#include "GameWindow.h"

#include "ActionQueue.h"
#include "AssignWindAnimation.h"
#include "CityView.h"
#include "DealStartHandAnimation.h"
#include "DeclaredView.h"
#include "DiscardView.h"
#include "GameGraphicsScene.h"
#include "GameSounds.h"
#include "GameWindowAction.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "PlayerActionView.h"
#include "PlayerInactiveWindow.h"
#include "RiichiStickView.h"
#include "ScoreBoard.h"
#include "SideBar.h"
#include "TileAnimationSet.h"
#include "TimerView.h"
#include "Utils.h"
#include "WashoutWindow.h"
#include "WindView.h"

#include <QApplication>
#include <QDebug>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

bool autoPass()
{
    return settingsSwitch("game/autoPass", true);
}

TileAnimationSource* handSource(HandView* hand)
{
    return static_cast<AnimationSourceRole*>(hand);
}

TileAnimationTarget* handTarget(HandView* hand)
{
    return static_cast<AnimationTargetRole*>(hand);
}

TileAnimationSource* hiddenSource(HiddenHandView* hand)
{
    return static_cast<AnimationSourceRole*>(hand);
}

TileAnimationTarget* hiddenTarget(HiddenHandView* hand)
{
    return static_cast<AnimationTargetRole*>(hand);
}

TileAnimationSource* pondSource(DiscardView* pond)
{
    return static_cast<DiscardSourceRole*>(pond);
}

TileAnimationTarget* pondTarget(DiscardView* pond)
{
    return static_cast<DiscardTargetRole*>(pond);
}

void setHiddenCount(HiddenHandView* view, int n)
{
    view->setTileCount(n);
}

void markNextAsRiichi(DiscardView* pond)
{
    pond->markNextAsRiichi();
}

void markLastAsRiichi(DiscardView* pond)
{
    pond->markLastAsRiichi();
}

/// The tiles a declared meld shows; empty for a type the table cannot show.
std::vector<tile> meldTiles(const meld_tuple& m)
{
    const tile t = m.meld_tile;
    switch (m.type) {
    case game_protocol::meld_type::CHOW:
        return {t, tile(std::uint8_t(t.code() + 1)), tile(std::uint8_t(t.code() + 2))};
    case game_protocol::meld_type::PONG:
    case game_protocol::meld_type::PAIR:
        return {t, t, t};
    case game_protocol::meld_type::KONG:
        return {t, t, t, t};
    case game_protocol::meld_type::PONG_TO_KONG:
    case game_protocol::meld_type::MAHJONG:
    case 64:
        return {t};
    default:
        return {};
    }
}

} // namespace

// --- hand synchronisation

void GameWindow::syncOwnHand()
{
    const PlayerData* own = m_model ? m_model->ownPlayer() : nullptr;
    if (!own)
        return;
    enqueueAction(makeAction(&GameWindow::updateOwnHand, this, std::make_shared<std::vector<tile>>(own->handTiles()),
                             std::make_shared<std::vector<tile>>(own->lastDrawn())));
}

void GameWindow::syncHiddenHand(qint32 playerId)
{
    const int o = orientationOf(playerId);
    const PlayerData* p = m_model ? m_model->player(playerId) : nullptr;
    if (o < 0 || !p)
        return;
    enqueueAction(makeAction(&setHiddenCount, m_hidden[std::size_t(o)], int(p->tileCount())));
}

void GameWindow::syncPlayerHand(qint32 playerId)
{
    if (isOwnSeat(playerId))
        syncOwnHand();
    else
        syncHiddenHand(playerId);
}

void GameWindow::syncAllHands()
{
    for (int o = 0; o < 4; ++o) {
        const qint32 id = m_seatIds[std::size_t(o)];
        if (!seatPlayer(o))
            continue;
        if (o == 0 && isOwnSeat(id))
            syncOwnHand();
        else
            syncHiddenHand(id);
    }
}

void GameWindow::setUpWalls()
{
    if (!m_model)
        return;
    const PlayerData* bottom = seatPlayer(0);
    const int wind = bottom ? int(bottom->wind()) : 0;
    enqueueAction(makeAction(&CityView::setUp, m_walls.get(), wind, m_model->liveWall(), m_model->deadWall(),
                             m_model->deadWallPosition(), m_model->deadWallDealt(), m_model->doraTiles()));
}

// --- a hand

void GameWindow::onStartHand(bool newRound)
{
    m_readyDeadline = QDateTime();
    m_handSetUp = false;
    m_discardSeen = false;
    if (m_model)
        for (const auto& [id, player] : m_model->players())
            if (m_sideBar->hasPlayer(id))
                m_sideBar->setPlayer(player);
    m_sideBar->hideClaims();
    m_sideBar->clearActivePlayer();
    for (int o = 0; o < 4; ++o)
        if (seatPlayer(o))
            m_winds[std::size_t(o)]->setGlow(false);
    updateFuritenImage();
    updateInactiveWindow();
    m_washout->resetTimer();
    // The last hand's wash-out asked for a ready that this deal has made
    // moot: its notice would stand over the new hand with nothing to answer.
    m_washout->hide();

    if (newRound) {
        enqueueAnimation(new AssignWindAnimation(this, m_winds));
        enqueueAction(makeAction(&GameWindow::playStartSound, this));
    }
    enqueueAnimation(new DealStartHandAnimation(this));
    if (!newRound)
        playSound(9);
    if (m_model && m_model->isOwnPlayerSeated())
        QApplication::alert(window(), 3000);
    enqueueAction(makeAction(&GameWindow::showHandStarted, this));
    askPlayer();
}

void GameWindow::onHiddenTilesFromWall(qint32 playerId, qint32 count, bool fromDeadWall)
{
    if (count == 13)
        return; // the deal, shown by the deal animation
    const bool first = !m_handSetUp;
    if (first) {
        flushActions();
        m_handSetUp = true;
        hideDealTiles();
        syncAllHands();
        setUpWalls();
    }
    if (m_discardSeen)
        highlightPlayer(playerId);
    if (first)
        return;
    const int o = orientationOf(playerId);
    if (o < 0)
        return;
    enqueueAnimation(new TileAnimationSet(m_scene.get(), m_walls->tileSource(fromDeadWall),
                                          hiddenTarget(m_hidden[std::size_t(o)]), TileAnimationSet::drawMs, count));
}

void GameWindow::onTilesFromWall(qint32 playerId, const tile_vector& tiles, bool fromDeadWall)
{
    if (tiles.size() == 13)
        return;
    const bool first = !m_handSetUp;
    if (first) {
        flushActions();
        m_handSetUp = true;
        hideDealTiles();
        syncAllHands();
        setUpWalls();
    }
    m_timeoutImage->hide();
    updateFuritenImage();
    if (m_discardSeen)
        highlightPlayer(playerId);
    if (first)
        return;
    enqueueAnimation(new TileAnimationSet(m_scene.get(), m_walls->tileSource(fromDeadWall), handTarget(m_hand),
                                          TileAnimationSet::drawMs, tiles));
}

void GameWindow::onTileClick(tile t)
{
    qDebug() << "Player clicked" << int(t.code());
    flushActions();
    discardFromHand(t);
}

void GameWindow::discardFromHand(tile t)
{
    if (!m_model) {
        qWarning() << "m_table not set";
        return;
    }
    if (!m_hand->isActive()) {
        qWarning() << "Player hand is not active";
        return;
    }
    if (!m_model->isOwnPlayerSeated()) {
        qWarning() << "onTileClick: handled when not seated";
        return;
    }
    // The click answers what the hand was armed for when it was made: the
    // riichi chosen, else the own turn (or its declaration). It ends both.
    TableMoment& moment = m_model->moment();
    const TableMoment::Question* asked = moment.discardAsked();
    const bool riichi = asked && asked->riichiChosen;
    if (!moment.answer(asked ? asked->id : 0, riichi ? "riichi discard" : "discard",
                       TableMoment::Turn | TableMoment::Declaration))
        return;
    enqueueAnimation(new TileAnimationSet(m_scene.get(), handSource(m_hand), pondTarget(m_discards[0]),
                                          TileAnimationSet::discardMs, std::vector<tile>{t}));
    enqueueAction(makeAction(&GameWindow::setActiveSeat, this, 0));
    m_ownDiscardShown = true;
    m_shownDiscard = t;
    m_hand->clearHighlights();
    m_winds[0]->setGlow(false);
    if (riichi) {
        Q_EMIT callRiichi(tableId(), bottomPlayerId(), t);
    } else {
        Q_EMIT discardTile(tableId(), bottomPlayerId(), t);
    }
}

void GameWindow::onTileDiscarded(qint32 playerId, tile t, bool riichiDiscard)
{
    m_discardSeen = true;
    stopCountdowns();
    clearHighlights();
    hideClaimImages();
    const bool own = isOwnSeat(playerId);
    if (own)
        qDebug() << "player" << playerId << "got discard" << int(t.code());
    const int o = orientationOf(playerId);
    if (o < 0)
        return;
    if (riichiDiscard) {
        showClaim(playerId, game_protocol::meld_type::RIICHI, 0);
        for (int k = 0; k < 4; ++k) {
            const PlayerData* p = seatPlayer(k);
            const bool in = p && p->riichiDiscardIndex() != -1;
            m_sticks[std::size_t(k)]->setCount(in ? 1 : 0);
            m_sticks[std::size_t(k)]->setVisible(in);
        }
        m_sideBar->updateSticks();
    }
    DiscardView* pond = m_discards[std::size_t(o)];
    if (own) {
        if (m_ownDiscardShown) {
            m_ownDiscardShown = false;
            if (m_shownDiscard == t) {
                if (riichiDiscard)
                    enqueueAction(makeAction(&markLastAsRiichi, pond));
                return;
            }
            enqueueAnimation(new TileAnimationSet(m_scene.get(), pondSource(pond), handTarget(m_hand),
                                                  TileAnimationSet::discardMs, std::vector<tile>{m_shownDiscard}));
        }
        if (riichiDiscard)
            enqueueAction(makeAction(&markNextAsRiichi, pond));
        enqueueAnimation(new TileAnimationSet(m_scene.get(), handSource(m_hand), pondTarget(pond),
                                              TileAnimationSet::discardMs, std::vector<tile>{t}));
    } else {
        if (riichiDiscard)
            enqueueAction(makeAction(&markNextAsRiichi, pond));
        enqueueAnimation(new TileAnimationSet(m_scene.get(), hiddenSource(m_hidden[std::size_t(o)]),
                                              pondTarget(pond), TileAnimationSet::discardMs, std::vector<tile>{t}));
    }
    enqueueAction(makeAction(&GameWindow::setActiveSeat, this, o));
    syncPlayerHand(playerId);
    if (own)
        Q_EMIT tableActivity(tableId(), false, TimeSpan());
}

void GameWindow::onTileClaimed(qint32 discardPlayer, qint32 claimingPlayer)
{
    if (!m_model)
        return;
    const int from = orientationOf(discardPlayer);
    const int to = orientationOf(claimingPlayer);
    if (from < 0 || to < 0)
        return;
    const bool own = to == 0 && isOwnSeat(claimingPlayer);
    TileAnimationTarget* target = own ? handTarget(m_hand) : hiddenTarget(m_hidden[std::size_t(to)]);
    enqueueAnimation(new TileAnimationSet(m_scene.get(), pondSource(m_discards[std::size_t(from)]), target,
                                          TileAnimationSet::discardMs, std::vector<tile>{m_model->lastDiscard()}));
    syncPlayerHand(claimingPlayer);
}

void GameWindow::onMeldDeclared(qint32 playerId, const meld_tuple& m)
{
    const std::vector<tile> tiles = meldTiles(m);
    if (tiles.empty()) {
        qWarning() << "can't create view for unhandled meld-type" << int(m.type);
        return;
    }
    const int o = orientationOf(playerId);
    if (o < 0)
        return;
    const bool own = o == 0 && isOwnSeat(playerId);
    TileAnimationTarget* target = m_declared[std::size_t(o)];
    GameWindowAnimation* move = nullptr;
    if (own)
        move = new TileAnimationSet(m_scene.get(), handSource(m_hand), target, TileAnimationSet::discardMs, tiles);
    else if (m.visibility == game_protocol::meld_visibility::VISIBILITY_2)
        move = new TileAnimationSet(m_scene.get(), hiddenSource(m_hidden[std::size_t(o)]), target,
                                    TileAnimationSet::discardMs, int(tiles.size()));
    else
        move = new TileAnimationSet(m_scene.get(), hiddenSource(m_hidden[std::size_t(o)]), target,
                                    TileAnimationSet::discardMs, tiles);
    // A mahjong meld changes nothing in the declared area; its tiles stay
    // where they are, so it moves none.
    if (m.type == game_protocol::meld_type::MAHJONG)
        delete move;
    else
        enqueueAnimation(move);
    enqueueAction(makeAction(&GameWindow::declareMeld, this, o, m, claimDirection(m_model, m, playerId)));
    syncPlayerHand(playerId);
    switch (m.type) {
    case game_protocol::meld_type::CHOW:
    case game_protocol::meld_type::PONG:
    case game_protocol::meld_type::KONG:
    case game_protocol::meld_type::MAHJONG:
        hideClaimImages();
        showClaim(playerId, int(m.type), 0);
        break;
    default:
        break;
    }
    if (own)
        Q_EMIT tableActivity(tableId(), false, TimeSpan());
}

void GameWindow::onBonusDeclared(qint32 playerId, const tile_vector& tiles)
{
    const int o = orientationOf(playerId);
    if (o < 0 || tiles.empty())
        return;
    const bool own = o == 0 && isOwnSeat(playerId);
    TileAnimationSource* source = own ? handSource(m_hand) : hiddenSource(m_hidden[std::size_t(o)]);
    enqueueAnimation(new TileAnimationSet(m_scene.get(), source, m_declared[std::size_t(o)],
                                          TileAnimationSet::discardMs, tiles));
    enqueueAction(makeAction(&GameWindow::showBonusTiles, this, o, std::make_shared<std::vector<tile>>(tiles)));
    syncPlayerHand(playerId);
    if (own)
        Q_EMIT tableActivity(tableId(), false, TimeSpan());
}

void GameWindow::onKanDora(tile t)
{
    enqueueAction(makeAction(&GameWindow::addKanDora, this, t));
}

void GameWindow::onPlayerShouldAct(qint32 playerId, const TimeSpan& ts)
{
    // Whether the hand takes a discard is the table's moment's to say (see
    // armControls); this shows whose turn it is and its countdown.
    clearHighlights();
    stopCountdowns();
    if (playerId == -1)
        return;
    highlightPlayer(playerId);
    if (m_sideBar->hasPlayer(playerId))
        m_sideBar->setPlayerTimeSpan(playerId, ts);
    const bool own = isOwnSeat(playerId);
    if (!own) {
        m_hand->clearHighlights();
        return;
    }
    syncOwnHand();
    m_timer->setTimeSpan(ts);
    askPlayer(ts);
}

void GameWindow::showMeldAuction()
{
    for (int round = 0; round < 2; ++round) {
        const QSize hint = m_auction->sizeHint();
        if (hint.width() >= 0 && hint.height() >= 0)
            m_auction->setGeometry((width() - hint.width() + 1) / 2, (height() - hint.height() + 1) / 2, hint.width(),
                                   hint.height());
        m_auction->show();
        m_auction->raise();
    }
}

void GameWindow::showMeldSuggestion(const meld_offer_vector& offers, tile discard, const TimeSpan& ts)
{
    // The chooser shows the claim the table has open, and answers it only.
    const TableMoment::Question* claim = m_model ? m_model->moment().choice() : nullptr;
    if (!claim || claim->kind != TableMoment::Claim) {
        qDebug() << "claim offer with no claim open at the table; nothing shown";
        return;
    }
    // With nothing to claim the table passes by itself, also while the page
    // is closed.
    if (offers.empty() && autoPass())
        return;
    // The chooser is built at most twice a turn: for the first offer, and at
    // the turn's end for the last one still open. A flood of offers with
    // discards between them would otherwise build and tear down its rows of
    // widgets for each.
    if (m_claimBuiltThisTurn) {
        m_pendingClaim = claim->id;
        return;
    }
    m_claimBuiltThisTurn = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_claimBuiltThisTurn = false;
            const quint64 pending = std::exchange(m_pendingClaim, 0);
            if (const TableMoment::Question* q = m_model && pending ? m_model->moment().find(pending) : nullptr)
                showMeldSuggestion(q->offers, q->discard, q->span);
        },
        Qt::QueuedConnection);
    m_auction->clear();
    m_auction->showPassButton();
    for (const meld_offer& offer : offers)
        m_auction->addOffer(offer, discard);
    m_auction->setMode(MeldAuction::Claim);
    m_shownChoice = claim->id;
    showMeldAuction();
    playSound(offers.empty() ? 11 : 10);
    // The countdowns only inform. A claim left open is the server's to end:
    // its time-out closes the chooser. A pass of ours sent when our estimate
    // of its clock runs out would reach it after that, in the next turn.
    if (m_sideBar->hasPlayer(m_playerId))
        m_sideBar->setPlayerTimeSpan(m_playerId, ts);
    m_timer->setTimeSpan(ts);
    if (!offers.empty())
        askPlayer(ts);
}

void GameWindow::showConcealedMeldSuggestion(const meld_offer_vector& offers, const TimeSpan& ts)
{
    (void)ts;
    const TableMoment::Question* declaration = m_model ? m_model->moment().choice() : nullptr;
    if (!declaration || declaration->kind != TableMoment::Declaration) {
        qDebug() << "declaration offer with no declaration open at the table; nothing shown";
        return;
    }
    // Nothing to declare: the turn's discard is what is asked (in riichi the
    // table's own, of the drawn tile).
    if (offers.empty())
        return;
    m_auction->clear();
    m_auction->showCloseButton();
    for (const meld_offer& offer : offers)
        m_auction->addOffer(offer, offer.meld_tile);
    m_auction->setMode(MeldAuction::Concealed);
    m_shownChoice = declaration->id;
    showMeldAuction();
    playSound(10);
}

void GameWindow::showClaim(qint32 playerId, int kind, int subKind)
{
    const int o = orientationOf(playerId);
    if (o < 0)
        return;
    if (m_sideBar->hasPlayer(playerId))
        m_sideBar->showPlayerClaim(playerId, kind, subKind);
    m_claims[std::size_t(o)]->setClaim(kind, subKind);
    m_claims[std::size_t(o)]->show();
}

void GameWindow::showMahjongClaim(qint32 playerId, qint32 mahjongType)
{
    hideClaimImages();
    showClaim(playerId, game_protocol::meld_type::MAHJONG, mahjongType);
}

void GameWindow::showMeldClaim(qint32 playerId, qint32 meldType)
{
    if (meldType == game_protocol::meld_type::CHOW || meldType == game_protocol::meld_type::PONG
        || meldType == game_protocol::meld_type::KONG)
        showClaim(playerId, meldType, 0);
}

void GameWindow::onHandEndScoring(const std::map<qint32, player_score>& scores, endhand_reason_t mahjongType,
                                  bool endOfGame)
{
    if (!m_model) {
        qWarning() << "m_table not set";
        return;
    }
    playSound(7);
    appendInfo(tr("Hand ended in Mahjong!"));
    if (scores.empty())
        qWarning() << "hand end without scores; nothing to show";
    showHandScores(scores, mahjongType, endOfGame);
    askPlayer();
}

void GameWindow::showHandScores(const std::map<qint32, player_score>& scores, endhand_reason_t mahjongType,
                                bool endOfGame)
{
    m_washout->hide();
    if (scores.empty() || !m_model)
        return;
    qint32 shown = scores.begin()->first;
    std::vector<player_score> list;
    std::size_t winners = 0;
    for (const auto& [pid, record] : scores) {
        player_score score = record;
        score.name = tableName(pid, record.name);
        if (score.scoreType == 1) {
            list.insert(list.begin(), score);
            ++winners;
            shown = pid;
        } else {
            list.push_back(score);
        }
        if (m_sideBar->hasPlayer(pid))
            m_sideBar->setPlayerScore(pid, score.currentScore);
    }
    if (mahjongType >= 1 && mahjongType <= 3) {
        hideClaimImages();
        showClaim(list.front().pid, game_protocol::meld_type::MAHJONG, int(mahjongType));
    }
    std::stable_sort(list.begin() + std::ptrdiff_t(winners), list.end(),
                     [](const player_score& a, const player_score& b) { return a.handScore > b.handScore; });
    // At a Classic table a seated player sees the own hand first, when the
    // server sent it; else the winner's stays in front.
    if (m_tableInfo.ruleset == 0 && m_model->isOwnPlayerSeated()) {
        const auto ownScore = scores.find(m_playerId);
        if (ownScore != scores.end() && !ownScore->second.highlighted.empty())
            shown = m_playerId;
    }
    m_scoreBoard->showScores(list, shown, int(mahjongType), m_tableInfo, endOfGame);
    for (int i = 0; i < 4; ++i)
        m_scoreBoard->setAvatar(i, std::size_t(i) < list.size() ? playerPicture(list[std::size_t(i)].pid) : QPixmap());
    // The countdown runs to the next hand's ready deadline once the server
    // has named it (its ready question may come before or after the scores).
    m_scoreBoard->startCountdown(m_readyDeadline);
    noteSeating(m_scoreBoard);
    m_scoreBoard->showDialog(true);
    // Its lists are measured as shown; it grows if they need the room.
    m_scoreBoard->fitHeight(height());
    m_scoreBoard->centerOnParent();
}
