// The XMPP connection trusts the CA it is given, and only that one: the
// service's CA makes the handshake pass, another list makes it fail with a
// reported error, whatever the process-wide default holds.

#include "ClientTestUtil.h"
#include "ProsodyFixture.h"
#include "XMPPClient.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTest>

using namespace clienttest;

class TestClientTrust : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProsodyFixture> m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        m_server = std::make_unique<ProsodyFixture>();
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        QVERIFY2(m_server->addAccount(QStringLiteral("3001"), QStringLiteral("pw-3001"), &error), qPrintable(error));
    }

    void cleanupTestCase() { m_server.reset(); }

    void trustsOnlyTheGivenCa_data()
    {
        QTest::addColumn<bool>("serviceCa");
        QTest::addColumn<bool>("connects");
        QTest::newRow("the service's CA") << true << true;
        QTest::newRow("the system's roots only") << false << false;
    }

    void trustsOnlyTheGivenCa()
    {
        QFETCH(bool, serviceCa);
        QFETCH(bool, connects);
        const QList<QSslCertificate> ca = QSslCertificate::fromPath(m_server->caCertificatePath());
        QVERIFY(!ca.isEmpty());
        // The process default never holds the test CA here.
        QVERIFY(!QSslConfiguration::defaultConfiguration().caCertificates().contains(ca.first()));

        XMPPClient client;
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        QList<QSslCertificate> trusted = QSslConfiguration::systemCaCertificates();
        if (serviceCa)
            trusted = ca;
        client.setCaCertificates(trusted);
        if (connects) {
            QVERIFY(connectAndWait(client, m_server->host(), m_server->port(), m_server->domain(),
                                   QStringLiteral("3001"), QStringLiteral("pw-3001"), XMPPClient::TlsRequired, 8000));
            QVERIFY(errors.isEmpty());
            client.disconnectFromHost();
        } else {
            QSignalSpy connected(&client, &XMPPClient::connected);
            client.setDomain(m_server->domain());
            client.setCredentials(QStringLiteral("3001"), QStringLiteral("pw-3001"));
            client.connectToHost(m_server->host(), m_server->port(), XMPPClient::TlsRequired);
            QVERIFY(errors.wait(8000));
            QCOMPARE(errors.first().at(0).value<XMPPClient::XMPPError>(), XMPPClient::SslErrors);
            QVERIFY(connected.isEmpty());
        }
        QVERIFY(waitUnconnected(client, 8000));
    }
};

QTEST_GUILESS_MAIN(TestClientTrust)
#include "tst_client_trust.moc"
