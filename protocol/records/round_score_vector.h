#pragma once

#include "ScoreRecords.h"
#include "TournamentRoundScores.h"

#include <vector>

/// The standings sent with every hand start, one row per player (player id,
/// round score, wins), in the server's order.
/// The same type as TournamentRoundScores, whose header registers it as a
/// meta-type.
using round_score_vector = std::vector<round_score_row>;
