// A whole hand in each ruleset over the network path: the test game server
// sends the server's frames, a real ConnectionManager decodes them, and its
// signals for the table are relayed to the game model as the game controller
// relays them. After each group of frames: the model's signals in order and
// the state they announce.

#include "ConnectionManager.h"
#include "GameFixtures.h"
#include "GameModel.h"
#include "ModelRecorder.h"
#include "TestGameServer.h"
#include "../protocol/game_test_frames.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace fixtures;

namespace {
constexpr qint32 east = 12, own = ownId, west = 14, north = 13;

/// Connects one of the connection manager's table signals to the model:
/// `pass` gets the model and the signal's arguments after the table id,
/// for this table only.
template <typename... Args, typename Pass>
void forward(ConnectionManager& cm, void (ConnectionManager::*signal)(qint32, Args...), GameModel& m, Pass pass)
{
    QObject::connect(&cm, signal, &m, [&m, pass](qint32 t, Args... args) {
        if (t == fixtures::tableId)
            std::invoke(pass, m, args...);
    });
}

/// Passes the connection manager's events for one table to its model, the
/// way the game controller does.
void relay(ConnectionManager& cm, GameModel& m)
{
    using CM = ConnectionManager;
    using M = GameModel;
    forward(cm, &CM::gameData, m, &M::onGameData);
    forward(cm, &CM::playerJoined, m, &M::onPlayerJoined);
    forward(cm, &CM::areYouReady, m, &M::onAreYouReady);
    forward(cm, &CM::playerIsReady, m, &M::onPlayerIsReady);
    forward(cm, &CM::startHand, m, &M::onStartHand);
    forward(cm, &CM::tilesFromWall, m, &M::onTilesFromWall);
    forward(cm, &CM::hiddenTilesFromWall, m, &M::onHiddenTilesFromWall);
    forward(cm, &CM::playerShouldAct, m, [](M& m, TimeSpan ts, qint32 pid) { m.onPlayerShouldAct(pid, ts); });
    forward(cm, &CM::tileDiscarded, m, [](M& m, qint32 pid, tile x) { m.onTileDiscarded(pid, x, false); });
    forward(cm, &CM::riichiDeclared, m, [](M& m, qint32 pid, tile x) { m.onTileDiscarded(pid, x, true); });
    forward(cm, &CM::tileClaimed, m, &M::onTileClaimed);
    forward(cm, &CM::meldDeclared, m, &M::onMeldDeclared);
    forward(cm, &CM::kanDora, m, &M::onKanDora);
    forward(cm, &CM::declareBonus, m, &M::onDeclareBonus);
    forward(cm, &CM::privatePlayerData, m, &M::onPrivatePlayerData);
    forward(cm, &CM::furitenChanged, m, &M::onFuritenChanged);
    forward(cm, &CM::handEndScoring, m, &M::onHandEndScoring);
    forward(cm, &CM::handEndNonScoring, m, &M::onHandEndNonScoring);
}

TestFrame g(const TestFrame& inner)
{
    return gtf::game(quint32(fixtures::tableId), inner);
}

TestFrame tilePid(quint8 cls, quint8 t, qint32 pid)
{
    return g(TestFrame(cls).u8(t).u32(quint32(pid)));
}

TestFrame hidden(qint32 pid, quint8 count, bool dead)
{
    return g(TestFrame(28).u8(count).u8(dead ? 1 : 0).u32(quint32(pid)));
}

TestFrame ownDraw(const QList<quint8>& tiles, bool dead)
{
    TestFrame f(24);
    gtf::tiles(f, tiles);
    return g(f.u8(dead ? 1 : 0));
}

TestFrame startHand(quint64 hand, bool newRound, const QList<quint8>& dora)
{
    TestFrame f(31);
    f.u64(hand).u32(east).u32(own).u32(west).u32(north);
    f.u32(2).u32(own).u32(100).u32(1).u32(east).u32(quint32(-50)).u32(2);
    f.u8(5);
    gtf::tiles(f, dora);
    f.u8(newRound ? 1 : 0);
    return g(gtf::tableState(f, east, 0, 0, 2, 1));
}

TestFrame spanFrame(quint8 cls)
{
    TestFrame f(cls);
    return g(gtf::span(f, 1000, 16000));
}
}

