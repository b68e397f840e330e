#include "PlayerInactiveWindow.h"

#include "NoticeForm.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

PlayerInactiveWindow::PlayerInactiveWindow(QWidget* parent)
    : MahjongDialog(parent, false)
    , content(new QWidget())
{
    content->setObjectName(QStringLiteral("PlayerInactiveWidget"));
    content->resize(268, 124);
    content->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    const NoticeForm form(content, 10, {"reactivateButton", "leaveButton"});
    mainText = form.mainText();
    reactivateButton = form.button(0);
    leaveButton = form.button(1);
    retranslateUi();

    setContentWidget(content);
    setFitsContent(true);
    leaveButton->hide();
    connect(reactivateButton, &QPushButton::clicked, this, &PlayerInactiveWindow::onReactivateButtonClicked);
    connect(leaveButton, &QPushButton::clicked, this, &PlayerInactiveWindow::leaveButtonClicked);
    setKeyAnswers({reactivateButton}, {leaveButton});
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
