// Screenshots of the tournaments tab (the lobby with its list) and of one
// tournament window with its standings, rendered on Xvfb:
// tournaments-lobby.png, tournament-window.png, tournament-standings.png.
#include "TournamentRankingModel.h"
#include "TournamentView.h"
#include "TournamentWindow.h"
#include "TournamentsController.h"
#include "TournamentsLobbyModel.h"
#include "TournamentsLobbyWindow.h"
#include "UTabWidget.h"

#include "ConnectionManager.h"
#include "TestGameServer.h"
#include "TournamentScenario.h"

#include "TournamentTestMain.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

namespace TF = TournamentFrames;

class TournamentShots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabAndWindow();
};

void TournamentShots::tabAndWindow()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QDir::setSearchPaths(QStringLiteral("resources"), {QStringLiteral(PARLOR_SOURCE_DIR "/resources/default")});
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    TestGameServer server;
    QVERIFY(server.listen());
    TournamentScenario scenario(server);
    const quint32 start = quint32(QDateTime::currentSecsSinceEpoch()) + 3 * 3600;
    scenario.tournaments = {TF::tournament(11, "Spring Riichi Cup", 0, 12, 64, 500, start, 7200),
                            TF::tournament(12, "Night Owls Classic", 1, 30, 32, 0, start + 3600, 3600),
                            TF::tournament(13, "Dragon Open", 0, 2, 16, 2000, start + 7200, 5400),
                            TF::tournament(14, "Weekend Marathon", 3, 120, 128, 10000, start - 7200, 86400),
                            TF::tournament(15, "Beginners' Welcome", 0, 5, 40, 0, start + 600, 1800)};
    scenario.rankingRows[11] = {{7, "ann", 20, 9}, {8, "bo", 11, 4}, {9, "cy", 11, 4}, {10, "dee", 3, 1}};

    ConnectionManager cm(false);
    QSignalSpy ready(&cm, &ConnectionManager::versionCheckComplete);
    cm.connectToHost(QStringLiteral("127.0.0.1"), server.port());
    QVERIFY(ready.wait(5000));
    TournamentsController controller(&cm, nullptr, nullptr);
    std::unique_ptr<TournamentsLobbyWindow> lobby(controller.createLobbyWindow());
    cm.tournaments_lobby_subscribe();
    QTRY_COMPARE_WITH_TIMEOUT(controller.lobbyModel()->rowCount(), 5, 5000);
    server.send(TF::registeredList({13}));
    QTRY_VERIFY_WITH_TIMEOUT(controller.lobbyModel()->tournament(13).ownRegistered, 5000);

    lobby->resize(900, 520);
    lobby->show();
    QVERIFY(QTest::qWaitForWindowExposed(lobby.get()));
    lobby->treeView()->setCurrentIndex(lobby->treeView()->model()->index(1, 1));
    QTest::qWait(100);
    QVERIFY(lobby->grab().save(QStringLiteral("tournaments-lobby.png")));
    // As narrow as the main window's tab at 1024x768: the columns share the
    // width, none runs past it.
    lobby->resize(650, 520);
    QTest::qWait(50);
    QVERIFY(!lobby->treeView()->horizontalScrollBar()->isVisible());

    lobby->displayTournament(11);
    TournamentWindow* window = lobby->tournamentWindow(11);
    QVERIFY(window);
    QTRY_COMPARE_WITH_TIMEOUT(window->view()->rankingList->model()->rowCount(), 4, 5000);
    QTest::qWait(100);
    QVERIFY(lobby->grab().save(QStringLiteral("tournament-window.png")));
    window->view()->tournamentTabs->setCurrentIndex(1);
    QTest::qWait(100);
    QVERIFY(lobby->grab().save(QStringLiteral("tournament-standings.png")));
}

PARLOR_WEBVIEW_TEST_MAIN(TournamentShots)
#include "shot_tournaments.moc"
