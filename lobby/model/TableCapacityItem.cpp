#include "TableCapacityItem.h"

#include "TableCapacity.h"
#include "TableCapacityPainter.h"

#include <limits>

bool TableCapacityItem::operator<(const QStandardItem& other) const
{
    return capacityLessThan(data(Qt::DisplayRole).value<TableCapacity>(),
                            other.data(Qt::DisplayRole).value<TableCapacity>());
}

void TableCapacityItem::setData(const QVariant& value, int role)
{
    QStandardItem::setData(value, role);
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && value.metaType() == QMetaType::fromType<TableCapacity>()) {
        // The order of capacityLessThan: capacity, then seated, then bots
        // (moved to 0 .. 2^32 - 1 below each seated count).
        const auto capacity = value.value<TableCapacity>();
        const qint64 bots = qint64(capacity.bots()) - std::numeric_limits<qint32>::min();
        setSortKey(SortKey::number(capacity.capacity(), qint64(capacity.seated()) * (qint64(1) << 32) + bots));
    }
}
