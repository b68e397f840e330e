#include "ConnectionManager.h"

#include "CaCertificates.h"
#include "ConnectionManager_p.h"
#include "ProtocolLog.h"
#include "message_reader.h"
#include "message_writer.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSslConfiguration>
#include <QTimer>

#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

namespace {

/// Ends the program over a connection that cannot be used: the socket is
/// closed first, once the socket's own notification has returned, and only
/// then does `tell` show its box, which waits for the user; the server is not
/// left holding a half-made connection meanwhile, whether or not it closed
/// its own side.
void closeThenExit(QObject* context, ConnectionManagerPrivate& d, std::function<void()> tell)
{
    QMetaObject::invokeMethod(
        context,
        [&d, tell = std::move(tell)] {
            d.connection.abort();
            tell();
            d.ui().exit(1);
        },
        Qt::QueuedConnection);
}

} // namespace

ConnectionManager::ConnectionManager(bool useSsl, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<ConnectionManagerPrivate>(useSsl))
{
    Connection* c = &d->connection;
    connect(c, &Connection::messageReceived, this, &ConnectionManager::onMessage, Qt::DirectConnection);
    connect(c, &QAbstractSocket::stateChanged, this, &ConnectionManager::stateChanged);
    connect(c, &QSslSocket::encrypted, this, &ConnectionManager::onEncrypted);
    connect(c, qOverload<const QList<QSslError>&>(&QSslSocket::sslErrors), this, &ConnectionManager::onSSLErrors);
    connect(c, &QAbstractSocket::errorOccurred, this, &ConnectionManager::error);
    connect(c, &QAbstractSocket::disconnected, this, &ConnectionManager::onDisconnected);
    connect(c, &Connection::exceptionCaught, this, &ConnectionManager::onConnectionException);
}

ConnectionManager::~ConnectionManager()
{
    // The socket goes down without a logout (that belongs to prepareToQuit)
    // and without reporting anything to a half-destroyed manager.
    d->connection.disconnect(this);
}

void ConnectionManager::connectToHost(const QString& host, quint16 port)
{
    d->host = host;
    d->port = port;
    connectToServer();
}

void ConnectionManager::connectToServer()
{
    d->closeRead = false;
    if (d->useSsl) {
        qDebug() << "using SSL";
        // The service's own CA list is this connection's only trust; the
        // process-wide default (the system's roots) stays for other HTTPS.
        QSslConfiguration ssl = d->connection.sslConfiguration();
        ssl.setCaCertificates(loadCaCertificates());
        d->connection.setSslConfiguration(ssl);
        d->connection.connectToHostEncrypted(d->host, d->port, QIODevice::ReadWrite);
    } else {
        d->connection.connectToHost(d->host, d->port, QIODevice::ReadWrite);
    }
}

bool ConnectionManager::useSsl() const
{
    return d->useSsl;
}

void ConnectionManager::setDisconnectHandled(bool handled)
{
    d->disconnectHandled = handled;
}

void ConnectionManager::setPrompts(ConnectionPrompts* prompts)
{
    d->prompts = prompts;
}

bool ConnectionManager::isLoggedIn() const
{
    return d->loggedIn;
}

qint32 ConnectionManager::ownPlayerId() const
{
    return d->ownPlayerId;
}

QString ConnectionManager::host() const
{
    return d->host;
}

quint16 ConnectionManager::port() const
{
    return d->port;
}

Connection* ConnectionManager::connection() const
{
    return &d->connection;
}

void ConnectionManager::askRetry(const QString& text)
{
    if (d->ui().askRetry(text)) {
        // Reconnect from the event loop, not from inside the socket's own error notification.
        QTimer::singleShot(0, this, &ConnectionManager::connectToServer);
    } else {
        d->ui().exit(1);
    }
}

bool ConnectionManager::isReadingTournamentList() const
{
    return d->recordList && d->recordList->isTournamentList();
}

bool ConnectionManager::isBehind() const
{
    return d->connection.isInFrame() || hasUnhandledFrames();
}

qint64 ConnectionManager::msecsSinceProgress() const
{
    qint64 since = -1;
    for (const QElapsedTimer* t : {&d->connection.frameProgress(), &std::as_const(d->queueProgress)})
        if (t->isValid() && (since < 0 || t->elapsed() < since))
            since = t->elapsed();
    return since;
}

void ConnectionManager::reconnect()
{
    qDebug().noquote()
        << QString::fromLatin1("Giving up the connection to %1:%2 for a new one").arg(d->host).arg(d->port);
    d->queue.clear();
    d->recordList.reset();
    d->disconnectWaiting = false;
    d->loggedIn = false;
    d->queueProgress.invalidate();
    // The close of the old socket is not the server's: it ends nothing.
    const bool handled = std::exchange(d->disconnectHandled, true);
    d->connection.abort();
    d->disconnectHandled = handled;
    d->connection.resetStream();
    connectToServer();
}

