#include "AdFetcher.h"

#include "PictureDecoder.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <utility>

namespace {

/// The advertisement's picture as the decoder hands it to the label: larger
/// ones are made this small on the worker thread, for the label never shows
/// more than its place in the side frame.
constexpr QSize keptSize(1024, 1024);

/// Decodes the advertisement on a worker thread (QImage, never QPixmap off
/// the GUI thread). A picture that announces more pixels than the label could
/// ever need is not decoded at all.
QImage decodeImage(const QByteArray& body, std::shared_ptr<const std::atomic<bool>> stop)
{
    PictureDecoder::Limits limits = AdFetcher::pictureLimits();
    limits.stop = stop.get();
    const PictureDecoder::Result result = PictureDecoder::decode(body, limits);
    if (const QString error = PictureDecoder::errorOf(result); !error.isEmpty())
        qWarning().noquote() << "advertisement picture left out:" << error;
    return PictureDecoder::imageOf(result);
}

}

PictureDecoder::Limits AdFetcher::pictureLimits()
{
    return {PictureDecoder::Format::Png | PictureDecoder::Format::Jpeg | PictureDecoder::Format::Gif, 4096,
            maxImagePixels, keptSize};
}

AdFetcher::AdFetcher(QWidget* parent)
    : QLabel(parent)
    , http(new QNetworkAccessManager(this))
{
    // The application waits for its worker threads at the end: a decode
    // under way is given up on as soon as the program is to quit.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &AdFetcher::stopDecode);
}

AdFetcher::~AdFetcher()
{
    stop();
    stopDecode();
}

void AdFetcher::stopDecode()
{
    if (decodeStop)
        decodeStop->store(true);
    decodeStop.reset();
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
    stopDecode(); // whatever it gives would be dropped
    ++generation;
    bytes.clear();
    refused = false;
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
        // Decoded all the same, within the same cap: the decoder takes
        // only what it knows to be a picture.
        qWarning().noquote() << "not an image! (according to the content type):" << received;
    }
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > maxImageSize) {
        qDebug().noquote() << "advertisement larger than" << maxImageSize << "bytes";
        refuse();
    }
}

void AdFetcher::bodyArrived()
{
    if (!reply || refused)
        return;
    // Only what has arrived: a read of the whole cap would set its room aside each time.
    bytes += reply->read(std::min(reply->bytesAvailable(), maxImageSize + 1 - bytes.size()));
    if (bytes.size() + reply->bytesAvailable() > maxImageSize) {
        qDebug().noquote() << "advertisement larger than" << maxImageSize << "bytes";
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
        bytes += done->read(std::min(done->bytesAvailable(), maxImageSize + 1 - bytes.size()));
        if (bytes.size() + done->bytesAvailable() > maxImageSize) {
            qDebug().noquote() << "advertisement larger than" << maxImageSize << "bytes";
            refused = true;
        }
    }
    // An HTTP error status still carries a body (an error page); only a
    // failed transport, or an answer too large to take, counts as a failed
    // download.
    const QNetworkReply::NetworkError error = done->error();
    const bool transportError = !refused && error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied
        && done->attribute(QNetworkRequest::HttpStatusCodeAttribute).isNull();
    if (transportError || refused) {
        bytes.clear();
        qWarning().noquote() << "download of" << address.toString() << "failed";
        Q_EMIT downloadFailed();
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
        picture = watcher->result();
        showPicture();
    });
    decodeStop = std::make_shared<std::atomic<bool>>(false);
    watcher->setFuture(QtConcurrent::run(decodeImage, body, std::shared_ptr<const std::atomic<bool>>(decodeStop)));
}

void AdFetcher::showPicture()
{
    const QSize place = contentsRect().size();
    if (picture.isNull() || place.isEmpty() || (picture.width() <= place.width() && picture.height() <= place.height()))
        setPixmap(QPixmap::fromImage(picture));
    else
        setPixmap(QPixmap::fromImage(picture.scaled(place, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QSize AdFetcher::sizeHint() const
{
    // The picture fits into the place the window gives the label; it never
    // asks for more room than that.
    return minimumSize().isEmpty() ? QLabel::sizeHint() : minimumSize();
}

QSize AdFetcher::minimumSizeHint() const
{
    return minimumSize().isEmpty() ? QLabel::minimumSizeHint() : minimumSize();
}

void AdFetcher::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    if (!picture.isNull())
        showPicture();
}
