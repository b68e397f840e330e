#include "ItemText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QWidget>

namespace ItemText {

bool isOneLine(const QStyleOptionViewItem& option, const QString& text)
{
    return !text.isEmpty() && (option.features & QStyleOptionViewItem::WrapText) == 0
           && !text.contains(QLatin1Char('\n')) && !text.contains(QChar::LineSeparator);
}

void drawLine(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect, const QString& text)
{
    const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
    const QRect room = rect.adjusted(margin, 0, -margin, 0);
    const QFontMetrics metrics(option.font);
    const QString shown = metrics.elidedText(text, option.textElideMode, room.width());
    const QRect line = QStyle::alignedRect(option.direction, option.displayAlignment,
                                           QSize(metrics.horizontalAdvance(shown), metrics.height()), room);
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setFont(option.font);
    painter->drawText(QPoint(line.left(), line.top() + metrics.ascent()), shown);
    painter->restore();
}

} // namespace ItemText
