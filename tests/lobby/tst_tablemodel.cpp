// The table model fed through its slots: subscriptions, rows, updates,
// removals and the texts of its cells.
#include "LobbyPath.h"
#include "LobbyRoles.h"
#include "LobbyTestData.h"
#include "RulesetGameTypePair.h"
#include "TableModel.h"
#include "ValueColumnType.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTextDocument>
#include <QTest>
#include <QTextDocument>
#include <QTranslator>

using namespace lobbytest;

namespace {

/// A language in which every text of the table model begins with "»".
class MarkingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, "TableModel") != 0)
            return QString();
        return QStringLiteral("»") + QString::fromUtf8(source);
    }
};
QString cell(const QAbstractItemModel& model, int row, int column, int role = Qt::DisplayRole)
{
    return model.index(row, column).data(role).toString();
}

QMap<QString, int> subs(std::initializer_list<std::pair<QString, int>> entries)
{
    QMap<QString, int> map;
    for (const auto& [path, count] : entries)
        map.insert(path, count);
    return map;
}
}

class TableModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // subscriptions
    void pathCoverage_data();
    void pathCoverage();
    void subscribeCountsReferences();
    void narrowerPathRaisesCoveringCount();
    void broaderPathAbsorbsNarrowerOnes();
    void siblingPrefixesAreSeparate();
    void unsubscribeOfUnknownPathWarns();
    void lastReleaseDropsOnlyRowsUnderThePath();

    // rows
    void recordsOutsideSubscriptionsAreDropped();
    void cellsOfFreeAndMoneyTables_data();
    void cellsOfFreeAndMoneyTables();
    void everyCellCarriesIdAndToolTip();
    void updatesChangeOneRowOnce();
    void identicalRecordChangesNothing();
    void failedUpdateLeavesRecordWhole();
    void updatesOfUnknownTablesWarn();
    void removals();
    void moneyTableSignal();
    void lookups();
    void headersAndRetranslate();
    void modelTesterThroughAFeed();
};

void TableModelTest::pathCoverage_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("covered");
    QTest::newRow("itself") << "101/mtt/1" << "101/mtt/1" << true;
    QTest::newRow("below") << "101/mtt/1" << "101/mtt/1/final" << true;
    QTest::newRow("longer number") << "101/mtt/1" << "101/mtt/12" << false;
    QTest::newRow("longer word") << "101/Practice" << "101/Practice2" << false;
    QTest::newRow("above") << "101/mtt/1" << "101/mtt" << false;
    QTest::newRow("game id") << "101" << "101/Regular" << true;
    QTest::newRow("game id with slash") << "101/" << "101/Regular" << true;
    QTest::newRow("other game") << "101" << "1010/Regular" << false;
    QTest::newRow("case") << "101/regular" << "101/Regular" << false;
    QTest::newRow("empty key") << "" << "101/Regular" << false;
}

void TableModelTest::pathCoverage()
{
    QFETCH(QString, key);
    QFETCH(QString, path);
    QFETCH(bool, covered);
    QCOMPARE(LobbyPath::covers(key, path), covered);
    QCOMPARE(LobbyPath::coveringCandidates(path).contains(key), covered);
}

void TableModelTest::subscribeCountsReferences()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    model.subscribe("101/Regular");
    QCOMPARE(model.subscriptions(), subs({{"101/Regular", 2}}));
    model.addOrUpdateTable(makeTable(1, "101/Regular"));
    model.unsubscribe("101/Regular");
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(model.isPathSubscribed("101/Regular"));
    model.unsubscribe("101/Regular");
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(model.subscriptions().isEmpty());
    QVERIFY(!model.hasTableInfo(1));
}

void TableModelTest::narrowerPathRaisesCoveringCount()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    model.subscribe("101/Regular/Fast");
    QCOMPARE(model.subscriptions(), subs({{"101/Regular", 2}}));
    QVERIFY(model.isPathSubscribed("101/Regular/Fast/x"));
    QVERIFY(!model.isPathSubscribed("101/RegularX"));
    QVERIFY(!model.isPathSubscribed("101"));
    // Releasing the narrower path releases the covering entry.
    model.unsubscribe("101/Regular/Fast");
    QCOMPARE(model.subscriptions(), subs({{"101/Regular", 1}}));
}

