#pragma once

#include "OnePathLobbyFilter.h"

#include <QPointer>
#include <QSortFilterProxyModel>
#include <QStringList>

class LobbyFilter;
class TableModel;
struct TableInfo;

/// One slice of the lobby's TableModel, chosen by a LobbyFilter. While a
/// filter is set the model holds the TableModel subscriptions of the
/// filter's paths, so the server sends those tables only while someone looks.
class LobbyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit LobbyModel(QObject* parent = nullptr);
    ~LobbyModel() override;

    /// Releases the subscriptions on the old source, takes the new one and
    /// subscribes the current filter's paths there.
    void setSourceModel(QAbstractItemModel* model) override;

    /// Shows every table under one lobby path (through the built-in filter).
    void setLobbyPath(const QString& path);
    /// Installs a filter the caller owns; null shows no rows.
    void setFilter(LobbyFilter* filter);
    LobbyFilter* filter() const { return m_filter; }
    /// The installed filter's paths or tables changed: the new paths are
    /// taken before the old ones are released, so a path in both keeps its
    /// subscription (and its rows), and rows still accepted stay in place.
    void filterContentChanged();

    /// The source TableModel's record; throws std::runtime_error "Source model
    /// not set to table model" when the source is not a TableModel.
    const TableInfo& tableInfo(qint32 tableId) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private Q_SLOTS:
    void tableModelDestroyed(QObject* obj);

private:
    void subscribeFilterPaths();
    void unsubscribeFilterPaths();

    OnePathLobbyFilter m_defaultFilter;
    LobbyFilter* m_filter;
    QPointer<TableModel> m_tableModel;
    /// The paths subscribed for the current filter, released exactly as taken.
    QStringList m_subscribedPaths;
};
