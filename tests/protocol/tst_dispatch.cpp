// Incoming dispatch through a real socket: the test game server sends frames,
// the ConnectionManager turns each into its signals, strictly in order.

#include "ManagerSession.h"
#include "TournamentScenario.h"
#include "request_handler.h"
#include "table_request_handler.h"

#include <QEventLoop>
#include <QTimer>
#include <QtEndian>

namespace {

QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray textValue(const QByteArray& text)
{
    QByteArray b(2, '\0');
    qToBigEndian(quint16(text.size()), b.data());
    return b + text;
}

/// Parameter list helpers on the test server's own encoder.
struct Params
{
    QList<std::tuple<QByteArray, quint8, QByteArray>> items;
    Params& i(const QByteArray& name, qint32 v)
    {
        items.append({name, 1, be32(quint32(v))});
        return *this;
    }
    Params& s(const QByteArray& name, const QByteArray& text)
    {
        items.append({name, 0, textValue(text)});
        return *this;
    }
    Params& raw(const QByteArray& name, quint8 type, const QByteArray& value)
    {
        items.append({name, type, value});
        return *this;
    }
    void writeTo(TestFrame& f) const
    {
        f.u32(quint32(items.size()));
        for (const auto& [name, type, value] : items)
            f.str(name).u8(type).bytes(value);
    }
};

void tableRecord(TestFrame& f, quint32 id, const QByteArray& name, quint16 cap, quint16 seated, const Params& p = {})
{
    f.u32(id).str("101/Regular").str(name).u16(cap).u16(seated);
    p.writeTo(f);
}

TestFrame tableSnapshot(quint32 id, const QByteArray& name, quint16 cap = 4, quint16 seated = 0, const Params& p = {})
{
    TestFrame f(143);
    tableRecord(f, id, name, cap, seated, p);
    return f;
}

TestFrame tournamentEnvelope(quint32 mttId, const TestFrame& inner)
{
    return TestFrame(104).u32(mttId).u32(0).nested(inner);
}

/// For a handler: uses up the turn's slice; the events show where the turn ends.
void endTurnHere(ManagerSession& s)
{
    QTest::qSleep(int(ConnectionManager::dispatchSliceMsecs) + 5);
    QMetaObject::invokeMethod(&s.cm, [&s] { s.events << QStringLiteral("turn over"); }, Qt::QueuedConnection);
}

} // namespace

class tst_Dispatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loginSuccess();
    void loginFailure_data();
    void loginFailure();
    void playerNames();
    void lobbyFeed();
    void tournamentFeed();
    void tableAnswers();
    void joinFailures();
    void filteredJoin();
    void filteredJoinTableAvailable();
    void tournamentEnvelope();
    void tournamentAnswers();
    void notifications();
    void unknownClassesAreSkipped();
    void tracesAreExact();
    void nestedEventLoopKeepsOrder();
    void exceptionStopsEverythingAfter();
    void badInput_data();
    void badInput();
};

void tst_Dispatch::loginSuccess()
{
    ManagerSession s;
    QVERIFY(s.start());
    s.server.onRequest(10, [&](const ReceivedFrame&) {
        s.server.send(TestFrame(11).str("J\xc3\xb6rg").u32(42).u8(0).u32(1).str("x").bytes(QByteArray("ab\0cd", 5)));
    });
    s.cm.login(QStringLiteral("J\u00f6rg"), QStringLiteral("pa\u00df"));
    QVERIFY(s.waitForEvents(2));
    QCOMPARE(s.events, QStringList({QString::fromUtf8("playerNameUpdate 42 J\xc3\xb6rg"),
                                    QString::fromUtf8("loginSuccess 42 J\xc3\xb6rg ab 1")}));
    QVERIFY(s.cm.isLoggedIn());
    QCOMPARE(s.cm.ownPlayerId(), 42);

    // The login on the wire: user name Latin-1, password UTF-8, partner 4, empty bytes.
    const auto login = s.server.received(10).value(0);
    QCOMPARE(hexOf(login.body), hexOf(QByteArray::fromHex("0a 0004 4af6 7267 0004 7061c39f 00000004 00000000")));

    // Code 0 and 2 are not fully registered.
    s.events.clear();
    s.server.send(TestFrame(11).str("me").u32(43).u8(0).u32(2).str("").bytes(""));
    QVERIFY(s.waitForEvents(2));
    QCOMPARE(s.events.last(), QStringLiteral("loginSuccess 43 me  0"));
}

void tst_Dispatch::loginFailure_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("trace");
    // The log stream puts a blank between the items "cm:login ", the word and "!".
    QTest::newRow("failed") << 1 << "cm:login  failed !";
    QTest::newRow("denied") << 7 << "cm:login  denied !";
}

