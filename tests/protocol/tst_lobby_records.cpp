// Lobby records: table and tournament snapshots, key-by-key updates, removals
// and rankings, built from wire bytes the way the dispatch builds them.

#include "TableInfo.h"
#include "TournamentInfo.h"
#include "TournamentRankings.h"
#include "lobby_records.h"
#include "message_reader.h"
#include "platform_packets.h"
#include "server_error.h"
#include "TestFrame.h"

#include <QTest>

Q_DECLARE_METATYPE(Param)

char* toString(const TableInfo& info)
{
    return qstrdup(debugText(info).toUtf8().constData());
}

char* toString(const TableCapacity& c)
{
    return qstrdup(QStringLiteral("TableCapacity(%1, %2, %3)").arg(c.capacity()).arg(c.seated()).arg(c.bots()).toUtf8().constData());
}

namespace {

// Records are encoded here with the test server's own encoder, so that the
// client's writer and reader cannot share a mistake.

message_t toMessage(const TestFrame& frame)
{
    const QByteArray body = frame.body();
    return message_t(body.begin(), body.end());
}

std::vector<unsigned char> fieldBytes(const TestFrame& fields)
{
    const QByteArray body = fields.body().mid(1); // without the class id
    return std::vector<unsigned char>(body.begin(), body.end());
}

Param intParam(const std::string& name, qint32 value)
{
    return Param {name, param_type::integer, fieldBytes(TestFrame(0).i32(value))};
}

Param textParam(const std::string& name, const std::string& text)
{
    return Param {name, param_type::text, fieldBytes(TestFrame(0).str(QByteArray::fromStdString(text)))};
}

/// A parameter list: u32 count, then name, type and the value's bytes.
TestFrame& params(TestFrame& frame, const ParamList& list)
{
    frame.u32(quint32(list.size()));
    for (const Param& p : list) {
        frame.str(QByteArray::fromStdString(p.name)).u8(p.type);
        frame.bytes(QByteArray(reinterpret_cast<const char*>(p.value.data()), qsizetype(p.value.size())));
    }
    return frame;
}

/// A table record frame (class 143) as the server sends it.
message_t tableRecordFrame(quint32 id, const std::string& path, const std::string& name, quint16 capacity,
                           quint16 seated, const ParamList& list)
{
    TestFrame f(143);
    f.u32(id).str(QByteArray::fromStdString(path)).str(QByteArray::fromStdString(name)).u16(capacity).u16(seated);
    return toMessage(params(f, list));
}

TableInfo tableFromWire(const message_t& frame)
{
    message_reader r(frame);
    return tableInfoFromRecord(platform_packets::table_record::read(r));
}

template<class F>
QString serverErrorText(F&& f)
{
    try {
        f();
    } catch (const server_error& e) {
        return QString::fromStdString(e.what());
    } catch (const std::exception& e) {
        return QStringLiteral("wrong exception type: ") + QString::fromStdString(e.what());
    }
    return QStringLiteral("no exception");
}

QStringList g_debugLines;
void captureDebug(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtDebugMsg)
        g_debugLines << text;
}

} // namespace

class tst_LobbyRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableSnapshotWithoutParamsHasDefaults();
    void tableSnapshotAppliesEveryKey();
    void tableCapacityIsSignExtended();
    void setsRunBeforeResets();
    void gameTypeAndItsRemoval();
    void bonusTable();
    void removalsResetToDefaults();
    void ignoredAndUnknownKeys();
    void badTableValuesFailWhileDecoding_data();
    void badTableValuesFailWhileDecoding();
    void sameChangesForEveryReceiver();
    void tournamentSnapshot();
    void tournamentUrls();
    void tournamentRoundLists();
    void tournamentRemovals();
    void badTournamentValuesFailWhileDecoding();
    void rankingsKeepOrderAndFlag();
    void truncatedAndLyingRecords();
};

