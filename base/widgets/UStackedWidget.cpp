#include "UStackedWidget.h"

UStackedWidget::UStackedWidget(QWidget* parent)
    : QStackedWidget(parent)
{
    // A switch turns the stack's updates off and on again, and Qt walks every
    // widget below the stack as it does, however many pages there are: with
    // the updates of the pages out of sight off, it walks the page shown and
    // the one just hidden, and opening the 100th page costs what the 2nd did.
    connect(this, &QStackedWidget::currentChanged, this, [this] {
        const QWidget* shown = currentWidget();
        for (int i = 0; i < count(); ++i) {
            QWidget* page = widget(i);
            if (page->updatesEnabled() != (page == shown))
                page->setUpdatesEnabled(page == shown);
        }
    });
}
