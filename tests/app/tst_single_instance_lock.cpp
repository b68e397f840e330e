// Lock files left behind by a crash, a damaged disk or another machine must
// never keep the client from starting; a live holder always does. Another
// user of the machine can neither hold the lock nor plant one, and the lock
// never lands in the current folder.

#include "OtherUser.h"
#include "SingleInstanceLock.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>

namespace {

/// The process id of a process that has ended.
qint64 endedProcessId()
{
    QProcess p;
    p.start(QStringLiteral("true"), QStringList());
    if (!p.waitForFinished(5000))
        return 0;
    return p.processId() ? p.processId() : 0;
}

}

class TestSingleInstanceLock : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    /// What a live QLockFile writes into its file, with one line replaced.
    QByteArray contentsWith(int line, const QByteArray& value)
    {
        QLockFile probe(dir.filePath(QStringLiteral("probe.lock")));
        if (!probe.tryLock(0))
            return QByteArray();
        QFile f(dir.filePath(QStringLiteral("probe.lock")));
        f.open(QIODevice::ReadOnly);
        QList<QByteArray> lines = f.readAll().split('\n');
        probe.unlock();
        if (line >= 0 && line < lines.size())
            lines[line] = value;
        return lines.join('\n');
    }

private Q_SLOTS:
    void leftBehindLocks_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("cut short") << QByteArray("12") << false;
        QTest::newRow("not a lock file") << QByteArray("\x7f" "ELF\x02\x01\x01") << false;
        QTest::newRow("unreadable") << contentsWith(-1, QByteArray()) << true;
        QTest::newRow("process that has ended") << contentsWith(0, QByteArray::number(endedProcessId())) << false;
        QTest::newRow("another host") << contentsWith(2, "some-other-machine.example") << false;
    }
    void leftBehindLocks()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, unreadable);
        // Root reads every file: an unreadable lock is one only to a user of
        // no rights beyond a file's, in a folder of that user.
        const bool asPlayer = unreadable && otheruser::available();
        const QString folder = asPlayer ? QDir::tempPath() + QStringLiteral("/player-locks") : dir.path();
        QVERIFY(!asPlayer || otheruser::makeFolder(folder, otheruser::player, 0700));
        const QString path = folder + QStringLiteral("/left.lock");
        QFile::remove(path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
        f.close();
        if (unreadable)
            QVERIFY(f.setPermissions(QFileDevice::Permissions()));
        QVERIFY(!asPlayer || ::chown(QFile::encodeName(path).constData(), otheruser::player, otheruser::player) == 0);

        const auto take = [path] {
            QLockFile lock(path);
            const bool taken = SingleInstanceLock::takeLock(lock) && lock.isLocked();
            lock.unlock();
            return QByteArray(taken && !QFile::exists(path) ? "taken, then gone" : "kept");
        };
        QCOMPARE(asPlayer ? otheruser::run(otheruser::player, {}, QString(), take).value_or("no child") : take(),
                 QByteArray("taken, then gone"));
    }

    void lockLivesInAFolderOfTheUsersOwn_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<QString>("temporary");
        QTest::addColumn<QByteArray>("outcome");
        // Someone else made the runtime folder's stand-in in the shared
        // temporary folder first, and holds a lock under the lock's name there.
        QTest::newRow("runtime folder unset, its stand-in someone else's")
            << QString() << QStringLiteral("shared") << QByteArray("started, second refused, in own folder");
        QTest::newRow("runtime folder inherited after su")
            << QStringLiteral("someone else's") << QStringLiteral("shared")
            << QByteArray("started, second refused, in own folder");
        // Two starts from two folders: the second finds the first's lock.
        QTest::newRow("temporary folder missing")
            << QString() << QStringLiteral("missing") << QByteArray("started, second refused, in own folder");
        QTest::newRow("runtime folder of the user's own")
            << QStringLiteral("own") << QStringLiteral("shared") << QByteArray("started, second refused, in runtime folder");
    }
    void lockLivesInAFolderOfTheUsersOwn()
    {
        if (!otheruser::available())
            QSKIP("only root can act as two other users");
        QFETCH(QString, runtime);
        QFETCH(QString, temporary);
        QFETCH(QByteArray, outcome);
        using namespace otheruser;
        QTemporaryDir base(QDir::tempPath() + QStringLiteral("/users-XXXXXX"));
        QVERIFY(QFile::setPermissions(base.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                       | QFile::ReadOther | QFile::ExeOther));
        const QString shared = base.filePath(QStringLiteral("tmp"));
        const passwd* account = ::getpwuid(player);
        const QString standIn = shared + QStringLiteral("/runtime-") + QString::fromLocal8Bit(account ? account->pw_name : "");
        QVERIFY(makeFolder(shared, 0, 01777) && makeFolder(standIn, someoneElse, 0700));
        QVERIFY(makeFolder(base.filePath(QStringLiteral("else-run")), someoneElse, 0700)
                && makeFolder(base.filePath(QStringLiteral("run")), player, 0700)
                && makeFolder(base.filePath(QStringLiteral("cache")), player, 0700)
                && makeFolder(base.filePath(QStringLiteral("one")), player, 0755)
                && makeFolder(base.filePath(QStringLiteral("two")), player, 0755));
        // Held by a live process (this one), and someone else's.
        QLockFile planted(shared + QLatin1Char('/') + QLatin1String(SingleInstanceLock::lockName) + QStringLiteral(".lock"));
        QVERIFY(planted.tryLock(0));
        QCOMPARE(::chown(QFile::encodeName(planted.fileName()).constData(), someoneElse, someoneElse), 0);

        const QString runtimeFolder = runtime.isEmpty() ? QString()
            : base.filePath(runtime == QLatin1String("own") ? QStringLiteral("run") : QStringLiteral("else-run"));
        const QString cache = base.filePath(QStringLiteral("cache"));
        const QString second = base.filePath(QStringLiteral("two"));
        const auto start = [cache, runtimeFolder, second] {
            const QString path = SingleInstanceLock::lockFilePath();
            const bool started = SingleInstanceLock::instance().tryLock();
            // A second client, started from another folder.
            QDir::setCurrent(second);
            QLockFile other(SingleInstanceLock::lockFilePath());
            const bool secondStarted = SingleInstanceLock::takeLock(other);
            const QString where = !runtimeFolder.isEmpty() && path.startsWith(runtimeFolder + QLatin1Char('/'))
                ? QStringLiteral("runtime folder")
                : path.startsWith(cache + QLatin1Char('/')) ? QStringLiteral("own folder") : path;
            return QStringLiteral("%1, second %2, in %3")
                .arg(QLatin1String(started ? "started" : "refused"), QLatin1String(secondStarted ? "started" : "refused"),
                     where)
                .toUtf8();
        };
        const QByteArray temporaryFolder = temporary == QLatin1String("shared")
            ? QFile::encodeName(shared) : QFile::encodeName(base.filePath(QStringLiteral("no-such-folder")));
        QCOMPARE(run(player,
                     {{"XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder)}, {"TMPDIR", temporaryFolder},
                      {"XDG_CACHE_HOME", QFile::encodeName(cache)}},
                     base.filePath(QStringLiteral("one")), start)
                     .value_or("no child"),
                 outcome);
        QVERIFY(QDir(base.filePath(QStringLiteral("one"))).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    void liveHolderBlocks_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("as written") << -1 << QByteArray();
        // Even when its file no longer names it (another host, emptied): its
        // lock on the file is what counts.
        QTest::newRow("file names another host") << 2 << QByteArray("some-other-machine.example");
        QTest::newRow("file emptied") << 0 << QByteArray();
    }
    void liveHolderBlocks()
    {
        QFETCH(int, line);
        QFETCH(QByteArray, value);
        const QString path = dir.filePath(QStringLiteral("held.lock"));
        QLockFile holder(path);
        QVERIFY(holder.tryLock(0));
        if (line >= 0) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QList<QByteArray> lines = f.readAll().split('\n');
            f.close();
            lines[line] = value;
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(line == 0 ? QByteArray() : lines.join('\n'));
            f.close();
        }
        QLockFile second(path);
        QVERIFY(!SingleInstanceLock::takeLock(second));
        QCOMPARE(second.error(), QLockFile::LockFailedError);
        QVERIFY(holder.isLocked());
        QVERIFY(QFile::exists(path));
        holder.unlock();
        QVERIFY(SingleInstanceLock::takeLock(second));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstanceLock)
#include "tst_single_instance_lock.moc"
