#include "TournamentsLobbyView.h"

#include "BridgedWebPage.h"
#include "UTabWidget.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWebEngineView>

void TournamentsLobbyView::setupUi(QWidget* window)
{
    window->setObjectName(QStringLiteral("TournamentsLobbyView"));
    window->resize(469, 413);
    window->setAutoFillBackground(false);
    vboxLayout = new QVBoxLayout(window);
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    tournamentsTopFrame = new QFrame(window);
    tournamentsTopFrame->setObjectName(QStringLiteral("tournamentsTopFrame"));
    tournamentsTopFrame->setFrameShape(QFrame::NoFrame);
    auto* vboxLayout1 = new QVBoxLayout(tournamentsTopFrame);
    label = new QLabel(tournamentsTopFrame);
    label->setObjectName(QStringLiteral("label"));
    label->setWordWrap(true);
    vboxLayout1->addWidget(label);
    vboxLayout1->addItem(new QSpacerItem(20, 38, QSizePolicy::Minimum, QSizePolicy::Preferred));
    vboxLayout->addWidget(tournamentsTopFrame);

    auto* vboxLayout2 = new QVBoxLayout;
    tmntTabs = new UTabWidget(window);
    tmntTabs->setObjectName(QStringLiteral("tmntTabs"));
    tab = new QWidget;
    tab->setObjectName(QStringLiteral("tab"));
    auto* vboxLayout3 = new QVBoxLayout(tab);
    vboxLayout3->setContentsMargins(0, 0, 0, 0);
    tournamentsLobbyTreeView = new QTreeView(tab);
    tournamentsLobbyTreeView->setObjectName(QStringLiteral("tournamentsLobbyTreeView"));
    tournamentsLobbyTreeView->setAlternatingRowColors(false);
    tournamentsLobbyTreeView->setRootIsDecorated(false);
    tournamentsLobbyTreeView->setItemsExpandable(false);
    tournamentsLobbyTreeView->setSortingEnabled(true);
    tournamentsLobbyTreeView->setAllColumnsShowFocus(true);
    // Every row is one line: a changed row is found on screen without
    // measuring the rows above it, which costs much with thousands of them.
    tournamentsLobbyTreeView->setUniformRowHeights(true);
    vboxLayout3->addWidget(tournamentsLobbyTreeView);
    webView = new QWebEngineView(tab);
    webView->setObjectName(QStringLiteral("webView"));
    // The server names the address: the page keeps to the one policy of the program's web pages.
    webView->setPage(new BridgedWebPage(nullptr, webView));
    webView->setMinimumSize(0, 100);
    vboxLayout3->addWidget(webView);
    auto* hboxLayout = new QHBoxLayout;
    showInfoButton = new QPushButton(tab);
    showInfoButton->setObjectName(QStringLiteral("showInfoButton"));
    hboxLayout->addWidget(showInfoButton);
    hboxLayout->addItem(new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    vboxLayout3->addLayout(hboxLayout);
    tmntTabs->addTab(tab, QString());
    tmntTabs->setCurrentIndex(0);
    vboxLayout2->addWidget(tmntTabs);
    vboxLayout->addLayout(vboxLayout2);

    retranslateUi(window);
}

void TournamentsLobbyView::retranslateUi(QWidget*)
{
    label->setText(
        QCoreApplication::translate("TournamentsLobbyView", "Choose a tournament to join in the list below. Enjoy!"));
    tmntTabs->setTabText(tmntTabs->indexOf(tab), QCoreApplication::translate("TournamentsLobbyView", "Lobby"));
    showInfoButton->setText(QCoreApplication::translate("TournamentsLobbyView", "Show info"));
}
