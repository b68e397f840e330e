#pragma once

#include "XMPPJid.h"
#include "XMPPPresence.h"

#include <QMap>
#include <QString>

/// One contact of the own roster with the last presence of each of its
/// connected resources. A value; copies share the presence map until written.
struct XMPPRosterItem
{
    /// Subscription bits as the roster extension reports them.
    enum SubscriptionFlag {
        /// The own user receives the contact's presence ("to").
        SubscribedTo = 1,
        /// The contact receives the own presence ("from").
        SubscribedFrom = 2,
        /// An own subscription request waits for the contact's answer.
        SubscriptionPending = 4
    };

    /// The contact's bare JID; never carries a resource.
    XMPPJid jid;
    QString name;
    QString group;
    int subscriptionFlags = 0;
    /// Resource text -> last presence from that resource; only resources
    /// that are connected (an unavailable presence removes its entry).
    QMap<QString, XMPPPresence> presences;

    /// The most available presence, the first in resource order among equals;
    /// null when no resource is connected. Valid until the item changes.
    const XMPPPresence* bestPresence() const;
    /// The availability of the best presence; Unavailable (1) without one.
    int availability() const;
    /// The table paths of every connected resource, each once, sorted; the
    /// first `limit` of them.
    QStringList tables(int limit) const;
};
