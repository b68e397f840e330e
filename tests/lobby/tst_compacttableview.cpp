// The compact table cards: one card per table, newest on top, the current
// card through inserts, removals and resets, and what a card shows.
#include "CompactTableItem.h"
#include "CompactTableView.h"
#include "LobbyModel.h"
#include "LobbyTestData.h"
#include "TableCapacityWidget.h"
#include "TableModel.h"

#include <QLabel>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

using lobbytest::makeTable;

namespace {

const QString path = QStringLiteral("101/Friends");

struct Fixture
{
    TableModel tables{nullptr};
    LobbyModel lobby;
    CompactTableView view;

    explicit Fixture(QList<qint32> ids)
    {
        lobby.setLobbyPath(path);
        lobby.setSourceModel(&tables);
        for (qint32 id : ids)
            tables.addOrUpdateTable(makeTable(id, path, QStringLiteral("Table %1").arg(id)));
    }
};

}

class TestCompactTableView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cardsFollowTheRows_data()
    {
        QTest::addColumn<QList<qint32>>("initial");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QList<qint32>>("topDown");
        QTest::addColumn<qint32>("current");
        QTest::newRow("bound") << QList<qint32>{11, 12, 13} << QString() << QList<qint32>{13, 12, 11} << -1;
        QTest::newRow("inserted on top") << QList<qint32>{11, 12} << QStringLiteral("add 14")
                                         << QList<qint32>{14, 12, 11} << 11;
        QTest::newRow("current removed") << QList<qint32>{11, 12} << QStringLiteral("remove 11")
                                         << QList<qint32>{12} << -1;
        QTest::newRow("other removed") << QList<qint32>{11, 12} << QStringLiteral("remove 12") << QList<qint32>{11}
                                       << 11;
        QTest::newRow("first into an empty view") << QList<qint32>{} << QStringLiteral("add 20") << QList<qint32>{20}
                                                  << -1;
    }

    void cardsFollowTheRows()
    {
        QFETCH(QList<qint32>, initial);
        QFETCH(QString, change);
        QFETCH(QList<qint32>, topDown);
        QFETCH(qint32, current);
        Fixture f(initial);
        f.view.setModel(&f.lobby);
        if (!change.isEmpty() && initial.contains(11))
            QTest::mouseClick(f.view.item(11), Qt::LeftButton); // only the user chooses
        const QStringList words = change.split(QLatin1Char(' '));
        if (words.first() == QLatin1String("add"))
            f.tables.addOrUpdateTable(makeTable(words.last().toInt(), path));
        else if (words.first() == QLatin1String("remove"))
            f.tables.onTableRemoved(words.last().toInt());
        QTRY_COMPARE(f.view.tableIdsTopDown(), topDown);
        QCOMPARE(f.view.currentTableId(), current);
        for (qint32 id : topDown)
            QCOMPARE(f.view.item(id)->isSelected(), id == current);
    }

    void clicksChooseAndDoubleClicksReport()
    {
        Fixture f({11, 12});
        f.view.setModel(&f.lobby);
        QSignalSpy doubled(&f.view, &CompactTableView::tableDoubleClicked);
        QTest::mouseClick(f.view.item(12), Qt::LeftButton);
        QCOMPARE(f.view.currentTableId(), 12);
        QVERIFY(!f.view.item(11)->isSelected());
        QTest::mouseDClick(f.view.item(12), Qt::LeftButton);
        QTest::mouseDClick(f.view.item(12), Qt::LeftButton);
        QCOMPARE(doubled.size(), 2);
        QCOMPARE(doubled.last().first().toInt(), 12);
    }

    void aCardShowsItsTableAndItsChanges()
    {
        Fixture f({});
        f.tables.addOrUpdateTable(makeTable(31, path, QStringLiteral("<i>Jade</i> hall"), 2, 2, 15000,
                                            TableCapacity(4, 1, 0), {2, 500, 50}));
        f.view.setModel(&f.lobby);
        CompactTableItem* card = f.view.item(31);
        QCOMPARE(card->tableNameLabel()->text(), QStringLiteral("<i>Jade</i> hall"));
        QCOMPARE(card->tableNameLabel()->textFormat(), Qt::PlainText);
        QVERIFY(card->speedValue()->text().startsWith(QLatin1String("15 second")));
        QVERIFY(!card->buyInValue()->text().isEmpty());
        QCOMPARE(card->playersValue()->capacity().seated(), 1);
        f.tables.updateTableInfo(31, 3, {});
        QCOMPARE(card->playersValue()->capacity().seated(), 3);
    }

    void aResetRebuildsTheCards()
    {
        Fixture f({11, 12});
        f.view.setModel(&f.lobby);
        QTest::mouseClick(f.view.item(12), Qt::LeftButton);
        TableModel other(nullptr);
        other.subscribe(path);
        other.addOrUpdateTable(makeTable(12, path));
        other.addOrUpdateTable(makeTable(40, path));
        // A new source resets the proxy: the cards follow, the choice stays.
        f.tables.subscribe(path); // the old source keeps its rows until then
        f.lobby.setSourceModel(&other);
        QCOMPARE(f.view.tableIdsTopDown(), (QList<qint32>{40, 12}));
        QCOMPARE(f.view.currentTableId(), 12);
    }

    void rowsWithoutACardAreIgnored()
    {
        QStandardItemModel model;
        auto* a = new QStandardItem(QStringLiteral("a"));
        a->setData(5, Qt::UserRole);
        model.appendRow(a);
        model.appendRow(new QStandardItem(QStringLiteral("no id")));
        auto* dup = new QStandardItem(QStringLiteral("a again"));
        dup->setData(5, Qt::UserRole);
        model.appendRow(dup);
        CompactTableView view;
        view.setModel(&model);
        QCOMPARE(view.tableIdsTopDown(), QList<qint32>{5});
        model.item(1)->setText(QStringLiteral("changed"));
        model.removeRow(1);
        QCOMPARE(view.tableIdsTopDown(), QList<qint32>{5});
        QCOMPARE(view.currentTableId(), -1);
    }
};

QTEST_MAIN(TestCompactTableView)

#include "tst_compacttableview.moc"
