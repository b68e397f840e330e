// The roster as an item model: rows change one by one on pushes and
// presences, and are replaced as a whole only by a full roster answer.
#include "XMPPRosterModel.h"

#include "SocialLog.h"
#include "XMPPClient.h"

#include <QDebug>
#include <QMetaObject>

#include <algorithm>
#include <utility>

XMPPRosterModel::XMPPRosterModel(XMPPClient* client, QObject* parent)
    : QAbstractItemModel(parent)
    , m_client(client)
{
    connect(client, &XMPPClient::connected, this, &XMPPRosterModel::onConnected);
    connect(client, &XMPPClient::disconnected, this, &XMPPRosterModel::onDisconnected);
    connect(client, &XMPPClient::rosterReset, this, &XMPPRosterModel::onRosterReset);
    connect(client, &XMPPClient::rosterUpdate, this, &XMPPRosterModel::onRosterUpdate);
    connect(client, &XMPPClient::rosterComplete, this, &XMPPRosterModel::onRosterComplete);
    connect(client, &XMPPClient::presence, this, &XMPPRosterModel::onPresence);
    connect(client, &XMPPClient::authorizationRequestReceived, this,
            &XMPPRosterModel::onAuthorizationRequestReceived);
    if (client->state() == XMPPClient::SessionState)
        client->requestRoster();
}

XMPPRosterModel::~XMPPRosterModel() = default;

QModelIndex XMPPRosterModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || column != 0 || row < 0 || row >= rowCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex XMPPRosterModel::parent(const QModelIndex&) const
{
    return QModelIndex();
}

int XMPPRosterModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_resetting ? m_shown : int(m_items.size());
}

int XMPPRosterModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant XMPPRosterModel::data(const QModelIndex& index, int role) const
{
    const XMPPRosterItem* item = itemAt(index);
    if (!item || role != Qt::DisplayRole)
        return QVariant();
    return item->jid.toString();
}

const XMPPRosterItem* XMPPRosterModel::itemAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.column() != 0 || index.row() < 0
        || index.row() >= rowCount() || m_items.at(index.row()).jid.isEmpty())
        return nullptr; // no row, or a row whose item is gone
    return &m_items.at(index.row());
}

int XMPPRosterModel::rowOfJid(const QString& bareJid) const
{
    return m_rowOfJid.value(bareJid, -1);
}

void XMPPRosterModel::appendItem(const XMPPRosterItem& item)
{
    const int newRow = int(m_items.size());
    if (!m_resetting)
        beginInsertRows(QModelIndex(), newRow, newRow);
    m_items.append(item);
    // Only a JID not yet on the roster is appended, so no two rows share one.
    m_rowOfJid.insert(item.jid.toString(), newRow);
    if (!m_resetting)
        endInsertRows();
    else if (!std::exchange(m_showQueued, true))
        QMetaObject::invokeMethod(this, &XMPPRosterModel::showNewRows, Qt::QueuedConnection);
}

void XMPPRosterModel::showNewRows()
{
    m_showQueued = false;
    if (!m_resetting || m_items.size() <= m_shown)
        return;
    beginInsertRows(QModelIndex(), m_shown, int(m_items.size()) - 1);
    m_shown = int(m_items.size());
    endInsertRows();
}

void XMPPRosterModel::removeItem(int row)
{
    m_rowOfJid.remove(m_items.at(row).jid.toString());
    m_items[row] = XMPPRosterItem();
    if (m_goneRows.isEmpty())
        QMetaObject::invokeMethod(this, &XMPPRosterModel::flushRemovals, Qt::QueuedConnection);
    m_goneRows.append(row);
}

