#include "TileCache.h"

#include "TileImages.h"

#include <QDataStream>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <QSet>

#include <memory>

namespace {

/// Files being written right now, by any thread: a second writer of the same
/// file steps back instead of racing the first.
QMutex writersMutex;
QSet<QString> filesBeingWritten;

/// Pictures of a set read back must have the sizes its own records give
/// them; anything else is not a set this program wrote.
bool isConsistent(const TileImages& set)
{
    for (int o = 0; o < TileImages::orientationCount; ++o) {
        for (int k = 0; k < TileImages::kindCount; ++k) {
            if (o == TileImages::Bottom && k == TileImages::Hand)
                continue;
            const QImage& img = set.element(o, k);
            const QRectF r = set.rect(o, k);
            if (img.isNull() ? !r.isEmpty() : (r.width() != img.width() || r.height() != img.height()))
                return false;
        }
        const TileSize3D declared = set.size3D(o, TileImages::Declared);
        for (int t = 0; t < TileImages::faceCount; ++t) {
            const QImage& face = set.face(o, tile(std::uint8_t(t)));
            if (!face.isNull() && (face.width() != declared.width || face.height() != declared.height))
                return false;
        }
    }
    return true;
}

} // namespace

QString TileCache::fileName(const QString& blankPath, const QString& facePath, double scale)
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << blankPath << facePath << scale;
    }
    const quint32 hash = quint32(qHash(bytes));
    return QStringLiteral("tileset_0x%1.dat").arg(hash, 8, 16, QLatin1Char('0'));
}

QString TileCache::installedFile(const QString& blankPath, const QString& facePath, double scale)
{
    return QStringLiteral("tilesets/") + fileName(blankPath, facePath, scale);
}

QString TileCache::temporaryFile(const QString& blankPath, const QString& facePath, double scale)
{
    return QDir::tempPath() + QLatin1Char('/') + fileName(blankPath, facePath, scale);
}

bool TileCache::isFresh(const QString& cacheFile, const QStringList& sources)
{
    const QFileInfo cache(cacheFile);
    if (!cache.exists())
        return false;
    const QDateTime cacheTime = cache.lastModified();
    for (const QString& source : sources) {
        if (cacheTime < QFileInfo(source).lastModified())
            return false;
    }
    return true;
}

TileImages* TileCache::read(QIODevice& device, double expectedScale)
{
    QDataStream in(&device);
    try {
        auto set = std::make_unique<TileImages>(in);
        if (in.status() != QDataStream::Ok || !device.atEnd() || set->scale() != expectedScale
            || !isConsistent(*set))
            return nullptr;
        return set.release();
    } catch (...) {
        return nullptr;
    }
}

TileImages* TileCache::readFile(const QString& path, double expectedScale)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    TileImages* set = read(file, expectedScale);
    if (!set)
        qWarning() << "tile cache" << path << "is not a usable tile set; it is rendered anew";
    return set;
}

bool TileCache::writeFile(const QString& path, const TileImages& images)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    {
        QMutexLocker lock(&writersMutex);
        if (filesBeingWritten.contains(key))
            return false;
        filesBeingWritten.insert(key);
    }
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        QDataStream out(&file);
        out << images;
        ok = out.status() == QDataStream::Ok && file.commit();
    }
    if (!ok)
        qDebug() << "tile cache" << path << "not written:" << file.errorString();
    QMutexLocker lock(&writersMutex);
    filesBeingWritten.remove(key);
    return ok;
}
