#pragma once
// Steps of a test run as another local user of the machine: in a child
// process that gives up root's rights for a throwaway uid (the tests run as
// root, whom no file permission stops), with the environment it is given.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace otheruser {

/// Two uids no account of the machine has: the player and someone else.
constexpr uid_t player = 64071;
constexpr uid_t someoneElse = 64072;

/// Whether steps can run as another user: only root can change to one.
inline bool available()
{
    return ::geteuid() == 0;
}

/// Makes a folder of `owner` with the mode, its parents as root makes them.
inline bool makeFolder(const QString& path, uid_t owner, mode_t mode)
{
    const QByteArray native = QFile::encodeName(path);
    return (::mkdir(native.constData(), mode) == 0 || errno == EEXIST) && ::chown(native.constData(), owner, owner) == 0
        && ::chmod(native.constData(), mode) == 0;
}

/// Runs `step` as `uid` in a child process with the environment variables
/// set (an empty value unsets one) and the working folder; returns what the
/// step returned, nothing when the child could not change user or ended
/// otherwise. The step must not use QTest's checks: it answers in text.
inline std::optional<QByteArray> run(uid_t uid, const std::vector<std::pair<const char*, QByteArray>>& environment,
                                     const QString& workingFolder, const std::function<QByteArray()>& step)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return std::nullopt;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        if (::setgroups(0, nullptr) != 0 || ::setresgid(uid, uid, uid) != 0 || ::setresuid(uid, uid, uid) != 0)
            ::_exit(2);
        for (const auto& [name, value] : environment) {
            if (value.isEmpty())
                ::unsetenv(name);
            else
                ::setenv(name, value.constData(), 1);
        }
        if (!workingFolder.isEmpty() && ::chdir(QFile::encodeName(workingFolder).constData()) != 0)
            ::_exit(3);
        const QByteArray answer = step();
        const bool written = ::write(pipe[1], answer.constData(), size_t(answer.size())) == answer.size();
        ::_exit(written ? 0 : 4);
    }
    ::close(pipe[1]);
    QByteArray answer;
    char buffer[4096];
    for (ssize_t n; child > 0 && (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, n);
    ::close(pipe[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}

} // namespace otheruser
