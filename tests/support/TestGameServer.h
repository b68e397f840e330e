#pragma once

#include "TestFrame.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>

#include <functional>
#include <map>
#include <optional>

class QTcpSocket;

/// One frame the server received from the client.
struct ReceivedFrame
{
    quint8 classId = 0;
    QByteArray body; ///< class id first, no length word
    TestFrameReader reader() const { return TestFrameReader(body); }
};

/// A game server for tests, on 127.0.0.1, plain or TLS. It speaks the wire
/// format with its own codec (TestFrame). By default it answers the version
/// handshake; everything else is scripted per test: queue frames to send,
/// register replies per request class, wait for frames with a timeout.
///
/// Only the most recent client connection is "the client"; older ones are
/// kept open but not scripted.
class TestGameServer : public QObject
{
    Q_OBJECT

public:
    /// RefusesTls: answers the client's first bytes (its TLS hello) with a
    /// fatal "protocol version" alert and closes, as a server that speaks
    /// only older TLS versions does (RefusesTlsKeepsOpen: and leaves it open).
    enum class Mode { Plain, Tls, RefusesTls, RefusesTlsKeepsOpen };
    using Handler = std::function<void(const ReceivedFrame&)>;

    explicit TestGameServer(QObject* parent = nullptr);
    ~TestGameServer() override;

    /// Listens on 127.0.0.1 (port 0 picks a free one). For TLS, certDir must
    /// hold the files of TestCertificates::generate.
    bool listen(Mode mode = Mode::Plain, const QString& certDir = QString(), quint16 port = 0);
    quint16 port() const;
    Mode mode() const { return m_mode; }

    /// Answer class 0 and class 1 on its own (on by default).
    void setAutoHandshake(bool on) { m_autoHandshake = on; }
    /// The platform protocol version put in the class 0 answer (default 6523).
    void setPlatformVersion(quint32 version) { m_platformVersion = version; }
    /// The game protocol version text put in the class 1 answer (default "2399").
    void setGameVersion(const QByteArray& version) { m_gameVersion = version; }
    /// Calls the handler for every received frame of the class (replacing
    /// the automatic handshake answer for classes 0 and 1).
    void onRequest(quint8 classId, Handler handler);

    /// Sends to the current client; false when there is none.
    bool send(const TestFrame& frame);
    bool sendRaw(const QByteArray& bytes);
    /// Sends on the current client's connection only, as a server answers
    /// on the connection a request came on: nothing once that one is gone.
    std::function<bool(const TestFrame&)> replyChannel() const;
    /// Writes what waits to the socket now, as a server of its own process would, rather than at the next turn.
    void flush();
    /// Sends the bytes in chunks of the given size, each flushed and
    /// separated by a short pause, so the client sees them in several reads.
    bool sendInChunks(const QByteArray& bytes, int chunkSize, int pauseMs = 5);

    bool hasClient() const;
    int connectionCount() const { return m_connectionCount; }
    /// Closes the current client's connection in an orderly way.
    void closeClient();
    /// Drops it at once.
    void abortClient();

    /// Every frame received so far, in order.
    const QList<ReceivedFrame>& received() const { return m_received; }
    /// Frames of one class received so far.
    QList<ReceivedFrame> received(quint8 classId) const;
    void clearReceived();

    // Waiting helpers: each spins the event loop until the condition holds
    // or the timeout passes.
    bool waitForClient(int timeoutMs = 5000);
    bool waitForHandshake(int timeoutMs = 5000);
    /// The next frame of the class that no earlier call returned.
    std::optional<ReceivedFrame> waitForFrame(quint8 classId, int timeoutMs = 5000);
    bool waitForDisconnect(int timeoutMs = 5000);

Q_SIGNALS:
    void clientConnected();
    void frameReceived(quint8 classId, QByteArray body);
    void clientDisconnected();
    /// The client sent bytes that are not a frame (length word below 5).
    void badClientData(QByteArray bytes);
    /// A frame that no handler takes (nor the automatic handshake): a strict
    /// script treats it as one the client should not have sent.
    void unhandledFrame(quint8 classId, QByteArray body);

private:
    class Listener;
    void incoming(qintptr descriptor);
    void onReadyRead(QTcpSocket* socket);
    void handleFrame(const ReceivedFrame& frame);
    bool writeTo(QTcpSocket* socket, const QByteArray& bytes);

    Listener* m_listener = nullptr;
    Mode m_mode = Mode::Plain;
    QString m_certDir;
    QPointer<QTcpSocket> m_client;
    std::map<QTcpSocket*, QByteArray> m_buffers;
    QList<ReceivedFrame> m_received;
    std::map<quint8, int> m_taken; // per class: how many frames waitForFrame returned
    std::map<quint8, Handler> m_handlers;
    bool m_autoHandshake = true;
    quint32 m_platformVersion = 6523;
    QByteArray m_gameVersion = "2399";
    int m_connectionCount = 0;
    bool m_handshakeDone = false;
    bool m_clientGone = false;
    bool m_chunking = false;
    QByteArray m_heldBehindChunks;
};
