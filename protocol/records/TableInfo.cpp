#include "TableInfo.h"

#include "ProtocolValues.h"
#include "server_error.h"

#include <QCoreApplication>
#include <QDebug>

namespace {

qint32 intValue(const std::string& key, const ParamValue& value)
{
    if (const auto* number = std::get_if<qint32>(&value))
        return *number;
    throw server_error("table key " + key + " needs an integer, got " + paramValueDebugText(value));
}

std::string textValue(const std::string& key, const ParamValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    throw server_error("table key " + key + " needs a text, got " + paramValueDebugText(value));
}

TableInfoUpdate change(const std::string& key, std::function<void(TableInfo&)> apply)
{
    return TableInfoUpdate {key, false, std::move(apply)};
}

TableInfoUpdate reset(const std::string& key, std::function<void(TableInfo&)> apply)
{
    return TableInfoUpdate {key, true, std::move(apply)};
}

bool isIgnoredKey(const std::string& key)
{
    return key == "MIN_PLAYERS" || key == "SCORE_LIMIT" || key == "SCORE_VALUE";
}

} // namespace

TableInfo::TableInfo()
    : name(QCoreApplication::translate("Utils", "N/A"))
{
}

const TableInfo& TableInfo::defaults()
{
    static const TableInfo record;
    return record;
}

void TableInfo::applyUpdates(const TableInfoUpdates& updates)
{
    for (const TableInfoUpdate& update : updates)
        update.apply(*this);
}

std::optional<TableInfoUpdate> makeTableInfoChange(const std::string& key, const ParamValue& value)
{
    // The conversions run here, while the frame is decoded: a value the client
    // cannot use stops the message before any receiver sees a part of it.
    if (key == "NUMBER_OF_BOTS") {
        const qint32 bots = intValue(key, value);
        return change(key, [bots](TableInfo& info) { info.capacity.setBots(bots); });
    }
    if (key == "GAME_TYPE") {
        const qint32 gameType = gameTypeFromWire(intValue(key, value));
        return change(key, [gameType](TableInfo& info) { info.gameType = gameType; });
    }
    if (key == "SETTLEMENT") {
        const qint32 settlement = settlementFromWire(intValue(key, value));
        return change(key, [settlement](TableInfo& info) { info.value.setSettlement(settlement); });
    }
    if (key == "SPEED") {
        const qint32 speed = intValue(key, value);
        return change(key, [speed](TableInfo& info) { info.speed = speed; });
    }
    if (key == "BET") {
        const qint32 bet = intValue(key, value);
        return change(key, [bet](TableInfo& info) { info.value.setBet(bet); });
    }
    if (key == "FEE") {
        const qint32 fee = intValue(key, value);
        return change(key, [fee](TableInfo& info) { info.value.setFee(fee); });
    }
    if (key == "BONUS_TABLE") {
        const auto bonuses = parseBonusTable(textValue(key, value));
        const TableValue::BonusTable table {bonuses[0], bonuses[1], bonuses[2], bonuses[3]};
        return change(key, [table](TableInfo& info) { info.value.setBonusTable(table); });
    }
    if (key == "MTT_ID") {
        const qint32 mttId = intValue(key, value);
        return change(key, [mttId](TableInfo& info) { info.mttId = mttId; });
    }
    if (key == "RULESET") {
        const qint32 ruleset = rulesetFromWire(intValue(key, value));
        return change(key, [ruleset](TableInfo& info) { info.ruleset = ruleset; });
    }
    if (isIgnoredKey(key))
        return std::nullopt;
    qDebug().nospace() << "unhandled key: '" << key.c_str() << "' => " << paramValueDebugText(value).c_str();
    return std::nullopt;
}

