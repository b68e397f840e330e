#pragma once

#include "XMPPJid.h"

#include <QWidget>

class FriendDetailWindow;
class FriendsFilter;
class FriendsRosterModel;
class PlayerDb;
class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QModelIndex;
class QPushButton;
class TableModel;
class XMPPClient;
struct XMPPRosterItem;

/// The friends page: the friends list with availability, the detail pane of
/// the selected friend, the user search and a menu to remove a friend.
/// Adding and removing are presence subscriptions and roster changes; the
/// list follows the server's answers. Join and watch requests of the detail
/// pane leave as this window's signals.
class FriendsWindow : public QWidget
{
    Q_OBJECT

public:
    FriendsWindow(XMPPClient* client, PlayerDb* playerDb, QWidget* parent = nullptr);
    ~FriendsWindow() override;

    /// The user search service; the search controls are usable exactly
    /// while it is not empty.
    void setSearchJid(const XMPPJid& jid);
    /// The lobby's table model, in which the detail pane finds the friend's tables.
    void setTableModel(TableModel* model);
    /// Opens the search window with the text and searches at once; nothing
    /// happens for an empty text or while a search window is open.
    void openSearchWindow(const QString& text);
    /// The roster item of the JID's bare form, or null. Valid until the roster changes.
    const XMPPRosterItem* rosterItemForJid(const XMPPJid& jid) const;
    /// Asks the player for a subscription, unless that is the own user or the
    /// player is already a friend or asked.
    void addFriend(const XMPPJid& jid);

    QListView* friendList() const { return m_friendList; }
    QLineEdit* friendSearchEdit() const { return m_friendSearchEdit; }
    QPushButton* searchButton() const { return m_searchButton; }
    FriendDetailWindow* friendDetail() const { return m_friendDetail; }
    QAction* removeAction() const { return m_removeAction; }
    QMenu* contextMenu() const { return m_contextMenu; }
    FriendsRosterModel* rosterModel() const { return m_rosterModel; }

Q_SIGNALS:
    /// The user asked to join a friend's table.
    void joinTable(int tableId);
    /// The user asked to watch a friend's table.
    void watchTable(qint32 tableId);

public Q_SLOTS:
    void onFriendListContextMenu(const QPoint& pos);
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void onDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    /// Removes the friend the detail pane shows: "unsubscribe" and
    /// "unsubscribed" when the friend also sees the own user, and the roster
    /// item. The pane then shows nobody until a friend is picked again.
    void onRemoveAction();
    /// Shows the current friend's details in a window of their own.
    void onDetailAction();
    void onDoSearch();
    void onSelectedJid(const XMPPJid& jid);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void setOwnTexts();
    const XMPPRosterItem* currentItem() const;
    void removeFriend(const XMPPJid& jid);
    void showCurrentItem();
    static void centerOnMainWindow(QWidget* widget);

    QAction* m_removeAction = nullptr;
    QMenu* m_contextMenu = nullptr;
    XMPPJid m_searchJid;
    XMPPClient* m_client;
    PlayerDb* m_playerDb;
    TableModel* m_tableModel = nullptr;
    FriendsFilter* m_filter = nullptr;
    FriendsRosterModel* m_rosterModel = nullptr;

    QFrame* m_lobbyChatTopFrame = nullptr;
    QLabel* m_label = nullptr;
    QGroupBox* m_friendListGroup = nullptr;
    QListView* m_friendList = nullptr;
    QLineEdit* m_friendSearchEdit = nullptr;
    QPushButton* m_searchButton = nullptr;
    QGroupBox* m_friendDetailBox = nullptr;
    FriendDetailWindow* m_friendDetail = nullptr;
};
