#include "SingleInstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

SingleInstanceLock& SingleInstanceLock::instance()
{
    static SingleInstanceLock theLock;
    return theLock;
}

SingleInstanceLock::SingleInstanceLock() = default;

SingleInstanceLock::~SingleInstanceLock()
{
    unlock();
}

QString SingleInstanceLock::lockFilePath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    return QDir(dir).absoluteFilePath(QLatin1String(lockName) + QLatin1String(".lock"));
}

bool SingleInstanceLock::takeLock(QLockFile& lock)
{
    // The holder keeps the lock for its whole run: age alone never makes it
    // stale, only the lack of a live holder.
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return false;
    // QLockFile waits forever on a file whose holder it cannot name (empty,
    // cut short, another host). removeStaleLockFile() first takes the file's
    // own lock, which a live holder keeps for as long as it runs, so it never
    // removes the lock of a running process.
    bool removed = lock.removeStaleLockFile();
    if (!removed) {
        // A file this user cannot open at all was never written by a client
        // of this user: there is no lock of a holder to ask.
        const QFileInfo info(lock.fileName());
        if (info.exists() && !info.isReadable())
            removed = QFile::remove(lock.fileName());
    }
    return removed && lock.tryLock(0);
}

bool SingleInstanceLock::tryLock()
{
    if (lock && lock->isLocked())
        return true;
    lock = std::make_unique<QLockFile>(lockFilePath());
    if (takeLock(*lock))
        return true;
    if (lock->error() == QLockFile::LockFailedError)
        return false;
    // The lock file could not be written at all (no permission, no such
    // directory): like a failed mutex creation, this does not stop the start.
    return true;
}

void SingleInstanceLock::unlock()
{
    if (lock && lock->isLocked())
        lock->unlock();
    lock.reset();
}

bool SingleInstanceLock::isLocked() const
{
    return lock && lock->isLocked();
}
