#include "PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool fail(QString* why, const QString& text)
{
    if (why != nullptr)
        *why = text;
    return false;
}

} // namespace

bool PrivateFolder::isPrivate(const QString& path)
{
    if (path.isEmpty() || QDir::isRelativePath(path))
        return false;
#if defined(Q_OS_UNIX)
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
#else
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink() && info.isWritable();
#endif
}

bool PrivateFolder::prepare(const QString& path, QString* why)
{
    if (path.isEmpty() || QDir::isRelativePath(path))
        return fail(why, QStringLiteral("no folder"));
    if (!QDir().mkpath(QFileInfo(path).path()))
        return fail(why, QStringLiteral("%1 cannot be made").arg(QFileInfo(path).path()));
#if defined(Q_OS_UNIX)
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return fail(why, qt_error_string(errno));
    struct stat st;
    if (::lstat(native.constData(), &st) != 0)
        return fail(why, qt_error_string(errno));
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return fail(why, QStringLiteral("not a folder of this user's own"));
    if ((st.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0)
        return fail(why, QStringLiteral("open to others"));
    return true;
#else
    const QFileInfo info(path);
    if (info.isSymLink())
        return fail(why, QStringLiteral("a link"));
    return info.isDir() || QDir().mkpath(path) || fail(why, QStringLiteral("cannot be made"));
#endif
}

QString PrivateFolder::own(QString* why)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return prepare(folder, why) ? folder : QString();
}
