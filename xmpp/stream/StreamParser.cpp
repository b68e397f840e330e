// Reading the server's side of the stream. The bytes pass a framer that
// drops a top-level element over the caps on its own (other users' stanzas
// are relayed as they come: one of them must not end the stream); the XML
// is then read token by token, each top-level element is built as a small
// DOM tree, handed to the element readers when it closes, and dropped from
// the stream element at once, so a long session does not grow it. The reader
// gets one element at a time, a large one in parts; a long list allowed to
// be larger comes in parts as it arrives, and its items are read out of
// the tree a few hundred at a time, so that the tree never holds more.
// When the reader refuses something inside an element, that element is
// dropped and a fresh reader is given the stream header again to read on.
#include "StreamParser.h"

#include "ElementFramer.h"
#include "ElementReader.h"
#include "Exceptions.h"
#include "IqDisco.h"
#include "IqRoster.h"
#include "StreamElement.h"
#include "XmppLog.h"
#include "XmppNames.h"
#include "XmlTree.h"

#include <QXmlStreamReader>

#include <limits>
#include <vector>

#include <stdexcept>

namespace xmpp {

namespace {
const QString StreamNs = QStringLiteral("http://etherx.jabber.org/streams");
// Items of a long list read at a time: small enough that a part of heavy
// items still leaves the turn soon.
constexpr int PartItems = 500;
const QString ClientNs = QStringLiteral("jabber:client");

// Stream error conditions used here (positions in the condition table).
constexpr int BadFormat = 0;
constexpr int InvalidXml = 11;
constexpr int PolicyViolation = 13;
constexpr int RestrictedXml = 16;
constexpr int UnsupportedVersion = 22;
constexpr int NotWellFormed = 23;

/// The reader hands out views of its buffer. The same few element names,
/// attribute names and namespaces come in every stanza: one shared copy of
/// each spares the tree an allocation per node and attribute. Only the
/// first names met are kept, so a stream of ever new names costs nothing
/// more than no cache at all.
class NameCache
{
public:
    QString get(QStringView name)
    {
        for (const QString& known : m_names) {
            if (known == name)
                return known;
        }
        QString copy = name.toString();
        if (m_names.size() < MaxNames)
            m_names.push_back(copy);
        return copy;
    }

private:
    static constexpr size_t MaxNames = 48;
    std::vector<QString> m_names;
};
} // namespace

struct StreamParser::Private
{
    ElementFramer framer{ElementFramer::Caps{MaxElementSize, MaxElementDepth, MaxAttributes, MaxNamespaces,
                                             MaxMarkupSize}};
    LogThrottle droppedLog;
    NameCache names;
    QXmlStreamReader reader;
    XmlElement stream;
    XmlElement current;
    QString language;
    XMPPJid domain;
    std::unique_ptr<StreamElement> element;

    /// Depth inside the top-level element being built (0 between elements).
    int depth = 0;
    /// Bytes of the stream's own markup given to the reader in all, and when
    /// it last produced a token: what arrived since then is one unfinished
    /// token (a giant stream header); it is bounded like an element.
    qint64 fed = 0;
    qint64 fedAtToken = 0;
    /// The stream's markup up to the end of its header, to start a reader
    /// over with.
    QByteArray header;
    /// The element being given to the reader, and how much of it it has.
    QByteArray feeding;
    qsizetype given = 0;
    /// The stream's bytes not given to the framer yet, from `framedUpTo` on.
    QByteArray unframed;
    qsizetype framedUpTo = 0;

    /// A long list answer (a roster, a room list) read: its payload gives
    /// up its items a part at a time, read into the element that grows.
    XmlElement listed;
    XmlElement listPayload;
    std::unique_ptr<StreamElement> listElement;
    /// The reader is inside a list that comes in parts (`listed` is set
    /// once its payload starts), more parts are to come, and how many items
    /// its payload holds unread; a list refused on the way has the rest of
    /// its parts skipped. Its first part names it.
    bool listing = false;
    bool listOpen = false;
    bool skipList = false;
    int listItems = 0;
    QByteArray listHead;

