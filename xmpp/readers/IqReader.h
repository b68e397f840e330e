#pragma once

#include "Iq.h"

#include "XmlTree.h"

#include <memory>

namespace xmpp {

class IqBind;
class IqDiscoInfo;
class IqDiscoItems;

/// Reads an iq by its first child element; a payload this library does not
/// know gives a plain Iq. Throws stream_parse_error code 0 for a type other
/// than get, set, result and error.
std::unique_ptr<Iq> parseIq(XmlElement element);
std::unique_ptr<IqBind> parseBind(XmlElement element);
std::unique_ptr<IqDiscoItems> parseDiscoItems(XmlElement element);
std::unique_ptr<IqDiscoInfo> parseDiscoInfo(XmlElement element);

} // namespace xmpp
