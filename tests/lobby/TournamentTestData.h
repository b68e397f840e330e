#pragma once

// Tournament records and key updates for the tournament tests, built the
// way the protocol layer builds them from a server's keys.
#include "TournamentInfo.h"

#include <QDateTime>

namespace TournamentTestData {

inline TournamentInfo tournament(qint32 id, const QString& name, int status, int registered = 10, int maxPlayers = 64,
                                 int bet = 500, qint64 startSecs = 1893456000, int durationSecs = 7200)
{
    TournamentInfo info;
    info.tournamentId = id;
    info.name = name;
    info.status = status;
    info.registered = registered;
    info.maxPlayers = maxPlayers;
    info.minPlayers = 4;
    info.bet = bet;
    info.start = QDateTime::fromSecsSinceEpoch(startSecs, Qt::UTC);
    info.end = info.start.addSecs(durationSecs);
    info.closeRegister = info.start.addSecs(-600);
    info.numberOfRounds = 3;
    info.currentRound = 0;
    info.ruleset = 2;
    return info;
}

/// Key changes through the protocol layer's own converter.
inline TournamentInfoUpdates changes(const std::vector<std::pair<std::string, ParamValue>>& params)
{
    TournamentInfoUpdates list;
    for (const auto& [key, value] : params) {
        if (auto change = makeTournamentInfoChange(key, value))
            list.push_back(*change);
    }
    return list;
}

}
