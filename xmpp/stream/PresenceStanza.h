#pragma once

#include "MucUserInfo.h"
#include "Stanza.h"

#include <QByteArray>
#include <QMap>
#include <QSet>

namespace xmpp {

/// The table-presence namespace of the "tables" element in a presence.
inline constexpr char TablePresenceNamespace[] = "http://parlor.games/protocol/tables";

/// A presence stanza: availability, statuses, room occupant data, the tables
/// the sender sits at and the hash of the sender's picture.
class PresenceStanza : public Stanza
{
public:
    enum PresenceType { Available = 0, Subscribe, Subscribed, Unsubscribe, Unsubscribed, Unavailable, Probe, Error };
    enum Show { NoShow = 0, Away, Chat, DoNotDisturb, ExtendedAway };

    PresenceStanza() = default;
    /// presenceType: a PresenceType; the type text becomes its name.
    PresenceStanza(const XMPPJid& to, int presenceType, const QString& id);
    PresenceStanza(const PresenceStanza&) = default;
    PresenceStanza& operator=(const PresenceStanza&) = default;
    int type() const override { return KindPresenceStanza; }

    /// A Show value.
    int show = NoShow;
    /// Status texts by language key ("UND" for the stanza's own).
    QMap<QString, QString> statuses;
    int priority = 0;
    /// The presence carried a multi-user-chat user element.
    bool mucUser = false;
    MucUserInfo mucUserInfo;
    /// Table paths ("<lobby path>/<table id>").
    QSet<QString> tables;
    /// Raw hash bytes of the sender's picture; null when none was announced,
    /// empty when an empty one was.
    QByteArray photoHash;
};

} // namespace xmpp
