// The lobby slices (LobbyModel) and the user's filters and sorting
// (LobbyTableFilter), grouped by column.
#include "LobbyModel.h"
#include "LobbyRoles.h"
#include "LobbyTableFilter.h"
#include "LobbyTestData.h"
#include "TableLobbyFilter.h"
#include "TableModel.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

using namespace lobbytest;

namespace {
QStringList names(const QAbstractItemModel& model)
{
    QStringList result;
    for (int row = 0; row < model.rowCount(); ++row)
        result << model.index(row, 0).data().toString();
    return result;
}
}

class LobbyFiltersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init();
    void cleanup();

    // LobbyModel slices and their subscriptions
    void emptyPathShowsNothingAndSubscribesNothing();
    void pathSliceSubscribesOnce();
    void pathSliceMatchesWholeSegments();
    void switchingTableModelsMovesTheSubscription();
    void tableSliceByIds();
    void nullFilterReleasesAndHidesAll();
    void filterChangedInPlaceIsReleasedAsTaken();
    void destroyedTableModelLeavesProxyWithoutSource();
    void tableInfoNeedsATableModel();

    // Players column
    void emptyAndFullTables();
    void sortByPlayers();
    // Rules column
    void rulesetsAndGameTypes();
    void sortByRules();
    // Time limit column
    void sortByTimeLimit();
    // Buy-in and max win columns
    void buyInMask();
    void sortByBuyInAndMaxWin();
    // Name column and words
    void sortByNameLocaleAware();
    void freeTextWords();
    void freeTextSearchesEveryColumn();

    void proxiesPassTheModelTester();

private:
    void add(const TableInfo& info) { m_model->addOrUpdateTable(info); }

    std::unique_ptr<TableModel> m_model;
    std::unique_ptr<LobbyModel> m_lobby;
    std::unique_ptr<LobbyTableFilter> m_filter;
};

void LobbyFiltersTest::init()
{
    m_model = std::make_unique<TableModel>(nullptr);
    m_lobby = std::make_unique<LobbyModel>();
    m_lobby->setSourceModel(m_model.get());
    m_lobby->setLobbyPath("101/Regular");
    m_filter = std::make_unique<LobbyTableFilter>();
    m_filter->setSourceModel(m_lobby.get());
    m_filter->setEmptyTablesMode(FilterAny);
}

void LobbyFiltersTest::cleanup()
{
    m_filter.reset();
    m_lobby.reset();
    QVERIFY(m_model->subscriptions().isEmpty());
    m_model.reset();
}

void LobbyFiltersTest::emptyPathShowsNothingAndSubscribesNothing()
{
    LobbyModel lobby;
    lobby.setSourceModel(m_model.get());
    add(makeTable(1, "101/Regular"));
    QCOMPARE(lobby.rowCount(), 0);
    QCOMPARE(m_model->subscriptions().value("101/Regular"), 1); // only m_lobby's
}

void LobbyFiltersTest::pathSliceSubscribesOnce()
{
    QCOMPARE(m_model->subscriptions().value("101/Regular"), 1);
    m_lobby->setLobbyPath("101/Regular");
    QCOMPARE(m_model->subscriptions().value("101/Regular"), 1);
    add(makeTable(1, "101/Regular"));
    m_lobby->setLobbyPath("101/Practice");
    QVERIFY(!m_model->subscriptions().contains("101/Regular"));
    QCOMPARE(m_model->subscriptions().value("101/Practice"), 1);
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_lobby->rowCount(), 0);
}

void LobbyFiltersTest::pathSliceMatchesWholeSegments()
{
    m_model->subscribe("101/mtt/1");
    m_model->subscribe("101/mtt/12");
    LobbyModel lobby;
    lobby.setSourceModel(m_model.get());
    lobby.setLobbyPath("101/mtt/1");
    add(makeTable(1, "101/mtt/1"));
    add(makeTable(2, "101/mtt/12"));
    add(makeTable(3, "101/mtt/1/b"));
    QCOMPARE(names(lobby), (QStringList{"Table 1", "Table 3"}));
    lobby.setLobbyPath(QString());
    m_model->unsubscribe("101/mtt/1");
    m_model->unsubscribe("101/mtt/12");
}

