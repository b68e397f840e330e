#include "PlayerInactiveWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PlayerInactiveWindow::PlayerInactiveWindow(QWidget* parent)
    : MahjongDialog(parent, false)
    , content(new QWidget())
{
    content->setObjectName(QStringLiteral("PlayerInactiveWidget"));
    content->resize(268, 124);
    content->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* verticalLayout = new QVBoxLayout(content);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->addSpacerItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding));
    mainText = new QLabel(content);
    mainText->setObjectName(QStringLiteral("mainText"));
    mainText->setWordWrap(true);
    verticalLayout->addWidget(mainText);
    verticalLayout->addSpacerItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding));
    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    reactivateButton = new QPushButton(content);
    reactivateButton->setObjectName(QStringLiteral("reactivateButton"));
    horizontalLayout->addWidget(reactivateButton);
    leaveButton = new QPushButton(content);
    leaveButton->setObjectName(QStringLiteral("leaveButton"));
    horizontalLayout->addWidget(leaveButton);
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(horizontalLayout);
    retranslateUi();

    setContentWidget(content);
    leaveButton->hide();
    connect(reactivateButton, &QPushButton::clicked, this, &PlayerInactiveWindow::onReactivateButtonClicked);
    connect(leaveButton, &QPushButton::clicked, this, &PlayerInactiveWindow::leaveButtonClicked);
}

PlayerInactiveWindow::~PlayerInactiveWindow() = default;

void PlayerInactiveWindow::retranslateUi()
{
    content->setWindowTitle(QCoreApplication::translate("PlayerInactiveWidget", "Player inactive"));
    mainText->setText(QCoreApplication::translate("PlayerInactiveWidget",
        "You  have been inactive, and will therefore automatically stand down. Please press reactivate to regain "
        "control."));
    reactivateButton->setText(QCoreApplication::translate("PlayerInactiveWidget", "Reactivate"));
    leaveButton->setText(QCoreApplication::translate("PlayerInactiveWidget", "Leave"));
}

void PlayerInactiveWindow::onReactivateButtonClicked()
{
    reactivateButton->setEnabled(false);
    Q_EMIT reactivateButtonClicked();
}

void PlayerInactiveWindow::setVisible(bool visible)
{
    MahjongDialog::setVisible(visible);
    if (visible && reactivateButton != nullptr)
        reactivateButton->setEnabled(true);
}

void PlayerInactiveWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    MahjongDialog::changeEvent(event);
}
