// The table window's outward face: its buttons and dialogs, the slots that
// mirror the model's table-level changes (seats, readiness, records, states),
// and the operations the controller calls directly.

#include "GameWindow.h"

#include "ActionQueue.h"
#include "CityView.h"
#include "DeclaredView.h"
#include "DiscardView.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "ModelessMsgBox.h"
#include "PlayerActionView.h"
#include "PlayerInactiveWindow.h"
#include "PlayerWidget.h"
#include "RiichiStickView.h"
#include "RotatingCube.h"
#include "RoundScoreBoard.h"
#include "ScoreBoard.h"
#include "SeatedWindow.h"
#include "SideBar.h"
#include "TimerView.h"
#include "Utils.h"
#include "WaitingForPlayersWindow.h"
#include "WashoutWindow.h"
#include "WatchingWindow.h"
#include "WindView.h"

#include <QDebug>

#include <algorithm>

namespace {

bool autoPass()
{
    return settingsSwitch("game/autoPass", true);
}

} // namespace

void GameWindow::setModel(GameModel* model)
{
    disconnect(m_momentLink);
    m_model = model;
    if (!model) {
        resetViews();
        m_sideBar->reset();
        m_sideBar->setModel(nullptr);
        return;
    }
    m_sideBar->setModel(model);
    connect(model, &GameModel::seatsRemainingChanged, m_waiting, &WaitingForPlayersWindow::onSeatsRemaining);
    connect(model, &GameModel::joinableChanged, m_watching, &WatchingWindow::onJoinableChanged);
    for (const auto& [id, player] : model->players()) {
        m_sideBar->setPlayer(player);
        Q_EMIT playerAdded(model->tableId(), id);
    }
    onTableInfo(model->tableInfo());
    m_sideBar->setTournamentInfo(model->tournamentInfo());
    onGameStateChanged();
    // A page opened again after its hand ended (the user left during it)
    // shows the table as the model holds it, as the page that saw the end did.
    const GameModel::game_state_t state = model->gameState();
    if (state == GameModel::GAME_HAND_ENDED || state == GameModel::GAME_FINISHED) {
        syncWithModel();
        m_sideBar->setWindsVisible(true);
    }
    // Between hands the page shows what the user is to answer: the hand's
    // board or its wash-out notice, with Ready once the server has asked.
    if (state == GameModel::GAME_HAND_ENDED) {
        showLastHandEnd();
        if (const auto& question = model->readyQuestion())
            onAreYouReady(*question, false);
    }
    const auto [actor, deadline] = model->currentActor();
    if (actor != -1)
        onPlayerShouldAct(actor, deadline);
    // What the user has not answered yet is still the user's to answer, and
    // nothing else: the controls follow the table's moment from now on.
    m_momentLink = connect(&model->moment(), &TableMoment::changed, this, &GameWindow::armControls);
    if (const TableMoment::Question* choice = model->moment().choice(); choice && !choice->riichiChosen) {
        switch (choice->kind) {
        case TableMoment::Claim:
            showMeldSuggestion(choice->offers, choice->discard, choice->span);
            break;
        case TableMoment::Declaration:
            showConcealedMeldSuggestion(choice->offers, choice->span);
            break;
        default:
            showRobTheKongSuggestion(choice->span, choice->offers);
            break;
        }
    }
    armControls();
}

void GameWindow::reset()
{
    resetViews();
    m_sideBar->reset();
    closeBoxesOfEndedSeatings();
}

void GameWindow::resetViews()
{
    m_queue->reset();
    m_ownDiscardShown = false;
    for (int o = 0; o < 4; ++o) {
        const auto i = std::size_t(o);
        m_discards[i]->clear();
        m_declared[i]->clear();
        m_hidden[i]->setTileCount(0);
        m_winds[i]->hide();
        m_sticks[i]->setCount(0);
        m_sticks[i]->hide();
    }
    stopCountdowns();
    clearHighlights();
    hideClaimImages();
    hideDealTiles();
    m_hand->clear();
    m_walls->setUp(0, 0, 0, 0, 0, {});
    m_scoreBoard->hide();
    m_washout->hide();
    m_roundScore->hide();
    m_roundBoardWaits = false;
    hideChooser();
    m_seated->hide();
    m_waiting->hide();
    m_sideBar->updateSticks();
    updateFuritenImage();
    updateInactiveWindow();
}

