// The program's own pictures by name, through the picture decoder.
#include "PictureFile.h"

#include "PictureDecoder.h"
#include "ResourceFile.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QMutex>
#include <QPixmap>
#include <QPixmapCache>
#include <QSet>

namespace {

/// One warning a name: a picture a window asks for on every change would
/// fill the log.
void warnOnce(const QString& name, const QString& why)
{
    static QMutex mutex;
    static QSet<QString> warned;
    const QMutexLocker lock(&mutex);
    if (warned.size() < 1000 && !warned.contains(name)) {
        warned.insert(name);
        qWarning().noquote() << "picture" << name << "left out:" << why;
    }
}

} // namespace

QImage PictureFile::image(const QString& name)
{
    using PictureDecoder::Format;
    const PictureDecoder::Limits limits{Format::Png | Format::Jpeg | Format::Gif | Format::Bmp, maxSide, maxPixels,
                                        QSize()};
    const PictureDecoder::Result result = PictureDecoder::decodeFile(name, limits, maxFileSize);
    if (const QString why = PictureDecoder::errorOf(result); !why.isEmpty())
        warnOnce(name, why);
    return PictureDecoder::imageOf(result);
}

QPixmap PictureFile::pixmap(const QString& name)
{
    const QFileInfo file(ResourceFile::path(name));
    const QString key = QStringLiteral("PictureFile:%1:%2:%3")
                            .arg(file.filePath())
                            .arg(file.size())
                            .arg(file.lastModified().toMSecsSinceEpoch());
    QPixmap pixmap;
    if (file.filePath().isEmpty() || !QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(image(name));
        if (!pixmap.isNull())
            QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

QIcon PictureFile::icon(const QString& name)
{
    const QPixmap picture = pixmap(name);
    return picture.isNull() ? QIcon() : QIcon(picture);
}
