#include "wind.h"

#include <QCoreApplication>
#include <QString>

const char* windDebugName(int wind)
{
    static const char* const names[] = {"EAST", "SOUTH", "WEST", "NORTH"};
    return wind >= 0 && wind < 4 ? names[wind] : "<undefined>";
}

const char* relativePositionName(int seat)
{
    static const char* const names[] = {"BOTTOM", "RIGHT", "TOP", "LEFT"};
    return seat >= 0 && seat < 4 ? names[seat] : "<undefined>";
}

QString windDisplayName(int wind)
{
    static const char* const names[] = {QT_TRANSLATE_NOOP("Mahjong", "East"), QT_TRANSLATE_NOOP("Mahjong", "South"),
                                        QT_TRANSLATE_NOOP("Mahjong", "West"), QT_TRANSLATE_NOOP("Mahjong", "North")};
    return wind >= 0 && wind < 4 ? QCoreApplication::translate("Mahjong", names[wind]) : QString();
}

QString prevalentWindText(int wind)
{
    static const char* const texts[] = {
        QT_TRANSLATE_NOOP("Mahjong", "Prevalent wind: East"), QT_TRANSLATE_NOOP("Mahjong", "Prevalent wind: South"),
        QT_TRANSLATE_NOOP("Mahjong", "Prevalent wind: West"), QT_TRANSLATE_NOOP("Mahjong", "Prevalent wind: North")};
    return wind >= 0 && wind < 4 ? QCoreApplication::translate("Mahjong", texts[wind]) : QString();
}