void tst_Dispatch::loginFailure()
{
    QFETCH(int, status);
    QFETCH(QString, trace);
    ManagerSession s;
    QVERIFY(s.start());
    QTest::ignoreMessage(QtDebugMsg, trace.toUtf8().constData());
    s.server.send(TestFrame(11).str("me").u32(5).u8(quint8(status)).u32(13).str("").bytes(""));
    QVERIFY(s.waitForEvents(1));
    QCOMPARE(s.events, QStringList {"loginFailed 13"});
    QVERIFY(!s.cm.isLoggedIn());
}

void tst_Dispatch::playerNames()
{
    ManagerSession s;
    QVERIFY(s.start());
    // Player info, then the same name again (no update), then a new name.
    s.server.send(TestFrame(13).u32(8).str("ann").u32(0));
    s.server.send(TestFrame(13).u32(8).str("ann").u32(0));
    s.server.send(TestFrame(17).u32(8).str("anna").u8(0).bytes(""));
    s.server.send(TestFrame(17).u32(9).str("ignored").u8(2).bytes(""));
    s.server.send(TestFrame(15).u32(3).u8(2).u8(1).u32(10).str("bo").u32(0));
    QVERIFY(s.waitForEvents(4));
    QCOMPARE(s.events, QStringList({"playerNameUpdate 8 ann", "playerNameUpdate 8 anna", "seatInfo 3 2 1",
                                    "playerNameUpdate 10 bo"}));
    QCOMPARE(s.cm.playerName(8), QStringLiteral("anna"));

    // An unknown id is asked for once; the answer updates the cache.
    s.events.clear();
    QCOMPARE(s.cm.playerName(77), QStringLiteral("<unknown>"));
    QCOMPARE(s.cm.playerName(77), QStringLiteral("<unknown>"));
    const auto query = s.server.waitForFrame(16);
    QVERIFY(query);
    QCOMPARE(hexOf(query->body), QStringLiteral("10 00 00 00 4d"));
    QVERIFY(!s.server.waitForFrame(16, 200));
    s.server.send(TestFrame(17).u32(77).str("zed").u8(0).bytes(""));
    QVERIFY(s.waitForEvents(1));
    QCOMPARE(s.events, QStringList {"playerNameUpdate 77 zed"});

    // After a forced logout nothing more goes out, not even a name's question.
    s.events.clear();
    s.server.send(TestFrame(14).u32(0).str("bye"));
    QVERIFY(s.waitForEvents(1));
    QCOMPARE(s.events, QStringList {"forcedLogout"});
    QCOMPARE(s.cm.playerName(78), QStringLiteral("<unknown>"));
    QVERIFY(!s.server.waitForFrame(16, 200));
}

