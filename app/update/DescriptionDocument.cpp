#include "DescriptionDocument.h"

#include "AdFetcher.h"
#include "PictureDecoder.h"
#include "RichTextGate.h"

#include <QFutureWatcher>
#include <QImage>
#include <QtConcurrent/QtConcurrentRun>

namespace {

/// The bytes of a data: address ("data:image/png;base64,..."), decoded.
QByteArray dataOf(const QByteArray& address)
{
    const qsizetype comma = address.indexOf(',');
    if (comma < 0)
        return {};
    const QByteArray payload = QByteArray::fromPercentEncoding(address.mid(comma + 1));
    if (address.left(comma).toLower().endsWith(";base64"))
        return QByteArray::fromBase64(payload);
    return payload;
}

QImage decodeData(const QByteArray& address, std::shared_ptr<const std::atomic<bool>> stop)
{
    PictureDecoder::Limits limits = AdFetcher::pictureLimits();
    limits.stop = stop.get();
    const PictureDecoder::Result result = PictureDecoder::decode(dataOf(address), limits);
    if (const QString error = PictureDecoder::errorOf(result); !error.isEmpty())
        qWarning().noquote() << "picture of a description left out:" << error;
    return PictureDecoder::imageOf(result);
}

} // namespace

DescriptionDocument::DescriptionDocument(const QString& html, QObject* parent)
    : QTextDocument(parent)
{
    // Whatever this document does not give is nothing: no program-wide
    // provider either.
    setResourceProvider([](const QUrl&) { return QVariant(); });
    setUndoRedoEnabled(false);
    addresses = RichTextGate::fill(*this, html, {maxShownLength, maxLines, maxListDepth, maxPictures});
    decodeNext();
}

DescriptionDocument::~DescriptionDocument()
{
    stop->store(true);
}

QVariant DescriptionDocument::loadResource(int type, const QUrl& name)
{
    if (type != ImageResource)
        return {};
    // An image the document does not give, Qt's own text layout would load
    // from the file of that name itself: every image asked for gets a
    // picture, one empty pixel for those not (or not yet) shown.
    static const QPixmap none = [] {
        QPixmap pixel(1, 1);
        pixel.fill(Qt::transparent);
        return pixel;
    }();
    const int index = RichTextGate::pictureIndex(name);
    if (pictures.size() < addresses.size() || index < 0 || index >= pictures.size() || pictures[index].isNull())
        return none;
    return pictures[index];
}

void DescriptionDocument::decodeNext()
{
    if (pictures.size() == addresses.size())
        return;
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher] {
        watcher->deleteLater();
        pictures.append(QPixmap::fromImage(watcher->result()));
        // Laid out again once, with all of them.
        if (pictures.size() == addresses.size())
            markContentsDirty(0, characterCount());
        decodeNext();
    });
    watcher->setFuture(QtConcurrent::run(decodeData, addresses[pictures.size()].toUtf8(),
                                         std::shared_ptr<const std::atomic<bool>>(stop)));
}
