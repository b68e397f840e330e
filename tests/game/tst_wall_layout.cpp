// The wall for a server state: stack kinds for every fill mode, the live and
// dead ends, and index wrapping for states that point outside the wall.

#include "WallLayout.h"

#include <QTest>

using namespace WallLayout;

namespace {

/// The kinds of the first `count` stacks as digits ("6766" ...; 8 reads ".").
QString head(const Fill& fill, int count, int from = 0)
{
    QString text;
    for (int i = from; i < from + count; ++i) {
        const int kind = fill.kinds.at(std::size_t(i));
        text += kind == Empty ? QStringLiteral(".") : QString::number(kind);
    }
    return text;
}

} // namespace

class TestWallLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addTileCycles()
    {
        QCOMPARE(addTile(Empty), int(One));
        QCOMPARE(addTile(One), int(Two));
        QCOMPARE(addTile(Two), int(Three));
        QCOMPARE(addTile(Three), int(Three));
        QCOMPARE(addTile(Shown), int(Shown));
    }

    void fill_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("stacks");
        QTest::addColumn<int>("live");
        QTest::addColumn<int>("dead");
        QTest::addColumn<int>("deadPos");
        QTest::addColumn<int>("dealt");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<int>("liveEnd");
        QTest::addColumn<int>("deadEnd");

        QTest::newRow("unknown state: a full wall") << 1 << 18 << 0 << 0 << 0 << 0 << 0 << "666666" << 0 << 0;
        // Classic, 14 dead tiles: six stacks of two, loose tiles on stacks 1
        // and 4, one empty stack, then the live wall.
        QTest::newRow("classic 14 dead") << 1 << 18 << 10 << 14 << 0 << 0 << 0 << "676676.66666." << 11 << 1;
        QTest::newRow("classic 13 dead") << 1 << 18 << 10 << 13 << 0 << 0 << 0 << "666676.66666." << 11 << 4;
        QTest::newRow("classic short dead wall") << 1 << 18 << 4 << 3 << 0 << 0 << 0 << "6566..." << 3 << 0;
        QTest::newRow("classic dead wall before the wall's start wraps")
            << 1 << 18 << 2 << 14 << -1 << 0 << 0 << "76676.6." << 6 << 0;
        QTest::newRow("international: live tiles only") << 2 << 18 << 7 << 0 << 0 << 0 << 0 << "6665.." << 3 << 0;
        QTest::newRow("international, dealt from the far end")
            << 2 << 18 << 4 << 0 << 1 << 2 << 0 << "..66.." << 3 << 2;
        QTest::newRow("riichi") << 0 << 17 << 6 << 4 << 1 << 0 << 0 << ".66666." << 6 << 1;
        QTest::newRow("negative position wraps to the wall's end")
            << 2 << 18 << 4 << 0 << -2 << 0 << 70 << "66" << 71 << 70;
    }
    void fill()
    {
        QFETCH(int, mode);
        QFETCH(int, stacks);
        QFETCH(int, live);
        QFETCH(int, dead);
        QFETCH(int, deadPos);
        QFETCH(int, dealt);
        QFETCH(int, from);
        QFETCH(QString, kinds);
        QFETCH(int, liveEnd);
        QFETCH(int, deadEnd);
        const Fill f = WallLayout::fill(mode, stacks, State{live, dead, deadPos, dealt, {}});
        QCOMPARE(int(f.kinds.size()), 4 * stacks);
        QCOMPARE(head(f, int(kinds.size()), from), kinds);
        QCOMPARE(f.liveEnd, liveEnd);
        QCOMPARE(f.deadEnd, deadEnd);
    }

    void doraTilesShowOnTheirStacks()
    {
        State s{20, 14, 66, 0, {tile(5), tile(30)}};
        const Fill f = WallLayout::fill(0, 17, s);
        // Stacks 68 and 69 wrap to 0 and 1.
        QCOMPARE(f.shown.size(), std::size_t(2));
        QCOMPARE(f.shown.at(0).code(), std::uint8_t(5));
        QCOMPARE(f.shown.at(1).code(), std::uint8_t(30));
    }

    void absurdCountsStayBounded()
    {
        const Fill f = WallLayout::fill(2, 18, State{2000000000, 0, 0, 0, {}});
        for (int kind : f.kinds)
            QCOMPARE(kind, int(Three));
        QVERIFY(f.liveEnd >= 0 && f.liveEnd < 72);
    }

    void ends_data()
    {
        QTest::addColumn<int>("global");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("stack");
        QTest::newRow("plain") << 20 << 0 << 1 << 2;
        QTest::newRow("rotated") << 20 << 1 << 0 << 2;
        QTest::newRow("rotated past the first side") << 5 << 3 << 1 << 5;
        QTest::newRow("negative rotation") << 5 << -1 << 1 << 5;
        QTest::newRow("negative index") << -1 << 2 << 1 << 17;
        QTest::newRow("index past the end") << 72 << 0 << 0 << 0;
    }
    void ends()
    {
        QFETCH(int, global);
        QFETCH(int, rotation);
        QFETCH(int, side);
        QFETCH(int, stack);
        const End end = WallLayout::endOf(global, 18, rotation);
        QCOMPARE(end.side, side);
        QCOMPARE(end.stack, stack);
    }

    void firstStacks()
    {
        QCOMPARE(WallLayout::firstStackOf(0, 18, 0), 0);
        QCOMPARE(WallLayout::firstStackOf(3, 18, 2), 18);
        QCOMPARE(WallLayout::firstStackOf(0, 18, -1), 54);
        QCOMPARE(WallLayout::fillModeForRuleset(0), 1);
        QCOMPARE(WallLayout::fillModeForRuleset(1), 2);
        QCOMPARE(WallLayout::fillModeForRuleset(2), 0);
        QCOMPARE(WallLayout::fillModeForRuleset(9), 2);
    }
};

QTEST_GUILESS_MAIN(TestWallLayout)
#include "tst_wall_layout.moc"
