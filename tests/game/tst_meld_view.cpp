// Meld views with real tile pictures and the declared melds of a seat: the
// turned tile, replacement of an extended pong, bonus groups, row wrapping.

#include "DeclaredView.h"
#include "MeldView.h"
#include "TileView.h"
#include "ViewTestSupport.h"

#include <QGraphicsScene>
#include <QTest>

using ViewTestSupport::footprint;

namespace {

meld_tuple meldOf(int type, int code, int visibility = 0, int extra = -1, int extraTile = 0xFF)
{
    meld_tuple m;
    m.type = game_protocol::meld_type::enum_t(type);
    m.visibility = game_protocol::meld_visibility::enum_t(visibility);
    m.meld_tile = tile(std::uint8_t(code));
    m.extra = extra;
    m.extra_tile = tile(std::uint8_t(extraTile));
    return m;
}

/// The kinds of a meld's items, e.g. "020" (face up, turned, face up).
QString kinds(const MeldView* view)
{
    QString text;
    for (const TileView* item : view->items())
        text += QString::number(item->tileType());
    return text;
}

/// Each meld as "kind:codes", in display order.
QStringList describe(const DeclaredView& view)
{
    QStringList out;
    for (const MeldView* meld : view.melds()) {
        QStringList codes;
        for (tile t : meld->tiles())
            codes << QString::number(t.code());
        out << QStringLiteral("%1:%2").arg(meld->kind()).arg(codes.join(QLatin1Char(',')));
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(ClaimedFrom)

class TestMeldView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(ViewTestSupport::prepareTiles()); }

    void extentsAndOrder_data()
    {
        QTest::addColumn<int>("side");
        QTest::newRow("bottom") << 0;
        QTest::newRow("right") << 1;
        QTest::newRow("top") << 2;
        QTest::newRow("left") << 3;
    }
    void extentsAndOrder()
    {
        QFETCH(int, side);
        const MeldView pong(side, 2, tile(5), -1, -1, 0);
        const QSize up = footprint(side, 0), turned = footprint(side, 2);
        const QRect r = pong.rect();
        if (side == 0 || side == 2) {
            QCOMPARE(r.width(), 3 * up.width());
            QCOMPARE(r.height(), std::max(up.height(), 2 * turned.height()));
        } else {
            QCOMPARE(r.height(), 3 * up.height());
            QCOMPARE(r.width(), std::max(up.width(), 2 * turned.width()));
        }
        // The right side draws earlier tiles above later ones.
        for (int i = 0; i < 3; ++i)
            QCOMPARE(pong.items()[std::size_t(i)]->zValue(), double(side == 1 ? -i : i));
        // Every tile lies inside the meld's extent.
        for (const TileView* item : pong.items())
            QVERIFY2(QRectF(r).adjusted(-1, -1, 1, 1).contains(item->mapRectToParent(item->boundingRect()).topLeft()),
                     qPrintable(QStringLiteral("side %1").arg(side)));
    }

    void extendedPongStacksInOneColumn()
    {
        const MeldView kong(0, 4, tile(7), 1, -1, 0);
        QCOMPARE(kinds(&kong), QStringLiteral("0220"));
        QCOMPARE(kong.items()[1]->pos().x(), kong.items()[2]->pos().x());
        QVERIFY(kong.items()[1]->pos().y() < kong.items()[2]->pos().y());
        QCOMPARE(kong.rect().width(), 2 * footprint(0, 0).width() + footprint(0, 2).width());
    }

    void turnedTileAndHighlight()
    {
        MeldView row(0, 64, tile_vector{tile(3), tile(3), tile(4)});
        row.setTurnedTile(tile(3));
        row.setTurnedTile(tile(3));
        QCOMPARE(kinds(&row), QStringLiteral("220"));
        row.highlightTile(tile(4));
        QVERIFY(row.items()[2]->isHighlighted());
        QVERIFY(!row.items()[0]->isHighlighted());
    }

    void declaredClaims_data()
    {
        // Hidden levels and the stacked pong to kong; which tile a live claim
        // turns is played through from server frames in the table tests.
        QTest::addColumn<meld_tuple>("meld");
        QTest::addColumn<ClaimedFrom>("from");
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<QString>("codes");
        QTest::newRow("chow: its claimed middle tile turned first") << meldOf(1, 3, 0, 7, 1) << ClaimedFrom::Left
                                                                   << "200" << "4,3,5";
        QTest::newRow("chow: a claimed offset past the chow turns none") << meldOf(1, 3, 0, 7, 5) << ClaimedFrom::Left
                                                                        << "000" << "3,4,5";
        QTest::newRow("kong from the right: far end") << meldOf(8, 9, 0, 7) << ClaimedFrom::Right << "0002"
                                                      << "9,9,9,9";
        QTest::newRow("concealed kong") << meldOf(8, 9, 1) << ClaimedFrom::None << "1001" << "9,9,9,9";
        QTest::newRow("nothing claimed, nothing turned") << meldOf(2, 9) << ClaimedFrom::None << "000" << "9,9,9";
        QTest::newRow("honour chow cannot run past the last tile") << meldOf(1, 40, 0, 7, 0) << ClaimedFrom::Left
                                                                   << "001" << "40,41,255";
    }
    void declaredClaims()
    {
        QFETCH(meld_tuple, meld);
        QFETCH(ClaimedFrom, from);
        QFETCH(QString, kinds);
        QFETCH(QString, codes);
        DeclaredView view(0, 1000);
        view.declareMeld(meld, from);
        QCOMPARE(int(view.melds().size()), 1);
        QCOMPARE(::kinds(view.melds().front()), kinds);
        QCOMPARE(describe(view).front(), QStringLiteral("%1:%2").arg(int(meld.type)).arg(codes));
    }

    void extendedPongTakesThePongsPlace()
    {
        DeclaredView view(1, 1000);
        view.declareMeld(meldOf(2, 9, 0, 7), ClaimedFrom::Across);
        view.declareMeld(meldOf(2, 12, 0, 7), ClaimedFrom::Left);
        view.addBonusTile(tile(35));
        view.declareMeld(meldOf(4, 9), ClaimedFrom::None);
        QCOMPARE(describe(view), (QStringList{"4:9,9,9,9", "2:12,12,12", "64:35"}));
        // It keeps the pong's claim: across, so the middle two are stacked.
        QCOMPARE(kinds(view.melds().front()), QStringLiteral("0220"));
        // Without its pong, an extension goes before the bonus tiles.
        view.declareMeld(meldOf(4, 20), ClaimedFrom::None);
        QCOMPARE(describe(view), (QStringList{"4:9,9,9,9", "2:12,12,12", "4:20,20,20,20", "64:35"}));
    }

    void bonusGroups()
    {
        DeclaredView view(0, 1000);
        view.addBonusTile(tile(39)); // a season
        view.addBonusTile(tile(36)); // a flower
        view.declareMeld(meldOf(2, 1), ClaimedFrom::None);
        view.addBonusTile(tile(34));
        view.declareMeld(meldOf(64, 38), ClaimedFrom::None);
        QCOMPARE(describe(view), (QStringList{"2:1,1,1", "64:38,39", "64:34,36"}));
        view.declareMeld(meldOf(16, 1), ClaimedFrom::Left);
        QCOMPARE(int(view.melds().size()), 3);
    }

    void rowsWrapAwayFromTheCentre()
    {
        const int w = footprint(0, 0).width();
        DeclaredView view(0, 7 * w);
        for (int code : {0, 3, 6})
            view.declareMeld(meldOf(2, code), ClaimedFrom::None);
        const auto& melds = view.melds();
        QCOMPARE(melds[0]->pos(), QPointF(0, 0));
        QVERIFY(melds[1]->pos().x() > 0);
        QCOMPARE(melds[1]->pos().y(), 0.0);
        // The third does not fit: a new row below.
        QCOMPARE(melds[2]->pos().x(), 0.0);
        QVERIFY(melds[2]->pos().y() > 0);
        // A first meld longer than the row stays at the origin.
        DeclaredView narrow(0, 1);
        narrow.declareMeld(meldOf(2, 0), ClaimedFrom::None);
        QCOMPARE(narrow.melds()[0]->pos(), QPointF(0, 0));
    }

    void clearAndAnimationTarget()
    {
        QGraphicsScene scene;
        auto* view = new DeclaredView(0, 1000);
        scene.addItem(view);
        view->setPos(100, 200);
        const auto empty = static_cast<TileAnimationTarget*>(view)->geometryFor(3);
        QCOMPARE(int(empty.size()), 3);
        QCOMPARE(empty[1].pos - empty[0].pos, QPointF(footprint(0, 0).width(), 0));
        view->declareMeld(meldOf(2, 5, 0, 7), ClaimedFrom::Left);
        const auto next = static_cast<TileAnimationTarget*>(view)->geometryFor(1);
        QVERIFY(next[0].pos.x() > empty[0].pos.x());
        view->clear();
        QVERIFY(view->childItems().isEmpty());
        QVERIFY(view->shadowPath().isEmpty());
        delete view;
    }
};

QTEST_MAIN(TestMeldView)
#include "tst_meld_view.moc"