void GameWindow::onGameStateChanged()
{
    if (!m_model) {
        qWarning() << "m_table not set";
        return;
    }
    const GameModel::game_state_t state = m_model->gameState();
    updateScoreBoardWaiting();
    m_sideBar->setScoresVisible(state != GameModel::NO_GAME_STATE && state != GameModel::GAME_WAITING);
    if (state == GameModel::GAME_HAND_ENDED || state == GameModel::GAME_FINISHED) {
        for (WindView* w : m_winds)
            w->setGlow(false);
        stopCountdowns();
        flushActions();
    }
    if (state == GameModel::GAME_PLAYING) {
        m_waiting->hide();
        syncWithModel();
        m_sideBar->clearReady();
        m_sideBar->setWindsVisible(true);
    }
    m_sideBar->setHandId(m_model->handId());
    updateSeatDialogs();
}

void GameWindow::updateScoreBoardWaiting()
{
    // Between the hands of a tournament the board waits for the seated user;
    // elsewhere it waits only while the server's question whether the user
    // is ready is open. After the round's last hand there is no next hand to
    // wait for.
    if (m_model)
        m_scoreBoard->setWaitingMode(m_model->isOwnPlayerSeated() && !m_model->isInPlay()
                                     && (m_tableInfo.gameType == 1 || m_model->readyQuestion())
                                     && m_model->gameState() != GameModel::GAME_FINISHED);
}

void GameWindow::updateSeatDialogs()
{
    closeStaleLeaveQuestion();
    closeBoxesOfEndedSeatings();
    if (!m_model)
        return;
    const GameModel::game_state_t state = m_model->gameState();
    const bool watching = m_model->playerState() == GameModel::WATCHING;
    const bool watchDialog = watching && m_tableInfo.gameType != 1 && !m_model->gameInProgress()
                             && state != GameModel::NO_GAME_STATE;
    if (watchDialog) {
        m_seated->hide();
        m_watching->setUnseatedInfoHidden(m_model->watchingFromLobby());
        // A hand ended with no game going on: it was the game's last, and no
        // game is to come.
        m_watching->setTableClosed(state == GameModel::GAME_HAND_ENDED || state == GameModel::GAME_FINISHED);
        m_watching->onJoinableChanged(m_model->isJoinable());
        m_watching->showDialog(true);
    } else {
        m_watching->hide();
    }
    // Once the game is over the boards that offer Leave may be closed: the
    // side bar's Leave stays as the way out (a tournament table is left by
    // closing its round's board, unless the tournament went without one).
    const bool gameOver = m_model->isSeated()
                          && ((!m_model->gameInProgress() && m_tableInfo.gameType != 1
                               && (state == GameModel::GAME_HAND_ENDED || state == GameModel::GAME_FINISHED))
                              || m_model->isTournamentRemoved());
    const bool leaveShown = (m_model->isInPlay() && m_model->playerState() == GameModel::PLAYING)
                            || (watching && state != GameModel::NO_GAME_STATE && !watchDialog) || gameOver;
    m_sideBar->setLeaveEnabled(leaveShown);
    m_sideBar->setLeaveVisible(leaveShown);
}

void GameWindow::onPlayerSeated(qint32 playerId, qint32 tableId, bool fromGameData)
{
    if (!m_model) {
        qWarning() << "m_table not set";
        return;
    }
    const PlayerData* p = m_model->player(playerId);
    if (p)
        m_sideBar->setPlayer(*p);
    if (playerId != m_playerId && !fromGameData) {
        appendInfo(tr("%1 joined the table").arg(p ? p->name() : QString::number(playerId)));
        playSound(2);
    }
    Q_EMIT playerAdded(tableId, playerId);
}

void GameWindow::onPlayerUnseated(qint32 playerId)
{
    QString name = QString::number(playerId);
    if (m_model)
        if (const PlayerData* p = m_model->player(playerId))
            name = p->name();
    if (m_sideBar->hasPlayer(playerId))
        m_sideBar->removePlayer(playerId);
    if (playerId != m_playerId) {
        appendInfo(tr("%1 left the table").arg(name));
    } else {
        appendInfo(tr("You've been unseated from this table."));
        askPlayer();
    }
    playSound(3);
}

