// The tournaments lobby model, its sort proxy and the ranking model: rows
// that always hold a tournament, registration marks, registered-first order
// and the ranking merge.
#include "CheckedItem.h"
#include "LobbyRoles.h"
#include "ServerTime.h"
#include "TmntSortFilterProxyModel.h"
#include "TournamentRankingModel.h"
#include "TournamentsLobbyModel.h"

#include "TournamentTestData.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTest>

using namespace TournamentTestData;

namespace {

QString cell(const QAbstractItemModel& model, int row, int column)
{
    return model.index(row, column).data().toString();
}

bool marked(const TournamentsLobbyModel& model, qint32 id)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        if (index.data(LobbyRoles::IdRole).toInt() == id)
            return index.data(CheckedItem::RegisteredRole).toBool();
    }
    return false;
}

QList<int> idOrder(const QAbstractItemModel& model)
{
    QList<int> ids;
    for (int row = 0; row < model.rowCount(); ++row)
        ids << model.index(row, 1).data(LobbyRoles::IdRole).toInt();
    return ids;
}

TournamentRanking rank(qint32 pid, const char* name, qint32 tablePoints, qint32 points)
{
    TournamentRanking r;
    r.pid = pid;
    r.name = QString::fromUtf8(name);
    r.tablePoints = tablePoints;
    r.competitionPoints = points;
    return r;
}

/// "pid:rank:name:tablepoints:points" per row, in row order.
QStringList rankingRows(const QAbstractItemModel& model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows << QStringLiteral("%1:%2:%3:%4:%5")
                    .arg(model.index(row, 0).data(LobbyRoles::IdRole).toInt())
                    .arg(cell(model, row, 0), cell(model, row, 1), cell(model, row, 2), cell(model, row, 3));
    }
    return rows;
}

} // namespace

class TournamentModelsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QDir::setSearchPaths(QStringLiteral("resources"), {QStringLiteral(PARLOR_SOURCE_DIR "/resources/default")});
    }

    void rowsAlwaysHoldATournament();
    void cellsShowTheRecord_data();
    void cellsShowTheRecord();
    void registrationMarks_data();
    void registrationMarks();
    void badUpdateLeavesTheRecordWhole();
    void registeredFirstInEveryOrder_data();
    void registeredFirstInEveryOrder();
    void rankingMerge_data();
    void rankingMerge();
    void rankingMergeKeepsRowsInPlace();
};

void TournamentModelsTest::rowsAlwaysHoldATournament()
{
    TournamentsLobbyModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    TmntSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.sort(TournamentsLobbyModel::StartColumn);
    QAbstractItemModelTester proxyTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);

    model.addOrUpdateTournament(tournament(1, QStringLiteral("Spring Cup"), 0));
    model.addOrUpdateTournament(tournament(2, QStringLiteral("Autumn Cup"), 1));
    model.updateTournamentInfo(1, changes({{"REGISTERED", qint32(11)}, {"NAME", std::string("Summer Cup")}}));
    model.onTournamentRegisterSuccess(2);
    model.onRegisteredNotification({1});
    // A row has no children: a view that asks under a row finds nothing to select.
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    QCOMPARE(proxy.rowCount(proxy.index(0, 0)), 0);
    QCOMPARE(model.rowCount(), 2);
    model.onTournamentRemoved(1);
    model.onTournamentRemoved(1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.tournamentCount(), 1);
    QVERIFY(!model.hasTournament(1));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, model.tournament(1));
}