bool ConnectionManager::hasUnhandledFrames() const
{
    return !d->queue.empty() || d->recordList;
}

void ConnectionManager::sendFrame(const std::vector<unsigned char>& frame)
{
    if (d->closeRead || d->sessionEnded) {
        // The frames the server sent before its close are still handled, but
        // their answers (a pong, a leave, a join) have nowhere to go, and
        // neither has what the user or a timer asks for later: a failed
        // write would only cover the explanation with a write error.
        qDebug() << "not sent after the end of the connection: class" << (frame.size() > 4 ? int(frame[4]) : -1);
        return;
    }
    d->connection.sendFrame(frame);
}

void ConnectionManager::platform_version()
{
    message_writer w(0);
    w.put_u32(gameId);
    w.put_u32(partnerId);
    w.put_u32(platformProtocolVersion);
    sendFrame(w.finish());
}

void ConnectionManager::game_version()
{
    message_writer w(1);
    w.put_u32(gameId);
    w.put_u32(partnerId);
    w.put_string(gameProtocolVersion);
    sendFrame(w.finish());
}

void ConnectionManager::logout()
{
    message_writer w(12);
    w.put_u8(1);
    sendFrame(w.finish());
}

void ConnectionManager::prepareToQuit()
{
    qDebug() << "preparing to quit";
    d->disconnectHandled = true;
    if (d->loggedIn) {
        if (d->connection.state() != QAbstractSocket::ConnectedState)
            return;
        logout();
        d->connection.flush();
        for (int i = 0; i < 10 && d->connection.bytesToWrite() > 0; ++i)
            d->connection.waitForBytesWritten(50);
    }
    qDebug() << "quitting...";
}

void ConnectionManager::onPlatformVersionReply(message_reader& reader)
{
    reader.get_u32();
    reader.get_u32();
    const std::uint32_t serverVersion = reader.get_u32();
    if (serverVersion != platformProtocolVersion) {
        throw std::runtime_error("platform protocol mismatch! server: " + std::to_string(serverVersion) + " client:"
                                 + std::to_string(platformProtocolVersion));
    }
    game_version();
}

void ConnectionManager::onGameVersionReply(message_reader& reader)
{
    reader.get_u32();
    reader.get_u32();
    const std::string serverVersion = reader.get_string();
    if (serverVersion != gameProtocolVersion)
        throw std::runtime_error("game protocol mismatch! server:" + serverVersion + " client:" + gameProtocolVersion);
    Q_EMIT versionCheckComplete();
}

void ConnectionManager::onPing(message_reader& reader)
{
    const std::uint32_t value = reader.get_u32();
    qDebug() << "ping - pong";
    message_writer w(7);
    w.put_u32(value);
    sendFrame(w.finish());
}

void ConnectionManager::onMessage(message_ptr message)
{
    // A long list is applied over many turns; the server's ping is answered
    // as it comes rather than behind the list's last record, which would
    // take a client busy with a big lobby for a dead one. The answer changes
    // nothing the frames before it are about; it is written at once, not
    // after the next turn's slice of the list.
    if (d->recordList && !message->empty() && (*message)[0] == platform_packets::cls::ping) {
        message_reader reader(message);
        onPing(reader);
        d->connection.flush();
        return;
    }
    d->queue.push_back(std::move(message));
    if (!d->drainPosted)
        drainQueue();
}

void ConnectionManager::drainLater()
{
    d->drainPosted = false;
    try {
        drainQueue();
    } catch (const std::exception& e) {
        d->connection.reportFailure(e.what());
    } catch (...) {
        d->connection.reportFailure("unknown exception");
    }
}

void ConnectionManager::drainQueue()
{
    if (d->dispatching)
        return;
    if (!d->turnOpen) {
        // Every frame of one read counts against the same slice, however many
        // separate frames it brought: the turn ends when control is back in
        // the event loop (the drain of a later turn is posted after this).
        d->turnOpen = true;
        d->turn.start();
        QMetaObject::invokeMethod(this, [this] { d->turnOpen = false; }, Qt::QueuedConnection);
    }
    d->dispatching = true;
    try {
        for (;;) {
            if (d->recordList) {
                if (!continueRecordList())
                    break;
                continue;
            }
            if (d->queue.empty() || d->turn.elapsed() >= dispatchSliceMsecs)
                break;
            const message_ptr frame = std::move(d->queue.front());
            d->queue.pop_front();
            message_reader reader(frame);
            handleMessage(reader);
        }
    } catch (...) {
        // The connection reports the error once and closes; the frames
        // behind the bad one are not handled.
        d->queue.clear();
        d->recordList.reset();
        d->dispatching = false;
        throw;
    }
    d->dispatching = false;
    if (d->recordList || !d->queue.empty()) {
        d->queueProgress.start();
        if (!d->drainPosted) {
            d->drainPosted = true;
            QMetaObject::invokeMethod(this, &ConnectionManager::drainLater, Qt::QueuedConnection);
        }
    } else if (d->disconnectWaiting) {
        d->disconnectWaiting = false;
        Q_EMIT disconnected();
    }
}

