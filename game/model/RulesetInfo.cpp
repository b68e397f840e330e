#include "RulesetInfo.h"

#include <stdexcept>

#include "TableInfo.h"

namespace {
struct WallSizes
{
    int dead;
    int live;
};

constexpr WallSizes wallSizes[] = {
    {14, 130}, // classic
    {0, 144},  // international: no dead wall at all
    {14, 122}, // riichi
};
}

template <int N>
int RulesetInfoInstance<N>::deadWallTiles() const
{
    return wallSizes[N].dead;
}

template <int N>
int RulesetInfoInstance<N>::liveWallTiles() const
{
    return wallSizes[N].live;
}

template class RulesetInfoInstance<0>;
template class RulesetInfoInstance<1>;
template class RulesetInfoInstance<2>;

bool isKnownRuleset(int ruleset)
{
    return ruleset >= 0 && ruleset <= 2;
}

const RulesetInfo& rulesetInfo(int ruleset)
{
    switch (ruleset) {
    case 0: {
        static const RulesetInfoInstance<0> classic;
        return classic;
    }
    case 1: {
        static const RulesetInfoInstance<1> international;
        return international;
    }
    case 2: {
        static const RulesetInfoInstance<2> riichi;
        return riichi;
    }
    default:
        throw std::runtime_error("Ruleset not supported");
    }
}

int deadWallSize(const TableInfo& table)
{
    return rulesetInfo(table.ruleset).deadWallTiles();
}

int liveWallSize(const TableInfo& table)
{
    return rulesetInfo(table.ruleset).liveWallTiles();
}

void takeFromWall(int ruleset, int count, bool fromDeadWall, int& liveWall, int& deadWall,
                  int& deadWallDealt)
{
    if (!fromDeadWall) {
        liveWall -= count;
        return;
    }
    switch (ruleset) {
    case 0: {
        const int topUpBelow = rulesetInfo(0).deadWallTiles() - 2;
        for (int i = 0; i < count; ++i) {
            --deadWall;
            // The classic dead wall is replenished two tiles at a time from
            // the end of the live wall, while the live wall has them.
            if (deadWall <= topUpBelow && liveWall >= 2) {
                liveWall -= 2;
                deadWall += 2;
            }
        }
        break;
    }
    case 1:
        liveWall -= count;
        break;
    case 2:
        for (int i = 0; i < count; ++i) {
            if (liveWall >= 1)
                --liveWall; // the dead wall stays at 14; the live wall pays for it
            else
                --deadWall;
        }
        break;
    default:
        break;
    }
    deadWallDealt += count;
}
