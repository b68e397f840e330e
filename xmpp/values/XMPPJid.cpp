#include "XMPPJid.h"

#include <stdexcept>

namespace {
constexpr qsizetype MaxPartLength = 1023;
}

XMPPJid::XMPPJid(const QString& domain, const QString& node, const QString& resource)
{
    // All checks before any text is built, so a refused part leaves nothing behind.
    if (domain.size() > MaxPartLength)
        throw std::invalid_argument("domainId too long");
    if (node.size() > MaxPartLength)
        throw std::invalid_argument("nodeId too long");
    if (resource.size() > MaxPartLength)
        throw std::invalid_argument("resourceId too long");
    m_text = node.isEmpty() ? domain : node + QLatin1Char('@') + domain;
    if (!resource.isEmpty())
        m_text += QLatin1Char('/') + resource;
}

QString XMPPJid::node() const
{
    // Only an "@" of the bare part ends a node; one in the resource does not.
    const qsizetype slash = m_text.indexOf(QLatin1Char('/'));
    const qsizetype at = m_text.left(slash < 0 ? m_text.size() : slash).indexOf(QLatin1Char('@'));
    return at < 0 ? QString() : m_text.left(at);
}

QString XMPPJid::domain() const
{
    // The bare part first: a resource may hold an "@" of its own.
    const qsizetype slash = m_text.indexOf(QLatin1Char('/'));
    const qsizetype end = slash < 0 ? m_text.size() : slash;
    const qsizetype at = m_text.left(end).indexOf(QLatin1Char('@'));
    const qsizetype start = at < 0 ? 0 : at + 1;
    return m_text.mid(start, end - start);
}

XMPPJid XMPPJid::bare() const
{
    XMPPJid jid;
    const qsizetype slash = m_text.indexOf(QLatin1Char('/'));
    jid.m_text = slash < 0 ? m_text : m_text.left(slash);
    return jid;
}

QString XMPPJid::resource() const
{
    const qsizetype slash = m_text.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : m_text.mid(slash + 1);
}

XMPPJid XMPPJid::fromText(const QString& text)
{
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    const qsizetype restStart = at < 0 ? 0 : at + 1;
    const qsizetype slash = text.indexOf(QLatin1Char('/'), restStart);
    const qsizetype domainEnd = slash < 0 ? text.size() : slash;
    const qsizetype nodeLength = at < 0 ? 0 : at;
    const qsizetype resourceLength = slash < 0 ? 0 : text.size() - slash - 1;
    if (domainEnd - restStart > MaxPartLength)
        throw std::invalid_argument("domainId too long");
    if (nodeLength > MaxPartLength)
        throw std::invalid_argument("nodeId too long");
    if (resourceLength > MaxPartLength)
        throw std::invalid_argument("resourceId too long");
    // Most received addresses read back as they came: keep the text shared.
    if ((at < 0 || nodeLength > 0) && (slash < 0 || resourceLength > 0)) {
        XMPPJid jid;
        jid.m_text = text;
        return jid;
    }
    return XMPPJid(text.mid(restStart, domainEnd - restStart), text.left(nodeLength),
                   slash < 0 ? QString() : text.mid(slash + 1));
}
