// Tournaments against the test game server: the lobby feed, ranking requests
// per event-loop turn, register / unregister / leave with every answer, the
// question box that outlives its window, seating with the tournament's
// tables, removal, the paused countdown on a controlled server clock, server
// text shown as written, and the information pages the server names.
#include "ConferenceArea.h"
#include "LobbyRoles.h"
#include "SocialServices.h"
#include "ModelessMsgBox.h"
#include "ServerTime.h"
#include "TableModel.h"
#include "TournamentRankingModel.h"
#include "TournamentView.h"
#include "TournamentWindow.h"
#include "TournamentsController.h"
#include "TournamentsLobbyModel.h"
#include "TournamentsLobbyWindow.h"
#include "UTabWidget.h"
#include "UTreeView.h"

#include "ConnectionManager.h"
#include "TableInfo.h"
#include "TestGameServer.h"
#include "TournamentScenario.h"

#include "TournamentTestData.h"
#include "TournamentTestMain.h"

#include "HttpTestServer.h"
#include "LogCapture.h"
#include "MessageBoxWatcher.h"
#include "WebTestSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTabBar>
#include <QWebEngineView>
#include <QTranslator>
#include <QToolButton>
#include <QTreeView>

#include "Utils.h"

namespace TF = TournamentFrames;

namespace {

/// A chat room that records what the window asks of it. An entry is only
/// asked for: the room answers when the test says so (confirm), as a real
/// room answers later or refuses.
class FakeConference : public ConferenceArea
{
public:
    using ConferenceArea::ConferenceArea;
    void joinTableRoom(qint32) override {}
    void joinTournamentRoom(int id) override { log << QStringLiteral("join %1").arg(id); }
    void setOwnMember(bool registered) override { member = registered; }
    void confirm() { joined = true; }
    void leaveRoom() override
    {
        log << QStringLiteral("leave");
        joined = false;
    }
    void appendInfo(const QString&) override {}
    bool isJoined() const override { return joined; }
    void setHiddenNotifications(int mask) override { log << QStringLiteral("mask %1").arg(mask); }

    QStringList log;
    bool joined = false;
    bool member = false;
};

class FakeSocial : public SocialServices
{
public:
    QPixmap playerPicture(qint32) override { return {}; }
    ConferenceArea* createConferenceArea(QWidget* parent, int hiddenMask) override
    {
        last = new FakeConference(parent);
        last->setHiddenNotifications(hiddenMask);
        return last;
    }
    FakeConference* last = nullptr;
};

/// Puts "~" in front of every text of the tournament contexts.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (QByteArray(context).startsWith("Tournament"))
            return QLatin1Char('~') + QString::fromUtf8(source);
        return QString();
    }
    bool isEmpty() const override { return false; }
};

constexpr quint8 EnvelopeClass = 104;

/// An information page that says much in its console, forges the program's
/// log lines, asks for a box and links to an application of the desktop.
const QByteArray rulesPage =
    "<title>Rules</title><a id=\"app\" href=\"foo-app://open/rules\" style=\"padding:20px\">Open the rules</a>\n"
    "<script>console.error('x\\n09:00:00.000 [CRIT ] The server closed the connection');\n"
    "console.warn('w'.repeat(3 << 20)); for (var i = 0; i < 60; ++i) console.error('error ' + i);\n"
    "alert('Rules'); document.title = 'Rules shown';</script>";
constexpr quint32 startSecs = 1893456000; // 2030-01-01

QList<ModelessMsgBox::MsgBox*> openBoxes()
{
    QList<ModelessMsgBox::MsgBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<ModelessMsgBox::MsgBox*>(w);
        if (box && box->isVisible())
            boxes << box;
    }
    return boxes;
}

QString textOf(ModelessMsgBox::MsgBox* box)
{
    return box->findChild<QLabel*>(QStringLiteral("msgBoxText"))->text();
}

QString titleOf(ModelessMsgBox::MsgBox* box)
{
    return box->findChild<QWidget*>(QStringLiteral("msgBoxContent"))->windowTitle();
}

void closeBoxes()
{
    for (auto* box : openBoxes())
        box->onFinished(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TournamentFlowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void lobbyFeed();
    void burstsKeepTheListInOrder_data();
    void burstsKeepTheListInOrder();
    void rankingRequestsCoalescePerTurn();
    void standingsArriveWhenTheWindowOpens();
    void requestAnswers_data();
    void requestAnswers();
    void questionOutlivesItsWindow();
    void oneRequestPerChoice_data();
    void oneRequestPerChoice();
    void seatingShowsTheTables();
    void removalClosesTheWindow();
    void doubleClickSelectsTheOpenTab();
    void pausedCountdown_data();
    void pausedCountdown();
    void serverTextShownAsWritten();
    void buttonsFollowTheStatus_data();
    void buttonsFollowTheStatus();
    void chatRoomFollowsTheStatus();
    void languageChangeReachesEveryText();
    void informationPageOnlyWhenThereIsOne();
    void playersCellShowsWhole();

public Q_SLOTS:
    /// The desktop's opener of "foo-app:" addresses.
    void openedByDesktop(const QUrl& url) { desktopOpened << url; }

private:
    TournamentWindow* openWindow(qint32 id);
    /// Waits until every frame the client sent so far has reached the server.
    void sync();

    std::unique_ptr<TestGameServer> server;
    std::unique_ptr<TournamentScenario> scenario;
    std::unique_ptr<ConnectionManager> cm;
    std::unique_ptr<TableModel> tables;
    std::unique_ptr<TournamentsController> controller;
    std::unique_ptr<TournamentsLobbyWindow> lobby;
    QList<QUrl> desktopOpened;
};

void TournamentFlowTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QDir::setSearchPaths(QStringLiteral("resources"), {QStringLiteral(PARLOR_SOURCE_DIR "/resources/default")});
}

