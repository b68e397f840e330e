// XMPPConference against a scripted server: the entry retry with its
// back-off and the kept nick, the own presence told by status 110 with the
// nick the room chose, refused lines, and what is not this room's business.
#include "ClientTestUtil.h"
#include "ScriptedXmppPeer.h"
#include "XMPPClient.h"
#include "XMPPConference.h"
#include "XmppNames.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>

using namespace clienttest;

namespace {

const QByteArray Room = "t1@conference.localhost";
const QByteArray MucUser = "xmlns='http://jabber.org/protocol/muc#user'";
const QByteArray StanzaNs = "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'";

QByteArray refusal(const char* type, const char* condition)
{
    return "<presence type='error' from='" + Room + "/Mei'><error type='" + type + "'><" + condition
           + " " + StanzaNs + "/></error></presence>";
}

QByteArray occupant(const QByteArray& nick, const QByteArray& extra = QByteArray(), const QByteArray& type = QByteArray())
{
    return "<presence from='" + Room + "/" + nick + "'" + (type.isEmpty() ? QByteArray() : " type='" + type + "'")
           + "><x " + MucUser + "><item affiliation='none' role='participant'/>" + extra + "</x></presence>";
}

}

class TestMucConference : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedXmppPeer> m_peer;
    std::unique_ptr<XMPPClient> m_client;
    std::unique_ptr<XMPPConference> m_room;

    bool enterSession()
    {
        m_peer = std::make_unique<ScriptedXmppPeer>();
        if (!m_peer->listen())
            return false;
        m_peer->playPlainLogin();
        m_client = std::make_unique<XMPPClient>();
        if (!connectToPeer(*m_client, m_peer->port()))
            return false;
        m_room = std::make_unique<XMPPConference>();
        m_room->setClient(m_client.get());
        m_room->setRoomJid(XMPPJid(QString::fromUtf8(Room)));
        return m_peer->waitReceived(QStringLiteral("</presence>"));
    }

    int entries() const { return QString::fromUtf8(m_peer->received()).count(QStringLiteral("<presence to=\"t1@conference.localhost/")); }

