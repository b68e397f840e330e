#include "TextItem.h"

void TextItem::setData(const QVariant& value, int role)
{
    if (role == Qt::EditRole)
        role = Qt::DisplayRole; // one value, as in QStandardItem
    const bool text = role == Qt::DisplayRole && value != data(role);
    QStandardItem::setData(value, role);
    if (text)
        refreshSortKey();
}

void TextItem::refreshSortKey()
{
    setSortKey(SortKey::text(data(Qt::DisplayRole).toString()));
}