    void startElement();
    bool endElement();
    /// Moves the next items of the list's payload into a part of their own
    /// and reads them into the list's element.
    void readListPart();
    /// Forgets the element being read, the list too, and gives a fresh
    /// reader the stream header to read on after it.
    void abandonElement();
    /// Reads one top-level element out of the tree; null for one that
    /// is dropped unanswered. Throws the fault of a stanza.
    std::unique_ptr<StreamElement> read(const XmlElement& closed);
    /// Reads the parts of the list answer until it is whole (ElementReady)
    /// or the deadline passes (Paused).
    int readList(QDeadlineTimer deadline);
    void checkPendingSize() const;
    /// Frames the bytes held until the framer has a piece or none are left;
    /// whether a piece waits.
    bool frameMore();
    /// Gives the reader the next part of the element it reads or the
    /// framer's next piece; false when nothing waits.
    bool takePiece();
    /// Throws the fault of a stanza dropped (or logs any other element).
    void dropped(const ElementFramer::Piece& piece);
    /// Drops the element being read, for `reason`, and reads on after it.
    void refuseElement(const QString& reason);
    /// Whether the reader is inside an element given to it.
    bool inElement() const { return !feeding.isNull() || listOpen; }
};

StreamParser::StreamParser() : d(std::make_unique<Private>()) {}

StreamParser::~StreamParser() = default;

void StreamParser::addData(const QByteArray& data)
{
    d->unframed += data;
}

bool StreamParser::Private::frameMore()
{
    // The framer is given the bytes a little at a time, as the reader needs
    // them: a burst is framed and read while its bytes are still at hand,
    // not copied whole before the first element is read.
    constexpr qsizetype Step = 16 * 1024;
    while (!framer.hasPiece() && framedUpTo < unframed.size()) {
        const qsizetype length = qMin(Step, unframed.size() - framedUpTo);
        framer.feed(QByteArray::fromRawData(unframed.constData() + framedUpTo, length));
        framedUpTo += length;
    }
    if (framedUpTo == unframed.size()) {
        unframed.clear();
        framedUpTo = 0;
    }
    return framer.hasPiece();
}

void StreamParser::allowLargerAnswer(const QString& id, const QStringList& senders, qint64 size, qint64 itemSize)
{
    d->framer.allowLargerAnswer(id, senders, qsizetype(qMin<qint64>(size, std::numeric_limits<qsizetype>::max())),
                                qsizetype(itemSize));
}

bool StreamParser::elementUnfinished() const
{
    return d->framer.inElement();
}

void StreamParser::withdrawLargerAnswer(const QString& id)
{
    d->framer.withdrawLargerAnswer(id);
}

bool StreamParser::Private::takePiece()
{
    // A large element goes to the reader in parts, so that the step can
    // stop between two of them.
    constexpr qsizetype Part = 32 * 1024;
    if (given < feeding.size()) {
        reader.addData(feeding.mid(given, Part));
        given += Part;
        return true;
    }
    if (!feeding.isNull() && !listOpen && current != stream) {
        refuseElement(QStringLiteral("read past its end"));
        return true;
    }
    feeding = QByteArray();
    if (!frameMore())
        return false;
    ElementFramer::Piece piece = framer.takePiece();
    switch (piece.kind) {
    case ElementFramer::Piece::ListPart:
        if (skipList) {
            skipList = !piece.last;
            return true;
        }
        if (!listing)
            listHead = piece.bytes;
        listing = true;
        listOpen = !piece.last;
        feeding = std::move(piece.bytes);
        given = 0;
        return takePiece();
    case ElementFramer::Piece::Bytes:
        fed += piece.bytes.size();
        if (stream.isNull())
            header += piece.bytes;
        reader.addData(piece.bytes);
        return true;
    case ElementFramer::Piece::Element:
        feeding = std::move(piece.bytes);
        given = 0;
        return takePiece();
    case ElementFramer::Piece::Broken:
        if (piece.encoding)
            throw stream_parse_error(NotWellFormed, QLatin1String(piece.reason));
        throw stream_parse_error(PolicyViolation, QStringLiteral("%1 bytes of %2").arg(MaxMarkupSize).arg(QLatin1String(piece.reason)));
    case ElementFramer::Piece::Dropped:
        // The list itself dropped on its way: what the reader has of it goes.
        if (!piece.item && (listOpen || skipList)) {
            if (listOpen)
                abandonElement();
            skipList = false;
        }
        break;
    }
    dropped(piece);
    return true;
}

void StreamParser::Private::refuseElement(const QString& reason)
{
    ElementFramer::Piece piece;
    piece.kind = ElementFramer::Piece::Dropped;
    ElementFramer::describe(listing ? listHead : feeding, piece);
    const QByteArray why = reason.toUtf8();
    piece.reason = why.constData();
    abandonElement();
    dropped(piece);
}

void StreamParser::Private::abandonElement()
{
    if (!current.isNull() && current != stream) {
        XmlNode top = current;
        while (top.parentNode() != stream)
            top = top.parentNode();
        stream.removeChild(top);
        current = stream;
    }
    depth = 0;
    feeding = QByteArray();
    // The rest of a list on its way is not read.
    skipList = listOpen;
    listing = listOpen = false;
    listItems = 0;
    listHead.clear();
    listed = listPayload = XmlElement();
    listElement.reset();
    // The reader cannot go on after an error: a fresh one reads the header
    // again, quietly, and then the elements after the one refused.
    reader.clear();
    reader.addData(header);
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
    }
    fedAtToken = fed;
}

