// Tile set costs, each printed beside its floor measured in the same run: a
// bare QSvgRenderer pass that renders the same back and face elements at the
// same sizes into images. Never fails on timing.
#include "TileCache.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TileTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
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

    std::printf("quick rescale of the base set (goal: under 16 ms)\n");
    for (double scale : {0.75, 1.5, 2.5}) {
        const double ms = medianMs(runs, [&] { TileImages(*base, scale); });
        char what[64];
        std::snprintf(what, sizeof what, "  to %.2f", scale);
        line(what, ms, floorMs);
    }
    return 0;
}
