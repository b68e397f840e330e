#include "AvatarDelegate.h"

#include "Avatar.h"

#include <QStyle>

void AvatarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant data = index.data(Qt::DisplayRole);
    if (data.userType() == qMetaTypeId<Avatar>()) {
        data.value<Avatar>().paint(painter, option.rect, option.state & QStyle::State_Selected);
        return;
    }
    QItemDelegate::paint(painter, option, index);
}

QSize AvatarDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant data = index.data(Qt::DisplayRole);
    if (data.userType() == qMetaTypeId<Avatar>()) {
        const Avatar avatar = data.value<Avatar>();
        return QSize(avatar.image.width() + 4, avatar.image.height() + 4);
    }
    return QItemDelegate::sizeHint(option, index);
}
