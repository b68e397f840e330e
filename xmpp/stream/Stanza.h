#pragma once

#include "StreamElement.h"
#include "XMPPJid.h"

#include <QString>

namespace xmpp {

/// What message, presence and iq share: addressing, id, type text, language
/// and the error of an error stanza.
class Stanza : public StreamElement
{
public:
    Stanza() = default;
    Stanza(const QString& id, const QString& stanzaType) : id(id), stanzaType(stanzaType) {}
    Stanza(const QString& id, const XMPPJid& to, const QString& stanzaType) : to(to), id(id), stanzaType(stanzaType) {}
    Stanza(const Stanza&) = default;
    Stanza& operator=(const Stanza&) = default;
    int type() const override { return KindStanza; }

    XMPPJid to;
    XMPPJid from;
    QString id;
    /// The "type" attribute as written ("get", "chat", "unavailable" ...).
    QString stanzaType;
    /// The "xml:lang" attribute.
    QString language;
    /// names::stanzaErrorType value; 0 none.
    int errorType = 0;
    /// names::stanzaErrorCondition value; 0 none.
    int errorCondition = 0;
    /// The human-readable text of a received error, as the peer wrote it
    /// (empty when it gave none). Never written.
    QString errorText;
};

} // namespace xmpp
