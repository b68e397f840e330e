#include "AdFetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>

#include <stdexcept>

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
    bytes.clear();
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
    connect(reply, &QNetworkReply::metaDataChanged, this, &AdFetcher::headersComplete);
    connect(reply, &QNetworkReply::finished, this, &AdFetcher::downloadComplete);
}

void AdFetcher::headersComplete()
{
    if (!reply)
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
    }
}

void AdFetcher::downloadComplete()
{
    QNetworkReply* done = qobject_cast<QNetworkReply*>(sender());
    if (!done || done != reply)
        return;
    reply = nullptr;
    done->deleteLater();

    // An HTTP error status still carries a body (an error page); only a
    // failed transport counts as a failed download.
    const QNetworkReply::NetworkError error = done->error();
    const bool transportError = error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied
        && done->attribute(QNetworkRequest::HttpStatusCodeAttribute).isNull();
    if (transportError) {
        qWarning().noquote() << "download of" << address.toString() << "failed";
        Q_EMIT downloadFailed();
        return;
    }
    bytes = done->readAll();
    QPixmap pixmap;
    pixmap.loadFromData(bytes, format.isEmpty() ? nullptr : format.constData());
    setPixmap(pixmap);
    bytes.clear();
}