void TournamentFlowTest::init()
{
    server = std::make_unique<TestGameServer>();
    QVERIFY(server->listen());
    scenario = std::make_unique<TournamentScenario>(*server);
    scenario->tournaments = {TF::tournament(11, "Spring Cup", 0, 12, 64, 500, startSecs, 7200),
                             TF::tournament(12, "Night Owls", 1, 30, 32, 0, startSecs + 3600, 3600),
                             TF::tournament(13, "Dragon Open", 0, 2, 16, 2000, startSecs + 7200, 5400)};
    cm = std::make_unique<ConnectionManager>(false);
    QSignalSpy ready(cm.get(), &ConnectionManager::versionCheckComplete);
    cm->connectToHost(QStringLiteral("127.0.0.1"), server->port());
    QVERIFY(ready.wait(5000));

    tables = std::make_unique<TableModel>(cm.get());
    connect(cm.get(), static_cast<void (ConnectionManager::*)(TableInfo)>(&ConnectionManager::tableInfoUpdate),
            tables.get(), &TableModel::addOrUpdateTable);
    connect(cm.get(), &ConnectionManager::tableRemoved, tables.get(), &TableModel::onTableRemoved);
    controller = std::make_unique<TournamentsController>(cm.get(), nullptr, nullptr);
    controller->setTableModel(tables.get());
    lobby.reset(controller->createLobbyWindow());

    cm->tournaments_lobby_subscribe();
    QTRY_COMPARE_WITH_TIMEOUT(controller->lobbyModel()->rowCount(), 3, 5000);
}

void TournamentFlowTest::cleanup()
{
    closeBoxes();
    lobby.reset();
    controller.reset();
    tables.reset();
    cm.reset();
    scenario.reset();
    server.reset();
}

void TournamentFlowTest::sync()
{
    // A ranking request for an id no test uses marks the end of what was sent.
    QCoreApplication::processEvents(); // after what the controller sends in the next turn
    static quint32 marker = 90000;
    const quint32 id = ++marker;
    cm->get_tournament_ranking_list(int(id));
    QTRY_VERIFY_WITH_TIMEOUT(scenario->rankingRequests[id] == 1, 5000);
}

TournamentWindow* TournamentFlowTest::openWindow(qint32 id)
{
    lobby->displayTournament(id);
    return lobby->tournamentWindow(id);
}

void TournamentFlowTest::lobbyFeed()
{
    TournamentsLobbyModel* model = controller->lobbyModel();
    QCOMPARE(model->tournament(12).name, QStringLiteral("Night Owls"));
    server->send(TF::update(11, {TF::num("REGISTERED", 13), TF::num("STATUS", 1)}));
    server->send(TF::removed(12));
    server->send(TF::snapshot(TF::tournament(14, "Late Show", 0, 0, 8, 100, startSecs, 60)));
    server->send(TF::registeredList({13, 14}));
    QSignalSpy seated(cm.get(), &ConnectionManager::tournamentSeated);
    QSignalSpy roundEnd(cm.get(), &ConnectionManager::endOfTournamentRound);
    server->send(TF::seated(13, 701, 2));
    server->send(TF::roundScores(13, 701, true, {{7, 25000, 0}, {8, quint32(-5000), 0}}));
    QTRY_VERIFY_WITH_TIMEOUT(model->hasTournament(14) && model->isRegistered(14), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(roundEnd.count(), 1, 5000);
    QCOMPARE(seated.count(), 1);
    QCOMPARE(seated.first().at(1).toInt(), 701);
    QCOMPARE(roundEnd.first().at(0).toInt(), 13);
    QCOMPARE(roundEnd.first().at(2).toBool(), true);
    // Events of the game side leave the lobby as it was.
    QCOMPARE(model->rowCount(), 3);
    QVERIFY(model->hasTournament(11) && model->hasTournament(13) && model->hasTournament(14));
    QVERIFY(!model->hasTournament(12));
    QCOMPARE(model->tournament(11).registered, 13);
    QCOMPARE(model->tournament(11).status, 1);
    // The list came after the records: both held rows are marked.
    QVERIFY(model->tournament(13).ownRegistered);
    QVERIFY(model->tournament(14).ownRegistered);
    QVERIFY(!model->tournament(11).ownRegistered);
    // Registered first in the lobby view.
    const QAbstractItemModel* shown = lobby->treeView()->model();
    QSet<int> top{shown->index(0, 0).data(LobbyRoles::IdRole).toInt(), shown->index(1, 0).data(LobbyRoles::IdRole).toInt()};
    QCOMPARE(top, (QSet<int>{13, 14}));
}

void TournamentFlowTest::burstsKeepTheListInOrder_data()
{
    QTest::addColumn<int>("column");
    QTest::newRow("renames") << int(TournamentsLobbyModel::NameColumn);
    QTest::newRow("player counts") << int(TournamentsLobbyModel::PlayersColumn);
}

void TournamentFlowTest::burstsKeepTheListInOrder()
{
    QFETCH(int, column);
    QList<TF::Tournament> cups;
    QByteArray burst;
    for (quint32 i = 0; i < 40; ++i) {
        cups << TF::tournament(101 + i, "Sunday Cup " + QByteArray::number(i + 1), 0, qint32(i % 7), 64, 0, startSecs, 60);
        const quint32 id = 101 + i * 17 % 40;
        burst += (column == TournamentsLobbyModel::NameColumn
                      ? TF::update(id, {TF::text("NAME", "Sunday Cup " + QByteArray::number(i * 7 % 40 + 1) + " of 64")})
                      : TF::update(id, {TF::num("REGISTERED", qint32(i * 13 % 40))})).toBytes();
    }
    server->send(TF::snapshotList(cups));
    server->send(TF::registeredList({13}));
    lobby->show();
    QVERIFY(QTest::qWaitForWindowExposed(lobby.get()));
    QHeaderView* header = lobby->treeView()->header();
    const QAbstractItemModel* shown = lobby->treeView()->model();
    QTRY_COMPARE_WITH_TIMEOUT(shown->rowCount(), 43, 5000);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
    QCOMPARE(header->sortIndicatorSection(), column);
    server->sendRaw(burst);
    TournamentsLobbyModel* model = controller->lobbyModel();
    QTRY_VERIFY_WITH_TIMEOUT(model->tournament(124).registered == 27 || model->tournament(124).name.endsWith("of 64"), 5000);
    QCoreApplication::processEvents(); // the turn's changes announced
    // Down the list as shown: the registered tournament, then every row in the header's order.
    const auto record = [&](int row) { return model->tournament(shown->index(row, 0).data(LobbyRoles::IdRole).toInt()); };
    QCOMPARE(record(0).tournamentId, 13);
    const int direction = header->sortIndicatorOrder() == Qt::AscendingOrder ? 1 : -1;
    for (int row = 2; row < shown->rowCount(); ++row) {
        const TournamentInfo above = record(row - 1), below = record(row);
        const int order = column == TournamentsLobbyModel::NameColumn
                              ? QString::localeAwareCompare(above.name, below.name)
                              : (above.registered > below.registered) - (above.registered < below.registered);
        QVERIFY2(order * direction <= 0, qPrintable(above.name + " above " + below.name));
    }
}

void TournamentFlowTest::rankingRequestsCoalescePerTurn()
{
    QVERIFY(openWindow(11));
    sync();
    scenario->rankingRequests.clear();
    for (int i = 0; i < 50; ++i) {
        controller->getTournamentHighscores(11);
        controller->getTournamentHighscores(13);
    }
    QTRY_VERIFY(scenario->rankingRequests[11] == 1 && scenario->rankingRequests[13] == 1); // a second after the last
    sync();
    QCOMPARE(scenario->rankingRequests[11], 1);
    QCOMPARE(scenario->rankingRequests[13], 1);

    // A list read over several turns: only the standings on show (those of the open window's
    // tournament) are asked for, once it is all in.
    QList<TF::Tournament> many{scenario->tournaments[0]};
    for (quint32 id = 1000; id < 21000; ++id)
        many << TF::tournament(id, "T", 0, 1, 64, 0, startSecs, 60);
    QList<int> asked; // the rows held at each request
    server->onRequest(EnvelopeClass, [&](const ReceivedFrame&) { asked << controller->lobbyModel()->rowCount(); });
    server->send(TF::snapshotList(many));
    QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 1, 60000);
    QCOMPARE(asked.first(), 20003);
    // Asked again while the answer is awaited: the next request waits for it, then for a second after the last.
    controller->getTournamentHighscores(12);
    QTRY_COMPARE(asked.size(), 2);
    controller->getTournamentHighscores(12);
    QVERIFY(!QTest::qWaitFor([&] { return asked.size() > 2; }, 1500));
    server->send(TF::rankings(12, {}));
    QTRY_COMPARE(asked.size(), 3);
    server->send(TF::rankings(12, {}));
    controller->getTournamentHighscores(12);
    QVERIFY(!QTest::qWaitFor([&] { return asked.size() > 3; }, 300));
    QTRY_COMPARE(asked.size(), 4);
}