class NetHand : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestGameServer> server;
    std::unique_ptr<ConnectionManager> cm;
    std::unique_ptr<GameModel> model;
    std::unique_ptr<ModelRecorder> rec;

    /// Sends the frames and waits for the model to announce as many changes
    /// as expected; returns what it announced.
    QStringList exchange(const QList<TestFrame>& frames, qsizetype expected)
    {
        for (const TestFrame& f : frames)
            server->send(f);
        QDeadlineTimer deadline(5000);
        while (rec->lines().size() < expected && !deadline.hasExpired())
            QTest::qWait(2);
        QTest::qWait(5); // nothing more may follow
        return rec->take();
    }

private Q_SLOTS:
    void init()
    {
        server = std::make_unique<TestGameServer>();
        QVERIFY(server->listen());
        cm = std::make_unique<ConnectionManager>(false);
        QSignalSpy ready(cm.get(), &ConnectionManager::versionCheckComplete);
        cm->connectToHost(QStringLiteral("127.0.0.1"), server->port());
        QVERIFY(ready.wait(5000) || ready.count() == 1);
    }

    void cleanup()
    {
        rec.reset();
        model.reset();
        cm.reset();
        server.reset();
    }

    void wholeHand_data()
    {
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<QList<int>>("walls"); // live, dead, dealt at the hand's end
        QTest::newRow("classic") << 0 << QList<int>{69, 13, 5};
        QTest::newRow("international") << 1 << QList<int>{82, 0, 5};
        QTest::newRow("riichi") << 2 << QList<int>{63, 14, 3};
    }

    void wholeHand()
    {
        QFETCH(int, ruleset);
        QFETCH(QList<int>, walls);
        const bool riichi = ruleset == 2;
        model = std::make_unique<GameModel>(tableId, table(ruleset), own, QStringLiteral("me"));
        rec = std::make_unique<ModelRecorder>(model.get());
        relay(*cm, *model);

        // --- a fresh join
        model->markJoined();
        gtf::PlayerRecord e;
        e.pid = east;
        e.tileCount = 0;
        gtf::PlayerRecord n = e;
        n.pid = north;
        QCOMPARE(exchange({g(gtf::gameData(0, {e, n}, 0, {}))}, 7),
                 (QStringList{"modelReset", "tableInfo", "tournamentInfo", "playerSeated 12 501 1",
                              "playerSeated 13 501 1", "gameStateChanged 1", "playerStateChanged SEAT_OFFERED"}));
        QCOMPARE(model->liveWall(), 70); // the snapshot's wall
        QCOMPARE(model->doraTiles(), (tile_vector{4, 31}));
        QCOMPARE(model->turnWords()[0], 11);

        // --- readiness, and a fourth player sits down
        QCOMPARE(exchange({spanFrame(41), g(TestFrame(54).u32(own)),
                           TestFrame(60).u32(quint32(tableId)).u32(west).str("west").u8(0), g(TestFrame(54).u32(west))},
                          9),
                 (QStringList{"areYouReady 1", "playerSeated 11 501 0", "playerStateChanged WAITING",
                              "playerIsReady 11", "seatsRemainingChanged 1", "playerJoined 14",
                              "playerSeated 14 501 0", "playerIsReady 14", "seatsRemainingChanged 0"}));
        QCOMPARE(model->player(west)->name(), QString("west"));

        // --- hand start and the deal
        const QList<quint8> dora = riichi ? QList<quint8>{20} : QList<quint8>{};
        QCOMPARE(exchange({startHand(1001, true, dora)}, 3),
                 (QStringList{"gameStateChanged 2", "playerStateChanged PLAYING", "startHand 1"}));
        QCOMPARE(model->playerByWind(1)->id(), own);
        QCOMPARE(model->player(east)->roundScore(), -50);
        QCOMPARE(model->riichiSticks(), 1);
        QCOMPARE(model->counterSticks(), 2);
        QCOMPARE(exchange({ownDraw({1, 3, 22, 22, 22, 9, 9, 17, 31, 31, 30, 29, 11}, false), hidden(east, 13, false),
                           hidden(west, 13, false), hidden(north, 13, false), hidden(east, 1, false)},
                          5)
                     .size(),
                 5);
        QCOMPARE(model->player(own)->handTiles(), (tile_vector{1, 3, 9, 9, 11, 17, 22, 22, 22, 29, 30, 31, 31}));

        // --- a discard claimed for a chow, a pong, an exposed kong
        QCOMPARE(exchange({g(gtf::span(TestFrame(27).u32(east), 1000, 16000)), tilePid(33, 2, east),
                           tilePid(47, 1, own)},
                          4),
                 (QStringList{"playerShouldAct 12", "tileDiscarded 12 2 0", "tileClaimed 12 11",
                              "meldDeclared 11 {1 0 1 12 1}"}));
        QCOMPARE(exchange({tilePid(33, 17, own), hidden(west, 1, false), tilePid(33, 32, west), tilePid(48, 32, north)},
                          5),
                 (QStringList{"tileDiscarded 11 17 0", "hiddenTilesFromWall 14 1 0", "tileDiscarded 14 32 0",
                              "tileClaimed 14 13", "meldDeclared 13 {2 0 32 14 0}"}));
        QList<TestFrame> kong{tilePid(33, 22, north), g(TestFrame(49).u8(22).u8(0).u32(own)),
                              g(TestFrame(25).u8(13).u8(1))};
        QStringList expected{"tileDiscarded 13 22 0", "tileClaimed 13 11", "meldDeclared 11 {8 0 22 13 0}",
                             "tilesFromWall 11 [13] 1"};
        if (riichi) {
            kong << g(TestFrame(46).u32(quint32(tableId)).u8(24));
            expected << "kanDora 24";
        }
        QCOMPARE(exchange(kong, expected.size()), expected);
        QCOMPARE(model->player(own)->handTiles(), (tile_vector{9, 9, 11, 13, 29, 30, 31, 31}));

        // --- a concealed kong (no claim before it), a riichi, a pong extended
        QCOMPARE(exchange({tilePid(33, 30, own), hidden(east, 1, false), g(TestFrame(49).u8(15).u8(2).u32(east)),
                           hidden(east, 1, true)},
                          4),
                 (QStringList{"tileDiscarded 11 30 0", "hiddenTilesFromWall 12 1 0",
                              "meldDeclared 12 {8 2 15 -1 255}", "hiddenTilesFromWall 12 1 1"}));
        QCOMPARE(exchange({tilePid(riichi ? 51 : 33, 8, east)}, 1),
                 QStringList{QStringLiteral("tileDiscarded 12 8 %1").arg(riichi ? 1 : 0)});
        QCOMPARE(model->riichiSticks(), riichi ? 2 : 1);
        QCOMPARE(exchange({hidden(north, 1, false), tilePid(50, 32, north), hidden(north, 1, true)}, 3),
                 (QStringList{"hiddenTilesFromWall 13 1 0", "meldDeclared 13 {4 1 32 -1 255}",
                              "hiddenTilesFromWall 13 1 1"}));
        QCOMPARE(meldText(model->player(north)->melds().at(0)), QString("{8 0 32 14 0}"));

        // --- bonus tiles where the ruleset has them
        if (!riichi) {
            TestFrame westBonus(29);
            gtf::tiles(westBonus, {36}).u32(west);
            TestFrame ownBonus(29);
            gtf::tiles(ownBonus, {34}).u32(own);
            QCOMPARE(exchange({g(westBonus), hidden(west, 1, true), g(TestFrame(25).u8(34).u8(0)), g(ownBonus),
                               g(TestFrame(25).u8(14).u8(1))},
                              5),
                     (QStringList{"bonusDeclared 14 [36]", "hiddenTilesFromWall 14 1 1", "tilesFromWall 11 [34] 0",
                                  "bonusDeclared 11 [34]", "tilesFromWall 11 [14] 1"}));
        }
        QCOMPARE((QList<int>{model->liveWall(), model->deadWall(), model->deadWallDealt()}), walls);

        // --- the server restates the own hand
        TestFrame priv(38);
        const QList<quint8> restated = riichi ? QList<quint8>{31, 31, 29, 13, 11, 9, 9}
                                              : QList<quint8>{31, 31, 29, 14, 13, 11, 9, 9};
        gtf::tiles(priv, restated).u8(1).u8(1);
        QCOMPARE(exchange({g(priv)}, 1).size(), 1);
        QVERIFY(model->player(own)->furiten());
        QVERIFY(std::is_sorted(model->player(own)->handTiles().begin(), model->player(own)->handTiles().end()));

        // --- a claimed mahjong: west wins
        QList<gtf::ScoreRecord> scores(4);
        const qint32 ids[] = {own, east, north, west};
        const qint32 current[] = {80, -200, -100, 400};
        for (int i = 0; i < 4; ++i) {
            scores[i].pid = quint32(ids[i]);
            scores[i].currentScore = quint32(current[i]);
            scores[i].scoreType = ids[i] == west ? 1 : 0;
        }
        QCOMPARE(exchange({tilePid(33, 16, east), g(gtf::handEnd(1001, scores, 0, 0))}, 4),
                 (QStringList{"tileDiscarded 12 16 0", "playerStateChanged SCORING", "gameStateChanged 3",
                              "handEndScoring [11 12 13 14] 1 0"}));
        QCOMPARE(model->player(west)->wins(), 1);
        QCOMPARE(model->player(east)->roundScore(), -200);
        QVERIFY(model->gameInProgress());

        // --- the next hand washes out and ends the game
        QCOMPARE(exchange({spanFrame(41), g(TestFrame(54).u32(own))}, 4),
                 (QStringList{"areYouReady 0", "playerStateChanged WAITING", "playerIsReady 11",
                              "seatsRemainingChanged 3"}));
        QCOMPARE(exchange({startHand(1002, false, dora), g(gtf::handEnd(1002, {}, 5, 1))}, 6),
                 (QStringList{"gameStateChanged 2", "playerStateChanged PLAYING", "startHand 0",
                              "playerStateChanged SCORING", "gameStateChanged 3", "handEndNonScoring 6 1"}));
        QVERIFY(!model->gameInProgress());
    }

    void eventTheModelCannotPlaceLeavesTheConnectionRunning()
    {
        model = std::make_unique<GameModel>(tableId, table(0), own, QStringLiteral("me"));
        rec = std::make_unique<ModelRecorder>(model.get());
        relay(*cm, *model);
        QSignalSpy exceptions(cm.get(), &ConnectionManager::exceptionCaught);
        model->markJoined();
        gtf::PlayerRecord e;
        e.pid = east;
        // a snapshot in the claimed state names who must act next
        QCOMPARE(exchange({g(gtf::gameData(0, {e}, 3, {quint32(east)}))}, 8),
                 (QStringList{"modelReset", "tableInfo", "tournamentInfo", "playerSeated 11 501 1",
                              "playerSeated 12 501 1", "gameStateChanged 2", "playerStateChanged PLAYING",
                              "playerShouldAct 12"}));

        // a discard by a player who is not at the table, a claim with no
        // discard open: dropped by the model; the next event still arrives
        QTest::ignoreMessage(QtWarningMsg, "table 501: dropped discard from the server: unknown player 99");
        QCOMPARE(exchange({tilePid(33, 5, 99), tilePid(48, 5, east), g(TestFrame(39).u8(1))}, 2),
                 (QStringList{"meldDeclared 12 {2 0 5 -1 255}", "furitenChanged 1"}));
        QCOMPARE(exceptions.count(), 0);
        QVERIFY(cm->connection());
    }
};

QTEST_GUILESS_MAIN(NetHand)
#include "net_hand.moc"
