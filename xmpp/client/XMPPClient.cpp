// XMPPClient: construction, the socket and its slots, the reading loop and
// the one write path. The negotiation and the session dispatch are in
// XMPPClientNegotiation.cpp, the services in XMPPClientServices.cpp.
#include "XMPPClient.h"

#include <QSslConfiguration>
#include "XMPPClient_p.h"

#include "Exceptions.h"
#include "Iq.h"
#include "IqBind.h"
#include "MessageStanza.h"
#include "PresenceStanza.h"
#include "StreamError.h"
#include "XmppLog.h"
#include "XmppNames.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <algorithm>
#include <iterator>
#include <stdexcept>

XMPPClientPrivate::XMPPClientPrivate(XMPPClient* q)
    : vCard(q)
    , roster(q)
    , search(q)
{
}

void XMPPClientPrivate::failPending()
{
    // Handlers may register new requests while they run; those belong to the
    // next connection and stay.
    std::map<QString, Request> requests;
    requests.swap(pending);
    late.clear();
    deadlines.clear();
    unsent.clear();
    requestTimer.stop();
    for (auto& entry : requests)
        callHandler(entry.second.handler, nullptr);
}

void XMPPClientPrivate::callHandler(const XMPPClient::IqHandler& handler, const xmpp::Iq* reply)
{
    try {
        handler(reply);
    } catch (const std::exception& e) {
        qCWarning(lcXmpp) << "request handler failed:" << e.what();
    }
}

namespace {

/// Node and domain compare without regard to case, the resource exactly.
bool sameAddress(const XMPPJid& a, const XMPPJid& b)
{
    return a.bare().toString().compare(b.bare().toString(), Qt::CaseInsensitive) == 0 && a.resource() == b.resource();
}

}

bool XMPPClientPrivate::isOwnServer(const XMPPJid& jid) const
{
    if (jid.isEmpty())
        return true;
    const XMPPJid own = XMPPJid::fromText(ownJid);
    const QString ownDomain = own.domain().isEmpty() ? streamDomain() : own.domain();
    return sameAddress(jid, XMPPJid(ownDomain)) || (!own.isEmpty() && sameAddress(jid, own.bare()));
}

bool XMPPClientPrivate::mayAnswer(const XMPPJid& from)
{
    if (isOwnServer(from))
        return true;
    // Answers are larger than the requests: another user asking fast
    // enough would otherwise fill what the server has yet to read, and the
    // stream would end for the user's own writes. Held friend requests go
    // out first.
    bool allowed = !backlogOverOthersShare() && heldSubscriptions.isEmpty();
    if (allowed) {
        const qint64 now = clock.elapsed();
        if (now - answerSecond >= 1000) {
            answerSecond = now;
            answered.clear();
        }
        // Each occupant of a room asks from an address of its own.
        const QString sender = from.bare().toString().toLower() + QLatin1Char('/') + from.resource();
        const auto it = answered.find(sender);
        if (it != answered.end()) {
            allowed = ++*it <= AnswersPerSender;
        } else {
            allowed = answered.size() < MaxSendersPerSecond;
            if (allowed)
                answered.insert(sender, 1);
        }
    }
    if (!allowed && unansweredLog.allow())
        qCWarning(lcXmpp).noquote() << "left a request from" << from.toString() << "unanswered"
                                    << xmpp::heldBack(unansweredLog);
    return allowed;
}

bool XMPPClientPrivate::answersRequest(const XMPPJid& to, const QString& from) const
{
    XMPPJid sender;
    try {
        sender = XMPPJid::fromText(from);
    } catch (const std::exception&) {
        return false;
    }
    if (isOwnServer(to))
        return isOwnServer(sender);
    return sameAddress(to, sender);
}

