#include "TableCapacityDelegate.h"

#include "ItemText.h"
#include "TableCapacity.h"
#include "TableCapacityPainter.h"

#include <QPainter>
#include <QStyle>

TableCapacityDelegate::TableCapacityDelegate(QObject* parent)
    : QItemDelegate(parent)
{
}

void TableCapacityDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const QVariant data = index.data(Qt::DisplayRole);
    if (data.metaType() != QMetaType::fromType<TableCapacity>()) {
        QItemDelegate::paint(painter, option, index);
        return;
    }
    if (option.state & QStyle::State_Selected)
        painter->fillRect(option.rect, option.palette.brush(QPalette::Current, QPalette::Highlight));
    paintTableCapacity(data.value<TableCapacity>(), painter, option.rect, option.palette,
                       Qt::AlignRight | Qt::AlignVCenter);
}

void TableCapacityDelegate::drawDisplay(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                                        const QString& text) const
{
    if (!ItemText::isOneLine(option, text)) {
        QItemDelegate::drawDisplay(painter, option, rect, text);
        return;
    }
    // The base draws the selection and sets the pen; the text goes on the baseline.
    QItemDelegate::drawDisplay(painter, option, rect, QString());
    ItemText::drawLine(painter, option, rect, text);
}

QSize TableCapacityDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant data = index.data(Qt::DisplayRole);
    if (data.metaType() != QMetaType::fromType<TableCapacity>())
        return QItemDelegate::sizeHint(option, index);
    return capacitySizeHint(data.value<TableCapacity>());
}
