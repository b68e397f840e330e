#pragma once

#include <QMetaType>
#include <QString>

#include <vector>

/// One row of a tournament's ranking list.
struct TournamentRanking
{
    qint32 pid = -1;
    QString name;
    qint32 tablePoints = -1;
    qint32 competitionPoints = -1;
    /// Carried as received: true when the row's last byte is non-zero.
    bool flag = true;

    friend bool operator==(const TournamentRanking&, const TournamentRanking&) = default;
};

/// The ranking rows of one tournament, in the server's order.
using TournamentRankings = std::vector<TournamentRanking>;

Q_DECLARE_METATYPE(TournamentRankings)