XMPPClient::XMPPClient(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<XMPPClientPrivate>(this))
{
    qRegisterMetaType<QAbstractSocket::SocketError>("QAbstractSocket::SocketError");
    qRegisterMetaType<XMPPJid>("XMPPJid");
    qRegisterMetaType<XMPPPresence>("XMPPPresence");
    qRegisterMetaType<XMPPMessage>("XMPPMessage");
    qRegisterMetaType<XMPPVCard>("XMPPVCard");
    qRegisterMetaType<XMPPDataForm>("XMPPDataForm");
    qRegisterMetaType<XMPPDataReport>("XMPPDataReport");

    QSslSocket* socket = &d->socket;
    socket->setReadBufferSize(XMPPClientPrivate::ReadBufferSize);
    connect(socket, &QSslSocket::connected, this, &XMPPClient::socketConnected, Qt::QueuedConnection);
    connect(socket, &QSslSocket::readyRead, this, &XMPPClient::socketReadyRead, Qt::QueuedConnection);
    connect(socket, &QSslSocket::disconnected, this, &XMPPClient::socketDisconnected, Qt::QueuedConnection);
    connect(socket, &QSslSocket::errorOccurred, this, &XMPPClient::onSocketError, Qt::QueuedConnection);
    connect(socket, &QSslSocket::encrypted, this, &XMPPClient::socketEncrypted, Qt::QueuedConnection);
    connect(socket, &QSslSocket::sslErrors, this, &XMPPClient::socketSslErrors, Qt::DirectConnection);

    // TLS 1.0 and 1.1 are refused by current servers and TLS libraries.
    d->socket.setProtocol(QSsl::TlsV1_2OrLater);

    d->clock.start();
    d->requestTimer.setSingleShot(true);
    d->stepTimer.setSingleShot(true);
    d->pingTimer.setSingleShot(true);
    d->heldTimer.setInterval(50);
    connect(&d->requestTimer, &QTimer::timeout, this, &XMPPClient::expireRequests);
    connect(&d->stepTimer, &QTimer::timeout, this, &XMPPClient::onStepTimeout);
    connect(&d->pingTimer, &QTimer::timeout, this, &XMPPClient::checkSilence);
    connect(&d->heldTimer, &QTimer::timeout, this, &XMPPClient::releaseSubscriptions);

    connect(&d->vCard, &xmpp::ClientVCard::vCardReceived, this, &XMPPClient::vCardReceived);
    connect(&d->vCard, &xmpp::ClientVCard::vCardReceivedError, this, &XMPPClient::vCardReceivedError);
    connect(&d->vCard, &xmpp::ClientVCard::uploadVCardOk, this, &XMPPClient::uploadVCardOk);
    connect(&d->vCard, &xmpp::ClientVCard::uploadVCardError, this, &XMPPClient::uploadVCardError);
    connect(&d->roster, &xmpp::ClientRoster::rosterReset, this, &XMPPClient::rosterReset);
    connect(&d->roster, &xmpp::ClientRoster::rosterUpdate, this, &XMPPClient::rosterUpdate);
    connect(&d->roster, &xmpp::ClientRoster::rosterComplete, this, &XMPPClient::rosterComplete);
    connect(&d->roster, &xmpp::ClientRoster::rosterComplete, this, [this] {
        if (std::exchange(d->readHeld, false) && !d->readQueued) {
            d->readQueued = true;
            QMetaObject::invokeMethod(this, &XMPPClient::readElements, Qt::QueuedConnection);
        }
    });
    connect(&d->search, &xmpp::ClientSearch::requestSearchFormResult, this, &XMPPClient::requestSearchFormResult);
    connect(&d->search, &xmpp::ClientSearch::requestSearchFormError, this, &XMPPClient::requestSearchFormError);
    connect(&d->search, &xmpp::ClientSearch::searchReport, this, &XMPPClient::searchReport);
    connect(&d->search, &xmpp::ClientSearch::searchError, this, &XMPPClient::searchError);
}

XMPPClient::~XMPPClient()
{
    d->pending.clear();
    d->writer.reset();
    // The socket's last signals must not reach a half-destroyed client.
    d->socket.disconnect(this);
    d->socket.abort();
}

