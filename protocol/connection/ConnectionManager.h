#pragma once

#include "ClientConfig.h"
#include "MonetaryRoundScores.h"
#include "PlayerData.h"
#include "PrivatePlayerData.h"
#include "ProtocolEnums.h"
#include "ScoreRecords.h"
#include "Seating.h"
#include "TableInfo.h"
#include "TableInfoUpdates.h"
#include "TableState.h"
#include "TimeSpan.h"
#include "TournamentInfo.h"
#include "TournamentInfoUpdates.h"
#include "TournamentRankings.h"
#include "TournamentRoundScores.h"
#include "WallState.h"
#include "meld.h"
#include "message.h"
#include "round_score_vector.h"
#include "tile.h"

#include <QAbstractSocket>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSslError>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

class Connection;
class ConnectionPrompts;
class ConnectionManagerPrivate;
class message_reader;

/// The program's one link to the game server. It owns the Connection, opens
/// it (TLS by default), agrees the platform and game protocol versions,
/// answers the server's pings, turns socket and TLS failures into prompts or
/// an exit, and logs out when the program quits.
///
/// Requests are slots that write one frame each; every received frame is
/// queued and handled strictly in arrival order, and every server event
/// reaches the rest of the program as one signal. Handling stops for the
/// turn of the event loop once it took dispatchSliceMsecs, even within a
/// long table list, and goes on in the next turn.
class ConnectionManager : public QObject
{
    Q_OBJECT

public:
    static constexpr quint32 gameId = 101;
    static constexpr quint32 partnerId = 4;
    static constexpr quint32 platformProtocolVersion = 6523;
    static constexpr const char* gameProtocolVersion = "2399";

    /// How long received frames may be handled in one turn of the event loop.
    static constexpr qint64 dispatchSliceMsecs = 30;

    explicit ConnectionManager(bool useSsl, QObject* parent = nullptr);
    ~ConnectionManager() override;

    /// Stores host and port, then connectToServer().
    void connectToHost(const QString& host, quint16 port);
    bool useSsl() const;
    /// True makes a closing connection emit no disconnected() (forced logout).
    void setDisconnectHandled(bool handled);

    /// The prompts for retry questions, the TLS error box and the exit. Not
    /// owned; nullptr restores the headless default.
    void setPrompts(ConnectionPrompts* prompts);

    bool isLoggedIn() const;
    qint32 ownPlayerId() const;
    QString host() const;
    quint16 port() const;

    /// The socket, for state queries; do not write to it directly.
    Connection* connection() const;

    /// True while a tournament list (class 155 or 156) is being read or
    /// announced; tournamentListAnnounced() follows its last record.
    bool isReadingTournamentList() const;
    /// True while received frames wait to be handled in a later turn of the
    /// event loop (a backlog worked through after a stop, a burst).
    bool hasUnhandledFrames() const;

    /// Whether the server's stream is behind: a frame came in part, or
    /// received frames wait for their turn. An answer may be queued behind.
    bool isBehind() const;
    /// Milliseconds since the stream last moved while it was behind (bytes
    /// of an unfinished frame, or a turn spent on waiting frames); -1 when
    /// it never was. The server's pings and other whole frames that are
    /// handled as they come do not count.
    qint64 msecsSinceProgress() const;

public Q_SLOTS:
    /// Opens the connection to the stored host and port, encrypted or plain.
    void connectToServer();
    /// Shows the retry question; Retry connects again, Abort exits with 1.
    void askRetry(const QString& text);
    /// Gives the connection up for a fresh one to the same host, before a
    /// login: whatever the old one still brings is never read (a login
    /// answered there belongs to what the player gave up), its close is no
    /// disconnected(), and the version handshake runs again.
    void reconnect();
    /// Class 0: game id, partner id, platform protocol version.
    void platform_version();
    /// Class 1: game id, partner id, the game protocol version text.
    void game_version();
    /// Class 12 with the byte 1.
    void logout();
    /// Connected to the application's aboutToQuit(): logs out when logged in
    /// and connected, waiting at most 500 ms for the bytes to leave.
    void prepareToQuit();

    // ---------------------------------------------------------------------
    // Requests
    // (request slots; declared here, implemented in ConnectionManagerRequests.cpp)
    // ---------------------------------------------------------------------

