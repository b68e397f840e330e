// The main window's session: what follows the login, the server clock in the
// top bar, the server's notices about earlier tables, join refusals, forced
// logout, the closed connection, and quitting.
#include "MainWindow.h"

#include "CreateUserWindow.h"
#include "FriendDetailWindow.h"
#include "FriendsFilter.h"
#include "FriendsWindow.h"
#include "GameController.h"
#include "GameModel.h"
#include "TableSelector.h"
#include "XMPPRosterItem.h"
#include "LobbyController.h"
#include "Logging.h"
#include "MachineId.h"
#include "PreferencesWindow.h"
#include "ModelessMsgBox.h"
#include "ServerTime.h"
#include "Singleton.h"
#include "UPushButton.h"
#include "TableModel.h"
#include "TournamentsController.h"
#include "Utils.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QPointer>
#include <QStackedWidget>

namespace {
/// Names the table of a tournament round's question.
constexpr char roundTableProperty[] = "roundTable";

using ModelessMsgBox::Wording;
}

void MainWindow::loginSuccessful(qint32 pid, const QString& name, const QString& credentials, bool registered)
{
    if (loggedIn) {
        qWarning() << "a second login answer, pid:" << pid << "- the session stays as it is";
        return;
    }
    loggedIn = true;
    qDebug() << "logged in, pid:" << pid << " fully registered:" << registered;
    fullyRegistered = registered;
    gameController->setPlayerId(pid);
    tournamentsController->setPlayerId(pid);
    playerDb.setOwnPlayer(pid, name);
    setPlayerName(name);
    connectionManager.log_client_uuid(machineId());
    connectionManager.query_account_balance();
    xmppPassword = credentials;
    connectionManager.query_client_config();
    displayLobby();
    preferencesWindow->setOwnPlayerId(pid);
    connectionManager.tournaments_lobby_subscribe();

    ServerTime& clock = *Singleton<ServerTime>::instance();
    clock.setConnection(&connectionManager);
    updateTimer.setInterval(1000);
    updateTimer.setSingleShot(false);
    connect(&updateTimer, &QTimer::timeout, this, &MainWindow::onUpdateTimeout, Qt::UniqueConnection);
    connect(&clock, &ServerTime::updatedEstimate, this, &MainWindow::onUpdateTimeout, Qt::UniqueConnection);
    connect(&clock, &ServerTime::updatedPing, this, &MainWindow::onUpdatedPing, Qt::UniqueConnection);
    connect(&clock, &ServerTime::silenceBegan, this, &MainWindow::onServerSilent, Qt::UniqueConnection);
    connect(&clock, &ServerTime::silenceEnded, this, &MainWindow::onServerHeardAgain, Qt::UniqueConnection);
    connect(&clock, &ServerTime::connectionLost, this, &MainWindow::onServerLost, Qt::UniqueConnection);
    onUpdateTimeout();
    updateTimer.start();

    if (ui.createUserWindow->isRegistered())
        connectionManager.query_web_page(WebPageRequest::REGISTERED);
}

void MainWindow::onUpdateTimeout()
{
    ui.serverTime->setText(serverTimeText(ServerTime::currentTime()));
}

void MainWindow::onUpdatedPing()
{
}

void MainWindow::onServerSilent()
{
    // Whatever the player does meanwhile may never reach the server: say so
    // in a strip that covers nothing and takes no key, so that a claim, a
    // question or a chat line being typed goes on as it was.
    ui.silenceNotice->show();
}

void MainWindow::onServerHeardAgain()
{
    ui.silenceNotice->hide();
}

void MainWindow::onServerLost()
{
    // Given up like a closed connection; whatever the link still brings,
    // its close included, belongs to this report.
    connectionManager.setDisconnectHandled(true);
    endSession(tr("The server stopped answering"));
}

const TableInfo* MainWindow::knownTable(qint32 tableId) const
{
    if (lastTableRecord.tableId == tableId)
        return &lastTableRecord;
    const TableModel* model = lobbyController->tableModel();
    return model->hasTableInfo(tableId) ? &model->tableInfo(tableId) : nullptr;
}

