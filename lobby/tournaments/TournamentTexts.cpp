#include "TournamentTexts.h"

#include "ServerTime.h"
#include "Utils.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <limits>

int tournamentSecondsBetween(const QDateTime& from, const QDateTime& to)
{
    // Each taken out of local time once (a look at the time zone file each).
    const QDateTime start = from.toUTC(), end = to.toUTC();
    if (!isServerTimeKnown(start) || !isServerTimeKnown(end))
        return -1;
    // Both lie within forty years of each other: their distance fits an int.
    return int(std::max<qint64>(-1, start.secsTo(end)));
}

QString tournamentStatusText(int status)
{
    static const char* const words[] = {
        QT_TRANSLATE_NOOP("TournamentInfo", "OPEN"),     QT_TRANSLATE_NOOP("TournamentInfo", "CLOSED"),
        QT_TRANSLATE_NOOP("TournamentInfo", "SEATING"),  QT_TRANSLATE_NOOP("TournamentInfo", "PLAYING"),
        QT_TRANSLATE_NOOP("TournamentInfo", "PAUSED"),   QT_TRANSLATE_NOOP("TournamentInfo", "FINISHED"),
        QT_TRANSLATE_NOOP("TournamentInfo", "FAILED"),
    };
    if (status < 0 || status >= int(std::size(words)))
        return undefinedText();
    return QCoreApplication::translate("TournamentInfo", words[status]);
}

QString tournamentPlayersText(int registered, int maxPlayers)
{
    return QCoreApplication::translate("TournamentInfo", "%1 of %2",
                                       "%1 is number of registered players, %2 is max number of players in tournament")
        .arg(registered)
        .arg(maxPlayers);
}

QString registerFailedText(tmnt_register_failed_reason::enum_t reason)
{
    switch (int(reason)) {
    case 0: return QCoreApplication::translate("TournamentWindow", "Failed");
    case 1: return QCoreApplication::translate("TournamentWindow", "Denied");
    case 2: return QCoreApplication::translate("TournamentWindow", "Insufficient Funds");
    case 3: return QCoreApplication::translate("TournamentWindow", "Tournament is full");
    case 4: return QCoreApplication::translate("TournamentWindow", "Access Denied");
    case 5: return QCoreApplication::translate("TournamentWindow", "Already Registered");
    case 6: return QCoreApplication::translate("TournamentWindow", "Tournament is running");
    default: return QString();
    }
}
