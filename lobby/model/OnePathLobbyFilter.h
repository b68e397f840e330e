#pragma once

#include "LobbyFilter.h"

#include <QString>

/// Every table under one lobby path.
class OnePathLobbyFilter : public LobbyFilter
{
public:
    explicit OnePathLobbyFilter(const QString& path = QString());

    void setPath(const QString& path) { m_path = path; }
    const QString& currentPath() const { return m_path; }

    int pathCount() const override { return 1; }
    const QString& path(int) const override { return m_path; }
    /// False for an empty path; else the row's lobby path must lie under the path.
    bool accepts(const QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    QString m_path;
};