void XMPPClient::connectToHost(const QString& host, quint16 port, int tlsPolicy)
{
    if (d->state != UnconnectedState) {
        qCDebug(lcXmpp) << "Ignoring connectToHost call. UnconnectedState !=" << d->state;
        return;
    }
    d->state = ConnectingState;
    d->lastReceived = d->clock.elapsed();
    d->host = host;
    d->port = port;
    d->tlsPolicy = tlsPolicy;
    d->refusal = ProtocolError;
    d->awaitingRetry = false;
    d->credentialsPending = false;
    d->sessionId.clear();
    d->ownJid.clear();
    d->stepTimer.start(d->answerTimeout);
    d->socket.connectToHost(host, port, QIODevice::ReadWrite);
}

void XMPPClient::setCaCertificates(const QList<QSslCertificate>& certificates)
{
    QSslConfiguration ssl = d->socket.sslConfiguration();
    ssl.setCaCertificates(certificates);
    d->socket.setSslConfiguration(ssl);
}

void XMPPClient::setDomain(const QString& domain)
{
    d->domain = domain;
}

void XMPPClient::setCredentials(QString user, QString password)
{
    d->user = std::move(user);
    d->password = std::move(password);
    if (d->state != AuthenticatingState)
        return;
    if (d->awaitingRetry) {
        sendPlainAuth();
    } else {
        // An authentication is outstanding: a second one now would break the
        // exchange. The new credentials answer the next refusal.
        d->credentialsPending = true;
    }
}

void XMPPClient::disconnectFromHost()
{
    if (d->state == UnconnectedState || d->state == DisconnectingState)
        return;
    // Whatever the state, an open stream gets its closing tag: a stream
    // error written during the negotiation must be followed by it.
    if (d->writer)
        d->writer->closeStream();
    d->state = DisconnectingState;
    d->awaitingRetry = false;
    // A server that reads nothing more would keep the socket closing for ever.
    d->stepTimer.start(d->answerTimeout);
    d->socket.disconnectFromHost();
    // A socket that never connected (or closed at once) may report nothing
    // more; make sure the client still comes back to UnconnectedState.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (d->state == DisconnectingState && d->socket.state() == QAbstractSocket::UnconnectedState)
                socketDisconnected();
        },
        Qt::QueuedConnection);
}

void XMPPClient::write(const xmpp::StreamElement& element)
{
    write(element, false);
}

void XMPPClient::write(const xmpp::StreamElement& element, bool forOthers)
{
    // Stanzas received before the socket closed are handled after it closed:
    // what they answer goes nowhere.
    if (d->state == UnconnectedState || d->state == DisconnectingState || !d->writer
        || d->socket.state() == QAbstractSocket::UnconnectedState) {
        qCDebug(lcXmpp) << "can't write in state" << d->state;
        return;
    }
    try {
        d->writer->write(element, forOthers ? xmpp::StreamWriter::Share::Others : xmpp::StreamWriter::Share::Own);
    } catch (const std::runtime_error& e) {
        const QString text = QStringLiteral("write failed with message: %1").arg(QString::fromLocal8Bit(e.what()));
        qCCritical(lcXmpp).noquote() << text;
        Q_EMIT xmppError(ProtocolError, text);
        disconnectFromHost();
        return;
    }
    // Whom a request went to decides who may answer it.
    if (const auto* iq = dynamic_cast<const xmpp::Iq*>(&element)) {
        if (iq->stanzaType == QLatin1String("get") || iq->stanzaType == QLatin1String("set")) {
            // Requests written without a handler (binding, session) are few;
            // the bound only guards against a caller that never registers.
            if (d->addressees.size() >= 256)
                d->addressees.clear();
            d->addressees[iq->id] = {iq->to, d->writer->ownEnd()};
            // The user's own roster, from the own account: a long friends
            // list is larger than anything another user may send, and each
            // friend in it may be as large as a push may bring one.
            if (element.type() == xmpp::KindIqRoster && iq->stanzaType == QLatin1String("get") && iq->to.isEmpty()) {
                const XMPPJid own = XMPPJid::fromText(d->ownJid);
                d->parser.allowLargerAnswer(iq->id, {QString(), own.bare().toString()},
                                            xmpp::StreamParser::MaxLargeAnswerSize,
                                            xmpp::StreamParser::MaxRosterItemSize);
            }
        }
    }
}