std::optional<TableInfoUpdate> makeTableInfoReset(const std::string& key, const TableInfo& defaults)
{
    if (key == "NUMBER_OF_BOTS") {
        const qint32 bots = defaults.capacity.bots();
        return reset(key, [bots](TableInfo& info) { info.capacity.setBots(bots); });
    }
    if (key == "GAME_TYPE") {
        const qint32 gameType = defaults.gameType;
        const qint32 settlement = defaults.value.settlement();
        return reset(key, [gameType, settlement](TableInfo& info) {
            info.gameType = gameType;
            info.value.setSettlement(settlement);
        });
    }
    if (key == "SETTLEMENT") {
        // The server no longer states a settlement kind: back to "no stake"
        // rather than keeping a stake that may no longer apply.
        const qint32 settlement = defaults.value.settlement();
        return reset(key, [settlement](TableInfo& info) { info.value.setSettlement(settlement); });
    }
    if (key == "SPEED") {
        const qint32 speed = defaults.speed;
        return reset(key, [speed](TableInfo& info) { info.speed = speed; });
    }
    if (key == "BET") {
        const qint32 bet = defaults.value.bet();
        return reset(key, [bet](TableInfo& info) { info.value.setBet(bet); });
    }
    if (key == "FEE") {
        const qint32 fee = defaults.value.fee();
        return reset(key, [fee](TableInfo& info) { info.value.setFee(fee); });
    }
    if (key == "BONUS_TABLE") {
        const TableValue::BonusTable bonuses = defaults.value.bonusTable();
        return reset(key, [bonuses](TableInfo& info) { info.value.setBonusTable(bonuses); });
    }
    if (key == "MTT_ID") {
        const qint32 mttId = defaults.mttId;
        return reset(key, [mttId](TableInfo& info) { info.mttId = mttId; });
    }
    if (key == "RULESET") {
        const qint32 ruleset = defaults.ruleset;
        return reset(key, [ruleset](TableInfo& info) { info.ruleset = ruleset; });
    }
    if (isIgnoredKey(key))
        return std::nullopt;
    qDebug().nospace() << "unhandled key: '" << key.c_str();
    return std::nullopt;
}

void applyTableInfoParam(TableInfo& info, const std::string& key, const ParamValue& value)
{
    if (auto update = makeTableInfoChange(key, value))
        update->apply(info);
}

void resetTableInfoKey(TableInfo& info, const std::string& key, const TableInfo& defaults)
{
    if (auto update = makeTableInfoReset(key, defaults))
        update->apply(info);
}

TableInfoUpdates tableInfoUpdatesFromParams(const ParamList& params, const std::vector<std::string>& removedKeys)
{
    TableInfo::defaults();
    TableInfoUpdates updates;
    updates.reserve(params.size() + removedKeys.size());
    for (const Param& param : params) {
        if (auto update = makeTableInfoChange(param.name, decodeParamValue(param.type, param.value)))
            updates.push_back(std::move(*update));
    }
    for (const std::string& key : removedKeys) {
        if (auto update = makeTableInfoReset(key, TableInfo::defaults()))
            updates.push_back(std::move(*update));
    }
    return updates;
}

QString debugText(const TableInfo& info)
{
    // One multi-argument arg() call: a table name holding "%1" must come out as it is.
    const auto n = [](auto value) { return QString::number(value); };
    const auto& v = info.value;
    return QStringLiteral("TableInfo(id %1 \"%2\" path %3 ruleset %4 cap %5/%6 bots %7 type %8 speed %9 "
                          "settlement %10 bet %11 bonus [%12,%13,%14,%15] fee %16 rake %17 players %18 mtt %19)")
        .arg(n(info.tableId), info.name, info.lobbyPath, n(info.ruleset), n(info.capacity.seated()),
             n(info.capacity.capacity()), n(info.capacity.bots()), n(info.gameType), n(info.speed),
             n(v.settlement()), n(v.bet()), n(v.placeBonus(0)), n(v.placeBonus(1)), n(v.placeBonus(2)),
             n(v.placeBonus(3)), n(v.fee()), n(v.rakePercent()), n(v.players()), n(info.mttId));
}
