#pragma once

#include <QGraphicsScene>

/// The table's scene: paints the shadows of every shadowed group in the
/// exposed area as one translucent fill over the background and below all
/// items, so overlapping shadows never darken each other.
class GameGraphicsScene : public QGraphicsScene
{
    Q_OBJECT

public:
    /// The shadow colour: black at alpha 48.
    static constexpr int shadowAlpha = 48;

    explicit GameGraphicsScene(QObject* parent = nullptr);

    /// The union of the shadow paths of the visible groups whose shadow meets
    /// the rectangle, in scene coordinates.
    QPainterPath shadowsIn(const QRectF& rect) const;

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
};