void XMPPClient::writeAnswer(const xmpp::StreamElement& element, const XMPPJid& to)
{
    write(element, !d->isOwnServer(to));
}

QString XMPPClient::nextId()
{
    return QString::number(++d->idCounter);
}

void XMPPClient::registerIqHandler(const QString& id, IqHandler handler, IqHandler lateHandler)
{
    auto node = d->addressees.extract(id);
    const qint64 now = d->clock.elapsed();
    d->pending[id] = XMPPClientPrivate::Request{node.empty() ? XMPPJid() : node.mapped().first, std::move(handler),
                                                std::move(lateHandler), now, node.empty() ? writeMark() : node.mapped().second};
    // Its time starts again once its bytes have left.
    if (!node.empty() && d->writer && node.mapped().second > d->writer->sentBytes())
        d->unsent.emplace_back(node.mapped().second, id);
    d->schedule(now + d->answerTimeout, id);
}

void XMPPClient::noteSent()
{
    const qint64 sent = d->writer ? d->writer->sentBytes() : 0;
    const qint64 now = d->clock.elapsed();
    while (!d->unsent.empty() && d->unsent.front().first <= sent) {
        if (const auto it = d->pending.find(d->unsent.front().second); it != d->pending.end())
            it->second.progress = now;
        d->unsent.pop_front();
    }
}

void XMPPClientPrivate::schedule(qint64 due, const QString& id)
{
    // Mostly at the end: with one timeout for all, that is the order asked.
    auto place = deadlines.end();
    while (place != deadlines.begin() && std::prev(place)->first > due)
        --place;
    const bool first = place == deadlines.begin();
    deadlines.emplace(place, due, id);
    if (first)
        requestTimer.start(int(qMax<qint64>(0, due - clock.elapsed())));
}

void XMPPClientPrivate::noteReceived()
{
    lastReceived = clock.elapsed();
    // The server answers in order: while the bytes of one element still
    // come (a long roster over a slow link), every answer is on its way
    // behind them. Stanzas that come whole, as others' do, extend nothing.
    if (parser.elementUnfinished()) {
        for (auto& entry : pending)
            entry.second.progress = lastReceived;
    }
}

XMPPClient::XMPPError XMPPClient::refusal() const
{
    return d->refusal;
}

qint64 XMPPClient::writeMark() const
{
    return d->writer ? d->writer->ownEnd() : 0;
}

qint64 XMPPClient::streamWait(qint64 mark, int ms)
{
    if (d->state != SessionState || d->caughtUpTo >= mark)
        return 0;
    const qint64 quiet = d->clock.elapsed() - d->lastReceived;
    if (quiet >= ms)
        return 0;
    // The server answers in order: a ping written after `mark` comes back
    // behind everything it sent before reading up to there.
    if (d->newestProbe < mark)
        writeProbe();
    return ms - quiet;
}

void XMPPClient::writeProbe()
{
    const QString id = nextId();
    const XMPPJid server = d->parser.streamDomain();
    write(xmpp::IqPing(id, server.isEmpty() ? XMPPJid(d->streamDomain()) : server));
    const qint64 mark = writeMark();
    d->newestProbe = mark;
    // Any answer will do: a server without XEP-0199 answers with an error.
    registerIqHandler(id, [this, mark](const xmpp::Iq* reply) {
        if (!reply || mark <= d->caughtUpTo)
            return;
        d->caughtUpTo = mark;
        // Requests past their time that waited for the stream are looked at again.
        const qint64 now = d->clock.elapsed();
        for (const auto& [id, request] : d->pending) {
            if (!request.probe && request.mark <= mark && request.progress + d->answerTimeout <= now)
                d->schedule(now, id);
        }
        Q_EMIT caughtUp();
    });
    if (const auto it = d->pending.find(id); it != d->pending.end())
        it->second.probe = true;
}

