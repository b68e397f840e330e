#include "UTabWidget.h"

#include "UStackedWidget.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QSpacerItem>
#include <QTabBar>
#include <QVBoxLayout>

UTabWidget::UTabWidget(QWidget* parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("UTabWidget"));
    resize(407, 374);

    auto* vboxLayout = new QVBoxLayout(this);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    tabBarContainer = new QFrame(this);
    tabBarContainer->setObjectName(QStringLiteral("tabBarContainer"));
    tabBarContainer->setFrameShape(QFrame::NoFrame);
    auto* hboxLayout = new QHBoxLayout(tabBarContainer);
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setSpacing(0);
    hboxLayout->setContentsMargins(0, 0, 0, 0);
    bar = new QTabBar(tabBarContainer);
    bar->setObjectName(QStringLiteral("tabBar"));
    bar->setDrawBase(false);
    hboxLayout->addWidget(bar);
    hboxLayout->addItem(new QSpacerItem(0, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    vboxLayout->addWidget(tabBarContainer);

    pane = new UStackedWidget(this);
    pane->setObjectName(QStringLiteral("tabPane"));
    vboxLayout->addWidget(pane);

    bottomFrame = new QFrame(this);
    bottomFrame->setObjectName(QStringLiteral("bottomFrame"));
    bottomFrame->setLineWidth(0);
    vboxLayout->addWidget(bottomFrame);

    connect(bar, &QTabBar::currentChanged, pane, &QStackedWidget::setCurrentIndex);
    connect(pane, &QStackedWidget::currentChanged, this, &UTabWidget::currentChanged);
}

int UTabWidget::addTab(QWidget* page, const QString& label)
{
    pane->addWidget(page);
    const int index = bar->addTab(label);
    if (isVisible() && tabBarContainer->layout() != nullptr)
        tabBarContainer->layout()->activate();
    return index;
}

void UTabWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Tabs added or chosen while the widget was hidden were laid out with the
    // hidden bar's size (no height at all): once shown, the bar takes the
    // size of its tabs.
    QMetaObject::invokeMethod(this, &UTabWidget::relayoutBar, Qt::QueuedConnection);
}

void UTabWidget::relayoutBar()
{
    if (bar->count() == 0 || !bar->isVisible())
        return;
    // Setting a tab's text lays the whole bar out and asks for its new size.
    bar->setTabText(0, bar->tabText(0));
    tabBarContainer->updateGeometry();
}

void UTabWidget::removeTab(int index)
{
    QWidget* page = pane->widget(index);
    if (page == nullptr)
        return;
    pane->removeWidget(page);
    bar->removeTab(index);
}

int UTabWidget::count() const
{
    return pane->count();
}

QWidget* UTabWidget::widget(int index) const
{
    return pane->widget(index);
}

int UTabWidget::indexOf(QWidget* page) const
{
    return pane->indexOf(page);
}

int UTabWidget::currentIndex() const
{
    return bar->currentIndex();
}

void UTabWidget::setCurrentIndex(int index)
{
    bar->setCurrentIndex(index);
}

void UTabWidget::setTabText(int index, const QString& text)
{
    bar->setTabText(index, text);
}

void UTabWidget::setTabIcon(int index, const QIcon& icon)
{
    bar->setTabIcon(index, icon);
}
