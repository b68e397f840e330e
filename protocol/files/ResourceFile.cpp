#include "ResourceFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

/// Search paths may name other search paths ("resources:/translations"); a
/// chain longer than this is a loop.
constexpr int maxPrefixDepth = 8;

/// The length of the search-path prefix of a name ("resources" of
/// "resources:/x.png"); 0 when it has none. A single letter is a drive, a
/// colon first a compiled resource, a slash before the colon a plain path.
qsizetype prefixLength(const QString& name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i) == QLatin1Char('/'))
            return 0;
        if (name.at(i) == QLatin1Char(':'))
            return i >= 2 ? i : 0;
    }
    return 0;
}

QString resolve(const QString& name, int depth, bool ownOnly)
{
    const qsizetype prefix = prefixLength(name);
    if (prefix == 0) {
        if (ownOnly && !name.startsWith(QLatin1Char(':')))
            return QString();
        const QFileInfo info(name);
        if (info.isFile())
            return name;
        if (info.exists())
            qWarning().noquote() << "not a regular file, passed over:" << name;
        return QString();
    }
    if (depth >= maxPrefixDepth)
        return QString();
    const QString rest = name.mid(prefix + 1);
    const QStringList folders = QDir::searchPaths(name.left(prefix));
    for (const QString& folder : folders) {
        const QString found = resolve(QDir::cleanPath(folder + QLatin1Char('/') + rest), depth + 1, ownOnly);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

} // namespace

QString ResourceFile::path(const QString& name)
{
    return resolve(name, 0, false);
}

QString ResourceFile::ownPath(const QString& name)
{
    return resolve(name, 0, true);
}

bool ResourceFile::open(const QString& name, QFile& file, QString* why)
{
    const auto fail = [why](const QString& text) {
        if (why != nullptr)
            *why = text;
        return false;
    };
    const QString found = path(name);
    if (found.isEmpty())
        return fail(QStringLiteral("no such regular file"));
#if defined(Q_OS_UNIX)
    if (!found.startsWith(QLatin1Char(':'))) {
        const int fd = ::open(QFile::encodeName(found).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return fail(qt_error_string(errno));
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return fail(QStringLiteral("not a regular file"));
        }
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return fail(file.errorString());
        }
        return true;
    }
#endif
    file.setFileName(found);
    return file.open(QIODevice::ReadOnly) || fail(file.errorString());
}

std::optional<QByteArray> ResourceFile::read(const QString& name, qint64 maxBytes, QString* why)
{
    QFile file;
    QString error;
    if (open(name, file, &error) && file.size() <= maxBytes) {
        QByteArray bytes = file.read(maxBytes + 1);
        if (bytes.size() <= maxBytes)
            return bytes;
    }
    if (why != nullptr)
        *why = error.isEmpty() ? QStringLiteral("longer than %1 bytes").arg(maxBytes) : error;
    return std::nullopt;
}
