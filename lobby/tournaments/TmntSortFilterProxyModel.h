#pragma once

#include "SortKeyCache.h"

#include <QSortFilterProxyModel>

/// The order of the tournaments lobby: tournaments the user is registered for
/// first, whichever column and direction; the rest by the column's typed value.
class TmntSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit TmntSortFilterProxyModel(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* model) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    /// A tournament row: selectable and enabled, never with children. Answered
    /// here: the tree view asks it of every row after each sort.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    /// By the cells' sort keys where both have one, else by their values.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool isRegistered(const QModelIndex& sourceIndex) const;

    Qt::SortOrder order = Qt::AscendingOrder;
    SortKeyCache keys;
};