    /// Class 10: user name (Latin-1), password (UTF-8), partner id, empty bytes.
    void login(QString username, QString password);
    /// Class 30 for the seat (-1: any seat); refused locally by the table throttle.
    void join_table(qint32 table_id, qint8 seat);
    void join_table(qint32 table_id);
    /// Classes 32, 34, 36; refused locally by the table throttle.
    void watch_table(qint32 table_id);
    void unwatch_table(qint32 table_id);
    void leave_table(qint32 table_id);
    /// Class 142 with the path bytes as given.
    void lobby_table_query(const char* path);
    /// Class 145 / 146 for a path "<game id>/<rest>"; throws std::runtime_error
    /// for a path without "/" or with a game id that is not a number.
    void lobby_table_subscribe(QString path);
    void lobby_table_unsubscribe(QString path);
    /// Class 145 for the tournament list.
    void tournaments_lobby_subscribe();
    /// Class 170 to an address; returns the sequence number of the request.
    int filter_join(QString adress);
    /// Class 170 with the five criteria; returns the sequence number.
    int filter_join(int min_players, int type, int speed, int ruleset);
    /// Class 172 for a filtered join's sequence number.
    void cancel_filter_join(int seq);
    /// Classes 205 and 207.
    void register_tournament_request(int tournamentId);
    void unregister_tournament_request(int tournamentId);
    /// Tournament envelope, inner classes 58 and 59.
    void get_tournament_ranking_list(int tournamentId);
    void leave_tournament(int tournamentId);

    /// Game actions: game envelope with inner classes 47 to 57.
    void call_chow(qint32 table_id, qint32 player_id, tile t);
    void call_pong(qint32 table_id, qint32 player_id, tile t);
    void call_kong(qint32 table_id, qint32 player_id, tile t);
    void call_pong_to_kong(qint32 table_id, qint32 player_id, tile t);
    void call_riichi(qint32 table_id, qint32 player_id, tile t);
    void call_pass(qint32 table_id, qint32 player_id, bool autopass);
    void call_pass(qint32 table_id, qint32 player_id);
    void reactivate_table(qint32 table_id);
    void ready(qint32 table_id, qint32 player_id);
    void discard_tile(qint32 table_id, qint32 player_id, tile t);
    void call_mahjong(qint32 table_id, qint32 player_id);

    /// Service requests (envelopes 101 and 103), each with a sequence number
    /// from its registry that stays outstanding until the answer.
    void query_account_balance();
    void log_client_uuid(std::string uuid);
    /// Returns the sequence number that the answer's signal carries.
    qint32 change_password(QString password);
    void get_highscore_list(qint32 player_id);
    /// Returns the sequence number, which timeFromServer carries back.
    qint32 query_current_time();
    void query_client_config();
    void query_web_page(WebPageRequest::enum_t page);
    void register_user(QString username, QString password, QString email, QString affiliate_code);

public:
    /// The cached name of a player; for an unknown id "<unknown>" is stored
    /// and returned and one player query (class 16) is sent.
    QString playerName(qint32 pid);
    /// Stores a name; emits playerNameUpdate unless the cache held exactly it.
    void setPlayerName(qint32 pid, const QString& name);

public Q_SLOTS:

    // ---------------------------------------------------------------------
    // Services
    // (service request slots; implemented in ConnectionManagerServices.cpp)
    // ---------------------------------------------------------------------

Q_SIGNALS:
    /// A received frame could not be handled (bad data, version mismatch) or
    /// a write failed. Reported once; the connection is closed after it. A
    /// frame written while the frames received before the server's close are
    /// handled is dropped without a report.
    void exceptionCaught(std::string what);
    /// The socket started connecting.
    void connecting();
    /// The TCP connection is up (plain) or the TLS handshake has finished.
    void connected();
    /// The server closed the connection; at most once per run.
    void disconnected();
    /// Both protocol versions were accepted; logging in is possible now.
    void versionCheckComplete();

    // ---------------------------------------------------------------------
    // Platform events
    // (signals emitted by the handlers in ConnectionManagerDispatch.cpp)
    // ---------------------------------------------------------------------

