// Game packets from a real test server, over a real socket, through the
// connection manager's game envelope handling: a whole hand's worth of
// events in order, the answer to the alive check, and bad game data.

#include "ConnectionManager.h"
#include "TestGameServer.h"
#include "game_test_frames.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace game_protocol;

namespace {

/// A connection manager talking to a test server, past the version check.
struct Session
{
    TestGameServer server;
    ConnectionManager cm{false};
    std::unique_ptr<QSignalSpy> errors;

    bool start()
    {
        if (!server.listen())
            return false;
        errors = std::make_unique<QSignalSpy>(&cm, &ConnectionManager::exceptionCaught);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        return ready.wait(5000);
    }
};

/// Records the names of the game signals in the order they arrive.
struct EventLog
{
    QStringList names;

    explicit EventLog(ConnectionManager& cm)
    {
        auto add = [this](const char* name) { return [this, name](auto&&...) { names << QString::fromLatin1(name); }; };
        QObject::connect(&cm, &ConnectionManager::startHand, add("startHand"));
        QObject::connect(&cm, &ConnectionManager::gameData, add("gameData"));
        QObject::connect(&cm, &ConnectionManager::privatePlayerData, add("privatePlayerData"));
        QObject::connect(&cm, &ConnectionManager::tileDiscarded, add("tileDiscarded"));
        QObject::connect(&cm, &ConnectionManager::riichiDeclared, add("riichiDeclared"));
        QObject::connect(&cm, &ConnectionManager::tileClaimed, add("tileClaimed"));
        QObject::connect(&cm, &ConnectionManager::hiddenTilesFromWall, add("hiddenTilesFromWall"));
        QObject::connect(&cm, &ConnectionManager::meldDeclared, add("meldDeclared"));
        QObject::connect(&cm, &ConnectionManager::tilesFromWall, add("tilesFromWall"));
        QObject::connect(&cm, &ConnectionManager::meldSuggestion, add("meldSuggestion"));
        QObject::connect(&cm, &ConnectionManager::concealedMeldSuggestion, add("concealedMeldSuggestion"));
        QObject::connect(&cm, &ConnectionManager::robTheKongSuggestion, add("robTheKongSuggestion"));
        QObject::connect(&cm, &ConnectionManager::playerShouldAct, add("playerShouldAct"));
        QObject::connect(&cm, &ConnectionManager::declareBonus, add("declareBonus"));
        QObject::connect(&cm, &ConnectionManager::handEndNonScoring, add("handEndNonScoring"));
        QObject::connect(&cm, &ConnectionManager::handEndScoring, add("handEndScoring"));
        QObject::connect(&cm, &ConnectionManager::areYouReady, add("areYouReady"));
        QObject::connect(&cm, &ConnectionManager::timeoutOccured, add("timeoutOccured"));
        QObject::connect(&cm, &ConnectionManager::someoneDeclaredMahjong, add("someoneDeclaredMahjong"));
        QObject::connect(&cm, &ConnectionManager::playerIsReady, add("playerIsReady"));
        QObject::connect(&cm, &ConnectionManager::someoneDeclaredMeld, add("someoneDeclaredMeld"));
        QObject::connect(&cm, &ConnectionManager::kanDora, add("kanDora"));
        QObject::connect(&cm, &ConnectionManager::furitenChanged, add("furitenChanged"));
        QObject::connect(&cm, &ConnectionManager::activeChanged, add("activeChanged"));
    }
};

const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);

QStringList capturedLog;
QtMessageHandler previousHandler = nullptr;

void captureLog(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    capturedLog << text;
    if (previousHandler)
        previousHandler(type, context, text);
}

} // namespace

