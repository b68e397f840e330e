#include "XMPPMessage.h"

#include "XmppNames.h"

namespace {
const QString Und = QStringLiteral("UND");
}

XMPPMessage::XMPPMessage(const XMPPJid& to, int type)
{
    m_stanza.to = to;
    setType(type);
}

XMPPMessage::XMPPMessage(const xmpp::MessageStanza& stanza, const QString& defaultLanguage)
    : m_type(xmpp::names::messageTypeFromName(stanza.stanzaType)), m_stanza(stanza)
{
    m_stanza.defaultLanguage = defaultLanguage;
}

void XMPPMessage::setType(int type)
{
    m_type = type;
    m_stanza.stanzaType = xmpp::names::messageType(type);
}

QString XMPPMessage::language() const
{
    return m_stanza.language.isEmpty() ? m_stanza.defaultLanguage : m_stanza.language;
}

QString XMPPMessage::key(const QString& language) const { return language == this->language() ? Und : language; }

QString XMPPMessage::body(const QString& language) const { return m_stanza.bodies.value(key(language)); }
namespace {

/// The text without a language, else the one in the message's own language,
/// else the one in the stream's, else the one whose language tag sorts first:
/// a sender that labels every body still has its text read.
QString preferred(const QMap<QString, QString>& texts, const QString& own, const QString& stream)
{
    for (const QString& key : {Und, own, stream}) {
        const auto it = texts.constFind(key);
        if (it != texts.cend())
            return it.value();
    }
    return texts.isEmpty() ? QString() : texts.cbegin().value();
}

}

QString XMPPMessage::body() const { return preferred(m_stanza.bodies, m_stanza.language, m_stanza.defaultLanguage); }
void XMPPMessage::setBody(const QString& language, const QString& text) { m_stanza.bodies.insert(key(language), text); }
void XMPPMessage::setBody(const QString& text) { m_stanza.bodies.insert(Und, text); }
QString XMPPMessage::subject() const
{
    return preferred(m_stanza.subjects, m_stanza.language, m_stanza.defaultLanguage);
}

QDateTime XMPPMessage::delayStamp() const { return m_stanza.delay ? m_stanza.delay->stamp : QDateTime(); }