void XMPPClient::expireRequests()
{
    const qint64 now = d->clock.elapsed();
    while (!d->deadlines.empty() && d->deadlines.front().first <= now) {
        const QString id = std::move(d->deadlines.front().second);
        d->deadlines.pop_front();
        const auto it = d->pending.find(id);
        if (it == d->pending.end())
            continue; // answered in time
        if (std::any_of(d->unsent.cbegin(), d->unsent.cend(), [&](const auto& entry) { return entry.second == id; })) {
            d->schedule(now + d->answerTimeout, id); // its bytes have not left yet
            continue;
        }
        if (const qint64 due = it->second.progress + d->answerTimeout; due > now) {
            d->schedule(due, id); // its answer is on its way
            continue;
        }
        // What comes whole may be what the server sent before it read the
        // request: it waits for the stream to catch up. A ping's answer is
        // itself that news, so a ping waits for silence alone.
        if (it->second.probe) {
            if (const qint64 quietAt = d->lastReceived + d->answerTimeout; quietAt > now) {
                d->schedule(quietAt, id);
                continue;
            }
        } else if (const qint64 wait = streamWait(it->second.mark, d->answerTimeout); wait > 0) {
            d->schedule(now + wait, id);
            continue;
        }
        auto node = d->pending.extract(it);
        if (d->overdueLog.allow())
            qCWarning(lcXmpp).noquote() << "request" << id << "to" << node.mapped().to.toString()
                                        << "got no answer in time" << xmpp::heldBack(d->overdueLog);
        // A long answer that comes after all is not read in full.
        d->parser.withdrawLargerAnswer(id);
        XMPPClientPrivate::Request request = std::move(node.mapped());
        if (request.lateHandler) {
            if (d->late.size() >= XMPPClientPrivate::MaxLate)
                d->late.erase(d->late.begin());
            d->late[id] = XMPPClientPrivate::Request{request.to, std::move(request.lateHandler), {}};
        }
        XMPPClientPrivate::callHandler(request.handler, nullptr);
    }
    if (!d->deadlines.empty())
        d->requestTimer.start(int(qMax<qint64>(0, d->deadlines.front().first - now)));
}

int XMPPClient::answerTimeout() const
{
    return d->answerTimeout;
}

void XMPPClient::setAnswerTimeout(int ms)
{
    d->answerTimeout = ms;
}

void XMPPClient::setPingInterval(int ms)
{
    d->pingInterval = ms;
    // A check due after the old, longer time comes at the new one.
    if (d->pingTimer.isActive())
        d->pingTimer.start(0);
}

void XMPPClient::checkSilence()
{
    if (d->state != SessionState)
        return;
    const qint64 now = d->clock.elapsed();
    if (d->pingSent > d->lastReceived) {
        // Neither the ping's answer nor anything else came since: a link
        // that drops everything without a word (a sleeping laptop, a NAT that
        // forgot the connection) ends as a reset does.
        if (now - d->pingSent >= d->pingInterval) {
            // Bytes that came while this thread was held up elsewhere are
            // read first: a second look after the socket's news.
            if (!std::exchange(d->pingLookedAgain, true)) {
                QMetaObject::invokeMethod(this, &XMPPClient::checkSilence, Qt::QueuedConnection);
                return;
            }
            dropConnection(QStringLiteral("the server did not answer a ping in time"),
                           QStringLiteral("connection-timeout"));
            return;
        }
        d->pingTimer.start(int(d->pingSent + d->pingInterval - now));
        return;
    }
    if (const qint64 quiet = now - d->lastReceived; quiet < d->pingInterval) {
        d->pingTimer.start(int(d->pingInterval - quiet));
        return;
    }
    writeProbe();
    d->pingSent = now;
    d->pingLookedAgain = false;
    d->pingTimer.start(d->pingInterval);
}