void tst_Dispatch::lobbyFeed()
{
    ManagerSession s;
    QVERIFY(s.start());

    // The server answers the subscription with the path's tables.
    s.server.onRequest(145, [&](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        if (r.u8() != 0 || r.u32() != 101 || r.str() != "Regular")
            return;
        TestFrame list(153);
        list.u32(2);
        tableRecord(list, 1, "East", 4, 1, Params().i("RULESET", 2).i("BET", 100));
        tableRecord(list, 2, "West", 3, 3);
        s.server.send(list);
    });
    s.cm.lobby_table_subscribe(QStringLiteral("101/Regular"));
    QVERIFY(s.waitForEvents(2));
    s.server.send(TestFrame(153).u32(0)); // nothing

    TestFrame updates(154);
    updates.u32(3);
    updates.u32(1).u16(2);
    Params().i("BET", 300).i("SPEED", 8000).writeTo(updates);
    updates.u32(1).str("BET");
    updates.u32(1).u16(2); // left out alone
    Params().i("RULESET", 7).writeTo(updates);
    updates.u32(0);
    updates.u32(2).u16(0xFFFF).u32(0).u32(0);
    QTest::ignoreMessage(QtWarningMsg, "table 1 left out of the list: illegal ruleset value 7");
    s.server.send(updates);

    TestFrame single(144);
    single.u32(1).u16(3);
    Params().s("BONUS_TABLE", "[1,0,0,-1]").writeTo(single);
    single.u32(0);
    s.server.send(single);
    s.server.send(TestFrame(147).u32(2));
    s.server.send(tableSnapshot(5, "North", 4, 0, Params().i("MIN_PLAYERS", 2)));

    QVERIFY(s.waitForEvents(7));
    QCOMPARE(s.events, QStringList({"table 1 East 1/4", "table 2 West 3/3", "tableUpdate 1 2 BET+,SPEED+,BET-",
                                    "tableUpdate 2 -1 ", "tableUpdate 1 3 BONUS_TABLE+", "tableRemoved 2",
                                    "table 5 North 0/4"}));
    QCOMPARE(s.tables[0].ruleset, 2);
    QCOMPARE(s.tables[0].value.bet(), 100);

    // The receiver applies the checked changes; sets ran before the reset.
    TableInfo lobbyRow = s.tables[0];
    lobbyRow.applyUpdates(s.tableUpdates[0]);
    QCOMPARE(lobbyRow.value.bet(), 0);
    QCOMPARE(lobbyRow.speed, 8000);
    lobbyRow.applyUpdates(s.tableUpdates[2]);
    QCOMPARE(lobbyRow.value.bonusTable(), (TableValue::BonusTable {1, 0, 0, -1}));

    // A list past the 16 MiB of other frames is read, its names cut to a line.
    TestFrame big = TestFrame(153).u32(300);
    for (quint32 id = 1001; id <= 1300; ++id)
        tableRecord(big, id, QByteArray(60000, 'n'), 4, 0);
    s.events.clear();
    s.server.send(big);
    QVERIFY(s.waitForEvents(300, 60000));
    QCOMPARE(s.events.last(), QStringLiteral("table 1300 %1\u2026 0/4").arg(QString(255, QLatin1Char('n'))));

    // A list read over several turns, its one bad record left out alone; then
    // the server closes: the close is announced after the list's last table.
    QObject::connect(&s.cm, &ConnectionManager::disconnected, &s.cm, [&] { s.events << QStringLiteral("disconnected"); });
    constexpr quint32 many = 50000;
    TestFrame list = TestFrame(153).u32(many);
    for (quint32 id = 1; id <= many; ++id)
        tableRecord(list, id, "T", 4, 0, id == 20000 ? Params().i("RULESET", 3) : Params());
    s.events.clear();
    QTest::ignoreMessage(QtWarningMsg, "table 20000 left out of the list: illegal ruleset value 3");
    s.server.send(list);
    s.server.send(TestFrame(7).u32(9)); // its pong has nowhere to go, and is no error
    s.server.closeClient();
    QVERIFY(s.waitForEvents(many, 60000));
    QCOMPARE(s.events.mid(19998, 2), QStringList({"table 19999 T 0/4", "table 20001 T 0/4"}));
    QCOMPARE(s.events.mid(many - 2), QStringList({"table 50000 T 0/4", "disconnected"}));
    QVERIFY(s.exceptions.isEmpty());
}

void tst_Dispatch::tournamentFeed()
{
    ManagerSession s;
    QVERIFY(s.start());
    TestFrame snap(148);
    snap.u32(70).str("addr");
    Params().s("NAME", "Cup").i("STATUS", 0).writeTo(snap);
    s.server.send(snap);

    TestFrame list(155);
    list.u32(1).u32(71).str("a");
    Params().s("NAME", "Plate").writeTo(list);
    s.server.send(list);

    TestFrame upd(149);
    upd.u32(70);
    Params().i("REGISTERED", 5).writeTo(upd);
    upd.u32(1).str("START");
    s.server.send(upd);

    TestFrame updList(156);
    updList.u32(2).u32(70);
    Params().i("REGISTERED", 6).writeTo(updList);
    updList.u32(0).u32(71).u32(0).u32(0);
    s.server.send(updList);
    s.server.send(TestFrame(150).u32(71));

    QVERIFY(s.waitForEvents(6));
    QCOMPARE(s.events, QStringList({"tournament 70 Cup 0", "tournament 71 Plate -1", "tournamentUpdate 70 2 5",
                                    "tournamentUpdate 70 1 6", "tournamentUpdate 71 0 -1", "tournamentRemoved 71"}));
    // A list announced over turns as a table list is; its one bad record is left out alone. The ping sent
    // behind it is answered before its last record is through.
    s.server.onRequest(7, [&](const ReceivedFrame&) { s.events << QStringLiteral("pong"); });
    QObject::connect(&s.cm, qOverload<TournamentInfo>(&ConnectionManager::tournamentInfoUpdate), &s.cm,
                     [&](const TournamentInfo& info) {
                         if (info.tournamentId == 80)
                             endTurnHere(s);
                         if (info.tournamentId == 82 && QTest::qWaitFor([&] { return s.events.contains("pong"); }))
                             s.events << QStringLiteral("tournament 82 through");
                     });
    s.events.clear();
    QTest::ignoreMessage(QtWarningMsg, "tournament 81 left out of the list: illegal tournament status -2147483648");
    using namespace TournamentFrames;
    s.server.send(snapshotList({{80, {text("NAME", "A")}}, {81, {num("STATUS", INT32_MIN)}}, {82, {text("NAME", "C")}}}));
    s.server.send(TestFrame(7).u32(5));
    QVERIFY(s.waitForEvents(5));
    QCOMPARE(s.events, QStringList({"tournament 80 A -1", "turn over", "tournament 82 C -1", "pong", "tournament 82 through"}));
}

