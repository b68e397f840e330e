#pragma once

#include "MessageStanza.h"

#include <QMetaType>

/// One chat line: the message type and the message stanza that holds the
/// rest. Copies are deep.
class XMPPMessage
{
public:
    enum Type { Error = 0, Chat, GroupChat, Headline, Normal };

    XMPPMessage() = default;
    /// An outgoing message to `to` of the given Type.
    XMPPMessage(const XMPPJid& to, int type);
    /// A received stanza; the type comes from its type text (anything
    /// unknown is Normal), defaultLanguage is the stream's language.
    XMPPMessage(const xmpp::MessageStanza& stanza, const QString& defaultLanguage);

    int type() const { return m_type; }
    /// Stores the type and writes its name into the stanza.
    void setType(int type);
    XMPPJid from() const { return m_stanza.from; }
    void setFrom(const XMPPJid& from) { m_stanza.from = from; }
    XMPPJid to() const { return m_stanza.to; }

    /// The message's own language: the stanza's "xml:lang", else the default language.
    QString language() const;
    /// The body of a language; the own language is kept under "UND". Missing reads empty.
    QString body(const QString& language) const;
    /// The body without a language, else the one in the message's own
    /// language, else the stream's, else the one whose language tag sorts
    /// first; empty without any.
    QString body() const;
    void setBody(const QString& language, const QString& text);
    void setBody(const QString& text);
    /// The subject, chosen among languages as body() chooses.
    QString subject() const;

    bool hasDelay() const { return m_stanza.delay.has_value(); }
    /// The original time of a delayed message, or a null date-time.
    QDateTime delayStamp() const;

    const xmpp::MessageStanza& stanza() const { return m_stanza; }
    xmpp::MessageStanza& stanza() { return m_stanza; }

private:
    QString key(const QString& language) const;

    int m_type = Normal;
    xmpp::MessageStanza m_stanza;
};

Q_DECLARE_METATYPE(XMPPMessage)
