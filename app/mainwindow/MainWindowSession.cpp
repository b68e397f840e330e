// The main window's session: what follows the login, the server clock in the
// top bar, the server's notices about earlier tables, join refusals, forced
// logout, the closed connection, and quitting.
#include "MainWindow.h"

#include "CreateUserWindow.h"
#include "LobbyController.h"
#include "Logging.h"
#include "MachineId.h"
#include "PreferencesWindow.h"
#include "PlainMessageBox.h"
#include "ServerTime.h"
#include "Singleton.h"
#include "UPushButton.h"
#include "TableModel.h"
#include "TournamentsController.h"
#include "Utils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QPointer>
#include <QStackedWidget>

void MainWindow::loginSuccessful(qint32 pid, const QString& name, const QString& credentials, bool registered)
{
    qDebug() << "logged in, pid:" << pid << " fully registered:" << registered;
    fullyRegistered = registered;
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
    onUpdateTimeout();
    updateTimer.start();

    if (ui.createUserWindow->isRegistered())
        connectionManager.query_web_page(WebPageRequest::REGISTERED);
}

void MainWindow::onUpdateTimeout()
{
    ui.serverTime->setText(formatDateTime(ServerTime::currentTime()));
}

void MainWindow::onUpdatedPing()
{
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
        seatAtTournamentTable(tournamentId, tableId, 1);
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
    if (previouslySeatedTables.erase(ti.tableId) != 0 && ti.gameType != 1)
        askRejoin(ti.tableId, ti.name);
    if (previouslyWatchedTables.erase(ti.tableId) != 0)
        askContinueWatching(ti.tableId, ti.name);
}

void MainWindow::askRejoin(qint32 tableId, const QString& tableName)
{
    auto* box = plainText(
        ModelessMsgBox::question(this, tr("Rejoin Table"), tr("Do you want to rejoin table %1?").arg(tableName),
                                 QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes));
    QPointer<MainWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self, tableId](int button) {
        if (self && button == QDialogButtonBox::Yes)
            self->joinTable(tableId, true);
    });
}

void MainWindow::askContinueWatching(qint32 tableId, const QString& tableName)
{
    auto* box = plainText(ModelessMsgBox::question(this, tr("Watch Table"),
                                                   tr("Do you want to continue watching table %1?").arg(tableName),
                                                   QDialogButtonBox::Yes | QDialogButtonBox::No,
                                                   QDialogButtonBox::Yes));
    QPointer<MainWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self, tableId](int button) {
        if (self && button == QDialogButtonBox::Yes)
            self->watchTable(tableId);
    });
}

void MainWindow::seatAtTournamentTable(qint32 tournamentId, qint32 tableId, int reason)
{
    // The game controller keeps the tournament's seating; the table itself
    // is joined like any other.
    qDebug() << "tournament" << tournamentId << "seats at table" << tableId << "reason" << reason;
    joinTable(tableId, true);
}

void MainWindow::onAlreadySeated(qint32 tableId)
{
    QApplication::restoreOverrideCursor();
    auto* box = plainText(ModelessMsgBox::question(
        this, tr("Rejoin Table"), tr("You are already seated at table %L1.\nDo you want to rejoin?").arg(tableId),
        QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes));
    QPointer<MainWindow> self(this);
    ModelessMsgBox::connectFinished(box, [self, tableId](int button) {
        if (!self || button != QDialogButtonBox::Yes)
            return;
        const TableModel* model = self->lobbyController->tableModel();
        // A table the lobby does not list is joined plainly.
        if (model->hasTableInfo(tableId) && model->tableInfo(tableId).gameType == 1)
            self->seatAtTournamentTable(model->tableInfo(tableId).mttId, tableId, 2);
        else
            self->joinTable(tableId, true);
    });
}

void MainWindow::onJoinFailed(qint32, join_failed_reason::enum_t reason)
{
    QApplication::restoreOverrideCursor();
    const QString title = tr("Join Failed");
    switch (int(reason)) {
    case 0: plainText(ModelessMsgBox::critical(this, title, tr("Join Error"))); break;
    case 1: plainText(ModelessMsgBox::critical(this, title, tr("Table Full"))); break;
    case 2: plainText(ModelessMsgBox::critical(this, title, tr("Table In Play"))); break;
    case 3: {
        auto* box = plainText(ModelessMsgBox::question(
            this, title,
            tr("You don't have enough money on your account to join the table.\nDo you want to make a deposit now?"),
            QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes));
        QPointer<MainWindow> self(this);
        ModelessMsgBox::connectFinished(box, [self](int button) {
            if (!self || button != QDialogButtonBox::Yes)
                return;
            self->connectionManager.query_web_page(WebPageRequest::ACCOUNT);
            plainText(ModelessMsgBox::information(self, tr("Deposit"), tr("Your account is opened in a web browser")));
        });
        break;
    }
    case 4:
        plainText(ModelessMsgBox::critical(this, title,
                                           tr("A player with the same IP address as you has already joined the "
                                              "table.\nPlease contact the support to remedy the situation.")));
        break;
    default: plainText(ModelessMsgBox::critical(this, title, QString())); break;
    }
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
    Logging::showBlockingCritical(tr("Forced logout"), tr("You were forcefully logged out!"));
    QCoreApplication::exit(1);
}

void MainWindow::onDisconnected()
{
    qDebug() << "disconnected";
    qCritical().noquote() << tr("The server closed the connection");
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
    quitBox = ModelessMsgBox::question(this, tr("Quit"), tr("Are you sure you want to quit?"),
                                       QDialogButtonBox::Yes | QDialogButtonBox::No, QDialogButtonBox::Yes);
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