void tst_Dispatch::tableAnswers()
{
    ManagerSession s;
    QVERIFY(s.start());

    s.cm.join_table(7);
    QVERIFY(s.server.waitForFrame(30));
    QTest::ignoreMessage(QtWarningMsg, "Request 30 already issued for table 7");
    s.cm.join_table(7); // throttled
    s.server.send(TestFrame(31).u32(7).u8(1).u8(0).u32(0));
    QVERIFY(s.waitForEvents(1));
    // The answer released the throttle: the next join goes out at once.
    s.cm.join_table(7);
    QVERIFY(s.server.waitForFrame(30));
    QCOMPARE(s.server.received(30).size(), 2);

    s.cm.watch_table(8);
    s.cm.unwatch_table(8);
    s.cm.leave_table(8);
    QVERIFY(s.server.waitForFrame(36));
    s.server.send(TestFrame(33).u32(8).u8(3));
    // A success that answers no request (the one watch was answered above)
    // opens nothing; refusals are still reported.
    QTest::ignoreMessage(QtWarningMsg, "app:watch of table 8 answered, never asked for; dropped");
    s.server.send(TestFrame(33).u32(8).u8(0));
    QTest::ignoreMessage(QtWarningMsg, "app:watch table <undefined>");
    s.server.send(TestFrame(33).u32(8).u8(9));
    QTest::ignoreMessage(QtWarningMsg, "app:watch table Denied");
    s.server.send(TestFrame(33).u32(8).u8(2));
    s.server.send(TestFrame(35).u32(8).u8(0));
    s.server.send(TestFrame(35).u32(8).u8(1));
    s.server.send(TestFrame(37).u32(8).u8(0).u32(0));
    s.server.send(TestFrame(37).u32(8).u8(2).u32(0));
    QTest::ignoreMessage(QtWarningMsg, "app:join of table 9 answered, never asked for; dropped");
    s.server.send(TestFrame(31).u32(9).u8(0).u8(0).u32(0));
    s.server.send(TestFrame(31).u32(7).u8(0).u32(99).u32(0));
    // Two joins of a table sent 3 s apart get two answers.
    qint64 now = 0;
    table_requests().setClock([&now] { return now; });
    s.cm.join_table(10);
    now = 3000;
    s.cm.join_table(10);
    table_requests().setClock({});
    s.server.send(TestFrame(31).u32(10).u8(0).u8(1).u32(2));
    s.server.send(TestFrame(31).u32(10).u8(0).u8(0).u32(0));
    QVERIFY(s.waitForEvents(11));
    QCOMPARE(s.events, QStringList({"joinSuccessful 7", "alreadySeated 8", "watchFailed 8 <undefined>",
                                    "watchFailed 8 Denied", "unwatchSuccessful 8", "unwatchFailed 8",
                                    "leaveSuccessful 8", "leaveFailed 8 Denied", "joinSuccessful 7", "joinFailed 10 1",
                                    "joinSuccessful 10"}));
}

void tst_Dispatch::joinFailures()
{
    ManagerSession s;
    QVERIFY(s.start());
    s.server.send(TestFrame(31).u32(3).u8(1).u8(1).u32(2));
    s.server.send(TestFrame(31).u32(3).u8(1).u8(2).u32(5));
    QVERIFY(s.waitForEvents(2));
    QCOMPARE(s.events, QStringList({"joinFailed 3 1", "joinFailed 3 4"}));

    // A failing status with code 0 contradicts itself.
    s.server.send(TestFrame(31).u32(3).u8(1).u8(2).u32(0));
    QTRY_COMPARE(s.exceptions, QStringList {"received JOIN_ALLOWED when response status was JOIN_DENIED"});
    QCOMPARE(s.events.size(), 2);
}

