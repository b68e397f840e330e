#pragma once

#include <QString>

/// A lock file held for the rest of a run: the file's own lock (flock), which
/// the system gives up when the process ends in whatever way, is the lock.
/// A file that nobody holds is simply taken over, whatever it says (left by
/// a crash, emptied, written on another host); nothing waits for a stale
/// holder, and nothing is synced to the disk first. Holders that lock the
/// same file with QLockFile, which also takes the file's own lock, exclude
/// it and are excluded by it.
class RunLockFile
{
public:
    enum Result {
        Taken,
        HeldElsewhere, ///< another process holds the file's lock
        Failed, ///< the file cannot be made or locked; see errorString()
    };

    explicit RunLockFile(const QString& path);
    ~RunLockFile();
    RunLockFile(const RunLockFile&) = delete;
    RunLockFile& operator=(const RunLockFile&) = delete;

    /// Never waits. Taken also when this object already holds the lock.
    Result tryLock();
    /// Removes the file and gives up its lock.
    void unlock();
    bool isLocked() const { return fd >= 0; }
    QString errorString() const { return error; }

private:
    QString path;
    QString error;
    int fd = -1;
};
