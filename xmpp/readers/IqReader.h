#pragma once

#include "Iq.h"

#include <QDomElement>

#include <memory>

namespace xmpp {

class IqBind;
class IqDiscoInfo;
class IqDiscoItems;

/// Reads an iq by its first child element; a payload this library does not
/// know gives a plain Iq. Throws stream_parse_error code 0 for a type other
/// than get, set, result and error.
std::unique_ptr<Iq> parseIq(QDomElement element);
std::unique_ptr<IqBind> parseBind(QDomElement element);
std::unique_ptr<IqDiscoItems> parseDiscoItems(QDomElement element);
std::unique_ptr<IqDiscoInfo> parseDiscoInfo(QDomElement element);

} // namespace xmpp
