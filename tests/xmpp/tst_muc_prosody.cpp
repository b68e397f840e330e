// Chat rooms on a real Prosody, with room locking off and on: creation as an
// instant room, a second occupant, group lines, leaving, kick and ban
// notices, a nick conflict, entering a room that is still locked, and a line
// to a room not entered.
#include "ClientTestUtil.h"
#include "ProsodyAccounts.h"
#include "ProsodyFixture.h"
#include "RawXmppClient.h"
#include "XMPPClient.h"
#include "XMPPConference.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>

using namespace clienttest;

namespace {

QByteArray ownerConfig(const QString& room)
{
    return "<iq type='set' id='cfg' to='" + room.toUtf8()
           + "'><query xmlns='http://jabber.org/protocol/muc#owner'><x xmlns='jabber:x:data' type='submit'/></query></iq>";
}

}

class TestMucProsody : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProsodyFixture> m_unlocked;
    std::unique_ptr<ProsodyFixture> m_locked;
    int m_roomCounter = 0;

    ProsodyFixture* server(bool locking) { return locking ? m_locked.get() : m_unlocked.get(); }

    bool connectUser(XMPPClient& client, ProsodyFixture* s, const char* user)
    {
        return connectAndWait(client, s->host(), s->port(), s->domain(), QLatin1String(user),
                              QStringLiteral("pw-") + QLatin1String(user), XMPPClient::TlsRequired);
    }

    QString newRoom(ProsodyFixture* s) { return QStringLiteral("room%1@%2").arg(++m_roomCounter).arg(s->mucService()); }

    /// The raw client creates the room and becomes its owner; the room is
    /// configured (unlocked) at once unless configure is false.
    bool rawOwner(RawXmppClient& raw, ProsodyFixture* s, const QString& room, bool configure)
    {
        QString error;
        if (!raw.login(s->host(), s->port(), s->domain(), QStringLiteral("3003"), QStringLiteral("pw-3003"), &error)) {
            qWarning() << error;
            return false;
        }
        raw.send("<presence to='" + room.toUtf8() + "/Owner'><x xmlns='http://jabber.org/protocol/muc'/></presence>");
        if (!raw.waitFor(QStringLiteral("<status code=['\"]201['\"]")))
            return false;
        if (!configure)
            return true;
        raw.send(ownerConfig(room));
        return raw.waitFor(QStringLiteral("id=['\"]cfg['\"]"));
    }

    /// A signed-in user with a conference object for one room, not yet joined.
    struct Member
    {
        XMPPClient client;
        XMPPConference muc;
    };

    bool connectMember(Member& m, ProsodyFixture* s, const char* user, const QString& room)
    {
        m.muc.setClient(&m.client);
        m.muc.setRoomJid(XMPPJid(room));
        return connectUser(m.client, s, user);
    }

    static QByteArray adminItem(const QString& room, const QByteArray& id, const QByteArray& item)
    {
        return "<iq type='set' id='" + id + "' to='" + room.toUtf8()
               + "'><query xmlns='http://jabber.org/protocol/muc#admin'>" + item + "</query></iq>";
    }

    static ProsodyFixture::Options options(bool locking)
    {
        ProsodyFixture::Options o;
        o.roomLocking = locking;
        return o;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        m_unlocked = std::make_unique<ProsodyFixture>(options(false));
        m_locked = std::make_unique<ProsodyFixture>(options(true));
        for (ProsodyFixture* s : {m_unlocked.get(), m_locked.get()})
            QVERIFY(startWithAccounts(*s, {"3001", "3002", "3003"}));
    }

    void cleanupTestCase()
    {
        m_unlocked.reset();
        m_locked.reset();
    }

    void createJoinTalkLeave_data()
    {
        QTest::addColumn<bool>("locking");
        QTest::newRow("room locking off") << false;
        QTest::newRow("room locking on") << true;
    }

    void createJoinTalkLeave()
    {
        QFETCH(bool, locking);
        ProsodyFixture* s = server(locking);
        const XMPPJid room(newRoom(s));
        Member alice;
        Member bob;
        QVERIFY(connectMember(alice, s, "3001", room.toString()));
        QVERIFY(connectMember(bob, s, "3002", room.toString()));

        XMPPConference& a = alice.muc;
        QSignalSpy aJoined(&a, &XMPPConference::userJoined);
        QSignalSpy aParticipants(&a, &XMPPConference::participantJoined);
        QSignalSpy aLeft(&a, &XMPPConference::participantLeft);
        QSignalSpy aMessages(&a, &XMPPConference::message);
        QSignalSpy aErrors(&a, &XMPPConference::userError);
        a.join(QStringLiteral("Alice"));
        QVERIFY2(aJoined.wait(5000), qPrintable(s->log().right(2000)));
        QVERIFY(a.isJoined());
        // A second join while inside changes nothing.
        a.join(QStringLiteral("Alice"));

        XMPPConference& b = bob.muc;
        QSignalSpy bJoined(&b, &XMPPConference::userJoined);
        QSignalSpy bMessages(&b, &XMPPConference::message);
        QSignalSpy bErrors(&b, &XMPPConference::userError);
        QSignalSpy bLeft(&b, &XMPPConference::userLeft);
        b.join(QStringLiteral("Bob"));
        // With locking on, this succeeds only because the instant room
        // request unlocked the room.
        QVERIFY2(bJoined.wait(5000), qPrintable(s->log().right(2000)));
        QTRY_COMPARE_WITH_TIMEOUT(aParticipants.size(), 1, 3000);
        QCOMPARE(aParticipants.first().at(1).toString(), QStringLiteral("Bob"));
        QVERIFY(aErrors.isEmpty());
        QVERIFY(bErrors.isEmpty());

        a.sendMessage(QStringLiteral("hello <b>&amp;</b>"));
        QVERIFY(bMessages.wait(5000));
        const XMPPMessage line = bMessages.first().first().value<XMPPMessage>();
        QCOMPARE(line.body(), QStringLiteral("hello <b>&amp;</b>"));
        QCOMPARE(line.from().toString(), room.toString() + QStringLiteral("/Alice"));
        QTRY_COMPARE_WITH_TIMEOUT(aMessages.size(), 1, 3000); // the room reflects it to the sender too

        b.leave();
        QVERIFY(bLeft.wait(5000));
        QVERIFY(!b.isJoined());
        QTRY_COMPARE_WITH_TIMEOUT(aLeft.size(), 1, 3000);
        QCOMPARE(aLeft.first().at(1).toString(), QStringLiteral("Bob"));
    }

    void lineToARoomNotEnteredIsRefused()
    {
        ProsodyFixture* s = server(false);
        const QString room = newRoom(s);
        RawXmppClient owner;
        QVERIFY(rawOwner(owner, s, room, true));
        Member alice;
        QVERIFY(connectMember(alice, s, "3001", room));
        XMPPConference& a = alice.muc;
        QSignalSpy refusals(&a, &XMPPConference::messageRefused);
        QSignalSpy lines(&a, &XMPPConference::message);
        const QString outside = a.sendMessage(QStringLiteral("knock knock"));
        QVERIFY2(refusals.wait(5000), qPrintable(s->log().right(2000)));
        const XMPPMessage error = refusals.last().at(1).value<XMPPMessage>();
        QCOMPARE(error.stanza().id, outside);
        QVERIFY(error.stanza().errorCondition != 0);
        QCOMPARE(refusals.size(), 1);
        QCOMPARE(lines.size(), 0);
    }

    void kickAndBanNotices()
    {
        ProsodyFixture* s = server(false);
        const QString room = newRoom(s);
        RawXmppClient owner;
        QVERIFY(rawOwner(owner, s, room, true));
        Member alice;
        Member bob;
        QVERIFY(connectMember(alice, s, "3001", room));
        QVERIFY(connectMember(bob, s, "3002", room));
        XMPPConference& a = alice.muc;
        XMPPConference& b = bob.muc;
        QSignalSpy aJoined(&a, &XMPPConference::userJoined);
        QSignalSpy bJoined(&b, &XMPPConference::userJoined);
        a.join(QStringLiteral("Alice"));
        QVERIFY(aJoined.wait(5000));
        b.join(QStringLiteral("Bob"));
        QVERIFY(bJoined.wait(5000));

        QStringList bEvents;
        connect(&b, &XMPPConference::participantKicked, this,
                [&](XMPPConference*, const QString& nick, const XMPPJid&, const QString& reason) {
                    bEvents << QStringLiteral("kicked %1 %2").arg(nick, reason);
                });
        connect(&b, &XMPPConference::participantLeft, this,
                [&](XMPPConference*, const QString& nick) { bEvents << QStringLiteral("left %1").arg(nick); });
        QSignalSpy aKicked(&a, &XMPPConference::userKicked);
        owner.send(adminItem(room, "k1", "<item nick='Alice' role='none'><reason>flooding</reason></item>"));
        QVERIFY(aKicked.wait(5000));
        QCOMPARE(aKicked.first().at(2).toString(), QStringLiteral("flooding"));
        QTRY_COMPARE_WITH_TIMEOUT(bEvents.size(), 2, 3000);
        QCOMPARE(bEvents, QStringList({QStringLiteral("kicked Alice flooding"), QStringLiteral("left Alice")}));

        QSignalSpy bBanned(&b, &XMPPConference::userBanned);
        owner.send(adminItem(room, "b1",
                             "<item jid='3002@localhost' affiliation='outcast'><reason>cheating</reason></item>"));
        QVERIFY(bBanned.wait(5000));
        QCOMPARE(bBanned.first().at(2).toString(), QStringLiteral("cheating"));

        // A banned user who tries again is refused with "forbidden".
        QSignalSpy bErrors(&b, &XMPPConference::userError);
        b.join(QStringLiteral("Bob"));
        QVERIFY(bErrors.wait(5000));
        QCOMPARE(int(bErrors.first().at(1).value<XMPPPresence::error_t>()), int(XMPPPresence::Forbidden));
        owner.disconnectFromServer();
    }

    void nickTakenIsAConflict()
    {
        ProsodyFixture* s = server(false);
        const QString room = newRoom(s);
        RawXmppClient owner;
        QVERIFY(rawOwner(owner, s, room, true));
        Member bob;
        QVERIFY(connectMember(bob, s, "3002", room));
        XMPPConference& b = bob.muc;
        QSignalSpy errors(&b, &XMPPConference::userError);
        QSignalSpy joined(&b, &XMPPConference::userJoined);
        b.join(QStringLiteral("Owner"));
        QVERIFY(errors.wait(5000));
        QCOMPARE(int(errors.first().at(1).value<XMPPPresence::error_t>()), int(XMPPPresence::Conflict));
        QTest::qWait(400); // no retry for a conflict
        QCOMPARE(errors.size(), 1);
        QCOMPARE(joined.size(), 0);
        owner.disconnectFromServer();
    }

    void lockedRoomIsEnteredOnceUnlocked()
    {
        ProsodyFixture* s = server(true);
        const QString room = newRoom(s);
        RawXmppClient owner;
        QVERIFY(rawOwner(owner, s, room, false)); // created, still locked
        Member bob;
        QVERIFY(connectMember(bob, s, "3002", room));
        XMPPConference& b = bob.muc;
        QSignalSpy errors(&b, &XMPPConference::userError);
        QSignalSpy joined(&b, &XMPPConference::userJoined);
        QSignalSpy presences(&bob.client, &XMPPClient::presence);
        b.join(QStringLiteral("Bob"));
        // The first entry is refused while the room is locked ...
        auto refusal = [&] {
            for (const QList<QVariant>& args : presences) {
                const XMPPPresence p = args.first().value<XMPPPresence>();
                if (p.from().bare().toString() == room)
                    return p.availability() == 0;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(refusal(), 5000);
        // ... then the owner unlocks it and the retry gets in.
        owner.send(ownerConfig(room));
        QVERIFY(joined.wait(5000));
        QCOMPARE(errors.size(), 0);
        QCOMPARE(b.nick(), QStringLiteral("Bob"));
        owner.disconnectFromServer();
    }
};

QTEST_MAIN(TestMucProsody)
#include "tst_muc_prosody.moc"
