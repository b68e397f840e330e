// Tile moves: the quarter turns between seats, the rotation over the time
// line, where the pictures start and land, when the tiles leave the source
// and reach the target, and a 300 ms discard through the action queue.

#include "ActionQueue.h"
#include "DiscardView.h"
#include "MotionFixtures.h"
#include "TileAnimation.h"
#include "TileAnimationSet.h"
#include "TileAnimationSource.h"
#include "TileAnimationTarget.h"
#include "TileView.h"

#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTimeLine>

namespace {
/// A view that reports fixed places and records what it gave or took.
class RecordingView : public TileAnimationSource, public TileAnimationTarget
{
public:
    RecordingView(QStringList* log, QString name, QPointF pos, int kind, int orientation)
        : log(log), name(std::move(name)), pos(pos), kind(kind), orientation(orientation)
    {
    }
    std::vector<TileGeometry> geometryFor(const std::vector<tile>& tiles) override { return places(int(tiles.size())); }
    std::vector<TileGeometry> geometryFor(int count) override { return places(count); }
    void transfer(const std::vector<tile>& tiles) override
    {
        QStringList codes;
        for (tile t : tiles)
            codes << QString::number(int(t.code()));
        log->append(name + QStringLiteral(" tiles [") + codes.join(QLatin1Char(',')) + QLatin1Char(']'));
    }
    void transfer(int count) override { log->append(name + QStringLiteral(" count %1").arg(count)); }

private:
    std::vector<TileGeometry> places(int n) const
    {
        std::vector<TileGeometry> out;
        for (int i = 0; i < n; ++i)
            out.push_back({pos + QPointF(40 * i, 0), kind, orientation});
        return out;
    }
    QStringList* log;
    QString name;
    QPointF pos;
    int kind;
    int orientation;
};
}

class TestTileAnimation : public QObject
{
    Q_OBJECT

    QStringList log;

private Q_SLOTS:
    void initTestCase() { QVERIFY(motion::installTiles()); }
    void init() { log.clear(); }

