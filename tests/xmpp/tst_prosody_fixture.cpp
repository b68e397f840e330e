// The Prosody fixture itself: the server starts on its own port, serves
// accounts made with prosodyctl, runs the project's search module, and leaves
// no process behind once stopped.
#include "ProsodyFixture.h"
#include "RawXmppClient.h"

#include <QFile>
#include <QTcpServer>
#include <QTest>

#include <csignal>

class TestProsodyFixture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!ProsodyFixture::available())
            QFAIL("prosody is not installed (tools/debian-packages.txt lists it)");
    }

    void portHeldByAnotherProcessIsGivenUp()
    {
        // Something else listens on the port the server is first given (as a
        // port found free may be taken before the server binds it): the
        // fixture must not take that listener for its server.
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost, 0));
        ProsodyFixture::Options options;
        options.firstPort = other.serverPort();
        ProsodyFixture server(options);
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QVERIFY(server.port() != other.serverPort());
        QVERIFY2(server.addAccount(QStringLiteral("1001"), QStringLiteral("pw1"), &error), qPrintable(error));
        RawXmppClient client;
        QVERIFY2(client.login(server.host(), server.port(), server.domain(), QStringLiteral("1001"),
                              QStringLiteral("pw1"), &error),
                 qPrintable(error));
        client.disconnectFromServer();
        server.stop();
        QVERIFY(!server.isRunning());
    }

    void startLoginSearchStop()
    {
        ProsodyFixture::Options options;
        options.searchUsers = {{QStringLiteral("1001"), QStringLiteral("Mei Ling")},
                               {QStringLiteral("1002"), QStringLiteral("Kenji")},
                               {QStringLiteral("1003"), QStringLiteral("Meiko")}};
        ProsodyFixture server(options);
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QVERIFY2(server.addAccount(QStringLiteral("1001"), QStringLiteral("pw1"), &error), qPrintable(error));
        QVERIFY(server.port() != 0);

        QFile pidFile(server.directory() + QStringLiteral("/prosody.pid"));
        QTRY_VERIFY_WITH_TIMEOUT(pidFile.exists(), 5000);

        RawXmppClient client;
        QVERIFY2(client.login(server.host(), server.port(), server.domain(), QStringLiteral("1001"),
                              QStringLiteral("pw1"), &error),
                 qPrintable(error));
        QVERIFY(client.jid().startsWith(QStringLiteral("1001@localhost/")));

        // A wrong password is refused, so the account really is checked.
        RawXmppClient intruder;
        QVERIFY(!intruder.login(server.host(), server.port(), server.domain(), QStringLiteral("1001"),
                                QStringLiteral("wrong"), &error, 3000));

        client.send("<iq type='set' id='s1' to='search.localhost'><query xmlns='jabber:iq:search'>"
                    "<x xmlns='jabber:x:data' type='submit'><field var='search'><value>mei</value></field></x>"
                    "</query></iq>");
        QRegularExpressionMatch answer;
        QVERIFY(client.waitFor(QStringLiteral("<iq[^>]*id=['\"]s1['\"].*?</iq>"), 5000, &answer));
        const QString text = answer.captured(0);
        QVERIFY2(text.contains(QStringLiteral("<value>1001@localhost</value>")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("<value>1003@localhost</value>")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("1002@localhost")), qPrintable(text));
        client.disconnectFromServer();

        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const pid_t pid = pid_t(pidFile.readAll().trimmed().toLongLong());
        QVERIFY(pid > 0);
        server.stop();
        QVERIFY(!server.isRunning());
        // The process is gone (reaped by QProcess), not just told to go.
        QCOMPARE(::kill(pid, 0), -1);
    }
};

QTEST_GUILESS_MAIN(TestProsodyFixture)
#include "tst_prosody_fixture.moc"
