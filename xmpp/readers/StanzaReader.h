#pragma once

#include "Stanza.h"

#include "XmlTree.h"

#include <memory>

namespace xmpp {

/// Reads a "jabber:client" element: the payload of a message, presence or
/// iq, then addressing, type, language and error. Throws stream_parse_error;
/// a malformed error element throws stanza_error (bad-request) with the
/// stanza's id: it costs only that stanza.
std::unique_ptr<Stanza> parseStanza(XmlElement element);

} // namespace xmpp