void MainWindow::previouslySeated(qint32 tableId, qint32, qint32 tournamentId)
{
    if (tournamentId != -1) {
        gameController->onTournamentSeated(tournamentId, tableId, 1);
        return;
    }
    // The notice comes right after its table's record: ask at once when the
    // record is known, or the question would wait for a record that may
    // never come.
    if (const TableInfo* info = knownTable(tableId)) {
        if (info->gameType != 1)
            askRejoin(tableId, info->name);
        return;
    }
    previouslySeatedTables.insert(tableId);
}

void MainWindow::previouslyWatching(qint32 tableId)
{
    if (const TableInfo* info = knownTable(tableId)) {
        askContinueWatching(tableId, info->name);
        return;
    }
    previouslyWatchedTables.insert(tableId);
}

void MainWindow::onTableInfoUpdate(const TableInfo& ti)
{
    lastTableRecord = ti;
    // The button of an open table follows its name.
    if (ui.tableSelector->button(ti.tableId) != nullptr)
        ui.tableSelector->onTableInfo(ti);
    // A table leaves its set once it has been asked about, never before.
    if (previouslySeatedTables.count(ti.tableId) != 0 && (ti.gameType == 1 || askRejoin(ti.tableId, ti.name)))
        previouslySeatedTables.erase(ti.tableId);
    if (previouslyWatchedTables.count(ti.tableId) != 0 && askContinueWatching(ti.tableId, ti.name))
        previouslyWatchedTables.erase(ti.tableId);
}

QString MainWindow::seatSubject(qint32 tableId)
{
    return QStringLiteral("seat at table %1").arg(tableId);
}

bool MainWindow::askRejoin(qint32 tableId, const QString& tableName)
{
    // The server's notice also follows a join just made: a table already open
    // needs no question.
    if (gameController->hasTable(tableId))
        return true;
    // One question a table, however many tables the server names.
    auto* box = ModelessMsgBox::committing(plainText(ModelessMsgBox::question(
        this,
        [tableName] { return Wording{tr("Rejoin Table"), tr("Do you want to rejoin table %1?").arg(tableName)}; },
        QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::No, seatSubject(tableId))));
    QPointer<MainWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self, tableId](int button) {
        if (self && button == QDialogButtonBox::Yes)
            self->joinTable(tableId, true);
    });
    return box != nullptr;
}

bool MainWindow::askContinueWatching(qint32 tableId, const QString& tableName)
{
    if (gameController->hasTable(tableId))
        return true;
    auto* box = plainText(ModelessMsgBox::question(
        this,
        [tableName] {
            return Wording{tr("Watch Table"), tr("Do you want to continue watching table %1?").arg(tableName)};
        },
        QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes,
        QStringLiteral("watch table %1").arg(tableId)));
    QPointer<MainWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self, tableId](int button) {
        if (self && button == QDialogButtonBox::Yes)
            self->watchTable(tableId);
    });
    return box != nullptr;
}

void MainWindow::onAlreadySeated(qint32 tableId)
{
    // The refusal answers a join or a watch of the table.
    WaitCursor::instance().end(WaitCursor::Request::Join, tableId);
    WaitCursor::instance().end(WaitCursor::Request::Watch, tableId);
    // In place of an open question about the same seat.
    auto* box = ModelessMsgBox::committing(plainText(ModelessMsgBox::question(
        this,
        [tableId] {
            return Wording{tr("Rejoin Table"),
                           tr("You are already seated at table %L1.\nDo you want to rejoin?").arg(tableId)};
        },
        QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::No, seatSubject(tableId))));
    QPointer<MainWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self, tableId](int button) {
        if (!self || button != QDialogButtonBox::Yes)
            return;
        const TableModel* model = self->lobbyController->tableModel();
        // A table the lobby does not list is joined plainly.
        if (model->hasTableInfo(tableId) && model->tableInfo(tableId).gameType == 1)
            self->gameController->onTournamentSeated(model->tableInfo(tableId).mttId, tableId, 2);
        else
            self->joinTable(tableId, true);
    });
}

