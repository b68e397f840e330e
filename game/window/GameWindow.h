#pragma once

#include "ClaimedFrom.h"
#include "GameModel.h"
#include "MonetaryRoundScores.h"
#include "TableInfo.h"
#include "TimeSpan.h"
#include "TournamentInfo.h"
#include "TournamentRankings.h"
#include "TournamentRoundScores.h"
#include "meld.h"
#include "tile.h"

#include <QDateTime>
#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class ActionQueue;
class DeclaredView;
class DiscardView;
class GameGraphicsScene;
class GameWindowAction;
class GameWindowAnimation;
class HandView;
class HiddenHandView;
class MeldAuction;
class PlayerActionView;
class PlayerInactiveWindow;
class PrevalentWindView;
class QGraphicsPixmapItem;
class QGraphicsRectItem;
class QGraphicsView;
class QTimer;
class RiichiStickView;
class RotatingCube;
class RoundScoreBoard;
class ScoreBoard;
class SeatedWindow;
class SideBar;
class SocialServices;
class TableWall;
class TileAnimation;
class TimerView;
class WaitingForPlayersWindow;
class WashoutWindow;
class WatchingWindow;
class WindView;

/// The window of one open table: the table scene with the walls, the own
/// hand, every seat's hidden hand, pond, melds, wind marker, riichi sticks and
/// claim word, laid out to fit the window; the side bar on the right; the
/// claim chooser, score boards and notices over the table.
///
/// The window reads its table's `GameModel` and turns each of its events into
/// steps of one queue (animations, then the changes that follow them), so
/// events are shown in the order they arrived. Requests the user makes go out
/// as signals carrying the table id; the game controller passes them on.
///
/// Seats are named by orientation: 0 bottom, 1 right, 2 top, 3 left. The
/// bottom seat is the own seat when the user is seated, else East's.
/// Server values the window cannot place (an unknown player, a wind outside
/// 0..3, a seating of more than four players) are logged and skipped.
class GameWindow : public QWidget
{
    Q_OBJECT

public:
    /// `services` gives player pictures and the table chat; null for none.
    GameWindow(QWidget* parent, SocialServices* services, qint32 playerId);
    ~GameWindow() override;

    /// The model shown; null detaches the window and empties the table.
    void setModel(GameModel* model);
    GameModel* model() const { return m_model; }
    const TableInfo& tableInfo() const { return m_tableInfo; }

    // --- what the controller calls directly
    void showMeldSuggestion(const meld_offer_vector& offers, tile discard, const TimeSpan& ts);
    void showConcealedMeldSuggestion(const meld_offer_vector& offers, const TimeSpan& ts);
    void showRobTheKongSuggestion(const TimeSpan& ts, const meld_offer_vector& offers);
    void showMahjongClaim(qint32 playerId, qint32 mahjongType);
    void showMeldClaim(qint32 playerId, qint32 meldType);
    void onEndOfRound(const MonetaryRoundScores& scores);
    void onTimeoutOccured();
    void setPlayerPicture(qint32 playerId, const QPixmap& picture);

    /// The seat of a player, -1 (logged) when the player sits nowhere.
    int orientationOf(qint32 playerId) const;
    /// The player record at a seat; null for a free seat.
    const PlayerData* seatPlayer(int orientation) const;
    /// The wind after `wind`; -1 (logged) for a value outside 0..3.
    static int nextWind(int wind);
    /// Where the claimed tile of a meld came from, as seen by the claimant,
    /// from the winds of the claimant and of the meld's claimed-from player;
    /// none when the meld claimed nothing or either player is unknown.
    static ClaimedFrom claimDirection(const GameModel* model, const meld_tuple& m, qint32 claimantId);
    /// The winds of the deal in order for a number of players (13 x n + 1 used).
    static std::vector<int> dealOrder(int players);

