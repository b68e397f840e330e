#pragma once

#include "GraphicsNode.h"

#include <QList>
#include <QTransform>

class QGraphicsSvgItem;

/// The riichi sticks a player has put on the table: a stack of stick
/// pictures turned with the seat. Stick items are made on demand and reused.
class RiichiStickView : public GraphicsNode
{
public:
    explicit RiichiStickView(int orientation);

    void setScale(double scale);
    double scale() const { return m_scale; }
    /// More sticks than a table ever holds; a larger count from the server
    /// shows this many instead of making millions of items.
    static constexpr int maxCount = 100;

    /// Shows the first n sticks (0 to maxCount) and hides the rest (kept for
    /// later).
    void setCount(int n);
    int count() const { return m_count; }
    /// The stick items made so far, in creation order.
    const QList<QGraphicsSvgItem*>& stickItems() const { return m_sticks; }

private:
    void layout();

    QTransform m_orientationTransform;
    double m_scale = 1.0;
    QList<QGraphicsSvgItem*> m_sticks;
    int m_count = 0;
};