void tst_LobbyRecords::tableSnapshotWithoutParamsHasDefaults()
{
    const TableInfo info = tableFromWire(tableRecordFrame(7, "101/Regular", "Bamboo Grove", 4, 2, {}));
    QCOMPARE(info.tableId, 7);
    QCOMPARE(info.lobbyPath, QStringLiteral("101/Regular"));
    QCOMPARE(info.name, QStringLiteral("Bamboo Grove"));
    QCOMPARE(info.capacity, TableCapacity(4, 2, 0));
    QCOMPARE(info.value.players(), 4);
    QCOMPARE(info.ruleset, 0);
    QCOMPARE(info.gameType, -1);
    QCOMPARE(info.speed, -1);
    QCOMPARE(info.mttId, -1);
    QCOMPARE(info.value.bet(), 0);
    QCOMPARE(info.value.settlement(), 0);

    const TableInfo fresh;
    QCOMPARE(fresh.name, QStringLiteral("N/A"));
}

void tst_LobbyRecords::tableSnapshotAppliesEveryKey()
{
    const TableInfo info = tableFromWire(tableRecordFrame(
        9, "101/mtt/12", "\xe9\xba\xbb\xe9\x9b\x80", 4, 1,
        {intParam("NUMBER_OF_BOTS", 2), intParam("GAME_TYPE", 1), intParam("SETTLEMENT", 0), intParam("SPEED", 15000),
         intParam("BET", 500), intParam("FEE", 25), textParam("BONUS_TABLE", "[30,10,-10,-30]"), intParam("MTT_ID", 12),
         intParam("RULESET", 2)}));
    QCOMPARE(info.name, QString::fromUtf8("\xe9\xba\xbb\xe9\x9b\x80"));
    QCOMPARE(info.capacity.bots(), 2);
    QCOMPARE(info.gameType, 1);
    QCOMPARE(info.value.settlement(), 1); // wire 0 is kind 1
    QCOMPARE(info.speed, 15000);
    QCOMPARE(info.value.bet(), 500);
    QCOMPARE(info.value.fee(), 25);
    QCOMPARE(info.value.bonusTable(), (TableValue::BonusTable {30, 10, -10, -30}));
    QCOMPARE(info.mttId, 12);
    QCOMPARE(info.ruleset, 2);
}

void tst_LobbyRecords::tableCapacityIsSignExtended()
{
    const TableInfo info = tableFromWire(tableRecordFrame(1, "101/Practice", "x", 0xFFFF, 0xFFFE, {}));
    QCOMPARE(info.capacity.capacity(), -1);
    QCOMPARE(info.capacity.seated(), -2);
    QCOMPARE(info.value.players(), -1);
}

void tst_LobbyRecords::setsRunBeforeResets()
{
    // Removals are a list of their own behind the changes; every change runs
    // first, so a key both changed and removed ends at its default.
    const TableInfoUpdates updates = tableInfoUpdatesFromParams({intParam("BET", 200), intParam("SPEED", 9000)}, {"BET"});
    QCOMPARE(updates.size(), std::size_t(3));
    QCOMPARE(updates[0].key, std::string("BET"));
    QVERIFY(!updates[0].removal);
    QCOMPARE(updates[2].key, std::string("BET"));
    QVERIFY(updates[2].removal);

    TableInfo info;
    info.value.setBet(50);
    info.applyUpdates(updates);
    QCOMPARE(info.value.bet(), 0);
    QCOMPARE(info.speed, 9000);
}

void tst_LobbyRecords::gameTypeAndItsRemoval()
{
    TableInfo info;
    info.value.setSettlement(3);
    info.applyUpdates(tableInfoUpdatesFromParams({intParam("GAME_TYPE", 2)}, {}));
    QCOMPARE(info.gameType, 2);
    QCOMPARE(info.value.settlement(), 3);

    info.applyUpdates(tableInfoUpdatesFromParams({}, {"GAME_TYPE"}));
    QCOMPARE(info.gameType, -1);
    QCOMPARE(info.value.settlement(), 0);
}

