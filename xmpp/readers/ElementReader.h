#pragma once

#include "StreamElement.h"
#include "XMPPJid.h"

#include "XmlTree.h"

#include <memory>

namespace xmpp {

class StreamError;
class StreamFeatures;
class SASLAuth;
class SASLChallenge;
class SASLResponse;
class SASLFailure;

/// Reads one complete top-level element into its element object, chosen by
/// namespace and local name. Throws stream_parse_error (code 21 with the
/// local name for an element it does not know) or what the chosen reader throws.
std::unique_ptr<StreamElement> parseElement(XmlElement element);

/// The stream "features" element; never throws.
std::unique_ptr<StreamFeatures> parseStreamFeatures(XmlElement element);
/// The stream "error" element; throws stream_parse_error code 0 for an unknown condition.
std::unique_ptr<StreamError> parseStreamError(XmlElement element);
std::unique_ptr<SASLAuth> parseSASLAuth(XmlElement element);
std::unique_ptr<SASLChallenge> parseSASLChallenge(XmlElement element);
std::unique_ptr<SASLResponse> parseSASLResponse(XmlElement element);
/// The SASL "failure" element, read from its first child; throws
/// stream_parse_error code 0 for an unknown condition.
std::unique_ptr<SASLFailure> parseSASLFailure(XmlElement element);

/// The first child element with this tag name in this namespace, or a null element.
XmlElement firstChildElementNS(const XmlElement& parent, const QString& tagName, const QString& namespaceUri);
/// The next sibling with this tag name in this namespace, or a null element.
XmlElement nextSiblingElementNS(const XmlElement& element, const QString& tagName, const QString& namespaceUri);

/// Whether an element of this local name and namespace occurs anywhere
/// below the parent (stops at the first one found).
bool containsElementNS(const XmlElement& parent, const QString& localName, const QString& namespaceUri);

/// The "xml:lang" of an element (found by its local name "lang"); empty when absent.
QString languageOf(const XmlElement& element);

/// Splits received JID text into node, domain and resource (node before the
/// first "@", resource after the first "/" that follows it). Throws what
/// the XMPPJid constructor throws.
XMPPJid parseJid(const QString& text);

} // namespace xmpp
