// Frame times while tiles move, and the cost of the action queue per step;
// printed, never failing on timing.
//
// A frame is one tick of a move's time line (every picture stepped) plus a
// render of the whole 1920x1080 table view into an image, on the offscreen
// platform. Each figure is printed beside its floor measured in the same run:
// the deal's 53 moving tiles and a discard's one, average and worst frame,
// beside the render of the same table with nothing moving; the queue,
// measured with animations off, per step, beside a plain call of the same
// step (and with the setting read each time).

#include "ActionQueue.h"
#include "DiscardView.h"
#include "GameGraphicsScene.h"
#include "GameWindowAction.h"
#include "MotionFixtures.h"
#include "TileAnimationSet.h"
#include "TileAnimationSource.h"
#include "TileAnimationTarget.h"

#include <QElapsedTimer>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTimeLine>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
/// Hands out or takes tiles at a row of places.
class RowView : public TileAnimationSource, public TileAnimationTarget
{
public:
    RowView(QPointF origin, int kind, int orientation) : origin(origin), kind(kind), orientation(orientation) {}
    std::vector<TileGeometry> geometryFor(int count) override
    {
        std::vector<TileGeometry> out;
        for (int i = 0; i < count; ++i)
            out.push_back({origin + QPointF(34 * (i % 18), 46 * (i / 18)), kind, orientation});
        return out;
    }
    void transfer(int) override {}

private:
    QPointF origin;
    int kind;
    int orientation;
};

struct Frames
{
    double average = 0;
    double worst = 0;
};

double renderMs(QGraphicsView& view, QImage& target)
{
    QElapsedTimer t;
    t.start();
    QPainter p(&target);
    view.scene()->render(&p, QRectF(0, 0, 1920, 1080), QRectF(0, 0, 1920, 1080));
    return t.nsecsElapsed() / 1e6;
}

/// Steps the set's time line in 20 ms ticks and renders each frame.
Frames animate(TileAnimationSet& set, QGraphicsView& view, QImage& target)
{
    set.start(false);
    QTimeLine* line = set.timeLine();
    line->stop();
    Frames f;
    int n = 0;
    for (int ms = 0; ms <= line->duration(); ms += 20) {
        QElapsedTimer t;
        t.start();
        line->setCurrentTime(ms);
        const double stepMs = t.nsecsElapsed() / 1e6;
        const double frame = stepMs + renderMs(view, target);
        f.average += frame;
        f.worst = std::max(f.worst, frame);
        if (qEnvironmentVariableIsSet("BENCH_FRAMES"))
            std::printf("  frame %3d ms: step %.2f ms, total %.2f ms\n", ms, stepMs, frame);
        ++n;
    }
    f.average /= n;
    set.end(false);
    return f;
}

Frames still(QGraphicsView& view, QImage& target, int frames)
{
    Frames f;
    for (int i = 0; i < frames; ++i) {
        const double frame = renderMs(view, target);
        f.average += frame;
        f.worst = std::max(f.worst, frame);
    }
    f.average /= frames;
    return f;
}

void report(const char* what, const Frames& moving, const Frames& floor)
{
    std::printf("%-34s avg %6.2f ms (%.2fx still table %.2f ms), worst %6.2f ms (%.2fx still worst %.2f ms)\n", what,
                moving.average, moving.average / floor.average, floor.average, moving.worst,
                moving.worst / floor.worst, floor.worst);
}
}

class BenchMotion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(motion::installTiles()); }

    void frames()
    {
        GameGraphicsScene scene;
        scene.setSceneRect(0, 0, 1920, 1080);
        // A table in mid-hand: four ponds of twelve discards.
        std::vector<DiscardView*> ponds;
        const QPointF pondPlaces[] = {{860, 700}, {1300, 560}, {1060, 380}, {620, 420}};
        for (int o = 0; o < 4; ++o) {
            auto* pond = new DiscardView(o);
            scene.addItem(pond);
            pond->setPos(pondPlaces[o]);
            for (int i = 0; i < 12; ++i)
                pond->addTile(tile(std::uint8_t((i * 7 + o) % 34)));
            ponds.push_back(pond);
        }
        QGraphicsView view(&scene);
        QImage target(1920, 1080, QImage::Format_ARGB32_Premultiplied);
        renderMs(view, target); // warm up caches

        Frames floor{1e9, 1e9};
        for (int run = 0; run < 3; ++run) {
            const Frames f = still(view, target, 26);
            floor = {std::min(floor.average, f.average), std::min(floor.worst, f.worst)};
        }
        RowView wall(QPointF(500, 200), TileImages::WallSingle, 2);
        RowView hands(QPointF(300, 900), TileImages::Back, 0);
        // The worst frame is the best of three runs: a shared machine adds
        // scheduler spikes that are not the table's.
        Frames dealt{1e9, 1e9};
        for (int run = 0; run < 3; ++run) {
            TileAnimationSet deal(&scene, &wall, &hands, 500, 53);
            const Frames f = animate(deal, view, target);
            dealt = {std::min(dealt.average, f.average), std::min(dealt.worst, f.worst)};
        }
        report("deal: 53 tiles moving", dealt, floor);

        RowView hand(QPointF(700, 950), TileImages::Hand, 0);
        Frames thrown{1e9, 1e9};
        for (int run = 0; run < 3; ++run) {
            TileAnimationSet discard(&scene, &hand, ponds[0], TileAnimationSet::discardMs, std::vector<tile>{tile(4)});
            const Frames f = animate(discard, view, target);
            thrown = {std::min(thrown.average, f.average), std::min(thrown.worst, f.worst)};
            ponds[0]->takeLast();
        }
        report("discard: one tile in 300 ms", thrown, floor);
    }

    void queuePerStep()
    {
        constexpr int steps = 1000;
        constexpr int rounds = 20;
        int counter = 0;
        auto body = [&counter] { ++counter; };
        double direct = 1e9, injected = 1e9, settings = 1e9;
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < steps; ++i) {
                std::unique_ptr<GameWindowAction> a(makeAction(body));
                a->execute(false);
            }
            direct = std::min(direct, t.nsecsElapsed() / 1e3 / steps);

            ActionQueue fast;
            fast.setAnimationsEnabledSource([] { return false; });
            t.restart();
            for (int i = 0; i < steps; ++i)
                fast.enqueueAction(makeAction(body));
            injected = std::min(injected, t.nsecsElapsed() / 1e3 / steps);

            ActionQueue stored; // reads "game/animations" at every enqueue
            QSettings().setValue(QStringLiteral("game/animations"), false);
            t.restart();
            for (int i = 0; i < steps; ++i)
                stored.enqueueAction(makeAction(body));
            settings = std::min(settings, t.nsecsElapsed() / 1e3 / steps);
        }
        QCOMPARE(counter, 3 * steps * rounds);
        std::printf("queue, animations off, per step:  %.3f us (%.2fx a plain call %.3f us)\n", injected,
                    injected / direct, direct);
        std::printf("  with the setting read each time: %.3f us (%.2fx a plain call)\n", settings, settings / direct);
    }
};

QTEST_MAIN(BenchMotion)
#include "bench_motion.moc"
