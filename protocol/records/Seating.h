#pragma once

#include <QMetaType>
#include <QtGlobal>

#include <array>
#include <iosfwd>

/// The seating of a hand: four player ids in wind order. The player whose id
/// stands at index i sits at wind i (0 east, 1 south, 2 west, 3 north).
class Seating
{
public:
    Seating() = default;
    Seating(qint32 east, qint32 south, qint32 west, qint32 north);

    /// The player at a wind 0 to 3; -1 for any other wind.
    qint32 playerAt(int wind) const;
    /// The wind of a player, -1 when the player is not seated.
    int windOf(qint32 pid) const;

    const std::array<qint32, 4>& players() const { return m_players; }

    friend bool operator==(const Seating&, const Seating&) = default;

private:
    std::array<qint32, 4> m_players{{-1, -1, -1, -1}};
};

std::ostream& operator<<(std::ostream& out, const Seating& seating);

Q_DECLARE_METATYPE(Seating)