class tst_game_events : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeHandInOrder()
    {
        Session s;
        QVERIFY(s.start());
        for (int pid = 11; pid <= 14; ++pid)
            s.cm.setPlayerName(pid, QStringLiteral("player%1").arg(pid));
        EventLog log(s.cm);

        QSignalSpy startHand(&s.cm, &ConnectionManager::startHand);
        QSignalSpy privateData(&s.cm, &ConnectionManager::privatePlayerData);
        QSignalSpy drawn(&s.cm, &ConnectionManager::tilesFromWall);
        QSignalSpy shouldAct(&s.cm, &ConnectionManager::playerShouldAct);
        QSignalSpy discarded(&s.cm, &ConnectionManager::tileDiscarded);
        QSignalSpy suggestion(&s.cm, &ConnectionManager::meldSuggestion);
        QSignalSpy claimed(&s.cm, &ConnectionManager::tileClaimed);
        QSignalSpy melds(&s.cm, &ConnectionManager::meldDeclared);
        QSignalSpy hidden(&s.cm, &ConnectionManager::hiddenTilesFromWall);
        QSignalSpy riichi(&s.cm, &ConnectionManager::riichiDeclared);
        QSignalSpy dora(&s.cm, &ConnectionManager::kanDora);
        QSignalSpy scoring(&s.cm, &ConnectionManager::handEndScoring);
        QSignalSpy bonus(&s.cm, &ConnectionManager::declareBonus);

        const quint32 table = 5;
        // 31: start hand.
        TestFrame start(31);
        start.u64(0x0102030405060708ull).u32(11).u32(12).u32(13).u32(14);
        start.u32(4);
        for (quint32 pid = 11; pid <= 14; ++pid)
            start.u32(pid).u32(pid * 100).u32(pid - 10);
        start.u8(7);
        gtf::tiles(start, {5});
        start.u8(1);
        gtf::tableState(start, 11, 1, 2, 3, 1);
        s.server.send(gtf::game(table, start));
        // 38: the own hand.
        TestFrame priv(38);
        gtf::tiles(priv, {0, 1, 2, 9, 10, 11, 18, 19, 20, 27, 27, 31, 32});
        s.server.send(gtf::game(table, priv.u8(1).u8(0)));
        // 29: a flower laid aside by 12.
        TestFrame bonusFrame(29);
        gtf::tiles(bonusFrame, {34});
        s.server.send(gtf::game(table, bonusFrame.u32(12)));
        // 25: one tile drawn.
        s.server.send(gtf::game(table, TestFrame(25).u8(9).u8(0)));
        // 27: 11 must act.
        TestFrame act(27);
        act.u32(11);
        gtf::span(act, 1000, 16000);
        s.server.send(gtf::game(table, act));
        // 33: 11 discards character 1.
        s.server.send(gtf::game(table, TestFrame(33).u8(9).u32(11)));
        // 34: we may pong it.
        TestFrame offer(34);
        offer.u32(1).u8(1).u8(9);
        gtf::span(offer, 2000, 7000);
        s.server.send(gtf::game(table, offer));
        // 48: 12 pongs it.
        s.server.send(gtf::game(table, TestFrame(48).u8(9).u32(12)));
        // 28: 13 draws one hidden tile from the dead wall.
        s.server.send(gtf::game(table, TestFrame(28).u8(1).u8(1).u32(13)));
        // 51: 13 declares riichi.
        s.server.send(gtf::game(table, TestFrame(51).u8(20).u32(13)));
        // 49: 14 declares a concealed kong of east wind: no claim.
        s.server.send(gtf::game(table, TestFrame(49).u8(27).u8(2).u32(14)));
        // 46: a new dora for table 5 (the packet's table id).
        s.server.send(gtf::game(table, TestFrame(46).u32(table).u8(3)));
        // 45: 11 declares mahjong.
        s.server.send(gtf::game(table, TestFrame(45).u32(11)));
        // 32: hand end with four scoring records.
        QList<gtf::ScoreRecord> records;
        for (quint32 pid = 11; pid <= 14; ++pid) {
            gtf::ScoreRecord r;
            r.pid = pid;
            r.handScore = pid == 11 ? 32 : 0;
            r.currentScore = pid * 10;
            r.scoreType = pid == 11 ? 1 : 0;
            r.payment = quint64(qint64(pid == 11 ? 96 : -32));
            if (pid == 11) {
                r.points = {{14, 2}, {154, 1}};
                r.doubles = {{51, 1}, {200, 2}};
                r.highlighted = {{1, {27, 27, 27}}};
            }
            records << r;
        }
        s.server.send(gtf::game(table, gtf::handEnd(77, records, 0, 0)));
        // 41, 54: ready for the next hand.
        TestFrame ready(41);
        gtf::span(ready, 3000, 13000);
        s.server.send(gtf::game(table, ready));
        s.server.send(gtf::game(table, TestFrame(54).u32(12)));

        const QStringList expected{
            QStringLiteral("startHand"),        QStringLiteral("privatePlayerData"),
            QStringLiteral("declareBonus"),     QStringLiteral("tilesFromWall"),
            QStringLiteral("playerShouldAct"),  QStringLiteral("tileDiscarded"),
            QStringLiteral("meldSuggestion"),   QStringLiteral("tileClaimed"),
            QStringLiteral("meldDeclared"),     QStringLiteral("hiddenTilesFromWall"),
            QStringLiteral("riichiDeclared"),   QStringLiteral("meldDeclared"),
            QStringLiteral("kanDora"),          QStringLiteral("someoneDeclaredMahjong"),
            QStringLiteral("handEndScoring"),   QStringLiteral("areYouReady"),
            QStringLiteral("playerIsReady"),
        };
        QTRY_COMPARE_WITH_TIMEOUT(log.names.size(), expected.size(), 5000);
        QCOMPARE(log.names, expected);
        QVERIFY(s.errors->isEmpty());

        // Start hand.
        const QList<QVariant> sh = startHand.first();
        QCOMPARE(sh.at(0).toInt(), 5);
        QCOMPARE(sh.at(1).toLongLong(), 0x0102030405060708ll);
        QCOMPARE(sh.at(2).value<Seating>(), Seating(11, 12, 13, 14));
        const auto rows = sh.at(3).value<round_score_vector>();
        QCOMPARE(rows.size(), std::size_t(4));
        QCOMPARE(rows[2].pid, 13);
        QCOMPARE(rows[2].score, 1300);
        QCOMPARE(rows[2].value, 3);
        QCOMPARE(sh.at(4).toBool(), true);
        const auto state = sh.at(5).value<TableState>();
        QCOMPARE(state, TableState(11, 1, 2, -1, 1, 3));
        const auto wall = sh.at(6).value<WallState>();
        QCOMPARE(wall.deadWallPosition, 7);
        QCOMPARE(wall.doraTiles, tile_vector{tile(5)});
        QCOMPARE(wall.liveTiles, 0);

        // Own hand, bonus, draw.
        const auto pd = privateData.first().at(1).value<PrivatePlayerData>();
        QCOMPARE(pd.hand.size(), std::size_t(13));
        QVERIFY(pd.active);
        QVERIFY(!pd.furiten);
        QCOMPARE(bonus.first().at(1).toInt(), 12);
        QCOMPARE(bonus.first().at(2).value<tile_vector>(), tile_vector{tile(34)});
        QCOMPARE(drawn.first().at(1).value<tile_vector>(), tile_vector{tile(9)});
        QCOMPARE(drawn.first().at(2).toBool(), false);

        // Turn and discard.
        QCOMPARE(shouldAct.first().at(2).toInt(), 11);
        const auto ts = shouldAct.first().at(1).value<TimeSpan>();
        QCOMPARE(ts.start(), epoch.addMSecs(1000));
        QCOMPARE(ts.end(), epoch.addMSecs(16000));
        QCOMPARE(discarded.first().at(1).toInt(), 11);
        QCOMPARE(discarded.first().at(2).value<tile>().code(), quint8(9));

        // Claim offer: wire meld type 1 is a pong.
        const auto offers = suggestion.first().at(2).value<meld_offer_vector>();
        QCOMPARE(offers.size(), std::size_t(1));
        QCOMPARE(offers[0].type, meld_type::PONG);
        QCOMPARE(offers[0].meld_tile.code(), quint8(9));

        // Pong by 12, then the concealed kong by 14 without a claim.
        QCOMPARE(claimed.size(), 1);
        QCOMPARE(claimed.first().at(1).toInt(), 12);
        QCOMPARE(melds.size(), 2);
        const auto pong = melds.at(0).at(2).value<meld_tuple>();
        QCOMPARE(pong.type, meld_type::PONG);
        QCOMPARE(pong.visibility, meld_visibility::VISIBILITY_0);
        QCOMPARE(pong.extra, -1);
        QCOMPARE(pong.extra_tile.code(), quint8(0xFF));
        const auto kong = melds.at(1).at(2).value<meld_tuple>();
        QCOMPARE(melds.at(1).at(1).toInt(), 14);
        QCOMPARE(kong.type, meld_type::KONG);
        QCOMPARE(kong.visibility, meld_visibility::VISIBILITY_2);

        QCOMPARE(hidden.first().at(1).toInt(), 13);
        QCOMPARE(hidden.first().at(2).toInt(), 1);
        QCOMPARE(hidden.first().at(3).toBool(), true);
        QCOMPARE(riichi.first().at(2).value<tile>().code(), quint8(20));
        QCOMPARE(dora.first().at(0).toInt(), 5);
        QCOMPARE(dora.first().at(1).value<tile>().code(), quint8(3));

        // Scores keyed by player, with names, score names and highlights.
        const auto scores = scoring.first().at(1).value<std::map<qint32, player_score>>();
        QCOMPARE(scores.size(), std::size_t(4));
        const player_score& winner = scores.at(11);
        QCOMPARE(winner.name, QStringLiteral("player11"));
        QCOMPARE(winner.scoreType, 1);
        QCOMPARE(winner.handScore, 32);
        QCOMPARE(winner.currentScore, 110);
        QCOMPARE(winner.payment, 96);
        QCOMPARE(winner.points.size(), 2);
        QCOMPARE(winner.points.at(0).first, QStringLiteral("Chow"));
        QCOMPARE(winner.points.at(1).first, QStringLiteral("Ura dora"));
        QCOMPARE(winner.doubles.at(1).first, QStringLiteral("UNKNOWN DOUBLE NAME"));
        QCOMPARE(winner.pointsTotal, 3);
        QCOMPARE(winner.highlighted.size(), std::size_t(1));
        QCOMPARE(winner.highlighted[0].index, 1);
        QCOMPARE(scores.at(12).payment, -32);
        QCOMPARE(scoring.first().at(2).value<endhand_reason_t>(), ENDHAND_REASON_1);
        QCOMPARE(scoring.first().at(3).toBool(), false);
    }

    void startHandTracesDoraInOrder()
    {
        Session s;
        QVERIFY(s.start());
        QSignalSpy started(&s.cm, &ConnectionManager::startHand);
        capturedLog.clear();
        previousHandler = qInstallMessageHandler(captureLog);
        TestFrame start(31);
        start.u64(1).u32(1).u32(2).u32(3).u32(4).u32(0).u8(0);
        gtf::tiles(start, {27, 5});
        start.u8(0);
        gtf::tableState(start, 1, 0, 0, 0, 0);
        s.server.send(gtf::game(2, start));
        const bool arrived = started.wait(5000);
        qInstallMessageHandler(previousHandler);
        QVERIFY(arrived);
        QStringList dora;
        for (const QString& line : capturedLog) {
            if (line.startsWith(QStringLiteral("start_hand: dora")))
                dora << line;
        }
        QCOMPARE(dora.size(), 3);
        QCOMPARE(dora[0], QStringLiteral("start_hand: dora tiles from protocol - 27 5"));
        QCOMPARE(dora[1], QStringLiteral("start_hand: dora tiles before emit - EAST WIND,BAMBOO 6"));
        QCOMPARE(dora[2], QStringLiteral("start_hand: dora tiles after emit - EAST WIND,BAMBOO 6"));
    }

    void aliveCheckIsAnsweredAtOnce()
    {
        Session s;
        QVERIFY(s.start());
        EventLog log(s.cm);
        s.server.send(gtf::game(8, TestFrame(23), 0x12345678));
        const auto f = s.server.waitForFrame(100);
        QVERIFY(f);
        TestFrameReader r = f->reader();
        QCOMPARE(r.u32(), 8u);
        QCOMPARE(r.u32(), 0x12345678u);
        TestFrameReader inner = r.nested();
        QVERIFY(r.ok());
        QCOMPARE(int(inner.classId()), 55);
        QVERIFY(inner.atEnd());
        QVERIFY(log.names.isEmpty());
        // Exactly one answer.
        QVERIFY(!s.server.waitForFrame(100, 200));
    }

    void gameDataSnapshot()
    {
        Session s;
        QVERIFY(s.start());
        s.cm.setPlayerName(21, QStringLiteral("anna"));
        s.cm.setPlayerName(22, QStringLiteral("bert"));
        QSignalSpy data(&s.cm, &ConnectionManager::gameData);

        gtf::PlayerRecord a;
        a.pid = 21;
        a.melds = {{0, 0, 6, 22, 1}, {2, 1, 27, 22, 0xFF}};
        a.bonus = {35, 38};
        a.discards = {1, 2, 3, 4, 5};
        a.riichiIndex = 3;
        a.wind = 2;
        a.roundScore = quint32(-40);
        a.wins = 2;
        gtf::PlayerRecord b;
        b.pid = 22;
        b.ready = 0;
        // Tile discarded state: 21 discarded, 22 may act.
        s.server.send(gtf::game(3, gtf::gameData(99, {a, b}, 4, {22})));
        QVERIFY(data.wait(5000));
        const QList<QVariant> args = data.first();
        QCOMPARE(args.at(0).toInt(), 3);
        QCOMPARE(args.at(1).toLongLong(), 99ll);
        QCOMPARE(args.at(2).value<server_game_state::enum_t>(), server_game_state::TILE_DISCARDED_STATE);
        const auto players = args.at(3).value<std::vector<PlayerData>>();
        QCOMPARE(players.size(), std::size_t(2));
        const PlayerData& p = players[0];
        QCOMPARE(p.id(), 21);
        QCOMPARE(p.name(), QStringLiteral("anna"));
        QCOMPARE(p.melds().size(), std::size_t(2));
        QCOMPARE(p.melds()[0].type, meld_type::CHOW); // wire 0 is a chow
        QCOMPARE(p.melds()[0].extra, 22);
        QCOMPARE(p.melds()[1].type, meld_type::KONG); // wire 2 is a kong
        QCOMPARE(p.melds()[1].visibility, meld_visibility::VISIBILITY_1);
        QCOMPARE(p.bonusTiles(), (tile_vector{tile(35), tile(38)}));
        QCOMPARE(p.discards().size(), std::size_t(5));
        QCOMPARE(p.riichiDiscardIndex(), 3);
        QCOMPARE(p.wind(), wind::WEST);
        QCOMPARE(p.roundScore(), -40);
        QCOMPARE(p.wins(), 2);
        QVERIFY(p.ready());
        QCOMPARE(players[1].riichiDiscardIndex(), -1); // 0xFFFF
        QVERIFY(!players[1].ready());
        const auto state = args.at(4).value<TableState>();
        QCOMPARE(state.discardingPlayer(), 21);
        QCOMPARE(state.riichiSticks(), 1);
        QCOMPARE(state.counterSticks(), 2);
        const auto wall = args.at(5).value<WallState>();
        QCOMPARE(wall.liveTiles, 70);
        QCOMPARE(wall.deadWallTiles, 14);
        QCOMPARE(wall.deadWallPosition, 3);
        QCOMPARE(wall.deadWallTilesDealt, 1);
        QCOMPARE(wall.doraTiles, (tile_vector{tile(4), tile(31)}));
        // Everyone may act on the discard: its discarder is not known.
        s.server.send(gtf::game(3, gtf::gameData(99, {a, b}, 4, {21, 22})));
        QVERIFY(data.wait(5000));
        QCOMPARE(data.last().at(4).value<TableState>().discardingPlayer(), -1);
    }

    void gameDataClaimedStateNamesTheActor()
    {
        Session s;
        QVERIFY(s.start());
        EventLog log(s.cm);
        QSignalSpy act(&s.cm, &ConnectionManager::playerShouldAct);
        gtf::PlayerRecord a;
        a.pid = 1;
        gtf::PlayerRecord b;
        b.pid = 2;
        s.server.send(gtf::game(3, gtf::gameData(1, {a, b}, 3, {2}, 5000, 9000)));
        QVERIFY(act.wait(5000));
        QCOMPARE(log.names, (QStringList{QStringLiteral("gameData"), QStringLiteral("playerShouldAct")}));
        QCOMPARE(act.first().at(2).toInt(), 2);
        QCOMPARE(act.first().at(1).value<TimeSpan>().end(), epoch.addMSecs(9000));
    }

    void smallPacketsAndUnhandledClasses()
    {
        Session s;
        QVERIFY(s.start());
        EventLog log(s.cm);
        QSignalSpy drawn(&s.cm, &ConnectionManager::tilesFromWall);
        QSignalSpy dora(&s.cm, &ConnectionManager::kanDora);
        QSignalSpy washout(&s.cm, &ConnectionManager::handEndNonScoring);
        QSignalSpy declared(&s.cm, &ConnectionManager::someoneDeclaredMeld);
        // Classes 30 and 53 and one outside 22..54 are only warned about.
        QTest::ignoreMessage(QtWarningMsg, "   Game packet 53  was not handled");
        QTest::ignoreMessage(QtWarningMsg, "   Game packet 30  was not handled");
        QTest::ignoreMessage(QtWarningMsg, "   Game packet 99  was not handled");
        QTest::ignoreMessage(QtWarningMsg, "Client error from server:  you did something odd");
        s.server.send(gtf::game(4, TestFrame(53)));
        s.server.send(gtf::game(4, TestFrame(30).u32(1).u8(0).u8(0).u8(0)));
        s.server.send(gtf::game(4, TestFrame(99)));
        s.server.send(gtf::game(4, TestFrame(22).str("you did something odd")));
        s.server.send(gtf::game(4, TestFrame(52).u32(5).u8(1)));
        TestFrame draw(24);
        gtf::tiles(draw, {1, 2});
        s.server.send(gtf::game(4, draw.u8(1)));
        s.server.send(gtf::game(4, TestFrame(46).u32(77).u8(30)));
        s.server.send(gtf::game(4, TestFrame(44).u8(31).u32(9)));
        s.server.send(gtf::game(4, TestFrame(39).u8(1)));
        s.server.send(gtf::game(4, TestFrame(40).u8(0)));
        s.server.send(gtf::game(4, TestFrame(36)));
        s.server.send(gtf::game(4, gtf::handEnd(5, {}, 3, 1)));
        QTRY_COMPARE_WITH_TIMEOUT(log.names.size(), 7, 5000);
        QCOMPARE(log.names,
                 (QStringList{QStringLiteral("tilesFromWall"), QStringLiteral("kanDora"),
                              QStringLiteral("someoneDeclaredMeld"), QStringLiteral("furitenChanged"),
                              QStringLiteral("activeChanged"), QStringLiteral("timeoutOccured"),
                              QStringLiteral("handEndNonScoring")}));
        QCOMPARE(drawn.first().at(1).value<tile_vector>(), (tile_vector{tile(1), tile(2)}));
        QCOMPARE(drawn.first().at(2).toBool(), true);
        QCOMPARE(dora.first().at(0).toInt(), 77); // the packet's table, not the envelope's
        QCOMPARE(declared.first().at(2).value<meld>(), meld_type::KONG);
        QCOMPARE(washout.first().at(1).value<endhand_reason_t>(), ENDHAND_REASON_4);
        QCOMPARE(washout.first().at(2).toBool(), true);
        QVERIFY(s.errors->isEmpty());
    }

    void claimsAndSuggestions()
    {
        Session s;
        QVERIFY(s.start());
        EventLog log(s.cm);
        QSignalSpy concealed(&s.cm, &ConnectionManager::concealedMeldSuggestion);
        QSignalSpy rob(&s.cm, &ConnectionManager::robTheKongSuggestion);
        QSignalSpy called(&s.cm, &ConnectionManager::someoneDeclaredMeld);
        QSignalSpy claimed(&s.cm, &ConnectionManager::tileClaimed);
        QSignalSpy melds(&s.cm, &ConnectionManager::meldDeclared);

        // 26: a concealed kong or riichi (wire meld types 2 and 6).
        TestFrame c(26);
        c.u32(2).u8(2).u8(27).u8(6).u8(5);
        gtf::span(c, 4000, 9000);
        s.server.send(gtf::game(6, c));
        // 35: mahjong by robbing the kong (wire meld type 3).
        TestFrame r(35);
        r.u32(1).u8(3).u8(14);
        gtf::span(r, 5000, 8000);
        s.server.send(gtf::game(6, r));
        s.server.send(gtf::game(6, TestFrame(42).u8(3).u32(31)));
        s.server.send(gtf::game(6, TestFrame(43).u8(33).u32(32)));
        s.server.send(gtf::game(6, TestFrame(47).u8(10).u32(33)));        // claimed chow
        s.server.send(gtf::game(6, TestFrame(49).u8(28).u8(0).u32(34)));  // open kong: a claim
        s.server.send(gtf::game(6, TestFrame(49).u8(29).u8(1).u32(35)));  // visibility 1: no claim
        s.server.send(gtf::game(6, TestFrame(50).u8(30).u32(36)));        // pong extended to a kong

        const QStringList expected{QStringLiteral("concealedMeldSuggestion"),
                                   QStringLiteral("robTheKongSuggestion"),
                                   QStringLiteral("someoneDeclaredMeld"),
                                   QStringLiteral("someoneDeclaredMeld"),
                                   QStringLiteral("tileClaimed"),
                                   QStringLiteral("meldDeclared"),
                                   QStringLiteral("tileClaimed"),
                                   QStringLiteral("meldDeclared"),
                                   QStringLiteral("meldDeclared"),
                                   QStringLiteral("meldDeclared")};
        QTRY_COMPARE_WITH_TIMEOUT(log.names.size(), expected.size(), 5000);
        QCOMPARE(log.names, expected);
        QVERIFY(s.errors->isEmpty());

        const auto offers = concealed.first().at(2).value<meld_offer_vector>();
        QCOMPARE(offers.size(), std::size_t(2));
        QCOMPARE(offers[0].type, meld_type::KONG);
        QCOMPARE(offers[0].meld_tile.code(), quint8(27));
        QCOMPARE(offers[1].type, meld_type::RIICHI);
        QCOMPARE(concealed.first().at(1).value<TimeSpan>().start(), epoch.addMSecs(4000));
        QCOMPARE(concealed.first().at(1).value<TimeSpan>().end(), epoch.addMSecs(9000));
        const auto robOffers = rob.first().at(2).value<meld_offer_vector>();
        QCOMPARE(robOffers.size(), std::size_t(1));
        QCOMPARE(robOffers[0].type, meld_type::MAHJONG);
        QCOMPARE(robOffers[0].meld_tile.code(), quint8(14));

        QCOMPARE(called.at(0).at(1).toInt(), 31);
        QCOMPARE(called.at(0).at(2).value<meld>(), meld_type::CHOW);
        QCOMPARE(called.at(0).at(3).value<tile>().code(), quint8(3));
        QCOMPARE(called.at(1).at(2).value<meld>(), meld_type::PONG);

        QCOMPARE(claimed.size(), 2);
        QCOMPARE(claimed.at(0).at(1).toInt(), 33);
        QCOMPARE(claimed.at(1).at(1).toInt(), 34);
        struct Expected
        {
            qint32 pid;
            meld_type::enum_t type;
            meld_visibility::enum_t visibility;
            quint8 tileCode;
        };
        const Expected want[] = {{33, meld_type::CHOW, meld_visibility::VISIBILITY_0, 10},
                                 {34, meld_type::KONG, meld_visibility::VISIBILITY_0, 28},
                                 {35, meld_type::KONG, meld_visibility::VISIBILITY_1, 29},
                                 {36, meld_type::PONG_TO_KONG, meld_visibility::VISIBILITY_1, 30}};
        QCOMPARE(melds.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(melds.at(i).at(0).toInt(), 6);
            QCOMPARE(melds.at(i).at(1).toInt(), want[i].pid);
            const auto m = melds.at(i).at(2).value<meld_tuple>();
            QCOMPARE(m.type, want[i].type);
            QCOMPARE(m.visibility, want[i].visibility);
            QCOMPARE(m.meld_tile.code(), want[i].tileCode);
            QCOMPARE(m.extra, -1);
            QCOMPARE(m.extra_tile.code(), quint8(0xFF));
        }
    }

    void handEndWithARepeatedPlayer()
    {
        // A later record of the same player replaces the earlier one; names
        // come from the name cache, which asks once for each unknown player.
        Session s;
        QVERIFY(s.start());
        QSignalSpy scoring(&s.cm, &ConnectionManager::handEndScoring);
        QSignalSpy washout(&s.cm, &ConnectionManager::handEndNonScoring);
        gtf::ScoreRecord first;
        first.pid = 61;
        first.handScore = 5;
        gtf::ScoreRecord other;
        other.pid = 62;
        gtf::ScoreRecord again = first;
        again.handScore = 7;
        // Wire end type 4 is reason 5 for scored hands.
        s.server.send(gtf::game(9, gtf::handEnd(3, {first, other, again}, 4, 1)));
        QVERIFY(scoring.wait(5000));
        const auto scores = scoring.first().at(1).value<std::map<qint32, player_score>>();
        QCOMPARE(scores.size(), std::size_t(2));
        QCOMPARE(scores.at(61).handScore, 7);
        QCOMPARE(scores.at(61).name, QStringLiteral("<unknown>"));
        QCOMPARE(scoring.first().at(2).value<endhand_reason_t>(), ENDHAND_REASON_5);
        QCOMPARE(scoring.first().at(3).toBool(), true);
        QVERIFY(washout.isEmpty());
        for (quint32 pid : {61u, 62u}) {
            const auto query = s.server.waitForFrame(16);
            QVERIFY(query);
            TestFrameReader r = query->reader();
            QCOMPARE(r.u32(), pid);
        }
        QVERIFY(!s.server.waitForFrame(16, 200));
    }

    void badGameData_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("snapshotFirst");

        gtf::PlayerRecord a;
        a.pid = 1;
        gtf::PlayerRecord b;
        b.pid = 2;
        QTest::newRow("two discarding candidates")
            << gtf::game(1, gtf::gameData(1, {a, b}, 4, {})).toBytes()
            << QStringLiteral("in TILE_DISCARDED_STATE and 2 players could be the discarding player") << false;
        QTest::newRow("claimed state, two actors")
            << gtf::game(1, gtf::gameData(1, {a, b}, 3, {1, 2})).toBytes()
            << QStringLiteral("in TILE_CLAIMED_STATE and server sent 2 pids") << true;
        QTest::newRow("illegal game state")
            << gtf::game(1, gtf::gameData(1, {a, b}, 9, {})).toBytes() << QStringLiteral("illegal game state 9") << false;
        gtf::PlayerRecord badMeld = a;
        badMeld.melds = {{7, 0, 1, 0, 0xFF}};
        QTest::newRow("illegal meld type")
            << gtf::game(1, gtf::gameData(1, {badMeld, b}, 1, {})).toBytes() << QStringLiteral("illegal meld value 7") << false;
        gtf::PlayerRecord badTile = a;
        badTile.discards = {1, 200};
        QTest::newRow("out-of-range discard")
            << gtf::game(1, gtf::gameData(1, {badTile, b}, 1, {})).toBytes()
            << QStringLiteral("illegal tile value 200") << false;
        QTest::newRow("out-of-range tile byte")
            << gtf::game(1, TestFrame(33).u8(42).u32(1)).toBytes() << QStringLiteral("illegal tile value 42") << false;
        QTest::newRow("illegal visibility")
            << gtf::game(1, TestFrame(49).u8(5).u8(3).u32(1)).toBytes() << QStringLiteral("illegal visibility 3") << false;
        QTest::newRow("illegal wind")
            << gtf::game(1, TestFrame(31).u64(1).u32(1).u32(2).u32(3).u32(4).u32(0).u8(0).u32(0).u8(0).u32(1).u8(4)
                                .u8(0).u8(0).u8(0))
                   .toBytes()
            << QStringLiteral("illegal wind 4") << false;
        QTest::newRow("scoring end type 3")
            << gtf::game(1, gtf::handEnd(1, {gtf::ScoreRecord{}}, 3, 0)).toBytes()
            << QStringLiteral("Unexpected scoring type") << false;
        gtf::ScoreRecord badHighlight;
        badHighlight.highlighted = {{3, {1, 2}}};
        QTest::newRow("highlight index beyond its tiles")
            << gtf::game(1, gtf::handEnd(1, {badHighlight}, 0, 0)).toBytes() << QStringLiteral("illegal highlight index 3") << false;
        QTest::newRow("non-scoring end type 0")
            << gtf::game(1, gtf::handEnd(1, {}, 0, 0)).toBytes() << QStringLiteral("Unexpected non scoring type") << false;
        QTest::newRow("lying player count")
            << gtf::game(1, TestFrame(37).u64(1).u32(0x10000000).u32(1)).toBytes() << QStringLiteral("announces") << false;
        QTest::newRow("truncated packet")
            << gtf::game(1, TestFrame(27).u32(1).u64(5)).toBytes() << QStringLiteral("ends early") << false;
        QTest::newRow("inner length lies")
            << TestFrame(100).u32(1).u32(0).u32(9).raw(QByteArray("\x00\x00\x00\x07\x21\x00\x00\x00\x00", 9)).toBytes()
            << QStringLiteral("does not match") << false;
    }

    void badGameData()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, error);
        QFETCH(bool, snapshotFirst);
        Session s;
        QVERIFY(s.start());
        EventLog log(s.cm);
        QSignalSpy refused(&s.cm, &ConnectionManager::gamePacketRefused);
        // The table's fault ends nothing else: the ping behind it is answered.
        s.server.sendRaw(frame + TestFrame(7).u32(5).toBytes());
        QVERIFY(s.server.waitForFrame(7));
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.first().at(0).toInt(), 1);
        QVERIFY2(refused.first().at(1).toString().contains(error), qPrintable(refused.first().at(1).toString()));
        QVERIFY(s.errors->isEmpty());
        // Only the snapshot of a claimed state comes before its refusal;
        // every other bad packet emits nothing.
        if (snapshotFirst)
            QCOMPARE(log.names, QStringList{QStringLiteral("gameData")});
        else
            QCOMPARE(log.names, QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_game_events)
#include "tst_game_events.moc"
