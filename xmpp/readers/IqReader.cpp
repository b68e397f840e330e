// Iq payloads, chosen by the first child element alone.
#include "IqReader.h"

#include "BoundedText.h"
#include "ElementReader.h"
#include "Exceptions.h"
#include "IqBind.h"
#include "IqDisco.h"
#include "IqRoster.h"
#include "IqSearch.h"
#include "IqVCard.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <stdexcept>

namespace xmpp {

namespace {
/// The longest name of a discovery item (a room's name) taken.
constexpr qsizetype MaxItemName = 1024;
} // namespace

std::unique_ptr<Iq> parseIq(XmlElement element)
{
    std::unique_ptr<Iq> iq;
    const XmlElement payload = element.firstChildElement();
    const QString ns = payload.namespaceURI();
    const QString name = payload.localName();
    auto named = [&](const char* wanted) { return name == QLatin1String(wanted); };
    if (payload.isNull())
        iq = std::make_unique<Iq>();
    else if (ns == QLatin1String("urn:ietf:params:xml:ns:xmpp-bind"))
        iq = named("bind") ? std::unique_ptr<Iq>(parseBind(payload)) : std::make_unique<Iq>();
    else if (ns == QLatin1String("vcard-temp"))
        iq = named("vCard") ? std::unique_ptr<Iq>(std::make_unique<IqVCard>(payload)) : std::make_unique<Iq>();
    else if (ns == QLatin1String("jabber:iq:roster"))
        iq = named("query") ? std::unique_ptr<Iq>(std::make_unique<IqRoster>(payload)) : std::make_unique<Iq>();
    else if (ns == QLatin1String("urn:ietf:params:xml:ns:xmpp-session"))
        iq = named("session") ? std::unique_ptr<Iq>(std::make_unique<IqSession>()) : std::make_unique<Iq>();
    else if (ns == QLatin1String("http://jabber.org/protocol/disco#items"))
        iq = named("query") ? std::unique_ptr<Iq>(parseDiscoItems(payload)) : std::make_unique<Iq>();
    else if (ns == QLatin1String("http://jabber.org/protocol/disco#info"))
        iq = named("query") ? std::unique_ptr<Iq>(parseDiscoInfo(payload)) : std::make_unique<Iq>();
    else if (ns == QLatin1String("jabber:iq:search"))
        iq = named("query") ? std::unique_ptr<Iq>(std::make_unique<IqSearch>(payload)) : std::make_unique<Iq>();
    else
        iq = std::make_unique<Iq>();

    const QString type = element.attribute(QStringLiteral("type"));
    if (names::iqTypeFromName(type) < 0)
        throw stream_parse_error(0, QStringLiteral("invalid iq type attribute <%1>").arg(type));
    return iq;
}

std::unique_ptr<IqBind> parseBind(XmlElement element)
{
    auto bind = std::make_unique<IqBind>();
    const XmlElement resource = element.firstChildElement(QStringLiteral("resource"));
    if (!resource.isNull())
        bind->resource = resource.text();
    const XmlElement jid = element.firstChildElement(QStringLiteral("jid"));
    if (!jid.isNull())
        bind->jid = parseJid(jid.text());
    return bind;
}

std::unique_ptr<IqDiscoItems> parseDiscoItems(XmlElement element)
{
    auto disco = std::make_unique<IqDiscoItems>();
    for (XmlElement e = element.firstChildElement(QStringLiteral("item")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("item"))) {
        XMPPJid jid;
        try {
            jid = parseJid(e.attribute(QStringLiteral("jid")));
        } catch (const std::invalid_argument&) {
            qCWarning(lcXmpp) << "discovery item with an over-long JID left out";
            continue;
        }
        // Any user names a room: an item that no list could show is left
        // out, and the rest of the list stays.
        QString name = e.attribute(QStringLiteral("name"));
        if (name.size() > MaxItemName) {
            qCWarning(lcXmpp) << "discovery item with an over-long name left out";
            continue;
        }
        disco->items.append({jid.toString(), boundedText(name, text::MaxNameLength), e.attribute(QStringLiteral("node"))});
    }
    return disco;
}

std::unique_ptr<IqDiscoInfo> parseDiscoInfo(XmlElement element)
{
    auto disco = std::make_unique<IqDiscoInfo>();
    for (XmlElement e = element.firstChildElement(QStringLiteral("identity")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("identity"))) {
        disco->identities.append({e.attribute(QStringLiteral("category")),
                                  boundedText(e.attribute(QStringLiteral("name")), text::MaxNameLength),
                                  e.attribute(QStringLiteral("type"))});
    }
    for (XmlElement e = element.firstChildElement(QStringLiteral("feature")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("feature")))
        disco->features.append(e.attribute(QStringLiteral("var")));
    return disco;
}

} // namespace xmpp
