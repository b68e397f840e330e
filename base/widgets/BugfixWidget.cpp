#include "BugfixWidget.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

BugfixWidget::BugfixWidget(QWidget* parent)
    : QWidget(parent)
{
}

void BugfixWidget::paintEvent(QPaintEvent*)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
