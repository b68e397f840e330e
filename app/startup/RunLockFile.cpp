#include "RunLockFile.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// Whether the open file is the one the path names now.
bool isFileAt(int fd, const QByteArray& name)
{
    struct stat held;
    struct stat there;
    return ::fstat(fd, &held) == 0 && ::lstat(name.constData(), &there) == 0 && held.st_dev == there.st_dev
        && held.st_ino == there.st_ino;
}

}

RunLockFile::RunLockFile(const QString& path)
    : path(path)
{
}

RunLockFile::~RunLockFile()
{
    unlock();
}

RunLockFile::Result RunLockFile::tryLock()
{
    if (fd >= 0)
        return Taken;
    const QByteArray name = QFile::encodeName(path);
    const auto fail = [this](int code) {
        error = QString::fromLocal8Bit(std::strerror(code));
        return Failed;
    };
    // A holder that gives up removes the file while it still holds it: a
    // file locked here after that is no longer the one at the path, and the
    // lock is tried again on the file there now.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int opened = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (opened < 0) {
            const int code = errno;
            // A file this user cannot open was never written by a process of
            // this user, and a link is no lock file: neither has a holder to
            // ask, and goes.
            if ((code == EACCES || code == ELOOP) && attempt == 0 && ::unlink(name.constData()) == 0)
                continue;
            return fail(code);
        }
        if (::flock(opened, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            ::close(opened);
            return code == EWOULDBLOCK ? HeldElsewhere : fail(code);
        }
        if (isFileAt(opened, name)) {
            // The holder's process id, for a person who looks (a full disk
            // leaves it empty: the lock holds all the same).
            const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
            [[maybe_unused]] const bool written = ::ftruncate(opened, 0) == 0
                && ::write(opened, pid.constData(), size_t(pid.size())) == pid.size();
            fd = opened;
            error.clear();
            return Taken;
        }
        ::close(opened);
    }
    return fail(EAGAIN);
}

void RunLockFile::unlock()
{
    if (fd < 0)
        return;
    // Removed while still held, and only when the path still names this
    // file: another holder's file put in its place stays.
    const QByteArray name = QFile::encodeName(path);
    if (isFileAt(fd, name))
        ::unlink(name.constData());
    ::close(fd);
    fd = -1;
}
