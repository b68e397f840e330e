// The countdown dial against an injected server clock: repaint intervals per
// display, spans without a start, spans already past, the rounding of the
// seconds counter, and the ticker stopping after the deadline.

#include "TimeSpan.h"
#include "TimerView.h"

#include <QTest>
#include <QTimeZone>

class TestTimerView : public QObject
{
    Q_OBJECT

    QDateTime clockNow = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

    qint64 steadyNow = 0;

    void useClock(TimerView& view)
    {
        view.setClock([this] { return clockNow; });
        view.setMonotonicClock([this] { return steadyNow; });
    }
    /// Time passes: both clocks move.
    void pass(int ms)
    {
        clockNow = clockNow.addMSecs(ms);
        steadyNow += ms;
    }

private Q_SLOTS:
    void repaintInterval_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<int>("lengthMs");
        QTest::addColumn<int>("interval");
        QTest::newRow("pie 10 s") << int(TimerView::PIE) << 10000 << 100;
        QTest::newRow("pie 5 s, lower bound") << int(TimerView::PIE) << 5000 << 100;
        QTest::newRow("pie 60 s") << int(TimerView::PIE) << 60000 << 600;
        QTest::newRow("counter 60 s") << int(TimerView::DEC_COUNTER) << 60000 << 1000;
        QTest::newRow("counter 3 s") << int(TimerView::DEC_COUNTER) << 3000 << 1000;
    }
    void repaintInterval()
    {
        QFETCH(int, display);
        QFETCH(int, lengthMs);
        QFETCH(int, interval);
        TimerView view(nullptr, {}, TimerView::DisplayType(display));
        useClock(view);
        view.setTimeSpan(TimeSpan(clockNow, qint64(lengthMs)));
        QCOMPARE(view.total(), qint64(lengthMs));
        QVERIFY(view.ticker().isActive());
        QCOMPARE(view.ticker().interval(), interval);
    }

    void spanWithoutStartCountsFromTheServerClock()
    {
        TimerView view;
        useClock(view);
        // The local clock lies far from the server's: only the injected clock counts.
        view.setTimeSpan(TimeSpan(QDateTime(), clockNow.addSecs(30)));
        QCOMPARE(view.total(), qint64(30000));
        view.setDeadline(clockNow.addSecs(8));
        QCOMPARE(view.total(), qint64(8000));
    }

    void pastOrEmptySpanDrawsNothing_data()
    {
        QTest::addColumn<TimeSpan>("span");
        QTest::newRow("no start, end passed") << TimeSpan(QDateTime(), clockNow.addSecs(-2));
        QTest::newRow("end before start") << TimeSpan(clockNow, clockNow.addSecs(-1));
        QTest::newRow("empty span") << TimeSpan();
    }
    void pastOrEmptySpanDrawsNothing()
    {
        QFETCH(TimeSpan, span);
        TimerView view(nullptr, {}, TimerView::DEC_COUNTER);
        useClock(view);
        view.setTimeSpan(span);
        QCOMPARE(view.total(), qint64(0));
        QVERIFY(!view.ticker().isActive());
        QCOMPARE(view.counterText(), QString());
    }

    void counterRoundsToTheNearestSecond_data()
    {
        QTest::addColumn<int>("leftMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("10 s") << 10000 << QStringLiteral("10");
        QTest::newRow("9.5 s rounds up") << 9500 << QStringLiteral("10");
        QTest::newRow("9.499 s rounds down") << 9499 << QStringLiteral("9");
        QTest::newRow("500 ms still shows 1") << 500 << QStringLiteral("1");
        QTest::newRow("499 ms shows nothing") << 499 << QString();
        QTest::newRow("past") << -3000 << QString();
    }
    void counterRoundsToTheNearestSecond()
    {
        QFETCH(int, leftMs);
        QFETCH(QString, text);
        TimerView view(nullptr, {}, TimerView::DEC_COUNTER);
        useClock(view);
        const QDateTime end = clockNow.addMSecs(leftMs);
        view.setTimeSpan(TimeSpan(clockNow.addSecs(-20), end));
        QCOMPARE(view.counterText(), text);
    }

    void tickerStopsAtTheFirstRepaintAfterTheDeadline()
    {
        TimerView view;
        useClock(view);
        view.resize(30, 30);
        view.setTimeSpan(TimeSpan(clockNow, qint64(5000)));
        view.grab(); // a repaint before the deadline keeps it running
        QVERIFY(view.ticker().isActive());
        pass(6000);
        view.grab();
        QVERIFY(!view.ticker().isActive());
    }

    // A dial out of sight is never repainted; its ticker must stop all the
    // same, when its countdown is cleared or its deadline passes.
    void hiddenDialStopsTicking_data()
    {
        QTest::addColumn<bool>("cleared");
        QTest::newRow("countdown cleared") << true;
        QTest::newRow("deadline passed") << false;
    }
    void hiddenDialStopsTicking()
    {
        QFETCH(bool, cleared);
        TimerView view(nullptr, {}, TimerView::PIE);
        useClock(view);
        view.setTimeSpan(TimeSpan(clockNow, qint64(5000)));
        QVERIFY(view.ticker().isActive());
        if (cleared) {
            view.setTimeSpan(TimeSpan());
            QVERIFY(!view.ticker().isActive());
        } else {
            pass(6000);
            QTRY_VERIFY_WITH_TIMEOUT(!view.ticker().isActive(), 2000);
        }
        QVERIFY(!view.isVisible());
    }

    void pieShrinksWithTheTimeLeft()
    {
        TimerView view(nullptr, {}, TimerView::PIE, TimerView::SOLID);
        view.setSolidColor(Qt::black);
        view.setAttribute(Qt::WA_TranslucentBackground);
        useClock(view);
        view.resize(40, 40);
        view.setTimeSpan(TimeSpan(clockNow, qint64(4000)));
        auto painted = [&view] {
            const QImage img = view.grab().toImage();
            int dark = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    dark += qGray(img.pixel(x, y)) < 60 && qAlpha(img.pixel(x, y)) > 200 ? 1 : 0;
            return dark;
        };
        const int full = painted();
        pass(3000); // a quarter left
        const int quarter = painted();
        // The machine's clock set a day forward, the ticker's turn, and back.
        clockNow = clockNow.addDays(1);
        QCOMPARE(painted(), quarter);
        QTest::qWait(250);
        clockNow = clockNow.addDays(-1);
        QVERIFY(view.ticker().isActive());
        QCOMPARE(painted(), quarter);
        QVERIFY2(full > 3 * quarter && quarter > 0, qPrintable(QStringLiteral("%1 %2").arg(full).arg(quarter)));
    }
};

QTEST_MAIN(TestTimerView)
#include "tst_timerview.moc"
