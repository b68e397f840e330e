// What message, presence and iq share: addressing, type, language, error.
#include "StanzaReader.h"

#include "BoundedText.h"
#include "ElementReader.h"
#include "Exceptions.h"
#include "IqReader.h"
#include "MessagePresenceReader.h"
#include "XmppLog.h"
#include "XmppNames.h"

namespace xmpp {

std::unique_ptr<Stanza> parseStanza(XmlElement element)
{
    const QString name = element.localName();
    std::unique_ptr<Stanza> stanza;
    if (name == QLatin1String("message"))
        stanza = parseMessage(element);
    else if (name == QLatin1String("iq"))
        stanza = parseIq(element);
    else if (name == QLatin1String("presence"))
        stanza = parsePresence(element);
    else
        throw stream_parse_error(21, QString());

    const QString to = element.attribute(QStringLiteral("to"));
    if (!to.isEmpty())
        stanza->to = parseJid(to);
    const QString from = element.attribute(QStringLiteral("from"));
    if (!from.isEmpty())
        stanza->from = parseJid(from);
    stanza->id = element.attribute(QStringLiteral("id"));
    stanza->stanzaType = element.attribute(QStringLiteral("type"));
    stanza->language = languageOf(element);

    // A malformed error element is a fault of this one stanza: servers relay
    // messages and presences of other users as they come, and none of them
    // may end the session. The stanza is refused (an answer to one of our
    // requests fails that request); the stream goes on.
    const auto refuse = [&](const QString& why) {
        static LogThrottle refusedLog;
        if (refusedLog.allow())
            qCWarning(lcXmpp).noquote() << name << "refused:" << why << heldBack(refusedLog);
        throw stanza_error(name == QLatin1String("message") ? stanza_error::Message
                           : name == QLatin1String("iq")    ? stanza_error::Iq
                                                            : stanza_error::Presence,
                           names::stanzaErrorTypeFromName(QStringLiteral("modify")),
                           names::stanzaErrorConditionFromName(QStringLiteral("bad-request")), stanza->id);
    };
    const XmlElement error = element.firstChildElement(QStringLiteral("error"));
    if (stanza->stanzaType == QLatin1String("error")) {
        if (error.isNull())
            refuse(QStringLiteral("error stanza didn't include an error tag"));
        const QString errorType = error.attribute(QStringLiteral("type"));
        stanza->errorType = names::stanzaErrorTypeFromName(errorType);
        if (stanza->errorType == 0)
            refuse(QStringLiteral("unknown stanza error type %1").arg(errorType));
        XmlElement condition = error.firstChildElement();
        if (!condition.isNull() && condition.localName() == QLatin1String("text"))
            condition = condition.nextSiblingElement();
        const XmlElement text =
            firstChildElementNS(error, QStringLiteral("text"), QStringLiteral("urn:ietf:params:xml:ns:xmpp-stanzas"));
        stanza->errorText = boundedText(text.text(), text::MaxTextLength);
        if (condition.isNull())
            refuse(QStringLiteral("unknown stanza error condition <>"));
        stanza->errorCondition = names::stanzaErrorConditionFromName(condition.localName());
        if (stanza->errorCondition == 0) {
            // Newer servers name conditions the older list lacks
            // ("policy-violation"); the error still reaches its handler.
            qCWarning(lcXmpp) << "unknown stanza error condition" << condition.localName()
                              << "read as undefined-condition";
            stanza->errorCondition = names::stanzaErrorConditionFromName(QStringLiteral("undefined-condition"));
        }
    } else if (!error.isNull()) {
        refuse(QStringLiteral("non-error stanza included an error tag"));
    }
    return stanza;
}

} // namespace xmpp
