// The client against a real Prosody: negotiation with STARTTLS, service
// discovery, roster, vCards, subscriptions and the user search.
#include "ClientTestUtil.h"
#include "ProsodyAccounts.h"
#include "ProsodyFixture.h"
#include "RawXmppClient.h"
#include "XMPPClient.h"

#include <QBuffer>
#include <QImage>
#include <QLoggingCategory>
#include <QPainter>
#include <QSignalSpy>
#include <QTcpServer>
#include <QThread>
#include <QTest>

using namespace clienttest;

class TestClientProsody : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProsodyFixture> m_server;

    bool connectUser(XMPPClient& client, const QString& user, int policy = XMPPClient::TlsRequired)
    {
        return connectAndWait(client, m_server->host(), m_server->port(), m_server->domain(), user,
                              QStringLiteral("pw-") + user, policy);
    }

    /// Another user, as a bare stream the test writes by hand.
    bool loginOther(RawXmppClient& other, const QString& user)
    {
        QString error;
        if (other.login(m_server->host(), m_server->port(), m_server->domain(), user, QStringLiteral("pw-") + user,
                        &error))
            return true;
        qWarning("%s", qPrintable(error));
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        ProsodyFixture::Options options;
        options.searchUsers = {{QStringLiteral("2001"), QStringLiteral("Mei Ling")},
                               {QStringLiteral("2002"), QStringLiteral("Kenji")},
                               {QStringLiteral("2003"), QStringLiteral("Meiko")}};
        m_server = std::make_unique<ProsodyFixture>(options);
        QVERIFY(startWithAccounts(*m_server, {"2001", "2002", "2003"}));
    }

    void cleanupTestCase() { m_server.reset(); }

    void negotiation_data()
    {
        QTest::addColumn<int>("policy");
        QTest::addColumn<bool>("encrypted");
        QTest::newRow("TLS required") << int(XMPPClient::TlsRequired) << true;
        QTest::newRow("TLS if offered") << int(XMPPClient::TlsIfOffered) << true;
        QTest::newRow("TLS never") << int(XMPPClient::TlsNever) << false;
    }

    void negotiation()
    {
        QFETCH(int, policy);
        QFETCH(bool, encrypted);
        XMPPClient client;
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        QSignalSpy presences(&client, &XMPPClient::presence);
        QVERIFY2(connectUser(client, QStringLiteral("2001"), policy), qPrintable(m_server->log().right(3000)));
        QVERIFY(errors.isEmpty());
        QVERIFY2(client.ownJid().startsWith(QStringLiteral("2001@localhost/")), qPrintable(client.ownJid()));
        // The own presence went out: the server reflects it to the own resource.
        QVERIFY(presences.wait(5000));
        QCOMPARE(presences.first().first().value<XMPPPresence>().from().toString(), client.ownJid());

        QSignalSpy disconnected(&client, &XMPPClient::disconnected);
        client.disconnectFromHost();
        QCOMPARE(client.state(), int(XMPPClient::DisconnectingState));
        QVERIFY(disconnected.wait(5000));
        QCOMPARE(client.state(), int(XMPPClient::UnconnectedState));
    }

    void sameClientConnectsAgain_data()
    {
        QTest::addColumn<bool>("serverDrops");
        QTest::newRow("after disconnecting") << false;
        QTest::newRow("after the server dropped the connection") << true;
    }

    void sameClientConnectsAgain()
    {
        // The same client connects again as soon as the session has ended:
        // the second stream must reach the session like the first.
        QFETCH(bool, serverDrops);
        XMPPClient client;
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        QSignalSpy connected(&client, &XMPPClient::connected);
        QSignalSpy disconnected(&client, &XMPPClient::disconnected);
        QVERIFY2(connectUser(client, QStringLiteral("2002")), qPrintable(m_server->log().right(3000)));
        QSignalSpy resets(&client, &XMPPClient::rosterReset);
        client.requestRoster();
        QVERIFY(resets.wait(5000));

        QObject context;
        connect(&client, &XMPPClient::disconnected, &context, [&] {
            context.disconnect();
            client.connectToHost(m_server->host(), m_server->port(), XMPPClient::TlsRequired);
        });
        if (serverDrops) {
            // The server dies without closing its streams and comes back on
            // a port of its own before the client notices.
            m_server->kill();
            QString error;
            QVERIFY2(m_server->start(&error), qPrintable(error));
        } else {
            client.disconnectFromHost();
        }
        QTRY_COMPARE_WITH_TIMEOUT(connected.size(), 2, 10000);
        QCOMPARE(disconnected.size(), 1);
        QCOMPARE(client.state(), int(XMPPClient::SessionState));
        QVERIFY2(client.ownJid().startsWith(QStringLiteral("2002@localhost/")), qPrintable(client.ownJid()));

        // The new session is served: the roster and a vCard are answered.
        resets.clear();
        client.requestRoster();
        QVERIFY(resets.wait(5000));
        QSignalSpy cards(&client, &XMPPClient::vCardReceived);
        QSignalSpy cardErrors(&client, &XMPPClient::vCardReceivedError);
        client.requestVCard(XMPPJid(QStringLiteral("localhost"), QStringLiteral("2001")));
        QTRY_COMPARE_WITH_TIMEOUT(cards.size() + cardErrors.size(), 1, 5000);
        QVERIFY(errors.isEmpty());
        QCOMPARE(disconnected.size(), 1);
    }

    void wrongPasswordEndsTheAttempt()
    {
        XMPPClient client;
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        client.setDomain(m_server->domain());
        client.setCredentials(QStringLiteral("2001"), QStringLiteral("wrong"));
        client.connectToHost(m_server->host(), m_server->port(), XMPPClient::TlsRequired);
        QVERIFY(waitUnconnected(client, 8000) && errors.size() >= 2);
        QCOMPARE(errors.at(0).at(0).value<XMPPClient::XMPPError>(), XMPPClient::RetryAuth);
        QCOMPARE(errors.last().at(0).value<XMPPClient::XMPPError>(), XMPPClient::ProtocolError);
        QVERIFY(errors.last().at(1).toString().contains(QStringLiteral("not-authorized")));
    }

    void refusedConnectionIsReported()
    {
        XMPPClient client;
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        QSignalSpy socketErrors(&client, &XMPPClient::socketError);
        // A port that was free a moment ago: nothing listens there.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        client.connectToHost(QStringLiteral("127.0.0.1"), port, XMPPClient::TlsRequired);
        QVERIFY(errors.wait(5000));
        QCOMPARE(errors.first().at(0).value<XMPPClient::XMPPError>(), XMPPClient::ProtocolError);
        QVERIFY(errors.first().at(1).toString().contains(QString::number(port)));
        QCOMPARE(socketErrors.size(), 1);
        QCOMPARE(client.state(), int(XMPPClient::UnconnectedState));
    }

    void conferenceServiceDiscovery()
    {
        XMPPClient client;
        QVERIFY(connectUser(client, QStringLiteral("2001")));
        QSignalSpy services(&client, &XMPPClient::conferenceJID);
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        client.discoverConferenceService();
        QVERIFY2(services.wait(5000), qPrintable(m_server->log().right(3000)));
        QCOMPARE(services.first().first().value<XMPPJid>().toString(), m_server->mucService());
        QTest::qWait(200);
        QCOMPARE(services.size(), 1); // the search service is no chat service
        QVERIFY(errors.isEmpty());
        QCOMPARE(client.state(), int(XMPPClient::SessionState));
    }

    void rosterAddListRemove()
    {
        XMPPClient client;
        QVERIFY(connectUser(client, QStringLiteral("2002")));
        QSignalSpy updates(&client, &XMPPClient::rosterUpdate);
        QSignalSpy resets(&client, &XMPPClient::rosterReset);
        // The server pushes changes only to resources that fetched the roster.
        client.requestRoster();
        QVERIFY(resets.wait(5000));
        QCOMPARE(updates.size(), 0);
        resets.clear();

        client.updateRosterItem(XMPPJid(QStringLiteral("localhost"), QStringLiteral("2003")), false,
                                QStringLiteral("Meiko"), QStringLiteral("Friends"));
        QVERIFY(updates.wait(5000));
        QCOMPARE(resets.size(), 0); // a push is no reset
        QCOMPARE(updates.first().at(0).value<XMPPJid>().toString(), QStringLiteral("2003@localhost"));
        QCOMPARE(updates.first().at(2).toBool(), false);
        QCOMPARE(updates.first().at(3).toString(), QStringLiteral("Meiko"));
        QCOMPARE(updates.first().at(4).toString(), QStringLiteral("Friends"));

        updates.clear();
        client.requestRoster();
        QVERIFY(resets.wait(5000));
        QTRY_COMPARE(updates.size(), 1);
        QCOMPARE(updates.first().at(0).value<XMPPJid>().toString(), QStringLiteral("2003@localhost"));

        // A friend as large as a push brings one is listed at the next login too.
        client.updateRosterItem(XMPPJid(QStringLiteral("localhost"), QStringLiteral("2001")), false,
                                QString(70000, QLatin1Char('k')), QStringLiteral("Friends"));
        QTRY_COMPARE_WITH_TIMEOUT(updates.size(), 2, 5000);
        client.requestRoster();
        QVERIFY(resets.wait(5000));
        QTRY_COMPARE(updates.size(), 4);

        updates.clear();
        client.updateRosterItem(XMPPJid(QStringLiteral("localhost"), QStringLiteral("2003")), true, QString(),
                                QString());
        QVERIFY(updates.wait(5000));
        QCOMPARE(updates.first().at(2).toBool(), true);
    }

    void vCardWithPhotoAndPresenceHash()
    {
        XMPPClient owner;
        XMPPClient viewer;
        QVERIFY(connectUser(owner, QStringLiteral("2001")));
        QVERIFY(connectUser(viewer, QStringLiteral("2002")));

        QImage picture(24, 16, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter(&picture).fillRect(2, 2, 10, 8, QColor(200, 30, 40));
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        picture.save(&png, "PNG");

        QSignalSpy uploaded(&owner, &XMPPClient::uploadVCardOk);
        QSignalSpy ownPresence(&owner, &XMPPClient::presence);
        owner.uploadVCard(XMPPVCard{.photo = png.data()});
        QVERIFY(uploaded.wait(5000));
        // The own presence goes out again with the new hash.
        QVERIFY(ownPresence.wait(5000));
        const QByteArray hash = ownPresence.last().first().value<XMPPPresence>().photoHash();
        QCOMPARE(hash.size(), 20);

        QSignalSpy received(&viewer, &XMPPClient::vCardReceived);
        viewer.requestVCard(XMPPJid(QStringLiteral("localhost"), QStringLiteral("2001")));
        QVERIFY(received.wait(5000));
        QCOMPARE(received.first().at(0).value<XMPPJid>().toString(), QStringLiteral("2001@localhost"));
        const XMPPVCard card = received.first().at(1).value<XMPPVCard>();
        QCOMPARE(card.photo, png.data());
        QCOMPARE(card.photoHash, hash);

        // A user without a vCard: an empty vCard or an error, never a hang.
        QSignalSpy failed(&viewer, &XMPPClient::vCardReceivedError);
        received.clear();
        viewer.requestVCard(XMPPJid(QStringLiteral("localhost"), QStringLiteral("2003")));
        QTRY_VERIFY_WITH_TIMEOUT(received.size() + failed.size() == 1, 5000);
        if (!received.isEmpty())
            QVERIFY(received.first().at(1).value<XMPPVCard>().photo.isEmpty());

        // Asked a thousand times at its own address, the owner answers a few times a second and
        // leaves the rest unanswered: what others ask never piles up on the stream.
        failed.clear();
        for (int i = 0; i < 1000; ++i)
            viewer.requestVCard(XMPPJid::fromText(owner.ownJid()));
        QTest::qWait(1500);
        QVERIFY2(!failed.isEmpty() && failed.size() <= 100, qPrintable(QString::number(failed.size())));
        QCOMPARE(owner.state(), int(XMPPClient::SessionState));
    }

    void subscriptionRequestAndAnswer()
    {
        XMPPClient asker;
        XMPPClient friendClient;
        QVERIFY(connectUser(asker, QStringLiteral("2001")));
        QVERIFY(connectUser(friendClient, QStringLiteral("2003")));
        QSignalSpy requests(&friendClient, &XMPPClient::authorizationRequestReceived);
        QSignalSpy askerRoster(&asker, &XMPPClient::rosterUpdate);
        QSignalSpy askerReset(&asker, &XMPPClient::rosterReset);
        asker.requestRoster();
        QVERIFY(askerReset.wait(5000));
        asker.sendSubscription(XMPPJid(QStringLiteral("localhost"), QStringLiteral("2003")), false);
        QVERIFY(requests.wait(5000));
        QCOMPARE(requests.first().first().value<XMPPJid>().toString(), QStringLiteral("2001@localhost"));

        QSignalSpy presences(&asker, &XMPPClient::presence);
        friendClient.answerSubscription(XMPPJid(QStringLiteral("localhost"), QStringLiteral("2001")), 1);
        // The asker now sees the friend's presence and the subscription "to".
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(presences.cbegin(), presences.cend(),
                                             [](const QList<QVariant>& args) {
                                                 return args.first().value<XMPPPresence>().from().bare().toString()
                                                        == QLatin1String("2003@localhost");
                                             }),
                                 5000);
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(askerRoster.cbegin(), askerRoster.cend(),
                                             [](const QList<QVariant>& args) {
                                                 return (args.at(1).toInt() & 1) != 0;
                                             }),
                                 5000);
    }

    void searchOverDataForm()
    {
        XMPPClient client;
        QVERIFY(connectUser(client, QStringLiteral("2002")));
        const XMPPJid service(m_server->searchService());
        QSignalSpy forms(&client, &XMPPClient::requestSearchFormResult);
        client.requestSearchForm(service, QStringLiteral("tag-a"));
        QVERIFY(forms.wait(5000));
        QCOMPARE(forms.first().at(1).toString(), QStringLiteral("tag-a"));
        XMPPDataForm form = forms.first().at(0).value<XMPPDataForm>();
        QCOMPARE(form.kind(), int(XMPPDataForm::DataForm));
        XMPPDataForm::Field* field = form.field(QStringLiteral("search"));
        QVERIFY(field);
        QCOMPARE(field->type, int(XMPPDataForm::TextSingle));
        field->value = QStringLiteral("MEI");

        QSignalSpy reports(&client, &XMPPClient::searchReport);
        QSignalSpy errors(&client, &XMPPClient::searchError);
        client.search(service, form, QStringLiteral("tag-b"));
        QVERIFY(reports.wait(5000));
        QVERIFY(errors.isEmpty());
        QCOMPARE(reports.first().at(1).toString(), QStringLiteral("tag-b"));
        const XMPPDataReport report = reports.first().at(0).value<XMPPDataReport>();
        QCOMPARE(report.columns, QStringList({QStringLiteral("jid"), QStringLiteral("Name")}));
        QCOMPARE(report.rows.size(), 2);
        QCOMPARE(report.rows.at(0).value(QStringLiteral("jid")), QStringLiteral("2001@localhost"));
        QCOMPARE(report.rows.at(0).value(QStringLiteral("Name")), QStringLiteral("Mei Ling"));
        QCOMPARE(report.rows.at(1).value(QStringLiteral("Name")), QStringLiteral("Meiko"));
    }

    void answersFromOthersAreIgnored_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QByteArray>("forged"); // the payload of the forged result
        QTest::newRow("friends list") << QStringLiteral("roster")
                                      << QByteArray("<query xmlns='jabber:iq:roster'><item jid='evil@localhost' "
                                                    "subscription='both' name='Evil'/></query>");
        QTest::newRow("search answer") << QStringLiteral("search")
                                       << QByteArray("<query xmlns='jabber:iq:search'><item jid='evil@localhost'>"
                                                     "<nick>Meiko</nick></item></query>");
        QTest::newRow("room list") << QStringLiteral("rooms")
                                   << QByteArray("<query xmlns='http://jabber.org/protocol/disco#items'>"
                                                 "<item jid='evil@conference.localhost'/></query>");
        // Before the sender was checked, this ended the session.
        QTest::newRow("answer of the wrong kind") << QStringLiteral("roster")
                                                  << QByteArray("<vCard xmlns='vcard-temp'/>");
    }

    void answersFromOthersAreIgnored()
    {
        QFETCH(QString, request);
        QFETCH(QByteArray, forged);
        XMPPClient client;
        QVERIFY(connectUser(client, QStringLiteral("2001")));
        RawXmppClient other;
        QVERIFY(loginOther(other, QStringLiteral("2003")));
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        QSignalSpy resets(&client, &XMPPClient::rosterReset);
        QSignalSpy updates(&client, &XMPPClient::rosterUpdate);
        QSignalSpy reports(&client, &XMPPClient::searchReport);
        QSignalSpy searchErrors(&client, &XMPPClient::searchError);
        QSignalSpy rooms(&client, &XMPPClient::conferenceRooms);

        // Ids count up: the other user guesses the next one and has the server
        // deliver the forged answer before the client's request is out. The
        // client reads it only once the request is registered (the event loop
        // does not run in between), so it sees the forgery first.
        const QString id = QString::number(client.nextId().toInt() + 1);
        other.send("<iq type='result' id='" + id.toUtf8() + "' to='" + client.ownJid().toUtf8() + "'>" + forged
                   + "</iq>");
        QThread::msleep(300);
        XMPPDataForm legacy(XMPPDataForm::LegacySearch);
        auto nick = std::make_unique<XMPPDataForm::Field>(XMPPDataForm::TextSingle, QStringLiteral("nick"),
                                                          QStringLiteral("Nickname"));
        nick->value = QStringLiteral("kenji");
        legacy.addField(std::move(nick));
        if (request == QLatin1String("roster"))
            client.requestRoster();
        else if (request == QLatin1String("search"))
            client.search(XMPPJid(m_server->searchService()), legacy, QStringLiteral("t"));
        else
            client.requestConferenceRooms(XMPPJid(m_server->mucService()));

        // The server's own answer is taken.
        QTRY_VERIFY_WITH_TIMEOUT(resets.size() + reports.size() + searchErrors.size() + rooms.size() == 1, 5000);
        QTest::qWait(100);
        QCOMPARE(resets.size() + reports.size() + searchErrors.size() + rooms.size(), 1);
        for (const auto& update : std::as_const(updates))
            QVERIFY(update.first().value<XMPPJid>().toString() != QLatin1String("evil@localhost"));
        if (request == QLatin1String("search")) {
            QCOMPARE(reports.size(), 1);
            QCOMPARE(reports.first().first().value<XMPPDataReport>().rows.value(0).value(QStringLiteral("jid")),
                     QStringLiteral("2002@localhost"));
        }
        if (request == QLatin1String("rooms")) {
            for (const XMPPJid& room : rooms.first().first().value<QList<XMPPJid>>())
                QVERIFY(room.toString() != QLatin1String("evil@conference.localhost"));
        }
        QVERIFY(errors.isEmpty());
        QCOMPARE(client.state(), int(XMPPClient::SessionState));
        other.disconnectFromServer();
    }

    void wrongKindOfAnswerCostsOnlyItsRequest()
    {
        // The addressee itself answers, with something else than was asked.
        XMPPClient client;
        QVERIFY(connectUser(client, QStringLiteral("2001")));
        RawXmppClient other;
        QVERIFY(loginOther(other, QStringLiteral("2003")));
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        QSignalSpy services(&client, &XMPPClient::conferenceJID);
        client.requestDiscoInfo(XMPPJid::fromText(other.jid()));
        QRegularExpressionMatch asked;
        QVERIFY(other.waitFor(QStringLiteral("<iq [^>]*id=['\"]([^'\"]+)['\"][^>]*>.*?</iq>"), 5000, &asked));
        const QByteArray to = client.ownJid().toUtf8();
        other.send("<iq type='result' id='" + asked.captured(1).toUtf8() + "' to='" + to
                   + "'><query xmlns='jabber:iq:roster'/></iq>");
        // Still in session: a request made afterwards is answered.
        QSignalSpy resets(&client, &XMPPClient::rosterReset);
        client.requestRoster();
        QVERIFY(resets.wait(5000));
        QVERIFY(errors.isEmpty());
        QVERIFY(services.isEmpty());
        QCOMPARE(client.state(), int(XMPPClient::SessionState));
        other.disconnectFromServer();
    }

    void certificateForAnotherName()
    {
        // The server serves this domain too, but its certificate names only
        // "localhost": the handshake fails with the name reported.
        XMPPClient client;
        QSignalSpy errors(&client, &XMPPClient::xmppError);
        QSignalSpy connected(&client, &XMPPClient::connected);
        client.setDomain(m_server->otherDomain());
        client.setCredentials(QStringLiteral("2001"), QStringLiteral("pw-2001"));
        client.connectToHost(m_server->host(), m_server->port(), XMPPClient::TlsRequired);
        QVERIFY2(errors.wait(8000), qPrintable(m_server->log().right(2000)));
        QCOMPARE(errors.first().at(0).value<XMPPClient::XMPPError>(), XMPPClient::SslErrors);
        QVERIFY2(errors.first().at(1).toString().contains(QStringLiteral("host name"), Qt::CaseInsensitive),
                 qPrintable(errors.first().at(1).toString()));
        QVERIFY(waitUnconnected(client, 8000));
        QVERIFY(connected.isEmpty());
    }

    void searchOverLegacyFields()
    {
        XMPPClient client;
        QVERIFY(connectUser(client, QStringLiteral("2002")));
        XMPPDataForm form(XMPPDataForm::LegacySearch);
        auto nick = std::make_unique<XMPPDataForm::Field>(XMPPDataForm::TextSingle, QStringLiteral("nick"),
                                                          QStringLiteral("Nickname"));
        nick->value = QStringLiteral("kenji");
        form.addField(std::move(nick));
        QSignalSpy reports(&client, &XMPPClient::searchReport);
        client.search(XMPPJid(m_server->searchService()), form, QStringLiteral("legacy"));
        QVERIFY(reports.wait(5000));
        const XMPPDataReport report = reports.first().at(0).value<XMPPDataReport>();
        QCOMPARE(report.columns.value(0), QStringLiteral("jid"));
        QCOMPARE(report.rows.size(), 1);
        QCOMPARE(report.rows.first().value(QStringLiteral("jid")), QStringLiteral("2002@localhost"));
        QCOMPARE(report.rows.first().value(QStringLiteral("nick")), QStringLiteral("Kenji"));
    }
};

QTEST_MAIN(TestClientProsody)
#include "tst_client_prosody.moc"
