#include "TestGameServer.h"

#include "TestCertificates.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTest>
#include <QtEndian>

#include <utility>

class TestGameServer::Listener : public QTcpServer
{
public:
    explicit Listener(TestGameServer* owner)
        : QTcpServer(owner)
        , m_owner(owner)
    {
    }

protected:
    void incomingConnection(qintptr descriptor) override { m_owner->incoming(descriptor); }

private:
    TestGameServer* m_owner;
};

TestGameServer::TestGameServer(QObject* parent)
    : QObject(parent)
{
}

TestGameServer::~TestGameServer() = default;

bool TestGameServer::listen(Mode mode, const QString& certDir, quint16 port)
{
    m_mode = mode;
    m_certDir = certDir;
    if (!m_listener)
        m_listener = new Listener(this);
    return m_listener->listen(QHostAddress::LocalHost, port);
}

quint16 TestGameServer::port() const
{
    return m_listener ? m_listener->serverPort() : 0;
}

void TestGameServer::incoming(qintptr descriptor)
{
    QTcpSocket* socket = nullptr;
    if (m_mode == Mode::Tls) {
        auto* ssl = new QSslSocket(this);
        if (!ssl->setSocketDescriptor(descriptor)) {
            delete ssl;
            return;
        }
        const auto certs = QSslCertificate::fromPath(TestCertificates::serverCertificatePath(m_certDir));
        QFile keyFile(TestCertificates::serverKeyPath(m_certDir));
        keyFile.open(QIODevice::ReadOnly);
        ssl->setLocalCertificate(certs.value(0));
        ssl->setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Ec));
        ssl->startServerEncryption();
        socket = ssl;
    } else {
        socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
    }
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_buffers[socket] = QByteArray();
    connect(socket, &QIODevice::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QAbstractSocket::disconnected, this, [this, socket] {
        if (socket == m_client) {
            m_clientGone = true;
            Q_EMIT clientDisconnected();
        }
        m_buffers.erase(socket);
        socket->deleteLater();
    });
    m_client = socket;
    m_clientGone = false;
    m_handshakeDone = false;
    ++m_connectionCount;
    Q_EMIT clientConnected();
}

void TestGameServer::onReadyRead(QTcpSocket* socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    if (m_mode == Mode::RefusesTls || m_mode == Mode::RefusesTlsKeepsOpen) {
        // Alert record: type 21, version 3.1, two bytes: fatal (2), protocol_version (70).
        socket->readAll();
        socket->write(QByteArray::fromHex("150301000202" "46"));
        if (m_mode == Mode::RefusesTls)
            socket->disconnectFromHost();
        return;
    }
    // Cut first, handle after: a handler may close the socket, which drops its buffer.
    QList<ReceivedFrame> frames;
    QByteArray& buffer = it->second;
    buffer.append(socket->readAll());
    while (buffer.size() >= 4) {
        const quint32 length = qFromBigEndian<quint32>(buffer.constData());
        if (length < 5) {
            const QByteArray bad = buffer;
            buffer.clear();
            Q_EMIT badClientData(bad);
            socket->abort();
            return;
        }
        if (quint32(buffer.size()) < length)
            break;
        ReceivedFrame frame;
        frame.body = buffer.mid(4, length - 4);
        frame.classId = quint8(frame.body.at(0));
        buffer.remove(0, length);
        frames.append(frame);
    }
    for (const ReceivedFrame& frame : frames) {
        if (socket != m_client || m_clientGone)
            break;
        handleFrame(frame);
    }
}

void TestGameServer::handleFrame(const ReceivedFrame& frame)
{
    m_received.append(frame);
    Q_EMIT frameReceived(frame.classId, frame.body);
    const auto handler = m_handlers.find(frame.classId);
    if (handler != m_handlers.end()) {
        handler->second(frame);
        return;
    }
    if (m_autoHandshake && frame.classId == 0) {
        send(TestFrame(0).u32(101).u32(4).u32(m_platformVersion));
    } else if (m_autoHandshake && frame.classId == 1) {
        send(TestFrame(1).u32(101).u32(4).str(m_gameVersion));
        m_handshakeDone = true;
    } else {
        Q_EMIT unhandledFrame(frame.classId, frame.body);
    }
}