private Q_SLOTS:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false")); }
    void cleanup()
    {
        m_room.reset();
        m_client.reset();
        m_peer.reset();
    }

    void busyRoomIsRetriedWithTheSameNick()
    {
        QVERIFY(enterSession());
        QSignalSpy errors(m_room.get(), &XMPPConference::userError);
        QSignalSpy joined(m_room.get(), &XMPPConference::userJoined);
        m_room->join(QStringLiteral("Mei"));
        QVERIFY(m_peer->waitReceived(QStringLiteral("<presence to=\"t1@conference.localhost/Mei\"")));
        QElapsedTimer clock;
        clock.start();
        m_peer->sendNow(refusal("wait", "recipient-unavailable"));
        QVERIFY(errors.wait(2000));
        QCOMPARE(int(errors.first().at(1).value<XMPPPresence::error_t>()), 7);
        // The second entry after about a second, under the nick the user chose
        // (not the node of the own JID, "user").
        QTRY_COMPARE_WITH_TIMEOUT(entries(), 2, 3000);
        QVERIFY(clock.elapsed() >= 900);
        QVERIFY(!m_peer->received().contains("conference.localhost/user"));
        m_peer->sendNow(refusal("wait", "recipient-unavailable"));
        // The pause doubles: no third entry within a second of the refusal.
        QTest::qWait(1000);
        QCOMPARE(entries(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(entries(), 3, 2500);
        m_peer->sendNow(occupant("Mei", "<status code='110'/>"));
        QVERIFY(joined.wait(2000));
        QCOMPARE(errors.size(), 1); // retries in between are not reported again
        QTest::qWait(200);
        QCOMPARE(entries(), 3);
    }

    void otherRefusalStopsTheRetry()
    {
        QVERIFY(enterSession());
        QSignalSpy errors(m_room.get(), &XMPPConference::userError);
        m_room->join(QStringLiteral("Mei"));
        m_peer->sendNow(refusal("wait", "recipient-unavailable"));
        QVERIFY(errors.wait(2000));
        m_peer->sendNow(refusal("auth", "registration-required"));
        QVERIFY(errors.wait(2000));
        QCOMPARE(int(errors.last().at(1).value<XMPPPresence::error_t>()), 4);
        QTest::qWait(1300);
        QCOMPARE(entries(), 1);
    }

    void lockedRoomIsRetriedQuickly()
    {
        QVERIFY(enterSession());
        QSignalSpy errors(m_room.get(), &XMPPConference::userError);
        m_room->join(QStringLiteral("Mei"));
        for (int attempt = 1; attempt <= 4; ++attempt) {
            QTRY_COMPARE_WITH_TIMEOUT(entries(), attempt, 3000);
            m_peer->sendNow(refusal("cancel", "item-not-found"));
        }
        // Three quick retries, then the refusal is the user's to see.
        QVERIFY(errors.wait(2000));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(int(errors.first().at(1).value<XMPPPresence::error_t>()), 1);
        QTest::qWait(600);
        QCOMPARE(entries(), 4);
    }

    void ownPresenceByStatus110KeepsTheRoomsNick()
    {
        QVERIFY(enterSession());
        QSignalSpy joined(m_room.get(), &XMPPConference::userJoined);
        QSignalSpy others(m_room.get(), &XMPPConference::participantJoined);
        m_room->join(QStringLiteral("Mei"));
        // The room renamed the user (210) and marks the own presence (110).
        m_peer->sendNow(occupant("Mei (2)", "<status code='110'/><status code='210'/>"));
        QVERIFY(joined.wait(2000));
        QCOMPARE(others.size(), 0);
        QCOMPARE(m_room->nick(), QStringLiteral("Mei (2)"));
        // Joining again while inside writes nothing and throws nothing.
        m_room->join(QStringLiteral("Mei"));
        QTest::qWait(20);
        QCOMPARE(entries(), 1);
        // Lines and the exit now use the room's nick.
        m_room->leave();
        QVERIFY(m_peer->waitReceived(QStringLiteral("<presence to=\"t1@conference.localhost/Mei \\(2\\)\"[^>]*type=\"unavailable\"")));
    }

    void createdRoomIsConfiguredBeforeJoined()
    {
        QVERIFY(enterSession());
        QStringList order;
        connect(m_room.get(), &XMPPConference::userJoined, this, [&] {
            // A request written before this signal reaches the peer while
            // the signal is still being handled; one written after it can't.
            order << (m_peer->waitReceived(QStringLiteral("muc#owner"), 1000) ? QStringLiteral("joined after request")
                                                                              : QStringLiteral("joined"));
        });
        m_room->join(QStringLiteral("Mei"));
        m_peer->sendNow("<presence from='" + Room + "/Mei'><x " + MucUser
                        + "><item affiliation='owner' role='moderator'/><status code='110'/><status code='201'/></x></presence>");
        QVERIFY(m_peer->waitReceived(QStringLiteral(
            "<iq to=\"t1@conference.localhost\" id=\"\\d+\" type=\"set\"><query xmlns=\"http://jabber.org/protocol/muc#owner\">"
            "<x xmlns=\"jabber:x:data\" type=\"submit\"/></query></iq>")));
        QTRY_COMPARE(order.size(), 1);
        QCOMPARE(order, QStringList{QStringLiteral("joined after request")});
    }

    void othersBusinessIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("stanza");
        QTest::newRow("presence of a room whose name starts the same")
            << QByteArray("<presence from='t1@conference.localhostx/Kenji'/>");
        QTest::newRow("presence of another room") << QByteArray("<presence from='t2@conference.localhost/Kenji'/>");
        QTest::newRow("line from the room itself")
            << QByteArray("<message type='groupchat' from='" + Room + "'><subject>Welcome</subject><body>x</body></message>");
        QTest::newRow("chat line from an occupant")
            << QByteArray("<message type='chat' from='" + Room + "/Kenji'><body>psst</body></message>");
    }

    void othersBusinessIsIgnored()
    {
        QFETCH(QByteArray, stanza);
        QVERIFY(enterSession());
        QSignalSpy messages(m_room.get(), &XMPPConference::message);
        QSignalSpy participants(m_room.get(), &XMPPConference::participantJoined);
        m_peer->sendNow(stanza + "<message type='groupchat' from='" + Room + "/Kenji'><body>hi</body></message>");
        QTRY_VERIFY(!messages.isEmpty());
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().first().value<XMPPMessage>().body(), QStringLiteral("hi"));
        QCOMPARE(participants.size(), 0);
    }

    void refusedLineReachesTheRoom_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("error");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ownId"); // the error names the id of the line sent
        const QByteArray text = "<text " + StanzaNs + ">";
        auto error = [](const char* type, const char* condition, const QByteArray& extra = QByteArray()) {
            return "<error type='" + QByteArray(type) + "'><" + condition + " " + StanzaNs + "/>" + extra + "</error>";
        };
        QTest::newRow("from the room, text after the condition")
            << Room << error("auth", "forbidden", text + "Visitors &lt;may not&gt; speak</text>")
            << true << "forbidden" << "Visitors <may not> speak" << true;
        QTest::newRow("from the room, text first, no text")
            << Room << QByteArray("<error type='cancel'>" + text + "</text><not-acceptable " + StanzaNs + "/></error>")
            << true << "not-acceptable" << "" << true;
        // An occupant can write anything, an error naming our line's id too.
        QTest::newRow("from an occupant of the room")
            << Room + "/Kenji" << error("cancel", "item-not-found") << false << "" << "" << true;
        QTest::newRow("from the room, for a line never sent")
            << Room << error("auth", "forbidden") << false << "" << "" << false;
        QTest::newRow("from another room")
            << QByteArray("t2@conference.localhost") << error("auth", "forbidden") << false << "" << "" << true;
        QTest::newRow("from the server")
            << QByteArray("localhost") << error("cancel", "service-unavailable") << false << "" << "" << true;
    }

    void refusedLineReachesTheRoom()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, error);
        QFETCH(bool, refused);
        QFETCH(QString, condition);
        QFETCH(QString, text);
        QFETCH(bool, ownId);
        QVERIFY(enterSession());
        QSignalSpy refusals(m_room.get(), &XMPPConference::messageRefused);
        QSignalSpy messages(m_client.get(), &XMPPClient::messageReceived);
        QSignalSpy errors(m_client.get(), &XMPPClient::messageErrorReceived);
        const QString id = m_room->sendMessage(QStringLiteral("hello"));
        QVERIFY(!id.isEmpty());
        QVERIFY(m_peer->waitReceived(QStringLiteral("<message [^>]*to=\"t1@conference.localhost\" id=\"%1\" type=\"groupchat\">").arg(id)));
        const QByteArray answered = ownId ? id.toUtf8() : "x" + id.toUtf8();
        m_peer->sendNow("<message type='error' id='" + answered + "' from='" + from + "'>" + error + "</message>");
        QVERIFY(errors.wait(2000));
        QCOMPARE(messages.size(), 0); // an error is no chat line
        QCOMPARE(refusals.size(), refused ? 1 : 0);
        if (!refused)
            return;
        const XMPPMessage answer = refusals.first().at(1).value<XMPPMessage>();
        QCOMPARE(answer.stanza().id, id);
        QCOMPARE(xmpp::names::stanzaErrorCondition(answer.stanza().errorCondition), condition);
        QCOMPARE(answer.stanza().errorText, text);
    }

    void kickOfAnotherComesBeforeItsLeaving_data()
    {
        QTest::addColumn<QByteArray>("actor");
        QTest::newRow("short actor") << QByteArray("boss@localhost");
        // Each part within its limit, the whole longer than one part may be.
        QTest::newRow("actor longer than one part") << QByteArray(1000, 'b') + "@" + QByteArray(100, 'h');
    }

    void kickOfAnotherComesBeforeItsLeaving()
    {
        QFETCH(QByteArray, actor);
        QVERIFY(enterSession());
        QStringList order;
        connect(m_room.get(), &XMPPConference::participantKicked, this,
                [&](XMPPConference*, const QString& nick, const XMPPJid& actor, const QString& reason) {
                    order << QStringLiteral("kicked %1 by %2: %3").arg(nick, actor.toString(), reason);
                });
        connect(m_room.get(), &XMPPConference::participantLeft, this,
                [&](XMPPConference*, const QString& nick) { order << QStringLiteral("left ") + nick; });
        m_peer->sendNow(occupant("Kenji"));
        m_peer->sendNow("<presence type='unavailable' from='" + Room + "/Kenji'><x " + MucUser
                        + "><item affiliation='none' role='none'><actor jid='" + actor + "'/><reason>spam</reason>"
                          "</item><status code='307'/></x></presence>");
        QTRY_COMPARE(order.size(), 2);
        QCOMPARE(order, QStringList({QStringLiteral("kicked Kenji by %1: spam").arg(QString::fromUtf8(actor)),
                                     QStringLiteral("left Kenji")}));
    }

    void onlyArrivalsAndDeparturesAreAnnounced_data()
    {
        QTest::addColumn<QList<QByteArray>>("presences");
        QTest::addColumn<QStringList>("events");
        const QByteArray away = "<show>away</show>";
        const auto shown = [](const QByteArray& nick, const QByteArray& show) {
            return "<presence from='" + Room + "/" + nick + "'><show>" + show + "</show><x " + MucUser
                   + "><item affiliation='none' role='participant'/></x></presence>";
        };
        QTest::newRow("away and back is no arrival")
            << QList<QByteArray>{occupant("Kenji"), shown("Kenji", "away"), occupant("Kenji")}
            << QStringList{QStringLiteral("joined Kenji"), QStringLiteral("show Kenji")};
        QTest::newRow("arriving away is an arrival")
            << QList<QByteArray>{shown("Kenji", "dnd"), occupant("Kenji"), occupant("Kenji", {}, "unavailable")}
            << QStringList{QStringLiteral("joined Kenji"), QStringLiteral("show Kenji"), QStringLiteral("left Kenji")};
        QTest::newRow("the room's own presence names nobody")
            << QList<QByteArray>{QByteArray("<presence from='" + Room + "'><x " + MucUser + "/></presence>"),
                                 QByteArray("<presence from='" + Room + "' type='unavailable'/>")}
            << QStringList{};
        QTest::newRow("leaving unseen is no departure")
            << QList<QByteArray>{occupant("Kenji", {}, "unavailable"), occupant("Kenji", {}, "unavailable")}
            << QStringList{};
        QTest::newRow("back after leaving") << QList<QByteArray>{occupant("Kenji"), occupant("Kenji", {}, "unavailable"),
                                                                 occupant("Kenji")}
                                            << QStringList{QStringLiteral("joined Kenji"), QStringLiteral("left Kenji"),
                                                           QStringLiteral("joined Kenji")};
        QTest::newRow("own presence again is no second entry")
            << QList<QByteArray>{occupant("Mei", "<status code='110'/>"), occupant("Mei", "<status code='110'/>")}
            << QStringList{QStringLiteral("own joined")};
    }

    void onlyArrivalsAndDeparturesAreAnnounced()
    {
        QFETCH(QList<QByteArray>, presences);
        QFETCH(QStringList, events);
        QVERIFY(enterSession());
        QStringList seen;
        connect(m_room.get(), &XMPPConference::participantJoined, this,
                [&](XMPPConference*, const QString& nick) { seen << QStringLiteral("joined ") + nick; });
        connect(m_room.get(), &XMPPConference::participantLeft, this,
                [&](XMPPConference*, const QString& nick) { seen << QStringLiteral("left ") + nick; });
        connect(m_room.get(), &XMPPConference::presence, this,
                [&](const XMPPPresence& p) { seen << QStringLiteral("show ") + p.from().resource(); });
        connect(m_room.get(), &XMPPConference::userJoined, this, [&] { seen << QStringLiteral("own joined"); });
        QSignalSpy lines(m_room.get(), &XMPPConference::message);
        m_room->join(QStringLiteral("Mei"));
        QByteArray all;
        for (const QByteArray& p : presences)
            all += p;
        // A line after them tells when they have all been read.
        m_peer->sendNow(all + "<message type='groupchat' from='" + Room + "/Kenji'><body>end</body></message>");
        QVERIFY(lines.wait(3000));
        QCOMPARE(seen, events);
    }

    void disconnectionClearsJoinedSilently()
    {
        QVERIFY(enterSession());
        QSignalSpy left(m_room.get(), &XMPPConference::userLeft);
        m_room->join(QStringLiteral("Mei"));
        m_peer->sendNow(occupant("Mei", "<status code='110'/>"));
        QTRY_VERIFY(m_room->isJoined());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_room->setRoomJid(XMPPJid(QStringLiteral("x@conference.localhost"))));
        QCOMPARE(m_room->roomJid().toString(), QString::fromUtf8(Room));
        m_peer->close();
        QTRY_VERIFY(!m_room->isJoined());
        QCOMPARE(left.size(), 0);
        QVERIFY(!m_peer->received().contains("type=\"unavailable\""));
    }
};

QTEST_MAIN(TestMucConference)
#include "tst_muc_conference.moc"
