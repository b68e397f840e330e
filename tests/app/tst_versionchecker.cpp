// The client version check against a real HTTP server on loopback.

#include "HttpTestServer.h"
#include "LogCapture.h"
#include "VersionChecker.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString listPath = QStringLiteral("client/parlor7/client_versions.xml");

system_info_t debian12()
{
    system_info_t s;
    s.platform = platform_t::linux_desktop;
    s.os = linux_os_t{QStringLiteral("debian")};
    s.os_version = linux_version_t{QStringLiteral("12")};
    return s;
}

QByteArray listWith(const QByteArray& version, const QByteArray& url, const QByteArray& extra = QByteArray())
{
    return "<?xml version=\"1.0\"?>\n<versions>\n"
           "<clientdescription id=\"news\">&lt;p&gt;Faster tables.&lt;/p&gt;</clientdescription>\n"
           "<client id=\"linux-client\" version=\"" + version + "\" url=\"" + url + "\" " + extra + ">\n"
           "<description clientdescriptionid=\"news\"/><description>Thanks!</description></client>\n"
           "<client id=\"old\" version=\"1.0.0\" url=\"/old.run\"/>\n"
           "<platform base=\"windows\"><os name=\"xp\" clientid=\"old\"/></platform>\n"
           "<platform base=\"linux\">\n"
           "  <os name=\"debian\" version=\"11\" clientid=\"old\"/>\n"
           "  <os name=\"debian\" version=\"12\" clientid=\"linux-client\"/>\n"
           "  <os name=\"debian\" clientid=\"old\"/>\n"
           "</platform>\n</versions>\n";
}

}

class TestVersionChecker : public QObject
{
    Q_OBJECT

    HttpTestServer* server = nullptr;

    QUrl listUrl() const { return QUrl(server->base() + QLatin1Char('/') + listPath); }

    /// Points the checker at a list (by default the usual one) for Debian 12.
    void prepare(VersionChecker& checker, const QUrl& url = QUrl()) const
    {
        checker.setUrl(url.isEmpty() ? listUrl() : url);
        checker.setSystemInfo(debian12());
    }

    /// Runs one check and returns its finished() arguments; fails the test
    /// when it does not end exactly once.
    QList<QVariant> runCheck(VersionChecker& checker)
    {
        QSignalSpy finished(&checker, &VersionChecker::finished);
        checker.check();
        if (!finished.wait(8000) && finished.isEmpty())
            return {};
        QTest::qWait(50); // nothing else may follow
        if (finished.size() != 1)
            return {};
        return finished.takeFirst();
    }

private Q_SLOTS:
    void initTestCase()
    {
        server = new HttpTestServer;
        QVERIFY(server->isRunning());
    }
    void cleanupTestCase() { delete server; }

