// The real client binary against the test game server: how a run ends when
// the server ends it. Each client runs offscreen with private directories and
// talks to loopback only.
#include "PulseAudioFixture.h"
#include "SessionScenario.h"
#include "TestGameServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestClientSession : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir root;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), root.filePath(QStringLiteral("tmp")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(root.isValid());
        for (const char* dir : {"tmp", "config", "runtime"})
            QVERIFY(QDir().mkpath(root.filePath(QLatin1String(dir))));
        QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void serverEndsTheRun_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("notReported");
        QTest::addColumn<bool>("soundStalled");
        QTest::addColumn<int>("code");
        QTest::newRow("forced logout") << QStringLiteral("forced")
                                       << QStringLiteral("Forced logout: You were forcefully logged out!")
                                       << QStringLiteral("The server closed the connection") << false << 1;
        QTest::newRow("connection closed") << QStringLiteral("close")
                                           << QStringLiteral("The server closed the connection")
                                           << QStringLiteral("Forced logout") << false << 1;
        // Stalled before the client connects its sound output: the run ends all the same.
        QTest::newRow("connection closed, sound server stalled")
            << QStringLiteral("close") << QStringLiteral("The server closed the connection")
            << QStringLiteral("Forced logout") << true << 1;
        // The system's request (a desktop's log-out) ends it as Quit does.
        QTest::newRow("SIGTERM") << QStringLiteral("SIGTERM") << QString() << QStringLiteral("The server closed the connection") << false << 0;
    }

    void serverEndsTheRun()
    {
        QFETCH(QString, how);
        QFETCH(QString, report);
        QFETCH(QString, notReported);
        QFETCH(bool, soundStalled);
        QFETCH(int, code);
        const QString settings = root.filePath(QStringLiteral("config/Zephyrtangle/Zephyrtangle-parlor7.conf"));
        QFile::remove(settings);
        PulseAudioFixture pulse;
        QString pulseError;
        if (soundStalled && !pulse.start(&pulseError))
            QSKIP(qPrintable(QStringLiteral("no sound server for this row: ") + pulseError));
        pulse.stall();
        QProcessEnvironment env = environment();
        if (soundStalled)
            env.insert(QStringLiteral("PULSE_SERVER"), pulse.address());
        TestGameServer server;
        QVERIFY(server.listen());
        SessionScenario scenario(server);
        QProcess client;
        client.setProcessEnvironment(env);
        client.setWorkingDirectory(root.path());
        QSignalSpy finished(&client, &QProcess::finished);
        client.start(QStringLiteral(PARLOR_CLIENT_BINARY),
                     {QStringLiteral("--nossl"), QStringLiteral("--httphost"), QStringLiteral("127.0.0.1:1"),
                      QStringLiteral("127.0.0.1:%1").arg(server.port())});
        QVERIFY(client.waitForStarted(5000));
        // The client connects once the splash and the version check are done.
        QVERIFY(server.waitForHandshake(20000));
        if (how == QLatin1String("forced")) {
            scenario.forceLogout();
            // The connection's end that follows must not be reported too.
            QTest::qWait(100);
            scenario.closeConnection();
        } else if (how == QLatin1String("SIGTERM")) {
            client.terminate();
        } else {
            scenario.closeConnection();
        }
        const bool ended = !finished.isEmpty() || finished.wait(10000);
        if (!ended) {
            client.kill();
            client.waitForFinished(5000);
        }
        const QString err = QString::fromLocal8Bit(client.readAllStandardError());
        QVERIFY2(ended, qPrintable(err));
        QCOMPARE(client.exitStatus(), QProcess::NormalExit);
        QCOMPARE(client.exitCode(), code);
        // The window's settings are written on every way out.
        QVERIFY(QFile::exists(settings));
        QVERIFY2(err.contains(report), qPrintable(err));
        QVERIFY2(!err.contains(notReported), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestClientSession)

#include "tst_client_session.moc"
