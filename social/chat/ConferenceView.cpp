#include "ConferenceView.h"

#include "ChatInput.h"
#include "ChatOutputWidget.h"
#include "UPushButton.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

void ConferenceView::setupUi(QWidget* widget)
{
    if (widget->objectName().isEmpty())
        widget->setObjectName(QStringLiteral("ConferenceView"));
    widget->resize(591, 532);
    widget->setAutoFillBackground(false);

    vboxLayout = new QVBoxLayout(widget);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);
    vboxLayout1 = new QVBoxLayout();
    vboxLayout1->setObjectName(QStringLiteral("vboxLayout1"));

    chatOutput = new ChatOutputWidget(widget);
    chatOutput->setObjectName(QStringLiteral("chatOutput"));
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    policy.setHorizontalStretch(1);
    policy.setVerticalStretch(1);
    chatOutput->setSizePolicy(policy);
    chatOutput->setFrameShape(QFrame::NoFrame);
    vboxLayout1->addWidget(chatOutput);

    chatBottom = new QFrame(widget);
    chatBottom->setObjectName(QStringLiteral("chatBottom"));
    hboxLayout = new QHBoxLayout(chatBottom);
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setContentsMargins(10, 2, 0, 2);
    chatInput = new ChatInput(chatBottom);
    chatInput->setObjectName(QStringLiteral("chatInput"));
    chatInput->setMaxLength(MaxInputLength);
    hboxLayout->addWidget(chatInput);
    send = new UPushButton(chatBottom);
    send->setObjectName(QStringLiteral("send"));
    hboxLayout->addWidget(send);
    chatState = new QLabel(widget);
    chatState->setObjectName(QStringLiteral("chatState"));
    // The reason may hold the server's own words.
    chatState->setTextFormat(Qt::PlainText);
    chatState->setWordWrap(true);
    chatState->hide();
    vboxLayout1->addWidget(chatState);
    vboxLayout1->addWidget(chatBottom);

    vboxLayout->addLayout(vboxLayout1);
    retranslateUi(widget);
}

void ConferenceView::retranslateUi(QWidget*)
{
    send->setText(QCoreApplication::translate("ConferenceView", "Send"));
}
