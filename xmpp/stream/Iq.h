#pragma once

#include "Stanza.h"

namespace xmpp {

/// An iq stanza without a payload this library knows: acknowledgements,
/// error replies and whatever other payload arrives.
class Iq : public Stanza
{
public:
    enum IqType { Get = 0, Set = 1, Result = 2, ErrorType = 3 };

    Iq() = default;
    /// iqType: an IqType; stored as its name.
    Iq(const QString& id, const XMPPJid& to, int iqType);
    int type() const override { return KindIq; }
};

} // namespace xmpp
