#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

/// Lets a frame over the table be dragged by its title: a left press on the
/// title starts the drag and raises the frame; the frame then follows the
/// cursor for as long as the cursor stays over the frame's parent; any
/// release ends the drag. The frame forwards its mouse events here.
class TitleBarDrag
{
public:
    /// Starts a drag when `event` is a left press inside `title`'s geometry
    /// (in `frame`'s coordinates).
    void press(QWidget* frame, const QWidget* title, const QMouseEvent* event);
    /// Moves `frame` with the cursor while a drag runs.
    void move(QWidget* frame, const QMouseEvent* event) const;
    void release() { m_dragging = false; }
    bool isDragging() const { return m_dragging; }

private:
    bool m_dragging = false;
    QPoint m_pressPoint;
};
