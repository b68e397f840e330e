// Shadows of tile groups: gathering the tiles' outlines through the item
// tree, projecting each away from the light, and keeping their union.

#include "ShadowedGroup.h"

#include "GameGraphicsScene.h"
#include "ShadowGeometry.h"

#include <QVariant>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Outline
{
    QPolygonF polygon;
    int depth;
};

/// The tiles' outlines below an item, in the group's coordinates. A tile's
/// own children are not visited: its outline stands for them.
void gather(const QGraphicsItem* item, const QTransform& toGroup, std::vector<Outline>& out)
{
    const QList<QGraphicsItem*> children = item->childItems();
    for (const QGraphicsItem* child : children) {
        if (!child->isVisible())
            continue;
        const QTransform t = child->itemTransform(item) * toGroup;
        const QVariant v = child->data(1);
        if (v.metaType() == QMetaType::fromType<ShadowGeometry>()) {
            const auto geometry = v.value<ShadowGeometry>();
            out.push_back({t.map(geometry.outline), geometry.depth});
            continue;
        }
        gather(child, t, out);
    }
}

/// The fuzzy inequality of two coordinates of the light.
bool differs(double a, double b)
{
    return std::abs(a - b) > 1e-12 * std::min(std::abs(a), std::abs(b));
}

} // namespace

ShadowedGroup::ShadowedGroup(QGraphicsItem* parent)
    : GraphicsNode(parent)
{
    ShadowGeometry::registerMetaType();
    // A turn or a scale of the group itself tells only an item that sends
    // its geometry changes.
    setFlags(ItemSendsScenePositionChanges | ItemSendsGeometryChanges);
}

ShadowedGroup::~ShadowedGroup()
{
    if (auto* s = dynamic_cast<GameGraphicsScene*>(scene()))
        s->invalidateShadows(m_shownBounds);
}

void ShadowedGroup::shadowMoved()
{
    auto* s = dynamic_cast<GameGraphicsScene*>(scene());
    const QRectF now = isVisible() && s ? sceneTransform().mapRect(m_shadowBounds) : QRectF();
    if (s) {
        if (!m_shownBounds.isEmpty())
            s->invalidateShadows(m_shownBounds);
        if (!now.isEmpty())
            s->invalidateShadows(now);
    }
    m_shownBounds = now;
}

QVariant ShadowedGroup::itemChange(GraphicsItemChange change, const QVariant& value)
{
    switch (change) {
    case ItemSceneChange:
        // Still in the old scene: it loses the shadow.
        if (auto* s = dynamic_cast<GameGraphicsScene*>(scene()); s && !m_shownBounds.isEmpty())
            s->invalidateShadows(m_shownBounds);
        m_shownBounds = QRectF();
        break;
    case ItemSceneHasChanged:
    case ItemScenePositionHasChanged:
    case ItemTransformHasChanged:
    case ItemRotationHasChanged:
    case ItemScaleHasChanged:
    case ItemTransformOriginPointHasChanged:
    case ItemVisibleHasChanged:
        shadowMoved();
        break;
    default:
        break;
    }
    return GraphicsNode::itemChange(change, value);
}

void ShadowedGroup::setLightPosition(const QPointF& scenePosition)
{
    if (!differs(scenePosition.x(), m_lightPosition.x()) && !differs(scenePosition.y(), m_lightPosition.y()))
        return;
    m_lightPosition = scenePosition;
    updateShadow();
}

void ShadowedGroup::updateShadow()
{
    std::vector<Outline> outlines;
    gather(this, QTransform(), outlines);
    const QPointF light = mapFromScene(m_lightPosition);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const Outline& o : outlines)
        path.addPath(shadowOf(o.polygon, o.depth, light));
    // A relayout that moved nothing keeps the scene's painted shadow.
    if (path == m_shadowPath && data(shadowPathKey).metaType() == QMetaType::fromType<QPainterPath>())
        return;
    prepareGeometryChange();
    m_shadowPath = path;
    m_shadowBounds = path.boundingRect();
    setData(shadowPathKey, QVariant::fromValue(path));
    shadowMoved();
    update();
}

QRectF ShadowedGroup::boundingRect() const
{
    return m_shadowBounds;
}

QPainterPath ShadowedGroup::shadowOf(const QPolygonF& outline, int depth, const QPointF& light)
{
    QPolygonF p = outline;
    if (p.size() > 1 && p.isClosed())
        p.removeLast();
    int distinct = 0;
    for (int i = 0; i < p.size() && distinct < 3; ++i) {
        bool seen = false;
        for (int j = 0; j < i && !seen; ++j)
            seen = p[j] == p[i];
        if (!seen)
            ++distinct;
    }
    if (distinct < 3)
        return QPainterPath();

    // The walk below expects the winding of the tiles' own outlines (left
    // edge downwards); a mirrored item turns it round, so turn it back.
    double twiceArea = 0;
    for (int i = 0; i < p.size(); ++i) {
        const QPointF& a = p[i];
        const QPointF& b = p[(i + 1) % p.size()];
        twiceArea += a.x() * b.y() - b.x() * a.y();
    }
    if (twiceArea > 0)
        std::reverse(p.begin(), p.end());

    // A point `depth` above the table throws its shadow under a light
    // lightHeight above it; a depth at or above the light would throw none.
    const double k = depth < lightHeight ? depth / (lightHeight - depth) : 0.0;
    const auto proj = [&](const QPointF& v) { return v + (v - light) * k; };
    const auto away = [&](const QPointF& a, const QPointF& b) {
        return (b.x() - a.x()) * (light.y() - a.y()) - (b.y() - a.y()) * (light.x() - a.x()) < 0;
    };

    const int n = int(p.size());
    QPolygonF emitted;
    emitted.reserve(2 * n);
    // Start at the last vertex, then go on from the first.
    for (int step = 0; step < n; ++step) {
        const int i = (n - 1 + step) % n;
        const QPointF& prev = p[(i + n - 1) % n];
        const QPointF& v = p[i];
        const QPointF& next = p[(i + 1) % n];
        const bool inAway = away(prev, v);
        const bool outAway = away(v, next);
        if (inAway) {
            emitted << proj(v);
            if (!outAway)
                emitted << v;
        } else {
            emitted << v;
            if (outAway)
                emitted << proj(v);
        }
    }
    QPainterPath path;
    path.moveTo(emitted.first());
    for (int i = 1; i < emitted.size(); ++i)
        path.lineTo(emitted[i]);
    path.closeSubpath();
    return path;
}
