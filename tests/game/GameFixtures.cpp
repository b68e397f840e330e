#include "GameFixtures.h"

#include <QDateTime>

namespace fixtures {

TableInfo table(int ruleset, int gameType, int capacity)
{
    TableInfo info;
    info.tableId = tableId;
    info.name = QStringLiteral("Bamboo Grove");
    info.lobbyPath = QStringLiteral("101/Regular");
    info.ruleset = ruleset;
    info.gameType = gameType;
    info.capacity = TableCapacity(capacity, 0, 0);
    info.speed = 15000;
    return info;
}

PlayerData player(qint32 id, int wind, bool ready)
{
    PlayerData p(id, QStringLiteral("player%1").arg(id));
    p.setWind(static_cast<game_protocol::wind::enum_t>(wind));
    p.setReady(ready);
    return p;
}

meld_tuple claimMeld(game_protocol::meld_type::enum_t type, tile t, int visibility)
{
    meld_tuple m;
    m.type = type;
    m.visibility = static_cast<game_protocol::meld_visibility::enum_t>(visibility);
    m.meld_tile = t;
    m.extra = -1;
    m.extra_tile = tile(0xFF);
    return m;
}

TableState tableState(qint32 first, qint32 discardingPlayer, qint32 riichiSticks, qint32 counterSticks)
{
    return TableState(first, 0, 0, discardingPlayer, riichiSticks, counterSticks);
}

WallState wallState(qint32 deadWallPosition, const tile_vector& dora, qint32 live, qint32 dead, qint32 dealt)
{
    WallState w;
    w.deadWallPosition = deadWallPosition;
    w.doraTiles = dora;
    w.liveTiles = live;
    w.deadWallTiles = dead;
    w.deadWallTilesDealt = dealt;
    return w;
}

TimeSpan span(int ms)
{
    return TimeSpan(QDateTime::currentDateTimeUtc(), ms);
}

}
