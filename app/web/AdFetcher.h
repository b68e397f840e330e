#pragma once

#include <QByteArray>
#include <QLabel>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

/// A label that downloads one image over HTTP and shows it: the
/// advertisement beside the lobby chat. Fetched once per start().
class AdFetcher : public QLabel
{
    Q_OBJECT

public:
    explicit AdFetcher(QWidget* parent = nullptr);
    ~AdFetcher() override;

    QUrl url() const { return address; }
    /// The decoder hint taken from the last image content type ("JPG" at first).
    QByteArray imageFormat() const { return format; }

Q_SIGNALS:
    /// When a download ends with a transport error.
    void downloadFailed();

public Q_SLOTS:
    void setUrl(const QString& url);
    /// Fetches the image; an empty address is a programming error.
    void start();
    void stop();

private Q_SLOTS:
    void downloadComplete();
    void headersComplete();

private:
    QUrl address;
    QNetworkAccessManager* http;
    QPointer<QNetworkReply> reply;
    QByteArray bytes;
    QByteArray format = "JPG";
};
