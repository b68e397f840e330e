#include "MeldView.h"

#include "MeldLayout.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileView.h"

#include <algorithm>

namespace {

/// The (width, height) of a kind on a side in the painter's set; 0 without one.
QSize footprint(const TilePainter* painter, int side, int kind)
{
    const TileImages* images = painter != nullptr ? painter->tileImages() : nullptr;
    if (images == nullptr)
        return QSize(0, 0);
    const TileSize3D size = images->size3D(side, kind);
    return QSize(std::max(size.width, 0), std::max(size.height, 0));
}

} // namespace

MeldView::MeldView(int side, int type, tile t, int claimedPosition, int claimedOffset, int hiddenLevel)
    : m_painter(TileGraphics::instance().gamePainter())
    , m_side(side)
    , meldType(type)
    , m_hiddenLevel(hiddenLevel)
    , m_claimedPosition(claimedPosition)
    , m_claimedOffset(claimedOffset)
{
    // Computed first: an unhandled type throws before any item exists.
    const auto row = MeldLayout::slots(type, t, claimedPosition, claimedOffset, hiddenLevel);
    for (const auto& slot : row)
        addTile(slot.code, slot.kind);
    relayout();
}

MeldView::MeldView(int side, int type, const tile_vector& tiles)
    : m_painter(TileGraphics::instance().gamePainter())
    , m_side(side)
    , meldType(type)
{
    for (tile t : tiles)
        addTile(t, t.isConcealed() ? TileImages::Back : TileImages::Declared);
    relayout();
}

MeldView::~MeldView() = default;

void MeldView::addTile(tile t, int kind)
{
    auto* item = new TileView(m_side, kind, t);
    if (m_painter != nullptr)
        item->setPainter(m_painter);
    addChild(item);
    const int index = int(m_items.size());
    item->setZValue(m_side == 1 ? -index : index);
    m_items.push_back(item);
}

void MeldView::setPainter(TilePainter* painter)
{
    m_painter = painter;
    for (TileView* item : m_items)
        item->setPainter(painter);
    relayout();
}

void MeldView::relayout()
{
    prepareGeometryChange();
    std::vector<QSize> sizes;
    sizes.reserve(m_items.size());
    for (const TileView* item : m_items)
        sizes.push_back(footprint(m_painter, m_side, item->tileType()));
    const QPoint start = MeldLayout::cursorStart(m_side, footprint(m_painter, m_side, TileImages::Declared),
                                                 footprint(m_painter, m_side, TileImages::Turned));
    // Only an extended pong stacks its two sideways tiles.
    const int stackedAt = meldType == 4 ? m_claimedPosition : -1;
    const auto placed = MeldLayout::layout(m_side, start, sizes, stackedAt);
    for (std::size_t i = 0; i < m_items.size(); ++i)
        m_items[i]->setPos(placed.positions[i]);
    cursor = placed.cursor;
}

void MeldView::insertTile(tile t)
{
    const auto after = std::find_if(m_items.begin(), m_items.end(),
                                    [t](const TileView* item) { return item->tileCode().code() > t.code(); });
    const std::size_t index = std::size_t(after - m_items.begin());
    addTile(t, t.isConcealed() ? TileImages::Back : TileImages::Declared);
    std::rotate(m_items.begin() + std::ptrdiff_t(index), m_items.end() - 1, m_items.end());
    for (std::size_t i = index; i < m_items.size(); ++i)
        m_items[i]->setZValue(m_side == 1 ? -double(i) : double(i));
    relayout();
}

void MeldView::highlightTile(tile t)
{
    for (TileView* item : m_items) {
        if (item->tileCode() == t && !item->isHighlighted()) {
            item->setHighlighted(true);
            return;
        }
    }
}

void MeldView::setTurnedTile(tile t)
{
    for (TileView* item : m_items) {
        if (item->tileCode() == t && item->tileType() != TileImages::Turned) {
            item->setType(TileImages::Turned);
            relayout();
            return;
        }
    }
}

void MeldView::updateToolTips()
{
    for (TileView* item : m_items)
        item->updateToolTip();
}

tile_vector MeldView::tiles() const
{
    tile_vector codes;
    codes.reserve(m_items.size());
    for (const TileView* item : m_items)
        codes.push_back(item->tileCode());
    return codes;
}

QRect MeldView::rect() const
{
    return MeldLayout::extent(m_side, cursor);
}

int MeldView::sideExtent(int side)
{
    if (side != 1 && side != 3)
        return 0;
    const TilePainter* base = TileGraphics::instance().basePainter();
    return std::max(footprint(base, side, TileImages::Declared).width(),
                    2 * footprint(base, side, TileImages::Turned).width());
}

int MeldView::rowExtent(int side)
{
    if (side != 0 && side != 2)
        return 0;
    const TilePainter* base = TileGraphics::instance().basePainter();
    return std::max(footprint(base, side, TileImages::Declared).height(),
                    2 * footprint(base, side, TileImages::Turned).height());
}
