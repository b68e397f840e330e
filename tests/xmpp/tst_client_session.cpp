// The bound session against a scripted server: what arrives is dispatched,
// bad input from the peer costs one stanza (or ends the stream cleanly),
// requests always get an answer, and discovery survives error replies.
#include "ClientTestUtil.h"
#include "ScriptedXmppPeer.h"
#include "XMPPClient.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace clienttest;

namespace {

const QByteArray StanzaNs = "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'";

QByteArray errorReply(const char* id, const char* from, const char* condition = "service-unavailable")
{
    return QByteArray("<iq type='error' id='") + id + "' from='" + from + "'><error type='cancel'><" + condition + " "
           + StanzaNs + "/></error></iq>";
}

}

class TestClientSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedXmppPeer> m_peer;
    std::unique_ptr<XMPPClient> m_client;

    /// A client in a bound session with a fresh scripted peer; the ids of
    /// the login are "1" (bind), so the first request after it is "2".
    bool login()
    {
        m_peer = std::make_unique<ScriptedXmppPeer>();
        if (!m_peer->listen())
            return false;
        m_peer->playPlainLogin();
        m_client = std::make_unique<XMPPClient>();
        if (!connectToPeer(*m_client, m_peer->port()))
            return false;
        return m_peer->waitReceived(QStringLiteral("<presence>.*</presence>"));
    }

    QString wrote() const { return QString::fromUtf8(m_peer->received()); }