void tst_Dispatch::filteredJoin()
{
    ManagerSession s;
    QVERIFY(s.start());
    const int seq = s.cm.filter_join(4, 0, 15000, 2);
    const auto request = s.server.waitForFrame(170);
    QVERIFY(request);
    QCOMPARE(TestFrameReader(request->body).u32(), quint32(seq));

    s.server.send(TestFrame(171).u32(quint32(seq)).u32(0).str("").u8(4));
    QVERIFY(s.waitForEvents(1));
    s.cm.cancel_filter_join(seq);
    QVERIFY(s.server.waitForFrame(172));
    s.server.send(TestFrame(173).u32(quint32(seq)).u8(2));

    const int second = s.cm.filter_join(QStringLiteral("/Regular"));
    QCOMPARE(second, seq + 1);
    s.server.send(TestFrame(171).u32(quint32(second)).u32(0).str("").u8(3));
    const int third = s.cm.filter_join(QStringLiteral("/"));
    QTest::ignoreMessage(QtWarningMsg, "DENIED!");
    s.server.send(TestFrame(171).u32(quint32(third)).u32(0).str("").u8(0));
    const int fourth = s.cm.filter_join(QStringLiteral("/"));
    QTest::ignoreMessage(QtWarningMsg, "FAILED!");
    s.server.send(TestFrame(171).u32(quint32(fourth)).u32(0).str("").u8(1));
    QVERIFY(s.waitForEvents(5)); // the answer took the number out: now it may be cancelled
    s.cm.cancel_filter_join(fourth);
    s.server.send(TestFrame(173).u32(quint32(fourth)).u8(0));
    QVERIFY(s.waitForEvents(6));
    QCOMPARE(s.events, QStringList({QStringLiteral("waitingList %1").arg(seq), "waitingListCancelFailed 1", "seating",
                                    "filterJoinFailed", "filterJoinFailed",
                                    QStringLiteral("waitingListCancelled %1").arg(fourth)}));
    QCOMPARE(filter_join_requests().outstandingCount(), 0);

    // An answer for a number that names the other kind of request.
    const int fifth = s.cm.filter_join(QStringLiteral("/"));
    s.server.send(TestFrame(173).u32(quint32(fifth)).u8(0));
    QTRY_COMPARE(s.exceptions,
                 QStringList {QStringLiteral("unexpected sequence number received in filtered join cancel response: %1").arg(fifth)});
}

void tst_Dispatch::filteredJoinTableAvailable()
{
    ManagerSession s;
    QVERIFY(s.start());
    s.server.send(TestFrame(174).u32(0).u32(55).u8(0));
    const auto join = s.server.waitForFrame(30);
    QVERIFY(join);
    QCOMPARE(hexOf(join->body), QStringLiteral("1e 00 00 00 37 ff 00 00 00 00"));
    QTest::ignoreMessage(QtWarningMsg, "Request 30 already issued for table 55");
    s.server.send(TestFrame(174).u32(0).u32(55).u8(0));
    QVERIFY(!s.server.waitForFrame(30, 300));
    QCOMPARE(s.server.received(30).size(), 1);
}

void tst_Dispatch::tournamentEnvelope()
{
    ManagerSession s;
    QVERIFY(s.start());
    s.server.send(::tournamentEnvelope(
        12, TestFrame(61).u32(2).u32(5).str("b\xc3\xa4r").u32(1200).u32(30).u8(0).u32(3).str("cat").u32(900).u32(20).u8(1)));
    s.server.send(::tournamentEnvelope(12, TestFrame(60).u8(1).u32(40).u32(2).u32(5).u32(10).i32(-300).u32(3).u32(20).u32(300)));
    s.server.send(::tournamentEnvelope(12, TestFrame(62).u8(0)));
    s.server.send(::tournamentEnvelope(12, TestFrame(62).u8(1)));
    s.server.send(::tournamentEnvelope(12, TestFrame(62).u8(5)));
    QTest::ignoreMessage(QtWarningMsg, "   MTT packet mttid: 12 cls: 63  was not handled");
    s.server.send(::tournamentEnvelope(12, TestFrame(63)));
    s.server.send(TestFrame(147).u32(1)); // a marker behind the unhandled one
    QVERIFY(s.waitForEvents(6));
    QCOMPARE(s.events, QStringList({QString::fromUtf8("rankings 12 5:b\xc3\xa4r:1200:30:0,3:cat:900:20:1"),
                                    "endOfTournamentRound 12 40 1 5:10:-300,3:20:300", "tournamentLeaveSuccess 12",
                                    "tournamentLeaveFailed 12 Not registered", "tournamentLeaveFailed 12 <undefined>",
                                    "tableRemoved 1"}));
}

