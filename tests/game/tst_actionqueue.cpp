// The action queue of a table: order of steps around real animations, the
// idle immediate step, the backlog flush, flush and reset while an animation
// runs, animations switched off, and late finished() signals of animations
// that were already ended.

#include "ActionQueue.h"
#include "GameWindowAction.h"
#include "GameWindowAnimation.h"

#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimeLine>

#include <memory>

namespace {
/// An animation that writes "start:<name>" and "end:<name>" into a shared log.
class LoggedAnimation : public GameWindowAnimation
{
public:
    LoggedAnimation(QStringList* log, const QString& name, int ms = 40)
        : GameWindowAnimation(ms)
        , log(log)
        , name(name)
    {
    }
    ~LoggedAnimation() override { log->append(QStringLiteral("deleted:") + name); }

    void start(bool instant) override
    {
        log->append(QStringLiteral("start:%1%2").arg(name, instant ? QStringLiteral("!") : QString()));
        if (!instant)
            timeLine()->start();
    }
    void end(bool instant) override
    {
        log->append(QStringLiteral("end:%1%2").arg(name, instant ? QStringLiteral("!") : QString()));
    }

private:
    QStringList* log;
    QString name;
};
}

class TestActionQueue : public QObject
{
    Q_OBJECT

    QStringList log;
    std::unique_ptr<ActionQueue> queue;
    bool animationsOn = true;

    void step(const QString& name)
    {
        queue->enqueueAction(makeAction([this, name] { log.append(name); }));
    }
    LoggedAnimation* animate(const QString& name, int ms = 40)
    {
        auto* a = new LoggedAnimation(&log, name, ms);
        queue->enqueueAnimation(a);
        return a;
    }

private Q_SLOTS:
    void init()
    {
        log.clear();
        animationsOn = true;
        queue = std::make_unique<ActionQueue>();
        queue->setAnimationsEnabledSource([this] { return animationsOn; });
    }
    void cleanup() { queue.reset(); }

    void immediateStepOnIdleQueueRunsAtOnce()
    {
        step(QStringLiteral("a"));
        QCOMPARE(log, QStringList{QStringLiteral("a")});
        QVERIFY(!queue->isBusy());
        QCOMPARE(queue->size(), 0);
    }

