// Chat rooms against a real Prosody with three accounts and a room owner:
// the lobby found from the configuration or by discovery, lines both ways
// with markup shown as text, the room's history with its own times, kick
// and ban notices, a burst shown whole and in order, a line the room refuses, and a hostile member whose
// oversized, over-deep, error-holding or forged stanzas cut nobody off.
#include "ChatOutputWidget.h"
#include "ChatRoomDriver.h"
#include "ConferenceWidget.h"
#include "FriendsWindow.h"
#include "ProsodyAccounts.h"
#include "ScriptedXmppPeer.h"
#include "SocialHub.h"
#include "SocialTestAccount.h"
#include "TcpProxy.h"
#include "Utils.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>
#include <QLoggingCategory>

using namespace chattest;

namespace {

const QString Service = QStringLiteral("conference.localhost");
const QString Lobby = QStringLiteral("lobby@conference.localhost");

ClientConfig fullConfig()
{
    ClientConfig config;
    config.setXmppHost(QStringLiteral("127.0.0.1"));
    config.setConferenceJid(Service);
    config.setLobbyRoomJid(Lobby);
    config.setSearchJid(QStringLiteral("search.localhost"));
    return config;
}

/// An account with its lobby chat, as the main window's lobby page holds it.
struct ChatUser : SocialTestAccount
{
    ChatUser(qint32 pid, const QString& name, int hidden = 0)
        : SocialTestAccount(pid, name)
        , hub(&playerDb, &chat)
        , lobbyChat(static_cast<ConferenceWidget*>(hub.createConferenceArea(nullptr, hidden)))
    {
        setup.setLobbyChat(lobbyChat.get());
    }

    QString pane() const { return lobbyChat->chatOutput()->toPlainText(); }
    void type(const QString& text)
    {
        QTest::keyClicks(lobbyChat->chatInput(), text);
        QTest::keyClick(lobbyChat->chatInput(), Qt::Key_Return);
    }

    SocialHub hub;
    std::unique_ptr<ConferenceWidget> lobbyChat;
};

/// `user` opens table `number`'s chat in `pane` and is in the room.
bool sitAt(ConferenceWidget& pane, ChatUser& user, int number)
{
    pane.setChatController(&user.chat);
    pane.joinTableRoom(number);
    return QTest::qWaitFor([&] { return pane.isJoined(); }, 5000);
}

int count(const QString& text, const QString& part)
{
    return int(text.count(part));
}

/// Whether the newest line of `pane` ending in `text` is greyed, as an own line on its way is.
bool greyed(const ChatOutputWidget* pane, const QString& text)
{
    for (QTextBlock block = pane->document()->lastBlock(); block.isValid(); block = block.previous()) {
        if (block.text().endsWith(text))
            return (--block.end()).fragment().charFormat().foreground().color() == pane->dateSeparatorColor();
    }
    return false;
}

}