void tst_LobbyRecords::bonusTable()
{
    TableInfo info;
    info.applyUpdates(tableInfoUpdatesFromParams({textParam("BONUS_TABLE", "  [ 40 , 0,0 , -40 ] trailing")}, {}));
    QCOMPARE(info.value.bonusTable(), (TableValue::BonusTable {40, 0, 0, -40}));
    info.applyUpdates(tableInfoUpdatesFromParams({}, {"BONUS_TABLE"}));
    QCOMPARE(info.value.bonusTable(), (TableValue::BonusTable {0, 0, 0, 0}));

    QCOMPARE(serverErrorText([] { tableInfoUpdatesFromParams({textParam("BONUS_TABLE", "[30,10,-10,-20]")}, {}); }),
             QStringLiteral("Unbalanced bonus table from server"));
    QCOMPARE(serverErrorText([] { tableInfoUpdatesFromParams({textParam("BONUS_TABLE", "[30,10,-40]")}, {}); }),
             QStringLiteral("Invalid bonus table format"));
}

void tst_LobbyRecords::removalsResetToDefaults()
{
    TableInfo info = tableFromWire(tableRecordFrame(
        3, "101/Regular", "t", 4, 4,
        {intParam("NUMBER_OF_BOTS", 1), intParam("SPEED", 1), intParam("FEE", 3), intParam("MTT_ID", 4),
         intParam("RULESET", 1), intParam("SETTLEMENT", 2)}));
    info.applyUpdates(tableInfoUpdatesFromParams(
        {}, {"NUMBER_OF_BOTS", "SPEED", "FEE", "MTT_ID", "RULESET", "SETTLEMENT"}));
    QCOMPARE(info.capacity, TableCapacity(4, 4, 0));
    QCOMPARE(info.speed, -1);
    QCOMPARE(info.value.fee(), 0);
    QCOMPARE(info.mttId, -1);
    QCOMPARE(info.ruleset, 0);
    QCOMPARE(info.value.settlement(), 0);
    // Removals never touch what the server did not name.
    QCOMPARE(info.name, QStringLiteral("t"));
    QCOMPARE(info.value.players(), 4);
}

void tst_LobbyRecords::ignoredAndUnknownKeys()
{
    g_debugLines.clear();
    const auto previous = qInstallMessageHandler(captureDebug);
    const TableInfoUpdates updates = tableInfoUpdatesFromParams(
        {intParam("MIN_PLAYERS", 3), intParam("SCORE_LIMIT", 1), textParam("SCORE_VALUE", "x"), intParam("min_players", 3),
         textParam("COLOUR", "red")},
        {"SCORE_LIMIT", "WIND"});
    qInstallMessageHandler(previous);

    QVERIFY(updates.empty());
    QCOMPARE(g_debugLines,
             QStringList({"unhandled key: 'min_players' => int32(3)", "unhandled key: 'COLOUR' => string(red)",
                          "unhandled key: 'WIND"}));
}

void tst_LobbyRecords::badTableValuesFailWhileDecoding_data()
{
    QTest::addColumn<Param>("param");
    QTest::addColumn<QString>("error");
    QTest::newRow("ruleset 3") << intParam("RULESET", 3) << "illegal ruleset value 3";
    QTest::newRow("ruleset -1") << intParam("RULESET", -1) << "illegal ruleset value -1";
    QTest::newRow("game type 3") << intParam("GAME_TYPE", 3) << "illegal game_type value 3";
    QTest::newRow("settlement 4") << intParam("SETTLEMENT", 4) << "illegal settlement value 4";
    QTest::newRow("text for integer") << textParam("SPEED", "fast")
                                      << "table key SPEED needs an integer, got string(fast)";
    QTest::newRow("integer for text") << intParam("BONUS_TABLE", 5)
                                      << "table key BONUS_TABLE needs a text, got int32(5)";
    QTest::newRow("unknown type") << Param {"BET", 7, fieldBytes(TestFrame(0).i32(1))} << "invalid param type received: 7";
    QTest::newRow("short integer") << Param {"BET", 1, {0, 1}}
                                   << "message of class 0 ends early: u32 needs 4 bytes at offset 1, 2 left";
}

void tst_LobbyRecords::badTableValuesFailWhileDecoding()
{
    QFETCH(Param, param);
    QFETCH(QString, error);
    QCOMPARE(serverErrorText([&] { tableInfoUpdatesFromParams({intParam("BET", 1), param}, {}); }), error);
    // A snapshot with the bad value yields no record at all.
    QCOMPARE(serverErrorText([&] { tableFromWire(tableRecordFrame(1, "101/Regular", "t", 4, 0, {param})); }), error);
}