void TableModelTest::broaderPathAbsorbsNarrowerOnes()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    model.subscribe("101/Regular");
    model.subscribe("101/Practice");
    model.subscribe("101/mtt/1");
    model.subscribe("1010/Other");
    model.subscribe("101");
    QCOMPARE(model.subscriptions(), subs({{"101", 5}, {"1010/Other", 1}}));
    model.addOrUpdateTable(makeTable(1, "101/Practice"));
    for (int i = 0; i < 4; ++i)
        model.unsubscribe("101/Regular");
    QCOMPARE(model.rowCount(), 1);
    model.unsubscribe("101/Practice");
    QCOMPARE(model.subscriptions(), subs({{"1010/Other", 1}}));
    QCOMPARE(model.rowCount(), 0);
}

void TableModelTest::siblingPrefixesAreSeparate()
{
    TableModel model(nullptr);
    model.subscribe("101/mtt/1");
    QVERIFY(!model.isPathSubscribed("101/mtt/12"));
    model.addOrUpdateTable(makeTable(12, "101/mtt/12"));
    QCOMPARE(model.rowCount(), 0);
    model.subscribe("101/mtt/12");
    QCOMPARE(model.subscriptions(), subs({{"101/mtt/1", 1}, {"101/mtt/12", 1}}));
    model.addOrUpdateTable(makeTable(12, "101/mtt/12"));
    model.addOrUpdateTable(makeTable(1, "101/mtt/1"));
    model.addOrUpdateTable(makeTable(2, "101/mtt/1/b"));
    QCOMPARE(model.rowCount(), 3);
    // Releasing "101/mtt/1" keeps the tables of tournament 12; the two
    // neighbouring rows leave the views in one removal.
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.unsubscribe("101/mtt/1");
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(model.hasTableInfo(12));
    QVERIFY(!model.hasTableInfo(1) && !model.hasTableInfo(2));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed[0].mid(1), QVariantList({1, 2}));
    // A new broader path does not swallow a sibling that only shares letters.
    model.subscribe("101/mtt/1");
    QCOMPARE(model.subscriptions(), subs({{"101/mtt/1", 1}, {"101/mtt/12", 1}}));
}

void TableModelTest::unsubscribeOfUnknownPathWarns()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    QTest::ignoreMessage(QtWarningMsg, "can't unsubscribe 101/Practice: no subscription found");
    model.unsubscribe("101/Practice");
    QTest::ignoreMessage(QtWarningMsg, "can't unsubscribe 101: no subscription found");
    model.unsubscribe("101");
    QTest::ignoreMessage(QtWarningMsg, "can't subscribe an empty lobby path");
    model.subscribe(QString());
    QCOMPARE(model.subscriptions(), subs({{"101/Regular", 1}}));
    model.unsubscribe("101/Regular");
}