void TestGameServer::onRequest(quint8 classId, Handler handler)
{
    m_handlers[classId] = std::move(handler);
}

bool TestGameServer::send(const TestFrame& frame)
{
    return sendRaw(frame.toBytes());
}

bool TestGameServer::sendRaw(const QByteArray& bytes)
{
    if (!hasClient())
        return false;
    return writeTo(m_client, bytes);
}

bool TestGameServer::writeTo(QTcpSocket* socket, const QByteArray& bytes)
{
    if (m_chunking && socket == m_client) { // after the chunks, never inside a frame they cut
        m_heldBehindChunks += bytes;
        return true;
    }
    return socket->write(bytes) == bytes.size();
}

std::function<bool(const TestFrame&)> TestGameServer::replyChannel() const
{
    return [server = QPointer<TestGameServer>(const_cast<TestGameServer*>(this)),
            socket = QPointer<QTcpSocket>(hasClient() ? m_client : nullptr)](const TestFrame& frame) {
        return server && socket && socket->state() == QAbstractSocket::ConnectedState
            && server->writeTo(socket, frame.toBytes());
    };
}

void TestGameServer::flush()
{
    if (hasClient())
        m_client->flush();
}

bool TestGameServer::sendInChunks(const QByteArray& bytes, int chunkSize, int pauseMs)
{
    if (!hasClient() || chunkSize <= 0 || m_chunking)
        return false;
    // What handlers answer while the chunks go out follows them, as one
    // writer on a stream would send it.
    m_chunking = true;
    QPointer<QTcpSocket> socket = m_client;
    bool whole = true;
    for (qsizetype at = 0; whole && at < bytes.size(); at += chunkSize) {
        whole = socket->write(bytes.mid(at, chunkSize)) >= 0;
        socket->flush();
        QTest::qWait(pauseMs);
        whole = whole && hasClient() && socket == m_client;
    }
    m_chunking = false;
    const QByteArray held = std::exchange(m_heldBehindChunks, {});
    return whole && (held.isEmpty() || writeTo(socket, held));
}

bool TestGameServer::hasClient() const
{
    return m_client && !m_clientGone && m_client->state() == QAbstractSocket::ConnectedState;
}

void TestGameServer::closeClient()
{
    if (m_client)
        m_client->disconnectFromHost();
}

void TestGameServer::abortClient()
{
    if (m_client)
        m_client->abort();
}

QList<ReceivedFrame> TestGameServer::received(quint8 classId) const
{
    QList<ReceivedFrame> result;
    for (const ReceivedFrame& f : m_received) {
        if (f.classId == classId)
            result.append(f);
    }
    return result;
}

void TestGameServer::clearReceived()
{
    m_received.clear();
    m_taken.clear();
}

bool TestGameServer::waitForClient(int timeoutMs)
{
    return QTest::qWaitFor([this] { return hasClient(); }, timeoutMs);
}

bool TestGameServer::waitForHandshake(int timeoutMs)
{
    return QTest::qWaitFor([this] { return m_handshakeDone; }, timeoutMs);
}

std::optional<ReceivedFrame> TestGameServer::waitForFrame(quint8 classId, int timeoutMs)
{
    const int wanted = m_taken[classId];
    const auto count = [this, classId] {
        int n = 0;
        for (const ReceivedFrame& f : m_received)
            n += f.classId == classId ? 1 : 0;
        return n;
    };
    if (!QTest::qWaitFor([&] { return count() > wanted; }, timeoutMs))
        return std::nullopt;
    m_taken[classId] = wanted + 1;
    return received(classId).at(wanted);
}

bool TestGameServer::waitForDisconnect(int timeoutMs)
{
    return QTest::qWaitFor([this] { return !m_client || m_clientGone; }, timeoutMs);
}
