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
    void sizes_data()
    {
        QTest::addColumn<int>("ruleset");
        QTest::addColumn<int>("dead");
        QTest::addColumn<int>("live");
        QTest::newRow("classic") << 0 << 14 << 130;
        QTest::newRow("international") << 1 << 0 << 144;
        QTest::newRow("riichi") << 2 << 14 << 122;
    }
    void sizes()
    {
        QFETCH(int, ruleset);
        QFETCH(int, dead);
        QFETCH(int, live);
        QCOMPARE(rulesetInfo(ruleset).deadWallTiles(), dead);
        QCOMPARE(rulesetInfo(ruleset).liveWallTiles(), live);
        // one instance per ruleset for the whole process
        QCOMPARE(&rulesetInfo(ruleset), &rulesetInfo(ruleset));
        TableInfo table;
        table.ruleset = ruleset;
        QCOMPARE(deadWallSize(table), dead);
        QCOMPARE(liveWallSize(table), live);
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