void XMPPClient::releaseSubscriptions()
{
    while (d->state == SessionState && !d->heldSubscriptions.isEmpty() && !d->backlogOverOthersShare())
        Q_EMIT authorizationRequestReceived(d->heldSubscriptions.takeFirst());
    if (d->state != SessionState)
        d->heldSubscriptions.clear();
    if (d->heldSubscriptions.isEmpty())
        d->heldTimer.stop();
}

void XMPPClient::setMaxWriteBacklog(qint64 bytes)
{
    d->maxWriteBacklog = bytes;
    if (d->writer)
        d->writer->setMaxBacklog(bytes);
}

void XMPPClient::onStepTimeout()
{
    if (d->state == DisconnectingState) {
        qCWarning(lcXmpp) << "the server did not take the end of the stream in time";
        d->socket.abort();
    } else if (d->state != UnconnectedState && d->state != SessionState) {
        dropConnection(QStringLiteral("the server did not answer in time (state %1)").arg(d->state),
                       QStringLiteral("connection-timeout"));
    }
}

void XMPPClient::dropConnection(const QString& text, const QString& condition)
{
    qCWarning(lcXmpp).noquote() << text;
    Q_EMIT xmppError(ProtocolError, text);
    if (d->state == UnconnectedState || d->state == DisconnectingState)
        return; // a slot closed it already
    if (!condition.isEmpty())
        write(xmpp::StreamError(xmpp::names::streamErrorConditionFromName(condition), QString()));
    disconnectFromHost();
    d->socket.flush();
    d->socket.abort();
}

int XMPPClient::state() const
{
    return d->state;
}

QString XMPPClient::ownJid() const
{
    return d->ownJid;
}

void XMPPClient::startStream()
{
    d->writer.reset();
    d->writer = std::make_unique<xmpp::StreamWriter>(XMPPJid(d->streamDomain()), QStringLiteral("en"));
    d->writer->setMaxBacklog(d->maxWriteBacklog);
    d->unsent.clear();
    connect(d->writer.get(), &xmpp::StreamWriter::bytesSent, this, &XMPPClient::noteSent);
    // Reported after the write that noticed it: the element being handled
    // finishes first, with its further writes dropped.
    connect(d->writer.get(), &xmpp::StreamWriter::peerStoppedReading, this, [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (d->writer && d->writer->backlogExceeded())
                    dropConnection(QStringLiteral("the server stopped reading"), QString());
            },
            Qt::QueuedConnection);
    });
    d->writer->openStream(&d->socket);
    d->caughtUpTo = -1;
    d->newestProbe = -1;
    d->parser.reset();
    d->stepTimer.start(d->answerTimeout);
    d->addressees.clear();
}

void XMPPClient::socketConnected()
{
    qCDebug(lcXmpp) << "Socket connected to host" << d->socket.peerName() << "on port" << d->socket.peerPort();
    d->socket.setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, XMPPClientPrivate::SendBufferSize);
    startStream();
}

void XMPPClient::socketEncrypted()
{
    qCDebug(lcXmpp) << "Socket Encrypted!!";
    startStream();
}

namespace {

/// An error stanza answering one the client could not handle, addressed to
/// its sender; null when the sender's address cannot be read.
std::unique_ptr<xmpp::Stanza> errorStanza(const xmpp::stanza_error& e)
{
    XMPPJid to;
    try {
        to = XMPPJid::fromText(e.from());
    } catch (const std::exception&) {
        return nullptr;
    }
    std::unique_ptr<xmpp::Stanza> stanza;
    switch (e.kind()) {
    case xmpp::stanza_error::Message:
        stanza = std::make_unique<xmpp::MessageStanza>();
        break;
    case xmpp::stanza_error::Presence:
        stanza = std::make_unique<xmpp::PresenceStanza>();
        break;
    default:
        stanza = std::make_unique<xmpp::Iq>();
        break;
    }
    stanza->to = to;
    stanza->stanzaType = QStringLiteral("error");
    stanza->id = e.id();
    stanza->errorType = e.errorType();
    stanza->errorCondition = e.condition();
    return stanza;
}

}