void MainWindow::onJoinFailed(qint32 tableId, join_failed_reason::enum_t reason)
{
    WaitCursor::instance().end(WaitCursor::Request::Join, tableId);
    const auto failed = [](const char* text) {
        return [text] { return Wording{tr("Join Failed"), tr(text)}; };
    };
    switch (int(reason)) {
    case 0: plainText(ModelessMsgBox::critical(this, failed(QT_TR_NOOP("Join Error")))); break;
    case 1: plainText(ModelessMsgBox::critical(this, failed(QT_TR_NOOP("Table Full")))); break;
    case 2: plainText(ModelessMsgBox::critical(this, failed(QT_TR_NOOP("Table In Play")))); break;
    case 3: {
        auto* box = plainText(ModelessMsgBox::question(
            this,
            failed(QT_TR_NOOP("You don't have enough money on your account to join the table.\nDo you want to make a "
                              "deposit now?")),
            QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes));
        QPointer<MainWindow> self(this);
        ModelessMsgBox::connectFinished(box, [self](int button) {
            if (!self || button != QDialogButtonBox::Yes)
                return;
            self->connectionManager.query_web_page(WebPageRequest::ACCOUNT);
            plainText(ModelessMsgBox::information(
                self, [] { return Wording{tr("Deposit"), tr("Your account is opened in a web browser")}; }));
        });
        break;
    }
    case 4:
        plainText(ModelessMsgBox::critical(
            this, failed(QT_TR_NOOP("A player with the same IP address as you has already joined the table.\nPlease "
                                    "contact the support to remedy the situation."))));
        break;
    default: plainText(ModelessMsgBox::critical(this, [] { return Wording{tr("Join Failed"), QString()}; })); break;
    }
}

void MainWindow::onTournamentTableJoined(qint32 tournamentId, qint32 tableId, int reason)
{
    if (ui.tableSelector->activeTable() == tableId)
        return;
    if (reason != 0 && reason != 1) {
        showSeatedTable(tableId);
        return;
    }
    // A tournament not (yet) in the tournaments lobby is named by its id.
    const QString name = tournamentsController->hasTournament(tournamentId)
                             ? tournamentsController->tournamentInfo(tournamentId).name
                             : QString::number(tournamentId);
    const auto wording = [name, tableId, reason] {
        return reason == 0
                   ? Wording{tr("New tournament round - %1").arg(name),
                             tr("You have been assigned to tournament table %1. Show now?").arg(tableId)}
                   : Wording{tr("Continuing tournament round - %1").arg(name),
                             tr("You are assigned to tournament table %1. Show now?").arg(tableId)};
    };
    // A round's question takes the place of an earlier round's, and goes
    // with its table's seating.
    auto* box = plainText(ModelessMsgBox::question(this, wording, QDialogButtonBox::Yes | QDialogButtonBox::No,
                                                   QDialogButtonBox::Yes,
                                                   QStringLiteral("round of tournament %1").arg(tournamentId)));
    box->setProperty(roundTableProperty, tableId);
    QPointer<MainWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self, tableId](int button) {
        if (self && button == QDialogButtonBox::Yes && self->gameController->hasTable(tableId))
            self->showTable(tableId);
    });
}

void MainWindow::onGameModelAboutToBeDestroyed(GameModel* model)
{
    for (auto* box : findChildren<ModelessMsgBox::MsgBox*>(Qt::FindDirectChildrenOnly))
        if (box->property(roundTableProperty).toInt() == model->tableId())
            box->close();
}

void MainWindow::onForcedLogout()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this)
            w->close();
    }
    for (QWidget* browser : findChildren<QWidget*>()) {
        if (browser->inherits("EmbeddedBrowser"))
            browser->hide();
    }
    ui.centralWidget->hide();
    connectionManager.setDisconnectHandled(true);
    stopClock();
    endChat();
    Logging::showBlockingCritical(tr("Forced logout"), tr("You were forcefully logged out!"));
    QCoreApplication::exit(1);
}

void MainWindow::onDisconnected()
{
    qDebug() << "disconnected";
    endSession(tr("The server closed the connection"));
}

void MainWindow::stopClock()
{
    // The session is over: a silence from now on says nothing, and the box
    // that says why it ended is the last word.
    Singleton<ServerTime>::instance()->setConnection(nullptr);
    ui.silenceNotice->hide();
}

void MainWindow::endChat()
{
    xmppClient.logOut();
}

void MainWindow::endSession(const QString& why)
{
    stopClock();
    endChat();
    qCCritical(lcApp).noquote() << why;
    QCoreApplication::exit(1);
}

ModelessMsgBox::MsgBox* MainWindow::quitQuestion() const
{
    return quitBox;
}

