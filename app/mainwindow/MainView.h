#pragma once

class AdFetcher;
class CreateUserWindow;
class LoginWindow;
class QFrame;
class QHBoxLayout;
class QLabel;
class QMainWindow;
class QStackedWidget;
class QVBoxLayout;
class QWidget;
class TableSelector;
class UPushButton;
class UTabWidget;

/// The widgets of the main window: the login, create-user and logged-in
/// pages, the top bar, and the lobby page with its tabs, advertisement and
/// lobby chat. Built on the window by setupUi(); texts in context "MainView".
struct MainView
{
    QStackedWidget* centralWidget = nullptr;
    QFrame* loginWidget = nullptr;
    LoginWindow* loginWindow = nullptr;
    QFrame* createUserWidget = nullptr;
    CreateUserWindow* createUserWindow = nullptr;
    QFrame* loggedInWidget = nullptr;
    QFrame* topBar = nullptr;
    /// Left to right: name, balance, the table buttons, then the four buttons.
    QHBoxLayout* topBarLayout = nullptr;
    QLabel* usernameLabel = nullptr;
    QLabel* accountBalanceLabel = nullptr;
    /// The Lobby button and one button per open table.
    TableSelector* tableSelector = nullptr;
    UPushButton* accountButton = nullptr;
    UPushButton* supportButton = nullptr;
    UPushButton* toggleFullscreenButton = nullptr;
    UPushButton* quitButton = nullptr;
    /// A strip under the top bar, shown while the game server is silent;
    /// it never takes the keys.
    QLabel* silenceNotice = nullptr;
    QStackedWidget* loggedInStack = nullptr;
    QFrame* lobbyWidget = nullptr;
    QLabel* logo = nullptr;
    UTabWidget* mainTabs = nullptr;
    QFrame* sideFrame = nullptr;
    AdFetcher* adfetcher1 = nullptr;
    QFrame* lobbyChatFrame = nullptr;
    QFrame* chatHeader = nullptr;
    QLabel* label = nullptr;
    QFrame* chatIcon = nullptr;
    /// Holds the lobby chat room area under the chat header.
    QVBoxLayout* lobbyChatLayout = nullptr;
    QLabel* zephyrtangleLogo = nullptr;
    QLabel* serverTime = nullptr;

    void setupUi(QMainWindow* window);
    void retranslateUi(QMainWindow* window);
};