void TableModelTest::lastReleaseDropsOnlyRowsUnderThePath()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    model.subscribe("101/Practice");
    for (int id = 1; id <= 40; ++id)
        model.addOrUpdateTable(makeTable(id, id % 2 ? "101/Regular" : "101/Practice"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    const QPersistentModelIndex last(model.index(39, 0));
    model.unsubscribe("101/Regular");
    // Twenty runs of one row leave in fewer removals; the other rows stay in order.
    QVERIFY(removed.count() < 20);
    for (int row = 0; row < model.rowCount(); ++row)
        QCOMPARE(model.index(row, 0).data(Qt::UserRole).toInt(), 2 * row + 2);
    QCOMPARE(last.row(), 19);
    model.unsubscribe("101/Practice");
}

void TableModelTest::recordsOutsideSubscriptionsAreDropped()
{
    TableModel model(nullptr);
    model.addOrUpdateTable(makeTable(1, "101/Regular"));
    QCOMPARE(model.rowCount(), 0);
    model.subscribe("101/Regular");
    model.addOrUpdateTable(makeTable(1, "101/Regular", "First"));
    // The same table reported under a path nobody asked for: the held row stays.
    model.addOrUpdateTable(makeTable(1, "101/Practice", "Moved"));
    QCOMPARE(model.tableInfo(1).name, QStringLiteral("First"));
    QCOMPARE(cell(model, 0, 0), QStringLiteral("First"));
    // A seated-count update is applied whatever the path.
    model.updateTableInfo(1, 3, {});
    QCOMPARE(model.tableInfo(1).capacity.seated(), 3);
    model.unsubscribe("101/Regular");
}

void TableModelTest::cellsOfFreeAndMoneyTables_data()
{
    QTest::addColumn<TableInfo>("info");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<qint64>("buyInTotal");
    QTest::addColumn<qint64>("maxWin");

    QTest::newRow("classic free single hand")
        << makeTable(1, "101/Practice", "Practice 1", 0, 0, 20000, TableCapacity(4, 1, 0))
        << QStringList{"Practice 1", "Classic single hand", "", "20 second(s)", "free", "-"} << qint64(0) << qint64(0);
    QTest::newRow("international free full game")
        << makeTable(2, "101/Practice", "Practice 2", 1, 2, 15999, TableCapacity(4, 4, 2))
        << QStringList{"Practice 2", "International full game", "", "15 second(s)", "free", "-"} << qint64(0)
        << qint64(0);
    QTest::newRow("riichi free tournament")
        << makeTable(3, "101/mtt/7", "Round 1", 2, 1, 10000, TableCapacity(4, 4, 0))
        << QStringList{"Round 1", "Riichi tournament", "", "10 second(s)", "free", "-"} << qint64(0) << qint64(0);
    QTest::newRow("classic money single hand")
        << makeTable(4, "101/Regular", "Dragon", 0, 0, 20000, TableCapacity(4, 2, 0), Money{1, 100, 10, 5})
        << QStringList{"Dragon", "Classic single hand", "", "20 second(s)", "$1.10", "$3.80"} << qint64(110)
        << qint64(380);
    QTest::newRow("international money full game")
        << makeTable(5, "101/Regular", "Wind", 1, 2, 30000, TableCapacity(4, 0, 0), Money{2, 2500, 0, 0})
        << QStringList{"Wind", "International full game", "", "30 second(s)", "$25", "$100"} << qint64(2500)
        << qint64(10000);
    QTest::newRow("riichi money with bonuses")
        << makeTable(6, "101/Regular", "Tenpai", 2, 2, 25000, TableCapacity(4, 3, 1),
                     Money{3, 100000, 500, 10, {3000, 1000, -1000, -3000}})
        << QStringList{"Tenpai", "Riichi full game", "", "25 second(s)", "$1,005", "$3,600"} << qint64(100500)
        << qint64(360000);
}

void TableModelTest::cellsOfFreeAndMoneyTables()
{
    QFETCH(TableInfo, info);
    QFETCH(QStringList, texts);
    QFETCH(qint64, buyInTotal);
    QFETCH(qint64, maxWin);

    TableModel model(nullptr);
    model.subscribe("101");
    model.addOrUpdateTable(info);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 6);
    for (int column = 0; column < 6; ++column) {
        if (column == TableModel::PlayersColumn)
            continue;
        QCOMPARE(cell(model, 0, column), texts.at(column));
    }
    QCOMPARE(model.index(0, TableModel::PlayersColumn).data().value<TableCapacity>(), info.capacity);
    QCOMPARE(model.index(0, TableModel::RulesColumn).data(TypedValueRole).value<RulesetGameTypePair>(),
             (RulesetGameTypePair{info.ruleset, info.gameType}));
    QCOMPARE(model.index(0, TableModel::TimeLimitColumn).data(TypedValueRole).toInt(), info.speed);
    QCOMPARE(model.index(0, TableModel::BuyInColumn).data(TypedValueRole).value<ValueColumnType>().buyInTotal(),
             buyInTotal);
    QCOMPARE(model.index(0, TableModel::MaxWinColumn).data(TypedValueRole).toLongLong(), maxWin);
    QCOMPARE(model.index(0, 0).data(LobbyPathRole).toString(), info.lobbyPath);
    QVERIFY(!model.index(0, TableModel::NameColumn).data(TypedValueRole).isValid());
    model.unsubscribe("101");
}

