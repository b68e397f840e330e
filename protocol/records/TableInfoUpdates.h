#pragma once

#include <QMetaType>

#include <functional>
#include <string>
#include <vector>

struct TableInfo;

/// One change of a TableInfo, built from one changed or removed lobby key.
/// The value was converted and checked when the message was decoded, so
/// applying the change cannot fail on server data.
struct TableInfoUpdate
{
    /// The lobby key the change came from, e.g. "RULESET".
    std::string key;
    /// True when the server removed the key (the field goes back to its default).
    bool removal = false;
    /// Performs the change. Calling an empty one throws std::bad_function_call.
    std::function<void(TableInfo&)> apply;
};

/// The changes of one table update, in the order they are applied: the
/// changed keys in wire order, then the removed keys in wire order. The seated
/// count is not part of it; it travels beside the list.
using TableInfoUpdates = std::vector<TableInfoUpdate>;

Q_DECLARE_METATYPE(TableInfoUpdates)
