// The main window's chat side, live: the test game server plays the session,
// a Prosody server on loopback plays the chat server. After the login the
// chat session comes up with the game server's credentials and the lobby
// chat enters its room, whether the client configuration names the room,
// only the room service, or nothing; the window's teardown ends the chat
// session cleanly, and a kick from a table whose room has not answered yet
// ends outside that room. Also the account operations that go through the
// player directory.
#include "ChatRoomDriver.h"
#include "ClientTestUtil.h"
#include "CommandLine.h"
#include "AvatarDialog.h"
#include "ChatOutputWidget.h"
#include "ConferenceWidget.h"
#include "FriendsWindow.h"
#include "HandScenario.h"
#include "XMPPRosterItem.h"
#include "MainWindowHarness.h"
#include "PreferencesWindow.h"
#include "UTabWidget.h"
#include "ProsodyFixture.h"
#include "RawXmppClient.h"
#include "Utils.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QLoggingCategory>
#include <QSettings>

#include <optional>

namespace {

const QString Lobby = QStringLiteral("lobby@conference.localhost");

/// The game server's reply to the login carries this as the chat password.
const QString ChatPassword = QStringLiteral("secret");

/// The entries of a menu as "text|enabled".
QStringList entries(const QMenu& menu)
{
    QStringList out;
    for (const QAction* a : menu.actions())
        out << a->text() + (a->isEnabled() ? QStringLiteral("|1") : QStringLiteral("|0"));
    return out;
}

}

class TestMainWindowSocial : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProsodyFixture> m_server;
    /// Keeps the lobby room open (Prosody drops an empty room) and sees who enters it.
    std::unique_ptr<RawXmppClient> m_owner;

    /// A window against both servers, logged in; the chat configuration as given.
    bool startSession(MainWindowHarness& h, const QList<QByteArray>& config)
    {
        if (!h.create())
            return false;
        h.window->setXmppPort(m_server->port());
        h.scenario.setClientConfig(config);
        return h.start() && h.logIn();
    }

