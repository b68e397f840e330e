#include "NoticeForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

NoticeForm::NoticeForm(QWidget* content, int spacerHeight, std::initializer_list<const char*> buttonNames)
{
    auto* verticalLayout = new QVBoxLayout(content);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->addSpacerItem(new QSpacerItem(20, spacerHeight, QSizePolicy::Minimum, QSizePolicy::Expanding));
    m_mainText = new QLabel(content);
    m_mainText->setObjectName(QStringLiteral("mainText"));
    m_mainText->setWordWrap(true);
    verticalLayout->addWidget(m_mainText);
    verticalLayout->addSpacerItem(new QSpacerItem(20, spacerHeight, QSizePolicy::Minimum, QSizePolicy::Expanding));
    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    for (const char* name : buttonNames) {
        auto* button = new QPushButton(content);
        button->setObjectName(QLatin1String(name));
        horizontalLayout->addWidget(button);
        m_buttons.push_back(button);
    }
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(horizontalLayout);
}
