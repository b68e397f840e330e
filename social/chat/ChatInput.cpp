#include "ChatInput.h"

#include <QKeyEvent>

ChatInput::ChatInput(QWidget* parent)
    : QLineEdit(parent)
{
}

void ChatInput::keyPressEvent(QKeyEvent* event)
{
#ifndef Q_OS_MACOS
    const Qt::KeyboardModifiers mods = event->modifiers();
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !event->text().isEmpty()) {
        event->ignore();
        return;
    }
#endif
    QLineEdit::keyPressEvent(event);
}