void LobbyFiltersTest::switchingTableModelsMovesTheSubscription()
{
    // The slice is released on the model it leaves and taken on the new one,
    // whose rows it then shows; back again, the old model's count is one.
    TableModel other(nullptr);
    add(makeTable(1, "101/Regular"));
    m_lobby->setSourceModel(&other);
    QVERIFY(m_model->subscriptions().isEmpty());
    QCOMPARE(other.subscriptions(), (QMap<QString, int>{{QStringLiteral("101/Regular"), 1}}));
    other.addOrUpdateTable(makeTable(7, "101/Regular"));
    QCOMPARE(names(*m_lobby), QStringList{"Table 7"});
    m_lobby->setSourceModel(m_model.get());
    QVERIFY(other.subscriptions().isEmpty());
    QCOMPARE(m_model->subscriptions(), (QMap<QString, int>{{QStringLiteral("101/Regular"), 1}}));
    QCOMPARE(m_lobby->rowCount(), 0); // the first model's rows went with its release
}

void LobbyFiltersTest::tableSliceByIds()
{
    m_model->subscribe("101/Practice");
    add(makeTable(1, "101/Regular"));
    add(makeTable(2, "101/Practice"));
    add(makeTable(3, "101/Regular"));
    TableLobbyFilter friends;
    friends.paths = QStringList{"101/Regular", "101/Practice", QString()};
    friends.tableIds = {2, 3};
    LobbyModel lobby;
    lobby.setSourceModel(m_model.get());
    lobby.setFilter(&friends);
    QCOMPARE(m_model->subscriptions().value("101/Regular"), 2);
    QCOMPARE(m_model->subscriptions().value("101/Practice"), 2);
    QCOMPARE(names(lobby), (QStringList{"Table 2", "Table 3"}));
    QCOMPARE(lobby.tableInfo(2).lobbyPath, QStringLiteral("101/Practice"));
    friends.tableIds.clear();
    lobby.setFilter(nullptr);
    lobby.setFilter(&friends);
    QCOMPARE(lobby.rowCount(), 0);
    lobby.setFilter(nullptr);
    m_model->unsubscribe("101/Practice");
}

void LobbyFiltersTest::nullFilterReleasesAndHidesAll()
{
    add(makeTable(1, "101/Regular"));
    m_model->subscribe("101/Regular"); // keep the rows
    m_lobby->setFilter(nullptr);
    QCOMPARE(m_model->subscriptions().value("101/Regular"), 1);
    QCOMPARE(m_lobby->rowCount(), 0);
    QCOMPARE(m_filter->rowCount(), 0);
    m_lobby->setLobbyPath("101/Regular");
    QCOMPARE(m_filter->rowCount(), 1);
    m_model->unsubscribe("101/Regular");
}

void LobbyFiltersTest::filterChangedInPlaceIsReleasedAsTaken()
{
    TableLobbyFilter friends;
    friends.paths = QStringList{"101/Practice"};
    friends.tableIds = {1};
    LobbyModel lobby;
    lobby.setSourceModel(m_model.get());
    lobby.setFilter(&friends);
    // The owner changes the paths behind the model's back: the release still
    // goes to the path that was subscribed.
    friends.paths = QStringList{"101/mtt/4"};
    lobby.setFilter(nullptr);
    QVERIFY(!m_model->subscriptions().contains("101/Practice"));
}

void LobbyFiltersTest::destroyedTableModelLeavesProxyWithoutSource()
{
    m_filter.reset();
    m_model.reset();
    QCOMPARE(m_lobby->sourceModel(), nullptr);
    QCOMPARE(m_lobby->rowCount(), 0);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_lobby->tableInfo(1));
    m_lobby.reset(); // releases nothing on a model that is gone
    m_model = std::make_unique<TableModel>(nullptr);
}

void LobbyFiltersTest::tableInfoNeedsATableModel()
{
    QStandardItemModel other;
    LobbyModel lobby;
    lobby.setSourceModel(&other);
    try {
        lobby.tableInfo(1);
        QFAIL("no exception");
    } catch (const std::runtime_error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Source model not set to table model"));
    }
}

