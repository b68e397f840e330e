// The discard pond: tile places per seat with a riichi tile turned in a row,
// the row shift of the seventh discard, claims taking the newest tile, the
// highlight, and a discard flying in landing where it stays.

#include "DiscardView.h"
#include "MotionFixtures.h"
#include "TileView.h"

#include <QGraphicsScene>

class TestDiscardView : public QObject
{
    Q_OBJECT

    double w = 0, h = 0, w2 = 0, h2 = 0;

    void sizesFor(int orientation)
    {
        const QSizeF up = motion::size(orientation, TileImages::Declared);
        const QSizeF turned = motion::size(orientation, TileImages::Turned);
        w = up.width();
        h = up.height();
        w2 = turned.width();
        h2 = turned.height();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(motion::installTiles()); }

    void positionsWithATurnedTile_data()
    {
        // Expected coordinates as multiples of the upright (w, h) and turned
        // (w2, h2) tile sizes: x = {w, w2}, y = {h, h2}.
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("x");
        QTest::addColumn<QPointF>("y");
        // Riichi at index 2 of a pond of 9: the rest of row 0 makes room.
        QTest::newRow("bottom, before") << 0 << 1 << QPointF(1, 0) << QPointF(-1, 0);
        QTest::newRow("bottom, the turned tile") << 0 << 2 << QPointF(2, 0) << QPointF(-1, 0);
        QTest::newRow("bottom, after it") << 0 << 4 << QPointF(3, 1) << QPointF(-1, 0);
        QTest::newRow("bottom, next row untouched") << 0 << 7 << QPointF(1, 0) << QPointF(0, 0);
        QTest::newRow("right, the turned tile") << 1 << 2 << QPointF(-1, 0) << QPointF(-2, -1);
        QTest::newRow("right, after it") << 1 << 3 << QPointF(-1, 0) << QPointF(-3, -1);
        QTest::newRow("top, the turned tile") << 2 << 2 << QPointF(-2, -1) << QPointF(1, -1);
        QTest::newRow("top, after it") << 2 << 5 << QPointF(-5, -1) << QPointF(0, 0);
        QTest::newRow("left, the turned tile") << 3 << 2 << QPointF(1, -1) << QPointF(2, 0);
        QTest::newRow("left, after it") << 3 << 3 << QPointF(0, 0) << QPointF(2, 1);
        QTest::newRow("left, next row") << 3 << 8 << QPointF(-1, 0) << QPointF(2, 0);
    }
    void positionsWithATurnedTile()
    {
        QFETCH(int, orientation);
        QFETCH(int, index);
        QFETCH(QPointF, x);
        QFETCH(QPointF, y);
        sizesFor(orientation);
        DiscardView pond(orientation);
        pond.setDiscards(std::vector<tile>(9, tile(4)), 2);
        const QPointF expected(x.x() * w + x.y() * w2, y.x() * h + y.y() * h2);
        QCOMPARE(pond.tileViews().at(std::size_t(index))->pos(), expected);
        QCOMPARE(pond.tileViews().at(2)->tileType(), int(TileImages::Turned));
        QCOMPARE(pond.tileViews().at(3)->tileType(), int(TileImages::Declared));
    }

