// The connection manager against the test game server over real loopback
// sockets, plain and TLS: handshake bytes, version mismatches, pings, frames
// merged and split by the network, bad frames, closes, retries and quitting.

#include "CaCertificates.h"
#include "Connection.h"
#include "ConnectionManager.h"
#include "ConnectionPrompts.h"
#include "TestCertificates.h"
#include "TestGameServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

class FakePrompts : public ConnectionPrompts
{
public:
    bool askRetry(const QString& text) override
    {
        questions.append(text);
        return onRetry ? onRetry() : false;
    }
    void showCritical(const QString& text) override { criticals.append(text); if (whileShown) whileShown(); }
    void exit(int code) override { exitCodes.append(code); }

    std::function<bool()> onRetry;
    /// Runs while a box would be open, as the user reads it.
    std::function<void()> whileShown;
    QStringList questions;
    QStringList criticals;
    QList<int> exitCodes;
};

QString firstText(const QSignalSpy& spy)
{
    return spy.isEmpty() ? QString() : QString::fromStdString(spy.at(0).at(0).value<std::string>());
}

// Collects the log lines written while it lives.
class LogCapture
{
public:
    LogCapture()
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    QStringList lines(QtMsgType type) const
    {
        QStringList result;
        for (const auto& [t, text] : m_lines) {
            if (t == type)
                result.append(text);
        }
        return result;
    }
    /// The lines of the type that start with one of the prefixes, in order.
    QStringList linesStartingWith(QtMsgType type, const QStringList& prefixes) const
    {
        QStringList result;
        for (const QString& line : lines(type)) {
            for (const QString& prefix : prefixes) {
                if (line.startsWith(prefix)) {
                    result.append(line);
                    break;
                }
            }
        }
        return result;
    }

    /// Runs for a critical line, as the application's box would be open.
    std::function<void()> whileCritical;

private:
    static void handler(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (!s_current)
            return;
        s_current->m_lines.append({type, text});
        if (type == QtCriticalMsg && s_current->whileCritical)
            s_current->whileCritical();
    }
    static inline LogCapture* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    QList<std::pair<QtMsgType, QString>> m_lines;
};

// Makes the manager log in: the login response of a successful login
// (name, pid, status 0, code 1, unused text, credentials).
bool logIn(TestGameServer& server, ConnectionManager& cm)
{
    server.send(TestFrame(11).str("bob").u32(77).u8(0).u32(1).str("").bytes("pw"));
    return QTest::qWaitFor([&] { return cm.isLoggedIn(); }, 2000);
}

// A port nothing listens on: taken from the system, then released.
quint16 freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 port = s.serverPort();
    s.close();
    return port;
}

} // namespace

class tst_connection_manager : public QObject
{
    Q_OBJECT

private:
    QSslConfiguration m_defaultSsl;
    QTemporaryDir m_certDir;
    bool m_certsOk = false;

    /// A plain connection that has passed the handshake.
    bool connectPlain(TestGameServer& server, ConnectionManager& cm)
    {
        if (!server.listen())
            return false;
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        return ready.wait(5000) && server.waitForClient();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_defaultSsl = QSslConfiguration::defaultConfiguration();
        QString error;
        m_certsOk = m_certDir.isValid() && TestCertificates::generate(m_certDir.path(), &error);
        if (!m_certsOk)
            qWarning() << error;
    }

    void cleanup() { QSslConfiguration::setDefaultConfiguration(m_defaultSsl); }

    void plainHandshakeSendsTheReferenceBytes()
    {
        TestGameServer server;
        QVERIFY(server.listen());
        FakePrompts prompts;
        ConnectionManager cm(false);
        cm.setPrompts(&prompts);
        QSignalSpy connecting(&cm, &ConnectionManager::connecting);
        QSignalSpy connected(&cm, &ConnectionManager::connected);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        QSignalSpy failed(&cm, &ConnectionManager::exceptionCaught);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(ready.wait(5000));
        QCOMPARE(connecting.size(), 1);
        QCOMPARE(connected.size(), 1);
        QCOMPARE(ready.size(), 1);
        QCOMPARE(failed.size(), 0);

        const QList<ReceivedFrame> frames = server.received();
        QCOMPARE(frames.size(), 2);
        // The platform version request, byte for byte (without the length word 00 00 00 11).
        QCOMPARE(frames[0].body, QByteArray::fromHex("00" "00000065" "00000004" "0000197B"));
        QCOMPARE(frames[1].body, QByteArray::fromHex("01" "00000065" "00000004" "0004") + "2399");
        // A plain connection leaves Nagle's algorithm as it is.
        QCOMPARE(cm.connection()->socketOption(QAbstractSocket::LowDelayOption).toInt(), 0);
        QVERIFY(prompts.exitCodes.isEmpty());
    }

