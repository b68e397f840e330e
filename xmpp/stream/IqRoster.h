#pragma once

#include "Iq.h"

#include <vector>

class QXmlStreamWriter;

namespace xmpp {

class XmlElement;

/// The jabber:iq:roster iq: a roster request, a roster set (add, rename,
/// remove) or a received roster or roster push.
class IqRoster : public Iq
{
public:
    struct Item
    {
        enum Flag { To = 1, From = 2, Ask = 4 };
        XMPPJid jid;
        /// Flag bits; items built to send have 0.
        int subscription = 0;
        bool remove = false;
        QString name;
        /// One group per item; empty when none.
        QString group;
    };

    /// A "get" request for the whole roster.
    explicit IqRoster(const QString& id);
    /// A "set" with the given items.
    IqRoster(const std::vector<Item>& items, const QString& id);
    /// Reads a received "query" element; the stanza attributes come later.
    explicit IqRoster(const XmlElement& query);
    int type() const override { return KindIqRoster; }

    const std::vector<Item>& items() const { return m_items; }
    /// Adds the items of another part of the same answer, read on its own.
    void append(const IqRoster& part) { m_items.insert(m_items.end(), part.items().begin(), part.items().end()); }

    /// Writes the payload inside the iq frame.
    void writePayload(QXmlStreamWriter& writer) const;

private:
    std::vector<Item> m_items;
};

} // namespace xmpp
