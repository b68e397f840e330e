// A tournament window's chat against a real Prosody whose tournament room
// takes members only: the room is asked for at once after a registration
// (also one made while an entry is on its way), else now and then, the
// refusal said once; a registered player is not told to register and gets in
// once the room lets him; the refusal shows in place of the input, and keys
// typed into the refused chat never reach the window's buttons.
#include "ChatOutputWidget.h"
#include "ChatRoomDriver.h"
#include "ConferenceWidget.h"
#include "ProsodyAccounts.h"
#include "SocialHub.h"
#include "SocialTestAccount.h"
#include "TournamentView.h"
#include "TournamentWindow.h"
#include "UTabWidget.h"

#include "../lobby/TournamentTestData.h"
#include "../lobby/TournamentTestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QTabBar>

using namespace chattest;

namespace {

const QString Service = QStringLiteral("conference.localhost");
const QString Refusal = QStringLiteral("Tournament chat only available to registered players");
const QString RegisteredRefusal = QStringLiteral("Tournament chat unavailable");

ClientConfig config()
{
    ClientConfig c;
    c.setConferenceJid(Service);
    c.setLobbyRoomJid(QStringLiteral("lobby@") + Service);
    return c;
}

}

class TestTournamentChatProsody : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProsodyFixture> m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        m_server = std::make_unique<ProsodyFixture>();
        QVERIFY(clienttest::startWithAccounts(*m_server, {"1002", "1009"}));
    }

    void cleanupTestCase() { m_server.reset(); }

    void refusedRoomAskedOncePerRegistrationAndKeysStayInTheChat()
    {
        const QString room = QStringLiteral("tmnt-61@") + Service;
        RawXmppClient owner;
        QVERIFY(createRoom(owner, *m_server, room));
        owner.send("<iq type='set' id='mo' to='" + room.toUtf8()
                   + "'><query xmlns='http://jabber.org/protocol/muc#owner'><x xmlns='jabber:x:data' type='submit'>"
                     "<field var='FORM_TYPE'><value>http://jabber.org/protocol/muc#roomconfig</value></field>"
                     "<field var='muc#roomconfig_membersonly'><value>1</value></field></x></query></iq>");
        QVERIFY(owner.waitFor(QStringLiteral("id=['\"]mo['\"]")));

        SocialTestAccount bob(1002, QStringLiteral("Bob"));
        QVERIFY(bob.login(*m_server, config()));
        SocialHub hub(&bob.playerDb, &bob.chat);
        TournamentWindow window(TournamentTestData::tournament(61, QStringLiteral("Sunday Cup"), 0), &hub);
        auto* chat = qobject_cast<ConferenceWidget*>(window.view()->conference);
        QVERIFY(chat);
        const auto count = [](ConferenceArea* pane, const QString& text) {
            return int(static_cast<ConferenceWidget*>(pane)->chatOutput()->toPlainText().count(text));
        };
        const auto refusals = [&] { return count(chat, Refusal); };
        QTRY_COMPARE_WITH_TIMEOUT(refusals(), 1, 5000);

        // Key updates that cannot change the answer ask for nothing more.
        for (qint32 registered = 11; registered < 16; ++registered) {
            window.tournamentInfoUpdate(61, TournamentTestData::changes({{"REGISTERED", registered}}));
            QTest::qWait(200);
        }
        QCOMPARE(refusals(), 1);
        // A new registration may change it: asked once again, and refused no
        // more as an unregistered player.
        chat->setReentryInterval(1000);
        window.onTournamentRegisterSuccess(61);
        QTRY_COMPARE_WITH_TIMEOUT(count(chat, RegisteredRefusal), 1, 5000);
        QTest::qWait(300);
        QCOMPARE(refusals(), 1);
        // A registration while the entry is on its way: asked again, only the later answer shows.
        TournamentWindow second(TournamentTestData::tournament(61, QStringLiteral("Sunday Cup"), 0), &hub);
        QSignalSpy secondAnswers(&static_cast<ConferenceWidget*>(second.view()->conference)->conference(),
                                 &XMPPConference::userError);
        second.onTournamentRegisterSuccess(61);
        QTRY_COMPARE_WITH_TIMEOUT(secondAnswers.size(), 2, 5000);
        QCOMPARE(count(second.view()->conference, RegisteredRefusal), 1);

        // The refused chat shows why in place of its input.
        QCOMPARE(chat->chatState()->text(), RegisteredRefusal);
        QVERIFY(!chat->chatInput()->isEnabled());

        // The user opens the Chat tab, clicks into the chat and types a space.
        window.resize(760, 600);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy closing(&window, &TournamentWindow::closeWindow);
        QTabBar* tabs = window.view()->tournamentTabs->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
        QVERIFY(chat->isVisible());
        QTest::mouseClick(chat->chatState(), Qt::LeftButton);
        for (int i = 0; i < 2; ++i) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
            QTest::keyClick(target, Qt::Key_Space);
        }
        QCOMPARE(closing.size(), 0);
        QVERIFY(chat->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == chat);

        // Later updates ask again now and then, the refusal said once, until the room lets him
        // in: the admission takes its line.
        QSignalSpy answers(&chat->conference(), &XMPPConference::userError);
        QTest::qWait(1100);
        window.tournamentInfoUpdate(61, TournamentTestData::changes({{"REGISTERED", qint32(17)}}));
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 5000);
        QVERIFY(admin(owner, room, "jid='1002@localhost' affiliation='member'", "", "member"));
        QTest::qWait(1100);
        window.tournamentInfoUpdate(61, TournamentTestData::changes({{"REGISTERED", qint32(18)}}));
        QTRY_VERIFY_WITH_TIMEOUT(chat->isJoined() && chat->chatInput()->isEnabled(), 5000);
        QCOMPARE(count(chat, RegisteredRefusal), 0);
        QCOMPARE(count(chat, QStringLiteral("Bob joined the chat")), 1);
    }
};

PARLOR_WEBVIEW_TEST_MAIN(TestTournamentChatProsody)
#include "tst_tournament_chat_prosody.moc"
