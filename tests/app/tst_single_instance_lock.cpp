// Lock files left behind by a crash, a damaged disk or another machine must
// never keep the client from starting; a live holder always does.

#include "RunLockFile.h"
#include "SharedMachine.h"
#include "SingleInstanceLock.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
        QTest::addColumn<bool>("behindLink"); // the path is a link to where the contents were
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("cut short") << QByteArray("12") << false << false;
        QTest::newRow("not a lock file") << QByteArray("\x7f" "ELF\x02\x01\x01") << false << false;
        QTest::newRow("unreadable") << contentsWith(-1, QByteArray()) << true << false;
        QTest::newRow("process that has ended") << contentsWith(0, QByteArray::number(endedProcessId())) << false << false;
        QTest::newRow("another host") << contentsWith(2, "some-other-machine.example") << false << false;
        QTest::newRow("link to a removed file") << contentsWith(-1, QByteArray()) << false << true;
    }
    void leftBehindLocks()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, unreadable);
        QFETCH(bool, behindLink);
        const QString path = dir.filePath(QStringLiteral("left.lock"));
        QFile::remove(path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
        f.close();
        if (behindLink)
            QVERIFY(f.rename(path + QStringLiteral(".gone")) && f.remove() && QFile::link(f.fileName(), path));
        if (unreadable)
            QVERIFY(f.setPermissions(QFileDevice::Permissions()));
        // Root reads every file: a lock is unreadable only to another user.
        const uid_t user = unreadable && ::geteuid() == 0 ? sharedmachine::player : ::geteuid();
        QVERIFY(::lchown(QFile::encodeName(path).constData(), user, user) == 0
                && ::chown(QFile::encodeName(dir.path()).constData(), user, user) == 0);
        const sharedmachine::AsUser as(user, {});
        QVERIFY(as.ok);

        RunLockFile lock(path);
        QCOMPARE(lock.tryLock(), RunLockFile::Taken);
        lock.unlock();
        QVERIFY(!QFile::exists(path));
    }

    void lockLivesInAFolderOfTheUsersOwn_data()
    {
        QTest::addColumn<QString>("runtime"); // a folder of the row, or none
        QTest::addColumn<QString>("temporary");
        QTest::addColumn<QString>("where");
        // Someone else made the shared folder's runtime stand-in first, and holds a lock of its name there.
        QTest::newRow("runtime folder unset") << QString() << QStringLiteral("tmp") << QStringLiteral("cache");
        QTest::newRow("runtime folder inherited after su")
            << QStringLiteral("else") << QStringLiteral("tmp") << QStringLiteral("cache");
        QTest::newRow("temporary folder missing") << QString() << QStringLiteral("none") << QStringLiteral("cache");
    }
    void lockLivesInAFolderOfTheUsersOwn()
    {
        if (::geteuid() != 0)
            QSKIP("only root can act as two other users");
        QFETCH(QString, runtime);
        QFETCH(QString, temporary);
        QFETCH(QString, where);
        using namespace sharedmachine;
        const UsersFolders folders{{"tmp/runtime-", someoneElse, 0700}, // of a user without a name
                                   {"else", someoneElse, 0700}, {"cache", player, 0700}};
        const auto in = [&folders](const QString& name) { return folders.in(name); };
        QVERIFY(folders.ok);
        QLockFile planted(in("tmp/") + SingleInstanceLock::lockName + ".lock");
        QVERIFY(planted.tryLock(0) && ::chown(QFile::encodeName(planted.fileName()).constData(), someoneElse, 0) == 0);

        const AsUser as(player, {"XDG_RUNTIME_DIR=" + (runtime.isEmpty() ? QByteArray() : in(runtime)),
                                 "TMPDIR=" + in(temporary), "XDG_CACHE_HOME=" + in("cache")});
        const QString path = SingleInstanceLock::lockFilePath();
        QVERIFY(as.ok && SingleInstanceLock::instance().tryLock());
        SingleInstanceLock::instance().unlock();
        QCOMPARE(folders.topOf(path), where);
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
        RunLockFile second(path);
        QCOMPARE(second.tryLock(), RunLockFile::HeldElsewhere);
        QVERIFY(holder.isLocked());
        QVERIFY(QFile::exists(path));
        holder.unlock();
        QCOMPARE(second.tryLock(), RunLockFile::Taken);
        // A client of an earlier version (QLockFile) finds it held, even when it clears what it takes for stale.
        QLockFile earlier(path);
        earlier.setStaleLockTime(0);
        QVERIFY(!earlier.tryLock(0) && !earlier.removeStaleLockFile() && QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstanceLock)
#include "tst_single_instance_lock.moc"
