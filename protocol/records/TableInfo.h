#pragma once

#include "ParamValue.h"
#include "TableCapacity.h"
#include "TableInfoUpdates.h"
#include "TableValue.h"

#include <QMetaType>
#include <QString>

#include <optional>

/// One lobby table as the server describes it.
struct TableInfo
{
    TableInfo();

    qint32 tableId = -1;
    /// Display name; "N/A" (translated, context "Utils") until the server names it.
    QString name;
    /// The lobby path the server lists the table under, e.g. "101/Regular".
    QString lobbyPath;
    /// 0 classic, 1 international, 2 riichi.
    qint32 ruleset = 0;
    TableCapacity capacity;
    /// 0 single hand, 1 tournament, 2 full game; -1 unknown.
    qint32 gameType = -1;
    /// Time allowed per turn in milliseconds; -1 unknown.
    qint32 speed = -1;
    TableValue value;
    /// The tournament the table belongs to; -1 for none.
    qint32 mttId = -1;

    /// Runs the changes in list order.
    void applyUpdates(const TableInfoUpdates& updates);

    /// The process-wide default record that removals reset fields from.
    static const TableInfo& defaults();

    friend bool operator==(const TableInfo&, const TableInfo&) = default;
};

/// Converts and checks one changed table key. Throws server_error for a value
/// of the wrong kind or one that the key's conversion refuses. Keys that the
/// client does not use give no change.
std::optional<TableInfoUpdate> makeTableInfoChange(const std::string& key, const ParamValue& value);
/// The change for one removed table key: the key's fields copied from the
/// default record; none for keys the client does not use.
std::optional<TableInfoUpdate> makeTableInfoReset(const std::string& key, const TableInfo& defaults);

/// Applies one key to a record (a checked change applied at once).
void applyTableInfoParam(TableInfo& info, const std::string& key, const ParamValue& value);
/// Resets the field of one removed key from the default record.
void resetTableInfoKey(TableInfo& info, const std::string& key, const TableInfo& defaults);

/// Builds the checked change list of a table update: sets first, then resets,
/// each in wire order. Throws server_error for an unknown parameter type or a
/// bad value; then no list (and no signal) results.
TableInfoUpdates tableInfoUpdatesFromParams(const ParamList& params, const std::vector<std::string>& removedKeys);

/// A short readable text of the record, for logs and test failures.
QString debugText(const TableInfo& info);

Q_DECLARE_METATYPE(TableInfo)
