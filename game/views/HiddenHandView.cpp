#include "HiddenHandView.h"

#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileView.h"

#include <QGraphicsScene>

#include <algorithm>

HiddenHandView::HiddenHandView(int side)
    : m_side(side)
{
}

HiddenHandView::~HiddenHandView() = default;

QPointF HiddenHandView::slotPosition(int i) const
{
    const TileImages* images = TileGraphics::instance().gamePainter()->tileImages();
    if (images == nullptr)
        return QPointF(0, 0);
    const TileSize3D size = images->size3D(m_side, TileImages::Hidden);
    const double w = std::max(size.width, 0), h = std::max(size.height, 0);
    const QRectF image = images->rect(m_side, TileImages::Hidden);
    switch (m_side) {
    case 0:
        return QPointF(-(i + 1) * w, 0);
    case 1:
        return QPointF(0, h * i);
    case 2:
        return QPointF(w * i, -image.height());
    case 3:
        return QPointF(-image.width(), -(i + 1) * h);
    default:
        return QPointF(0, 0);
    }
}

QPointF HiddenHandView::slotScenePosition(int i) const
{
    return scenePos() + slotPosition(i);
}

double HiddenHandView::slotZ(int side, int i)
{
    if (side == 1)
        return i;
    if (side == 3)
        return -i;
    return 0;
}

void HiddenHandView::setCount(int n)
{
    if (n < 0 || n > maxTiles || n == count())
        return;
    while (count() < n) {
        const int i = count();
        auto* item = new TileView(m_side, TileImages::Hidden);
        addChild(item);
        item->setPos(slotPosition(i));
        item->setZValue(slotZ(i));
        m_tiles.push_back(item);
    }
    while (count() > n) {
        TileView* item = m_tiles.back();
        m_tiles.pop_back();
        if (QGraphicsScene* s = item->scene())
            s->removeItem(item);
        delete item;
    }
    updateShadow();
}

void HiddenHandView::relayout()
{
    for (int i = 0; i < count(); ++i)
        m_tiles[std::size_t(i)]->setPos(slotPosition(i));
    updateShadow();
}

std::vector<TileGeometry> HiddenHandView::sourceGeometry(int n)
{
    std::vector<TileGeometry> out;
    for (int k = 0; k < n; ++k)
        out.push_back(TileGeometry{slotScenePosition(count() - k - 1), TileImages::Hidden, m_side});
    return out;
}

void HiddenHandView::takeTiles(int n)
{
    setCount(std::max(count() - n, 0));
}

std::vector<TileGeometry> HiddenHandView::targetGeometry(int n)
{
    std::vector<TileGeometry> out;
    for (int k = 0; k < n; ++k)
        out.push_back(TileGeometry{slotScenePosition(count() + k), TileImages::Hidden, m_side});
    return out;
}

void HiddenHandView::putTiles(int n)
{
    setCount(std::min(count() + n, int(maxTiles)));
}