void TournamentFlowTest::standingsArriveWhenTheWindowOpens()
{
    scenario->rankingRows[11] = {{7, "ann", 20, 9}, {8, "bo", 11, 4}, {9, "cy", 11, 4}};
    TournamentWindow* window = openWindow(11);
    QVERIFY(window);
    QTreeView* list = window->view()->rankingList;
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 3, 5000);
    QCOMPARE(list->model()->index(2, 1).data().toString(), QStringLiteral("cy"));
    QCOMPARE(list->model()->index(2, 0).data().toInt(), 2);
    QCOMPARE(list->model()->index(2, 2).data().toDouble(), 5.5);
    // A wide window widens the names; the points stay beside them.
    window->view()->tournamentTabs->setCurrentIndex(window->view()->tournamentTabs->indexOf(window->view()->standingsTab));
    window->window()->resize(1920, 1080);
    window->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(window->window()));
    QCOMPARE(list->columnWidth(TournamentRankingModel::PointsColumn), 60);
    QVERIFY(list->columnWidth(TournamentRankingModel::UserColumn) > 1500);
}

void TournamentFlowTest::requestAnswers_data()
{
    QTest::addColumn<QString>("action");  // register, unregister, leave
    QTest::addColumn<int>("status");      // status byte the server answers
    QTest::addColumn<bool>("registered"); // mark afterwards
    QTest::addColumn<QString>("boxTitle");
    QTest::addColumn<QString>("boxText");

    QTest::newRow("register ok") << "register" << 0 << true << "" << "";
    QTest::newRow("register failed") << "register" << 1 << false << "Join tournament" << "Join tournament failed!\nFailed";
    QTest::newRow("register full") << "register" << 4 << false << "Join tournament"
                                   << "Join tournament failed!\nTournament is full";
    QTest::newRow("register already") << "register" << 6 << true << "" << "";
    QTest::newRow("register running") << "register" << 7 << false << "Join tournament"
                                      << "Join tournament failed!\nTournament is running";
    QTest::newRow("register no funds")
        << "register" << 3 << false << "Join tournament"
        << "You don't have enough money on your account to join the tournament.\nDo you want to make a deposit now?";
    QTest::newRow("unregister ok") << "unregister" << 0 << false << "" << "";
    QTest::newRow("unregister denied") << "unregister" << 2 << true << "Unregister from tournament"
                                       << "Unregister from tournament failed!\nDenied";
    QTest::newRow("unregister access") << "unregister" << 5 << true << "Unregister from tournament"
                                       << "Unregister from tournament failed!\nAccess Denied";
    QTest::newRow("leave ok") << "leave" << 0 << false << "" << "";
    QTest::newRow("leave not registered") << "leave" << 1 << true << "Leave tournament"
                                          << "Leave tournament failed!\nNot registered";
    QTest::newRow("leave finished") << "leave" << 2 << true << "Leave tournament"
                                    << "Leave tournament failed!\nTournament finished";
    QTest::newRow("leave invalid state") << "leave" << 4 << true << "Leave tournament"
                                         << "Leave tournament failed!\nInvalid state";
}

