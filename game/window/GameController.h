#pragma once

#include "GameModel.h"
#include "MonetaryRoundScores.h"
#include "TableInfo.h"
#include "TableInfoUpdates.h"
#include "TimeSpan.h"
#include "TournamentInfoUpdates.h"
#include "TournamentRankings.h"
#include "TournamentRoundScores.h"
#include "meld.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <vector>

class ConnectionManager;
class GameWindow;
class QTimer;
class QWidget;
class SocialServices;
class TableModel;
class TournamentsController;

/// The owner of the open tables: one `GameModel` per table the user joined or
/// watches and, while the table is shown, one `GameWindow`. It is the only
/// receiver of the server's per-table events: each is passed, by table id, to
/// that table's model or window. In the other direction each window's
/// requests go to the connection unchanged.
///
/// An event for a table that is not open (closed a moment before, or never
/// opened) is logged and dropped. A successful join for a table the lobby
/// has no record of opens the table when the record arrives (within 10 s);
/// what the server says of the table meanwhile is kept (up to 1000 events,
/// from its latest snapshot on) and applied then. A tournament seating whose
/// join the connection's throttle refuses is tried again until the join goes out.
class GameController : public QObject
{
    Q_OBJECT

public:
    /// `services` gives player pictures and chats (null: none); `tournaments`
    /// may be null (tournament tables then get no tournament record).
    GameController(ConnectionManager* connection, SocialServices* services, TournamentsController* tournaments,
                   QWidget* parentWidget);
    ~GameController() override;

    void setPlayerId(qint32 playerId);
    /// The widget the table pages are shown in (by default the controller's
    /// parent): a page made elsewhere and moved there once polished would be
    /// polished again, widget by widget, against the style sheet.
    void setPageParent(QWidget* parent) { pageParent = parent; }
    void setPlayerName(const QString& name);
    /// The lobby's table list: where table records come from, and whose
    /// lobby paths the open tables hold.
    void setTableModel(TableModel* model);

    bool hasTable(qint32 tableId) const;
    /// The table's model, or null.
    GameModel* gameModel(qint32 tableId) const;
    /// The table's window, made again when the table has none (after an
    /// in-play leave); null when the table is not open.
    GameWindow* tableView(qint32 tableId);
    /// The table's window if it has one, without making it.
    GameWindow* existingView(qint32 tableId) const;
    /// The tables with a tournament seating whose join is still to be sent or answered.
    QList<qint32> pendingSeatings() const;

    /// "101/mtt/<id>".
    static QString mttLobbyPath(qint32 tournamentId);

Q_SIGNALS:
    /// The table wants attention; `ts` the time left to act, when limited.
    void tableActivity(qint32 tableId, bool activity = true, const TimeSpan& ts = TimeSpan());
    void tableViewCreated(qint32 tableId, GameWindow* window);
    void tableViewAboutToBeDestroyed(qint32 tableId);
    void tableViewDestroyed(qint32 tableId);
    void gameModelCreated(GameModel* model);
    void gameModelAboutToBeDestroyed(GameModel* model);
    /// A watched table was opened; fromLobby when the user came to watch
    /// (rather than having been unseated).
    void tableWatched(qint32 tableId, bool fromLobby);
    void regularTableJoined(qint32 tableId);
    void tournamentTableJoined(qint32 tournamentId, qint32 tableId, int reason);
    /// A tournament round's score board was closed (after the table was handled).
    void tournamentScoreDialogClosed(qint32 tournamentId, qint32 tableId, bool lastRound);

public Q_SLOTS:
    void createTable(qint32 tableId);

    // --- from the connection
    void watchSuccessful(qint32 tableId);
    void unwatchSuccessful(qint32 tableId);
    void onGameData(qint32 tableId, qint64 handId, server_game_state::enum_t gameState,
                    const std::vector<PlayerData>& players, const TableState& tableState, const WallState& wallState);
    void onPrivatePlayerData(qint32 tableId, const PrivatePlayerData& data);
    void tileDiscarded(qint32 tableId, qint32 playerId, tile t);
    void riichiDeclared(qint32 tableId, qint32 playerId, tile t);
    void tileClaimed(qint32 tableId, qint32 claimingPlayer);
    void hiddenTilesFromWall(qint32 tableId, qint32 playerId, qint32 count, bool fromDeadWall);
    void meldDeclared(qint32 tableId, qint32 playerId, const meld_tuple& m);
    void onJoinSuccessful(qint32 tableId);
    void onJoinFailed(qint32 tableId);
    void leaveSuccessful(qint32 tableId);
    void playerJoined(qint32 tableId, const PlayerData& player);
    void startHand(qint32 tableId, qint64 handId, const Seating& seating, const round_score_vector& roundScores,
                   bool newRound, const TableState& tableState, const WallState& wallState);
    void tilesFromWall(qint32 tableId, const tile_vector& tiles, bool fromDeadWall);
    void kanDora(qint32 tableId, tile t);
    void meldSuggestion(qint32 tableId, const TimeSpan& ts, const meld_offer_vector& offers);
    void concealedMeldSuggestion(qint32 tableId, const TimeSpan& ts, const meld_offer_vector& offers);
    void robTheKongSuggestion(qint32 tableId, const TimeSpan& ts, const meld_offer_vector& offers);
    void playerShouldAct(qint32 tableId, const TimeSpan& ts, qint32 playerId);
    void declareBonus(qint32 tableId, qint32 playerId, const tile_vector& tiles);
    void handEndNonScoring(qint32 tableId, endhand_reason_t washoutType, bool endOfGame);
    void handEndScoring(qint32 tableId, const std::map<qint32, player_score>& scores, endhand_reason_t mahjongType,
                        bool endOfGame);
    void endOfRound(qint32 tableId, const MonetaryRoundScores& scores);
    void areYouReady(qint32 tableId, const TimeSpan& ts);
    void timeoutOccured(qint32 tableId);
    void onKickPlayer(qint32 tableId, kick_reason::enum_t reason);
    void someoneDeclaredMahjong(qint32 tableId, qint32 playerId);
    void onPlayerLeft(qint32 tableId, qint32 playerId);
    void playerIsReady(qint32 tableId, qint32 playerId);
    void furitenChanged(qint32 tableId, bool furiten);
    void activeChanged(qint32 tableId, bool active);
    void someoneDeclaredMeld(qint32 tableId, qint32 playerId, meld m, tile t);
    void onTournamentSeated(qint32 tournamentId, qint32 tableId);
    void onTournamentSeated(qint32 tournamentId, qint32 tableId, int reason);
    /// The server sent the table what its page cannot show: the page closes
    /// as at a leave (a seat is given up once the game is over) and the user
    /// is told; the session and the other tables go on.
    void onGamePacketRefused(qint32 tableId);
    void onTableInfo(const TableInfo& ti);
    void onTableInfo(qint32 tableId, int seated, const TableInfoUpdates& updates);
    void endOfTournamentRound(qint32 tournamentId, qint32 tableId, bool lastRound,
                              const TournamentRoundScores& scores);
    void tournamentRankings(qint32 tournamentId, const TournamentRankings& rankings);
    void tournamentPickedUp(qint32 tournamentId, qint32 tableId, bool keepWatching);
    void onTournamentUpdate(qint32 tournamentId, const TournamentInfoUpdates& updates);
    void onTournamentRemoved(qint32 tournamentId);
    void playerPictureUpdate(qint32 playerId);

