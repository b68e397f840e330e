#pragma once

#include "PresenceStanza.h"

namespace xmpp {

/// A presence that joins or leaves a room (the writer adds the room marker
/// element), or a received presence that carried it.
class MucPresenceStanza : public PresenceStanza
{
public:
    using PresenceStanza::PresenceStanza;
    MucPresenceStanza() = default;
    int type() const override { return KindMucPresenceStanza; }
};

} // namespace xmpp
