// Tile items and the painter they draw with: geometry, shadow data, tool
// tips and cursors per kind, the dimmed and highlighted own tiles, and the
// notices around a replacement of the set.
#include "TileImages.h"
#include "TilePainter.h"
#include "TileTestSupport.h"
#include "TileView.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>


using namespace TileTestSupport;

namespace {

/// Records what a listener is told and what the painter holds at that moment.
struct Recorder : TilePainter::Listner
{
    QString name;
    QStringList* log;
    void tileImagesAboutToChange(TilePainter* p) override
    {
        *log << name + QStringLiteral(" before ") + QString::number(p->tileImages() ? p->tileImages()->scale() : 0);
    }
    void tileImagesChanged(TilePainter* p) override
    {
        *log << name + QStringLiteral(" after ") + QString::number(p->tileImages()->scale());
    }
};

QImage render(QGraphicsItem& item)
{
    QImage img(item.boundingRect().size().toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.translate(-item.boundingRect().topLeft());
    item.paint(&p, nullptr, nullptr);
    return img;
}

int lightness(const QImage& img)
{
    qint64 sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            sum += qGray(img.pixel(x, y));
    return int(sum / qMax(1, img.width() * img.height()));
}

} // namespace

class TestTileItems : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    TilePainter painter;
    QString back, face;

    TileImages* makeSet(double scale) { return new TileImages(back, face, QStringLiteral("resources:/tile-highlights-red.png"), scale); }
    const TileImages& set() const { return *painter.tileImages(); }

private Q_SLOTS:
    void initTestCase()
    {
        installSearchPaths();
        back = writePngSheet(dir.filePath(QStringLiteral("back.png")), 306, 204);
        face = writeSvgSheet(dir.filePath(QStringLiteral("face.svg")), faceIds());
        painter.setTileImages(makeSet(1.0));
    }

    void wallTileTurnedFaceUp()
    {
        TileView item(TileImages::Bottom, TileImages::WallSingle, tile(27));
        item.setPainter(&painter);
        QCOMPARE(item.boundingRect(), set().rect(0, TileImages::WallSingle));
        QVERIFY(item.toolTip().isEmpty());
        item.setType(TileImages::Declared);
        QCOMPARE(item.boundingRect(), set().rect(0, TileImages::Declared));
        QCOMPARE(item.data(1).value<ShadowGeometry>(), set().shadow(0, TileImages::Declared));
        QCOMPARE(item.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(item.toolTip(), tileDisplayName(tile(27)));
        item.setType(TileImages::Hand);
        QCOMPARE(item.cursor().shape(), Qt::PointingHandCursor);
    }

    void toolTipsAndShadowsPerKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("shadow");
        const bool named[10] = {true, true, true, true, false, false, false, false, false, true};
        for (int k = 0; k < 10; ++k)
            QTest::addRow("kind %d", k) << k << named[k] << (k != TileImages::NoPicture);
    }

    void toolTipsAndShadowsPerKind()
    {
        QFETCH(int, kind);
        QFETCH(bool, named);
        QFETCH(bool, shadow);
        TileView item(TileImages::Right, kind, tile(31));
        item.setPainter(&painter);
        QCOMPARE(!item.toolTip().isEmpty(), named);
        QCOMPARE(item.data(1).isValid(), shadow);
        if (shadow)
            QCOMPARE(item.data(1).value<ShadowGeometry>(), set().shadow(TileImages::Right, kind));
        if (kind == TileImages::NoPicture)
            QVERIFY(render(item).isNull() || lightness(render(item)) == 0);
    }

    void ownTileDimmedAndHighlighted()
    {
        TileView item(TileImages::Bottom, TileImages::Hand, tile(3));
        item.setPainter(&painter);
        const QImage normal = render(item);
        item.setEnabled(false);
        const QImage dimmed = render(item);
        QVERIFY(lightness(dimmed) < lightness(normal));
        item.setEnabled(true);
        item.setHighlighted(true);
        const QImage highlighted = render(item);
        // The highlighted standing tile, not the table tiles' red frame.
        QImage expected(highlighted.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        QPainter p(&expected);
        painter.drawHandTile(&p, QPoint(0, 0), tile(3), 1, true);
        p.end();
        QCOMPARE(highlighted, expected);
    }

    void replacementOfTheSet()
    {
        QGraphicsScene scene;
        auto* item = new TileView(TileImages::Left, TileImages::Declared, tile(1));
        item->setPainter(&painter);
        scene.addItem(item);
        QCOMPARE(painter.listenerCount(), 1);
        painter.setTileImages(makeSet(2.0));
        QCOMPARE(item->boundingRect(), set().rect(TileImages::Left, TileImages::Declared));
        QCOMPARE(item->data(1).value<ShadowGeometry>(), set().shadow(TileImages::Left, TileImages::Declared));
        QCOMPARE(scene.items(item->sceneBoundingRect().center()).value(0), item);
        QCOMPARE(item->size3D(), TileSize3D(78, 56, -1));

        TilePainter other;
        other.setTileImages(makeSet(1.0));
        item->setPainter(&other);
        QCOMPARE(painter.listenerCount(), 0);
        QCOMPARE(other.listenerCount(), 1);
        QCOMPARE(item->boundingRect(), other.tileImages()->rect(TileImages::Left, TileImages::Declared));
        delete item;
        QCOMPARE(other.listenerCount(), 0);
        painter.setTileImages(makeSet(1.0));
    }

    void listenersToldAroundTheSwap()
    {
        QStringList log;
        Recorder a, b;
        a.name = QStringLiteral("a");
        b.name = QStringLiteral("b");
        a.log = b.log = &log;
        TilePainter p;
        p.addListener(&a);
        p.addListener(&b);
        p.addListener(&a);
        QCOMPARE(p.listenerCount(), 2);
        p.setTileImages(makeSet(1.0));
        p.setTileImages(makeSet(1.5));
        QCOMPARE(log.size(), 8);
        // Everyone hears "before" while the old set is still there, then "after".
        for (int i = 4; i < 6; ++i)
            QVERIFY2(log[i].endsWith(QStringLiteral("before 1")), qPrintable(log.join(',')));
        for (int i = 6; i < 8; ++i)
            QVERIFY2(log[i].endsWith(QStringLiteral("after 1.5")), qPrintable(log.join(',')));
        QCOMPARE(p.removeListener(&a), 1);
        QCOMPARE(p.removeListener(&a), 0);
    }

    void drawingEdgeCases()
    {
        QImage img(80, 80, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        painter.drawDoraTile(&p, QPoint(10, 10), tile(tile::concealedCode), 0);
        QCOMPARE(opaquePixels(img), 0);
        // A concealed tile draws its back at the back's offset (one pixel up here).
        painter.drawTile(&p, QPoint(10, 10), tile(tile::concealedCode), 0, false);
        p.end();
        QVERIFY(qAlpha(img.pixel(12, 9)) > 200);
        QCOMPARE(qAlpha(img.pixel(12, 8)), 0);
        TilePainter empty;
        QPainter q(&img);
        empty.drawTile(&q, QPoint(0, 0), tile(0), 0, true); // no set yet: nothing, no crash
    }
};

QTEST_MAIN(TestTileItems)
#include "tst_tileitems.moc"