    void quarterTurns_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("turns");
        QTest::newRow("same seat") << 0 << 2 << 2 << 0;
        QTest::newRow("bottom to right") << 0 << 0 << 1 << 1;
        QTest::newRow("bottom to top") << 0 << 0 << 2 << 2;
        QTest::newRow("bottom to left turns back, not 270") << 0 << 0 << 3 << -1;
        QTest::newRow("left to bottom") << 0 << 3 << 0 << 1;
        QTest::newRow("hand tile to left") << 3 << 0 << 3 << -1;
        QTest::newRow("concealed between facing seats") << 1 << 0 << 2 << 0;
        QTest::newRow("concealed bottom to left") << 1 << 0 << 3 << 1;
        QTest::newRow("wall tile right to top") << 5 << 1 << 2 << 1;
    }
    void quarterTurns()
    {
        QFETCH(int, kind);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, turns);
        QCOMPARE(TileAnimation::quarterTurns(kind, from, to), turns);
        QGraphicsScene scene;
        QTimeLine line(300);
        TileAnimation a(&scene, &line, kind, from, to, 0.0, 1.0);
        QCOMPARE(a.rotationAt(0.0), turns * 90.0);
        QCOMPARE(a.rotationAt(1.0), 0.0);
    }

    void delayedStartRestsUntilItsStep()
    {
        QGraphicsScene scene;
        QTimeLine line(500);
        TileAnimation a(&scene, &line, 0, 0, 1, 0.5, 1.0);
        QCOMPARE(a.rotationAt(0.0), 0.0);
        QCOMPARE(a.rotationAt(0.49), 0.0);
        QCOMPARE(a.rotationAt(0.5), 90.0);
        a.setStartPos(QPointF(10, 10));
        a.setZBefore(150);
        a.setZAfter(170);
        a.setStep(0.2);
        QCOMPARE(a.picture()->orientation(), 0); // still the source picture
        a.setStep(0.6);
        QCOMPARE(a.picture()->orientation(), 1);
        QCOMPARE(a.picture()->zValue(), 150.0);
        a.setStep(1.0);
        QCOMPARE(a.picture()->zValue(), 170.0);
    }

    void picturesStartAndLandOnTheViewsPlaces()
    {
        QGraphicsScene scene;
        RecordingView hand(&log, QStringLiteral("hand"), QPointF(100, 500), TileImages::Declared, 0);
        RecordingView pond(&log, QStringLiteral("pond"), QPointF(300, 200), TileImages::Declared, 3);
        TileAnimationSet set(&scene, &hand, &pond, 300, std::vector<tile>{tile(5)});
        set.start(false);
        QCOMPARE(set.moves().size(), std::size_t(1));
        TileAnimation* move = set.moves().front();
        const QSizeF from = motion::size(0, TileImages::Declared);
        const QSizeF to = motion::size(3, TileImages::Declared);
        QCOMPARE(move->posAt(0.0), QPointF(100, 500) + QPointF(from.width() / 2, from.height() / 2));
        QCOMPARE(move->posAt(1.0), QPointF(300, 200) + QPointF(to.width() / 2, to.height() / 2));
        QCOMPARE(move->rotationAt(0.0), -90.0);
        QCOMPARE(move->picture()->tileCode(), tile(5));
        QCOMPARE(move->zBefore(), 600.0);
        QCOMPARE(move->zAfter(), 300.0);
        QCOMPARE(set.timeLine()->duration(), 300);
        QCOMPARE(set.timeLine()->updateInterval(), 20);
        // Landed: the picture's centre stands on the target's centre.
        move->setStep(1.0);
        const QRectF landed = move->picture()->sceneBoundingRect();
        QVERIFY2((landed.center() - (QPointF(300, 200) + QPointF(to.width() / 2, to.height() / 2))).manhattanLength() < 1.0,
                 qPrintable(QStringLiteral("%1,%2").arg(landed.center().x()).arg(landed.center().y())));
    }

    void tilesLeaveAtTheStartAndArriveAtTheEnd_data()
    {
        QTest::addColumn<bool>("instant");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("afterStart");
        QTest::addColumn<QStringList>("afterEnd");
        QTest::addColumn<int>("pictures");
        const QStringList faceUpStart{QStringLiteral("src tiles [3,4]")};
        const QStringList faceUpEnd{QStringLiteral("src tiles [3,4]"), QStringLiteral("dst tiles [3,4]")};
        QTest::newRow("face up, animated") << false << 0 << faceUpStart << faceUpEnd << 2;
        QTest::newRow("face up, instant") << true << 0 << faceUpStart << faceUpEnd << 0;
        QTest::newRow("concealed, animated")
            << false << 3 << QStringList{QStringLiteral("src count 3")}
            << QStringList{QStringLiteral("src count 3"), QStringLiteral("dst count 3")} << 3;
        // A count from the server beyond any set moves at most a whole set.
        QTest::newRow("concealed, count past a whole set")
            << false << (1 << 30) << QStringList{QStringLiteral("src count 144")}
            << QStringList{QStringLiteral("src count 144"), QStringLiteral("dst count 144")} << 144;
    }
    void tilesLeaveAtTheStartAndArriveAtTheEnd()
    {
        QFETCH(bool, instant);
        QFETCH(int, count);
        QFETCH(QStringList, afterStart);
        QFETCH(QStringList, afterEnd);
        QFETCH(int, pictures);
        QGraphicsScene scene;
        RecordingView src(&log, QStringLiteral("src"), QPointF(0, 400), TileImages::Hand, 0);
        RecordingView dst(&log, QStringLiteral("dst"), QPointF(0, 0), TileImages::Declared, 2);
        std::unique_ptr<TileAnimationSet> set;
        if (count == 0)
            set = std::make_unique<TileAnimationSet>(&scene, &src, &dst, 300, std::vector<tile>{tile(3), tile(4)});
        else
            set = std::make_unique<TileAnimationSet>(&scene, &src, &dst, 500, count);
        set->start(instant);
        QCOMPARE(log, afterStart);
        QCOMPARE(int(scene.items().size()), pictures);
        set->end(instant);
        QCOMPARE(log, afterEnd);
        for (QGraphicsItem* item : scene.items())
            QVERIFY(!item->isVisible());
        set.reset();
        QCOMPARE(int(scene.items().size()), 0);
    }

    void sceneClosedBeforeTheMoveIsReleased()
    {
        auto scene = std::make_unique<QGraphicsScene>();
        RecordingView src(&log, QStringLiteral("src"), QPointF(), 0, 0);
        RecordingView dst(&log, QStringLiteral("dst"), QPointF(), 0, 1);
        TileAnimationSet set(scene.get(), &src, &dst, 300, std::vector<tile>{tile(1), tile(2)});
        set.start(false);
        scene.reset(); // a table window closing with the move queued
    }

    void emptyMoveOnlyTransfersEmptyLists()
    {
        QGraphicsScene scene;
        RecordingView src(&log, QStringLiteral("src"), QPointF(), 0, 0);
        RecordingView dst(&log, QStringLiteral("dst"), QPointF(), 0, 0);
        TileAnimationSet set(&scene, &src, &dst, 300, std::vector<tile>{});
        set.start(false);
        set.end(false);
        QCOMPARE(log, (QStringList{QStringLiteral("src tiles []"), QStringLiteral("dst tiles []")}));
        QVERIFY(scene.items().isEmpty());
    }

    void claimLeavesThePondAtOnceAndReachesTheHandAtTheEnd()
    {
        QGraphicsScene scene;
        auto* pond = new DiscardView(2);
        scene.addItem(pond);
        pond->setPos(500, 200);
        pond->addTile(tile(7));
        pond->addTile(tile(12));
        RecordingView hand(&log, QStringLiteral("hand"), QPointF(0, 400), TileImages::Hand, 0);
        ActionQueue queue;
        queue.setAnimationsEnabledSource([] { return true; });
        QElapsedTimer clock;
        clock.start();
        const QPointF claimed = pond->tileViews().back()->scenePos();
        auto* claim = new TileAnimationSet(&scene, pond, &hand, TileAnimationSet::discardMs, std::vector<tile>{tile(12)});
        queue.enqueueAnimation(claim);
        QCOMPARE(pond->count(), 1);
        QCOMPARE(pond->tileViews().back()->tileCode(), tile(7));
        // The moving picture starts where the claimed tile lay, as it lay there.
        const QSizeF lying = motion::size(2, TileImages::Declared);
        QCOMPARE(claim->moves().front()->picture()->orientation(), 2);
        QCOMPARE(claim->moves().front()->posAt(0), claimed + QPointF(lying.width() / 2, lying.height() / 2));
        QVERIFY(log.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(log, QStringList{QStringLiteral("hand tiles [12]")}, 3000);
        QVERIFY2(clock.elapsed() >= 280, qPrintable(QString::number(clock.elapsed())));
    }

    void discardReachesThePondAfterItsTime()
    {
        QGraphicsScene scene;
        ActionQueue queue;
        queue.setAnimationsEnabledSource([] { return true; });
        RecordingView hand(&log, QStringLiteral("hand"), QPointF(0, 400), TileImages::Hand, 0);
        RecordingView pond(&log, QStringLiteral("pond"), QPointF(0, 200), TileImages::Declared, 0);
        QElapsedTimer clock;
        clock.start();
        queue.enqueueAnimation(new TileAnimationSet(&scene, &hand, &pond, TileAnimationSet::discardMs,
                                                    std::vector<tile>{tile(9)}));
        QCOMPARE(log, QStringList{QStringLiteral("hand tiles [9]")});
        QTRY_COMPARE_WITH_TIMEOUT(log.size(), 2, 3000);
        QVERIFY2(clock.elapsed() >= 280, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(log.last(), QStringLiteral("pond tiles [9]"));
        QVERIFY(!queue.isBusy());
    }
};

QTEST_MAIN(TestTileAnimation)
#include "tst_tileanimation.moc"
