#include "TableState.h"

#include <ostream>

TableState::TableState(qint32 first, qint32 wind, qint32 third, qint32 discardingPlayer, qint32 riichiSticks,
                       qint32 counterSticks)
    : m_values{first, wind, third, discardingPlayer, riichiSticks, counterSticks}
{
}

std::ostream& operator<<(std::ostream& out, const TableState& state)
{
    out << "TableState<";
    for (int i = 0; i < 6; ++i)
        out << (i ? "," : "") << state.value(i);
    return out << ">";
}
