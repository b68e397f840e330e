#pragma once

#include <QStandardItem>

/// Common base of every item that carries a typed sort value beside its text.
class CustomItemBase : public QStandardItem
{
public:
    using QStandardItem::QStandardItem;
};
