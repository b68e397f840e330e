#include "ServerTime.h"

#include <QSignalSpy>
#include <QTest>

/// Drives the server clock through its request function, answering by hand.
class TestServerTime : public QObject
{
    Q_OBJECT

private:
    ServerTime* clock = ServerTime::instance();
    QList<qint32> requests;
    qint32 nextId = 100;

    qint32 lastRequest() const { return requests.isEmpty() ? -1 : requests.last(); }

    /// The process's clocks, moved by hand; the machine's clock is never touched.
    QDateTime wallNow = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    qint64 steadyNow = 0;
    void useFakeClocks() { clock->setClocks([this] { return wallNow; }, [this] { return steadyNow; }); }

private Q_SLOTS:
    void init()
    {
        requests.clear();
    }

    void cleanup()
    {
        clock->setRequestSender(nullptr);
        clock->setClocks({}, {});
    }

    void beforeAnyReplyTheLocalClock()
    {
        const qint64 diff = msecsBetween(QDateTime::currentDateTimeUtc(), ServerTime::currentTime());
        QVERIFY(qAbs(diff) < 50);
        QCOMPARE(ServerTime::currentTime().timeSpec(), Qt::UTC);
    }

    void msecsBetweenCountsAcrossDays()
    {
        const QDateTime a(QDate(2024, 2, 28), QTime(23, 59, 59, 500), Qt::UTC);
        const QDateTime b(QDate(2024, 3, 1), QTime(0, 0, 0, 250), Qt::UTC);
        QCOMPARE(msecsBetween(a, b), qint64(86400000) + 750);
        QCOMPARE(msecsBetween(b, a), -(qint64(86400000) + 750));
        const QDateTime local = b.toOffsetFromUtc(3600);
        QCOMPARE(msecsBetween(a, local), qint64(86400000) + 750);
    }

    void firstReplyIsAcceptedAndMovesTheEstimate()
    {
        QSignalSpy estimate(clock, &ServerTime::updatedEstimate);
        QSignalSpy ping(clock, &ServerTime::updatedPing);
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        QCOMPARE(requests.size(), 1);
        // The server is an hour ahead; the reply comes at once (round trip 0).
        const QDateTime server = QDateTime::currentDateTimeUtc().addSecs(3600);
        clock->onTimeFromServer(lastRequest(), server);
        QCOMPARE(estimate.count(), 1);
        QCOMPARE(ping.count(), 1);
        QVERIFY(qAbs(msecsBetween(server, ServerTime::currentTime())) < 50);

        // The next request follows 2000 ms after the reply.
        QTest::qWait(1500);
        QCOMPARE(requests.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 2, 2000);
    }

    void replyInsideTheWindowOnlyUpdatesThePing()
    {
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        QSignalSpy estimate(clock, &ServerTime::updatedEstimate);
        QSignalSpy ping(clock, &ServerTime::updatedPing);
        QTest::qWait(30);
        // The server time 20 ms before now: the estimate lies within [server, server + rtt].
        clock->onTimeFromServer(lastRequest(), ServerTime::currentTime().addMSecs(-20));
        QCOMPARE(estimate.count(), 0);
        QCOMPARE(ping.count(), 1);
        QVERIFY(clock->ping() >= 30);
    }

    void replyBehindTheEstimateMovesItBack()
    {
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        QSignalSpy estimate(clock, &ServerTime::updatedEstimate);
        QTest::qWait(20);
        const QDateTime server = ServerTime::currentTime().addSecs(-600);
        clock->onTimeFromServer(lastRequest(), server);
        QCOMPARE(estimate.count(), 1);
        const qint64 off = msecsBetween(server, ServerTime::currentTime());
        // Server time plus half the round trip.
        QVERIFY2(off >= clock->ping() / 2 && off < clock->ping() / 2 + 50, qPrintable(QString::number(off)));
    }

