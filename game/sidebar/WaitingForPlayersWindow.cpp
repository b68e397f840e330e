#include "WaitingForPlayersWindow.h"

#include "NoticeForm.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

WaitingForPlayersWindow::WaitingForPlayersWindow(QWidget* parent)
    : MahjongDialog(parent, false)
    , content(new QWidget())
{
    content->setObjectName(QStringLiteral("WaitingForPlayersWidget"));
    content->resize(200, 100);
    content->setMinimumSize(200, 100);
    content->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    const NoticeForm form(content, 40, {"leaveButton"});
    mainText = form.mainText();
    mainText->setAlignment(Qt::AlignCenter);
    leaveButton = form.button(0);
    retranslateUi();

    setContentWidget(content);
    setFitsContent(true);
    connect(leaveButton, &QPushButton::clicked, this, &WaitingForPlayersWindow::leaveButtonClicked);
}

WaitingForPlayersWindow::~WaitingForPlayersWindow() = default;

void WaitingForPlayersWindow::retranslateUi()
{
    content->setWindowTitle(QCoreApplication::translate("WaitingForPlayersWidget", "Waiting for players"));
    mainText->setText(QString());
    leaveButton->setText(QCoreApplication::translate("WaitingForPlayersWidget", "Leave"));
}

void WaitingForPlayersWindow::setLeaveEnabled(bool enabled)
{
    leaveButton->setEnabled(enabled);
}

void WaitingForPlayersWindow::onSeatsRemaining(int n)
{
    seats = n;
    if (n < 1) {
        hide();
        return;
    }
    mainText->setText(tr("Waiting for %n player(s) to join table.", nullptr, n));
}

void WaitingForPlayersWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        const QString before = mainText->text();
        retranslateUi();
        if (seats >= 1)
            onSeatsRemaining(seats);
        else
            mainText->setText(before);
    }
    MahjongDialog::changeEvent(event);
}
