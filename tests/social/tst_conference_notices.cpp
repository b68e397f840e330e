// The chat room panel's own lines: which notices the hidden flags keep out,
// the wording of kicks, bans, entry errors per room kind and refused lines,
// the input line that follows the joined state whatever is shown, the state
// line in the current language, and an own line confirmed by a room that
// rewrites ids.
#include "ChatController.h"
#include "ChatOutputWidget.h"
#include "ConferenceWidget.h"
#include "FriendsTestSession.h"
#include "PresenceStanza.h"
#include "StreamParser.h"
#include "XmppNames.h"

#include <QLabel>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTest>
#include <QTranslator>

namespace {

using Fn = std::function<void(XMPPConference&)>;

QString lastLine(const ConferenceWidget& w)
{
    return w.chatOutput()->document()->lastBlock().text().trimmed();
}

/// Ann's pane at a scripted chat server, the room service known.
struct ScriptedPane
{
    bool start()
    {
        if (!s.login())
            return false;
        s.playerDb.setOwnPlayer(1001, QStringLiteral("Ann"));
        chat.setConferenceJid(XMPPJid(QStringLiteral("conference.localhost")));
        w.setChatController(&chat);
        return true;
    }

    friendstest::Session s;
    ChatController chat{&s.playerDb, &s.client};
    ConferenceWidget w{nullptr, ConferenceWidget::NotificationFlags(11)};
};

}

Q_DECLARE_METATYPE(Fn)