void ConnectionManager::onConnectionException(const std::string& what)
{
    // The connection closes after a failure; that close is part of this
    // report, not a second one.
    d->disconnectHandled = true;
    d->queue.clear();
    d->recordList.reset();
    d->disconnectWaiting = false;
    Q_EMIT exceptionCaught(what);
}

void ConnectionManager::stateChanged(QAbstractSocket::SocketState socketState)
{
    switch (socketState) {
    case QAbstractSocket::ConnectingState:
        qDebug().noquote() << QString::fromLatin1("Connecting to %1:%2...").arg(d->host).arg(d->port);
        Q_EMIT connecting();
        break;
    case QAbstractSocket::ConnectedState:
        if (!d->useSsl) {
            // QSslSocket reports the state before it copies the peer's name and port.
            const QString peer = d->connection.peerName().isEmpty() ? d->host : d->connection.peerName();
            const quint16 peerPort = d->connection.peerPort() ? d->connection.peerPort() : d->port;
            qDebug().noquote() << "Connected to" << peer << peerPort;
            Q_EMIT connected();
            platform_version();
        }
        break;
    case QAbstractSocket::ClosingState:
        qDebug() << "Closing...";
        break;
    default:
        break;
    }
}

void ConnectionManager::onEncrypted()
{
    qDebug().noquote().nospace() << "encrypted connection established to " << d->connection.peerName() << ":"
                       << d->connection.peerPort();
    try {
        d->connection.setNoDelay(true);
    } catch (const std::exception& e) {
        onConnectionException(e.what());
        d->connection.abort();
        return;
    }
    platform_version();
    Q_EMIT connected();
}

void ConnectionManager::onSSLErrors(const QList<QSslError>& errors)
{
    for (const QSslError& e : errors) {
        // The TLS library refuses a weak key or digest without naming it.
        const QString weakness
            = e.error() == QSslError::UnspecifiedError ? certificateWeakness(e.certificate()) : QString();
        if (weakness.isEmpty())
            qWarning().noquote() << "SSL error:" << int(e.error()) << e.errorString();
        else
            qWarning().noquote() << "SSL error:" << int(e.error()) << e.errorString()
                                 << QStringLiteral("(certificate of \"%1\": %2)")
                                        .arg(e.certificate().subjectDisplayName(), weakness);
    }
    // The handshake fails and the program ends; the socket error that
    // follows must not raise a second box.
    d->disconnectHandled = true;
    closeThenExit(this, *d, [this] { d->ui().showCritical(tr("Unable to establish secure connection to server")); });
}

void ConnectionManager::error(QAbstractSocket::SocketError socketError)
{
    switch (socketError) {
    case QAbstractSocket::ConnectionRefusedError:
        qWarning().noquote() << "Connection to" << d->port << "on" << d->host << "refused";
        askRetry(tr("Connection to port %1 on host %2 refused, retry?").arg(d->port).arg(d->host));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        d->loggedIn = false;
        d->closeRead = true;
        if (!d->disconnectHandled) {
            d->disconnectHandled = true;
            announceDisconnect();
        }
        break;
    case QAbstractSocket::HostNotFoundError:
        qWarning().noquote() << "Host" << d->host << "not found";
        askRetry(tr("Host %1 not found, retry?").arg(d->host));
        break;
    case QAbstractSocket::SocketTimeoutError:
        // A wait that timed out on a made connection (the logout's, on quitting) is no failure.
        if (d->disconnectHandled || d->connection.state() == QAbstractSocket::ConnectedState)
            break;
        // An attempt that got no answer at all: like a refused one, the host
        // may be back in a moment.
        qWarning().noquote() << "Connection to" << d->port << "on" << d->host << "timed out";
        askRetry(tr("Connection to port %1 on host %2 timed out, retry?").arg(d->port).arg(d->host));
        break;
    default:
        if (d->disconnectHandled)
            break;
        // The box below waits for the user while the socket's close comes
        // in; that close belongs to this report, not to a second one.
        d->disconnectHandled = true;
        qWarning().noquote() << d->connection.errorString();
        // A failed handshake (a TLS alert) leaves the socket open, as the
        // server may: it closes before the box.
        closeThenExit(this, *d, [] { qCCritical(lcProtocol).noquote() << tr("Network error"); });
        break;
    }
}

void ConnectionManager::onDisconnected()
{
    // Only the server's own close (RemoteHostClosedError) clears the logged-in
    // flag; after a local abort prepareToQuit still sees "logged in but no
    // longer connected" and stops before "quitting...".
    d->closeRead = true;
    if (!d->disconnectHandled) {
        d->disconnectHandled = true;
        announceDisconnect();
    }
}

void ConnectionManager::announceDisconnect()
{
    // What the server sent before it closed is announced before the close.
    if (d->recordList || !d->queue.empty())
        d->disconnectWaiting = true;
    else
        Q_EMIT disconnected();
}
