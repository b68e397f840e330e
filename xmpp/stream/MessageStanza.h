#pragma once

#include "DelayedDeliveryInfo.h"
#include "Stanza.h"

#include <QMap>

#include <optional>

namespace xmpp {

/// A message stanza. Subjects and bodies are keyed by language; the text in
/// the stanza's own language is under "UND".
class MessageStanza : public Stanza
{
public:
    MessageStanza() = default;
    MessageStanza(const MessageStanza&) = default;
    MessageStanza& operator=(const MessageStanza&) = default;
    int type() const override { return KindMessageStanza; }

    QMap<QString, QString> subjects;
    QMap<QString, QString> bodies;
    QString thread;
    /// The stream's language, used when the stanza has no "xml:lang".
    QString defaultLanguage = QStringLiteral("UND");
    /// Present only when the message carried a delay element.
    std::optional<DelayedDeliveryInfo> delay;
};

} // namespace xmpp
