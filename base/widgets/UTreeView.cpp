#include "UTreeView.h"

#include <QHelpEvent>
#include <QToolTip>

UTreeView::UTreeView(QWidget* parent)
    : QTreeView(parent)
{
}

void UTreeView::setToolTipFunction(ToolTipFunction f)
{
    toolTipFunction = std::move(f);
}

bool UTreeView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip || !toolTipFunction)
        return QTreeView::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    if (!index.isValid() || model() == nullptr) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), toolTipFunction(model(), index.row()), viewport());
    }
    return true;
}
