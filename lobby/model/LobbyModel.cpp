#include "LobbyModel.h"

#include "TableInfo.h"
#include "TableModel.h"

#include <stdexcept>
#include <utility>

LobbyModel::LobbyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
    , m_filter(&m_defaultFilter)
{
    setDynamicSortFilter(true);
    setSortLocaleAware(true);
}

LobbyModel::~LobbyModel()
{
    // The rows that the release below takes away are no longer followed:
    // with many thousands of them that would cost more than the removal.
    if (sourceModel()) {
        disconnect(sourceModel(), &QObject::destroyed, this, &LobbyModel::tableModelDestroyed);
        QSortFilterProxyModel::setSourceModel(nullptr);
    }
    unsubscribeFilterPaths();
}

void LobbyModel::setSourceModel(QAbstractItemModel* model)
{
    unsubscribeFilterPaths();
    if (sourceModel())
        disconnect(sourceModel(), &QObject::destroyed, this, &LobbyModel::tableModelDestroyed);
    // Views that rebuild on the reset below read records through tableInfo().
    m_tableModel = qobject_cast<TableModel*>(model);
    QSortFilterProxyModel::setSourceModel(model);
    if (model)
        connect(model, &QObject::destroyed, this, &LobbyModel::tableModelDestroyed);
    subscribeFilterPaths();
}

void LobbyModel::setLobbyPath(const QString& path)
{
    if (m_filter == &m_defaultFilter && m_defaultFilter.currentPath() == path)
        return;
    unsubscribeFilterPaths();
    m_defaultFilter.setPath(path);
    m_filter = &m_defaultFilter;
    subscribeFilterPaths();
    invalidateFilter();
}

void LobbyModel::setFilter(LobbyFilter* filter)
{
    if (filter == m_filter)
        return;
    unsubscribeFilterPaths();
    m_filter = filter;
    subscribeFilterPaths();
    invalidateFilter();
}

void LobbyModel::filterContentChanged()
{
    const QStringList old = std::exchange(m_subscribedPaths, {});
    subscribeFilterPaths();
    if (m_tableModel) {
        for (const QString& path : old)
            m_tableModel->unsubscribe(path);
    }
    invalidateFilter();
}

const TableInfo& LobbyModel::tableInfo(qint32 tableId) const
{
    if (!m_tableModel)
        throw std::runtime_error("Source model not set to table model");
    return m_tableModel->tableInfo(tableId);
}

bool LobbyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (!m_filter)
        return false;
    const QAbstractItemModel* source = sourceModel();
    return m_filter->accepts(source, source->index(sourceRow, 0, sourceParent));
}

void LobbyModel::tableModelDestroyed(QObject* obj)
{
    Q_UNUSED(obj);
    // The model is going away: nothing is released on it.
    m_subscribedPaths.clear();
    m_tableModel.clear();
    QSortFilterProxyModel::setSourceModel(nullptr);
}

void LobbyModel::subscribeFilterPaths()
{
    if (!m_tableModel || !m_filter)
        return;
    for (int i = 0; i < m_filter->pathCount(); ++i) {
        const QString& path = m_filter->path(i);
        if (path.isEmpty())
            continue;
        m_tableModel->subscribe(path);
        m_subscribedPaths.append(path);
    }
}

void LobbyModel::unsubscribeFilterPaths()
{
    const QStringList paths = std::exchange(m_subscribedPaths, {});
    if (!m_tableModel)
        return;
    for (const QString& path : paths)
        m_tableModel->unsubscribe(path);
}
