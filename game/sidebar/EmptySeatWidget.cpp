#include "EmptySeatWidget.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

EmptySeatWidget::EmptySeatWidget(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("EmptySeatWidget"));
    resize(228, 98);
    setMinimumSize(228, 98);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    // The panel's picture frames an empty avatar at the left and a header
    // strip at the top: the text keeps to the room beside and below them,
    // wrapped when a language needs more than one line.
    verticalLayout->setContentsMargins(72, 30, 6, 4);
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    verticalLayout->addWidget(label);
    retranslateUi();
}

EmptySeatWidget::~EmptySeatWidget() = default;

void EmptySeatWidget::retranslateUi()
{
    label->setText(tr("Waiting for player"));
}

void EmptySeatWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QFrame::changeEvent(event);
}
