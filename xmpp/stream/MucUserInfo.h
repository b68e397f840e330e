#pragma once

#include <QList>
#include <QString>

namespace xmpp {

/// The multi-user-chat occupant record of a room presence.
struct MucUserInfo
{
    /// JID text of who acted (kick, ban).
    QString actor;
    QString reason;
    QString continueThread;
    /// The occupant's real JID text, when the room shows it.
    QString itemJid;
    QString nick;
    /// 0 none, 1 admin, 2 member, 3 outcast, 4 owner.
    int affiliation = 0;
    /// 0 none, 1 moderator, 2 participant, 3 visitor.
    int role = 0;
    /// Status code numbers in document order.
    QList<int> statusCodes;
    /// The room was destroyed (a "destroy" element), with the owner's reason.
    bool destroyed = false;
    QString destroyReason;
};

} // namespace xmpp
