// The lobby tab: which tables its filters let through, the "lobby/" keys it
// keeps and restores, and the join and watch requests it emits.
#include "LobbyTestData.h"
#include "LobbyTableFilter.h"
#include "LobbyWindow.h"
#include "TableModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QGroupBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeView>

using lobbytest::makeTable;

namespace {

const QString regular = QStringLiteral("101/Regular");

/// Seven regular tables and one practice table:
/// 1 classic single hand, 2 international full game, 3 riichi single hand,
/// 4 classic full game and full, 5 riichi single hand and empty,
/// 6 classic single hand for money, 7 a tournament table, 8 practice.
void fill(TableModel& model)
{
    model.subscribe(regular);
    model.subscribe(QStringLiteral("101/Practice"));
    model.addOrUpdateTable(makeTable(1, regular, QStringLiteral("Bamboo"), 0, 0));
    model.addOrUpdateTable(makeTable(2, regular, QStringLiteral("Crane"), 1, 2));
    model.addOrUpdateTable(makeTable(3, regular, QStringLiteral("Dragon"), 2, 0));
    model.addOrUpdateTable(makeTable(4, regular, QStringLiteral("Full house"), 0, 2, 20000, TableCapacity(4, 4, 0)));
    model.addOrUpdateTable(makeTable(5, regular, QStringLiteral("Empty hall"), 2, 0, 20000, TableCapacity(4, 0, 0)));
    model.addOrUpdateTable(
        makeTable(6, regular, QStringLiteral("Gold"), 0, 0, 20000, TableCapacity(4, 1, 0), {2, 500, 50}));
    model.addOrUpdateTable(makeTable(7, regular, QStringLiteral("Cup table"), 0, 1));
    model.addOrUpdateTable(makeTable(8, QStringLiteral("101/Practice"), QStringLiteral("Practice")));
}

QList<int> shownIds(LobbyWindow& window)
{
    QList<int> ids;
    QAbstractItemModel* model = window.treeView()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        ids << model->index(row, 0).data(Qt::UserRole).toInt();
    std::sort(ids.begin(), ids.end());
    return ids;
}

QCheckBox* box(LobbyWindow& window, const char* name)
{
    return window.findChild<QCheckBox*>(QLatin1String(name));
}

QModelIndex rowOf(LobbyWindow& window, int id, int column = 0)
{
    QAbstractItemModel* rows = window.treeView()->model();
    for (int row = 0; row < rows->rowCount(); ++row)
        if (rows->index(row, 0).data(Qt::UserRole).toInt() == id)
            return rows->index(row, column);
    return {};
}

}

class TestLobbyWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

    void storedFiltersDecideTheRows_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QList<int>>("shown");
        const auto map = [](std::initializer_list<std::pair<const char*, bool>> pairs) {
            QVariantMap m;
            for (const auto& [key, value] : pairs)
                m.insert(QLatin1String(key), value);
            return m;
        };
        // Tournament tables have no box and never show.
        QTest::newRow("first start") << QVariantMap() << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::newRow("no classic") << map({{"lobby/classic", false}}) << QList<int>{2, 3, 5};
        QTest::newRow("only riichi") << map({{"lobby/classic", false}, {"lobby/international", false}})
                                     << QList<int>{3, 5};
        QTest::newRow("no full games") << map({{"lobby/fullgame", false}}) << QList<int>{1, 3, 5, 6};
        QTest::newRow("exclude full and empty")
            << map({{"lobby/excludefulltables", true}, {"lobby/excludeemptytables", true}}) << QList<int>{1, 2, 3, 6};
        QTest::newRow("only money") << map({{"lobby/playforfree", false}}) << QList<int>{6};
        QTest::newRow("only free") << map({{"lobby/playformoney", false}}) << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("neither buy-in") << map({{"lobby/playforfree", false}, {"lobby/playformoney", false}})
                                        << QList<int>{};
    }

    void storedFiltersDecideTheRows()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QList<int>, shown);
        QSettings settings;
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            settings.setValue(it.key(), it.value());
        TableModel model(nullptr);
        fill(model);
        LobbyWindow window;
        window.setModel(&model);
        QCOMPARE(shownIds(window), shown);
        // Restoring writes back only what was checked; nothing stored is changed.
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            QCOMPARE(settings.value(it.key()), it.value());
    }

    void withoutMoneyTablesTheBuyInFilterLetsAllThrough()
    {
        QSettings settings;
        settings.setValue(QStringLiteral("lobby/playforfree"), false);
        settings.setValue(QStringLiteral("lobby/playformoney"), false);
        TableModel model(nullptr);
        model.subscribe(regular);
        model.addOrUpdateTable(makeTable(1, regular));
        model.addOrUpdateTable(makeTable(2, regular));
        LobbyWindow window;
        window.setModel(&model);
        window.show();
        auto* buyIn = window.findChild<QGroupBox*>(QStringLiteral("buyInGroup"));
        // The boxes that could undo the choice are hidden: they must not empty the lobby.
        QVERIFY(!buyIn->isVisible());
        QCOMPARE(box(window, "moneyBet")->text(), QStringLiteral("Real money (soon)"));
        QVERIFY(!box(window, "moneyBet")->isEnabled());
        QCOMPARE(shownIds(window), (QList<int>{1, 2}));
        QCOMPARE(settings.value(QStringLiteral("lobby/playforfree")).toBool(), false);

        // The first money table brings the boxes and the stored choice back.
        model.addOrUpdateTable(makeTable(3, regular, QString(), 0, 0, 20000, TableCapacity(4, 1, 0), {2, 500, 50}));
        QVERIFY(buyIn->isVisible());
        QCOMPARE(box(window, "moneyBet")->text(), QStringLiteral("Real money"));
        QCOMPARE(shownIds(window), QList<int>{});
        model.onTableRemoved(3);
        QTRY_COMPARE(shownIds(window), (QList<int>{1, 2}));
    }

    void choicesAreKeptForTheNextStart()
    {
        TableModel model(nullptr);
        fill(model);
        {
            LobbyWindow window;
            window.setModel(&model);
            QSettings settings;
            for (const char* key : {"lobby/playforfree", "lobby/playformoney", "lobby/singlehand", "lobby/fullgame",
                                    "lobby/classic", "lobby/international", "lobby/riichi"})
                QVERIFY2(settings.value(QLatin1String(key)).toBool(), key);
            QVERIFY(!settings.contains(QStringLiteral("lobby/excludefulltables")));
            box(window, "riichiRules")->setChecked(false);
            box(window, "excludeFullTablesCheckBox")->setChecked(true);
            box(window, "quellmarkGames")->setChecked(false);
            QCOMPARE(shownIds(window), (QList<int>{2}));
        }
        LobbyWindow again;
        again.setModel(&model);
        QVERIFY(!box(again, "riichiRules")->isChecked());
        QVERIFY(box(again, "excludeFullTablesCheckBox")->isChecked());
        QVERIFY(!box(again, "quellmarkGames")->isChecked());
        QCOMPARE(shownIds(again), (QList<int>{2}));
    }

    void tableNamesInToolTipsAreText()
    {
        TableModel model(nullptr);
        model.subscribe(regular);
        model.addOrUpdateTable(makeTable(1, regular, QStringLiteral("<b>Bold</b> & <i>co</i>")));
        LobbyWindow window;
        window.setModel(&model);
        window.resize(900, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeView* view = window.treeView();
        const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
        QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        // What the tool tip's label shows is the name as the server sent it.
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        QCOMPARE(shown.toPlainText().section(QLatin1Char('\n'), 0, 0), QStringLiteral("<b>Bold</b> & <i>co</i>"));
        QToolTip::hideText();
    }

    void headerTextsAreNeverCut()
    {
        TableModel model(nullptr);
        fill(model);
        LobbyWindow window;
        window.setModel(&model);
        window.resize(1024, 640);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* view = window.findChild<QTreeView*>();
        QVERIFY(view);
        QHeaderView* header = view->header();
        const auto asked = [header](int column) { // the sort mark's room only in the sorted column
            header->setSortIndicatorShown(column == header->sortIndicatorSection());
            const int hint = header->sectionSizeHint(column);
            header->setSortIndicatorShown(true);
            return hint;
        };
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column))
                continue;
            const QString text = model.headerData(column, Qt::Horizontal).toString();
            QVERIFY2(header->sectionSize(column) >= asked(column),
                     qPrintable(QStringLiteral("\"%1\" is %2 px wide in a %3 px column")
                                    .arg(text).arg(asked(column)).arg(header->sectionSize(column))));
        }
        // Every column shows: no horizontal scrolling.
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);

        // As narrow as the Tables tab on a small screen: a long name is cut
        // only when no other column is wider than its header and values ask.
        model.addOrUpdateTable(makeTable(9, regular, QStringLiteral("Bamboo Garden of the Eastern Hills"), 2, 2));
        window.resize(660, 640);
        const QAbstractItemView* values = view;
        for (int column = 1; column < header->count(); ++column)
            QTRY_COMPARE(header->sectionSize(column), std::max(asked(column), values->sizeHintForColumn(column)));
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        // A value that grows widens its column at once, without a measure of every row.
        model.addOrUpdateTable(
            makeTable(6, regular, QStringLiteral("Gold"), 0, 0, 20000, TableCapacity(4, 1, 0), {2, 500000000, 50000000}));
        for (int column = 1; column < header->count(); ++column)
            QVERIFY2(header->sectionSize(column) >= values->sizeHintForColumn(column), qPrintable(QString::number(column)));
    }

    void joinAndWatchRequests()
    {
        TableModel model(nullptr);
        fill(model);
        LobbyWindow window;
        window.setModel(&model);
        window.resize(900, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy join(&window, &LobbyWindow::joinTable);
        QSignalSpy watch(&window, &LobbyWindow::watchTable);
        auto* joinButton = window.findChild<QPushButton*>(QStringLiteral("joinButton"));
        auto* watchButton = window.findChild<QPushButton*>(QStringLiteral("watchButton"));

        // Nothing selected: nothing asked.
        QTest::mouseClick(joinButton, Qt::LeftButton);
        QTest::mouseClick(watchButton, Qt::LeftButton);
        QCOMPARE(join.size() + watch.size(), 0);

        QTreeView* view = window.treeView();
        // A double-click on the seat icons of a full table still asks to join;
        // the main window decides to watch.
        const QPoint at = view->visualRect(rowOf(window, 4, TableModel::PlayersColumn)).center();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(join.size(), 1);
        QCOMPARE(join.first().first().toInt(), 4);

        // The double-clicked row is the chosen one.
        QTest::mouseClick(watchButton, Qt::LeftButton);
        QCOMPARE(watch.size(), 1);
        QCOMPARE(watch.first().first().toInt(), 4);
        // A current row taken out of the selection (Ctrl+click) is not a choice.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
        QVERIFY(view->currentIndex().isValid() && !view->selectionModel()->hasSelection());
        QTest::mouseClick(joinButton, Qt::LeftButton);
        QCOMPARE(join.size(), 1);
    }
    void joinAndWatchGoToTheChosenTable_data()
    {
        QTest::addColumn<QByteArray>("change"); // what happens after the player chose Crane (2)
        QTest::addColumn<int>("asked");         // what Join and Watch then ask for; -1: nothing
        QTest::newRow("its players leave, the server removes it") << QByteArray("removed") << -1;
        QTest::newRow("its rules unchecked") << QByteArray("rules") << -1;
        QTest::newRow("full while full tables are excluded") << QByteArray("full") << -1;
        QTest::newRow("searched past") << QByteArray("search") << -1;
        QTest::newRow("a table listed above it") << QByteArray("above") << 2;
        QTest::newRow("the table above it removed") << QByteArray("gone above") << 2;
    }
    void joinAndWatchGoToTheChosenTable()
    {
        QFETCH(QByteArray, change);
        QFETCH(int, asked);
        TableModel model(nullptr);
        fill(model);
        LobbyWindow window;
        window.setModel(&model);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeView* view = window.treeView();
        const auto click = [&window](const char* name) {
            QTest::mouseClick(box(window, name), Qt::LeftButton, {}, QPoint(8, box(window, name)->height() / 2));
        };
        if (change == "full")
            click("excludeFullTablesCheckBox");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(rowOf(window, 2, 1)).center());
        if (change == "removed")
            model.onTableRemoved(2);
        else if (change == "rules")
            click("internationalRules");
        else if (change == "full")
            model.addOrUpdateTable(makeTable(2, regular, QStringLiteral("Crane"), 1, 2, 20000, TableCapacity(4, 4, 0)));
        else if (change == "search")
            QTest::keyClicks(window.findChild<QLineEdit*>(), QStringLiteral("Dragon"));
        else if (change == "above")
            model.addOrUpdateTable(makeTable(9, regular, QStringLiteral("Aardvark")));
        else
            model.onTableRemoved(1);
        QTRY_COMPARE(rowOf(window, change == "above" ? 9 : change == "gone above" ? 1 : 2).isValid(), change == "above");

        QSignalSpy join(&window, &LobbyWindow::joinTable);
        QSignalSpy watch(&window, &LobbyWindow::watchTable);
        for (const char* name : {"joinButton", "watchButton"})
            QTest::mouseClick(window.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
        // Nothing is chosen for the player, not the neighbour row either.
        QCOMPARE(join.size() + watch.size(), asked == -1 ? 0 : 2);
        if (asked != -1)
            QCOMPARE(join.first().first().toInt() + watch.first().first().toInt(), 2 * asked);
        QCOMPARE(view->selectionModel()->selectedRows().value(0).data(Qt::UserRole).toInt(), std::max(asked, 0));
        QCOMPARE(view->currentIndex().isValid(), asked != -1);
    }
};

QTEST_MAIN(TestLobbyWindow)

#include "tst_lobbywindow.moc"
