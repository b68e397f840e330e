#pragma once

#include <QStringList>

namespace ParlorResources {
/// Root of the edition tree, searched before the default tree.
inline constexpr char editionTree[] = ":parlor7/";
/// Root of the default tree.
inline constexpr char defaultTree[] = ":default/";

/// The compiled trees in search order.
QStringList compiledTrees();
}