void TournamentModelsTest::cellsShowTheRecord_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("bet");
    QTest::addColumn<int>("duration");
    QTest::addColumn<QString>("timeKey"); // and its count of seconds, sent after the record
    QTest::addColumn<qint32>("seconds");
    QTest::addColumn<QString>("statusText");
    QTest::addColumn<QString>("buyIn");
    QTest::addColumn<QString>("durationText");

    QTest::newRow("open, paid") << 0 << 1250 << 7200 << "" << 0 << "OPEN" << "$12.50" << "2h";
    QTest::newRow("failed, free") << 6 << 0 << 90 << "" << 0 << "FAILED" << "free" << "1 min(s)";
    QTest::newRow("status past the table") << 7 << 500 << 86400 << "" << 0 << "<undefined>" << "$5" << "1 day(s)";
    QTest::newRow("negative status") << -1 << 500 << 30 << "" << 0 << "<undefined>" << "$5" << "30 second(s)";
    QTest::newRow("end before the start") << 0 << 0 << 30 << "END" << 1893455999 << "OPEN" << "free" << "<unknown>";
    QTest::newRow("start at the largest count") << 0 << 0 << 30 << "START" << 0x7fffffff << "OPEN" << "free" << "<unknown>";
    QTest::newRow("start at a negative count") << 0 << 0 << 30 << "START" << -1 << "OPEN" << "free" << "<unknown>";
    QTest::newRow("start at the smallest count") << 0 << 0 << 30 << "START" << std::numeric_limits<qint32>::min() << "OPEN" << "free" << "<unknown>";
    QTest::newRow("start at the epoch") << 0 << 0 << 30 << "START" << 0 << "OPEN" << "free" << "<unknown>";
}

void TournamentModelsTest::cellsShowTheRecord()
{
    QFETCH(int, status);
    QFETCH(int, bet);
    QFETCH(int, duration);
    QFETCH(QString, timeKey);
    QFETCH(qint32, seconds);
    QFETCH(QString, statusText);
    QFETCH(QString, buyIn);
    QFETCH(QString, durationText);
    // The server's clock at the record's start.
    ServerTime::instance()->setRequestSender([] { return 7; });
    ServerTime::instance()->onTimeFromServer(7, QDateTime::fromSecsSinceEpoch(1893456000, Qt::UTC));
    ServerTime::instance()->setRequestSender({});
    TournamentsLobbyModel model;
    model.addOrUpdateTournament(tournament(5, QStringLiteral("A <b>cup</b>"), status, 7, 32, bet, 1893456000, duration));
    if (!timeKey.isEmpty())
        model.updateTournamentInfo(5, changes({{timeKey.toStdString(), seconds}}));
    QCOMPARE(cell(model, 0, 1), QStringLiteral("A <b>cup</b>"));
    QCOMPARE(cell(model, 0, 2), statusText);
    QCOMPARE(cell(model, 0, 3), QStringLiteral("7 of 32"));
    QCOMPARE(cell(model, 0, 4), buyIn);
    QCOMPARE(cell(model, 0, 5) == QStringLiteral("<unknown>"), timeKey == QLatin1String("START"));
    QCOMPARE(cell(model, 0, 6), durationText);
    for (int column = 0; column < TournamentsLobbyModel::ColumnCount; ++column) {
        QCOMPARE(model.index(0, column).data(LobbyRoles::IdRole).toInt(), 5);
        // The tooltip is shown as rich text: what it shows is the name as written.
        QTextDocument shown;
        shown.setHtml(model.index(0, column).data(Qt::ToolTipRole).toString());
        QCOMPARE(shown.toPlainText(), QStringLiteral("A <b>cup</b>"));
    }
}

void TournamentModelsTest::registrationMarks_data()
{
    // Steps: "add N", "full N", "list a,b", "reg N", "unreg N", "leave N", "remove N".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("markedIds");

    QTest::newRow("list before the rows") << QStringList{"list 1,3", "add 1", "add 2", "add 3"} << QList<int>{1, 3};
    QTest::newRow("list after the rows") << QStringList{"add 1", "add 2", "add 3", "list 2,3"} << QList<int>{2, 3};
    QTest::newRow("a new list clears old marks") << QStringList{"add 1", "add 2", "list 1", "list 2"} << QList<int>{2};
    QTest::newRow("full record keeps the mark") << QStringList{"add 1", "reg 1", "full 1"} << QList<int>{1};
    QTest::newRow("full record keeps a listed mark") << QStringList{"list 1", "add 1", "full 1"} << QList<int>{1};
    QTest::newRow("unregister clears") << QStringList{"add 1", "reg 1", "unreg 1", "full 1"} << QList<int>{};
    QTest::newRow("leave clears") << QStringList{"list 1", "add 1", "leave 1"} << QList<int>{};
    QTest::newRow("success for an unknown id") << QStringList{"reg 9", "add 9"} << QList<int>{};
    QTest::newRow("registered, removed, announced again") << QStringList{"add 1", "reg 1", "remove 1", "add 1"}
                                                          << QList<int>{1};
}

