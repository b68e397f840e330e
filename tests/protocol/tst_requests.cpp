// Outgoing requests: the exact bytes of every request, grouped by envelope,
// first from the frame builders, then end to end through the
// ConnectionManager's slots and a real socket to the test game server.
// Expected frames are written by hand or with the test server's own encoder.

#include "ManagerSession.h"
#include "request_frames.h"
#include "request_handler.h"

#include <QtEndian>

#include <stdexcept>

namespace rf = request_frames;

namespace {

QByteArray frameBytes(const rf::frame_t& frame)
{
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

template<class F>
QString runtimeErrorText(F&& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return QString::fromStdString(e.what());
    }
    return QStringLiteral("no exception");
}

/// The integer filter item of a filtered join, with the test server's encoder.
void intFilter(TestFrame& f, const QByteArray& name, quint32 value, quint8 comparison)
{
    QByteArray v(4, '\0');
    qToBigEndian(value, v.data());
    f.str(name).u8(1).bytes(v).u8(comparison);
}

} // namespace

class tst_Requests : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Golden bytes, grouped by envelope.
    void platformRequests();
    void lobbyPaths();
    void filteredJoinFrames();
    void gameEnvelope();
    void tournamentEnvelope();
    void serviceEnvelopes();
    // End to end.
    void sequenceNumbersStartAtOnePerRegistry();
    void slotsPutTheBytesOnTheWire();
    void tableRequestsAreThrottled();
    void webPagesChooseTheirEnvelope();
    void playerNameCacheAsksOnce();
    void refusedRequestsSendNothing();
};

void tst_Requests::platformRequests()
{
    QCOMPARE(frameBytes(rf::login(QStringLiteral("J\u00f6rg\u4e2d"), QStringLiteral("p\u00e4ss"))).toHex(' '),
             hex("0000001b 0a 0005 4af672673f 0005 70c3a47373 00000004 00000000").toHex(' '));
    QCOMPARE(frameBytes(rf::player_query(0x01020304)), hex("00000009 10 01020304"));
    QCOMPARE(frameBytes(rf::join_table(7, -1)), hex("0000000e 1e 00000007 ff 00000000"));
    QCOMPARE(frameBytes(rf::join_table(7, 2)), hex("0000000e 1e 00000007 02 00000000"));
    QCOMPARE(frameBytes(rf::watch_table(7)), hex("00000009 20 00000007"));
    QCOMPARE(frameBytes(rf::unwatch_table(7)), hex("00000009 22 00000007"));
    QCOMPARE(frameBytes(rf::leave_table(-1)), hex("00000009 24 ffffffff"));
    QCOMPARE(frameBytes(rf::lobby_table_query("101/x")), hex("00000011 8e 00000065 0005 3130312f78 00"));
    QCOMPARE(frameBytes(rf::tournaments_lobby_subscribe()), hex("0000000d 91 01 00000066 0001 2f"));
    QCOMPARE(frameBytes(rf::register_tournament(300)), hex("0000000d cd 0000012c 00000000"));
    QCOMPARE(frameBytes(rf::unregister_tournament(300)), hex("00000009 cf 0000012c"));
}

void tst_Requests::lobbyPaths()
{
    QCOMPARE(frameBytes(rf::lobby_table_subscribe("101/Regular")), hex("00000013 91 00 00000065 0007 526567756c6172"));
    QCOMPARE(frameBytes(rf::lobby_table_subscribe("101/")), hex("0000000c 91 00 00000065 0000"));
    QCOMPARE(frameBytes(rf::lobby_table_subscribe("101/mtt/12")), hex("00000012 91 00 00000065 0006 6d74742f3132"));
    QCOMPARE(frameBytes(rf::lobby_table_unsubscribe("102/Practice")), hex("00000014 92 00 00000066 0008 5072616374696365"));
    // Latin-1, with "?" for what Latin-1 cannot hold.
    QCOMPARE(frameBytes(rf::lobby_table_subscribe(QStringLiteral("101/K\u00e4se\u4e2d"))),
             hex("00000011 91 00 00000065 0005 4be473653f"));
    // A character outside the Basic Multilingual Plane is one '?', not one per UTF-16 unit.
    QCOMPARE(frameBytes(rf::lobby_table_subscribe(QStringLiteral("101/a\U0001F600b"))),
             hex("0000000f 91 00 00000065 0003 613f62"));

    QCOMPARE(runtimeErrorText([] { rf::lobby_table_subscribe("Regular"); }), QStringLiteral("invalid path in subscribe"));
    QCOMPARE(runtimeErrorText([] { rf::lobby_table_unsubscribe("Regular"); }), QStringLiteral("invalid path in unsubscribe"));
    QCOMPARE(runtimeErrorText([] { rf::lobby_table_subscribe("abc/Regular"); }),
             QStringLiteral("path game-id part not an integer in subscribe"));
    QCOMPARE(runtimeErrorText([] { rf::lobby_table_unsubscribe("/Regular"); }),
             QStringLiteral("path game-id part not an integer in unsubscribe"));
}

