#pragma once
// A PulseAudio server with a null sink for one test, its files in a private folder below TMPDIR; it dies with
// the fixture or the test process. Stalled, it is a hung sound server: its socket takes connections, nothing answers.

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <sys/prctl.h>

class PulseAudioFixture
{
public:
    ~PulseAudioFixture() { stop(); }

    /// Starts the server and waits (at most 10 s) until its socket answers.
    bool start(QString* error)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
            env.insert(QLatin1String(var), dir.path());
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(dir.filePath(QStringLiteral("pulse.log")));
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(QStandardPaths::findExecutable(QStringLiteral("pulseaudio")),
                      QStringLiteral("-n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --no-cpu-limit "
                                     "--realtime=no -L module-null-sink -L")
                              .split(QLatin1Char(' '))
                          << QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket());
        for (QDeadlineTimer deadline(10000); process.waitForStarted(1000) && !deadline.hasExpired();) {
            QLocalSocket probe;
            probe.connectToServer(socket());
            if (probe.waitForConnected(200))
                return true;
            process.waitForFinished(50);
        }
        *error = QStringLiteral("pulseaudio did not start: ") + process.errorString();
        stop();
        return false;
    }
    /// The value of PULSE_SERVER for a client of this server.
    QString address() const { return QStringLiteral("unix:") + socket(); }
    void stall() { signal(SIGSTOP); }
    void resume() { signal(SIGCONT); }
    /// Ends the server at once, stalled or not.
    void stop()
    {
        process.kill();
        process.waitForFinished(5000);
    }

private:
    void signal(int sig)
    {
        if (process.processId() > 0) // never 0: the test's own process group
            ::kill(pid_t(process.processId()), sig);
    }
    QString socket() const { return dir.filePath(QStringLiteral("native")); }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/pulse-XXXXXX")};
    QProcess process;
};
