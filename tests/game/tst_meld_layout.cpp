// The arithmetic of meld rows: which tile stands where and how it lies, and
// where each tile's picture goes on every side of the table.

#include "MeldLayout.h"

#include <QTest>

#include <stdexcept>

using namespace MeldLayout;

namespace {

/// "4S 3U 5U": code and U(p), D(own) or S(ideways) per tile; "C" for a concealed code.
QString describe(const std::vector<Slot>& row)
{
    QStringList parts;
    for (const Slot& s : row) {
        const QString code = s.code.isConcealed() ? QStringLiteral("C") : QString::number(s.code.code());
        parts << code + QLatin1Char("UDS"[s.kind]);
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestMeldLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slots_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("hidden");
        QTest::addColumn<QString>("expected");

        QTest::newRow("chow unclaimed") << 1 << 2 << -1 << -1 << 0 << "2U 3U 4U";
        QTest::newRow("chow middle claimed, at row start") << 1 << 2 << 0 << 1 << 0 << "3S 2U 4U";
        QTest::newRow("chow low claimed, row end") << 1 << 2 << 2 << 0 << 0 << "3U 4U 2S";
        QTest::newRow("chow high claimed, middle") << 1 << 2 << 1 << 2 << 0 << "2U 4S 3U";
        QTest::newRow("chow high claimed, row start") << 1 << 2 << 0 << 2 << 0 << "4S 2U 3U";
        QTest::newRow("chow low claimed, row start") << 1 << 2 << 0 << 0 << 0 << "2S 3U 4U";
        QTest::newRow("chow offset out of range: unclaimed") << 1 << 2 << 0 << 3 << 0 << "2U 3U 4U";
        QTest::newRow("chow negative offset: unclaimed") << 1 << 2 << 1 << -5 << 0 << "2U 3U 4U";
        QTest::newRow("chow past the last code: unclaimed, no wild codes") << 1 << 40 << 0 << 0 << 0 << "40U 41U CD";
        QTest::newRow("pong claimed middle") << 2 << 27 << 1 << -1 << 0 << "27U 27S 27U";
        QTest::newRow("pong hidden 1") << 2 << 27 << -1 << -1 << 1 << "27U 27U 27D";
        QTest::newRow("pong hidden 2") << 2 << 27 << -1 << -1 << 2 << "27D 27D 27D";
        QTest::newRow("pong hidden 2, turned wins") << 2 << 27 << 0 << -1 << 2 << "27S 27D 27D";
        QTest::newRow("pong to kong at 0") << 4 << 5 << 0 << -1 << 0 << "5S 5S 5U 5U";
        QTest::newRow("pong to kong at 1") << 4 << 5 << 1 << -1 << 0 << "5U 5S 5S 5U";
        QTest::newRow("pong to kong at 2") << 4 << 5 << 2 << -1 << 2 << "5U 5U 5S 5S";
        QTest::newRow("kong concealed level 1") << 8 << 31 << -1 << -1 << 1 << "31D 31U 31U 31D";
        QTest::newRow("kong concealed level 2") << 8 << 31 << -1 << -1 << 2 << "31D 31D 31D 31D";
        QTest::newRow("kong claimed at 2: fourth tile turned") << 8 << 31 << 2 << -1 << 0 << "31U 31U 31U 31S";
        QTest::newRow("kong claimed at 1") << 8 << 31 << 1 << -1 << 0 << "31U 31S 31U 31U";
        QTest::newRow("pair claimed second") << 32 << 9 << 1 << -1 << 0 << "9U 9S";
        QTest::newRow("row tile") << 64 << 35 << -1 << -1 << 0 << "35U";
        QTest::newRow("riichi preview") << 128 << 12 << -1 << -1 << 0 << "12U";
    }
    void slots()
    {
        QFETCH(int, type);
        QFETCH(int, code);
        QFETCH(int, position);
        QFETCH(int, offset);
        QFETCH(int, hidden);
        QFETCH(QString, expected);
        QCOMPARE(describe(MeldLayout::slots(type, tile(std::uint8_t(code)), position, offset, hidden)), expected);
    }

    void unhandledTypesThrow_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("mahjong") << 16;
        QTest::newRow("zero") << 0;
        QTest::newRow("three") << 3;
        QTest::newRow("256") << 256;
    }
    void unhandledTypesThrow()
    {
        QFETCH(int, type);
        try {
            MeldLayout::slots(type, tile(1), -1, -1, 0);
            QFAIL("no exception");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("can't create view for unhandled meld-type"));
        }
    }

    void layout_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<QList<QSize>>("sizes");
        QTest::addColumn<int>("stackedAt");
        QTest::addColumn<QList<QPointF>>("positions");
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QRect>("extent");

        const QSize up0(20, 30), side0(30, 20); // bottom and top
        const QSize up1(30, 20), side1(20, 30); // right and left
        QTest::newRow("bottom, three upright")
            << 0 << QList<QSize>{up0, up0, up0} << -1 << QList<QPointF>{{0, 10}, {20, 10}, {40, 10}} << QPoint(60, 40)
            << QRect(0, 0, 60, 40);
        QTest::newRow("right, three upright: the row runs upwards")
            << 1 << QList<QSize>{up1, up1, up1} << -1 << QList<QPointF>{{10, -20}, {10, -40}, {10, -60}}
            << QPoint(40, 60) << QRect(0, -60, 40, 60);
        QTest::newRow("top, three upright: the row runs leftwards")
            << 2 << QList<QSize>{up0, up0, up0} << -1 << QList<QPointF>{{-20, 0}, {-40, 0}, {-60, 0}} << QPoint(60, 40)
            << QRect(-60, -40, 60, 40);
        QTest::newRow("left, three upright: the row runs downwards")
            << 3 << QList<QSize>{up1, up1, up1} << -1 << QList<QPointF>{{0, 0}, {0, 20}, {0, 40}} << QPoint(40, 60)
            << QRect(-40, 0, 40, 60);
        QTest::newRow("bottom, pong to kong stacked at 1: three footprints long")
            << 0 << QList<QSize>{up0, side0, side0, up0} << 1
            << QList<QPointF>{{0, 10}, {20, 0}, {20, 20}, {50, 10}} << QPoint(70, 40) << QRect(0, 0, 70, 40);
        QTest::newRow("bottom, stacked at 2")
            << 0 << QList<QSize>{up0, up0, side0, side0} << 2
            << QList<QPointF>{{0, 10}, {20, 10}, {40, 0}, {40, 20}} << QPoint(70, 40) << QRect(0, 0, 70, 40);
        QTest::newRow("right, stacked at 0")
            << 1 << QList<QSize>{side1, side1, up1, up1} << 0
            << QList<QPointF>{{0, -30}, {20, -30}, {10, -50}, {10, -70}} << QPoint(40, 70) << QRect(0, -70, 40, 70);
        QTest::newRow("top, stacked at 1")
            << 2 << QList<QSize>{up0, side0, side0, up0} << 1
            << QList<QPointF>{{-20, 0}, {-50, 0}, {-50, 20}, {-70, 0}} << QPoint(70, 40) << QRect(-70, -40, 70, 40);
        QTest::newRow("left, stacked at 0")
            << 3 << QList<QSize>{side1, side1, up1, up1} << 0
            << QList<QPointF>{{20, 0}, {0, 0}, {0, 30}, {0, 50}} << QPoint(40, 70) << QRect(-40, 0, 40, 70);
        QTest::newRow("stack past the row end is ignored")
            << 0 << QList<QSize>{up0} << 0 << QList<QPointF>{{0, 10}} << QPoint(20, 40) << QRect(0, 0, 20, 40);
    }
    void layout()
    {
        QFETCH(int, side);
        QFETCH(QList<QSize>, sizes);
        QFETCH(int, stackedAt);
        QFETCH(QList<QPointF>, positions);
        QFETCH(QPoint, cursor);
        QFETCH(QRect, extent);
        const bool across = side == 1 || side == 3;
        const QPoint start = MeldLayout::cursorStart(side, across ? QSize(30, 20) : QSize(20, 30),
                                                     across ? QSize(20, 30) : QSize(30, 20));
        const auto placed = MeldLayout::layout(side, start, std::vector<QSize>(sizes.begin(), sizes.end()), stackedAt);
        QCOMPARE(QList<QPointF>(placed.positions.begin(), placed.positions.end()), positions);
        QCOMPARE(placed.cursor, cursor);
        QCOMPARE(MeldLayout::extent(side, placed.cursor), extent);
    }
};

QTEST_GUILESS_MAIN(TestMeldLayout)
#include "tst_meld_layout.moc"
