#pragma once

#include <QMetaType>

#include <functional>
#include <string>
#include <vector>

struct TournamentInfo;

/// One change of a TournamentInfo, built from one changed or removed key.
/// The value was converted and checked when the message was decoded.
struct TournamentInfoUpdate
{
    /// The key the change came from, e.g. "STATUS".
    std::string key;
    /// True when the server removed the key.
    bool removal = false;
    /// Performs the change. Calling an empty one throws std::bad_function_call.
    std::function<void(TournamentInfo&)> apply;
};

/// The changes of one tournament update: the changed keys in wire order, then
/// the removed keys in wire order.
using TournamentInfoUpdates = std::vector<TournamentInfoUpdate>;

Q_DECLARE_METATYPE(TournamentInfoUpdates)
