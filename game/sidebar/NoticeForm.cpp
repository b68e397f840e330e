#include "NoticeForm.h"

#include "CentredButtonRow.h"

#include <QLabel>
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
    CentredButtonRow row(content, "horizontalLayout", buttonNames, QSize(40, 20));
    m_buttons = std::move(row.buttons);
    verticalLayout->addLayout(row.layout);
}