    void stepsWaitForTheAnimationBeforeThem()
    {
        animate(QStringLiteral("A"));
        step(QStringLiteral("between"));
        animate(QStringLiteral("B"));
        step(QStringLiteral("after"));
        QCOMPARE(log, QStringList{QStringLiteral("start:A")});
        QVERIFY(queue->isBusy());

        QTRY_VERIFY_WITH_TIMEOUT(log.contains(QStringLiteral("start:B")), 2000);
        QCOMPARE(log.mid(0, 4), (QStringList{QStringLiteral("start:A"), QStringLiteral("end:A"),
                                             QStringLiteral("between"), QStringLiteral("start:B")}));
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(QStringLiteral("after")), 2000);
        QCOMPARE(log.indexOf(QStringLiteral("end:B")) + 1, log.indexOf(QStringLiteral("after")));
        QVERIFY(!queue->isBusy());
        // The ended animations are released through the event loop.
        QTRY_COMPARE(log.filter(QStringLiteral("deleted:")).size(), 2);
    }

    void animationsOffPlaysEverythingToItsEndAtOnce()
    {
        animate(QStringLiteral("A"));
        step(QStringLiteral("behind A"));
        animationsOn = false;
        animate(QStringLiteral("B"));
        QCOMPARE(log, (QStringList{QStringLiteral("start:A"), QStringLiteral("end:A"), QStringLiteral("behind A"),
                                   QStringLiteral("start:B!"), QStringLiteral("end:B!"), QStringLiteral("deleted:B")}));
        QCOMPARE(queue->size(), 0);
        QVERIFY(!queue->isBusy());
        step(QStringLiteral("c"));
        QCOMPARE(log.last(), QStringLiteral("c"));
    }

    void storedSettingIsReadAtEveryEnqueue()
    {
        ActionQueue stored; // no source given: the settings store decides
        QSettings().setValue(QStringLiteral("game/animations"), false);
        stored.enqueueAnimation(new LoggedAnimation(&log, QStringLiteral("off")));
        QCOMPARE(log.mid(0, 2), (QStringList{QStringLiteral("start:off!"), QStringLiteral("end:off!")}));
        // Changed through another settings object: seen at the next enqueue.
        QSettings().setValue(QStringLiteral("game/animations"), true);
        stored.enqueueAnimation(new LoggedAnimation(&log, QStringLiteral("on"), 5000));
        QCOMPARE(log.last(), QStringLiteral("start:on"));
        QVERIFY(stored.isBusy());
        QSettings().setValue(QStringLiteral("game/animations"), QString()); // damaged: the default, as the page shows
        ActionQueue damaged;
        damaged.enqueueAnimation(new LoggedAnimation(&log, QStringLiteral("damaged"), 5000));
        QCOMPARE(log.last(), QStringLiteral("start:damaged"));
        QSettings().remove(QStringLiteral("game/animations"));
    }

    void backlogOverTwentyFlushes_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("waiting");
        QTest::newRow("20 steps wait behind the animation") << 19 << 20;
        QTest::newRow("the 21st step flushes") << 20 << 0;
    }
    void backlogOverTwentyFlushes()
    {
        QFETCH(int, steps);
        QFETCH(int, waiting);
        animate(QStringLiteral("A"), 5000); // start ran; its end step waits
        for (int i = 0; i < steps; ++i)
            step(QString::number(i));
        QCOMPARE(queue->size(), waiting);
        QCOMPARE(queue->isBusy(), waiting != 0);
        if (waiting == 0) {
            QCOMPARE(log.size(), 2 + steps);
            QCOMPARE(log.at(1), QStringLiteral("end:A"));
            QCOMPARE(log.last(), QString::number(steps - 1));
        }
    }

    void flushWhileRunningEndsTheAnimationThenRunsTheRest()
    {
        animate(QStringLiteral("A"), 5000);
        step(QStringLiteral("x"));
        animate(QStringLiteral("B"), 5000);
        queue->flushActions();
        QCOMPARE(log.mid(0, 5), (QStringList{QStringLiteral("start:A"), QStringLiteral("end:A"), QStringLiteral("x"),
                                             QStringLiteral("start:B"), QStringLiteral("end:B")}));
        QVERIFY(!queue->isBusy());
    }

    void resetDeletesWithoutEnding()
    {
        auto* a = animate(QStringLiteral("A"), 5000);
        QPointer<GameWindowAnimation> watch(a);
        step(QStringLiteral("never"));
        queue->reset();
        QVERIFY(watch.isNull());
        QCOMPARE(log, (QStringList{QStringLiteral("start:A"), QStringLiteral("deleted:A")}));
        QVERIFY(!queue->isBusy());
        QCOMPARE(queue->size(), 0);
        step(QStringLiteral("fresh"));
        QCOMPARE(log.last(), QStringLiteral("fresh"));
    }

    void endedAnimationCannotEndTheNextOneEarly()
    {
        // A is flushed while its time line runs; B starts behind it. A late
        // finished() of A (its time line running on, or already queued) must
        // not end B before B's own time.
        auto* a = animate(QStringLiteral("A"), 60);
        QTimeLine* aLine = a->timeLine();
        queue->flushActions();
        QCOMPARE(aLine->state(), QTimeLine::NotRunning);
        animate(QStringLiteral("B"), 400);
        Q_EMIT a->finished();
        QVERIFY(!log.contains(QStringLiteral("end:B")));
        QVERIFY(queue->isBusy());
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(QStringLiteral("end:B")), 2000);
    }

    void stepQueuedFromInsideAStepKeepsItsPlace()
    {
        queue->enqueueAction(makeAction([this] {
            log.append(QStringLiteral("outer"));
            step(QStringLiteral("inner"));
            log.append(QStringLiteral("outer done"));
        }));
        step(QStringLiteral("last"));
        QCOMPARE(log, (QStringList{QStringLiteral("outer"), QStringLiteral("outer done"), QStringLiteral("inner"),
                                   QStringLiteral("last")}));
    }

    void boundArgumentsAreCopiedWhenQueued()
    {
        animate(QStringLiteral("A"), 30);
        auto tiles = std::make_shared<std::vector<int>>(std::vector<int>{1, 2});
        int value = 7;
        queue->enqueueAction(makeAction([this](int v, std::shared_ptr<std::vector<int>> t) {
            log.append(QStringLiteral("%1/%2").arg(v).arg(t->size()));
        }, value, tiles));
        value = 8;
        tiles.reset();
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(QStringLiteral("7/2")), 2000);
    }
};

QTEST_MAIN(TestActionQueue)
#include "tst_actionqueue.moc"
