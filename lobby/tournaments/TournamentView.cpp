#include "TournamentView.h"

#include "BridgedWebPage.h"
#include "PictureFile.h"
#include "UTabWidget.h"
#include "UTreeView.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {
void listSettings(QTreeView* view)
{
    view->setAlternatingRowColors(false);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setSortingEnabled(true);
    view->setAllColumnsShowFocus(true);
}
}

void TournamentView::setupUi(QWidget* window)
{
    window->setObjectName(QStringLiteral("TournamentView"));
    window->resize(739, 589);
    window->setAutoFillBackground(false);
    vboxLayout = new QVBoxLayout(window);
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    tournamentTitleTopFrame = new QFrame(window);
    tournamentTitleTopFrame->setObjectName(QStringLiteral("tournamentTitleTopFrame"));
    tournamentTitleTopFrame->setFrameShape(QFrame::NoFrame);
    auto* hboxLayout = new QHBoxLayout(tournamentTitleTopFrame);
    tournamentTitle = new QLabel(tournamentTitleTopFrame);
    tournamentTitle->setObjectName(QStringLiteral("tournamentTitle"));
    tournamentTitle->setTextFormat(Qt::RichText);
    hboxLayout->addWidget(tournamentTitle);
    closeButton = new QToolButton(tournamentTitleTopFrame);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setIcon(PictureFile::icon(QStringLiteral("resources:/dialog-close-normal.png")));
    closeButton->setAutoRaise(true);
    hboxLayout->addWidget(closeButton);
    vboxLayout->addWidget(tournamentTitleTopFrame);

    tournamentTabs = new UTabWidget(window);
    tournamentTabs->setObjectName(QStringLiteral("tournamentTabs"));

    aboutTab = new QWidget;
    aboutTab->setObjectName(QStringLiteral("aboutTab"));
    auto* gridLayout = new QGridLayout(aboutTab);
    detailsBox = new QGroupBox(aboutTab);
    detailsBox->setObjectName(QStringLiteral("detailsBox"));
    auto* verticalLayout_4 = new QVBoxLayout(detailsBox);
    detailsLabel = new QTextEdit(detailsBox);
    detailsLabel->setObjectName(QStringLiteral("detailsLabel"));
    detailsLabel->setReadOnly(true);
    detailsLabel->setFrameShape(QFrame::NoFrame);
    detailsLabel->setLineWidth(0);
    detailsLabel->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    detailsLabel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalLayout_4->addWidget(detailsLabel);
    gridLayout->addWidget(detailsBox, 0, 0, 2, 1);

    statusBox = new QGroupBox(aboutTab);
    statusBox->setObjectName(QStringLiteral("statusBox"));
    auto* verticalLayout_5 = new QVBoxLayout(statusBox);
    statusLabel = new QLabel(statusBox);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setAlignment(Qt::AlignCenter);
    statusLabel->setWordWrap(true);
    statusLabel->setTextFormat(Qt::PlainText);
    verticalLayout_5->addWidget(statusLabel);
    auto* hboxLayout1 = new QHBoxLayout;
    hboxLayout1->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    joinButton = new QPushButton(statusBox);
    joinButton->setObjectName(QStringLiteral("joinButton"));
    hboxLayout1->addWidget(joinButton);
    leaveButton = new QPushButton(statusBox);
    leaveButton->setObjectName(QStringLiteral("leaveButton"));
    hboxLayout1->addWidget(leaveButton);
    hboxLayout1->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout_5->addLayout(hboxLayout1);
    gridLayout->addWidget(statusBox, 0, 1);

    webView = new QWebEngineView(aboutTab);
    webView->setObjectName(QStringLiteral("webView"));
    // The server names the address: the page keeps to the one policy of the program's web pages.
    webView->setPage(new BridgedWebPage(nullptr, webView));
    gridLayout->addWidget(webView, 2, 0, 1, 2);
    tournamentTabs->addTab(aboutTab, QString());

    standingsTab = new QWidget;
    standingsTab->setObjectName(QStringLiteral("standingsTab"));
    auto* verticalLayout = new QVBoxLayout(standingsTab);
    rankingList = new QTreeView(standingsTab);
    rankingList->setObjectName(QStringLiteral("rankingList"));
    rankingList->setMinimumSize(385, 0);
    listSettings(rankingList);
    verticalLayout->addWidget(rankingList);
    tournamentTabs->addTab(standingsTab, QString());

    tablesTab = new QWidget;
    tablesTab->setObjectName(QStringLiteral("tablesTab"));
    auto* verticalLayout_2 = new QVBoxLayout(tablesTab);
    tableList = new UTreeView(tablesTab);
    tableList->setObjectName(QStringLiteral("tableList"));
    listSettings(tableList);
    verticalLayout_2->addWidget(tableList);
    tournamentTabs->addTab(tablesTab, QString());

    chatTab = new QWidget;
    chatTab->setObjectName(QStringLiteral("chatTab"));
    verticalLayout_3 = new QVBoxLayout(chatTab);
    tournamentTabs->addTab(chatTab, QString());

    tournamentTabs->setCurrentIndex(0);
    vboxLayout->addWidget(tournamentTabs);

    retranslateUi(window);
}

void TournamentView::retranslateUi(QWidget*)
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("TournamentView", text); };
    detailsBox->setTitle(tr("Details"));
    detailsLabel->setPlainText(QString());
    statusBox->setTitle(tr("Status"));
    joinButton->setText(tr("Join Tournament"));
    leaveButton->setText(tr("Leave Tournament"));
    tournamentTabs->setTabText(tournamentTabs->indexOf(aboutTab), tr("About"));
    tournamentTabs->setTabText(tournamentTabs->indexOf(standingsTab), tr("Standings"));
    tournamentTabs->setTabText(tournamentTabs->indexOf(tablesTab), tr("Tables"));
    tournamentTabs->setTabText(tournamentTabs->indexOf(chatTab), tr("Chat"));
}