void GameWindow::onPrivatePlayerData(const PrivatePlayerData& privateData)
{
    m_hand->setTiles(privateData.hand);
    updateFuritenImage();
    updateInactiveWindow();
    m_sideBar->setChatActive(true);
}

void GameWindow::onFuritenChanged(bool)
{
    updateFuritenImage();
}

void GameWindow::hideTimeoutItem()
{
    m_timeoutImage->hide();
    updateFuritenImage();
}

void GameWindow::onActiveChanged(bool)
{
    updateInactiveWindow();
}

void GameWindow::onTableInfo(const TableInfo& ti)
{
    m_tableInfo = ti;
    m_sideBar->setTableInfo(ti);
    m_walls->setRuleset(ti);
    layoutTable();
    updateScoreBoardWaiting();
    for (PlayerActionView* v : m_claims)
        v->setRuleset(ti.ruleset);
    m_seated->onTableInfo(ti);
    m_washout->setTableInfo(ti);
    m_scoreBoard->setTableInfo(ti);
}

void GameWindow::onTournamentInfo(const TournamentInfo& ti)
{
    m_sideBar->setTournamentInfo(ti);
}

void GameWindow::onTournamentRankings(const TournamentRankings& rankings)
{
    m_roundScore->updateTournamentPoints(rankings);
}

void GameWindow::onPlayerIsReady(qint32 playerId)
{
    if (m_sideBar->hasPlayer(playerId))
        m_sideBar->setPlayerReady(playerId);
}

void GameWindow::onPlayerNameChanged(qint32 playerId, const QString& name)
{
    if (PlayerWidget* panel = m_sideBar->playerWidget(playerId))
        panel->setName(name);
    m_scoreBoard->onPlayerNameUpdate(playerId, name);
    m_roundScore->onPlayerNameUpdate(playerId, name);
}

QString GameWindow::tableName(qint32 playerId, const QString& fallback) const
{
    // The table's record holds the name the side bar shows; the connection's
    // cache may still hold the placeholder of a name being asked for.
    const PlayerData* p = m_model ? m_model->player(playerId) : nullptr;
    if (p && !p->name().isEmpty() && p->name() != unknownText())
        return p->name();
    return fallback;
}

void GameWindow::passNamesToRoundBoard()
{
    if (!m_model)
        return;
    for (const auto& [id, player] : m_model->players())
        if (!player.name().isEmpty() && player.name() != unknownText())
            m_roundScore->onPlayerNameUpdate(id, player.name());
}

void GameWindow::onAreYouReady(const TimeSpan& ts, bool seated)
{
    askPlayer(ts);
    // Joined between hands, the client has no last hand of its own to show:
    // the question comes on its own, as to a newly seated player.
    if (!seated && m_model && m_model->gameState() == GameModel::GAME_HAND_ENDED && !m_model->lastHandEnd()
        && m_scoreBoard->isHidden() && m_washout->isHidden())
        seated = true;
    if (seated) {
        if (ts.end().isValid())
            m_seated->startCountdown(ts);
        noteSeating(m_seated);
        m_seated->showDialog(true);
    } else {
        // A question that finds neither the board nor the notice open (the
        // page opened again, or the board closed) brings them back: Ready
        // is on them.
        if (m_scoreBoard->isHidden() && m_washout->isHidden())
            showLastHandEnd();
        m_readyDeadline = ts.end();
        m_scoreBoard->setWaitingMode(true);
        m_scoreBoard->startCountdown(ts.end());
        m_washout->setReadyDeadline(ts.end());
    }
}

void GameWindow::onHandEndNonScoring(endhand_reason_t washoutType, bool endOfGame)
{
    playSound(8);
    appendInfo(tr("Hand ended in washout!"));
    showWashout(washoutType, endOfGame);
    askPlayer();
}

void GameWindow::showWashout(endhand_reason_t washoutType, bool endOfGame)
{
    m_scoreBoard->hide();
    m_washout->setWashoutType(int(washoutType));
    m_washout->setEndOfGame(endOfGame);
    m_washout->setWatching(!(m_model && m_model->isSeated()));
    noteSeating(m_washout);
    m_washout->showDialog(true);
}

