#pragma once

class QFrame;
class QLabel;
class QPushButton;
class QTreeView;
class QVBoxLayout;
class QWebEngineView;
class QWidget;
class UTabWidget;

/// The widget tree of the tournaments lobby window: a top frame with a hint
/// over a tab widget whose first tab lists the tournaments above their
/// short information page and the "Show info" button.
class TournamentsLobbyView
{
public:
    void setupUi(QWidget* window);
    /// Sets every text of the tree in the current language.
    void retranslateUi(QWidget* window);

    QVBoxLayout* vboxLayout = nullptr;
    QFrame* tournamentsTopFrame = nullptr;
    QLabel* label = nullptr;
    UTabWidget* tmntTabs = nullptr;
    QWidget* tab = nullptr;
    QTreeView* tournamentsLobbyTreeView = nullptr;
    QWebEngineView* webView = nullptr;
    QPushButton* showInfoButton = nullptr;
};
