// The server clock against the test game server over a loopback connection:
// the time requests go out as service requests and the replies move the clock.
#include "ServerTime.h"

#include "ConnectionManager.h"
#include "TestGameServer.h"
#include "game_test_frames.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestServerTimeLive : public QObject
{
    Q_OBJECT

private:
    /// The sequence number of a service request frame, or -1 for another service.
    static qint64 timeRequestSeq(const ReceivedFrame& f)
    {
        TestFrameReader r = f.reader();
        r.u32();
        const quint32 seq = r.u32();
        r.str();
        r.u8();
        return r.nested().classId() == 67 ? qint64(seq) : -1;
    }

private Q_SLOTS:
    void followsTheServerClock()
    {
        TestGameServer server;
        QVERIFY(server.listen());
        ConnectionManager cm(false);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(ready.wait(5000) || ready.count() == 1);

        // The server's clock runs an hour ahead; the first request is refused,
        // every later one answered.
        const qint64 offsetMs = 3600 * 1000;
        QList<qint64> requestTimes;
        QElapsedTimer clock;
        clock.start();
        server.onRequest(101, [&](const ReceivedFrame& f) {
            const qint64 seq = timeRequestSeq(f);
            if (seq < 0)
                return;
            requestTimes << clock.elapsed();
            if (requestTimes.size() == 1) {
                server.send(gtf::service(quint32(seq), TestFrame(71)));
                return;
            }
            // Answered a little later, as over a network: the reply's round
            // trip is wide enough that a busy machine's delays leave the
            // estimate within it, where it holds still.
            const quint64 now = quint64(QDateTime::currentMSecsSinceEpoch() + offsetMs);
            QTimer::singleShot(100, &server, [&server, seq, now] {
                server.send(gtf::service(quint32(seq), TestFrame(76).u64(now)));
            });
        });

        ServerTime* st = ServerTime::instance();
        QSignalSpy estimate(st, &ServerTime::updatedEstimate);
        QSignalSpy ping(st, &ServerTime::updatedPing);
        st->setConnection(&cm);
        // Refused, asked again after the pause, answered: the clock jumps ahead.
        QVERIFY(estimate.wait(6000));
        QVERIFY(requestTimes.size() >= 2);
        QVERIFY2(requestTimes.at(1) - requestTimes.at(0) >= 1900, qPrintable(QString::number(requestTimes.at(1))));
        const qint64 ahead = msecsBetween(QDateTime::currentDateTimeUtc(), ServerTime::currentTime());
        QVERIFY2(qAbs(ahead - offsetMs) < 500, qPrintable(QString::number(ahead)));

        // The next request follows about 2000 ms after the reply; the clock
        // holds still. (A later reply may move the estimate within a round
        // trip, when the first answer was slow to come back.)
        QTRY_VERIFY_WITH_TIMEOUT(requestTimes.size() >= 3, 4000);
        QVERIFY(requestTimes.at(2) - requestTimes.at(1) >= 1900);
        // Not every reply moves it.
        QTRY_VERIFY_WITH_TIMEOUT(requestTimes.size() >= 4, 5000);
        QVERIFY(ping.count() >= 2);
        QVERIFY(estimate.count() < ping.count());
        const qint64 stillAhead = msecsBetween(QDateTime::currentDateTimeUtc(), ServerTime::currentTime());
        QVERIFY2(qAbs(stillAhead - offsetMs) < 500, qPrintable(QString::number(stillAhead)));

        // Detached: no more requests.
        st->setConnection(nullptr);
        const int sent = requestTimes.size();
        QTest::qWait(2500);
        QCOMPARE(requestTimes.size(), sent);
    }
};

QTEST_GUILESS_MAIN(TestServerTimeLive)
#include "tst_server_time_live.moc"