void GameWindow::showLastHandEnd()
{
    if (!m_model || !m_model->lastHandEnd())
        return;
    const GameModel::HandEnd& end = *m_model->lastHandEnd();
    if (end.scored)
        showHandScores(end.scores, end.reason, end.endOfGame);
    else
        showWashout(end.reason, end.endOfGame);
}

void GameWindow::onEndOfRound(const MonetaryRoundScores& scores)
{
    appendInfo(tr("Table round ended"));
    bool anyResult = false;
    for (const auto& row : scores)
        anyResult = anyResult || row.balance != 0;
    if (!anyResult)
        return;
    m_roundScore->setTableInfo(m_tableInfo);
    passNamesToRoundBoard();
    m_roundScore->showMonetaryRoundScores(scores);
    noteSeating(m_roundScore);
    m_lastRound = false;
    showRoundBoard();
    askPlayer();
}

void GameWindow::onEndOfTournamentRound(bool lastRound, const TournamentRoundScores& scores)
{
    appendInfo(tr("Tournament round ended"));
    m_inactive->hide();
    // The tournament's record may come after its table opened: until then
    // the board names the table, as the side bar does, and says nothing of
    // rounds it does not know.
    const TournamentInfo tournament = m_model ? m_model->tournamentInfo() : TournamentInfo();
    if (tournament.tournamentId != -1 && tournament.numberOfRounds > 0)
        m_roundScore->setTournamentInfo(tournament);
    else
        m_roundScore->setTableInfo(m_tableInfo);
    passNamesToRoundBoard();
    m_roundScore->showRoundScores(scores);
    noteSeating(m_roundScore);
    m_lastRound = lastRound;
    showRoundBoard();
    askPlayer();
}

void GameWindow::showRoundBoard()
{
    // The last hand's scores come first: the round's board waits until their
    // board is closed instead of covering it.
    m_roundBoardWaits = !m_scoreBoard->isHidden();
    if (m_roundBoardWaits)
        return;
    // The round is over: the last hand's calls leave the side bar with it.
    hideClaimImages();
    m_roundScore->adjustSize();
    m_roundScore->move(std::max(0, (width() - m_roundScore->width()) / 2),
                       std::max(0, (height() - m_roundScore->height()) / 2));
    m_roundScore->show();
    m_roundScore->raise();
}

void GameWindow::onTimeoutOccured()
{
    for (WindView* w : m_winds)
        w->setGlow(false);
    placeTimeoutImage();
    m_timeoutImage->show();
    QTimer::singleShot(2000, this, &GameWindow::hideTimeoutItem);
    updateFuritenImage();
}

void GameWindow::showRobTheKongSuggestion(const TimeSpan& ts, const meld_offer_vector& offers)
{
    stopCountdowns();
    clearHighlights();
    const TableMoment::Question* rob = m_model ? m_model->moment().choice() : nullptr;
    if (!rob || rob->kind != TableMoment::RobKong) {
        qDebug() << "rob-the-kong offer with no such offer open at the table; nothing shown";
        return;
    }
    // With nothing to claim the table passes by itself.
    if (offers.empty() && autoPass())
        return;
    m_auction->clear();
    m_auction->showPassButton();
    for (const meld_offer& offer : offers)
        m_auction->addOffer(offer, offer.meld_tile);
    m_auction->setMode(MeldAuction::RobKong);
    m_shownChoice = rob->id;
    showMeldAuction();
    playSound(0);
    if (m_sideBar->hasPlayer(m_playerId))
        m_sideBar->setPlayerTimeSpan(m_playerId, ts);
    m_timer->setTimeSpan(ts);
    askPlayer(ts);
}

void GameWindow::setPlayerPicture(qint32 playerId, const QPixmap& picture)
{
    if (!m_model || !m_model->hasPlayer(playerId))
        return;
    if (m_sideBar->hasPlayer(playerId))
        m_sideBar->setPlayerAvatar(playerId, picture);
    if (playerId == m_playerId)
        m_cube->setPicture(picture.toImage());
}