void LobbyFiltersTest::emptyAndFullTables()
{
    add(makeTable(1, "101/Regular", "empty", 0, 0, 20000, TableCapacity(4, 0, 0)));
    add(makeTable(2, "101/Regular", "some", 0, 0, 20000, TableCapacity(4, 2, 0)));
    add(makeTable(3, "101/Regular", "full", 0, 0, 20000, TableCapacity(4, 4, 2)));
    m_filter->sort(0);

    LobbyTableFilter initial;
    initial.setSourceModel(m_lobby.get());
    initial.sort(0);
    QCOMPARE(names(initial), (QStringList{"full", "some"})); // empty tables hidden at first

    m_filter->setEmptyTablesMode(FilterOnly);
    QCOMPARE(names(*m_filter), QStringList{"empty"});
    m_filter->setEmptyTablesMode(FilterAny);
    m_filter->setFullTablesMode(FilterExclude);
    QCOMPARE(names(*m_filter), (QStringList{"empty", "some"}));
    m_filter->setFullTablesMode(FilterOnly);
    QCOMPARE(names(*m_filter), QStringList{"full"});
    m_filter->setFullTablesMode(FilterNone);
    QCOMPARE(m_filter->rowCount(), 0);
    m_filter->setFullTablesMode(7); // any other value lets all pass
    QCOMPARE(m_filter->rowCount(), 3);

    // A table filling up leaves the view when full tables are excluded.
    m_filter->setFullTablesMode(FilterExclude);
    m_model->updateTableInfo(2, 4, {});
    QCOMPARE(names(*m_filter), QStringList{"empty"});
}

void LobbyFiltersTest::sortByPlayers()
{
    add(makeTable(1, "101/Regular", "a", 0, 0, 20000, TableCapacity(4, 3, 0)));
    add(makeTable(2, "101/Regular", "b", 0, 0, 20000, TableCapacity(4, 2, 0)));
    add(makeTable(3, "101/Regular", "c", 0, 0, 20000, TableCapacity(3, 3, 0)));
    add(makeTable(4, "101/Regular", "d", 0, 0, 20000, TableCapacity(4, 2, 1)));
    m_filter->sort(TableModel::PlayersColumn);
    QCOMPARE(names(*m_filter), (QStringList{"c", "b", "d", "a"}));
    m_filter->sort(TableModel::PlayersColumn, Qt::DescendingOrder);
    QCOMPARE(names(*m_filter), (QStringList{"a", "d", "b", "c"}));
}

void LobbyFiltersTest::rulesetsAndGameTypes()
{
    add(makeTable(1, "101/Regular", "classic single", 0, 0));
    add(makeTable(2, "101/Regular", "international full", 1, 2));
    add(makeTable(3, "101/Regular", "riichi full", 2, 2));
    add(makeTable(4, "101/Regular", "riichi tournament", 2, 1));
    m_filter->sort(0);

    m_filter->setRulesetFilterActive(true);
    QCOMPARE(m_filter->rowCount(), 0); // active with nothing chosen hides all
    m_filter->addRuleset(2);
    QCOMPARE(names(*m_filter), (QStringList{"riichi full", "riichi tournament"}));
    m_filter->addRuleset(0);
    m_filter->setGameTypeFilterActive(true);
    m_filter->addGameType(2);
    QCOMPARE(names(*m_filter), QStringList{"riichi full"});
    m_filter->addGameType(0);
    QCOMPARE(names(*m_filter), (QStringList{"classic single", "riichi full"}));
    m_filter->removeRuleset(2);
    QCOMPARE(names(*m_filter), QStringList{"classic single"});
    m_filter->setRulesetFilterActive(false);
    m_filter->removeGameType(0);
    QCOMPARE(names(*m_filter), (QStringList{"international full", "riichi full"}));
}

void LobbyFiltersTest::sortByRules()
{
    add(makeTable(1, "101/Regular", "a", 2, 0)); // Riichi single hand
    add(makeTable(2, "101/Regular", "b", 0, 2)); // Classic full game
    add(makeTable(3, "101/Regular", "c", 1, 1)); // International tournament
    add(makeTable(4, "101/Regular", "d", 3, 0)); // <undefined> single hand
    m_filter->sort(TableModel::RulesColumn);
    QCOMPARE(names(*m_filter), (QStringList{"d", "b", "c", "a"}));
}

