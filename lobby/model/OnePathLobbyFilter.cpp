#include "OnePathLobbyFilter.h"

#include "LobbyPath.h"
#include "LobbyRoles.h"

#include <QAbstractItemModel>

OnePathLobbyFilter::OnePathLobbyFilter(const QString& path)
    : m_path(path)
{
}

bool OnePathLobbyFilter::accepts(const QAbstractItemModel* model, const QModelIndex& index) const
{
    if (m_path.isEmpty() || !model)
        return false;
    const QVariant path = model->data(index, LobbyPathRole);
    if (path.typeId() != QMetaType::QString)
        return false;
    return LobbyPath::covers(m_path, path.toString());
}