void tst_Requests::filteredJoinFrames()
{
    TestFrame expected(170);
    expected.u32(3).u32(101).str("/").u32(5);
    intFilter(expected, "_CAPACITY", 4, 3);
    intFilter(expected, "_SEATED", 1, 3);
    intFilter(expected, "GAME_TYPE", 2, 0);
    intFilter(expected, "SPEED", 15000, 0);
    intFilter(expected, "RULESET", 1, 0);
    QCOMPARE(frameBytes(rf::filter_join(3, "/", rf::filter_join_criteria(4, 2, 15000, 1))).toHex(' '),
             expected.toBytes().toHex(' '));

    QCOMPARE(frameBytes(rf::filter_join(9, QStringLiteral("/Regular"), {})),
             hex("0000001b aa 00000009 00000065 0008 2f526567756c6172 00000000"));
    QCOMPARE(frameBytes(rf::cancel_filter_join(9)), hex("00000009 ac 00000009"));
}

void tst_Requests::gameEnvelope()
{
    const tile bamboo6 = 5;
    // call_chow: inner 47, tile, player id; wrapped with table and player id.
    QCOMPARE(frameBytes(rf::game_envelope(7, 42, rf::call_with_tile(rf::cls::call_chow, bamboo6, 42))),
             hex("0000001b 64 00000007 0000002a 0000000a 0000000a 2f 05 0000002a"));
    QCOMPARE(frameBytes(rf::call_with_tile(rf::cls::call_pong, bamboo6, 42)), hex("0000000a 30 05 0000002a"));
    QCOMPARE(frameBytes(rf::call_with_tile(rf::cls::call_pong_to_kong, bamboo6, 42)), hex("0000000a 32 05 0000002a"));
    QCOMPARE(frameBytes(rf::call_with_tile(rf::cls::call_riichi, bamboo6, 42)), hex("0000000a 33 05 0000002a"));
    // Only the kong carries a zero byte between tile and player id.
    QCOMPARE(frameBytes(rf::call_kong(bamboo6, 42)), hex("0000000b 31 05 00 0000002a"));
    QCOMPARE(frameBytes(rf::call_pass(42, true)), hex("0000000a 34 0000002a 01"));
    QCOMPARE(frameBytes(rf::call_pass(42, false)), hex("0000000a 34 0000002a 00"));
    QCOMPARE(frameBytes(rf::game_envelope(7, -1, rf::reactivate_table())),
             hex("00000016 64 00000007 ffffffff 00000005 00000005 35"));
    QCOMPARE(frameBytes(rf::ready(42)), hex("00000009 36 0000002a"));
    QCOMPARE(frameBytes(rf::alive_answer()), hex("00000005 37"));
    QCOMPARE(frameBytes(rf::discard_tile(tile(0xFF))), hex("00000006 38 ff"));
    QCOMPARE(frameBytes(rf::call_mahjong()), hex("00000005 39"));
}

void tst_Requests::tournamentEnvelope()
{
    QCOMPARE(frameBytes(rf::tournament_envelope(12, 42, rf::empty_inner(rf::cls::tournament_ranking_list))),
             hex("00000016 68 0000000c 0000002a 00000005 00000005 3a"));
    QCOMPARE(frameBytes(rf::tournament_envelope(12, 42, rf::empty_inner(rf::cls::leave_tournament))),
             hex("00000016 68 0000000c 0000002a 00000005 00000005 3b"));
}

