#pragma once

#include <QString>

#include <memory>

class RunLockFile;

/// The system-wide lock that keeps a second copy of the program from
/// starting. It is a lock file in the user's runtime directory when no one
/// else may write that, else in the program's own folder of the user
/// (PrivateFolder::own()): the first process holds it for its lifetime, a
/// later process finds it held, and the file of a process that died is
/// taken over (RunLockFile). No other user can hold it.
class SingleInstanceLock
{
public:
    /// The name of the lock, also the lock file's base name.
    static constexpr char lockName[] = "ZEPHYRTANGLE-AF4C28F7-F35C-4765-B82F-E6C494FF694C";

    static SingleInstanceLock& instance();

    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
    ~SingleInstanceLock();

    /// True when this process now holds the lock (or already held it); false
    /// when another running process holds it. A lock file that cannot be
    /// created for another reason (no folder for it among others) does not
    /// keep the program from starting: a warning says so.
    bool tryLock();
    /// Releases the lock when held.
    void unlock();
    bool isLocked() const;

    /// Full path of the lock file; empty, with the reason in `why`, when
    /// there is no folder for it.
    static QString lockFilePath(QString* why = nullptr);

private:
    SingleInstanceLock();
    std::unique_ptr<RunLockFile> lock;
};
