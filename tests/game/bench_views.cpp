// Lays out and paints a full table's views (the own hand, three hidden
// hands, four walls, sixteen melds, the prevalent wind) into a 1920x1080
// picture, and prints each time as a ratio beside its floor measured in the
// same run, painting an empty picture of the same size: the repaint, the
// relayout of every view, and both (goal for a repaint, and for a relayout
// and repaint: under 10 ms). Printed, never failing on timing.

#include "DeclaredView.h"
#include "GameGraphicsScene.h"
#include "HandView.h"
#include "HiddenHandView.h"
#include "PrevalentWindView.h"
#include "TableWall.h"
#include "ViewTestSupport.h"

#include <TableInfo.h>

#include <QElapsedTimer>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

meld_tuple meldOf(int type, int code, int visibility = 0)
{
    meld_tuple m;
    m.type = game_protocol::meld_type::enum_t(type);
    m.visibility = game_protocol::meld_visibility::enum_t(visibility);
    m.meld_tile = tile(std::uint8_t(code));
    return m;
}

struct Table
{
    GameGraphicsScene scene;
    TableWall wall{&scene};
    std::vector<DeclaredView*> melds;
    std::vector<HiddenHandView*> hidden;
    HandView* hand = nullptr;

    Table()
    {
        TableInfo info;
        info.ruleset = 2;
        wall.setRuleset(info);
        wall.setPos(QPoint(660, 240));
        wall.setWall(0, 70, 14, 3, 0, {tile(5)});
        hand = new HandView;
        scene.addItem(hand);
        hand->setPos(1300, 1000);
        hand->setTiles({tile(0), tile(1), tile(2), tile(9), tile(9), tile(18), tile(19), tile(20), tile(27), tile(27),
                        tile(31), tile(32), tile(33), tile(33)});
        const QPointF hiddenAt[4] = {{0, 0}, {1500, 200}, {700, 80}, {420, 900}};
        for (int side = 1; side < 4; ++side) {
            auto* h = new HiddenHandView(side);
            scene.addItem(h);
            h->setPos(hiddenAt[side]);
            h->setCount(13);
            hidden.push_back(h);
        }
        const QPointF meldsAt[4] = {{1340, 980}, {1640, 900}, {1200, 180}, {300, 150}};
        for (int side = 0; side < 4; ++side) {
            auto* view = new DeclaredView(side, 600);
            scene.addItem(view);
            view->setPos(meldsAt[side]);
            view->declareMeld(meldOf(1, 3), ClaimedFrom::Left);
            view->declareMeld(meldOf(2, 27), ClaimedFrom::Across);
            view->declareMeld(meldOf(8, 31, 1), ClaimedFrom::None);
            view->declareMeld(meldOf(8, 20), ClaimedFrom::Right);
            melds.push_back(view);
        }
        auto* wind = new PrevalentWindView;
        scene.addItem(wind);
        wind->setPos(920, 500);
    }

    void relayout()
    {
        wall.relayout();
        hand->relayout();
        for (HiddenHandView* h : hidden)
            h->relayout();
        for (DeclaredView* d : melds)
            d->relayout();
    }
};

/// The median time of one run, in ms: the machine is shared, so single runs
/// wander; the median of many short batches does not.
template <typename F>
double millisecondsPer(int rounds, F&& work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + std::ptrdiff_t(times.size() / 2), times.end());
    return times[times.size() / 2];
}

} // namespace

class BenchViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullTable()
    {
        QVERIFY(ViewTestSupport::prepareTiles());
        Table table;
        QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
        const QRectF all(0, 0, 1920, 1080);
        auto paintTable = [&] {
            image.fill(Qt::darkGreen);
            QPainter painter(&image);
            table.scene.render(&painter, all, all);
        };
        auto paintEmpty = [&] {
            image.fill(Qt::darkGreen);
            QPainter painter(&image);
            painter.fillRect(all, QColor(0, 0, 0, 1));
        };
        paintTable(); // warm the caches
        const int rounds = 101;
        const double floor = millisecondsPer(rounds, paintEmpty);
        const double repaint = millisecondsPer(rounds, paintTable);
        const double relayout = millisecondsPer(rounds, [&] { table.relayout(); });
        const double both = millisecondsPer(rounds, [&] {
            table.relayout();
            paintTable();
        });
        std::printf("full table repaint at 1920x1080: %.1f x the empty picture (%.2f ms against %.2f ms); "
                    "%.2f x the 10 ms goal\n",
                    repaint / floor, repaint, floor, repaint / 10.0);
        std::printf("relayout of every view: %.2f x the empty picture; relayout and repaint: %.1f x the empty "
                    "picture, %.2f x the 10 ms goal\n",
                    relayout / floor, both / floor, both / 10.0);
    }
};

QTEST_MAIN(BenchViews)
#include "bench_views.moc"
