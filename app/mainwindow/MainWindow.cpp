// The main window's construction and wiring, and its slots for the
// connection's events, joins and watches.
#include "MainWindow.h"

#include "AdFetcher.h"
#include "CaCertificates.h"
#include "ConferenceArea.h"
#include "EmbeddedWebPage.h"
#include "FriendsWindow.h"
#include "GameController.h"
#include "GameWindow.h"
#include "TableSelector.h"
#include "GameSounds.h"
#include "LobbyWindow.h"
#include "Logging.h"
#include "PreferencesWindow.h"
#include "ServerTime.h"
#include "SettingsStore.h"
#include "Singleton.h"
#include "SocialServices.h"
#include "UTabWidget.h"
#include "ClientVersion.h"
#include "CreateUserWindow.h"
#include "LobbyController.h"
#include "LoginWindow.h"
#include "MahjongApplication.h"
#include "ModelessMsgBox.h"
#include "TableModel.h"
#include "TournamentsController.h"
#include "TranslationsManager.h"
#include "UPushButton.h"
#include "Utils.h"
#include "WaitCursor.h"
#include "request_frames.h"
#include "table_request_handler.h"

#include <QApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QVBoxLayout>

MainWindow::MainWindow(const QString& host, quint16 port, const QString& userName, const QString& password,
                       bool useSsl, const QString& httpHost, TranslationsManager* translations)
    : QMainWindow(nullptr)
    , connectionManager(useSsl)
    , playerDb(&connectionManager, &xmppClient)
    , chatController(&playerDb, &xmppClient)
    , chatSetup(&chatController)
    , socialHub(&playerDb, &chatController)
    , tablePresenceManager(&xmppClient)
    , translations(translations)
    , reloadStyleAction(this)
    , miscDialogsAction(this)
    , host(host)
    , port(port)
    , userName(userName)
    , password(password)
    , httpHost(httpHost)
{
    connectionManager.setPrompts(&prompts);

    ui.setupUi(this);
    setCentralWidget(ui.centralWidget);

    tournamentsController = new TournamentsController(&connectionManager, this, this);
    tournamentsController->setSocialServices(&socialHub);
    connect(tournamentsController, &TournamentsController::watchTable, this, &MainWindow::watchTable);
    connect(tournamentsController, &TournamentsController::userMenuRequested, this, &MainWindow::onUserMenuRequested);
    gameController = new GameController(&connectionManager, &socialHub, tournamentsController, this);
    gameController->setPageParent(ui.loggedInStack);
    lobbyController = new LobbyController(&connectionManager, ui.centralWidget);
    connect(gameController, &GameController::gameModelCreated, &tablePresenceManager,
            &TablePresenceManager::onGameModelCreated);
    connect(gameController, &GameController::gameModelAboutToBeDestroyed, &tablePresenceManager,
            &TablePresenceManager::onGameModelAboutToBeDestroyed);

    // The lobby chat; hidden: own and others' joins and leaves, others' kicks and bans.
    lobbyChat = socialHub.createConferenceArea(ui.lobbyChatFrame, 1 | 2 | 8);
    lobbyChat->setObjectName(QStringLiteral("lobbyChat"));
    lobbyChat->setMinimumWidth(330);
    ui.lobbyChatLayout->insertWidget(1, lobbyChat, 1);
    chatSetup.setLobbyChat(lobbyChat);
    connect(lobbyChat, &ConferenceArea::userMenuRequested, this, &MainWindow::onUserMenuRequested);

    ui.adfetcher1->setUrl(
        expandUrlTemplate(QString(), QStringLiteral("http://{host}/client/{sku}/advertisement/")).toString()
        + QStringLiteral("1.png"));
    ui.adfetcher1->start();

    setWindowTitle(QStringLiteral("Quellmark - ") + clientVersionString());

    ConnectionManager* cm = &connectionManager;
    connect(cm, &ConnectionManager::exceptionCaught, this, &MainWindow::onExceptionCaught);
    connect(cm, &ConnectionManager::connected, this, &MainWindow::onConnected);
    connect(cm, &ConnectionManager::disconnected, this, &MainWindow::onDisconnected);
    connect(cm, &ConnectionManager::forcedLogout, this, &MainWindow::onForcedLogout);
    connect(cm, &ConnectionManager::systemMessage, this, &MainWindow::onSystemMessage);
    connect(cm, &ConnectionManager::versionCheckComplete, this, &MainWindow::onVersionCheckComplete);
    connect(cm, &ConnectionManager::joinFailed, this, &MainWindow::onJoinFailed);
    connect(cm, &ConnectionManager::watchFailed, this, &MainWindow::onWatchTableFailed);
    connect(cm, &ConnectionManager::alreadySeated, this, &MainWindow::onAlreadySeated);
    connect(cm, &ConnectionManager::unwatchFailed, this, &MainWindow::onUnwatchTableFailed);
    connect(cm, &ConnectionManager::leaveFailed, this, &MainWindow::onLeaveTableFailed);
    connect(&playerDb, &PlayerDb::changePictureOk, this, &MainWindow::onChangePictureOk);
    connect(&playerDb, &PlayerDb::changePictureFailed, this, &MainWindow::onChangePictureFailed);
    connect(&playerDb, &PlayerDb::playerNameUpdate, this, &MainWindow::onPlayerNameUpdate);
    connect(cm, qOverload<TableInfo>(&ConnectionManager::tableInfoUpdate), this, &MainWindow::onTableInfoUpdate);
    connect(gameController, &GameController::tableViewCreated, this, &MainWindow::onTableViewCreated);
    connect(gameController, &GameController::tableViewDestroyed, this, &MainWindow::onTableViewDestroyed);
    connect(gameController, &GameController::tableViewAboutToBeDestroyed, this,
            &MainWindow::onTableViewAboutToBeDestroyed);
    connect(gameController, &GameController::regularTableJoined, this, &MainWindow::onRegularTableJoined);
    connect(gameController, &GameController::tableWatched, this, &MainWindow::onTableWatched);
    connect(gameController, &GameController::tournamentTableJoined, this, &MainWindow::onTournamentTableJoined);
    connect(gameController, &GameController::tournamentScoreDialogClosed, this,
            &MainWindow::onTournamentScoreDialogClosed);
    connect(gameController, &GameController::gameModelAboutToBeDestroyed, this,
            &MainWindow::onGameModelAboutToBeDestroyed);

    LoginWindow* loginWindow = ui.loginWindow;
    connect(loginWindow, &LoginWindow::login, this, &MainWindow::login);
    connect(loginWindow, &LoginWindow::createUser, this, &MainWindow::onCreateUser);
    connect(loginWindow, &LoginWindow::resetPassword, this, &MainWindow::onResetPassword);
    connect(loginWindow, &LoginWindow::loginGivenUp, cm, &ConnectionManager::reconnect);
    loginWindow->setConnection(cm);
    // A refusal with the session up answers no login the player still waits
    // for: it is logged, never shown over the lobby.
    connect(cm, &ConnectionManager::loginFailed, this, [this](qint32 status) {
        if (loggedIn)
            qWarning() << "a login refusal with the session up, status:" << status << "- nothing shown";
        else
            ui.loginWindow->onLoginFailed(status);
    });
    connect(cm, &ConnectionManager::loginSuccess, loginWindow, &LoginWindow::onLoginSucceeded);
    connect(cm, &ConnectionManager::connecting, loginWindow, &LoginWindow::onConnecting);
    connect(cm, &ConnectionManager::connected, loginWindow, &LoginWindow::onConnected);
    connect(cm, &ConnectionManager::disconnected, loginWindow, &LoginWindow::onDisconnected);

    CreateUserWindow* createUserWindow = ui.createUserWindow;
    connect(createUserWindow, &CreateUserWindow::cancelPressed, this, &MainWindow::onCreateUserCancel);
    connect(createUserWindow, &CreateUserWindow::termsPressed, this, &MainWindow::onCreateUserTerms);
    connect(createUserWindow, &CreateUserWindow::registerUser, this, &MainWindow::onCreateUserInfo);
    connect(&playerDb, &PlayerDb::registerUserOk, createUserWindow, &CreateUserWindow::onRegisterSucceeded);
    connect(&playerDb, &PlayerDb::registerUserFailed, createUserWindow, &CreateUserWindow::onRegisterFailed);
    // The new account's name and password are also the chat login's.
    connect(createUserWindow, &CreateUserWindow::doLogin, this, [this](const QString& user, const QString& pass) {
        this->userName = user;
        this->password = pass;
        connectionManager.login(user, pass);
        QTimer::singleShot(0, this, &MainWindow::makeWebPages);
    });

    connect(cm, &ConnectionManager::loginSuccess, this, &MainWindow::loginSuccessful);
    connect(cm, &ConnectionManager::clientConfig, this, &MainWindow::onClientConfig);
    connect(cm, &ConnectionManager::notifySeated, this, &MainWindow::previouslySeated);
    connect(cm, &ConnectionManager::notifyWatching, this, &MainWindow::previouslyWatching);
    connect(cm, &ConnectionManager::currentAccountBalance, this, &MainWindow::onCurrentAccountBalance);
    connect(cm, &ConnectionManager::webPage, this, &MainWindow::onWebPage);

    reloadStyleAction.setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+R")));
    if (auto* app = qobject_cast<MahjongApplication*>(QCoreApplication::instance()))
        connect(&reloadStyleAction, &QAction::triggered, app, &MahjongApplication::loadStyleSheet);
    addAction(&reloadStyleAction);
    miscDialogsAction.setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+D")));
    connect(&miscDialogsAction, &QAction::triggered, this, &MainWindow::onDisplayMiscDialogs);
    addAction(&miscDialogsAction);

    // Where the chat rooms are comes from the client configuration or by
    // discovery; the room setup answers the client's signals itself.
    connect(&xmppClient, &XMPPClient::connected, this, &MainWindow::onXMPPConnected);
    connect(&xmppClient, &XMPPClient::disconnected, this, &MainWindow::onXMPPDisconnected);
    connect(&playerDb, &PlayerDb::searchJidResult, this, &MainWindow::onSearchJidResult);
    connect(&playerDb, &PlayerDb::searchJidError, this, &MainWindow::onSearchJidError);

    showLoginPage(userName, password);
    connect(qApp, &QCoreApplication::aboutToQuit, cm, &ConnectionManager::prepareToQuit);

    // The form's buttons reach their on_<name>_<signal> slots by name.
    QMetaObject::connectSlotsByName(this);
}

