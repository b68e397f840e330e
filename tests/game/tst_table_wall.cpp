// The four walls, the other players' hidden hands and the prevalent wind
// with real tile pictures: stack counts per ruleset, kinds reaching the right
// rows, tiles drawn from the ends, slots, and the wind's tool tip.

#include "HiddenHandView.h"
#include "PrevalentWindView.h"
#include "TableWall.h"
#include "TileView.h"
#include "ViewTestSupport.h"
#include "WallView.h"

#include <TableInfo.h>

#include <QGraphicsScene>
#include <QTest>

namespace {

QString rowKinds(const WallView* view)
{
    QString text;
    for (const TileView* stack : view->stacks())
        text += stack->tileType() == WallLayout::Empty ? QStringLiteral(".") : QString::number(stack->tileType());
    return text;
}

TableInfo tableOf(int ruleset)
{
    TableInfo info;
    info.ruleset = ruleset;
    return info;
}

} // namespace

class TestTableWall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(ViewTestSupport::prepareTiles()); }

    void rulesets_data()
    {
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<int>("stacks");
        QTest::addColumn<int>("mode");
        QTest::newRow("classic") << 0 << 18 << 1;
        QTest::newRow("international") << 1 << 18 << 2;
        QTest::newRow("riichi") << 2 << 17 << 0;
    }
    void rulesets()
    {
        QFETCH(int, ruleset);
        QFETCH(int, stacks);
        QFETCH(int, mode);
        QGraphicsScene scene;
        TableWall wall(&scene);
        wall.setRuleset(tableOf(ruleset));
        QCOMPARE(wall.stacksPerSide(), stacks);
        QCOMPARE(wall.fillMode(), mode);
        for (int side = 0; side < 4; ++side)
            QCOMPARE(wall.view(side)->stackCount(), stacks);
        // Rebuilt rows live in the scene; the old ones are gone.
        int rows = 0;
        for (QGraphicsItem* item : scene.items())
            rows += dynamic_cast<WallView*>(item) != nullptr;
        QCOMPARE(rows, 4);
        QVERIFY(wall.innerRect().width() > 0 && wall.innerRect().height() > 0);
    }

    void rotationPicksTheRow()
    {
        QGraphicsScene scene;
        TableWall wall(&scene);
        wall.setRuleset(tableOf(1));
        wall.setWall(0, 7, 0, 0, 0, {});
        QCOMPARE(rowKinds(wall.view(0)).left(6), QStringLiteral("6665.."));
        QCOMPARE(rowKinds(wall.view(1)), QString(18, QLatin1Char('.')));
        // Turned by one side, the first stacks belong to the left row.
        wall.setWall(1, 7, 0, 0, 0, {});
        QCOMPARE(rowKinds(wall.view(3)).left(6), QStringLiteral("6665.."));
        QCOMPARE(wall.liveEndSide(), 3);
        QCOMPARE(wall.liveEndPos(), wall.view(3)->scenePos() + wall.view(3)->stackPosition(3));
    }

    void drawingShrinksTheWall()
    {
        QGraphicsScene scene;
        TableWall wall(&scene);
        wall.setRuleset(tableOf(2));
        wall.setWall(0, 70, 14, 5, 0, {tile(4)});
        TileAnimationSource* live = wall.source(false);
        const auto from = live->geometryFor(2);
        QCOMPARE(int(from.size()), 2);
        QCOMPARE(from[0].kind, int(TileImages::WallSingle));
        live->transfer(2);
        QCOMPARE(wall.liveTiles(), 68);
        wall.source(true)->transfer(1);
        QCOMPARE(wall.deadWallDealt(), 1);
        // The dora indicator lies face up on its stack.
        const int doraStack = 5 + 2;
        const TileView* shown = wall.view(0)->stacks()[std::size_t(doraStack)];
        QCOMPARE(shown->tileType(), int(WallLayout::Shown));
        QCOMPARE(shown->tileCode().code(), std::uint8_t(4));
        wall.addKanDora(tile(9));
        QCOMPARE(wall.view(0)->stacks()[std::size_t(doraStack + 1)]->tileCode().code(), std::uint8_t(9));
    }

    void endsStayOnTheTable_data()
    {
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("deadPos");
        for (int r : {-5, -1, 0, 3, 6})
            for (int p : {-30, 0, 40, 200})
                QTest::addRow("rotation %d position %d", r, p) << r << p;
    }
    void endsStayOnTheTable()
    {
        QFETCH(int, rotation);
        QFETCH(int, deadPos);
        QGraphicsScene scene;
        TableWall wall(&scene);
        wall.setRuleset(tableOf(0));
        wall.setWall(rotation, 50, 14, deadPos, 3, {});
        QVERIFY(wall.liveEndSide() >= 0 && wall.liveEndSide() < 4);
        QVERIFY(wall.deadEndSide() >= 0 && wall.deadEndSide() < 4);
    }

    void sceneMayGoFirst()
    {
        auto* scene = new QGraphicsScene;
        TableWall wall(scene);
        delete scene; // took the rows along; the wall must not free them again (a crash here)
    }

    void hiddenHandCounts()
    {
        HiddenHandView hand(1);
        hand.setCount(13);
        hand.setCount(15);
        QCOMPARE(hand.count(), 13);
        hand.setCount(14);
        QCOMPARE(hand.items()[13]->pos(), hand.slotPosition(13));
        for (int i = 0; i < 14; ++i)
            QCOMPARE(hand.items()[std::size_t(i)]->zValue(), double(i));
        QCOMPARE(HiddenHandView::slotZ(3, 4), -4.0);
        QCOMPARE(HiddenHandView::slotZ(0, 4), 0.0);
    }

    void hiddenHandAnimations_data()
    {
        QTest::addColumn<int>("side");
        for (int s = 0; s < 4; ++s)
            QTest::addRow("side %d", s) << s;
    }
    void hiddenHandAnimations()
    {
        QFETCH(int, side);
        QGraphicsScene scene;
        auto* hand = new HiddenHandView(side);
        scene.addItem(hand);
        hand->setPos(300, 200);
        hand->setCount(10);
        auto* source = static_cast<TileAnimationSource*>(hand);
        const auto leaving = source->geometryFor(3);
        QCOMPARE(int(leaving.size()), 3);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(leaving[std::size_t(k)].pos, hand->slotScenePosition(9 - k));
            QCOMPARE(leaving[std::size_t(k)].orientation, side);
        }
        source->transfer(3);
        QCOMPARE(hand->count(), 7);
        auto* target = static_cast<TileAnimationTarget*>(hand);
        QCOMPARE(target->geometryFor(2)[1].pos, hand->slotScenePosition(8));
        target->transfer(tile_vector{tile(1), tile(2)});
        QCOMPARE(hand->count(), 9);
        // Slots march along the side, one tile apart.
        const QPointF step = hand->slotPosition(1) - hand->slotPosition(0);
        QVERIFY(step.manhattanLength() > 0);
        QCOMPARE(hand->slotPosition(5) - hand->slotPosition(4), step);
    }

    void prevalentWind()
    {
        PrevalentWindView wind;
        QCOMPARE(wind.toolTip(), QStringLiteral("Prevalent wind: East"));
        wind.setWind(3);
        QCOMPARE(wind.toolTip(), QStringLiteral("Prevalent wind: North"));
        wind.setScale(2.0);
        QCOMPARE(wind.boundingRect(), QRectF(0, 0, 124, 124));
        QCOMPARE(wind.width(), 124);
    }
};

QTEST_MAIN(TestTableWall)
#include "tst_table_wall.moc"