private Q_SLOTS:
    void initTestCase()
    {
        setupSearchPaths({});
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        ProsodyFixture::Options options;
        options.searchUsers = {{QStringLiteral("1002"), QStringLiteral("Bert")},
                               {QStringLiteral("1003"), QStringLiteral("Cleo")}};
        m_server = std::make_unique<ProsodyFixture>(options);
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        QVERIFY2(m_server->addAccount(QString::number(SessionScenario::playerId), ChatPassword, &error),
                 qPrintable(error));
        for (const char* pid : {"1002", "1003", "1009"}) {
            QVERIFY2(m_server->addAccount(QLatin1String(pid), QStringLiteral("pw-") + QLatin1String(pid), &error),
                     qPrintable(error));
        }
        // The chat connection trusts the test server's certificate authority.
        QVERIFY(clienttest::trustCa(m_server->caCertificatePath()));
        QVERIFY(clienttest::installServiceCa(m_server->caCertificatePath()));
        m_owner = std::make_unique<RawXmppClient>();
        QVERIFY(chattest::createRoom(*m_owner, *m_server, Lobby));
    }

    void cleanupTestCase()
    {
        m_owner.reset();
        m_server.reset();
    }

    void init()
    {
        QSettings().clear();
        m_owner->discardPending();
    }

    void lobbyChatAfterLogin_data()
    {
        QTest::addColumn<QList<QByteArray>>("config");
        QTest::addColumn<QString>("searchService");
        QTest::newRow("room named") << QList<QByteArray>{"localhost", "conference.localhost", Lobby.toUtf8(),
                                                         "users.localhost"}
                                    << QStringLiteral("users.localhost");
        QTest::newRow("room listed") << QList<QByteArray>{"localhost", "conference.localhost", "", ""}
                                     << QStringLiteral("search.localhost");
        QTest::newRow("service discovered") << QList<QByteArray>{"localhost", "", "", ""}
                                            << QStringLiteral("search.localhost");
    }

    void lobbyChatAfterLogin()
    {
        QFETCH(QList<QByteArray>, config);
        QFETCH(QString, searchService);
        MainWindowHarness h;
        QVERIFY(startSession(h, config));
        // The chat login is the player id with the login reply's credentials
        // (not the typed password, which the chat server would refuse).
        QTRY_COMPARE_WITH_TIMEOUT(h.window->xmpp().state(), int(XMPPClient::SessionState), 10000);
        QCOMPARE(XMPPJid::fromText(h.window->xmpp().ownJid()).node(), QString::number(SessionScenario::playerId));
        QCOMPARE(h.window->players().searchService().toString(), searchService);

        auto* lobbyChat = qobject_cast<ConferenceWidget*>(h.window->lobbyChatArea());
        QVERIFY(lobbyChat != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(lobbyChat->isJoined(), 10000);
        QCOMPARE(lobbyChat->roomJid().toString(), Lobby);
        QCOMPARE(h.window->chat().conferenceJid().toString(), QStringLiteral("conference.localhost"));
        // The room sees the player enter under the game server's name.
        QVERIFY(m_owner->waitFor(QStringLiteral("from=['\"]%1/anna['\"]").arg(Lobby)));
        QVERIFY(lobbyChat->chatInput()->isEnabled());
    }

    void roomSeesThePlayerLeave_data()
    {
        QTest::addColumn<bool>("kicked"); // else the window closes in the lobby, or the session ends with a box
        QTest::newRow("window closed") << false;
        QTest::newRow("kicked from a table before its room answers") << true;
        QTest::newRow("forced logout, its box unanswered") << false;
        QTest::newRow("server closes the connection, its box unanswered") << false;
    }

    void roomSeesThePlayerLeave()
    {
        QFETCH(bool, kicked);
        const QByteArray how = QTest::currentDataTag();
        MainWindowHarness h;
        QVERIFY(startSession(h, {"localhost", "conference.localhost", Lobby.toUtf8(), ""}));
        auto* lobbyChat = qobject_cast<ConferenceWidget*>(h.window->lobbyChatArea());
        QTRY_VERIFY_WITH_TIMEOUT(lobbyChat != nullptr && lobbyChat->isJoined(), 10000);
        QVERIFY(m_owner->waitFor(QStringLiteral("from=['\"]%1/anna['\"]").arg(Lobby)));
        // The kick comes with the table's snapshot, before the room lets the
        // player in: the entry must end outside. The pages and chat areas go
        // before the chat client and the connection they use.
        std::optional<HandScenario> hand;
        RawXmppClient tableOwner;
        const QString room = kicked ? QStringLiteral("table-%1@conference.localhost").arg(HandScenario::tableFor(0)) : Lobby;
        if (kicked) {
            hand.emplace(h.server, HandScenario::Kind::Kick, 0);
            QVERIFY(chattest::createRoom(tableOwner, *m_server, room));
            h.window->joinTable(qint32(HandScenario::tableFor(0)));
        } else if (how.startsWith("window")) {
            h.window.reset();
        } else { // the window stays, its box unanswered
            QTimer::singleShot(0, [&] { how.startsWith("forced") ? h.scenario.forceLogout() : h.scenario.closeConnection(); });
            QTimer::singleShot(10000, &h.server, [] { QCoreApplication::exit(-1); });
            QCOMPARE(QCoreApplication::exec(), 1);
        }
        RawXmppClient& owner = kicked ? tableOwner : *m_owner;
        QVERIFY(owner.waitFor(QStringLiteral("from=['\"]%1/anna['\"][^>]*type=['\"]unavailable['\"]|"
                                             "type=['\"]unavailable['\"][^>]*from=['\"]%1/anna['\"]")
                                  .arg(room)));
    }

    void playerMenu_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint32>("knownPid");
        QTest::addColumn<QStringList>("menu");
        QTest::addColumn<QString>("asked");
        QTest::newRow("own name") << "anna" << -1 << QStringList{"This is you|0"} << QString();
        QTest::newRow("known name") << "Bert" << 1002 << QStringList{"Add to friends|1"} << "1002";
        QTest::newRow("found by the search") << "cleo" << -1 << QStringList{"Add to friends|1"} << "1003";
        QTest::newRow("nobody of that name") << "Zed" << -1 << QStringList{"Error getting player id|0"} << QString();
    }

    void playerMenu()
    {
        QFETCH(QString, name);
        QFETCH(qint32, knownPid);
        QFETCH(QStringList, menu);
        QFETCH(QString, asked);
        MainWindowHarness h;
        QVERIFY(h.create());
        h.window->setXmppPort(m_server->port());
        h.scenario.setClientConfig({"localhost", "conference.localhost", Lobby.toUtf8(), "search.localhost"});
        QSignalSpy searchForm(&h.window->xmpp(), &XMPPClient::requestSearchFormResult);
        QVERIFY(h.start() && h.logIn());
        // The menu is asked for with a click on the name in the lobby chat.
        auto* lobbyChat = qobject_cast<ConferenceWidget*>(h.window->lobbyChatArea());
        const auto askMenu = [&] {
            h.window->playerMenu().hide();
            Q_EMIT lobbyChat->chatOutput()->anchorClicked(QUrl(ChatOutputWidget::userLink(name)));
        };
        // No menu before the chat session is up.
        askMenu();
        QVERIFY(h.window->playerMenu().isEmpty());
        QVERIFY(searchForm.wait(10000));
        if (knownPid != -1)
            h.window->connection().setPlayerName(knownPid, name);

        askMenu();
        QTRY_COMPARE_WITH_TIMEOUT(entries(h.window->playerMenu()), menu, 5000);
        QTRY_VERIFY(h.window->playerMenu().isVisible());
        if (asked.isEmpty())
            return;

        // "Add to friends" asks the player for a subscription.
        RawXmppClient player;
        QString error;
        QVERIFY2(player.login(m_server->host(), m_server->port(), m_server->domain(), asked,
                              QStringLiteral("pw-") + asked, &error),
                 qPrintable(error));
        player.send("<presence/>");
        h.window->playerMenu().actions().first()->trigger();
        QVERIFY(player.waitFor(QStringLiteral("<presence[^>]*type=['\"]subscribe['\"]")));
        if (knownPid == -1)
            return;
        // Once asked, the player is on the friends list: no second request.
        const XMPPJid jid = h.window->players().jidForName(name);
        QTRY_VERIFY_WITH_TIMEOUT(h.window->friends()->rosterItemForJid(jid) != nullptr, 5000);
        askMenu();
        QTRY_COMPARE_WITH_TIMEOUT(entries(h.window->playerMenu()), QStringList{"Friend is not playing|0"}, 5000);

        // The friend accepts and sits at a listed table, at one the lobby does
        // not list, and at a path without an id.
        player.send("<presence to='1001@localhost' type='subscribed'/>"
                    "<presence><tables xmlns='http://parlor.games/protocol/tables'><path>101/Regular/700</path>"
                    "<path>101/mtt/9/999</path><path>101/Regular/x1</path></tables></presence>");
        QTRY_VERIFY_WITH_TIMEOUT(h.window->friends()->rosterItemForJid(jid) != nullptr
                                     && h.window->friends()->rosterItemForJid(jid)->bestPresence() != nullptr,
                                 5000);
        askMenu();
        const QString listed = QString::fromUtf8(h.scenario.tables().first().name);
        QCOMPARE(entries(h.window->playerMenu()),
                 (QStringList{"Watch table " + listed + "|1", "Watch special table 999|1"}));
        h.scenario.clearLog();
        h.window->playerMenu().actions().at(1)->trigger();
        QVERIFY(h.waitForRequests(1));
        QCOMPARE(h.scenario.log(), QStringList{"watch 999"});
        // A friend at 40 tables: the menu lists as many as Friend Details.
        QByteArray paths = "<presence><tables xmlns='http://parlor.games/protocol/tables'>";
        for (int i = 0; i < 40; ++i)
            paths += "<path>101/mtt/9/" + QByteArray::number(1000 + i) + "</path>";
        player.send(paths + "</tables></presence>");
        QTRY_VERIFY_WITH_TIMEOUT(h.window->friends()->rosterItemForJid(jid)->bestPresence()->tables().size() > 3, 5000);
        askMenu();
        QCOMPARE(h.window->playerMenu().actions().size(), 32);

        // Someone who asked to see the player is accepted at once, yet no friend to add back.
        RawXmppClient subscriber;
        QVERIFY(subscriber.login(m_server->host(), m_server->port(), m_server->domain(), "1009", "pw-1009", &error));
        subscriber.send("<presence/><presence to='1001@localhost' type='subscribe'/>");
        h.window->connection().setPlayerName(1009, name = QStringLiteral("Ida"));
        QTRY_VERIFY(h.window->friends()->rosterItemForJid(h.window->players().jidForName(name)) != nullptr);
        askMenu();
        QTRY_COMPARE(entries(h.window->playerMenu()), QStringList{"Add to friends|1"});
    }

    void avatarChosenAndStored()
    {
        MainWindowHarness h;
        QVERIFY(startSession(h, {"localhost", "conference.localhost", Lobby.toUtf8(), ""}));
        QTRY_COMPARE_WITH_TIMEOUT(h.window->xmpp().state(), int(XMPPClient::SessionState), 10000);
        PreferencesWindow* page = h.window->preferences();
        QTRY_VERIFY(!page->avatar()->pixmap().isNull());
        const QImage before = page->avatar()->pixmap().toImage();

        // One chooser at a time.
        h.window->view().mainTabs->setCurrentIndex(h.window->view().mainTabs->indexOf(page));
        page->avatarButton()->setFocus(); // reached by Tab, pressed by Space, then clicked
        QTest::keyClick(page->avatarButton(), Qt::Key_Space);
        QTest::mouseClick(page->avatarButton(), Qt::LeftButton);
        QCOMPARE(page->findChildren<AvatarDialog*>().size(), 1);
        QPointer<AvatarDialog> dialog = page->findChild<AvatarDialog*>();
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->model()->rowCount() > 0);
        // The chooser has the keys (not the tile faces behind it), Escape gives them back.
        QCOMPARE(h.window->focusWidget(), static_cast<QWidget*>(dialog->avatarView()));
        QTest::keyClick(dialog->avatarView(), Qt::Key_Escape);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(h.window->focusWidget(), static_cast<QWidget*>(page->avatarButton()));
        QTest::keyClick(page->avatarButton(), Qt::Key_Space);
        dialog = page->findChild<AvatarDialog*>();

        // Cancelled while its picture is on its way (the answers are read later):
        // the success comes while a second chooser's file picker is open.
        QSignalSpy stored(&h.window->players(), &PlayerDb::changePictureOk);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::mouseClick(page->avatarButton(), Qt::LeftButton);
        dialog = page->findChild<AvatarDialog*>();
        QTest::mouseClick(dialog->customButton(), Qt::LeftButton);
        QVERIFY(stored.wait(5000));
        QVERIFY(dialog && dialog->isVisible() && dialog->findChild<QFileDialog*>()->isVisible());
        QTRY_VERIFY(page->avatar()->pixmap().toImage() != before);
    }

    void passwordChangeThroughThePlayerDirectory()
    {
        MainWindowHarness h;
        QVERIFY(h.readyInLobby());
        PreferencesWindow* page = h.window->preferences();
        page->newPasswordField()->setText(QStringLiteral("n3w pass"));
        page->retypePasswordField()->setText(QStringLiteral("n3w pass"));
        QTest::mouseClick(page->changePasswordButton(), Qt::LeftButton);
        QVERIFY(h.waitForRequests(1));
        QCOMPARE(h.scenario.log(), QStringList{QStringLiteral("password n3w pass")});
        // The server's answer comes back to the page through the directory.
        QTRY_COMPARE(h.boxes(), QStringList{QStringLiteral("Change password!|Success!")});
        QVERIFY(page->newPasswordField()->text().isEmpty());
        QVERIFY(page->changePasswordButton()->isEnabled());
    }

    void nameUpdatesOfTheOwnIdOnly()
    {
        MainWindowHarness h;
        QVERIFY(h.openAndLogIn());
        QLabel* name = h.window->view().usernameLabel;
        QCOMPARE(name->text(), QStringLiteral("anna"));
        h.window->connection().setPlayerName(4711, QStringLiteral("bert"));
        QCOMPARE(name->text(), QStringLiteral("anna"));
        h.window->connection().setPlayerName(SessionScenario::playerId, QStringLiteral("Anna B."));
        QCOMPARE(name->text(), QStringLiteral("Anna B."));
    }
};

QTEST_MAIN(TestMainWindowSocial)
#include "tst_mainwindow_social.moc"