void tst_LobbyRecords::sameChangesForEveryReceiver()
{
    const TableInfoUpdates updates = tableInfoUpdatesFromParams(
        {intParam("RULESET", 1), textParam("BONUS_TABLE", "[1,-1,0,0]"), intParam("BET", 7)}, {"FEE"});
    TableInfo lobbyCopy;
    lobbyCopy.tableId = 5;
    lobbyCopy.value.setFee(9);
    TableInfo gameCopy = lobbyCopy;

    // Copies of the list (as queued signals make them) apply identically.
    const TableInfoUpdates copied = updates;
    lobbyCopy.applyUpdates(updates);
    gameCopy.applyUpdates(copied);
    QCOMPARE(lobbyCopy, gameCopy);
    QCOMPARE(lobbyCopy.ruleset, 1);
    QCOMPARE(lobbyCopy.value.fee(), 0);

    // An empty change is a programming error, reported as such.
    TableInfoUpdates broken {TableInfoUpdate {"X", false, {}}};
    QVERIFY_THROWS_EXCEPTION(std::bad_function_call, lobbyCopy.applyUpdates(broken));
}

void tst_LobbyRecords::tournamentSnapshot()
{
    TestFrame w(148);
    w.u32(77).str("/mtt/77");
    params(w,
                   {intParam("REGISTERED", 12), intParam("ACTIVE_PLAYERS", 8), textParam("NAME", "Sunday \xe2\x98\x80"),
                    intParam("CAPACITY", 64), intParam("MIN_PLAYERS", 8), intParam("MAX_PLAYERS", 64),
                    intParam("NUMBER_OF_ROUNDS", 5), intParam("BET", 1000), intParam("START", 86400),
                    intParam("END", 90000), intParam("STATUS", 3), intParam("CLOSE_REGISTER", 86000),
                    intParam("CURRENT_ROUND", 2), intParam("RULESET", 1), intParam("TOURNAMENT_ID", 77),
                    intParam("PERSISTENT_ID", 1)});
    message_reader r(toMessage(w));
    const TournamentInfo info = tournamentInfoFromRecord(platform_packets::tournament_record::read(r));

    QCOMPARE(info.tournamentId, 77);
    QCOMPARE(info.registered, 12);
    QCOMPARE(info.activePlayers, 8);
    QCOMPARE(info.name, QString::fromUtf8("Sunday \xe2\x98\x80"));
    QCOMPARE(info.capacity, 64);
    QCOMPARE(info.minPlayers, 8);
    QCOMPARE(info.maxPlayers, 64);
    QCOMPARE(info.numberOfRounds, 5);
    QCOMPARE(info.bet, 1000);
    QCOMPARE(info.start.toUTC(), QDateTime(QDate(1970, 1, 2), QTime(0, 0), Qt::UTC));
    QCOMPARE(info.start.timeSpec(), Qt::LocalTime);
    QCOMPARE(info.end.toSecsSinceEpoch(), 90000);
    QCOMPARE(info.closeRegister.toSecsSinceEpoch(), 86000);
    QCOMPARE(info.status, 3);
    QCOMPARE(info.currentRound, 2);
    QCOMPARE(info.ruleset, 1);
    QVERIFY(!info.ownRegistered);
}

void tst_LobbyRecords::tournamentUrls()
{
    QCOMPARE(infoUrlFromText("example.org/t/1"), QUrl("http://example.org/t/1"));
    QCOMPARE(infoUrlFromText("http://example.org/x"), QUrl("http://example.org/x"));
    // An address with a scheme keeps it; a host's port is no scheme.
    QCOMPARE(infoUrlFromText("https://example.org/x"), QUrl("https://example.org/x"));
    QCOMPARE(infoUrlFromText("example.org:8080/x"), QUrl("http://example.org:8080/x"));
    QVERIFY(infoUrlFromText(QString()).isEmpty());

    TournamentInfo info;
    info.applyUpdates(tournamentInfoUpdatesFromParams(
        {textParam("INFO_URL", "example.org/info"), textParam("SHORT_INFO_URL", "")}, {}));
    QCOMPARE(info.infoUrl, QUrl("http://example.org/info"));
    QVERIFY(info.shortInfoUrl.isEmpty());
}

