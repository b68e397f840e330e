#pragma once

class CustomItemBase;
class QAbstractItemModel;
class QAbstractProxyModel;
class QStandardItem;
class QStandardItemModel;

/// The cells behind the rows of a sort proxy's (flat) source, with their sort
/// keys: the source's own items when it is an item model, or those of the
/// item model under one more proxy (a slice of the table lobby). The way down
/// is found once and checked at each use, so that a cell costs no cast.
class KeyedCells
{
public:
    /// The cell at a row and column of the source; null when it is no keyed
    /// cell.
    const CustomItemBase* cell(const QAbstractItemModel* source, int row, int column) const;

private:
    void find(const QAbstractItemModel* model) const;
    static const CustomItemBase* keyed(const QStandardItem* item);

    mutable const QAbstractItemModel* source = nullptr;
    mutable const QAbstractProxyModel* proxy = nullptr;
    mutable const QAbstractItemModel* proxySource = nullptr;
    mutable const QStandardItemModel* items = nullptr;
};
