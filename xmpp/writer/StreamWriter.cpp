// The client's side of the stream. Everything is written into a buffer and
// handed to the device in one write per element, so an element never
// leaves in pieces. Answers to others wait here, not in the device, until
// it has drained: the own elements go ahead of them.
#include "StreamWriter.h"

#include "IqBind.h"
#include "IqDisco.h"
#include "IqRoster.h"
#include "IqSearch.h"
#include "IqVCard.h"
#include "MessageStanza.h"
#include "MucPresenceStanza.h"
#include "SaslElements.h"
#include "StreamError.h"
#include "XmlText.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <QBuffer>
#include <QSslSocket>
#include <QTimer>
#include <QXmlStreamWriter>

#include <deque>
#include <stdexcept>
#include <utility>

namespace xmpp {

namespace {

const QString StreamNs = QStringLiteral("http://etherx.jabber.org/streams");
const QString StanzaErrorNs = QStringLiteral("urn:ietf:params:xml:ns:xmpp-stanzas");
const QString Und = QStringLiteral("UND");

QString elementName(const Stanza& stanza)
{
    switch (stanza.type()) {
    case KindMessageStanza:
        return QStringLiteral("message");
    case KindPresenceStanza:
    case KindMucPresenceStanza:
        return QStringLiteral("presence");
    default:
        return QStringLiteral("iq");
    }
}

void writeEmptyWithNamespace(QXmlStreamWriter& w, const QString& name, const QString& ns)
{
    w.writeStartElement(name);
    w.writeDefaultNamespace(ns);
    w.writeEndElement();
}

void openFrame(QXmlStreamWriter& w, const Stanza& s)
{
    w.writeStartElement(elementName(s));
    if (!s.from.isNull())
        writeAttribute(w, QStringLiteral("from"), s.from.toString());
    if (!s.to.isNull())
        writeAttribute(w, QStringLiteral("to"), s.to.toString());
    if (!s.id.isEmpty())
        writeAttribute(w, QStringLiteral("id"), s.id);
    if (!s.stanzaType.isEmpty())
        writeAttribute(w, QStringLiteral("type"), s.stanzaType);
    if (!s.language.isEmpty())
        writeAttribute(w, QStringLiteral("xml:lang"), s.language);
}

void closeFrame(QXmlStreamWriter& w, const Stanza& s)
{
    if (s.errorCondition != 0) {
        w.writeStartElement(QStringLiteral("error"));
        w.writeAttribute(QStringLiteral("type"), names::stanzaErrorType(s.errorType));
        writeEmptyWithNamespace(w, names::stanzaErrorCondition(s.errorCondition), StanzaErrorNs);
        w.writeEndElement();
    }
    w.writeEndElement();
}

void writeLanguageTexts(QXmlStreamWriter& w, const QString& name, const QMap<QString, QString>& texts,
                        const MessageStanza& m)
{
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        w.writeStartElement(name);
        if (it.key() == Und) {
            // The own-language text needs its language only beside others.
            if (texts.size() > 1)
                writeAttribute(w, QStringLiteral("xml:lang"), m.language.isEmpty() ? m.defaultLanguage : m.language);
        } else {
            writeAttribute(w, QStringLiteral("xml:lang"), it.key());
        }
        w.writeCharacters(xmlSafe(it.value()));
        w.writeEndElement();
    }
}

void writeMessage(QXmlStreamWriter& w, const MessageStanza& m)
{
    openFrame(w, m);
    writeLanguageTexts(w, QStringLiteral("subject"), m.subjects, m);
    writeLanguageTexts(w, QStringLiteral("body"), m.bodies, m);
    if (!m.thread.isEmpty())
        writeTextElement(w, QStringLiteral("thread"), m.thread);
    closeFrame(w, m);
}

void writePresence(QXmlStreamWriter& w, const PresenceStanza& p)
{
    openFrame(w, p);
    if (p.type() == KindMucPresenceStanza) {
        writeEmptyWithNamespace(w, QStringLiteral("x"), QStringLiteral("http://jabber.org/protocol/muc"));
    } else {
        if (p.show != 0)
            w.writeTextElement(QStringLiteral("show"), names::show(p.show));
        for (auto it = p.statuses.cbegin(); it != p.statuses.cend(); ++it) {
            if (it.value().isEmpty())
                continue;
            w.writeStartElement(QStringLiteral("status"));
            if (it.key() != Und)
                writeAttribute(w, QStringLiteral("xml:lang"), it.key());
            w.writeCharacters(xmlSafe(it.value()));
            w.writeEndElement();
        }
        if (p.priority != 0)
            w.writeTextElement(QStringLiteral("priority"), QString::number(p.priority));
        if (!p.tables.isEmpty()) {
            w.writeStartElement(QStringLiteral("tables"));
            w.writeDefaultNamespace(QLatin1String(TablePresenceNamespace));
            for (const QString& path : p.tables)
                writeTextElement(w, QStringLiteral("path"), path);
            w.writeEndElement();
        }
    }
    w.writeStartElement(QStringLiteral("x"));
    w.writeDefaultNamespace(QStringLiteral("vcard-temp:x:update"));
    if (!p.photoHash.isNull())
        w.writeTextElement(QStringLiteral("photo"), QString::fromLatin1(p.photoHash.toHex()));
    w.writeEndElement();
    closeFrame(w, p);
}

void writeStreamError(QXmlStreamWriter& w, const StreamError& e)
{
    // The conditions and the text live in their own namespace; without it
    // the server would read them as client elements.
    const QString conditionNs = QStringLiteral("urn:ietf:params:xml:ns:xmpp-streams");
    w.writeStartElement(StreamNs, QStringLiteral("error"));
    const QString condition = names::streamErrorCondition(e.condition);
    w.writeStartElement(condition);
    w.writeDefaultNamespace(conditionNs);
    if (e.condition == 17 && !e.otherHost.isEmpty())
        w.writeCharacters(xmlSafe(e.otherHost));
    w.writeEndElement();
    if (!e.text.isEmpty()) {
        w.writeStartElement(QStringLiteral("text"));
        w.writeDefaultNamespace(conditionNs);
        w.writeCharacters(xmlSafe(e.text));
        w.writeEndElement();
    }
    w.writeEndElement();
}

} // namespace