class TestChatProsody : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProsodyFixture> m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        m_server = std::make_unique<ProsodyFixture>();
        QVERIFY(clienttest::startWithAccounts(*m_server, {"1001", "1002", "1003", "1009"}));
    }

    void cleanupTestCase() { m_server.reset(); }

    void lobbyChatBothWays()
    {
        ChatUser alice(1001, QStringLiteral("Alice"));
        ChatUser bob(1002, QStringLiteral("Bob <i>Smith</i>"));
        QVERIFY(alice.login(*m_server, fullConfig()));
        QTRY_VERIFY_WITH_TIMEOUT(alice.lobbyChat->chatInput()->isEnabled(), 5000);
        QVERIFY(bob.login(*m_server, fullConfig()));
        QTRY_VERIFY_WITH_TIMEOUT(bob.lobbyChat->chatInput()->isEnabled(), 5000);
        QCOMPARE(alice.lobbyChat->roomJid().toString(), Lobby);
        QTRY_COMPARE_WITH_TIMEOUT(count(alice.pane(), QStringLiteral("Bob <i>Smith</i> joined the chat")), 1, 5000);

        alice.type(QStringLiteral("hi <b>x</b>"));
        QVERIFY(alice.lobbyChat->chatInput()->text().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(count(bob.pane(), QStringLiteral("Alice: hi <b>x</b>")), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(count(alice.pane(), QStringLiteral("Alice: hi <b>x</b>")), 1, 5000);

        bob.type(QStringLiteral("hello & welcome"));
        QTRY_COMPARE_WITH_TIMEOUT(count(alice.pane(), QStringLiteral("Bob <i>Smith</i>: hello & welcome")), 1, 5000);
        QVERIFY(!alice.pane().contains(QStringLiteral("not delivered")));

        // The name link gives Bob's name exactly, markup and capitals included.
        QSignalSpy menu(alice.lobbyChat.get(), &ConferenceArea::userMenuRequested);
        Q_EMIT alice.lobbyChat->chatOutput()->anchorClicked(QUrl(ChatOutputWidget::userLink(bob.name)));
        QCOMPARE(menu.size(), 1);
        QCOMPARE(menu.first().first().toString(), bob.name);

        // Empty lines, and lines while out of the room, are not sent.
        QSignalSpy bobLines(&bob.lobbyChat->conference(), &XMPPConference::message);
        QTest::keyClick(alice.lobbyChat->chatInput(), Qt::Key_Return);
        alice.lobbyChat->leaveRoom();
        QTRY_VERIFY_WITH_TIMEOUT(!alice.lobbyChat->chatInput()->isEnabled(), 5000);
        alice.lobbyChat->chatInput()->setEnabled(true); // even if the user could type
        alice.type(QStringLiteral("anyone?"));
        QCOMPARE(alice.lobbyChat->chatInput()->text(), QStringLiteral("anyone?"));
        QTest::qWait(200);
        QCOMPARE(bobLines.size(), 0);
    }

    void lobbyRoomFromConfigurationOrDiscovery_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("lobby");
        QTest::newRow("service and lobby room given") << true << true;
        QTest::newRow("service given, lobby room listed") << true << false;
        QTest::newRow("nothing given: discovery") << false << false;
    }

    void lobbyRoomFromConfigurationOrDiscovery()
    {
        QFETCH(bool, service);
        QFETCH(bool, lobby);
        // Alice keeps the public lobby room open, so that it is listed.
        ChatUser alice(1001, QStringLiteral("Alice"));
        QVERIFY(alice.login(*m_server, fullConfig()));
        QTRY_VERIFY_WITH_TIMEOUT(alice.lobbyChat->isJoined(), 5000);

        ClientConfig config;
        if (service)
            config.setConferenceJid(Service);
        if (lobby)
            config.setLobbyRoomJid(Lobby);
        ChatUser carol(1003, QStringLiteral("Carol"));
        QVERIFY(carol.login(*m_server, config));
        QTRY_VERIFY_WITH_TIMEOUT(carol.lobbyChat->isJoined(), 5000);
        QVERIFY(carol.lobbyChat->chatInput()->isEnabled());
        QCOMPARE(carol.chat.conferenceJid().toString(), Service);
        QCOMPARE(carol.chat.lobbyRoomJid().toString(), Lobby);
        QCOMPARE(carol.lobbyChat->roomKind(), ConferenceWidget::LobbyRoom);
        if (!service || lobby)
            return; // below: a room service that cannot list its rooms; the lobby says why it has none
        config.setConferenceJid(QStringLiteral("nowhere.localhost"));
        ChatUser dave(1009, QStringLiteral("Dave"));
        QVERIFY(dave.login(*m_server, config));
        QTRY_VERIFY_WITH_TIMEOUT(dave.pane().contains(QStringLiteral("room list could not be read")), 5000);
        // The server itself lists services, none of them the lobby room.
        config.setConferenceJid(m_server->domain());
        dave.client.disconnectFromHost();
        QTRY_COMPARE(dave.client.state(), int(XMPPClient::UnconnectedState));
        QVERIFY(dave.login(*m_server, config));
        QTRY_VERIFY_WITH_TIMEOUT(dave.pane().contains(QStringLiteral("The chat server has no lobby room to enter")), 5000);
    }

    void tableRoomAskedBeforeTheSession()
    {
        // A table opened before the chat session is up gets its chat once it is.
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, QStringLiteral("table-31@") + Service));
        ChatUser bob(1002, QStringLiteral("Bob"));
        ConferenceWidget table;
        table.setChatController(&bob.chat);
        table.joinTableRoom(31);
        QVERIFY(!table.isJoined());
        QVERIFY(bob.login(*m_server, fullConfig()));
        QTRY_VERIFY_WITH_TIMEOUT(table.isJoined(), 5000);
        QCOMPARE(table.roomJid().toString(), QStringLiteral("table-31@") + Service);
    }

    void historyKeepsItsTimes()
    {
        const QString room = QStringLiteral("table-77@") + Service;
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, room, 10));
        for (const char* line : {"one <1>", "two", "three"})
            say(owner, room, QString::fromLatin1(line));
        QVERIFY(owner.waitFor(QStringLiteral("three</body>")));

        // The live clock runs hours ahead, so live and history times differ.
        setServerTime(QDateTime::currentDateTimeUtc().addSecs(5 * 3600 + 1800));
        ChatUser bob(1002, QStringLiteral("Bob"));
        QVERIFY(bob.login(*m_server, fullConfig()));
        ConferenceWidget table(nullptr, ConferenceWidget::NotificationFlags(11));
        table.setChatController(&bob.chat);
        QSignalSpy lines(&table.conference(), &XMPPConference::message);
        table.joinTableRoom(77);
        QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 3, 5000);
        const QString pane = table.chatOutput()->toPlainText();
        qsizetype at = 0;
        for (int i = 0; i < 3; ++i) {
            const XMPPMessage m = lines.at(i).first().value<XMPPMessage>();
            QVERIFY(m.hasDelay());
            const QString line = QStringLiteral("(%1) Owner: %2").arg(formatTime(m.delayStamp()), m.body());
            const qsizetype found = pane.indexOf(line, at);
            QVERIFY2(found >= at, qPrintable(pane));
            at = found + 1;
        }
        QVERIFY(formatTime(ServerTime::currentTime()) != formatTime(lines.first().first().value<XMPPMessage>().delayStamp()));
        // The join itself showed nothing (hidden notices 11) but opened the input.
        QVERIFY(table.chatInput()->isEnabled());
        QVERIFY(!pane.contains(QStringLiteral("joined the chat")));
        // A burst from one occupant, as long as the pane keeps, shows whole and in order.
        const auto burst = [](int i) { return QStringLiteral("line %1 of the burst").arg(i); };
        for (int i = 0; i < ChatOutputWidget::MaxLines; ++i)
            say(owner, room, burst(i));
        QTRY_VERIFY_WITH_TIMEOUT(table.chatOutput()->document()->lastBlock().text().contains(burst(ChatOutputWidget::MaxLines - 1)), 30000);
        for (qsizetype i = 0, at = 0; i < ChatOutputWidget::MaxLines; ++i)
            QVERIFY2((at = table.chatOutput()->toPlainText().indexOf(burst(int(i)), at)) > 0, qPrintable(burst(int(i))));
    }

    void longLineInTheHistoryShowsCut()
    {
        // A line far over the pane's limit, kept in the room's history: every
        // entry replays it, and each time it must show at once, cut, with its
        // spaces and line breaks as sent.
        const QString room = QStringLiteral("table-78@") + Service;
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, room, 10));
        const QString spaced = QStringLiteral("two  spaces\nand a break");
        const QString huge = QString(300 * 1024, QLatin1Char('z'));
        say(owner, room, spaced);
        say(owner, room, huge);
        QVERIFY(owner.waitFor(QStringLiteral("zzz</body>"), 10000));

        ChatUser bob(1002, QStringLiteral("Bob"));
        QVERIFY(bob.login(*m_server, fullConfig()));
        ConferenceWidget table(nullptr, ConferenceWidget::NotificationFlags(11));
        table.resize(500, 400);
        table.show();
        table.setChatController(&bob.chat);
        QSignalSpy lines(&table.conference(), &XMPPConference::message);
        QElapsedTimer slowest;
        qint64 worst = 0;
        // The pane is the context: a queued measurement still waiting when it
        // goes is dropped with it, never run on this function's gone locals.
        connect(&table.conference(), &XMPPConference::message, &table, [&] { slowest.start(); });
        connect(&table.conference(), &XMPPConference::message, &table, [&] { worst = qMax(worst, slowest.elapsed()); },
                Qt::QueuedConnection);
        table.joinTableRoom(78);
        QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 2, 10000);
        QCOMPARE(lines.last().first().value<XMPPMessage>().body(), huge.left(ChatOutputWidget::MaxTextLength) + ChatOutputWidget::ElisionMark);
        QVERIFY2(worst < 1000, qPrintable(QString::number(worst)));

        const QTextDocument* doc = table.chatOutput()->document();
        QString last = doc->lastBlock().text();
        QVERIFY(last.endsWith(QString(ChatOutputWidget::MaxTextLength, QLatin1Char('z')) + ChatOutputWidget::ElisionMark));
        QString before = doc->lastBlock().previous().text();
        before.replace(QChar::LineSeparator, QLatin1Char('\n'));
        QVERIFY2(before.endsWith(QStringLiteral("Owner: ") + spaced), qPrintable(before));
    }

    void kickAndBanNotices()
    {
        const QString room = QStringLiteral("table-88@") + Service;
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, room));
        ChatUser alice(1001, QStringLiteral("Alice"));
        ChatUser bob(1002, QStringLiteral("Bob"));
        QVERIFY(alice.login(*m_server, fullConfig()));
        QVERIFY(bob.login(*m_server, fullConfig()));
        ConferenceWidget aliceTable;
        ConferenceWidget bobTable(nullptr, ConferenceWidget::NotificationFlags(11));
        QVERIFY(sitAt(aliceTable, alice, 88));
        QVERIFY(sitAt(bobTable, bob, 88));

        QVERIFY(admin(owner, room, "nick='Bob' role='none'", "&lt;b&gt;spam&lt;/b&gt; &amp; more", "k1"));
        QTRY_VERIFY_WITH_TIMEOUT(!bobTable.chatInput()->isEnabled(), 5000);
        const QString bobPane = bobTable.chatOutput()->toPlainText();
        QVERIFY2(bobPane.contains(QStringLiteral("Bob has been kicked from the chat")), qPrintable(bobPane));
        QVERIFY2(bobPane.contains(QStringLiteral("due to <b>spam</b> & more")), qPrintable(bobPane));
        // Others' kicks show without actor or reason.
        QTRY_VERIFY_WITH_TIMEOUT(aliceTable.chatOutput()->toPlainText().contains(
                                     QStringLiteral("Bob has been kicked from the chat\n")),
                                 5000);
        QVERIFY(!aliceTable.chatOutput()->toPlainText().contains(QStringLiteral("spam")));

        QVERIFY(admin(owner, room, "jid='1001@localhost' affiliation='outcast'", "cheating", "b1"));
        QTRY_VERIFY_WITH_TIMEOUT(
            aliceTable.chatOutput()->toPlainText().contains(QStringLiteral("Alice has been banned from the chat")),
            5000);
        QVERIFY(aliceTable.chatOutput()->toPlainText().contains(QStringLiteral("due to cheating")));
        // Banned: a new entry is refused with its own error line.
        aliceTable.joinTableRoom(88);
        QTRY_VERIFY_WITH_TIMEOUT(aliceTable.chatOutput()->toPlainText().contains(
                                     QStringLiteral("You've been banned from this room")),
                                 5000);
        QVERIFY(!aliceTable.isJoined());

        // Put out by a change of the room, no kick: the room made members-only, then a membership revoked.
        QVERIFY(sitAt(bobTable, bob, 88));
        owner.send("<iq type='set' id='mo' to='" + room.toUtf8() + "'><query xmlns='http://jabber.org/protocol/muc#owner'><x xmlns='jabber:x:data' type='submit'><field var='FORM_TYPE'><value>"
                   "http://jabber.org/protocol/muc#roomconfig</value></field><field var='muc#roomconfig_membersonly'><value>1</value></field></x></query></iq>");
        QTRY_VERIFY_WITH_TIMEOUT(bobTable.chatOutput()->toPlainText().contains(QStringLiteral("You were removed from the room: it is now for members only")), 5000);
        QVERIFY(admin(owner, room, "jid='1002@localhost' affiliation='member'", "", "m1") && sitAt(bobTable, bob, 88));
        QVERIFY(admin(owner, room, "jid='1002@localhost' affiliation='none'", "", "m2"));
        QTRY_VERIFY_WITH_TIMEOUT(bobTable.chatOutput()->toPlainText().contains(QStringLiteral("You were removed from the room: you are no longer a member")), 5000);
        QVERIFY(!bobTable.chatInput()->isEnabled());
    }

    void refusedLineComesBack()
    {
        const QString room = QStringLiteral("table-99@") + Service;
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, room));
        ChatUser carol(1003, QStringLiteral("Carol"));
        QVERIFY(carol.login(*m_server, fullConfig()));
        ConferenceWidget table(nullptr, ConferenceWidget::NotificationFlags(11));
        QVERIFY(sitAt(table, carol, 99));
        QVERIFY(admin(owner, room, "nick='Carol' role='visitor'", "quiet", "v1"));
        QTest::qWait(200);

        QTest::keyClicks(table.chatInput(), QStringLiteral("my <long> thought"));
        QTest::keyClick(table.chatInput(), Qt::Key_Return);
        QVERIFY(table.chatInput()->text().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(table.chatInput()->text(), QStringLiteral("my <long> thought"), 5000);
        const QString pane = table.chatOutput()->toPlainText();
        // The room's own reason; the line on its way is no longer shown.
        QCOMPARE(count(pane, QStringLiteral("Your message was not delivered: ")), 1);
        QVERIFY2(pane.contains(QStringLiteral(
                     "Your message was not delivered: You do not currently have permission to speak in this chat")),
                 qPrintable(pane));
        QVERIFY(!pane.contains(QStringLiteral("Carol: my")));

        // A second refused line while the first waits in the input: both kept.
        table.chatInput()->clear();
        QTest::keyClicks(table.chatInput(), QStringLiteral("second"));
        QTest::keyClick(table.chatInput(), Qt::Key_Return);
        QTest::keyClicks(table.chatInput(), QStringLiteral("draft"));
        QTRY_COMPARE_WITH_TIMEOUT(count(table.chatOutput()->toPlainText(), QStringLiteral("not delivered")), 3, 5000);
        QVERIFY(table.chatOutput()->toPlainText().contains(QStringLiteral("Your message was not delivered: second")));
        QCOMPARE(table.chatInput()->text(), QStringLiteral("draft"));
    }

    void linesWithoutBodyAndOwnLinesConfirmedById()
    {
        const QString room = QStringLiteral("table-41@") + Service;
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, room));
        ChatUser alice(1001, QStringLiteral("Alice"));
        QVERIFY(alice.login(*m_server, fullConfig()));
        ConferenceWidget table(nullptr, ConferenceWidget::NotificationFlags(11));
        QVERIFY(sitAt(table, alice, 41));

        // Another client's chat state and subject change carry no body.
        owner.send("<message to='" + room.toUtf8()
                   + "' type='groupchat'><composing xmlns='http://jabber.org/protocol/chatstates'/></message>");
        owner.send("<message to='" + room.toUtf8() + "' type='groupchat'><subject>Rules &amp; &lt;b&gt;manners&lt;/b&gt;</subject></message>");
        say(owner, room, QStringLiteral("after"));
        QTRY_VERIFY_WITH_TIMEOUT(table.chatOutput()->toPlainText().contains(QStringLiteral("Owner: after")), 5000);
        QString pane = table.chatOutput()->toPlainText();
        QCOMPARE(count(pane, QStringLiteral("Owner:")), 1);
        QVERIFY2(pane.contains(QStringLiteral("Owner set the subject: Rules & <b>manners</b>")), qPrintable(pane));

        // A pasted line with a character XML forbids reaches the room without
        // it; the room's reflection still confirms it.
        table.chatInput()->insert(QStringLiteral("bell \u0007rings"));
        QTest::keyClick(table.chatInput(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(table.chatOutput()->toPlainText().contains(QStringLiteral("Alice: bell rings")), 5000);
        pane = table.chatOutput()->toPlainText();
        QVERIFY2(!pane.contains(QStringLiteral("not delivered")), qPrintable(pane));
        QVERIFY(table.chatInput()->text().isEmpty());
    }

    void hostileMemberCutsNobodyOff_data()
    {
        QTest::addColumn<QByteArray>("stanza"); // what the hostile member sends to the room %1
        QTest::addColumn<QString>("request");   // what Bob asks for afterwards: "vcard", "rooms" or nothing
        QTest::addColumn<QString>("drop");      // why Bob's client drops it, where it must
        const auto row = [](const char* name, const QByteArray& stanza, const QString& request = QString(), const char* drop = "") {
            QTest::newRow(name) << stanza << request << QString::fromLatin1(drop);
        };
        row("plain line (control)", "<message to='%1' type='groupchat'><body>x</body></message>");
        const QByteArray deep = QByteArray("<x xmlns='urn:x'>").repeated(70) + QByteArray("</x>").repeated(70);
        const QByteArray quotes(200000, '"'); // the server writes each back as "&quot;": 1.2 MB
        const QByteArray error = "<error type='cancel'><gone xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error>";
        row("line nested 70 deep", "<message to='%1' type='groupchat'><body>x</body>" + deep + "</message>");
        row("line over 1 MiB", "<message to='%1' type='groupchat'><body>" + quotes + "</body></message>");
        row("presence nested 70 deep", "<presence to='%1/Owner'>" + deep + "</presence>");
        row("presence over 1 MiB", "<presence to='%1/Owner'><status>" + quotes + "</status></presence>");
        row("presence holding an error", "<presence to='%1/Owner'>" + error + "</presence>");
        QByteArray forged; // any id the own line may have, an error that puts nobody out
        for (int id = 1; id <= 60; ++id)
            forged += "<message to='%1/Bob' type='error' id='" + QByteArray::number(id) + "'><error type='auth'><forbidden "
                      "xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></message>";
        row("forged refusal from an occupant", forged);
        // Each costs a reader far more than its bytes; dropped by the framer.
        QByteArray attributes;
        for (int i = 0; i < 25000; ++i)
            attributes += " b" + QByteArray::number(i) + "=''";
        const auto declarations = [](const char* prefix, int count) { // each used, so that a server keeps it
            QByteArray text;
            for (int i = 0; i < count; ++i)
                text += QByteArray(" xmlns:P='urn:P' P:a=''").replace("P", prefix + QByteArray::number(i));
            return text;
        };
        const QByteArray namespaces = declarations("n", 20000);
        const QByteArray line = "<message to='%1' type='groupchat'><body>x</body><x xmlns='urn:x'";
        row("250 KB of attributes", line + attributes + "/></message>", {}, "too many attributes");
        row("20,000 namespace declarations", line + namespaces + "/></message>", {}, "too many attributes");
        row("262,000 children", line + ">" + QByteArray("<a/>").repeated(262000) + "</x></message>", {}, "too many descendants");
        row("30,000 lines holding an error", QByteArray("<message to='%1' type='groupchat'>" + error + "</message>").repeated(30000));
        // Answers too large to read still end the requests they answer.
        row("huge vCard",
            "<iq type='set' id='hv'><vCard xmlns='vcard-temp'><DESC>" + quotes + "</DESC></vCard></iq><message to='%1' type='groupchat'/>",
            QStringLiteral("vcard"));
        row("huge room name",
            "<iq type='set' id='hn' to='%1'><query xmlns='http://jabber.org/protocol/muc#owner'><x xmlns='jabber:x:data' "
            "type='submit'><field var='FORM_TYPE'><value>http://jabber.org/protocol/muc#roomconfig</value></field>"
            "<field var='muc#roomconfig_roomname'><value>" + quotes + "</value></field></x></query></iq>",
            QStringLiteral("rooms"));
        // What the reader refuses inside one stanza costs that stanza.
        row("empty element at depth 65", line + ">" + QByteArray("<x>").repeated(62) + "<y/>" + QByteArray("</x>").repeated(63) + "</message>", {}, "deeper");
        const QByteArray name(5000, 'n');
        row("name of 5,000 characters in an attribute", line + " " + name + "='v'/></message>", {}, ".");
        row("name of 5,000 characters of an element", line + "><" + name + "/></x></message>", {}, ".");
        const QByteArray scope = declarations("p", 15) + ">";
        row("namespace declarations in scope over 62 levels", line + scope + ("<x" + scope).repeated(61) + QByteArray("</x>").repeated(62) + "</message>", {}, "in scope");
        row("Bob's friend's status of 100 KB of marks, in the friends list's tool tip",
            "<presence><status>a" + QByteArray("\xcc\x81").repeated(50000) + "</status></presence><message to='%1' type='groupchat'/>",
            QStringLiteral("hover"));
    }

    void hostileMemberCutsNobodyOff()
    {
        // Another member's stanza, live and replayed to later entrants by the
        // room's history and occupant list, costs nobody the session.
        QFETCH(QByteArray, stanza);
        QFETCH(QString, request);
        QFETCH(QString, drop);
        static int number = 200;
        static qint64 plainStall = -1;
        const int id = ++number;
        const QString room = QStringLiteral("table-%1@").arg(id) + Service;
        RawXmppClient hostile;
        QVERIFY(createRoom(hostile, *m_server, room, 20));
        ChatUser bob(1002, QStringLiteral("Bob"));
        ChatUser carol(1003, QStringLiteral("Carol"));
        QVERIFY(bob.login(*m_server, fullConfig()) && carol.login(*m_server, fullConfig()));
        ConferenceWidget bobTable(nullptr, ConferenceWidget::NotificationFlags(11));
        ConferenceWidget carolTable(nullptr, ConferenceWidget::NotificationFlags(11));
        QVERIFY(sitAt(bobTable, bob, id));
        QTest::keyClicks(bobTable.chatInput(), QStringLiteral("my line"));
        QTest::keyClick(bobTable.chatInput(), Qt::Key_Return);
        // The longest turn of Bob's and Carol's event loop from the stanza on.
        QElapsedTimer sinceTick;
        qint64 stall = 0;
        QTimer ticker;
        ticker.callOnTimeout([&] {
            stall = qMax(stall, sinceTick.elapsed());
            sinceTick.start();
        });
        std::optional<FriendsWindow> friends;
        if (request == QLatin1String("hover")) {
            friends.emplace(&bob.client, &bob.playerDb).show();
            hostile.send("<presence/>");
            bob.client.sendSubscription(XMPPJid(QStringLiteral("localhost"), QStringLiteral("1009")), false);
            QVERIFY(hostile.waitFor(QStringLiteral("type=['\"]subscribe['\"]")));
            hostile.send("<presence to='1002@localhost' type='subscribed'/>");
        }
        sinceTick.start();
        ticker.start(1);
        if (!drop.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^dropped message .*") + drop));
        hostile.send(QString::fromUtf8(stanza).arg(room).toUtf8());
        say(hostile, room, QStringLiteral("after"));
        QVERIFY(sitAt(carolTable, carol, id));
        for (ConferenceWidget* pane : {&bobTable, &carolTable})
            QTRY_VERIFY_WITH_TIMEOUT(pane->chatOutput()->toPlainText().contains(QStringLiteral("Owner: after")), 60000);
        // The requests its answers hold up end all the same.
        QSignalSpy vCardFailed(&bob.client, &XMPPClient::vCardReceivedError);
        if (request == QLatin1String("vcard")) {
            bob.client.requestVCard(XMPPJid::fromText(QStringLiteral("1009@localhost")));
            QVERIFY(vCardFailed.wait(10000));
            hostile.send("<iq type='set' id='hv2'><vCard xmlns='vcard-temp'/></iq>");
        } else if (friends) {
            QListView* list = friends->friendList();
            QTRY_VERIFY(list->model()->index(0, 0).data(Qt::ToolTipRole).toString().contains(QLatin1String("status")));
            QTest::mouseMove(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
            QTRY_VERIFY(QToolTip::isVisible());
            QVERIFY2(QToolTip::text().size() < 400, qPrintable(QString::number(QToolTip::text().size())));
        } else if (request == QLatin1String("rooms")) {
            // The list is read all the same, without the room no list can show.
            QSignalSpy rooms(&bob.client, &XMPPClient::conferenceRooms);
            bob.client.requestConferenceRooms(XMPPJid(Service));
            QVERIFY(rooms.wait(10000));
            QVERIFY(!rooms.first().first().value<QList<XMPPJid>>().contains(XMPPJid::fromText(room)));
        }
        ticker.stop();
        if (plainStall < 0)
            plainStall = stall;
        qInfo("%s: longest stall %lld ms, %.1f times the plain line's %lld ms", QTest::currentDataTag(), stall,
              double(stall) / double(qMax<qint64>(plainStall, 1)), plainStall);
        // A kicked member would be out within a moment; the next entry works.
        QTest::qWait(1500);
        QVERIFY(bobTable.isJoined() && carolTable.isJoined());
        QVERIFY(sitAt(carolTable, carol, id + 1000));
        QVERIFY2(!bobTable.chatOutput()->toPlainText().contains(QStringLiteral("not delivered")),
                 qPrintable(bobTable.chatOutput()->toPlainText()));
    }

    void paneClosedWhileEnteringLeavesTheRoom()
    {
        const QString room = QStringLiteral("table-42@") + Service;
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, room));
        ChatUser bob(1002, QStringLiteral("Bob"));
        QVERIFY(bob.login(*m_server, fullConfig()));
        auto table = std::make_unique<ConferenceWidget>();
        table->setChatController(&bob.chat);
        table->joinTableRoom(42);
        table.reset(); // the table closed at once, its entry still on the way
        const QString occupant = QRegularExpression::escape(room + QStringLiteral("/Bob"));
        QVERIFY(owner.waitFor(QStringLiteral("<presence[^>]*%1").arg(occupant)));
        QVERIFY2(owner.waitFor(QStringLiteral("<presence[^>]*(%1[^>]*unavailable|unavailable[^>]*%1)").arg(occupant)),
                 "Bob stayed in the room");
    }

    void entryRefusalsSayWhy_data()
    {
        QTest::addColumn<QString>("refusal"); // how the room refuses
        QTest::addColumn<QString>("line");    // what the pane says
        QTest::newRow("members only tournament") << "members" << "Tournament chat only available to registered players";
        QTest::newRow("nick in use") << "nick" << "Your nickname is already in use in this room";
        QTest::newRow("banned") << "banned" << "You've been banned from this room";
        QTest::newRow("room destroyed") << "destroyed" << "The room has been closed (season is over)";
    }

    void entryRefusalsSayWhy()
    {
        QFETCH(QString, refusal);
        QFETCH(QString, line);
        static int number = 50;
        const int id = ++number;
        const QString room = QStringLiteral("tmnt-%1@").arg(id) + Service;
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, room));
        if (refusal == QLatin1String("members")) {
            owner.send("<iq type='set' id='mo' to='" + room.toUtf8()
                       + "'><query xmlns='http://jabber.org/protocol/muc#owner'><x xmlns='jabber:x:data' type='submit'>"
                         "<field var='FORM_TYPE'><value>http://jabber.org/protocol/muc#roomconfig</value></field>"
                         "<field var='muc#roomconfig_membersonly'><value>1</value></field></x></query></iq>");
            QVERIFY(owner.waitFor(QStringLiteral("id=['\"]mo['\"]")));
        } else if (refusal == QLatin1String("banned")) {
            QVERIFY(admin(owner, room, "jid='1002@localhost' affiliation='outcast'", "", "ban"));
        }
        ChatUser bob(1002, refusal == QLatin1String("nick") ? QStringLiteral("Owner") : QStringLiteral("Bob"));
        QVERIFY(bob.login(*m_server, fullConfig()));
        ConferenceWidget chat(nullptr, ConferenceWidget::NotificationFlags(11));
        chat.setChatController(&bob.chat);
        chat.joinTournamentRoom(id);
        if (refusal == QLatin1String("destroyed")) {
            QTRY_VERIFY_WITH_TIMEOUT(chat.isJoined(), 5000);
            owner.send("<iq type='set' id='end' to='" + room.toUtf8()
                       + "'><query xmlns='http://jabber.org/protocol/muc#owner'><destroy><reason>season is over</reason>"
                         "</destroy></query></iq>");
        }
        QTRY_VERIFY_WITH_TIMEOUT(chat.chatOutput()->toPlainText().contains(line), 5000);
        QVERIFY(!chat.isJoined());
        // Over the input, which is off: why it cannot be used.
        QVERIFY(chat.chatState()->isVisibleTo(&chat));
        QVERIFY(line.startsWith(chat.chatState()->text()));
        QVERIFY(!chat.chatInput()->isEnabled());
    }

    void serviceThatDoesNotExist()
    {
        ClientConfig config = fullConfig();
        config.setLobbyRoomJid(QStringLiteral("lobby@nosuch.localhost"));
        ChatUser carol(1003, QStringLiteral("Carol"));
        QVERIFY(carol.login(*m_server, config));
        QTRY_VERIFY_WITH_TIMEOUT(!carol.lobbyChat->chatState()->text().isEmpty(), 10000);
        const QString pane = carol.pane();
        QVERIFY2(!pane.contains(QStringLiteral("banned")), qPrintable(pane));
        QVERIFY2(pane.contains(carol.lobbyChat->chatState()->text()), qPrintable(pane));
        // The server's own words, as it gave them.
        const QString words = QStringLiteral("(Communication with remote domains is not enabled)");
        QVERIFY2(pane.contains(words), qPrintable(pane));
        // Each login enters the room once and is refused once.
        QSignalSpy answers(&carol.client, &XMPPClient::presence);
        carol.client.disconnectFromHost();
        QTRY_VERIFY_WITH_TIMEOUT(carol.client.state() == XMPPClient::UnconnectedState, 5000);
        QVERIFY(carol.login(*m_server, config));
        QTRY_COMPARE_WITH_TIMEOUT(count(carol.pane(), words), 2, 10000);
        QTest::qWait(1000);
        QCOMPARE(count(carol.pane(), words), 2);
        QCOMPARE(std::count_if(answers.cbegin(), answers.cend(), [](const QVariantList& a) {
                     return a.first().value<XMPPPresence>().availability() == XMPPPresence::Error;
                 }), 1);
    }

    void chatOfflineUntilTheNextLogin()
    {
        ChatUser alice(1001, QStringLiteral("Alice"));
        QVERIFY(alice.login(*m_server, fullConfig()));
        QTRY_VERIFY_WITH_TIMEOUT(alice.lobbyChat->chatInput()->isEnabled(), 5000);
        const QString offline = QStringLiteral("Chat is offline until the next login");
        alice.client.disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(alice.lobbyChat->chatState()->text(), offline, 5000);
        QVERIFY(!alice.lobbyChat->chatInput()->isEnabled());
        QVERIFY(alice.lobbyChat->chatState()->isVisibleTo(alice.lobbyChat.get()));
        QCOMPARE(count(alice.pane(), offline), 1);
        // A pane opened while offline says so too.
        ConferenceWidget table;
        table.setChatController(&alice.chat);
        table.joinTableRoom(5);
        QCOMPARE(table.chatState()->text(), offline);


        // A refused chat login says so as well.
        ChatUser eve(1003, QStringLiteral("Eve"));
        eve.setup.setClientConfig(fullConfig());
        QVERIFY(!clienttest::connectAndWait(eve.client, m_server->host(), m_server->port(), m_server->domain(),
                                            eve.playerDb.ownPidString(), QStringLiteral("wrong"),
                                            XMPPClient::TlsRequired, 3000));
        QTRY_COMPARE_WITH_TIMEOUT(eve.lobbyChat->chatState()->text(), offline, 5000);
        // A refusal for a cause the player can be told of says which.
        eve.client.setCaCertificates(QSslConfiguration::systemCaCertificates());
        QVERIFY(!clienttest::connectAndWait(eve.client, m_server->host(), m_server->port(), m_server->domain(), eve.playerDb.ownPidString(),
                                            SocialTestAccount::password(1003), XMPPClient::TlsRequired, 3000));
        QTRY_COMPARE_WITH_TIMEOUT(eve.lobbyChat->chatState()->text(), offline + ": the chat server's certificate is not trusted", 5000);
        ScriptedXmppPeer plain;
        QVERIFY(plain.listen());
        plain.expect(QStringLiteral("<stream:stream")).send(ScriptedXmppPeer::header() + ScriptedXmppPeer::features("<mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>PLAIN</mechanism></mechanisms>"));
        QVERIFY(!clienttest::connectToPeer(eve.client, plain.port(), QStringLiteral("user"), XMPPClient::TlsRequired, 3000));
        QTRY_COMPARE_WITH_TIMEOUT(eve.lobbyChat->chatState()->text(), offline + ": the chat server does not offer encryption", 5000);

        // A link gone silent both ways is noticed: pinged after a silence, a server silent after
        // the ping ends the chat, within three silences (90 s at the defaults).
        ChatUser bob(1002, QStringLiteral("Bob"));
        bob.setup.setClientConfig(fullConfig());
        bob.client.setPingInterval(500);
        TcpProxy proxy(m_server->host(), m_server->port());
        QVERIFY(clienttest::connectAndWait(bob.client, m_server->host(), proxy.port(), m_server->domain(), QStringLiteral("1002"),
                                           SocialTestAccount::password(1002), XMPPClient::TlsRequired));
        QTRY_VERIFY_WITH_TIMEOUT(bob.lobbyChat->chatInput()->isEnabled(), 5000);
        QTest::qWait(1600); // pings answered
        QVERIFY(bob.lobbyChat->chatInput()->isEnabled());
        // Over a slow link, the reflection of a line that comes behind others' lines is waited for.
        RawXmppClient other;
        QVERIFY(other.login(m_server->host(), m_server->port(), m_server->domain(), QStringLiteral("1009"), SocialTestAccount::password(1009)));
        other.send("<presence to='" + Lobby.toUtf8() + "/Other'><x xmlns='http://jabber.org/protocol/muc'/></presence>");
        QVERIFY(other.waitFor(QStringLiteral("status code=['\"]110")));
        proxy.throttle(20000);
        for (int i = 0; i < 100; ++i)
            say(other, Lobby, QString(200, QLatin1Char('x')) + QString::number(i));
        QVERIFY(other.waitFor(QStringLiteral("x99</body>")));
        // ... and behind a stall shorter than the link's own deadline: greyed until it comes.
        bob.client.setPingInterval(30000);
        bob.type(QStringLiteral("behind"));
        proxy.pause();
        QTest::qWait(8000);
        QVERIFY(!bob.pane().contains(QStringLiteral("not delivered")) && bob.lobbyChat->chatInput()->text().isEmpty());
        QVERIFY(greyed(bob.lobbyChat->chatOutput(), QStringLiteral("Bob: behind")));
        proxy.resume();
        QTRY_VERIFY_WITH_TIMEOUT(!greyed(bob.lobbyChat->chatOutput(), QStringLiteral("Bob: behind")), 20000);
        QVERIFY(!bob.pane().contains(QStringLiteral("not delivered")) && count(bob.pane(), QStringLiteral("Bob: behind")) == 1);
        // A line whose reflection the end of the link cuts off is named, and kept for another try.
        bob.client.setPingInterval(500);
        proxy.pause();
        bob.type(QStringLiteral("unsure"));
        QTRY_COMPARE_WITH_TIMEOUT(bob.lobbyChat->chatState()->text(), offline, 5000);
        QVERIFY(bob.pane().contains(QStringLiteral("Your message may not have been delivered: unsure")) && !bob.pane().contains(QStringLiteral("Bob: unsure")));
        QCOMPARE(bob.lobbyChat->chatInput()->text(), QStringLiteral("unsure"));
    }
};

QTEST_MAIN(TestChatProsody)
#include "tst_chat_prosody.moc"
