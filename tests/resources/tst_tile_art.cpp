// The tile sheets against the rules the tile images are built by: element
// ids, proportions of the split renders, fixed rectangles of the PNG sheets,
// and 42 faces that can be told apart on every face sheet.
#include "ArtSearchPaths.h"

#include <QFileInfo>
#include <QImage>
#include <QSvgRenderer>
#include <QTest>

using namespace ArtSearchPaths;

namespace {

const QStringList& faceIds()
{
    static const QStringList ids = [] {
        QStringList l;
        for (const char* suit : {"bamboo", "character", "circle"})
            for (int i = 1; i <= 9; ++i)
                l << QStringLiteral("%1_%2").arg(QLatin1String(suit)).arg(i);
        l << QStringLiteral("east_wind") << QStringLiteral("south_wind") << QStringLiteral("west_wind")
          << QStringLiteral("north_wind") << QStringLiteral("green_dragon") << QStringLiteral("red_dragon")
          << QStringLiteral("white_dragon") << QStringLiteral("plum_blossom") << QStringLiteral("orchid")
          << QStringLiteral("chrysanthemum") << QStringLiteral("bamboo") << QStringLiteral("spring")
          << QStringLiteral("summer") << QStringLiteral("autumn") << QStringLiteral("winter");
        return l;
    }();
    return ids;
}

const char* const sides[4] = {"Bottom", "Right", "Top", "Left"};

QStringList backIds()
{
    QStringList l{QStringLiteral("hand"), QStringLiteral("handHighlight"), QStringLiteral("declaredBottomTurned"),
        QStringLiteral("declaredTopTurned")};
    for (const char* s : sides) {
        const QString side = QLatin1String(s);
        l << QStringLiteral("declared") + side << QStringLiteral("hidden") + side << QStringLiteral("wallSingle") + side
          << QStringLiteral("wallDouble") + side << QStringLiteral("wallTriple") + side
          << QStringLiteral("wallDora") + side;
    }
    return l;
}

struct Rect {
    const char* what;
    int x, y, w, h;
    bool faceUp; // the top surface shows ivory
    bool lying;  // a tile lying on the table (top surface at the top of the rectangle)
};

// Every rectangle the table cuts out of a PNG back sheet.
const Rect pngRects[] = {
    {"hand", 30, 40, 29, 45, false, false}, {"handHighlight", 238, 40, 29, 45, false, false},
    {"declared Bottom", 0, 40, 29, 43, true, true}, {"declared Right", 0, 5, 40, 34, true, true},
    {"declared Top", 60, 40, 29, 43, true, true}, {"declared Left", 224, 90, 40, 34, true, true},
    {"wall Bottom 1", 208, 40, 29, 44, false, true}, {"wall Bottom 2", 178, 40, 29, 49, false, true},
    {"wall Bottom 3", 112, 90, 29, 54, false, true}, {"wall Right 1", 183, 90, 40, 33, false, true},
    {"wall Right 2", 142, 90, 40, 38, false, true}, {"wall Right 3", 71, 90, 40, 43, false, true},
    {"wall Top 1", 148, 40, 29, 44, false, true}, {"wall Top 2", 118, 40, 29, 49, false, true},
    {"wall Top 3", 41, 90, 29, 54, false, true}, {"wall Left 1", 259, 6, 40, 33, false, true},
    {"wall Left 2", 218, 1, 40, 38, false, true}, {"wall Left 3", 0, 90, 40, 43, false, true},
    {"dora Bottom", 41, 145, 29, 49, true, true}, {"dora Right", 224, 164, 40, 38, true, true},
    {"dora Top", 71, 145, 29, 49, true, true}, {"dora Left", 265, 164, 40, 38, true, true},
    {"turned Bottom", 41, 5, 40, 34, true, true}, {"turned Top", 224, 90, 40, 34, true, true},
    {"hidden Bottom", 268, 40, 27, 26, false, false}, {"hidden Right", 109, 0, 26, 39, false, false},
    {"hidden Top", 90, 40, 27, 26, false, false}, {"hidden Left", 82, 0, 26, 39, false, false},
};

} // namespace

class TileArtTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { install(); }

    void faceSheetHasEveryFace_data();
    void faceSheetHasEveryFace();
    void pngFaceSheetCellsAreDistinct();
    void svgBackSheet_data();
    void svgBackSheet();
    void pngBackSheet_data();
    void pngBackSheet();
    void highlightSheet();
};

void TileArtTest::faceSheetHasEveryFace_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("numbered") << QStringLiteral("resources:/tiles-fg.svg");
    QTest::newRow("mixed") << QStringLiteral("resources:/tiles-fg-half-marked.svg");
    QTest::newRow("without numbers") << QStringLiteral("resources:/tiles-fg-no-marks.svg");
}

void TileArtTest::faceSheetHasEveryFace()
{
    QFETCH(QString, path);
    QSvgRenderer svg(path);
    QVERIFY2(svg.isValid(), qPrintable(path));
    QVector<QImage> upright, sideways;
    for (const QString& id : faceIds()) {
        QVERIFY2(svg.elementExists(id), qPrintable(id));
        const QRectF b = svg.boundsOnElement(id);
        QVERIFY2(!b.isEmpty(), qPrintable(id));
        // The face is stretched over the top surface (28 x 35 on the table,
        // 35 x 43 in the hand): its box must keep the surface's proportions.
        QVERIFY2(qAbs(b.width() / b.height() - 192.0 / 220.0) < 0.01, qPrintable(id));
        const QImage face = rotatedRender(svg, id, 28, 35, 0);
        QVERIFY2(opaquePixels(face) > 20, qPrintable(id + QStringLiteral(" is blank at 28x35")));
        // The face must leave the tile's rim free, or neighbouring tiles merge.
        const QImage argb = face.convertToFormat(QImage::Format_ARGB32);
        for (int x = 0; x < 28; ++x)
            QVERIFY2(qAlpha(argb.pixel(x, 0)) < 128 && qAlpha(argb.pixel(x, 34)) < 128, qPrintable(id));
        upright << face;
        sideways << rotatedRender(svg, id, 38, 26, -90);
    }
    for (int i = 0; i < upright.size(); ++i)
        for (int j = i + 1; j < upright.size(); ++j) {
            QVERIFY2(upright[i] != upright[j],
                qPrintable(faceIds()[i] + QStringLiteral(" looks like ") + faceIds()[j]));
            QVERIFY2(sideways[i] != sideways[j],
                qPrintable(faceIds()[i] + QStringLiteral(" looks like ") + faceIds()[j] + QStringLiteral(" sideways")));
        }
}

void TileArtTest::pngFaceSheetCellsAreDistinct()
{
    const QImage sheet(QStringLiteral("resources:/tiles-fg.png"));
    QVERIFY(!sheet.isNull());
    const int cell = sheet.width() / 42;
    QVERIFY(cell >= 27);
    QVERIFY(sheet.height() >= 42);
    QVector<QImage> faces;
    for (int t = 0; t < 42; ++t) {
        const QImage face = sheet.copy(t * cell, 0, 27, 42);
        QVERIFY2(opaquePixels(face) > 20, qPrintable(faceIds()[t]));
        faces << face;
    }
    for (int i = 0; i < 42; ++i)
        for (int j = i + 1; j < 42; ++j)
            QVERIFY2(faces[i] != faces[j], qPrintable(faceIds()[i] + QStringLiteral(" looks like ") + faceIds()[j]));
}

void TileArtTest::svgBackSheet_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("green") << QStringLiteral("resources:/tiles-blank-green.svg");
    QTest::newRow("dark wood") << QStringLiteral("resources:/tiles-blank-darkwood.svg");
}