void GameWindow::onJoinButtonClick()
{
    if (!m_model) {
        qWarning() << "m_table not set";
        return;
    }
    if (m_model->isSeated()) {
        qWarning() << "Player attempted join an already joined table";
        return;
    }
    m_watching->hide();
    Q_EMIT join(tableId());
}

void GameWindow::onReactivateButtonClicked()
{
    if (m_model)
        Q_EMIT reactivate(tableId());
}

void GameWindow::onReadyButtonClick()
{
    if (!m_model || !m_model->isSeated())
        return;
    // Ready answers the server's question whether the user is ready (or takes
    // the seat), while it is open: a notice left from the last hand has
    // nothing to answer in the next one.
    TableMoment& moment = m_model->moment();
    if (!moment.answer(moment.ready() ? moment.ready()->id : 0, "ready"))
        return;
    m_inactive->hide();
    m_seated->hide();
    m_scoreBoard->setWaitingMode(false);
    if (m_sideBar->hasPlayer(m_playerId))
        m_sideBar->setPlayerReady(m_playerId);
    m_scoreBoard->hide();
    Q_EMIT tableActivity(tableId(), false, TimeSpan());
    Q_EMIT ready(tableId());
}

void GameWindow::onLeaveButtonClick()
{
    if (!m_model) {
        qWarning() << "m_table not set";
        return;
    }
    m_seated->hide();
    m_sideBar->setLeaveEnabled(false);
    m_waiting->setLeaveEnabled(false);
    const LeaveMeaning meaning = leaveMeaning();
    if (meaning != LeaveMeaning::NoQuestion) {
        if (!m_leaveQuestion) {
            // In a hand only the page closes now: the seat is given up once
            // the game (a tournament's round) is over, and the user should know.
            const auto wording = [name = m_tableInfo.name, meaning] {
                QString text = tr("Are you sure you want to leave table %1?").arg(name);
                // A tournament's tables are listed by its window, not by the lobby.
                if (meaning == LeaveMeaning::KeepSeatForRound)
                    text += QStringLiteral("\n\n")
                            + tr("You keep your seat until the tournament round ends.\nUntil then the table can be "
                                 "opened again from its tournament on the Tournaments tab.");
                else if (meaning == LeaveMeaning::KeepSeatForGame)
                    text += QStringLiteral("\n\n")
                            + tr("You keep your seat until the game ends.\n"
                                 "Until then the table can be opened again from the lobby.");
                return ModelessMsgBox::Wording{tr("Leave Table"), text};
            };
            // The table's name as the server wrote it, never markup.
            auto* box = ModelessMsgBox::committing(ModelessMsgBox::plainText(ModelessMsgBox::question(
                this, wording, QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::No)));
            m_leaveQuestion = box;
            m_leaveAsked = meaning;
            m_leaveSeating = m_model->seating();
            ModelessMsgBox::connectFinished(box, [this](int button) { onLeaveAnswer(button); });
        }
        return;
    }
    Q_EMIT leave(tableId());
}

GameWindow::LeaveMeaning GameWindow::leaveMeaning() const
{
    // A game under way is left only after a question: in a hand, and
    // between hands, where the seat is given up at once.
    if (!m_model || !m_model->isSeated())
        return LeaveMeaning::NoQuestion;
    const bool betweenHands = m_model->gameState() == GameModel::GAME_HAND_ENDED && m_model->gameInProgress();
    if (!m_model->isInPlay() && !betweenHands)
        return LeaveMeaning::NoQuestion;
    if (m_tableInfo.gameType == 1)
        return LeaveMeaning::KeepSeatForRound;
    return m_model->isInPlay() ? LeaveMeaning::KeepSeatForGame : LeaveMeaning::GiveUpSeat;
}

void GameWindow::closeStaleLeaveQuestion()
{
    // A question asked in a hand and answered after it (or between hands and
    // answered in the next one) would do what it never said: it goes with
    // the state it asked about, answered as by its close button.
    if (m_leaveQuestion && (leaveMeaning() != m_leaveAsked || !m_model || m_model->seating() != m_leaveSeating))
        m_leaveQuestion->close();
}

