#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace xmpp {

/// The base of the library's exceptions. They never leave the library: the
/// client catches them and answers the peer.
class Exception : public std::exception
{
public:
    explicit Exception(const QString& message);
    const char* what() const noexcept override;

private:
    QByteArray m_message;
};

/// A fault that ends the stream, with a stream error condition value
/// (names::streamErrorCondition) and a text; what() is
/// "stream_error, code: <code>, what: <text>".
class stream_error : public Exception
{
public:
    stream_error(int code, const QString& text);
    int code() const { return m_code; }
    /// The text given to the constructor.
    const QString& text() const { return m_text; }

protected:
    stream_error(const char* prefix, int code, const QString& text);

private:
    int m_code;
    QString m_text;
};

/// A stream error found while reading; what() is
/// "stream_parse_error, code: <code>, what: <text>".
class stream_parse_error : public stream_error
{
public:
    stream_parse_error(int code, const QString& text);
};

/// A fault of one received stanza, answered with an error stanza while the
/// stream goes on. what() is "<kind>_error, type: <type>, error: <condition>, id: <id>".
class stanza_error : public Exception
{
public:
    enum StanzaKind { Message = 0, Iq = 1, Presence = 2 };
    /// errorType and condition: names::stanzaErrorType and names::stanzaErrorCondition values.
    stanza_error(int kind, int errorType, int condition, const QString& id);
    int kind() const { return m_kind; }
    int errorType() const { return m_errorType; }
    int condition() const { return m_condition; }
    const QString& id() const { return m_id; }
    /// The faulty stanza's "type" and "from" attributes as received, when
    /// the reader knew them (empty otherwise). A stanza of type "result" or
    /// "error" is an answer and is never answered (RFC 6120 8.2.3, 8.3.1).
    void setStanza(const QString& stanzaType, const QString& from)
    {
        m_stanzaType = stanzaType;
        m_from = from;
    }
    const QString& stanzaType() const { return m_stanzaType; }
    const QString& from() const { return m_from; }
    /// True for an iq of type "result" or "error" and any stanza of type "error".
    bool isAnswer() const
    {
        return m_stanzaType == QLatin1String("error") || (m_kind == Iq && m_stanzaType == QLatin1String("result"));
    }

private:
    int m_kind;
    int m_errorType;
    int m_condition;
    QString m_id;
    QString m_stanzaType;
    QString m_from;
};

} // namespace xmpp
