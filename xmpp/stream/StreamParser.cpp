// Reading the server's side of the stream. The bytes pass a framer that
// drops a top-level element over the caps on its own (other users' stanzas
// are relayed as they come: one of them must not end the stream); the XML
// is then read token by token, each top-level element is built as a small
// DOM tree, handed to the element readers when it closes, and dropped from
// the document at once, so a long session does not grow it.
#include "StreamParser.h"

#include "ElementFramer.h"
#include "ElementReader.h"
#include "Exceptions.h"
#include "StreamElement.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <QDomDocument>
#include <QXmlStreamReader>

#include <stdexcept>

namespace xmpp {

namespace {
const QString StreamNs = QStringLiteral("http://etherx.jabber.org/streams");
const QString ClientNs = QStringLiteral("jabber:client");

// Stream error conditions used here (positions in the condition table).
constexpr int BadFormat = 0;
constexpr int InvalidXml = 11;
constexpr int PolicyViolation = 13;
constexpr int RestrictedXml = 16;
constexpr int UnsupportedVersion = 22;
constexpr int NotWellFormed = 23;
} // namespace

struct StreamParser::Private
{
    ElementFramer framer{ElementFramer::Caps{MaxElementSize, MaxElementDepth, MaxAttributes, MaxMarkupSize}};
    LogThrottle droppedLog;
    QXmlStreamReader reader;
    QDomDocument document;
    QDomElement stream;
    QDomElement current;
    QString language;
    XMPPJid domain;
    std::unique_ptr<StreamElement> element;

    /// Depth inside the top-level element being built (0 between elements).
    int depth = 0;
    /// Bytes given to the reader in all, and when it last produced a token:
    /// what arrived since then is one unfinished token, held by the reader.
    /// The framer hands over whole elements only, so this is the stream's
    /// own text (a giant stream header); it is bounded like an element.
    qint64 fed = 0;
    qint64 fedAtToken = 0;

    void startElement();
    bool endElement();
    void checkPendingSize() const;
    /// Gives the reader the framer's next piece; false when none waits.
    bool takePiece();
};

StreamParser::StreamParser() : d(std::make_unique<Private>()) {}

StreamParser::~StreamParser() = default;

void StreamParser::addData(const QByteArray& data)
{
    d->framer.feed(data);
}

void StreamParser::allowLargerAnswer(const QString& id, const QStringList& senders)
{
    d->framer.allowLargerAnswer(id, senders, MaxLargeAnswerSize);
}

bool StreamParser::Private::takePiece()
{
    if (!framer.hasPiece())
        return false;
    ElementFramer::Piece piece = framer.takePiece();
    switch (piece.kind) {
    case ElementFramer::Piece::Bytes:
        fed += piece.bytes.size();
        reader.addData(piece.bytes);
        return true;
    case ElementFramer::Piece::Broken:
        throw stream_parse_error(PolicyViolation, QStringLiteral("%1 bytes of %2").arg(MaxMarkupSize).arg(QLatin1String(piece.reason)));
    case ElementFramer::Piece::Dropped:
        break;
    }
    if (droppedLog.allow())
        qCWarning(lcXmpp).noquote() << "dropped" << (piece.name.isEmpty() ? QStringLiteral("an element") : piece.name)
                                    << piece.reason << (piece.from.isEmpty() ? QString() : QStringLiteral("from ") + piece.from)
                                    << heldBack(droppedLog);
    const QString name = piece.name;
    const int kind = name == QLatin1String("iq")        ? stanza_error::Iq
                     : name == QLatin1String("message")  ? stanza_error::Message
                     : name == QLatin1String("presence") ? stanza_error::Presence
                                                         : -1;
    if (kind < 0)
        return true;
    // A dropped stanza is a fault of its own: an answer fails the request it
    // answered, a request is refused.
    stanza_error fault(kind, names::stanzaErrorTypeFromName(QStringLiteral("modify")),
                       names::stanzaErrorConditionFromName(QStringLiteral("not-acceptable")), piece.id);
    fault.setStanza(piece.type, piece.from);
    throw fault;
}

StreamElement* StreamParser::element() const { return d->element.get(); }
std::unique_ptr<StreamElement> StreamParser::takeElement() { return std::move(d->element); }
QString StreamParser::streamLanguage() const { return d->language; }
XMPPJid StreamParser::streamDomain() const { return d->domain; }

void StreamParser::reset()
{
    d->reader.clear();
    d->framer.reset();
    if (!d->stream.isNull())
        d->document.removeChild(d->stream);
    d->stream = QDomElement();
    d->current = QDomElement();
    d->element.reset();
    d->language.clear();
    d->domain = XMPPJid();
    d->depth = 0;
    d->fed = 0;
    d->fedAtToken = 0;
}

void StreamParser::Private::checkPendingSize() const
{
    if (fed - fedAtToken > MaxElementSize)
        throw stream_parse_error(PolicyViolation, QStringLiteral("element larger than %1 bytes").arg(MaxElementSize));
}

void StreamParser::Private::startElement()
{
    QDomElement e = document.createElementNS(reader.namespaceUri().toString(), reader.qualifiedName().toString());
    const QXmlStreamAttributes attributes = reader.attributes();
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.namespaceUri().isEmpty())
            e.setAttribute(a.name().toString(), a.value().toString());
        else
            e.setAttributeNS(a.namespaceUri().toString(), a.qualifiedName().toString(), a.value().toString());
    }

    if (current.isNull()) {
        if (e.namespaceURI() != StreamNs || e.localName() != QLatin1String("stream"))
            throw stream_parse_error(BadFormat, QStringLiteral("invalid stream start tag: %1").arg(reader.qualifiedName().toString()));
        const QString version = e.attribute(QStringLiteral("version"));
        if (version != QLatin1String("1.0"))
            throw stream_parse_error(UnsupportedVersion, QStringLiteral("unsupported version: %1").arg(version));
        try {
            domain = XMPPJid(e.attribute(QStringLiteral("from")));
        } catch (const std::invalid_argument&) {
            throw stream_parse_error(BadFormat, QStringLiteral("stream domain too long"));
        }
        // Servers name the stream's language with "xml:lang" (RFC 6120
        // 4.7.4); a bare "lang" is still taken when that is all there is.
        language = languageOf(e);
        document.appendChild(e);
        stream = e;
        current = e;
        return;
    }

    if (current == stream)
        depth = 0;
    // The framer drops deeper elements; the reader disagreeing with it
    // means bytes that are no XML.
    if (++depth > MaxElementDepth)
        throw stream_parse_error(PolicyViolation, QStringLiteral("element nested deeper than %1").arg(MaxElementDepth));
    current.appendChild(e);
    current = e;
}

