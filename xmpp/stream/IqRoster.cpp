// The roster payload. An item's name is its "name" attribute, and a group
// is written only when there is one: an empty "group" element would put the
// contact into a group without a name.
#include "IqRoster.h"

#include "BoundedText.h"
#include "ElementReader.h"
#include "XmlText.h"
#include "XmppLog.h"

#include "XmlTree.h"
#include <QXmlStreamWriter>

#include <stdexcept>

namespace xmpp {

namespace {
const QString RosterNs = QStringLiteral("jabber:iq:roster");
}

IqRoster::IqRoster(const QString& id) : Iq(id, XMPPJid(), Get) {}

IqRoster::IqRoster(const std::vector<Item>& items, const QString& id) : Iq(id, XMPPJid(), Set), m_items(items) {}

IqRoster::IqRoster(const XmlElement& query)
{
    for (XmlElement e = firstChildElementNS(query, QStringLiteral("item"), RosterNs); !e.isNull();
         e = nextSiblingElementNS(e, QStringLiteral("item"), RosterNs)) {
        Item item;
        try {
            item.jid = XMPPJid(e.attribute(QStringLiteral("jid")));
        } catch (const std::invalid_argument&) {
            // One unusable contact must not cost the whole roster.
            qCWarning(lcXmpp) << "roster item with an over-long JID left out";
            continue;
        }
        const QString subscription = e.attribute(QStringLiteral("subscription"));
        item.remove = subscription == QLatin1String("remove");
        if (subscription == QLatin1String("to"))
            item.subscription = Item::To;
        else if (subscription == QLatin1String("from"))
            item.subscription = Item::From;
        else if (subscription == QLatin1String("both"))
            item.subscription = Item::To | Item::From;
        if (e.attribute(QStringLiteral("ask")) == QLatin1String("subscribe"))
            item.subscription |= Item::Ask;
        item.name = boundedText(e.attribute(QStringLiteral("name")), text::MaxNameLength);
        const XmlElement group = firstChildElementNS(e, QStringLiteral("group"), RosterNs);
        if (!group.isNull())
            item.group = boundedText(group.text(), text::MaxNameLength);
        m_items.push_back(item);
    }
}

void IqRoster::writePayload(QXmlStreamWriter& writer) const
{
    if (stanzaType != QLatin1String("get") && stanzaType != QLatin1String("set"))
        return;
    writer.writeStartElement(QStringLiteral("query"));
    writer.writeDefaultNamespace(RosterNs);
    if (stanzaType == QLatin1String("set")) {
        for (const Item& item : m_items) {
            writer.writeStartElement(QStringLiteral("item"));
            writeAttribute(writer, QStringLiteral("jid"), item.jid.toString());
            if (!item.name.isEmpty())
                writeAttribute(writer, QStringLiteral("name"), item.name);
            if (item.remove)
                writer.writeAttribute(QStringLiteral("subscription"), QStringLiteral("remove"));
            if (!item.group.isEmpty())
                writeTextElement(writer, QStringLiteral("group"), item.group);
            writer.writeEndElement();
        }
    }
    writer.writeEndElement();
}

} // namespace xmpp
