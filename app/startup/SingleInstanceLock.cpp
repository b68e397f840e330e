#include "SingleInstanceLock.h"

#include "PrivateFolder.h"
#include "RunLockFile.h"

#include <QDebug>
#include <QDir>
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
    lock = std::make_unique<RunLockFile>(path);
    switch (lock->tryLock()) {
    case RunLockFile::Taken:
        return true;
    case RunLockFile::HeldElsewhere:
        return false;
    case RunLockFile::Failed:
        break;
    }
    qWarning().noquote() << "no single-instance lock:" << path << "cannot be written (" + lock->errorString() + ")";
    lock.reset();
    return true;
}

void SingleInstanceLock::unlock()
{
    lock.reset();
}

bool SingleInstanceLock::isLocked() const
{
    return lock && lock->isLocked();
}