void tst_Requests::serviceEnvelopes()
{
    TestFrame balance(101);
    balance.u32(42).u32(1).str("com.quobrix.backend.BackendService").u8(1).nested(TestFrame(63));
    QCOMPARE(frameBytes(rf::service_request(42, 1, rf::service::backend, rf::empty_inner(rf::cls::account_balance))),
             balance.toBytes());

    TestFrame uuid(101);
    uuid.u32(42).u32(2).str("com.quobrix.backend.BackendService").u8(1).nested(TestFrame(64).str("abc-123"));
    QCOMPARE(frameBytes(rf::service_request(42, 2, rf::service::backend, rf::client_uuid("abc-123"))), uuid.toBytes());

    TestFrame password(101);
    password.u32(42).u32(3).str("com.quobrix.mahjong.login.PlayerDB").u8(1).nested(TestFrame(65).str("p\xc3\xa4\xe4\xb8\xad"));
    QCOMPARE(frameBytes(rf::service_request(42, 3, rf::service::playerDb, rf::change_password(QStringLiteral("p\u00e4\u4e2d")))),
             password.toBytes());

    TestFrame highscore(101);
    highscore.u32(99).u32(4).str("com.quobrix.mahjong.highscore.HighScoreService").u8(1).nested(TestFrame(66));
    QCOMPARE(frameBytes(rf::service_request(99, 4, rf::service::highScore, rf::empty_inner(rf::cls::highscore_list))),
             highscore.toBytes());

    QCOMPARE(frameBytes(rf::web_page(3)), hex("0000000a 45 03 00000004"));

    TestFrame local(103);
    local.u32(1).nested(TestFrame(70).u32(4).str("").str("\xc3\xa9mile").str("pw\xe2\x82\xac").str("e@x.org"));
    QCOMPARE(frameBytes(rf::local_service_request(1, rf::register_user(QStringLiteral("\u00e9mile"), QStringLiteral("pw\u20ac"),
                                                                       QStringLiteral("e@x.org"), QString()))),
             local.toBytes());
}

void tst_Requests::sequenceNumbersStartAtOnePerRegistry()
{
    ManagerSession s;
    QVERIFY(s.start());
    QVERIFY(s.login(42));

    s.cm.query_account_balance();
    s.cm.register_user("u", "p", "e", "");
    s.cm.query_client_config();
    const qint32 timeSeq = s.cm.query_current_time();
    QCOMPARE(timeSeq, 3);

    auto first = s.server.waitForFrame(101);
    QVERIFY(first);
    TestFrameReader r = first->reader();
    QCOMPARE(r.u32(), 42u);
    QCOMPARE(r.u32(), 1u);
    QCOMPARE(r.str(), QByteArray("com.quobrix.backend.BackendService"));
    QCOMPARE(r.u8(), 1);
    QCOMPARE(r.nested().classId(), 63);

    auto local = s.server.waitForFrame(103);
    QVERIFY(local);
    TestFrameReader l = local->reader();
    QCOMPARE(l.u32(), 1u); // counts on its own
    QCOMPARE(l.nested().classId(), 70);

    QVERIFY(s.server.waitForFrame(101));
    auto time = s.server.waitForFrame(101);
    QVERIFY(time);
    TestFrameReader t = time->reader();
    t.u32();
    QCOMPARE(t.u32(), 3u);
    QCOMPARE(t.str(), QByteArray("com.quobrix.mahjong.highscore.HighScoreService"));
    t.u8();
    QCOMPARE(t.nested().classId(), 67);

    // Each number stays registered with its request class until the answer.
    QCOMPARE(service_requests().takeOutstandingRequest(3), 67);
    QCOMPARE(service_requests().takeOutstandingRequest(2), 68);
    QCOMPARE(service_requests().takeOutstandingRequest(1), 63);
    QCOMPARE(local_service_requests().takeOutstandingRequest(1), 70);
}