void TableModelTest::everyCellCarriesIdAndToolTip()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    model.addOrUpdateTable(makeTable(42, "101/Regular", "Lucky", 0, 2, 20000, TableCapacity(4, 2, 1)));
    const QString tip = QStringLiteral("Lucky\n2 of 4 players seated\nClassic full game - 20 second(s)\nBuy-in: free");
    for (int column = 0; column < 6; ++column) {
        const QModelIndex index = model.index(0, column);
        QCOMPARE(index.data(Qt::UserRole).toInt(), 42);
        QCOMPARE(index.data(Qt::ToolTipRole).toString(), tip);
        QVERIFY(!(model.flags(index) & Qt::ItemIsEditable));
    }
    QVERIFY(!model.index(0, 1).data(LobbyPathRole).isValid());

    // A name that Qt would read as markup still shows as written.
    model.addOrUpdateTable(makeTable(42, "101/Regular", "<b>Lucky</b> &amp;", 0, 2, 20000, TableCapacity(4, 2, 1)));
    const QString markupTip = model.index(0, 0).data(Qt::ToolTipRole).toString();
    QTextDocument shown;
    shown.setHtml(markupTip);
    QVERIFY2(shown.toPlainText().startsWith(QStringLiteral("<b>Lucky</b> &amp;\n2 of 4 players seated")),
             qPrintable(shown.toPlainText()));
    model.unsubscribe("101/Regular");
}

void TableModelTest::updatesChangeOneRowOnce()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    for (int id = 1; id <= 3; ++id)
        model.addOrUpdateTable(makeTable(id, "101/Regular"));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy items(&model, &QStandardItemModel::itemChanged);

    TableInfoUpdates updates;
    updates.push_back(*makeTableInfoChange("BET", ParamValue(qint32(500))));
    updates.push_back(*makeTableInfoChange("SPEED", ParamValue(qint32(12000))));
    updates.push_back(*makeTableInfoChange("NUMBER_OF_BOTS", ParamValue(qint32(1))));
    model.updateTableInfo(2, 3, updates);

    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 0));
    QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(1, 5));
    QCOMPARE(reset.count(), 0);
    QCOMPARE(layout.count(), 0);
    QCOMPARE(inserted.count(), 0);
    // Every cell of the row is reported as changed, in column order.
    QCOMPARE(items.count(), 6);
    for (int column = 0; column < 6; ++column)
        QCOMPARE(items.at(column).at(0).value<QStandardItem*>(), model.item(1, column));

    const TableInfo& info = model.tableInfo(2);
    QCOMPARE(info.capacity, TableCapacity(4, 3, 1));
    QCOMPARE(info.speed, 12000);
    QCOMPARE(info.value.bet(), 500);
    QCOMPARE(cell(model, 1, 3), QStringLiteral("12 second(s)"));
    QCOMPARE(model.index(1, 2).data().value<TableCapacity>(), TableCapacity(4, 3, 1));
    QVERIFY(cell(model, 1, 0, Qt::ToolTipRole).contains(QStringLiteral("3 of 4 players seated")));
    QVERIFY(cell(model, 1, 5, Qt::ToolTipRole).contains(QStringLiteral("12 second(s)")));

    // A full record for a held table is a change of that row, not a new row.
    model.addOrUpdateTable(makeTable(3, "101/Regular", "Renamed"));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(cell(model, 2, 0), QStringLiteral("Renamed"));
    model.unsubscribe("101/Regular");
}

void TableModelTest::identicalRecordChangesNothing()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    model.addOrUpdateTable(makeTable(1, "101/Regular"));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.addOrUpdateTable(makeTable(1, "101/Regular"));
    model.updateTableInfo(1, 1, {});
    QCOMPARE(changed.count(), 0);
    model.unsubscribe("101/Regular");
}