    // --- parts, for the deal, the wind animation and tests
    QGraphicsView* view() const { return m_view; }
    GameGraphicsScene* scene() const { return m_scene.get(); }
    TableWall* walls() const { return m_walls.get(); }
    HandView* handView() const { return m_hand; }
    HiddenHandView* hiddenHand(int o) const { return m_hidden[std::size_t(o)]; }
    DiscardView* discardView(int o) const { return m_discards[std::size_t(o)]; }
    DeclaredView* declaredView(int o) const { return m_declared[std::size_t(o)]; }
    WindView* windView(int o) const { return m_winds[std::size_t(o)]; }
    PlayerActionView* claimImage(int o) const { return m_claims[std::size_t(o)]; }
    RiichiStickView* riichiSticks(int o) const { return m_sticks[std::size_t(o)]; }
    QPointF windPosition(int o) const { return m_windPositions[std::size_t(o)]; }
    PrevalentWindView* prevalentWind() const { return m_prevalent; }
    SideBar* sideBar() const { return m_sideBar; }
    MeldAuction* meldAuction() const { return m_auction; }
    ScoreBoard* scoreBoard() const { return m_scoreBoard; }
    RoundScoreBoard* roundScoreBoard() const { return m_roundScore; }
    WashoutWindow* washoutWindow() const { return m_washout; }
    WaitingForPlayersWindow* waitingWindow() const { return m_waiting; }
    SeatedWindow* seatedWindow() const { return m_seated; }
    WatchingWindow* watchingWindow() const { return m_watching; }
    PlayerInactiveWindow* inactiveWindow() const { return m_inactive; }
    TimerView* timerView() const { return m_timer; }
    QGraphicsPixmapItem* timeoutImage() const { return m_timeoutImage; }
    QGraphicsPixmapItem* furitenImage() const { return m_furitenImage; }
    ActionQueue* actionQueue() const { return m_queue.get(); }
    /// The tile pictures of the last deal (53 slots, null where unused).
    std::array<TileAnimation*, 53>& dealTiles() { return m_dealTiles; }
    /// Whether riichi was chosen and its tile is still to be picked.
    bool isRiichiMode() const;

    /// Queues a step or an animation (the table's one queue).
    void enqueueAction(GameWindowAction* action);
    void enqueueAnimation(GameWindowAnimation* animation);
    void flushActions();

    /// The natural size of the table at scale 1, in scene units.
    QSize naturalTableSize() const;

