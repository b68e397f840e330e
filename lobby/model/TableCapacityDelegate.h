#pragma once

#include <QItemDelegate>

/// Paints the lobby's Players column as a row of seat icons, and the other
/// cells' one-line texts on their font's baseline (ItemText).
class TableCapacityDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    explicit TableCapacityDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void drawDisplay(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                     const QString& text) const override;
};
