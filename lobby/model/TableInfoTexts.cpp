#include "TableInfoTexts.h"

#include "RulesetGameTypePair.h"
#include "TableCapacityPainter.h"
#include "TableInfo.h"
#include "TableTexts.h"
#include "ValueColumnType.h"

#include <QCoreApplication>

QString tableRulesText(const TableInfo& info)
{
    return RulesetGameTypePair{info.ruleset, info.gameType}.toString();
}

QString tableValueText(const TableInfo& info)
{
    const QStringList parts = tableValueParts(info);
    return parts.isEmpty() ? QString() : parts.join(QLatin1Char(' '));
}

QStringList tableValueParts(const TableInfo& info)
{
    const ValueColumnType value(info.value);
    if (value.kind == 0)
        return {};
    QStringList parts{QCoreApplication::translate("TableValue", "buy-in: %1").arg(value.stakeAndFeeText())};
    if (value.isMoneyKind() && value.maxWin() != 0)
        parts << QCoreApplication::translate("TableValue", "max win: %1").arg(moneyOrDash(value.maxWin()));
    return parts;
}

QString tableToolTip(const TableInfo& info)
{
    const ValueColumnType value(info.value);
    QString text = QCoreApplication::translate("TableModel", "%1\n%2\n%4 - %3\nBuy-in: %5")
                       .arg(info.name, capacityText(info.capacity), timeLimitText(info.speed),
                            tableRulesText(info), value.buyInText());
    if (value.maxWin() != 0) {
        text += QLatin1Char('\n');
        text += QCoreApplication::translate("TableModel", "Max win: %1").arg(value.maxWinText());
    }
    if (value.hasPlaceBonus()) {
        const QStringList bonuses = value.placeBonusTexts();
        if (!bonuses.isEmpty()) {
            text += QLatin1Char('\n');
            text += QCoreApplication::translate("TableModel", "Place bonus: %1").arg(bonuses.join(QStringLiteral(", ")));
        }
    }
    if (value.hasFeedingPenalty()) {
        text += QLatin1Char('\n');
        text += QCoreApplication::translate("TableModel", "Feeding penalty: %1").arg(value.feedingPenaltyText());
    }
    return text;
}
