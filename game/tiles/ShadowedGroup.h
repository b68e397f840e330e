#pragma once

#include "GraphicsNode.h"

#include <QPainterPath>

/// A group of tiles that casts one shadow: the shadow outlines of the tiles
/// below it (item data key 1) projected away from a point light, united into
/// one path kept in item data key 0 (group coordinates). The scene fills the
/// paths of all groups in one translucent pass below the items. The group's
/// bounding rectangle is its shadow's, so a redraw of the shadow's area
/// reaches it. The group tells a GameGraphicsScene where its shadow changed,
/// so the scene paints only those parts anew.
class ShadowedGroup : public GraphicsNode
{
public:
    /// The item data key that holds the shadow path.
    static constexpr int shadowPathKey = 0;
    /// The light's height above the table, in pixels.
    static constexpr double lightHeight = 150.0;

    explicit ShadowedGroup(QGraphicsItem* parent = nullptr);
    ~ShadowedGroup() override;

    /// The light's position on the table, in scene coordinates; the shadow is
    /// recomputed only when it moves by more than a fuzzy tolerance.
    void setLightPosition(const QPointF& scenePosition);
    QPointF lightPosition() const { return m_lightPosition; }
    /// Recomputes the shadow after tiles were added, removed, moved or changed.
    void updateShadow();
    /// The current shadow in the group's coordinates.
    QPainterPath shadowPath() const { return m_shadowPath; }

    QRectF boundingRect() const override;

    /// The shadow of one outline of height `depth` under a light at `light`
    /// (same coordinates): the outline stretched away from the light. Fewer
    /// than 3 distinct points give an empty path; depth 0 gives the outline.
    static QPainterPath shadowOf(const QPolygonF& outline, int depth, const QPointF& light);

protected:
    /// Tells the table's scene where the shadow was and is when the group
    /// moves, turns, shows, hides or changes scenes.
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    /// Tells the scene that the shadow left its last place and lies where it is now.
    void shadowMoved();

    QPointF m_lightPosition;
    QRectF m_shownBounds;
    QRectF m_shadowBounds;
    QPainterPath m_shadowPath;
};