void tst_Dispatch::tournamentAnswers()
{
    ManagerSession s;
    QVERIFY(s.start());
    s.server.send(TestFrame(206).u32(9).u8(0));
    s.server.send(TestFrame(206).u32(9).u8(7));
    s.server.send(TestFrame(208).u32(9).u8(0));
    s.server.send(TestFrame(208).u32(9).u8(1));
    s.server.send(TestFrame(209).u32(9).u32(40).u8('2'));
    s.server.send(TestFrame(210).u32(9).u32(40).u8(1));
    s.server.send(TestFrame(210).u32(9).u32(41).u8(0));
    s.server.send(TestFrame(211).u32(3).u32(9).u32(4).u32(0xFFFFFFFF));
    s.server.send(TestFrame(211).u32(0));
    QVERIFY(s.waitForEvents(9));
    QCOMPARE(s.events, QStringList({"registerSuccess 9", "registerFailed 9 6", "unregisterSuccess 9", "unregisterFailed 9 0",
                                    "tournamentSeated 9 40", "tournamentPickedUp 9 40 1", "tournamentPickedUp 9 41 0",
                                    "notifyRegistered 9,4,-1", "notifyRegistered "}));

    // Register failure status 0 is not a failure reason.
    s.server.send(TestFrame(206).u32(9).u8(0).u8(0)); // fine: trailing byte ignored
    s.server.send(TestFrame(208).u32(9).u8(8));
    QTRY_COMPARE(s.exceptions, QStringList {"Unexpected join failed reason"});
}

void tst_Dispatch::notifications()
{
    ManagerSession s;
    QVERIFY(s.start());
    s.server.send(TestFrame(60).u32(4).u32(21).str("kim").u8(0));
    s.server.send(TestFrame(61).u32(4).u32(21));
    TestFrame seated(62);
    seated.u32(4).u8(2).u32(0xFFFFFFFF);
    tableRecord(seated, 4, "Lotus", 4, 3, Params().i("GAME_TYPE", 1).i("MTT_ID", 3));
    s.server.send(seated);
    s.server.send(TestFrame(63).u32(4));
    s.server.send(TestFrame(64).u32(4).u16(3));
    s.server.send(TestFrame(4).u32(1).u32(2).str("Maintenance at noon").u32(0));
    QTest::ignoreMessage(QtWarningMsg, "bad_packet recieved:\n     cmd:  30 \n     error:  2");
    s.server.send(TestFrame(3).u8(30).u8(2));
    QVERIFY(s.waitForEvents(8));
    QCOMPARE(s.events, QStringList({"playerNameUpdate 21 kim", "playerJoined 4 21 kim", "playerLeft 4 21",
                                    "table 4 Lotus 3/4", "notifySeated 4 2 -1", "notifyWatching 4", "kickPlayer 4 3",
                                    "systemMessage 1 2 Maintenance at noon"}));
    QCOMPARE(s.tables.back().mttId, 3);

    s.server.send(TestFrame(64).u32(4).u16(4));
    QTRY_COMPARE(s.exceptions, QStringList {"Unexpected kick reason"});
}

void tst_Dispatch::unknownClassesAreSkipped()
{
    ManagerSession s;
    QVERIFY(s.start());
    for (int cls : {2, 5, 212, 255}) {
        QTest::ignoreMessage(QtWarningMsg, QStringLiteral("   Packet %1 was not handled").arg(cls).toUtf8().constData());
        s.server.send(TestFrame(quint8(cls)).u32(1));
        s.server.send(TestFrame(147).u32(quint32(cls)));
    }
    QVERIFY(s.waitForEvents(4));
    QCOMPARE(s.events, QStringList({"tableRemoved 2", "tableRemoved 5", "tableRemoved 212", "tableRemoved 255"}));
    QVERIFY(s.exceptions.isEmpty());
}