void TournamentModelsTest::registrationMarks()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, markedIds);
    TournamentsLobbyModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const QString& step : steps) {
        const QString verb = step.section(QLatin1Char(' '), 0, 0);
        const QString arg = step.section(QLatin1Char(' '), 1);
        const int id = arg.toInt();
        if (verb == QLatin1String("add") || verb == QLatin1String("full")) {
            model.addOrUpdateTournament(tournament(id, QStringLiteral("T%1").arg(id), 0));
        } else if (verb == QLatin1String("list")) {
            std::vector<qint32> ids;
            for (const QString& part : arg.split(QLatin1Char(',')))
                ids.push_back(part.toInt());
            model.onRegisteredNotification(ids);
        } else if (verb == QLatin1String("reg")) {
            model.onTournamentRegisterSuccess(id);
        } else if (verb == QLatin1String("unreg")) {
            model.onTournamentUnregisterSuccess(id);
        } else if (verb == QLatin1String("leave")) {
            model.onTournamentLeaveSuccess(id);
        } else if (verb == QLatin1String("remove")) {
            model.onTournamentRemoved(id);
        }
    }
    for (int row = 0; row < model.rowCount(); ++row) {
        const int id = model.index(row, 0).data(LobbyRoles::IdRole).toInt();
        QCOMPARE(marked(model, id), markedIds.contains(id));
        QCOMPARE(model.tournament(id).ownRegistered, markedIds.contains(id));
    }
}

void TournamentModelsTest::badUpdateLeavesTheRecordWhole()
{
    TournamentsLobbyModel model;
    model.addOrUpdateTournament(tournament(1, QStringLiteral("Cup"), 0, 3));
    TournamentInfoUpdates updates = changes({{"REGISTERED", qint32(4)}});
    updates.push_back(TournamentInfoUpdate{"BROKEN", false, {}});
    model.updateTournamentInfo(1, updates);
    QCOMPARE(model.tournament(1).registered, 3);
    QCOMPARE(cell(model, 0, 3), QStringLiteral("3 of 64"));
    model.updateTournamentInfo(1, changes({{"REGISTERED", qint32(5)}, {"STATUS", qint32(3)}}));
    QCOMPARE(cell(model, 0, 3), QStringLiteral("5 of 64"));
    QCOMPARE(cell(model, 0, 2), QStringLiteral("PLAYING"));
}

void TournamentModelsTest::registeredFirstInEveryOrder_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::addColumn<QList<int>>("expected");

    // Tournaments: 1 "Delta" starts last and costs most, 2 "alpha", 3 "Charlie"
    // (registered), 4 "bravo" (registered).
    QTest::newRow("name ascending") << 1 << int(Qt::AscendingOrder) << QList<int>{4, 3, 2, 1};
    QTest::newRow("name descending") << 1 << int(Qt::DescendingOrder) << QList<int>{3, 4, 1, 2};
    QTest::newRow("start ascending") << 5 << int(Qt::AscendingOrder) << QList<int>{3, 4, 2, 1};
    QTest::newRow("start descending") << 5 << int(Qt::DescendingOrder) << QList<int>{4, 3, 1, 2};
    QTest::newRow("buy-in descending") << 4 << int(Qt::DescendingOrder) << QList<int>{4, 3, 1, 2};
    QTest::newRow("players ascending") << 3 << int(Qt::AscendingOrder) << QList<int>{3, 4, 2, 1};
}