void tst_Requests::slotsPutTheBytesOnTheWire()
{
    ManagerSession s;
    QVERIFY(s.start());
    QVERIFY(s.login(42));
    s.server.clearReceived();

    const tile east = 27;
    s.cm.lobby_table_subscribe("101/Regular");
    s.cm.lobby_table_unsubscribe("101/Practice");
    s.cm.tournaments_lobby_subscribe();
    s.cm.lobby_table_query("101/Regular");
    s.cm.register_tournament_request(5);
    s.cm.unregister_tournament_request(5);
    s.cm.get_tournament_ranking_list(5);
    s.cm.leave_tournament(5);
    s.cm.call_chow(7, 42, east);
    s.cm.call_pong(7, 42, east);
    s.cm.call_kong(7, 42, east);
    s.cm.call_pong_to_kong(7, 42, east);
    s.cm.call_riichi(7, 42, east);
    s.cm.call_pass(7, 42, true);
    s.cm.call_pass(7, 42);
    s.cm.reactivate_table(7);
    s.cm.ready(7, 42);
    s.cm.discard_tile(7, 42, east);
    s.cm.call_mahjong(7, 42);
    s.cm.get_highscore_list(99);

    const QList<QByteArray> expected {
        bodyOf(rf::lobby_table_subscribe("101/Regular")),
        bodyOf(rf::lobby_table_unsubscribe("101/Practice")),
        bodyOf(rf::tournaments_lobby_subscribe()),
        bodyOf(rf::lobby_table_query("101/Regular")),
        bodyOf(rf::register_tournament(5)),
        bodyOf(rf::unregister_tournament(5)),
        bodyOf(rf::tournament_envelope(5, 42, rf::empty_inner(58))),
        bodyOf(rf::tournament_envelope(5, 42, rf::empty_inner(59))),
        bodyOf(rf::game_envelope(7, 42, rf::call_with_tile(47, east, 42))),
        bodyOf(rf::game_envelope(7, 42, rf::call_with_tile(48, east, 42))),
        bodyOf(rf::game_envelope(7, 42, rf::call_kong(east, 42))),
        bodyOf(rf::game_envelope(7, 42, rf::call_with_tile(50, east, 42))),
        bodyOf(rf::game_envelope(7, 42, rf::call_with_tile(51, east, 42))),
        bodyOf(rf::game_envelope(7, 42, rf::call_pass(42, true))),
        bodyOf(rf::game_envelope(7, 42, rf::call_pass(42, false))),
        bodyOf(rf::game_envelope(7, -1, rf::reactivate_table())),
        bodyOf(rf::game_envelope(7, 42, rf::ready(42))),
        bodyOf(rf::game_envelope(7, 42, rf::discard_tile(east))),
        bodyOf(rf::game_envelope(7, 42, rf::call_mahjong())),
    };
    QTRY_VERIFY(s.server.received().size() >= expected.size() + 1);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(hexOf(s.server.received().at(i).body), hexOf(expected.at(i)));

    // The high-score list names its own player id in the envelope.
    TestFrameReader h = s.server.received().at(expected.size()).reader();
    QCOMPARE(h.u32(), 99u);
    const quint32 seq = h.u32();
    QCOMPARE(service_requests().takeOutstandingRequest(int(seq)), 66);
}

void tst_Requests::tableRequestsAreThrottled()
{
    ManagerSession s;
    QVERIFY(s.start());
    s.cm.join_table(71);
    QTest::ignoreMessage(QtWarningMsg, "Request 30 already issued for table 71");
    s.cm.join_table(71, 2);
    s.cm.watch_table(71); // another class: independent
    s.cm.join_table(72, 1);
    QVERIFY(s.server.waitForFrame(32));
    QTRY_COMPARE(s.server.received(30).size(), 2);
    QCOMPARE(hexOf(s.server.received(30).at(0).body), QStringLiteral("1e 00 00 00 47 ff 00 00 00 00"));
    QCOMPARE(hexOf(s.server.received(30).at(1).body), QStringLiteral("1e 00 00 00 48 01 00 00 00 00"));
}

