#pragma once

#include "ChatController.h"
#include "ChatRoomSetup.h"
#include "ClientConfig.h"
#include "ConnectionManager.h"
#include "MainView.h"
#include "MessageBoxPrompts.h"
#include "PlayerDb.h"
#include "ProtocolEnums.h"
#include "SocialHub.h"
#include "TableInfo.h"
#include "TablePresenceManager.h"
#include "XMPPClient.h"

#include <QAction>
#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <set>
#include <string>

class ConferenceArea;
class EmbeddedWebPage;
class FriendsWindow;
class GameController;
class GameModel;
class GameWindow;
class LobbyController;
class LobbyWindow;
class PreferencesWindow;
class SocialServices;
class TournamentsController;
class TranslationsManager;
namespace ModelessMsgBox {
class MsgBox;
}

/// The program's one top-level window and the owner of the long-lived
/// objects: the game server connection, the chat connection with the player
/// directory and the chat rooms, the lobby and the tournaments. It shows the
/// login page, then the logged-in area with its top bar and the lobby tabs,
/// asks the server for the session's data after the login, starts the chat
/// session once the server's client configuration is known, opens the
/// service's web pages, and answers the server's session notices.
///
/// Teardown: every page, window and controller that holds the connection
/// manager, the chat client or the chat controller is destroyed by the
/// destructor's body, before those members.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(const QString& host, quint16 port, const QString& userName, const QString& password, bool useSsl,
               const QString& httpHost, TranslationsManager* translations);
    ~MainWindow() override;

    /// The chat server's port; 5222 unless a test server listens elsewhere.
    /// Takes effect at the next chat connection.
    void setXmppPort(quint16 port) { xmppPort = port; }

    ConnectionManager& connection() { return connectionManager; }
    XMPPClient& xmpp() { return xmppClient; }
    PlayerDb& players() { return playerDb; }
    ChatController& chat() { return chatController; }
    SocialServices* socialServices() { return &socialHub; }
    TablePresenceManager& tablePresence() { return tablePresenceManager; }
    /// The lobby's chat room area (in the side column of the lobby page).
    ConferenceArea* lobbyChatArea() const { return lobbyChat; }
    /// The player menu as it was last filled.
    QMenu& playerMenu() { return userMenu; }
    LobbyController* lobby() const { return lobbyController; }
    const MainView& view() const { return ui; }
    /// The tabs' pages while logged in, else null.
    LobbyWindow* lobbyWindow() const { return lobbyPage; }
    PreferencesWindow* preferences() const { return preferencesWindow; }
    TournamentsController* tournaments() const { return tournamentsController; }
    GameController* games() const { return gameController; }
    /// The friends tab while logged in, else null.
    FriendsWindow* friends() const { return friendsWindow; }
    EmbeddedWebPage* startPage() const { return welcomePage; }
    EmbeddedWebPage* howToPage() const { return howtoPage; }
    /// The name and password of the latest login (the chat login uses them too).
    const QString& loginName() const { return userName; }
    const QString& loginPassword() const { return password; }
    /// The open quit question, or null.
    ModelessMsgBox::MsgBox* quitQuestion() const;
    /// The URL of a page address or template: "{host}", "{locale}", "{sku}"
    /// and "{partnerId}" filled in; `defaultUrl` when `url` is empty.
    QUrl expandUrlTemplate(const QString& url, const QString& defaultUrl) const;

Q_SIGNALS:
    /// The full-screen button's text changed to `text`.
    void setToggleWindowedText(const QString& text);

