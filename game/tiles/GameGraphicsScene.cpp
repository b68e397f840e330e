#include "GameGraphicsScene.h"

#include "ShadowedGroup.h"

#include <QPainter>

GameGraphicsScene::GameGraphicsScene(QObject* parent)
    : QGraphicsScene(parent)
{
}

QPainterPath GameGraphicsScene::shadowsIn(const QRectF& rect) const
{
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    const QList<QGraphicsItem*> found = items(rect, Qt::IntersectsItemBoundingRect);
    for (const QGraphicsItem* item : found) {
        if (!item->isVisible())
            continue;
        const QVariant v = item->data(ShadowedGroup::shadowPathKey);
        if (v.metaType() != QMetaType::fromType<QPainterPath>())
            continue;
        all.addPath(item->sceneTransform().map(v.value<QPainterPath>()));
    }
    return all;
}

void GameGraphicsScene::drawBackground(QPainter* painter, const QRectF& rect)
{
    QGraphicsScene::drawBackground(painter, rect);
    // Items are drawn after the background, so every shadow lies below every
    // tile; one fill of the united path keeps overlaps at one darkness.
    const QPainterPath shadows = shadowsIn(rect);
    if (shadows.isEmpty())
        return;
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, shadowAlpha));
    painter->drawPath(shadows);
    painter->restore();
}
