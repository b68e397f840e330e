#pragma once

#include <QMetaType>
#include <QtGlobal>

#include <iosfwd>

/// The table's game state as the server reports it with a hand start and a
/// table snapshot: six integers kept by position. The game table gives the
/// first three their meaning (the first is a player id, the second a wind);
/// the rest are the player whose discard is open, and the riichi and counter
/// sticks lying on the table.
class TableState
{
public:
    TableState() = default;
    TableState(qint32 first, qint32 wind, qint32 third, qint32 discardingPlayer, qint32 riichiSticks,
               qint32 counterSticks);

    qint32 first() const { return m_values[0]; }
    /// The wind code of the group (0 east to 3 north).
    qint32 wind() const { return m_values[1]; }
    qint32 third() const { return m_values[2]; }
    /// The player whose discard may still be claimed, -1 for none.
    qint32 discardingPlayer() const { return m_values[3]; }
    /// Riichi sticks lying on the table from earlier hands.
    qint32 riichiSticks() const { return m_values[4]; }
    /// Counter sticks on the table.
    qint32 counterSticks() const { return m_values[5]; }

    /// The value at a position 0 to 5; 0 outside.
    qint32 value(int index) const { return index >= 0 && index < 6 ? m_values[index] : 0; }

    void setDiscardingPlayer(qint32 pid) { m_values[3] = pid; }

    friend bool operator==(const TableState&, const TableState&) = default;

private:
    qint32 m_values[6] = {0, 0, 0, -1, 0, 0};
};

std::ostream& operator<<(std::ostream& out, const TableState& state);

Q_DECLARE_METATYPE(TableState)