public Q_SLOTS:
    /// Builds the tabs on the first call, then shows the lobby page.
    void displayLobby();
    void setPlayerName(const QString& playerName);
    void toggleWindowed();
    /// The splash and the version check are done: connect and show the window.
    void onStartupFinished(bool success);
    void onSystemMessage(qint32 type, qint32 level, const QString& message);
    void onExceptionCaught(const std::string& what);
    void login(const QString& username, const QString& password);
    void onCreateUser();
    void onCreateUserCancel();
    void onCreateUserTerms();
    void onCreateUserInfo(const QString& userName, const QString& password, const QString& email);
    void onConnected();
    void onVersionCheckComplete();
    void onDisconnected();
    void onForcedLogout();
    /// Sets up the session of the first login answered; a later one (a
    /// second account's) sets nothing up again.
    void loginSuccessful(qint32 pid, const QString& name, const QString& credentials, bool fullyRegistered);
    void onClientConfig(const ClientConfig& config);
    /// Joins the table, or watches it when it is full unless the user was seated there.
    void joinTable(int tableId, bool previouslySeated = false);
    void watchTable(qint32 tableId);
    void onJoinFailed(qint32 tableId, join_failed_reason::enum_t reason);
    void previouslySeated(qint32 tableId, qint32 seat, qint32 tournamentId);
    void previouslyWatching(qint32 tableId);
    void on_quitButton_clicked();
    void onLeaveTableFailed(qint32 tableId, const QString& reason);
    void onWatchTableFailed(qint32 tableId, const QString& reason);
    void onAlreadySeated(qint32 tableId);
    void onUnwatchTableFailed(qint32 tableId);
    /// A button of the table selector: -1 the lobby, else that table's page.
    void onTableClicked(int tableId);
    void onTableViewCreated(qint32 tableId, GameWindow* gwin);
    void onTableViewDestroyed(qint32 tableId);
    void onTableViewAboutToBeDestroyed(qint32 tableId);
    void onRegularTableJoined(qint32 tableId);
    void onTableWatched(qint32 tableId, bool fromLobby);
    /// Asks to show a tournament table the user was seated at (reason 0 a
    /// new round, 1 a continued one); a rejoin the user asked for (2) shows it at once.
    void onTournamentTableJoined(qint32 tournamentId, qint32 tableId, int reason);
    void onTournamentScoreDialogClosed(qint32 tournamentId, qint32 tableId, bool lastRound);
    void onUploadPlayerPicture(const QImage& picture);
    void onChangePictureOk();
    void onChangePictureFailed();
    /// A name update of the own player id renames the top bar; others are ignored.
    void onPlayerNameUpdate(qint32 pid, const QString& name);
    void onXMPPConnected();
    void onXMPPDisconnected();
    /// The menu of a player's name: "This is you", "Add to friends", or the
    /// tables a friend sits at; nothing before the chat session is up.
    void onUserMenuRequested(const QString& playerName, const QPoint& pos);
    void onSearchJidResult(const XMPPJid& jid);
    void onSearchJidError();
    void onAddFriendAction();
    void onWatchTableAction();
    /// Ctrl+Alt+D: sample score boards and claim chooser, for looking at them.
    void onDisplayMiscDialogs();
    void onCurrentAccountBalance(qint64 balance);
    void onWaitingList(int seq);
    /// The server seats the player of the quick join `seq`.
    void onQuickJoinSeating(int seq);
    /// The server refused the quick join `seq`.
    void onQuickJoinFailed(int seq);
    void onCurrentTabChanged(int index);
    void onDisplayTab(const QString& tab);
    void onLaunchBrowser(const QString& url);
    void onQuickJoinTable(const QString& tablePath);
    /// Shows the tournaments tab with the tournament chosen.
    void onDisplayTournament(qint32 tournamentId);
    void onHelp();
    void onSupport();
    void onExternSupport();
    void onAccount();
    void onResetPassword();
    void onWebPage(WebPageRequest::enum_t request, const QString& url);
    void startLobbyMusic();
    void stopLobbyMusic();
    void onUpdateTimeout();
    void onUpdatedPing();
    /// The server clock's request went unanswered on a silent link: a strip
    /// that leaves the window usable.
    void onServerSilent();
    /// The server is heard again: the strip goes.
    void onServerHeardAgain();
    /// The server stayed silent too long: the run ends, saying that it stopped answering.
    void onServerLost();
    /// Stops asking the server for its time and forgets a silence: the session is over.
    void stopClock();
    /// Ends the run with `why` as its report.
    void endSession(const QString& why);
    void onTableInfoUpdate(const TableInfo& ti);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Logs out of the chat: the box that tells why the session ended may
    /// stay unanswered for hours, and meanwhile nobody may see the player
    /// in a room or at a table.
    void endChat();
    void showLoginPage(const QString& user, const QString& pass);
    void retranslateTabs();
    void restoreWindowSize();
    /// Keeps the window with its frame inside the screen's free area.
    void fitToScreen();
    void saveWindowSettings();
    void updateToggleButtonText();
    void openUrl(const QUrl& url, int defaultTarget);
    /// The address of a page the system browser could not be started for,
    /// in a box where the user can select and copy it; a box already open
    /// takes the new address instead.
    void showAddress(const QUrl& url);
    void showQuickJoinFailed();
    /// Brings an open table's page to the front.
    void showTable(qint32 tableId);
    /// Brings a table the server seated the user at to the front, unless the
    /// table in sight waits for the user's answer: that page stays, and the
    /// strip marks the new table.
    void showSeatedTable(qint32 tableId);
    /// Asks about an earlier table; false when the question could not be shown.
    bool askRejoin(qint32 tableId, const QString& tableName);
    bool askContinueWatching(qint32 tableId, const QString& tableName);
    /// What the questions about the user's seat at a table are about.
    static QString seatSubject(qint32 tableId);
    /// A table's seating ends: its tournament round's question goes.
    void onGameModelAboutToBeDestroyed(GameModel* model);
    /// The latest record of the table from the server, or null.
    const TableInfo* knownTable(qint32 tableId) const;
    void addTab(QWidget* page, const char* icon, const char* name);

    /// The start and how-to pages, made as the login goes out: the first web
    /// page starts the browser engine, a long wait that the turn of the
    /// login's answer, which builds the lobby, must not take as well.
    void makeWebPages();
    EmbeddedWebPage* welcomePage = nullptr;
    PreferencesWindow* preferencesWindow = nullptr;
    TournamentsController* tournamentsController = nullptr;
    QWidget* tournamentsPage = nullptr;
    FriendsWindow* friendsWindow = nullptr;
    EmbeddedWebPage* howtoPage = nullptr;
    LobbyWindow* lobbyPage = nullptr;
    // The long-lived objects, each declared after what it points to, so that
    // the members go in the reverse order of their use.
    ConnectionManager connectionManager;
    MessageBoxPrompts prompts;
    XMPPClient xmppClient;
    PlayerDb playerDb;
    ChatController chatController;
    ChatRoomSetup chatSetup;
    SocialHub socialHub;
    TablePresenceManager tablePresenceManager;
    GameController* gameController = nullptr;
    LobbyController* lobbyController = nullptr;
    TranslationsManager* translations;
    QPointer<ModelessMsgBox::MsgBox> quitBox;
    /// The open "No web browser" box, if any.
    QPointer<ModelessMsgBox::MsgBox> addressBox;
    std::set<int> previouslySeatedTables;
    std::set<int> previouslyWatchedTables;
    /// The table record that came last; a seated notice carries its table's
    /// record just before the notice itself.
    TableInfo lastTableRecord;
    QString xmppPassword;
    ClientConfig clientConfig;
    MainView ui;
    QAction reloadStyleAction;
    QAction miscDialogsAction;
    QTimer updateTimer;
    QString host;
    quint16 port;
    QString userName;
    QString password;
    bool fullyRegistered = false;
    /// A login was answered and its session set up: one per run.
    bool loggedIn = false;
    QString httpHost;
    quint16 xmppPort = 5222;
    QMenu userMenu;
    ConferenceArea* lobbyChat = nullptr;
    /// The lobby tabs by the names that pages ask for.
    QHash<QString, QWidget*> tabsByName;
};
