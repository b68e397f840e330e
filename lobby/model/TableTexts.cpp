#include "TableTexts.h"

#include <Utils.h>

#include <QCoreApplication>

QString rulesetText(int ruleset)
{
    switch (ruleset) {
    case 0:
        return QCoreApplication::translate("TableInfo", "Classic");
    case 1:
        return QCoreApplication::translate("TableInfo", "International");
    case 2:
        return QCoreApplication::translate("TableInfo", "Riichi");
    default:
        return QCoreApplication::translate("TableInfo", "<undefined>");
    }
}

QString gameTypeText(int gameType)
{
    switch (gameType) {
    case 0:
        return QCoreApplication::translate("TableInfo", "Single hand");
    case 1:
        return QCoreApplication::translate("TableInfo", "Tournament");
    case 2:
        return QCoreApplication::translate("TableInfo", "Full game");
    default:
        return QCoreApplication::translate("TableInfo", "<undefined>");
    }
}

QString gameTypeSuffix(int gameType)
{
    switch (gameType) {
    case 0:
        return QCoreApplication::translate("TableInfo", " single hand");
    case 1:
        return QCoreApplication::translate("TableInfo", " tournament");
    case 2:
        return QCoreApplication::translate("TableInfo", " full game");
    default:
        return QCoreApplication::translate("TableInfo", "<undefined>");
    }
}

QString timeLimitText(int milliseconds)
{
    const int seconds = milliseconds / 1000;
    if (!isLengthKnown(seconds))
        return unknownText();
    return QCoreApplication::translate("TableInfo", "%Ln second(s)", nullptr, seconds);
}

QString moneyText(qint64 cents)
{
    return formatMoney(cents);
}

QString moneyOrDash(qint64 cents)
{
    return cents == 0 ? QCoreApplication::translate("TableValue", "-") : moneyText(cents);
}

QString moneyOrFree(qint64 cents)
{
    return cents == 0 ? QCoreApplication::translate("TableValue", "free") : moneyText(cents);
}
