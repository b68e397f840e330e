#pragma once

#include <QMetaType>
#include <QtGlobal>

#include <vector>

/// One player's result of a finished table round: mahjong points and the
/// money won or lost, in cents.
struct MonetaryRoundScore
{
    qint32 pid = 0;
    int mahjongPoints = 0;
    qint64 balance = 0;

    friend bool operator==(const MonetaryRoundScore&, const MonetaryRoundScore&) = default;
};

/// The results of a finished table round, one entry per player.
using MonetaryRoundScores = std::vector<MonetaryRoundScore>;

Q_DECLARE_METATYPE(MonetaryRoundScores)
