// Tables through the real main window: the test game server plays the
// session and a table (or a tournament seating). A join reaches the wire
// once, the joined table gets its page and its button in the top bar, the
// buttons switch between the lobby and the table, the own seat is published
// for friends, a left table takes its page and button away, and a link gone
// silent at a table is told without taking the keys of a claim or of a field
// being typed in, then ends the run.
#include "CommandLine.h"
#include "GameController.h"
#include "GameModel.h"
#include "GameWindow.h"
#include "HandView.h"
#include "HandScenario.h"
#include "LogCapture.h"
#include "SeatedWindow.h"
#include "SideBar.h"
#include "WatchingWindow.h"
#include "../protocol/game_test_frames.h"
#include "MainWindowHarness.h"
#include "SelectorButton.h"
#include "ServerTime.h"
#include "TableModel.h"
#include "TableSelector.h"
#include "TileGraphics.h"
#include "TournamentScenario.h"
#include "LobbyController.h"
#include "MeldAuction.h"
#include "MeldChoice.h"
#include "RoundScoreBoard.h"
#include "ScoreBoard.h"
#include "UPushButton.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTimer>

namespace {

const qint32 Table = qint32(HandScenario::tableFor(0));

QByteArray joinBody(quint32 table)
{
    // Seat -1 (no preference), an empty parameter list.
    return TestFrame(30).u32(table).u8(0xFF).u32(0).body();
}

qint32 shownTable(const MainView& ui)
{
    auto* page = qobject_cast<GameWindow*>(ui.loggedInStack->currentWidget());
    return page == nullptr ? -1 : page->tableInfo().tableId;
}

}

class TestMainWindowTables : public QObject
{
    Q_OBJECT

    /// A logged-in window whose server plays a table of the given kind.
    bool startSession(MainWindowHarness& h, std::unique_ptr<HandScenario>& hand, HandScenario::Kind kind)
    {
        if (!h.create())
            return false;
        // Table requests and the lobby go to the table's script, the rest of
        // the session to the session scenario.
        hand = std::make_unique<HandScenario>(h.server, kind, 0);
        return h.start() && h.logIn();
    }

private Q_SLOTS:
    void initTestCase()
    {
        setupSearchPaths({});
        qRegisterMetaType<GameWindow*>();
        TileGraphics& tiles = TileGraphics::instance();
        tiles.setTiles(0, 0);
        QVERIFY(QTest::qWaitFor([&] { return !tiles.isRendering(); }, 20000));
    }

    void init() { MainWindowHarness::resetState(); }

