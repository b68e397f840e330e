#include "Avatar.h"

#include "PictureFile.h"

#include <QPainter>

Avatar::Avatar(const QImage& image)
    : image(image)
    , selectionOverlay(PictureFile::pixmap(QStringLiteral("resources:/avatar-selected.png")))
{
}

void Avatar::paint(QPainter* painter, const QRect& rect, bool selected) const
{
    const int x = rect.left() + (rect.width() / 2 - image.width() / 2);
    const int y = rect.top() + (rect.height() / 2 - image.height() / 2);
    painter->drawImage(QPoint(x, y), image);
    if (selected)
        painter->drawPixmap(QPoint(x, y), selectionOverlay);
}