private Q_SLOTS:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false")); }

    void cleanup()
    {
        m_client.reset();
        m_peer.reset();
    }

    void foreignRequestIsRefusedAndReadingGoesOn()
    {
        QVERIFY(login());
        QSignalSpy messages(m_client.get(), &XMPPClient::messageReceived);
        m_peer->sendNow("<iq type='get' id='q1' from='other@localhost/x'><query xmlns='jabber:iq:version'/></iq>"
                        "<message type='chat' from='other@localhost/x'><body>after</body></message>");
        QVERIFY(messages.wait(3000));
        QCOMPARE(messages.first().first().value<XMPPMessage>().body(), QStringLiteral("after"));
        QVERIFY(m_peer->waitReceived(QStringLiteral(
            "<iq to=\"other@localhost/x\" id=\"q1\" type=\"error\"><error type=\"cancel\"><feature-not-implemented "
            "xmlns=\"urn:ietf:params:xml:ns:xmpp-stanzas\"/></error></iq>")));
        QByteArray occupants; // a room's occupants ask through the room, each from an address of its own
        for (int i = 0; i < 40; ++i)
            occupants += "<iq type='get' id='o" + QByteArray::number(i) + "' from='r@conference.localhost/n" + QByteArray::number(i) + "'/>";
        m_peer->sendNow(occupants);
        QVERIFY(m_peer->waitReceived(QStringLiteral("id=\"o39\" type=\"error\"")));
    }

    void faultyStanzaCostsOnlyItself_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<bool>("answered"); // with an error stanza to its sender
        QTest::newRow("sender JID part too long")
            << QByteArray("<message type='chat' from='a@localhost/" + QByteArray(1100, 'r') + "'><body>x</body></message>")
            << false;
        QTest::newRow("unknown stanza error condition")
            << QByteArray("<message type='error' from='a@localhost'><error type='cancel'><no-such-thing " + StanzaNs
                          + "/></error></message>")
            << false;
        QTest::newRow("search answer of a kind that cannot be read")
            << QByteArray("<iq type='result' id='77' from='s.localhost'><query xmlns='jabber:iq:search'>"
                          "<x xmlns='jabber:x:data' type='cancel'/></query></iq>")
            << false;
        QTest::newRow("reply to a request never made") << QByteArray("<iq type='result' id='9999'/>") << false;
        // Another user's stanzas, relayed as written, must not end the
        // session, and only requests are answered: a room takes an error
        // presence from an occupant as the occupant's exit.
        QTest::newRow("chat message holding an error element")
            << QByteArray("<message type='chat' from='a@localhost/x'><error type='cancel'><gone " + StanzaNs
                          + "/></error><body>x</body></message>")
            << false;
        QTest::newRow("presence holding an error element")
            << QByteArray("<presence from='r@conference.localhost/x'><error type='cancel'><gone " + StanzaNs
                          + "/></error></presence>")
            << false;
        QTest::newRow("message over 1 MiB")
            << "<message from='a@localhost/x'><body>" + QByteArray(1100 * 1024, 'a') + "</body></message>" << false;
        QTest::newRow("error message of an unknown error type")
            << QByteArray("<message type='error' from='a@localhost/x'><error type='bogus'><gone " + StanzaNs
                          + "/></error></message>")
            << false;
        QTest::newRow("error presence without an error element")
            << QByteArray("<presence type='error' from='a@localhost/x'/>") << false;
        QTest::newRow("iq error without an error element") << QByteArray("<iq type='error' id='55' from='a@localhost/x'/>")
                                                            << false;
        QTest::newRow("iq result from an over-long JID")
            << QByteArray("<iq type='result' id='56' from='a@localhost/" + QByteArray(1100, 'r') + "'/>") << false;
        QTest::newRow("unreadable request") << QByteArray(
            "<iq type='set' id='q7' from='a@localhost/x'><query xmlns='jabber:iq:search'>"
            "<x xmlns='jabber:x:data' type='cancel'/></query></iq>") << true;
        QTest::newRow("1 MiB of whitespace between stanzas") << QByteArray(1100 * 1024, ' ') << false;
    }

    void faultyStanzaCostsOnlyItself()
    {
        QFETCH(QByteArray, bad);
        QFETCH(bool, answered);
        QVERIFY(login());
        QSignalSpy messages(m_client.get(), &XMPPClient::messageReceived);
        QSignalSpy errors(m_client.get(), &XMPPClient::xmppError);
        // The request after it is always answered: once that answer has
        // arrived, everything the client wrote about the faulty one has too.
        m_peer->sendNow(bad + "<message type='chat' from='b@localhost/y'><body>next</body></message>"
                              "<iq type='get' id='probe' from='b@localhost/y'><query xmlns='jabber:iq:version'/></iq>");
        QVERIFY(messages.wait(3000));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().first().value<XMPPMessage>().from().toString(), QStringLiteral("b@localhost/y"));
        QVERIFY(m_peer->waitReceived(QStringLiteral("id=\"probe\" type=\"error\"")));
        QVERIFY(errors.isEmpty());
        QCOMPARE(m_client->state(), int(XMPPClient::SessionState));
        const QRegularExpression errorStanza(QStringLiteral("<(iq|message|presence)( [^>]*)? type=\"error\""));
        QCOMPARE(int(wrote().count(errorStanza)), answered ? 2 : 1);
        // An answer goes to the sender, never to the server.
        const QRegularExpression toSender(QStringLiteral("<(iq|message|presence) to=\"a@localhost/x\"[^>]* type=\"error\""));
        QVERIFY2(int(wrote().count(toSender)) == (answered ? 1 : 0), qPrintable(wrote().right(400)));
    }

    void streamFaultsEndTheStream_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("condition");
        QTest::newRow("not well-formed") << QByteArray("</message>")
                                         << QStringLiteral("xml-not-well-formed|not-well-formed");
        QTest::newRow("processing instruction") << QByteArray("<?evil?>") << QStringLiteral("restricted-xml");
        QTest::newRow("unknown top-level element") << QByteArray("<foo xmlns='urn:x'/>")
                                                   << QStringLiteral("unsupported-stanza-type");
        QTest::newRow("bytes that are no UTF-8") << QByteArray("<message from='a@localhost/x'><body>\xff\xfe</body></message>")
                                                 << QStringLiteral("xml-not-well-formed|not-well-formed");
        // An unclosed value would take every later stanza into it.
        QTest::newRow("markup that never ends") << "<message a='" + QByteArray(65 * 1024 * 1024, 'a')
                                                << QStringLiteral("policy-violation");
    }

    void streamFaultsEndTheStream()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, condition);
        QVERIFY(login());
        QSignalSpy errors(m_client.get(), &XMPPClient::xmppError);
        QSignalSpy disconnected(m_client.get(), &XMPPClient::disconnected);
        m_peer->sendNow(bytes);
        QVERIFY(m_peer->waitClientClosed(5000));
        QTRY_COMPARE_WITH_TIMEOUT(disconnected.size(), 1, 3000);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().at(0).value<XMPPClient::XMPPError>(), XMPPClient::ProtocolError);
        QVERIFY2(QRegularExpression(QStringLiteral("<stream:error><(%1) [^>]*/>.*</stream:error></stream:stream>$").arg(condition))
                     .match(wrote())
                     .hasMatch(),
                 qPrintable(wrote().right(300)));
    }

    void serverStreamErrorEndsTheSession_data()
    {
        QTest::addColumn<QByteArray>("condition");
        QTest::addColumn<bool>("known");
        QTest::newRow("conflict") << QByteArray("conflict") << true;
        QTest::newRow("system-shutdown") << QByteArray("system-shutdown") << true;
        // RFC 6120's newer names are read and logged as such, not refused.
        QTest::newRow("reset") << QByteArray("reset") << true;
        QTest::newRow("unsupported-feature") << QByteArray("unsupported-feature") << true;
        QTest::newRow("not-well-formed") << QByteArray("not-well-formed") << true;
        QTest::newRow("a name of no list") << QByteArray("bogus") << false;
    }

    void serverStreamErrorEndsTheSession()
    {
        QFETCH(QByteArray, condition);
        QFETCH(bool, known);
        QVERIFY(login());
        QSignalSpy errors(m_client.get(), &XMPPClient::xmppError);
        QSignalSpy disconnected(m_client.get(), &XMPPClient::disconnected);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QString::fromUtf8(condition)));
        m_peer->sendNow("<stream:error><" + condition + " xmlns='urn:ietf:params:xml:ns:xmpp-streams'/></stream:error>");
        QTRY_COMPARE_WITH_TIMEOUT(disconnected.size(), 1, 3000);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.first().at(1).toString().contains(QString::fromUtf8(condition)));
        QVERIFY(m_peer->waitReceived(QStringLiteral("</stream:stream>$")));
        // A known condition is not answered with a stream error of ours.
        QCOMPARE(wrote().contains(QStringLiteral("<stream:error>")), !known);
    }

    void serverThatStopsReadingIsDropped()
    {
        QVERIFY(login());
        QSignalSpy errors(m_client.get(), &XMPPClient::xmppError);
        m_client->setMaxWriteBacklog(64 * 1024);
        m_peer->stopReading();
        // Another user's requests are answered only while little waits
        // unsent, and a few a second: they never cost the stream.
        for (int i = 0; i < 100 && errors.isEmpty(); ++i, QTest::qWait(20))
            m_peer->sendNow(QByteArray("<iq type='get' id='q' from='a@localhost/x'><query xmlns='jabber:iq:version'/></iq>").repeated(1000));
        QVERIFY(errors.isEmpty());
        QCOMPARE(m_client->state(), int(XMPPClient::SessionState));
        // A friend's request waits behind the own writes (more than the kernel holds), told once
        // however often asked, never dropped.
        XMPPMessage line(XMPPJid(QStringLiteral("b@localhost")), XMPPMessage::Chat);
        line.setBody(QString(100 * 1024, QLatin1Char('x')));
        m_client->setMaxWriteBacklog(64 * 1024 * 1024);
        for (int i = 0; i < 30; ++i)
            m_client->sendMessage(line);
        // A request written behind them is timed from when its bytes leave.
        m_client->setAnswerTimeout(300);
        QSignalSpy searchFailed(m_client.get(), &XMPPClient::searchError);
        m_client->search(XMPPJid(QStringLiteral("search.localhost")), XMPPDataForm(XMPPDataForm::DataForm), QStringLiteral("queued"));
        QSignalSpy friends(m_client.get(), &XMPPClient::authorizationRequestReceived);
        QSignalSpy after(m_client.get(), &XMPPClient::messageReceived);
        m_peer->sendNow(QByteArray("<presence type='subscribe' from='f@localhost'/>").repeated(3)
                        + "<message from='g@localhost/r' type='chat'><body>read</body></message>");
        QTRY_COMPARE(after.size(), 1);
        QVERIFY(friends.isEmpty());
        QTest::qWait(400);
        QVERIFY(searchFailed.isEmpty());
        m_peer->stopReading(false);
        QTRY_COMPARE(friends.size(), 1);
        m_peer->stopReading();
        m_client->setMaxWriteBacklog(64 * 1024);
        // The own writes that nobody takes end it.
        for (int i = 0; i < 600 && errors.isEmpty(); ++i, QTest::qWait(5))
            m_client->sendMessage(line);
        QVERIFY(waitUnconnected(*m_client) && !errors.isEmpty());
        QCOMPARE(errors.first().at(1).toString(), QStringLiteral("the server stopped reading"));
    }

    void endOfServerStream()
    {
        QVERIFY(login());
        QSignalSpy disconnected(m_client.get(), &XMPPClient::disconnected);
        m_peer->sendNow("</stream:stream>");
        QVERIFY(m_peer->waitReceived(QStringLiteral("</stream:stream>$")));
        m_peer->close();
        QTRY_COMPARE_WITH_TIMEOUT(disconnected.size(), 1, 3000);
        QCOMPARE(m_client->state(), int(XMPPClient::UnconnectedState));
    }

    void pendingRequestsFailBeforeDisconnected()
    {
        QVERIFY(login());
        QStringList events;
        connect(m_client.get(), &XMPPClient::vCardReceivedError, this, [&] { events << QStringLiteral("vcard"); });
        connect(m_client.get(), &XMPPClient::searchError, this, [&](const QString& tag) { events << tag; });
        connect(m_client.get(), &XMPPClient::disconnected, this, [&] { events << QStringLiteral("disconnected"); });
        // Lines of one read come in order, before the end, with turns of the
        // event loop among them.
        int turns = 0;
        QList<int> turnOfLine;
        QTimer ticker;
        ticker.callOnTimeout([&] { ++turns; });
        ticker.start(0);
        connect(m_client.get(), &XMPPClient::messageReceived, this, [&](const XMPPMessage& m) {
            events << m.body();
            turnOfLine << turns;
            QThread::usleep(200); // many turns on any machine, the server's close among them
        });
        QStringList lines;
        QByteArray read;
        for (int i = 0; i < 600; ++i) { // well within one read
            lines << QString::number(i);
            read += "<message><body>" + QByteArray::number(i) + "</body></message>";
        }
        m_client->requestVCard(XMPPJid(QStringLiteral("localhost"), QStringLiteral("friend")));
        m_client->search(XMPPJid(QStringLiteral("search.localhost")), XMPPDataForm(), QStringLiteral("tag"));
        QVERIFY(m_peer->waitReceived(QStringLiteral("jabber:iq:search")));
        m_peer->sendNow(read);
        m_peer->close();
        m_peer->waitFinished();
        QTRY_COMPARE_WITH_TIMEOUT(events.size(), 603, 10000);
        QCOMPARE(events, lines + QStringList({QStringLiteral("vcard"), QStringLiteral("tag"), QStringLiteral("disconnected")}));
        QVERIFY(turnOfLine.first() < turnOfLine.last());
    }

    void idsKeepRisingAcrossConnections()
    {
        QVERIFY(login());
        m_client->requestRoster();
        QVERIFY(m_peer->waitReceived(QStringLiteral("<iq id=\"2\" type=\"get\"><query xmlns=\"jabber:iq:roster\"/>")));
        QSignalSpy disconnected(m_client.get(), &XMPPClient::disconnected);
        m_client->disconnectFromHost();
        QVERIFY(disconnected.wait(3000));

        ScriptedXmppPeer second;
        QVERIFY(second.listen());
        second.playPlainLogin();
        QVERIFY(connectToPeer(*m_client, second.port()));
        QVERIFY(second.received().contains("<iq id=\"3\" type=\"set\"><bind"));
    }

    void discoveryChainWithErrorReplies()
    {
        QVERIFY(login());
        QSignalSpy services(m_client.get(), &XMPPClient::conferenceJID);
        QSignalSpy errors(m_client.get(), &XMPPClient::xmppError);
        m_peer->expect(QStringLiteral("<iq to=\"localhost\" id=\"(?<id>2)\" type=\"get\"><query xmlns=\"http://jabber.org/protocol/disco#info\"/>"))
            .send("<iq type='result' id='{id}' from='localhost'><query xmlns='http://jabber.org/protocol/disco#info'>"
                  "<identity category='server' type='im'/><feature var='jabber:iq:roster'/></query></iq>")
            .expect(QStringLiteral("<iq to=\"localhost\" id=\"(?<id>3)\" type=\"get\"><query xmlns=\"http://jabber.org/protocol/disco#items\"/>"))
            .send("<iq type='result' id='{id}' from='localhost'><query xmlns='http://jabber.org/protocol/disco#items'>"
                  "<item jid='localhost'/><item jid='search.localhost'/><item jid='conference.localhost'/>"
                  "</query></iq>")
            .expect(QStringLiteral("<iq to=\"search.localhost\" id=\"4\".*<iq to=\"conference.localhost\" id=\"5\""))
            // The search service answers with an error that carries no query.
            .send(errorReply("4", "search.localhost"))
            .send("<iq type='result' id='5' from='conference.localhost'><query xmlns='http://jabber.org/protocol/disco#info'>"
                  "<feature var='http://jabber.org/protocol/muc'/></query></iq>");
        m_client->discoverConferenceService();
        QVERIFY2(services.wait(3000), qPrintable(m_peer->pendingStep()));
        QCOMPARE(services.first().first().value<XMPPJid>().toString(), QStringLiteral("conference.localhost"));
        QVERIFY(errors.isEmpty());
        QCOMPARE(m_client->state(), int(XMPPClient::SessionState));
        // The item naming the server itself was not asked again.
        QCOMPARE(wrote().count(QStringLiteral("<iq to=\"localhost\"")), 2);

        // Thousands of services are asked a few at a time; the first to offer rooms is kept.
        QByteArray items = "<iq type='result' id='7' from='localhost'><query xmlns='http://jabber.org/protocol/disco#items'>";
        for (int i = 0; i < 15000; ++i)
            items += "<item jid='s" + QByteArray::number(i) + ".localhost'/>";
        const QByteArray muc = "'><query xmlns='http://jabber.org/protocol/disco#info'><feature var='http://jabber.org/protocol/muc'/></query></iq>";
        m_peer->expect(QStringLiteral("id=\"6\"")).send("<iq type='result' id='6' from='localhost'><query xmlns='http://jabber.org/protocol/disco#info'/></iq>")
            .expect(QStringLiteral("id=\"7\"")).send(items + "</query></iq>")
            .expect(QStringLiteral("<iq to=\"s3.localhost\" id=\"11\"")).send("<iq type='result' id='9' from='s1.localhost" + muc + "<iq type='result' id='8' from='s0.localhost" + muc);
        m_client->discoverConferenceService();
        QTRY_COMPARE(services.size(), 2);
        QTest::qWait(100);
        QCOMPARE(services.last().first().value<XMPPJid>().toString(), QStringLiteral("s1.localhost"));
        QCOMPARE(wrote().count(QRegularExpression(QStringLiteral("to=\"s\\d+\\.localhost\""))), 4);
    }

    void discoveryAsksEachEntityOnce()
    {
        QVERIFY(login());
        const auto info = [](const char* id, const char* from) {
            return QByteArray("<iq type='result' id='") + id + "' from='" + from
                   + "'><query xmlns='http://jabber.org/protocol/disco#info'/></iq>";
        };
        const auto items = [](const char* id, const char* from, const QByteArray& list) {
            return QByteArray("<iq type='result' id='") + id + "' from='" + from
                   + "'><query xmlns='http://jabber.org/protocol/disco#items'>" + list + "</query></iq>";
        };
        // a lists b, b lists a again: services that name each other.
        m_peer->expect(QStringLiteral("id=\"2\"")).send(info("2", "localhost"))
            .expect(QStringLiteral("id=\"3\"")).send(items("3", "localhost", "<item jid='a.localhost'/>"))
            .expect(QStringLiteral("id=\"4\"")).send(info("4", "a.localhost"))
            .expect(QStringLiteral("id=\"5\"")).send(items("5", "a.localhost", "<item jid='b.localhost'/><item jid='localhost'/>"))
            .expect(QStringLiteral("id=\"6\"")).send(info("6", "b.localhost"))
            .expect(QStringLiteral("id=\"7\"")).send(items("7", "b.localhost", "<item jid='a.localhost'/><item jid='localhost'/>"));
        QSignalSpy none(m_client.get(), &XMPPClient::conferenceJIDNotFound);
        m_client->discoverConferenceService();
        QVERIFY2(m_peer->waitFinished(3000), qPrintable(m_peer->pendingStep()));
        QTRY_COMPARE(none.size(), 1);
        QCOMPARE(wrote().count(QStringLiteral("disco#info")), 3);
        QCOMPARE(wrote().count(QStringLiteral("disco#items")), 3);
        QCOMPARE(m_client->state(), int(XMPPClient::SessionState));
    }

    void messageLanguageIsTheStreams()
    {
        QVERIFY(login());
        // The peer's header says xml:lang='en'.
        QSignalSpy messages(m_client.get(), &XMPPClient::messageReceived);
        m_peer->sendNow("<message type='chat' from='a@localhost/x'><body>hello</body></message>");
        QVERIFY(messages.wait(3000));
        QCOMPARE(messages.first().first().value<XMPPMessage>().language(), QStringLiteral("en"));

        XMPPMessage out(XMPPJid(QStringLiteral("localhost"), QStringLiteral("a")), XMPPMessage::Chat);
        out.setBody(QStringLiteral("hi"));
        out.setBody(QStringLiteral("fr"), QStringLiteral("salut"));
        m_client->sendMessage(out);
        QVERIFY2(m_peer->waitReceived(QStringLiteral(
                     "<body xml:lang=\"en\">hi</body><body xml:lang=\"fr\">salut</body>")),
                 qPrintable(wrote().right(300)));
    }

    void roomListAnsweredTwice()
    {
        QVERIFY(login());
        QSignalSpy rooms(m_client.get(), &XMPPClient::conferenceRooms);
        const QByteArray answer = "<iq type='result' id='2' from='conference.localhost'><query "
                                  "xmlns='http://jabber.org/protocol/disco#items'><item jid='lobby@conference.localhost'/>"
                                  "<item jid='t1@conference.localhost'/></query></iq>";
        m_peer->expect(QStringLiteral("disco#items")).send(answer + answer);
        m_client->requestConferenceRooms(XMPPJid(QStringLiteral("conference.localhost")));
        QVERIFY(rooms.wait(3000));
        QTest::qWait(50);
        QCOMPARE(rooms.size(), 1);
        const auto list = rooms.first().first().value<QList<XMPPJid>>();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.at(1).toString(), QStringLiteral("t1@conference.localhost"));
        QVERIFY(!wrote().contains(QStringLiteral("type=\"error\"")));
        QCOMPARE(m_client->state(), int(XMPPClient::SessionState));

        // Rooms named with 250,000 quotes each push the list past 16 MiB: they are left out, the lobby is not.
        const QByteArray quoted = "<item jid='q@conference.localhost' name='" + QByteArray("&quot;").repeated(250000) + "'/>";
        m_peer->expect(QStringLiteral("id=\"3\"")).send("<iq type='result' id='3' from='conference.localhost'><query "
            "xmlns='http://jabber.org/protocol/disco#items'>" + quoted.repeated(12) + "<item jid='lobby@conference.localhost'/></query></iq>");
        m_client->requestConferenceRooms(XMPPJid(QStringLiteral("conference.localhost")));
        QTRY_COMPARE_WITH_TIMEOUT(rooms.size(), 2, 10000);
        QCOMPARE(rooms.last().first().value<QList<XMPPJid>>(), QList<XMPPJid>{XMPPJid(QStringLiteral("lobby@conference.localhost"))});
    }

    void searchAnswers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("outcome"); // "report:<rows>" or "error"
        QTest::newRow("result table") << QByteArray(
            "<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='result'><reported><field var='jid'/>"
            "<field var='Name'/></reported><item><field var='jid'><value>a@localhost</value></field>"
            "<field var='Name'><value>A</value></field></item></x></query>") << QStringLiteral("report:1");
        QTest::newRow("legacy items") << QByteArray(
            "<query xmlns='jabber:iq:search'><item jid='a@localhost'><nick>A</nick></item>"
            "<item jid='b@localhost'/></query>") << QStringLiteral("report:2");
        QTest::newRow("a form where the result belongs") << QByteArray(
            "<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='form'><field var='search' "
            "type='text-single'/></x></query>") << QStringLiteral("error");
        QTest::newRow("an answer that cannot be read") << QByteArray(
            "<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='submit'/></query>") << QStringLiteral("error");
        QTest::newRow("error reply") << QByteArray("<error type='cancel'><item-not-found " + StanzaNs + "/></error>")
                                     << QStringLiteral("error");
        QTest::newRow("error reply with an empty error element") << QByteArray("<error/>") << QStringLiteral("error");
        QTest::newRow("no answer in time") << QByteArray() << QStringLiteral("error");
        QTest::newRow("an answer holding an over-long JID") << QByteArray(
            "<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='result'><field var='j' type='jid-single'>"
            "<value>" + QByteArray(1100, 'n') + "@localhost</value></field></x></query>") << QStringLiteral("error");
        // Dropped unread, it still ends the search.
        QTest::newRow("an answer over 1 MiB") << "<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='result'>"
                                                 "<item><field var='Name'><value>" + QByteArray(1100 * 1024, 'n')
                                                     + "</value></field></item></x></query>"
                                              << QStringLiteral("error");
        QByteArray attributes;
        for (int i = 0; i < 33; ++i)
            attributes += " a" + QByteArray::number(i) + "=''";
        QTest::newRow("an answer with 33 attributes in a tag")
            << "<query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='result'><reported><field var='jid'/>"
               "</reported><item" + attributes + "><field var='jid'><value>a@localhost</value></field></item></x></query>"
            << QStringLiteral("error");
    }

    void searchAnswers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, outcome);
        QVERIFY(login());
        QSignalSpy reports(m_client.get(), &XMPPClient::searchReport);
        QSignalSpy failures(m_client.get(), &XMPPClient::searchError);
        const QByteArray type = answer.startsWith("<error") ? "error" : "result";
        m_peer->expect(QStringLiteral("<iq to=\"search.localhost\" id=\"(?<id>[^\"]+)\" type=\"set\">"))
            .send(answer.isEmpty() ? QByteArray() : "<iq type='" + type + "' id='{id}' from='search.localhost'>" + answer + "</iq>");
        m_client->setAnswerTimeout(answer.isEmpty() ? 100 : XMPPClient::AnswerTimeoutMs);
        XMPPDataForm form(XMPPDataForm::DataForm);
        m_client->search(XMPPJid(QStringLiteral("search.localhost")), form, QStringLiteral("mine"));
        QTRY_COMPARE_WITH_TIMEOUT(reports.size() + failures.size(), 1, 3000);
        if (outcome == QLatin1String("error")) {
            QCOMPARE(failures.size(), 1);
            QCOMPARE(failures.first().first().toString(), QStringLiteral("mine"));
        } else {
            QCOMPARE(reports.size(), 1);
            QCOMPARE(reports.first().at(1).toString(), QStringLiteral("mine"));
            const auto report = reports.first().first().value<XMPPDataReport>();
            QCOMPARE(QStringLiteral("report:%1").arg(report.rows.size()), outcome);
            QCOMPARE(report.columns.value(0), QStringLiteral("jid"));
        }
        QTest::qWait(20);
        QCOMPARE(reports.size() + failures.size(), 1);
        QCOMPARE(m_client->state(), int(XMPPClient::SessionState));
    }

    void legacySearchForm()
    {
        QVERIFY(login());
        QSignalSpy forms(m_client.get(), &XMPPClient::requestSearchFormResult);
        m_peer->expect(QStringLiteral("<iq to=\"search.localhost\" id=\"(?<id>[^\"]+)\" type=\"get\"><query xmlns=\"jabber:iq:search\"/></iq>"))
            .send("<iq type='result' id='{id}' from='search.localhost'><query xmlns='jabber:iq:search'>"
                  "<instructions>Fill in</instructions><nick/><email/></query></iq>");
        m_client->requestSearchForm(XMPPJid(QStringLiteral("search.localhost")), QStringLiteral("t"));
        QVERIFY(forms.wait(3000));
        const auto form = forms.first().first().value<XMPPDataForm>();
        QCOMPARE(form.kind(), int(XMPPDataForm::LegacySearch));
        QCOMPARE(form.vars(), QStringList({QStringLiteral("nick"), QStringLiteral("email")}));
        QCOMPARE(form.fieldAt(0).label, QStringLiteral("Nickname"));
    }

    void rosterPushes()
    {
        QVERIFY(login());
        QSignalSpy updates(m_client.get(), &XMPPClient::rosterUpdate);
        QSignalSpy resets(m_client.get(), &XMPPClient::rosterReset);
        // A stranger's push is no push.
        m_peer->sendNow("<iq type='set' id='evil' from='stranger@localhost/x'><query xmlns='jabber:iq:roster'>"
                        "<item jid='x@localhost' subscription='both'/></query></iq>"
                        "<iq type='set' id='push1'><query xmlns='jabber:iq:roster'>"
                        "<item jid='a@localhost' subscription='both' ask='subscribe' name='A'><group>G</group></item>"
                        "<item jid='b@localhost' subscription='remove'/></query></iq>");
        QVERIFY(m_peer->waitReceived(QStringLiteral("<iq id=\"push1\" type=\"result\"/>")));
        QCOMPARE(resets.size(), 0);
        QCOMPARE(updates.size(), 2);
        QCOMPARE(updates.at(0).at(0).value<XMPPJid>().toString(), QStringLiteral("a@localhost"));
        QCOMPARE(updates.at(0).at(1).toInt(), 7);
        QCOMPARE(updates.at(1).at(2).toBool(), true);
        QVERIFY(!wrote().contains(QStringLiteral("evil")));

        // The own roster may be larger than anything else, from the own
        // account only.
        QByteArray items;
        for (int i = 0; i < 1100; ++i)
            items += "<item jid='f" + QByteArray::number(i) + "@localhost' name='" + QByteArray(1000, 'n') + "'/>";
        for (const char* from : {" from='USER@localhost'", " from='localhost'"}) {
            m_peer->expect(QStringLiteral("<iq id=\"(?<id>\\d+)\" type=\"get\"><query xmlns=\"jabber:iq:roster\"/>"))
                .send("<iq type='result' id='{id}'" + QByteArray(from) + "><query xmlns='jabber:iq:roster'>" + items
                      + "</query></iq><iq type='get' id='probe' from='b@localhost/y'/>");
            m_client->requestRoster();
            QVERIFY(m_peer->waitReceived(QStringLiteral("id=\"probe\" type=\"error\"")));
        }
        QCOMPARE(resets.size(), 1);
        QCOMPARE(updates.size(), 2 + 1100);

        // An answer that takes longer than the deadline is waited for while its bytes come.
        m_client->setAnswerTimeout(200);
        m_client->requestRoster();
        QVERIFY(m_peer->waitReceived(QStringLiteral("<iq id=\"4\" type=\"get\"><query xmlns=\"jabber:iq:roster\"/></iq>")));
        QSignalSpy reports(m_client.get(), &XMPPClient::searchReport); // so is one answered behind it
        m_client->search(XMPPJid(QStringLiteral("search.localhost")), XMPPDataForm(XMPPDataForm::DataForm), QStringLiteral("behind"));
        const QByteArray slow = "<iq type='result' id='4'><query xmlns='jabber:iq:roster'>" + items + "</query></iq>"
                                "<iq type='result' id='5' from='search.localhost'><query xmlns='jabber:iq:search'><item jid='a@localhost'/></query></iq>";
        for (qsizetype at = 0; at < slow.size(); at += slow.size() / 25 + 1, QTest::qWait(100))
            m_peer->sendNow(slow.mid(at, slow.size() / 25 + 1));
        QTRY_COMPARE(resets.size(), 2);
        QTRY_COMPARE(updates.size(), 2 + 2 * 1100);
        QTRY_COMPARE(reports.size(), 1);

        // So is one behind stanzas that come whole, until a ping written after it is answered.
        const QString ping = QStringLiteral("<iq to=\"localhost\" id=\"(?<id>\\d+)\" type=\"get\"><ping xmlns=\"urn:xmpp:ping\"/></iq>");
        QSignalSpy failed(m_client.get(), &XMPPClient::searchError);
        m_client->search(XMPPJid(QStringLiteral("search.localhost")), XMPPDataForm(XMPPDataForm::DataForm), QStringLiteral("queued"));
        for (int i = 0; i < 15; ++i, QTest::qWait(40))
            m_peer->sendNow(QByteArray("<presence from='f@localhost/x'/>").repeated(20));
        m_peer->sendNow("<iq type='result' id='6' from='search.localhost'><query xmlns='jabber:iq:search'><item jid='a@localhost'/></query></iq>");
        m_peer->expect(ping).send("<iq type='result' id='{id}' from='localhost'/>");
        QTRY_COMPARE(reports.size(), 2);

        // Others' stanzas on a stream that has caught up are no answer: the request ends at its own time.
        m_client->setAnswerTimeout(100);
        m_client->search(XMPPJid(QStringLiteral("search.localhost")), XMPPDataForm(XMPPDataForm::DataForm), QStringLiteral("late"));
        m_peer->expect(ping).send("<iq type='result' id='{id}' from='localhost'/>");
        for (int i = 0; i < 13 && failed.isEmpty(); ++i, QTest::qWait(30))
            m_peer->sendNow("<presence from='f@localhost/x'/>");
        QCOMPARE(failed.size(), 1);
    }

    void uploadWithoutPictureAnnouncesNoPicture()
    {
        QVERIFY(login());
        QSignalSpy ok(m_client.get(), &XMPPClient::uploadVCardOk);
        m_peer->expect(QStringLiteral("<iq id=\"(?<id>\\d+)\" type=\"set\"><vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><N/></vCard></iq>"))
            .send("<iq type='result' id='{id}'/>");
        m_client->uploadVCard(XMPPVCard());
        QVERIFY2(ok.wait(3000), qPrintable(m_peer->pendingStep()));
        QVERIFY2(m_peer->waitReceived(QStringLiteral("<presence><x xmlns=\"vcard-temp:x:update\"><photo(/>|></photo>)</x></presence>$"), 2000), qPrintable(QString::fromUtf8(m_peer->unmatched())));
    }

    void ownPresenceFollowsTablePathsAndProbes()
    {
        QVERIFY(login());
        const int before = wrote().count(QStringLiteral("<presence"));
        m_client->addTablePath(QStringLiteral("101/7"));
        m_client->addTablePath(QStringLiteral("101/7"));
        m_client->removeTablePath(QStringLiteral("202/1")); // absent: nothing written
        // Servers probe servers: a probe is no question to the client.
        m_peer->sendNow("<presence type='probe' from='localhost'/><iq type='get' id='sync' from='localhost'/>");
        QVERIFY(m_peer->waitReceived(QStringLiteral("id=\"sync\" type=\"error\"")));
        QCOMPARE(wrote().count(QStringLiteral("<presence")), before + 2);
        QVERIFY(wrote().contains(QStringLiteral("<path>101/7</path></tables><x xmlns=\"vcard-temp:x:update\"/></presence><iq")));
    }
};

QTEST_MAIN(TestClientSession)
#include "tst_client_session.moc"
