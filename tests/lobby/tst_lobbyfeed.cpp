// The lobby fed by a real ConnectionManager from the test game server:
// subscribe and unsubscribe requests on the wire, snapshots, updates and
// removals for subscribed and unsubscribed paths.
#include "LobbyController.h"
#include "LobbyRoles.h"
#include "LobbyModel.h"
#include "LobbyTableFilter.h"
#include "TableModel.h"

#include "ConnectionManager.h"
#include "TableInfo.h"
#include "TestGameServer.h"

#include <QAbstractItemModelTester>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QToolTip>
#include <QLocale>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <ctime>

namespace {
constexpr quint8 SubscribeClass = 145;
constexpr quint8 UnsubscribeClass = 146;

struct Param
{
    QByteArray name;
    bool text;
    qint32 number;
    QByteArray string;
};

Param num(const char* name, qint32 value)
{
    return Param{name, false, value, {}};
}

Param txt(const char* name, const QByteArray& value)
{
    return Param{name, true, 0, value};
}

void params(TestFrame& frame, const QList<Param>& list)
{
    frame.u32(quint32(list.size()));
    for (const Param& p : list) {
        frame.str(p.name);
        if (p.text) {
            frame.u8(0);
            QByteArray value;
            value.append(char(p.string.size() >> 8)).append(char(p.string.size() & 0xff)).append(p.string);
            frame.bytes(value);
        } else {
            frame.u8(1);
            const quint32 v = quint32(p.number);
            QByteArray value;
            value.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
            frame.bytes(value);
        }
    }
}

void tableRecord(TestFrame& frame, quint32 id, const QByteArray& path, const QByteArray& name, quint16 capacity,
                 quint16 seated, const QList<Param>& list)
{
    frame.u32(id).str(path).str(name).u16(capacity).u16(seated);
    params(frame, list);
}

void updateRecord(TestFrame& frame, quint32 id, quint16 seated, const QList<Param>& changed,
                  const QList<QByteArray>& removed = {})
{
    frame.u32(id).u16(seated);
    params(frame, changed);
    frame.u32(quint32(removed.size()));
    for (const QByteArray& key : removed)
        frame.str(key);
}

QString cellText(const QAbstractItemModel& model, int row, int column)
{
    return model.index(row, column).data().toString();
}
}

class LobbyFeedTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();
    void cleanup();

    void subscribeAndUnsubscribeOncePerPath();
    void unsubscribeSendsTheSubscribedKey();
    void broaderPathReleasesAbsorbedPaths();
    void refusedPathLeavesNoSubscription();
    void feedOfSnapshotsUpdatesAndRemovals();
    void viewsFollowTheFeed();

private:
    /// Waits until every frame the client sent so far has reached the server.
    void sync();
    QString nextPath(quint8 classId);

    std::unique_ptr<TestGameServer> m_server;
    std::unique_ptr<ConnectionManager> m_cm;
    std::unique_ptr<LobbyController> m_controller;
    QPointer<TableModel> m_model;
    int m_syncCount = 0;
};

void LobbyFeedTest::init()
{
    m_syncCount = 0;
    m_server = std::make_unique<TestGameServer>();
    QVERIFY(m_server->listen());
    m_cm = std::make_unique<ConnectionManager>(false);
    QSignalSpy ready(m_cm.get(), &ConnectionManager::versionCheckComplete);
    m_cm->connectToHost(QStringLiteral("127.0.0.1"), m_server->port());
    QVERIFY(ready.wait(5000));

    m_controller = std::make_unique<LobbyController>(m_cm.get(), nullptr);
    m_model = m_controller->tableModel();
}

void LobbyFeedTest::cleanup()
{
    m_controller.reset();
    m_cm.reset();
    m_server.reset();
}

void LobbyFeedTest::sync()
{
    const QString marker = QStringLiteral("sync%1").arg(++m_syncCount);
    m_cm->lobby_table_query(("101/" + marker).toLatin1().constData());
    QVERIFY(QTest::qWaitFor([&] { return !m_server->received(142).isEmpty() &&
                                         m_server->received(142).size() >= m_syncCount; }, 5000));
}

