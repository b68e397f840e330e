#pragma once

#include <QStandardItem>

/// The Players cell: its Qt::DisplayRole data is the row's TableCapacity and
/// it sorts by it.
class TableCapacityItem : public QStandardItem
{
public:
    using QStandardItem::QStandardItem;

    bool operator<(const QStandardItem& other) const override;
};
