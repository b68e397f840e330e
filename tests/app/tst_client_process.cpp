// Starts the real client binary for the command line, the exit codes, the log
// file and the single-instance lock. Every child gets the test's private
// temporary, settings and runtime directories and the offscreen platform.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const int startTimeoutMs = 20000;

QString readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

}

class TestClientProcess : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir root;
    /// The client binary that run() starts.
    QString program = QStringLiteral(PARLOR_CLIENT_BINARY);
    QString tmpDir;
    QString logPath;
    QString oldLogPath;
    QList<QProcess*> children;
    /// A game server that accepts connections and never answers: a running
    /// client waits at its version handshake and talks to nothing else.
    QTcpServer silentServer;
    /// The browser sandbox variable the children get; a null text leaves it unset.
    QString sandboxVariable = QStringLiteral("1");
    std::function<void()> childSetup; ///< run in run()'s children before the client

    QProcessEnvironment environment(const QString& runtime = QStringLiteral("runtime")) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmpDir);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(runtime));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (sandboxVariable.isNull())
            env.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        else
            env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), sandboxVariable);
        return env;
    }

    /// Runs the client to its end; returns the exit code.
    int run(const QStringList& args, QString* out = nullptr, QString* err = nullptr, int timeoutMs = 20000)
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.setChildProcessModifier(childSetup);
        p.setWorkingDirectory(root.path());
        p.start(program, args);
        if (!p.waitForStarted(5000))
            return -100;
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished(5000);
            return -200;
        }
        if (out != nullptr)
            *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        if (err != nullptr)
            *err = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -300;
    }

    /// Starts the client with `args`, on loopback only: the silent game
    /// server, and a closed web port.
    void startClient(QProcess& p, const QStringList& args = {})
    {
        p.setProcessEnvironment(environment());
        if (!silentServer.isListening())
            silentServer.listen(QHostAddress::LocalHost);
        p.start(QStringLiteral(PARLOR_CLIENT_BINARY),
                args + QStringList{QStringLiteral("--httphost"), QStringLiteral("127.0.0.1:1"),
                                   QStringLiteral("127.0.0.1:%1").arg(silentServer.serverPort())});
    }

    /// Starts a client that keeps running; waits until it has rotated the log
    /// and its new log names the session (and holds `until`, when given).
    QProcess* startRunning(const QStringList& args = {}, const QString& until = QString())
    {
        const QString previous = readAll(logPath);
        auto* p = new QProcess(this);
        children << p;
        p->setWorkingDirectory(root.path());
        startClient(*p, args);
        if (!p->waitForStarted(5000))
            return nullptr;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < startTimeoutMs) {
            const QString log = readAll(logPath);
            const bool fresh = previous.isEmpty() || !log.startsWith(previous);
            if (fresh && log.contains(QLatin1String("Session started at"))
                && (until.isEmpty() || log.contains(until)))
                return p;
            if (p->state() != QProcess::Running)
                return nullptr;
            p->waitForFinished(50);
        }
        return nullptr;
    }

    void stop(QProcess* p)
    {
        if (p == nullptr)
            return;
        children.removeAll(p);
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
        delete p;
    }

