#include "QuitSignals.h"

#include "Logging.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler only writes a byte: the event loop reads it and ends itself,
// where anything may be done.
int wakeFds[2] = {-1, -1};

extern "C" void onQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
    // A way out that hangs (a stalled sound server, a frozen link) still ends:
    // SIGALRM's own action ends the process.
    ::alarm(QuitSignals::boundSeconds);
}

} // namespace

bool QuitSignals::install()
{
    if (wakeFds[0] != -1)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, wakeFds) != 0) {
        qCWarning(lcApp) << "no quit on the system's signals: cannot make the wake-up pair";
        wakeFds[0] = wakeFds[1] = -1;
        return false;
    }
    auto* notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[16];
        while (::read(wakeFds[1], bytes, sizeof bytes) > 0) {
        }
        qCInfo(lcApp) << "the system asked the program to end";
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    // The first signal asks; a second one takes the system's own action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    bool ok = true;
    for (const int sig : {SIGTERM, SIGINT})
        ok = ::sigaction(sig, &action, nullptr) == 0 && ok;
    if (!ok)
        qCWarning(lcApp) << "no quit on the system's signals: the handlers were refused";
    return ok;
}

void QuitSignals::finished()
{
    ::alarm(0);
}
