#pragma once
// Steps of a test as on a machine shared with other users: run as throwaway
// uids (only root, who runs the tests, can), or on a thread that a FIFO put
// in their way cannot hold for good.

#include <QFile>
#include <QStringList>
#include <QThread>

#include <functional>
#include <memory>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sharedmachine {

constexpr uid_t player = 64071, someoneElse = 64072;

inline bool makeFolder(const QString& path, uid_t owner, mode_t mode)
{
    const QByteArray native = QFile::encodeName(path);
    ::mkdir(native.constData(), mode);
    return ::chown(native.constData(), owner, owner) == 0 && ::chmod(native.constData(), mode) == 0;
}

/// What `step` answers as `uid` in a child in `folder`, with the variables
/// ("NAME=value"; "NAME=" unsets) set; it answers in text, not with QTest.
inline QByteArray run(uid_t uid, const QList<QByteArray>& variables, const QString& folder,
                      const std::function<QByteArray()>& step)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    if (::fork() == 0) {
        QByteArray answer = "not the user";
        if (::setgroups(0, nullptr) == 0 && ::setresgid(uid, uid, uid) == 0 && ::setresuid(uid, uid, uid) == 0
            && ::chdir(QFile::encodeName(folder).constData()) == 0) {
            for (const QByteArray& variable : variables) {
                const QByteArray name = variable.left(variable.indexOf('=')), value = variable.mid(name.size() + 1);
                value.isEmpty() ? ::unsetenv(name.constData()) : ::setenv(name.constData(), value.constData(), 1);
            }
            answer = step();
        }
        ::_exit(::write(fds[1], answer.constData(), size_t(answer.size())) < 0);
    }
    ::close(fds[1]);
    QFile answer;
    answer.open(fds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray text = answer.readAll();
    ::wait(nullptr);
    return text;
}

/// Runs `step` on a thread; false when it waited ten seconds on one of the
/// FIFOs, which are then opened for writing to let it go.
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