void tst_Requests::webPagesChooseTheirEnvelope()
{
    ManagerSession s;
    QVERIFY(s.start());
    QVERIFY(s.login(42));
    s.cm.query_web_page(WebPageRequest::CREATE_ACCOUNT_TERMS);
    s.cm.query_web_page(WebPageRequest::START_PAGE);

    auto local = s.server.waitForFrame(103);
    QVERIFY(local);
    TestFrameReader l = local->reader();
    const quint32 localSeq = l.u32();
    TestFrameReader inner = l.nested();
    QCOMPARE(inner.classId(), 69);
    QCOMPARE(inner.u8(), 10);
    QCOMPARE(inner.u32(), 4u);
    QCOMPARE(local_service_requests().takeOutstandingRequest(int(localSeq)), 69);

    auto remote = s.server.waitForFrame(101);
    QVERIFY(remote);
    TestFrameReader r = remote->reader();
    QCOMPARE(r.u32(), 42u);
    const quint32 seq = r.u32();
    QCOMPARE(r.str(), QByteArray("com.quobrix.mahjong.login.PlayerDB"));
    QCOMPARE(r.u8(), 1);
    TestFrameReader page = r.nested();
    QCOMPARE(page.classId(), 69);
    QCOMPARE(page.u8(), 3);
    QCOMPARE(page.u32(), 4u);
    QCOMPARE(service_requests().takeOutstandingRequest(int(seq)), 69);

    // Only the account creation page (2), its terms (10) and the password
    // reset (11) are local; every other page goes to the player database.
    s.server.clearReceived();
    for (auto p : {WebPageRequest::CREATE_ACCOUNT, WebPageRequest::REGISTERED, WebPageRequest::PASSWORD_RESET,
                   WebPageRequest::RULES_RIICHI})
        s.cm.query_web_page(p);
    QTRY_COMPARE(s.server.received().size(), 4);
    const QList<QPair<int, int>> envelopeAndPage {{103, 2}, {101, 0}, {103, 11}, {101, 9}};
    for (int i = 0; i < envelopeAndPage.size(); ++i) {
        const ReceivedFrame& f = s.server.received().at(i);
        QCOMPARE(int(f.classId), envelopeAndPage[i].first);
        TestFrameReader e = f.reader();
        if (f.classId == 101) {
            QCOMPARE(e.u32(), 42u);
            QCOMPARE(service_requests().takeOutstandingRequest(int(e.u32())), 69);
            QCOMPARE(e.str(), QByteArray("com.quobrix.mahjong.login.PlayerDB"));
            QCOMPARE(e.u8(), 1);
        } else {
            QCOMPARE(local_service_requests().takeOutstandingRequest(int(e.u32())), 69);
        }
        TestFrameReader inner = e.nested();
        QCOMPARE(inner.classId(), 69);
        QCOMPARE(int(inner.u8()), envelopeAndPage[i].second);
        QCOMPARE(inner.u32(), 4u);
    }
}

void tst_Requests::playerNameCacheAsksOnce()
{
    ManagerSession s;
    QVERIFY(s.start());
    QCOMPARE(s.cm.playerName(5), QStringLiteral("<unknown>"));
    QCOMPARE(s.cm.playerName(5), QStringLiteral("<unknown>"));
    QCOMPARE(s.cm.playerName(6), QStringLiteral("<unknown>"));
    QVERIFY(s.server.waitForFrame(16));
    QVERIFY(s.server.waitForFrame(16));
    QVERIFY(!s.server.waitForFrame(16, 200));
    QCOMPARE(hexOf(s.server.received(16).at(0).body), QStringLiteral("10 00 00 00 05"));

    // setPlayerName announces only real changes.
    s.cm.setPlayerName(5, "five");
    s.cm.setPlayerName(5, "five");
    s.cm.setPlayerName(5, "FIVE");
    QCOMPARE(s.events, QStringList({"playerNameUpdate 5 five", "playerNameUpdate 5 FIVE"}));
    QCOMPARE(s.cm.playerName(5), QStringLiteral("FIVE"));
}

void tst_Requests::refusedRequestsSendNothing()
{
    ManagerSession s;
    QVERIFY(s.start());
    s.server.clearReceived();
    QCOMPARE(runtimeErrorText([&] { s.cm.lobby_table_subscribe("Regular"); }), QStringLiteral("invalid path in subscribe"));
    QCOMPARE(runtimeErrorText([&] { s.cm.lobby_table_unsubscribe("x/Regular"); }),
             QStringLiteral("path game-id part not an integer in unsubscribe"));

    const int seq = s.cm.filter_join(QStringLiteral("/"));
    QVERIFY(s.server.waitForFrame(170));
    // The filtered join is still waiting for its answer: cancelling now is refused.
    QCOMPARE(runtimeErrorText([&] { s.cm.cancel_filter_join(seq); }),
             QStringLiteral("outstanding request with seq %1 already present (\"filter_join_requests\")").arg(seq));
    QCOMPARE(filter_join_requests().takeOutstandingRequest(seq), 170);

    try {
        s.cm.query_web_page(WebPageRequest::enum_t(12));
        QFAIL("no exception");
    } catch (const std::exception& e) {
        QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("Unexpected web page type type"));
    }
    QTest::qWait(100);
    QCOMPARE(s.server.received().size(), 1);
    QVERIFY(s.exceptions.isEmpty());
}

QTEST_GUILESS_MAIN(tst_Requests)
#include "tst_requests.moc"
