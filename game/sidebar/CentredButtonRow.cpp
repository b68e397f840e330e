#include "CentredButtonRow.h"

#include <QHBoxLayout>
#include <QPushButton>

CentredButtonRow::CentredButtonRow(QWidget* owner, const char* layoutName,
                                   std::initializer_list<const char*> buttonNames, QSize spacer)
    : layout(new QHBoxLayout())
{
    layout->setObjectName(QLatin1String(layoutName));
    layout->addSpacerItem(new QSpacerItem(spacer.width(), spacer.height(), QSizePolicy::Expanding, QSizePolicy::Minimum));
    for (const char* name : buttonNames) {
        auto* button = new QPushButton(owner);
        button->setObjectName(QLatin1String(name));
        layout->addWidget(button);
        buttons.push_back(button);
    }
    layout->addSpacerItem(new QSpacerItem(spacer.width(), spacer.height(), QSizePolicy::Expanding, QSizePolicy::Minimum));
}