    void newVersion()
    {
        server->setFile(listPath, listWith("1.6.0", "/download/parlor-setup.run", "required=\"true\""));
        server->clearRequests();
        VersionChecker checker;
        prepare(checker);
        QSignalSpy started(&checker, &VersionChecker::started);
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.size(), 4);
        QCOMPARE(started.size(), 1);
        QCOMPARE(args[0].value<VersionCheckerResult>(), NewVersionAvailable);
        QCOMPARE(args[1].toString(), QStringLiteral("<p>Faster tables.</p>Thanks!"));
        // A link beginning with "/" is on the list's own host and port.
        QCOMPARE(args[2].toUrl(), QUrl(server->base() + QStringLiteral("/download/parlor-setup.run")));
        QCOMPARE(args[3].toBool(), true);
        QCOMPARE(server->requests(), QStringList{QStringLiteral("GET /client/parlor7/client_versions.xml HTTP/1.1")});
    }

    void absoluteLinkAndOptional()
    {
        server->setFile(listPath, listWith("1.10.0", "https://cdn.example:8443/setup.run?x=1", "required=\"True\""));
        VersionChecker checker;
        prepare(checker);
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.size(), 4);
        QCOMPARE(args[0].value<VersionCheckerResult>(), NewVersionAvailable);
        QCOMPARE(args[2].toUrl(), QUrl(QStringLiteral("https://cdn.example:8443/setup.run?x=1")));
        QCOMPARE(args[3].toBool(), false);
    }

    void noNewVersion_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QString>("osVersion");
        QTest::addColumn<QString>("log");
        QTest::newRow("same version") << QByteArray("1.5.0") << "12" << "no new client version found";
        QTest::newRow("older") << QByteArray("0.9.9") << "12" << "no new client version found";
        // An entry without a version matches any: here the old client.
        QTest::newRow("other version, catch-all entry") << QByteArray("2.0.0") << "13" << "no new client version found";
    }
    void noNewVersion()
    {
        QFETCH(QByteArray, version);
        QFETCH(QString, osVersion);
        QFETCH(QString, log);
        server->setFile(listPath, listWith(version, "/x.run"));
        VersionChecker checker;
        checker.setUrl(listUrl());
        system_info_t s = debian12();
        s.os_version = linux_version_t{osVersion};
        checker.setSystemInfo(s);
        LogCapture capture;
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.size(), 4);
        QCOMPARE(args[0].value<VersionCheckerResult>(), NoNewVersion);
        QCOMPARE(args[1].toString(), QString());
        QCOMPARE(args[2].toUrl(), QUrl());
        QCOMPARE(args[3].toBool(), false);
        QVERIFY(capture.lines(QtDebugMsg).contains(log));
    }

    void firstMatchingEntryDecides()
    {
        // Two entries for the same system: the first in the document decides,
        // even when the second names a newer client.
        server->setFile(listPath,
            "<versions><client id=\"old\" version=\"1.5.0\" url=\"/old.run\"/>"
            "<client id=\"new\" version=\"9.0.0\" url=\"/new.run\"/>"
            "<platform base=\"linux\"><os name=\"debian\" clientid=\"old\"/></platform>"
            "<platform base=\"linux\"><os name=\"debian\" version=\"12\" clientid=\"new\"/></platform></versions>");
        VersionChecker checker;
        prepare(checker);
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.value(0).value<VersionCheckerResult>(), NoNewVersion);

        // Entries of another platform base or another system never apply.
        server->setFile(listPath,
            "<versions><client id=\"new\" version=\"9.0.0\" url=\"/new.run\"/>"
            "<platform base=\"windows\"><os name=\"debian\" clientid=\"new\"/></platform>"
            "<platform base=\"linux\"><os name=\"debian\" version=\"11\" clientid=\"new\"/>"
            "<os name=\"fedora\" clientid=\"new\"/></platform></versions>");
        const QList<QVariant> other = runCheck(checker);
        QCOMPARE(other.value(0).value<VersionCheckerResult>(), NoNewVersion);
    }

    void noMatchingOs()
    {
        server->setFile(listPath, listWith("2.0.0", "/x.run"));
        VersionChecker checker;
        checker.setUrl(listUrl());
        system_info_t s;
        s.platform = platform_t::linux_desktop;
        s.os = linux_os_t{QStringLiteral("fedora")};
        checker.setSystemInfo(s);
        LogCapture capture;
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.value(0).value<VersionCheckerResult>(), NoNewVersion);
        QVERIFY(!capture.linesStartingWith(QtDebugMsg, QStringLiteral("found no matching os for")).isEmpty());
    }

    void unknownPlatformMakesNoRequest()
    {
        server->clearRequests();
        VersionChecker checker;
        checker.setUrl(listUrl());
        QSignalSpy started(&checker, &VersionChecker::started);
        QSignalSpy finished(&checker, &VersionChecker::finished);
        checker.check();
        QCOMPARE(started.size(), 1);
        QCOMPARE(finished.size(), 1); // at once
        QCOMPARE(finished[0][0].value<VersionCheckerResult>(), NoNewVersion);
        QTest::qWait(100);
        QVERIFY(server->requests().isEmpty());
    }

    void failedListIsLogged_data()
    {
        // The list's content (null: no such file), the log level and the one
        // line expected there (%1 stands for the list's address).
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("line");
        QTest::newRow("not found") << QByteArray() << int(QtDebugMsg) << "failed:" << "failed: 404 Not Found";
        QTest::newRow("empty reply") << QByteArray("") << int(QtDebugMsg) << "got empty reply"
                                     << "got empty reply for %1";
        QTest::newRow("broken list is a warning")
            << QByteArray("<versions>\n<client id=\"a\" version=\"1.5\" url=\"/a\"/>\n</versions>")
            << int(QtWarningMsg) << "" << "parse error near line 2 : version attribute invalid";
    }
    void failedListIsLogged()
    {
        QFETCH(QByteArray, list);
        QFETCH(int, level);
        QFETCH(QString, prefix);
        QFETCH(QString, line);
        if (list.isNull())
            server->removeFile(listPath);
        else
            server->setFile(listPath, list);
        VersionChecker checker;
        prepare(checker);
        LogCapture capture;
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.value(0).value<VersionCheckerResult>(), VersionCheckFailed);
        if (line.contains(QLatin1String("%1")))
            line = line.arg(listUrl().toString());
        QCOMPARE(capture.linesStartingWith(QtMsgType(level), prefix), QStringList{line});
    }

    void refusedConnection()
    {
        // A port that was just free: nobody listens there.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        VersionChecker checker;
        prepare(checker, QUrl(QStringLiteral("http://127.0.0.1:%1/client/parlor7/client_versions.xml").arg(port)));
        LogCapture capture;
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.value(0).value<VersionCheckerResult>(), VersionCheckFailed);
        QCOMPARE(capture.linesStartingWith(QtDebugMsg, QStringLiteral("failed:")).size(), 1);
    }

    void silentServerTimesOut_data()
    {
        QTest::addColumn<bool>("connects");
        QTest::addColumn<int>("limit"); // of the whole check
        QTest::newRow("connected, no answer") << true << VersionChecker::connectTimeoutMs + 1000;
        QTest::newRow("connection never made") << false << VersionChecker::defaultTimeoutMs;
    }
    void silentServerTimesOut()
    {
        QFETCH(bool, connects);
        QFETCH(int, limit);
        // A host that drops the attempts: its queue of made connections is full.
        QTcpServer full;
        full.setListenBacklogSize(0);
        QVERIFY(full.listen(QHostAddress::LocalHost));
        full.pauseAccepting();
        QTcpSocket queued;
        queued.connectToHost(QHostAddress::LocalHost, full.serverPort());
        QVERIFY(queued.waitForConnected(2000));
        VersionChecker checker;
        prepare(checker, QUrl(connects ? server->base() + QStringLiteral("/hang/client_versions.xml")
                                       : QStringLiteral("http://127.0.0.1:%1/").arg(full.serverPort())));
        checker.setTimeout(limit);
        QElapsedTimer clock;
        clock.start();
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.value(0).value<VersionCheckerResult>(), VersionCheckFailed);
        // (Timers of this length may fire up to 5 % early.)
        const int ends = connects ? limit : VersionChecker::connectTimeoutMs;
        QVERIFY2(clock.elapsed() >= ends * 0.95 - 50 && clock.elapsed() < ends + 1500, qPrintable(QString::number(clock.elapsed())));
    }

    void secondCheckEndsTheFirst()
    {
        server->setFile(listPath, listWith("1.6.0", "/x.run"));
        VersionChecker checker;
        prepare(checker, QUrl(server->base() + QStringLiteral("/hang/client_versions.xml")));
        QSignalSpy finished(&checker, &VersionChecker::finished);
        checker.check();
        QTest::qWait(100);
        checker.setUrl(listUrl());
        checker.check();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 8000);
        QCOMPARE(finished[0][0].value<VersionCheckerResult>(), VersionCheckFailed);
        QCOMPARE(finished[1][0].value<VersionCheckerResult>(), NewVersionAvailable);
        QTest::qWait(100);
        QCOMPARE(finished.size(), 2);
    }

    void oversizedReplyFails_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("endless body without a length") << QStringLiteral("/endless/client_versions.xml");
        QTest::newRow("announced length too large") << QStringLiteral("/huge/client_versions.xml");
    }
    void oversizedReplyFails()
    {
        // Anything on the plain-HTTP path may answer: memory stays bounded and
        // the check fails early instead of waiting for the time limit.
        QFETCH(QString, path);
        VersionChecker checker;
        prepare(checker, QUrl(server->base() + path));
        LogCapture capture;
        QElapsedTimer clock;
        clock.start();
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.value(0).value<VersionCheckerResult>(), VersionCheckFailed);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(capture.linesStartingWith(QtDebugMsg, QStringLiteral("failed:")),
                 QStringList{QStringLiteral("failed: version list larger than 4194304 bytes")});
    }

    void listJustUnderTheLimitIsRead()
    {
        // Padding in a comment brings a valid list close to the limit.
        QByteArray list = listWith("1.6.0", "/big.run");
        list.insert(list.indexOf("<versions>"), "<!-- " + QByteArray(VersionChecker::maxListSize - list.size() - 10, 'p') + " -->");
        QVERIFY(list.size() <= VersionChecker::maxListSize);
        server->setFile(QStringLiteral("big/client_versions.xml"), list);
        VersionChecker checker;
        prepare(checker, QUrl(server->base() + QStringLiteral("/big/client_versions.xml")));
        const QList<QVariant> args = runCheck(checker);
        QCOMPARE(args.value(0).value<VersionCheckerResult>(), NewVersionAvailable);
        QCOMPARE(args.value(2).toUrl().path(), QStringLiteral("/big.run"));
    }
};

QTEST_GUILESS_MAIN(TestVersionChecker)
#include "tst_versionchecker.moc"