void TournamentFlowTest::requestAnswers()
{
    QFETCH(QString, action);
    QFETCH(int, status);
    QFETCH(bool, registered);
    QFETCH(QString, boxTitle);
    QFETCH(QString, boxText);
    // Tournament 11 is open, 12 closed; unregister and leave start registered.
    const quint32 id = action == QLatin1String("leave") ? 12 : 11;
    if (action != QLatin1String("register")) {
        server->send(TF::registeredList({id}));
        QTRY_VERIFY_WITH_TIMEOUT(controller->lobbyModel()->tournament(id).ownRegistered, 5000);
    }
    scenario->registerStatus[id] = quint8(status);
    scenario->unregisterStatus[id] = quint8(status);
    scenario->leaveStatus[id] = quint8(status);

    TournamentWindow* window = openWindow(id);
    QVERIFY(window);
    TournamentView* ui = window->view();
    QSignalSpy answered(scenario.get(), action == QLatin1String("register")     ? &TournamentScenario::registerAnswered
                                        : action == QLatin1String("unregister") ? &TournamentScenario::unregisterAnswered
                                                                                : &TournamentScenario::leaveAnswered);
    if (action == QLatin1String("register")) {
        QVERIFY(ui->joinButton->isVisibleTo(window) && ui->joinButton->isEnabled());
        ui->joinButton->click();
        QVERIFY(!ui->joinButton->isEnabled());
    } else {
        QVERIFY(ui->leaveButton->isVisibleTo(window) && ui->leaveButton->isEnabled());
        QCOMPARE(ui->leaveButton->text(), action == QLatin1String("leave") ? QStringLiteral("Leave Tournament")
                                                                          : QStringLiteral("Unregister"));
        ui->leaveButton->click();
        QVERIFY(!ui->leaveButton->isEnabled());
        const auto boxes = openBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(titleOf(boxes[0]), action == QLatin1String("leave") ? QStringLiteral("Leave tournament?")
                                                                      : QStringLiteral("Unregister from tournament?"));
        boxes[0]->onFinished(QDialogButtonBox::Yes);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QVERIFY(answered.wait(5000));

    // What went on the wire, read with the server's own decoder.
    if (action == QLatin1String("register")) {
        const auto frame = server->received(205).last();
        TestFrameReader r = frame.reader();
        QCOMPARE(r.u32(), id);
        QCOMPARE(r.u32(), 0u); // no parameters
        QVERIFY(r.atEnd());
    } else if (action == QLatin1String("unregister")) {
        const auto frame = server->received(207).last();
        QCOMPARE(frame.body, TestFrame(207).u32(id).body());
    } else {
        // Ranking requests travel in the same envelope; the leave is inner class 59.
        int leaves = 0;
        for (const ReceivedFrame& frame : server->received(EnvelopeClass)) {
            TestFrameReader r = frame.reader();
            const quint32 tournament = r.u32();
            r.u32();
            TestFrameReader inner = r.nested();
            if (inner.classId() == 59) {
                ++leaves;
                QCOMPARE(tournament, id);
                QVERIFY(inner.atEnd());
            }
        }
        QCOMPARE(leaves, 1);
    }

    QTRY_COMPARE_WITH_TIMEOUT(window->tournamentInfo().ownRegistered, registered, 5000);
    sync();
    QCOMPARE(controller->lobbyModel()->tournament(id).ownRegistered, registered);
    const auto boxes = openBoxes();
    if (boxTitle.isEmpty()) {
        QCOMPARE(boxes.size(), 0);
    } else {
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(titleOf(boxes[0]), boxTitle);
        QCOMPARE(textOf(boxes[0]), boxText);
    }
    // The buttons follow the answer: registered for an open tournament shows
    // only Unregister, else only Register; a closed one only Leave when registered.
    if (id == 11) {
        QCOMPARE(ui->joinButton->isVisibleTo(window), !registered);
        QCOMPARE(ui->leaveButton->isVisibleTo(window), registered);
    } else {
        QVERIFY(!ui->joinButton->isVisibleTo(window));
        QCOMPARE(ui->leaveButton->isVisibleTo(window), registered);
    }

    if (status == 3 && action == QLatin1String("register")) {
        // Yes to the deposit question asks for the account page.
        QSignalSpy account(window, &TournamentWindow::accountNeeded);
        boxes[0]->onFinished(QDialogButtonBox::Yes);
        QCOMPARE(account.count(), 1);
        QTRY_COMPARE(openBoxes().size(), 1);
        QCOMPARE(titleOf(openBoxes()[0]), QStringLiteral("Deposit"));
    }
}

void TournamentFlowTest::questionOutlivesItsWindow()
{
    server->send(TF::registeredList({11}));
    QTRY_VERIFY_WITH_TIMEOUT(controller->lobbyModel()->tournament(11).ownRegistered, 5000);
    TournamentWindow* window = openWindow(11);
    QPointer<TournamentWindow> watched(window);
    window->view()->leaveButton->click();
    QCOMPARE(openBoxes().size(), 1);
    ModelessMsgBox::MsgBox* box = openBoxes()[0];
    window->view()->closeButton->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(watched.isNull());
    QCOMPARE(lobby->tabs()->count(), 1);
    box->onFinished(QDialogButtonBox::Yes);
    sync();
    QCOMPARE(scenario->unregisterRequests, 0);
}

void TournamentFlowTest::oneRequestPerChoice_data()
{
    // Tournament 11 is open, 12 closed; the record changes while the request or the question is out.
    QTest::addColumn<quint32>("id");
    QTest::addColumn<bool>("registering"); // Register; else registered: Unregister or Leave
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QString>("asked");    // the question up after the change, answered Yes for a count
    QTest::addColumn<QList<int>>("sent");  // register, unregister, leave requests after a second click
    QTest::addColumn<QString>("meant");    // at once after the change, for the first box's Yes: "click", "Return"

    QTest::newRow("register, the count changes") << 11u << true << QByteArray("REGISTERED") << 13 << "" << QList<int>{1, 0, 0} << QString();
    QTest::newRow("unregister asked, the count changes")
        << 11u << false << QByteArray("REGISTERED") << 13 << "Unregister from tournament?" << QList<int>{0, 1, 0} << QString();
    QTest::newRow("unregister asked, registration closes: No")
        << 11u << false << QByteArray("STATUS") << 1 << "Leave tournament?" << QList<int>{0, 0, 0} << QString();
    for (const char* meant : {"click", "Return"}) // then Return's own answer, the safe one
        QTest::addRow("registration closes under a %s", meant)
            << 11u << false << QByteArray("STATUS") << 1 << "Leave tournament?" << QList<int>{0, 0, 0} << QString(meant);
    QTest::newRow("leave asked, the tournament plays") << 12u << false << QByteArray("STATUS") << 3 << "" << QList<int>{0, 0, 0} << QString();
    QTest::newRow("register, the tab reopened") << 11u << true << QByteArray("reopen") << 0 << "" << QList<int>{1, 0, 0} << QString();
    QTest::newRow("register unanswered") << 11u << true << QByteArray("quiet") << 0 << "" << QList<int>{2, 0, 0} << QString();
}

void TournamentFlowTest::oneRequestPerChoice()
{
    QFETCH(quint32, id);
    QFETCH(bool, registering);
    QFETCH(QByteArray, key);
    QFETCH(qint32, value);
    QFETCH(QString, asked);
    QFETCH(QList<int>, sent);
    QFETCH(QString, meant);
    server->onRequest(205, [](const ReceivedFrame&) {}); // the registration's answer is late
    controller->setAnswerTimeLimit(key == "quiet" ? 300 : 60000);
    if (!registering) {
        server->send(TF::registeredList({id}));
        QTRY_VERIFY_WITH_TIMEOUT(controller->lobbyModel()->tournament(id).ownRegistered, 5000);
    }
    TournamentWindow* window = openWindow(id);
    lobby->show();
    QVERIFY(QTest::qWaitForWindowExposed(lobby.get()));
    QPushButton* button = registering ? window->view()->joinButton : window->view()->leaveButton;
    QTest::mouseClick(button, Qt::LeftButton);
    const auto yes = [](ModelessMsgBox::MsgBox* box) { return box->buttonBox()->button(QDialogButtonBox::Yes); };
    const auto onScreen = [](const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
    const QRect firstYes = registering ? QRect() : onScreen(yes(openBoxes().value(0)));
    if (key == "reopen") {
        QTest::mouseClick(window->view()->closeButton, Qt::LeftButton);
        window = openWindow(id);
        button = window->view()->joinButton;
    } else if (key == "quiet") { // given up with a word: the player may ask again
        QTRY_COMPARE_WITH_TIMEOUT(openBoxes().size(), 1, 5000);
        QCOMPARE(textOf(openBoxes()[0]), QStringLiteral("The server did not answer the registration; try again"));
        closeBoxes();
        controller->setAnswerTimeLimit(60000);
    } else {
        server->send(TF::update(id, {TF::num(key, value)}));
        const TournamentInfo& info = window->tournamentInfo();
        QTRY_VERIFY_WITH_TIMEOUT((key == "STATUS" ? info.status : info.registered) == value, 5000);
    }
    QCOMPARE(button->isEnabled(), key == "quiet");
    QTest::mouseClick(button, Qt::LeftButton);
    // One question, in the words of what a Yes does now.
    const auto boxes = openBoxes();
    QCOMPARE(boxes.size(), asked.isEmpty() ? 0 : 1);
    if (!asked.isEmpty()) {
        QCOMPARE(titleOf(boxes[0]), asked);
        // The new Yes is not where the first was, nor a slip of the hand from it.
        QVERIFY(meant.isEmpty() || !onScreen(yes(boxes[0])).adjusted(-8, -8, 8, 8).intersects(firstYes));
        if (meant == QLatin1String("click")) // one that lands on it all the same
            QTest::mouseClick(yes(boxes[0]), Qt::LeftButton);
        else if (!meant.isEmpty())
            QTest::keyClick(boxes[0]->focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(openBoxes().size() == 1 && yes(boxes[0])->isEnabled());
        if (meant == QLatin1String("Return"))
            QTest::keyClick(boxes[0]->focusWidget(), Qt::Key_Return);
        else
            QTest::mouseClick(key == "REGISTERED" ? yes(boxes[0]) : boxes[0]->buttonBox()->button(QDialogButtonBox::No),
                              Qt::LeftButton);
    }
    sync();
    QCOMPARE((QList<int>{int(server->received(205).size()), scenario->unregisterRequests, scenario->leaveRequests}), sent);
    QCOMPARE(openBoxes().size(), 0);
}

void TournamentFlowTest::seatingShowsTheTables()
{
    scenario->tables[11] = {{701, "Table <b>A</b>"}, {702, "Table B"}};
    TournamentWindow* window = openWindow(11);
    UTreeView* list = window->view()->tableList;
    QCOMPARE(list->model()->rowCount(), 0);
    server->send(TF::update(11, {TF::num("STATUS", 2)}));
    server->send(TF::seated(11, 701, 0));
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 2, 5000);
    QCOMPARE(tables->subscriptions().value(QStringLiteral("101/mtt/11")), 1);
    // A table's name in its tooltip shows as written, not as markup.
    lobby->show();
    for (int row = 0; row < 2; ++row) {
        const QModelIndex cell = list->model()->index(row, 0);
        const QPoint at = list->visualRect(cell).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &help);
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        QCOMPARE(shown.toPlainText(), cell.data().toString());
    }
    // A double-click watches a table; Return watches the chosen one, and none once it has gone.
    lobby->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(lobby.get()));
    QTabBar* pages = window->view()->tournamentTabs->tabBar();
    QTest::mouseClick(pages, Qt::LeftButton, {}, pages->tabRect(window->view()->tournamentTabs->indexOf(window->view()->tablesTab)).center());
    QSignalSpy watch(controller.get(), &TournamentsController::watchTable);
    const auto idAt = [list](int row) { return list->model()->index(row, 0).data(LobbyRoles::IdRole).toInt(); };
    const auto at = [list](int row) { return list->visualRect(list->model()->index(row, 0)).center(); };
    const int first = idAt(0), second = idAt(1);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at(1));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at(1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(0));
    QTest::keyClick(list, Qt::Key_Return);
    server->send(TestFrame(147).u32(quint32(first))); // the chosen table ends
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 1, 5000);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(watch.size(), 2);
    QCOMPARE((QList<int>{watch[0].at(0).toInt(), watch[1].at(0).toInt()}), (QList<int>{second, first}));
    // Finished: the tables go, and so does the subscription.
    server->send(TF::update(11, {TF::num("STATUS", 5)}));
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 0, 5000);
    QVERIFY(!tables->isPathSubscribed(QStringLiteral("101/mtt/11")));
}

