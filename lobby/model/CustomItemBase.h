#pragma once

#include "SortKey.h"

#include <QStandardItem>

/// Common base of every item that carries a typed sort value beside its text,
/// and the sort key of that value.
class CustomItemBase : public QStandardItem
{
public:
    /// QStandardItem::type() of these items; subclasses that must be told
    /// apart answer one of the next few numbers.
    static constexpr int Type = QStandardItem::UserType + 1;
    static constexpr int LastType = Type + 15;

    using QStandardItem::QStandardItem;

    int type() const override { return Type; }
    const SortKey& sortKey() const { return key; }

protected:
    void setSortKey(SortKey newKey) { key = std::move(newKey); }

private:
    SortKey key;
};
