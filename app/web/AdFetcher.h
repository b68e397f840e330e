#pragma once

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QUrl>

#include "PictureDecoder.h"

#include <atomic>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

/// A label that downloads one image over HTTP and shows it: the
/// advertisement beside the lobby chat. Fetched once per start().
class AdFetcher : public QLabel
{
    Q_OBJECT

public:
    /// A reply body longer than this is refused (the download fails and the
    /// label keeps what it showed): the image comes over plain HTTP, and an
    /// endless answer must not fill the memory. A longer announced length is
    /// refused before any of the body is read.
    static constexpr qint64 maxImageSize = 4 * 1024 * 1024;
    /// A picture whose header announces more pixels than this is not decoded.
    static constexpr qint64 maxImagePixels = 4096 * 4096;

    /// What the advertisement takes as a picture; larger ones are decoded
    /// scaled down to 1024 x 1024 pixels at most.
    static PictureDecoder::Limits pictureLimits();

    explicit AdFetcher(QWidget* parent = nullptr);
    ~AdFetcher() override;

    QUrl url() const { return address; }
    /// The label's minimum size when one is set: a picture larger than the
    /// label is shown scaled down to it, never making the window wider.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    /// The format named by the last image content type ("JPG" at first);
    /// the decoder goes by the picture's own first bytes.
    QByteArray imageFormat() const { return format; }

Q_SIGNALS:
    /// When a download ends with a transport error or an answer too large.
    void downloadFailed();

public Q_SLOTS:
    void setUrl(const QString& url);
    void start();
    void stop();

private Q_SLOTS:
    void downloadComplete();
    void headersComplete();
    void bodyArrived();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    /// Ends the reading of the reply at once; what the label shows then is
    /// decided when the reply has finished.
    void refuse();
    /// Decodes the body on a worker thread; the label shows the outcome.
    void startDecode(const QByteArray& body);
    /// Gives up on the decode under way, if any.
    void stopDecode();
    /// Shows the picture, scaled down to the label's contents when larger.
    void showPicture();

    QUrl address;
    QNetworkAccessManager* http;
    QPointer<QNetworkReply> reply;
    QByteArray bytes;
    QByteArray format = "JPG";
    /// The last decoded picture (null when it decoded to nothing).
    QImage picture;
    /// The reply is not read any further: it is too large.
    bool refused = false;
    /// Counts the downloads; a decode that comes back for an older one is dropped.
    quint64 generation = 0;
    /// Set to stop the decode under way.
    std::shared_ptr<std::atomic<bool>> decodeStop;
};
