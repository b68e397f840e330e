// The real main window against the test game server: the login page's
// gating and refusals, the exact requests of a session, joins and watches on
// the wire, the server's notices of earlier tables, registration, and the
// ends of a session.
#include "CommandLine.h"
#include "ConferenceArea.h"
#include "PreferencesWindow.h"
#include "QuitSignals.h"
#include "ChatOutputWidget.h"
#include "ConferenceWidget.h"
#include "PlayerDb.h"
#include "CreateUserWindow.h"
#include "EmbeddedWebPage.h"
#include "FriendsWindow.h"
#include "GameWindow.h"
#include "LobbyController.h"
#include "LobbyTableFilter.h"
#include "LobbyWindow.h"
#include "LoginWindow.h"
#include "MachineId.h"
#include "MahjongApplication.h"
#include "MainWindowHarness.h"
#include "MessageBoxWatcher.h"
#include "TableModel.h"
#include "AvatarDialog.h"
#include "SideBar.h"
#include "TournamentInfo.h"
#include "TournamentWindow.h"
#include "SelectorButton.h"
#include "TableSelector.h"
#include "TestFrame.h"
#include "ChatOutputWidget.h"
#include "ServerTime.h"
#include "UPushButton.h"
#include "UStackedWidget.h"
#include "UTabWidget.h"
#include "WebSchemes.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QSettings>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>

#include <csignal>

#include <unistd.h>
#include <QTreeView>

namespace {

/// Asks an object whether anything listens to one of its signals.
struct SignalPeek : QObject
{
    /// Whether `signal` of `object` has a receiver: the protected question,
    /// asked through a member pointer so that no object is taken for what it is not.
    static bool connected(const QObject* object, const QMetaMethod& signal)
    {
        return (object->*(&SignalPeek::isSignalConnected))(signal);
    }
};

/// Names the pages moved into the main window's stacks with polished widgets, which are polished there again.
struct PageRepolishes : QObject
{
    QList<const QWidget*> stacks;
    QStringList pages;
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // The type first: an object being destroyed still has events filtered.
        if (event->type() != QEvent::ParentChange || !object->isWidgetType())
            return false;
        const auto* page = static_cast<QWidget*>(object);
        const auto polished = [](const QWidget* w) { return w->testAttribute(Qt::WA_WState_Polished); };
        if (stacks.contains(page->parentWidget()) && std::ranges::any_of(page->findChildren<QWidget*>(), polished))
            pages << page->objectName();
        return false;
    }
};

/// The row of a table in the lobby window's tree, or an invalid index.
QModelIndex rowOf(LobbyWindow* lobby, qint32 tableId, int column = 0)
{
    QAbstractItemModel* model = lobby->treeView()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, column);
        if (model->data(index, Qt::UserRole).toInt() == tableId)
            return index;
    }
    return {};
}

void doubleClickRow(LobbyWindow* lobby, const QModelIndex& index)
{
    QTreeView* view = lobby->treeView();
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QVERIFY2(view->viewport()->rect().contains(at), "row not on screen");
    // A view takes a double-click for the row its press went to.
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

/// Runs the application's event loop, as main() does, until something ends
/// it; the result is the program's exit code.
int exitCodeOf(const std::function<void()>& trigger)
{
    QTimer::singleShot(0, trigger);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(-99); });
    guard.start(5000);
    return QCoreApplication::exec();
}

