#include "WallLayout.h"

#include <algorithm>

namespace WallLayout {

int fillModeForRuleset(int ruleset)
{
    switch (ruleset) {
    case 0:
        return 1;
    case 2:
        return 0;
    default:
        return 2;
    }
}

int wrap(long long i, int n)
{
    if (n <= 0)
        return 0;
    const long long r = i % n;
    return int(r < 0 ? r + n : r);
}

int addTile(int kind)
{
    switch (kind) {
    case Empty:
        return One;
    case One:
        return Two;
    case Two:
        return Three;
    default:
        return kind;
    }
}

namespace {

/// Adds tiles one by one, tile number k going onto stack k / 2.
class Builder
{
public:
    explicit Builder(std::vector<int>& kinds)
        : kinds(kinds)
    {
    }
    void addTiles(long long first, int count)
    {
        // A negative count from a confused server adds nothing; a huge one
        // cannot do more than fill every stack to the top.
        count = std::clamp(count, 0, int(kinds.size()) * 3 * 2);
        // Tile numbers before the wall's start belong to the stacks before
        // it: round down, not toward zero.
        for (int k = 0; k < count; ++k) {
            const long long number = first + k;
            addToStack(number >= 0 ? number / 2 : -((1 - number) / 2));
        }
    }
    void addToStack(long long stack)
    {
        int& kind = kinds[std::size_t(wrap(stack, int(kinds.size())))];
        kind = addTile(kind);
    }

private:
    std::vector<int>& kinds;
};

} // namespace

Fill fill(int mode, int stacksPerSide, const State& s)
{
    const int S = std::max(stacksPerSide, 1);
    const int N = 4 * S;
    Fill out;
    const bool full = s.liveTiles == 0 && s.deadWallTiles == 0 && s.deadWallPos == 0;
    out.kinds.assign(std::size_t(N), full ? Two : Empty);
    if (full)
        return out;
    Builder builder(out.kinds);
    const long long P = (long long)s.deadWallDealt + 2LL * s.deadWallPos;
    const long long E = (long long)s.deadWallDealt / 2 + s.deadWallPos;
    switch (mode) {
    case 0:
        builder.addTiles(P, s.deadWallTiles);
        for (std::size_t j = 0; j < s.doraTiles.size(); ++j)
            out.shown[wrap((long long)s.deadWallPos + 2 + (long long)j, N)] = s.doraTiles[j];
        builder.addTiles(P + s.deadWallTiles, s.liveTiles);
        out.liveEnd = wrap(E + ((long long)s.deadWallTiles + 1) / 2 + ((long long)s.liveTiles + 1) / 2, N);
        out.deadEnd = wrap(E, N);
        break;
    case 1: {
        const int m = std::max((s.deadWallTiles + 1) / 2 - 1, 0);
        if (s.deadWallTiles < 13) {
            builder.addTiles(P, s.deadWallTiles);
        } else {
            builder.addTiles(2 * E, 2 * m);
            if (s.deadWallTiles == 14)
                builder.addToStack(E + 1);
            builder.addToStack(E + 4);
        }
        builder.addTiles(2 * (E + m) + 2, s.liveTiles);
        out.liveEnd = wrap(E + ((long long)s.liveTiles + 1) / 2 + m, N);
        if (s.deadWallTiles == 13)
            out.deadEnd = wrap(E + 4, N);
        else if (s.deadWallTiles == 14)
            out.deadEnd = wrap(E + 1, N);
        else
            out.deadEnd = wrap(E, N);
        break;
    }
    default:
        builder.addTiles(P, s.liveTiles);
        out.liveEnd = wrap(((long long)s.liveTiles + s.deadWallDealt + 1) / 2 + s.deadWallPos + N - 1, N);
        out.deadEnd = wrap(E, N);
        break;
    }
    return out;
}

End endOf(int globalStack, int stacksPerSide, int rotation)
{
    const int S = std::max(stacksPerSide, 1);
    const int g = wrap(globalStack, 4 * S);
    return End{wrap(g / S - rotation, 4), g % S};
}

int firstStackOf(int side, int stacksPerSide, int rotation)
{
    return wrap((long long)side + rotation, 4) * std::max(stacksPerSide, 1);
}

} // namespace WallLayout
