#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

#include <utility>

class QAbstractSocket;

/// One GET of an installer over HTTP/1.1 on a connection of its own, the
/// body read as the server framed it: the network layer may take a chunked
/// body whose connection closed between two chunks for a whole one, this
/// reader takes one only with its last chunk, and one of a stated length
/// only at that length. A redirect (301, 302, 303, 307, 308 with a
/// location) is followed on a new connection, `maxRedirects` times at most
/// and never from https to http; only the final answer is reported. After
/// `finished` (or `abort`) nothing more is emitted.
class InstallerFetch : public QObject
{
    Q_OBJECT

public:
    /// The longest head (status line and headers) read, and the longest
    /// line of a chunk's size.
    static constexpr qsizetype maxHeadLength = 64 * 1024;
    static constexpr qsizetype maxChunkLine = 1024;
    /// The most redirects followed for one download.
    static constexpr int maxRedirects = 5;

    /// `url` is http or https with its port set.
    InstallerFetch(const QUrl& url, QObject* parent);
    ~InstallerFetch() override;

    void start();
    /// Ends the download at once: `finished` comes, with an error, unless it already came.
    void abort();

    int status() const { return code; }
    QString reasonPhrase() const { return phrase; }
    /// The value of a header, by its name in lower case; empty when not sent.
    QByteArray header(const QByteArray& name) const;
    /// The body's stated length, or -1.
    qint64 statedLength() const { return stated; }
    bool isChunked() const { return chunked; }
    /// Takes what has arrived of the body since the last call.
    QByteArray readAll() { return std::exchange(body, QByteArray()); }
    /// Why the download failed; empty when the body arrived whole.
    QString errorString() const { return error; }
    /// The connection closed before the body's stated end (its length, its last chunk).
    bool cutShort() const { return cut; }

Q_SIGNALS:
    void headersRead();
    void readyRead();
    void progress(qint64 received, qint64 total);
    void finished();

private:
    void onReadyRead();
    void onClosed();
    /// Reads what `buffer` holds; false once the download has ended.
    bool parse();
    bool parseHead(const QByteArray& head);
    /// Asks `location` (relative to the address asked) on a new connection,
    /// unless the redirect is refused; false either way.
    bool redirect(const QByteArray& location);
    /// Moves `bytes` of `buffer` from `at` on to the body.
    void take(qsizetype& at, qsizetype bytes);
    void finish(const QString& why, bool cutOff = false);

    enum class State { Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Done };

    QUrl url;
    int redirects = 0;
    QAbstractSocket* socket = nullptr;
    State state = State::Head;
    QByteArray buffer;
    /// How much of `buffer` is known to hold no end of the head or line read.
    qsizetype searched = 0;
    QByteArray body;
    int code = 0;
    QString phrase;
    QList<QPair<QByteArray, QByteArray>> headers;
    qint64 stated = -1;
    bool chunked = false;
    qint64 chunkLeft = 0;
    qint64 received = 0;
    QString error;
    bool cut = false;
    /// `finished` was emitted.
    bool over = false;
};
