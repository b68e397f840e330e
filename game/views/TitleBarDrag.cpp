#include "TitleBarDrag.h"

#include <QMouseEvent>
#include <QWidget>

void TitleBarDrag::press(QWidget* frame, const QWidget* title, const QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && title->geometry().contains(pos)) {
        m_pressPoint = pos;
        m_dragging = true;
        frame->raise();
    }
}

void TitleBarDrag::move(QWidget* frame, const QMouseEvent* event) const
{
    if (!m_dragging)
        return;
    const QPoint global = event->globalPosition().toPoint();
    QWidget* parent = frame->parentWidget();
    const QPoint p = parent != nullptr ? parent->mapFromGlobal(global) : global;
    // The pointer cannot carry the frame out of the table window.
    if (parent == nullptr || parent->rect().contains(p))
        frame->move(p - m_pressPoint);
}
