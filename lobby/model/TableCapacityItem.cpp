#include "TableCapacityItem.h"

#include "TableCapacity.h"
#include "TableCapacityPainter.h"

bool TableCapacityItem::operator<(const QStandardItem& other) const
{
    return capacityLessThan(data(Qt::DisplayRole).value<TableCapacity>(),
                            other.data(Qt::DisplayRole).value<TableCapacity>());
}