void TournamentFlowTest::removalClosesTheWindow()
{
    server->send(TF::registeredList({11}));
    QTRY_VERIFY_WITH_TIMEOUT(controller->lobbyModel()->tournament(11).ownRegistered, 5000);
    lobby->show();
    TournamentWindow* eleven = openWindow(11);
    QVERIFY(eleven);
    QVERIFY(openWindow(13));
    lobby->tabs()->setCurrentIndex(1);
    QTest::mouseClick(eleven->view()->leaveButton, Qt::LeftButton); // its question goes with it
    QCOMPARE(openBoxes().size(), 1);
    server->send(TF::removed(11));
    QTRY_VERIFY_WITH_TIMEOUT(!lobby->tournamentWindow(11), 5000);
    QCOMPARE(openBoxes().size(), 1);
    QCOMPARE(titleOf(openBoxes()[0]), QStringLiteral("Tournament removed"));
    closeBoxes();
    // A window not on screen closes without a word.
    lobby->hide();
    server->send(TF::removed(13));
    QTRY_VERIFY_WITH_TIMEOUT(!lobby->tournamentWindow(13), 5000);
    QCOMPARE(openBoxes().size(), 0);
    QCOMPARE(lobby->tabs()->count(), 1);
}

void TournamentFlowTest::doubleClickSelectsTheOpenTab()
{
    QTreeView* view = lobby->treeView();
    const QModelIndex row = view->model()->index(0, 1);
    const int id = row.data(LobbyRoles::IdRole).toInt();
    lobby->on_tournamentsLobbyTreeView_doubleClicked(row);
    lobby->tabs()->setCurrentIndex(0);
    lobby->on_tournamentsLobbyTreeView_doubleClicked(row);
    QCOMPARE(lobby->tabs()->count(), 2);
    QCOMPARE(lobby->tabs()->currentIndex(), 1);
    QCOMPARE(lobby->tournamentWindow(id)->tournamentId(), id);
    // "Show info" with a current row that is not selected does nothing; with
    // the row selected it opens that tournament.
    lobby->displayTournament(4242);
    lobby->tabs()->setCurrentIndex(0);
    lobby->show();
    const QModelIndex other = view->model()->index(1, 1);
    const int otherId = other.data(LobbyRoles::IdRole).toInt();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(other).center());
    QCOMPARE(view->currentIndex().row(), 1);
    view->selectionModel()->clearSelection();
    auto* showInfo = lobby->findChild<QPushButton*>(QStringLiteral("showInfoButton"));
    QVERIFY(showInfo);
    QTest::mouseClick(showInfo, Qt::LeftButton);
    QCOMPARE(lobby->tabs()->count(), 2);
    QVERIFY(!lobby->tournamentWindow(otherId));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(other).center());
    QTest::mouseClick(showInfo, Qt::LeftButton);
    QCOMPARE(lobby->tabs()->count(), 3);
    QCOMPARE(lobby->tournamentWindow(otherId), lobby->tabs()->widget(lobby->tabs()->currentIndex()));
    // A tournament withdrawn under the choice: no other one is chosen in its place.
    lobby->tabs()->setCurrentIndex(0);
    const QModelIndex last = view->model()->index(2, 1);
    const int lastId = last.data(LobbyRoles::IdRole).toInt();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(last).center());
    server->send(TF::removed(quint32(lastId)));
    QTRY_VERIFY_WITH_TIMEOUT(!controller->lobbyModel()->hasTournament(lastId), 5000);
    QVERIFY(!view->selectionModel()->hasSelection());
    QTest::mouseClick(showInfo, Qt::LeftButton);
    QCOMPARE(lobby->tabs()->currentIndex(), 0);
    lobby->hide();
}

