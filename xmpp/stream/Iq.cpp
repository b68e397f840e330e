#include "Iq.h"

#include "XmppNames.h"

namespace xmpp {

Iq::Iq(const QString& id, const XMPPJid& to, int iqType) : Stanza(id, to, names::iqType(iqType)) {}

} // namespace xmpp
