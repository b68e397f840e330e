// The installer's step: "client --install" writes the tile cache of every
// back and face beside the program, never into the working directory, and
// exits 0, without log file, lock or window; a second run replaces the files
// in place.
#include "TileCache.h"
#include "TileGraphics.h"
#include "TileImages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestInstallSwitch : public QObject
{
    Q_OBJECT

    QTemporaryDir root;

    int runInstall(const QString& option)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), root.filePath(QStringLiteral("tmp")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(root.filePath(QStringLiteral("work")));
        p.start(root.filePath(QStringLiteral("program/client")), {option});
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished(5000);
            return -1;
        }
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            qWarning().noquote() << p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("tmp")));
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("work")));
        // A program folder of its own, as an installer lays it out.
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("program")));
        QVERIFY(QFile::copy(QStringLiteral(PARLOR_CLIENT_BINARY), root.filePath(QStringLiteral("program/client"))));
        QDir::setSearchPaths(QStringLiteral("resources"), {QStringLiteral(":parlor7/"), QStringLiteral(":default/")});
    }

    void writesEveryCombination_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("long") << "--install";
        QTest::newRow("short, again over the first run's files") << "-i";
    }

    void writesEveryCombination()
    {
        QFETCH(QString, option);
        QCOMPARE(runInstall(option), 0);
        const QDir installed(root.filePath(QStringLiteral("program/tilesets")));
        QStringList expected;
        for (int b = 0; b < TileGraphics::blankCount(); ++b)
            for (int f = 0; f < TileGraphics::faceCount(); ++f)
                expected << TileCache::fileName(TileGraphics::blankPath(b), TileGraphics::facePath(f), 1.0);
        expected.sort();
        QCOMPARE(expected.size(), 20);
        QCOMPARE(installed.entryList(QDir::Files, QDir::Name), expected);
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("work/tilesets"))));
        // Each is a whole set that every user's client reads back.
        const QFile::Permissions everyone = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        QCOMPARE(QFile::permissions(installed.path()) & (everyone | QFile::WriteGroup | QFile::WriteOther), everyone);
        for (const QString& name : {expected.first(), expected.last()}) {
            std::unique_ptr<TileImages> set(
                TileCache::readFile(installed.filePath(name), 1.0, {}, TileCache::Writer::UserOrRoot));
            QVERIFY2(set, qPrintable(name));
            QCOMPARE(set->rect(0, TileImages::Declared).isEmpty(), false);
            QCOMPARE(QFile::permissions(installed.filePath(name)) & (everyone | QFile::WriteGroup | QFile::WriteOther),
                     everyone);
        }
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("tmp/mahjong.log"))));
    }
};

QTEST_MAIN(TestInstallSwitch)
#include "tst_install_switch.moc"