void TournamentFlowTest::pausedCountdown_data()
{
    QTest::addColumn<int>("currentRound");
    QTest::addColumn<QList<int>>("roundStarts"); // seconds after the server's "now"
    QTest::addColumn<QString>("status");         // expected status label; empty: unchanged

    QTest::newRow("round 2 of 3 in two minutes") << 0 << QList<int>{-600, 125, 900} << "Round 2 of 3 starts at %1 (in 2 min(s))";
    QTest::newRow("start passed") << 0 << QList<int>{-600, -5, 900} << "Round 2 of 3 starts at %1 (now)";
    QTest::newRow("last round index") << 2 << QList<int>{-600, -300, -5} << "";
    QTest::newRow("no round yet") << -2 << QList<int>{-600, 125, 900} << "";
    QTest::newRow("list too short") << 1 << QList<int>{-600} << "";
}

void TournamentFlowTest::pausedCountdown()
{
    QFETCH(int, currentRound);
    QFETCH(QList<int>, roundStarts);
    QFETCH(QString, status);
    // The server's clock is far from the local one; the window must read the server's.
    const QDateTime serverNow = QDateTime(QDate(2040, 6, 1), QTime(12, 0), Qt::UTC);
    ServerTime::instance()->setRequestSender([] { return 77; });
    ServerTime::instance()->onTimeFromServer(77, serverNow);
    ServerTime::instance()->setRequestSender({});

    TournamentInfo info = TournamentTestData::tournament(21, QStringLiteral("Pause Cup"), 3);
    info.currentRound = currentRound;
    for (int offset : roundStarts)
        info.roundsStart.push_back(serverNow.addSecs(offset));
    info.roundsLength = std::vector<qint32>(roundStarts.size(), 600);
    TournamentWindow window(info, nullptr);
    QVERIFY(!window.isCountdownRunning());
    const QString playing = window.view()->statusLabel->text();

    // Paused through a full record: the countdown starts, as after a key update.
    info.status = 4;
    window.tournamentInfoUpdate(info);
    QVERIFY(window.isCountdownRunning());
    if (status.isEmpty()) {
        QCOMPARE(window.view()->statusLabel->text(), playing);
    } else {
        const QDateTime next = info.roundsStart[size_t(currentRound + 1)];
        QCOMPARE(window.view()->statusLabel->text(), status.arg(formatDateTime(next)));
        QVERIFY(window.view()->tournamentTitle->text().endsWith(QStringLiteral("</b> - Paused")));
    }
    window.tournamentInfoUpdate(21, TournamentTestData::changes({{"STATUS", qint32(3)}}));
    QVERIFY(!window.isCountdownRunning());
    window.tournamentInfoUpdate(21, TournamentTestData::changes({{"STATUS", qint32(4)}}));
    QVERIFY(window.isCountdownRunning());
    info.status = 5;
    window.tournamentInfoUpdate(info);
    QVERIFY(!window.isCountdownRunning());
}

