#pragma once

#include <QList>
#include <Qt>

class QPainter;
class QPalette;
class QRect;
class QSize;
class QString;
class TableCapacity;

/// Seats stand this many pixels apart; the icons are 14 pixels high.
inline constexpr int SeatSpacing = 15;
inline constexpr int SeatIconHeight = 14;

/// Orders by capacity, then seated, then bots.
bool capacityLessThan(const TableCapacity& left, const TableCapacity& right);
/// "%L2 of %L3 players seated" (context "TableCapacity").
QString capacityText(const TableCapacity& capacity);
/// capacity x 15 - 1 wide (saturated to the int range), 14 high.
QSize capacitySizeHint(const TableCapacity& capacity);

/// One seat icon to draw: its kind and top-left corner.
struct SeatIcon
{
    enum Kind { Empty, Bot, Person };
    Kind kind;
    int x;
    int y;
};

/// Where paintTableCapacity puts the icons for rect, right-most seat first;
/// only the seats that reach into visible (by default rect) are listed, so a
/// huge seat count costs no more than the seats that can be seen.
QList<SeatIcon> layoutTableCapacity(const TableCapacity& value, const QRect& rect, Qt::Alignment alignment);
QList<SeatIcon> layoutTableCapacity(const TableCapacity& value, const QRect& rect, Qt::Alignment alignment,
                                    const QRect& visible);

/// Draws one seat icon per seat, anchored in rect: empty seats at the left,
/// then people, bots right-most. Seats that do not fit in rect are still drawn
/// where they fall, as long as they can reach the painter's device.
void paintTableCapacity(const TableCapacity& value, QPainter* painter, const QRect& rect,
                        const QPalette& palette, Qt::Alignment alignment);
