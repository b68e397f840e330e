#include "UStackedWidget.h"

UStackedWidget::UStackedWidget(QWidget* parent)
    : QStackedWidget(parent)
{
}
