#pragma once

#include "StreamElement.h"

namespace xmpp {

// The STARTTLS negotiation carries no payload: the element names say it all.

/// "starttls": the client asks to start TLS.
class TLSStart : public StreamElement
{
public:
    int type() const override { return KindTLSStart; }
};

/// "proceed": the server is ready for the TLS handshake.
class TLSProceed : public StreamElement
{
public:
    int type() const override { return KindTLSProceed; }
};

/// TLS "failure": the server refuses; it closes the stream next.
class TLSFailure : public StreamElement
{
public:
    int type() const override { return KindTLSFailure; }
};

} // namespace xmpp