    // --- window steps (queued by the handlers)
    void declareMeld(int orientation, meld_tuple m, ClaimedFrom from);
    void setActiveSeat(int orientation);
    void addKanDora(tile t);
    void playStartSound();
    void showHandStarted();
    void showBonusTiles(int orientation, std::shared_ptr<std::vector<tile>> tiles);
    void updateOwnHand(std::shared_ptr<std::vector<tile>> hand, std::shared_ptr<std::vector<tile>> drawn);
    void highlightPlayer(qint32 playerId);
    void clearHighlights();
    void hideClaimImages();
    void hideDealTiles();
    void stopCountdowns();
    QPixmap playerPicture(qint32 playerId) const;

Q_SIGNALS:
    /// Something at the table wants the user's attention (activity), with the
    /// time left to act when there is a limit.
    void tableActivity(qint32 tableId, bool activity, const TimeSpan& ts);
    /// The round score board of a tournament round was closed.
    void tournamentScoreDialogClosed(qint32 tournamentId, qint32 tableId, bool lastRound);
    /// The window stopped its countdowns.
    void clearTimeout(qint32 tableId);
    /// The user confirmed leaving the table.
    void leave(qint32 tableId);
    void reactivate(qint32 tableId);
    void join(qint32 tableId);
    void ready(qint32 tableId);
    void discardTile(qint32 tableId, qint32 playerId, tile t);
    void callPass(qint32 tableId, qint32 playerId, bool autoPass);
    void callChow(qint32 tableId, qint32 playerId, tile t);
    void callPong(qint32 tableId, qint32 playerId, tile t);
    void callKong(qint32 tableId, qint32 playerId, tile t);
    void callPongToKong(qint32 tableId, qint32 playerId, tile t);
    void callRiichi(qint32 tableId, qint32 playerId, tile t);
    void callMahjong(qint32 tableId, qint32 playerId);
    /// A player was added to the window (seated, or present when the model was set).
    void playerAdded(qint32 tableId, qint32 playerId);
    /// The user closed the notice that the own player was removed.
    void kickedConfirmed(qint32 tableId);
    /// Relayed from the side bar.
    void userMenuRequested(const QString& playerName, const QPoint& pos);

public Q_SLOTS:
    // --- mirroring the model
    void reset();
    void onGameStateChanged();
    void onPlayerSeated(qint32 playerId, qint32 tableId, bool fromGameData);
    void onPlayerUnseated(qint32 playerId);
    void onPrivatePlayerData(const PrivatePlayerData& privateData);
    void onFuritenChanged(bool furiten);
    void onActiveChanged(bool active);
    void onTableInfo(const TableInfo& ti);
    void onTournamentInfo(const TournamentInfo& ti);
    void onHandEndNonScoring(endhand_reason_t washoutType, bool endOfGame);
    void onEndOfTournamentRound(bool lastRound, const TournamentRoundScores& scores);
    void onTournamentRankings(const TournamentRankings& rankings);
    void onAreYouReady(const TimeSpan& ts, bool seated);
    void onPlayerIsReady(qint32 playerId);
    /// A seated player's name arrived or changed: the side bar and both
    /// score boards show it.
    void onPlayerNameChanged(qint32 playerId, const QString& name);
    // --- the flow of a hand
    void onStartHand(bool newRound);
    void onTileDiscarded(qint32 playerId, tile t, bool riichiDiscard);
    void onTileClaimed(qint32 discardPlayer, qint32 claimingPlayer);
    void onMeldDeclared(qint32 playerId, const meld_tuple& m);
    void onBonusDeclared(qint32 playerId, const tile_vector& tiles);
    void onHiddenTilesFromWall(qint32 playerId, qint32 count, bool fromDeadWall);
    void onTilesFromWall(qint32 playerId, const tile_vector& tiles, bool fromDeadWall);
    void onPlayerShouldAct(qint32 playerId, const TimeSpan& ts);
    void onKanDora(tile t);
    void onHandEndScoring(const std::map<qint32, player_score>& scores, endhand_reason_t mahjongType,
                          bool endOfGame);
    void onPlayerStateChanged(GameModel::player_state_t playerState);
    void onTournamentRoundEnded();
    /// The server removed the table's tournament.
    void onTournamentRemoved();
    // --- the user
    void onTileClick(tile t);
    void onCloseMeldAuction();
    void onLeaveButtonClick();
    void onJoinButtonClick();
    void onReactivateButtonClicked();
    void onReadyButtonClick();
    void onMeldSelected(const meld_offer& offer);
    void onPassMeldSelected();
    void onRoundScoreCloseClick();
    void hideTimeoutItem();
    // --- tiles and scale
    void onTileGraphicsChanged();
    void onGameScaleChanged();
    void onShowCube();

protected:
    void resizeEvent(QResizeEvent* event) override;
    /// A page that was out of sight lays out and dresses its table as it shows.
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    /// The wheel over an overlay larger than the page scrolls it.
    void wheelEvent(QWheelEvent* event) override;

private:
    void build();
    void setTableSize(int width, int height);
    void layoutTable();
    void syncWithModel();
    void resetViews();
    /// The boards, notices, chooser and leave question over the table,
    /// in the order the page places them as it changes its size.
    QList<QWidget*> overlays() const;
    /// Lays the table out for the view's size: runs once a shown window's
    /// resizing pauses, and at once for a hidden one.
    void relayoutForSize();
    void placeTimeoutImage();
    void placeFuritenImage();
    void updateFuritenImage();
    void updateInactiveWindow();
    void updateSeatDialogs();
    void updateScoreBoardWaiting();
    void showBottomSeat(bool ownSeat);
    QString tableName(qint32 playerId, const QString& fallback) const;
    void passNamesToRoundBoard();
    void loadTextImages();
    void retranslate();
    /// What leaving means now, as the leave question says it: nothing to
    /// ask, the page closes and the seat stays until the tournament round
    /// or the game ends, or the seat is given up at once (between hands).
    enum class LeaveMeaning { NoQuestion, KeepSeatForRound, KeepSeatForGame, GiveUpSeat };
    LeaveMeaning leaveMeaning() const;
    /// Closes the leave question once leaving no longer means what it says
    /// (or the table is at another seating).
    void closeStaleLeaveQuestion();
    /// Closes a box shown for the model's seating now once the table is at another one.
    void closeWithSeating(QWidget* box);
    /// Closes the boxes of seatings that are over.
    void closeBoxesOfEndedSeatings();
    /// Notes that a board or notice is shown for the model's seating now.
    void noteSeating(const QWidget* panel);
    /// Whether the table is at the seating the board or notice was last shown
    /// for (a join of the same table since begins another).
    bool atShownSeating(const QWidget* panel) const;
    /// Passes a board's or notice's answer on to `slot` while the table is at
    /// the seating it was shown for; an earlier seating's only closes it.
    template <typename Panel, typename Signal>
    void connectAnswer(Panel* panel, Signal signal, void (GameWindow::*slot)());
    void onLeaveAnswer(int button);
    void discardFromHand(tile t);
    void syncOwnHand();
    void syncHiddenHand(qint32 playerId);
    void syncPlayerHand(qint32 playerId);
    void syncAllHands();
    void setUpWalls();
    void showMeldAuction();
    /// Arms the controls that answer the server (the chooser, the hand, the
    /// wash-out notice's Ready) from the table's moment, and only from it:
    /// runs whenever a question opens or ends.
    void armControls();
    /// Takes the chooser away, with the build of a later offer still waiting.
    void hideChooser();
    void showClaim(qint32 playerId, int kind, int subKind);
    /// The board of a scored hand (the own hand in front at a Classic
    /// table when it was sent, else the winner's).
    void showHandScores(const std::map<qint32, player_score>& scores, endhand_reason_t mahjongType, bool endOfGame);
    void showWashout(endhand_reason_t washoutType, bool endOfGame);
    /// The board or notice of the model's last hand end, when it has one.
    void showLastHandEnd();
    /// Shows the round's board, once the last hand's board is closed.
    void showRoundBoard();
    void appendInfo(const QString& text);
    /// The table asks the user for something (with the time to answer, when
    /// limited): the strip marks it. Only a table the user sits at asks.
    void askPlayer(const TimeSpan& ts = TimeSpan());
    /// Whether the bottom seat is the user's own and `playerId` the user.
    bool isOwnSeat(qint32 playerId) const;
    void playSound(unsigned slot);
    bool ownTurnIsRiichi() const;
    qint32 tableId() const;
    qint32 bottomPlayerId() const;
    bool animationsEnabled() const;