void GameWindow::onLeaveAnswer(int button)
{
    m_leaveQuestion = nullptr;
    if (button == QDialogButtonBox::Yes && m_model && leaveMeaning() == m_leaveAsked
        && m_model->seating() == m_leaveSeating)
        Q_EMIT leave(tableId());
    m_sideBar->setLeaveEnabled(true);
    m_waiting->setLeaveEnabled(true);
}

void GameWindow::onPassMeldSelected()
{
    if (!m_model || !m_model->isOwnPlayerSeated()) {
        hideChooser();
        qWarning() << "passMeldSelected: handled when not seated";
        return;
    }
    // The pass answers the offer the chooser showed when it was pressed.
    if (!m_model->moment().answer(m_shownChoice, "pass"))
        return;
    Q_EMIT tableActivity(tableId(), false, TimeSpan());
    Q_EMIT callPass(tableId(), bottomPlayerId(), false);
}

void GameWindow::onMeldSelected(const meld_offer& offer)
{
    flushActions();
    m_auction->hide();
    if (offer.type != game_protocol::meld_type::RIICHI) {
        stopCountdowns();
        clearHighlights();
    }
    if (!m_model) {
        qWarning() << "m_table not set";
        return;
    }
    if (!m_model->isOwnPlayerSeated()) {
        qWarning() << "onMeldSelected: handled when not seated";
        return;
    }
    using namespace game_protocol::meld_type;
    TableMoment& moment = m_model->moment();
    if (offer.type == RIICHI) {
        // Riichi is declared with the tile picked next; the hand is armed for
        // the tiles it may be declared with until then, or the turn's end.
        if (!moment.chooseRiichi(m_shownChoice)) {
            qDebug() << "riichi chosen on an offer that is no longer open; dropped";
            return;
        }
        QStringList codes;
        for (tile t : moment.riichiTiles())
            codes << QString::number(int(t.code()));
        qDebug().noquote() << "Choose from riichi these tiles:" << codes.join(QLatin1Char(' '));
        return;
    }
    if (offer.type != CHOW && offer.type != PONG && offer.type != PONG_TO_KONG && offer.type != KONG
        && offer.type != MAHJONG)
        return;
    // A declaration's meld ends the turn too: the server asks for the discard again after it.
    if (!moment.answer(m_shownChoice, "meld", TableMoment::Turn))
        return;
    const qint32 table = tableId();
    const qint32 pid = bottomPlayerId();
    switch (offer.type) {
    case game_protocol::meld_type::CHOW:
        Q_EMIT callChow(table, pid, offer.meld_tile);
        break;
    case game_protocol::meld_type::PONG:
        Q_EMIT callPong(table, pid, offer.meld_tile);
        break;
    case game_protocol::meld_type::PONG_TO_KONG:
        Q_EMIT callPongToKong(table, pid, offer.meld_tile);
        break;
    case game_protocol::meld_type::KONG:
        Q_EMIT callKong(table, pid, offer.meld_tile);
        break;
    case game_protocol::meld_type::MAHJONG:
        Q_EMIT callMahjong(table, pid);
        break;
    default:
        break;
    }
}

void GameWindow::onRoundScoreCloseClick()
{
    m_roundScore->hide();
    if (!m_model || !m_roundScore->isTournamentRound())
        return;
    // Before the tournament's record arrives the table's own record names it.
    const qint32 known = m_model->tournamentInfo().tournamentId;
    Q_EMIT tournamentScoreDialogClosed(known != -1 ? known : m_tableInfo.mttId, tableId(), m_lastRound);
}

void GameWindow::onPlayerStateChanged(GameModel::player_state_t playerState)
{
    if (!m_model)
        return;
    switch (playerState) {
    case GameModel::WAITING:
        if (m_model->seatsRemaining() >= 1 && m_tableInfo.gameType != 1) {
            resetViews();
            m_waiting->onSeatsRemaining(m_model->seatsRemaining());
            m_waiting->showDialog(true);
        }
        break;
    case GameModel::KICKED:
        if (m_model->kickReason() < kick_reason::KICK_REASON_3) {
            resetViews();
            m_sideBar->reset();
            m_sideBar->setModel(m_model);
            // A notice of an earlier kick belongs to a seating that is over.
            if (m_kickedBox)
                m_kickedBox->close();
            auto* box = ModelessMsgBox::warning(
                this, [] { return ModelessMsgBox::Wording{tr("Kicked"), tr("You were kicked from the table.")}; });
            m_kickedBox = box;
            closeWithSeating(box);
            // The answer ends the table only while it is at the seating that
            // was kicked: the same table joined again since is another one.
            const int seating = m_model->seating();
            ModelessMsgBox::connectFinished(box, [this, seating](int) {
                if (m_model && m_model->seating() == seating)
                    Q_EMIT kickedConfirmed(tableId());
            });
        }
        m_sideBar->setChatActive(false);
        break;
    case GameModel::WATCHING:
    case GameModel::SEAT_OFFERED:
        m_sideBar->setChatActive(true);
        break;
    default:
        break;
    }
    m_washout->setWatching(!m_model->isSeated());
    showBottomSeat(m_model->isSeated());
    updateSeatDialogs();
}

