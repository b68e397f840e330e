#pragma once

#include "StreamElement.h"

#include <QString>

namespace xmpp {

/// A stream error element: received, it ends the session; sent, it tells the
/// server why the client ends it.
class StreamError : public StreamElement
{
public:
    /// condition: a stream error condition value (names::streamErrorCondition).
    StreamError(int condition, const QString& text) : condition(condition), text(text) {}
    int type() const override { return KindStreamError; }

    int condition;
    QString text;
    /// The host named by a "see-other-host" condition.
    QString otherHost;
    /// The condition as the server named it (also one of RFC 6120's newer
    /// names that `condition` can only approximate); empty when not read.
    QString conditionName;
};

} // namespace xmpp