    void laterZeroRoundTripIsDroppedAndRepeated()
    {
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        // A clock that stands still: on a busy machine a real one may pass a
        // millisecond between the request and its answer.
        useFakeClocks();
        QSignalSpy ping(clock, &ServerTime::updatedPing);
        QSignalSpy estimate(clock, &ServerTime::updatedEstimate);
        const QDateTime before = ServerTime::currentTime();
        clock->onTimeFromServer(lastRequest(), before.addSecs(100));
        QCOMPARE(ping.count(), 0);
        QCOMPARE(estimate.count(), 0);
        QVERIFY(qAbs(msecsBetween(before, ServerTime::currentTime())) < 50);
        steadyNow += ServerTime::pingInterval;
        QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 2, 3000);
    }

    void oldRequestIdIsIgnored()
    {
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        QSignalSpy ping(clock, &ServerTime::updatedPing);
        QTest::qWait(5);
        clock->onTimeFromServer(lastRequest() - 1, QDateTime::currentDateTimeUtc().addSecs(999));
        clock->onTimeFromServer(lastRequest() + 1, QDateTime::currentDateTimeUtc().addSecs(999));
        QCOMPARE(ping.count(), 0);
        QTest::qWait(2200);
        QCOMPARE(requests.size(), 1);
        // A reply answered twice counts once.
        clock->onTimeFromServer(lastRequest(), ServerTime::currentTime());
        clock->onTimeFromServer(lastRequest(), ServerTime::currentTime());
        QCOMPARE(ping.count(), 1);
    }

    void missedReplyIsRequestedAgain()
    {
        // The real limit is 10 s; this test waits for it once.
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        QSignalSpy timeouts(clock, &ServerTime::timeout);
        QSignalSpy silent(clock, &ServerTime::silenceBegan);
        QSignalSpy heard(clock, &ServerTime::silenceEnded);
        QTRY_COMPARE_WITH_TIMEOUT(timeouts.count(), 1, ServerTime::replyTimeout + 2000);
        QCOMPARE(requests.size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(silent.count(), 1, 1000);
        // The late reply to the first request is ignored; the new one is answered.
        QSignalSpy ping(clock, &ServerTime::updatedPing);
        clock->onTimeFromServer(requests.first(), ServerTime::currentTime());
        QCOMPARE(ping.count(), 0);
        QCOMPARE(heard.count(), 1); // though it ends the silence
        QTest::qWait(5);
        clock->onTimeFromServer(requests.last(), ServerTime::currentTime());
        QCOMPARE(ping.count(), 1);
    }

    void machineClockStepsMoveNoEstimate()
    {
        useFakeClocks();
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        steadyNow += 40;
        clock->onTimeFromServer(lastRequest(), wallNow.addSecs(-600));
        const QDateTime estimated = ServerTime::currentTime();
        for (int step : {3600, -86400}) {
            wallNow = wallNow.addSecs(step);
            steadyNow += 5000;
        }
        QCOMPARE(ServerTime::currentTime(), estimated.addMSecs(10000));
    }

    void wakeWithTheLinkDownCountsTheSilenceAgain()
    {
        useFakeClocks();
        QSignalSpy silent(clock, &ServerTime::silenceBegan);
        QSignalSpy lost(clock, &ServerTime::connectionLost);
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        // The process stands still for 40 s, no turn of its event loop between.
        QTest::ignoreMessage(QtWarningMsg, "the server clock's timer came back 30000 ms late (the program stood still); "
                                           "the server's silence is counted from now");
        steadyNow += 40000;
        QTRY_COMPARE(requests.size(), 2); // the time asked anew
        // Silence counted from the wake: the strip at 10 s, the end at 30 s.
        steadyNow += 9999;
        QTest::qWait(ServerTime::turnLimit + 200);
        QCOMPARE(silent.count() + lost.count(), 0);
        steadyNow += 1;
        QTRY_COMPARE(silent.count(), 1);
        steadyNow += 10000;
        QTRY_COMPARE(requests.size(), 4);
        steadyNow += 9999;
        QTest::qWait(ServerTime::turnLimit + 200);
        QCOMPARE(lost.count(), 0);
        QTest::ignoreMessage(QtWarningMsg, "nothing from the server for 30000 ms");
        steadyNow += 1;
        QTRY_COMPARE(lost.count(), 1);
    }

    void endingTheCycle()
    {
        clock->setRequestSender([this] { requests << nextId; return nextId++; });
        const qint32 id = lastRequest();
        clock->setRequestSender(nullptr);
        QSignalSpy ping(clock, &ServerTime::updatedPing);
        clock->onTimeFromServer(id, ServerTime::currentTime());
        QCOMPARE(ping.count(), 0);
        QTest::qWait(2200);
        QCOMPARE(requests.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestServerTime)
#include "tst_server_time.moc"
