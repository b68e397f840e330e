// The table selector: which buttons show for the lobby and for tables, the
// strip kept within its ends while scrolling, names and countdowns on the
// buttons, and refused ids that leave the strip alone.

#include "GameFixtures.h"
#include "SelectorButton.h"
#include "TableSelector.h"
#include "TileTestSupport.h"
#include "TimeSpan.h"
#include "TimerView.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>

using namespace fixtures;

namespace {
TableInfo named(qint32 id, const QString& name, int gameType = 2)
{
    TableInfo info = table(0, gameType);
    info.tableId = id;
    info.name = name;
    return info;
}
}

class TestTableSelector : public QObject
{
    Q_OBJECT

    QStringList shownButtons(TableSelector& selector)
    {
        QStringList shown;
        if (!selector.lobbyButton()->isHidden())
            shown << QStringLiteral("lobby");
        for (qint32 id : {1, 2, 3})
            if (selector.button(id) != nullptr && !selector.button(id)->isHidden())
                shown << QString::number(id);
        return shown;
    }

private Q_SLOTS:
    void initTestCase() { TileTestSupport::installSearchPaths(); }
    void visibleButtons_data()
    {
        QTest::addColumn<int>("tables");
        QTest::addColumn<int>("active");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("lobby active, one table") << 1 << -1 << QStringList{QStringLiteral("1")};
        QTest::newRow("lobby active, two tables") << 2 << -1 << QStringList{QStringLiteral("1"), QStringLiteral("2")};
        QTest::newRow("only table active") << 1 << 1 << QStringList{QStringLiteral("lobby")};
        QTest::newRow("one of two tables active")
            << 2 << 2 << QStringList{QStringLiteral("lobby"), QStringLiteral("1"), QStringLiteral("2")};
    }
    void visibleButtons()
    {
        QFETCH(int, tables);
        QFETCH(int, active);
        QFETCH(QStringList, shown);
        TableSelector selector;
        for (int id = 1; id <= tables; ++id)
            selector.addTable(named(id, QStringLiteral("t%1").arg(id)));
        selector.setActiveTable(active);
        QCOMPARE(selector.activeTable(), active);
        QCOMPARE(shownButtons(selector), shown);
    }

