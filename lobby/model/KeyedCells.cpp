#include "KeyedCells.h"

#include "CustomItemBase.h"

#include <QAbstractProxyModel>
#include <QStandardItemModel>

void KeyedCells::find(const QAbstractItemModel* model) const
{
    source = model;
    proxy = qobject_cast<const QAbstractProxyModel*>(model);
    proxySource = proxy ? proxy->sourceModel() : nullptr;
    items = qobject_cast<const QStandardItemModel*>(proxy ? proxySource : model);
}

const CustomItemBase* KeyedCells::cell(const QAbstractItemModel* model, int row, int column) const
{
    if (model != source || (proxy && proxy->sourceModel() != proxySource))
        find(model);
    if (!items)
        return nullptr;
    if (!proxy)
        return keyed(items->item(row, column));
    const QModelIndex index = proxy->mapToSource(model->index(row, column));
    return keyed(index.model() == items ? items->itemFromIndex(index) : nullptr);
}

const CustomItemBase* KeyedCells::keyed(const QStandardItem* item)
{
    const int type = item ? item->type() : 0;
    return type >= CustomItemBase::Type && type <= CustomItemBase::LastType ? static_cast<const CustomItemBase*>(item)
                                                                             : nullptr;
}
