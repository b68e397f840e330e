#pragma once

#include <QString>

/// Texts for the failure codes of server answers, translated (context
/// "ConnectionManager") in the language of the call; a code outside a table gives the
/// translated "<undefined>" (context "Utils").
namespace reason_texts {
/// Leave answers: 0 "OK", 1 "Failed", 2 "Denied".
QString leaveStatus(int code);
/// Watch answers: 0 "OK", 1 "Failed", 2 "Denied", 3 "Already Seated".
QString watchStatus(int code);
/// Registration and password change failures: 0 "Plain string" to 6 "Email invalid".
QString accountFailure(int code);
/// Tournament leave answers: 0 "Ok" to 4 "Invalid state".
QString tournamentLeaveStatus(int code);
}
