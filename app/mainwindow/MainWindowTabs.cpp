// The logged-in area: the lobby tabs built on the first display of the
// lobby, the table pages, full screen, and the window's size and tab
// settings.
#include "MainWindow.h"

#include "EmbeddedWebPage.h"
#include "FriendsWindow.h"
#include "GameController.h"
#include "GameWindow.h"
#include "PictureFile.h"
#include "TableSelector.h"
#include "GameSounds.h"
#include "LobbyController.h"
#include "LobbyWindow.h"
#include "PreferencesWindow.h"
#include "SelectorButton.h"
#include "SettingsStore.h"
#include "TableModel.h"
#include "TournamentsController.h"
#include "TournamentsLobbyWindow.h"
#include "TimeSpan.h"
#include "UPushButton.h"
#include "UStackedWidget.h"
#include "UTabWidget.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QDebug>
#include <QIcon>
#include <QLabel>
#include <QSettings>
#include <QStackedWidget>

void MainWindow::addTab(QWidget* page, const char* icon, const char* name)
{
    const int index = ui.mainTabs->addTab(page, QString());
    ui.mainTabs->setTabIcon(index, PictureFile::icon(QLatin1String(icon)));
    tabsByName.insert(QLatin1String(name), page);
}

void MainWindow::makeWebPages()
{
    if (welcomePage != nullptr)
        return;
    // Made in the tab pane, hidden until their tabs are added: see displayLobby().
    const auto makeWebPage = [this](const char* name) {
        auto* page = new EmbeddedWebPage(ui.mainTabs->tabPane());
        page->hide();
        page->setObjectName(QLatin1String(name));
        page->setHost(host);
        connect(page, &EmbeddedWebPage::displayTab, this, &MainWindow::onDisplayTab);
        connect(page, &EmbeddedWebPage::joinTable, this, &MainWindow::onQuickJoinTable);
        connect(page, &EmbeddedWebPage::launchBrowser, this, &MainWindow::onLaunchBrowser);
        connect(page, &EmbeddedWebPage::displayTournament, this, &MainWindow::onDisplayTournament);
        return page;
    };
    welcomePage = makeWebPage("welcomePage");
    howtoPage = makeWebPage("howtoPage");
}

void MainWindow::displayLobby()
{
    if (ui.mainTabs->count() == 0) {
        connect(ui.mainTabs, &UTabWidget::currentChanged, this, &MainWindow::onCurrentTabChanged);
        connect(&connectionManager, &ConnectionManager::waitingList, this, &MainWindow::onWaitingList);
        connect(&connectionManager, &ConnectionManager::seating, this, &MainWindow::onQuickJoinSeating);
        connect(&connectionManager, &ConnectionManager::filterJoinFailed, this, &MainWindow::onQuickJoinFailed);

        makeWebPages();
        addTab(welcomePage, "resources:tabicons/startpage.png", "welcome");
        connectionManager.query_web_page(WebPageRequest::START_PAGE);

        // The pages are made in the tab pane: a tree moved there once polished
        // would be polished again, widget by widget, against the style sheet.
        QWidget* const pane = ui.mainTabs->tabPane();
        lobbyPage = lobbyController->createLobbyWindow(pane);
        lobbyPage->show();
        lobbyController->tableModel()->subscribe(QStringLiteral("101/Practice"));
        gameController->setTableModel(lobbyController->tableModel());
        tournamentsController->setTableModel(lobbyController->tableModel());
        connect(lobbyPage, &LobbyWindow::joinTable, this, [this](int tableId) { joinTable(tableId); });
        connect(lobbyPage, &LobbyWindow::watchTable, this, &MainWindow::watchTable);
        addTab(lobbyPage, "resources:tabicons/lobby.png", "lobby");

        tournamentsPage = tournamentsController->createLobbyWindow(pane);
        addTab(tournamentsPage, "resources:tabicons/tournament.png", "tournament");

        preferencesWindow = new PreferencesWindow(translations, &socialHub, pane);
        connect(preferencesWindow, &PreferencesWindow::uploadPlayerPicture, this, &MainWindow::onUploadPlayerPicture);
        connect(&playerDb, &PlayerDb::changePasswordOk, preferencesWindow, &PreferencesWindow::onChangePasswordOk);
        connect(&playerDb, &PlayerDb::changePasswordFailed, preferencesWindow,
                &PreferencesWindow::onChangePasswordFailed);
        preferencesWindow->setPlayerDb(&playerDb);
        preferencesWindow->setPasswordSender([this](const QString& pass) { return playerDb.changePassword(pass); });
        preferencesWindow->setConnection(&connectionManager);
        addTab(preferencesWindow, "resources:tabicons/preferences.png", "preferences");

        friendsWindow = new FriendsWindow(&xmppClient, &playerDb, pane);
        friendsWindow->setTableModel(lobbyController->tableModel());
        addTab(friendsWindow, "resources:tabicons/friends.png", "friends");
        connect(friendsWindow, &FriendsWindow::joinTable, this, [this](int tableId) { joinTable(tableId); });
        connect(friendsWindow, &FriendsWindow::watchTable, this, &MainWindow::watchTable);

        addTab(howtoPage, "resources:tabicons/help.png", "howto");
        connectionManager.query_web_page(WebPageRequest::HOWTO);

        retranslateTabs();

        connect(ui.tableSelector, &TableSelector::tableClicked, this, &MainWindow::onTableClicked);
        connect(gameController, &GameController::tableActivity, ui.tableSelector, &TableSelector::onTableActivity);
        connect(ui.toggleFullscreenButton, &QPushButton::clicked, this, &MainWindow::toggleWindowed);
        connect(ui.supportButton, &QPushButton::clicked, this, &MainWindow::onSupport);
        connect(ui.accountButton, &QPushButton::clicked, this, &MainWindow::onAccount);

        const int tab = QSettings().value(QStringLiteral("game/lobbyTab"), 0).toInt();
        if (tab >= 0 && tab < ui.mainTabs->count())
            ui.mainTabs->setCurrentIndex(tab);
    }

    ui.tableSelector->setActiveTable(-1);
    ui.loggedInStack->setCurrentWidget(ui.lobbyWidget);
    ui.centralWidget->setCurrentWidget(ui.loggedInWidget);
    startLobbyMusic();
    // The lobby shows after a successful login: that login's wait ends.
    WaitCursor::instance().end(WaitCursor::Request::Login);
}

