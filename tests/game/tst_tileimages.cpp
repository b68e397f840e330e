// Tile sets: sizes and rectangles per kind and orientation from SVG and PNG
// sheets, the rescaled copy, the stream form and its refusals, and sheets
// that are missing, empty, FIFOs, not images, lacking pictures or naming files.
#include "HostilePictures.h"
#include "SharedMachine.h"
#include "TileImages.h"
#include "TileTestSupport.h"

#include <QBuffer>
#include <QDataStream>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stdexcept>

using namespace TileTestSupport;

Q_DECLARE_METATYPE(TileSize3D)

namespace QTest {
template <>
char* toString(const TileSize3D& s)
{
    return qstrdup(QByteArray("TileSize3D(") + QByteArray::number(s.width) + ", " + QByteArray::number(s.height) + ", "
                   + QByteArray::number(s.depth) + ")");
}
}


namespace {

QStringList messages;
void capture(QtMsgType, const QMessageLogContext&, const QString& text)
{
    messages << text;
}

QString kindName(int kind)
{
    static const char* const names[] = {"Declared", "Back", "Turned", "Hand", "Hidden", "WallSingle",
                                        "WallDouble", "WallTriple", "None", "WallDora"};
    return QLatin1String(names[kind]);
}

} // namespace

class TestTileImages : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString svgBack, svgFace, pngBack, pngFace, highlight;

