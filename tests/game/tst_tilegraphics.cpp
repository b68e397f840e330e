// The tile graphics service: choosing sets, the quantised game scale with its
// floor, the worker that renders the exact set (stale results thrown away,
// exactly one new worker for the latest scale) and quitting during a render.
#include "TileCache.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileTestSupport.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

class TestTileGraphics : public QObject
{
    Q_OBJECT

    TileGraphics& graphics = TileGraphics::instance();

    void settle() { QTRY_VERIFY_WITH_TIMEOUT(!graphics.isRendering(), 20000); }
    double gameSetScale() const { return graphics.gamePainter()->tileImages()->scale(); }

private Q_SLOTS:
    void initTestCase()
    {
        TileTestSupport::installSearchPaths();
        QCOMPARE(graphics.blankNames().size(), TileGraphics::blankCount());
        QCOMPARE(graphics.faceNames(), QStringList({"Numbered", "Mixed numbered", "Without numbers", "Rustic numbered"}));
        QSignalSpy changed(&graphics, &TileGraphics::tileGraphicsChanged);
        graphics.setTiles(3, 0);
        QCOMPARE(graphics.tileFace(), QStringLiteral("resources:/tiles-fg.svg"));
        settle();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(graphics.basePainter()->tileImages()->scale(), 1.0);
    }

    void sameChoiceDoesNothing()
    {
        QSignalSpy changed(&graphics, &TileGraphics::tileGraphicsChanged);
        QSignalSpy started(&graphics, &TileGraphics::renderStarted);
        const TileImages* before = graphics.basePainter()->tileImages();
        graphics.setTiles(3, 0);
        graphics.setTiles(99, 0); // outside the list: ignored
        QCOMPARE(changed.count(), 0);
        QCOMPARE(started.count(), 0);
        QCOMPARE(graphics.basePainter()->tileImages(), before);
    }

    void quantisedScale_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("requested");
        QTest::addColumn<double>("expected");
        QTest::addColumn<bool>("changes");
        QTest::newRow("truncated to 1/32") << 1.0 << 1.49 << 1.46875 << true;
        QTest::newRow("small change ignored") << 1.0 << 1.01 << 1.0 << false;
        QTest::newRow("zero height floors") << 1.0 << 0.0 << TileGraphics::minimumGameScale << true;
        QTest::newRow("narrower than the side bar") << 1.0 << -0.4 << TileGraphics::minimumGameScale << true;
        QTest::newRow("not a number ignored") << 1.0 << std::numeric_limits<double>::quiet_NaN() << 1.0 << false;
        QTest::newRow("infinite ignored") << 1.0 << std::numeric_limits<double>::infinity() << 1.0 << false;
        QTest::newRow("just above the floor") << 1.0 << 0.27 << 0.25 << true;
    }

    void quantisedScale()
    {
        QFETCH(double, start);
        QFETCH(double, requested);
        QFETCH(double, expected);
        QFETCH(bool, changes);
        graphics.setGameScale(start);
        settle();
        QSignalSpy scaleChanged(&graphics, &TileGraphics::gameScaleChanged);
        graphics.setGameScale(requested);
        QCOMPARE(graphics.gameScale(), expected);
        QCOMPARE(scaleChanged.count(), changes ? 1 : 0);
        // The quick set is there at once, at the new scale.
        QCOMPARE(gameSetScale(), expected);
        settle();
        QCOMPARE(gameSetScale(), expected);
        QVERIFY(!QFileInfo::exists(TileCache::temporaryFile(graphics.tileBlank(), graphics.tileFace(), 0.0)));
    }

    void staleRendersStartOneNewWorker()
    {
        graphics.setGameScale(1.0);
        settle();
        QSignalSpy started(&graphics, &TileGraphics::renderStarted);
        QSignalSpy scaleChanged(&graphics, &TileGraphics::gameScaleChanged);
        graphics.setGameScale(2.2);
        graphics.setGameScale(1.6);
        graphics.setGameScale(1.7);
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(0).toDouble(), 2.1875);
        QCOMPARE(gameSetScale(), 1.6875); // the quick set follows every change
        settle();
        // The first result was stale: one more worker, for the last scale only.
        QCOMPARE(started.count(), 2);
        QCOMPARE(started.at(1).at(0).toDouble(), 1.6875);
        QCOMPARE(gameSetScale(), 1.6875);
        QCOMPARE(scaleChanged.count(), 3 + 2);
        // The exact set is the rendered one, not the rescale of the base set.
        QCOMPARE(graphics.gamePainter()->tileImages()->size3D(0, TileImages::Declared),
                 TileSize3D(28, 35, 10).scaled(1.6875));
    }

    void changeOfBackDuringRender()
    {
        QSignalSpy started(&graphics, &TileGraphics::renderStarted);
        graphics.setGameScale(1.25);
        const TileImages* shown = graphics.basePainter()->tileImages();
        graphics.setTiles(4, 2);
        QCOMPARE(started.count(), 1);
        // A set not in the cache is drawn on the worker, not on the GUI thread.
        QCOMPARE(graphics.basePainter()->tileImages(), shown);
        settle();
        QCOMPARE(started.count(), 3); // the stale one, the base set, the game set
        QCOMPARE(graphics.tileBlank(), QStringLiteral("resources:/tiles-blank-darkwood.svg"));
        QCOMPARE(gameSetScale(), 1.25);
        // A set in the cache is read on the worker too: the window never waits for the disk.
        QSignalSpy changed(&graphics, &TileGraphics::tileGraphicsChanged);
        graphics.setTiles(3, 0);
        QCOMPARE(changed.count(), 0);
        settle();
        QCOMPARE(changed.count(), 1);
    }

    void quitWaitsForTheWorker()
    {
        settle();
        graphics.setGameScale(2.5);
        QVERIFY(graphics.isRendering());
        graphics.onAboutToQuit();
        QVERIFY(!graphics.isRendering());
        // Nothing installed: the quick set stays; a late finished() is harmless.
        const TileImages* quick = graphics.gamePainter()->tileImages();
        QTest::qWait(50);
        QCOMPARE(graphics.gamePainter()->tileImages(), quick);
    }
};

QTEST_MAIN(TestTileGraphics)
#include "tst_tilegraphics.moc"
