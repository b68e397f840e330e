#pragma once

#include "CustomItemBase.h"

/// The Players cell: its Qt::DisplayRole data is the row's TableCapacity and
/// it sorts by it.
class TableCapacityItem : public CustomItemBase
{
public:
    using CustomItemBase::CustomItemBase;

    bool operator<(const QStandardItem& other) const override;
    /// A TableCapacity in Qt::DisplayRole also sets the sort key.
    void setData(const QVariant& value, int role = Qt::UserRole + 1) override;
};
