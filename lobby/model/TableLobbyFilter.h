#pragma once

#include "LobbyFilter.h"

#include <QSet>
#include <QStringList>

/// A chosen set of tables, listed under the given lobby paths.
class TableLobbyFilter : public LobbyFilter
{
public:
    QStringList paths;
    QSet<int> tableIds;

    int pathCount() const override { return int(paths.size()); }
    const QString& path(int i) const override { return paths.at(i); }
    /// False with no table ids; else the row's table id must be one of them.
    bool accepts(const QAbstractItemModel* model, const QModelIndex& index) const override;
};
