#include "UPushButton.h"

#include <QHelpEvent>
#include <QToolTip>

UPushButton::UPushButton(QWidget* parent)
    : QPushButton(parent)
{
}

QString UPushButton::composedToolTip()
{
    const bool stale = shortcut() != cachedShortcut || toolTip() != cachedToolTip
        || (cachedToolTip.isEmpty() && text() != cachedText) || composed.isEmpty();
    if (stale) {
        cachedShortcut = shortcut();
        cachedToolTip = toolTip();
        QString base = cachedToolTip;
        if (base.isEmpty()) {
            cachedText = text();
            base = cachedText;
        }
        composed = base;
        if (!cachedShortcut.isEmpty())
            composed += QStringLiteral(" (") + cachedShortcut.toString(QKeySequence::NativeText) + QLatin1Char(')');
    }
    return composed;
}

bool UPushButton::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QPushButton::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), composedToolTip(), this);
    return true;
}