void MainWindow::on_quitButton_clicked()
{
    if (quitBox)
        return;
    ui.quitButton->setEnabled(false);
    quitBox = ModelessMsgBox::committing(ModelessMsgBox::question(
        this, [] { return Wording{tr("Quit"), tr("Are you sure you want to quit?")}; },
        QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::No));
    QPointer<MainWindow> self(this);
    ModelessMsgBox::connectFinished(quitBox, [self](int button) {
        if (button == QDialogButtonBox::Yes) {
            // Not quit(): that asks every window to close first, and this
            // window answers a close with this very question.
            QCoreApplication::exit(0);
            return;
        }
        if (self) {
            self->quitBox = nullptr;
            self->ui.quitButton->setEnabled(true);
        }
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    on_quitButton_clicked();
    event->ignore();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui.retranslateUi(this);
        retranslateTabs();
        updateToggleButtonText();
        // The pages follow the language; before the login there are none.
        if (connectionManager.isLoggedIn()) {
            connectionManager.query_web_page(WebPageRequest::START_PAGE);
            connectionManager.query_web_page(WebPageRequest::HOWTO);
        }
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::onUserMenuRequested(const QString& playerName, const QPoint& pos)
{
    qDebug() << "Received onUserMenuRequested, name " << playerName << ", pos " << pos;
    if (xmppClient.state() != XMPPClient::SessionState || friendsWindow == nullptr)
        return;
    userMenu.clear();
    if (playerName == playerDb.ownName()) {
        userMenu.addAction(tr("This is you"))->setEnabled(false);
        userMenu.popup(pos);
        return;
    }
    if (!playerDb.hasPlayerName(playerName)) {
        // The answer opens the menu at the mouse.
        playerDb.searchJid(playerName);
        return;
    }
    const XMPPJid jid = playerDb.jidForName(playerName);
    const XMPPRosterItem* friendItem = friendsWindow->rosterItemForJid(jid);
    // A subscriber the player never asked is on the roster but no friend.
    if (friendItem == nullptr || !FriendsFilter::shows(*friendItem)) {
        QAction* add = userMenu.addAction(tr("Add to friends"));
        add->setData(QVariant::fromValue(jid));
        connect(add, &QAction::triggered, this, &MainWindow::onAddFriendAction);
    } else {
        // The tables of every resource of the friend, sorted, so that the
        // menu keeps its order from one time to the next; as many as Friend
        // Details lists, so the menu fits the screen.
        if (const QStringList paths = friendItem->tables(FriendDetailWindow::MaxTablePaths); !paths.isEmpty()) {
            const TableModel* tables = lobbyController->tableModel();
            for (const QString& path : paths) {
                bool ok = false;
                const int tableId = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toInt(&ok, 10);
                if (!ok || tableId == ui.tableSelector->activeTable())
                    continue;
                const QString text = tables->hasTableInfo(tableId)
                                         //: %1 is table name
                                         ? tr("Watch table %1").arg(tables->tableInfo(tableId).name)
                                         //: %1 is table id
                                         : tr("Watch special table %1").arg(tableId);
                QAction* watch = userMenu.addAction(text);
                watch->setData(tableId);
                connect(watch, &QAction::triggered, this, &MainWindow::onWatchTableAction);
            }
        }
        if (userMenu.isEmpty())
            userMenu.addAction(tr("Friend is not playing"))->setEnabled(false);
    }
    if (!userMenu.isEmpty())
        userMenu.popup(pos);
}

void MainWindow::onSearchJidResult(const XMPPJid& jid)
{
    QAction* add = userMenu.addAction(tr("Add to friends"));
    add->setData(QVariant::fromValue(jid));
    connect(add, &QAction::triggered, this, &MainWindow::onAddFriendAction);
    userMenu.popup(QCursor::pos());
}

void MainWindow::onSearchJidError()
{
    userMenu.addAction(tr("Error getting player id"))->setEnabled(false);
    userMenu.popup(QCursor::pos());
}

void MainWindow::onAddFriendAction()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (action == nullptr) {
        qWarning() << "bad sender of add friend action";
        return;
    }
    if (friendsWindow != nullptr)
        friendsWindow->addFriend(action->data().value<XMPPJid>());
}

void MainWindow::onWatchTableAction()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (action == nullptr) {
        qWarning() << "bad sender of watch table action";
        return;
    }
    bool ok = false;
    const int tableId = action->data().toInt(&ok);
    if (!ok) {
        qWarning() << "invalid table id data in watch table action";
        return;
    }
    watchTable(tableId);
}