void LobbyFiltersTest::sortByTimeLimit()
{
    add(makeTable(1, "101/Regular", "slow", 0, 0, 30000));
    add(makeTable(2, "101/Regular", "fast", 0, 0, 5000));
    add(makeTable(3, "101/Regular", "medium", 0, 0, 15999));
    add(makeTable(4, "101/Regular", "unknown", 0, 0, -1));
    m_filter->sort(TableModel::TimeLimitColumn);
    // By milliseconds: as text "30 second(s)" would sort before "5 second(s)".
    QCOMPARE(names(*m_filter), (QStringList{"unknown", "fast", "medium", "slow"}));
}

void LobbyFiltersTest::buyInMask()
{
    add(makeTable(1, "101/Regular", "free", 0, 0, 20000, TableCapacity(4, 1, 0)));
    add(makeTable(2, "101/Regular", "money", 0, 0, 20000, TableCapacity(4, 1, 0), Money{2, 100, 0, 0}));
    add(makeTable(3, "101/Regular", "kind0 with bet", 0, 0, 20000, TableCapacity(4, 1, 0), Money{0, 100, 0, 0}));
    m_filter->sort(0);
    m_filter->setBuyInMask(0);
    QCOMPARE(m_filter->rowCount(), 0);
    m_filter->setBuyInMask(1);
    QCOMPARE(names(*m_filter), (QStringList{"free", "kind0 with bet"}));
    m_filter->setBuyInMask(2);
    QCOMPARE(names(*m_filter), QStringList{"money"});
    m_filter->setBuyInMask(3);
    QCOMPARE(m_filter->rowCount(), 3);
}

void LobbyFiltersTest::sortByBuyInAndMaxWin()
{
    add(makeTable(1, "101/Regular", "ten", 0, 0, 20000, TableCapacity(4, 1, 0), Money{2, 1000, 0, 0}));
    add(makeTable(2, "101/Regular", "nine plus fee", 0, 0, 20000, TableCapacity(4, 1, 0), Money{2, 900, 50, 0}));
    add(makeTable(3, "101/Regular", "free", 0, 0, 20000, TableCapacity(4, 1, 0)));
    add(makeTable(4, "101/Regular", "two players", 0, 0, 20000, TableCapacity(2, 1, 0), Money{1, 2000, 0, 10}));
    m_filter->sort(TableModel::BuyInColumn);
    QCOMPARE(names(*m_filter), (QStringList{"free", "nine plus fee", "ten", "two players"}));
    // Max win: 0, 3600 (2 x 2000 less 10%), 3600 (4 x 900), 4000 (4 x 1000).
    m_filter->sort(TableModel::MaxWinColumn);
    const QStringList byWin = names(*m_filter);
    QCOMPARE(byWin.first(), QStringLiteral("free"));
    QCOMPARE(byWin.last(), QStringLiteral("ten"));
}

void LobbyFiltersTest::sortByNameLocaleAware()
{
    add(makeTable(1, "101/Regular", "beta"));
    add(makeTable(2, "101/Regular", "Alpha"));
    add(makeTable(3, "101/Regular", "alpha two"));
    add(makeTable(4, "101/Regular", "Zeta"));
    m_filter->sort(TableModel::NameColumn);
    const QStringList sorted = names(*m_filter);
    QCOMPARE(sorted.last(), QStringLiteral("Zeta"));
    QCOMPARE(sorted.indexOf("beta"), 2); // a plain code-unit order would put "Zeta" before "beta"
}

void LobbyFiltersTest::freeTextWords()
{
    m_filter->setFreeText("  riichi   Dragon ");
    QCOMPARE(m_filter->words(), (QSet<QString>{"riichi", "Dragon"}));
    m_filter->setFreeText(QString::fromUtf8("riichi\u3000Dragon\u00a0\t"));
    QCOMPARE(m_filter->words(), (QSet<QString>{"riichi", "Dragon"}));
    m_filter->setFreeText(QString());
    QVERIFY(m_filter->words().isEmpty());
}