    void joinedTableGetsAPage()
    {
        MainWindowHarness h;
        std::unique_ptr<HandScenario> hand;
        QVERIFY(startSession(h, hand, HandScenario::Kind::Hand));
        const MainView& ui = h.window->view();
        QTRY_VERIFY(h.window->lobby()->tableModel()->hasTableInfo(Table));
        h.server.clearReceived();

        h.window->joinTable(Table);
        QTRY_COMPARE(shownTable(ui), Table);
        QCOMPARE(h.server.received(30).size(), 1);
        QCOMPARE(h.server.received(30).first().body, joinBody(quint32(Table)));
        QCOMPARE(ui.tableSelector->activeTable(), Table);
        QVERIFY(ui.tableSelector->button(Table) != nullptr);
        QVERIFY(ui.tableSelector->button(Table)->toolTip().contains(QStringLiteral("Classic")));
        // The table's state has come: the join's wait cursor is gone.
        QTRY_VERIFY(QApplication::overrideCursor() == nullptr);
        // Once seated (ready), friends see where the player sits.
        GameModel* model = h.window->games()->gameModel(Table);
        QVERIFY(model != nullptr);
        QVERIFY(h.window->tablePresence().publishedPath(model).isEmpty());
        // The user takes the seat with the seated dialog's Play button.
        auto* page = qobject_cast<GameWindow*>(ui.loggedInStack->currentWidget());
        QTRY_VERIFY(page->findChild<SeatedWindow*>() != nullptr && page->findChild<SeatedWindow*>()->isVisible());
        page->findChild<SeatedWindow*>()->playButton()->click();
        QTRY_COMPARE(h.window->tablePresence().publishedPath(model), QStringLiteral("101/Regular/%1").arg(Table));

        // A watched table closed while this one asks for a claim: the asking table comes back, not the lobby.
        QTRY_VERIFY(page->meldAuction()->isVisible());
        const qint32 watchedId = qint32(HandScenario::tableFor(1));
        h.window->watchTable(watchedId);
        QTRY_COMPARE(shownTable(ui), watchedId);
        QVERIFY(ui.tableSelector->button(Table)->asksForAttention());
        QVERIFY(!ui.tableSelector->button(watchedId)->asksForAttention()); // a watched table asks nothing
        auto* watched = qobject_cast<GameWindow*>(ui.loggedInStack->currentWidget());
        QTRY_VERIFY(watched->watchingWindow()->isVisible());
        QCOMPARE(watched->watchingWindow()->infoLabel()->text(),
                 QStringLiteral("If you want to watch the game, just wait until it starts."));
        // Its game's last hand washes out: no game is to come there.
        h.server.send(gtf::game(quint32(watchedId), gtf::handEnd(1, {}, 6, 1)));
        QTRY_COMPARE(watched->watchingWindow()->infoLabel()->text(),
                     QStringLiteral("The game is over and this table has closed."));
        QVERIFY(watched->watchingWindow()->isVisible());
        QTest::mouseClick(watched->watchingWindow()->findChild<QPushButton*>(QStringLiteral("leaveButton")),
                          Qt::LeftButton);
        QTRY_VERIFY(ui.tableSelector->button(watchedId) == nullptr);
        QCOMPARE(shownTable(ui), Table);

        // The Lobby button and the table's button switch the pages.
        ui.tableSelector->lobbyButton()->click();
        QCOMPARE(ui.loggedInStack->currentWidget(), ui.lobbyWidget);
        QCOMPARE(ui.tableSelector->activeTable(), -1);
        ui.tableSelector->button(Table)->click();
        QCOMPARE(shownTable(ui), Table);

        // Asking for an open table again only shows it.
        ui.tableSelector->lobbyButton()->click();
        h.server.clearReceived();
        h.window->joinTable(Table);
        h.window->watchTable(Table);
        QCOMPARE(shownTable(ui), Table);
        QTest::qWait(50);
        QVERIFY(h.server.received(30).isEmpty());
        QVERIFY(h.server.received(32).isEmpty());
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // Leaving: the page goes, the lobby comes back, the button goes.
        QSignalSpy destroyed(h.window->games(), &GameController::tableViewDestroyed);
        h.window->connection().leave_table(Table);
        QVERIFY(destroyed.wait(5000));
        QCOMPARE(ui.loggedInStack->currentWidget(), ui.lobbyWidget);
        QCOMPARE(ui.tableSelector->activeTable(), -1);
        QVERIFY(ui.tableSelector->button(Table) == nullptr);
        QTRY_COMPARE(ui.loggedInStack->count(), 1);
        QVERIFY(!h.window->games()->hasTable(Table));
    }

