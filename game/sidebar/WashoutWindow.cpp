#include "WashoutWindow.h"

#include "ReadyButtons.h"
#include "PictureFile.h"
#include "ServerTime.h"
#include "TimeSpan.h"
#include "TimerView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

WashoutWindow::WashoutWindow(QWidget* parent)
    : MahjongDialog(parent, false)
{
    auto* content = new QWidget();
    setupUi(content);
    setContentWidget(content);
    setFitsContent(true);

    connect(readyButton, &QPushButton::clicked, this, &WashoutWindow::readyButtonClicked);
    connect(leaveButton, &QPushButton::clicked, this, &WashoutWindow::leaveButtonClicked);
    // The signal goes out before the notice hides.
    connect(readyButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(leaveButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(okButton, &QPushButton::clicked, this, &QWidget::hide);
    setKeyAnswers({readyButton, okButton}, {leaveButton, okButton});
    textImage->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:washout.png")));
    updateButtons();
}

WashoutWindow::~WashoutWindow() = default;

void WashoutWindow::setupUi(QWidget* content)
{
    content->setObjectName(QStringLiteral("WashoutWidget"));
    content->resize(300, 140);
    content->setMinimumSize(300, 140);
    content->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    content->setAutoFillBackground(false);
    auto* vboxLayout = new QVBoxLayout(content);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setContentsMargins(6, 6, 6, 6);
    vboxLayout->setSizeConstraint(QLayout::SetMinimumSize);

    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    textImage = new QLabel(content);
    textImage->setObjectName(QStringLiteral("textImage"));
    horizontalLayout->addWidget(textImage);
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    vboxLayout->addLayout(horizontalLayout);

    washoutReason = new QLabel(content);
    washoutReason->setObjectName(QStringLiteral("washoutReason"));
    washoutReason->setAlignment(Qt::AlignCenter);
    washoutReason->setWordWrap(true);
    vboxLayout->addWidget(washoutReason);

    auto* horizontalLayout2 = new QHBoxLayout();
    horizontalLayout2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout2->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    nextRoundLabel = new QLabel(content);
    nextRoundLabel->setObjectName(QStringLiteral("nextRoundLabel"));
    nextRoundLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    nextRoundLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    horizontalLayout2->addWidget(nextRoundLabel);
    // A counter of the seconds left, as the application style sheet also asks.
    nextRoundTimer = new TimerView(content, {}, TimerView::DEC_COUNTER);
    nextRoundTimer->setObjectName(QStringLiteral("nextRoundTimer"));
    nextRoundTimer->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    nextRoundTimer->setMinimumSize(32, 32);
    horizontalLayout2->addWidget(nextRoundTimer);
    horizontalLayout2->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    vboxLayout->addLayout(horizontalLayout2);

    auto* hboxLayout = new QHBoxLayout();
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->addSpacerItem(new QSpacerItem(10, 10, QSizePolicy::Expanding, QSizePolicy::Minimum));
    readyButton = new QPushButton(content);
    readyButton->setObjectName(QStringLiteral("readyButton"));
    hboxLayout->addWidget(readyButton);
    leaveButton = new QPushButton(content);
    leaveButton->setObjectName(QStringLiteral("leaveButton"));
    hboxLayout->addWidget(leaveButton);
    okButton = new QPushButton(content);
    okButton->setObjectName(QStringLiteral("okButton"));
    hboxLayout->addWidget(okButton);
    hboxLayout->addSpacerItem(new QSpacerItem(10, 10, QSizePolicy::Expanding, QSizePolicy::Minimum));
    vboxLayout->addLayout(hboxLayout);

    retranslateUi();
}

void WashoutWindow::retranslateUi()
{
    // The notice's title bar names it, as the other table notices' bars do.
    textImage->parentWidget()->setWindowTitle(QCoreApplication::translate("WashoutWidget", "Washout"));
    textImage->setText(QString());
    washoutReason->setText(QString());
    nextRoundLabel->setText(QCoreApplication::translate("WashoutWidget", "Next hand starts in:"));
    readyButton->setText(QCoreApplication::translate("WashoutWidget", "Ready"));
    leaveButton->setText(QCoreApplication::translate("WashoutWidget", "Leave"));
    okButton->setText(QCoreApplication::translate("WashoutWidget", "Ok"));
}

QString WashoutWindow::reasonText(int type)
{
    switch (type) {
    case 6:
        return tr("Nine honors or terminals.");
    case 7:
        return tr("Four kongs.");
    case 8:
        return tr("Same wind discard.");
    case 9:
        return tr("No-one declared win after all player declared riichi.");
    default:
        return QString();
    }
}

void WashoutWindow::setWashoutType(int type)
{
    washoutType = type;
    const QString text = reasonText(type);
    washoutReason->setText(text);
    washoutReason->setVisible(!text.isEmpty());
}

void WashoutWindow::setEndOfGame(bool value)
{
    endOfGame = value;
    updateButtons();
}

void WashoutWindow::setWatching(bool value)
{
    watching = value;
    updateButtons();
}

void WashoutWindow::setTableInfo(const TableInfo& info)
{
    tableInfo = info;
    updateButtons();
}

void WashoutWindow::updateButtons()
{
    if (watching) {
        readyButton->hide();
        leaveButton->hide();
        okButton->show();
        okButton->setDefault(true);
        return;
    }
    okButton->hide();
    ReadyButtons::apply(readyButton, leaveButton, tableInfo, endOfGame, "WashoutWindow");
    readyButton->show();
    readyButton->setDefault(true);
}

void WashoutWindow::resetTimer()
{
    nextRoundTimer->setTimeSpan(TimeSpan());
    nextRoundLabel->hide();
    nextRoundTimer->hide();
}

void WashoutWindow::setReadyDeadline(const QDateTime& deadline)
{
    const bool ahead = ServerTime::currentTime() < deadline;
    nextRoundLabel->setVisible(ahead);
    nextRoundTimer->setVisible(ahead);
    nextRoundTimer->setDeadline(deadline);
}

void WashoutWindow::setReadyEnabled(bool enabled)
{
    readyButton->setEnabled(enabled);
}

void WashoutWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        textImage->setPixmap(PictureFile::pixmap(QStringLiteral("textimages:washout.png")));
        setWashoutType(washoutType);
        // The game-type texts of the ready button come back with the language.
        updateButtons();
    }
    MahjongDialog::changeEvent(event);
}