    void lifeCycleLogLines()
    {
        LogCapture log;
        TestGameServer server;
        QVERIFY(server.listen());
        ConnectionManager cm(false);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(ready.wait(5000));
        server.send(TestFrame(7).u32(3));
        QVERIFY(server.waitForFrame(7));
        cm.prepareToQuit();
        cm.connection()->disconnectFromHost();
        const QString port = QString::number(server.port());
        QCOMPARE(log.linesStartingWith(QtDebugMsg, {"using SSL", "Connecting", "Connected", "ping", "preparing", "quitting",
                                                    "Closing"}),
                 (QStringList{"Connecting to 127.0.0.1:" + port + "...", "Connected to 127.0.0.1 " + port, "ping - pong",
                              "preparing to quit", "quitting...", "Closing..."}));
        QVERIFY(log.lines(QtWarningMsg).isEmpty());
    }

    void missingCaFileIsReported()
    {
        const QStringList saved = QDir::searchPaths(QStringLiteral("resources"));
        QDir::setSearchPaths(QStringLiteral("resources"), {m_certDir.path() + QStringLiteral("/nothing-here")});
        LogCapture log;
        const QList<QSslCertificate> cas = loadCaCertificates();
        QDir::setSearchPaths(QStringLiteral("resources"), saved);
        QVERIFY(cas.isEmpty());
        QCOMPARE(log.lines(QtWarningMsg), QStringList{QStringLiteral("no ca cert found in resources:/ca-certs/ca.crt")});
    }

    void platformVersionMismatch()
    {
        TestGameServer server;
        server.setPlatformVersion(6522);
        QVERIFY(server.listen());
        ConnectionManager cm(false);
        QSignalSpy failed(&cm, &ConnectionManager::exceptionCaught);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        QSignalSpy gone(&cm, &ConnectionManager::disconnected);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(failed.wait(5000));
        QCOMPARE(firstText(failed), QStringLiteral("platform protocol mismatch! server: 6522 client:6523"));
        QVERIFY(server.waitForDisconnect());
        QTest::qWait(50);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(ready.size(), 0);
        QCOMPARE(gone.size(), 0); // the error is the one report
        QVERIFY(server.received(1).isEmpty()); // no game version request after a mismatch
    }

    void gameVersionMismatch()
    {
        TestGameServer server;
        server.setGameVersion("2400");
        QVERIFY(server.listen());
        ConnectionManager cm(false);
        QSignalSpy failed(&cm, &ConnectionManager::exceptionCaught);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(failed.wait(5000));
        QCOMPARE(firstText(failed), QStringLiteral("game protocol mismatch! server:2400 client:2399"));
        QVERIFY(server.waitForDisconnect());
        QCOMPARE(ready.size(), 0);
        QCOMPARE(failed.size(), 1);
    }

    void pingIsAnsweredWithTheSameValue()
    {
        TestGameServer server;
        ConnectionManager cm(false);
        QVERIFY(connectPlain(server, cm));
        server.send(TestFrame(7).u32(0xDEADBEEF));
        const auto pong = server.waitForFrame(7);
        QVERIFY(pong);
        QCOMPARE(pong->body, QByteArray::fromHex("07DEADBEEF"));
    }

    void mergedFramesAreHandledInOrder()
    {
        TestGameServer server;
        ConnectionManager cm(false);
        QVERIFY(connectPlain(server, cm));
        QByteArray burst;
        for (quint32 i = 0; i < 50; ++i)
            burst += TestFrame(7).u32(i).toBytes();
        server.sendRaw(burst);
        QVERIFY(QTest::qWaitFor([&] { return server.received(7).size() == 50; }, 5000));
        const auto pongs = server.received(7);
        for (quint32 i = 0; i < 50; ++i)
            QCOMPARE(pongs[int(i)].reader().u32() + 0, i);
    }