struct StreamWriter::Private
{
    int state = 0;
    XMPPJid to;
    QString language;
    QXmlStreamWriter xml;
    QIODevice* device = nullptr;
    QBuffer buffer;
    QTimer keepAlive;
    qint64 maxBacklog = DefaultMaxBacklog;
    bool stalled = false;
    /// Answers to others not yet handed to the device, and their bytes.
    std::deque<QByteArray> answers;
    qint64 answerBytes = 0;
    /// Bytes handed to the device since the header.
    qint64 handed = 0;

    /// What the device holds and has not handed to the network yet; a TLS
    /// socket keeps what it encrypted in a second buffer.
    qint64 unsent() const
    {
        qint64 bytes = device->bytesToWrite();
        if (const auto* socket = qobject_cast<const QSslSocket*>(device))
            bytes += socket->encryptedBytesToWrite();
        return bytes;
    }
};

StreamWriter::StreamWriter(const XMPPJid& to, const QString& language, QObject* parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->to = to;
    d->language = language;
    d->buffer.open(QIODevice::ReadWrite);
    d->keepAlive.setInterval(60000);
    connect(&d->keepAlive, &QTimer::timeout, this, &StreamWriter::sendKeepAlive);
}

StreamWriter::~StreamWriter() = default;

bool StreamWriter::isOpen() const { return d->state == 1; }
int StreamWriter::keepAliveInterval() const { return d->keepAlive.interval(); }
void StreamWriter::setKeepAliveInterval(int ms) { d->keepAlive.setInterval(ms); }
void StreamWriter::setMaxBacklog(qint64 bytes) { d->maxBacklog = bytes; }
bool StreamWriter::backlogExceeded() const { return d->stalled; }
qint64 StreamWriter::unsent() const
{
    return (d->device ? d->unsent() : 0) + d->answerBytes;
}
qint64 StreamWriter::sentBytes() const { return d->handed - (d->device ? d->unsent() : 0); }
qint64 StreamWriter::ownEnd() const { return d->handed; }

void StreamWriter::openStream(QIODevice* device)
{
    d->state = 1;
    d->device = device;
    const auto drained = [this] {
        handOver();
        Q_EMIT bytesSent();
    };
    connect(device, &QIODevice::bytesWritten, this, drained);
    if (auto* socket = qobject_cast<QSslSocket*>(device))
        connect(socket, &QSslSocket::encryptedBytesWritten, this, drained);
    d->xml.setDevice(&d->buffer);
    d->xml.writeStartDocument(QStringLiteral("1.0"));
    d->xml.writeDefaultNamespace(QStringLiteral("jabber:client"));
    d->xml.writeNamespace(StreamNs, QStringLiteral("stream"));
    d->xml.writeStartElement(StreamNs, QStringLiteral("stream"));
    d->xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    writeAttribute(d->xml, QStringLiteral("to"), d->to.toString());
    writeAttribute(d->xml, QStringLiteral("xml:lang"), d->language);
    // Closes the start tag's angle bracket so the server sees a whole header.
    d->xml.writeCharacters(QString());
    flush();
}

