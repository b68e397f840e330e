#include "TileCache.h"

#include "PrivateFolder.h"
#include "TileImages.h"

#include <QCoreApplication>
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
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <memory>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

QString TileCache::installedDirectory()
{
    if (!QCoreApplication::instance())
        return QString();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tilesets");
}

QString TileCache::installedFile(const QString& blankPath, const QString& facePath, double scale)
{
    const QString folder = installedDirectory();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + fileName(blankPath, facePath, scale);
}

QString TileCache::cacheDirectory()
{
    // The user's own: one folder for all users of the machine would be
    // whoever made it first's, and the cache off for everyone else.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/tilesets");
}

QString TileCache::temporaryFile(const QString& blankPath, const QString& facePath, double scale)
{
    return cacheDirectory() + QLatin1Char('/') + fileName(blankPath, facePath, scale);
}

qint64 TileCache::maxFileSize(double scale)
{
    // A set at scale 1 takes a few hundred kilobytes; the pictures grow with
    // the square of the scale.
    const double area = std::max(1.0, scale * scale);
    return qint64(4 * 1024 * 1024 * std::min(area, TileImages::maxStoredScale * TileImages::maxStoredScale));
}

bool TileCache::prepareCacheDirectory()
{
    const QString dir = cacheDirectory();
    QString why;
    if (PrivateFolder::prepare(dir, &why))
        return true;
    // Said once: the folder is asked for at every read and write.
    static std::atomic_flag told = ATOMIC_FLAG_INIT;
    if (!told.test_and_set())
        qWarning() << "tile cache folder" << dir << "cannot be used:" << why << "- tile sets are rendered every time";
    return false;
}

TileImages* TileCache::read(QIODevice& device, double expectedScale)
{
    QDataStream in(&device);
    try {
        auto set = std::make_unique<TileImages>(in, expectedScale);
        if (in.status() != QDataStream::Ok || !device.atEnd() || set->scale() != expectedScale
            || !isConsistent(*set))
            return nullptr;
        return set.release();
    } catch (...) {
        return nullptr;
    }
}

TileImages* TileCache::readFile(const QString& path, double expectedScale, const QStringList& sources, Writer writer)
{
    QFile file;
    QDateTime modified;
#if defined(Q_OS_UNIX)
    // Never through a link, and without waiting: a FIFO opened for reading
    // would wait for a writer for good. What was opened is checked, not the
    // path, so that nothing can be swapped in between.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP)
            qWarning() << "tile cache" << path << "not read: a link";
        else if (error != ENOENT)
            qWarning() << "tile cache" << path << "not read:" << qt_error_string(error);
        return nullptr;
    }
    struct stat st;
    QString refusal;
    if (::fstat(fd, &st) != 0)
        refusal = qt_error_string(errno);
    else if (!S_ISREG(st.st_mode))
        refusal = QStringLiteral("not a regular file");
    else if (st.st_uid != ::geteuid() && !(writer == Writer::UserOrRoot && st.st_uid == 0))
        refusal = QStringLiteral("owned by another user");
    else if (writer == Writer::UserOrRoot && (st.st_mode & 022) != 0)
        refusal = QStringLiteral("others may write it");
    else if (st.st_size > maxFileSize(expectedScale))
        refusal = QStringLiteral("too large");
    if (!refusal.isEmpty()) {
        ::close(fd);
        qWarning() << "tile cache" << path << "not read:" << refusal;
        return nullptr;
    }
    modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
#else
    const QFileInfo info(path);
    if (!info.exists())
        return nullptr;
    if (info.isSymLink() || !info.isFile() || info.size() > maxFileSize(expectedScale)) {
        qWarning() << "tile cache" << path << "not read: not a regular file of a fitting size";
        return nullptr;
    }
    modified = info.lastModified();
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
#endif
    // Older than one of its sources: rendered anew (and rewritten).
    for (const QString& source : sources) {
        if (modified < QFileInfo(source).lastModified())
            return nullptr;
    }
    TileImages* set = read(file, expectedScale);
    if (!set)
        qWarning() << "tile cache" << path << "is not a usable tile set; it is rendered anew";
#if defined(Q_OS_UNIX)
    // Used now: the last to go when the folder is trimmed.
    else if (writer == Writer::User)
        ::futimens(file.handle(), nullptr);
#endif
    return set;
}

void TileCache::trimCacheDirectory()
{
    // Newest first; links and whatever else stands there are removed like
    // sets, never followed.
    const QFileInfoList files = QDir(cacheDirectory())
                                    .entryInfoList({QStringLiteral("tileset_0x*")},
                                                   QDir::Files | QDir::System | QDir::Hidden, QDir::Time);
    qint64 bytes = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        bytes += files.at(i).size();
        if (i == 0 || (i < maxCachedFiles && bytes <= maxCacheBytes))
            continue;
        if (!QFile::remove(files.at(i).filePath()))
            qDebug() << "tile cache" << files.at(i).filePath() << "cannot be removed";
    }
}

TileImages* TileCache::readInstalled(const QString& blankPath, const QString& facePath, double scale,
                                     const QStringList& sources)
{
    const QString dir = installedDirectory();
    if (dir.isEmpty())
        return nullptr;
#if defined(Q_OS_UNIX)
    // The installer's folder must be what it wrote: a folder, not a link,
    // that only this user or the system may change.
    struct stat st;
    if (::lstat(QFile::encodeName(dir).constData(), &st) != 0)
        return nullptr;
    if (!S_ISDIR(st.st_mode) || (st.st_uid != ::geteuid() && st.st_uid != 0) || (st.st_mode & 022) != 0) {
        qWarning() << "installed tile sets" << dir << "not read: a folder others may change";
        return nullptr;
    }
#else
    if (QFileInfo(dir).isSymLink())
        return nullptr;
#endif
    return readFile(installedFile(blankPath, facePath, scale), scale, sources, Writer::UserOrRoot);
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
#if defined(Q_OS_UNIX)
    // The save below would follow a link to its target and replace that;
    // whatever is not a regular file goes first.
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)
        && (S_ISDIR(st.st_mode) || ::unlink(native.constData()) != 0)) {
        qDebug() << "tile cache" << path << "not written: not a regular file and cannot be removed";
        QMutexLocker lock(&writersMutex);
        filesBeingWritten.remove(key);
        return false;
    }
#else
    if (QFileInfo(path).isSymLink())
        QFile::remove(path);
#endif
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
