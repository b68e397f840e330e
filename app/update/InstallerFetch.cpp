#include "InstallerFetch.h"

#include <QDebug>
#include <QPointer>
#include <QSslSocket>
#include <QTcpSocket>

#include <utility>

InstallerFetch::InstallerFetch(const QUrl& url_, QObject* parent)
    : QObject(parent)
    , url(url_)
{
}

InstallerFetch::~InstallerFetch()
{
    if (socket != nullptr)
        socket->disconnect(this);
}

void InstallerFetch::start()
{
    const bool https = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    if (https && !QSslSocket::supportsSsl()) {
        QMetaObject::invokeMethod(this, [this] { finish(tr("this system cannot make secure connections")); },
            Qt::QueuedConnection);
        return;
    }
    socket = https ? new QSslSocket(this) : new QTcpSocket(this);
    QUrl host = url;
    host.setUserInfo(QString());
    QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
    if (path.isEmpty())
        path = "/";
    // Where a host redirects to may need its query (a signed address).
    if (url.hasQuery())
        path += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    const QByteArray request = "GET " + path + " HTTP/1.1\r\nHost: " + host.authority(QUrl::FullyEncoded).toLatin1()
        + "\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
    connect(socket, &QAbstractSocket::readyRead, this, &InstallerFetch::onReadyRead);
    connect(socket, &QAbstractSocket::disconnected, this, &InstallerFetch::onClosed);
    connect(socket, &QAbstractSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        // The server closing is the end of the body or a cut, said by onClosed.
        if (e == QAbstractSocket::RemoteHostClosedError)
            onClosed();
        else
            finish(socket->errorString());
    });
    const auto send = [this, request] { socket->write(request); };
    if (auto* ssl = qobject_cast<QSslSocket*>(socket)) {
        connect(ssl, &QSslSocket::encrypted, this, send);
        ssl->connectToHostEncrypted(url.host(), quint16(url.port(443)));
    } else {
        connect(socket, &QAbstractSocket::connected, this, send);
        socket->connectToHost(url.host(), quint16(url.port(80)));
    }
}

void InstallerFetch::abort()
{
    finish(tr("Operation canceled"));
}

QByteArray InstallerFetch::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers)
        if (key == name)
            return value;
    return QByteArray();
}

void InstallerFetch::onReadyRead()
{
    if (over)
        return;
    buffer += socket->readAll();
    const qint64 before = received;
    QPointer<InstallerFetch> alive = this;
    if (!parse() || !alive)
        return;
    if (received != before) {
        Q_EMIT readyRead();
        if (alive && !over)
            Q_EMIT progress(received, stated);
    }
    if (alive && state == State::Done)
        finish(QString());
}

void InstallerFetch::onClosed()
{
    if (over)
        return;
    QPointer<InstallerFetch> alive = this;
    const QAbstractSocket* closing = socket;
    if (socket->bytesAvailable() > 0)
        onReadyRead();
    // A redirect read last goes on over a connection of its own.
    if (!alive || over || socket != closing)
        return;
    // A body that states neither its length nor chunks ends with the connection.
    if (state == State::Body && stated < 0)
        finish(QString());
    else
        finish(tr("Connection closed"), state != State::Head);
}