void StreamParser::Private::dropped(const ElementFramer::Piece& piece)
{
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
        return;
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
    d->unframed.clear();
    d->framedUpTo = 0;
    d->stream = XmlElement();
    d->current = XmlElement();
    d->element.reset();
    d->language.clear();
    d->domain = XMPPJid();
    d->depth = 0;
    d->fed = 0;
    d->fedAtToken = 0;
    d->header.clear();
    d->listed = d->listPayload = XmlElement();
    d->listElement.reset();
    d->listing = d->listOpen = d->skipList = false;
    d->listItems = 0;
    d->listHead.clear();
    d->feeding = QByteArray();
    d->given = 0;
}

void StreamParser::Private::checkPendingSize() const
{
    if (fed - fedAtToken > MaxElementSize)
        throw stream_parse_error(PolicyViolation, QStringLiteral("element larger than %1 bytes").arg(MaxElementSize));
}

void StreamParser::Private::startElement()
{
    XmlElement e = XmlElement::create(names.get(reader.namespaceUri()), names.get(reader.qualifiedName()));
    const QXmlStreamAttributes attributes = reader.attributes();
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.namespaceUri().isEmpty())
            e.setAttribute(names.get(a.name()), a.value().toString());
        else
            e.setAttributeNS(names.get(a.namespaceUri()), names.get(a.qualifiedName()), a.value().toString());
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
        stream = e;
        current = e;
        return;
    }

    if (current == stream)
        depth = 0;
    // The framer drops deeper elements; the reader disagreeing with it
    // means bytes that are no XML.
    if (++depth > MaxElementDepth) {
        refuseElement(QStringLiteral("nested deeper than %1").arg(MaxElementDepth));
        return;
    }
    current.appendChild(e);
    current = e;
    // The payload of a list that comes in parts: its items are read out
    // of it as they close.
    if (listing && depth == 2 && listed.isNull()) {
        listed = e.parentNode().toElement();
        listPayload = e;
    }
}

/// Returns true when a top-level element is complete and read into `element`.
bool StreamParser::Private::endElement()
{
    XmlElement closed = current;
    current = closed.parentNode().toElement();
    --depth;
    if (listing && !listPayload.isNull() && current == listPayload) {
        if (++listItems >= PartItems) {
            listItems = 0;
            readListPart();
        }
        return false;
    }
    if (current != stream)
        return false;
    depth = 0;
    stream.removeChild(closed);
    if (listing) {
        const bool items = !listed.isNull();
        listing = false;
        listItems = 0;
        listHead.clear();
        if (!items) {
            element = read(closed);
            return element != nullptr;
        }
        readListPart();
        listed = listPayload = XmlElement();
        element = std::move(listElement);
        return true;
    }
    // Reading a long list into its element, and dropping the tree it was
    // read from, would take one long step: it goes a part at a time.
    constexpr qsizetype LongList = 64 * 1024;
    const XmlElement payload = closed.firstChildElement();
    const QString ns = payload.namespaceURI();
    if (feeding.size() > LongList && payload.localName() == QLatin1String("query")
        && (ns == QLatin1String("jabber:iq:roster") || ns == QLatin1String("http://jabber.org/protocol/disco#items"))) {
        listed = closed;
        listPayload = payload;
        return false;
    }
    element = read(closed);
    return element != nullptr;
}