    /// Class 11, status 0: logged in; credentials is the chat password.
    void loginSuccess(qint32 pid, QString name, QString credentials, bool fullyRegistered);
    /// Class 11, any other status.
    void loginFailed(qint32 loginResponseStatus);
    /// Class 14: the server logged the player out.
    void forcedLogout();
    /// Class 4.
    void systemMessage(qint32 type, qint32 level, QString message);
    /// Classes 62, 143, 153: a table snapshot.
    void tableInfoUpdate(TableInfo info);
    /// Classes 144, 154: checked changes of a table, with its seated count.
    void tableInfoUpdate(qint32 tableId, int seated, TableInfoUpdates updates);
    /// Class 147.
    void tableRemoved(qint32 tableId);
    /// Classes 148, 155: a tournament snapshot.
    void tournamentInfoUpdate(TournamentInfo info);
    /// Classes 149, 156: checked changes of a tournament.
    void tournamentInfoUpdate(qint32 tournamentId, TournamentInfoUpdates updates);
    /// Class 150.
    void tournamentRemoved(qint32 tournamentId);
    /// The last record of a tournament list (class 155 or 156) was announced.
    void tournamentListAnnounced();
    /// Tournament envelope, inner class 61.
    void tournamentRankings(qint32 tournamentId, TournamentRankings rankings);
    /// Class 206.
    void tournamentRegisterSuccess(qint32 tournamentInt);
    void tournamentRegisterFailed(qint32 tournamentInt, tmnt_register_failed_reason::enum_t reason);
    /// Class 208.
    void tournamentUnregisterSuccess(qint32 tournamentInt);
    void tournamentUnregisterFailed(qint32 tournamentInt, tmnt_register_failed_reason::enum_t reason);
    /// Tournament envelope, inner class 62.
    void tournamentLeaveSuccess(qint32 tournamentInt);
    void tournamentLeaveFailed(qint32 tournamentInt, QString reason);
    /// Class 209.
    void tournamentSeated(qint32 tournamentId, qint32 tableId);
    /// Class 210.
    void tournamentPickedUp(qint32 tournamentId, qint32 tableId, bool keepWatching);
    /// Tournament envelope, inner class 60.
    void endOfTournamentRound(qint32 tournamentId, qint32 tableId, bool lastRound, TournamentRoundScores scores);
    /// Class 33.
    void watchSuccessful(qint32 tableId);
    void watchFailed(qint32 tableId, QString reason);
    void alreadySeated(qint32 tableId);
    /// Class 31.
    void joinSuccessful(qint32 tableId);
    void joinFailed(qint32 tableId, join_failed_reason::enum_t reason);
    /// Class 171: the server seats the player / puts the request on the waiting list / refused.
    void seating(int seq);
    void waitingList(int seq);
    /// Class 173.
    void waitingListCancelled(int seq);
    void waitingListCancelFailed(bool denied);
    /// The quick join with this sequence number was refused (any status but seating or the waiting list).
    void filterJoinFailed(int seq);
    /// Class 37.
    void leaveSuccessful(qint32 tableId);
    void leaveFailed(qint32 tableId, QString reason);
    /// Class 35.
    void unwatchSuccessful(qint32 tableId);
    void unwatchFailed(qint32 tableId);
    /// A player's name became known or changed (classes 11, 13, 15, 17, 60).
    void playerNameUpdate(qint32 pid, QString nick);
    /// Class 60.
    void playerJoined(qint32 tableId, PlayerData player);
    /// Class 61.
    void playerLeft(qint32 tableId, qint32 pid);
    /// Class 63.
    void notifyWatching(qint32 tableId);
    /// Class 62, after its tableInfoUpdate.
    void notifySeated(qint32 tableId, qint32 seat, qint32 tournamentId);
    /// Class 211: the tournaments the player is registered for.
    void notifyRegistered(std::vector<qint32> tournamentIds);
    /// Class 64.
    void kickPlayer(qint32 tableId, kick_reason::enum_t reason);
    /// Class 15.
    void seatInfo(qint32 tableId, qint8 seat, qint8 status);

    // ---------------------------------------------------------------------
    // Service events
    // (signals emitted by ConnectionManagerServices.cpp)
    // ---------------------------------------------------------------------