const SessionScenario::Table* tableWith(const QList<SessionScenario::Table>& tables, const char* path, bool full)
{
    for (const auto& t : tables) {
        if (t.path == path && (t.seated == t.capacity) == full)
            return &t;
    }
    return nullptr;
}

}

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setupSearchPaths({}); }

    void init() { MainWindowHarness::resetState(); }

    void loginWaitsForTheHandshake()
    {
        MainWindowHarness h;
        QVERIFY(h.create());
        h.server.setAutoHandshake(false);
        LoginWindow* login = h.window->view().loginWindow;
        QCOMPARE(login->userNameEdit()->text(), QStringLiteral("anna"));
        QCOMPARE(h.window->view().centralWidget->currentWidget(), h.window->view().loginWidget);
        h.window->onStartupFinished(true);
        QVERIFY(h.server.waitForClient());
        QVERIFY(h.server.waitForFrame(0).has_value());
        // Connected, versions not agreed yet: no login possible.
        QTest::qWait(50);
        QVERIFY(!login->logInButton()->isEnabled());
        QSignalSpy ready(&h.window->connection(), &ConnectionManager::versionCheckComplete);
        h.server.send(TestFrame(0).u32(101).u32(4).u32(6523));
        QVERIFY(h.server.waitForFrame(1).has_value());
        h.server.send(TestFrame(1).u32(101).u32(4).str("2399"));
        QVERIFY(ready.wait(5000));
        QVERIFY(login->logInButton()->isEnabled());
        // Only spaces still count as a password; an empty one does not.
        login->passwordField()->setText(QStringLiteral("   "));
        QVERIFY(login->logInButton()->isEnabled());
        login->passwordField()->clear();
        QVERIFY(!login->logInButton()->isEnabled());
        // A name the wire cannot carry is refused in the form.
        login->userNameEdit()->setText(QStringLiteral("山田太郎"));
        login->passwordField()->setText(QStringLiteral("secret1"));
        QTest::mouseClick(login->logInButton(), Qt::LeftButton);
        QVERIFY(h.boxes().contains(QStringLiteral("Login failure!|This user name cannot be used to log in: a user name "
                                                  "may hold only Western European letters, digits and signs.")));
    }

    void loginRefusals_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("box");
        QTest::newRow("wrong password") << 2 << QString();
        QTest::newRow("not allowed") << 3
                                     << QStringLiteral("Login failure!|You are not allowed to login, please contact "
                                                       "customer support!");
        QTest::newRow("server error") << 4 << QStringLiteral("Login failure!|Server error!");
        QTest::newRow("self excluded")
            << 6 << QStringLiteral("Login failure!|You have excluded yourself from playing. Contact support if this "
                                   "is incorrect.");
        QTest::newRow("unknown") << 9 << QStringLiteral("Login failure!|Unknown login failure!");
        QTest::newRow("never answered")
            << -2 << QStringLiteral("Login failure!|The server did not answer the login.\nDo you want to try again?");
        QTest::newRow("let in after one Retry")
            << -3 << QStringLiteral("Login failure!|The server did not answer the login.\nDo you want to try again?");
        QTest::newRow("another name while unanswered")
            << -4 << QStringLiteral("Login failure!|The server did not answer the login.\nDo you want to try again?");
    }

    void loginRefusals()
    {
        QFETCH(int, code);
        QFETCH(QString, box);
        MainWindowHarness h;
        QVERIFY(h.create());
        h.scenario.setLoginRefusal(code < -2 ? -1 : code);
        h.scenario.setLoginDelay(code < -2 ? 1500 : 0);
        QVERIFY(h.start());
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        LoginWindow* login = h.window->view().loginWindow;
        login->setAnswerTimeLimit(500);
        QSignalSpy failed(&h.window->connection(), &ConnectionManager::loginFailed);
        QTest::mouseClick(login->logInButton(), Qt::LeftButton);
        // One login at a time: typing while it waits, Enter included, sends no second.
        QTest::keyClicks(login->passwordField(), QStringLiteral("1"));
        QTest::keyClick(login->passwordField(), Qt::Key_Return);
        QVERIFY(!login->logInButton()->isEnabled());
        QVERIFY(code < 0 || failed.wait(5000));
        QTRY_COMPARE(h.boxes(), box.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(h.scenario.log(), QStringList{QStringLiteral("login anna secret1 partner 4")});
        // The login's wait cursor is gone; the user name stays, the password
        // only for refusals other than wrong credentials.
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(login->userNameEdit()->text(), QStringLiteral("anna"));
        QCOMPARE(login->passwordField()->text().isEmpty(), code == 2);
        // While the box asks, another login may be started.
        QTRY_COMPARE(login->logInButton()->isEnabled(), code != 2);
        QCOMPARE(h.window->view().centralWidget->currentWidget(), h.window->view().loginWidget);
        if (box.isEmpty())
            return;
        if (code == -4) { // another login ends the unanswered one's connection first
            login->userNameEdit()->setText(QStringLiteral("bob"));
            QTest::mouseClick(login->logInButton(), Qt::LeftButton);
        }
        // The box has the keys; once it is closed the form has them.
        QTest::keyClick(h.window->windowHandle(), Qt::Key_Return);
        if (code < -2) { // Retry waits on the login's connection; one session, of the user asked for last
            QTRY_COMPARE(h.window->view().usernameLabel->text(), QLatin1String(code == -3 ? "anna" : "bob"));
            QVERIFY(h.boxes().isEmpty() && h.server.connectionCount() == (code == -3 ? 1 : 2));
            return;
        }
        if (code < 0) { // Retry sends nothing again and waits longer; Cancel ends the connection
            QTRY_COMPARE(h.boxes(), QStringList{box});
            QCOMPARE(h.scenario.log().size(), 1);
            QTest::keyClick(h.window->windowHandle(), Qt::Key_Escape);
            QTRY_COMPARE(h.server.connectionCount(), 2);
        }
        QTRY_VERIFY(h.boxes().isEmpty());
        QTest::keyClick(h.window->windowHandle(), 'z');
        QCOMPARE(login->userNameEdit()->text(), QStringLiteral("z"));
        QCOMPARE(h.window->view().centralWidget->currentWidget(), h.window->view().loginWidget);
    }

    void sessionRequestsInOrder()
    {
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        QVERIFY(h.waitForRequests(10));
        const QStringList expected{
            QStringLiteral("login anna secret1 partner 4"),
            QStringLiteral("client id ") + QString::fromLatin1(machineId().c_str()),
            QStringLiteral("balance"),
            QStringLiteral("client config"),
            QStringLiteral("page 3"),
            QStringLiteral("subscribe 101/Regular"),
            QStringLiteral("subscribe 101/Practice"),
            QStringLiteral("page 4"),
            QStringLiteral("tournaments 102/"),
            QStringLiteral("time"),
        };
        QCOMPARE(h.scenario.log().mid(0, 10), expected);

        const MainView& ui = h.window->view();
        QCOMPARE(ui.centralWidget->currentWidget(), ui.loggedInWidget);
        QCOMPARE(ui.usernameLabel->text(), QStringLiteral("anna"));
        QTRY_COMPARE(ui.accountBalanceLabel->text(), QStringLiteral("$1,234.56"));
        QVERIFY(!ui.serverTime->text().isEmpty());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // The lobby tab lists the 30 regular tables; the practice ones are
        // in the table model only.
        LobbyWindow* lobby = h.window->lobbyWindow();
        QVERIFY(lobby != nullptr);
        QTRY_COMPARE(lobby->treeView()->model()->rowCount(), 30);
        QTRY_COMPARE(h.window->lobby()->tableModel()->rowCount(), 35);
        QCOMPARE(ui.mainTabs->count(), 6);
        QCOMPARE(ui.mainTabs->indexOf(h.window->friends()), 4);
        QCOMPARE(ui.mainTabs->indexOf(h.window->howToPage()), 5);

        // A second display of the lobby builds nothing and subscribes nothing.
        h.window->displayLobby();
        // Nor does a second login answer, another account's.
        QSignalSpy again(&h.window->connection(), &ConnectionManager::loginSuccess);
        h.server.send(TestFrame(11).str("bob").u32(1002).u8(0).u32(1).str("").bytes("other"));
        QVERIFY(again.wait(5000));
        QTest::qWait(50);
        QCOMPARE(ui.mainTabs->count(), 6);
        QCOMPARE(h.scenario.log().count(QStringLiteral("subscribe 101/Practice")), 1);
        QCOMPARE(ui.usernameLabel->text(), QStringLiteral("anna"));
        // Nor is a refusal shown over the lobby.
        QSignalSpy refused(&h.window->connection(), &ConnectionManager::loginFailed);
        h.server.send(TestFrame(11).str("anna").u32(0).u8(1).u32(4).str("").bytes(""));
        QVERIFY(refused.wait(5000));
        QTest::qWait(50);
        QVERIFY(h.boxes().isEmpty());

        // The lobby window's first start wrote its filter keys.
        QSettings settings;
        for (const char* key : {"lobby/playforfree", "lobby/playformoney", "lobby/singlehand", "lobby/fullgame",
                                "lobby/classic", "lobby/international", "lobby/riichi"})
            QVERIFY2(settings.value(QLatin1String(key)).toBool(), key);
        QVERIFY(!settings.contains(QStringLiteral("lobby/excludeemptytables")));
        QVERIFY(settings.value(QStringLiteral("game/sound")).toBool());

        // Closing the window saves its size and the current tab.
        ui.mainTabs->setCurrentIndex(2);
        h.window.reset();
        QCOMPARE(settings.value(QStringLiteral("game/lobbyTab")).toInt(), 2);
        QVERIFY(settings.contains(QStringLiteral("game/windowSize")));
        QCOMPARE(settings.value(QStringLiteral("game/windowFullscreen")).toBool(), false);
    }

    void chatRoomAndPicture()
    {
        MainWindowHarness h;
        QVERIFY(h.create());
        auto* area = h.window->findChild<ConferenceWidget*>(QStringLiteral("lobbyChat"));
        QVERIFY(area != nullptr);
        QCOMPARE(area->parentWidget(), h.window->view().lobbyChatFrame);
        QCOMPARE(area->chatController(), &h.window->chat());
        // What the lobby chat tells: the own kick, but nobody's comings and
        // goings, nor others' kicks.
        XMPPConference* room = &area->conference();
        Q_EMIT room->participantJoined(room, QStringLiteral("bob"));
        Q_EMIT room->participantLeft(room, QStringLiteral("bob"));
        Q_EMIT room->participantKicked(room, QStringLiteral("carl"), XMPPJid(), QString());
        Q_EMIT room->userLeft(room);
        QVERIFY(area->chatOutput()->toPlainText().trimmed().isEmpty());
        Q_EMIT room->userKicked(room, XMPPJid(), QStringLiteral("spam"));
        QVERIFY(area->chatOutput()->toPlainText().contains(QLatin1String("spam")));
        QVERIFY(h.start());
        // The lobby's pages and a table's, polished as they are made, are not polished again for the style sheet.
        qApp->setStyleSheet(MahjongApplication::styleSheetText());
        const auto plain = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        PageRepolishes moved;
        moved.stacks = {h.window->view().mainTabs->tabPane(), h.window->view().loggedInStack};
        qApp->installEventFilter(&moved);
        QVERIFY(h.logIn());
        SessionScenario::Table table = h.scenario.tables().at(0);
        table.gameType = 1; // a tournament's: opened at once
        h.scenario.setJoinAnswer(0);
        h.scenario.notifySeated(table, 0, qint32(table.id));
        QTRY_VERIFY(h.window->findChild<GameWindow*>());
        qApp->removeEventFilter(&moved);
        QCOMPARE(moved.pages, QStringList());
        // The own id's default picture until the chat session brings the real one.
        const QImage shown = h.window->preferences()->avatar()->pixmap().toImage();
        QVERIFY(!shown.isNull());
        QCOMPARE(shown, PlayerDb::defaultAvatar(SessionScenario::playerId).toImage());
        QCOMPARE(h.window->players().ownName(), QStringLiteral("anna"));
    }

    void languageSwitch()
    {
        MainWindowHarness h;
        QVERIFY(h.readyInLobby());
        // A refusal's reason is told in the language shown, whichever came first.
        PreferencesWindow* prefs = h.window->preferences();
        prefs->newPasswordField()->setText(QStringLiteral("abcdef"));
        prefs->retypePasswordField()->setText(QStringLiteral("abcdef"));
        const auto passwordAnswer = [&](qint32 answer, const QString& reason) {
            h.scenario.setPasswordAnswer(answer);
            QTest::mouseClick(prefs->changePasswordButton(), Qt::LeftButton);
            QTRY_COMPARE(h.boxes().value(0).section(QLatin1Char('|'), 1), reason);
            QTest::keyClick(h.window->findChild<ModelessMsgBox::MsgBox*>(), Qt::Key_Escape);
        };
        passwordAnswer(4, QStringLiteral("Password invalid"));
        h.scenario.clearLog();
        // A box left open takes the size of its new words, in the program's own look.
        qApp->setStyleSheet(MahjongApplication::styleSheetText());
        prefs->retypePasswordField()->setText(QStringLiteral("abcdeg"));
        QTest::mouseClick(prefs->changePasswordButton(), Qt::LeftButton);
        QPointer<QWidget> mismatch = h.window->findChildren<ModelessMsgBox::MsgBox*>().last();
        QVERIFY(h.translations.setLanguage(QStringLiteral("ja")));
        QTRY_VERIFY(h.boxes().value(0).endsWith(QStringLiteral("新しいパスワードと再入力したパスワードが一致しません"))
                    && mismatch->size() == mismatch->sizeHint());
        QTest::keyClick(mismatch, Qt::Key_Escape);
        qApp->setStyleSheet(QString());
        prefs->retypePasswordField()->setText(QStringLiteral("abcdef"));
        const MainView& ui = h.window->view();
        const auto tablesTab = [&] {
            return ui.mainTabs->tabBar()->tabText(ui.mainTabs->indexOf(h.window->lobbyWindow()));
        };
        QTRY_COMPARE(tablesTab(), QStringLiteral("テーブル"));
        const QString fullscreen = ui.toggleFullscreenButton->text();
        const QString join = h.window->lobbyWindow()->findChild<QPushButton*>(QStringLiteral("joinButton"))->text();
        // The pages follow the language.
        QVERIFY(h.waitForRequests(2));
        const QStringList pages = h.scenario.log();
        passwordAnswer(4, QStringLiteral("パスワードが無効です"));
        prefs->setAnswerTimeLimit(300);
        h.scenario.setPasswordAnswer(-2);
        QTest::mouseClick(prefs->changePasswordButton(), Qt::LeftButton);
        QTRY_COMPARE(h.boxes().value(0).section(QLatin1Char('|'), 1),
                     QStringLiteral("サーバーがパスワードの変更に応答しませんでした。\nパスワードは変更されていない"
                                    "可能性があります。もう一度お試しください。"));
        // The box left open speaks the language chosen next.
        QVERIFY(h.translations.setLanguage(QStringLiteral("en")));
        QTRY_COMPARE(tablesTab(), QStringLiteral("Tables"));
        QCOMPARE(h.boxes(), QStringList{QStringLiteral("Change password failed!|The server did not answer the password "
                                                       "change.\nYour password may be unchanged: please try again.")});
        QTest::keyClick(h.window->findChild<ModelessMsgBox::MsgBox*>(), Qt::Key_Escape);
        // Its late answer is reported for it; a newer change waits on in its fields ...
        prefs->newPasswordField()->setText(QStringLiteral("ghijkl"));
        prefs->retypePasswordField()->setText(QStringLiteral("ghijkl"));
        QTest::mouseClick(prefs->changePasswordButton(), Qt::LeftButton);
        h.server.send(h.scenario.passwordAnswer(0, -1));
        QTRY_VERIFY(h.boxes().value(0).startsWith(QLatin1String("Change password!|The server has now carried out the "
                                                                "password change you asked for at ")));
        QCOMPARE(prefs->newPasswordField()->text(), QStringLiteral("ghijkl"));
        QVERIFY(!prefs->changePasswordButton()->isEnabled());
        // ... and is answered behind a long list, arriving for longer than its time: not given up.
        QTest::keyClick(h.window->findChild<ModelessMsgBox::MsgBox*>(), Qt::Key_Escape);
        h.server.sendInChunks(SessionScenario::tableList(SessionScenario::makeTables(2000, 0)).toBytes()
                                  + h.scenario.passwordAnswer(1, -1).toBytes(),
                              8192, 25);
        QTRY_COMPARE(h.boxes(), QStringList{QStringLiteral("Change password!|Success!")});
        QVERIFY(prefs->newPasswordField()->text().isEmpty());
        QCOMPARE(fullscreen, QStringLiteral("全画面"));
        QCOMPARE(join, QStringLiteral("参加"));
        QCOMPARE(pages, (QStringList{QStringLiteral("page 3"), QStringLiteral("page 4")}));
    }

    void joinAndWatchOnTheWire()
    {
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        LobbyWindow* lobby = h.window->lobbyWindow();
        QTRY_COMPARE(lobby->treeView()->model()->rowCount(), 30);
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->view().mainTabs->setCurrentIndex(h.window->view().mainTabs->indexOf(lobby));
        h.server.clearReceived();

        const auto* open = tableWith(h.scenario.tables(), "101/Regular", false);
        const auto* full = tableWith(h.scenario.tables(), "101/Regular", true);
        QVERIFY(open && full);
        QVERIFY(rowOf(lobby, qint32(open->id), 2).isValid());
        // Another owner's cursor, under the join's.
        QApplication::setOverrideCursor(Qt::CrossCursor);
        doubleClickRow(lobby, rowOf(lobby, qint32(open->id), 2));
        auto join = h.server.waitForFrame(30);
        QVERIFY(join.has_value());
        // u32 table id, seat 0xFF (any), empty parameter list.
        QCOMPARE(join->body.toHex(' '),
                 QByteArray("1e 00 00 02 ") + QByteArray::number(open->id, 16).rightJustified(2, '0').right(2)
                     + " ff 00 00 00 00");
        // One wait cursor for the pending join; asking again within the
        // throttle's time sends nothing and sets no second cursor.
        QVERIFY(QApplication::overrideCursor() != nullptr);
        doubleClickRow(lobby, rowOf(lobby, qint32(open->id), 2));
        QTest::qWait(50);
        QCOMPARE(h.server.received(30).size(), 1);
        // Lobby records meanwhile leave the join's cursor alone; the join's
        // refusal takes it back, once.
        h.scenario.updateSeated(open->id, 2);
        h.scenario.notifyWatching(999999);
        QTest::qWait(100);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // The server's refusal.
        h.server.send(TestFrame(31).u32(open->id).u8(0xff).u8(1).u32(1));
        QTRY_COMPARE(h.boxes().size(), 1);
        QVERIFY(h.boxes().first().startsWith(QLatin1String("Join Failed|")));
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        h.answer(QStringLiteral("Join Failed"), QDialogButtonBox::Ok);
        // Refusals of tables never asked for show, and take no cursor back.
        h.server.send(TestFrame(31).u32(4711).u8(0xff).u8(1).u32(1));
        h.server.send(TestFrame(33).u32(4712).u8(3));
        QTRY_COMPARE(h.boxes().size(), 2);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        h.answer(QStringLiteral("Join Failed"), QDialogButtonBox::Ok);
        h.answer(QStringLiteral("Rejoin Table"), QDialogButtonBox::No);
        // A flood of them: a handful on the screen, the rest in the log; another kind still shows.
        for (quint32 table = 5000; table < 5400; ++table)
            h.server.send(TestFrame(31).u32(table).u8(0xff).u8(1).u32(1));
        h.server.send(TestFrame(33).u32(4712).u8(3));
        QTRY_COMPARE(h.boxes().count(QStringLiteral("Join Failed|Join Error")), ModelessMsgBox::maxOfAKind);
        QTRY_COMPARE(h.boxes().filter(QStringLiteral("Rejoin Table|")).size(), 1); // after the refusals
        QCOMPARE(h.boxes().count(QStringLiteral("Join Failed|Join Error")), ModelessMsgBox::maxOfAKind);
        for (int i = 0; i < ModelessMsgBox::maxOfAKind; ++i, QTest::qWait(1)) // an answered box goes
            QVERIFY(h.answer(QStringLiteral("Join Failed"), QDialogButtonBox::Ok));
        h.answer(QStringLiteral("Rejoin Table"), QDialogButtonBox::No);
        QApplication::restoreOverrideCursor();
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // A full table is watched.
        doubleClickRow(lobby, rowOf(lobby, qint32(full->id)));
        auto watch = h.server.waitForFrame(32);
        QVERIFY(watch.has_value());
        QCOMPARE(watch->reader().u32(), full->id);
        QCOMPARE(h.server.received(30).size(), 1);

        // The Watch button watches the selected row, whatever its seats.
        const auto* other = &h.scenario.tables().at(2);
        lobby->treeView()->setCurrentIndex(rowOf(lobby, qint32(other->id)));
        QTest::mouseClick(lobby->findChild<QPushButton*>(QStringLiteral("watchButton")), Qt::LeftButton);
        watch = h.server.waitForFrame(32);
        QVERIFY(watch.has_value());
        QCOMPARE(watch->reader().u32(), other->id);
    }

    void lobbyFiltersSurviveARestart()
    {
        // Money tables that are not riichi and not full.
        int expected = 0;
        for (const auto& t : SessionScenario::makeTables(30, 5)) {
            if (t.path == "101/Regular" && t.ruleset != 2 && t.seated != t.capacity && t.settlement != -1)
                ++expected;
        }
        QVERIFY(expected > 0);
        {
            MainWindowHarness h;
            QVERIFY(h.create());
            QVERIFY(h.start());
            QVERIFY(h.logIn());
            LobbyWindow* lobby = h.window->lobbyWindow();
            QTRY_COMPARE(lobby->treeView()->model()->rowCount(), 30);
            lobby->findChild<QCheckBox*>(QStringLiteral("riichiRules"))->setChecked(false);
            lobby->findChild<QCheckBox*>(QStringLiteral("excludeFullTablesCheckBox"))->setChecked(true);
            lobby->findChild<QCheckBox*>(QStringLiteral("freeBet"))->setChecked(false);
            QCOMPARE(lobby->treeView()->model()->rowCount(), expected);
        }
        MainWindowHarness again;
        QVERIFY(again.create());
        QVERIFY(again.start());
        QVERIFY(again.logIn());
        LobbyWindow* lobby = again.window->lobbyWindow();
        QTRY_COMPARE(again.window->lobby()->tableModel()->rowCount(), 35);
        QCOMPARE(lobby->treeView()->model()->rowCount(), expected);
        QVERIFY(!lobby->findChild<QCheckBox*>(QStringLiteral("riichiRules"))->isChecked());
        QVERIFY(lobby->findChild<QCheckBox*>(QStringLiteral("excludeFullTablesCheckBox"))->isChecked());
        QVERIFY(!lobby->findChild<QCheckBox*>(QStringLiteral("freeBet"))->isChecked());
        QVERIFY(lobby->findChild<QCheckBox*>(QStringLiteral("moneyBet"))->isChecked());
    }

    void joinRefusals_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("box");
        QTest::newRow("error") << 0 << QStringLiteral("Join Failed|Join Error");
        QTest::newRow("full") << 1 << QStringLiteral("Join Failed|Table Full");
        QTest::newRow("in play") << 2 << QStringLiteral("Join Failed|Table In Play");
        QTest::newRow("same address")
            << 4 << QStringLiteral("Join Failed|A player with the same IP address as you has already joined the "
                                   "table.\nPlease contact the support to remedy the situation.");
    }

    void joinRefusals()
    {
        QFETCH(int, code);
        QFETCH(QString, box);
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        QTRY_COMPARE(h.window->lobby()->tableModel()->rowCount(), 35);
        QSignalSpy failed(&h.window->connection(), &ConnectionManager::joinFailed);
        // The wire carries the reason plus one.
        h.scenario.setJoinAnswer(code + 1);
        h.window->joinTable(710 + code, true);
        QVERIFY(failed.wait(5000));
        QCOMPARE(h.boxes(), QStringList{box});
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void fullScreenToggle()
    {
        MainWindowHarness h;
        QVERIFY(h.create());
        h.window->show();
        QSignalSpy text(h.window.get(), &MainWindow::setToggleWindowedText);
        h.window->toggleWindowed();
        h.window->toggleWindowed();
        QCOMPARE(text.size(), 2);
        QCOMPARE(text.at(0).first().toString(), QStringLiteral("Windowed"));
        QCOMPARE(text.at(1).first().toString(), QStringLiteral("Fullscreen"));
        QCOMPARE(h.window->view().toggleFullscreenButton->text(), QStringLiteral("Fullscreen"));
        // A lobby as wide as a large screen gives the room to its tabs, not to empty margins.
        QVERIFY(h.start() && h.logIn());
        h.window->activateWindow(); // Ctrl+F each time: the key outlasts the button's new texts
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        for (int i = 3; i <= 4; ++i) {
            QTest::keyClick(h.window.get(), Qt::Key_F, Qt::ControlModifier);
            QTRY_COMPARE(text.size(), i);
        }
        h.window->resize(1920, 1080);
        QTRY_VERIFY(h.window->view().mainTabs->width() > 1920 / 2);
        // Closing in full screen keeps the last windowed size.
        h.window->resize(1100, 800);
        h.window->toggleWindowed();
        h.window.reset();
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("game/windowFullscreen")).toBool(), true);
        QVERIFY(!settings.contains(QStringLiteral("game/windowSize")));
    }

    void quickJoinOnTheWaitingListIsCancelled()
    {
        MainWindowHarness h;
        QVERIFY(h.create());
        h.scenario.setQuickJoinAnswer(4);
        QVERIFY(h.start());
        QVERIFY(h.logIn());
        QVERIFY(h.waitForRequests(10));
        h.scenario.clearLog();
        // A start page's link asks for any table of a lobby path.
        h.window->onQuickJoinTable(QStringLiteral("101/Regular"));
        QVERIFY(h.waitForRequests(2));
        QCOMPARE(h.scenario.log(), (QStringList{QStringLiteral("quick join 101/Regular"),
                                                QStringLiteral("cancel quick join")}));
        QTRY_COMPARE(h.boxes(), QStringList{QStringLiteral("Join game failed!|Failed to join game.\nPlease try again "
                                                           "in a little while.\nIf problem persists please contact "
                                                           "support")});
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void earlierTablesAreAskedAboutAtOnce()
    {
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        QTRY_COMPARE(h.window->lobby()->tableModel()->rowCount(), 35);
        h.scenario.clearLog();

        // The seated notice carries its table's record just before the notice.
        SessionScenario::Table seated = h.scenario.tables().at(1); // full
        seated.name = "<b>Bold</b> table";
        QSignalSpy notice(&h.window->connection(), &ConnectionManager::notifySeated);
        h.scenario.notifySeated(seated, 2);
        QVERIFY(notice.wait(5000));
        QCOMPARE(h.boxes(), QStringList{QStringLiteral("Rejoin Table|Do you want to rejoin table <b>Bold</b> table?")});
        auto* label = h.window->findChild<ModelessMsgBox::MsgBox*>()->findChild<QLabel*>(QStringLiteral("msgBoxText"));
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // Yes joins the full table (the user sat there), it does not watch it.
        QVERIFY(h.answer(QStringLiteral("Rejoin Table"), QDialogButtonBox::Yes));
        QVERIFY(h.waitForRequests(1));
        QCOMPARE(h.scenario.log().last(), QStringLiteral("join %1 seat 255").arg(seated.id));

        // A watched table the lobby lists: asked at once too.
        QSignalSpy watching(&h.window->connection(), &ConnectionManager::notifyWatching);
        const auto& listed = h.scenario.tables().at(3);
        h.scenario.notifyWatching(listed.id);
        QVERIFY(watching.wait(5000));
        QTRY_VERIFY(h.boxes().contains(
            QStringLiteral("Watch Table|Do you want to continue watching table %1?").arg(QString::fromLatin1(listed.name))));
        QVERIFY(h.answer(QStringLiteral("Watch Table"), QDialogButtonBox::No));

        // A tournament table's seated notice asks nothing.
        SessionScenario::Table tournamentTable = h.scenario.tables().at(5);
        tournamentTable.gameType = 1;
        tournamentTable.id = 4242;
        h.scenario.notifySeated(tournamentTable, 0, 77);
        QVERIFY(notice.wait(5000));
        QTest::qWait(50);
        QVERIFY(!h.boxes().join(QLatin1Char('\n')).contains(QLatin1String("Rejoin")));

        // Four tables: a question for each; a refusal as "already seated" at one takes its place.
        QList<SessionScenario::Table> four;
        for (const auto& t : h.scenario.tables())
            if (t.gameType != 1 && four.size() < 4)
                four << t;
        for (const auto& t : four)
            h.scenario.notifySeated(t, 0);
        QTRY_COMPARE(h.boxes().filter(QStringLiteral("Rejoin Table|Do you want")).size(), 4);
        h.server.send(TestFrame(33).u32(four.last().id).u8(3));
        QTRY_VERIFY(h.boxes().contains(
            QStringLiteral("Rejoin Table|You are already seated at table %L1.\nDo you want to rejoin?").arg(four.last().id)));
        QCOMPARE(h.boxes().filter(QStringLiteral("Rejoin Table|")).size(), 4);
        // A flood of system messages keeps the newest on the screen.
        for (const char* text : {"Restart soon", "Restart soon", "Restart soon", "RESTARTING NOW - save your game"})
            h.scenario.systemMessage(text);
        QTRY_VERIFY(h.boxes().contains(QStringLiteral("System message|RESTARTING NOW - save your game")));
        QCOMPARE(h.boxes().filter(QStringLiteral("System message|")).size(), ModelessMsgBox::maxOfAKind);
    }

    void alreadySeatedAtAnUnlistedTableJoinsIt()
    {
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        QTRY_COMPARE(h.window->lobby()->tableModel()->rowCount(), 35);
        h.scenario.clearLog();
        QSignalSpy seated(&h.window->connection(), &ConnectionManager::alreadySeated);
        h.window->watchTable(31337);
        h.server.send(TestFrame(33).u32(31337).u8(3));
        QVERIFY(seated.wait(5000));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(h.boxes(),
                 QStringList{QStringLiteral("Rejoin Table|You are already seated at table 31,337.\nDo you want to rejoin?")});
        QVERIFY(h.answer(QStringLiteral("Rejoin Table"), QDialogButtonBox::Yes));
        QVERIFY(h.waitForRequests(2));
        QCOMPARE(h.scenario.log(),
                 (QStringList{QStringLiteral("watch 31337"), QStringLiteral("join 31337 seat 255")}));
    }

    void registrationLogsTheNewAccountIn()
    {
        MainWindowHarness h;
        QVERIFY(h.create(QString(), QString()));
        h.scenario.setWebPage(0, "http://127.0.0.1:1/welcome-new");
        QVERIFY(h.start());
        const MainView& ui = h.window->view();
        ui.centralWidget->setCurrentWidget(ui.createUserWidget);
        CreateUserWindow* form = ui.createUserWindow;
        form->userNameEdit()->setText(QStringLiteral("  newbie  "));
        form->emailField()->setText(QStringLiteral(" n@example.org "));
        form->passwordField()->setText(QStringLiteral("secret1"));
        form->repeatPasswordField()->setText(QStringLiteral("secret1"));
        form->ageBox()->setChecked(true);
        QVERIFY(!form->createUserButton()->isEnabled());
        form->termsBox()->setChecked(true);
        QVERIFY(form->createUserButton()->isEnabled());
        QSignalSpy success(&h.window->connection(), &ConnectionManager::loginSuccess);
        QTest::mouseClick(form->createUserButton(), Qt::LeftButton);
        QVERIFY(success.wait(5000));
        // Name and address trimmed, the password as typed, no affiliate.
        QCOMPARE(h.scenario.registrations(), QStringList{QStringLiteral("newbie|secret1|n@example.org|")});
        QCOMPARE(h.scenario.log().mid(0, 2), (QStringList{QStringLiteral("register newbie partner 4"),
                                                          QStringLiteral("login newbie secret1 partner 4")}));
        // The chat login uses the new account too.
        QCOMPARE(h.window->loginName(), QStringLiteral("newbie"));
        QCOMPARE(h.window->loginPassword(), QStringLiteral("secret1"));
        QVERIFY(form->isRegistered());
        // The page for new accounts is asked for after the login.
        QVERIFY(h.waitForRequests(12));
        QCOMPARE(h.scenario.log().at(11), QStringLiteral("page 0"));
    }

    void registrationRefused()
    {
        MainWindowHarness h;
        QVERIFY(h.create(QString(), QString()));
        h.scenario.setRegistrationFailure(2);
        QVERIFY(h.start());
        CreateUserWindow* form = h.window->view().createUserWindow;
        form->userNameEdit()->setText(QStringLiteral("taken"));
        form->emailField()->setText(QStringLiteral("t@example.org"));
        form->passwordField()->setText(QStringLiteral("secret1"));
        form->repeatPasswordField()->setText(QStringLiteral("secret1"));
        form->ageBox()->setChecked(true);
        form->termsBox()->setChecked(true);
        MessageBoxWatcher watcher;
        QSignalSpy failed(&h.window->connection(), &ConnectionManager::registerUserFailed);
        form->createUserButton()->click();
        QVERIFY(!form->userNameEdit()->isEnabled());
        QVERIFY(failed.wait(5000));
        QTRY_COMPARE(watcher.seen, QStringList{QStringLiteral("Register User|User name already in use")});
        QTRY_VERIFY(form->userNameEdit()->isEnabled());
        QVERIFY(form->createUserButton()->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(h.scenario.log(), QStringList{QStringLiteral("register taken partner 4")});
    }

    void quitQuestionAnsweredNo()
    {
        MainWindowHarness h;
        QVERIFY(h.create());
        h.window->show();
        // The window system's close only asks.
        QVERIFY(!h.window->close());
        QVERIFY(h.window->quitQuestion() != nullptr);
        QVERIFY(!h.window->close());
        QCOMPARE(h.boxes().size(), 1);
        h.answer(QStringLiteral("Quit"), QDialogButtonBox::No);
        QTRY_VERIFY(h.window->quitQuestion() == nullptr);
        QVERIFY(h.window->view().quitButton->isEnabled());
        QVERIFY(h.window->isVisible());
    }

    void byNameSlotsAreConnected_data()
    {
        // Every form with on_<child>_<signal> slots, as the logged-in window
        // holds it or as its user builds it.
        QTest::addColumn<QString>("form");
        for (const char* form : {"MainWindow", "LoginWindow", "CreateUserWindow", "PreferencesWindow", "LobbyWindow",
                                 "TournamentsLobbyWindow", "FriendDetailWindow", "AvatarDialog", "SideBar",
                                 "TournamentWindow"})
            QTest::newRow(form) << QString::fromLatin1(form);
    }

    void byNameSlotsAreConnected()
    {
        QFETCH(QString, form);
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        std::unique_ptr<QWidget> own;
        QObject* object = nullptr;
        if (form == QLatin1String("MainWindow"))
            object = h.window.get();
        else if (form == QLatin1String("AvatarDialog"))
            own = std::make_unique<AvatarDialog>();
        else if (form == QLatin1String("SideBar"))
            own = std::make_unique<SideBar>(h.window->socialServices());
        else if (form == QLatin1String("TournamentWindow"))
            own = std::make_unique<TournamentWindow>(TournamentInfo(), h.window->socialServices());
        if (own)
            object = own.get();
        for (QObject* child : h.window->findChildren<QObject*>()) {
            if (object == nullptr && form == QLatin1String(child->metaObject()->className()))
                object = child;
        }
        QVERIFY2(object != nullptr, "form not found");

        const QMetaObject* meta = object->metaObject();
        int slots = 0;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod slot = meta->method(i);
            const QString name = QString::fromLatin1(slot.name());
            if (slot.methodType() != QMetaMethod::Slot || !name.startsWith(QLatin1String("on_")))
                continue;
            ++slots;
            const int cut = name.lastIndexOf(QLatin1Char('_'));
            const QString childName = name.mid(3, cut - 3);
            const QByteArray signalName = name.mid(cut + 1).toLatin1();
            QObject* child = object->findChild<QObject*>(childName);
            QVERIFY2(child != nullptr, qPrintable(name));
            QMetaMethod signal;
            for (int s = 0; s < child->metaObject()->methodCount(); ++s) {
                const QMetaMethod m = child->metaObject()->method(s);
                if (m.methodType() == QMetaMethod::Signal && m.name() == signalName
                    && QMetaObject::checkConnectArgs(m, slot))
                    signal = m;
            }
            QVERIFY2(signal.isValid(), qPrintable(name));
            QVERIFY2(SignalPeek::connected(child, signal), qPrintable(name + QLatin1String(" not connected")));
        }
        QVERIFY(slots > 0);
    }

    void endsOfASession_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");
        QTest::newRow("forced logout") << QStringLiteral("forced") << 1;
        QTest::newRow("server closes") << QStringLiteral("close") << 1;
        // The system's requests end it as Quit does.
        QTest::newRow("SIGTERM") << QStringLiteral("SIGTERM") << 0;
        QTest::newRow("SIGINT") << QStringLiteral("SIGINT") << 0;
        // Last: quitting ends the application's life cycle.
        QTest::newRow("quit") << QStringLiteral("quit") << 0;
    }

    void endsOfASession()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        QSignalSpy disconnected(&h.window->connection(), &ConnectionManager::disconnected);
        const int result = exitCodeOf([&] {
            if (how == QLatin1String("quit")) {
                QPushButton* quit = h.window->view().quitButton;
                QTest::mouseClick(quit, Qt::LeftButton);
                // A second click while the question is open asks nothing more.
                QTest::mouseClick(quit, Qt::LeftButton);
                QCOMPARE(h.boxes(), QStringList{QStringLiteral("Quit|Are you sure you want to quit?")});
                QVERIFY(!quit->isEnabled());
                ModelessMsgBox::MsgBox* box = h.window->quitQuestion();
                QTRY_VERIFY(box->buttonBox()->button(QDialogButtonBox::Yes)->isEnabled());
                QTest::mouseClick(box->buttonBox()->button(QDialogButtonBox::Yes), Qt::LeftButton);
            } else if (how.startsWith(QLatin1String("SIG"))) {
                QVERIFY(QuitSignals::install());
                ::kill(::getpid(), how == QLatin1String("SIGTERM") ? SIGTERM : SIGINT);
            } else if (how == QLatin1String("forced")) {
                h.scenario.forceLogout();
            } else {
                h.scenario.closeConnection();
            }
        });
        QuitSignals::finished();
        QCOMPARE(result, code);
        if (code == 0) {
            // Quitting logs out.
            QVERIFY(h.server.waitForFrame(12).has_value());
        }
        if (how == QLatin1String("forced")) {
            // Nothing more goes out, no logout that would end the account's
            // other session; the connection that closes after it reports nothing more.
            QVERIFY(!h.window->view().centralWidget->isVisible());
            QTest::qWait(100);
            QVERIFY(!h.scenario.log().contains(QStringLiteral("logout")));
            h.scenario.closeConnection();
            QTest::qWait(100);
            QCOMPARE(disconnected.size(), 0);
            QTest::qWait(ServerTime::replyTimeout + ServerTime::pingInterval + 1000);
            QVERIFY(h.window->view().silenceNotice->isHidden());
        }
        if (how == QLatin1String("close")) {
            // A request after the close writes nothing: no write error over the explanation.
            QSignalSpy failed(&h.window->connection(), &ConnectionManager::exceptionCaught);
            QTest::mouseClick(h.window->view().accountButton, Qt::LeftButton);
            QTest::qWait(100);
            QCOMPARE(failed.size(), 0);
        }
    }

};

int main(int argc, char** argv)
{
    WebSchemes::registerSchemes();
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
    QCoreApplication::setApplicationName(QStringLiteral("Zephyrtangle-parlor7-test"));
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
