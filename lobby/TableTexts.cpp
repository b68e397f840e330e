#include "TableTexts.h"

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
    return QCoreApplication::translate("TableInfo", "%Ln second(s)", nullptr, milliseconds / 1000);
}

QString moneyText(qint64 cents)
{
    const qint64 units = cents / 100;
    const qint64 rest = cents % 100;
    if (rest == 0)
        return QStringLiteral("$%L1").arg(units);
    return QStringLiteral("$%L1").arg(double(cents) / 100.0, 0, 'f', 2);
}

QString moneyOrDash(qint64 cents)
{
    return cents == 0 ? QCoreApplication::translate("TableValue", "-") : moneyText(cents);
}

QString moneyOrFree(qint64 cents)
{
    return cents == 0 ? QCoreApplication::translate("TableValue", "free") : moneyText(cents);
}