class TestConferenceNotices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ownKickAndBanWording_data()
    {
        QTest::addColumn<bool>("banned");
        QTest::addColumn<QString>("actor");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("line");
        const QString mod = QStringLiteral("mod@localhost/x");
        QTest::newRow("kick, actor") << false << mod << "" << "Ann has been kicked from the chat by mod@localhost/x";
        QTest::newRow("kick, actor and reason")
            << false << mod << "spam" << "Ann has been kicked from the chat by mod@localhost/x due to spam";
        QTest::newRow("kick, nothing") << false << "" << "" << "Ann has been kicked from the chat";
        QTest::newRow("kick, reason") << false << "" << "spam" << "Ann has been kicked from the chat due to spam";
        QTest::newRow("ban, actor") << true << mod << "" << "Ann has been banned from the chat by mod@localhost/x";
        QTest::newRow("ban, actor and reason")
            << true << mod << "x" << "Ann has been banned from the chat by mod@localhost/x due to x";
        QTest::newRow("ban, nothing") << true << "" << "" << "Ann has been banned from the chat";
        QTest::newRow("ban, reason") << true << "" << "x" << "Ann has been banned from the chat due to x";
        QTest::newRow("marks stacked in the reason")
            << false << "" << "a" + QString(20, QChar(0x0301)) << "Ann has been kicked from the chat due to a" + QString(8, QChar(0x0301));
        QTest::newRow("markup and placeholders in the reason")
            << false << "" << "<b>%1</b> & %2" << "Ann has been kicked from the chat due to &lt;b&gt;%1&lt;/b&gt; &amp; %2";
    }

    void ownKickAndBanWording()
    {
        QFETCH(bool, banned);
        QFETCH(QString, actor);
        QFETCH(QString, reason);
        QFETCH(QString, line);
        const XMPPJid actorJid = actor.isEmpty() ? XMPPJid() : XMPPJid::fromText(actor);
        QCOMPARE(ConferenceWidget::ownKickBanText(banned, QStringLiteral("Ann"), actorJid, reason), line);
    }

    void entryErrorByRoomKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("line");
        QTest::newRow("lobby, no room") << 1 << 8 << "Lobby chat unavailable";
        QTest::newRow("table, no room") << 2 << 8 << "Table chat only available to players";
        QTest::newRow("tournament, no room") << 3 << 8 << "Tournament chat only available to registered players";
        QTest::newRow("none chosen, no room") << 0 << 8 << "The room doesn't exist";
        QTest::newRow("table, banned") << 2 << 2 << "You've been banned from this room";
        QTest::newRow("lobby, nick taken") << 1 << 5 << "Your nickname is already in use in this room";
        QTest::newRow("table, locked") << 2 << 7 << "The room is locked";
    }

    void entryErrorByRoomKind()
    {
        QFETCH(int, kind);
        QFETCH(int, error);
        QFETCH(QString, line);
        // Hidden notices never hide errors.
        ConferenceWidget w(nullptr, ConferenceWidget::NotificationFlags(15));
        if (kind == 1)
            w.joinLobbyRoom();
        else if (kind == 2)
            w.joinTableRoom(5);
        else if (kind == 3)
            w.joinTournamentRoom(6);
        Q_EMIT w.conference().userError(&w.conference(), XMPPPresence::error_t(error));
        QCOMPARE(lastLine(w), line);
    }

    void hiddenNotices_data()
    {
        QTest::addColumn<int>("hidden");
        QTest::addColumn<Fn>("event");
        QTest::addColumn<QString>("line"); // empty: nothing shown
        const Fn joined = [](XMPPConference& c) { Q_EMIT c.participantJoined(&c, QStringLiteral("<u>Bo</u>")); };
        const Fn left = [](XMPPConference& c) { Q_EMIT c.participantLeft(&c, QStringLiteral("Bo")); };
        const Fn kicked = [](XMPPConference& c) {
            Q_EMIT c.participantKicked(&c, QStringLiteral("Bo"), XMPPJid::fromText(QStringLiteral("m@x")),
                                       QStringLiteral("secret"));
        };
        const Fn banned = [](XMPPConference& c) {
            Q_EMIT c.participantBanned(&c, QStringLiteral("Bo"), XMPPJid(), QStringLiteral("secret"));
        };
        const Fn ownKick = [](XMPPConference& c) { Q_EMIT c.userKicked(&c, XMPPJid(), QString()); };
        const Fn subject = [](XMPPConference& c) {
            XMPPMessage m;
            m.setFrom(XMPPJid::fromText(QStringLiteral("table-3@conference.localhost/Bo")));
            m.stanza().subjects.insert(QString(), QStringLiteral("a") + QStringLiteral("\u0301\u2060").repeated(1000));
            Q_EMIT c.message(m);
        };
        QTest::newRow("other joins, shown") << 0 << joined << "<u>Bo</u> joined the chat";
        QTest::newRow("other joins, hidden by 2") << 2 << joined << "";
        QTest::newRow("other leaves, shown") << 1 << left << "Bo left the chat";
        QTest::newRow("other leaves, hidden by 11") << 11 << left << "";
        QTest::newRow("other kicked, no reason shown") << 0 << kicked << "Bo has been kicked from the chat";
        QTest::newRow("other kicked, hidden by 8") << 8 << kicked << "";
        QTest::newRow("other banned") << 7 << banned << "Bo has been banned from the chat";
        QTest::newRow("own kick shown with 11") << 11 << ownKick << "has been kicked from the chat";
        QTest::newRow("own kick hidden by 4") << 4 << ownKick << "";
        QTest::newRow("subject of stacked marks") << 15 << subject
                                                  << "Bo set the subject: a" + QStringLiteral("\u0301\u2060").repeated(4);
    }

    void hiddenNotices()
    {
        QFETCH(int, hidden);
        QFETCH(Fn, event);
        QFETCH(QString, line);
        ConferenceWidget w;
        w.setHiddenNotifications(hidden);
        event(w.conference());
        const QString pane = w.chatOutput()->toPlainText();
        if (line.isEmpty())
            QVERIFY2(pane.isEmpty(), qPrintable(pane));
        else
            QCOMPARE(lastLine(w), line);
    }

    void refusalShowsTheRoomsReason_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("line");
        QTest::newRow("room's text, markup shown as text")
            << "Only <b>members</b> & friends" << "forbidden" << "Your message was not delivered: Only <b>members</b> & friends";
        QTest::newRow("no text: the condition") << "" << "not-acceptable" << "Your message was not delivered: not-acceptable";
        QTest::newRow("blank text: the condition") << "  " << "forbidden" << "Your message was not delivered: forbidden";
    }

    void refusalShowsTheRoomsReason()
    {
        QFETCH(QString, text);
        QFETCH(QString, condition);
        QFETCH(QString, line);
        ConferenceWidget w;
        XMPPMessage error;
        error.stanza().errorText = text;
        error.stanza().errorCondition = xmpp::names::stanzaErrorConditionFromName(condition);
        Q_EMIT w.conference().messageRefused(&w.conference(), error);
        QVERIFY(w.chatOutput()->toPlainText().endsWith(line));
        QCOMPARE(w.chatOutput()->toPlainText().count(QStringLiteral("not delivered")), 1);
    }

    void stateFollowsTheLanguage_data()
    {
        QTest::addColumn<QByteArray>("presence"); // from the room; empty: the chat went offline; "rooms": no room list
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("line");
        const QByteArray from = "<presence from='table-5@conference.localhost/Ann' ";
        const QByteArray stanzaNs = "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'";
        QTest::newRow("offline") << QByteArray() << "Chat is offline until the next login" << "Chat is offline until the next login";
        // A server that refuses to create a room answers "forbidden" with its reason: no ban is claimed.
        QTest::newRow("entry denied") << from + "type='error'><error type='auth'><forbidden " + stanzaNs + "/><text " + stanzaNs
                                             + ">Access denied by service policy</text></error></presence>"
                                      << "The room refused the entry" << "The room refused the entry (Access denied by service policy)";
        QTest::newRow("banned") << from + "type='error'><error type='auth'><forbidden " + stanzaNs + "/></error></presence>"
                                << "You've been banned from this room" << "You've been banned from this room";
        QTest::newRow("room closed") << from + "type='unavailable'><x xmlns='http://jabber.org/protocol/muc#user'><destroy>"
                                               "<reason>over</reason></destroy><status code='110'/></x></presence>"
                                     << "The room has been closed" << "The room has been closed (over)";
        // Put out by other causes than a kick or a ban: told as a kick is.
        const QByteArray out = from + "type='unavailable'><x xmlns='http://jabber.org/protocol/muc#user'><item affiliation='none' role='none'/>";
        QTest::newRow("removed, 321") << out + "<status code='321'/><status code='110'/></x></presence>" << "" << "You were removed from the room: you are no longer a member";
        QTest::newRow("removed, 322") << out + "<status code='322'/><status code='110'/></x></presence>" << "" << "You were removed from the room: it is now for members only";
        QTest::newRow("removed, 332") << out + "<status code='332'/><status code='110'/></x></presence>" << "" << "You were removed from the room: the chat room service is shutting down";
        QTest::newRow("room list not read") << QByteArray("rooms") << ""
                                            << "The chat server's room list could not be read: there is no lobby room to enter";
    }

    void stateFollowsTheLanguage()
    {
        QFETCH(QByteArray, presence);
        QFETCH(QString, state);
        QFETCH(QString, line);
        ConferenceWidget w(nullptr, ConferenceWidget::NotificationFlags(11));
        w.conference().setRoomJid(XMPPJid(QStringLiteral("conference.localhost"), QStringLiteral("table-5")));
        const bool note = presence.isEmpty() || presence == "rooms";
        if (presence.isEmpty()) {
            QVERIFY(QMetaObject::invokeMethod(&w, "onChatOfflineChanged", Q_ARG(bool, true)));
        } else if (note) {
            w.showRoomMissing(ConferenceWidget::RoomListUnread);
        } else {
            // The pane sees the room's presence first, then the room object.
            xmpp::StreamParser parser;
            parser.addData("<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' "
                           "version='1.0'>" + presence);
            QCOMPARE(parser.parse(), int(xmpp::StreamParser::ElementReady));
            const XMPPPresence p(static_cast<const xmpp::PresenceStanza&>(*parser.element()));
            QVERIFY(QMetaObject::invokeMethod(&w, "onClientPresence", Q_ARG(XMPPPresence, p)));
            QVERIFY(QMetaObject::invokeMethod(&w.conference(), "onPresence", Q_ARG(XMPPPresence, p)));
        }
        QCOMPARE(w.chatState()->text(), state);
        QCOMPARE(lastLine(w), line);
        // Any language: here one that shouts every text.
        struct Shouting : QTranslator {
            bool isEmpty() const override { return false; }
            QString translate(const char*, const char* source, const char*, int) const override
            {
                return QString::fromUtf8(source).toUpper();
            }
        } shouting;
        QCoreApplication::installTranslator(&shouting);
        QTRY_COMPARE(w.chatState()->text(), state.toUpper());
        // The notes and the refusal, true until the next login or entry, speak the new language
        // too; others keep theirs.
        if (note)
            QTRY_COMPARE(lastLine(w), line.toUpper());
        else
            QCOMPARE(lastLine(w).startsWith(state.toUpper()), !presence.contains("destroy"));
        QCoreApplication::removeTranslator(&shouting);
        QVERIFY(!w.chatInput()->isEnabled());
    }

    void ownLineConfirmedByARoomThatRewritesIds()
    {
        // The room reflects a pasted line without the character XML cannot
        // carry, under an id of its own: the line is still confirmed.
        ScriptedPane pane;
        QVERIFY(pane.start());
        auto& [s, chat, w] = pane;
        w.joinTableRoom(5);
        const QByteArray from = "from='table-5@conference.localhost/Ann'";
        QVERIFY(s.peer.waitReceived(QStringLiteral("<presence to=\"table-5@conference.localhost/Ann\"")));
        s.peer.sendNow("<presence " + from + "><x xmlns='http://jabber.org/protocol/muc#user'><status code='110'/></x></presence>");
        QTRY_VERIFY(w.chatInput()->isEnabled());
        // An Alt key that names no shortcut (a claim's, its offer gone) types nothing the line would send.
        QTest::keyClick(w.chatInput(), Qt::Key_Z, Qt::AltModifier);
        w.chatInput()->insert(QStringLiteral("bell \u0007rings"));
        QTest::keyClick(w.chatInput(), Qt::Key_Return);
        QVERIFY(s.peer.waitReceived(QStringLiteral("<body>bell rings</body>")));
        s.peer.sendNow("<message type='groupchat' id='room-1' " + from + "><body>bell rings</body></message>");
        QTest::qWait(500);
        QVERIFY2(!w.chatOutput()->toPlainText().contains(QStringLiteral("not delivered")), qPrintable(w.chatOutput()->toPlainText()));
        QCOMPARE(w.chatOutput()->toPlainText().count(QStringLiteral("Ann: bell")), 1); // on its way, then said
        // A line stamped in the future is shown as now; a kick that is also a ban and a rename
        // is a ban, and the room's end after it no second exit.
        w.setHiddenNotifications(0);
        const QByteArray x = "<x xmlns='http://jabber.org/protocol/muc#user'>";
        s.peer.sendNow("<message type='groupchat' from='table-5@conference.localhost/Bo'><body>late</body>"
                       "<delay xmlns='urn:xmpp:delay' stamp='9999-12-31T23:59:59Z'/></message><presence type='unavailable' " + from
                       + ">" + x + "<item affiliation='outcast' role='none' nick='Ann2'/><status code='301'/><status code='307'/>"
                       "<status code='303'/><status code='110'/></x></presence><presence type='unavailable' " + from + ">" + x
                       + "<destroy/><status code='110'/></x></presence>");
        QTRY_VERIFY(w.chatOutput()->toPlainText().contains(QStringLiteral("closed")));
        const QString shown = w.chatOutput()->toPlainText();
        QVERIFY2(!shown.contains(QStringLiteral("9999")) && shown.contains(QStringLiteral("Ann has been banned from the chat"))
                     && shown.count(QStringLiteral("Ann left the chat")) == 1, qPrintable(shown));
        // An entry the room never answers is no wait without end, whatever else comes; a late admission takes its line.
        s.client.setAnswerTimeout(300);
        w.joinTableRoom(8);
        for (int i = 0; i < 40 && w.chatState()->text().isEmpty(); ++i, QTest::qWait(50))
            s.peer.sendNow("<presence from='friend@localhost/x'/>");
        QCOMPARE(lastLine(w), QStringLiteral("The chat room service cannot be reached"));
        QCOMPARE(w.chatState()->text(), lastLine(w));
        s.peer.sendNow("<presence from='table-8@conference.localhost/Ann'>" + x + "<status code='110'/></x></presence>");
        QTRY_VERIFY(w.chatInput()->isEnabled());
        QCOMPARE(w.chatOutput()->toPlainText().count(QStringLiteral("cannot be reached")), 0);
        // Put out as the room service shuts down: told why.
        s.peer.sendNow("<presence type='unavailable' from='table-8@conference.localhost/Ann'>" + x + "<status code='332'/><status code='110'/></x></presence>");
        QTRY_VERIFY(!w.chatInput()->isEnabled());
        QVERIFY(w.chatOutput()->toPlainText().contains(QStringLiteral("You were removed from the room: the chat room service is shutting down")));
    }

    void refusalOfASupersededEntryStaysUnseen()
    {
        // Registered while the entry is on its way: the room refuses it and lets the next one in.
        ScriptedPane pane;
        QVERIFY(pane.start());
        auto& [s, chat, w] = pane;
        w.joinTournamentRoom(6);
        w.setOwnMember(true);
        w.joinTournamentRoom(6);
        const QByteArray from = "from='tmnt-6@conference.localhost/Ann'";
        s.peer.sendNow("<presence type='error' " + from + "><error type='auth'><registration-required "
                       "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></presence>");
        QTRY_COMPARE(s.wrote().count(QStringLiteral("<presence to=\"tmnt-6@conference.localhost/")), 2);
        s.peer.sendNow("<presence " + from + "><x xmlns='http://jabber.org/protocol/muc#user'><status code='110'/></x></presence>");
        QTRY_VERIFY(w.chatInput()->isEnabled());
        QVERIFY2(w.chatOutput()->toPlainText().isEmpty(), qPrintable(w.chatOutput()->toPlainText()));
    }

    void inputFollowsJoinedStateWhenHidden()
    {
        ConferenceWidget w(nullptr, ConferenceWidget::NotificationFlags(11));
        w.joinTableRoom(3);
        QVERIFY(!w.chatInput()->isEnabled());
        Q_EMIT w.conference().userJoined(&w.conference());
        QVERIFY(w.chatInput()->isEnabled());
        Q_EMIT w.conference().userLeft(&w.conference());
        QVERIFY(!w.chatInput()->isEnabled());
        QVERIFY(w.chatOutput()->toPlainText().isEmpty());
        QCOMPARE(w.chatInput()->maxLength(), 120);
    }
};

QTEST_MAIN(TestConferenceNotices)
#include "tst_conference_notices.moc"
