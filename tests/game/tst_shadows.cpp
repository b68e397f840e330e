// Shadows: the projection of one outline, gathering through the item tree,
// the fuzzy light, and the scene's single translucent fill below the items,
// where overlapping shadows are no darker than one.
#include "GameGraphicsScene.h"
#include "ShadowGeometry.h"
#include "ShadowedGroup.h"

#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QPainter>
#include <QScreen>
#include <QTest>

namespace {

QPolygonF square(double x, double y, double side)
{
    return QPolygonF(QRectF(x, y, side, side)).mid(0, 4);
}

/// An item standing for a tile: its outline is its own rectangle.
QGraphicsRectItem* tileItem(QGraphicsItem* parent, const QRectF& r, int depth)
{
    auto* item = new QGraphicsRectItem(r, parent);
    item->setBrush(Qt::white);
    item->setPen(Qt::NoPen);
    item->setData(1, QVariant::fromValue(ShadowGeometry{QPolygonF(r).mid(0, 4), depth}));
    return item;
}

/// Red of the white cloth under one shadow (alpha 48).
const int dark = 255 - qRound(255 * 48 / 255.0);

QImage renderScene(QGraphicsScene& scene, const QRectF& area)
{
    QImage img(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    scene.render(&p, QRectF(img.rect()), area);
    return img;
}

} // namespace

class TestShadows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ShadowGeometry::registerMetaType(); }

    void projection_data()
    {
        QTest::addColumn<QPolygonF>("outline");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QPointF>("light");
        QTest::addColumn<QRectF>("bounds");
        // k = d / (150 - d): 30 gives 0.25, so far corners move by a quarter of their distance.
        QTest::newRow("depth 0 is the outline") << square(10, 10, 20) << 0 << QPointF(0, 0) << QRectF(10, 10, 20, 20);
        QTest::newRow("light up-left") << square(10, 10, 20) << 30 << QPointF(0, 0) << QRectF(10, 10, 27.5, 27.5);
        QTest::newRow("light right") << square(10, 10, 20) << 30 << QPointF(100, 20) << QRectF(-12.5, 7.5, 42.5, 25);
        QTest::newRow("closed outline") << QPolygonF(QRectF(10, 10, 20, 20)) << 30 << QPointF(0, 0) << QRectF(10, 10, 27.5, 27.5);
        QTest::newRow("mirrored winding") << QPolygonF({QPointF(10, 10), QPointF(10, 30), QPointF(30, 30), QPointF(30, 10)})
                                          << 30 << QPointF(100, 20) << QRectF(-12.5, 7.5, 42.5, 25);
        QTest::newRow("two points") << QPolygonF({QPointF(0, 0), QPointF(5, 5)}) << 30 << QPointF(0, 0) << QRectF();
        QTest::newRow("repeated points") << QPolygonF({QPointF(0, 0), QPointF(5, 5), QPointF(0, 0), QPointF(5, 5)}) << 10
                                         << QPointF(0, 0) << QRectF();
    }

    void projection()
    {
        QFETCH(QPolygonF, outline);
        QFETCH(int, depth);
        QFETCH(QPointF, light);
        QFETCH(QRectF, bounds);
        const QPainterPath path = ShadowedGroup::shadowOf(outline, depth, light);
        QCOMPARE(path.boundingRect(), bounds);
        // The shadow always covers the tile itself.
        if (!bounds.isEmpty())
            QVERIFY(path.contains(outline.boundingRect().center()));
    }

    void gathering()
    {
        QGraphicsScene scene;
        auto* group = new ShadowedGroup;
        scene.addItem(group);
        auto* node = new GraphicsNode;
        group->addChild(node);
        node->setPos(100, 0);
        node->setRotation(90);
        QGraphicsRectItem* a = tileItem(node, QRectF(0, 0, 10, 20), 0);
        QGraphicsRectItem* inner = tileItem(a, QRectF(0, 0, 50, 50), 0); // a tile's children are not visited
        Q_UNUSED(inner);
        group->updateShadow();
        QCOMPARE(group->boundingRect(), QRectF(80, 0, 20, 10));
        QCOMPARE(group->data(0).value<QPainterPath>().boundingRect(), group->boundingRect());

        a->setVisible(false);
        group->updateShadow();
        QVERIFY(group->boundingRect().isEmpty());
        QVERIFY(group->shadowPath().isEmpty());
        a->setVisible(true);
        a->setData(1, QVariant()); // like a tile of kind 8
        group->updateShadow();
        QCOMPARE(group->boundingRect(), QRectF(50, 0, 50, 50)); // now its child speaks for itself
    }

    void fuzzyLight()
    {
        QGraphicsScene scene;
        auto* group = new ShadowedGroup;
        scene.addItem(group);
        QGraphicsRectItem* t = tileItem(group, QRectF(0, 0, 20, 20), 30);
        group->setLightPosition(QPointF(100, 100));
        const QRectF first = group->boundingRect();
        t->setPos(50, 0); // moved without telling the group
        group->setLightPosition(QPointF(100 + 1e-11, 100));
        QCOMPARE(group->boundingRect(), first);
        group->setLightPosition(QPointF(101, 100));
        QVERIFY(group->boundingRect() != first);
    }

    void sceneFillsOnceBelowItems()
    {
        GameGraphicsScene scene;
        scene.setSceneRect(0, 0, 200, 100);
        scene.setBackgroundBrush(Qt::white);
        auto* left = new ShadowedGroup;
        auto* right = new ShadowedGroup;
        scene.addItem(left);
        scene.addItem(right);
        tileItem(left, QRectF(40, 40, 30, 30), 30);
        tileItem(right, QRectF(60, 40, 30, 30), 30);
        auto* hidden = new ShadowedGroup;
        scene.addItem(hidden);
        tileItem(hidden, QRectF(150, 40, 30, 30), 30);
        for (ShadowedGroup* g : {left, right, hidden})
            g->updateShadow(); // the light stands at (0, 0) from the start
        hidden->setVisible(false);

        const QImage img = renderScene(scene, scene.sceneRect());
        const int single = qRed(img.pixel(45, 74));  // left's shadow only, below its tile
        const int overlap = qRed(img.pixel(75, 76)); // both shadows, outside both tiles
        QCOMPARE(single, dark);
        QCOMPARE(overlap, single);
        QCOMPARE(qRed(img.pixel(50, 50)), 255);         // the tile itself covers its shadow
        QCOMPARE(qRed(img.pixel(175, 80)), 255);        // a hidden group casts nothing
        QVERIFY(scene.shadowsIn(QRectF(0, 0, 10, 10)).isEmpty());
    }

    // The scene keeps the painted shadows between paints: every way a group's
    // shadow can change must reach the next paint, where it was and where it is.
    void changesReachTheNextPaint_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QPoint>("shaded");   // must show a shadow afterwards, or (-1, -1)
        QTest::addColumn<QPoint>("unshaded"); // must be clear afterwards
        QTest::newRow("group moved") << "move" << QPoint(125, 74) << QPoint(45, 74);
        QTest::newRow("parent moved") << "parent" << QPoint(125, 74) << QPoint(45, 74);
        QTest::newRow("group hidden") << "hide" << QPoint(-1, -1) << QPoint(45, 74);
        QTest::newRow("parent hidden") << "hideParent" << QPoint(-1, -1) << QPoint(45, 74);
        QTest::newRow("group removed") << "remove" << QPoint(-1, -1) << QPoint(45, 74);
        QTest::newRow("group deleted") << "delete" << QPoint(-1, -1) << QPoint(45, 74);
        QTest::newRow("tile moved, shadow updated") << "tile" << QPoint(145, 75) << QPoint(45, 74);
        QTest::newRow("group turned") << "turn" << QPoint(-1, -1) << QPoint(45, 74);
        // Painted before the view learnt of the move: the old picture must not stay on the screen.
        QTest::newRow("group moved, view grabbed") << "move grab" << QPoint(125, 74) << QPoint(45, 74);
        QTest::newRow("group moved, new place painted") << "move paint" << QPoint(125, 74) << QPoint(45, 74);
    }

    void changesReachTheNextPaint()
    {
        QFETCH(QString, change);
        QFETCH(QPoint, shaded);
        QFETCH(QPoint, unshaded);
        GameGraphicsScene scene;
        scene.setSceneRect(0, 0, 200, 100);
        scene.setBackgroundBrush(Qt::white);
        auto* parent = new GraphicsNode;
        scene.addItem(parent);
        auto* group = new ShadowedGroup;
        parent->addChild(group);
        QGraphicsRectItem* tile = tileItem(group, QRectF(40, 40, 30, 30), 30);
        group->updateShadow();
        QGraphicsView view(&scene); // paints the scene rectangle as the table does
        view.setFrameShape(QFrame::NoFrame);
        view.setFixedSize(200, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(qRed(renderScene(scene, scene.sceneRect()).pixel(45, 74)), dark);

        if (change.startsWith("move"))
            group->setPos(80, 0);
        else if (change == "parent")
            parent->setPos(80, 0);
        else if (change == "hide")
            group->hide();
        else if (change == "hideParent")
            parent->hide();
        else if (change == "remove")
            scene.removeItem(group);
        else if (change == "delete")
            delete group;
        else if (change == "tile") {
            tile->setPos(80, 0);
            group->updateShadow();
        } else if (change == "turn")
            group->setRotation(180);
        if (change.endsWith("grab"))
            view.grab();
        else if (change.endsWith("paint"))
            view.viewport()->repaint(120, 40, 40, 40);

        const QImage after = renderScene(scene, scene.sceneRect());
        QCOMPARE(qRed(after.pixel(unshaded)), 255);
        if (shaded != QPoint(-1, -1))
            QCOMPARE(qRed(after.pixel(shaded)), dark);
        QTRY_COMPARE(view.screen()->grabWindow(view.winId()).toImage().convertToFormat(after.format()), after);
        if (change == "remove")
            delete group;
    }

    // Changes in several places are painted part by part: a part must hold
    // every shadow that reaches it, the unchanged ones too, once each.
    void partsKeepTheirNeighbours()
    {
        GameGraphicsScene scene;
        scene.setSceneRect(0, 0, 400, 100);
        scene.setBackgroundBrush(Qt::white);
        auto* still = new ShadowedGroup;
        auto* left = new ShadowedGroup;
        auto* right = new ShadowedGroup;
        for (ShadowedGroup* g : {still, left, right})
            scene.addItem(g);
        tileItem(still, QRectF(40, 40, 30, 30), 30);
        tileItem(left, QRectF(150, 10, 20, 20), 30);
        tileItem(right, QRectF(330, 10, 20, 20), 30);
        for (ShadowedGroup* g : {still, left, right})
            g->updateShadow();
        renderScene(scene, scene.sceneRect());

        left->setPos(-80, 30);  // onto the still group's shadow: tile at (70, 40)
        right->setPos(-20, 60); // tile at (310, 70), shadow partly off the scene
        const QImage after = renderScene(scene, scene.sceneRect());
        QCOMPARE(qRed(after.pixel(155, 15)), 255);  // left's old place
        QCOMPARE(qRed(after.pixel(335, 15)), 255);  // right's old place
        QCOMPARE(qRed(after.pixel(45, 74)), dark);  // the still group's own shadow
        QCOMPARE(qRed(after.pixel(85, 64)), dark);  // both shadows, one darkness
        QCOMPARE(qRed(after.pixel(385, 95)), dark); // right's new shadow
    }
};

QTEST_MAIN(TestShadows)
#include "tst_shadows.moc"
