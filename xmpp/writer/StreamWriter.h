#pragma once

#include "XMPPJid.h"

#include <QObject>

#include <memory>

class QIODevice;

namespace xmpp {

class StreamElement;

/// Writes the client's side of one XMPP stream: the header, one element at a
/// time (each leaving in a single device write) and the closing tag. A single
/// space goes out after 60 s without output to keep the connection alive.
/// Own elements go to the device at once; answers to others wait here until
/// it holds little: whatever others ask, an own element waits behind little. A peer that stops reading is noticed by what waits
/// unsent: once it passes the bound nothing more is written and
/// peerStoppedReading() is emitted.
class StreamWriter : public QObject
{
    Q_OBJECT

public:
    /// to: the server domain of the header; language: its "xml:lang".
    StreamWriter(const XMPPJid& to, const QString& language, QObject* parent = nullptr);
    ~StreamWriter() override;

    /// Writes the XML declaration and the open stream start tag to the device
    /// (not owned; it must outlive the stream).
    void openStream(QIODevice* device);
    /// Whose an element is: the client's own, or an answer to someone else's
    /// request, which goes out after every own element written before it leaves.
    enum class Share { Own, Others };
    /// Writes one element. Throws std::runtime_error "writing requires an open
    /// stream" when the stream is not open.
    void write(const StreamElement& element, Share share = Share::Own);
    /// Writes the closing stream tag; nothing when not open.
    void closeStream();
    /// Sends what is buffered in one device write, hands on the answers to
    /// others the device may take, and restarts the keep-alive period.
    void flush();
    bool isOpen() const;

    /// The keep-alive period in milliseconds (60000).
    int keepAliveInterval() const;
    /// Shortens the keep-alive period (for tests).
    void setKeepAliveInterval(int ms);

    /// Bytes the device may hold unsent before an element is written (by
    /// default DefaultMaxBacklog); past it the peer counts as gone.
    static constexpr qint64 DefaultMaxBacklog = 4 * 1024 * 1024;
    /// Changes that bound (for tests).
    void setMaxBacklog(qint64 bytes);
    /// The bound was passed: from then on every write is dropped.
    bool backlogExceeded() const;
    /// What waits for the device and what the device has not handed to the
    /// network yet.
    qint64 unsent() const;
    /// Bytes of the stream the device has handed to the network, counted
    /// from the header.
    qint64 sentBytes() const;
    /// Where the last own element written ends in that count: it has left
    /// once sentBytes() reaches this.
    qint64 ownEnd() const;
    /// What the device may hold before the next answer to others is handed to it.
    static constexpr qint64 HandOverBytes = 4 * 1024;

Q_SIGNALS:
    /// The peer left more than the bound unread; emitted once.
    void peerStoppedReading();
    /// The device handed bytes to the network (sentBytes() grew).
    void bytesSent();

public Q_SLOTS:
    /// One space, when the stream is open.
    void sendKeepAlive();

private:
    /// Hands waiting answers to the device while it holds little; all of
    /// them when `all`.
    void handOver(bool all = false);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace xmpp
