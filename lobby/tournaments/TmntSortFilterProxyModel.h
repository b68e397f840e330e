#pragma once

#include <QSortFilterProxyModel>

/// The order of the tournaments lobby: tournaments the user is registered for
/// first, whichever column and direction; the rest by the column's typed value.
class TmntSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit TmntSortFilterProxyModel(QObject* parent = nullptr);

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    Qt::SortOrder order = Qt::AscendingOrder;
};