    QGraphicsView* m_view = nullptr;
    SocialServices* m_services;
    std::unique_ptr<GameGraphicsScene> m_scene;
    QGraphicsRectItem* m_topShadow = nullptr;
    QGraphicsRectItem* m_bottomShadow = nullptr;
    QPointer<GameModel> m_model;
    std::unique_ptr<TableWall> m_walls;
    MeldAuction* m_auction = nullptr;
    /// The chooser was built in this turn of the event loop; a claim offer
    /// after it waits for the turn's end, unless play moves on first.
    bool m_claimBuiltThisTurn = false;
    /// A claim offered once the chooser was built this turn: its question,
    /// shown at the turn's end while still open; 0 for none.
    quint64 m_pendingClaim = 0;
    /// The question of the table's moment the chooser shows; 0 for none.
    quint64 m_shownChoice = 0;
    /// The turn whose riichi without a known drawn tile was logged.
    quint64 m_riichiWarned = 0;
    QMetaObject::Connection m_momentLink;
    ScoreBoard* m_scoreBoard = nullptr;
    WaitingForPlayersWindow* m_waiting = nullptr;
    SeatedWindow* m_seated = nullptr;
    PlayerInactiveWindow* m_inactive = nullptr;
    WatchingWindow* m_watching = nullptr;
    HandView* m_hand = nullptr;
    std::array<DiscardView*, 4> m_discards{};
    std::array<DeclaredView*, 4> m_declared{};
    std::array<WindView*, 4> m_winds{};
    std::array<QPointF, 4> m_windPositions{};
    PrevalentWindView* m_prevalent = nullptr;
    std::array<HiddenHandView*, 4> m_hidden{};
    std::array<PlayerActionView*, 4> m_claims{};
    std::array<RiichiStickView*, 4> m_sticks{};
    /// The player id seated at each orientation; -1 for a free seat. Records
    /// are looked up in the model at each use, so none can dangle.
    std::array<qint32, 4> m_seatIds{{-1, -1, -1, -1}};
    SideBar* m_sideBar = nullptr;
    WashoutWindow* m_washout = nullptr;
    TimerView* m_timer = nullptr;
    /// The open leave question, null when none, and what it says leaving means.
    QPointer<QWidget> m_leaveQuestion;
    LeaveMeaning m_leaveAsked = LeaveMeaning::NoQuestion;
    int m_leaveSeating = -1;
    /// The notice that the user was removed from the table, while it is open.
    QPointer<QWidget> m_kickedBox;
    /// Open boxes that answer for one seating, with that seating.
    std::vector<std::pair<QPointer<QWidget>, int>> m_seatingBoxes;
    /// The seating each board and notice that answers for the table was last shown for.
    std::map<const QWidget*, int> m_shownFor;
    /// The end of the time to say ready for the next hand, once the server named it.
    QDateTime m_readyDeadline;
    bool m_ownDiscardShown = false;
    tile m_shownDiscard{0};
    bool m_discardSeen = false;
    bool m_handSetUp = false;
    bool m_lastRound = false;
    /// The round's board is filled and waits for the hand's board to close.
    bool m_roundBoardWaits = false;
    /// The tile scale changed while the window was out of sight.
    bool m_layoutStale = false;
    qint32 m_playerId;
    TableInfo m_tableInfo;
    RoundScoreBoard* m_roundScore = nullptr;
    QGraphicsPixmapItem* m_timeoutImage = nullptr;
    QGraphicsPixmapItem* m_furitenImage = nullptr;
    std::array<TileAnimation*, 53> m_dealTiles{};
    std::unique_ptr<ActionQueue> m_queue;
    /// Waits for a pause in the resizing of a shown window.
    QTimer* m_relayoutTimer = nullptr;
    /// Arms the controls again when the span of an open question ends.
    QTimer* m_spanEndTimer = nullptr;
    RotatingCube* m_cube = nullptr;
};
