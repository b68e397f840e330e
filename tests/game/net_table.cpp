// Tables played end to end: the test game server's hand scenarios, a real
// ConnectionManager, the lobby's TableModel and the GameController with its
// windows (not on screen). The test plays the user: it presses the seat
// dialog's and the boards' buttons but claims and discards through the
// window's slots, and checks the requests on the wire byte by byte and
// what the window shows.

#include "ActionQueue.h"
#include "ConnectionManager.h"
#include "DeclaredView.h"
#include "DiscardView.h"
#include "GameController.h"
#include "GameModel.h"
#include "GameWindow.h"
#include "HandScenario.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "MeldAuction.h"
#include "ModelessMsgBox.h"
#include "PlayerActionView.h"
#include "ProtocolValues.h"
#include "RandomTable.h"
#include "RiichiStickView.h"
#include "RoundScoreBoard.h"
#include "ScoreBoard.h"
#include "SeatedWindow.h"
#include "TableModel.h"
#include "TestGameServer.h"
#include "TournamentScenario.h"
#include "TileView.h"
#include "SideBar.h"
#include "TimerView.h"
#include "MeldView.h"
#include "../protocol/game_test_frames.h"
#include "ViewTestSupport.h"
#include "WashoutWindow.h"
#include "WatchingWindow.h"
#include "WindView.h"
#include "TableWall.h"
#include "WallLayout.h"
#include "WallView.h"
#include "table_request_handler.h"

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QLineF>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr quint32 own = HandScenario::ownId;

/// A game action as the client must send it, written out with the test encoder.
QByteArray action(quint32 table, const TestFrame& inner, quint32 player = own)
{
    return TestFrame(100).u32(table).u32(player).nested(inner).body();
}

QList<QByteArray> bodies(const QList<ReceivedFrame>& frames)
{
    QList<QByteArray> out;
    for (const ReceivedFrame& f : frames)
        out << f.body;
    return out;
}

} // namespace

class NetTable : public QObject
{
    Q_OBJECT

    QWidget parent;
    std::unique_ptr<TestGameServer> server;
    std::unique_ptr<HandScenario> scenario;
    std::unique_ptr<ConnectionManager> cm;
    std::unique_ptr<TableModel> tables;
    std::unique_ptr<GameController> gc;
    QStringList unexpected;

    void start(HandScenario::Kind kind, quint16 kickReason = 1)
    {
        server = std::make_unique<TestGameServer>();
        QVERIFY(server->listen());
        scenario = std::make_unique<HandScenario>(*server, kind, 0, kickReason);
        connect(scenario.get(), &HandScenario::unexpected, this, [this](const QString& line) { unexpected << line; });
        cm = std::make_unique<ConnectionManager>(false);
        tables = std::make_unique<TableModel>(cm.get());
        connect(cm.get(), qOverload<TableInfo>(&ConnectionManager::tableInfoUpdate), tables.get(),
                &TableModel::addOrUpdateTable);
        gc = std::make_unique<GameController>(cm.get(), nullptr, nullptr, &parent);
        gc->setPlayerId(qint32(own));
        gc->setPlayerName(QStringLiteral("me"));
        gc->setTableModel(tables.get());
        QSignalSpy ready(cm.get(), &ConnectionManager::versionCheckComplete);
        cm->connectToHost(QStringLiteral("127.0.0.1"), server->port());
        QVERIFY(ready.wait(5000) || ready.count() == 1);
        tables->subscribe(QStringLiteral("101/Regular"));
        QTRY_VERIFY(tables->hasTableInfo(qint32(HandScenario::tableFor(2))));
    }

    GameWindow* join(quint32 table)
    {
        QSignalSpy created(gc.get(), &GameController::tableViewCreated);
        cm->join_table(qint32(table));
        if (!created.wait(5000) && created.isEmpty())
            return nullptr;
        GameWindow* w = gc->existingView(qint32(table));
        if (w)
            w->resize(1024, 768);
        return w;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<GameWindow*>();
        QVERIFY(ViewTestSupport::prepareTiles());
        QSettings().setValue(QStringLiteral("game/animations"), true);
        QSettings().setValue(QStringLiteral("game/autoPass"), true);
    }

    void cleanup()
    {
        if (gc)
            for (quint32 t : {511u, 512u, 513u, 601u})
                if (gc->hasTable(qint32(t)))
                    gc->leaveSuccessful(qint32(t));
        gc.reset();
        if (tables)
            tables->unsubscribe(QStringLiteral("101/Regular"));
        tables.reset();
        cm.reset();
        scenario.reset();
        server.reset();
        // The server takes only what the client may send.
        const QStringList lines = std::exchange(unexpected, {});
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
    }

    void wholeHand_data()
    {
        QTest::addColumn<int>("ruleset");
        QTest::newRow("classic") << 0;
        QTest::newRow("international") << 1;
        QTest::newRow("riichi") << 2;
    }

