#pragma once

#include "FrameCutter.h"
#include "message.h"

#include <QElapsedTimer>
#include <QSslSocket>

#include <string>
#include <vector>

/// The socket to the game server: a TLS-capable TCP socket that cuts the
/// received stream into frames and writes finished frames. It knows nothing
/// of message classes.
///
/// The first failure, whether a bad frame, an exception thrown by whoever
/// handles a frame, or a failed write, is reported once through
/// exceptionCaught and closes the connection; nothing is read after it.
class Connection : public QSslSocket
{
    Q_OBJECT

public:
    /// `frameLimit`: the largest frame of each class (null: wire::maxFrameSize for all).
    explicit Connection(QObject* parent = nullptr, FrameCutter::Limit frameLimit = nullptr);
    ~Connection() override;

    /// Writes one finished frame. A failed write is reported through
    /// exceptionCaught("error while writing to socket").
    void sendFrame(const std::vector<unsigned char>& frame);

    /// Switches Nagle's algorithm off (true) or on. Throws
    /// std::runtime_error("setsockopt() failed") when the socket has no
    /// descriptor to set it on.
    void setNoDelay(bool on);

    /// True once a failure was reported; the connection reads nothing more.
    bool hasFailed() const { return m_failed; }
    /// Reports a failure met while handling frames outside receive(), as if
    /// the handler had thrown it there.
    void reportFailure(const std::string& what) { fail(what); }

    /// Whether a frame came in part and the rest of it is still on its way.
    bool isInFrame() const { return m_cutter.inFrame(); }
    /// Started whenever bytes of an unfinished frame come: the stream is
    /// behind but moving. Invalid until the first such bytes.
    const QElapsedTimer& frameProgress() const { return m_frameProgress; }
    /// Forgets what the stream brought so far, for a new connection on this
    /// socket; a failure reported before is forgotten too.
    void resetStream();

public Q_SLOTS:
    /// Cuts every complete frame out of the received bytes and emits each,
    /// in stream order. Connected to readyRead().
    void receive();

Q_SIGNALS:
    /// One complete frame without its length word, class id first. The
    /// connection to ConnectionManager is direct: the frame is handled
    /// before the next one is cut.
    void messageReceived(message_ptr message);
    /// The first exception that stopped reception or a write; the text is its what().
    void exceptionCaught(std::string what);

private:
    void fail(const std::string& what);

    FrameCutter m_cutter;
    QElapsedTimer m_frameProgress;
    bool m_failed = false;
    bool m_receiving = false;
};
