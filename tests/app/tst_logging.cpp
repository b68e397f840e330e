#include "Logging.h"
#include "MessageBoxWatcher.h"
#include "SharedMachine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTime>

#include <csignal>
#include <cstdio>
#include <thread>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readLog()
{
    QFile f(Logging::logFilePath());
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

}

class TestLogging : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Logging::minLogLevel = 1;
        delete Logging::logFilter;
        Logging::logFilter = nullptr;
        Logging::closeLogFile();
        QFile::remove(Logging::logFilePath());
        QFile::remove(Logging::logFilePath() + QStringLiteral(".old"));
    }

    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        Logging::closeLogFile();
    }

    void lineFormat()
    {
        const QTime t(9, 5, 7, 42);
        QCOMPARE(Logging::formatLine(QtDebugMsg, QStringLiteral("d"), t), QByteArray("09:05:07.042 [DEBUG] d\n"));
        QCOMPARE(Logging::formatLine(QtWarningMsg, QStringLiteral("w"), t), QByteArray("09:05:07.042 [WARN ] w\n"));
        QCOMPARE(Logging::formatLine(QtCriticalMsg, QStringLiteral("c"), t), QByteArray("09:05:07.042 [CRIT ] c\n"));
        QCOMPARE(Logging::formatLine(QtFatalMsg, QStringLiteral("f"), t), QByteArray("09:05:07.042 [FATAL] f\n"));
        // An information line carries its own tag.
        QCOMPARE(Logging::formatLine(QtWarningMsg, QStringLiteral(" [INFO ] hello"), t),
                 QByteArray("09:05:07.042 [INFO ] hello\n"));
        // The tag only counts at the very start.
        QCOMPARE(Logging::formatLine(QtWarningMsg, QStringLiteral("x [INFO ] hello"), t),
                 QByteArray("09:05:07.042 [WARN ] x [INFO ] hello\n"));
        // Text is written as UTF-8.
        QCOMPARE(Logging::formatLine(QtWarningMsg, QStringLiteral("麻雀"), t),
                 QByteArray("09:05:07.042 [WARN ] ") + QStringLiteral("麻雀").toUtf8() + '\n');
        for (QtMsgType type : {QtDebugMsg, QtWarningMsg, QtCriticalMsg, QtFatalMsg})
            QCOMPARE(Logging::levelTag(type, QStringLiteral("x")).size(), 9);
    }

    void logLivesInAFolderOfTheUsersOwn_data()
    {
        QTest::addColumn<QString>("temporary"); // a folder of the row
        QTest::addColumn<uint>("cacheOwner");
        QTest::addColumn<QString>("where"); // the log's folder, or what standard error says
        using sharedmachine::player;
        QTest::newRow("shared, another's log in it") << QStringLiteral("tmp") << player << QStringLiteral("cache");
        QTest::newRow("temporary folder missing") << QStringLiteral("none") << player << QStringLiteral("cache");
        QTest::newRow("no folder of the user's own") << QStringLiteral("tmp") << uint(sharedmachine::someoneElse)
                                                     << QStringLiteral("No log file: no folder of this user's own");
    }
    void logLivesInAFolderOfTheUsersOwn()
    {
        if (::geteuid() != 0)
            QSKIP("only root can act as two other users");
        QFETCH(QString, temporary);
        QFETCH(uint, cacheOwner);
        QFETCH(QString, where);
        using namespace sharedmachine;
        const UsersFolders folders{{"cache", cacheOwner, 0700}, {"mine", player, 0700}};
        const auto in = [&folders](const QString& name) { return folders.in(name); };
        QVERIFY(folders.ok);
        QLockFile held(in("tmp/mahjong.log.lock"));
        QVERIFY(held.tryLock(0));
        for (const QByteArray& name : {in("tmp/mahjong.log"), in("tmp/mahjong.log.old"), in("tmp/mahjong.log.lock")})
            QVERIFY(QFile(name).open(QIODevice::Append) && ::chown(name.constData(), someoneElse, 0) == 0);

        const AsUser as(player, {"TMPDIR=" + in(temporary), "XDG_CACHE_HOME=" + in("cache")});
        // Standard error into a file, to read what was said.
        const int standardError = ::dup(2), file = ::open(in("mine/said").constData(), O_WRONLY | O_CREAT, 0600);
        ::dup2(file, 2);
        Logging::openLogFile();
        ::dup2(standardError, 2);
        ::close(standardError);
        ::close(file);
        Logging::writeLog("a line\n");
        QFile log(Logging::logFilePath()), said(QString::fromLocal8Bit(in("mine/said")));
        Logging::closeLogFile();
        QVERIFY(as.ok && said.open(QIODevice::ReadOnly));
        QCOMPARE(log.open(QIODevice::ReadOnly) && log.readAll() == "a line\n"
                     ? folders.topOf(log.fileName())
                     : QString::fromUtf8(said.readLine()).section(QLatin1Char('('), 0, 0).trimmed(),
                 where);
    }

    void logIsReadableByItsUserOnly()
    {
        // Also when an older log with wider rights was there before.
        QFile before(QDir(QDir::tempPath()).absoluteFilePath(QStringLiteral("mahjong.log")));
        QVERIFY(before.open(QIODevice::WriteOnly));
        before.close();
        QVERIFY(before.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                      | QFileDevice::ReadOther | QFileDevice::WriteOther));
        Logging::openLogFile();
        Logging::writeLog("private\n");
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        QCOMPARE(QFileInfo(Logging::logFilePath()).permissions() & others, QFileDevice::Permissions());
        QCOMPARE(readLog(), QByteArray("private\n"));
    }

    void logOfAnotherRunningClientIsLeftAlone()
    {
        // A client that locks another runtime folder shares this temporary
        // folder: its log is neither renamed nor emptied by a second start.
        Logging::openLogFile();
        Logging::writeLog("first client\n");
        QLockFile otherWriter(Logging::logFilePath() + QStringLiteral(".lock"));
        Logging::closeLogFile(); // hand the log's lock over to "another client"
        QVERIFY(otherWriter.tryLock(0));
        Logging::openLogFile();
        Logging::writeLog("second client\n");
        Logging::closeLogFile();
        QCOMPARE(readLog(), QByteArray("first client\n"));
        QVERIFY(!QFile::exists(Logging::logFilePath() + QStringLiteral(".old")));
        otherWriter.unlock();
        // Once that client is gone the log rotates as usual.
        Logging::openLogFile();
        Logging::writeLog("third client\n");
        QCOMPARE(readLog(), QByteArray("third client\n"));
    }

    void rotation()
    {
        Logging::openLogFile();
        Logging::writeLog("first run\n");
        Logging::closeLogFile();

        Logging::openLogFile();
        QCOMPARE(readLog(), QByteArray());
        Logging::writeLog("second run\n");
        QFile old(Logging::logFilePath() + QStringLiteral(".old"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("first run\n"));
        old.close();
        Logging::closeLogFile();

        // A third start replaces the old file.
        Logging::openLogFile();
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("second run\n"));
    }

    void levelsAndInfo()
    {
        Logging::openLogFile();
        qInstallMessageHandler(Logging::messageHandler);
        qDebug("dropped debug");
        qWarning("a warning");
        logInfo() << "info" << QStringLiteral("quoted") << 5;
        QByteArray log = readLog();
        QVERIFY(!log.contains("dropped debug"));
        const QList<QByteArray> lines = log.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[WARN \\] a warning$"))
                    .match(QString::fromUtf8(lines.at(0)))
                    .hasMatch());
        QCOMPARE(lines.at(1).mid(12), QByteArray(" [INFO ]  info \"quoted\" 5"));

        Logging::minLogLevel = 0;
        qDebug("kept debug");
        QVERIFY(readLog().contains(" [DEBUG] kept debug\n"));
    }

    void filter()
    {
        Logging::openLogFile();
        qInstallMessageHandler(Logging::messageHandler);
        Logging::minLogLevel = 0;
        Logging::logFilter = new QRegularExpression(QStringLiteral("cm:"));
        qDebug("app: not this one");
        qWarning("cm: this one");
        qWarning("also cm: this");
        // A critical message that does not match is neither written nor shown.
        qCritical("critical without match");
        const QByteArray log = readLog();
        QVERIFY(!log.contains("not this one"));
        QVERIFY(!log.contains("critical without match"));
        QVERIFY(log.contains("[WARN ] cm: this one\n"));
        QVERIFY(log.contains("[WARN ] also cm: this\n"));
    }

    void criticalIsWrittenWithinTheLogBound()
    {
        Logging::openLogFile();
        qInstallMessageHandler(Logging::messageHandler);
        qCritical("something broke");
        QVERIFY(readLog().contains(" [CRIT ] something broke\n"));
        QCOMPARE(Logging::criticalBox(QStringLiteral("Error"), QStringLiteral("<b>server</b>"))->textFormat(), Qt::PlainText);
        // The file keeps its bound, whatever writes to it; critical lines keep some room.
        const QByteArray longest(Logging::maxLineText, 'w');
        for (qint64 i = 0; i < Logging::maxLogSize / Logging::maxLineText; ++i)
            qWarning("%s", longest.constData());
        qWarning("short, after the bound was met");
        Logging::writeLog(std::string(5000, 'x'));
        qCritical("still written");
        const QByteArray log = readLog();
        QVERIFY2(log.size() <= Logging::maxLogSize && log.count("later lines are left out") == 1
                     && log.endsWith(" [CRIT ] still written\n") && !log.contains("short, after"),
            log.right(300).constData());
    }

    void linesAndBoxes_data()
    {
        QTest::addColumn<QByteArray>("category");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("box");
        const QString forged = QStringLiteral("x\n09:00:00.000 [CRIT ] The server closed the connection");
        const QString flat = QString(forged).replace(u'\n', u' ');
        QTest::newRow("the program's critical message") << QByteArray("parlor.app") << int(QtCriticalMsg)
                                                         << forged.mid(2) << forged.mid(2) << true;
        QTest::newRow("the chat's") << QByteArray("parlor.xmpp") << int(QtCriticalMsg) << flat << flat << true;
        QTest::newRow("a page's console error") << QByteArray("js") << int(QtCriticalMsg) << forged << flat << false;
        QTest::newRow("multimedia's") << QByteArray("qt.multimedia.ffmpeg") << int(QtCriticalMsg) << forged << flat << false;
        QTest::newRow("Qt's") << QByteArray("default") << int(QtCriticalMsg) << forged << flat << false;
        const QString huge(20'000'000, u'w');
        QTest::newRow("a warning of 20 MB") << QByteArray("parlor.app") << int(QtWarningMsg) << huge
            << huge.left(Logging::maxLineText) + QStringLiteral(" [19991808 more characters left out]") << false;
    }

    void linesAndBoxes()
    {
        QFETCH(QByteArray, category);
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(QString, line);
        QFETCH(bool, box);
        Logging::openLogFile();
        qInstallMessageHandler(Logging::messageHandler);
        MessageBoxWatcher boxes;
        const QMessageLogger logger(nullptr, 0, nullptr, category.constData());
        for (int i = 0; i < 6; ++i)
            (type == QtCriticalMsg ? logger.critical() : logger.warning()).noquote() << text;
        QTest::qWait(500);
        // One line each, cut short: the log goes on after any of them.
        qWarning("after");
        const QList<QByteArray> lines = readLog().split('\n');
        QCOMPARE(lines.size(), 8);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(QString::fromUtf8(lines.at(i).mid(21)), line);
        QVERIFY(lines.at(6).endsWith(" [WARN ] after"));
        // Only the program's own critical message is shown, once while it waits.
        QCOMPARE(boxes.seen, box ? QStringList{QStringLiteral("Error|") + text} : QStringList());
    }

    void boxesOneAtATime()
    {
        // What is said while a box is open reaches the log; the next box waits for it.
        Logging::openLogFile();
        qInstallMessageHandler(Logging::messageHandler);
        MessageBoxWatcher boxes;
        boxes.whileOpen = [&boxes] {
            if (boxes.seen.size() == 1) {
                qCWarning(lcApp, "said while the first box is open");
                qCCritical(lcApp, "third");
            }
        };
        qCCritical(lcApp, "first");
        qCCritical(lcApp, "second");
        QTRY_COMPARE_WITH_TIMEOUT(boxes.seen.size(), 3, 10000);
        QCOMPARE(boxes.seen, (QStringList{"Error|first", "Error|second", "Error|third"}));
        QCOMPARE(boxes.mostOpen, 1);
        const QByteArray log = readLog();
        QVERIFY2(log.contains(" [WARN ] said while the first box is open\n") && log.contains(" [CRIT ] third\n"), log.constData());
    }

    void otherThreadsLogWholeLines()
    {
        Logging::openLogFile();
        qInstallMessageHandler(Logging::messageHandler);
        QList<QThread*> threads;
        for (int t = 0; t < 4; ++t) {
            threads << QThread::create([t] {
                for (int i = 0; i < 200; ++i)
                    qWarning("thread %d line %d", t, i);
                // A critical message off the GUI thread must not touch widgets here.
                qCritical("thread %d critical", t);
            });
            threads.last()->start();
        }
        for (QThread* th : threads) {
            QVERIFY(th->wait(10000));
            delete th;
        }
        const QList<QByteArray> lines = readLog().split('\n');
        int count = 0;
        for (const QByteArray& line : lines) {
            if (line.isEmpty())
                continue;
            ++count;
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[(WARN |CRIT )\\] thread \\d "
                                                        "(line \\d+|critical)$"))
                         .match(QString::fromUtf8(line))
                         .hasMatch(),
                     line.constData());
        }
        QCOMPARE(count, 4 * 201);
    }

    void fatalClosesTheLogAndNamesIt()
    {
        const QString errPath = QDir::temp().absoluteFilePath(QStringLiteral("fatal-stderr.txt"));
        QFile::remove(errPath);
        Logging::openLogFile();
        Logging::writeLog("before\n");
        std::fflush(nullptr);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const int fd = ::open(errPath.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, 2);
            qInstallMessageHandler(Logging::messageHandler);
            // Off the GUI thread: the box's text goes to standard error.
            std::thread([] { Logging::fatal(QStringLiteral("fatal 100% broken")); }).join();
            ::_exit(0); // not reached: the handler aborts
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGABRT);
        const QByteArray log = readLog();
        QVERIFY(log.startsWith("before\n"));
        QVERIFY(log.endsWith(" [FATAL] fatal 100% broken\n"));
        QFile err(errPath);
        QVERIFY(err.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(err.readAll());
        QVERIFY2(text.contains(QStringLiteral("fatal 100% broken\nPlease send the log file '%1' to ")
                                   .arg(Logging::logFilePath())),
                 qPrintable(text));
        QVERIFY(text.contains(QLatin1String(" with a description of what happened.")));
    }

    void writeLogWithoutFileDoesNothing()
    {
        Logging::writeLog("nowhere");
        QVERIFY(!QFile::exists(Logging::logFilePath()));
    }
};

QTEST_MAIN(TestLogging)
#include "tst_logging.moc"