void TableModelTest::failedUpdateLeavesRecordWhole()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    const TableInfo before = makeTable(1, "101/Regular", "Steady", 1, 2, 20000, TableCapacity(4, 1, 0), Money{2, 100, 0, 0});
    model.addOrUpdateTable(before);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy money(&model, &TableModel::hasMoneraryTablesChanged);

    // The first change applies, the second fails half-way: nothing may stick.
    TableInfoUpdates updates;
    updates.push_back(change("BET", [](TableInfo& info) { info.value.setBet(0); }));
    updates.push_back(change("SETTLEMENT", [](TableInfo& info) {
        info.value.setSettlement(0);
        throw std::runtime_error("bad settlement");
    }));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("can't apply update of table 1"));
    model.updateTableInfo(1, 4, updates);
    QVERIFY(model.tableInfo(1) == before);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(money.count(), 0);

    // An empty change (no function) is refused the same way.
    TableInfoUpdates empty;
    empty.push_back(TableInfoUpdate{"SPEED", false, {}});
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("can't apply update of table 1"));
    model.updateTableInfo(1, 2, empty);
    QVERIFY(model.tableInfo(1) == before);
    QCOMPARE(cell(model, 0, 4), QStringLiteral("$1"));
    model.unsubscribe("101/Regular");
}

void TableModelTest::updatesOfUnknownTablesWarn()
{
    TableModel model(nullptr);
    QTest::ignoreMessage(QtWarningMsg, "No table with id 9 to update");
    model.updateTableInfo(9, 1, {});
    QTest::ignoreMessage(QtWarningMsg, "No table to remove with id 9");
    model.onTableRemoved(9);
    QCOMPARE(model.rowCount(), 0);
}

void TableModelTest::removals()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    for (int id = 1; id <= 4; ++id)
        model.addOrUpdateTable(makeTable(id, "101/Regular"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.onTableRemoved(2);
    QVERIFY(!model.hasTableInfo(2));
    QTRY_COMPARE(model.rowCount(), 3);
    QCOMPARE(model.rowOfTable(3), 1);
    QCOMPARE(cell(model, 1, 0), QStringLiteral("Table 3"));
    // Rows after the removed one are still found and updated.
    model.updateTableInfo(4, 4, {});
    QCOMPARE(model.index(2, 2).data().value<TableCapacity>().seated(), 4);
    // Listed again before its row went: the row is taken back, as a change.
    QSignalSpy removing(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    model.onTableRemoved(3);
    model.addOrUpdateTable(makeTable(3, "101/Regular", "Again"));
    QCOMPARE(cell(model, 1, 0), QStringLiteral("Again"));
    QTest::qWait(100);
    QCOMPARE(removing.count(), 0);
    QCOMPARE(model.rowCount(), 3);
    model.onTableRemoved(1);
    model.onTableRemoved(4);
    model.onTableRemoved(3);
    QTRY_COMPARE(model.rowCount(), 0);
    model.unsubscribe("101/Regular");
}

void TableModelTest::moneyTableSignal()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    QSignalSpy money(&model, &TableModel::hasMoneraryTablesChanged);
    model.addOrUpdateTable(makeTable(1, "101/Regular", {}, 0, 0, 20000, TableCapacity(4, 0, 0), Money{2, 100, 0, 0}));
    QCOMPARE(money.count(), 1);
    QCOMPARE(money.at(0).at(0).toBool(), true);
    QVERIFY(model.hasMoneraryTables());
    model.addOrUpdateTable(makeTable(2, "101/Regular", {}, 0, 0, 20000, TableCapacity(4, 0, 0), Money{1, 50, 0, 0}));
    model.addOrUpdateTable(makeTable(3, "101/Regular"));
    QCOMPARE(money.count(), 1);

    // An update that makes a money table free lowers the count.
    TableInfoUpdates toFree;
    toFree.push_back(change("SETTLEMENT", [](TableInfo& info) { info.value.setSettlement(0); }));
    model.updateTableInfo(2, 0, toFree);
    QCOMPARE(money.count(), 1);
    model.onTableRemoved(1);
    QCOMPARE(money.count(), 2);
    QCOMPARE(money.at(1).at(0).toBool(), false);
    QVERIFY(!model.hasMoneraryTables());

    // Money tables removed by the last release count down too.
    model.addOrUpdateTable(makeTable(4, "101/Regular", {}, 0, 0, 20000, TableCapacity(4, 0, 0), Money{2, 100, 0, 0}));
    QCOMPARE(money.count(), 3);
    model.unsubscribe("101/Regular");
    QCOMPARE(money.count(), 4);
    QCOMPARE(money.at(3).at(0).toBool(), false);
}

void TableModelTest::lookups()
{
    TableModel model(nullptr);
    model.subscribe("101/Regular");
    model.addOrUpdateTable(makeTable(1, "101/Regular", {}, 0, 0, 20000, TableCapacity(4, 4, 0)));
    model.addOrUpdateTable(makeTable(2, "101/Regular", {}, 0, 0, 20000, TableCapacity(4, 3, 0)));
    QVERIFY(model.isTableFull(1));
    QVERIFY(!model.isTableFull(2));
    QVERIFY(!model.isTableFull(3));
    QVERIFY(model.hasTableInfo(2));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, model.tableInfo(3));
    try {
        model.tableInfo(77);
    } catch (const std::runtime_error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("info for table 77 unavailable"));
    }
    QCOMPARE(model.rowOfTable(2), 1);
    QCOMPARE(model.rowOfTable(3), -1);
    // Past a turn's hundred rows the records are held at once, the rows made in the next turns.
    for (int id = 3; id <= 150; ++id)
        model.addOrUpdateTable(makeTable(id, "101/Regular"));
    QVERIFY(model.hasTableInfo(150));
    QCOMPARE(model.rowCount(), 100);
    QTRY_COMPARE(model.rowOfTable(150), 149);
    model.unsubscribe("101/Regular");
}

