#pragma once

#include <QRect>
#include <QString>

class QPainter;
class QStyleOptionViewItem;

/// One line of an item view's cell on its font's own baseline. Qt lays a
/// cell's text out at the height of the fonts it falls back to and centres
/// that, so a cell of CJK text sits lower than a cell of Latin text beside
/// it; drawn here, every cell of a row in one font shares its baseline.
namespace ItemText {

/// Whether the cell's text is one line the cell does not wrap, so drawLine() can show it.
bool isOneLine(const QStyleOptionViewItem& option, const QString& text);
/// Draws the text into `rect` less the style's text margins, in the
/// option's font and the painter's pen, elided and aligned as the option asks.
void drawLine(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect, const QString& text);

} // namespace ItemText
