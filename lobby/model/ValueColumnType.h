#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <array>

class TableValue;

/// A table's money record (amounts in cents) with the money rules that the
/// lobby, the table cards and the game side show. Also the Buy-in column's
/// typed value. All arithmetic is 64-bit so that odd server values cannot
/// overflow.
struct ValueColumnType
{
    int kind = 0;
    int bet = 0;
    std::array<int, 4> bonus{};
    int fee = 0;
    int rakePercent = 0;
    int players = 0;

    ValueColumnType() = default;
    ValueColumnType(const TableValue& value);

    bool isMoneyKind() const { return kind >= 1 && kind <= 3; }
    qint64 pot() const { return qint64(players) * bet; }

    /// bet + fee for settlement kinds 1 to 3, else 0.
    qint64 buyInTotal() const;
    qint64 stake() const;
    qint64 maxLoss() const;
    qint64 maxWin() const;
    bool isFree() const { return maxLoss() == 0; }
    qint64 feedingPenalty() const;
    bool hasFeedingPenalty() const { return kind == 1 && feedingPenalty() != 0; }
    bool hasPlaceBonus() const { return bonus[0] != 0; }

    /// The Buy-in column: the buy-in total, or "free".
    QString buyInTotalText() const;
    QString stakeAndFeeText() const;
    QString buyInText() const;
    QString maxWinText() const;
    /// "1st $x", "2nd $y", ... for the paying places that have a bonus entry.
    QStringList placeBonusTexts() const;
    QString feedingPenaltyText() const;

    friend bool operator==(const ValueColumnType& a, const ValueColumnType& b)
    {
        return a.kind == b.kind && a.bet == b.bet && a.bonus == b.bonus && a.fee == b.fee
            && a.rakePercent == b.rakePercent && a.players == b.players;
    }
};

Q_DECLARE_METATYPE(ValueColumnType)
