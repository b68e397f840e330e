#include "TableCapacityPainter.h"

#include "PictureFile.h"
#include "TableCapacity.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <limits>

namespace {
enum SeatImage { EmptySeat, BotSeat, PersonSeat, SeatImageCount };

struct SeatImages
{
    QPixmap images[SeatImageCount];
    bool loaded = false;
};

SeatImages& seatImages()
{
    static SeatImages images;
    return images;
}

// Pixmaps must go before the application object does.
void releaseSeatImages()
{
    SeatImages& images = seatImages();
    for (QPixmap& image : images.images)
        image = QPixmap();
    images.loaded = false;
}

const QPixmap& seatImage(SeatImage which)
{
    SeatImages& images = seatImages();
    if (!images.loaded) {
        images.images[EmptySeat] = PictureFile::pixmap(QStringLiteral("resources:/cap-empty.png"));
        images.images[BotSeat] = PictureFile::pixmap(QStringLiteral("resources:/cap-bot.png"));
        images.images[PersonSeat] = PictureFile::pixmap(QStringLiteral("resources:/cap-human.png"));
        images.loaded = true;
        qAddPostRoutine(releaseSeatImages);
    }
    return images.images[which];
}

// The part of the painter's logical coordinates that can reach its device
// (its window, and its clip when one is set); rect when that is unknown.
QRect paintableArea(QPainter* painter, const QRect& rect)
{
    const QRect window = painter->window();
    bool invertible = false;
    const QTransform toLogical = painter->worldTransform().inverted(&invertible);
    if (!invertible || window.isEmpty())
        return rect;
    QRectF area = toLogical.mapRect(QRectF(window));
    if (painter->hasClipping())
        area = area.intersected(painter->clipBoundingRect());
    // One pixel of slack on each side for rounding.
    return area.toAlignedRect().adjusted(-1, -1, 1, 1);
}
}

bool capacityLessThan(const TableCapacity& left, const TableCapacity& right)
{
    if (left.capacity() != right.capacity())
        return left.capacity() < right.capacity();
    if (left.seated() != right.seated())
        return left.seated() < right.seated();
    return left.bots() < right.bots();
}

QString capacityText(const TableCapacity& capacity)
{
    return QCoreApplication::translate("TableCapacity", "%L2 of %L3 players seated")
        .arg(capacity.seated())
        .arg(capacity.capacity());
}

QSize capacitySizeHint(const TableCapacity& capacity)
{
    // Computed wide and saturated: a huge seat count from the server must not overflow.
    const qint64 width = qint64(capacity.capacity()) * SeatSpacing - 1;
    return QSize(int(std::clamp<qint64>(width, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())),
                 SeatIconHeight);
}

QList<SeatIcon> layoutTableCapacity(const TableCapacity& value, const QRect& rect, Qt::Alignment alignment)
{
    return layoutTableCapacity(value, rect, alignment, rect);
}

QList<SeatIcon> layoutTableCapacity(const TableCapacity& value, const QRect& rect, Qt::Alignment alignment,
                                    const QRect& visible)
{
    QList<SeatIcon> icons;
    const qint64 seats = std::max(value.capacity(), 0);
    if (seats == 0)
        return icons;

    qint64 xEnd;
    if (alignment & Qt::AlignLeft)
        xEnd = rect.left() + seats * SeatSpacing - 1;
    else if (alignment & Qt::AlignHCenter)
        xEnd = rect.left() + (seats * SeatSpacing + rect.right() - rect.left()) / 2;
    else
        xEnd = rect.right() + 1;

    int y;
    if (alignment & Qt::AlignVCenter)
        y = rect.top() + (rect.bottom() - rect.top() + 1) / 2 - 7;
    else if (alignment & Qt::AlignBottom)
        y = rect.bottom() - 13;
    else
        y = rect.top();

    // Seats entirely right of the visible area are skipped and the loop stops
    // at its left edge, so an absurd capacity from the server costs nothing.
    const qint64 firstVisible = std::max<qint64>(0, (xEnd - visible.right()) / SeatSpacing - 1);
    for (qint64 i = firstVisible; i < seats; ++i) {
        const qint64 x = xEnd + 1 - SeatSpacing * (i + 1);
        if (x + SeatSpacing <= visible.left())
            break;
        if (x > visible.right())
            continue;
        SeatIcon::Kind kind;
        if (i >= value.seated())
            kind = SeatIcon::Empty;
        else if (i < value.bots())
            kind = SeatIcon::Bot;
        else
            kind = SeatIcon::Person;
        icons.append(SeatIcon{kind, int(x), y});
    }
    return icons;
}

void paintTableCapacity(const TableCapacity& value, QPainter* painter, const QRect& rect,
                        const QPalette& /*palette*/, Qt::Alignment alignment)
{
    if (!painter)
        return;
    // Seats are drawn where the layout puts them, also beyond rect; only those
    // that cannot reach the painter's device are left out.
    for (const SeatIcon& icon : layoutTableCapacity(value, rect, alignment, paintableArea(painter, rect)))
        painter->drawPixmap(icon.x, icon.y, seatImage(static_cast<SeatImage>(icon.kind)));
}
