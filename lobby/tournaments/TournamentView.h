#pragma once

class ConferenceArea;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTextEdit;
class QToolButton;
class QTreeView;
class QVBoxLayout;
class QWebEngineView;
class QWidget;
class UTabWidget;
class UTreeView;

/// The widget tree of a tournament window: a title with a close button over
/// the tabs "About" (details, status with the register and leave buttons,
/// information page), "Standings", "Tables" and "Chat".
class TournamentView
{
public:
    void setupUi(QWidget* window);
    /// Sets every text of the tree in the current language.
    void retranslateUi(QWidget* window);

    QVBoxLayout* vboxLayout = nullptr;
    QFrame* tournamentTitleTopFrame = nullptr;
    QLabel* tournamentTitle = nullptr;
    QToolButton* closeButton = nullptr;
    UTabWidget* tournamentTabs = nullptr;
    QWidget* aboutTab = nullptr;
    QGroupBox* detailsBox = nullptr;
    QTextEdit* detailsLabel = nullptr;
    QGroupBox* statusBox = nullptr;
    QLabel* statusLabel = nullptr;
    QPushButton* joinButton = nullptr;
    QPushButton* leaveButton = nullptr;
    QWebEngineView* webView = nullptr;
    QWidget* standingsTab = nullptr;
    QTreeView* rankingList = nullptr;
    QWidget* tablesTab = nullptr;
    UTreeView* tableList = nullptr;
    QWidget* chatTab = nullptr;
    QVBoxLayout* verticalLayout_3 = nullptr;
    /// The tournament's chat room; null when the program has no chat.
    ConferenceArea* conference = nullptr;
};
