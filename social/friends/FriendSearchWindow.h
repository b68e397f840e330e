#pragma once

#include "XMPPDataForm.h"
#include "XMPPJid.h"

#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class XMPPClient;

/// Looks players up by name through the user search service and offers
/// each result as a new friend. Keeps its own copy of the service's search
/// form; answers tagged for other users of the client are ignored. Stays
/// open after a choice.
class FriendSearchWindow : public QWidget
{
    Q_OBJECT

public:
    /// The request tag of this window's form requests and searches.
    static const QString RequestTag;

    /// Asks for the search form at once when the client has a session.
    FriendSearchWindow(XMPPClient* client, const XMPPJid& searchJid, QWidget* parent = nullptr);
    ~FriendSearchWindow() override;

    /// The text of the search input.
    void setSearchText(const QString& text);
    /// Searches for the input's text now, or as soon as the form is known.
    void startSearch();

    QLineEdit* searchInput() const { return m_searchInput; }
    QPushButton* searchButton() const { return m_searchButton; }
    QPushButton* addToFriendsButton() const { return m_addToFriendsButton; }
    QTreeWidget* resultList() const { return m_resultList; }
    QLabel* statusLabel() const { return m_statusLabel; }
    QAction* addAction() const { return m_addAction; }

Q_SIGNALS:
    /// The user chose a result (button, double-click or menu).
    void selectedJid(XMPPJid jid);

public Q_SLOTS:
    void onConnected();
    void onDisconnected();
    void onRequestSearchFormError(const QString& requestTag);
    void onRequestSearchFormResult(const XMPPDataForm& form, const QString& requestTag);
    void onSearchReport(const XMPPDataReport& report, const QString& requestTag);
    void onSearchError(const QString& requestTag);
    void on_searchButton_clicked();
    void onSearchInputChanged(const QString& text);
    void onAddAction();
    void onResultTableContextMenu(const QPoint& pos);
    void onSelectionChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void setOwnTexts();
    void requestForm();
    void search();

    XMPPClient* m_client;
    XMPPJid m_searchJid;
    XMPPDataForm m_searchForm;
    /// Points into m_searchForm; null while no search field is known.
    XMPPDataForm::Field* m_searchField = nullptr;
    bool m_waiting = false;
    int m_foundCount = -1;
    bool m_searchFailed = false;
    /// The service's form has no text field "search" to put a name in.
    bool m_noNameField = false;
    /// No session with the chat server, and none coming until the next login.
    bool m_offline = false;
    QAction* m_addAction = nullptr;
    QMenu* m_contextMenu = nullptr;

    QLineEdit* m_searchInput = nullptr;
    QPushButton* m_searchButton = nullptr;
    QFrame* m_resultFrame = nullptr;
    QTreeWidget* m_resultList = nullptr;
    QLabel* m_statusLabel = nullptr;
    QPushButton* m_addToFriendsButton = nullptr;
};