    void seventhDiscardShiftsThePondByARow_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QPointF>("direction");
        QTest::newRow("bottom moves up") << 0 << QPointF(0, -1);
        QTest::newRow("right moves left") << 1 << QPointF(-1, 0);
        QTest::newRow("top moves down") << 2 << QPointF(0, 1);
        QTest::newRow("left moves right") << 3 << QPointF(1, 0);
    }
    void seventhDiscardShiftsThePondByARow()
    {
        QFETCH(int, orientation);
        QFETCH(QPointF, direction);
        sizesFor(orientation);
        DiscardView pond(orientation);
        for (int i = 0; i < 6; ++i)
            pond.addTile(tile(i));
        QCOMPARE(pond.transform().dx(), 0.0);
        QCOMPARE(pond.transform().dy(), 0.0);
        pond.addTile(tile(6));
        QCOMPARE(QPointF(pond.transform().dx(), pond.transform().dy()),
                 QPointF(direction.x() * w, direction.y() * h));
        pond.takeLast();
        QCOMPARE(pond.transform().dy(), 0.0);
        QCOMPARE(pond.transform().dx(), 0.0);
    }

    void claimTakesExactlyTheNewestTile()
    {
        DiscardView pond(0);
        pond.addTile(tile(1));
        pond.addTile(tile(2));
        pond.setActive(true);
        QVERIFY(pond.tileViews().back()->isHighlighted());
        TileAnimationSource& source = pond;
        const std::vector<TileGeometry> from = source.geometryFor(1);
        QCOMPARE(from.size(), std::size_t(1));
        QCOMPARE(from[0].pos, pond.tileViews().back()->scenePos());
        source.transfer(1);
        QCOMPARE(pond.count(), 1);
        QCOMPARE(pond.tileViews().back()->tileCode(), tile(1));
        QVERIFY(!pond.tileViews().back()->isHighlighted());
        QCOMPARE(pond.takeLast(), tile(1));
        QCOMPARE(pond.takeLast(), tile(0));
        QVERIFY(source.geometryFor(1).empty());
    }

    void newDiscardTakesTheHighlightAway()
    {
        DiscardView pond(1);
        pond.addTile(tile(1));
        pond.setActive(true);
        pond.addTile(tile(2));
        QVERIFY(!pond.tileViews().front()->isHighlighted());
        QVERIFY(!pond.tileViews().back()->isHighlighted());
    }

    void riichiMarks()
    {
        DiscardView pond(0);
        pond.markLastAsRiichi(); // an empty pond has nothing to turn
        QCOMPARE(pond.count(), 0);
        pond.addTile(tile(3));
        pond.markNextAsRiichi();
        pond.addTile(tile(7));
        QCOMPARE(pond.tileViews().back()->tileType(), int(TileImages::Turned));
        DiscardView other(2);
        other.addTile(tile(3));
        other.addTile(tile(8));
        other.markLastAsRiichi();
        QCOMPARE(other.count(), 2);
        QCOMPARE(other.tileViews().back()->tileCode(), tile(8));
        QCOMPARE(other.tileViews().back()->tileType(), int(TileImages::Turned));
        QCOMPARE(other.riichiIndex(), 1);
    }

    void relayoutFollowsNewTileSizes()
    {
        DiscardView pond(1);
        pond.setDiscards(std::vector<tile>(8, tile(2)), 3);
        TileGraphics& g = TileGraphics::instance();
        const double before = motion::size(1, TileImages::Declared).height();
        g.setGameScale(1.5);
        pond.relayout();
        sizesFor(1);
        QVERIFY(h > before);
        for (int i = 0; i < pond.count(); ++i)
            QCOMPARE(pond.tileViews().at(std::size_t(i))->pos(), pond.tilePosition(i));
        QCOMPARE(pond.tileViews().at(4)->pos().y(), -5 * h - (h2 - h));
        QCOMPARE(pond.tileViews().at(7)->pos().y(), -2 * h);
        QCOMPARE(pond.transform().dx(), -w);
        g.setGameScale(1.0);
        QTRY_VERIFY_WITH_TIMEOUT(!g.isRendering(), 20000);
    }

    void arrivingDiscardLandsWhereItStays_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("before");
        for (int o = 0; o < 4; ++o) {
            QTest::addRow("seat %d, 2nd tile", o) << o << 1;
            QTest::addRow("seat %d, 7th tile opens a row", o) << o << 6;
        }
    }
    void arrivingDiscardLandsWhereItStays()
    {
        QFETCH(int, orientation);
        QFETCH(int, before);
        QGraphicsScene scene;
        auto* pond = new DiscardView(orientation);
        scene.addItem(pond);
        pond->setPos(400, 300);
        for (int i = 0; i < before; ++i)
            pond->addTile(tile(i));
        TileAnimationTarget& target = *pond;
        QVERIFY(target.geometryFor(3).empty());
        const std::vector<TileGeometry> to = target.geometryFor(std::vector<tile>{tile(20)});
        QCOMPARE(to.size(), std::size_t(1));
        target.transfer(std::vector<tile>{tile(20)});
        QCOMPARE(pond->tileViews().back()->tileCode(), tile(20));
        QCOMPARE(to[0].pos, pond->tileViews().back()->scenePos());
        QCOMPARE(to[0].orientation, orientation);
        QCOMPARE(to[0].kind, int(TileImages::Declared));
    }
};

QTEST_MAIN(TestDiscardView)
#include "tst_discardview.moc"
