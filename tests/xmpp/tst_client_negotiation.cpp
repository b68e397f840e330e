// Negotiation against a scripted server: TLS policies against the features
// offered, SASL outcomes, binding and session, checked on the bytes the client
// writes and the signals it emits.
#include "ClientTestUtil.h"
#include "ScriptedXmppPeer.h"
#include "TestCertificates.h"
#include "XMPPClient.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace clienttest;

namespace {

const QByteArray Sasl = "xmlns='urn:ietf:params:xml:ns:xmpp-sasl'";
const QByteArray PlainOnly = "<mechanisms " + Sasl + "><mechanism>PLAIN</mechanism></mechanisms>";
const QByteArray StartTls = "<starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>";
const QByteArray StartTlsRequired = "<starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'><required/></starttls>";
const QByteArray Bind = "<bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/>";
const QByteArray Session = "<session xmlns='urn:ietf:params:xml:ns:xmpp-session'/>";
const QByteArray Success = "<success " + Sasl + "/>";
const QByteArray BindResult =
    "<iq type='result' id='{id}'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'><jid>user@localhost/res</jid></bind></iq>";
/// "\0user\0pw" in Base64: the empty authorization identity, user, password.
const QString AuthUserPw = QStringLiteral("<auth xmlns=\"urn:ietf:params:xml:ns:xmpp-sasl\" mechanism=\"PLAIN\">AHVzZXIAcHc=</auth>");

QByteArray failure(const char* condition)
{
    return "<failure " + Sasl + "><" + condition + "/></failure>";
}

}

