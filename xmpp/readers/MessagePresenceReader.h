#pragma once

#include "DelayedDeliveryInfo.h"
#include "MessageStanza.h"
#include "MucUserInfo.h"
#include "PresenceStanza.h"

#include "XmlTree.h"

#include <memory>
#include <optional>

namespace xmpp {

/// The payload of a message: delay, bodies, subjects, thread. A delay
/// element whose stamp cannot be read is logged and left out; the message stays.
std::unique_ptr<MessageStanza> parseMessage(XmlElement element);
/// The payload of a presence; a MucPresenceStanza when it carries the room
/// marker element. A show or priority that cannot be read is logged and left
/// at its default; the presence stays.
std::unique_ptr<PresenceStanza> parsePresence(XmlElement element);

/// A "urn:xmpp:delay" delay element; nothing when its stamp cannot be read.
std::optional<DelayedDeliveryInfo> parseDelay(XmlElement element);
/// A "jabber:x:delay" x element; nothing when its stamp cannot be read.
std::optional<DelayedDeliveryInfo> parseLegacyDelay(XmlElement element);
/// A muc#user x element; unknown affiliations, roles and status codes are
/// logged and left out.
MucUserInfo parseMucUser(XmlElement element);
/// The show value of a "show" element (possibly null, giving 0); -1 for an unknown text.
int parseShow(XmlElement element);
/// 0 none (or empty) .. 4 owner; -1 for an unknown text.
int parseAffiliation(const QString& text);
/// 0 none (or empty) .. 3 visitor; -1 for an unknown text.
int parseRole(const QString& text);

} // namespace xmpp
