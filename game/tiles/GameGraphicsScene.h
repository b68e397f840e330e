#pragma once

#include <QBrush>
#include <QGraphicsScene>
#include <QImage>
#include <QRegion>

/// The table's scene: paints the shadows of every shadowed group in the
/// exposed area as one translucent fill over the background and below all
/// items, so overlapping shadows never darken each other.
///
/// The cloth and the shadows are kept as one picture and only the parts
/// where a shadow changed are painted again; a paint of the table copies the
/// picture. Painters that scale, rotate, sit between device pixels or do not
/// paint into a raster image get the cloth and the fill drawn directly.
///
/// Every paint starts with the background, where the scene first hands its
/// items' pending changes to the views (a view of it must not cache its
/// background): so a paint of any kind, a grab included, never leaves a
/// moved or removed item's old picture on the screen.
class GameGraphicsScene : public QGraphicsScene
{
    Q_OBJECT

public:
    /// The shadow colour: black at alpha 48.
    static constexpr int shadowAlpha = 48;

    explicit GameGraphicsScene(QObject* parent = nullptr);
    ~GameGraphicsScene() override;

    /// The union of the shadow paths of the visible groups whose shadow meets
    /// the rectangle, in scene coordinates.
    QPainterPath shadowsIn(const QRectF& rect) const;

    /// Shadows in this area of the scene changed (a group's path, position
    /// or visibility); the next paint draws them anew there. Shadowed groups
    /// call it themselves; whoever writes a shadow path into item data
    /// directly calls it without an area, for the whole scene.
    void invalidateShadows(const QRectF& sceneRect = QRectF());

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;

private:
    /// Lets the views learn of the items' pending changes before they paint.
    void handChangesToViews();
    void drawDirectly(QPainter* painter, const QRectF& rect);
    bool layerFits(QPainter* painter, const QRectF& rect) const;
    void paintLayer(const QRegion& area);

    QImage m_layer;
    QRect m_layerRect;
    QBrush m_layerBrush;
    bool m_layerAntialiased = false;
    QRegion m_dirty;
};