MainWindow::~MainWindow()
{
    // Nothing the connection reports from here on may open a box or end the
    // event loop again.
    disconnect(&connectionManager, nullptr, this, nullptr);
    disconnect(&xmppClient, nullptr, this, nullptr);
    saveWindowSettings();
    if (ui.mainTabs->count() > 0)
        SettingsStore::instance().setValue(QStringLiteral("game/lobbyTab"), ui.mainTabs->currentIndex());
    Singleton<ServerTime>::instance()->setConnection(nullptr);
    // The pages, the chat areas and the controllers hold the connection
    // manager, the chat client or the chat controller; they go while those
    // still exist (the base class would delete them after the members).
    // The table pages first: the game controller owns their models.
    disconnect(gameController, nullptr, this, nullptr);
    for (int i = ui.loggedInStack->count() - 1; i >= 0; --i) {
        QWidget* page = ui.loggedInStack->widget(i);
        if (page != ui.lobbyWidget)
            delete page;
    }
    delete gameController;
    delete lobbyPage;
    delete tournamentsPage;
    delete preferencesWindow;
    delete friendsWindow;
    delete welcomePage;
    delete howtoPage;
    delete lobbyChat;
    delete tournamentsController;
    delete lobbyController;
    // Every page, and the dialogs and boxes the window holds (the embedded
    // browser among them), go now too, not after the members.
    delete takeCentralWidget();
    QList<QPointer<QWidget>> dialogs;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            dialogs << child;
    }
    for (const QPointer<QWidget>& dialog : dialogs)
        delete dialog.data();
    connectionManager.setPrompts(nullptr);
}