void MainWindow::showTable(qint32 tableId)
{
    GameWindow* page = gameController->tableView(tableId);
    if (page == nullptr) {
        qWarning() << "no page for table" << tableId;
        return;
    }
    stopLobbyMusic();
    ui.tableSelector->setActiveTable(tableId);
    ui.loggedInStack->setCurrentWidget(page);
    ui.centralWidget->setCurrentWidget(ui.loggedInWidget);
}

void MainWindow::onTableClicked(int tableId)
{
    if (tableId == -1)
        displayLobby();
    else
        showTable(tableId);
}

void MainWindow::onTableViewCreated(qint32 tableId, GameWindow* gwin)
{
    qDebug() << "creating game page";
    if (ui.loggedInStack->indexOf(gwin) < 0)
        ui.loggedInStack->addWidget(gwin);
    if (ui.tableSelector->button(tableId) == nullptr)
        ui.tableSelector->addTable(gwin->tableInfo());
    connect(gwin, &GameWindow::userMenuRequested, this, &MainWindow::onUserMenuRequested, Qt::UniqueConnection);
}

void MainWindow::onTableViewDestroyed(qint32 tableId)
{
    qDebug() << "table view" << tableId << "destroyed, destroying game page";
    if (ui.tableSelector->button(tableId) != nullptr)
        ui.tableSelector->removeTable(tableId);
}

void MainWindow::onTableViewAboutToBeDestroyed(qint32 tableId)
{
    qDebug() << "table view" << tableId << "about to be destroyed";
    if (ui.tableSelector->activeTable() != tableId)
        return;
    // A table that waits for the user comes before the lobby.
    const qint32 asking = ui.tableSelector->askingTable(tableId);
    if (asking != -1)
        showTable(asking);
    else
        displayLobby();
}

void MainWindow::showSeatedTable(qint32 tableId)
{
    // The strip knows which tables wait for the user, the one in sight too.
    const SelectorButton* shown = ui.tableSelector->button(ui.tableSelector->activeTable());
    if (shown != nullptr && shown->asksForAttention()) {
        ui.tableSelector->onTableActivity(tableId, true, TimeSpan());
        return;
    }
    showTable(tableId);
}

void MainWindow::onRegularTableJoined(qint32 tableId)
{
    if (ui.tableSelector->activeTable() != tableId)
        showSeatedTable(tableId);
}