    void wholeHand()
    {
        QFETCH(int, ruleset);
        start(HandScenario::Kind::Hand);
        const quint32 table = HandScenario::tableFor(ruleset);
        QSignalSpy joined(gc.get(), &GameController::regularTableJoined);
        QSignalSpy modelMade(gc.get(), &GameController::gameModelCreated);
        GameWindow* w = join(table);
        QVERIFY(w);
        QCOMPARE(joined.count(), 1);
        QCOMPARE(modelMade.count(), 1); // the model before the window
        GameModel* model = gc->gameModel(qint32(table));

        // --- the snapshot seats the user; the seated dialog asks to play
        QTRY_VERIFY(w->seatedWindow()->isVisibleTo(w));
        QCOMPARE(model->playerState(), GameModel::SEAT_OFFERED);
        QTest::mouseClick(w->seatedWindow()->playButton(), Qt::LeftButton);
        QTRY_VERIFY(server->received(100).size() >= 1);
        QCOMPARE(server->received(100).first().body, action(table, TestFrame(54).u32(own)));

        // --- hand start, deal, and a claim offer on East's discard
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("chow or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisibleTo(w));
        QCOMPARE(w->handView()->tiles().size(), std::size_t(13));
        QCOMPARE(model->player(own)->wind(), game_protocol::wind::SOUTH);
        QCOMPARE(w->seatPlayer(0)->id(), qint32(own));
        QCOMPARE(w->seatPlayer(3)->id(), qint32(HandScenario::eastId)); // East on the user's left

        // --- past the rules' limits, dropped: a draw, bonus tiles, a hand, a regular table's round end, pongs
        TestFrame draw(24), bonus(29), hand(38), flood = TestFrame(34).u32(3000);
        server->send(gtf::game(table, gtf::tiles(draw, QList<quint8>(20000, 3)).u8(0)));
        server->send(gtf::game(table, gtf::tiles(bonus, QList<quint8>(9, 34)).u32(HandScenario::northId)));
        server->send(gtf::game(table, TestFrame(28).u8(200).u8(0).u32(HandScenario::eastId)));
        server->send(gtf::game(table, gtf::tiles(hand, QList<quint8>(200000, 3)).u8(1).u8(0)));
        server->send(TournamentFrames::roundScores(0xFFFFFFFF, table, true, {{own, 1, 2}}));
        for (int i = 0; i < 3000; ++i)
            flood.u8(meldTypeToWire(game_protocol::meld_type::PONG)).u8(quint8(i % 42));
        server->send(gtf::game(table, gtf::span(flood, 0, quint64(QDateTime::currentMSecsSinceEpoch()) + 20000)));
        QTRY_COMPARE(w->meldAuction()->findChild<QPushButton*>("meldChoiceButton")->text(), QStringLiteral("Pong"));
        QCOMPARE(w->meldAuction()->choices().size(), std::size_t(1)); // the pong of the discard
        QVERIFY(w->rect().contains(w->meldAuction()->geometry())); // Pass within reach
        w->flushActions();
        QCOMPARE(w->handView()->tiles().size(), std::size_t(13));
        QVERIFY(w->declaredView(w->orientationOf(qint32(HandScenario::northId)))->melds().empty());
        QVERIFY(!w->roundScoreBoard()->isVisibleTo(w) && model->isInPlay());
        w->onMeldSelected(meld_offer{game_protocol::meld_type::CHOW, tile(3)});
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("discard after the chow"));
        QTRY_COMPARE(server->received(100).last().body, action(table, TestFrame(47).u8(3).u32(own)));
        QTRY_VERIFY(w->handView()->isActive());

        // --- the own discard: shown at once, one request, no second animation
        w->flushActions();
        const int before = w->discardView(0)->count();
        const int sent = server->received(100).size();
        w->onTileClick(tile(27));
        QVERIFY(w->actionQueue()->isBusy()); // moving before any answer
        QTRY_COMPARE(server->received(100).size(), sent + 1);
        QCOMPARE(server->received(100).last().body, action(table, TestFrame(56).u8(27)));
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("pong or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisibleTo(w));
        w->flushActions();
        QCOMPARE(w->discardView(0)->count(), before + 1);

        // --- a pass, then the rest of the hand runs to a scored end
        w->onPassMeldSelected();
        // (automatic passes on later discards may follow it at once)
        QTRY_COMPARE(bodies(server->received(100)).count(action(table, TestFrame(52).u32(own).u8(0))), 1);
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("discard after the draw"));
        QTRY_VERIFY(w->handView()->isActive());
        w->flushActions();
        const tile drawn = ruleset == 2 ? tile(22) : tile(23);
        w->onTileClick(drawn);
        QTRY_VERIFY(w->scoreBoard()->isVisibleTo(w));
        QVERIFY(w->claimImage(w->orientationOf(qint32(HandScenario::westId)))->isVisible());
        // the automatic passes when nothing could be claimed
        QTRY_VERIFY(bodies(server->received(100)).contains(action(table, TestFrame(52).u32(own).u8(1))));
        QCOMPARE(bodies(server->received(100)).count(action(table, TestFrame(56).u8(27))), 1);

        // --- what the table shows agrees with the model
        w->flushActions();
        for (int o = 1; o < 4; ++o)
            QCOMPARE(w->hiddenHand(o)->count(), w->seatPlayer(o)->tileCount());
        QCOMPARE(w->declaredView(0)->melds().size(), std::size_t(1)); // the chow
        const int west = w->orientationOf(qint32(HandScenario::westId));
        const int north = w->orientationOf(qint32(HandScenario::northId));
        QCOMPARE(w->declaredView(west)->melds().size(), std::size_t(1)); // the concealed kong
        if (ruleset == 2) {
            QVERIFY(w->riichiSticks(north)->isVisible());
            QVERIFY(w->discardView(north)->riichiIndex() != -1);
        } else {
            QVERIFY(!w->declaredView(north)->melds().empty()); // the flower
        }

        // --- the next hand washes out and ends the game
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("ready"));
        QTest::mouseClick(w->scoreBoard()->findChild<QPushButton*>(QStringLiteral("readyPushButton")), Qt::LeftButton);
        QTRY_VERIFY(w->washoutWindow()->isVisibleTo(w));
        QTRY_VERIFY(scenario->isFinished());
        QVERIFY(!model->gameInProgress());
    }

    void randomTable_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<QString>("script"); // played before 150 random steps, or alone
        for (quint32 seed = 1; seed <= 6; ++seed)
            QTest::addRow("seed %u", seed) << seed << QString();
        // Stopped with the table's offers coming in: those over by the server's clock, or ended by an event
        // later in the backlog, get no automatic pass; the one still open after it gets one.
        QTest::newRow("a tournament evening") << 7u << "round"; // the server seats the user, round by round
        QTest::newRow("a backlog of expired questions replayed after a stop")
            << 0u << "draw { discard:stale draw timeout draw discard:empty claim discard:stale } draw discard:empty";
    }
    void randomTable()
    {
        QFETCH(quint32, seed);
        QFETCH(QString, script);
        RandomTable t(seed, script == "round");
        t.run((script == "round" ? QStringList() : QStringList{"join", "play", "deal"}) + script.split(QLatin1Char(' '), Qt::SkipEmptyParts),
              script.isEmpty() || script == "round" ? 150 : 0);
        QVERIFY2(t.faults.isEmpty(), qPrintable(t.faults.join(QLatin1Char('\n'))));
    }

    void eventsForTablesNotOpenAreDropped()
    {
        start(HandScenario::Kind::Washout);
        scenario->setTimeLimits(15000, 20000, 5000);
        QSignalSpy errors(cm.get(), &ConnectionManager::exceptionCaught);
        GameWindow* w = join(HandScenario::tableFor(0));
        QVERIFY(w);
        // The server still talks about a table the client never opened.
        QSignalSpy offers(cm.get(), &ConnectionManager::meldSuggestion);
        QTest::ignoreMessage(QtWarningMsg, "discard for table 999, which is not open; dropped");
        QTest::ignoreMessage(QtWarningMsg, "claim offer for table 999, which is not open; dropped");
        server->send(TestFrame(100).u32(999).u32(0).nested(TestFrame(33).u8(3).u32(HandScenario::eastId)));
        TestFrame offer(34);
        offer.u32(0).u64(0).u64(0);
        server->send(TestFrame(100).u32(999).u32(0).nested(offer));
        QVERIFY(offers.wait(5000) || offers.count() == 1);
        // ... and the open table goes on
        QVERIFY(w->seatedWindow()->isVisibleTo(w));
        QCOMPARE(errors.count(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(w->watchingWindow()->isVisibleTo(w), 15000); // no Play: unseated, may join again
        QTest::mouseClick(w->watchingWindow()->joinButton(), Qt::LeftButton);
        QTRY_VERIFY(w->seatedWindow()->isVisibleTo(w));
    }

    void leaveDuringPlayWaitsForTheHandEnd_data()
    {
        QTest::addColumn<bool>("lastHand"); // the hand left ends the game
        QTest::addColumn<QString>("answer"); // pressed on the page opened again
        QTest::newRow("the game ends with the hand: the leave goes out") << true << QString();
        QTest::newRow("the game goes on: opened again, Ready") << false << QStringLiteral("readyPushButton");
        QTest::newRow("the game goes on: opened again, Leave") << false << QStringLiteral("leavePushButton");
    }
    void leaveDuringPlayWaitsForTheHandEnd()
    {
        QFETCH(bool, lastHand);
        QFETCH(QString, answer);
        start(lastHand ? HandScenario::Kind::Washout : HandScenario::Kind::Hand);
        // Short times: the server plays the user's turns once the page is closed.
        scenario->setTimeLimits(600, 1500);
        const quint32 table = HandScenario::tableFor(1);
        GameWindow* w = join(table);
        QVERIFY(w);
        QTRY_VERIFY(w->seatedWindow()->isVisibleTo(w));
        w->onReadyButtonClick();
        if (!lastHand) {
            // The time to claim East's discard runs out: the client sends
            // nothing (a pass of its own would come late); the server passes
            // for the user.
            QTRY_VERIFY(w->meldAuction()->isVisibleTo(w));
            QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("discard after the pass"));
            QVERIFY(!bodies(server->received(100)).contains(action(table, TestFrame(52).u32(own).u8(1))));
        } else {
            QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("discard after the draw"));
        }
        QTRY_VERIFY(gc->gameModel(qint32(table))->isInPlay()); // the frames may still be on their way

        // The user leaves in play: asked first, then only the window goes.
        QSignalSpy viewGone(gc.get(), &GameController::tableViewDestroyed);
        QSignalSpy modelGone(gc.get(), &GameController::gameModelAboutToBeDestroyed);
        QSignalSpy leave(w, &GameWindow::leave);
        w->onLeaveButtonClick();
        QCOMPARE(leave.count(), 0);
        w->onLeaveButtonClick(); // a second click opens no second question
        auto boxes = w->findChildren<MahjongDialog*>();
        auto question = std::find_if(boxes.begin(), boxes.end(), [](MahjongDialog* d) {
            return d->windowTitle() == QStringLiteral("Leave Table") && d->isVisibleTo(d->parentWidget());
        });
        QVERIFY(question != boxes.end());
        auto* box = qobject_cast<ModelessMsgBox::MsgBox*>(*question);
        QVERIFY(box);
        // ... and says that the seat stays taken meanwhile.
        auto* text = box->findChild<QLabel*>(QStringLiteral("msgBoxText"));
        QVERIFY(text && text->text().contains(QStringLiteral("You keep your seat until the game ends.")));
        box->onFinished(QDialogButtonBox::Yes);
        QCOMPARE(viewGone.count(), 1);
        QCOMPARE(modelGone.count(), 0);
        GameModel* model = gc->gameModel(qint32(table));
        // The page closed, the table still passes where there is nothing to claim (before the hand ends).
        const QByteArray passedByItself = action(table, TestFrame(52).u32(own).u8(1));
        if (lastHand) {
            // The hand ends, and with it the game: now the leave goes out.
            QVERIFY(server->waitForFrame(36, 10000));
            QVERIFY(bodies(server->received(100)).contains(passedByItself));
            QVERIFY(!model->gameInProgress());
            QCOMPARE(server->received(36).first().body, TestFrame(36).u32(table).body());
            QTRY_COMPARE(modelGone.count(), 1);
            QVERIFY(!gc->hasTable(qint32(table)));
            return;
        }
        // The hand ends, the game goes on: the seat stays, and the table
        // opens again as the model holds it.
        QTRY_COMPARE_WITH_TIMEOUT(scenario->waitingFor(), QStringLiteral("ready"), 10000);
        QVERIFY(bodies(server->received(100)).contains(passedByItself));
        QVERIFY(server->received(36).isEmpty());
        QTRY_COMPARE(model->gameState(), GameModel::GAME_HAND_ENDED); // the hand's end may still be on its way
        GameWindow* again = gc->tableView(qint32(table));
        QVERIFY(again);
        again->resize(1024, 768);
        again->flushActions();
        QCOMPARE(again->walls()->liveTiles(), model->liveWall());
        for (int o = 0; o < 4; ++o) {
            const PlayerData* p = again->seatPlayer(o);
            QVERIFY(p);
            QVERIFY(again->windView(o)->isVisible());
            QCOMPARE(again->discardView(o)->count(), int(p->discards().size()));
            QCOMPARE(again->declaredView(o)->melds().empty(), p->melds().empty());
        }
        // The hand's board with Ready and Leave; a ready question reaches it.
        for (const char* name : {"readyPushButton", "leavePushButton"})
            QVERIFY2(again->scoreBoard()->findChild<QPushButton*>(name)->isVisibleTo(again), name);
        const quint64 end = quint64(QDateTime::currentMSecsSinceEpoch()) + 45000;
        TestFrame asked(41);
        server->send(gtf::game(table, gtf::span(asked, end - 45000, end)));
        auto* countdown = again->scoreBoard()->findChild<TimerView*>(QStringLiteral("nextRoundTimer"));
        QTRY_COMPARE(quint64(countdown->deadline().toMSecsSinceEpoch()), end);
        QTest::mouseClick(again->scoreBoard()->findChild<QPushButton*>(answer), Qt::LeftButton);
        if (answer == QStringLiteral("readyPushButton")) {
            QTRY_VERIFY(scenario->isFinished()); // the ready reached the server: the next hand was played
            return;
        }
        // Leave between hands asks, then gives the seat up at once.
        QAbstractButton* yes = again->findChild<ModelessMsgBox::MsgBox*>()->buttonBox()->button(QDialogButtonBox::Yes);
        QTRY_VERIFY(yes->isEnabled());
        QTest::mouseClick(yes, Qt::LeftButton);
        QVERIFY(server->waitForFrame(36, 5000));
    }

    void claimedMeldTurnsTheClaimedTile_data()
    {
        QTest::addColumn<quint32>("discarder");
        QTest::addColumn<quint32>("claimant");
        QTest::addColumn<int>("discard");
        QTest::addColumn<int>("claimClass");
        QTest::addColumn<int>("meldTile");
        const quint32 east = HandScenario::eastId, west = HandScenario::westId, north = HandScenario::northId;
        // West plays before North (North's left), East sits across from
        // North, North plays before East... and West's right is North.
        QTest::newRow("chow of its lowest tile, from the left") << west << north << 3 << 47 << 3;
        QTest::newRow("chow of its middle tile, from the left") << west << north << 4 << 47 << 3;
        QTest::newRow("chow of its highest tile, from the left") << west << north << 5 << 47 << 3;
        QTest::newRow("pong from the left") << west << north << 18 << 48 << 18;
        QTest::newRow("pong from across") << east << north << 18 << 48 << 18;
        QTest::newRow("pong from the right") << north << west << 18 << 48 << 18;
        QTest::newRow("open kong from across") << east << north << 24 << 49 << 24;
    }
    void claimedMeldTurnsTheClaimedTile()
    {
        // Melds as the model builds them from the server's claim frames: the
        // turned tile is the discard, and it lies at the end of the row
        // nearest the player who discarded it (in the middle when across),
        // both live and after the table is built again from the model.
        QFETCH(quint32, discarder);
        QFETCH(quint32, claimant);
        QFETCH(int, discard);
        QFETCH(int, claimClass);
        QFETCH(int, meldTile);
        start(HandScenario::Kind::Hand);
        const quint32 table = HandScenario::tableFor(1);
        GameWindow* w = join(table);
        QVERIFY(w);
        QTRY_VERIFY(w->seatedWindow()->isVisibleTo(w));
        QTest::mouseClick(w->seatedWindow()->playButton(), Qt::LeftButton);
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("chow or pass"));

        server->send(gtf::game(table, TestFrame(28).u8(1).u8(0).u32(discarder)));
        server->send(gtf::game(table, TestFrame(33).u8(quint8(discard)).u32(discarder)));
        TestFrame claim{quint8(claimClass)};
        claim.u8(quint8(meldTile));
        if (claimClass == 49)
            claim.u8(0); // an open kong
        server->send(gtf::game(table, claim.u32(claimant)));
        GameModel* model = w->model();
        QTRY_VERIFY(!model->player(qint32(claimant))->melds().empty());

        const auto check = [&](GameWindow* window) {
            window->flushActions();
            const int o = window->orientationOf(qint32(claimant));
            const int from = window->orientationOf(qint32(discarder));
            QVERIFY(o >= 0 && from >= 0);
            QCOMPARE(int(window->declaredView(o)->melds().size()), 1);
            const std::vector<TileView*>& items = window->declaredView(o)->melds().front()->items();
            // The discarder's side of the table, in scene coordinates.
            const QPointF side = window->hiddenHand(from)->sceneBoundingRect().center();
            std::vector<std::pair<qreal, TileView*>> byDistance;
            for (TileView* item : items)
                byDistance.emplace_back(QLineF(item->sceneBoundingRect().center(), side).length(), item);
            std::sort(byDistance.begin(), byDistance.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            int turned = -1;
            for (std::size_t i = 0; i < byDistance.size(); ++i)
                if (byDistance[i].second->tileType() == 2) {
                    QCOMPARE(turned, -1); // one turned tile
                    turned = int(i);
                    QCOMPARE(int(byDistance[i].second->tileCode().code()), discard);
                }
            QVERIFY(turned != -1);
            const bool across = (from - o + 4) % 4 == 2;
            if (across)
                QVERIFY(turned != 0 && turned != int(byDistance.size()) - 1);
            else
                QCOMPARE(turned, 0);
        };
        check(w);
        if (QTest::currentTestFailed())
            return;
        // Built again from the model (the window closed and reopened in play).
        gc->onInPlayLeave(qint32(table));
        GameWindow* again = gc->tableView(qint32(table));
        QVERIFY(again && again != w);
        again->resize(1024, 768);
        check(again);
    }

    void watchFromTheLobby()
    {
        start(HandScenario::Kind::Hand);
        const quint32 table = HandScenario::tableFor(2);
        QSignalSpy watched(gc.get(), &GameController::tableWatched);
        cm->watch_table(qint32(table));
        QVERIFY(watched.wait(5000) || watched.count() == 1);
        QCOMPARE(watched.first(), (QVariantList{qint32(table), true}));
        GameWindow* w = gc->existingView(qint32(table));
        QVERIFY(w);
        QTRY_COMPARE(w->model()->players().size(), std::size_t(3));
        QCOMPARE(w->model()->playerState(), GameModel::WATCHING);
        QVERIFY(w->handView()->tiles().empty());

        // A snapshot late in a hand: its wall is on the table at once, the dora indicators face up.
        // The account sits South from another client: this one only watches.
        const QList<gtf::PlayerRecord> seats{{.pid = HandScenario::eastId}, {.pid = own, .wind = 1},
                                             {.pid = HandScenario::westId, .wind = 2},
                                             {.pid = HandScenario::northId, .wind = 3}};
        const QList<quint8> dora{4, 9, 13, 22, 31};
        server->send(gtf::game(table, gtf::gameData(3, seats, 3, {HandScenario::eastId}, 0, 0, {42, 14, 5, 4}, dora)));
        QTRY_COMPARE(w->model()->liveWall(), 42);
        QList<quint8> faceUp;
        for (int side = 0; side < 4; ++side)
            for (const TileView* stack : w->walls()->view(side)->stacks())
                if (stack->tileType() == WallLayout::Shown)
                    faceUp << stack->tileCode().code();
        std::sort(faceUp.begin(), faceUp.end());
        QCOMPARE(faceUp, dora);
        // The hand's end and the next hand leave this client watching.
        server->send(gtf::game(table, gtf::handEnd(3, {}, 6, 0)));
        TestFrame next(31);
        next.u64(4).u32(HandScenario::eastId).u32(own).u32(HandScenario::westId).u32(HandScenario::northId).u32(0).u8(5);
        gtf::tiles(next, {}).u8(0);
        server->send(gtf::game(table, gtf::tableState(next, HandScenario::eastId, 0, 0, 0, 0)));
        QTRY_COMPARE(w->model()->handId(), qint64(4));
        QCOMPARE(w->model()->playerState(), GameModel::WATCHING);
        QVERIFY(!w->handView()->isVisible() && w->model()->player(own) != nullptr);

        // Leaving a watched table asks the server to stop watching it.
        w->onLeaveButtonClick();
        QVERIFY(server->waitForFrame(34));
        QCOMPARE(server->received(34).first().body, TestFrame(34).u32(table).body());
        QTRY_VERIFY(!gc->hasTable(qint32(table)));

        // A snapshot of a discard that three players may have made is the table's fault: its page
        // closes with a note and the watch ends; the session goes on.
        QSignalSpy errors(cm.get(), &ConnectionManager::exceptionCaught);
        cm->watch_table(qint32(table));
        QTRY_VERIFY(gc->existingView(qint32(table)));
        server->send(gtf::game(table, gtf::gameData(4, seats, 4, {})));
        QTRY_VERIFY(!gc->existingView(qint32(table)));
        const QPointer<ModelessMsgBox::MsgBox> box = parent.findChild<ModelessMsgBox::MsgBox*>();
        QVERIFY(box && box->windowTitle() == QStringLiteral("Table closed"));
        QTRY_COMPARE(server->received(34).size(), 2);
        QCOMPARE(errors.count(), 0);
        QTest::mouseClick(box->buttonBox()->buttons().first(), Qt::LeftButton);
        QTRY_VERIFY(!box);
    }

    void kick_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("again"); // the table joined again before the notice is answered
        QTest::newRow("reason 1: a notice, then the table closes") << 1 << false;
        QTest::newRow("reason 1, joined again: the old notice closes with its seating") << 1 << true;
        QTest::newRow("reason 3: the table is watched") << 3 << false;
    }

    void kick()
    {
        QFETCH(int, reason);
        QFETCH(bool, again);
        start(HandScenario::Kind::Kick, quint16(reason));
        const quint32 table = HandScenario::tableFor(0);
        QSignalSpy watched(gc.get(), &GameController::tableWatched);
        QSignalSpy modelGone(gc.get(), &GameController::gameModelAboutToBeDestroyed);
        QSignalSpy offers(cm.get(), &ConnectionManager::meldSuggestion);
        // On the screen, another page in front: the button of the table's page brings it up.
        QPushButton pageButton(&parent);
        pageButton.show();
        parent.show();
        QVERIFY(QTest::qWaitForWindowActive(&parent));
        GameWindow* w = join(table);
        QVERIFY(w);
        connect(&pageButton, &QPushButton::clicked, w, &QWidget::show);
        QTRY_COMPARE(gc->gameModel(qint32(table))->playerState(), GameModel::KICKED);
        if (reason == 3) {
            QVERIFY(server->waitForFrame(32));
            QCOMPARE(server->received(32).first().body, TestFrame(32).u32(table).body());
            QTRY_COMPARE(watched.count(), 1);
            QCOMPARE(watched.first().at(1).toBool(), false); // unseated, not from the lobby
            return;
        }
        // A win offered after the kick opens no chooser and is not passed.
        TestFrame offer(34);
        offer.u32(1).u8(meldTypeToWire(game_protocol::meld_type::MAHJONG)).u8(3);
        server->send(gtf::game(table, gtf::span(offer, 0, quint64(QDateTime::currentMSecsSinceEpoch()) + 15000)));
        QVERIFY(offers.wait(5000) || offers.count() == 1);
        QVERIFY(w->meldAuction()->isHidden());
        const QPointer<ModelessMsgBox::MsgBox> notice = w->findChild<ModelessMsgBox::MsgBox*>();
        QCOMPARE(notice->windowTitle(), QStringLiteral("Kicked"));
        if (again) { // by the lobby or a quick join: the notice goes with the seating it was for
            cm->join_table(qint32(table));
            QTRY_VERIFY(w->seatedWindow()->isVisibleTo(w));
            QTRY_VERIFY(!notice);
        }
        // The page comes up: the notice has the keys, Enter answers it.
        QTest::mouseClick(&pageButton, Qt::LeftButton);
        if (!again) {
            QTRY_VERIFY(notice->isAncestorOf(QApplication::focusWidget()));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY(!notice);
        }
        QCOMPARE(gc->hasTable(qint32(table)), again);
        QCOMPARE(modelGone.count(), again ? 0 : 1);
        if (again)
            QTest::mouseClick(w->seatedWindow()->playButton(), Qt::LeftButton);
        QTRY_COMPARE(bodies(server->received(100)), again ? QList<QByteArray>{action(table, TestFrame(54).u32(own))}
                                                           : QList<QByteArray>());
        QVERIFY(server->received(32).isEmpty() && server->received(36).isEmpty());
    }

    void kickWithoutAWindowClosesTheTable()
    {
        // The user closed the table's window during the hand; the kick that
        // follows ends the table, so a later join opens it afresh.
        start(HandScenario::Kind::Hand);
        const quint32 table = HandScenario::tableFor(0);
        GameWindow* w = join(table);
        QVERIFY(w);
        QTRY_VERIFY(w->seatedWindow()->isVisibleTo(w));
        QTest::mouseClick(w->seatedWindow()->playButton(), Qt::LeftButton);
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("chow or pass"));
        gc->onInPlayLeave(qint32(table));
        QVERIFY(!gc->existingView(qint32(table)));
        QSignalSpy modelGone(gc.get(), &GameController::gameModelAboutToBeDestroyed);
        server->send(TestFrame(64).u32(table).u16(1));
        QTRY_COMPARE(modelGone.count(), 1);
        QVERIFY(!gc->hasTable(qint32(table)));
        QVERIFY(server->received(36).isEmpty());
        QVERIFY(server->received(54).isEmpty());
    }

    void joinOfATableWithoutARecordWaitsForIt_data()
    {
        QTest::addColumn<int>("recordAfterSnapshot"); // ms; -1: the record comes first
        QTest::addColumn<int>("flood"); // frames after the snapshot, each a ready notice
        QTest::addColumn<int>("pointsEach"); // or a hand end with this many score items (below 0: the own hand's tiles)
        QTest::newRow("the record before the snapshot") << -1 << 0 << 0;
        QTest::newRow("the snapshot before the record: kept until it comes") << 0 << 0 << 0;
        QTest::newRow("no record within 10 s: the join is left") << 10500 << 0 << 0;
        QTest::newRow("1000 events more before the record: the join is left") << 3000 << 1000 << 0;
        QTest::newRow("4 MiB before the record: the join is left") << 3000 << 3 << 50000;
        QTest::newRow("4 MiB of hands before the record: the join is left") << 3000 << 5 << -1000000;
    }
    void joinOfATableWithoutARecordWaitsForIt()
    {
        QFETCH(int, recordAfterSnapshot);
        QFETCH(int, flood);
        QFETCH(int, pointsEach);
        start(HandScenario::Kind::Hand);
        scenario->setRecordAfterSnapshot(recordAfterSnapshot);
        const quint32 table = HandScenario::tableFor(1);
        // A lobby that lists nothing yet (the table is joined again after
        // "already seated", say).
        TableModel empty(nullptr);
        gc->setTableModel(&empty);
        QSignalSpy created(gc.get(), &GameController::tableViewCreated);
        QSignalSpy joined(gc.get(), &GameController::regularTableJoined);
        QTest::ignoreMessage(QtWarningMsg, "joined table 512 before its record; waiting for it");
        cm->join_table(qint32(table));
        if (recordAfterSnapshot > 10000 || flood > 0) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("joined table 512.*; left$")));
            QTRY_COMPARE(server->received(30).size(), 1); // answered, with the snapshot
            // The record may come while the flood is still worked through.
            QSignalSpy records(cm.get(), qOverload<TableInfo>(&ConnectionManager::tableInfoUpdate));
            gtf::ScoreRecord big;
            big.points = QList<QPair<quint8, quint32>>(std::max(0, pointsEach), {1, 2});
            TestFrame hand(38);
            gtf::tiles(hand, QList<quint8>(std::max(0, -pointsEach), 9)).u8(1).u8(0);
            for (int i = 0; i < flood; ++i)
                server->send(gtf::game(table, pointsEach > 0 ? gtf::handEnd(1, {big}, 2, 0)
                                              : pointsEach < 0 ? hand : TestFrame(54).u32(own)));
            // The seat is given up, the user told; the later record opens nothing.
            // The bounds leave room for a loaded machine working through the flood.
            QVERIFY(server->waitForFrame(36, recordAfterSnapshot + 20000));
            auto* box = parent.findChild<ModelessMsgBox::MsgBox*>();
            QVERIFY(box && box->windowTitle() == QStringLiteral("Table not opened"));
            QVERIFY(!records.isEmpty() || records.wait(recordAfterSnapshot + 20000));
            QTest::qWait(100);
            QCOMPARE(created.count(), 0);
            QVERIFY(!gc->hasTable(qint32(table)));
            gc->setTableModel(tables.get());
            return;
        }
        // The table opens, joined, with the record, and with what the
        // server said of it before the record came.
        QTRY_COMPARE(created.count(), 1);
        QCOMPARE(joined.count(), 1);
        QCOMPARE(server->received(30).size(), 1);
        GameModel* model = gc->gameModel(qint32(table));
        QCOMPARE(model->tableInfo().name, QStringLiteral("International hand"));
        QTRY_COMPARE(model->players().size(), std::size_t(4)); // the snapshot may come in a later turn
        QTRY_VERIFY(gc->existingView(qint32(table))->seatedWindow()->isVisibleTo(gc->existingView(qint32(table))));
        gc->leaveSuccessful(qint32(table));
        gc->setTableModel(tables.get());
    }

    void seatingIsHeldOnlyByAYoungJoin()
    {
        start(HandScenario::Kind::Tournament);
        qint64 now = 1'000'000;
        table_requests().setClock([&now] { return now; });
        QSignalSpy joined(gc.get(), &GameController::tournamentTableJoined);
        // A join of the table went out 3.5 s ago and was never answered.
        QVERIFY(table_requests().checkTableRequest(qint32(HandScenario::tournamentTable), 30));
        now += 3500;
        cm->tournaments_lobby_subscribe();
        QTRY_COMPARE(joined.count(), 1);
        QCOMPARE(server->received(30).size(), 1);
        table_requests().setClock({});
        QVERIFY(table_requests().completeTableRequest(qint32(HandScenario::tournamentTable), 30)); // the old one
    }

    void tournamentSeating_data()
    {
        QTest::addColumn<QString>("after"); // what follows the round's end
        QTest::newRow("the round's board closed: the table goes") << "close";
        QTest::newRow("kept watching: the close ends the watch, a later join opens the table anew") << "kept";
        QTest::newRow("the next round joined first: the old board's close ends only itself") << "next";
        QTest::newRow("the tournament removed mid-hand: no clock, a Leave asks nothing") << "removed";
    }
    void tournamentSeating()
    {
        QFETCH(QString, after);
        start(HandScenario::Kind::Tournament);
        scenario->setListsTournament(false);
        QSignalSpy joined(gc.get(), &GameController::tournamentTableJoined);
        // A join of the same table sent a moment ago and not yet answered:
        // the seating's own join would be refused by the throttle.
        QVERIFY(table_requests().checkTableRequest(qint32(HandScenario::tournamentTable), 30));
        cm->tournaments_lobby_subscribe();
        QTRY_COMPARE(gc->pendingSeatings(), QList<qint32>{qint32(HandScenario::tournamentTable)});
        QTRY_VERIFY(tables->hasTableInfo(qint32(HandScenario::tournamentTable)));
        QTest::qWait(100);
        QVERIFY(server->received(30).isEmpty());
        // The earlier request is answered elsewhere: the seating's join goes out, once.
        table_requests().completeTableRequest(qint32(HandScenario::tournamentTable), 30);
        QTRY_COMPARE(joined.count(), 1);
        QCOMPARE(joined.first(), (QVariantList{qint32(HandScenario::tournamentId),
                                               qint32(HandScenario::tournamentTable), 0}));
        QCOMPARE(bodies(server->received(30)),
                 QList<QByteArray>{TestFrame(30).u32(HandScenario::tournamentTable).u8(0xFF).u32(0).body()});
        GameWindow* w = gc->existingView(qint32(HandScenario::tournamentTable));
        QVERIFY(w);
        w->resize(1024, 768);
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("chow or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisibleTo(w));
        if (after == QLatin1String("removed")) {
            auto* leave = w->sideBar()->findChild<QPushButton*>(QStringLiteral("leaveButton"));
            QTest::mouseClick(leave, Qt::LeftButton); // asked in the hand: the seat kept for the round
            server->send(TournamentFrames::removed(HandScenario::tournamentId));
            QTRY_VERIFY(!w->meldAuction()->isVisibleTo(w) && w->findChildren<ModelessMsgBox::MsgBox*>().isEmpty());
            QVERIFY(!w->timerView()->deadline().isValid() && !w->sideBar()->roundTimer().isActive());
            QCOMPARE(w->sideBar()->findChild<QLabel*>(QStringLiteral("roundLimit"))->text(),
                     QStringLiteral("This tournament has been removed"));
            QTest::mouseClick(leave, Qt::LeftButton);
            QTRY_VERIFY(!gc->existingView(qint32(HandScenario::tournamentTable)));
            return;
        }
        w->onPassMeldSelected();
        QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("discard after the pass"));
        QTRY_VERIFY(w->handView()->isActive());
        w->flushActions();
        w->onTileClick(tile(31));
        QTRY_VERIFY(scenario->waitingFor() == QStringLiteral("pong or pass"));
        QTRY_VERIFY(w->meldAuction()->isVisibleTo(w));
        w->onPassMeldSelected();
        // The round's board waits for the last hand's board to be closed,
        // and names the table while the tournament's record is missing.
        QTRY_VERIFY(w->model()->gameState() == GameModel::GAME_FINISHED);
        QVERIFY(w->scoreBoard()->isVisibleTo(w));
        QVERIFY(!w->roundScoreBoard()->isVisibleTo(w));
        QCOMPARE(w->roundScoreBoard()->titleLabel()->text(), QStringLiteral("Final table"));
        QCOMPARE(w->roundScoreBoard()->roundLabel()->text(), QStringLiteral("Round results"));
        auto* close = w->scoreBoard()->findChild<QPushButton*>(QStringLiteral("closePushButton"));
        QVERIFY(close && close->isVisibleTo(w)); // no next hand to wait for
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(w->roundScoreBoard()->isVisibleTo(w));
        // A player leaving a tournament table is replaced by the server: the record stays.
        QSignalSpy left(cm.get(), &ConnectionManager::playerLeft);
        server->send(TestFrame(61).u32(HandScenario::tournamentTable).u32(HandScenario::eastId));
        QVERIFY(left.wait(5000) || left.count() == 1);
        QVERIFY(w->model()->hasPlayer(qint32(HandScenario::eastId)));
        cm->get_tournament_ranking_list(qint32(HandScenario::tournamentId)); // answered by the server
        QVERIFY(QSignalSpy(cm.get(), &ConnectionManager::tournamentRankings).wait(5000));
        QSignalSpy closed(gc.get(), &GameController::tournamentScoreDialogClosed);
        const qint32 table = qint32(HandScenario::tournamentTable);
        const QPointer<GameWindow> page = w;
        if (after == QLatin1String("next")) {
            // The next round seats the user at this table; the last round's board is closed as its page opens.
            connect(gc.get(), &GameController::tournamentTableJoined, this,
                    [w] { QTest::mouseClick(w->roundScoreBoard()->closeButton(), Qt::LeftButton); });
            server->send(TournamentFrames::seated(HandScenario::tournamentId, quint32(table), 0));
            QTRY_COMPARE(scenario->waitingFor(), QStringLiteral("chow or pass"));
            QVERIFY(page && gc->existingView(table) == page && closed.isEmpty());
            QTRY_VERIFY(w->meldAuction()->isVisibleTo(w));
            return;
        }
        QSignalSpy picked(cm.get(), &ConnectionManager::tournamentPickedUp);
        if (after == QLatin1String("kept")) { // the server keeps the user watching the table
            server->send(TestFrame(210).u32(HandScenario::tournamentId).u32(quint32(table)).u8(1));
            QVERIFY(picked.wait(5000) || picked.count() == 1);
        }
        QTest::mouseClick(w->roundScoreBoard()->closeButton(), Qt::LeftButton);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(closed.first(), (QVariantList{qint32(HandScenario::tournamentId), table, true}));
        QVERIFY(!gc->hasTable(table));
        if (after == QLatin1String("kept")) {
            // The watch ends; a join from the tournament's table list opens the table anew.
            QVERIFY(server->waitForFrame(34));
            QCOMPARE(bodies(server->received(34)), QList<QByteArray>{TestFrame(34).u32(quint32(table)).body()});
            tables->subscribe(GameController::mttLobbyPath(qint32(HandScenario::tournamentId)));
            QTRY_VERIFY(tables->hasTableInfo(table));
            cm->join_table(table);
            QTRY_VERIFY(gc->gameModel(table) && gc->gameModel(table)->isInPlay());
        }
    }
};

QTEST_MAIN(NetTable)
#include "net_table.moc"