QString LobbyFeedTest::nextPath(quint8 classId)
{
    auto frame = m_server->waitForFrame(classId, 5000);
    if (!frame)
        return QStringLiteral("<none>");
    TestFrameReader reader = frame->reader();
    const quint8 kind = reader.u8();
    const quint32 game = reader.u32();
    const QByteArray rest = reader.str();
    if (!reader.ok() || kind != 0)
        return QStringLiteral("<bad>");
    return QString::number(game) + "/" + QString::fromLatin1(rest);
}

void LobbyFeedTest::subscribeAndUnsubscribeOncePerPath()
{
    m_model->subscribe("101/Regular");
    m_model->subscribe("101/Regular");
    m_model->subscribe("101/Regular/Fast");
    m_model->subscribe("101/Practice");
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/Regular"));
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/Practice"));
    m_model->unsubscribe("101/Regular");
    m_model->unsubscribe("101/Regular/Fast");
    sync();
    QCOMPARE(m_server->received(SubscribeClass).size(), 2);
    QCOMPARE(m_server->received(UnsubscribeClass).size(), 0);
    m_model->unsubscribe("101/Regular");
    QCOMPARE(nextPath(UnsubscribeClass), QStringLiteral("101/Regular"));
    m_model->unsubscribe("101/Practice");
    QCOMPARE(nextPath(UnsubscribeClass), QStringLiteral("101/Practice"));
    QTest::ignoreMessage(QtWarningMsg, "can't unsubscribe 101/Practice: no subscription found");
    m_model->unsubscribe("101/Practice");
    sync();
    QCOMPARE(m_server->received(UnsubscribeClass).size(), 2);
}

void LobbyFeedTest::unsubscribeSendsTheSubscribedKey()
{
    m_model->subscribe("101/mtt/1");
    m_model->subscribe("101/mtt/12");
    m_model->subscribe("101/mtt/1/final");
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/mtt/1"));
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/mtt/12"));
    // The covered path is released last: the key that was subscribed goes out.
    m_model->unsubscribe("101/mtt/1");
    m_model->unsubscribe("101/mtt/1/final");
    QCOMPARE(nextPath(UnsubscribeClass), QStringLiteral("101/mtt/1"));
    sync();
    QCOMPARE(m_server->received(SubscribeClass).size(), 2);
    QCOMPARE(m_server->received(UnsubscribeClass).size(), 1);
    QCOMPARE(m_model->subscriptions().keys(), QStringList{"101/mtt/12"});
    m_model->unsubscribe("101/mtt/12");
    QCOMPARE(nextPath(UnsubscribeClass), QStringLiteral("101/mtt/12"));
}

void LobbyFeedTest::broaderPathReleasesAbsorbedPaths()
{
    m_model->subscribe("101/Regular");
    m_model->subscribe("101/");
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/Regular"));
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/"));
    QCOMPARE(m_model->subscriptions().keys(), QStringList{"101/"});
    m_model->unsubscribe("101/Regular");
    sync();
    QCOMPARE(m_server->received(UnsubscribeClass).size(), 0);
    m_model->unsubscribe("101/");
    // Every path subscribed at the server is released once.
    QCOMPARE(nextPath(UnsubscribeClass), QStringLiteral("101/"));
    QCOMPARE(nextPath(UnsubscribeClass), QStringLiteral("101/Regular"));
    sync();
    QCOMPARE(m_server->received(UnsubscribeClass).size(), 2);
}

void LobbyFeedTest::refusedPathLeavesNoSubscription()
{
    // The connection refuses a path without a game id; nothing is counted.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("can't subscribe .*Regular"));
    m_model->subscribe("Regular");
    QVERIFY(m_model->subscriptions().isEmpty());
    sync();
    QCOMPARE(m_server->received(SubscribeClass).size(), 0);
}

