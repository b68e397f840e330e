#include "ValueColumnType.h"

#include "TableTexts.h"
#include "TableValue.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace {
// The amount less the rake, amount - (rake x amount) / 100, computed wide so
// that no record from the server can overflow it.
qint64 lessRake(qint64 amount, int rakePercent)
{
    const __int128 result = __int128(amount) - (__int128(rakePercent) * amount) / 100;
    return qint64(std::clamp<__int128>(result, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()));
}

}

ValueColumnType::ValueColumnType(const TableValue& value)
    : kind(value.settlement())
    , bet(value.bet())
    , bonus(value.bonusTable())
    , fee(value.fee())
    , rakePercent(value.rakePercent())
    , players(value.players())
{
}

qint64 ValueColumnType::buyInTotal() const
{
    return isMoneyKind() ? qint64(bet) + fee : 0;
}

qint64 ValueColumnType::stake() const
{
    return buyInTotal() - fee;
}

qint64 ValueColumnType::maxLoss() const
{
    switch (kind) {
    case 1:
        return qint64(bet) + fee + ((qint64(players) - 2) * bet) / 2;
    case 2:
        return qint64(bet) + fee;
    case 3:
        return qint64(bet) + fee - std::min({bonus[1], bonus[2], bonus[3]});
    default:
        return 0;
    }
}

qint64 ValueColumnType::maxWin() const
{
    if (!isMoneyKind())
        return 0;
    return lessRake(pot(), rakePercent);
}

qint64 ValueColumnType::feedingPenalty() const
{
    return kind == 1 ? ((qint64(players) - 2) * bet) / 2 : 0;
}

QString ValueColumnType::buyInTotalText() const
{
    return moneyOrFree(buyInTotal());
}

QString ValueColumnType::stakeAndFeeText() const
{
    const qint64 s = stake();
    if (fee == 0)
        return moneyOrFree(s);
    if (s == 0)
        return moneyOrFree(fee);
    return QCoreApplication::translate("TableValue", "%1 + %2").arg(moneyText(s), moneyText(fee));
}

QString ValueColumnType::buyInText() const
{
    const qint64 s = stake();
    const qint64 m = maxLoss() - fee;
    if (fee == 0) {
        if (m == s)
            return moneyOrFree(s);
        return QCoreApplication::translate("TableValue", "%1 (%2)").arg(moneyOrFree(s), moneyText(m));
    }
    if (m == s)
        return stakeAndFeeText();
    return QCoreApplication::translate("TableValue", "%1 (%2) + %3").arg(moneyText(s), moneyText(m), moneyText(fee));
}

QString ValueColumnType::maxWinText() const
{
    const qint64 first = maxWin();
    qint64 second;
    if (kind == 3) {
        second = lessRake(qint64(bonus[0]) + pot(), rakePercent);
    } else {
        second = lessRake(pot(), rakePercent);
    }
    if (first == second)
        return moneyOrDash(first);
    return QCoreApplication::translate("TableValue", "%1 (%2)").arg(moneyOrDash(first), moneyText(second));
}

QStringList ValueColumnType::placeBonusTexts() const
{
    static const char* const places[4] = {
        QT_TRANSLATE_NOOP("TableValue", "1st %1"),
        QT_TRANSLATE_NOOP("TableValue", "2nd %1"),
        QT_TRANSLATE_NOOP("TableValue", "3rd %1"),
        QT_TRANSLATE_NOOP("TableValue", "4th %1"),
    };
    // The record has four bonuses: a table paying more places than that
    // lists the four it has, one that pays none lists nothing.
    const int count = std::clamp(players, 0, 4);
    QStringList texts;
    texts.reserve(count);
    for (int place = 0; place < count; ++place)
        texts.append(QCoreApplication::translate("TableValue", places[place]).arg(moneyText(bonus[place])));
    return texts;
}

QString ValueColumnType::feedingPenaltyText() const
{
    return moneyOrFree(feedingPenalty());
}
