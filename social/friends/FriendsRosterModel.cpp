#include "FriendsRosterModel.h"

#include "PlayerDb.h"
#include "PictureFile.h"

#include <QCoreApplication>
#include <QTextDocument>

namespace {

enum class PresenceIcon { Available, Away, ExtendedAway, NotAvailable, Unknown };

/// The five icons, built on first use and kept for the life of the process.
const QIcon& presenceIcon(PresenceIcon which)
{
    static const QIcon icons[] = {
        PictureFile::icon(QStringLiteral("resources:xmpp_available.png")),
        PictureFile::icon(QStringLiteral("resources:xmpp_away.png")),
        PictureFile::icon(QStringLiteral("resources:xmpp_extended_away.png")),
        PictureFile::icon(QStringLiteral("resources:xmpp_not_available.png")),
        PictureFile::icon(QStringLiteral("resources:xmpp_unknown.png")),
    };
    return icons[int(which)];
}

}

FriendsRosterModel::FriendsRosterModel(XMPPClient* client, PlayerDb* playerDb, QObject* parent)
    : XMPPRosterModel(client, parent)
    , m_playerDb(playerDb)
{
    connect(playerDb, &PlayerDb::playerNameUpdate, this, &FriendsRosterModel::onPlayerNameUpdate);
}

FriendsRosterModel::~FriendsRosterModel() = default;

QVariant FriendsRosterModel::data(const QModelIndex& index, int role) const
{
    const XMPPRosterItem* item = itemAt(index);
    if (!item)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_playerDb->playerNameForJid(item->jid);
    case Qt::DecorationRole:
        return availabilityIcon(*item);
    case Qt::ToolTipRole:
        // Tool tips would read names and status messages with markup as rich
        // text; made rich text here on purpose, with the sentence escaped.
        return Qt::convertFromPlainText(toolTipText(*item), Qt::WhiteSpaceNormal);
    default:
        return QVariant();
    }
}

QString FriendsRosterModel::availabilityText(int availability, bool capitalize)
{
    QString text;
    switch (availability) {
    case XMPPPresence::Unavailable:
        text = tr("not available");
        break;
    case XMPPPresence::Online:
        text = tr("online");
        break;
    case XMPPPresence::Away:
    case XMPPPresence::ExtendedAway:
        text = tr("away");
        break;
    case XMPPPresence::FreeForChat:
        text = tr("talkative");
        break;
    case XMPPPresence::DoNotDisturb:
        text = tr("busy");
        break;
    default:
        text = tr("<unknown availability>");
        break;
    }
    if (capitalize && !text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

QIcon FriendsRosterModel::availabilityIcon(const XMPPRosterItem& item)
{
    if (item.subscriptionFlags & XMPPRosterItem::SubscribedTo) {
        switch (item.availability()) {
        case XMPPPresence::Unavailable:
        case XMPPPresence::DoNotDisturb:
            return presenceIcon(PresenceIcon::NotAvailable);
        case XMPPPresence::Online:
        case XMPPPresence::FreeForChat:
            return presenceIcon(PresenceIcon::Available);
        case XMPPPresence::Away:
            return presenceIcon(PresenceIcon::Away);
        case XMPPPresence::ExtendedAway:
            return presenceIcon(PresenceIcon::ExtendedAway);
        default:
            return presenceIcon(PresenceIcon::Unknown);
        }
    }
    if (item.subscriptionFlags & XMPPRosterItem::SubscriptionPending)
        return presenceIcon(PresenceIcon::NotAvailable);
    return presenceIcon(PresenceIcon::Unknown);
}

QString FriendsRosterModel::toolTipText(const XMPPRosterItem& item) const
{
    const QString name = m_playerDb->playerNameForJid(item.jid);
    QString status;
    QString word;
    if (const XMPPPresence* best = item.bestPresence()) {
        status = best->status();
        word = availabilityText(best->availability(), false);
    } else {
        word = availabilityText(XMPPPresence::Unavailable, false);
    }
    if (!status.isEmpty()) {
        //: %1 is friend name, %2 is availability type, %3 is user status message
        return tr("%1 is %2 with status \"%3\"").arg(name, word, status);
    }
    //: %1 is friend name, %2 is availability type
    return tr("%1 is %2").arg(name, word);
}

void FriendsRosterModel::onPlayerNameUpdate(qint32 pid, const QString&)
{
    const QModelIndex changed = indexForJid(m_playerDb->jidForPid(pid));
    if (changed.isValid())
        Q_EMIT dataChanged(changed, changed);
}
