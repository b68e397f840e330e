#pragma once

#include <QGraphicsItem>

/// A plain container node of the table's item tree: draws nothing and has no
/// extent of its own.
class GraphicsNode : public QGraphicsItem
{
public:
    explicit GraphicsNode(QGraphicsItem* parent = nullptr);

    /// Makes the item a child of this node.
    void addChild(QGraphicsItem* item);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
};
