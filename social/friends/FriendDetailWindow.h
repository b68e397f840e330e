#pragma once

#include "LobbyModel.h"
#include "TableLobbyFilter.h"
#include "XMPPJid.h"

#include <QWidget>

class CompactTableView;
class PlayerDb;
class QAbstractItemModel;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
struct XMPPRosterItem;

/// The detail pane of the friends page: the selected friend's picture,
/// name, presence, the lobby tables where the friend sits (from the table
/// paths of the friend's presence) with Join and Watch, and Remove. It only
/// reports what the user asks for.
class FriendDetailWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FriendDetailWindow(QWidget* parent = nullptr);
    ~FriendDetailWindow() override;

    /// The database of names and pictures; must be set before setRosterItem.
    void setPlayerDb(PlayerDb* playerDb);
    /// The lobby's table model, filtered for the friend's tables.
    void setTableModel(QAbstractItemModel* model);
    /// Shows nobody: no picture, no texts, no tables, Remove disabled.
    void clear();
    /// Shows a friend. Throws std::runtime_error when no player database is set.
    void setRosterItem(const XMPPRosterItem& item);

    /// The pid shown, -1 for nobody.
    qint32 shownPid() const { return m_pid; }
    /// The bare JID of the friend shown; empty for nobody.
    const XMPPJid& shownJid() const { return m_jid; }
    const TableLobbyFilter& tableFilter() const { return m_tableFilter; }
    LobbyModel& lobbyModel() { return m_lobbyModel; }
    CompactTableView* tableListView() const { return m_tableListView; }
    QLabel* avatarLabel() const { return m_avatarLabel; }
    QLabel* presenceIconLabel() const { return m_presenceIconLabel; }
    QLabel* nameLabel() const { return m_nameLabel; }
    QLabel* presenceAndStatusLabel() const { return m_presenceAndStatusLabel; }
    QPushButton* removeButton() const { return m_removeButton; }
    QPushButton* joinButton() const { return m_joinButton; }
    QPushButton* watchButton() const { return m_watchButton; }

    /// The presence line of an item: empty without a subscription or request,
    /// else the availability word, with the status message when there is one
    /// (as ChatOutputWidget::shownText shows it, at most MaxStatusLength).
    static QString presenceText(const XMPPRosterItem& item);
    /// Characters of a status message shown.
    static constexpr qsizetype MaxStatusLength = 300;

    /// Table paths read from one presence at most: more are left out.
    static constexpr int MaxTablePaths = 32;
    /// Side of the square the picture is shown in, in pixels.
    static constexpr int PictureSize = 64;

Q_SIGNALS:
    /// The user asked to join a table of the friend (Join with a table
    /// chosen, or a double-click on one).
    void joinTable(int tableId);
    /// The user asked to watch the chosen table of the friend.
    void watchTable(qint32 tableId);
    /// The user asked to remove the friend shown (shownJid).
    void removeClicked();

public Q_SLOTS:
    void displayStatusIcon(bool display);

private Q_SLOTS:
    void onPlayerPictureUpdate(qint32 pid);
    void on_joinButton_clicked();
    void on_watchButton_clicked();
    void onTableDoubleClicked(qint32 tableId);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    /// Join and Watch are usable while the friend has a table listed.
    void updateTableButtons();
    /// The table the player chose, or -1 after asking which (at the button).
    qint32 chosenTable(QWidget* button);

    qint32 m_pid = -1;
    XMPPJid m_jid;
    PlayerDb* m_playerDb = nullptr;
    TableLobbyFilter m_tableFilter;
    LobbyModel m_lobbyModel;

    QFrame* m_frame = nullptr;
    QLabel* m_avatarLabel = nullptr;
    QLabel* m_presenceIconLabel = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLabel* m_presenceAndStatusLabel = nullptr;
    QPushButton* m_removeButton = nullptr;
    QLabel* m_playerIsSeatedLabel = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    CompactTableView* m_tableListView = nullptr;
    QPushButton* m_joinButton = nullptr;
    QPushButton* m_watchButton = nullptr;
};
