#pragma once

#include <QtGlobal>

#include <array>

/// The money record of a lobby table. Amounts are whole cents.
class TableValue
{
public:
    using BonusTable = std::array<qint32, 4>;

    /// Settlement kind: 0 no stake; 1, 2, 3 the kinds played for a stake.
    qint32 settlement() const { return m_settlement; }
    void setSettlement(qint32 settlement) { m_settlement = settlement; }

    /// Stake per player.
    qint32 bet() const { return m_bet; }
    void setBet(qint32 bet) { m_bet = bet; }

    /// Bonus of the 1st to 4th place (index 0 to 3), signed.
    qint32 placeBonus(int place) const { return m_placeBonus.at(static_cast<std::size_t>(place)); }
    const BonusTable& bonusTable() const { return m_placeBonus; }
    /// Stores the four place bonuses, first place first.
    void setBonusTable(const BonusTable& bonuses) { m_placeBonus = bonuses; }
    void resetBonusTable() { m_placeBonus = {0, 0, 0, 0}; }

    /// Fee per player.
    qint32 fee() const { return m_fee; }
    void setFee(qint32 fee) { m_fee = fee; }

    /// Percentage taken from the pot.
    qint32 rakePercent() const { return m_rakePercent; }
    void setRakePercent(qint32 percent) { m_rakePercent = percent; }

    /// Number of players the pot is counted for.
    qint32 players() const { return m_players; }
    void setPlayers(qint32 players) { m_players = players; }

    friend bool operator==(const TableValue&, const TableValue&) = default;

private:
    qint32 m_settlement = 0;
    qint32 m_bet = 0;
    BonusTable m_placeBonus {0, 0, 0, 0};
    qint32 m_fee = 0;
    qint32 m_rakePercent = 0;
    qint32 m_players = 0;
};
