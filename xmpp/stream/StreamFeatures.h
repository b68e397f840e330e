#pragma once

#include "StreamElement.h"

#include <QStringList>

namespace xmpp {

/// What the server offers after a stream header.
class StreamFeatures : public StreamElement
{
public:
    int type() const override { return KindStreamFeatures; }

    bool tlsOffered = false;
    bool tlsRequired = false;
    bool bindOffered = false;
    bool sessionOffered = false;
    /// SASL mechanisms in document order; one named twice is listed twice.
    QStringList saslMechanisms;
};

} // namespace xmpp
