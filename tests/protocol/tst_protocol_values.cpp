#include "ProtocolValues.h"
#include "server_error.h"
#include "tile.h"

#include <QTest>

#include <functional>
#include <sstream>

namespace {
// The server_error text of a call, or "<none>" when it does not throw.
QString errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const server_error& e) {
        return QString::fromStdString(e.what());
    }
    return QStringLiteral("<none>");
}

template<typename T>
std::string str(const T& value)
{
    std::ostringstream os;
    os << value;
    return os.str();
}
}

class tst_protocol_values : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void meldTypesToTheWire_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("wire"); // -1: refused
        QTest::newRow("chow") << 1 << 0;
        QTest::newRow("pong") << 2 << 1;
        QTest::newRow("kong") << 8 << 2;
        QTest::newRow("mahjong") << 16 << 3;
        QTest::newRow("pong to kong") << 4 << 4;
        QTest::newRow("pair") << 32 << 5;
        QTest::newRow("riichi") << 128 << 6;
        QTest::newRow("a bonus tile is no offer") << 64 << -1;
        QTest::newRow("a wire code is no type") << 0 << -1;
    }
    void meldTypesToTheWire()
    {
        // What the test server writes into meld offers: the inverse of the
        // client's reading.
        QFETCH(int, type);
        QFETCH(int, wire);
        int got = -1;
        const QString error = errorOf([&] { got = meldTypeToWire(type); });
        if (wire == -1) {
            QCOMPARE(error, QStringLiteral("illegal meld value %1").arg(type));
            return;
        }
        QCOMPARE(got, wire);
        QCOMPARE(int(meldTypeFromWire(got)), type);
    }

    void enumerationTables_data()
    {
        // converter, wire value, expected client value (-1000: rejected), expected text
        QTest::addColumn<int>("which");
        QTest::addColumn<qint64>("wireValue");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("text");
        const int R = -1000;
        auto row = [](const char* name, int which, qint64 v, int e, const char* t = "") {
            QTest::addRow("%s %lld", name, v) << which << v << e << QString::fromLatin1(t);
        };
        for (int v = 0; v <= 2; ++v)
            row("ruleset", 0, v, v);
        row("ruleset", 0, 3, R, "illegal ruleset value 3");
        row("ruleset", 0, -1, R, "illegal ruleset value -1");
        for (int v = 0; v <= 2; ++v)
            row("gameType", 1, v, v);
        row("gameType", 1, 3, R, "illegal game_type value 3");
        row("settlement", 2, 0, 1);
        row("settlement", 2, 1, 2);
        row("settlement", 2, 2, 3);
        row("settlement", 2, 3, 0);
        row("settlement", 2, 4, R, "illegal settlement value 4");
        row("scoreType", 3, 0, 0);
        row("scoreType", 3, 1, 1);
        row("scoreType", 3, 2, R, "Server error in score");
        row("scoring", 4, 0, 1);
        row("scoring", 4, 1, 2);
        row("scoring", 4, 2, 3);
        row("scoring", 4, 3, R, "Unexpected scoring type");
        row("scoring", 4, 4, 5);
        row("scoring", 4, 5, R, "Unexpected scoring type");
        row("nonScoring", 5, 2, R, "Unexpected non scoring type");
        for (int v = 3; v <= 8; ++v)
            row("nonScoring", 5, v, v + 1);
        row("nonScoring", 5, 9, R, "Unexpected non scoring type");
        for (int v = 0; v <= 11; ++v)
            row("webPage", 6, v, v);
        row("webPage", 6, 12, R, "Unexpected web page type type");
        row("webPage", 6, -1, R, "Unexpected web page type type");
        row("webPageToWire", 7, 11, 11);
        row("webPageToWire", 7, 12, R, "Unexpected web page type type");
        row("joinFailed", 8, 0, R, "Unexpected join failed reason");
        for (int v = 1; v <= 5; ++v)
            row("joinFailed", 8, v, v - 1);
        row("joinFailed", 8, 6, R, "Unexpected join failed reason");
        row("tmntRegister", 9, 0, R, "Unexpected join failed reason");
        for (int v = 1; v <= 7; ++v)
            row("tmntRegister", 9, v, v - 1);
        row("tmntRegister", 9, 8, R, "Unexpected join failed reason");
        for (int v = 0; v <= 3; ++v)
            row("kick", 10, v, v);
        row("kick", 10, 4, R, "Unexpected kick reason");
        const int melds[] = {1, 2, 8, 16, 4, 32, 128};
        for (int v = 0; v <= 6; ++v)
            row("meld", 11, v, melds[v]);
        row("meld", 11, 7, R, "illegal meld value 7");
        for (int v = 0; v <= 2; ++v)
            row("visibility", 12, v, v);
        row("visibility", 12, 3, R, "illegal visibility 3");
        for (int v = 0; v <= 3; ++v)
            row("wind", 13, v, v);
        row("wind", 13, 4, R, "illegal wind 4");
        for (int v = 0; v <= 7; ++v)
            row("gameState", 14, v, v);
        row("gameState", 14, 8, 0);
        row("gameState", 14, 9, R, "illegal game state 9");
        for (int v = 0; v <= 6; ++v)
            row("tournamentStatus", 15, v, v);
        row("tournamentStatus", 15, 7, R, "illegal tournament status 7");
        row("tournamentStatus", 15, 4294967295LL, R, "illegal tournament status 4294967295");
    }

    void enumerationTables()
    {
        QFETCH(int, which);
        QFETCH(qint64, wireValue);
        QFETCH(int, expected);
        QFETCH(QString, text);
        const std::function<int(qint64)> converters[] = {
            rulesetFromWire,
            gameTypeFromWire,
            settlementFromWire,
            scoreTypeFromWire,
            [](qint64 v) { return int(scoringReasonFromWire(v)); },
            [](qint64 v) { return int(nonScoringReasonFromWire(v)); },
            [](qint64 v) { return int(webPageRequestFromWire(v)); },
            [](qint64 v) { return int(webPageRequestToWire(v)); },
            [](qint64 v) { return int(joinFailedReasonFromWire(v)); },
            [](qint64 v) { return int(tournamentRegisterFailedReasonFromWire(v)); },
            [](qint64 v) { return int(kickReasonFromWire(v)); },
            [](qint64 v) { return int(meldTypeFromWire(v)); },
            [](qint64 v) { return int(meldVisibilityFromWire(v)); },
            [](qint64 v) { return int(windFromWire(v)); },
            [](qint64 v) { return int(gameStateFromWire(v)); },
            tournamentStatusFromWire,
        };
        int got = -1000;
        const QString error = errorOf([&] { got = converters[which](wireValue); });
        if (expected == -1000) {
            QCOMPARE(error, text);
        } else {
            QCOMPARE(error, QStringLiteral("<none>"));
            QCOMPARE(got, expected);
        }
    }

    void serverTime()
    {
        QCOMPARE(serverTimeToDateTime(0), QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC));
        const QDateTime t = serverTimeToDateTime(1500);
        QCOMPARE(t, QDateTime(QDate(1970, 1, 1), QTime(0, 0, 1, 500), Qt::UTC));
        QCOMPARE(t.timeSpec(), Qt::UTC);
        const QDateTime recent = serverTimeToDateTime(1764000000123LL);
        QCOMPARE(recent.toMSecsSinceEpoch(), 1764000000123LL);
        const TimeSpan span = timeSpanFromWire({1000, 31000});
        QCOMPARE(span.start().toMSecsSinceEpoch(), 1000);
        QCOMPARE(span.end().toMSecsSinceEpoch(), 31000);
        QVERIFY(TimeSpan().isNull());
        QVERIFY(!TimeSpan().end().isValid());
        QCOMPARE(TimeSpan(span.start(), 500).end().toMSecsSinceEpoch(), 1500);
    }

    void bonusTable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("plain") << "[100,0,-40,-60]" << "<none>" << QList<int>{100, 0, -40, -60};
        QTest::newRow("blanks") << "  [ 100 , 0 ,-40 , -60 ]" << "<none>" << QList<int>{100, 0, -40, -60};
        QTest::newRow("trailing text") << "[1,-1,0,0] and more" << "<none>" << QList<int>{1, -1, 0, 0};
        QTest::newRow("tab before bracket") << "\t[1,-1,0,0]" << "Invalid bonus table format" << QList<int>{};
        QTest::newRow("three numbers") << "[1,-1,0]" << "Invalid bonus table format" << QList<int>{};
        QTest::newRow("no closing bracket") << "[1,-1,0,0" << "Invalid bonus table format" << QList<int>{};
        QTest::newRow("empty") << "" << "Invalid bonus table format" << QList<int>{};
        QTest::newRow("words") << "[a,b,c,d]" << "Invalid bonus table format" << QList<int>{};
        QTest::newRow("unbalanced") << "[1,0,0,0]" << "Unbalanced bonus table from server" << QList<int>{};
        QTest::newRow("overflowing sum") << "[2147483647,2147483647,2,0]" << "Unbalanced bonus table from server"
                                         << QList<int>{};
    }

    void bonusTable()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        QFETCH(QList<int>, values);
        std::array<qint32, 4> result{};
        QCOMPARE(errorOf([&] { result = parseBonusTable(text.toStdString()); }), error);
        if (!values.isEmpty())
            QCOMPARE((QList<int>{result[0], result[1], result[2], result[3]}), values);
    }

    void clientConfig()
    {
        const ClientConfig c = clientConfigFromWire({"xmpp.example", "conference.example", "", "search.example"});
        QVERIFY(c.hasXmppHost());
        QVERIFY(c.hasConferenceJid());
        QVERIFY(!c.hasLobbyRoomJid());
        QVERIFY(c.hasSearchJid());
        QCOMPARE(c.xmppHost(), QStringLiteral("xmpp.example"));
        QVERIFY(!ClientConfig().hasXmppHost());
        QCOMPARE(clientConfigFromWire({"h\xC3\xA9", "", "", ""}).xmppHost(), QString::fromUtf8("h\xC3\xA9"));
    }

    void highscores()
    {
        const HighscoreList l = highscoreListFromWire({{7, "ann", 100}, {8, "b\xC3\xB8", -5}});
        QCOMPARE(l.size(), size_t(2));
        QCOMPARE(l[0].name, QStringLiteral("ann"));
        QCOMPARE(l[1].name, QString::fromUtf8("b\xC3\xB8"));
        QCOMPARE(l[1].value, qint64(-5));
    }

    void meldsAndOffers()
    {
        const meld_tuple m = meldTupleFromWire({2, 1, 27, -1, 0xFF});
        QCOMPARE(int(m.type), 8);
        QCOMPARE(int(m.visibility), 1);
        QCOMPARE(m.meld_tile.code(), std::uint8_t(27));
        QCOMPARE(m.extra, -1);
        QVERIFY(m.extra_tile.isConcealed());
        QCOMPARE(str(m), std::string("Meld<KONG EAST WIND concealed:1>"));
        QCOMPARE(str(meld_tuple_vector{m, meldTupleFromWire({0, 0, 6, 0, 0})}),
                 std::string("Melds<Meld<KONG EAST WIND concealed:1>,Meld<CHOW BAMBOO 7 concealed:0>>"));
        QCOMPARE(errorOf([] { meldTupleFromWire({9, 0, 1, 0, 0}); }), QStringLiteral("illegal meld value 9"));
        QCOMPARE(errorOf([] { meldTupleFromWire({0, 5, 1, 0, 0}); }), QStringLiteral("illegal visibility 5"));
        QCOMPARE(errorOf([] { meldTupleFromWire({0, 0, 42, 0, 0}); }), QStringLiteral("illegal tile value 42"));

        const meld_offer_vector offers = meldOffersFromWire({{6, 5}, {1, 30}});
        QCOMPARE(offers.size(), size_t(2));
        QCOMPARE(int(offers[0].type), 128);
        QCOMPARE(offers[1].meld_tile.code(), std::uint8_t(30));
        QCOMPARE(meldTypeName(offers[0].type), "UNKNOWN");
        QCOMPARE(meldTypeName(4), "PONG TO KONG");
        QCOMPARE(meldTypeName(3), "UNKNOWN");
    }

    void highlightedTiles()
    {
        const HighlightedTiles h = highlightedTilesFromWire({3, {1, 2, 3}});
        QCOMPARE(h.index, std::uint8_t(3));
        QCOMPARE(h.tiles.size(), size_t(3));
        QCOMPARE(errorOf([] { highlightedTilesFromWire({4, {1, 2, 3}}); }), QStringLiteral("illegal highlight index 4"));
        QCOMPARE(errorOf([] { highlightedTilesFromWire({0, {}}); }), QStringLiteral("<none>"));
        QCOMPARE(errorOf([] { highlightedTilesFromWire({0, {200}}); }), QStringLiteral("illegal tile value 200"));
    }

    void playerScore()
    {
        wire::score_record r;
        r.pid = 55;
        r.a = 10;
        r.b = 20;
        r.c = 999;
        r.points = {{0, 5}, {154, 6}, {155, 7}};
        r.d = 18;
        r.doubles = {{153, -2}, {200, 1}};
        r.e = -1;
        r.limitHands = {{1, 3}, {155, 4}};
        r.f = 7;
        r.highlighted = {{1, {0, 1, 2}}};
        r.scoreType = 1;
        r.g = 30;
        r.h = (qint64(1) << 32) | 0xFFFFFFFFu; // low 32 bits: -1
        const player_score s = playerScoreFromWire(r);
        QCOMPARE(s.scoreType, 1);
        QCOMPARE(s.points.size(), 3);
        QCOMPARE(s.points[0], ScoreItem(QStringLiteral("Bonus"), 5));
        QCOMPARE(s.points[1], ScoreItem(QStringLiteral("Ura dora"), 6));
        QCOMPARE(s.points[2], ScoreItem(QStringLiteral("UNKNOWN SCORE NAME"), 7));
        QCOMPARE(s.doubles[0], ScoreItem(QStringLiteral("Dora"), -2));
        QCOMPARE(s.doubles[1], ScoreItem(QStringLiteral("UNKNOWN DOUBLE NAME"), 1));
        QCOMPARE(s.limitHands[0], ScoreItem(QStringLiteral("Going mahjong"), 3));
        QCOMPARE(s.limitHands[1], ScoreItem(QStringLiteral("UNKNOWN DOUBLE NAME"), 4));
        QCOMPARE(s.pointsTotal, 18);
        QCOMPARE(s.doublesTotal, -1);
        QCOMPARE(s.limitHandsTotal, 7);
        QCOMPARE(s.handScore, 10);
        QCOMPARE(s.currentScore, 20);
        QCOMPARE(s.settlement, 30);
        QCOMPARE(s.payment, -1);
        QCOMPARE(s.highlighted.size(), size_t(1));
        QVERIFY(s.name.isEmpty());

        r.scoreType = 2;
        QCOMPARE(errorOf([&] { playerScoreFromWire(r); }), QStringLiteral("Server error in score"));
        QCOMPARE(QString::fromLatin1(scoreNameSource(37)), QStringLiteral("Chicken hand"));
        QCOMPARE(QString::fromLatin1(scoreNameSource(114)), QStringLiteral("Thirteen orphans"));
        QCOMPARE(QString::fromLatin1(scoreNameSource(17)), QStringLiteral("Pair in own and prevailing wind"));
        // The server's own spellings are kept as they are.
        QCOMPARE(QString::fromLatin1(scoreNameSource(122)), QStringLiteral("Pong in prevaling wind"));
        QCOMPARE(QString::fromLatin1(scoreNameSource(128)), QStringLiteral("Bouqet of flowers"));
        QCOMPARE(QString::fromLatin1(scoreNameSource(153)), QStringLiteral("Dora"));
        QVERIFY(!scoreNameSource(155));
    }

    void tileValues_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("suit");
        QTest::addColumn<int>("rank");
        QTest::addColumn<QString>("debug");
        QTest::addColumn<QString>("display");
        QTest::newRow("bamboo 1") << 0 << 0 << 1 << "BAMBOO 1" << "Bamboo 1";
        QTest::newRow("bamboo 7") << 6 << 0 << 7 << "BAMBOO 7" << "Bamboo 7";
        QTest::newRow("character 9") << 17 << 1 << 9 << "CHARACTER 9" << "Character 9";
        QTest::newRow("circle 1") << 18 << 2 << 1 << "CIRCLE 1" << "Circle 1";
        QTest::newRow("east") << 27 << 4 << 1 << "EAST WIND" << "East Wind";
        QTest::newRow("north") << 30 << 4 << 4 << "NORTH WIND" << "North Wind";
        QTest::newRow("green") << 31 << 3 << 1 << "GREEN DRAGON" << "Green Dragon";
        QTest::newRow("white") << 33 << 3 << 3 << "WHITE DRAGON" << "White Dragon";
        QTest::newRow("plum") << 34 << 5 << 1 << "PLUM BLOSSOM" << "Plum blossom 1";
        QTest::newRow("fourth flower") << 37 << 5 << 4 << "BAMBOO" << "Bamboo 4";
        QTest::newRow("spring") << 38 << 6 << 1 << "SPRING" << "Spring 1";
        QTest::newRow("winter") << 41 << 6 << 4 << "WINTER" << "Winter 4";
        QTest::newRow("concealed") << 255 << 6 << -1 << "CONCEALED" << "Concealed";
    }

    void tileValues()
    {
        QFETCH(int, code);
        QFETCH(int, suit);
        QFETCH(int, rank);
        QFETCH(QString, debug);
        QFETCH(QString, display);
        const tile t(static_cast<std::uint8_t>(code));
        QCOMPARE(t.suit(), suit);
        QCOMPARE(t.rank(), rank);
        QCOMPARE(QString::fromStdString(tileToString(t)), debug);
        QCOMPARE(QString::fromStdString(str(t)), debug);
        QCOMPARE(tileDisplayName(t), display);
        QCOMPARE(tileFromWire(std::uint8_t(code)).code(), std::uint8_t(code));
    }

    void tileBytesOutsideTheTable()
    {
        for (int code = 42; code < 255; ++code) {
            QCOMPARE(errorOf([code] { tileFromWire(std::uint8_t(code)); }), QStringLiteral("illegal tile value %1").arg(code));
            QCOMPARE(tile(std::uint8_t(code)).rank(), -1);
            QCOMPARE(tile(std::uint8_t(code)).suit(), 6);
        }
        QVERIFY(!tile(42).isValid());
        QVERIFY(tile().isConcealed());
    }

    void tileLists()
    {
        QCOMPARE(chowTiles(6), (tile_vector{6, 7, 8}));
        QCOMPARE(pongTiles(31), (tile_vector{31, 31, 31}));
        QCOMPARE(kongTiles(0).size(), size_t(4));
        QCOMPARE(str(tile_vector{}), std::string());
        QCOMPARE(str(tile_vector{27, 255}), std::string("EAST WIND,CONCEALED"));
    }

    void windTexts()
    {
        QCOMPARE(windDebugName(0), "EAST");
        QCOMPARE(windDebugName(3), "NORTH");
        QCOMPARE(windDebugName(4), "<undefined>");
        QCOMPARE(windDebugName(-1), "<undefined>");
        QCOMPARE(relativePositionName(0), "BOTTOM");
        QCOMPARE(relativePositionName(3), "LEFT");
        QCOMPARE(relativePositionName(4), "<undefined>");
        QCOMPARE(windDisplayName(1), QStringLiteral("South"));
        QCOMPARE(prevalentWindText(2), QStringLiteral("Prevalent wind: West"));
    }
};

QTEST_GUILESS_MAIN(tst_protocol_values)
#include "tst_protocol_values.moc"
