#include "SingleInstanceLock.h"

#include "PrivateFolder.h"
#include "SettingsStore.h"

#include <QDebug>
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

QString SingleInstanceLock::lockFilePath(QString* why)
{
    // The runtime folder only when it is the user's alone (it may be
    // inherited from another user after su, or a shared folder's
    // "runtime-<user>" made by someone else first); else the program's own
    // folder of the user. Never a shared folder, where another user's file
    // under the lock's name would keep the program from starting.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!PrivateFolder::isPrivate(dir))
        dir = PrivateFolder::own(why);
    return dir.isEmpty() ? QString() : QDir(dir).absoluteFilePath(QLatin1String(lockName) + QLatin1String(".lock"));
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
    // cut short, another host); a running client holds its lock all along.
    return removeUnheldLockFile(lock) && lock.tryLock(0);
}

bool SingleInstanceLock::tryLock()
{
    if (lock && lock->isLocked())
        return true;
    QString why;
    const QString path = lockFilePath(&why);
    // Without a folder for it, or when the lock file cannot be written at
    // all: like a failed mutex creation, this does not stop the start.
    if (path.isEmpty()) {
        qWarning().noquote() << "no single-instance lock: no folder of this user's own (" + why + ")";
        return true;
    }
    lock = std::make_unique<QLockFile>(path);
    if (takeLock(*lock))
        return true;
    if (lock->error() == QLockFile::LockFailedError)
        return false;
    qWarning().noquote() << "no single-instance lock:" << path << "cannot be written";
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