void tst_Dispatch::tracesAreExact()
{
    // Every handler's trace as the log stream writes its items: one blank
    // between items, so an item that starts with a blank shows two.
    ManagerSession s;
    QVERIFY(s.start());
    const int seq = s.cm.filter_join(QStringLiteral("/"));
    QVERIFY(s.server.waitForFrame(170));

    const QList<QPair<QtMsgType, QByteArray>> expected {
        {QtDebugMsg, "cm:logged in as pid: 42"},
        {QtDebugMsg, "cm:system message: Maintenance"},
        {QtDebugMsg, "app:got fb:player_info_packet \n  pid:         8 \n  nick:        ann"},
        {QtDebugMsg, "app:got fb:player_query_response_packet \n  pid:         5 \n  status:     FAILED (server error)"},
        {QtDebugMsg, "app:got fb:player_query_response_packet \n  pid:         6 \n  status:     DENIED (player not found)"},
        {QtDebugMsg, "app:got fb:join_response_packet \n  tableid:  7 \n  seat:     2 \n  status:   0 \n  code:     5"},
        {QtWarningMsg, "non-existant table request, table 7 req: 30"},
        {QtDebugMsg, "cm:got fb:watch_response \n  table_id:  8 \n  status:   0"},
        {QtWarningMsg, "non-existant table request, table 8 req: 32"},
        {QtDebugMsg, "notify join: 21 kim"},
        {QtDebugMsg, "kicked from table: 4  reason: 2"},
        {QtDebugMsg, "tournament_removed, mttid: 71"},
        {QtDebugMsg, "SEATING..."},
        {QtDebugMsg, QByteArray("join cancel resp, seq: ") + QByteArray::number(seq) + "  status: 0"},
        {QtDebugMsg, "filtered join table available"},
        {QtDebugMsg, "MMT register response, mttId: 9  status: 0"},
        {QtDebugMsg, "MTT unregister response, mttId: 9  status: 1"},
        {QtDebugMsg, "mtt_seated, mttid: 9 tableid: 40 seat: 2"},
        {QtDebugMsg, "mtt_picked_up, mttid: 9 tableid: 41"},
        {QtDebugMsg, "end of tournament round, last_round: 1"},
        {QtDebugMsg, "tournament ranking list"},
        {QtDebugMsg, "pid: 5 table_points: 1200 competition_points: 30"},
        {QtDebugMsg, "MTT leave response, mttId: 12  status: 1 ( Not registered )"},
        {QtWarningMsg, "   MTT packet mttid: 12 cls: 63  was not handled"},
        {QtDebugMsg, "Update table 3 seat: 2"},
    };
    for (const auto& [type, text] : expected)
        QTest::ignoreMessage(type, text.constData());

    s.server.send(TestFrame(11).str("me").u32(42).u8(0).u32(1).str("").bytes(""));
    s.server.send(TestFrame(4).u32(1).u32(2).str("Maintenance").u32(0));
    s.server.send(TestFrame(13).u32(8).str("ann").u32(0));
    s.server.send(TestFrame(17).u32(5).str("").u8(1).bytes(""));
    s.server.send(TestFrame(17).u32(6).str("").u8(2).bytes(""));
    s.server.send(TestFrame(17).u32(7).str("").u8(3).bytes("")); // no trace
    s.server.send(TestFrame(31).u32(7).u8(2).u8(0).u32(5));
    s.server.send(TestFrame(33).u32(8).u8(0));
    s.server.send(TestFrame(60).u32(4).u32(21).str("kim").u8(0));
    s.server.send(TestFrame(64).u32(4).u16(2));
    s.server.send(TestFrame(150).u32(71));
    s.server.send(TestFrame(171).u32(quint32(seq)).u32(0).str("").u8(3));
    QVERIFY(s.waitForEvents(8));
    s.cm.cancel_filter_join(seq);
    QVERIFY(s.server.waitForFrame(172));
    s.server.send(TestFrame(173).u32(quint32(seq)).u8(0));
    s.server.send(TestFrame(174).u32(0).u32(56).u8(0));
    s.server.send(TestFrame(206).u32(9).u8(0));
    s.server.send(TestFrame(208).u32(9).u8(1));
    s.server.send(TestFrame(209).u32(9).u32(40).u8('2'));
    s.server.send(TestFrame(210).u32(9).u32(41).u8(0));
    s.server.send(::tournamentEnvelope(12, TestFrame(60).u8('1').u32(40).u32(0)));
    s.server.send(::tournamentEnvelope(12, TestFrame(61).u32(1).u32(5).str("b").u32(1200).u32(30).u8(0)));
    s.server.send(::tournamentEnvelope(12, TestFrame(62).u8(1)));
    s.server.send(::tournamentEnvelope(12, TestFrame(63)));
    TestFrame update(144);
    update.u32(3).u16(2).u32(0).u32(0);
    s.server.send(update);
    QVERIFY(s.waitForEvents(17));
    QCOMPARE(s.events.last(), QStringLiteral("tableUpdate 3 2 "));
    QVERIFY(s.exceptions.isEmpty());
    table_requests().completeTableRequest(56, 30);
}

void tst_Dispatch::nestedEventLoopKeepsOrder()
{
    ManagerSession s;
    QVERIFY(s.start());
    bool nested = false;
    // The first removal opens a modal-like nested loop; meanwhile the server
    // sends more frames. They must wait until the first handler returns.
    QObject::connect(&s.cm, &ConnectionManager::tableRemoved, &s.cm, [&](qint32 id) {
        if (id != 1 || nested)
            return;
        nested = true;
        for (quint32 i = 2; i <= 20; ++i)
            s.server.send(TestFrame(147).u32(i));
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
        s.events << QStringLiteral("nested loop done");
    });
    s.server.send(TestFrame(147).u32(1));
    QVERIFY(s.waitForEvents(21));
    QStringList expected {"tableRemoved 1", "nested loop done"};
    for (int i = 2; i <= 20; ++i)
        expected << QStringLiteral("tableRemoved %1").arg(i);
    QCOMPARE(s.events, expected);
    QTest::qWait(50);
    QCOMPARE(s.events.size(), 21); // nothing handled twice
    // Separate frames of one read share the turn's slice.
    s.events.clear();
    QObject::connect(&s.cm, &ConnectionManager::tableRemoved, &s.cm, [&](qint32 id) { if (id == 101) endTurnHere(s); });
    s.server.sendRaw(TestFrame(147).u32(101).toBytes() + TestFrame(147).u32(102).toBytes());
    QVERIFY(s.waitForEvents(3));
    QCOMPARE(s.events, QStringList({"tableRemoved 101", "turn over", "tableRemoved 102"}));
}