void TableModelTest::headersAndRetranslate()
{
    TableModel model(nullptr);
    const QStringList headers{"Table Name", "Rules", "Players", "Time limit", "Buy-in", "Max win"};
    for (int column = 0; column < 6; ++column)
        QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), headers.at(column));
    model.subscribe("101/Regular");
    model.addOrUpdateTable(makeTable(1, "101/Regular"));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy items(&model, &QStandardItemModel::itemChanged);
    model.retranslate();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(items.count(), 6);
    QCOMPARE(reset.count(), 0);

    // Another language: every header and every cell's tool tip follow it.
    MarkingTranslator marked;
    QVERIFY(QCoreApplication::installTranslator(&marked));
    model.retranslate();
    for (int column = 0; column < 6; ++column)
        QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), QStringLiteral("»") + headers.at(column));
    for (int column = 0; column < 6; ++column) {
        const QString tip = model.index(0, column).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.startsWith(QStringLiteral("»")), qPrintable(tip));
    }
    QCoreApplication::removeTranslator(&marked);
    model.retranslate();
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), headers.at(0));
    QVERIFY(!model.index(0, 3).data(Qt::ToolTipRole).toString().contains(QStringLiteral("»")));
    model.unsubscribe("101/Regular");
}

void TableModelTest::modelTesterThroughAFeed()
{
    TableModel model(nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.setDynamicSortFilter(true);
    proxy.sort(TableModel::NameColumn);
    QAbstractItemModelTester proxyTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);

    model.subscribe("101/Regular");
    model.subscribe("101/mtt/3");
    for (int id = 1; id <= 20; ++id)
        model.addOrUpdateTable(makeTable(id, id % 3 ? "101/Regular" : "101/mtt/3", QStringLiteral("T%1").arg(100 - id)));
    for (int id = 1; id <= 20; id += 2)
        model.updateTableInfo(id, id % 5, {});
    model.addOrUpdateTable(makeTable(5, "101/Regular", "A first"));
    for (int id = 2; id <= 20; id += 4)
        model.onTableRemoved(id);
    model.unsubscribe("101/mtt/3");
    for (int row = 0; row < model.rowCount(); ++row) {
        const qint32 id = model.index(row, 0).data(Qt::UserRole).toInt();
        QVERIFY(model.hasTableInfo(id));
        QCOMPARE(model.tableInfo(id).lobbyPath, QStringLiteral("101/Regular"));
        QCOMPARE(model.rowOfTable(id), row);
    }
    QCOMPARE(proxy.index(0, 0).data().toString(), QStringLiteral("A first"));
    model.unsubscribe("101/Regular");
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(proxy.rowCount(), 0);
}

QTEST_MAIN(TableModelTest)
#include "tst_tablemodel.moc"
