#pragma once

#include "ScoreRecords.h"

#include <QMetaType>

#include <vector>

/// The scores of one finished tournament round at one table: per player the
/// player id, the round's points and a signed amount, in the server's order.
/// round_score_vector is the same type; this header declares its meta-type.
using TournamentRoundScores = std::vector<round_score_row>;

Q_DECLARE_METATYPE(TournamentRoundScores)
