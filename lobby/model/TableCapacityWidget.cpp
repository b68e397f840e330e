#include "TableCapacityWidget.h"

#include "TableCapacityPainter.h"

#include <QPainter>

TableCapacityWidget::TableCapacityWidget(QWidget* parent)
    : QWidget(parent)
{
}

void TableCapacityWidget::setCapacity(const TableCapacity& capacity)
{
    m_capacity = capacity;
    update();
    updateGeometry();
}

QSize TableCapacityWidget::sizeHint() const
{
    return capacitySizeHint(m_capacity);
}

void TableCapacityWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintTableCapacity(m_capacity, &painter, rect(), palette(), Qt::AlignLeft | Qt::AlignVCenter);
}
