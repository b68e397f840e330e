#include "Exceptions.h"

namespace xmpp {

Exception::Exception(const QString& message) : m_message(message.toLocal8Bit()) {}

const char* Exception::what() const noexcept { return m_message.constData(); }

stream_error::stream_error(int code, const QString& text) : stream_error("stream_error", code, text) {}

stream_error::stream_error(const char* prefix, int code, const QString& text)
    : Exception(QStringLiteral("%1, code: %2, what: %3").arg(QLatin1String(prefix)).arg(code).arg(text)),
      m_code(code),
      m_text(text)
{
}

stream_parse_error::stream_parse_error(int code, const QString& text) : stream_error("stream_parse_error", code, text) {}

namespace {
QString stanzaKindName(int kind)
{
    switch (kind) {
    case stanza_error::Message:
        return QStringLiteral("message");
    case stanza_error::Iq:
        return QStringLiteral("iq");
    case stanza_error::Presence:
        return QStringLiteral("presence");
    }
    return QStringLiteral("stanza");
}
} // namespace

stanza_error::stanza_error(int kind, int errorType, int condition, const QString& id)
    : Exception(QStringLiteral("%1_error, type: %2, error: %3, id: %4")
                    .arg(stanzaKindName(kind))
                    .arg(errorType)
                    .arg(condition)
                    .arg(id)),
      m_kind(kind),
      m_errorType(errorType),
      m_condition(condition),
      m_id(id)
{
}

} // namespace xmpp
