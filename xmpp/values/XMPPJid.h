#pragma once

#include <QMetaType>
#include <QString>

/// An XMPP address: node "@" domain "/" resource, node and resource optional.
/// Built from its parts, each at most 1023 UTF-16 units; reading received
/// text into parts is xmpp::parseJid. A default JID holds a null string.
class XMPPJid
{
public:
    XMPPJid() = default;
    /// Checks domain, node, then resource; a part over 1023 characters throws
    /// std::invalid_argument "domainId too long", "nodeId too long" or
    /// "resourceId too long", and no JID is made.
    explicit XMPPJid(const QString& domain, const QString& node = QString(), const QString& resource = QString());

    /// Received text split into its parts as xmpp::parseJid does (node
    /// before the first "@", resource after the first "/" that follows),
    /// with the same length checks.
    static XMPPJid fromText(const QString& text);

    /// The full address text.
    const QString& toString() const { return m_text; }
    /// The text before the first "@" of the bare part; empty when it has none.
    QString node() const;
    /// The domain: the bare part (before the first "/") after its first "@".
    QString domain() const;
    /// The address without its resource.
    XMPPJid bare() const;
    /// The text after the first "/"; empty when there is none.
    QString resource() const;

    bool isNull() const { return m_text.isNull(); }
    bool isEmpty() const { return m_text.isEmpty(); }

    friend bool operator==(const XMPPJid& a, const XMPPJid& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const XMPPJid& a, const XMPPJid& b) { return a.m_text != b.m_text; }
    friend bool operator<(const XMPPJid& a, const XMPPJid& b) { return a.m_text < b.m_text; }

private:
    QString m_text;
};

inline size_t qHash(const XMPPJid& jid, size_t seed = 0) { return qHash(jid.toString(), seed); }

Q_DECLARE_METATYPE(XMPPJid)