    void clicksReportTheTable()
    {
        TableSelector selector;
        selector.addTable(named(1, QStringLiteral("a")));
        selector.setActiveTable(1);
        QSignalSpy spy(&selector, &TableSelector::tableClicked);
        QTest::mouseClick(selector.lobbyButton(), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), -1);
    }

    void stripStaysWithinItsEnds()
    {
        TableSelector selector;
        selector.resize(400, 30);
        selector.show();
        for (int id = 1; id <= 3; ++id)
            selector.addTable(named(id, QStringLiteral("A long table name %1").arg(id)));
        for (int id = 10; id <= 20; ++id)
            selector.addTable(named(id, QStringLiteral("t%1").arg(id)));
        selector.setActiveTable(-1);
        auto* left = selector.findChild<QToolButton*>(QStringLiteral("selectorLeft"));
        auto* right = selector.findChild<QToolButton*>(QStringLiteral("selectorRight"));
        QVERIFY(left->isVisible() && right->isVisible());
        auto* area = selector.findChild<QWidget*>(QStringLiteral("scrollArea"));
        auto* strip = selector.findChild<QWidget*>(QStringLiteral("buttons"));
        const int leftmost = area->width() - strip->width();
        QVERIFY(leftmost < 0);
        for (int i = 0; i < 100; ++i)
            QTest::mouseClick(right, Qt::LeftButton);
        QCOMPARE(selector.stripPosition(), leftmost);
        QTest::mouseClick(left, Qt::LeftButton);
        QCOMPARE(selector.stripPosition(), std::min(0, leftmost + 40));
        for (int i = 0; i < 100; ++i)
            QTest::mouseClick(left, Qt::LeftButton);
        QCOMPARE(selector.stripPosition(), 0);
        // A table out of view that asks for something comes into view, marked while it asks.
        SelectorButton* asking = selector.button(19);
        selector.onTableActivity(19, true, TimeSpan(QDateTime::currentDateTimeUtc(), qint64(15000)));
        QVERIFY(asking->asksForAttention() && area->rect().contains(asking->geometry().translated(strip->pos())));
        QCOMPARE(selector.askingTable(-1), 19);
        selector.onTableActivity(19, false, TimeSpan());
        QVERIFY(!asking->asksForAttention() && selector.askingTable(-1) == -1);
        // Tables closing while scrolled right bring the strip back within bounds.
        for (int i = 0; i < 100; ++i)
            QTest::mouseClick(right, Qt::LeftButton);
        for (int id = 10; id <= 20; ++id)
            selector.removeTable(id);
        QTRY_VERIFY(!right->isVisible());
        QTRY_COMPARE(selector.stripPosition(), 0);
    }

    void namesAreShortenedButKept_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("whole");
        QTest::newRow("long, narrow strip") << QStringLiteral("Bamboo Grove Deluxe") << 120 << false;
        QTest::newRow("markup, narrow strip") << QStringLiteral("<b>x</b> & %1") << 120 << false;
        QTest::newRow("long, room to spare") << QStringLiteral("Bamboo Grove Deluxe") << 900 << true;
        QTest::newRow("markup, room to spare") << QStringLiteral("<b>x</b> & %1") << 900 << true;
    }
    void namesAreShortenedButKept()
    {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(bool, whole);
        TableSelector selector;
        selector.resize(width, 30);
        selector.show();
        selector.addTable(named(1, name, 1));
        selector.addTable(named(2, QStringLiteral("Second table"), 0));
        SelectorButton* b = selector.button(1);
        if (whole) {
            QCOMPARE(b->text(), QString(name).replace(QStringLiteral("&"), QStringLiteral("&&")));
        } else {
            QVERIFY(b->text().size() < name.size());
            QVERIFY(b->text().contains(QStringLiteral("...")));
        }
        QCOMPARE(QTextDocumentFragment::fromHtml(b->toolTip()).toPlainText(), name);
        QVERIFY(!b->icon().isNull());
        // The strip follows the selector's width both ways.
        selector.resize(whole ? 120 : 900, 30);
        QCOMPARE(b->text().contains(QStringLiteral("...")), whole);
    }

    void activityCountdown()
    {
        TableSelector selector;
        selector.addTable(named(1, QStringLiteral("a")));
        selector.show();
        SelectorButton* b = selector.button(1);
        const TimeSpan span(QDateTime::currentDateTimeUtc(), qint64(15000));
        selector.onTableActivity(1, true, span);
        QVERIFY(b->countdown()->isVisible());
        QCOMPARE(b->countdown()->deadline(), span.end());
        selector.onTableActivity(1, false, TimeSpan());
        QVERIFY(!b->countdown()->isVisible());
        // Hidden, the dial is never repainted: clearing must stop its ticker.
        QVERIFY(!b->countdown()->ticker().isActive());
        selector.onTableActivity(99, true, span); // an unknown table is ignored
    }

    void refusedIdsLeaveTheStripAlone_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicate") << 0 << QStringLiteral("duplicate table: 1");
        QTest::newRow("remove missing") << 1 << QStringLiteral("missing table when removing from table selector, id: 7");
        QTest::newRow("activate missing") << 2 << QStringLiteral("set active table for missing id: 7");
        QTest::newRow("info for missing") << 3 << QStringLiteral("missing table on table info, id: 7");
    }
    void refusedIdsLeaveTheStripAlone()
    {
        QFETCH(int, operation);
        QFETCH(QString, message);
        TableSelector selector;
        selector.addTable(named(1, QStringLiteral("a")));
        selector.setActiveTable(1);
        try {
            switch (operation) {
            case 0: selector.addTable(named(1, QStringLiteral("again"))); break;
            case 1: selector.removeTable(7); break;
            case 2: selector.setActiveTable(7); break;
            default: selector.onTableInfo(named(7, QStringLiteral("x"))); break;
            }
            QFAIL("no exception");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
        QCOMPARE(selector.activeTable(), 1);
        QCOMPARE(selector.button(1)->text(), QStringLiteral("a"));
    }
};

QTEST_MAIN(TestTableSelector)
#include "tst_tableselector.moc"