void LobbyFiltersTest::freeTextSearchesEveryColumn()
{
    add(makeTable(1, "101/Regular", "Red Dragon", 2, 2, 20000));
    add(makeTable(2, "101/Regular", "Green Dragon", 0, 0, 10000));
    add(makeTable(3, "101/Regular", "Riichi corner", 0, 0, 10000));
    add(makeTable(4, "101/Regular", "Money", 1, 2, 10000, TableCapacity(4, 1, 0), Money{2, 150, 0, 0}));
    m_filter->sort(0);
    m_filter->setFreeText("riichi dragon");
    QCOMPARE(names(*m_filter), QStringList{"Red Dragon"}); // name and rules column
    m_filter->setFreeText("RIICHI");
    QCOMPARE(names(*m_filter), (QStringList{"Red Dragon", "Riichi corner"}));
    m_filter->setFreeText("10 second");
    QCOMPARE(names(*m_filter), (QStringList{"Green Dragon", "Money", "Riichi corner"}));
    m_filter->setFreeText("$1.50");
    QCOMPARE(names(*m_filter), QStringList{"Money"});
    m_filter->setFreeText("nothing-like-this");
    QCOMPARE(m_filter->rowCount(), 0);
    m_filter->setFreeText(" ");
    QCOMPARE(m_filter->rowCount(), 4);
    // An input method's ideographic space; letters whose case is not one to one.
    add(makeTable(5, "101/Regular", QString::fromUtf8("\u0130zmir Club")));
    m_filter->setFreeText(QString::fromUtf8("riichi\u3000dragon"));
    QCOMPARE(names(*m_filter), QStringList{"Red Dragon"});
    m_filter->setFreeText("izmir");
    QCOMPARE(names(*m_filter), QStringList{QString::fromUtf8("\u0130zmir Club")});
    m_filter->setFreeText(QString::fromUtf8("\u0130ZM\u0130R"));
    QCOMPARE(names(*m_filter), QStringList{QString::fromUtf8("\u0130zmir Club")});
    // Full-width letters and digits as an input method types them; half-width katakana in a name.
    for (const auto& [id, name] : {std::pair{6, "Tokyo abc"}, {7, "ルーム1"}, {8, "ﾘｰﾁ部屋"}})
        add(makeTable(id, "101/Regular", QString::fromUtf8(name)));
    for (const auto& [find, name] : {std::pair{"ｔｏｋｙｏ ａｂｃ", "Tokyo abc"}, {"ＴＯＫＹＯ", "Tokyo abc"},
                                     {"ルーム１", "ルーム1"}, {"リーチ", "ﾘｰﾁ部屋"}, {"ﾙｰﾑ", "ルーム1"}}) {
        m_filter->setFreeText(QString::fromUtf8(find));
        QCOMPARE(names(*m_filter), QStringList{QString::fromUtf8(name)});
    }
}

void LobbyFiltersTest::proxiesPassTheModelTester()
{
    QAbstractItemModelTester lobbyTester(m_lobby.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester filterTester(m_filter.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_filter->setFullTablesMode(FilterExclude);
    m_filter->sort(TableModel::PlayersColumn);
    m_model->subscribe("101/Practice");
    for (int id = 1; id <= 30; ++id)
        add(makeTable(id, id % 4 ? "101/Regular" : "101/Practice", {}, id % 3, id % 2 * 2, 1000 * id,
                      TableCapacity(4, id % 5, id % 2)));
    for (int id = 1; id <= 30; id += 3)
        m_model->updateTableInfo(id, (id + 2) % 5, {});
    m_filter->setFreeText("Table 1");
    m_filter->setFreeText(QString());
    for (int id = 1; id <= 30; id += 4)
        m_model->onTableRemoved(id);
    m_model->unsubscribe("101/Practice");
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const auto capacity = m_filter->index(row, TableModel::PlayersColumn).data().value<TableCapacity>();
        QVERIFY(capacity.seated() != capacity.capacity());
        if (row > 0) {
            const auto previous = m_filter->index(row - 1, TableModel::PlayersColumn).data().value<TableCapacity>();
            QVERIFY(previous.seated() <= capacity.seated());
        }
    }
}

QTEST_MAIN(LobbyFiltersTest)
#include "tst_lobbyfilters.moc"
