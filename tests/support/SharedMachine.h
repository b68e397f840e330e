#pragma once
// Steps of a test as on a machine shared with other users: as throwaway
// uids (only root can), or on a thread a FIFO in their way cannot hold.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <memory>
#include <optional>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sharedmachine {

constexpr uid_t player = 64071, someoneElse = 64072;

inline bool makeFolder(const QByteArray& native, uid_t owner, mode_t mode)
{
    ::mkdir(native.constData(), mode);
    return ::chown(native.constData(), owner, owner) == 0 && ::chmod(native.constData(), mode) == 0;
}

/// A folder open to all with a shared temporary folder "tmp" (root's, 1777)
/// and the folders given (name, owner, mode).
struct UsersFolders
{
    explicit UsersFolders(std::initializer_list<std::tuple<const char*, uid_t, mode_t>> owned)
        : ok(::chmod(in({}).constData(), 0755) == 0 && makeFolder(in("tmp"), 0, 01777))
    {
        for (const auto& [name, owner, mode] : owned)
            ok = ok && makeFolder(in(QLatin1String(name)), owner, mode);
    }
    QByteArray in(const QString& name) const { return QFile::encodeName(base.filePath(name)); }
    /// The first folder of a path below it.
    QString topOf(const QString& path) const { return QDir(base.path()).relativeFilePath(path).section(u'/', 0, 0); }

    const QTemporaryDir base{QDir::tempPath() + QStringLiteral("/users-XXXXXX")};
    bool ok;
};

/// While it lives, the process has the rights of `uid` (every thread) and
/// the variables given ("NAME=value"; "NAME=" unsets), as they were after.
class AsUser
{
public:
    AsUser(uid_t uid, const QList<QByteArray>& variables)
        : changed(uid != ::geteuid())
    {
        for (const QByteArray& variable : variables) {
            const QByteArray name = variable.left(variable.indexOf('='));
            saved.append({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
            variable.endsWith('=') ? qunsetenv(name) : qputenv(name, variable.mid(name.size() + 1));
        }
        ok = !changed || (::setresgid(uid, uid, 0) == 0 && ::setresuid(uid, uid, 0) == 0);
    }
    ~AsUser()
    {
        if (changed)
            ok = ::setresuid(0, 0, 0) == 0 && ::setresgid(0, 0, 0) == 0;
        for (const auto& [name, value] : saved)
            value ? qputenv(name, *value) : qunsetenv(name);
    }
    bool ok = false;

private:
    const bool changed;
    QList<std::pair<QByteArray, std::optional<QByteArray>>> saved;
};

/// Runs `step` on a thread; false when it waited 10 s on a FIFO (then opened to let it go).
inline bool finishesInTime(const std::function<void()>& step, const QStringList& fifos)
{
    const std::unique_ptr<QThread> thread(QThread::create(step));
    thread->start();
    const bool inTime = thread->wait(10000);
    while (!thread->wait(200))
        for (const QString& fifo : fifos)
            if (const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                ::close(fd);
    return inTime;
}

} // namespace sharedmachine
