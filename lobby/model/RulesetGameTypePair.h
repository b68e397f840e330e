#pragma once

#include <QMetaType>
#include <QString>

/// The Rules column's value: a ruleset (0 classic, 1 international,
/// 2 riichi) and a game type (0 single hand, 1 tournament, 2 full game).
struct RulesetGameTypePair
{
    int ruleset = 0;
    int gameType = 0;

    /// The ruleset text followed directly by the game type suffix,
    /// e.g. "Classic full game".
    QString toString() const;

    friend bool operator==(const RulesetGameTypePair& a, const RulesetGameTypePair& b)
    {
        return a.ruleset == b.ruleset && a.gameType == b.gameType;
    }
};

Q_DECLARE_METATYPE(RulesetGameTypePair)