class TestClientNegotiation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false")); }

    void matrix_data()
    {
        QTest::addColumn<int>("policy");
        QTest::addColumn<QByteArray>("features");
        QTest::addColumn<QByteArray>("saslAnswer");   // empty: the client must not authenticate
        QTest::addColumn<QByteArray>("afterAuth");    // features of the authenticated stream
        QTest::addColumn<QByteArray>("bindAnswer");   // empty: no bind expected
        QTest::addColumn<bool>("connects");
        QTest::addColumn<QString>("clientWrote");     // pattern over all the client wrote
        QTest::addColumn<QString>("lastError");       // text of the last xmppError

        const int never = XMPPClient::TlsNever;
        const int required = XMPPClient::TlsRequired;
        const int ifOffered = XMPPClient::TlsIfOffered;
        QTest::newRow("never: plain login") << never << PlainOnly << Success << Bind << BindResult << true
                                            << AuthUserPw << QString();
        QTest::newRow("never: starttls offered is not used")
            << never << (StartTls + PlainOnly) << Success << Bind << BindResult << true
            << QStringLiteral("^(?!.*starttls).*") + QRegularExpression::escape(AuthUserPw) << QString();
        QTest::newRow("never: starttls required")
            << never << (StartTlsRequired + PlainOnly) << QByteArray() << QByteArray() << QByteArray() << false
            << QStringLiteral("<policy-violation[^>]*/><text[^>]*>won't use TLS</text></stream:error></stream:stream>$")
            << QStringLiteral("won't use TLS");
        QTest::newRow("required: no starttls")
            << required << PlainOnly << QByteArray() << QByteArray() << QByteArray() << false
            << QStringLiteral("<policy-violation[^>]*/><text[^>]*>TLS required</text>") << QStringLiteral("TLS required");
        QTest::newRow("if offered: none offered, no PLAIN in clear")
            << ifOffered << PlainOnly << QByteArray() << QByteArray() << QByteArray() << false
            << QStringLiteral("^(?!.*<auth).*<policy-violation[^>]*/>") << QStringLiteral("PLAIN auth requires TLS");
        QTest::newRow("PLAIN spelled lower case is not PLAIN")
            << never << QByteArray("<mechanisms " + Sasl + "><mechanism>plain</mechanism></mechanisms>")
            << QByteArray() << QByteArray() << QByteArray() << false
            << QStringLiteral("<text[^>]*>PLAIN auth required</text>") << QStringLiteral("PLAIN auth required");
        QTest::newRow("not-authorized without new credentials")
            << never << PlainOnly << failure("not-authorized") << QByteArray() << QByteArray() << false
            << QStringLiteral("</auth></stream:stream>$") << QStringLiteral("authentication refused (not-authorized)");
        QTest::newRow("temporary failure without new credentials")
            << never << PlainOnly << failure("temporary-auth-failure") << QByteArray() << QByteArray() << false
            << QStringLiteral("</stream:stream>$") << QStringLiteral("authentication refused (temporary-auth-failure)");
        QTest::newRow("final SASL failure")
            << never << PlainOnly << failure("mechanism-too-weak") << QByteArray() << QByteArray() << false
            << QStringLiteral("</stream:stream>$") << QStringLiteral("PLAIN auth failed");
        // RFC 6120's longer list, and names of no list: a refused login by
        // that name, never a stream error of the client's own.
        for (const char* condition : {"malformed-request", "account-disabled", "credentials-expired",
                                      "encryption-required", "no-such-condition"}) {
            QTest::addRow("SASL failure %s", condition)
                << never << PlainOnly << failure(condition) << QByteArray() << QByteArray() << false
                << QStringLiteral("^(?!.*<stream:error>).*</stream:stream>$")
                << QStringLiteral("PLAIN auth failed (%1)").arg(QLatin1String(condition));
        }
        QTest::newRow("SASL abort from the server")
            << never << PlainOnly << QByteArray("<abort " + Sasl + "/>") << QByteArray() << QByteArray() << false
            << QStringLiteral("^(?!.*<stream:error>).*</stream:stream>$")
            << QStringLiteral("the server aborted the authentication");
        QTest::newRow("no bind offered")
            << never << PlainOnly << Success << QByteArray() << QByteArray() << false
            << QStringLiteral("<text[^>]*>bind feature required</text>") << QStringLiteral("bind feature required");
        QTest::newRow("bind refused")
            << never << PlainOnly << Success << Bind
            << QByteArray("<iq type='error' id='{id}'><error type='cancel'><not-allowed "
                          "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>")
            << false << QStringLiteral("<undefined-condition[^>]*/><text[^>]*>bind failed</text>")
            << QStringLiteral("bind failed");
        // A server that falls silent ends the negotiation at the deadline.
        QTest::newRow("no SASL answer") << never << PlainOnly << QByteArray() << QByteArray() << QByteArray() << false
                                        << QStringLiteral("</auth><stream:error><connection-timeout ") << QStringLiteral("did not answer in time");
        QTest::newRow("no bind answer") << never << PlainOnly << Success << Bind << QByteArray() << false
                                        << QStringLiteral("</iq><stream:error><connection-timeout ") << QStringLiteral("did not answer in time");
        QTest::newRow("session offered and established")
            << never << PlainOnly << Success << (Bind + Session) << BindResult << true
            << QStringLiteral("<iq id=\"2\" type=\"set\"><session xmlns=\"urn:ietf:params:xml:ns:xmpp-session\"/></iq><presence>")
            << QString();
    }

    void matrix()
    {
        QFETCH(int, policy);
        QFETCH(QByteArray, features);
        QFETCH(QByteArray, saslAnswer);
        QFETCH(QByteArray, afterAuth);
        QFETCH(QByteArray, bindAnswer);
        QFETCH(bool, connects);
        QFETCH(QString, clientWrote);
        QFETCH(QString, lastError);

        ScriptedXmppPeer peer;
        QVERIFY(peer.listen());
        peer.expect(QStringLiteral("<stream:stream[^>]*>")).send(ScriptedXmppPeer::header() + ScriptedXmppPeer::features(features));
        if (!saslAnswer.isEmpty()) {
            peer.expect(QStringLiteral("</auth>")).send(saslAnswer);
            if (saslAnswer == Success) {
                peer.expect(QStringLiteral("<stream:stream[^>]*>"))
                    .send(ScriptedXmppPeer::header() + ScriptedXmppPeer::features(afterAuth));
                if (!bindAnswer.isEmpty()) {
                    peer.expect(QStringLiteral("<iq [^>]*id=\"(?<id>[^\"]+)\"[^>]*><bind ")).send(bindAnswer);
                    if (afterAuth.contains("session"))
                        peer.expect(QStringLiteral("<iq [^>]*id=\"(?<id>[^\"]+)\"[^>]*><session ")).send("<iq type='result' id='{id}'/>");
                }
            }
        }

        XMPPClient client;
        client.setAnswerTimeout(3000);
        QSignalSpy connected(&client, &XMPPClient::connected);
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        client.setDomain(QStringLiteral("localhost"));
        client.setCredentials(QStringLiteral("user"), QStringLiteral("pw"));
        client.connectToHost(QStringLiteral("127.0.0.1"), peer.port(), policy);

        if (connects) {
            QVERIFY2(connected.wait(5000), qPrintable(peer.pendingStep()));
            QCOMPARE(client.ownJid(), QStringLiteral("user@localhost/res"));
            // connected() comes before the own presence.
            QVERIFY(peer.waitReceived(QStringLiteral("<presence><x xmlns=\"vcard-temp:x:update\"/></presence>")));
            QVERIFY(errors.isEmpty());
        } else {
            QVERIFY2(peer.waitClientClosed(8000), qPrintable(peer.pendingStep()));
            QVERIFY(waitUnconnected(client));
            QCOMPARE(connected.size(), 0);
            QVERIFY(!errors.isEmpty());
            QCOMPARE(errors.last().at(1).toString().contains(lastError), true);
        }
        const QString wrote = QString::fromUtf8(peer.received());
        QVERIFY2(QRegularExpression(clientWrote, QRegularExpression::DotMatchesEverythingOption).match(wrote).hasMatch(),
                 qPrintable(wrote));
        QVERIFY(peer.finished());
    }

    void tlsUpgradeThenLogin()
    {
        QTemporaryDir certs;
        QVERIFY(TestCertificates::generate(certs.path()));
        QVERIFY(trustCa(TestCertificates::caCertificatePath(certs.path())));
        ScriptedXmppPeer peer;
        QVERIFY(peer.listen(certs.path()));
        peer.expect(QStringLiteral("<stream:stream[^>]*>"))
            .send(ScriptedXmppPeer::header() + ScriptedXmppPeer::features(StartTlsRequired + PlainOnly))
            .expect(QStringLiteral("<starttls xmlns=\"urn:ietf:params:xml:ns:xmpp-tls\"/>"))
            .send("<proceed xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>")
            .startTls()
            .playPlainLogin();
        XMPPClient client;
        QVERIFY2(connectToPeer(client, peer.port(), QStringLiteral("user"), XMPPClient::TlsRequired, 8000),
                 qPrintable(peer.pendingStep()));
        // The stream restarted after the handshake: a second header, sent encrypted.
        QCOMPARE(QString::fromUtf8(peer.received()).count(QStringLiteral("<stream:stream")), 3);
    }

    void tlsFailureFromTheServerIsReported()
    {
        ScriptedXmppPeer peer;
        QVERIFY(peer.listen());
        peer.expect(QStringLiteral("<stream:stream[^>]*>"))
            .send(ScriptedXmppPeer::header() + ScriptedXmppPeer::features(StartTls + PlainOnly))
            .expect(QStringLiteral("<starttls xmlns=\"urn:ietf:params:xml:ns:xmpp-tls\"/>"))
            .send("<failure xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>");
        XMPPClient client;
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        client.setDomain(QStringLiteral("localhost"));
        client.setCredentials(QStringLiteral("user"), QStringLiteral("pw"));
        client.connectToHost(QStringLiteral("127.0.0.1"), peer.port(), XMPPClient::TlsRequired);
        QVERIFY2(peer.waitClientClosed(5000), qPrintable(peer.pendingStep()));
        QVERIFY(waitUnconnected(client));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().at(0).value<XMPPClient::XMPPError>(), XMPPClient::ProtocolError);
        QCOMPARE(errors.first().at(1).toString(), QStringLiteral("the server refused TLS"));
        QVERIFY(!peer.received().contains("<auth"));
    }

    void untrustedCertificateFails()
    {
        QTemporaryDir certs;
        QVERIFY(TestCertificates::generate(certs.path())); // a CA nobody trusts
        ScriptedXmppPeer peer;
        QVERIFY(peer.listen(certs.path()));
        peer.expect(QStringLiteral("<stream:stream[^>]*>"))
            .send(ScriptedXmppPeer::header() + ScriptedXmppPeer::features(StartTls + PlainOnly))
            .expect(QStringLiteral("<starttls"))
            .send("<proceed xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>")
            .startTls();
        XMPPClient client;
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        client.setCredentials(QStringLiteral("user"), QStringLiteral("pw"));
        client.connectToHost(QStringLiteral("127.0.0.1"), peer.port(), XMPPClient::TlsRequired);
        QVERIFY(waitUnconnected(client, 8000) && !errors.isEmpty());
        QCOMPARE(errors.first().at(0).value<XMPPClient::XMPPError>(), XMPPClient::SslErrors);
        QVERIFY(!peer.received().contains("<auth"));
    }

    void retryWithNewCredentials()
    {
        ScriptedXmppPeer peer;
        QVERIFY(peer.listen());
        peer.expect(QStringLiteral("<stream:stream[^>]*>"))
            .send(ScriptedXmppPeer::header() + ScriptedXmppPeer::features(PlainOnly))
            .expect(QRegularExpression::escape(AuthUserPw))
            .send(failure("not-authorized"))
            // "\0user\0secret"
            .expect(QStringLiteral(">AHVzZXIAc2VjcmV0</auth>"))
            .send(Success)
            .expect(QStringLiteral("<stream:stream[^>]*>"))
            .send(ScriptedXmppPeer::header() + ScriptedXmppPeer::features(Bind))
            .expect(QStringLiteral("<iq [^>]*id=\"(?<id>[^\"]+)\"[^>]*><bind "))
            .send(BindResult);
        XMPPClient client;
        connect(&client, &XMPPClient::xmppError, &client, [&client](XMPPClient::XMPPError error, const QString&) {
            if (error == XMPPClient::RetryAuth)
                client.setCredentials(QStringLiteral("user"), QStringLiteral("secret"));
        });
        QVERIFY2(connectToPeer(client, peer.port()), qPrintable(peer.pendingStep()));
        QCOMPARE(QString::fromUtf8(peer.received()).count(QStringLiteral("<auth ")), 2);
    }

    void serverSideSplitAtEveryByte()
    {
        ScriptedXmppPeer peer;
        QVERIFY(peer.listen());
        peer.setPieceSize(1);
        peer.playPlainLogin(QStringLiteral("localhost"), true);
        XMPPClient client;
        QVERIFY2(connectToPeer(client, peer.port(), QStringLiteral("user"), XMPPClient::TlsNever, 20000),
                 qPrintable(peer.pendingStep()));
    }

    void connectWhileBusyIsRefused()
    {
        ScriptedXmppPeer peer;
        QVERIFY(peer.listen());
        peer.playPlainLogin();
        XMPPClient client;
        QVERIFY(connectToPeer(client, peer.port()));
        client.connectToHost(QStringLiteral("127.0.0.1"), 1, XMPPClient::TlsNever);
        QCOMPARE(client.state(), int(XMPPClient::SessionState));
        QTest::qWait(50);
        QCOMPARE(client.state(), int(XMPPClient::SessionState));
    }
};

QTEST_MAIN(TestClientNegotiation)
#include "tst_client_negotiation.moc"