void LobbyFeedTest::feedOfSnapshotsUpdatesAndRemovals()
{
    QAbstractItemModelTester tester(m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    m_model->subscribe("101/Regular");
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/Regular"));

    // A snapshot list: two tables under the subscribed path, one elsewhere.
    TestFrame list(153);
    list.u32(3);
    tableRecord(list, 7, "101/Regular", "Jade", 4, 2,
                {num("RULESET", 2), num("GAME_TYPE", 2), num("SPEED", 25000), num("SETTLEMENT", 0),
                 num("BET", 100), num("FEE", 10), num("NUMBER_OF_BOTS", 1)});
    tableRecord(list, 8, "101/Practice", "Elsewhere", 4, 0, {num("RULESET", 0), num("GAME_TYPE", 0)});
    tableRecord(list, 9, "101/Regular", "Pearl", 4, 0,
                {num("RULESET", 1), num("GAME_TYPE", 0), num("SPEED", 15000), num("SETTLEMENT", 3)});
    QVERIFY(m_server->send(list));
    QTRY_COMPARE(m_model->rowCount(), 2);
    QVERIFY(!m_model->hasTableInfo(8));

    const int jade = m_model->rowOfTable(7);
    QCOMPARE(cellText(*m_model, jade, 0), QStringLiteral("Jade"));
    QCOMPARE(cellText(*m_model, jade, 1), QStringLiteral("Riichi full game"));
    QCOMPARE(m_model->index(jade, 2).data().value<TableCapacity>(), TableCapacity(4, 2, 1));
    QCOMPARE(cellText(*m_model, jade, 3), QStringLiteral("25 second(s)"));
    QCOMPARE(cellText(*m_model, jade, 4), QStringLiteral("$1.10"));
    QCOMPARE(cellText(*m_model, jade, 5), QStringLiteral("$4"));
    QCOMPARE(m_model->index(jade, 0).data(Qt::ToolTipRole).toString(),
             QStringLiteral("Jade\n2 of 4 players seated\nRiichi full game - 25 second(s)\nBuy-in: $1 ($2) + $0.10\n"
                            "Max win: $4\nFeeding penalty: $1"));
    QVERIFY(m_model->hasMoneraryTables());

    const int pearl = m_model->rowOfTable(9);
    QCOMPARE(cellText(*m_model, pearl, 1), QStringLiteral("International single hand"));
    QCOMPARE(cellText(*m_model, pearl, 4), QStringLiteral("free"));
    QCOMPARE(cellText(*m_model, pearl, 5), QStringLiteral("-"));

    // Updates: a seat and a key change for Jade, the bonus table for Pearl,
    // and one for a table the client does not hold.
    QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);
    TestFrame updates(154);
    updates.u32(3);
    updateRecord(updates, 7, 4, {num("SPEED", 10000)}, {"FEE"});
    updateRecord(updates, 9, 1, {num("SETTLEMENT", 2), num("BET", 500), txt("BONUS_TABLE", "[300,100,-100,-300]")});
    updateRecord(updates, 8, 3, {num("SPEED", 1000)});
    QTest::ignoreMessage(QtWarningMsg, "No table with id 8 to update");
    QVERIFY(m_server->send(updates));
    QTRY_COMPARE(changed.count(), 2);
    QCOMPARE(m_model->tableInfo(7).capacity.seated(), 4);
    QVERIFY(m_model->isTableFull(7));
    QCOMPARE(cellText(*m_model, jade, 3), QStringLiteral("10 second(s)"));
    QCOMPARE(cellText(*m_model, jade, 4), QStringLiteral("$1"));
    QCOMPARE(cellText(*m_model, pearl, 4), QStringLiteral("$5"));
    QCOMPARE(cellText(*m_model, pearl, 5), QStringLiteral("$20"));
    QVERIFY(m_model->index(pearl, 0).data(Qt::ToolTipRole).toString().endsWith(
        QStringLiteral("Buy-in: $5 ($8)\nMax win: $20 ($23)\nPlace bonus: 1st $3, 2nd $1, 3rd $-1, 4th $-3")));

    // A burst is handed over in slices: between two turns of the event loop
    // it takes at most a slice of the thread's time (two when a read and the
    // drain it left land in one pass), so the loop answers in between
    // however fast the build. The snapshot sent right behind it lands after
    // its last update, and a single snapshot for a held table replaces its
    // record in place.
    constexpr int burst = 60000;
    TestFrame many = TestFrame(154).u32(burst);
    for (int i = 1; i <= burst; ++i)
        updateRecord(many, 9, quint16(i % 3 + 1), {});
    TestFrame snapshot(143);
    tableRecord(snapshot, 9, "101/Regular", "Pearl II", 4, 0, {num("RULESET", 0), num("GAME_TYPE", 2)});
    int turns = 0, heard = 0, turnHeard = -1;
    double turnStartMs = 0, longestTurnMs = 0;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, this, [&] { ++turns; });
    ticks.start(0);
    const auto handedOver = connect(m_cm.get(), qOverload<qint32, int, TableInfoUpdates>(&ConnectionManager::tableInfoUpdate),
                                    this, [&] {
                                        timespec now {};
                                        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
                                        const double ms = double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
                                        turnStartMs = std::exchange(turnHeard, turns) == turns ? turnStartMs : ms;
                                        longestTurnMs = std::max(longestTurnMs, ms - turnStartMs);
                                        ++heard;
                                    });
    QVERIFY(m_server->send(many));
    QVERIFY(m_server->send(snapshot));
    QTRY_COMPARE_WITH_TIMEOUT(cellText(*m_model, pearl, 0), QStringLiteral("Pearl II"), 60000);
    disconnect(handedOver);
    QCOMPARE(heard, burst);
    QCOMPARE_LE(longestTurnMs, 2.0 * double(ConnectionManager::dispatchSliceMsecs));
    QCOMPARE(m_model->tableInfo(9).capacity.seated(), 0);
    QCOMPARE(cellText(*m_model, pearl, 1), QStringLiteral("Classic full game"));
    QCOMPARE(m_model->rowCount(), 2);

    // Whatever the server names a table, its name is one line and its tool tip's lines fit the screen.
    TestFrame odd(143);
    tableRecord(odd, 9, "101/Regular", "Pearl\r\nIII\t\x07" + QByteArray(65000, 'x'), 4, 0, {});
    QVERIFY(m_server->send(odd));
    QTRY_VERIFY(cellText(*m_model, pearl, 0).startsWith(QStringLiteral("Pearl  III  xxx")));
    QCOMPARE(cellText(*m_model, pearl, 0).size(), 256);
    for (const QString& line : m_model->index(pearl, 0).data(Qt::ToolTipRole).toString().split(QLatin1Char('\n')))
        QCOMPARE_LE(QFontMetrics(QToolTip::font()).horizontalAdvance(line), QGuiApplication::primaryScreen()->size().width());
    // An override in a name never turns the words after it: the name comes isolated, less what it leaves open.
    TestFrame turned(143);
    tableRecord(turned, 9, "101/Regular", "Pearl \xE2\x80\xAEIV", 4, 0, {});
    QVERIFY(m_server->send(turned));
    QTRY_COMPARE(cellText(*m_model, pearl, 0), QStringLiteral("\u2068Pearl IV\u2069"));

    // Removals: one held table, one unknown.
    QTest::ignoreMessage(QtWarningMsg, "No table to remove with id 55");
    QVERIFY(m_server->send(TestFrame(147).u32(7)));
    QVERIFY(m_server->send(TestFrame(147).u32(55)));
    QTRY_COMPARE(m_model->rowCount(), 1);
    QVERIFY(!m_model->hasTableInfo(7));
    QVERIFY(!m_model->hasMoneraryTables());

    // After the release, tables under the old path are dropped.
    m_model->unsubscribe("101/Regular");
    QCOMPARE(nextPath(UnsubscribeClass), QStringLiteral("101/Regular"));
    QCOMPARE(m_model->rowCount(), 0);
    m_model->subscribe("101/Practice");
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/Practice"));
    TestFrame late(143);
    tableRecord(late, 10, "101/Regular", "Late", 4, 0, {});
    QVERIFY(m_server->send(late));
    // Frames are handled in order: once the marker table is in, the late one was seen.
    TestFrame marker(143);
    tableRecord(marker, 11, "101/Practice", "Marker", 4, 0, {});
    QVERIFY(m_server->send(marker));
    QTRY_VERIFY(m_model->hasTableInfo(11));
    QVERIFY(!m_model->hasTableInfo(10));
    QCOMPARE(m_model->rowCount(), 1);
    m_model->unsubscribe("101/Practice");
    QCOMPARE(reset.count(), 0);
}

