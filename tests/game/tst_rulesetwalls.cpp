// The wall sizes of the three rulesets and how drawing moves tiles between
// the live and the dead wall; the tile removal the own hand relies on.

#include "RulesetInfo.h"
#include "TableInfo.h"
#include "TileErase.h"
#include "server_error.h"

#include <QTest>

class TestRulesetWalls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wallsHoldTheWholeSet_data()
    {
        // The tile sets: 34 faces four times, plus eight bonus tiles where
        // the ruleset plays with them. A dead wall is seven stacks of two.
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<int>("tiles");
        QTest::addColumn<bool>("hasDeadWall");
        QTest::newRow("classic") << 0 << 34 * 4 + 8 << true;
        QTest::newRow("international") << 1 << 34 * 4 + 8 << false;
        QTest::newRow("riichi") << 2 << 34 * 4 << true;
    }
    void wallsHoldTheWholeSet()
    {
        QFETCH(int, ruleset);
        QFETCH(int, tiles);
        QFETCH(bool, hasDeadWall);
        const RulesetInfo& info = rulesetInfo(ruleset);
        QCOMPARE(info.deadWallTiles() + info.liveWallTiles(), tiles);
        QCOMPARE(info.deadWallTiles(), hasDeadWall ? 7 * 2 : 0);
        // A table's walls are its ruleset's.
        TableInfo table;
        table.ruleset = ruleset;
        QCOMPARE(deadWallSize(table) + liveWallSize(table), tiles);
        QCOMPARE(deadWallSize(table), info.deadWallTiles());
    }

    void unknownRulesetThrows()
    {
        for (int ruleset : {-1, 3, 100}) {
            QVERIFY(!isKnownRuleset(ruleset));
            try {
                rulesetInfo(ruleset);
                QFAIL("no exception");
            } catch (const std::runtime_error& e) {
                QCOMPARE(QString(e.what()), QString("Ruleset not supported"));
            }
        }
    }

    // Each row: ruleset, walls before (live, dead, dealt), the draws as a
    // list of counts (all from the dead wall unless "live" says so), walls
    // after.
    void draws_data()
    {
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<bool>("fromDead");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<int>>("before"); // live, dead, dealt
        QTest::addColumn<QList<int>>("after");

        QTest::newRow("classic: one dead-wall draw, no top-up yet")
            << 0 << true << QList<int>{1} << QList<int>{130, 14, 0} << QList<int>{130, 13, 1};
        QTest::newRow("classic: second draw tops the dead wall up by a pair")
            << 0 << true << QList<int>{1, 1} << QList<int>{130, 14, 0} << QList<int>{128, 14, 2};
        QTest::newRow("classic: a draw of two at once tops up on the second tile")
            << 0 << true << QList<int>{2} << QList<int>{130, 14, 0} << QList<int>{128, 14, 2};
        QTest::newRow("classic: fewer than two live tiles, no top-up")
            << 0 << true << QList<int>{1, 1} << QList<int>{1, 14, 3} << QList<int>{1, 12, 5};
        QTest::newRow("classic: live draw leaves the dead wall alone")
            << 0 << false << QList<int>{13, 1} << QList<int>{130, 14, 2} << QList<int>{116, 14, 2};
        QTest::newRow("international: dead-wall draw takes from the live wall")
            << 1 << true << QList<int>{1} << QList<int>{144, 0, 0} << QList<int>{143, 0, 1};
        QTest::newRow("international: live draw")
            << 1 << false << QList<int>{4} << QList<int>{144, 0, 0} << QList<int>{140, 0, 0};
        QTest::newRow("riichi: the dead wall stays at 14 while live tiles remain")
            << 2 << true << QList<int>{1, 1} << QList<int>{122, 14, 0} << QList<int>{120, 14, 2};
        QTest::newRow("riichi: with the live wall empty the dead wall pays")
            << 2 << true << QList<int>{1} << QList<int>{0, 14, 1} << QList<int>{0, 13, 2};
        QTest::newRow("riichi: a draw of two across the live wall's last tile")
            << 2 << true << QList<int>{2} << QList<int>{1, 14, 0} << QList<int>{0, 13, 2};
        QTest::newRow("unknown ruleset: dead-wall draw only counts as dealt")
            << 7 << true << QList<int>{1} << QList<int>{50, 10, 0} << QList<int>{50, 10, 1};
    }
    void draws()
    {
        QFETCH(int, ruleset);
        QFETCH(bool, fromDead);
        QFETCH(QList<int>, counts);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        int live = before[0], dead = before[1], dealt = before[2];
        for (int count : counts)
            takeFromWall(ruleset, count, fromDead, live, dead, dealt);
        QCOMPARE((QList<int>{live, dead, dealt}), after);
    }

    void eraseTakesFirstMatchOnly()
    {
        tile_vector hand{1, 2, 2, 3};
        eraseOneTile(hand, 2);
        QCOMPARE(hand, (tile_vector{1, 2, 3}));
        eraseTiles(hand, {3, 1});
        QCOMPARE(hand, (tile_vector{2}));
    }

    void eraseMissingTileThrowsAfterEarlierRemovals()
    {
        tile_vector hand{1, 2, 3};
        try {
            eraseTiles(hand, {1, 9, 3});
            QFAIL("no exception");
        } catch (const server_error& e) {
            QCOMPARE(QString(e.what()), QString("to_erase != t1.end()"));
        }
        QCOMPARE(hand, (tile_vector{2, 3}));
    }

    void holdsCountsRepeats()
    {
        const tile_vector hand{5, 5, 5, 7};
        QVERIFY(holdsTiles(hand, {5, 5, 5}));
        QVERIFY(!holdsTiles(hand, {5, 5, 5, 5}));
        QVERIFY(!holdsTiles(hand, {6}));
        QVERIFY(holdsTiles(hand, {}));
    }
};

QTEST_GUILESS_MAIN(TestRulesetWalls)
#include "tst_rulesetwalls.moc"
