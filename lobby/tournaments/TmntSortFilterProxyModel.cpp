#include "TmntSortFilterProxyModel.h"

#include "CheckedItem.h"
#include "LobbyRoles.h"
#include "VariantLessThan.h"

TmntSortFilterProxyModel::TmntSortFilterProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
    , keys(this, [](const CustomItemBase* mark, const QModelIndex& markIndex) {
        if (mark && mark->type() == CheckedItem::Type)
            return static_cast<const CheckedItem*>(mark)->isChecked();
        return markIndex.data(CheckedItem::RegisteredRole).toBool();
    })
{
    setDynamicSortFilter(true);
    setSortLocaleAware(true);
}

void TmntSortFilterProxyModel::setSourceModel(QAbstractItemModel* model)
{
    keys.attach(model);
    QSortFilterProxyModel::setSourceModel(model);
}

void TmntSortFilterProxyModel::sort(int column, Qt::SortOrder newOrder)
{
    order = newOrder;
    keys.setColumn(column);
    QSortFilterProxyModel::sort(column, newOrder);
}

Qt::ItemFlags TmntSortFilterProxyModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return QSortFilterProxyModel::flags(index);
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool TmntSortFilterProxyModel::isRegistered(const QModelIndex& sourceIndex) const
{
    return sourceModel()->index(sourceIndex.row(), 0, sourceIndex.parent()).data(CheckedItem::RegisteredRole).toBool();
}

bool TmntSortFilterProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const std::optional<SortKeyCache::Comparison> kept = keys.compare(left, right);
    const bool leftRegistered = kept ? kept->leftPinned : isRegistered(left);
    const bool rightRegistered = kept ? kept->rightPinned : isRegistered(right);
    if (leftRegistered != rightRegistered) {
        // The view reverses the comparison for a descending order; answering
        // against the order keeps the registered rows on top either way.
        return (leftRegistered && order == Qt::AscendingOrder) || (rightRegistered && order == Qt::DescendingOrder);
    }
    if (kept && kept->keys)
        return *kept->keys < 0;
    const QVariant l = left.data(TypedValueRole);
    const QVariant r = right.data(TypedValueRole);
    if (l.isValid() && r.isValid())
        return variantLessThan(l, r);
    return QSortFilterProxyModel::lessThan(left, right);
}