void MainWindow::showLoginPage(const QString& user, const QString& pass)
{
    if (!user.isEmpty())
        ui.loginWindow->setUserName(user);
    ui.loginWindow->setPassword(pass);
    ui.loginWindow->setTranslationsManager(translations);
    ui.loginWindow->focusUserName();
    ui.loginWindow->show();
    ui.centralWidget->setCurrentWidget(ui.loginWidget);
}

void MainWindow::onStartupFinished(bool success)
{
    if (!success)
        return;
    const QRect screen = QGuiApplication::primaryScreen() != nullptr ? QGuiApplication::primaryScreen()->geometry()
                                                                      : QRect();
    const bool roomy = screen.width() >= 1024 && screen.height() >= 768;
    if (roomy)
        restoreWindowSize();
    // The window first: the player waits for it, not for the connection or a box.
    show();
    connectionManager.connectToHost(host, port);
    if (!roomy) {
        plainText(ModelessMsgBox::warning(this, [screen] {
            return ModelessMsgBox::Wording{
                tr("Resolution too low!"),
                tr("You should have a resolution of at least 1024x768, you currently have %L1x%L2")
                    .arg(screen.width())
                    .arg(screen.height())};
        }));
    }
    // The frame arrives with the window manager, after the window is mapped.
    QTimer::singleShot(0, this, &MainWindow::fitToScreen);
    QTimer::singleShot(300, this, &MainWindow::fitToScreen);
}

