#pragma once

#include "ProtocolEnums.h"

#include <QString>

class QDateTime;
struct TournamentInfo;

/// Whether a time of a tournament record is one: less than twenty years from
/// the server's clock (ServerTime), and not the largest signed count of
/// seconds. The server's counts that mean no time (zero, that count, a
/// negative count) read as dates of 1970, 2038 and up to 2106.
bool isTournamentTimeKnown(const QDateTime& time);
/// formatDateTime() of a tournament time; "<unknown>" when it is not one.
QString tournamentTimeText(const QDateTime& time);
/// The whole seconds from one tournament time to another; -1 when either is
/// not a time or the end lies before the start.
int tournamentSecondsBetween(const QDateTime& from, const QDateTime& to);

/// The status word of a tournament: "OPEN" .. "FAILED" for 0 to 6, translated
/// (context "TournamentInfo"); "<undefined>" for any other number.
QString tournamentStatusText(int status);
/// "%1 of %2": registered players of the maximum (context "TournamentInfo").
QString tournamentPlayersText(int registered, int maxPlayers);
/// The text of a refused registration or unregistration (context
/// "TournamentWindow"); empty for a reason the client does not know.
QString registerFailedText(tmnt_register_failed_reason::enum_t reason);
