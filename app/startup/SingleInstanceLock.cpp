#include "SingleInstanceLock.h"

#include <QDir>
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

bool SingleInstanceLock::tryLock()
{
    if (lock && lock->isLocked())
        return true;
    lock = std::make_unique<QLockFile>(lockFilePath());
    // The holder keeps the lock for its whole run: age alone never makes it
    // stale, only a holder process that no longer exists.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
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
