#pragma once

#include "XMPPRosterItem.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QVector>

class XMPPClient;

/// The own XMPP roster as a flat list with one column: one row per contact
/// in arrival order, showing the contact's bare JID. Fed only by the client:
/// a roster answer replaces every row, pushes change one row, presences
/// update the contact's resources. Every subscription request is accepted at
/// once. Rows and presences survive a disconnection until the next roster
/// answer. GUI thread only.
class XMPPRosterModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    /// Asks for the roster at once when the client already has a session.
    explicit XMPPRosterModel(XMPPClient* client, QObject* parent = nullptr);
    ~XMPPRosterModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    /// The JID text for the display role of a row; nothing else.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    /// The item of a row of this model; null for an invalid index, another
    /// model's index, a column other than 0 or a row out of range. The
    /// pointer is valid until the rows change.
    const XMPPRosterItem* itemAt(const QModelIndex& index) const;
    /// The item whose JID equals the bare form of jid, or null.
    const XMPPRosterItem* itemForJid(const XMPPJid& jid) const;
    /// The index (row, column 0) of that item; invalid when there is none.
    QModelIndex indexForJid(const XMPPJid& jid) const;

    XMPPClient* client() const { return m_client; }

public Q_SLOTS:
    /// The session is up: fetches the roster.
    void onConnected();
    /// Keeps every row and presence until the next roster answer.
    void onDisconnected();
    /// A full roster answer follows: every row goes at once, and the
    /// answer's rows come in blocks, one per turn of the event loop in which
    /// items arrived, so that a large roster is neither inserted (and
    /// measured by the views) row by row nor in one long step.
    void onRosterReset();
    /// The answer's items are all in: the last block is shown.
    void onRosterComplete();
    /// One item of a roster answer or push.
    void onRosterUpdate(const XMPPJid& jid, int subscribeFlags, bool remove, const QString& name,
                        const QString& group);
    /// Stores or drops the sender resource's presence when the sender is a
    /// contact. The row changes in the roles that show availability
    /// (decoration and tool tip) only: no row's text follows presences.
    void onPresence(const XMPPPresence& presence);
    /// Accepts the request: the requester may see the own presence.
    void onAuthorizationRequestReceived(const XMPPJid& from);

private:
    /// Shows the items the views do not know of yet, as one block.
    void showNewRows();
    int rowOfJid(const QString& bareJid) const;
    void appendItem(const XMPPRosterItem& item);
    /// Marks the row's item gone at once (no JID finds it) and leaves the
    /// row to flushRemovals(), so that the rows after it keep their numbers
    /// meanwhile.
    void removeItem(int row);
    /// Takes out the rows of the items gone since the last call in one pass
    /// and renumbers the rest once, so that a push removing thousands of
    /// friends costs a pass over the list, not one per friend. Runs at the
    /// next turn of the event loop.
    void flushRemovals();
    /// Points the JIDs of the rows from `first` on at their rows.
    void renumberFrom(int first);

    XMPPClient* m_client;
    QVector<XMPPRosterItem> m_items;
    /// Bare JID text -> the row holding it, kept beside the rows so
    /// that a presence burst from a large roster costs the same per stanza
    /// as from a small one.
    QHash<QString, int> m_rowOfJid;
    /// Between a roster answer's reset and its last item.
    bool m_resetting = false;
    /// Rows whose items are gone, waiting for flushRemovals().
    QList<int> m_goneRows;
    /// Runs of gone rows past which the views are reset rather than told
    /// of each run (each costs them a pass over their rows).
    static constexpr int MaxRemovedRuns = 8;
    /// While resetting, the rows the views know of; the items after them
    /// came in this turn and are shown as one block when it ends.
    int m_shown = 0;
    bool m_showQueued = false;
};