void StreamParser::Private::readListPart()
{
    XmlElement part = listed.shallowCopy();
    XmlElement payload = part.appendChild(listPayload.shallowCopy()).toElement();
    for (int i = 0; i < PartItems && listPayload.hasChildNodes(); ++i)
        payload.appendChild(listPayload.firstChild());
    std::unique_ptr<StreamElement> read;
    try {
        read = this->read(part);
    } catch (...) {
        // The list fails as a whole, on its way too.
        if (listing)
            abandonElement();
        listed = listPayload = XmlElement();
        listElement.reset();
        throw;
    }
    if (!listElement) {
        listElement = std::move(read);
    } else if (read && read->type() == listElement->type()) {
        if (read->type() == KindIqRoster)
            static_cast<IqRoster&>(*listElement).append(static_cast<const IqRoster&>(*read));
        else if (read->type() == KindIqDiscoItems)
            static_cast<IqDiscoItems&>(*listElement).items += static_cast<const IqDiscoItems&>(*read).items;
    }
}

int StreamParser::Private::readList(QDeadlineTimer deadline)
{
    do {
        readListPart();
        if (!listPayload.hasChildNodes()) {
            listed = listPayload = XmlElement();
            element = std::move(listElement);
            return ElementReady;
        }
    } while (!deadline.hasExpired());
    return Paused;
}

std::unique_ptr<StreamElement> StreamParser::Private::read(const XmlElement& closed)
{
    try {
        return parseElement(closed);
    } catch (const std::invalid_argument& e) {
        // A JID part over the length limit: a fault of this one element.
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
        return nullptr;
    } catch (stanza_error& fault) {
        // Whoever threw knew the stanza's kind; its type and sender decide
        // whether (and to whom) it is answered.
        if (fault.stanzaType().isEmpty() && fault.from().isEmpty())
            fault.setStanza(closed.attribute(QStringLiteral("type")), closed.attribute(QStringLiteral("from")));
        throw;
    }
}

int StreamParser::parse(QDeadlineTimer deadline)
{
    d->element.reset();
    if (!d->listed.isNull() && !d->listing)
        return d->readList(deadline);
    QXmlStreamReader& reader = d->reader;
    // What the reader refuses inside an element costs that element; in the
    // stream's own markup, the stream.
    const auto refuse = [this](int code, const QString& text) {
        if (!d->inElement())
            throw stream_parse_error(code, text);
        d->refuseElement(text);
    };
    for (;;) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token != QXmlStreamReader::Invalid)
            d->fedAtToken = d->fed;
        switch (token) {
        case QXmlStreamReader::Invalid:
            if (reader.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
                refuse(NotWellFormed, reader.errorString());
                break;
            }
            [[fallthrough]];
        case QXmlStreamReader::NoToken:
            if (d->given > 0 && d->given < d->feeding.size() && deadline.hasExpired())
                return Paused;
            if (d->takePiece())
                break;
            d->checkPendingSize();
            return NeedMoreData;
        case QXmlStreamReader::EndDocument:
            return EndOfStream;
        case QXmlStreamReader::StartDocument:
            break;
        case QXmlStreamReader::Comment:
            refuse(RestrictedXml, QStringLiteral("comments are not allowed"));
            break;
        case QXmlStreamReader::DTD:
            refuse(RestrictedXml, QStringLiteral("document type declarations are not allowed"));
            break;
        case QXmlStreamReader::EntityReference:
            refuse(RestrictedXml, QStringLiteral("entity references are not allowed"));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            refuse(RestrictedXml, QStringLiteral("processing instructions are not allowed"));
            break;
        case QXmlStreamReader::StartElement:
            d->startElement();
            break;
        case QXmlStreamReader::EndElement:
            if (d->current == d->stream) {
                // The server closed its stream.
                d->current = XmlElement();
                return EndOfStream;
            }
            if (d->endElement())
                return ElementReady;
            if (!d->listed.isNull() && !d->listing)
                return d->readList(deadline);
            // Items of a list on its way were read: the turn may end here.
            if (d->listing && d->listItems == 0 && !d->listed.isNull() && deadline.hasExpired())
                return Paused;
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
            d->current.appendChild(XmlNode::createText(reader.text().toString()));
            break;
        default:
            refuse(InvalidXml, QStringLiteral("unknown xml stream token: %1").arg(int(token)));
            break;
        }
    }
}

} // namespace xmpp