    void splitFramesAreReassembled()
    {
        TestGameServer server;
        ConnectionManager cm(false);
        QVERIFY(connectPlain(server, cm));
        QByteArray stream;
        for (quint32 i = 0; i < 12; ++i)
            stream += TestFrame(7).u32(1000 + i).toBytes();
        // Chunks of 3 bytes: every length word arrives split.
        QVERIFY(server.sendInChunks(stream, 3, 2));
        QVERIFY(QTest::qWaitFor([&] { return server.received(7).size() == 12; }, 5000));
        const auto pongs = server.received(7);
        for (quint32 i = 0; i < 12; ++i)
            QCOMPARE(pongs[int(i)].reader().u32() + 0, 1000 + i);
    }

    void nestedEventLoopDelaysButNeverReorders()
    {
        // The slot of the first event spins a nested event loop (as a modal
        // box would) while more frames arrive: they are handled after it
        // returns, all of them, in arrival order.
        TestGameServer server;
        server.onRequest(1, [&server](const ReceivedFrame&) {
            QByteArray burst = TestFrame(1).u32(101).u32(4).str("2399").toBytes();
            for (quint32 i = 1; i <= 5; ++i)
                burst += TestFrame(7).u32(i).toBytes();
            server.sendRaw(burst);
        });
        QVERIFY(server.listen());
        ConnectionManager cm(false);
        bool inSlot = false;
        int pongsDuringSlot = -1;
        connect(&cm, &ConnectionManager::versionCheckComplete, this, [&] {
            inSlot = true;
            QTest::qWait(200);
            pongsDuringSlot = int(server.received(7).size());
            inSlot = false;
        });
        cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        QVERIFY(QTest::qWaitFor([&] { return server.received(7).size() == 5; }, 5000));
        QCOMPARE(pongsDuringSlot, 0);
        const auto pongs = server.received(7);
        for (quint32 i = 0; i < 5; ++i)
            QCOMPARE(pongs[int(i)].reader().u32(), i + 1);
    }