    void watchedTableGetsAPage()
    {
        MainWindowHarness h;
        h.viaProxy = true;
        std::unique_ptr<HandScenario> hand;
        QVERIFY(startSession(h, hand, HandScenario::Kind::Hand));
        const MainView& ui = h.window->view();
        const qint32 table = qint32(HandScenario::tableFor(1));
        QTRY_VERIFY(h.window->lobby()->tableModel()->hasTableInfo(table));
        h.server.clearReceived();
        h.window->watchTable(table);
        QTRY_COMPARE(shownTable(ui), table);
        QCOMPARE(h.server.received(32).size(), 1);
        QCOMPARE(h.server.received(32).first().body, TestFrame(32).u32(quint32(table)).body());
        QVERIFY(h.server.received(30).isEmpty());
        QCOMPARE(ui.tableSelector->activeTable(), table);
        QTRY_VERIFY(QApplication::overrideCursor() == nullptr);
        // A watcher is not seated: nothing is published.
        QVERIFY(h.window->tablePresence().publishedPath(h.window->games()->gameModel(table)).isEmpty());

        // Seated at another table with a claim offered, the link goes silent
        // both ways: the player is told when the clock's answer is missed, in
        // a strip that leaves the chooser its keys; the notice goes when the
        // server answers again, which then has the claim. A silence that
        // lasts ends the run: the server stopped answering.
        hand->setTimeLimits(60000, 60000);
        h.window->joinTable(Table);
        QTRY_COMPARE(shownTable(ui), Table);
        auto* page = qobject_cast<GameWindow*>(ui.loggedInStack->currentWidget());
        QTRY_VERIFY(page->seatedWindow()->isVisible());
        QTest::mouseClick(page->seatedWindow()->playButton(), Qt::LeftButton);
        QTRY_VERIFY(page->meldAuction()->isVisible());
        // A quick seat's table joined meanwhile: the claim stays in sight, the strip marks the table.
        const quint32 seat = HandScenario::tableFor(2);
        h.server.onRequest(30, [&h](const ReceivedFrame& f) { h.server.send(TestFrame(31).u32(f.reader().u32()).u8(1).u8(0).u32(0)); });
        h.server.send(TestFrame(174).u32(0).u32(seat).u8(0));
        QTRY_VERIFY(ui.tableSelector->button(qint32(seat)) && ui.tableSelector->button(qint32(seat))->asksForAttention());
        QCOMPARE(shownTable(ui), Table);
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        h.proxy->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!ui.silenceNotice->isHidden() && h.boxes().isEmpty(),
                                 ServerTime::replyTimeout + ServerTime::pingInterval + 2000);
        QTest::keySequence(QApplication::focusWidget(), page->meldAuction()->choices().front()->key());
        QTRY_VERIFY(page->meldAuction()->isHidden());
        h.proxy->resume();
        QTRY_VERIFY_WITH_TIMEOUT(ui.silenceNotice->isHidden(), 2000);
        QTRY_COMPARE(hand->waitingFor(), QStringLiteral("discard after the chow"));
        // What the player types in the lobby meanwhile stays where it is typed.
        QTest::mouseClick(ui.tableSelector->lobbyButton(), Qt::LeftButton);
        auto* search = h.window->findChild<QLineEdit*>(QStringLiteral("freeTextSearch"));
        QTest::mouseClick(search, Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Fo"));
        LogCapture log;
        h.proxy->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!ui.silenceNotice->isHidden(), ServerTime::replyTimeout + ServerTime::pingInterval + 2000);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ur"));
        QCOMPARE(search->text(), QStringLiteral("Four"));
        QObject goal;
        QTimer::singleShot(35000, &goal, [] { QCoreApplication::exit(-99); });
        QCOMPARE(QCoreApplication::exec(), 1);
        QCOMPARE(log.lines(QtCriticalMsg), QStringList{QStringLiteral("The server stopped answering")});
    }

    void tournamentSeating_data()
    {
        QTest::addColumn<bool>("show");
        QTest::addColumn<bool>("nextRound"); // the next round seats the user before an answer
        QTest::newRow("shown") << true << false;
        QTest::newRow("later") << false << false;
        QTest::newRow("next round first") << false << true;
    }

    void tournamentSeating()
    {
        QFETCH(bool, show);
        QFETCH(bool, nextRound);
        MainWindowHarness h;
        std::unique_ptr<HandScenario> hand;
        QVERIFY(startSession(h, hand, HandScenario::Kind::Tournament));
        if (!show)
            hand->setTimeLimits(200, 200); // unanswered, the server plays the round out
        const MainView& ui = h.window->view();
        const qint32 table = qint32(HandScenario::tournamentTable);
        // The tournaments lobby lists the tournament: its name titles the question.
        const QString title = QStringLiteral("New tournament round - Spring cup");
        QTRY_VERIFY(h.boxes().contains(
            title + QStringLiteral("|You have been assigned to tournament table %1. Show now?").arg(table)));
        QVERIFY(h.window->games()->hasTable(table));
        QCOMPARE(ui.loggedInStack->currentWidget(), ui.lobbyWidget);
        QVERIFY(ui.tableSelector->button(table) != nullptr);
        if (nextRound) {
            // The round ends unanswered; the next round's question takes the place of the old one.
            QPointer<QWidget> first;
            for (auto* box : h.window->findChildren<ModelessMsgBox::MsgBox*>())
                if (box->windowTitle() == title)
                    first = box;
            QVERIFY(first);
            QTRY_COMPARE_WITH_TIMEOUT(hand->waitingFor(), QStringLiteral("join"), 20000);
            h.server.send(TournamentFrames::seated(HandScenario::tournamentId, quint32(table), 0));
            QTRY_VERIFY(!first);
            QCOMPARE(h.boxes().filter(title).size(), 1);
        }

        QVERIFY(h.answer(title, show ? QDialogButtonBox::Yes : QDialogButtonBox::No));
        QCOMPARE(shownTable(ui), show ? table : -1);
        QCOMPARE(ui.tableSelector->activeTable(), show ? table : -1);
        if (show) {
            // Leaving in the hand names where the table opens again: the lobby does not list it.
            auto* page = qobject_cast<GameWindow*>(ui.loggedInStack->currentWidget());
            QTRY_VERIFY(page->meldAuction()->isVisible());
            QCOMPARE(h.server.received(30).size(), 1); // the seat notice after the join is no seating
            // The round's board shows the standings: a change of the tournament asks for them anew.
            h.server.clearReceived();
            h.server.send(TournamentFrames::update(HandScenario::tournamentId, {TournamentFrames::num("REGISTERED", 9)}));
            QTRY_COMPARE(h.server.received(104).size(), 1);
            QTest::mouseClick(page->sideBar()->findChild<QPushButton*>(QStringLiteral("leaveButton")), Qt::LeftButton);
            QTRY_VERIFY(h.boxes().filter(QStringLiteral("Leave Table|")).size() == 1);
            QVERIFY(h.boxes().filter(QStringLiteral("Leave Table|")).first().endsWith(
                QStringLiteral("opened again from its tournament on the Tournaments tab.")));
            // The program ends and starts again: the round continues after the login, the
            // table laid out as the player's own with the offer still open.
            QVERIFY(h.restart());
            const QString again = QStringLiteral("Continuing tournament round - Spring cup");
            QTRY_VERIFY_WITH_TIMEOUT(!h.boxes().filter(again).isEmpty(), 10000);
            QVERIFY(h.answer(again, QDialogButtonBox::Yes));
            QTRY_COMPARE(shownTable(h.window->view()), table);
            page = qobject_cast<GameWindow*>(h.window->view().loggedInStack->currentWidget());
            QTRY_VERIFY(page->meldAuction()->isVisible());
            QCOMPARE(h.server.received(30).size(), 1);
            QCOMPARE(page->orientationOf(qint32(HandScenario::ownId)), 0);
            QVERIFY(page->handView()->isVisible());
        }
        // The window goes with the table still open; its page and the chat
        // areas go before what they point to.
    }

    void developerPreviewSendsNothing()
    {
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        QVERIFY(h.waitForRequests(10));
        h.server.clearReceived();
        QTest::keyClick(h.window.get(), Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
        QTRY_VERIFY(h.window->findChild<ScoreBoard*>() != nullptr);
        QVERIFY(h.window->findChild<ScoreBoard*>()->isVisible());
        auto* auction = h.window->findChild<MeldAuction*>();
        QVERIFY(auction != nullptr && auction->isVisible());
        QCOMPARE(int(auction->choices().size()), 3);
        QVERIFY(auction->passButton()->isVisible());
        QVERIFY(auction->closeButton()->isVisible());
        auto* round = h.window->findChild<RoundScoreBoard*>();
        QVERIFY(round != nullptr && round->isVisible());
        QCOMPARE(round->panels().size(), 3);
        QTest::qWait(50);
        QVERIFY(h.server.received().isEmpty());
    }
};

QTEST_MAIN(TestMainWindowTables)
#include "tst_mainwindow_tables.moc"