    /// A new account was registered; active tells whether it can be used at once.
    void registerUserOk(bool active);
    /// The server refused the registration; the reason is the error's text.
    void registerUserFailed(QString reason);
    /// The server changed the password (ok answer to change_password number seq).
    void changePasswordOk(qint32 seq);
    /// The server refused the new password; the reason is the error's text.
    void changePasswordFailed(qint32 seq, QString reason);
    /// The high-score list arrived.
    void highscoreList(HighscoreList l);
    /// The account balance in cents, asked for or sent unasked.
    void currentAccountBalance(qint64 account_balance);
    /// The server's clock; requestId is the number query_current_time returned.
    void timeFromServer(qint32 requestId, QDateTime serverTime);
    /// The chat side's addresses arrived.
    void clientConfig(ClientConfig config);
    /// The address of a web page arrived.
    void webPage(WebPageRequest::enum_t request, QString url);
    /// The server answered query_account_balance without a balance (an error
    /// or another answer); the reason is the error's text, empty otherwise.
    void accountBalanceFailed(QString reason);
    /// The server answered query_current_time (number requestId) without a time.
    void timeFromServerFailed(qint32 requestId, QString reason);
    /// The server answered query_client_config without a configuration.
    void clientConfigFailed(QString reason);
    /// The server answered query_web_page without an address.
    void webPageFailed(QString reason);

    // ---------------------------------------------------------------------
    // Game events
    // (signals emitted by ConnectionManagerGame.cpp)
    // ---------------------------------------------------------------------

    /// A table's game packet could not be handled (a value out of place, a
    /// snapshot that contradicts itself): the fault is that table's; the
    /// session and the other tables go on. `reason` says why.
    void gamePacketRefused(qint32 tableId, QString reason);
    /// A hand starts at a table (game packet 31).
    void startHand(qint32 tableId, qint64 handId, Seating seating, round_score_vector roundScores, bool newRound,
                   TableState tableState, WallState wallState);
    /// The whole state of a table, when watching starts or the player sits
    /// down at a table in play (game packet 37).
    void gameData(qint32 tableId, qint64 handId, server_game_state::enum_t gameState, std::vector<PlayerData> players,
                  TableState tableState, WallState wallState);
    /// The own concealed hand with the active and furiten flags (game packet 38).
    void privatePlayerData(qint32 tableId, PrivatePlayerData privateData);
    /// A player discarded a tile (game packet 33).
    void tileDiscarded(qint32 tableId, qint32 playerId, tile t);
    /// A player declared riichi with a discard (game packet 51).
    void riichiDeclared(qint32 tableId, qint32 playerId, tile t);
    /// A player claimed the open discard (before its meldDeclared).
    void tileClaimed(qint32 tableId, qint32 clamingPlayer);
    /// Another player drew tiles that this client may not see (game packet 28).
    void hiddenTilesFromWall(qint32 tableid, qint32 playerId, qint32 count, bool fromDeadWall);
    /// A player declared a meld (game packets 47 to 50).
    void meldDeclared(qint32 tableId, qint32 playerId, meld_tuple m);
    /// The own player drew tiles (game packets 24 and 25).
    void tilesFromWall(qint32 tableId, tile_vector tiles, bool fromDeadWall);
    /// Claims the own player may make on a discard (game packet 34).
    void meldSuggestion(qint32 tableId, TimeSpan timeout, meld_offer_vector offers);
    /// Concealed melds the own player may declare (game packet 26).
    void concealedMeldSuggestion(qint32 tableId, TimeSpan timeout, meld_offer_vector offers);
    /// The own player may rob a kong (game packet 35).
    void robTheKongSuggestion(qint32 tableId, TimeSpan timeout, meld_offer_vector offers);
    /// A player must act before the time-out (game packet 27, or game data in
    /// the tile-claimed state).
    void playerShouldAct(qint32 tableId, TimeSpan timeout, qint32 playerId);
    /// A player laid bonus tiles aside (game packet 29).
    void declareBonus(qint32 tableId, qint32 playerId, tile_vector tiles);
    /// A hand ended without a score (game packet 32 with no scoring records).
    void handEndNonScoring(qint32 tableId, endhand_reason_t washoutType, bool endOfGame);
    /// A hand ended with scores, keyed by player id (game packet 32).
    void handEndScoring(qint32 tableId, std::map<qint32, player_score> scores, endhand_reason_t mahjongType,
                        bool endOfGame);
    /// The server asks whether the own player is ready for the next hand (game packet 41).
    void areYouReady(qint32 tableId, TimeSpan timeout);
    /// The results of a table round. Declared for the game table; no server
    /// message emits it.
    void endOfRound(qint32 tableId, MonetaryRoundScores scores);
    /// The own player's time ran out (game packet 36).
    void timeoutOccured(qint32 tableId);
    /// A player declared mahjong (game packet 45).
    void someoneDeclaredMahjong(qint32 tableId, qint32 pid);
    /// A player confirmed being ready (game packet 54).
    void playerIsReady(qint32 tableId, qint32 pid);
    /// A player called a chow, pong or kong (game packets 42 to 44).
    void someoneDeclaredMeld(qint32 tableId, qint32 pid, meld m, tile t);
    /// A new dora indicator; the table id is the one inside the packet (game packet 46).
    void kanDora(qint32 tableId, tile t);
    /// The own player became furiten or not (game packet 39).
    void furitenChanged(qint32 tableId, bool furiten);
    /// The own player took back control or was stood down (game packet 40).
    void activeChanged(qint32 tableId, bool active);

private Q_SLOTS:
    void error(QAbstractSocket::SocketError socketError);
    void stateChanged(QAbstractSocket::SocketState socketState);
    void onDisconnected();
    void onEncrypted();
    void onSSLErrors(const QList<QSslError>& errors);
    /// Queues one received frame and, unless a drain further up the stack
    /// is running or a later turn will go on, handles it and every frame
    /// queued behind it in order. A ping that comes while a record list is
    /// being applied is answered at once.
    void onMessage(message_ptr message);
    /// The drain of a later turn; a failure in it closes the connection.
    void drainLater();
    void onConnectionException(const std::string& what);

private:
    /// Handles the queue in order for up to dispatchSliceMsecs, then leaves
    /// the rest to drainLater().
    void drainQueue();
    /// Emits disconnected(), or has the drain emit it once the frames
    /// received before the close are handled.
    void announceDisconnect();

