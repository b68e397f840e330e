#pragma once

#include <QStringList>

/// Lobby paths such as "101/Regular" or "101/mtt/7" name nested lists of
/// tables; a path stands for itself and every path below it.
namespace LobbyPath {
/// Whether key stands for path: the same path, or one below it ("101/mtt/1"
/// covers "101/mtt/1/a" but never "101/mtt/12").
bool covers(const QString& key, const QString& path);
/// Every path that could cover the given one, narrowest first: the path
/// itself, then each of its ancestors with and without the trailing "/".
QStringList coveringCandidates(const QString& path);
}