void TileArtTest::svgBackSheet()
{
    QFETCH(QString, path);
    QSvgRenderer svg(path);
    QVERIFY2(svg.isValid(), qPrintable(path));
    const QStringList ids = backIds();
    QCOMPARE(ids.size(), 28);
    for (const QString& id : ids) {
        QVERIFY2(svg.elementExists(id), qPrintable(id));
        QVERIFY2(!svg.boundsOnElement(id).isEmpty(), qPrintable(id));
    }

    // Each element is drawn in the proportions of its split render, so that
    // the top surface and the thickness meet where the table cuts them.
    auto ratio = [&](const QString& id) {
        const QRectF b = svg.boundsOnElement(id);
        return b.height() / b.width();
    };
    const struct {
        const char* id;
        double expected;
    } proportions[] = {
        {"declaredBottom", 289.0 / 192}, {"declaredTop", 289.0 / 192}, {"declaredRight", 261.0 / 220},
        {"declaredLeft", 261.0 / 220}, {"wallSingleBottom", 289.0 / 192}, {"wallDoubleTop", 358.0 / 192},
        {"wallTripleBottom", 427.0 / 192}, {"wallSingleRight", 261.0 / 220}, {"wallDoubleLeft", 330.0 / 220},
        {"wallTripleRight", 399.0 / 220}, {"wallDoraBottom", 358.0 / 192}, {"wallDoraLeft", 330.0 / 220},
        {"hand", 55.0 / 35}, {"handHighlight", 55.0 / 35}, {"hiddenTop", 210.0 / 198}, {"hiddenBottom", 140.0 / 198},
        {"hiddenRight", 272.0 / 148}, {"hiddenLeft", 272.0 / 148},
        // A turned tile lies sideways but is split like an upright one.
        {"declaredBottomTurned", (192.0 + 192.0 * 69 / 220) / 220}, {"declaredTopTurned", (192.0 + 192.0 * 69 / 220) / 220},
    };
    for (const auto& p : proportions)
        QVERIFY2(qAbs(ratio(QLatin1String(p.id)) / p.expected - 1) < 0.02, p.id);

    // Face-up pictures show ivory where the face goes; face-down ones do not.
    const QImage declared = splitRender(svg, QStringLiteral("declaredBottom"), 28, 35, 10, 220, 69);
    const QImage wall = splitRender(svg, QStringLiteral("wallSingleBottom"), 28, 35, 10, 220, 69);
    const QImage dora = splitRender(svg, QStringLiteral("wallDoraBottom"), 28, 35, 20, 220, 138);
    const QImage turned = splitRender(svg, QStringLiteral("declaredBottomTurned"), 38, 26, 10, 220, 69);
    QVERIFY(isIvory(declared.pixel(14, 17)));
    QVERIFY(isIvory(dora.pixel(14, 17)));
    QVERIFY(isIvory(turned.pixel(19, 13)));
    QVERIFY(!isIvory(wall.pixel(14, 17)));
    // Every picture fills its image: no transparent band where the thickness goes.
    for (const QImage& img : {declared, wall, dora, turned})
        QVERIFY(qAlpha(img.pixel(img.width() / 2, img.height() - 3)) > 200);
}

void TileArtTest::pngBackSheet_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("bamboo") << QStringLiteral("resources:/tiles-blank-default.png");
    QTest::newRow("green") << QStringLiteral("resources:/tiles-blank-green.png");
    QTest::newRow("red") << QStringLiteral("resources:/tiles-blank-red.png");
}

void TileArtTest::pngBackSheet()
{
    QFETCH(QString, path);
    const QImage sheet = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!sheet.isNull(), qPrintable(path));
    QVERIFY(sheet.width() >= 305 && sheet.height() >= 202);
    for (const Rect& r : pngRects) {
        const QImage part = sheet.copy(r.x, r.y, r.w, r.h);
        // The picture fills (almost) its whole rectangle.
        QVERIFY2(opaquePixels(part) > r.w * r.h * 3 / 4, r.what);
        if (r.lying)
            QVERIFY2(isIvory(part.pixel(r.w / 2, r.h / 3)) == r.faceUp, r.what);
    }
}

void TileArtTest::highlightSheet()
{
    const QImage sheet = QImage(QStringLiteral("resources:/tile-highlights-red.png")).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(sheet.width() >= 146 && sheet.height() >= 45);
    const QRect rects[4] = {QRect(43, 1, 29, 43), QRect(1, 1, 40, 34), QRect(74, 1, 29, 43), QRect(105, 1, 40, 34)};
    for (const QRect& r : rects) {
        int red = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QRgb c = sheet.pixel(x, y);
                red += qAlpha(c) > 128 && qRed(c) > 2 * qGreen(c) ? 1 : 0;
            }
        // A frame around the rectangle, see-through in the middle.
        QVERIFY(red > r.width() + r.height());
        QVERIFY(qAlpha(sheet.pixel(r.center())) < 100);
    }
}

QTEST_MAIN(TileArtTest)

#include "tst_tile_art.moc"