private Q_SLOTS:
    void initTestCase()
    {
        installSearchPaths();
        svgBack = writeSvgSheet(dir.filePath(QStringLiteral("back.svg")), backIds());
        svgFace = writeSvgSheet(dir.filePath(QStringLiteral("face.svg")), faceIds());
        pngBack = writePngSheet(dir.filePath(QStringLiteral("back.png")), 306, 204);
        pngFace = writePngSheet(dir.filePath(QStringLiteral("face.png")), 42 * 28, 42);
        highlight = QStringLiteral("resources:/tile-highlights-red.png");
    }

    void sizes_data()
    {
        QTest::addColumn<bool>("svg");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("kind");
        QTest::addColumn<TileSize3D>("size");
        QTest::addColumn<QRect>("rect");
        struct Row { bool svg; double scale; int o, k; TileSize3D size; QRect rect; };
        const Row rows[] = {
            {true, 1.0, 0, 0, {28, 35, 10}, {0, 0, 28, 45}}, {true, 1.0, 1, 0, {38, 26, 10}, {0, 0, 38, 36}},
            {true, 1.0, 2, 1, {28, 35, 10}, {0, 0, 28, 45}}, {true, 1.0, 0, 2, {38, 26, 10}, {0, 0, 38, 36}},
            {true, 1.0, 1, 2, {28, 35, 10}, {0, 0, 28, 45}}, {true, 1.0, 0, 3, {35, 43, 12}, {0, 0, 35, 55}},
            {true, 1.0, 0, 4, {28, 20, 0}, {0, 0, 28, 20}},  {true, 1.0, 2, 4, {28, 20, 10}, {0, 0, 28, 30}},
            {true, 1.0, 3, 4, {21, 18, 21}, {0, 0, 21, 39}}, {true, 1.0, 0, 6, {28, 35, 20}, {0, 0, 28, 55}},
            {true, 1.0, 3, 7, {38, 26, 30}, {0, 0, 38, 56}}, {true, 1.0, 1, 9, {38, 26, 20}, {0, 0, 38, 46}},
            {true, 1.0, 0, 8, {}, {}},                       {true, 1.5, 0, 0, {42, 52, 15}, {0, 0, 42, 67}},
            {true, 1.5, 1, 5, {57, 39, 15}, {0, 0, 57, 54}}, {true, 2.5, 0, 3, {87, 107, 30}, {0, 0, 87, 137}},
            {false, 1.0, 0, 0, {28, 39, -1}, {0, 0, 29, 43}}, {false, 1.0, 0, 1, {28, 39, -1}, {0, -1, 29, 44}},
            {false, 1.0, 2, 1, {28, 39, -1}, {0, -1, 29, 44}}, {false, 1.0, 0, 2, {39, 28, -1}, {0, -2, 40, 34}},
            {false, 1.0, 1, 2, {28, 39, -1}, {0, 1, 29, 43}}, {false, 1.0, 1, 4, {-1, 30, -1}, {0, 0, 26, 39}},
            {false, 1.0, 0, 3, {35, 48, 7}, {0, 0, 36, 56}},  {false, 1.0, 3, 7, {39, 27, 15}, {0, 0, 40, 43}},
            {false, 2.0, 0, 2, {78, 56, -1}, {0, -5, 80, 68}},
        };
        for (const Row& r : rows)
            QTest::addRow("%s %.1f o%d %s", r.svg ? "svg" : "png", r.scale, r.o, qPrintable(kindName(r.k)))
                << r.svg << r.scale << r.o << r.k << r.size << r.rect;
    }

    void sizes()
    {
        QFETCH(bool, svg);
        QFETCH(double, scale);
        QFETCH(int, orientation);
        QFETCH(int, kind);
        QFETCH(TileSize3D, size);
        QFETCH(QRect, rect);
        const TileImages set(svg ? svgBack : pngBack, svg ? svgFace : pngFace, highlight, scale);
        QCOMPARE(set.size3D(orientation, kind), size);
        QCOMPARE(set.rect(orientation, kind).toRect(), rect);
        // Faces cover the top surface of the tile lying that way.
        const TileSize3D declared = set.size3D(orientation, TileImages::Declared);
        QCOMPARE(set.face(orientation, tile(5)).size(), QSize(declared.width, declared.height));
        QCOMPARE(set.highlight(orientation).size(), QSize(declared.width, declared.height));
    }

    void rescaledCopy()
    {
        const TileImages base(svgBack, svgFace, highlight, 1.0);
        const TileImages scaled(base, 1.5);
        QCOMPARE(scaled.scale(), 1.5);
        QCOMPARE(scaled.element(0, TileImages::Declared).size(), QSize(42, 68));
        QCOMPARE(scaled.size3D(0, TileImages::Declared), TileSize3D(42, 52, 15));
        QCOMPARE(scaled.rect(0, TileImages::Hand).size(), QSizeF(qRound(35 * 1.5), qRound(55 * 1.5)));
        // Offsets follow the scale, whole pixels only.
        const TileImages png(pngBack, pngFace, highlight, 1.0);
        QCOMPARE(TileImages(png, 2.0).rect(0, TileImages::Turned).topLeft(), QPointF(0, -3)); // int(-2 x 2 + 0.5)
        QVERIFY(scaled.element(0, TileImages::NoPicture).isNull());
        QVERIFY(scaled.rect(0, TileImages::NoPicture).isEmpty());
    }

    void streamRoundTrip()
    {
        const TileImages set(pngBack, svgFace, highlight, 1.25);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << set;
        }
        QDataStream in(bytes);
        const TileImages back(in);
        QCOMPARE(in.status(), QDataStream::Ok);
        QVERIFY(in.atEnd());
        QCOMPARE(back.scale(), 1.25);
        for (int o = 0; o < 4; ++o)
            for (int k = 0; k < TileImages::kindCount; ++k) {
                QCOMPARE(back.size3D(o, k), set.size3D(o, k));
                QCOMPARE(back.rect(o, k), set.rect(o, k));
                QCOMPARE(back.shadow(o, k), set.shadow(o, k));
                QCOMPARE(back.element(o, k), set.element(o, k));
            }
        QCOMPARE(back.face(3, tile(30)), set.face(3, tile(30)));
        QCOMPARE(back.handImage(1), set.handImage(1));
    }

    void streamRefusals_data()
    {
        QTest::addColumn<qint32>("version");
        QTest::addColumn<double>("hand");
        QTest::addColumn<QString>("error");
        QTest::newRow("older version") << qint32(5) << 1.25 << "Wrong serialized version";
        QTest::newRow("newer version") << qint32(7) << 1.25 << "Wrong serialized version";
        QTest::newRow("other proportions") << qint32(6) << 1.5 << "Other proportions used";
    }

    void streamRefusals()
    {
        QFETCH(qint32, version);
        QFETCH(double, hand);
        QFETCH(QString, error);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << version << 1.0 << hand << 1.0;
        QDataStream in(bytes);
        try {
            TileImages set(in);
            QFAIL("a foreign header was accepted");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromLatin1(e.what()), error);
        }
        // Refused before any picture was read.
        QCOMPARE(in.device()->pos(), qint64(version == 6 ? 20 : 4));
    }

    void badSheets_data()
    {
        QTest::addColumn<QString>("back");
        QTest::addColumn<QString>("face");
        QFile(dir.filePath(QStringLiteral("empty.svg"))).open(QIODevice::WriteOnly);
        QFile(dir.filePath(QStringLiteral("empty.png"))).open(QIODevice::WriteOnly);
        QFile text(dir.filePath(QStringLiteral("text.png")));
        if (text.open(QIODevice::WriteOnly))
            text.write("this is no picture");
        text.close();
        const QString partBack = writeSvgSheet(dir.filePath(QStringLiteral("partback.svg")), backIds().mid(0, 10));
        const QString partFace = writeSvgSheet(dir.filePath(QStringLiteral("partface.svg")), faceIds().mid(20));
        const QString tiny = writePngSheet(dir.filePath(QStringLiteral("tiny.png")), 20, 20);
        for (const char* fifo : {"fifo.svg", "fifo.png"})
            ::mkfifo(QFile::encodeName(dir.filePath(QLatin1String(fifo))).constData(), 0600);
        QTest::newRow("missing svg") << dir.filePath(QStringLiteral("none.svg")) << dir.filePath(QStringLiteral("none.svg"));
        QTest::newRow("missing png") << dir.filePath(QStringLiteral("none.png")) << dir.filePath(QStringLiteral("none.png"));
        QTest::newRow("empty") << dir.filePath(QStringLiteral("empty.svg")) << dir.filePath(QStringLiteral("empty.png"));
        QTest::newRow("not an image") << dir.filePath(QStringLiteral("text.png")) << dir.filePath(QStringLiteral("text.png"));
        QTest::newRow("svg lacking ids") << partBack << partFace;
        QTest::newRow("png too small") << tiny << tiny;
        QTest::newRow("fifos") << dir.filePath(QStringLiteral("fifo.svg")) << dir.filePath(QStringLiteral("fifo.png"));
    }

    void badSheets()
    {
        QFETCH(QString, back);
        QFETCH(QString, face);
        messages.clear();
        const QtMessageHandler old = qInstallMessageHandler(capture);
        std::unique_ptr<TileImages> made;
        const auto make = [&] { made = std::make_unique<TileImages>(back, face, highlight, 1.0); };
        QVERIFY2(sharedmachine::finishesInTime(make, {back, face}), "a sheet reader waited on a FIFO");
        qInstallMessageHandler(old);
        const TileImages& set = *made;
        QVERIFY2(messages.filter(QStringLiteral("tile sheet")).size() >= 2, qPrintable(messages.join('\n')));
        // One warning a sheet, not one a picture.
        QVERIFY(messages.filter(QStringLiteral("tile sheet")).size() <= 2);
        // Placeholders are visible at their full sizes.
        QCOMPARE(set.rect(0, TileImages::Declared).size(), QSizeF(back.endsWith("svg") ? QSizeF(28, 45) : QSizeF(29, 43)));
        QVERIFY(opaquePixels(set.element(0, TileImages::Declared)) > 100);
        QVERIFY(opaquePixels(set.face(0, tile(0))) > 10);
        QVERIFY(opaquePixels(set.handImage(0)) > 100);
    }

    void sheetsDrawOnlyWhatTheyHold_data()
    {
        QTest::addColumn<QString>("inside"); // the first face's content
        QTest::addColumn<bool>("drawn"); // in the blue of its picture
        const QString fifo = dir.filePath(QStringLiteral("picture.fifo"));
        ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
        const QByteArray blue = hostilepictures::plainPicture(QSize(50, 50), Qt::blue);
        QFile beside(dir.filePath(QStringLiteral("beside.png")));
        QVERIFY(beside.open(QIODevice::WriteOnly) && beside.write(blue) > 0);
        const auto image = [](const QString& address) {
            return QStringLiteral("<image width=\"100\" height=\"100\" xlink:href=\"%1\"/>").arg(address);
        };
        auto held = [](const QByteArray& p) { return QString::fromLatin1("data:image/png;base64," + p.toBase64()); };
        QTest::newRow("a FIFO by its path") << image(fifo) << false;
        QTest::newRow("a picture file beside the sheet") << image(QStringLiteral("beside.png")) << false;
        QTest::newRow("a picture held in it, a style sheet that is a FIFO")
            << QStringLiteral("<?xml-stylesheet type=\"text/css\" href=\"%1\"?>").arg(fifo) + image(held(blue)) << true;
        QTest::newRow("a held picture past a sheet's limits") << image(held(hostilepictures::pngClaiming(4097, 4097)))
                                                               << false;
        QTest::newRow("a held picture as large as a sheet may be")
            << image(held(hostilepictures::plainPicture(QSize(2240, 2196), Qt::blue))) << true;
        QByteArray jpeg = hostilepictures::plainPicture(QSize(50, 50), Qt::blue, "JPG");
        jpeg.insert(2, QByteArray::fromHex("ffe0000a") + QByteArray("<svg>\0\0\0", 8)); // by its content: SVG
        QTest::newRow("a held JPEG that begins like an SVG document")
            << image(QStringLiteral("data:image/jpeg;base64,") + QString::fromLatin1(jpeg.toBase64())) << true;
        // Faces cut from one picture, its second fifth blue: the renderer draws no clip path.
        QImage sheet(250, 100, QImage::Format_RGB32);
        sheet.fill(Qt::red);
        QPainter(&sheet).fillRect(50, 0, 50, 100, Qt::blue);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && sheet.save(&buffer, "PNG"));
        const QString sprite = held(png);
        // The picture and the clip path outside the face, as a sheet of faces has them.
        const auto cutFrom = [&sprite](const QString& held) {
            return QStringLiteral("<use xlink:href=\"#s\" x=\"-50\" clip-path=\"url(#c)\"/></g><clipPath id=\"c\"><rect "
                                  "x=\"50\" width=\"50\" height=\"100\"/></clipPath><defs>%1</defs><g>")
                .arg(held.arg(QStringLiteral("<image width=\"250\" height=\"100\" xlink:href=\"%1\"/>").arg(sprite)));
        };
        QTest::newRow("a face cut from a picture by a rectangle")
            << cutFrom(QStringLiteral("%1")).replace(QStringLiteral("<image"), QStringLiteral("<image id=\"s\"")) << true;
        QTest::newRow("a face cut from a group holding the picture") << cutFrom(QStringLiteral("<g id=\"s\">%1</g>")) << true;
        QTest::newRow("a face cut from a symbol holding the picture")
            << cutFrom(QStringLiteral("<symbol id=\"s\"><g>%1</g></symbol>")) << true;
        QTest::newRow("a face cut from a group of two pictures") << cutFrom(QStringLiteral("<g id=\"s\">%1%1</g>")) << false;
        QTest::newRow("a face cut from a picture by a circle")
            << QStringLiteral("<clipPath id=\"c\"><circle r=\"25\" cx=\"25\" cy=\"50\"/></clipPath>")
                   + image(sprite).replace(QStringLiteral("<image"), QStringLiteral("<image clip-path=\"url(#c)\""))
            << false;
    }

    void sheetsDrawOnlyWhatTheyHold()
    {
        QFETCH(QString, inside);
        QFETCH(bool, drawn);
        // In front of the program's own sheet of its name.
        QDir::setSearchPaths(QStringLiteral("resources"), QStringList{dir.path()} + ParlorResources::compiledTrees());
        QFile sheet(dir.filePath(QStringLiteral("tiles-fg.svg")));
        const QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\" "
                                           "xmlns:xlink=\"http://www.w3.org/1999/xlink\"><g id=\"%1\">%2</g></svg>");
        QVERIFY(sheet.open(QIODevice::WriteOnly | QIODevice::Truncate)
                && sheet.write(svg.arg(faceIds().first(), inside).toUtf8()) > 0);
        sheet.close();
        std::unique_ptr<TileImages> set;
        const auto make = [&] { set = std::make_unique<TileImages>(svgBack, QStringLiteral("resources:/tiles-fg.svg"), highlight, 1.0); };
        messages.clear();
        const QtMessageHandler old = qInstallMessageHandler(capture);
        QVERIFY2(sharedmachine::finishesInTime(make, {dir.filePath(QStringLiteral("picture.fifo"))}),
                 "the renderer waited on a FIFO the sheet names");
        qInstallMessageHandler(old);
        const QImage face = set->face(0, tile(0));
        const QColor middle = face.pixelColor(face.width() / 2, face.height() / 2);
        QCOMPARE(middle.blue() > 245 && middle.red() + middle.green() < 10, drawn);
        installSearchPaths();
        // The log names the face that lost its picture.
        const QRegularExpression lost(QStringLiteral("(left out,|clip paths) in ") + faceIds().first());
        QCOMPARE(messages.filter(lost).size(), drawn ? 0 : 1);
        const bool refused = !messages.filter(QStringLiteral("not drawn")).isEmpty();
        QCOMPARE(set->refusedFace(), refused ? sheet.fileName() : QString());
        if (refused)
            QCOMPARE(face, TileImages(svgBack, QStringLiteral(":default/tiles-fg.svg"), highlight, 1.0).face(0, tile(0)));
    }

    void sheetsChosenBySuffix()
    {
        // PNG back with SVG faces, and the reverse, are both whole sets.
        const TileImages a(pngBack, svgFace, highlight, 1.0);
        const TileImages b(svgBack, pngFace, highlight, 1.0);
        QCOMPARE(a.size3D(0, TileImages::Declared), TileSize3D(28, 39, -1));
        QCOMPARE(b.size3D(0, TileImages::Declared), TileSize3D(28, 35, 10));
        QVERIFY(opaquePixels(a.face(1, tile(9))) > 100);
        QVERIFY(opaquePixels(b.face(1, tile(9))) > 100);
        // "SVG" in capitals is not the SVG path: the sheet is cut like a PNG.
        const QString upper = dir.filePath(QStringLiteral("back.SVG"));
        QFile::copy(svgBack, upper);
        const TileImages c(upper, svgFace, highlight, 1.0);
        QCOMPARE(c.size3D(0, TileImages::Declared), TileSize3D(28, 39, -1));
    }

    void dimmingOverlay()
    {
        const TileImages set(svgBack, svgFace, highlight, 1.0);
        const QImage hand = set.handImage(0).convertToFormat(QImage::Format_ARGB32);
        const QImage overlay = set.handImage(2).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(overlay.size(), hand.size());
        for (const QPoint p : {QPoint(0, 0), QPoint(10, 20), QPoint(34, 54)}) {
            QCOMPARE(qAlpha(overlay.pixel(p)), qAlpha(hand.pixel(p)) / 3);
            QCOMPARE(qRed(overlay.pixel(p)), 0);
        }
        QVERIFY(set.handImage(3).isNull());
    }

    void shadowOutline_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<int>("depth");
        // r = min(w, h) / 30, a = r / 2: the octagon's box is inset by a.
        QTest::newRow("declared") << QRectF(0, 0, 30, 45) << 35 << 0 << QRectF(0.5, 10.5, 29, 34) << 5;
        QTest::newRow("hidden") << QRectF(0, 0, 60, 39) << -1 << 4 << QRectF(0.65, 0.65, 58.7, 37.7) << 10;
        QTest::newRow("double") << QRectF(0, 0, 30, 55) << 30 << 6 << QRectF(0.5, 25.5, 29, 29) << 10;
        QTest::newRow("dora") << QRectF(0, 0, 30, 55) << 30 << 9 << QRectF(0.5, 25.5, 29, 29) << 10;
        QTest::newRow("triple") << QRectF(0, 0, 30, 65) << 30 << 7 << QRectF(0.5, 35.5, 29, 29) << 15;
        QTest::newRow("offset picture") << QRectF(0, -2, 30, 32) << -1 << 2 << QRectF(0.5, -1.5, 29, 31) << 5;
    }

    void shadowOutline()
    {
        QFETCH(QRectF, rect);
        QFETCH(int, height);
        QFETCH(int, kind);
        QFETCH(QRectF, bounds);
        QFETCH(int, depth);
        const ShadowGeometry g = TileImages::shadowFor(rect, height, kind);
        QCOMPARE(g.outline.size(), 8);
        QCOMPARE(g.outline.boundingRect(), bounds);
        QCOMPARE(g.depth, depth);
    }

    void faceIdsOfTiles()
    {
        QCOMPARE(TileImages::faceElementId(tile(0)), QStringLiteral("bamboo_1"));
        QCOMPARE(TileImages::faceElementId(tile(17)), QStringLiteral("character_9"));
        QCOMPARE(TileImages::faceElementId(tile(27)), QStringLiteral("east_wind"));
        QCOMPARE(TileImages::faceElementId(tile(32)), QStringLiteral("red_dragon"));
        QCOMPARE(TileImages::faceElementId(tile(34)), QStringLiteral("plum_blossom"));
        QCOMPARE(TileImages::faceElementId(tile(37)), QStringLiteral("bamboo"));
        QCOMPARE(TileImages::faceElementId(tile(38)), QStringLiteral("spring"));
    }
};


QTEST_MAIN(TestTileImages)
#include "tst_tileimages.moc"
