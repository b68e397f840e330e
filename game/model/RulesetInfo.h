#pragma once

struct TableInfo;

/// Wall sizes of one ruleset: how many tiles start in the dead wall and how
/// many in the live wall.
class RulesetInfo
{
public:
    virtual ~RulesetInfo() = default;
    virtual int deadWallTiles() const = 0;
    virtual int liveWallTiles() const = 0;
};

/// The wall sizes of ruleset N (0 classic, 1 international, 2 riichi).
template <int N>
class RulesetInfoInstance final : public RulesetInfo
{
public:
    int deadWallTiles() const override;
    int liveWallTiles() const override;
};

/// True for the ruleset indices the client knows (0, 1, 2).
bool isKnownRuleset(int ruleset);

/// The process-wide wall sizes of a ruleset index. Throws std::runtime_error
/// "Ruleset not supported" for anything but 0, 1 and 2.
const RulesetInfo& rulesetInfo(int ruleset);

/// Dead and live wall sizes of a table's ruleset (throw like rulesetInfo).
int deadWallSize(const TableInfo& table);
int liveWallSize(const TableInfo& table);

/// Updates the wall counts in place for `count` tiles drawn, from the live
/// wall or from the dead wall. The dead wall of the classic ruleset is topped
/// up from the live wall in pairs; riichi keeps its dead wall at full size as
/// long as the live wall has tiles; international has no dead wall.
void takeFromWall(int ruleset, int count, bool fromDeadWall, int& liveWall, int& deadWall,
                  int& deadWallDealt);
