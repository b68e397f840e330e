// The entry of the reading layer and the stream-level readers: features,
// stream errors, STARTTLS and SASL.
#include "ElementReader.h"

#include "BoundedText.h"
#include "Exceptions.h"
#include "SaslElements.h"
#include "StanzaReader.h"
#include "StreamError.h"
#include "StreamFeatures.h"
#include "TlsElements.h"
#include "XmppNames.h"

namespace xmpp {

namespace {

const QString ClientNs = QStringLiteral("jabber:client");
const QString StreamNs = QStringLiteral("http://etherx.jabber.org/streams");
const QString TlsNs = QStringLiteral("urn:ietf:params:xml:ns:xmpp-tls");
const QString SaslNs = QStringLiteral("urn:ietf:params:xml:ns:xmpp-sasl");
const QString StreamErrorNs = QStringLiteral("urn:ietf:params:xml:ns:xmpp-streams");

QByteArray base64Text(const XmlElement& element)
{
    const QString text = element.text();
    return text.isEmpty() ? QByteArray() : QByteArray::fromBase64(text.toUtf8());
}

/// The conditions RFC 6120 added to the older list: "not-well-formed" is the
/// new name of "xml-not-well-formed"; the others have no older equivalent
/// and read as "undefined-condition" (their name is kept for the log).
int newerStreamErrorCondition(const QString& name)
{
    if (name == QLatin1String("not-well-formed"))
        return names::streamErrorConditionFromName(QStringLiteral("xml-not-well-formed"));
    if (name == QLatin1String("reset") || name == QLatin1String("unsupported-feature"))
        return names::streamErrorConditionFromName(QStringLiteral("undefined-condition"));
    return -1;
}

[[noreturn]] void unsupported(const XmlElement& element)
{
    throw stream_parse_error(21, element.localName());
}

} // namespace

XmlElement firstChildElementNS(const XmlElement& parent, const QString& tagName, const QString& namespaceUri)
{
    XmlElement e = parent.firstChildElement(tagName);
    while (!e.isNull() && e.namespaceURI() != namespaceUri)
        e = e.nextSiblingElement(tagName);
    return e;
}

XmlElement nextSiblingElementNS(const XmlElement& element, const QString& tagName, const QString& namespaceUri)
{
    XmlElement e = element.nextSiblingElement(tagName);
    while (!e.isNull() && e.namespaceURI() != namespaceUri)
        e = e.nextSiblingElement(tagName);
    return e;
}

bool containsElementNS(const XmlElement& parent, const QString& localName, const QString& namespaceUri)
{
    for (XmlElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if ((e.localName() == localName && e.namespaceURI() == namespaceUri)
            || containsElementNS(e, localName, namespaceUri))
            return true;
    }
    return false;
}

QString languageOf(const XmlElement& element)
{
    static const QString xmlNs = QStringLiteral("http://www.w3.org/XML/1998/namespace");
    if (element.hasAttributeNS(xmlNs, QStringLiteral("lang")))
        return element.attributeNS(xmlNs, QStringLiteral("lang"));
    return element.attribute(QStringLiteral("lang"));
}

XMPPJid parseJid(const QString& text)
{
    return XMPPJid::fromText(text);
}

std::unique_ptr<StreamElement> parseElement(XmlElement element)
{
    const QString ns = element.namespaceURI();
    const QString name = element.localName();
    if (ns == ClientNs)
        return parseStanza(element);
    if (ns == StreamNs) {
        if (name == QLatin1String("error"))
            return parseStreamError(element);
        if (name == QLatin1String("features"))
            return parseStreamFeatures(element);
        unsupported(element);
    }
    if (ns == TlsNs) {
        if (name == QLatin1String("starttls"))
            return std::make_unique<TLSStart>();
        if (name == QLatin1String("proceed"))
            return std::make_unique<TLSProceed>();
        if (name == QLatin1String("failure"))
            return std::make_unique<TLSFailure>();
        unsupported(element);
    }
    if (ns == SaslNs) {
        if (name == QLatin1String("auth"))
            return parseSASLAuth(element);
        if (name == QLatin1String("challenge"))
            return parseSASLChallenge(element);
        if (name == QLatin1String("response"))
            return parseSASLResponse(element);
        if (name == QLatin1String("abort"))
            return std::make_unique<SASLAbort>();
        if (name == QLatin1String("success"))
            return std::make_unique<SASLSuccess>();
        if (name == QLatin1String("failure"))
            return parseSASLFailure(element);
    }
    unsupported(element);
}

std::unique_ptr<StreamFeatures> parseStreamFeatures(XmlElement element)
{
    auto features = std::make_unique<StreamFeatures>();
    const XmlElement starttls = element.firstChildElement(QStringLiteral("starttls"));
    if (!starttls.isNull()) {
        features->tlsOffered = true;
        features->tlsRequired = containsElementNS(starttls, QStringLiteral("required"), TlsNs);
    }
    const QList<XmlElement> mechanisms = element.elementsByTagNameNS(SaslNs, QStringLiteral("mechanism"));
    for (int i = 0; i < mechanisms.size(); ++i)
        features->saslMechanisms.append(mechanisms.at(i).toElement().text());
    features->bindOffered = containsElementNS(element, QStringLiteral("bind"), QStringLiteral("urn:ietf:params:xml:ns:xmpp-bind"));
    features->sessionOffered =
        containsElementNS(element, QStringLiteral("session"), QStringLiteral("urn:ietf:params:xml:ns:xmpp-session"));
    return features;
}

std::unique_ptr<StreamError> parseStreamError(XmlElement element)
{
    auto error = std::make_unique<StreamError>(19, QString());
    for (XmlElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.namespaceURI() != StreamErrorNs)
            continue;
        const QString name = child.localName();
        if (name == QLatin1String("text")) {
            error->text = boundedText(child.text(), text::MaxTextLength);
            continue;
        }
        int condition = names::streamErrorConditionFromName(name);
        if (condition < 0)
            condition = newerStreamErrorCondition(name);
        if (condition < 0)
            throw stream_parse_error(0, QStringLiteral("unknown stream error %1").arg(name));
        error->condition = condition;
        error->conditionName = name;
        if (condition == 17)
            error->otherHost = child.text();
    }
    return error;
}

std::unique_ptr<SASLAuth> parseSASLAuth(XmlElement element)
{
    auto auth = std::make_unique<SASLAuth>();
    auth->mechanism = element.attribute(QStringLiteral("mechanism"));
    auth->data = base64Text(element);
    return auth;
}

std::unique_ptr<SASLChallenge> parseSASLChallenge(XmlElement element)
{
    auto challenge = std::make_unique<SASLChallenge>();
    challenge->data = base64Text(element);
    return challenge;
}

std::unique_ptr<SASLResponse> parseSASLResponse(XmlElement element)
{
    auto response = std::make_unique<SASLResponse>();
    response->data = base64Text(element);
    return response;
}

std::unique_ptr<SASLFailure> parseSASLFailure(XmlElement element)
{
    auto failure = std::make_unique<SASLFailure>();
    const XmlElement child = element.firstChildElement();
    if (!child.isNull()) {
        // A condition of a newer list ("account-disabled",
        // "credentials-expired" ...) is still a refusal: kept by its name.
        failure->condition = names::saslFailureConditionFromName(child.localName());
        failure->conditionName = child.localName();
    }
    return failure;
}

} // namespace xmpp
