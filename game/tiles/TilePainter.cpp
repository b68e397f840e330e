#include "TilePainter.h"

#include "TileImages.h"

#include <QPainter>

namespace {

/// The whole-pixel part of a picture's offset, added to the position.
QPointF shifted(const QPoint& pos, const QRectF& rect)
{
    return QPointF(pos.x() + int(rect.x()), pos.y() + int(rect.y()));
}

void blit(QPainter* painter, const QPointF& at, const QImage& image)
{
    if (!image.isNull())
        painter->drawImage(at, image);
}

} // namespace

TilePainter::TilePainter() = default;

TilePainter::~TilePainter()
{
    listeners.clear();
    delete images;
}

void TilePainter::setTileImages(TileImages* newImages)
{
    // Copies: a listener may unregister itself while it is told.
    const std::set<Listner*> before = listeners;
    for (Listner* l : before)
        l->tileImagesAboutToChange(this);
    TileImages* old = images;
    images = newImages;
    if (old != newImages)
        delete old;
    const std::set<Listner*> after = listeners;
    for (Listner* l : after)
        l->tileImagesChanged(this);
}

const TileImages* TilePainter::tileImages() const
{
    return images;
}

void TilePainter::addListener(Listner* listener)
{
    if (listener)
        listeners.insert(listener);
}

int TilePainter::removeListener(Listner* listener)
{
    return int(listeners.erase(listener));
}

int TilePainter::listenerCount() const
{
    return int(listeners.size());
}

void TilePainter::drawTile(QPainter* painter, const QPoint& pos, tile t, int orientation, bool highlighted) const
{
    if (!images)
        return;
    if (t.isConcealed()) {
        drawBack(painter, pos, orientation);
        if (highlighted)
            blit(painter, QPointF(pos), images->highlight(orientation));
        return;
    }
    const QPointF at = shifted(pos, images->rect(orientation, TileImages::Declared));
    blit(painter, at, images->element(orientation, TileImages::Declared));
    blit(painter, at, images->face(orientation, t));
    if (highlighted)
        blit(painter, at, images->highlight(orientation));
}

void TilePainter::drawBack(QPainter* painter, const QPoint& pos, int orientation) const
{
    if (!images)
        return;
    blit(painter, shifted(pos, images->rect(orientation, TileImages::Back)),
         images->element(orientation, TileImages::Back));
}

void TilePainter::drawTurnedTile(QPainter* painter, const QPoint& pos, tile t, int orientation) const
{
    if (!images)
        return;
    const QPointF at = shifted(pos, images->rect(orientation, TileImages::Turned));
    blit(painter, at, images->element(orientation, TileImages::Turned));
    blit(painter, at, images->face((orientation + 1) & 3, t));
}

void TilePainter::drawHandTile(QPainter* painter, const QPoint& pos, tile t, int imageIndex, bool enabled) const
{
    if (!images)
        return;
    blit(painter, QPointF(pos), images->handImage(imageIndex == 1 ? 1 : 0));
    const int depth = images->size3D(TileImages::Bottom, TileImages::Hand).depth;
    blit(painter, QPointF(pos.x(), pos.y() + qMax(depth, 0)), images->handFace(t));
    if (!enabled)
        blit(painter, QPointF(pos), images->handImage(2));
}

void TilePainter::drawHiddenTile(QPainter* painter, const QPoint& pos, int orientation) const
{
    if (images)
        blit(painter, QPointF(pos), images->element(orientation, TileImages::Hidden));
}

void TilePainter::drawWallStack(QPainter* painter, const QPoint& pos, int orientation, int level) const
{
    if (images && level >= 0 && level <= 2)
        blit(painter, QPointF(pos), images->element(orientation, TileImages::WallSingle + level));
}

void TilePainter::drawDoraTile(QPainter* painter, const QPoint& pos, tile t, int orientation) const
{
    if (!images || t.isConcealed())
        return;
    blit(painter, QPointF(pos), images->element(orientation, TileImages::WallDora));
    blit(painter, QPointF(pos), images->face(orientation, t));
}
