// The own hand: sorting, item reuse, who may click, the click itself, the
// hover lift, highlights, and tiles flying out of and into the hand.

#include "HandView.h"
#include "ViewTestSupport.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSvgItem>
#include <QSignalSpy>
#include <QTest>

namespace {

tile_vector codes(std::initializer_list<int> list)
{
    tile_vector out;
    for (int c : list)
        out.push_back(tile(std::uint8_t(c)));
    return out;
}

QList<int> asInts(const tile_vector& tiles)
{
    QList<int> out;
    for (tile t : tiles)
        out << t.code();
    return out;
}

} // namespace

class TestHandView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(ViewTestSupport::prepareTiles()); }

    void sortedRow()
    {
        HandView hand;
        hand.setTiles(codes({5, 1, 30, 5}));
        QCOMPARE(asInts(hand.tiles()), (QList<int>{30, 5, 5, 1}));
        const int w = ViewTestSupport::footprint(0, 3).width();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(hand.items()[std::size_t(i)]->pos(), QPointF(-(i + 1) * w, 0));
        QVERIFY(hand.frameItem()->isVisible());
        // A shorter list keeps the first items and re-labels them.
        HandTile* first = hand.items()[0];
        hand.setTiles(codes({2, 9}));
        QCOMPARE(asInts(hand.tiles()), (QList<int>{9, 2}));
        QCOMPARE(hand.items()[0], first);
        hand.clear();
        QVERIFY(hand.items().empty());
        QVERIFY(!hand.frameItem()->isVisible());
        QCOMPARE(hand.anchor(), QPointF(w / 2, 0));
    }

    void clickable_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<QList<int>>("allowed");
        QTest::addColumn<QList<bool>>("enabled"); // for tiles 9, 5, 1
        QTest::newRow("inactive") << false << QList<int>{} << QList<bool>{false, false, false};
        QTest::newRow("active, all") << true << QList<int>{} << QList<bool>{true, true, true};
        QTest::newRow("active, allowed list") << true << QList<int>{5, 33} << QList<bool>{false, true, false};
    }
    void clickable()
    {
        QFETCH(bool, active);
        QFETCH(QList<int>, allowed);
        QFETCH(QList<bool>, enabled);
        HandView hand;
        hand.setTiles(codes({1, 5, 9}));
        hand.setActive(active);
        tile_vector list;
        for (int c : allowed)
            list.push_back(tile(std::uint8_t(c)));
        hand.setAllowedTiles(list);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(hand.items()[std::size_t(i)]->isEnabled(), enabled[i]);
    }

    void becomingInactiveForgetsTheAllowedList()
    {
        HandView hand;
        hand.setTiles(codes({1, 5}));
        hand.setActive(true);
        hand.setAllowedTiles(codes({5}));
        hand.setActive(false);
        QVERIFY(hand.allowedTiles().empty());
        hand.setActive(true);
        QVERIFY(hand.items()[0]->isEnabled());
        QVERIFY(hand.items()[1]->isEnabled());
    }

    void pressReportsTheTile()
    {
        QGraphicsScene scene;
        auto* hand = new HandView;
        scene.addItem(hand);
        hand->setTiles(codes({3, 7}));
        QSignalSpy clicks(hand, &HandView::tileClicked);
        QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
        press.setButton(Qt::LeftButton);
        QCoreApplication::sendEvent(&scene, &press); // nowhere: nothing
        hand->setActive(true);
        HandTile* seven = hand->items()[0];
        press.setScenePos(seven->sceneBoundingRect().center());
        QCoreApplication::sendEvent(&scene, &press);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.first().first().value<tile>().code(), std::uint8_t(7));
    }

    void hoverLiftsOnce()
    {
        QGraphicsScene scene;
        auto* hand = new HandView;
        scene.addItem(hand);
        hand->setTiles(codes({3, 7}));
        hand->setActive(true);
        HandTile* tileItem = hand->items()[1];
        QGraphicsSceneHoverEvent enter(QEvent::GraphicsSceneHoverEnter);
        scene.sendEvent(tileItem, &enter);
        scene.sendEvent(tileItem, &enter);
        QCOMPARE(tileItem->hoverOffset(), HandTile::hoverLift);
        QCOMPARE(tileItem->transform().dy(), -5.0);
        // A new hand lowers it.
        hand->setTiles(codes({3, 7}));
        QCOMPARE(tileItem->hoverOffset(), 0);
        QCOMPARE(tileItem->transform().dy(), 0.0);
    }

    void highlightsOnePerCall()
    {
        HandView hand;
        hand.setTiles(codes({4, 4, 8}));
        hand.highlightTile(tile(4));
        QCOMPARE(hand.items()[1]->isHighlighted(), true);
        QCOMPARE(hand.items()[2]->isHighlighted(), false);
        hand.highlightTile(tile(4));
        QCOMPARE(hand.items()[2]->isHighlighted(), true);
        hand.clearHighlights();
        QVERIFY(!hand.items()[1]->isHighlighted());
    }

    /// A new hand drops the old marks; only a hand the user must discard
    /// from marks the tiles just drawn.
    void drawnTilesMarkedOnlyWhileActive_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<QList<int>>("hand");
        QTest::addColumn<QList<int>>("drawn");
        QTest::addColumn<QList<int>>("marked"); // codes of the marked tiles, from the right end
        QTest::newRow("active, one drawn") << true << QList<int>{1, 5, 9} << QList<int>{5} << QList<int>{5};
        QTest::newRow("active, a pair drawn") << true << QList<int>{5, 5, 9} << QList<int>{5, 5} << QList<int>{5, 5};
        QTest::newRow("active, drawn tile not held") << true << QList<int>{1, 9} << QList<int>{30} << QList<int>{};
        QTest::newRow("inactive: no marks") << false << QList<int>{1, 5, 9} << QList<int>{5} << QList<int>{};
    }

    void drawnTilesMarkedOnlyWhileActive()
    {
        QFETCH(bool, active);
        QFETCH(QList<int>, hand);
        QFETCH(QList<int>, drawn);
        QFETCH(QList<int>, marked);
        HandView view;
        view.setTiles(codes({9, 1}));
        view.highlightTile(tile(9)); // a mark of the previous hand
        view.setActive(active);
        QCOMPARE(view.isMarkingDrawnTiles(), active);
        tile_vector handTiles, drawnTiles;
        for (int c : hand)
            handTiles.push_back(tile(std::uint8_t(c)));
        for (int c : drawn)
            drawnTiles.push_back(tile(std::uint8_t(c)));
        view.setTiles(handTiles, drawnTiles);
        QList<int> shown;
        for (const HandTile* item : view.items())
            if (item->isHighlighted())
                shown << item->tileCode().code();
        QCOMPARE(shown, marked);
    }

    void insertionSteps_data()
    {
        QTest::addColumn<QList<int>>("hand");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("steps");
        QTest::newRow("empty hand") << QList<int>{} << 5 << 1;
        QTest::newRow("highest") << QList<int>{9, 5, 1} << 20 << 1;
        QTest::newRow("between") << QList<int>{9, 5, 1} << 4 << 5;
        QTest::newRow("lowest") << QList<int>{9, 5, 1} << 0 << 7;
        QTest::newRow("next to two equal") << QList<int>{9, 5, 5, 1} << 5 << 5;
        QTest::newRow("no equal") << QList<int>{9, 6, 1} << 5 << 5;
    }
    void insertionSteps()
    {
        QFETCH(QList<int>, hand);
        QFETCH(int, code);
        QFETCH(int, steps);
        tile_vector list;
        for (int c : hand)
            list.push_back(tile(std::uint8_t(c)));
        QCOMPARE(HandView::insertionSteps(list, tile(std::uint8_t(code))), steps);
    }

    void tilesLeaveAndArrive()
    {
        HandView hand;
        hand.setTiles(codes({2, 2, 6, 9}));
        auto* source = static_cast<TileAnimationSource*>(&hand);
        auto* target = static_cast<TileAnimationTarget*>(&hand);
        QCOMPARE(int(source->geometryFor(codes({2, 9})).size()), 2);
        QVERIFY(source->geometryFor(3).empty());
        source->transfer(codes({2, 30}));
        QCOMPARE(asInts(hand.tiles()), (QList<int>{9, 6, 2}));
        source->transfer(3); // a count means nothing to the own hand
        QCOMPARE(int(hand.tiles().size()), 3);
        target->transfer(codes({7, 1}));
        QCOMPARE(asInts(hand.tiles()), (QList<int>{9, 7, 6, 2, 1}));
    }
};

QTEST_MAIN(TestHandView)
#include "tst_hand_view.moc"