void MainWindow::setPlayerName(const QString& playerName)
{
    gameController->setPlayerName(playerName);
    ui.usernameLabel->setText(playerName);
}

void MainWindow::onSystemMessage(qint32, qint32, const QString& message)
{
    plainText(ModelessMsgBox::information(
        this, [message] { return ModelessMsgBox::Wording{tr("System message"), message}; }));
}

void MainWindow::onExceptionCaught(const std::string& what)
{
    qCWarning(lcApp).noquote() << "connection error:" << QString::fromLatin1(what.c_str());
    endChat();
    Logging::showBlockingCritical(tr("Error"), QString::fromLatin1(what.c_str()));
    QCoreApplication::exit(1);
}

void MainWindow::login(const QString& username, const QString& pass)
{
    userName = username;
    password = pass;
    WaitCursor::instance().begin(WaitCursor::Request::Login);
    connectionManager.login(username, pass);
    // Once the request is on its way: made while the server answers.
    QTimer::singleShot(0, this, &MainWindow::makeWebPages);
}

void MainWindow::onCreateUser()
{
    connectionManager.query_web_page(WebPageRequest::CREATE_ACCOUNT);
}

void MainWindow::onCreateUserCancel()
{
    showLoginPage(QString(), QString());
}

void MainWindow::onCreateUserTerms()
{
    connectionManager.query_web_page(WebPageRequest::CREATE_ACCOUNT_TERMS);
}

void MainWindow::onCreateUserInfo(const QString& user, const QString& pass, const QString& email)
{
    playerDb.registerUser(user, pass, email, QString());
}

void MainWindow::onConnected()
{
    qDebug() << "connected to host";
}

void MainWindow::onVersionCheckComplete()
{
    qDebug() << "version check complete";
    ui.loginWindow->setVersionCheckComplete(true);
}

void MainWindow::onClientConfig(const ClientConfig& config)
{
    clientConfig = config;
    chatSetup.setClientConfig(config);
    const QString xmppHost = ChatRoomSetup::xmppHost(config, host);
    const XMPPJid searchService = ChatRoomSetup::searchService(config, xmppHost);
    playerDb.setSearchJid(searchService);
    if (friendsWindow != nullptr)
        friendsWindow->setSearchJid(searchService);
    xmppClient.setCredentials(playerDb.ownPidString(), xmppPassword.isEmpty() ? password : xmppPassword);
    // The chat server is the service's own, like the game server: its TLS
    // handshake trusts the service's CA file and nothing else.
    xmppClient.setCaCertificates(loadCaCertificates());
    xmppClient.connectToHost(xmppHost, xmppPort,
                             connectionManager.useSsl() ? XMPPClient::TlsRequired : XMPPClient::TlsIfOffered);
}

