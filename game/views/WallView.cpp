#include "WallView.h"

#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileView.h"
#include "WallLayout.h"

#include <algorithm>

namespace {

TileSize3D sizeOf(const TilePainter* painter, int side, int kind)
{
    const TileImages* images = painter != nullptr ? painter->tileImages() : nullptr;
    if (images == nullptr)
        return TileSize3D(0, 0, 0);
    const TileSize3D s = images->size3D(side, kind);
    return TileSize3D(std::max(s.width, 0), std::max(s.height, 0), std::max(s.depth, 0));
}

const TilePainter* game()
{
    return TileGraphics::instance().gamePainter();
}

} // namespace

WallView::WallView(int side, int stackCount)
    : m_side(side)
{
    setZValue(side == 0 ? 50 : side == 2 ? -50 : 0);
    for (int i = 0; i < std::max(stackCount, 0); ++i) {
        auto* stack = new TileView(side, WallLayout::Empty);
        addChild(stack);
        m_stacks.push_back(stack);
        place(i);
    }
    updateShadow();
}

WallView::~WallView() = default;

int WallView::maxLift()
{
    return sizeOf(game(), 1, WallLayout::Three).depth;
}

QPointF WallView::stackPosition(int i) const
{
    const int kind = m_stacks[std::size_t(i)]->tileType();
    const int d5 = sizeOf(game(), 1, WallLayout::One).depth;
    const int d6 = sizeOf(game(), 1, WallLayout::Two).depth;
    const int d7 = sizeOf(game(), 1, WallLayout::Three).depth;
    int lift = 0;
    if (kind == WallLayout::One)
        lift = d7 - d5;
    else if (kind == WallLayout::Two || kind == WallLayout::Shown)
        lift = d7 - d6;
    const int W = sizeOf(game(), 0, WallLayout::One).width;
    const int Hs = sizeOf(game(), 1, WallLayout::One).height;
    const int n = stackCount();
    switch (m_side) {
    case 0:
        return QPointF(W * i, lift);
    case 1:
        return QPointF(0, (n - 1 - i) * Hs + lift);
    case 2:
        return QPointF((n - 1 - i) * W, lift);
    case 3:
        return QPointF(0, Hs * i + lift);
    default:
        return QPointF(0, 0);
    }
}

double WallView::stackZ(int i) const
{
    switch (m_side) {
    case 0:
        return 50;
    case 1:
        return -i;
    case 2:
        return -50;
    case 3:
        return i;
    default:
        return 0;
    }
}

void WallView::place(int i)
{
    TileView* stack = m_stacks[std::size_t(i)];
    stack->setPos(stackPosition(i));
    stack->setZValue(stackZ(i));
}

void WallView::update(int firstStack, const std::vector<int>& kinds, const std::map<int, tile>& shown)
{
    const int total = int(kinds.size());
    for (int i = 0; i < stackCount(); ++i) {
        const int global = firstStack + i;
        TileView* stack = m_stacks[std::size_t(i)];
        const auto it = shown.find(global);
        if (it != shown.end()) {
            stack->setTile(it->second);
            stack->setType(WallLayout::Shown);
        } else {
            // A wall of another size than expected leaves the extra stacks empty.
            stack->setType(global >= 0 && global < total ? kinds[std::size_t(global)] : int(WallLayout::Empty));
        }
        place(i);
    }
    updateShadow();
}

void WallView::relayout()
{
    for (int i = 0; i < stackCount(); ++i)
        place(i);
    updateShadow();
}

int WallView::widthWith(const TilePainter* painter) const
{
    if (m_side == 0 || m_side == 2)
        return stackCount() * sizeOf(painter, 0, WallLayout::One).width;
    if (m_side == 1 || m_side == 3)
        return sizeOf(painter, 1, WallLayout::One).width;
    return 0;
}

int WallView::heightWith(const TilePainter* painter) const
{
    if (m_side == 0 || m_side == 2)
        return sizeOf(painter, 0, WallLayout::One).height;
    if (m_side == 1 || m_side == 3)
        return stackCount() * sizeOf(painter, 1, WallLayout::One).height;
    return 0;
}

int WallView::width() const
{
    return widthWith(game());
}

int WallView::height() const
{
    return heightWith(game());
}

int WallView::baseWidth() const
{
    return widthWith(TileGraphics::instance().basePainter());
}

int WallView::baseHeight() const
{
    return heightWith(TileGraphics::instance().basePainter());
}
