#include "CompactTableItem.h"

#include "RulesetGameTypePair.h"
#include "TableCapacityWidget.h"
#include "TableTexts.h"
#include "ValueColumnType.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* label(const char* name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    // Table names come from the server: never read them as markup.
    l->setTextFormat(Qt::PlainText);
    return l;
}

}

CompactTableItem::CompactTableItem(qint32 tableId, QWidget* parent)
    : QFrame(parent)
    , id(tableId)
{
    setupUi();
}

CompactTableItem::~CompactTableItem() = default;

void CompactTableItem::setupUi()
{
    setObjectName(QStringLiteral("CompactTableItem"));
    resize(257, 80);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    setLineWidth(0);
    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(4);
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    tableName = label("tableName", this);
    tableName->setLineWidth(0);
    verticalLayout->addWidget(tableName);

    auto* info = new QWidget(this);
    info->setObjectName(QStringLiteral("info"));
    auto* formLayout = new QFormLayout(info);
    formLayout->setObjectName(QStringLiteral("formLayout"));
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    formLayout->setVerticalSpacing(2);
    rulesLabel = label("rulesLabel", info);
    tableRulesGametype = label("tableRulesGametype", info);
    speedLabel = label("speedLabel", info);
    tableSpeed = label("tableSpeed", info);
    buyInLabel = label("buyInLabel", info);
    buyIn = label("buyIn", info);
    buyIn->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    maxWinLabel = label("maxWinLabel", info);
    maxWin = label("maxWin", info);
    maxWin->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    playersLabel = label("playersLabel", info);
    playersWidget = new TableCapacityWidget(info);
    playersWidget->setObjectName(QStringLiteral("playersWidget"));
    formLayout->addRow(rulesLabel, tableRulesGametype);
    formLayout->addRow(speedLabel, tableSpeed);
    formLayout->addRow(buyInLabel, buyIn);
    formLayout->addRow(maxWinLabel, maxWin);
    formLayout->addRow(playersLabel, playersWidget);
    verticalLayout->addWidget(info);
    retranslateUi();
}

void CompactTableItem::retranslateUi()
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("CompactTableItem", text); };
    setWindowTitle(tr("Frame"));
    tableName->clear();
    rulesLabel->setText(tr("Rules:"));
    tableRulesGametype->clear();
    speedLabel->setText(tr("Speed:"));
    tableSpeed->clear();
    buyInLabel->setText(tr("Buy-in:"));
    buyIn->clear();
    maxWinLabel->setText(tr("Max win:"));
    maxWin->clear();
    playersLabel->setText(tr("Players:"));
}

void CompactTableItem::setTableInfo(const TableInfo& info)
{
    shown = info;
    tableName->setText(info.name);
    tableRulesGametype->setText(RulesetGameTypePair{info.ruleset, info.gameType}.toString());
    tableSpeed->setText(timeLimitText(info.speed));
    const ValueColumnType value(info.value);
    buyIn->setText(value.buyInText());
    maxWin->setText(value.maxWinText());
    playersWidget->setCapacity(info.capacity);
}

void CompactTableItem::setSelected(bool s)
{
    if (s == selected)
        return;
    selected = s;
    setStyleSheet(s ? QStringLiteral("/* */") : QString());
}

void CompactTableItem::mouseReleaseEvent(QMouseEvent*)
{
    Q_EMIT clicked();
}

void CompactTableItem::mouseDoubleClickEvent(QMouseEvent*)
{
    Q_EMIT doubleClicked();
}

void CompactTableItem::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        setTableInfo(shown);
    }
    QFrame::changeEvent(event);
}
