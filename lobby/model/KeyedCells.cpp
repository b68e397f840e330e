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

const CustomItemBase* KeyedCells::cell(const QModelIndex& sourceIndex) const
{
    return cell(sourceIndex, sourceIndex.column());
}

const CustomItemBase* KeyedCells::cell(const QModelIndex& sourceIndex, int column) const
{
    if (sourceIndex.model() != source || (proxy && proxy->sourceModel() != proxySource))
        find(sourceIndex.model());
    if (!items)
        return nullptr;
    const QModelIndex index = proxy ? proxy->mapToSource(sourceIndex) : sourceIndex;
    const QStandardItem* at = index.model() == items ? items->itemFromIndex(index) : nullptr;
    if (at && column != index.column())
        at = at->parent() ? at->parent()->child(index.row(), column) : items->item(index.row(), column);
    return keyed(at);
}

const CustomItemBase* KeyedCells::cell(const QAbstractItemModel* model, int row, int column) const
{
    if (model != source || (proxy && proxy->sourceModel() != proxySource))
        find(model);
    if (!items)
        return nullptr;
    if (proxy)
        return cell(model->index(row, column), column);
    return keyed(items->item(row, column));
}

const CustomItemBase* KeyedCells::keyed(const QStandardItem* item)
{
    const int type = item ? item->type() : 0;
    return type >= CustomItemBase::Type && type <= CustomItemBase::LastType ? static_cast<const CustomItemBase*>(item)
                                                                             : nullptr;
}
