#pragma once

#include "ProtocolEnums.h"

#include <QString>

class QDateTime;
struct TournamentInfo;

/// The whole seconds from one tournament time to another; -1 when either is
/// not a time (isServerTimeKnown()) or the end lies before the start.
int tournamentSecondsBetween(const QDateTime& from, const QDateTime& to);

/// The status word of a tournament: "OPEN" .. "FAILED" for 0 to 6, translated
/// (context "TournamentInfo"); "<undefined>" for any other number.
QString tournamentStatusText(int status);
/// "%1 of %2": registered players of the maximum (context "TournamentInfo").
QString tournamentPlayersText(int registered, int maxPlayers);
/// The text of a refused registration or unregistration (context
/// "TournamentWindow"); empty for a reason the client does not know.
QString registerFailedText(tmnt_register_failed_reason::enum_t reason);
