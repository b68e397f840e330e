// The registries of outstanding sequenced requests and the per-table throttle.

#include "request_handler.h"
#include "table_request_handler.h"

#include <QTest>

#include <iostream>
#include <sstream>
#include <stdexcept>

namespace {
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
}

class tst_RequestRegistries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbersStartAtOneAndCountPerRegistry();
    void takeAndDuplicateErrors();
    void reportsUnconsumedRequestsAtDestruction();
    void processWideRegistriesAreDistinct();
    void throttleRefusesWithinThreeSeconds();
    void throttleClassesAreIndependent();
    void answerReleasesTheEntry();
    void oldEntryLetsEveryRequestThrough();
    void unknownAnswerOnlyWarns();
    void wallClockDoesNotMatter();
};

void tst_RequestRegistries::numbersStartAtOneAndCountPerRegistry()
{
    request_handler a("a");
    request_handler b("b");
    QCOMPARE(a.registerRequest(63), 1);
    QCOMPARE(a.registerRequest(65), 2);
    QCOMPARE(b.registerRequest(70), 1);
    QCOMPARE(a.registerRequest(63), 3);
    QCOMPARE(a.takeOutstandingRequest(2), 65);
    QCOMPARE(a.takeOutstandingRequest(1), 63);
    QCOMPARE(a.takeOutstandingRequest(3), 63);
    QCOMPARE(b.takeOutstandingRequest(1), 70);
}

void tst_RequestRegistries::takeAndDuplicateErrors()
{
    request_handler r("filter_join_requests");
    const int seq = r.registerRequest(170);
    QCOMPARE(runtimeErrorText([&] { r.addOutstandingRequest(172, seq); }),
             QStringLiteral("outstanding request with seq 1 already present (\"filter_join_requests\")"));
    QCOMPARE(r.takeOutstandingRequest(seq), 170);
    QCOMPARE(runtimeErrorText([&] { r.takeOutstandingRequest(seq); }),
             QStringLiteral("non-existant request with seq 1 (\"filter_join_requests\")"));
    // Now the cancellation may take the number over.
    r.addOutstandingRequest(172, seq);
    QCOMPARE(r.takeOutstandingRequest(seq), 172);
    QCOMPARE(r.outstandingCount(), 0);
}

void tst_RequestRegistries::reportsUnconsumedRequestsAtDestruction()
{
    std::ostringstream captured;
    std::streambuf* previous = std::cout.rdbuf(captured.rdbuf());
    {
        request_handler r("service_requests");
        r.registerRequest(68);
        r.registerRequest(63);
        r.registerRequest(66);
        r.takeOutstandingRequest(2);
    }
    {
        request_handler empty("local_service_requests");
    }
    std::cout.rdbuf(previous);
    QCOMPARE(QString::fromStdString(captured.str()),
             QStringLiteral("request_handler(\"service_requests\") contains 2 unconsumed requests\n"
                            "   request vrex class_id: 68\n"
                            "   request vrex class_id: 66\n"));
}

void tst_RequestRegistries::processWideRegistriesAreDistinct()
{
    QCOMPARE(QString(service_requests().name()), QStringLiteral("service_requests"));
    QCOMPARE(QString(local_service_requests().name()), QStringLiteral("local_service_requests"));
    QCOMPARE(QString(filter_join_requests().name()), QStringLiteral("filter_join_requests"));
    QCOMPARE(&service_requests(), &service_requests());
    QCOMPARE(&table_requests(), &table_requests());
}

void tst_RequestRegistries::throttleRefusesWithinThreeSeconds()
{
    qint64 now = 1000;
    table_request_handler t;
    t.setClock([&] { return now; });
    QVERIFY(t.checkTableRequest(9, 30));
    now += 2999;
    QTest::ignoreMessage(QtWarningMsg, "Request 30 already issued for table 9");
    QVERIFY(!t.checkTableRequest(9, 30));
    now += 1;
    QTest::ignoreMessage(QtWarningMsg, "3 seconds since last request 30 for table 9");
    QVERIFY(t.checkTableRequest(9, 30));
}

void tst_RequestRegistries::throttleClassesAreIndependent()
{
    qint64 now = 0;
    table_request_handler t;
    t.setClock([&] { return now; });
    QVERIFY(t.checkTableRequest(9, 30));
    QVERIFY(t.checkTableRequest(9, 32));
    QVERIFY(t.checkTableRequest(10, 30));
    QTest::ignoreMessage(QtWarningMsg, "Request 32 already issued for table 9");
    QVERIFY(!t.checkTableRequest(9, 32));
}

void tst_RequestRegistries::answerReleasesTheEntry()
{
    qint64 now = 0;
    table_request_handler t;
    t.setClock([&] { return now; });
    QVERIFY(t.checkTableRequest(9, 30));
    t.completeTableRequest(9, 30);
    QVERIFY(!t.hasTableRequest(9, 30));
    QVERIFY(t.checkTableRequest(9, 30));
}

void tst_RequestRegistries::oldEntryLetsEveryRequestThrough()
{
    qint64 now = 0;
    table_request_handler t;
    t.setClock([&] { return now; });
    QVERIFY(t.checkTableRequest(4, 36));
    now = 5000;
    QTest::ignoreMessage(QtWarningMsg, "5 seconds since last request 36 for table 4");
    QVERIFY(t.checkTableRequest(4, 36));
    // The entry keeps its first time, so one second later it still passes.
    now = 6000;
    QTest::ignoreMessage(QtWarningMsg, "6 seconds since last request 36 for table 4");
    QVERIFY(t.checkTableRequest(4, 36));
}

void tst_RequestRegistries::unknownAnswerOnlyWarns()
{
    table_request_handler t;
    QTest::ignoreMessage(QtWarningMsg, "non-existant table request, table 12 req: 34");
    t.completeTableRequest(12, 34);
    QVERIFY(!t.hasTableRequest(12, 34));
}

void tst_RequestRegistries::wallClockDoesNotMatter()
{
    // With the real (monotonic) clock two requests in a row are throttled
    // whatever the time of day; a time-of-day clock would let the second one
    // through just after midnight.
    table_request_handler t;
    QVERIFY(t.checkTableRequest(1, 30));
    QTest::ignoreMessage(QtWarningMsg, "Request 30 already issued for table 1");
    QVERIFY(!t.checkTableRequest(1, 30));
}

QTEST_GUILESS_MAIN(tst_RequestRegistries)
#include "tst_request_registries.moc"
