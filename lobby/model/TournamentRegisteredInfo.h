#pragma once

#include <QMetaType>

/// The tournaments' Players column: registered players of the maximum.
struct TournamentRegisteredInfo
{
    int registered = 0;
    int maxPlayers = 0;

    friend bool operator==(const TournamentRegisteredInfo& a, const TournamentRegisteredInfo& b)
    {
        return a.registered == b.registered && a.maxPlayers == b.maxPlayers;
    }
};

Q_DECLARE_METATYPE(TournamentRegisteredInfo)