void TournamentModelsTest::registeredFirstInEveryOrder()
{
    QFETCH(int, column);
    QFETCH(int, order);
    QFETCH(QList<int>, expected);
    TournamentsLobbyModel model;
    TmntSortFilterProxyModel proxy;
    proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
    proxy.setSourceModel(&model);
    model.addOrUpdateTournament(tournament(1, QStringLiteral("Delta"), 0, 40, 64, 4000, 1893459000));
    model.addOrUpdateTournament(tournament(2, QStringLiteral("alpha"), 0, 1, 64, 100, 1893458000));
    model.addOrUpdateTournament(tournament(3, QStringLiteral("Charlie"), 0, 2, 64, 200, 1893456000));
    model.addOrUpdateTournament(tournament(4, QStringLiteral("bravo"), 0, 3, 64, 300, 1893457000));
    model.onRegisteredNotification({3});
    model.onTournamentRegisterSuccess(4);
    proxy.sort(column, Qt::SortOrder(order));
    QCOMPARE(idOrder(proxy), expected);
    // A later registration moves the row up at once.
    model.onTournamentRegisterSuccess(1);
    QCOMPARE(idOrder(proxy).mid(0, 3).contains(1), true);
    // Renames within a turn move their row once, when the turn is over; the model keeps its order.
    QSignalSpy modelSorted(&model, &QAbstractItemModel::layoutChanged), moved(&proxy, &QAbstractItemModel::layoutChanged);
    for (const char* name : {"echo", "Zulu", "aardvark"})
        model.updateTournamentInfo(3, changes({{"NAME", std::string(name)}}));
    QCoreApplication::processEvents();
    QVERIFY(modelSorted.isEmpty() && moved.count() <= 1);
    const QList<int> placed = idOrder(proxy);
    proxy.invalidate();
    QCOMPARE(placed, idOrder(proxy));
}

void TournamentModelsTest::rankingMerge_data()
{
    QTest::addColumn<TournamentRankings>("first");
    QTest::addColumn<TournamentRankings>("second");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("ties share a rank")
        << TournamentRankings{} << TournamentRankings{rank(1, "ann", 10, 5), rank(2, "bo", 8, 4), rank(3, "cy", 8, 4),
                                                      rank(4, "di", 7, 4)}
        << QStringList{"1:1:ann:5:5", "2:2:bo:4:4", "3:2:cy:4:4", "4:4:di:3.5:4"};
    QTest::newRow("equal table points, other points")
        << TournamentRankings{} << TournamentRankings{rank(1, "ann", 8, 5), rank(2, "bo", 8, 4)}
        << QStringList{"1:1:ann:4:5", "2:2:bo:4:4"};
    QTest::newRow("repeated player keeps the first")
        << TournamentRankings{} << TournamentRankings{rank(1, "ann", 10, 5), rank(1, "ann", 2, 1), rank(2, "bo", 9, 4)}
        << QStringList{"1:1:ann:5:5", "2:2:bo:4.5:4"};
    QTest::newRow("repeated player, then the player leaves")
        << TournamentRankings{rank(1, "ann", 10, 5), rank(1, "ann", 2, 1), rank(2, "bo", 9, 4)}
        << TournamentRankings{rank(2, "bo", 9, 4)} << QStringList{"2:1:bo:4.5:4"};
    QTest::newRow("empty list removes all") << TournamentRankings{rank(1, "ann", 10, 5), rank(2, "bo", 9, 4)}
                                            << TournamentRankings{} << QStringList{};
    QTest::newRow("change of order and names")
        << TournamentRankings{rank(1, "ann", 10, 5), rank(2, "bo", 9, 4), rank(3, "cy", 1, 1)}
        << TournamentRankings{rank(2, "bob", 12, 6), rank(1, "ann", 10, 5), rank(4, "ed", 0, 0)}
        << QStringList{"1:2:ann:5:5", "2:1:bob:6:6", "4:3:ed:0:0"};
}

void TournamentModelsTest::rankingMerge()
{
    QFETCH(TournamentRankings, first);
    QFETCH(TournamentRankings, second);
    QFETCH(QStringList, rows);
    TournamentRankingModel model(7);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.onTournamentRankings(7, first);
    model.onTournamentRankings(7, second);
    model.onTournamentRankings(8, {rank(9, "other", 1, 1)});
    QStringList shown = rankingRows(model);
    shown.sort();
    QCOMPARE(shown, rows);
    // Every row is one the model can answer for.
    for (int row = 0; row < model.rowCount(); ++row)
        QVERIFY(model.rankingAt(model.index(row, 2)).has_value());
}

void TournamentModelsTest::rankingMergeKeepsRowsInPlace()
{
    TournamentRankingModel model(7);
    model.onTournamentRankings(7, {rank(1, "ann", 10, 5), rank(2, "bo", 9, 4)});
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.onTournamentRankings(7, {rank(1, "ann", 10, 7), rank(2, "bo", 9, 4)});
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), model.index(0, 3));
    QCOMPARE(cell(model, 0, 3), QStringLiteral("7"));
}

QTEST_MAIN(TournamentModelsTest)
#include "tst_tournamentmodels.moc"
