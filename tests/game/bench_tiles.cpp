// Tile set costs, each printed beside its floor measured in the same run;
// printed, never failing on timing:
// - the full set made from the SVG and from the PNG sheets, and the tile
//   cache written and read, at each of the set's sizes, beside a bare
//   QSvgRenderer pass that renders the same back and face elements at the
//   same sizes into images;
// - a face sheet of 42 held PNG pictures rewritten to be self-contained,
//   beside the renderer's own parse of it;
// - the first draw of a player's set of held pictures, the GUI thread's
//   longest turn (goal: under 50 ms), beside that of a bundled set;
// - a quick rescale of the base set (goal: under 16 ms) beside the floor.
#include "SvgDocument.h"
#include "TileCache.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TileTestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

const QString svgBack = QStringLiteral("resources:/tiles-blank-green.svg");
const QString svgFace = QStringLiteral("resources:/tiles-fg.svg");
const QString pngBack = QStringLiteral("resources:/tiles-blank-default.png");
const QString pngFace = QStringLiteral("resources:/tiles-fg.png");

double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void renderInto(QSvgRenderer& svg, const QString& id, const QSize& size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    svg.render(&p, id, QRectF(QPointF(0, 0), size));
}

/// The floor: parse both sheets, render every back element once and every
/// face three times (table upright, table sideways, own hand) at the set's sizes.
void bareRender(double scale, const TileImages& sizes)
{
    QSvgRenderer back(svgBack);
    QSvgRenderer face(svgFace);
    for (const QString& id : TileTestSupport::backIds())
        renderInto(back, id, QSize(int(28 * scale), int(45 * scale)));
    const TileSize3D up = sizes.size3D(0, TileImages::Declared), side = sizes.size3D(1, TileImages::Declared),
                     hand = sizes.size3D(0, TileImages::Hand);
    for (const QString& id : TileTestSupport::faceIds()) {
        renderInto(face, id, QSize(up.width, up.height));
        renderInto(face, id, QSize(side.width, side.height));
        renderInto(face, id, QSize(hand.width, hand.height));
    }
}

void line(const char* what, double ms, double floorMs)
{
    std::printf("%-44s %8.2f ms  %6.2f x floor\n", what, ms, ms / floorMs);
}

/// A face sheet as a player makes one: each face a PNG picture of 256 x 293
/// (shaded in a colour of its own) held in the document.
QByteArray pictureFaceSheet()
{
    QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'>";
    for (const QString& id : TileTestSupport::faceIds()) {
        QImage face(256, 293, QImage::Format_ARGB32);
        QLinearGradient shade(0, 0, 256, 293);
        shade.setStops({{0, Qt::white}, {1, QColor::fromHsv(int(svg.size() % 360), 90, 200)}});
        QPainter(&face).fillRect(face.rect(), shade);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        face.save(&buffer, "PNG");
        svg += "<g id='" + id.toLatin1() + "'><image width='256' height='293' xlink:href='data:image/png;base64,"
            + png.toBase64() + "'/></g>";
    }
    return svg + "</svg>";
}

/// The longest turn of the GUI thread's loop, from a choice of back and face
/// not drawn before in this run (nor in its fresh cache) until its sets are drawn.
double firstDrawLongestTurnMs(int blank, int face)
{
    TileGraphics& graphics = TileGraphics::instance();
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - std::exchange(last, now));
    });
    tick.start(1);
    graphics.setTiles(blank, face);
    while (graphics.isRendering() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return std::max(longest, clock.nsecsElapsed() - last) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TileTestSupport::installSearchPaths();
    const int runs = 5;
    std::printf("floor: bare QSvgRenderer, 32 back elements and 42 faces x 3, at the set's sizes\n");
    std::unique_ptr<TileImages> base;
    for (double scale : {1.0, 1.5, 2.5}) {
        std::unique_ptr<TileImages> svgSet(new TileImages(svgBack, svgFace, TileGraphics::highlightPath(), scale));
        const double floorMs = medianMs(runs, [&] { bareRender(scale, *svgSet); });
        const double svgMs = medianMs(runs, [&] { TileImages(svgBack, svgFace, TileGraphics::highlightPath(), scale); });
        const double pngMs = medianMs(runs, [&] { TileImages(pngBack, pngFace, TileGraphics::highlightPath(), scale); });
        std::printf("scale %.1f: floor %.2f ms\n", scale, floorMs);
        line("  full set from the SVG sheets", svgMs, floorMs);
        line("  full set from the PNG sheets", pngMs, floorMs);
        if (scale == 1.0)
            base = std::move(svgSet);
    }

    const double floorMs = medianMs(runs, [&] { bareRender(1.0, *base); });
    const double renderMs = medianMs(runs, [&] { TileImages(svgBack, svgFace, TileGraphics::highlightPath(), 1.0); });
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("set.dat"));
    const double writeMs = medianMs(runs, [&] { TileCache::writeFile(file, *base); });
    const double readMs = medianMs(runs, [&] { std::unique_ptr<TileImages>(TileCache::readFile(file, 1.0)); });
    std::printf("cache file at scale 1.0 (%lld bytes); render of the same set %.2f ms\n",
                static_cast<long long>(QFileInfo(file).size()), renderMs);
    line("  write", writeMs, floorMs);
    line("  read", readMs, floorMs);
    std::printf("  read / render: %.2f   write / render: %.2f\n", readMs / renderMs, writeMs / renderMs);

    // A player's set of 42 PNG faces of 256 x 293 held in the face sheet, in
    // a folder before the program's own, against a bundled SVG set.
    QTemporaryDir own;
    const QByteArray sheet = pictureFaceSheet();
    QFile faces(own.filePath(QStringLiteral("tiles-fg.svg")));
    if (!faces.open(QIODevice::WriteOnly) || faces.write(sheet) != sheet.size() || !faces.flush())
        return 1;
    const double parseMs = medianMs(runs, [&] { QSvgRenderer bare(sheet); });
    std::printf("face sheet of 42 held PNG pictures (%lld bytes): the renderer's parse %.2f ms\n",
                static_cast<long long>(sheet.size()), parseMs);
    line("  rewritten to be self-contained", medianMs(runs, [&] { SvgDocument::selfContained(sheet, {}); }), parseMs);
    const double bundledMs = firstDrawLongestTurnMs(3, 1);
    QDir::setSearchPaths(QStringLiteral("resources"), QStringList{own.path()} + QDir::searchPaths(QStringLiteral("resources")));
    const double heldMs = firstDrawLongestTurnMs(4, 0);
    std::printf("first draw of a set not in the cache: the longest turn of the GUI thread (goal: under 50 ms)\n"
                "  bundled set %.2f ms; set of 42 held PNG faces %.2f ms, %.2f x the bundled set's\n", bundledMs,
                heldMs, heldMs / bundledMs);
    std::printf("quick rescale of the base set (goal: under 16 ms)\n");
    for (double scale : {0.75, 1.5, 2.5}) {
        const double ms = medianMs(runs, [&] { TileImages(*base, scale); });
        char what[64];
        std::snprintf(what, sizeof what, "  to %.2f", scale);
        line(what, ms, floorMs);
    }
    return 0;
}
