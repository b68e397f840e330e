#include "DeclaredView.h"

#include "MeldLayout.h"
#include "MeldView.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TileView.h"

#include <QGraphicsScene>

#include <algorithm>
#include <cmath>

namespace {

constexpr int bonusKind = 64;

QSize declaredSizeOf(const TilePainter* painter, int orientation)
{
    const TileImages* images = painter != nullptr ? painter->tileImages() : nullptr;
    if (images == nullptr)
        return QSize(0, 0);
    const TileSize3D size = images->size3D(orientation, TileImages::Declared);
    return QSize(std::max(size.width, 0), std::max(size.height, 0));
}

/// The extent across a row of melds, from the base set: room for an upright
/// tile or two sideways tiles stacked.
int baseCrossExtent(int orientation)
{
    return (orientation == 1 || orientation == 3) ? MeldView::sideExtent(orientation) : MeldView::rowExtent(orientation);
}

double scaleOf(const TilePainter* painter)
{
    const TileImages* images = painter != nullptr ? painter->tileImages() : nullptr;
    return images != nullptr ? images->scale() : 1.0;
}

} // namespace

DeclaredView::DeclaredView(int orientation, double maxLength)
    : m_painter(TileGraphics::instance().gamePainter())
    , m_orientation(orientation)
    , m_maxLength(maxLength)
{
}

DeclaredView::~DeclaredView()
{
    clear();
}

void DeclaredView::removeAt(std::size_t index)
{
    MeldView* view = m_melds[index];
    m_melds.erase(m_melds.begin() + std::ptrdiff_t(index));
    if (QGraphicsScene* s = view->scene()) {
        s->update(view->sceneBoundingRect() | view->mapRectToScene(view->childrenBoundingRect()));
        s->removeItem(view);
    }
    delete view;
}

void DeclaredView::clear()
{
    while (!m_melds.empty())
        removeAt(m_melds.size() - 1);
    m_cursors.clear();
    updateShadow();
}

void DeclaredView::setPainter(TilePainter* painter)
{
    m_painter = painter;
    for (MeldView* view : m_melds)
        view->setPainter(painter);
    layoutMelds();
}

void DeclaredView::setMaxLength(double maxLength)
{
    m_maxLength = maxLength;
    layoutMelds();
}

void DeclaredView::relayout()
{
    for (MeldView* view : m_melds)
        view->relayout();
    layoutMelds();
}

std::size_t DeclaredView::firstBonusIndex() const
{
    const auto it = std::find_if(m_melds.begin(), m_melds.end(), [](const MeldView* v) { return v->kind() == bonusKind; });
    return std::size_t(it - m_melds.begin());
}

void DeclaredView::insertMeld(std::size_t index, MeldView* view)
{
    view->setPainter(m_painter);
    addChild(view);
    m_melds.insert(m_melds.begin() + std::ptrdiff_t(std::min(index, m_melds.size())), view);
}

void DeclaredView::declareMeld(const meld_tuple& m, ClaimedFrom claimedFrom)
{
    const int type = int(m.type);
    if (type == bonusKind) {
        addBonusTile(m.meld_tile);
        return;
    }
    if (type != 1 && type != 2 && type != 4 && type != 8 && type != 32)
        return;

    int position = MeldLayout::claimedPosition(claimedFrom);
    int offset = -1;
    if (type == 1 && position >= 0) {
        // The record's extra tile is the claimed tile's offset in the chow,
        // not a tile code.
        offset = int(m.extra_tile.code());
        if (offset > 2)
            position = offset = -1;
    }
    int hidden = int(m.visibility);
    std::size_t index = firstBonusIndex();

    if (type == 4) {
        // The pong it extends gives its place and the way it was claimed.
        for (std::size_t i = 0; i < index; ++i) {
            MeldView* pong = m_melds[i];
            if (pong->kind() == 2 && !pong->tiles().empty() && pong->tiles().front() == m.meld_tile) {
                position = pong->claimedPosition();
                offset = pong->claimedOffset();
                hidden = pong->hiddenLevel();
                removeAt(i);
                index = i;
                break;
            }
        }
    }
    insertMeld(index, new MeldView(m_orientation, type, m.meld_tile, position, offset, hidden));
    layoutMelds(index);
}

void DeclaredView::addBonusTile(tile t)
{
    for (std::size_t i = firstBonusIndex(); i < m_melds.size(); ++i) {
        MeldView* group = m_melds[i];
        if (group->kind() == bonusKind && !group->items().empty()
            && group->items().front()->tileCode().suit() == t.suit()) {
            group->insertTile(t);
            layoutMelds(i);
            return;
        }
    }
    insertMeld(m_melds.size(), new MeldView(m_orientation, bonusKind, tile_vector{t}));
    layoutMelds(m_melds.size() - 1);
}

void DeclaredView::addMelds(const std::vector<HighlightedTiles>& groups)
{
    const std::size_t first = firstBonusIndex();
    std::size_t index = first;
    for (const HighlightedTiles& group : groups) {
        auto* view = new MeldView(m_orientation, 16, group.tiles);
        if (group.index >= 1 && std::size_t(group.index) <= group.tiles.size())
            view->highlightTile(group.tiles[std::size_t(group.index - 1)]);
        insertMeld(index++, view);
    }
    if (!groups.empty())
        layoutMelds(first);
}