void XMPPRosterModel::flushRemovals()
{
    if (m_goneRows.isEmpty())
        return;
    std::sort(m_goneRows.begin(), m_goneRows.end());
    const int first = m_goneRows.first();
    // Runs of adjacent rows, last first, so that each run's numbers hold
    // while it is taken out.
    QList<std::pair<int, int>> runs;
    for (const int row : std::as_const(m_goneRows)) {
        if (!runs.isEmpty() && runs.last().second == row - 1)
            runs.last().second = row;
        else
            runs.append({row, row});
    }
    m_goneRows.clear();
    const bool reset = runs.size() > MaxRemovedRuns;
    if (reset) {
        beginResetModel();
        m_items.removeIf([](const XMPPRosterItem& item) { return item.jid.isEmpty(); });
        renumberFrom(first);
        endResetModel();
    } else {
        // The views may look friends up as each run goes.
        for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
            beginRemoveRows(QModelIndex(), run->first, run->second);
            m_items.remove(run->first, run->second - run->first + 1);
            renumberFrom(run->first);
            endRemoveRows();
        }
    }
}

void XMPPRosterModel::renumberFrom(int first)
{
    for (int row = first; row < m_items.size(); ++row)
        m_rowOfJid.insert(m_items.at(row).jid.toString(), row);
}

const XMPPRosterItem* XMPPRosterModel::itemForJid(const XMPPJid& jid) const
{
    const int row = rowOfJid(jid.bare().toString());
    return row < 0 ? nullptr : &m_items.at(row);
}

QModelIndex XMPPRosterModel::indexForJid(const XMPPJid& jid) const
{
    const int row = rowOfJid(jid.bare().toString());
    return row < 0 || row >= rowCount() ? QModelIndex() : createIndex(row, 0);
}

void XMPPRosterModel::onConnected()
{
    m_client->requestRoster();
}

void XMPPRosterModel::onDisconnected()
{
    // The last known roster stays on screen until the next answer replaces it.
}

void XMPPRosterModel::onRosterReset()
{
    beginResetModel();
    m_resetting = true;
    m_items.clear();
    m_rowOfJid.clear();
    m_goneRows.clear();
    m_shown = 0;
    endResetModel();
}

void XMPPRosterModel::onRosterComplete()
{
    if (!m_resetting)
        return;
    showNewRows();
    m_resetting = false;
}

void XMPPRosterModel::onRosterUpdate(const XMPPJid& jid, int subscribeFlags, bool remove, const QString& name,
                                     const QString& group)
{
    const XMPPJid bare = jid.bare();
    const int row = rowOfJid(bare.toString());
    qCDebug(lcSocial) << "onRosterUpdate: " << jid.toString() << " flags" << subscribeFlags << " remove " << remove;
    if (row >= 0 && !remove) {
        XMPPRosterItem& item = m_items[row];
        item.subscriptionFlags = subscribeFlags;
        item.name = name;
        item.group = group;
        const QModelIndex changed = createIndex(row, 0);
        if (row < rowCount())
            Q_EMIT dataChanged(changed, changed);
    } else if (row >= 0 && m_resetting) {
        // An answer lists the roster; it removes nothing.
        qCWarning(lcSocial) << "roster answer with a removal ignored";
    } else if (row >= 0) {
        removeItem(row);
    } else if (!remove) {
        XMPPRosterItem item;
        item.jid = bare;
        item.name = name;
        item.group = group;
        item.subscriptionFlags = subscribeFlags;
        appendItem(item);
    }
}

void XMPPRosterModel::onPresence(const XMPPPresence& presence)
{
    const XMPPJid from = presence.from();
    const int row = rowOfJid(from.bare().toString());
    if (row < 0)
        return; // room occupants and strangers are no contacts
    XMPPRosterItem& item = m_items[row];
    const QString resource = from.resource();
    const int availability = presence.availability();
    if (availability == XMPPPresence::Error)
        qCWarning(lcSocial) << "got error state as presence for a roster item, treating as unavailable";
    if (availability == XMPPPresence::Error || availability == XMPPPresence::Unavailable) {
        if (!item.presences.contains(resource)) {
            qCDebug(lcSocial) << "got unavailable presence for roster item with no previous online presence, ignoring";
            return;
        }
        item.presences.remove(resource);
    } else {
        item.presences.insert(resource, presence);
    }
    const QModelIndex changed = createIndex(row, 0);
    if (row < rowCount())
        Q_EMIT dataChanged(changed, changed, {Qt::DecorationRole, Qt::ToolTipRole});
}

void XMPPRosterModel::onAuthorizationRequestReceived(const XMPPJid& from)
{
    m_client->answerSubscription(from, 1);
}