    // --- from the windows
    void onLeave(qint32 tableId);
    void onInPlayLeave(qint32 tableId);
    void onJoin(qint32 tableId);
    void onReady(qint32 tableId);
    void onReactivate(qint32 tableId);
    void onKickedConfirmed(qint32 tableId);
    void onPlayerAdded(qint32 tableId, qint32 playerId);
    void onTournamentScoreDialogClosed(qint32 tournamentId, qint32 tableId, bool lastRound);
    void onTournamentRoundEnded(qint32 tableId);

private:
    struct Table
    {
        GameModel* model = nullptr;
        QPointer<GameWindow> window;
        bool keepWatching = false;
    };
    struct SeatingRecord
    {
        qint32 tournamentId = -1;
        bool joined = false;
        int reason = 0;
    };

    /// The open table, or null with a warning naming the event.
    Table* tableEntry(qint32 tableId, const char* event);
    /// The model of an open table, or null with a warning.
    GameModel* modelFor(qint32 tableId, const char* event);
    /// The window of an open table, or null (silently when the table has none).
    GameWindow* windowFor(qint32 tableId, const char* event);
    /// The model of an open table whose user may be offered a claim now, or
    /// null (the offer logged as dropped when the table's hand is not the user's).
    GameModel* offerModel(qint32 tableId, const char* event);
    void createTable(qint32 tableId, qint32 tournamentId);
    bool createGameModel(qint32 tableId);
    void createGameWindow(qint32 tableId);
    void destroyTableView(qint32 tableId);
    void destroyTable(qint32 tableId);
    /// Gives up the seat once the game (a tournament's round) is over; until
    /// then only the page closes.
    void leaveOnceOver(qint32 tableId);
    /// Keeps a successful join whose table has no record yet, for a while.
    void holdJoin(qint32 tableId);
    /// Ends a held join that cannot be kept (`why` goes to the log): the
    /// table is left and the user told.
    void giveUpHeldJoin(qint32 tableId, const QString& why);
    /// A connection event for a table, passed to `slot`; while the table's
    /// join waits for its record, kept to be passed on when the table opens.
    template <typename... Args>
    auto relay(void (GameController::*slot)(qint32, Args...));
    void openJoinedTable(qint32 tableId, qint32 tournamentId, int reason, bool seated);
    /// Answers question `question` of the table by itself (a pass where
    /// nothing can be claimed, the riichi discard of the drawn tile), with or
    /// without a page, once the frames received with it are handled: only
    /// while it is still open, and still open by the server's clock.
    void answerLater(qint32 tableId, quint64 question);
    void sendDueAnswers();
    /// Whether the user sits at the table, or its join has succeeded.
    bool sitsAt(qint32 tableId) const;
    /// Sends the join of a seating; false when the throttle refused it.
    bool sendSeatingJoin(qint32 tableId);
    void retrySeatings();

    std::map<qint32, Table> tables;
    qint32 ownPlayerId = 0;
    QString ownPlayerName;
    ConnectionManager* connection;
    QPointer<SocialServices> services;
    QPointer<TableModel> tableModel;
    QPointer<TournamentsController> tournaments;
    std::map<qint32, SeatingRecord> tournamentSeatings;
    struct HeldJoin
    {
        QDeadlineTimer deadline;
        /// The table's events since, in order, and the memory they take.
        std::vector<std::function<void()>> events;
        std::size_t bytes = 0;
    };
    /// Successful joins waiting for their table's record.
    std::map<qint32, HeldJoin> heldJoins;
    /// The record of a held join's table while that table opens.
    TableInfo m_arrivedRecord;
    /// The automatic answers waiting for the frames received with their
    /// questions; a send is posted while there are any.
    std::vector<std::pair<qint32, quint64>> dueAnswers;
    QWidget* parentWidget;
    QWidget* pageParent = parentWidget;
    QTimer* seatingRetry;
};
