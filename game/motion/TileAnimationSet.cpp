#include "TileAnimationSet.h"

#include "TileAnimation.h"
#include "TileAnimationSource.h"
#include "TileAnimationTarget.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileView.h"

#include <QTimeLine>

#include <algorithm>

namespace {
/// The length of a picture along its seat's row: its width for the bottom
/// and top seats, its height for the side seats.
double rowLength(const TileImages* images, int orientation, int kind)
{
    const QRectF r = images->rect(orientation, kind);
    return orientation % 2 == 0 ? r.width() : r.height();
}
}

TileAnimationSet::TileAnimationSet(QGraphicsScene* s, TileAnimationSource* src, TileAnimationTarget* dst,
                                   int durationMs, const std::vector<tile>& t)
    : GameWindowAnimation(durationMs)
    , scene(s)
    , source(src)
    , target(dst)
    , count(0)
    , tiles(t)
{
}

TileAnimationSet::TileAnimationSet(QGraphicsScene* s, TileAnimationSource* src, TileAnimationTarget* dst,
                                   int durationMs, int n)
    : GameWindowAnimation(durationMs)
    , scene(s)
    , source(src)
    , target(dst)
    // Every place and every transfer is made per tile: a wild count must not
    // ask the views for millions of them.
    , count(std::min(n, maxTiles))
{
}

TileAnimationSet::~TileAnimationSet()
{
    for (TileAnimation* a : animations)
        delete a;
}

void TileAnimationSet::start(bool instant)
{
    if (!instant) {
        const bool tileMode = count == 0;
        // No more pictures fly than a set has tiles; the views still take
        // and receive every tile of the move.
        const std::size_t flying = std::min(tiles.size(), std::size_t(maxTiles));
        const std::vector<tile> shown(tiles.begin(), tiles.begin() + std::ptrdiff_t(flying));
        const std::vector<TileGeometry> from = tileMode ? source->geometryFor(shown) : source->geometryFor(count);
        const std::vector<TileGeometry> to = tileMode ? target->geometryFor(shown) : target->geometryFor(count);
        const TileImages* images = TileGraphics::instance().gamePainter()->tileImages();
        const int kind = tileMode ? TileImages::Declared : TileImages::Back;
        // A view that reports fewer places than tiles moves only those it has.
        const std::size_t n = std::min({tileMode ? shown.size() : std::size_t(count), from.size(), to.size()});
        for (std::size_t i = 0; i < n; ++i) {
            double startScale = 1.0;
            double endScale = 1.0;
            if (images != nullptr) {
                const double base = rowLength(images, to[i].orientation, TileImages::Declared);
                if (base > 0) {
                    startScale = rowLength(images, from[i].orientation, from[i].kind) / base;
                    endScale = rowLength(images, to[i].orientation, to[i].kind) / base;
                }
            }
            auto* a = new TileAnimation(scene, timeLine(), kind, from[i].orientation, to[i].orientation, 0.0, 1.0);
            if (tileMode)
                a->setTile(shown[i]);
            a->setStartPos(from[i].pos);
            a->setZBefore(from[i].pos.y() + 100);
            a->setStartScale(startScale);
            a->setEndPos(to[i].pos);
            a->setZAfter(to[i].pos.y() + 100);
            a->setEndScale(endScale);
            animations.push_back(a);
        }
        timeLine()->start();
    }
    if (count == 0)
        source->transfer(tiles);
    else
        source->transfer(count);
}

void TileAnimationSet::end(bool)
{
    // The moving pictures leave the table now rather than with the set: an
    // animation ended early (by a flush) leaves nothing behind, whenever the
    // set itself goes.
    for (TileAnimation* a : animations)
        delete a;
    animations.clear();
    if (count != 0)
        target->transfer(count);
    else
        target->transfer(tiles);
}