void tst_LobbyRecords::tournamentRoundLists()
{
    TournamentInfo info;
    info.applyUpdates(tournamentInfoUpdatesFromParams({textParam("ROUNDS_START", "")}, {}));
    QCOMPARE(info.roundsStart.size(), std::size_t(1));
    QCOMPARE(info.roundsStart[0].toSecsSinceEpoch(), 0);

    info.applyUpdates(tournamentInfoUpdatesFromParams(
        {textParam("ROUNDS_START", "100,,300"), textParam("ROUNDS_LENGTH", "10,x,30")}, {}));
    QCOMPARE(info.roundsStart.size(), std::size_t(3));
    QCOMPARE(info.roundsStart[0].toSecsSinceEpoch(), 100);
    QCOMPARE(info.roundsStart[1].toSecsSinceEpoch(), 0);
    QCOMPARE(info.roundsStart[2].toSecsSinceEpoch(), 300);
    QCOMPARE(info.roundsLength, (std::vector<qint32> {10, 0, 30}));
}

void tst_LobbyRecords::tournamentRemovals()
{
    TournamentInfo info;
    info.applyUpdates(tournamentInfoUpdatesFromParams(
        {textParam("NAME", "Cup"), intParam("STATUS", 1), intParam("START", 5), textParam("ROUNDS_LENGTH", "1,2"),
         intParam("RULESET", 2)},
        {}));
    info.ownRegistered = true;
    info.applyUpdates(tournamentInfoUpdatesFromParams({}, {"NAME", "STATUS", "START", "ROUNDS_LENGTH", "RULESET"}));
    QCOMPARE(info.name, QStringLiteral("N/A"));
    QCOMPARE(info.status, -1);
    QVERIFY(info.start.isNull());
    QVERIFY(info.roundsLength.empty());
    QCOMPARE(info.ruleset, 0);
    QVERIFY(info.ownRegistered); // never touched by a key
}

void tst_LobbyRecords::badTournamentValuesFailWhileDecoding()
{
    QCOMPARE(serverErrorText([] { tournamentInfoUpdatesFromParams({intParam("STATUS", 7)}, {}); }),
             QStringLiteral("illegal tournament status 7"));
    QCOMPARE(serverErrorText([] { tournamentInfoUpdatesFromParams({intParam("RULESET", 9)}, {}); }),
             QStringLiteral("illegal ruleset value 9"));
    QCOMPARE(serverErrorText([] { tournamentInfoUpdatesFromParams({textParam("START", "soon")}, {}); }),
             QStringLiteral("tournament key START needs an integer, got string(soon)"));
}

void tst_LobbyRecords::rankingsKeepOrderAndFlag()
{
    TestFrame w(61);
    w.u32(2);
    w.u32(5).str("b\xc3\xa4r").u32(1200).u32(30).u8(0);
    w.u32(3).str("cat").u32(900).u32(20).u8(7);
    message_reader r(toMessage(w));
    const TournamentRankings rankings = tournamentRankingsFromRows(platform_packets::readRankingRows(r));
    QCOMPARE(rankings.size(), std::size_t(2));
    QCOMPARE(rankings[0], (TournamentRanking {5, QString::fromUtf8("b\xc3\xa4r"), 1200, 30, false}));
    QCOMPARE(rankings[1], (TournamentRanking {3, "cat", 900, 20, true}));
}

void tst_LobbyRecords::truncatedAndLyingRecords()
{
    message_t full = tableRecordFrame(1, "101/Regular", "t", 4, 0, {intParam("BET", 5)});
    for (std::size_t cut = 1; cut < full.size(); ++cut) {
        message_t shorter(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        QVERIFY_THROWS_EXCEPTION(server_error, tableFromWire(shorter));
    }

    // A list (class 153) announcing more records than the frame can hold.
    message_reader r(toMessage(TestFrame(153).u32(0x10000000)));
    QVERIFY_THROWS_EXCEPTION(server_error, platform_packets::readTableRecords(r));
}

QTEST_GUILESS_MAIN(tst_LobbyRecords)
#include "tst_lobby_records.moc"