void XMPPClient::socketReadyRead()
{
    if (d->state == UnconnectedState || d->state == DisconnectingState) {
        qCDebug(lcXmpp) << "readyRead after the end" << d->socket.readAll();
        return;
    }
    // A queued turn reads on once the bytes before these are handled.
    if (!d->readQueued)
        readElements();
}

void XMPPClient::readElements()
{
    // One read may hold a room's whole history or occupant list: handled in
    // slices of a few milliseconds, the window and the game connection get
    // their turns in between. The socket is read only when what was read
    // before is handled, a part at a time: a server sending faster than the
    // client handles finds the socket's buffer full and the rest waits in
    // the kernel.
    constexpr qint64 SliceMs = 5;
    constexpr qint64 ReadPart = 64 * 1024;
    d->readQueued = false;
    QElapsedTimer slice;
    slice.start();
    while (d->state != UnconnectedState && d->state != DisconnectingState) {
        // The stanzas after a roster answer (the friends' presences) find
        // every friend listed.
        if (d->roster.tellingAnswer()) {
            d->readHeld = true;
            break;
        }
        if (slice.elapsed() >= SliceMs) {
            d->readQueued = true;
            QMetaObject::invokeMethod(this, &XMPPClient::readElements, Qt::QueuedConnection);
            return;
        }
        QString failedRequest;
        try {
            const int result = d->parser.parse(QDeadlineTimer(SliceMs - slice.elapsed()));
            if (result == xmpp::StreamParser::NeedMoreData) {
                const QByteArray bytes = d->socket.read(ReadPart);
                if (bytes.isEmpty())
                    break;
                qCDebug(lcXmpp) << "read" << bytes;
                d->parser.addData(bytes);
                d->noteReceived();
                continue;
            }
            if (result == xmpp::StreamParser::Paused)
                continue;
            if (result == xmpp::StreamParser::EndOfStream) {
                qCDebug(lcXmpp) << "EndOfStream";
                disconnectFromHost();
                break;
            }
            handleElement(d->parser.element());
            continue;
        } catch (const xmpp::stream_error& e) {
            // The text names the condition, also for a server's stream error
            // the reader could not map.
            qCWarning(lcXmpp) << "stream ended:" << e.what();
            write(xmpp::StreamError(e.code(), e.text()));
            disconnectFromHost();
            Q_EMIT xmppError(ProtocolError, QString::fromLocal8Bit(e.what()));
            break;
        } catch (const xmpp::stanza_error& e) {
            // The parser moves on past every faulty element, so faults are
            // not counted; a flood of them costs the log a line a second.
            qCDebug(lcXmpp) << e.what();
            if (e.isAnswer()) {
                // Results and errors are never answered (RFC 6120 8.2.3,
                // 8.3.1). An unreadable answer from the addressee of one of
                // our requests fails that request.
                const auto it = d->pending.find(e.id());
                if (e.kind() == xmpp::stanza_error::Iq && d->state == SessionState && it != d->pending.end()
                    && d->answersRequest(it->second.to, e.from()))
                    failedRequest = e.id();
                else if (d->unreadableAnswerLog.allow())
                    qCWarning(lcXmpp).noquote() << "dropped an unreadable answer from" << e.from()
                                                << xmpp::heldBack(d->unreadableAnswerLog);
            } else if (e.kind() != xmpp::stanza_error::Iq) {
                // Only requests are answered: a room takes an error presence
                // from an occupant as that occupant's exit, and a message
                // error would reach another user as their fault.
                if (d->unreadableStanzaLog.allow())
                    qCWarning(lcXmpp).noquote() << "dropped a stanza that could not be read from" << e.from()
                                                << xmpp::heldBack(d->unreadableStanzaLog);
            } else if (const auto answer = errorStanza(e)) {
                if (d->mayAnswer(answer->to))
                    writeAnswer(*answer, answer->to);
            } else if (d->unreadableStanzaLog.allow()) {
                qCWarning(lcXmpp).noquote() << "dropped an unreadable stanza with an unreadable sender"
                                            << xmpp::heldBack(d->unreadableStanzaLog);
            }
        } catch (const std::exception& e) {
            if (d->unreadElementLog.allow())
                qCWarning(lcXmpp).noquote() << "dropped an element that could not be read or handled:" << e.what()
                                            << xmpp::heldBack(d->unreadElementLog);
        } catch (...) {
            if (d->unreadElementLog.allow())
                qCWarning(lcXmpp).noquote() << "dropped an element that could not be read or handled"
                                            << xmpp::heldBack(d->unreadElementLog);
        }
        if (!failedRequest.isEmpty())
            XMPPClientPrivate::callHandler(d->pending.extract(failedRequest).mapped().handler, nullptr);
    }
    if (d->endAfterRead) {
        d->endAfterRead = false;
        for (const QAbstractSocket::SocketError error : std::exchange(d->errorsAfterRead, {}))
            onSocketError(error);
        socketDisconnected();
    }
}

