#include "MainView.h"

#include "AdFetcher.h"
#include "CreateUserWindow.h"
#include "LoginWindow.h"
#include "PictureFile.h"
#include "TableSelector.h"
#include "UPushButton.h"
#include "UStackedWidget.h"
#include "UTabWidget.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

template <typename W>
W* make(const char* name, QWidget* parent)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

QFrame* frame(const char* name, QWidget* parent, QFrame::Shape shape = QFrame::NoFrame)
{
    auto* f = make<QFrame>(name, parent);
    f->setFrameShape(shape);
    return f;
}

/// A page that keeps its form in the middle, whatever the window's size.
void centre(QFrame* page, const char* layoutName, QWidget* form)
{
    auto* grid = new QGridLayout(page);
    grid->setObjectName(QLatin1String(layoutName));
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 0, 1);
    grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    grid->addWidget(form, 1, 1);
    grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 2);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 1);
}

}

void MainView::setupUi(QMainWindow* window)
{
    window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(1023, 664);

    centralWidget = make<QStackedWidget>("centralWidget", window);

    loginWidget = frame("loginWidget", centralWidget);
    loginWindow = make<LoginWindow>("loginWindow", loginWidget);
    centre(loginWidget, "gridLayout", loginWindow);
    centralWidget->addWidget(loginWidget);

    createUserWidget = frame("createUserWidget", centralWidget);
    createUserWindow = make<CreateUserWindow>("createUserWindow", createUserWidget);
    centre(createUserWidget, "gridLayout1", createUserWindow);
    centralWidget->addWidget(createUserWidget);

    loggedInWidget = frame("loggedInWidget", centralWidget);
    auto* vboxLayout = new QVBoxLayout(loggedInWidget);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    topBar = frame("topBar", loggedInWidget);
    topBarLayout = new QHBoxLayout(topBar);
    topBarLayout->setObjectName(QStringLiteral("hboxLayout"));
    topBarLayout->setContentsMargins(0, 0, 0, 0);
    usernameLabel = make<QLabel>("usernameLabel", topBar);
    usernameLabel->setTextFormat(Qt::PlainText);
    accountBalanceLabel = make<QLabel>("accountBalanceLabel", topBar);
    accountBalanceLabel->setTextFormat(Qt::PlainText);
    tableSelector = make<TableSelector>("tableSelector", topBar);
    accountButton = make<UPushButton>("accountButton", topBar);
    supportButton = make<UPushButton>("supportButton", topBar);
    toggleFullscreenButton = make<UPushButton>("toggleFullscreenButton", topBar);
    quitButton = make<UPushButton>("quitButton", topBar);
    topBarLayout->addWidget(usernameLabel);
    topBarLayout->addWidget(accountBalanceLabel);
    topBarLayout->addWidget(tableSelector, 1);
    topBarLayout->addWidget(accountButton);
    topBarLayout->addWidget(supportButton);
    topBarLayout->addWidget(toggleFullscreenButton);
    topBarLayout->addWidget(quitButton);
    vboxLayout->addWidget(topBar);
    silenceNotice = make<QLabel>("silenceNotice", loggedInWidget);
    silenceNotice->setTextFormat(Qt::PlainText);
    silenceNotice->setAlignment(Qt::AlignCenter);
    // Its words wrap rather than widen the window past the screen.
    silenceNotice->setWordWrap(true);
    silenceNotice->setFocusPolicy(Qt::NoFocus);
    silenceNotice->hide();
    vboxLayout->addWidget(silenceNotice);

    loggedInStack = make<UStackedWidget>("loggedInStack", loggedInWidget);
    loggedInStack->setLineWidth(0);
    lobbyWidget = frame("lobbyWidget", loggedInStack);
    lobbyWidget->setMinimumSize(1023, 640);
    auto* verticalLayout = new QVBoxLayout(lobbyWidget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(6, 6, 6, 6);

    auto* horizontalLayout = new QHBoxLayout;
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    auto* widget_3 = make<QWidget>("widget_3", lobbyWidget);
    auto* widget = make<QWidget>("widget", lobbyWidget);
    auto* widget_4 = make<QWidget>("widget_4", lobbyWidget);
    auto* verticalLayout_4 = new QVBoxLayout(widget);
    verticalLayout_4->setObjectName(QStringLiteral("verticalLayout_4"));
    verticalLayout_4->setContentsMargins(0, 0, 0, 0);
    logo = make<QLabel>("logo", widget);
    logo->setPixmap(PictureFile::pixmap(QStringLiteral("resources:/logo.png")));
    verticalLayout_4->addWidget(logo);
    auto* horizontalLayout_4 = new QHBoxLayout;
    horizontalLayout_4->setObjectName(QStringLiteral("horizontalLayout_4"));
    mainTabs = make<UTabWidget>("mainTabs", widget);
    mainTabs->setMinimumSize(640, 480);
    horizontalLayout_4->addWidget(mainTabs, 1);
    horizontalLayout_4->addSpacing(6);

    sideFrame = frame("sideFrame", widget);
    sideFrame->setLineWidth(2);
    sideFrame->setMinimumWidth(330);
    auto* verticalLayout_2 = new QVBoxLayout(sideFrame);
    verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
    verticalLayout_2->setSpacing(6);
    verticalLayout_2->setContentsMargins(0, 0, 0, 0);
    adfetcher1 = make<AdFetcher>("adfetcher1", sideFrame);
    adfetcher1->setMinimumSize(330, 200);
    verticalLayout_2->addWidget(adfetcher1);
    lobbyChatFrame = frame("lobbyChatFrame", sideFrame);
    lobbyChatLayout = new QVBoxLayout(lobbyChatFrame);
    lobbyChatLayout->setObjectName(QStringLiteral("verticalLayout_3"));
    lobbyChatLayout->setSpacing(0);
    lobbyChatLayout->setContentsMargins(0, 0, 0, 0);
    chatHeader = frame("chatHeader", lobbyChatFrame);
    auto* horizontalLayout_3 = new QHBoxLayout(chatHeader);
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    label = make<QLabel>("label", chatHeader);
    chatIcon = frame("chatIcon", chatHeader);
    horizontalLayout_3->addWidget(label);
    horizontalLayout_3->addWidget(chatIcon);
    lobbyChatLayout->addWidget(chatHeader);
    lobbyChatLayout->addStretch(1);
    verticalLayout_2->addWidget(lobbyChatFrame, 1);
    horizontalLayout_4->addWidget(sideFrame);
    verticalLayout_4->addLayout(horizontalLayout_4, 1);

    // The lobby takes the window's width: on a large screen the tabs and the
    // chat grow, not the empty margins beside them.
    horizontalLayout->addWidget(widget_3);
    horizontalLayout->addWidget(widget, 1);
    horizontalLayout->addWidget(widget_4);
    verticalLayout->addLayout(horizontalLayout, 1);

    auto* widget_2 = make<QWidget>("widget_2", lobbyWidget);
    auto* horizontalLayout_2 = new QHBoxLayout(widget_2);
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->setSpacing(6);
    horizontalLayout_2->setContentsMargins(0, 0, 0, 0);
    zephyrtangleLogo = make<QLabel>("zephyrtangleLogo", widget_2);
    zephyrtangleLogo->setTextFormat(Qt::RichText);
    serverTime = make<QLabel>("serverTime", widget_2);
    serverTime->setTextFormat(Qt::PlainText);
    horizontalLayout_2->addWidget(zephyrtangleLogo);
    horizontalLayout_2->addStretch();
    horizontalLayout_2->addWidget(serverTime);
    verticalLayout->addWidget(widget_2);

    loggedInStack->addWidget(lobbyWidget);
    vboxLayout->addWidget(loggedInStack, 1);
    centralWidget->addWidget(loggedInWidget);
    centralWidget->setCurrentIndex(2);

    retranslateUi(window);
}

void MainView::retranslateUi(QMainWindow*)
{
    const auto tr = [](const char* text, const char* comment = nullptr) {
        return QCoreApplication::translate("MainView", text, comment);
    };
    accountButton->setText(tr("My account"));
    supportButton->setText(tr("Support"));
    toggleFullscreenButton->setToolTip(tr("Toggle fullscreen"));
    toggleFullscreenButton->setText(tr("Fullscreen"));
    toggleFullscreenButton->setShortcut(QKeySequence(tr("Ctrl+F", "Toggle fullscreen")));
    quitButton->setText(tr("Quit"));
    silenceNotice->setText(tr("The server is not answering. What you do reaches it only when it answers again."));
    label->setText(tr("Lobby chat"));
    zephyrtangleLogo->setText(tr("<span style=\"font-size:8pt; font-weight:600;\">Powered by Zephyrtangle<sup>TM</sup>"
                                 "</span>"));
}
