#include "Seating.h"

#include <ostream>

Seating::Seating(qint32 east, qint32 south, qint32 west, qint32 north)
    : m_players{{east, south, west, north}}
{
}

qint32 Seating::playerAt(int wind) const
{
    return wind >= 0 && wind < 4 ? m_players[static_cast<std::size_t>(wind)] : -1;
}

int Seating::windOf(qint32 pid) const
{
    for (int i = 0; i < 4; ++i) {
        if (m_players[static_cast<std::size_t>(i)] == pid)
            return i;
    }
    return -1;
}

std::ostream& operator<<(std::ostream& out, const Seating& seating)
{
    const auto& p = seating.players();
    return out << "Seating<" << p[0] << "," << p[1] << "," << p[2] << "," << p[3] << ">";
}
