#include "WatchingWindow.h"

#include "CentredButtonRow.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

/// The form's texts are translated in the form's own context.
struct WatchingWindowWidget
{
    Q_DECLARE_TR_FUNCTIONS(WatchingWindowWidget)
};

} // namespace

WatchingWindow::WatchingWindow(QWidget* parent)
    : MahjongDialog(parent, false)
{
    form = new QWidget;
    form->setObjectName(QStringLiteral("WatchingWindowWidget"));
    form->resize(400, 142);
    auto* vbox = new QVBoxLayout(form);
    vbox->setObjectName(QStringLiteral("verticalLayout"));
    pickedUp = new QLabel(form);
    pickedUp->setObjectName(QStringLiteral("pickedUpInfo"));
    vbox->addWidget(pickedUp);
    watchingInfo = new QLabel(form);
    watchingInfo->setObjectName(QStringLiteral("watchingInfo"));
    vbox->addWidget(watchingInfo);
    const CentredButtonRow row(form, "horizontalLayout_1", {"joinButton", "leaveButton"});
    join = row.buttons[0];
    leave = row.buttons[1];
    vbox->addLayout(row.layout);
    retranslateForm();
    setContentWidget(form);
    setFitsContent(true);
    connect(join, &QPushButton::clicked, this, &WatchingWindow::joinButtonClicked);
    connect(leave, &QPushButton::clicked, this, &WatchingWindow::leaveButtonClicked);
    setKeyAnswers({join}, {leave});
}

WatchingWindow::~WatchingWindow() = default;

void WatchingWindow::retranslateForm()
{
    form->setWindowTitle(WatchingWindowWidget::tr("Watching"));
    pickedUp->setText(WatchingWindowWidget::tr("You've been unseated from this table."));
    watchingInfo->setText(
        closed ? WatchingWindowWidget::tr("The game is over and this table has closed.")
               : WatchingWindowWidget::tr("If you want to watch the game, just wait until it starts."));
    join->setText(WatchingWindowWidget::tr("Join"));
    leave->setText(WatchingWindowWidget::tr("Leave"));
}

void WatchingWindow::setTableClosed(bool tableClosed)
{
    closed = tableClosed;
    retranslateForm();
}

void WatchingWindow::setUnseatedInfoHidden(bool hidden)
{
    qDebug().nospace() << "setVisible: " << !hidden;
    pickedUp->setVisible(!hidden);
}

void WatchingWindow::onJoinableChanged(bool joinable)
{
    join->setEnabled(joinable);
}

void WatchingWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateForm();
    MahjongDialog::changeEvent(event);
}
