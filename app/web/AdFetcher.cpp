#include "AdFetcher.h"

#include <QBuffer>
#include <QFutureWatcher>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QtConcurrent/QtConcurrentRun>

#include <stdexcept>
#include <utility>

namespace {

/// Decodes the advertisement on a worker thread (QImage, never QPixmap off
/// the GUI thread). A picture that announces more pixels than the label could
/// ever need is not decoded at all.
QImage decodeImage(const QByteArray& body, const QByteArray& format)
{
    QBuffer buffer;
    buffer.setData(body);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > AdFetcher::maxImagePixels) {
        qWarning().noquote() << "advertisement picture too large:" << size.width() << "x" << size.height();
        return QImage();
    }
    return reader.read();
}

}

AdFetcher::AdFetcher(QWidget* parent)
    : QLabel(parent)
    , http(new QNetworkAccessManager(this))
{
}

AdFetcher::~AdFetcher()
{
    stop();
}

void AdFetcher::setUrl(const QString& url)
{
    address = QUrl(url);
    if (!address.isValid())
        qWarning().noquote() << "invalid URL:" << url;
    stop();
}

void AdFetcher::stop()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        reply = nullptr;
    }
}

void AdFetcher::start()
{
    if (address.isEmpty())
        throw std::logic_error("can't start with empty URL");

    stop();
    ++generation;
    bytes.clear();
    refused = false;
    tooLarge = false;
    qDebug().noquote() << "downloading" << address.toString();

    // The image server is asked with the absolute address as the request
    // target: going through the server itself as the HTTP proxy makes the
    // request line carry scheme, host and path.
    QUrl target = address;
    target.setScheme(QStringLiteral("http"));
    const quint16 port = quint16(target.port(80));
    http->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, target.host(), port));

    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    reply = http->get(request);
    // Taken out as it arrives, so that the reply never holds more than this.
    reply->setReadBufferSize(256 * 1024);
    connect(reply, &QNetworkReply::metaDataChanged, this, &AdFetcher::headersComplete);
    connect(reply, &QNetworkReply::readyRead, this, &AdFetcher::bodyArrived);
    connect(reply, &QNetworkReply::finished, this, &AdFetcher::downloadComplete);
}

void AdFetcher::refuse()
{
    refused = true;
    bytes.clear();
    // Not from inside the reply's own signal: on return.
    if (reply)
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
}

void AdFetcher::headersComplete()
{
    if (!reply || refused)
        return;
    // The content type without its parameters ("image/png; q=1" is "image/png").
    QString received = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    const qsizetype semicolon = received.indexOf(QLatin1Char(';'));
    if (semicolon >= 0)
        received = received.left(semicolon).trimmed();
    const QString type = received.toUpper();
    if (type.startsWith(QLatin1String("IMAGE/"))) {
        const QStringList parts = type.split(QLatin1Char('/'), Qt::KeepEmptyParts);
        if (parts.size() == 2)
            format = parts[1].toLatin1();
        else
            qDebug().noquote() << "strange content type:" << received;
    } else {
        qWarning().noquote() << "not an image! (according to the content type):" << received;
        // Nothing of such a body could be shown: it is not read at all.
        refuse();
        return;
    }
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > maxImageSize) {
        qDebug().noquote() << "advertisement larger than" << maxImageSize << "bytes";
        tooLarge = true;
        refuse();
    }
}

void AdFetcher::bodyArrived()
{
    if (!reply || refused)
        return;
    bytes += reply->read(maxImageSize + 1 - bytes.size());
    if (bytes.size() + reply->bytesAvailable() > maxImageSize) {
        qDebug().noquote() << "advertisement larger than" << maxImageSize << "bytes";
        tooLarge = true;
        refuse();
    }
}

void AdFetcher::downloadComplete()
{
    QNetworkReply* done = qobject_cast<QNetworkReply*>(sender());
    if (!done || done != reply)
        return;
    reply = nullptr;
    done->deleteLater();

    if (!refused) {
        bytes += done->read(maxImageSize + 1 - bytes.size());
        if (bytes.size() + done->bytesAvailable() > maxImageSize) {
            qDebug().noquote() << "advertisement larger than" << maxImageSize << "bytes";
            tooLarge = true;
            refused = true;
        }
    }
    // An HTTP error status still carries a body (an error page); only a
    // failed transport, or an answer too large to take, counts as a failed
    // download.
    const QNetworkReply::NetworkError error = done->error();
    const bool transportError = !refused && error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied
        && done->attribute(QNetworkRequest::HttpStatusCodeAttribute).isNull();
    if (transportError || tooLarge) {
        bytes.clear();
        qWarning().noquote() << "download of" << address.toString() << "failed";
        Q_EMIT downloadFailed();
        return;
    }
    if (refused) {
        // Not an image: what a decoder would make of it is nothing.
        setPixmap(QPixmap());
        return;
    }
    startDecode(std::exchange(bytes, QByteArray()));
}

void AdFetcher::startDecode(const QByteArray& body)
{
    const quint64 mine = generation;
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, mine] {
        watcher->deleteLater();
        if (mine != generation)
            return; // a newer download has started meanwhile
        // Bytes that decode to nothing give an empty pixmap, which clears the label.
        setPixmap(QPixmap::fromImage(watcher->result()));
    });
    watcher->setFuture(QtConcurrent::run(decodeImage, body, format.isEmpty() ? QByteArray() : format));
}
