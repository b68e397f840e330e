// Screenshots of the whole client under Xvfb with both servers: the lobby
// with its chat room on the Prosody test server (another player speaks in
// it), then a joined table's page with its button in the top bar. Kept as
// test artifacts: lobby-chat.png, table-page.png.
#include "ChatRoomDriver.h"
#include "ClientTestUtil.h"
#include "CommandLine.h"
#include "ChatOutputWidget.h"
#include "ConferenceWidget.h"
#include "LobbyWindow.h"
#include "FriendsWindow.h"
#include "GameWindow.h"
#include "HandScenario.h"
#include "SeatedWindow.h"
#include "LobbyController.h"
#include "MahjongApplication.h"
#include "MahjongStyle.h"
#include "MainWindowHarness.h"
#include "ScreenshotSupport.h"
#include "ProsodyFixture.h"
#include "RawXmppClient.h"
#include "TableModel.h"
#include "TileGraphics.h"
#include "UTabWidget.h"
#include "WebSchemes.h"

#include <QDir>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>

namespace {

const QString Lobby = QStringLiteral("lobby@conference.localhost");

using screenshots::save;

}

class TestMainWindowLiveScreenshots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        setupSearchPaths({});
        QLoggingCategory::setFilterRules(QStringLiteral("parlor.xmpp.debug=false"));
        QApplication::setStyle(new MahjongStyle);
        static_cast<MahjongApplication*>(QCoreApplication::instance())->loadStyleSheet();
        TileGraphics& tiles = TileGraphics::instance();
        tiles.setTiles(0, 0);
        QVERIFY(QTest::qWaitFor([&] { return !tiles.isRendering(); }, 20000));
    }

    void lobbyChatAndTablePage()
    {
        QSettings().clear();
        ProsodyFixture server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QVERIFY(server.addAccount(QString::number(SessionScenario::playerId), QStringLiteral("secret")));
        QVERIFY(server.addAccount(QStringLiteral("1009"), QStringLiteral("pw-1009")));
        QVERIFY(clienttest::trustCa(server.caCertificatePath()));
        QVERIFY(clienttest::installServiceCa(server.caCertificatePath()));
        RawXmppClient owner;
        QVERIFY(chattest::createRoom(owner, server, Lobby, 10));
        chattest::say(owner, Lobby, QStringLiteral("Welcome to the lobby! Tables 511 to 513 play whole hands."));

        MainWindowHarness h;
        QVERIFY(h.create());
        HandScenario hand(h.server, HandScenario::Kind::Hand, 0);
        h.window->setXmppPort(server.port());
        h.scenario.setClientConfig({"localhost", "conference.localhost", Lobby.toUtf8(), "search.localhost"});
        QVERIFY(h.start());
        MainWindow* window = h.window.get();
        window->resize(1280, 900);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(h.logIn());
        const MainView& ui = window->view();
        ui.mainTabs->setCurrentIndex(ui.mainTabs->indexOf(window->lobbyWindow()));
        auto* chat = qobject_cast<ConferenceWidget*>(window->lobbyChatArea());
        QTRY_VERIFY_WITH_TIMEOUT(chat->isJoined(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(chat->chatOutput()->toPlainText().contains(QStringLiteral("Welcome")), 5000);
        chattest::say(owner, Lobby, QStringLiteral("Say hello, anna."));
        QTRY_VERIFY_WITH_TIMEOUT(chat->chatOutput()->toPlainText().contains(QStringLiteral("Say hello")), 5000);
        QVERIFY(save(window, QStringLiteral("lobby-chat.png")));

        const qint32 table = qint32(HandScenario::tableFor(2));
        QTRY_VERIFY(window->lobby()->tableModel()->hasTableInfo(table));
        window->joinTable(table);
        QTRY_VERIFY(qobject_cast<GameWindow*>(ui.loggedInStack->currentWidget()) != nullptr);
        auto* page = qobject_cast<GameWindow*>(ui.loggedInStack->currentWidget());
        // The user takes the seat with the seated dialog's Play button.
        QTRY_VERIFY(page->findChild<SeatedWindow*>() != nullptr && page->findChild<SeatedWindow*>()->isVisible());
        page->findChild<SeatedWindow*>()->playButton()->click();
        // The hand is dealt and waits for the user's first move.
        QTRY_VERIFY_WITH_TIMEOUT(!hand.waitingFor().isEmpty() && hand.waitingFor() != QLatin1String("ready"), 10000);
        QTest::qWait(1500);
        QVERIFY(save(window, QStringLiteral("table-page.png")));
    }
};

int main(int argc, char** argv)
{
    WebSchemes::registerSchemes();
    MahjongApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zephyrtangle"));
    QCoreApplication::setApplicationName(QStringLiteral("Zephyrtangle-parlor7-test"));
    TestMainWindowLiveScreenshots test;
    return QTest::qExec(&test, argc, argv);
}

#include "mainwindow_live_screenshots.moc"
