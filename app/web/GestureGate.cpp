#include "GestureGate.h"

#include <QChildEvent>
#include <QDebug>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

GestureGate::GestureGate(QWidget* view_)
    : QObject(view_)
    , view(view_)
{
    clock.start();
    watch(view);
}

void GestureGate::watch(QObject* object)
{
    if (!object->isWidgetType())
        return;
    // The engine draws and takes input in a widget of its own inside the
    // view, made (and remade) after the view: new children are watched too.
    object->installEventFilter(this);
    for (QObject* child : object->children())
        watch(child);
}

bool GestureGate::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        watch(static_cast<QChildEvent*>(event)->child());
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
        gesture();
        break;
    case QEvent::KeyPress:
        // A held key repeats by itself: only its first press is the player's.
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            gesture();
        break;
    default:
        break;
    }
    return false;
}

void GestureGate::gesture()
{
    unusedGesture = clock.elapsed();
}

bool GestureGate::take()
{
    if (unusedGesture && clock.elapsed() - *unusedGesture > gestureLifetimeMs)
        unusedGesture.reset();
    const bool shown = view->isVisible() && !view->window()->isMinimized();
    if (shown && unusedGesture) {
        unusedGesture.reset();
        refusing = false;
        return true;
    }
    if (!std::exchange(refusing, true))
        qDebug() << "ignoring what a page asked for without the player's click or key press";
    return false;
}
