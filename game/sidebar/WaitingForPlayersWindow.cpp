#include "WaitingForPlayersWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

WaitingForPlayersWindow::WaitingForPlayersWindow(QWidget* parent)
    : MahjongDialog(parent, false)
    , content(new QWidget())
{
    content->setObjectName(QStringLiteral("WaitingForPlayersWidget"));
    content->resize(200, 100);
    content->setMinimumSize(200, 100);
    content->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* verticalLayout = new QVBoxLayout(content);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->addSpacerItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    mainText = new QLabel(content);
    mainText->setObjectName(QStringLiteral("mainText"));
    mainText->setAlignment(Qt::AlignCenter);
    mainText->setWordWrap(true);
    verticalLayout->addWidget(mainText);
    verticalLayout->addSpacerItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    leaveButton = new QPushButton(content);
    leaveButton->setObjectName(QStringLiteral("leaveButton"));
    horizontalLayout->addWidget(leaveButton);
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(horizontalLayout);
    retranslateUi();

    setContentWidget(content);
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
