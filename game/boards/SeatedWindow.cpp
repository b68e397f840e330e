#include "SeatedWindow.h"

#include "CentredButtonRow.h"
#include "RulesetGameTypePair.h"
#include "TableTexts.h"
#include "UTimer.h"
#include "ValueColumnType.h"

#include <TimeSpan.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFrame* makeLine(QWidget* parent, const char* name)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel* makeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    // Table names and money texts come from the server: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

/// The form's texts are translated in the form's own context.
QString formText(const char* text)
{
    return QCoreApplication::translate("SeatedWindowWidget", text);
}

} // namespace

SeatedWindow::SeatedWindow(QWidget* parent)
    : MahjongDialog(parent, false)
    , timer(new UTimer(this))
{
    buildForm();
    setContentWidget(form);
    setFitsContent(true);
    connect(leave, &QPushButton::clicked, this, &SeatedWindow::onLeaveButtonClicked);
    connect(play, &QPushButton::clicked, this, &SeatedWindow::onPlayButtonClicked);
    setKeyAnswers({play}, {leave});
    connect(timer, &UTimer::timeout, this, &SeatedWindow::timeout);
    connect(timer, &UTimer::update, this, [this](int left, int) { onTimerUpdate(left); });
}

SeatedWindow::~SeatedWindow() = default;

void SeatedWindow::buildForm()
{
    form = new QWidget;
    form->setObjectName(QStringLiteral("SeatedWindowWidget"));
    form->resize(360, 224);
    auto* vbox = new QVBoxLayout(form);
    vbox->setObjectName(QStringLiteral("verticalLayout"));
    auto* tableName = makeLabel(form, "tableName");
    tableName->setAlignment(Qt::AlignCenter);
    vbox->addWidget(tableName);
    vbox->addWidget(makeLine(form, "hr1"));

    auto* infoFrame = new QFrame(form);
    infoFrame->setObjectName(QStringLiteral("infoFrame"));
    auto* rows = new QFormLayout(infoFrame);
    rows->setObjectName(QStringLiteral("formLayout_2"));
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setVerticalSpacing(0);
    const char* const pairs[][2] = {
        {"label", "rules"},
        {"label_2", "buyIn"},
        {"label_5", "maxWin"},
        {"placeBonusLabel", "placeBonus"},
        {"feedingPenaltyLabel", "feedingPenalty"},
        {"label_4", "capacity"},
        {"label_3", "speed"},
    };
    for (const auto& pair : pairs)
        rows->addRow(makeLabel(infoFrame, pair[0]), makeLabel(infoFrame, pair[1]));
    label("placeBonus")->setWordWrap(true);
    vbox->addWidget(infoFrame);
    vbox->addWidget(makeLine(form, "hr2"));

    auto* warning = makeLabel(form, "leaveWarning");
    warning->setWordWrap(true);
    vbox->addWidget(warning);

    const CentredButtonRow row(form, "horizontalLayout", {"playButton", "leaveButton"});
    play = row.buttons[0];
    leave = row.buttons[1];
    vbox->addLayout(row.layout);
    retranslateForm();
}

QLabel* SeatedWindow::label(const char* name) const
{
    return form->findChild<QLabel*>(QString::fromLatin1(name));
}

void SeatedWindow::retranslateForm()
{
    form->setWindowTitle(formText("You have been seated"));
    label("label")->setText(formText("Rules:"));
    label("label_2")->setText(formText("Buy-in:"));
    label("label_5")->setText(formText("Max win:"));
    label("placeBonusLabel")->setText(formText("Place bonus"));
    label("feedingPenaltyLabel")->setText(formText("Feeding penalty"));
    label("label_4")->setText(formText("Number of players:"));
    label("label_3")->setText(formText("Speed:"));
    play->setText(formText("Play"));
    leave->setText(formText("Leave"));
}

void SeatedWindow::startCountdown(const TimeSpan& span)
{
    lastSeconds = -1;
    timer->start(span);
}

void SeatedWindow::stopCountdown()
{
    timer->stop();
    lastSeconds = -1;
    label("leaveWarning")->clear();
}

void SeatedWindow::onTableInfo(TableInfo ti)
{
    info = ti;
    hasInfo = true;
    const ValueColumnType value(ti.value);
    label("tableName")->setText(ti.name);
    label("rules")->setText(RulesetGameTypePair{ti.ruleset, ti.gameType}.toString());
    label("buyIn")->setText(value.buyInText());
    label("maxWin")->setText(value.maxWinText());
    label("speed")->setText(timeLimitText(ti.speed));
    label("capacity")->setText(tr("%L1").arg(ti.capacity.capacity()));
    const bool bonus = value.hasPlaceBonus();
    label("placeBonus")->setVisible(bonus);
    label("placeBonusLabel")->setVisible(bonus);
    label("placeBonus")->setText(bonus ? value.placeBonusTexts().join(QLatin1Char('\n')) : QString());
    const bool penalty = value.hasFeedingPenalty();
    label("feedingPenalty")->setVisible(penalty);
    label("feedingPenaltyLabel")->setVisible(penalty);
    label("feedingPenalty")->setText(penalty ? value.feedingPenaltyText() : QString());
}

void SeatedWindow::onLeaveButtonClicked()
{
    timer->stop();
    Q_EMIT leaveButtonClicked();
}

void SeatedWindow::onPlayButtonClicked()
{
    timer->stop();
    Q_EMIT playButtonClicked();
}

void SeatedWindow::onTimerUpdate(int left_ms)
{
    const int seconds = (left_ms + 500) / 1000;
    lastSeconds = seconds;
    if (seconds >= 1)
        label("leaveWarning")->setText(
            tr("You will automatically be unseated from this table in %Ln second(s)", nullptr, seconds));
    else
        label("leaveWarning")->clear();
}

void SeatedWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateForm();
        if (hasInfo)
            onTableInfo(info);
        if (lastSeconds >= 1)
            onTimerUpdate(lastSeconds * 1000);
    }
    MahjongDialog::changeEvent(event);
}
