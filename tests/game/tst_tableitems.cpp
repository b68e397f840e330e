// The table's small pieces: the claim word per ruleset and seat, wind
// markers and their shared pictures, riichi sticks, the table cloth, and the
// cube's projection, texture and timer.
#include "Object3DView.h"
#include "PlayerActionView.h"
#include "RiichiStickView.h"
#include "RotatingCube.h"
#include "TableBackground.h"
#include "TileTestSupport.h"
#include "WindIndicators.h"
#include "WindView.h"
#include "wind.h"

#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QGraphicsView>
#include <QPainter>
#include <QPixmapCache>
#include <QTest>

#include <algorithm>
#include <cmath>

class TestTableItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TileTestSupport::installSearchPaths(); }

    // Must run first: before any size, the cloth is an empty brush.
    void tableCloth()
    {
        QCOMPARE(gameBackgroundBrush(0, 0).style(), Qt::NoBrush);
        const QBrush a = gameBackgroundBrush(200, 100);
        QCOMPARE(a.textureImage().size(), QSize(200, 100));
        QCOMPARE(gameBackgroundBrush(0, 0).textureImage().cacheKey(), a.textureImage().cacheKey());
        QCOMPARE(gameBackgroundBrush(200, 100).textureImage().cacheKey(), a.textureImage().cacheKey());
        // Two windows of different sizes laid out in turn: each gets its size.
        QCOMPARE(gameBackgroundBrush(300, 120).textureImage().size(), QSize(300, 120));
        QCOMPARE(gameBackgroundBrush(200, 100).textureImage().size(), QSize(200, 100));
        QVERIFY(qAlpha(a.textureImage().pixel(100, 50)) == 255);
    }

    // A resize gets the last cloth stretched at once; only the latest size
    // is rendered exactly, and only windows still there hear of it.
    void quickClothDuringResize()
    {
        QCOMPARE(gameBackgroundBrush(200, 100).textureImage().size(), QSize(200, 100));
        int heard = 0, heardByGone = 0;
        QObject window;
        auto* gone = new QObject;
        quickBackgroundBrush(250, 110, gone, [&] { ++heardByGone; });
        delete gone;
        quickBackgroundBrush(260, 115, &window, [&] { ++heard; });
        const QBrush quick = quickBackgroundBrush(300, 120, &window, [&] { ++heard; });
        // The stand-in is the old cloth, stretched by the brush over the new size.
        QCOMPARE(quick.textureImage().size(), QSize(200, 100));
        QCOMPARE(quick.transform().map(QPointF(200, 100)), QPointF(300, 120));
        QTRY_COMPARE(heard, 1);
        QCOMPARE(heardByGone, 0);
        const QBrush exact = quickBackgroundBrush(300, 120, &window, [&] { ++heard; });
        QCOMPARE(exact.textureImage().size(), QSize(300, 120));
        QVERIFY(exact.transform().isIdentity());
        QCOMPARE(exact.textureImage().pixel(150, 60), gameBackgroundBrush(0, 0).textureImage().pixel(150, 60));
        QTest::qWait(20);
        QCOMPARE(heard, 1);
    }

    void claimWords_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("subKind");
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<QString>("image");
        QTest::newRow("pong at riichi") << 2 << 0 << 2 << "claim-pon";
        QTest::newRow("pong at classic") << 2 << 0 << 0 << "claim-pong";
        QTest::newRow("chow at riichi") << 1 << 0 << 2 << "claim-chii";
        QTest::newRow("chow at international") << 1 << 0 << 1 << "claim-chow";
        QTest::newRow("kong at riichi") << 8 << 0 << 2 << "claim-kan";
        QTest::newRow("kong at classic") << 8 << 0 << 0 << "claim-kong";
        QTest::newRow("ron anywhere") << 16 << 2 << 0 << "claim-ron";
        QTest::newRow("tsumo anywhere") << 16 << 3 << 1 << "claim-tsumo";
        QTest::newRow("mahjong") << 16 << 0 << 2 << "claim-mahjong-game-view";
        QTest::newRow("riichi") << 128 << 0 << 0 << "claim-riichi";
        QTest::newRow("unknown") << 4 << 0 << 0 << "";
    }

    void claimWords()
    {
        QFETCH(int, kind);
        QFETCH(int, subKind);
        QFETCH(int, ruleset);
        QFETCH(QString, image);
        const QString path = PlayerActionView::imagePath(kind, subKind, ruleset);
        QCOMPARE(path, image.isEmpty() ? QString() : QStringLiteral("textimages:") + image + QStringLiteral(".png"));
        PlayerActionView view(0);
        view.setRuleset(ruleset);
        view.setClaim(kind, subKind);
        QCOMPARE(view.pixmap().isNull(), image.isEmpty());
    }

    void claimWordPlacement_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QRectF>("unitBox"); // in units of (W, H) after scaling
        QTest::newRow("bottom") << 0 << 0 << QRectF(-1, 0, 1, 1);
        QTest::newRow("right") << 1 << 0 << QRectF(0, 0, -1, -1); // (H wide, W high)
        QTest::newRow("top") << 2 << 0 << QRectF(0, -1, 1, 1);
        QTest::newRow("left") << 3 << 0 << QRectF(0, 0, -2, -2);
        QTest::newRow("centred") << 0 << 1 << QRectF(-0.5, -0.5, 1, 1);
    }

    void claimWordPlacement()
    {
        QFETCH(int, orientation);
        QFETCH(int, mode);
        QFETCH(QRectF, unitBox);
        PlayerActionView view(orientation);
        view.setScale(2.0);
        view.setAnchorMode(mode);
        view.setClaim(2, 0);
        const double w = view.pixmap().width() * 3.0, h = view.pixmap().height() * 3.0;
        QVERIFY(w > 0);
        const QRectF box = view.transform().mapRect(QRectF(view.pixmap().rect()));
        QRectF expected;
        if (unitBox.width() == -1) // right: turned, hanging down from the anchor
            expected = QRectF(0, 0, h, w);
        else if (unitBox.width() == -2) // left: turned, rising from the anchor
            expected = QRectF(-h, -w, h, w);
        else
            expected = QRectF(unitBox.x() * w, unitBox.y() * h, w, h);
        QVERIFY2(qAbs(box.left() - expected.left()) < 2 && qAbs(box.top() - expected.top()) < 2
                     && qAbs(box.width() - expected.width()) < 0.01 && qAbs(box.height() - expected.height()) < 0.01,
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())));
        // An unknown claim clears the picture but keeps the steps.
        view.setClaim(0, 0);
        QVERIFY(view.pixmap().isNull());
    }

    void windMarkers_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("side");
        QTest::newRow("1.0") << 1.0 << 62;
        QTest::newRow("1.5") << 1.5 << 93;
        QTest::newRow("1.01 rounds up") << 1.01 << 63;
    }

    void windMarkers()
    {
        QFETCH(double, scale);
        QFETCH(int, side);
        WindView view(1);
        view.setScale(scale);
        QCOMPARE(view.boundingRect(), QRectF(0, 0, side, side));
        view.setWind(2);
        QCOMPARE(view.toolTip(), windDisplayName(2));
        view.setGlow(true);
        QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        view.paint(&p, nullptr, nullptr);
        p.end();
        QVERIFY(TileTestSupport::opaquePixels(img) > side * side / 3);
        QPixmap cached;
        QVERIFY(QPixmapCache::find(WindIndicators::cacheKey(QStringLiteral("west"), scale, 1), &cached));
        QCOMPARE(cached.size(), QSize(side, side));
        // The next double up is another picture.
        QVERIFY(WindIndicators::cacheKey(QStringLiteral("west"), std::nextafter(scale, 9.0), 1)
                != WindIndicators::cacheKey(QStringLiteral("west"), scale, 1));
    }

    void riichiSticks()
    {
        RiichiStickView view(1);
        view.setScale(2.0);
        view.setCount(5);
        view.setCount(3);
        QCOMPARE(view.stickItems().size(), 5);
        const QList<bool> shown = {true, true, true, false, false};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(view.stickItems()[i]->isVisible(), shown[i]);
        view.setCount(0);
        QCOMPARE(view.stickItems().size(), 5);
        for (QGraphicsSvgItem* s : view.stickItems())
            QVERIFY(!s->isVisible());
        // Stacked 30 pixels apart, turned with the seat (right: -90 degrees).
        const QPointF a = view.stickItems()[0]->pos(), b = view.stickItems()[1]->pos();
        QCOMPARE(b - a, QTransform().rotate(-90).map(QPointF(0, 30)));
    }

    // A stick count is the server's number: a wild one shows a full stack
    // rather than making an item per stick.
    void riichiStickCountFromTheServer_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("shown");
        QTest::newRow("negative") << -3 << 0;
        QTest::newRow("at the limit") << RiichiStickView::maxCount << RiichiStickView::maxCount;
        QTest::newRow("huge") << 2000000000 << RiichiStickView::maxCount;
    }
    void riichiStickCountFromTheServer()
    {
        QFETCH(int, count);
        QFETCH(int, shown);
        RiichiStickView view(0);
        view.setCount(count);
        QCOMPARE(view.count(), shown);
        QVERIFY(view.stickItems().size() <= RiichiStickView::maxCount);
        QCOMPARE(int(std::count_if(view.stickItems().begin(), view.stickItems().end(),
                                   [](QGraphicsSvgItem* s) { return s->isVisible(); })),
                 shown);
    }

    void projectionOfRowVectors()
    {
        Object3DView view(Object3DView::Points);
        QCOMPARE(view.boundingRect(), QRectF(0, 0, 0, 0));
        double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 0, 2};
        view.setTransform4x4(m);
        view.setVertices({{2, 4, 0, 1}});
        // p = v . M: the last row translates; w = 2 halves everything.
        QCOMPARE(view.project({2, 4, 0, 1}), QPointF(6, 12));

        const RotatingCube::Matrix still = RotatingCube::turningMatrix(0);
        RotatingCube cube;
        cube.setTransform4x4(still.data());
        QCOMPARE(cube.project({1, 1, 1, 1}), QPointF(100 + 100 / 3.0, 100 + 100 / 3.0));
        QCOMPARE(cube.project({-1, -1, -1, 1}), QPointF(50, 50));
        QVERIFY(cube.boundingRect().contains(QPointF(100, 100)));
    }

    void cubeKeepsTheTextureScale()
    {
        QImage picture(64, 64, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        for (int y = 0; y < 64; ++y)
            for (int x = 32; x < 64; ++x)
                picture.setPixel(x, y, qRgb(0, 0, 255));
        RotatingCube cube;
        cube.setPicture(picture);
        QImage img(200, 200, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::black);
        QPainter p(&img);
        cube.paint(&p, nullptr, nullptr);
        p.end();
        // The near face spans x 50..150 with the picture stretched over it.
        QCOMPARE(QColor(img.pixel(75, 100)), QColor(Qt::red));
        QCOMPARE(QColor(img.pixel(125, 100)), QColor(Qt::blue));
        QCOMPARE(QColor(img.pixel(20, 100)), QColor(Qt::black));
    }

    void cubeTurnsOnlyWhenSeen()
    {
        QGraphicsScene scene;
        auto* cube = new RotatingCube;
        cube->setVisible(false);
        scene.addItem(cube);
        QGraphicsView view(&scene);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(!cube->isTurning());
        cube->setVisible(true);
        QVERIFY(cube->isTurning());
        const auto before = cube->transform4x4();
        QTRY_VERIFY(cube->transform4x4() != before);
        view.hide();
        QVERIFY(!cube->isTurning());
        view.show();
        QVERIFY(cube->isTurning());
        cube->setVisible(false);
        QVERIFY(!cube->isTurning());
        delete cube;
    }
};

QTEST_MAIN(TestTableItems)
#include "tst_tableitems.moc"
