#pragma once
// A PulseAudio server with one null sink for one test, its socket and files
// in a private folder below the test's TMPDIR. It dies with the fixture, and
// with the test process when that one is killed; stall() stops it as a hung
// sound server is: its socket still takes connections, nothing answers.

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

class PulseAudioFixture
{
public:
    ~PulseAudioFixture() { stop(); }

    /// Starts the server and waits (at most 10 s) until its socket answers.
    bool start(QString* error)
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        *error = program.isEmpty() ? QStringLiteral("pulseaudio is not installed") : dir.errorString();
        if (program.isEmpty() || !dir.isValid())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
            env.insert(QLatin1String(var), dir.path());
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(dir.filePath(QStringLiteral("pulse.log")));
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(program, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--use-pid-file=no"),
                                QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--no-cpu-limit"),
                                QStringLiteral("--realtime=no"), QStringLiteral("-L"), QStringLiteral("module-null-sink"),
                                QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=")
                                                          + socketPath()});
        for (QDeadlineTimer deadline(10000); process.waitForStarted(1000) && !deadline.hasExpired();) {
            QLocalSocket probe;
            probe.connectToServer(socketPath());
            if (probe.waitForConnected(200))
                return true;
            QThread::msleep(50);
        }
        *error = QStringLiteral("pulseaudio did not start: ") + process.errorString();
        stop();
        return false;
    }
    /// The value of PULSE_SERVER for a client of this server.
    QString address() const { return QStringLiteral("unix:") + socketPath(); }
    void stall() { signal(SIGSTOP); }
    void resume() { signal(SIGCONT); }
    /// Ends the server (stalled or not): SIGTERM, at most 5 s, then SIGKILL.
    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        resume();
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }

private:
    void signal(int sig)
    {
        if (process.processId() > 0) // never 0: that would be the test's own process group
            ::kill(pid_t(process.processId()), sig);
    }
    QString socketPath() const { return dir.filePath(QStringLiteral("native")); }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/pulse-XXXXXX")};
    QProcess process;
};