void StreamWriter::write(const StreamElement& element, Share share)
{
    if (d->state != 1)
        throw std::runtime_error("writing requires an open stream");
    QXmlStreamWriter& w = d->xml;
    switch (element.type()) {
    case KindStreamError:
        writeStreamError(w, static_cast<const StreamError&>(element));
        break;
    case KindTLSStart:
        writeEmptyWithNamespace(w, QStringLiteral("starttls"), QStringLiteral("urn:ietf:params:xml:ns:xmpp-tls"));
        break;
    case KindSASLAuth: {
        const auto& auth = static_cast<const SASLAuth&>(element);
        w.writeStartElement(QStringLiteral("auth"));
        w.writeDefaultNamespace(QStringLiteral("urn:ietf:params:xml:ns:xmpp-sasl"));
        writeAttribute(w, QStringLiteral("mechanism"), auth.mechanism);
        if (!auth.data.isEmpty())
            w.writeCharacters(QString::fromLatin1(auth.data.toBase64()));
        w.writeEndElement();
        break;
    }
    case KindMessageStanza:
        writeMessage(w, static_cast<const MessageStanza&>(element));
        break;
    case KindPresenceStanza:
    case KindMucPresenceStanza:
        writePresence(w, static_cast<const PresenceStanza&>(element));
        break;
    case KindIq:
    case KindIqBind:
    case KindIqVCard:
    case KindIqSession:
    case KindIqRoster:
    case KindIqDiscoInfo:
    case KindIqDiscoItems:
    case KindIqSearch:
    case KindIqInstantRoom:
    case KindIqPing: {
        const auto& iq = static_cast<const Iq&>(element);
        openFrame(w, iq);
        switch (element.type()) {
        case KindIqBind: {
            const auto& bind = static_cast<const IqBind&>(element);
            w.writeStartElement(QStringLiteral("bind"));
            w.writeDefaultNamespace(QStringLiteral("urn:ietf:params:xml:ns:xmpp-bind"));
            if (!bind.resource.isEmpty())
                writeTextElement(w, QStringLiteral("resource"), bind.resource);
            w.writeEndElement();
            break;
        }
        case KindIqVCard:
            static_cast<const IqVCard&>(element).writePayload(w);
            break;
        case KindIqSession:
            writeEmptyWithNamespace(w, QStringLiteral("session"), QStringLiteral("urn:ietf:params:xml:ns:xmpp-session"));
            break;
        case KindIqRoster:
            static_cast<const IqRoster&>(element).writePayload(w);
            break;
        case KindIqDiscoInfo:
            writeEmptyWithNamespace(w, QStringLiteral("query"), QStringLiteral("http://jabber.org/protocol/disco#info"));
            break;
        case KindIqDiscoItems:
            writeEmptyWithNamespace(w, QStringLiteral("query"), QStringLiteral("http://jabber.org/protocol/disco#items"));
            break;
        case KindIqSearch:
            static_cast<const IqSearch&>(element).writePayload(w);
            break;
        case KindIqInstantRoom:
            w.writeStartElement(QStringLiteral("query"));
            w.writeDefaultNamespace(QStringLiteral("http://jabber.org/protocol/muc#owner"));
            w.writeStartElement(QStringLiteral("x"));
            w.writeDefaultNamespace(QStringLiteral("jabber:x:data"));
            w.writeAttribute(QStringLiteral("type"), QStringLiteral("submit"));
            w.writeEndElement();
            w.writeEndElement();
            break;
        case KindIqPing:
            writeEmptyWithNamespace(w, QStringLiteral("ping"), QStringLiteral("urn:xmpp:ping"));
            break;
        default:
            break;
        }
        closeFrame(w, iq);
        break;
    }
    default:
        qCDebug(lcXmpp) << "element kind" << element.type() << "is never sent";
        break;
    }
    w.writeCharacters(QString());
    if (share == Share::Others && d->buffer.size() > 0 && !d->stalled && unsent() <= d->maxBacklog) {
        d->answerBytes += d->buffer.size();
        d->answers.push_back(std::exchange(d->buffer.buffer(), QByteArray()));
        d->buffer.seek(0);
    }
    flush();
}

void StreamWriter::closeStream()
{
    if (d->state != 1)
        return;
    // The device closes once it has written what it holds: nothing may
    // wait here, and the closing tag comes after all.
    handOver(true);
    d->xml.writeEndDocument();
    flush();
    d->keepAlive.stop();
    d->state = 0;
}

void StreamWriter::flush()
{
    d->keepAlive.stop();
    // Checked before the element, so that one large element (a picture)
    // never trips the bound by itself; what a peer that reads nothing makes
    // the client answer stays below the bound plus one element.
    if (d->device && !d->stalled && unsent() > d->maxBacklog) {
        d->stalled = true;
        qCWarning(lcXmpp) << "the peer left" << unsent() << "bytes unread; nothing more is written";
        Q_EMIT peerStoppedReading();
    }
    // The own elements go at once: only answers to others wait for the
    // device to drain, so that an own element is never behind more of them
    // than the device holds.
    if (d->device && !d->stalled && d->buffer.size() > 0) {
        d->handed += d->buffer.size();
        d->device->write(d->buffer.data());
    }
    d->buffer.buffer().clear();
    d->buffer.seek(0);
    handOver();
    if (d->state == 1)
        d->keepAlive.start();
}

void StreamWriter::handOver(bool all)
{
    if (!d->device)
        return;
    if (d->stalled) {
        d->answers.clear();
        d->answerBytes = 0;
    }
    while (!d->answers.empty() && (all || d->unsent() < HandOverBytes)) {
        const QByteArray bytes = std::move(d->answers.front());
        d->answers.pop_front();
        d->answerBytes -= bytes.size();
        d->handed += bytes.size();
        d->device->write(bytes);
    }
}

void StreamWriter::sendKeepAlive()
{
    if (d->state != 1)
        return;
    d->xml.writeCharacters(QStringLiteral(" "));
    flush();
}

} // namespace xmpp