    void badFramesEndInOneErrorAndAClosedConnection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("length 4") << QByteArray::fromHex("00000004") + QByteArray(8, 'x')
                                  << "invalid frame length 4: a frame has at least 5 bytes";
        QTest::newRow("length 0") << QByteArray::fromHex("00000000")
                                  << "invalid frame length 0: a frame has at least 5 bytes";
        QTest::newRow("over the cap") << QByteArray::fromHex("7FFFFFFF") + QByteArray(100, 'x')
                                      << "invalid frame length 2147483647: larger than the limit of 16777216 bytes";
        QTest::newRow("ping without its value") << TestFrame(7).toBytes() + TestFrame(7).u32(5).toBytes()
                                                << "message of class 7 ends early: u32 needs 4 bytes at offset 1, 0 left";
        QTest::newRow("version string longer than the frame")
            << TestFrame(1).u32(101).u32(4).u16(200).raw("2399").toBytes()
            << "message of class 1 ends early: string needs 200 bytes at offset 11, 4 left";
    }

    void badFramesEndInOneErrorAndAClosedConnection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        TestGameServer server;
        ConnectionManager cm(false);
        QSignalSpy failed(&cm, &ConnectionManager::exceptionCaught);
        QSignalSpy gone(&cm, &ConnectionManager::disconnected);
        QVERIFY(connectPlain(server, cm));
        server.sendRaw(bytes);
        QVERIFY(failed.wait(5000));
        QCOMPARE(firstText(failed), text);
        QVERIFY(server.waitForDisconnect());
        QVERIFY(cm.connection()->hasFailed());
        // Nothing after the bad frame is handled: no pong for the trailing ping.
        QTest::qWait(50);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(gone.size(), 0);
        QVERIFY(server.received(7).isEmpty());
    }

    void remoteCloseIsReportedOnce()
    {
        TestGameServer server;
        FakePrompts prompts;
        ConnectionManager cm(false);
        cm.setPrompts(&prompts);
        QSignalSpy gone(&cm, &ConnectionManager::disconnected);
        QSignalSpy failed(&cm, &ConnectionManager::exceptionCaught);
        QVERIFY(connectPlain(server, cm));
        server.closeClient();
        QVERIFY(gone.wait(5000));
        QTest::qWait(100);
        QCOMPARE(gone.size(), 1);
        QCOMPARE(failed.size(), 0);
        QVERIFY(!cm.isLoggedIn());
        QVERIFY(prompts.exitCodes.isEmpty());
        // Quitting after the close neither reports nor writes anything.
        cm.prepareToQuit();
        QCOMPARE(gone.size(), 1);
        QCOMPARE(failed.size(), 0);
    }

    void quitWithoutLoginSendsNoLogout()
    {
        TestGameServer server;
        ConnectionManager cm(false);
        QSignalSpy gone(&cm, &ConnectionManager::disconnected);
        QVERIFY(connectPlain(server, cm));
        cm.prepareToQuit();
        QVERIFY(!server.waitForFrame(12, 300));
        // After quitting began, the closing connection is not reported.
        server.closeClient();
        QVERIFY(server.waitForDisconnect());
        QTest::qWait(100);
        QCOMPARE(gone.size(), 0);
    }

    void quitWhileLoggedInLogsOut()
    {
        TestGameServer server;
        ConnectionManager cm(false);
        QVERIFY(connectPlain(server, cm));
        QVERIFY(logIn(server, cm));
        LogCapture log;
        cm.prepareToQuit();
        const auto logout = server.waitForFrame(12, 2000);
        QVERIFY(logout);
        QCOMPARE(logout->body, QByteArray::fromHex("0C01"));
        QCOMPARE(log.lines(QtDebugMsg), (QStringList{"preparing to quit", "quitting..."}));
    }

    void quitWhileLoggedInButNoLongerConnectedSendsNothing()
    {
        // The connection went down on this side (not a close by the server):
        // still logged in, but nothing can be sent and the quit stops early.
        TestGameServer server;
        FakePrompts prompts;
        ConnectionManager cm(false);
        cm.setPrompts(&prompts);
        QVERIFY(connectPlain(server, cm));
        QVERIFY(logIn(server, cm));
        cm.connection()->abort();
        QVERIFY(server.waitForDisconnect());
        QVERIFY(cm.isLoggedIn());
        LogCapture log;
        cm.prepareToQuit();
        QCOMPARE(log.lines(QtDebugMsg), QStringList{QStringLiteral("preparing to quit")});
        QVERIFY(server.received(12).isEmpty());
        QVERIFY(prompts.exitCodes.isEmpty());
    }

    void quitWithAStalledSocketWaitsAtMostHalfASecond()
    {
        // A peer that logs the client in and then reads nothing more, with
        // far more queued than the socket buffers take: the quit gives up
        // after ten waits of 50 ms.
        QTcpServer peerServer;
        QVERIFY(peerServer.listen(QHostAddress::LocalHost, 0));
        ConnectionManager cm(false);
        QSignalSpy connected(&cm, &ConnectionManager::connected);
        cm.connectToHost(QStringLiteral("127.0.0.1"), peerServer.serverPort());
        QVERIFY(QTest::qWaitFor([&] { return peerServer.hasPendingConnections() && connected.size() == 1; }, 5000));
        QTcpSocket* peer = peerServer.nextPendingConnection();
        peer->setReadBufferSize(1);
        peer->write(TestFrame(11).str("bob").u32(77).u8(0).u32(1).str("").bytes("pw").toBytes());
        QVERIFY(QTest::qWaitFor([&] { return cm.isLoggedIn(); }, 2000));
        cm.connection()->write(QByteArray(64 * 1024 * 1024, '\0'));
        QElapsedTimer timer;
        timer.start();
        cm.prepareToQuit();
        const qint64 elapsed = timer.elapsed();
        QVERIFY(cm.connection()->bytesToWrite() > 0);
        QVERIFY2(elapsed >= 400 && elapsed < 2000, qPrintable(QString::number(elapsed)));
    }

    void remoteCloseAfterLoginIsReportedOnce()
    {
        TestGameServer server;
        FakePrompts prompts;
        ConnectionManager cm(false);
        cm.setPrompts(&prompts);
        QSignalSpy gone(&cm, &ConnectionManager::disconnected);
        QVERIFY(connectPlain(server, cm));
        QVERIFY(logIn(server, cm));
        server.closeClient();
        QVERIFY(gone.wait(5000));
        QVERIFY(!cm.isLoggedIn());
        // A second close or a later socket error reports nothing more.
        Q_EMIT cm.connection()->errorOccurred(QAbstractSocket::RemoteHostClosedError);
        Q_EMIT cm.connection()->errorOccurred(QAbstractSocket::NetworkError);
        Q_EMIT cm.connection()->disconnected();
        QTest::qWait(50);
        QCOMPARE(gone.size(), 1);
        QVERIFY(prompts.exitCodes.isEmpty());
        QVERIFY(prompts.criticals.isEmpty());
    }

    void otherSocketErrorsEndWithNetworkError()
    {
        // A proxy that refuses: neither "refused" nor "host not found" of
        // the server itself, so no retry is offered.
        FakePrompts prompts;
        ConnectionManager cm(false);
        cm.setPrompts(&prompts);
        cm.connection()->setProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy, QStringLiteral("127.0.0.1"), freePort()));
        LogCapture log;
        cm.connectToHost(QStringLiteral("127.0.0.1"), 4123);
        QVERIFY(QTest::qWaitFor([&] { return !prompts.exitCodes.isEmpty(); }, 5000));
        QCOMPARE(prompts.exitCodes, QList<int>{1});
        QVERIFY(prompts.questions.isEmpty());
        QCOMPARE(log.lines(QtWarningMsg), QStringList{cm.connection()->errorString()});
        QCOMPARE(log.lines(QtCriticalMsg), QStringList{QStringLiteral("Network error")});
    }

    void logoutRequestBytes()
    {
        TestGameServer server;
        ConnectionManager cm(false);
        QVERIFY(connectPlain(server, cm));
        cm.logout();
        const auto logout = server.waitForFrame(12);
        QVERIFY(logout);
        QCOMPARE(logout->body, QByteArray::fromHex("0C01"));
    }

    void writeAfterCloseIsNotAttempted()
    {
        // The close is the one report: a write error would only cover it.
        TestGameServer server;
        ConnectionManager cm(false);
        QSignalSpy gone(&cm, &ConnectionManager::disconnected);
        QSignalSpy failed(&cm, &ConnectionManager::exceptionCaught);
        QVERIFY(connectPlain(server, cm));
        server.closeClient();
        QVERIFY(gone.wait(5000));
        cm.logout();
        cm.logout();
        QTest::qWait(50);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(gone.size(), 1);
    }

    void refusedConnectionOffersRetry()
    {
        const quint16 port = freePort();
        TestGameServer server;
        FakePrompts prompts;
        prompts.onRetry = [&] {
            // The second attempt finds a server.
            return server.listen(TestGameServer::Mode::Plain, QString(), port);
        };
        ConnectionManager cm(false);
        cm.setPrompts(&prompts);
        QSignalSpy connecting(&cm, &ConnectionManager::connecting);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        cm.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(ready.wait(5000));
        QCOMPARE(prompts.questions,
                 QStringList{QStringLiteral("Connection to port %1 on host 127.0.0.1 refused, retry?").arg(port)});
        QCOMPARE(connecting.size(), 2);
        QCOMPARE(cm.port(), port);
        QVERIFY(prompts.exitCodes.isEmpty());
    }

    void unmadeConnectionAbortExits_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("refused") << QStringLiteral("refused");
        QTest::newRow("timed out") << QStringLiteral("timed out");
    }
    void unmadeConnectionAbortExits()
    {
        QFETCH(QString, how);
        const quint16 port = freePort();
        FakePrompts prompts;
        ConnectionManager cm(false);
        cm.setPrompts(&prompts);
        QSignalSpy gone(&cm, &ConnectionManager::disconnected);
        LogCapture log;
        cm.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (how == QLatin1String("timed out")) {
            // What the socket does after 30 s without an answer: it gives up the attempt, then reports.
            cm.connection()->abort();
            Q_EMIT cm.connection()->errorOccurred(QAbstractSocket::SocketTimeoutError);
        }
        QVERIFY(QTest::qWaitFor([&] { return !prompts.exitCodes.isEmpty(); }, 5000));
        QCOMPARE(prompts.exitCodes, QList<int>{1});
        QCOMPARE(prompts.questions,
                 QStringList{QStringLiteral("Connection to port %1 on host 127.0.0.1 %2, retry?").arg(port).arg(how)});
        QCOMPARE(log.lines(QtWarningMsg), QStringList{QStringLiteral("Connection to %1 on 127.0.0.1 %2").arg(port).arg(how)});
        QCOMPARE(gone.size(), 0);
    }

    void unknownHostOffersRetry()
    {
        FakePrompts prompts;
        int attempts = 0;
        prompts.onRetry = [&] { return ++attempts < 2; };
        ConnectionManager cm(false);
        cm.setPrompts(&prompts);
        LogCapture log;
        cm.connectToHost(QStringLiteral("no-such-host.invalid"), 4123);
        QVERIFY(QTest::qWaitFor([&] { return !prompts.exitCodes.isEmpty(); }, 20000));
        // Retry asked again for the same host; Abort ended it.
        QCOMPARE(prompts.questions,
                 (QStringList{QStringLiteral("Host no-such-host.invalid not found, retry?"),
                              QStringLiteral("Host no-such-host.invalid not found, retry?")}));
        QCOMPARE(prompts.exitCodes, QList<int>{1});
        QCOMPARE(log.lines(QtWarningMsg),
                 (QStringList{QStringLiteral("Host no-such-host.invalid not found"),
                              QStringLiteral("Host no-such-host.invalid not found")}));
        QCOMPARE(cm.host(), QStringLiteral("no-such-host.invalid"));
        QCOMPARE(cm.port(), quint16(4123));
    }

    void tlsHandshakeThenVersions()
    {
        if (!m_certsOk)
            QSKIP("openssl could not make the test certificates");
        const QStringList savedPaths = QDir::searchPaths(QStringLiteral("resources"));
        TestCertificates::prependResourceSearchPath(m_certDir.path());
        const auto restorePaths = qScopeGuard([&] { QDir::setSearchPaths(QStringLiteral("resources"), savedPaths); });
        const QList<QSslCertificate> cas = loadCaCertificates();
        QCOMPARE(cas.size(), 1);
        // The CA file alone makes the server trusted: the process-wide
        // default (the system's roots, without the test CA) is left alone.
        const QList<QSslCertificate> systemRoots = QSslConfiguration::defaultConfiguration().caCertificates();
        QVERIFY(!systemRoots.contains(cas.first()));

        TestGameServer server;
        QVERIFY(server.listen(TestGameServer::Mode::Tls, m_certDir.path()));
        FakePrompts prompts;
        ConnectionManager cm(true);
        cm.setPrompts(&prompts);
        QVERIFY(cm.useSsl());
        bool encryptedWhenConnected = false;
        connect(&cm, &ConnectionManager::connected, this,
                [&] { encryptedWhenConnected = cm.connection()->isEncrypted(); });
        QSignalSpy connected(&cm, &ConnectionManager::connected);
        QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
        QSignalSpy failed(&cm, &ConnectionManager::exceptionCaught);
        LogCapture log;
        cm.connectToHost(QStringLiteral("localhost"), server.port());
        QVERIFY2(ready.wait(10000), qPrintable(prompts.criticals.join(", ")));
        const QString port = QString::number(server.port());
        QCOMPARE(log.linesStartingWith(QtDebugMsg, {"using SSL", "Connecting", "Connected", "encrypted"}),
                 (QStringList{"using SSL", "Connecting to localhost:" + port + "...",
                              "encrypted connection established to localhost:" + port}));
        QCOMPARE(connected.size(), 1);
        QVERIFY(encryptedWhenConnected); // a plain connected state says nothing with TLS on
        QCOMPARE(failed.size(), 0);
        QCOMPARE(server.received(0).at(0).body, QByteArray::fromHex("00" "00000065" "00000004" "0000197B"));
        QCOMPARE(cm.connection()->socketOption(QAbstractSocket::LowDelayOption).toInt(), 1);

        server.send(TestFrame(7).u32(42));
        const auto pong = server.waitForFrame(7);
        QVERIFY(pong);
        QCOMPARE(pong->reader().u32(), 42u);
        QCOMPARE(QSslConfiguration::defaultConfiguration().caCertificates(), systemRoots);
    }

    void weakCertificatesAreNamed()
    {
        if (!m_certsOk)
            QSKIP("openssl could not make the test certificates");
        // What the TLS library refuses as "Unknown error" is named in the log line.
        const auto weakness = [&](const QString& path) {
            return certificateWeakness(QSslCertificate::fromPath(path).value(0));
        };
        QCOMPARE(weakness(TestCertificates::serverCertificatePath(m_certDir.path())), QString());
        QCOMPARE(weakness(TestCertificates::weakKeyServerCertificatePath(m_certDir.path())),
                 QStringLiteral("RSA key of 1024 bits is too short, signed with SHA-1"));
    }

    void tlsRefusedEndsWithOneBox_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("criticalLines");
        QTest::newRow("server certificate untrusted")
            << int(TestGameServer::Mode::Tls) << QStringList{"Unable to establish secure connection to server"}
            << QStringList();
        QTest::newRow("handshake answered with an alert")
            << int(TestGameServer::Mode::RefusesTls) << QStringList() << QStringList{"Network error"};
        QTest::newRow("handshake alert, the server's side left open")
            << int(TestGameServer::Mode::RefusesTlsKeepsOpen) << QStringList() << QStringList{"Network error"};
    }

    void tlsRefusedEndsWithOneBox()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, criticalLines);
        if (!m_certsOk)
            QSKIP("openssl could not make the test certificates");
        // The process-wide default trusts the test CA, but the service's CA
        // file is missing: the game server must not be trusted anyway.
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.addCaCertificates(TestCertificates::caCertificatePath(m_certDir.path()));
        QSslConfiguration::setDefaultConfiguration(config);
        const QStringList savedPaths = QDir::searchPaths(QStringLiteral("resources"));
        QDir::setSearchPaths(QStringLiteral("resources"), {m_certDir.path() + QStringLiteral("/nothing-here")});
        const auto restorePaths = qScopeGuard([&] { QDir::setSearchPaths(QStringLiteral("resources"), savedPaths); });

        TestGameServer server;
        QVERIFY(server.listen(TestGameServer::Mode(mode), m_certDir.path()));
        FakePrompts prompts;
        ConnectionManager cm(true);
        cm.setPrompts(&prompts);
        QSignalSpy connected(&cm, &ConnectionManager::connected);
        QSignalSpy gone(&cm, &ConnectionManager::disconnected);
        LogCapture log;
        // Whichever box tells it, the connection is closed while it is read,
        // and the program ends only once it is answered.
        bool closedWhileBoxOpen = false;
        prompts.whileShown = log.whileCritical = [&] {
            closedWhileBoxOpen = server.waitForDisconnect(3000) && prompts.exitCodes.isEmpty();
            QTest::qWait(200);
        };
        cm.connectToHost(QStringLiteral("localhost"), server.port());
        QVERIFY(QTest::qWaitFor([&] { return !prompts.exitCodes.isEmpty(); }, 10000));
        QTest::qWait(200);
        QVERIFY(closedWhileBoxOpen);
        QStringList warnings = log.lines(QtWarningMsg);
        QCOMPARE(warnings.takeFirst(), QStringLiteral("no ca cert found in resources:/ca-certs/ca.crt"));
        QVERIFY(!warnings.isEmpty());
        for (const QString& w : warnings)
            QVERIFY2(w.startsWith(QStringLiteral("SSL error: ")) == !boxes.isEmpty(), qPrintable(w));
        QCOMPARE(log.lines(QtCriticalMsg), criticalLines);
        QCOMPARE(prompts.criticals, boxes);
        QCOMPARE(prompts.exitCodes, QList<int>{1}); // one box, one exit: no second one after it
        QCOMPARE(connected.size(), 0);
        QCOMPARE(gone.size(), 0);
        QVERIFY(server.received().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_connection_manager)
#include "tst_connection_manager.moc"
