#pragma once

#include <QItemDelegate>

/// Paints the lobby's Players column as a row of seat icons.
class TableCapacityDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit TableCapacityDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