void GameWindow::showBottomSeat(bool ownSeat)
{
    // A watcher has no hand of their own: the bottom shows the tile backs of
    // the player sitting there (none before a hand) and no turn timer.
    m_hand->setVisible(ownSeat);
    m_hidden[0]->setVisible(!ownSeat);
    if (!ownSeat) {
        m_hand->clear();
        m_timer->hide();
    }
}

void GameWindow::onTournamentRoundEnded()
{
    auto* box = ModelessMsgBox::question(
        this,
        [] {
            return ModelessMsgBox::Wording{tr("Tournament round ended"),
                                           tr("The tournament round has ended, press Ok to go back to lobby")};
        },
        QDialogButtonBox::Ok, QDialogButtonBox::Ok);
    closeWithSeating(box);
    ModelessMsgBox::connectFinished(box, [this, seating = m_model ? m_model->seating() : -1](int button) {
        if (button == QDialogButtonBox::Ok && m_model && m_model->seating() == seating)
            onLeaveButtonClick();
    });
}

void GameWindow::onTournamentRemoved()
{
    // No turn runs out and nothing is asked at a table whose tournament is
    // gone, and a Leave asked for already no longer keeps a seat: the page
    // says why.
    stopCountdowns();
    hideChooser();
    m_inactive->hide();
    updateSeatDialogs();
    const QString why = tr("This tournament has been removed");
    m_sideBar->endTournament(why);
    appendInfo(why);
}

void GameWindow::onCloseMeldAuction()
{
    if (!m_model) {
        qWarning() << "m_table not set";
        return;
    }
    if (!m_model->isOwnPlayerSeated()) {
        qWarning() << "passMeldSelected: handled when not seated";
        return;
    }
    // Close declines the declaration the chooser showed; the turn's discard
    // is still to come (in riichi, of the drawn tile, at once).
    if (!m_model->moment().answer(m_shownChoice, "nothing declared"))
        return;
    if (ownTurnIsRiichi() && autoPass()) {
        const PlayerData* own = m_model->ownPlayer();
        if (own && !own->lastDrawn().empty())
            discardFromHand(own->lastDrawn().front());
        else
            qWarning() << "no drawn tile to discard automatically";
    }
}

bool GameWindow::ownTurnIsRiichi() const
{
    const PlayerData* own = m_model ? m_model->ownPlayer() : nullptr;
    return own && own->riichiDiscardIndex() != -1;
}

void GameWindow::closeWithSeating(QWidget* box)
{
    if (m_model)
        m_seatingBoxes.emplace_back(box, m_model->seating());
}

void GameWindow::closeBoxesOfEndedSeatings()
{
    // Such a box over the table at a later seating would say what no longer
    // holds, and its answer would have nothing to act on.
    std::vector<QPointer<QWidget>> ended;
    std::erase_if(m_seatingBoxes, [&](const auto& entry) {
        if (entry.first && m_model && entry.second == m_model->seating())
            return false;
        ended.push_back(entry.first);
        return true;
    });
    for (const QPointer<QWidget>& box : ended)
        if (box)
            box->close();
}

void GameWindow::noteSeating(const QWidget* panel)
{
    if (m_model)
        m_shownFor[panel] = m_model->seating();
}

bool GameWindow::atShownSeating(const QWidget* panel) const
{
    const auto it = m_shownFor.find(panel);
    return m_model && (it == m_shownFor.end() || it->second == m_model->seating());
}
