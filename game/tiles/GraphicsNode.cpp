#include "GraphicsNode.h"

GraphicsNode::GraphicsNode(QGraphicsItem* parent)
    : QGraphicsItem(parent)
{
}

void GraphicsNode::addChild(QGraphicsItem* item)
{
    if (item)
        item->setParentItem(this);
}

QRectF GraphicsNode::boundingRect() const
{
    return QRectF();
}

void GraphicsNode::paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*)
{
}