void MainWindow::onTableWatched(qint32 tableId, bool fromLobby)
{
    if (fromLobby && ui.tableSelector->activeTable() != tableId)
        showTable(tableId);
}

void MainWindow::onTournamentScoreDialogClosed(qint32 tournamentId, qint32, bool)
{
    onDisplayTournament(tournamentId);
}

void MainWindow::onDisplayTournament(qint32 tournamentId)
{
    auto* page = qobject_cast<TournamentsLobbyWindow*>(tournamentsPage);
    if (page == nullptr)
        return;
    ui.mainTabs->setCurrentIndex(ui.mainTabs->indexOf(page));
    page->displayTournament(tournamentId);
}

void MainWindow::retranslateTabs()
{
    const struct {
        const char* name;
        const char* text;
    } tabs[] = {
        {"welcome", QT_TR_NOOP("Start")},     {"lobby", QT_TR_NOOP("Tables")},
        {"tournament", QT_TR_NOOP("Tournaments")}, {"preferences", QT_TR_NOOP("Settings")},
        {"friends", QT_TR_NOOP("Friends")},  {"howto", QT_TR_NOOP("How to")},
    };
    for (const auto& tab : tabs) {
        const int index = ui.mainTabs->indexOf(tabsByName.value(QLatin1String(tab.name)));
        if (index >= 0)
            ui.mainTabs->setTabText(index, tr(tab.text));
    }
    if (welcomePage != nullptr) {
        welcomePage->titleLabel()->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:welcome.png")));
        welcomePage->subTitleLabel()->setText(
            tr("Make your choice below or go to the Lobby for more rules and table options"));
    }
    if (howtoPage != nullptr) {
        howtoPage->titleLabel()->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:howto.png")));
        howtoPage->subTitleLabel()->setText(QString());
    }
}

void MainWindow::toggleWindowed()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
    updateToggleButtonText();
    Q_EMIT setToggleWindowedText(ui.toggleFullscreenButton->text());
}

void MainWindow::updateToggleButtonText()
{
    // A button's new text puts its own mnemonic in place of the shortcut:
    // the key is kept across every text.
    const QKeySequence key = ui.toggleFullscreenButton->shortcut();
    ui.toggleFullscreenButton->setText(isFullScreen() || (windowState() & Qt::WindowFullScreen)
                                           ? tr("Windowed")
                                           : tr("Fullscreen"));
    ui.toggleFullscreenButton->setShortcut(key);
}

void MainWindow::saveWindowSettings()
{
    SettingsStore& settings = SettingsStore::instance();
    if (windowState() & Qt::WindowFullScreen) {
        settings.setValue(QStringLiteral("game/windowFullscreen"), true);
        return;
    }
    settings.setValue(QStringLiteral("game/windowSize"), size());
    settings.setValue(QStringLiteral("game/windowFullscreen"), false);
}

void MainWindow::restoreWindowSize()
{
    const QSize stored = QSettings().value(QStringLiteral("game/windowSize"), QSize(1024, 768)).toSize();
    const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    resize(shown != nullptr ? stored.boundedTo(shown->availableGeometry().size()) : stored);
}

void MainWindow::fitToScreen()
{
    if (isFullScreen() || isMaximized() || screen() == nullptr)
        return;
    // The window manager's frame is known once the window is mapped: the
    // window and its frame together stay inside the screen's free area.
    const QRect available = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const QSize decoration = frame.size() - geometry().size();
    const QSize room = available.size() - decoration;
    // The lobby page asks for a whole 1024x768 screen; with a frame around
    // the window that is more than the screen has, and its own contents make
    // do with less.
    if (minimumSizeHint().width() > room.width() || minimumSizeHint().height() > room.height())
    {
        ui.lobbyWidget->setMinimumSize(0, 0);
        // The layouts up to the window take the smaller minimum before the resize.
        for (QWidget* w = ui.lobbyWidget; w != nullptr; w = w->parentWidget()) {
            if (w->layout() != nullptr) {
                w->layout()->invalidate();
                w->layout()->activate();
            }
        }
    }
    const QSize fits = room.boundedTo(size());
    if (fits != size())
        resize(fits);
    const QRect after = frameGeometry();
    if (!available.contains(after)) {
        const int x = qBound(available.left(), after.left(), qMax(available.left(), available.right() + 1 - after.width()));
        const int y = qBound(available.top(), after.top(), qMax(available.top(), available.bottom() + 1 - after.height()));
        move(x, y);
    }
}
