#include "GestureGate.h"

#include <QChildEvent>
#include <QDebug>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

GestureGate::GestureGate(QWidget* view_, std::function<quint64()> document_)
    : QObject(view_)
    , view(view_)
    , document(std::move(document_))
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
        gesture(false);
        break;
    case QEvent::KeyPress:
        // A held key repeats by itself: only its first press is the player's.
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            gesture(true);
        break;
    default:
        break;
    }
    return false;
}

void GestureGate::gesture(bool key)
{
    // The keys typed between two clicks are one action: the last of them
    // keeps the one key gesture not yet used, and once it is used, keys
    // give none until the player clicks again.
    if (key && keysUsed)
        return;
    if (key)
        unusedGestures.removeIf([](const Gesture& g) { return g.key; });
    else
        keysUsed = false;
    if (unusedGestures.size() == maxUnused)
        unusedGestures.removeFirst();
    unusedGestures.append({clock.elapsed(), key, document()});
}

bool GestureGate::take()
{
    // A gesture given to another document is no gesture of the one shown.
    const quint64 shownDocument = document();
    unusedGestures.removeIf([this, shownDocument](const Gesture& g) {
        return clock.elapsed() - g.at > gestureLifetimeMs || g.document != shownDocument;
    });
    const bool shown = view->isVisible() && !view->window()->isMinimized();
    if (shown && !unusedGestures.isEmpty()) {
        if (unusedGestures.takeFirst().key)
            keysUsed = true;
        refusing = false;
        return true;
    }
    if (!std::exchange(refusing, true))
        qDebug() << "ignoring what a page asked for without the player's click or key press";
    return false;
}