    /// Writes one finished frame (message_writer::finish()) to the server.
    void sendFrame(const std::vector<unsigned char>& frame);

    /// Handles one received frame; the reader stands behind the class byte.
    /// Implemented in ConnectionManagerDispatch.cpp.
    void handleMessage(message_reader& reader);
    /// Reads or announces the records of the pending record list until it
    /// is done (true) or the turn's slice is used up (false). Implemented in
    /// ConnectionManagerDispatch.cpp.
    bool continueRecordList();

    // Handshake and keep-alive handlers (ConnectionManager.cpp), called by handleMessage.
    void onPlatformVersionReply(message_reader& reader); ///< class 0
    void onGameVersionReply(message_reader& reader);     ///< class 1
    void onPing(message_reader& reader);                 ///< class 7

    // ---------------------------------------------------------------------
    // Platform message handlers (ConnectionManagerDispatch.cpp)
    // ---------------------------------------------------------------------

    /// The platform handlers live in ConnectionManagerDispatch.cpp.
    friend class PlatformDispatch;
    /// Envelope handlers called by the class switch, defined by the game
    /// envelope and service code (ConnectionManagerGame.cpp,
    /// ConnectionManagerServices.cpp): classes 100, 101, 103.
    void onGameEnvelope(message_reader& reader);
    void onServiceResponse(message_reader& reader);
    void onLocalServiceResponse(message_reader& reader);
    /// Wraps and sends a service request, registering its sequence number.
    int sendServiceRequest(qint32 playerId, const std::string& service, const std::vector<unsigned char>& inner);
    void sendLocalServiceRequest(const std::vector<unsigned char>& inner);

    // ---------------------------------------------------------------------
    // Game packet handlers (ConnectionManagerGame.cpp)
    // ---------------------------------------------------------------------

    // The envelope handlers onGameEnvelope (class 100), onServiceResponse
    // (class 101) and onLocalServiceResponse (class 103) are declared above
    // and defined in ConnectionManagerGame.cpp and ConnectionManagerServices.cpp.
    /// Handles one inner game packet of the table; envelopePlayer is the
    /// envelope's second word, echoed by the answer to packet 23.
    void onGamePacket(qint32 tableId, qint32 envelopePlayer, message_reader& inner);
    void onGameData(qint32 tableId, message_reader& inner);
    void onStartHand(qint32 tableId, message_reader& inner);
    void onHandEnd(qint32 tableId, message_reader& inner);

    // ---------------------------------------------------------------------
    // Service response handlers (ConnectionManagerServices.cpp)
    // ---------------------------------------------------------------------

    /// Tells the caller of a query that its answer will not come.
    void reportServiceFailure(int requestClass, qint32 seq, const QString& reason);

    friend class ConnectionManagerPrivate;
    const std::unique_ptr<ConnectionManagerPrivate> d;
};
