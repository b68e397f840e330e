#pragma once

#include "StreamElement.h"
#include "XMPPJid.h"

#include <QDomElement>

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
std::unique_ptr<StreamElement> parseElement(QDomElement element);

/// The stream "features" element; never throws.
std::unique_ptr<StreamFeatures> parseStreamFeatures(QDomElement element);
/// The stream "error" element; throws stream_parse_error code 0 for an unknown condition.
std::unique_ptr<StreamError> parseStreamError(QDomElement element);
std::unique_ptr<SASLAuth> parseSASLAuth(QDomElement element);
std::unique_ptr<SASLChallenge> parseSASLChallenge(QDomElement element);
std::unique_ptr<SASLResponse> parseSASLResponse(QDomElement element);
/// The SASL "failure" element, read from its first child; throws
/// stream_parse_error code 0 for an unknown condition.
std::unique_ptr<SASLFailure> parseSASLFailure(QDomElement element);

/// The first child element with this tag name in this namespace, or a null element.
QDomElement firstChildElementNS(const QDomElement& parent, const QString& tagName, const QString& namespaceUri);
/// The next sibling with this tag name in this namespace, or a null element.
QDomElement nextSiblingElementNS(const QDomElement& element, const QString& tagName, const QString& namespaceUri);

/// Whether an element of this local name and namespace occurs anywhere
/// below the parent (stops at the first one found).
bool containsElementNS(const QDomElement& parent, const QString& localName, const QString& namespaceUri);

/// The "xml:lang" of an element (found by its local name "lang"); empty when absent.
QString languageOf(const QDomElement& element);

/// Splits received JID text into node, domain and resource (node before the
/// first "@", resource after the first "/" that follows it). Throws what
/// the XMPPJid constructor throws.
XMPPJid parseJid(const QString& text);

} // namespace xmpp
