// The payloads of message and presence. Their contents come from other
// users and rooms: a field that cannot be read is a fault of that one
// stanza, so it is logged and left at its default instead of ending the
// stream.
#include "MessagePresenceReader.h"

#include "BoundedText.h"
#include "ElementReader.h"
#include "MucPresenceStanza.h"
#include "ValueParsing.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <iterator>
#include <set>
#include <stdexcept>

namespace xmpp {

namespace {

const QString Und = QStringLiteral("UND");

/// Another user's text as anything downstream may show it.
QString userText(const XmlElement& element)
{
    return boundedText(element.text(), text::MaxTextLength);
}

/// The JID text of an attribute, or empty (logged) when a part is over the length limit.
QString jidText(const QString& text)
{
    if (text.isEmpty())
        return QString();
    try {
        return parseJid(text).toString();
    } catch (const std::invalid_argument& e) {
        qCWarning(lcXmpp) << "JID left out:" << e.what();
        return QString();
    }
}

std::optional<DelayedDeliveryInfo> delayFrom(const XmlElement& element, const QDateTime& stamp)
{
    if (!stamp.isValid()) {
        qCWarning(lcXmpp) << "delay stamp left out, unreadable:" << element.attribute(QStringLiteral("stamp"));
        return std::nullopt;
    }
    DelayedDeliveryInfo info;
    info.from = jidText(element.attribute(QStringLiteral("from")));
    info.stamp = stamp;
    return info;
}

/// A room attribute's value: 0 for the empty text or "none" (the first
/// name), the position of its name, or -1 for any other text.
template<size_t N>
int noneOrPosition(const char* const (&names)[N], const QString& text)
{
    if (text.isEmpty())
        return 0;
    for (size_t i = 0; i < N; ++i) {
        if (text == QLatin1String(names[i]))
            return int(i);
    }
    return -1;
}

} // namespace

std::optional<DelayedDeliveryInfo> parseDelay(XmlElement element)
{
    return delayFrom(element, parseDateTime(element.attribute(QStringLiteral("stamp"))));
}

std::optional<DelayedDeliveryInfo> parseLegacyDelay(XmlElement element)
{
    return delayFrom(element, parseLegacyDateTime(element.attribute(QStringLiteral("stamp"))));
}

std::unique_ptr<MessageStanza> parseMessage(XmlElement element)
{
    // One pass over the children; the first delay, legacy delay and thread
    // count, and a later body or subject of a language replaces an earlier one.
    auto message = std::make_unique<MessageStanza>();
    XmlElement delay, legacyDelay;
    bool threadSeen = false;
    for (XmlElement c = element.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        const QString name = c.localName();
        if (name == QLatin1String("body")) {
            const QString language = languageOf(c);
            message->bodies.insert(language.isEmpty() ? Und : language, userText(c));
        } else if (name == QLatin1String("subject")) {
            const QString language = languageOf(c);
            message->subjects.insert(language.isEmpty() ? Und : language, userText(c));
        } else if (name == QLatin1String("thread")) {
            if (!threadSeen)
                message->thread = c.text();
            threadSeen = true;
        } else if (name == QLatin1String("delay")) {
            if (delay.isNull() && c.namespaceURI() == QLatin1String("urn:xmpp:delay"))
                delay = c;
        } else if (name == QLatin1String("x")) {
            if (legacyDelay.isNull() && c.namespaceURI() == QLatin1String("jabber:x:delay"))
                legacyDelay = c;
        }
    }
    if (!delay.isNull())
        message->delay = parseDelay(delay);
    else if (!legacyDelay.isNull())
        message->delay = parseLegacyDelay(legacyDelay);
    return message;
}

int parseShow(XmlElement element)
{
    if (element.isNull())
        return 0;
    return names::showFromName(element.text());
}

int parseAffiliation(const QString& text)
{
    static const char* const names[] = {"none", "admin", "member", "outcast", "owner"};
    return noneOrPosition(names, text);
}

int parseRole(const QString& text)
{
    static const char* const names[] = {"none", "moderator", "participant", "visitor"};
    return noneOrPosition(names, text);
}

MucUserInfo parseMucUser(XmlElement element)
{
    MucUserInfo info;
    const XmlElement item = element.firstChildElement(QStringLiteral("item"));
    if (!item.isNull()) {
        info.itemJid = jidText(item.attribute(QStringLiteral("jid")));
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
        info.nick = boundedText(item.attribute(QStringLiteral("nick")), text::MaxNameLength);
        const XmlElement actor = item.firstChildElement(QStringLiteral("actor"));
        info.actor = jidText(actor.attribute(QStringLiteral("jid")));
        const XmlElement reason = item.firstChildElement(QStringLiteral("reason"));
        if (!reason.isNull())
            info.reason = userText(reason);
        const XmlElement cont = item.firstChildElement(QStringLiteral("continue"));
        if (!cont.isNull())
            info.continueThread = cont.attribute(QStringLiteral("thread"));
    }
    const XmlElement destroy = element.firstChildElement(QStringLiteral("destroy"));
    if (!destroy.isNull()) {
        info.destroyed = true;
        info.destroyReason = userText(destroy.firstChildElement(QStringLiteral("reason")));
    }
    for (XmlElement s = element.firstChildElement(QStringLiteral("status")); !s.isNull();
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

std::unique_ptr<PresenceStanza> parsePresence(XmlElement element)
{
    static const QString mucNs = QStringLiteral("http://jabber.org/protocol/muc");
    static const QString mucUserNs = QStringLiteral("http://jabber.org/protocol/muc#user");
    static const QString updateNs = QStringLiteral("vcard-temp:x:update");
    static const QString tablesNs = QLatin1String(TablePresenceNamespace);
    static const QString x = QStringLiteral("x");

    // One pass over the children, keeping the first of each kind; statuses
    // of one language replace earlier ones.
    XmlElement mucUser, tables, update, show, priority;
    QMap<QString, QString> statuses;
    bool joinsRoom = false;
    for (XmlElement c = element.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        const QString name = c.localName();
        if (name == x) {
            const QString ns = c.namespaceURI();
            if (ns == mucNs)
                joinsRoom = true;
            else if (ns == mucUserNs && mucUser.isNull())
                mucUser = c;
            else if (ns == updateNs && update.isNull())
                update = c;
        } else if (name == QLatin1String("status")) {
            const QString language = languageOf(c);
            statuses.insert(language.isEmpty() ? Und : language, userText(c));
        } else if (name == QLatin1String("show")) {
            if (show.isNull())
                show = c;
        } else if (name == QLatin1String("priority")) {
            if (priority.isNull())
                priority = c;
        } else if (name == QLatin1String("tables")) {
            if (tables.isNull() && c.namespaceURI() == tablesNs)
                tables = c;
        }
        // The room marker counts at any depth.
        if (!joinsRoom)
            joinsRoom = containsElementNS(c, x, mucNs);
    }

    std::unique_ptr<PresenceStanza> presence =
        joinsRoom ? std::make_unique<MucPresenceStanza>() : std::make_unique<PresenceStanza>();
    if (!mucUser.isNull()) {
        presence->mucUserInfo = parseMucUser(mucUser);
        presence->mucUser = true;
    }
    // A player sits at a few tables: the first paths in order are kept, as
    // the windows list them, in whatever order the presence names them. A
    // path is a short address; one too long to be one is left out rather
    // than cut into another.
    std::set<QString> paths;
    for (XmlElement p = tables.firstChildElement(QStringLiteral("path")); !p.isNull();
         p = p.nextSiblingElement(QStringLiteral("path"))) {
        const QString path = p.text();
        if (path.size() > text::MaxTablePathLength)
            continue;
        paths.insert(path);
        if (paths.size() > size_t(text::MaxTablePaths))
            paths.erase(std::prev(paths.end()));
    }
    presence->tables = QSet<QString>(paths.cbegin(), paths.cend());
    if (!update.isNull())
        presence->photoHash = parsePhotoHash(update);

    const int showValue = parseShow(show);
    if (showValue < 0)
        qCWarning(lcXmpp) << "invalid presence show data" << show.text() << "left out";
    else
        presence->show = showValue;

    presence->statuses = statuses;

    const QString priorityText = priority.text();
    if (!priorityText.isEmpty()) {
        bool ok = false;
        const int value = priorityText.trimmed().toInt(&ok, 10);
        if (ok && value >= -128 && value <= 127)
            presence->priority = value;
        else
            qCWarning(lcXmpp) << "invalid presence priority" << priorityText << "left out";
    }
    return presence;
}

} // namespace xmpp
