#pragma once

// Table records for the lobby tests.
#include "TableInfo.h"
#include "TableInfoUpdates.h"

#include <QString>

#include <array>
#include <functional>

namespace lobbytest {

struct Money
{
    int kind = 0;
    int bet = 0;
    int fee = 0;
    int rake = 0;
    std::array<qint32, 4> bonus{};
};

inline TableInfo makeTable(qint32 id, const QString& path, const QString& name = QString(), int ruleset = 0,
                           int gameType = 0, int speed = 20000, TableCapacity capacity = TableCapacity(4, 1, 0),
                           Money money = {})
{
    TableInfo info;
    info.tableId = id;
    info.lobbyPath = path;
    info.name = name.isEmpty() ? QStringLiteral("Table %1").arg(id) : name;
    info.ruleset = ruleset;
    info.gameType = gameType;
    info.speed = speed;
    info.capacity = capacity;
    info.value.setSettlement(money.kind);
    info.value.setBet(money.bet);
    info.value.setFee(money.fee);
    info.value.setRakePercent(money.rake);
    info.value.setBonusTable({money.bonus[0], money.bonus[1], money.bonus[2], money.bonus[3]});
    info.value.setPlayers(capacity.capacity());
    return info;
}

inline TableInfoUpdate change(const char* key, std::function<void(TableInfo&)> apply)
{
    return TableInfoUpdate{key, false, std::move(apply)};
}

}