void MainWindow::onXMPPConnected()
{
    qDebug() << "xmpp connected to host";
}

void MainWindow::onXMPPDisconnected()
{
    qDebug() << "xmpp disconnected";
}

void MainWindow::joinTable(int tableId, bool wasSeated)
{
    if (tableId < 1)
        return;
    if (gameController->hasTable(tableId)) {
        showTable(tableId);
        return;
    }
    if (!wasSeated && lobbyController->tableModel()->isTableFull(tableId)) {
        WaitCursor::instance().begin(WaitCursor::Request::Watch, tableId);
        qDebug() << "watching table" << tableId;
        connectionManager.watch_table(tableId);
        return;
    }
    WaitCursor::instance().begin(WaitCursor::Request::Join, tableId);
    qDebug() << "joining table" << tableId;
    connectionManager.join_table(tableId, -1);
}

void MainWindow::watchTable(qint32 tableId)
{
    if (tableId < 1)
        return;
    if (gameController->hasTable(tableId)) {
        showTable(tableId);
        return;
    }
    WaitCursor::instance().begin(WaitCursor::Request::Watch, tableId);
    qDebug() << "watching table" << tableId;
    connectionManager.watch_table(tableId);
}

void MainWindow::onLeaveTableFailed(qint32, const QString& reason)
{
    plainText(ModelessMsgBox::critical(this, [reason] { return ModelessMsgBox::Wording{tr("Leave Failed"), reason}; }));
}

void MainWindow::onWatchTableFailed(qint32 tableId, const QString& reason)
{
    WaitCursor::instance().end(WaitCursor::Request::Watch, tableId);
    plainText(ModelessMsgBox::critical(this, [reason] { return ModelessMsgBox::Wording{tr("Watch Failed"), reason}; }));
}

void MainWindow::onUnwatchTableFailed(qint32 tableId)
{
    qWarning() << "unwatch table" << tableId << "failed";
    if (ui.tableSelector->activeTable() == tableId)
        displayLobby();
}

void MainWindow::onUploadPlayerPicture(const QImage& picture)
{
    playerDb.uploadPicture(picture);
}

void MainWindow::onChangePictureOk()
{
}

void MainWindow::onChangePictureFailed()
{
    qWarning() << "changing avatar picture failed :(";
}

void MainWindow::onPlayerNameUpdate(qint32 pid, const QString& name)
{
    if (pid == -1 || pid != playerDb.ownPid())
        return;
    setPlayerName(name);
}

void MainWindow::onCurrentAccountBalance(qint64 balance)
{
    ui.accountBalanceLabel->setText(formatMoney(balance));
}

void MainWindow::onWaitingList(int seq)
{
    connectionManager.cancel_filter_join(seq);
    WaitCursor::instance().end(WaitCursor::Request::QuickJoin, seq);
    showQuickJoinFailed();
}

void MainWindow::onQuickJoinSeating(int seq)
{
    // The server seats the player; the table's own data follows.
    WaitCursor::instance().end(WaitCursor::Request::QuickJoin, seq);
}

void MainWindow::onQuickJoinFailed(int seq)
{
    WaitCursor::instance().end(WaitCursor::Request::QuickJoin, seq);
    showQuickJoinFailed();
}

void MainWindow::showQuickJoinFailed()
{
    plainText(ModelessMsgBox::warning(this, [] {
        return ModelessMsgBox::Wording{tr("Join game failed!"),
                                       tr("Failed to join game.\nPlease try again in a little while.\nIf problem "
                                          "persists please contact support")};
    }));
}

void MainWindow::onCurrentTabChanged(int)
{
}

void MainWindow::onQuickJoinTable(const QString& tablePath)
{
    WaitCursor::instance().begin(WaitCursor::Request::QuickJoin, connectionManager.filter_join(tablePath));
}

void MainWindow::startLobbyMusic()
{
    GameSounds::instance().play(GameSounds::LobbyTune, GameSounds::Loop | GameSounds::StopOthers);
}

void MainWindow::stopLobbyMusic()
{
    GameSounds::instance().stop(GameSounds::LobbyTune);
}