void LobbyFeedTest::viewsFollowTheFeed()
{
    LobbyModel lobby;
    lobby.setSourceModel(m_model.get());
    lobby.setLobbyPath("101/Regular");
    LobbyTableFilter filter;
    filter.setSourceModel(&lobby);
    filter.setFullTablesMode(FilterExclude);
    filter.sort(TableModel::PlayersColumn);
    QAbstractItemModelTester lobbyTester(&lobby, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester filterTester(&filter, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/Regular"));

    TestFrame list(153);
    list.u32(4);
    tableRecord(list, 1, "101/Regular", "One", 4, 3, {});
    tableRecord(list, 2, "101/Regular", "Two", 4, 1, {});
    tableRecord(list, 3, "101/Regular", "Three", 4, 4, {});
    tableRecord(list, 4, "101/Regular", "Four", 4, 0, {});
    QVERIFY(m_server->send(list));
    QTRY_COMPARE(m_model->rowCount(), 4);
    // Empty and full tables are hidden; the rest sorted by seats taken.
    QCOMPARE(filter.rowCount(), 2);
    QCOMPARE(cellText(filter, 0, 0), QStringLiteral("Two"));
    QCOMPARE(cellText(filter, 1, 0), QStringLiteral("One"));

    TestFrame updates(154);
    updates.u32(2);
    updateRecord(updates, 1, 4, {});
    updateRecord(updates, 3, 2, {});
    QVERIFY(m_server->send(updates));
    QTRY_COMPARE(cellText(filter, 1, 0), QStringLiteral("Three"));
    QCOMPARE(filter.rowCount(), 2);

    // The removals of one burst leave together, in one pass over the rows (a
    // change of layout and one removal at most, however many); a table
    // removed and announced again in the burst shows once, as announced.
    TestFrame more(153);
    more.u32(40);
    for (quint32 id = 11; id <= 50; ++id)
        tableRecord(more, id, "101/Regular", "Table " + QByteArray::number(id), 4, 1, {});
    QVERIFY(m_server->send(more));
    QTRY_COMPARE(filter.rowCount(), 42);
    QTRY_COMPARE(m_model->rowCount(), 44);
    QSignalSpy removed(&lobby, &QAbstractItemModel::rowsRemoved), moved(&lobby, &QAbstractItemModel::layoutChanged);
    TestFrame again(143);
    tableRecord(again, 2, "101/Regular", "Two again", 4, 2, {});
    QByteArray burst = TestFrame(147).u32(2).toBytes() + again.toBytes();
    for (quint32 id = 11; id <= 50; id += 2)
        burst += TestFrame(147).u32(id).toBytes();
    QTest::ignoreMessage(QtWarningMsg, "No table to remove with id 99");
    QVERIFY(m_server->sendRaw(burst + TestFrame(147).u32(99).toBytes()));
    QTRY_COMPARE(filter.rowCount(), 22);
    QCOMPARE(m_model->rowCount(), 24);
    QCOMPARE_LE(removed.count() + moved.count(), 3);
    QStringList shown;
    for (int row = 0; row < filter.rowCount(); ++row)
        shown << cellText(filter, row, 0);
    QCOMPARE(shown.count(QStringLiteral("Two again")), 1);
    QVERIFY(!shown.contains(QStringLiteral("Two")) && !shown.contains(QStringLiteral("Table 11")));

    // The view's path is released with the proxy.
    lobby.setLobbyPath("101/Practice");
    QCOMPARE(nextPath(UnsubscribeClass), QStringLiteral("101/Regular"));
    QCOMPARE(nextPath(SubscribeClass), QStringLiteral("101/Practice"));
    QCOMPARE(filter.rowCount(), 0);
    QCOMPARE(m_model->rowCount(), 0);
}

QTEST_MAIN(LobbyFeedTest)
#include "tst_lobbyfeed.moc"