/// Returns true when a top-level element is complete and read into `element`.
bool StreamParser::Private::endElement()
{
    QDomElement closed = current;
    current = closed.parentNode().toElement();
    --depth;
    if (current != stream)
        return false;
    depth = 0;
    try {
        element = parseElement(closed);
    } catch (const std::invalid_argument& e) {
        // A JID part over the length limit: a fault of this one element.
        stream.removeChild(closed);
        qCWarning(lcXmpp) << "element dropped:" << e.what();
        // An iq may be the answer to a request, which must not wait for ever:
        // the client fails that request (or answers a query with the error).
        if (closed.namespaceURI() == ClientNs && closed.localName() == QLatin1String("iq")) {
            stanza_error fault(stanza_error::Iq, names::stanzaErrorTypeFromName(QStringLiteral("modify")),
                               names::stanzaErrorConditionFromName(QStringLiteral("jid-malformed")),
                               closed.attribute(QStringLiteral("id")));
            // The sender as written; when it is the over-long part, nothing
            // can be sent to it and no request takes it as an answer.
            fault.setStanza(closed.attribute(QStringLiteral("type")), closed.attribute(QStringLiteral("from")));
            throw fault;
        }
        return false;
    } catch (stanza_error& fault) {
        // Whoever threw knew the stanza's kind; its type and sender decide
        // whether (and to whom) it is answered.
        stream.removeChild(closed);
        if (fault.stanzaType().isEmpty() && fault.from().isEmpty())
            fault.setStanza(closed.attribute(QStringLiteral("type")), closed.attribute(QStringLiteral("from")));
        throw;
    } catch (...) {
        stream.removeChild(closed);
        throw;
    }
    stream.removeChild(closed);
    return true;
}

int StreamParser::parse()
{
    d->element.reset();
    QXmlStreamReader& reader = d->reader;
    for (;;) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token != QXmlStreamReader::Invalid)
            d->fedAtToken = d->fed;
        switch (token) {
        case QXmlStreamReader::NoToken:
            if (d->takePiece())
                break;
            d->checkPendingSize();
            return NeedMoreData;
        case QXmlStreamReader::Invalid:
            if (reader.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
                if (d->takePiece())
                    break;
                d->checkPendingSize();
                return NeedMoreData;
            }
            throw stream_parse_error(NotWellFormed, reader.errorString());
        case QXmlStreamReader::EndDocument:
            return EndOfStream;
        case QXmlStreamReader::StartDocument:
            break;
        case QXmlStreamReader::Comment:
            throw stream_parse_error(RestrictedXml, QStringLiteral("comments are not allowed"));
        case QXmlStreamReader::DTD:
            throw stream_parse_error(RestrictedXml, QStringLiteral("document type declarations are not allowed"));
        case QXmlStreamReader::EntityReference:
            throw stream_parse_error(RestrictedXml, QStringLiteral("entity references are not allowed"));
        case QXmlStreamReader::ProcessingInstruction:
            throw stream_parse_error(RestrictedXml, QStringLiteral("processing instructions are not allowed"));
        case QXmlStreamReader::StartElement:
            d->startElement();
            break;
        case QXmlStreamReader::EndElement:
            if (d->current == d->stream) {
                // The server closed its stream.
                d->current = QDomElement();
                return EndOfStream;
            }
            if (d->endElement())
                return ElementReady;
            break;
        case QXmlStreamReader::Characters:
            // Whitespace between top-level elements is keep-alive and line
            // breaks; inside an element it is part of a body or status.
            if (d->current.isNull() || (d->current == d->stream && reader.isWhitespace()))
                break;
            if (d->current == d->stream) {
                qCDebug(lcXmpp) << "text between top-level elements ignored";
                break;
            }
            d->current.appendChild(d->document.createTextNode(reader.text().toString()));
            break;
        default:
            throw stream_parse_error(InvalidXml, QStringLiteral("unknown xml stream token: %1").arg(int(token)));
        }
    }
}

} // namespace xmpp