void TournamentFlowTest::serverTextShownAsWritten()
{
    const QByteArray name = "<i>Big</i> %2 & %1";
    scenario->tournaments = {TF::tournament(31, name, 0, 1, 8, 100, startSecs, 600)};
    server->send(TF::snapshotList(scenario->tournaments));
    QTRY_VERIFY_WITH_TIMEOUT(controller->lobbyModel()->hasTournament(31), 5000);
    TournamentWindow* window = openWindow(31);
    QLabel* title = window->view()->tournamentTitle;
    QCOMPARE(title->text(), QStringLiteral("<b>&lt;i&gt;Big&lt;/i&gt; %2 &amp; %1</b> - Open for registration, "
                                           "registration closes at ")
                                + formatDateTime(QDateTime::fromSecsSinceEpoch(startSecs - 600)));
    QVERIFY(window->view()->detailsLabel->toPlainText().contains(QString::fromUtf8(name)));
    // A short name shows whole on its tab; a long one as far as a tab may
    // reach, whole in the tool tip.
    QCOMPARE(lobby->tabs()->tabBar()->tabText(1), QStringLiteral("<i>Big</i> %2 && %1"));
    const QString longName = QStringLiteral("Sunday Cup of the Eastern Provinces, Open Division").repeated(4);
    scenario->tournaments << TF::tournament(33, longName.toUtf8(), 0, 1, 8, 100, startSecs, 600);
    server->send(TF::snapshotList(scenario->tournaments));
    QTRY_VERIFY_WITH_TIMEOUT(controller->lobbyModel()->hasTournament(33), 5000);
    lobby->displayTournament(33);
    const QString cut = lobby->tabs()->tabBar()->tabText(2);
    QVERIFY2(cut.startsWith(QStringLiteral("Sunday Cup of")) && cut.size() < longName.size(), qPrintable(cut));
    // Broken into lines that fit the screen.
    QVERIFY(lobby->tabs()->tabBar()->tabToolTip(2).remove(QLatin1Char('\n')).contains(longName));
    lobby->tabs()->removeTab(2);
    // "&" would make a shortcut of the next letter and vanish from the tab.
    scenario->tournaments << TF::tournament(32, "R&D Open", 0, 1, 8, 100, startSecs, 600);
    server->send(TF::snapshotList(scenario->tournaments));
    QTRY_VERIFY_WITH_TIMEOUT(controller->lobbyModel()->hasTournament(32), 5000);
    lobby->displayTournament(32);
    QCOMPARE(lobby->tabs()->tabBar()->tabText(2), QStringLiteral("R&&D Open"));
    // A value stands on its label's line, whatever script either is in.
    const QString spring = QString::fromUtf8("\xe6\x98\xa5\xe3\x81\xae\xe5\xa4\xa7\xe4\xbc\x9a");
    scenario->tournaments << TF::tournament(34, spring.toUtf8(), 0, 1, 8, 100, startSecs, 600);
    server->send(TF::snapshotList(scenario->tournaments));
    QTRY_VERIFY_WITH_TIMEOUT(controller->lobbyModel()->hasTournament(34), 5000);
    QTextDocument* details = openWindow(34)->view()->detailsLabel->document();
    details->setTextWidth(400); // laid out, as on screen
    const auto baseline = [details](const QString& text) {
        const QTextBlock block = details->find(text).block();
        const qreal top = details->documentLayout()->blockBoundingRect(block).top();
        return top + block.layout()->lineAt(0).y() + block.layout()->lineAt(0).ascent();
    };
    QCOMPARE(baseline(QStringLiteral("Name")), baseline(spring));
    lobby->tabs()->setCurrentIndex(1);

    window->onTournamentLeaveFailed(31, QStringLiteral("<b>%1</b>"));
    const auto boxes = openBoxes();
    QCOMPARE(boxes.size(), 1);
    QLabel* label = boxes[0]->findChild<QLabel*>(QStringLiteral("msgBoxText"));
    QCOMPARE(label->text(), QStringLiteral("Leave tournament failed!\n<b>%1</b>"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

void TournamentFlowTest::buttonsFollowTheStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<QString>("shown"); // "join", "leave" or ""
    QTest::addColumn<QString>("statusLabel");

    QTest::newRow("open") << 0 << false << "join" << "Tournament open for registration.";
    QTest::newRow("open, registered") << 0 << true << "leave" << "Tournament open for registration.";
    QTest::newRow("closed") << 1 << false << "" << "Tournament signup closed. Waiting for tournament to start.";
    QTest::newRow("closed, registered") << 1 << true << "leave"
                                        << "Tournament signup closed. Waiting for tournament to start.";
    QTest::newRow("seating, registered") << 2 << true << "" << "Seating players at the tables";
    QTest::newRow("playing, registered") << 3 << true << "" << "Currently playing round 2";
    QTest::newRow("paused, registered") << 4 << true << "leave" << "";
    QTest::newRow("finished, registered") << 5 << true << "" << "Tournament has finished";
    QTest::newRow("failed, registered") << 6 << true << "" << "Failed";
    QTest::newRow("unknown") << 9 << false << "" << "Unknown tournament status!";
}

void TournamentFlowTest::buttonsFollowTheStatus()
{
    QFETCH(int, status);
    QFETCH(bool, registered);
    QFETCH(QString, shown);
    QFETCH(QString, statusLabel);
    TournamentInfo info = TournamentTestData::tournament(41, QStringLiteral("Cup"), status, 5, 16, 250);
    info.currentRound = 1;
    info.ownRegistered = registered;
    TournamentWindow window(info, nullptr);
    TournamentView* ui = window.view();
    QCOMPARE(ui->joinButton->isVisibleTo(&window), shown == QLatin1String("join"));
    QCOMPARE(ui->joinButton->isEnabled(), shown == QLatin1String("join"));
    QCOMPARE(ui->leaveButton->isVisibleTo(&window), shown == QLatin1String("leave"));
    QCOMPARE(ui->joinButton->text(), QStringLiteral("Register ($2.50)"));
    QCOMPARE(ui->leaveButton->text(), status == 0 ? QStringLiteral("Unregister") : QStringLiteral("Leave Tournament"));
    if (!statusLabel.isEmpty())
        QCOMPARE(ui->statusLabel->text(), statusLabel);
}

void TournamentFlowTest::chatRoomFollowsTheStatus()
{
    FakeSocial social;
    TournamentWindow window(TournamentTestData::tournament(51, QStringLiteral("Chatty"), 0), &social);
    QVERIFY(social.last);
    QCOMPARE(social.last->parentWidget(), window.view()->chatTab);
    QSignalSpy menu(&window, &TournamentWindow::userMenuRequested);
    Q_EMIT social.last->userMenuRequested(QStringLiteral("ann"), QPoint(3, 4));
    QCOMPARE(menu.count(), 1);
    // Every update while out of the room asks for it again (the chat area bounds how often it enters).
    for (qint32 registered = 12; registered < 22; ++registered)
        window.tournamentInfoUpdate(51, TournamentTestData::changes({{"REGISTERED", registered}}));
    QCOMPARE(social.last->log, QStringList{"mask 11"} + QStringList(11, QStringLiteral("join 51")));
    QVERIFY(!social.last->member);
    window.onTournamentRegisterSuccess(51);
    QVERIFY(social.last->member);
    social.last->log.clear();
    social.last->confirm();
    window.tournamentInfoUpdate(51, TournamentTestData::changes({{"REGISTERED", qint32(23)}}));
    window.tournamentInfoUpdate(51, TournamentTestData::changes({{"STATUS", qint32(6)}}));
    window.tournamentInfoUpdate(51, TournamentTestData::changes({{"REGISTERED", qint32(13)}}));
    QCOMPARE(social.last->log, (QStringList{"leave"}));
    TournamentWindow entering(TournamentTestData::tournament(53, QStringLiteral("Late"), 0), &social);
    entering.tournamentInfoUpdate(53, TournamentTestData::changes({{"STATUS", qint32(6)}}));
    QCOMPARE(social.last->log, (QStringList{"mask 11", "join 53", "leave"}));

    // Without social services the Chat tab stays empty.
    TournamentWindow bare(TournamentTestData::tournament(52, QStringLiteral("Quiet"), 0), nullptr);
    QVERIFY(!bare.view()->conference);
    QVERIFY(bare.view()->chatTab->findChildren<QWidget*>().isEmpty());
}

void TournamentFlowTest::languageChangeReachesEveryText()
{
    TournamentWindow* window = openWindow(11);
    const QAbstractItemModel* shown = lobby->treeView()->model();
    QSignalSpy changed(shown, &QAbstractItemModel::dataChanged);
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(shown->headerData(1, Qt::Horizontal).toString(), QStringLiteral("~Tournament Name"));
    QVERIFY(!changed.isEmpty());
    QCOMPARE(shown->index(0, 2).data().toString().at(0), QLatin1Char('~'));
    QCOMPARE(window->view()->joinButton->text(), QStringLiteral("~Register (%1)").arg(QStringLiteral("$5")));
    QCOMPARE(window->view()->tournamentTabs->tabBar()->tabText(1), QStringLiteral("~Standings"));
    QCOMPARE(window->view()->rankingList->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("~Rank"));
    QCoreApplication::removeTranslator(&translator);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(window->view()->joinButton->text(), QStringLiteral("Register ($5)"));
}

void TournamentFlowTest::informationPageOnlyWhenThereIsOne()
{
    // Tournament 11 has no page, 12 one on a local port nobody serves (the
    // load fails), its https kept: neither may show an empty or broken view.
    server->send(TF::update(12, {TF::text("SHORT_INFO_URL", "https://127.0.0.1:9/info")}));
    QTRY_VERIFY_WITH_TIMEOUT(!controller->lobbyModel()->tournament(12).shortInfoUrl.isEmpty(), 5000);
    lobby->show();
    QWebEngineView* page = lobby->infoView();
    QSignalSpy loaded(page, &QWebEngineView::loadFinished);
    QTreeView* view = lobby->treeView();
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        if (view->model()->index(row, 0).data(LobbyRoles::IdRole).toInt() == 11)
            view->setCurrentIndex(view->model()->index(row, 1));
    }
    QVERIFY(loaded.wait(10000));
    QVERIFY(page->isHidden());
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        if (view->model()->index(row, 0).data(LobbyRoles::IdRole).toInt() == 12)
            view->setCurrentIndex(view->model()->index(row, 1));
    }
    QTRY_VERIFY_WITH_TIMEOUT(loaded.count() >= 2, 10000);
    QCOMPARE(page->url(), QUrl(QStringLiteral("https://127.0.0.1:9/info")));
    QVERIFY(page->isHidden());

    // Both pages of tournament 13 keep to the program's page policy: the
    // console reaches the debug log only, a short line each, so many at a
    // time; a box is not shown; a link of a scheme that no web view handles
    // is not handed to the desktop.
    HttpTestServer web;
    QVERIFY(web.isRunning());
    web.setFile(QStringLiteral("rules.html"), rulesPage);
    QDesktopServices::setUrlHandler(QStringLiteral("foo-app"), this, "openedByDesktop");
    MessageBoxWatcher boxes;
    LogCapture log;
    const QByteArray address = web.base().mid(7).toLatin1() + "/rules.html";
    server->send(TF::update(13, {TF::text("SHORT_INFO_URL", address), TF::text("INFO_URL", address)}));
    QTRY_VERIFY_WITH_TIMEOUT(!controller->lobbyModel()->tournament(13).infoUrl.isEmpty(), 5000);
    view->setCurrentIndex(view->model()->match(view->model()->index(0, 0), LobbyRoles::IdRole, 13).value(0));
    QWebEngineView* info = openWindow(13)->view()->webView;
    QTRY_COMPARE_WITH_TIMEOUT(page->title(), QStringLiteral("Rules shown"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(info->title(), QStringLiteral("Rules shown"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(info->isVisible(), 5000);
    WebTest::click(info, "app");
    QTest::qWait(500);
    QDesktopServices::unsetUrlHandler(QStringLiteral("foo-app"));
    QCOMPARE(desktopOpened, QList<QUrl>());
    QCOMPARE(boxes.seen, QStringList());
    QCOMPARE(log.lines(QtCriticalMsg), QStringList());
    const QStringList console = log.linesStartingWith(QtDebugMsg, QStringLiteral("js:"));
    QVERIFY2(console.size() >= 20 && console.size() <= 2 * 21, qPrintable(QString::number(console.size())));
    for (const QString& line : console)
        QVERIFY2(line.size() < 1000 && !line.contains(u'\n'), qPrintable(line.left(100)));
}

/// The tab bar's own view of a tab, as it paints it.
void TournamentFlowTest::playersCellShowsWhole()
{
    // Under the program's style sheet, as the user sees it.
    lobby->setStyleSheet(readTextFile(QStringLiteral("resources:/defaultui.css")));
    lobby->resize(900, 500);
    lobby->show();
    QVERIFY(QTest::qWaitForWindowExposed(lobby.get()));
    server->send(TF::update(11, {TF::num("REGISTERED", 100), TF::num("MAX_PLAYERS", 128)}));
    QTreeView* view = lobby->treeView();
    QModelIndex players;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (int row = 0; row < view->model()->rowCount(); ++row) {
                const QModelIndex cell = view->model()->index(row, TournamentsLobbyModel::PlayersColumn);
                if (cell.data().toString() == QLatin1String("100 of 128"))
                    players = cell;
            }
            return players.isValid();
        }(),
        5000);
    const int margins = 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin);
    QVERIFY(view->visualRect(players).width() >= view->fontMetrics().horizontalAdvance(players.data().toString()) + margins);
    // So does a buy-in past the column's first width.
    const QPersistentModelIndex buyIn = players.siblingAtColumn(TournamentsLobbyModel::BuyInColumn);
    server->send(TF::update(11, {TF::num("BET", 123456789)}));
    QTRY_COMPARE_WITH_TIMEOUT(buyIn.data().toString(), QStringLiteral("$1,234,567.89"), 5000);
    // (the row is announced, and its column fitted, with the end of the turn that changed it)
    QTRY_VERIFY(view->visualRect(buyIn).width() >= view->fontMetrics().horizontalAdvance(buyIn.data().toString()) + margins);

    lobby->hide();
}

PARLOR_WEBVIEW_TEST_MAIN(TournamentFlowTest)
#include "tst_tournamentflow.moc"