void DeclaredView::updateToolTips()
{
    for (MeldView* view : m_melds)
        view->updateToolTips();
}

QSize DeclaredView::declaredSize() const
{
    return declaredSizeOf(m_painter, m_orientation);
}

void DeclaredView::layoutMelds(std::size_t from)
{
    const QSize s = declaredSize();
    const int ws = s.width(), hs = s.height();
    const int o = m_orientation;
    double x = 0, y = 0, rowExtent = 0;
    // The melds before `from` stay where they are: their row goes on from
    // where the last of them left it.
    if (from > 0 && from <= m_cursors.size()) {
        x = m_cursors[from - 1].x;
        y = m_cursors[from - 1].y;
        rowExtent = m_cursors[from - 1].rowExtent;
    } else {
        from = 0;
        if (!m_melds.empty()) {
            const QRect first = m_melds.front()->rect();
            if (o == 2)
                y = -first.height();
            else if (o == 3)
                x = -first.width();
        }
    }
    m_cursors.resize(from);
    for (std::size_t i = from; i < m_melds.size(); ++i) {
        MeldView* view = m_melds[i];
        const QRect r = view->rect();
        if (o == 0 || o == 2) {
            if (std::abs(int(x)) + r.width() > m_maxLength) {
                x = 0;
                y += rowExtent;
                rowExtent = 0;
            }
        } else if (std::abs(int(y)) + r.height() > m_maxLength) {
            y = 0;
            x += rowExtent;
            rowExtent = 0;
        }
        switch (o) {
        case 0:
            x -= r.x();
            break;
        case 1:
            y -= r.height() + r.y();
            break;
        case 2:
            x -= r.width() + r.x();
            break;
        case 3:
            y -= r.y();
            break;
        default:
            break;
        }
        view->setPos(x, y);
        view->setZValue(y);
        switch (o) {
        case 0:
            x += r.x() + r.width() + ws / 2;
            rowExtent = std::max(rowExtent, double(r.height() + ws / 2));
            break;
        case 1:
            y += r.y() - hs / 2;
            rowExtent = std::max(rowExtent, double(r.width() + hs / 2));
            break;
        case 2:
            x += r.x() - ws / 2;
            rowExtent = std::min(rowExtent, double(-(r.height() + ws / 2)));
            break;
        case 3:
            y += r.y() + r.height() + ws / 2;
            rowExtent = std::min(rowExtent, double(-(r.width() + hs / 2)));
            break;
        default:
            break;
        }
        m_cursors.push_back({x, y, rowExtent});
    }
    updateShadow();
}

int DeclaredView::crossExtent() const
{
    return int(baseCrossExtent(m_orientation) * scaleOf(m_painter));
}

std::vector<TileGeometry> DeclaredView::geometryFor(int count)
{
    const QSize s = declaredSize();
    const int ws = s.width(), hs = s.height();
    const int o = m_orientation;
    const int a = (o == 0 || o == 2) ? crossExtent() : 0;
    const int b = (o == 1 || o == 3) ? crossExtent() : 0;
    // The melds' extent, stretched to reach the view's origin.
    const QRectF c = childrenBoundingRect();
    QRectF R(0, 0, 0, 0);
    if (!c.isNull()) {
        R.setCoords(std::min(c.left(), 0.0), std::min(c.top(), 0.0), std::max(c.right(), 0.0),
                    std::max(c.bottom(), 0.0));
    }
    if (R.width() * R.height() == 0) {
        if (o == 2)
            R.setTop(-a);
        else if (o == 3)
            R.setLeft(-b);
    }
    const QPointF p = scenePos() + R.topLeft();
    QPointF next;
    QPointF step;
    switch (o) {
    case 0:
        next = QPointF(p.x() + R.width() + ws / 2, p.y() + a - hs);
        step = QPointF(ws, 0);
        break;
    case 1:
        next = QPointF(p.x() + b - ws, p.y() - hs - hs / 2);
        step = QPointF(0, -hs);
        break;
    case 2:
        next = QPointF(p.x() - ws - ws / 2, p.y());
        step = QPointF(-ws, 0);
        break;
    default:
        next = QPointF(p.x(), p.y() + R.height() + hs / 2);
        step = QPointF(0, hs);
        break;
    }
    std::vector<TileGeometry> out;
    for (int i = 0; i < std::max(count, 0); ++i)
        out.push_back(TileGeometry{next + step * i, TileImages::Declared, o});
    return out;
}

void DeclaredView::transfer(int)
{
}

int DeclaredView::reservedWidth(int orientation)
{
    if (orientation != 1 && orientation != 3)
        return 0;
    return declaredSizeOf(TileGraphics::instance().basePainter(), orientation).height() / 2
        + 2 * baseCrossExtent(orientation);
}

int DeclaredView::reservedHeight(int orientation)
{
    if (orientation != 0 && orientation != 2)
        return 0;
    return declaredSizeOf(TileGraphics::instance().basePainter(), orientation).width() / 2
        + 2 * baseCrossExtent(orientation);
}