bool InstallerFetch::parse()
{
    // Read from an offset and dropped once at the end: a body of many tiny
    // chunks costs the time of its size.
    qsizetype at = 0;
    const auto malformed = [this] {
        finish(tr("the server's answer is malformed"));
        return false;
    };
    const auto keep = [this, &at](qsizetype unread) {
        buffer.remove(0, at);
        searched = unread;
        return !over;
    };
    for (;;) {
        switch (state) {
        case State::Head: {
            const qsizetype end = buffer.indexOf("\r\n\r\n", std::max(at, searched));
            if (end < 0) {
                if (buffer.size() - at > maxHeadLength)
                    return malformed();
                return keep(std::max<qsizetype>(0, buffer.size() - at - 3));
            }
            searched = 0;
            const QByteArray head = buffer.mid(at, end - at);
            at = end + 4;
            if (!parseHead(head))
                return false;
            break;
        }
        case State::Body: {
            const qsizetype left = buffer.size() - at;
            const qsizetype bytes = stated < 0 ? left : qsizetype(std::min<qint64>(left, stated - received));
            take(at, bytes);
            if (stated >= 0 && received == stated)
                state = State::Done;
            else
                return keep(0);
            break;
        }
        case State::ChunkSize:
        case State::ChunkEnd:
        case State::Trailer: {
            const qsizetype end = buffer.indexOf("\r\n", std::max(at, searched));
            if (end < 0) {
                if (buffer.size() - at > maxChunkLine)
                    return malformed();
                return keep(std::max<qsizetype>(0, buffer.size() - at - 1));
            }
            searched = 0;
            const QByteArray line = buffer.mid(at, end - at);
            at = end + 2;
            if (state == State::ChunkEnd) {
                if (!line.isEmpty())
                    return malformed();
                state = State::ChunkSize;
            } else if (state == State::Trailer) {
                if (line.isEmpty())
                    state = State::Done;
            } else {
                bool ok = false;
                const qsizetype extension = line.indexOf(';');
                const QByteArray size = (extension < 0 ? line : line.left(extension)).trimmed();
                chunkLeft = size.size() <= 15 ? size.toLongLong(&ok, 16) : 0;
                if (!ok || chunkLeft < 0)
                    return malformed();
                state = chunkLeft == 0 ? State::Trailer : State::ChunkData;
            }
            break;
        }
        case State::ChunkData: {
            const qsizetype bytes = qsizetype(std::min<qint64>(buffer.size() - at, chunkLeft));
            take(at, bytes);
            chunkLeft -= bytes;
            if (chunkLeft > 0)
                return keep(0);
            state = State::ChunkEnd;
            break;
        }
        case State::Done:
            return keep(0);
        }
    }
}

bool InstallerFetch::parseHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> status = lines.first().trimmed().split(' ');
    bool ok = false;
    code = status.size() >= 2 && status[0].startsWith("HTTP/1.") ? status[1].toInt(&ok) : 0;
    if (!ok || code < 100 || code > 999) {
        finish(tr("the server's answer is malformed"));
        return false;
    }
    // An interim answer precedes the real one.
    if (code < 200)
        return true;
    phrase = QString::fromLatin1(lines.first().trimmed().split(' ').mid(2).join(' '));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            headers.append({lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed()});
    }
    // Honest hosts send the installer from where it is; a redirect without
    // a location is an answer like any other.
    const bool redirected = code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
    if (redirected && !header("location").isEmpty())
        return redirect(header("location"));
    chunked = header("transfer-encoding").toLower().endsWith("chunked");
    const QByteArray length = header("content-length");
    if (!chunked && !length.isEmpty()) {
        stated = length.toLongLong(&ok);
        if (!ok || stated < 0) {
            finish(tr("the server's answer is malformed"));
            return false;
        }
    }
    state = chunked ? State::ChunkSize : (stated == 0 ? State::Done : State::Body);
    QPointer<InstallerFetch> alive = this;
    Q_EMIT headersRead();
    return alive && !over;
}

bool InstallerFetch::redirect(const QByteArray& location)
{
    const QUrl next = url.resolved(QUrl::fromEncoded(location));
    const QString scheme = next.scheme().toLower();
    const bool https = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    if (++redirects > maxRedirects) {
        finish(tr("the server redirected the download more than %1 times").arg(maxRedirects));
        return false;
    }
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || next.host().isEmpty()) {
        finish(tr("the server redirected the download to an address that is not a web address"));
        return false;
    }
    if (https && scheme == QLatin1String("http")) {
        finish(tr("the server redirected the download from a secure address to an insecure one"));
        return false;
    }
    qDebug().noquote() << "client download redirected to" << next.toString();
    // The answer's body is not read; a new connection asks the next address.
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    socket = nullptr;
    url = next;
    url.setScheme(scheme);
    if (url.port() == -1)
        url.setPort(scheme == QLatin1String("https") ? 443 : 80);
    url.setFragment(QString());
    state = State::Head;
    buffer.clear();
    searched = 0;
    code = 0;
    phrase.clear();
    headers.clear();
    stated = -1;
    chunked = false;
    start();
    return false;
}

void InstallerFetch::take(qsizetype& at, qsizetype bytes)
{
    body.append(buffer.constData() + at, bytes);
    at += bytes;
    received += bytes;
}

void InstallerFetch::finish(const QString& why, bool cutOff)
{
    if (std::exchange(over, true))
        return;
    state = State::Done;
    error = why;
    cut = cutOff;
    if (socket != nullptr) {
        socket->disconnect(this);
        socket->abort();
    }
    Q_EMIT finished();
}
