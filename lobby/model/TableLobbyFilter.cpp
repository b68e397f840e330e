#include "TableLobbyFilter.h"

#include <QAbstractItemModel>

bool TableLobbyFilter::accepts(const QAbstractItemModel* model, const QModelIndex& index) const
{
    if (tableIds.isEmpty() || !model)
        return false;
    const QVariant id = model->data(index, Qt::UserRole);
    bool ok = false;
    const int tableId = id.toInt(&ok);
    return ok && tableIds.contains(tableId);
}