bool XMPPClientPrivate::holdEnd(const QAbstractSocket::SocketError* error)
{
    // What the server sent before it closed is handled before its close.
    if ((!readQueued && !readHeld) || state == XMPPClient::UnconnectedState || state == XMPPClient::DisconnectingState)
        return false;
    endAfterRead = true;
    if (error)
        errorsAfterRead << *error;
    return true;
}

void XMPPClient::socketDisconnected()
{
    // The socket's report arrives queued, and the end of a disconnection may
    // have been handled already. By then the same socket can be connecting
    // again: a late report belongs to the connection before and must not end
    // the new one.
    if (d->socket.state() != QAbstractSocket::UnconnectedState) {
        qCDebug(lcXmpp) << "ignored the end of an earlier connection";
        return;
    }
    if (d->holdEnd(nullptr))
        return;
    d->failPending();
    d->writer.reset();
    d->stepTimer.stop();
    const int old = d->state;
    if (old != UnconnectedState) {
        d->state = UnconnectedState;
        d->awaitingRetry = false;
        if (old == SessionState || old == DisconnectingState)
            Q_EMIT disconnected();
    }
    qCDebug(lcXmpp) << "Connection lost to host" << d->socket.peerName();
}

void XMPPClient::onSocketError(QAbstractSocket::SocketError se)
{
    if (d->socket.state() == QAbstractSocket::UnconnectedState && d->holdEnd(&se))
        return;
    if (d->socket.state() == QAbstractSocket::UnconnectedState && d->state != UnconnectedState) {
        const int old = d->state;
        if (old >= ConnectingState && old <= BindingState) {
            const QString text = QStringLiteral("XMPP connection to %1:%2 failed: %3")
                                     .arg(d->host)
                                     .arg(d->port)
                                     .arg(d->socket.errorString());
            qCWarning(lcXmpp).noquote() << text;
            Q_EMIT xmppError(ProtocolError, text);
        }
        // Requests still waiting learn of the end before disconnected().
        d->failPending();
        d->writer.reset();
        d->stepTimer.stop();
        d->state = UnconnectedState;
        d->awaitingRetry = false;
        if (old == SessionState || old == DisconnectingState)
            Q_EMIT disconnected();
    }
    Q_EMIT socketError(se);
    qCDebug(lcXmpp) << "Socket error" << se;
}

void XMPPClient::socketSslErrors(QList<QSslError> errors)
{
    QStringList texts;
    for (const QSslError& error : errors)
        texts << error.errorString();
    d->refusal = SslErrors;
    Q_EMIT xmppError(SslErrors, texts.join(QLatin1Char('\n')));
}
