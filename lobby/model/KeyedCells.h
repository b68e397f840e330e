#pragma once

class CustomItemBase;
class QAbstractItemModel;
class QAbstractProxyModel;
class QModelIndex;
class QStandardItem;
class QStandardItemModel;

/// The cells behind a sort proxy's source indexes, with their sort keys: the
/// source's own items when it is an item model, or those of the item model
/// under one more proxy (a slice of the table lobby). The way down is found
/// once and checked at each use, so that a comparison costs no cast.
class KeyedCells
{
public:
    /// The cell at the index of the proxy's source, or the cell of the same
    /// row in another column; null when it is no keyed cell.
    const CustomItemBase* cell(const QModelIndex& sourceIndex) const;
    const CustomItemBase* cell(const QModelIndex& sourceIndex, int column) const;
    /// The cell at a row and column of a flat source.
    const CustomItemBase* cell(const QAbstractItemModel* source, int row, int column) const;

private:
    void find(const QAbstractItemModel* model) const;
    static const CustomItemBase* keyed(const QStandardItem* item);

    mutable const QAbstractItemModel* source = nullptr;
    mutable const QAbstractProxyModel* proxy = nullptr;
    mutable const QAbstractItemModel* proxySource = nullptr;
    mutable const QStandardItemModel* items = nullptr;
};
