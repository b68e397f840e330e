// The payloads of message and presence. Their contents come from other
// users and rooms: a field that cannot be read is a fault of that one
// stanza, so it is logged and left at its default instead of ending the
// stream.
#include "MessagePresenceReader.h"

#include "ElementReader.h"
#include "MucPresenceStanza.h"
#include "ValueParsing.h"
#include "XmppLog.h"
#include "XmppNames.h"

namespace xmpp {

namespace {

const QString Und = QStringLiteral("UND");

void readLanguageTexts(const QDomElement& parent, const QString& name, QMap<QString, QString>& texts)
{
    for (QDomElement e = parent.firstChildElement(name); !e.isNull(); e = e.nextSiblingElement(name)) {
        const QString language = languageOf(e);
        texts.insert(language.isEmpty() ? Und : language, e.text());
    }
}

std::optional<DelayedDeliveryInfo> delayFrom(const QDomElement& element, const QDateTime& stamp)
{
    if (!stamp.isValid()) {
        qCWarning(lcXmpp) << "delay stamp left out, unreadable:" << element.attribute(QStringLiteral("stamp"));
        return std::nullopt;
    }
    DelayedDeliveryInfo info;
    const QString from = element.attribute(QStringLiteral("from"));
    info.from = parseJid(from).toString();
    info.stamp = stamp;
    return info;
}

/// Whether an element of this name and namespace occurs anywhere below the parent.
bool containsNS(const QDomElement& parent, const QString& name, const QString& ns)
{
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if ((e.localName() == name && e.namespaceURI() == ns) || containsNS(e, name, ns))
            return true;
    }
    return false;
}

} // namespace

std::optional<DelayedDeliveryInfo> parseDelay(QDomElement element)
{
    return delayFrom(element, parseDateTime(element.attribute(QStringLiteral("stamp"))));
}

std::optional<DelayedDeliveryInfo> parseLegacyDelay(QDomElement element)
{
    return delayFrom(element, parseLegacyDateTime(element.attribute(QStringLiteral("stamp"))));
}

std::unique_ptr<MessageStanza> parseMessage(QDomElement element)
{
    auto message = std::make_unique<MessageStanza>();
    const QDomElement delay = firstChildElementNS(element, QStringLiteral("delay"), QStringLiteral("urn:xmpp:delay"));
    if (!delay.isNull()) {
        message->delay = parseDelay(delay);
    } else {
        const QDomElement legacy = firstChildElementNS(element, QStringLiteral("x"), QStringLiteral("jabber:x:delay"));
        if (!legacy.isNull())
            message->delay = parseLegacyDelay(legacy);
    }
    readLanguageTexts(element, QStringLiteral("body"), message->bodies);
    readLanguageTexts(element, QStringLiteral("subject"), message->subjects);
    const QDomElement thread = element.firstChildElement(QStringLiteral("thread"));
    if (!thread.isNull())
        message->thread = thread.text();
    return message;
}

int parseShow(QDomElement element)
{
    if (element.isNull())
        return 0;
    return names::showFromName(element.text());
}

int parseAffiliation(const QString& text)
{
    static const char* const names[] = {"none", "admin", "member", "outcast", "owner"};
    if (text.isEmpty())
        return 0;
    for (int i = 0; i < int(std::size(names)); ++i) {
        if (text == QLatin1String(names[i]))
            return i;
    }
    return -1;
}

int parseRole(const QString& text)
{
    static const char* const names[] = {"none", "moderator", "participant", "visitor"};
    if (text.isEmpty())
        return 0;
    for (int i = 0; i < int(std::size(names)); ++i) {
        if (text == QLatin1String(names[i]))
            return i;
    }
    return -1;
}

MucUserInfo parseMucUser(QDomElement element)
{
    MucUserInfo info;
    const QDomElement item = element.firstChildElement(QStringLiteral("item"));
    if (!item.isNull()) {
        const QString jid = item.attribute(QStringLiteral("jid"));
        if (!jid.isEmpty())
            info.itemJid = parseJid(jid).toString();
        const QString affiliation = item.attribute(QStringLiteral("affiliation"));
        info.affiliation = parseAffiliation(affiliation);
        if (info.affiliation < 0) {
            qCWarning(lcXmpp) << "invalid muc affiliation data" << affiliation;
            info.affiliation = 0;
        }
        const QString role = item.attribute(QStringLiteral("role"));
        info.role = parseRole(role);
        if (info.role < 0) {
            qCWarning(lcXmpp) << "invalid muc role data" << role;
            info.role = 0;
        }
        info.nick = item.attribute(QStringLiteral("nick"));
        const QDomElement actor = item.firstChildElement(QStringLiteral("actor"));
        const QString actorJid = actor.attribute(QStringLiteral("jid"));
        if (!actorJid.isEmpty())
            info.actor = parseJid(actorJid).toString();
        const QDomElement reason = item.firstChildElement(QStringLiteral("reason"));
        if (!reason.isNull())
            info.reason = reason.text();
        const QDomElement cont = item.firstChildElement(QStringLiteral("continue"));
        if (!cont.isNull())
            info.continueThread = cont.attribute(QStringLiteral("thread"));
    }
    for (QDomElement s = element.firstChildElement(QStringLiteral("status")); !s.isNull();
         s = s.nextSiblingElement(QStringLiteral("status"))) {
        bool ok = false;
        const int code = s.attribute(QStringLiteral("code")).toInt(&ok, 10);
        if (ok)
            info.statusCodes.append(code);
        else
            qCWarning(lcXmpp) << "invalid muc status code" << s.attribute(QStringLiteral("code"));
    }
    return info;
}

std::unique_ptr<PresenceStanza> parsePresence(QDomElement element)
{
    const QString mucNs = QStringLiteral("http://jabber.org/protocol/muc");
    const bool joinsRoom = containsNS(element, QStringLiteral("x"), mucNs);
    std::unique_ptr<PresenceStanza> presence =
        joinsRoom ? std::make_unique<MucPresenceStanza>() : std::make_unique<PresenceStanza>();

    const QDomElement mucUser = firstChildElementNS(element, QStringLiteral("x"), mucNs + QStringLiteral("#user"));
    if (!mucUser.isNull()) {
        presence->mucUserInfo = parseMucUser(mucUser);
        presence->mucUser = true;
    }
    const QDomElement tables =
        firstChildElementNS(element, QStringLiteral("tables"), QLatin1String(TablePresenceNamespace));
    for (QDomElement p = tables.firstChildElement(QStringLiteral("path")); !p.isNull();
         p = p.nextSiblingElement(QStringLiteral("path")))
        presence->tables.insert(p.text());
    const QDomElement update = firstChildElementNS(element, QStringLiteral("x"), QStringLiteral("vcard-temp:x:update"));
    if (!update.isNull())
        presence->photoHash = parsePhotoHash(update);

    const QDomElement show = element.firstChildElement(QStringLiteral("show"));
    const int showValue = parseShow(show);
    if (showValue < 0)
        qCWarning(lcXmpp) << "invalid presence show data" << show.text() << "left out";
    else
        presence->show = showValue;

    readLanguageTexts(element, QStringLiteral("status"), presence->statuses);

    const QString priority = element.firstChildElement(QStringLiteral("priority")).text();
    if (!priority.isEmpty()) {
        bool ok = false;
        const int value = priority.trimmed().toInt(&ok, 10);
        if (ok && value >= -128 && value <= 127)
            presence->priority = value;
        else
            qCWarning(lcXmpp) << "invalid presence priority" << priority << "left out";
    }
    return presence;
}

} // namespace xmpp
