#include "PresenceStanza.h"

#include "XmppNames.h"

namespace xmpp {

PresenceStanza::PresenceStanza(const XMPPJid& to, int presenceType, const QString& id)
    : Stanza(id, to, names::presenceType(presenceType))
{
    // The available presence has no type attribute at all, not an empty one.
    if (stanzaType.isEmpty())
        stanzaType = QString();
}

} // namespace xmpp
