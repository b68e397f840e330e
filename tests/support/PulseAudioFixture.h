#pragma once
// A PulseAudio server with a null sink for one test, its files in a private folder below TMPDIR; it dies with
// the fixture or the test process. Stalled, it is a hung sound server: its socket takes connections, nothing answers.
// What its sink plays is recorded from the sink's monitor, so that a test hears what a player would.

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <QElapsedTimer>

#include <algorithm>
#include <cstdlib>
#include <csignal>
#include <sys/prctl.h>

class PulseAudioFixture
{
public:
    ~PulseAudioFixture() { stop(); }

    /// Starts the server and its recorder, and waits (at most 10 s) until its socket answers. Its sink rewinds
    /// when asked to, as a sound card's does: a stream cut off then is not heard.
    bool start(QString* error, bool rewinds = false)
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
                                     "--realtime=no -L")
                              .split(QLatin1Char(' '))
                          // Its monitor keeps the start of every stream only when the sink never rewinds.
                          << QStringLiteral("module-null-sink") + (rewinds ? "" : " norewinds=1") << QStringLiteral("-L")
                          << QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket());
        for (QDeadlineTimer deadline(10000); process.waitForStarted(1000) && !deadline.hasExpired();) {
            QLocalSocket probe;
            probe.connectToServer(socket());
            if (probe.waitForConnected(200) && record())
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
        recorder.kill();
        recorder.waitForFinished(5000);
    }

    /// Whether the sink plays anything but silence within `ms` from now: the milliseconds until it does, -1 if not.
    int heardWithin(int ms)
    {
        QElapsedTimer waited;
        waited.start();
        // What was played before now, also what still waits in the pipe.
        recorder.readAllStandardOutput();
        for (int i = 0; i < 100 && recorder.waitForReadyRead(0); ++i)
            recorder.readAllStandardOutput();
        for (; waited.elapsed() < ms; recorder.waitForReadyRead(20)) {
            const QByteArray pcm = recorder.read(recorder.bytesAvailable() & ~qint64(1));
            const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
            for (qsizetype i = 0; i < pcm.size() / 2; ++i) {
                if (std::abs(samples[i]) > 300)
                    return int(waited.elapsed());
            }
        }
        return -1;
    }
    /// How many sounds (each after 5 ms of silence) the sink plays while `play` runs, and
    /// `tailMs` after: counted on the sink's own clock (44 samples a
    /// piece), so a busy machine that runs `play` late changes nothing.
    template <typename Play>
    int soundsHeard(Play play, int tailMs)
    {
        recorder.readAllStandardOutput();
        for (int i = 0; i < 100 && recorder.waitForReadyRead(0); ++i)
            recorder.readAllStandardOutput();
        play();
        QByteArray pcm = recorder.readAllStandardOutput();
        for (QDeadlineTimer tail(tailMs); !tail.hasExpired(); recorder.waitForReadyRead(20))
            pcm += recorder.readAllStandardOutput();
        const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
        int sounded = 0;
        for (qsizetype piece = 0, silent = 5; piece + 44 <= pcm.size() / 2; piece += 44) {
            const bool loud = std::any_of(samples + piece, samples + piece + 44, [](qint16 s) { return std::abs(s) > 300; });
            sounded += loud && silent >= 5;
            silent = loud ? 0 : silent + 1;
        }
        return sounded;
    }
    /// Waits (at most `ms`) until the sink has been silent for a fifth of a second.
    bool quiet(int ms)
    {
        for (QDeadlineTimer deadline(ms); !deadline.hasExpired();) {
            if (heardWithin(200) < 0)
                return true;
        }
        return false;
    }

private:
    void signal(int sig)
    {
        if (process.processId() > 0) // never 0: the test's own process group
            ::kill(pid_t(process.processId()), sig);
    }
    QString socket() const { return dir.filePath(QStringLiteral("native")); }
    bool record()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), address());
        recorder.setProcessEnvironment(env);
        recorder.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        recorder.start(QStandardPaths::findExecutable(QStringLiteral("parec")),
                       QStringLiteral("-d @DEFAULT_MONITOR@ --raw --format=s16le --rate=44100 --channels=1 --latency-msec=20")
                           .split(QLatin1Char(' ')));
        return recorder.waitForStarted(5000) && recorder.waitForReadyRead(5000); // it takes a second to begin
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/pulse-XXXXXX")};
    QProcess process;
    QProcess recorder;
};
