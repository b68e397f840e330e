#include "TableWall.h"

#include "RulesetInfo.h"
#include "TileImages.h"
#include "TileView.h"
#include "WallView.h"

#include <TableInfo.h>

#include <QGraphicsScene>

#include <cmath>

WallTileAnimationSource::WallTileAnimationSource(TableWall* wall, bool dead)
    : wall(wall)
    , dead(dead)
{
}

std::vector<TileGeometry> WallTileAnimationSource::geometryFor(int count)
{
    const TileGeometry one{dead ? wall->deadEndPos() : wall->liveEndPos(), TileImages::WallSingle,
                           dead ? wall->deadEndSide() : wall->liveEndSide()};
    return std::vector<TileGeometry>(std::size_t(std::max(count, 0)), one);
}

void WallTileAnimationSource::transfer(int count)
{
    for (int i = 0; i < count; ++i)
        wall->takeTile(dead);
}

TableWall::TableWall(QGraphicsScene* scene)
    : m_scene(scene)
    , m_inScene(scene != nullptr)
    , m_liveSource(std::make_unique<WallTileAnimationSource>(this, false))
    , m_deadSource(std::make_unique<WallTileAnimationSource>(this, true))
{
    makeViews();
    setPos(QPoint(0, 0));
}

TableWall::~TableWall()
{
    if (m_inScene && m_scene.isNull())
        return;
    for (WallView* v : m_views)
        delete v;
}

void TableWall::makeViews()
{
    const bool sceneGone = m_inScene && m_scene.isNull();
    for (int side = 0; side < 4; ++side) {
        if (!sceneGone)
            delete m_views[std::size_t(side)];
        auto* view = new WallView(side, m_stacksPerSide);
        if (m_scene != nullptr)
            m_scene->addItem(view);
        m_views[std::size_t(side)] = view;
    }
}

void TableWall::setRuleset(const TableInfo& table)
{
    m_ruleset = table.ruleset;
    int stacks = m_stacksPerSide;
    if (isKnownRuleset(table.ruleset))
        stacks = (deadWallSize(table) + liveWallSize(table)) / 8;
    const int mode = WallLayout::fillModeForRuleset(table.ruleset);
    const bool sizeChanged = stacks != m_stacksPerSide;
    const bool modeChanged = mode != m_fillMode;
    m_fillMode = mode;
    if (sizeChanged) {
        m_stacksPerSide = stacks;
        m_compact = stacks < 18;
        makeViews();
    }
    if (sizeChanged || modeChanged) {
        apply();
        setPos(m_origin);
    }
}

void TableWall::setWall(int rotation, int liveTiles, int deadWallTiles, int deadWallPos, int deadWallDealt,
                        const tile_vector& doraTiles)
{
    m_rotation = rotation;
    m_state = WallLayout::State{liveTiles, deadWallTiles, deadWallPos, deadWallDealt, doraTiles};
    apply();
}

void TableWall::takeTile(bool dead)
{
    if (isKnownRuleset(m_ruleset))
        takeFromWall(m_ruleset, 1, dead, m_state.liveTiles, m_state.deadWallTiles, m_state.deadWallDealt);
    else
        m_state.liveTiles = std::max(m_state.liveTiles - 1, 0);
    apply();
}

void TableWall::addDoraTile(tile t)
{
    m_state.doraTiles.push_back(t);
    apply();
}

void TableWall::relayout()
{
    for (WallView* v : m_views)
        v->relayout();
    apply();
}

double TableWall::endZ(int side, int globalStack) const
{
    const WallView* v = m_views[std::size_t(side)];
    double z = v->zValue() + (m_state.liveTiles % 2 == 0 ? 0.5 : 0.0);
    const int n = v->stackCount();
    if (n > 0) {
        const double first = v->stackZ(0), last = v->stackZ(n - 1);
        if (std::abs(first - last) >= 1e-6) {
            const double lo = std::min(first, last), hi = std::max(first, last);
            z += 0.5 * (v->stackZ(globalStack % m_stacksPerSide) - lo) / (hi - lo);
        }
    }
    return z;
}

void TableWall::apply()
{
    const WallLayout::Fill fill = WallLayout::fill(m_fillMode, m_stacksPerSide, m_state);
    const std::map<int, tile> none;
    for (int side = 0; side < 4; ++side)
        m_views[std::size_t(side)]->update(WallLayout::firstStackOf(side, m_stacksPerSide, m_rotation), fill.kinds,
                                           m_fillMode == 0 ? fill.shown : none);
    const WallLayout::End live = WallLayout::endOf(fill.liveEnd, m_stacksPerSide, m_rotation);
    const WallLayout::End dead = WallLayout::endOf(fill.deadEnd, m_stacksPerSide, m_rotation);
    m_liveEndSide = live.side;
    m_deadEndSide = dead.side;
    const WallView* lv = m_views[std::size_t(live.side)];
    const WallView* dv = m_views[std::size_t(dead.side)];
    m_liveEndPos = lv->scenePos() + lv->stackPosition(live.stack);
    m_deadEndPos = dv->scenePos() + dv->stackPosition(dead.stack);
    m_liveEndZ = endZ(live.side, fill.liveEnd);
    m_deadEndZ = endZ(dead.side, fill.deadEnd);
}

void TableWall::setPos(QPoint origin)
{
    m_origin = origin;
    const int x = origin.x(), y = origin.y();
    WallView* v0 = m_views[0];
    WallView* v1 = m_views[1];
    WallView* v2 = m_views[2];
    WallView* v3 = m_views[3];
    if (!m_compact) {
        v3->setPos(x, y);
        v2->setPos(x + v3->width(), y);
        v1->setPos(x + v2->width(), y + v2->height());
        v0->setPos(x, y + v3->height());
    } else {
        const int tw = v0->width() + 2 * v1->width();
        const int th = v1->height() + 2 * v0->height();
        v3->setPos(x, y + (th - v3->height()) / 2);
        v2->setPos(x + (tw - v2->width()) / 2, y);
        v1->setPos(x + tw - v1->width(), y + (th - v1->height()) / 2);
        v0->setPos(x + (tw - v2->width()) / 2, y + th - v0->height());
    }
    apply();
}

void TableWall::setLightPosition(const QPointF& scenePosition)
{
    for (WallView* v : m_views)
        v->setLightPosition(scenePosition);
}

int TableWall::width() const
{
    return m_compact ? m_views[0]->width() + 2 * m_views[1]->width() : m_views[0]->width() + m_views[1]->width();
}

int TableWall::height() const
{
    return m_compact ? m_views[1]->height() + 2 * m_views[0]->height() : m_views[0]->height() + m_views[1]->height();
}

QRectF TableWall::boundingRect() const
{
    return QRectF(0, 0, width(), height() + WallView::maxLift());
}

QRectF TableWall::innerRect() const
{
    const int lift = WallView::maxLift();
    return QRectF(m_views[1]->width(), lift + m_views[0]->height(), width() - 2 * m_views[1]->width(),
                  height() - 2 * m_views[0]->height() - lift);
}

QSize TableWall::baseSize() const
{
    const int w0 = m_views[0]->baseWidth(), w1 = m_views[1]->baseWidth();
    const int h0 = m_views[0]->baseHeight(), h1 = m_views[1]->baseHeight();
    return m_compact ? QSize(w0 + 2 * w1, h1 + 2 * h0) : QSize(w0 + w1, h0 + h1);
}

TileAnimationSource* TableWall::source(bool dead)
{
    return dead ? m_deadSource.get() : m_liveSource.get();
}
