#pragma once

#include "Stanza.h"

#include <QDomElement>

#include <memory>

namespace xmpp {

/// Reads a "jabber:client" element: the payload of a message, presence or
/// iq, then addressing, type, language and error. Throws stream_parse_error.
std::unique_ptr<Stanza> parseStanza(QDomElement element);

} // namespace xmpp