private Q_SLOTS:
    void cleanup()
    {
        // A failed check must not leave a client holding the lock for the next case.
        while (!children.isEmpty())
            stop(children.first());
    }

    void init()
    {
        QVERIFY(root.isValid());
        tmpDir = root.filePath(QStringLiteral("tmp"));
        QDir(tmpDir).removeRecursively();
        QVERIFY(QDir().mkpath(tmpDir));
        QDir(root.filePath(QStringLiteral("config"))).removeRecursively();
        QDir().mkpath(root.filePath(QStringLiteral("config")));
        QDir().mkpath(root.filePath(QStringLiteral("runtime")));
        QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        logPath = tmpDir + QStringLiteral("/mahjong.log");
        oldLogPath = tmpDir + QStringLiteral("/mahjong.log.old");
    }

    void helpPrintsOptionsAndExitsZero()
    {
        QString out;
        QString err;
        QCOMPARE(run({QStringLiteral("--help")}, &out, &err), 0);
        QVERIFY(out.startsWith(QLatin1String("usage: client [options] [host:port]")));
        for (const char* option : {"--help", "--host", "--httphost", "--user", "--password", "--lang", "--minloglevel",
                                   "--searchpath", "--nossl", "--install"})
            QVERIFY2(out.contains(QLatin1String(option)), option);
        // The library wraps the help texts at 80 columns.
        const QString unwrapped = out.simplified();
        QVERIFY(unwrapped.contains(QLatin1String("minimum log level, \"debug\", \"warning\", \"critical\", \"fatal\"")));
        QVERIFY(unwrapped.contains(QLatin1String("A ; separated list of directories to search for resources")));
        QVERIFY(out.contains(QLatin1String("Install custom data - called from installer")));
        // Help comes before any log file.
        QVERIFY(!QFile::exists(logPath));
        QCOMPARE(run({QStringLiteral("-h")}, &out), 0);
        QVERIFY(out.startsWith(QLatin1String("usage: client")));
    }

    void badCommandLineExitsOne_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")} << QStringLiteral("frobnicate");
        QTest::newRow("port empty") << QStringList{QStringLiteral("example.org:")}
                                    << QStringLiteral("invalid port \"\"");
        QTest::newRow("port not a number") << QStringList{QStringLiteral("example.org:12ab")}
                                           << QStringLiteral("invalid port \"12ab\"");
        QTest::newRow("port too large") << QStringList{QStringLiteral("example.org:70000")}
                                        << QStringLiteral("invalid port \"70000\"");
        QTest::newRow("port with a sign") << QStringList{QStringLiteral("example.org:+80")}
                                          << QStringLiteral("invalid port \"+80\"");
        QTest::newRow("two colons") << QStringList{QStringLiteral("a:1:2")}
                                    << QStringLiteral("invalid host+port specification \"a:1:2\"");
        QTest::newRow("two positionals") << QStringList{QStringLiteral("a"), QStringLiteral("b")} << QString();
        QTest::newRow("missing value") << QStringList{QStringLiteral("--user")} << QString();
        QTest::newRow("invalid filter") << QStringList{QStringLiteral("-m"), QStringLiteral("(unclosed")}
                                        << QStringLiteral("Invalid regexp specified");
    }

    void badCommandLineExitsOne()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QString out;
        QString err;
        QCOMPARE(run(args, &out, &err), 1);
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY(!err.trimmed().isEmpty());
        QVERIFY(!QFile::exists(logPath));
    }

    void installWritesNoLogAndTakesNoLock()
    {
        QProcess* first = startRunning();
        QVERIFY(first != nullptr);
        const QString before = readAll(logPath);
        // Install mode ignores the running instance and its log. It writes
        // beside the program: a copy of its own, not the build's. Rendering
        // every tile set takes a while in a sanitized build.
        program = root.filePath(QStringLiteral("client"));
        QVERIFY(QFile::copy(QStringLiteral(PARLOR_CLIENT_BINARY), program));
        const int installed = run({QStringLiteral("--install")}, nullptr, nullptr, 90000);
        program = QStringLiteral(PARLOR_CLIENT_BINARY);
        QCOMPARE(installed, 0);
        QVERIFY(readAll(logPath).startsWith(before));
        QVERIFY(!QFile::exists(oldLogPath));
        stop(first);
    }

    void rootNeedsTheSandboxVariable_data()
    {
        QTest::addColumn<QString>("variable"); // a null text: unset
        QTest::addColumn<bool>("refused");
        QTest::newRow("unset") << QString() << true;
        QTest::newRow("set but empty") << QStringLiteral("") << false;
    }

    void rootNeedsTheSandboxVariable()
    {
        if (geteuid() != 0)
            QSKIP("only a client run as root needs the browser sandbox off");
        QFETCH(QString, variable);
        QFETCH(bool, refused);
        sandboxVariable = variable;
        QString err;
        QVERIFY(silentServer.isListening() || silentServer.listen(QHostAddress::LocalHost));
        // A client that is not refused is still running when its time is up (-200).
        const int code = run({QStringLiteral("--httphost"), QStringLiteral("127.0.0.1:1"),
                              QStringLiteral("127.0.0.1:%1").arg(silentServer.serverPort())},
                             nullptr, &err, refused ? startTimeoutMs : 8000);
        sandboxVariable = QStringLiteral("1");
        const QString why = QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX=1");
        QCOMPARE(code, refused ? 1 : -200);
        QCOMPARE(err.contains(why), refused);
        QCOMPARE(readAll(logPath).contains(why), refused);
        QVERIFY(readAll(logPath).contains(QLatin1String("Session started at")));
    }

    void logLinesAndLevels()
    {
        QProcess* p = startRunning({QStringLiteral("-m"), QStringLiteral("DEBUG")}, QStringLiteral(" [DEBUG] "));
        QVERIFY(p != nullptr);
        stop(p);
        const QStringList lines = readAll(logPath).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(!lines.isEmpty());
        // The first line names the session, as an information line without a level tag.
        const QRegularExpression first(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d \\[INFO \\]  ?Session started at "
                                                      "\\d{4}-\\d\\d-\\d\\d "));
        QVERIFY2(first.match(lines.first()).hasMatch(), qPrintable(lines.first()));
        // The debug level lets the translation choice through.
        bool sawDebug = false;
        for (const QString& line : lines) {
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ")).match(line).hasMatch(),
                     qPrintable(line));
            sawDebug = sawDebug || line.mid(12, 9) == QLatin1String(" [DEBUG] ");
        }
        QVERIFY(sawDebug);
    }

    void defaultLevelDropsDebug()
    {
        QProcess* p = startRunning();
        QVERIFY(p != nullptr);
        stop(p);
        const QString log = readAll(logPath);
        QVERIFY(log.contains(QLatin1String("Session started at")));
        QVERIFY(!log.contains(QLatin1String(" [DEBUG] ")));
    }

    void filterKeepsOnlyMatchingLines()
    {
        QProcess* p = startRunning({QStringLiteral("--minloglevel"), QStringLiteral("Session st[a]rted")});
        QVERIFY(p != nullptr);
        stop(p);
        const QStringList lines = readAll(logPath).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().contains(QLatin1String("Session started at")));
    }

    void languageFromTheCommandLineIsSaved_data()
    {
        // What the settings folder holds before the start: a lock a crash left (QSettings would wait 30 s on
        // it), a key of a type this version does not know, or a folder in the file's place.
        QTest::addColumn<QString>("left");
        QTest::newRow("nothing") << QString();
        QTest::newRow("an empty lock") << QStringLiteral("lock:");
        QTest::newRow("another host's lock") << QStringLiteral("lock:4242\nclient\nfar-away-host\n");
        QTest::newRow("an unknown type kept") << QStringLiteral("[General]\nold=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\fSomeOldType\\0)\n");
        QTest::newRow("a folder at the file's path") << QStringLiteral("folder");
    }
    void languageFromTheCommandLineIsSaved()
    {
        QFETCH(QString, left);
        const QString conf = root.filePath(QStringLiteral("config/Zephyrtangle/Zephyrtangle-parlor7.conf"));
        QVERIFY(QDir().mkpath(left == "folder" ? conf : QFileInfo(conf).path()));
        if (!left.isEmpty() && left != "folder") {
            QFile leftFile(left.startsWith("lock:") ? conf + QStringLiteral(".lock") : conf);
            QVERIFY(leftFile.open(QIODevice::WriteOnly) && leftFile.write(left.section(':', -1).toUtf8()) >= 0);
        }
        QProcess* p = startRunning({QStringLiteral("-l"), QStringLiteral("ja_JP")});
        QVERIFY(p != nullptr);
        if (left == "folder") { // said once, with why
            QTRY_VERIFY_WITH_TIMEOUT(readAll(logPath).contains(QLatin1String("cannot be saved to")), 5000);
            QCOMPARE(readAll(logPath).count(QLatin1String("a folder is in its place - changes will not be kept")), 1);
            return;
        }
        const QString unknown = left.startsWith('[') ? left.section(QLatin1Char('\n'), 1, 1) : QString();
        QTRY_VERIFY_WITH_TIMEOUT(readAll(conf).contains(QLatin1String("language=ja\n")) && readAll(conf).contains(unknown), 5000);
        QVERIFY(!QFile::exists(conf + QStringLiteral(".lock")));
        stop(p);

        // A language without a translation: a warning, and the saved choice stays.
        p = startRunning({QStringLiteral("--lang"), QStringLiteral("xx")}, QStringLiteral("as translation"));
        QVERIFY(p != nullptr);
        QVERIFY(readAll(logPath).contains(QLatin1String(" [WARN ] failed to set \"xx\" as translation\n")));
        stop(p);
        QVERIFY(readAll(conf).contains(QLatin1String("language=ja\n")));
    }

    void secondInstanceRefusedAndLeavesLogAlone()
    {
        // An earlier run ended during a download: its file goes, a finished installer stays.
        const auto touch = [this](const char* name) {
            QFile f(tmpDir + QLatin1Char('/') + QLatin1String(name));
            return f.open(QIODevice::WriteOnly) && f.write("MZ") == 2;
        };
        QVERIFY(touch("setupAb12Cd.exe.unfinished-download") && touch("setupEf34Gh.exe"));
        QProcess* first = startRunning();
        QVERIFY(first != nullptr);
        // Swept once the main window is up.
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(tmpDir + QStringLiteral("/setupAb12Cd.exe.unfinished-download")), startTimeoutMs);
        QVERIFY(QFile::exists(tmpDir + QStringLiteral("/setupEf34Gh.exe")));
        // The running client's own download is no other start's to remove.
        QVERIFY(touch("setupIj56Kl.exe.unfinished-download"));
        QFile::remove(oldLogPath);
        const QString before = readAll(logPath);

        QString err;
        QCOMPARE(run({}, nullptr, &err), 1);
        QVERIFY2(err.contains(QLatin1String("The application is already started in another window!")), qPrintable(err));
        // The running client's log is neither renamed nor emptied.
        QVERIFY(!QFile::exists(oldLogPath));
        QVERIFY(readAll(logPath).startsWith(before));
        QVERIFY(first->state() == QProcess::Running);

        // Two more at once: both refused.
        QProcess a;
        QProcess b;
        startClient(a);
        startClient(b);
        QVERIFY(a.waitForFinished(startTimeoutMs));
        QVERIFY(b.waitForFinished(startTimeoutMs));
        QCOMPARE(a.exitCode(), 1);
        QCOMPARE(b.exitCode(), 1);
        QVERIFY(QFile::exists(tmpDir + QStringLiteral("/setupIj56Kl.exe.unfinished-download")));
        stop(first);
    }

    void twoStartsAtOnceOnlyOneRuns()
    {
        QProcess a;
        QProcess b;
        startClient(a);
        startClient(b);
        QVERIFY(a.waitForStarted(5000));
        QVERIFY(b.waitForStarted(5000));
        // Exactly one of them gives up with exit code 1; the other keeps running.
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < startTimeoutMs && a.state() == QProcess::Running && b.state() == QProcess::Running)
            QTest::qWait(50);
        QProcess& ended = a.state() == QProcess::Running ? b : a;
        QProcess& running = a.state() == QProcess::Running ? a : b;
        QCOMPARE(ended.state(), QProcess::NotRunning);
        QCOMPARE(ended.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ended.exitCode(), 1);
        QTest::qWait(300);
        QCOMPARE(running.state(), QProcess::Running);
        // Only the winner touched the log.
        QVERIFY(!QFile::exists(oldLogPath));
        QCOMPARE(readAll(logPath).count(QLatin1String("Session started at")), 1);
        running.kill();
        running.waitForFinished(5000);
    }

    /// Starts a client with its own runtime folder and waits until it holds
    /// its instance lock and has had time to open a log.
    QProcess* startWithRuntime(const QString& runtime, const QProcessEnvironment& env)
    {
        const QString dir = root.filePath(runtime);
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        auto* p = new QProcess(this);
        children << p;
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(root.path());
        // On loopback only, like every other client here: the silent game
        // server and a closed web port, never the default hosts.
        if (!silentServer.isListening())
            silentServer.listen(QHostAddress::LocalHost);
        p->start(QStringLiteral(PARLOR_CLIENT_BINARY),
                 {QStringLiteral("--httphost"), QStringLiteral("127.0.0.1:1"),
                  QStringLiteral("127.0.0.1:%1").arg(silentServer.serverPort())});
        if (!p->waitForStarted(5000))
            return nullptr;
        // The log is opened right after the lock; then the style, the
        // translation and the splash take far longer than this.
        const bool locked = QTest::qWaitFor([&] { return !QDir(dir).entryList({QStringLiteral("*.lock")}).isEmpty(); },
                                            startTimeoutMs);
        QTest::qWait(500);
        return locked && p->state() == QProcess::Running ? p : nullptr;
    }

    void clientsWithOtherRuntimeFoldersLeaveTheLogAlone()
    {
        QProcess* first = startRunning();
        QVERIFY(first != nullptr);
        QFile::remove(oldLogPath);
        const QString before = readAll(logPath);
        // Two more, each with a runtime folder of its own and the same
        // temporary folder: they run, without a log.
        for (const QString& runtime : {QStringLiteral("runtime-b"), QStringLiteral("runtime-c")})
            QVERIFY(startWithRuntime(runtime, environment(runtime)) != nullptr);
        QVERIFY(!QFile::exists(oldLogPath));
        const QString after = readAll(logPath);
        QVERIFY(after.startsWith(before));
        QCOMPARE(after.count(QLatin1String("Session started at")), 1);
        QVERIFY(first->state() == QProcess::Running);
    }

    void missingTemporaryFolderLeavesTheCurrentFolderAlone()
    {
        // The client runs, and writes nothing into its current folder.
        QFile::remove(root.filePath(QStringLiteral("mahjong.log")));
        QFile kept(root.filePath(QStringLiteral("mahjong.log.old")));
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.write("not the client's\n");
        kept.close();
        QProcessEnvironment env = environment(QStringLiteral("runtime-d"));
        env.insert(QStringLiteral("TMPDIR"), root.filePath(QStringLiteral("no-such-folder")));
        QVERIFY(startWithRuntime(QStringLiteral("runtime-d"), env) != nullptr);
        QVERIFY(!QFile::exists(root.filePath(QStringLiteral("mahjong.log"))));
        QCOMPARE(readAll(root.filePath(QStringLiteral("mahjong.log.old"))), QStringLiteral("not the client's\n"));
        QFile::remove(root.filePath(QStringLiteral("mahjong.log.old")));
    }

    void fileSizeLimitIsAFullDisk()
    {
        // Under "ulimit -f 1" writes fail as on a full disk: the log stops, the client runs on.
        static const rlimit bound{1024, 1024};
        childSetup = [] { ::setrlimit(RLIMIT_FSIZE, &bound); };
        QVERIFY(silentServer.isListening() || silentServer.listen(QHostAddress::LocalHost));
        const QString server = QStringLiteral("127.0.0.1:%1").arg(silentServer.serverPort());
        QCOMPARE(run({"-m", "debug", "--httphost", "127.0.0.1:1", server}, nullptr, nullptr, 8000), -200);
        childSetup = nullptr;
        QCOMPARE(QFileInfo(logPath).size(), qint64(bound.rlim_cur));
    }

    void killedInstanceFreesTheLockAndLogRotates()
    {
        QProcess* first = startRunning();
        QVERIFY(first != nullptr);
        ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(5000));
        QCOMPARE(first->exitStatus(), QProcess::CrashExit);
        const QString firstLog = readAll(logPath);
        stop(first);

        QProcess* second = startRunning();
        QVERIFY2(second != nullptr, "a new start after a crash must succeed");
        // The crashed run's log is kept once as mahjong.log.old.
        QCOMPARE(readAll(oldLogPath), firstLog);
        stop(second);

        // A third start replaces that old file with the second run's log.
        const QString secondLog = readAll(logPath);
        QVERIFY(secondLog.contains(QLatin1String("Session started at")));
        QProcess* third = startRunning();
        QVERIFY(third != nullptr);
        QCOMPARE(readAll(oldLogPath), secondLog);
        stop(third);
    }
};

QTEST_GUILESS_MAIN(TestClientProcess)
#include "tst_client_process.moc"