void tst_Dispatch::exceptionStopsEverythingAfter()
{
    ManagerSession s;
    QVERIFY(s.start());
    bool disconnected = false;
    QObject::connect(&s.cm, &ConnectionManager::disconnected, &s.cm, [&] { disconnected = true; });

    // Good, bad, good in one write: the first is handled, the bad one ends
    // everything, the third is never handled.
    const QByteArray burst = TestFrame(147).u32(1).toBytes()
                             + tableSnapshot(2, "Bad", 4, 0, Params().i("RULESET", 3)).toBytes()
                             + TestFrame(147).u32(3).toBytes();
    s.server.sendRaw(burst);
    QTRY_COMPARE(s.exceptions, QStringList {"illegal ruleset value 3"});
    QVERIFY(s.server.waitForDisconnect(5000));
    QCOMPARE(s.events, QStringList {"tableRemoved 1"});
    QTest::qWait(100);
    QCOMPARE(s.exceptions.size(), 1);
    QVERIFY(!disconnected); // the error is the one report, not followed by a second
}

void tst_Dispatch::badInput_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("error");

    const QByteArray snapshot = tableSnapshot(2, "T", 4, 0, Params().i("BET", 5)).toBytes();
    QByteArray truncated = snapshot.left(snapshot.size() - 2);
    qToBigEndian(quint32(truncated.size()), truncated.data());
    QTest::newRow("truncated record") << truncated
                                      << "message of class 143 ends early: byte vector needs 4 bytes at offset 39, 2 left";
    QTest::newRow("unknown parameter type")
        << tableSnapshot(2, "T", 4, 0, Params().raw("BET", 9, be32(1))).toBytes() << "invalid param type received: 9";
    QTest::newRow("illegal ruleset in update")
        << [] {
               TestFrame f(144);
               f.u32(2).u16(1);
               Params().i("RULESET", 7).writeTo(f);
               f.u32(0);
               return f.toBytes();
           }()
        << "illegal ruleset value 7";
    QTest::newRow("illegal tournament status") << [] {
        TestFrame f(148);
        f.u32(1).str("");
        Params().i("STATUS", 9).writeTo(f);
        return f.toBytes();
    }() << "illegal tournament status 9";
    QTest::newRow("illegal join reason") << TestFrame(31).u32(1).u8(0).u8(1).u32(6).toBytes()
                                         << "Unexpected join failed reason";
    QTest::newRow("unreadable last record of a list read over several turns") << [] {
        TestFrame f = TestFrame(153).u32(100001);
        for (quint32 id = 1; id <= 100000; ++id)
            tableRecord(f, id, "T", 4, 0);
        return f.u32(100001).str("Cut short").toBytes();
    }() << "message of class 153 ends early: u16 needs 2 bytes at offset 2800020, 0 left";
    QTest::newRow("list count larger than frame")
        << TestFrame(153).u32(1000).toBytes() << "message of class 153 announces 1000 elements but only 0 bytes are left";
    QTest::newRow("string list count larger than frame")
        << TestFrame(144).u32(1).u16(0).u32(0).u32(0x7FFFFFFF).toBytes()
        << "message of class 144 announces 2147483647 elements but only 0 bytes are left";
    QTest::newRow("tournament envelope with a short inner frame")
        << TestFrame(104).u32(1).u32(0).bytes(QByteArray::fromHex("0000000a3d")).toBytes()
        << "nested frame length 10 does not match its envelope (5 bytes)";
    QTest::newRow("list frame past 64 MiB") << be32(0x04000001) + char(153) + be32(1)
                                            << "invalid frame length 67108865: larger than the limit of 67108864 bytes";
    QTest::newRow("unknown filtered join number") << TestFrame(171).u32(999).u32(0).str("").u8(3).toBytes()
                                                  << "non-existant request with seq 999 (\"filter_join_requests\")";
}

void tst_Dispatch::badInput()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, error);
    ManagerSession s;
    QVERIFY(s.start());
    s.server.sendRaw(frame + TestFrame(147).u32(1).toBytes());
    QTRY_COMPARE(s.exceptions, QStringList {error});
    QVERIFY(s.server.waitForDisconnect(5000));
    QVERIFY(s.events.isEmpty());
}

QTEST_GUILESS_MAIN(tst_Dispatch)
#include "tst_dispatch.moc"
