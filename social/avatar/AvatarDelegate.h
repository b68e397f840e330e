#pragma once

#include <QItemDelegate>

/// Paints the avatars of the chooser: each picture centred in its cell,
/// with the selection overlay over the selected one. Other data is left to
/// the base delegate.
class AvatarDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    using QItemDelegate::QItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    /// The picture's size plus 2 pixels on every side.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
