#include "TmntSortFilterProxyModel.h"

#include "CheckedItem.h"
#include "LobbyRoles.h"
#include "VariantLessThan.h"

TmntSortFilterProxyModel::TmntSortFilterProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
    setSortLocaleAware(true);
}

void TmntSortFilterProxyModel::sort(int column, Qt::SortOrder newOrder)
{
    order = newOrder;
    QSortFilterProxyModel::sort(column, newOrder);
}

bool TmntSortFilterProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QAbstractItemModel* source = sourceModel();
    const bool leftRegistered = source->index(left.row(), 0, left.parent()).data(CheckedItem::RegisteredRole).toBool();
    const bool rightRegistered =
        source->index(right.row(), 0, right.parent()).data(CheckedItem::RegisteredRole).toBool();
    if (leftRegistered != rightRegistered) {
        // The view reverses the comparison for a descending order; answering
        // against the order keeps the registered rows on top either way.
        return (leftRegistered && order == Qt::AscendingOrder) || (rightRegistered && order == Qt::DescendingOrder);
    }
    const QVariant l = left.data(TypedValueRole);
    const QVariant r = right.data(TypedValueRole);
    if (l.isValid() && r.isValid())
        return variantLessThan(l, r);
    return QSortFilterProxyModel::lessThan(left, right);
}
