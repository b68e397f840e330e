// The game records as values: PlayerData's operations for the game table,
// the seating and table state, and their debug texts.

#include "PlayerData.h"
#include "Seating.h"
#include "TableState.h"
#include "WallState.h"
#include "server_error.h"

#include <QTest>

#include <sstream>

using namespace game_protocol;

namespace {
template<class T>
std::string text(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}
}

class tst_game_records : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void playerDataDefaults()
    {
        const PlayerData p(7, QStringLiteral("anna"));
        QCOMPARE(p.id(), 7);
        QCOMPARE(p.name(), QStringLiteral("anna"));
        QCOMPARE(p.tileCount(), 0);
        QCOMPARE(p.wind(), wind::EAST);
        QCOMPARE(p.riichiDiscardIndex(), -1);
        QVERIFY(p.active());
        QVERIFY(!p.ready());
        QVERIFY(!p.furiten());
        QVERIFY(!p.seated());
        QCOMPARE(text(p), std::string("PlayerData { id:7 name:\"anna\" wind:EAST }"));
    }

    void handAndDiscards()
    {
        PlayerData p(1, QString());
        p.setHandTiles({tile(20), tile(3), tile(9)});
        QCOMPARE(p.handTiles(), (tile_vector{tile(3), tile(9), tile(20)}));
        p.addHandTiles({tile(5), tile(1)});
        QCOMPARE(p.handTiles(), (tile_vector{tile(1), tile(3), tile(5), tile(9), tile(20)}));
        QCOMPARE(p.lastDrawn(), (tile_vector{tile(5), tile(1)}));

        for (int i = 0; i < 4; ++i)
            p.addDiscard(tile(quint8(i)), false);
        QVERIFY(p.lastDrawn().empty());
        p.addDiscard(tile(30), true); // riichi on the fifth discard
        QCOMPARE(p.riichiDiscardIndex(), 4);
        QCOMPARE(p.takeLastDiscard().code(), quint8(30));
        QCOMPARE(p.discards().size(), std::size_t(4));
    }

    void takingFromNoDiscardsIsRefused()
    {
        PlayerData p(3, QString());
        QVERIFY_THROWS_EXCEPTION(server_error, p.takeLastDiscard());
    }

    void meldsClearLastDrawn()
    {
        PlayerData p(1, QString());
        p.addHandTiles({tile(4)});
        p.addMeld(meld_type::PONG, meld_visibility::VISIBILITY_0, tile(4), 2, tile(0));
        QVERIFY(p.lastDrawn().empty());
        QCOMPARE(p.melds().size(), std::size_t(1));
        QCOMPARE(p.melds()[0].extra, 2);
        p.addHandTiles({tile(6)});
        p.setMelds({});
        QVERIFY(p.lastDrawn().empty());
    }

    void resetForHandKeepsThePlayer()
    {
        PlayerData p(9, QStringLiteral("bo"));
        p.setWind(wind::SOUTH);
        p.setRoundScore(-20);
        p.setWins(2);
        p.setActive(false);
        p.setFuriten(true);
        p.setSeated(true);
        p.setReady(true);
        p.setTileCount(13);
        p.setHandTiles({tile(1)});
        p.setDiscards({tile(2)}, 0);
        p.setBonusTiles({tile(34)});
        p.addMeld(meld_type::CHOW, meld_visibility::VISIBILITY_0, tile(0), -1, tile(0xFF));
        p.resetForHand();
        QCOMPARE(p.tileCount(), 0);
        QCOMPARE(p.riichiDiscardIndex(), -1);
        QVERIFY(p.handTiles().empty() && p.discards().empty() && p.bonusTiles().empty() && p.melds().empty());
        QVERIFY(!p.ready());
        QCOMPARE(p.wind(), wind::SOUTH);
        QCOMPARE(p.roundScore(), -20);
        QCOMPARE(p.wins(), 2);
        QVERIFY(!p.active());
        QVERIFY(p.furiten());
        QVERIFY(p.seated());
    }

    void seatingByWind()
    {
        const Seating s(11, 12, 13, 14);
        QCOMPARE(s.playerAt(0), 11);
        QCOMPARE(s.playerAt(3), 14);
        QCOMPARE(s.playerAt(4), -1);
        QCOMPARE(s.windOf(13), 2);
        QCOMPARE(s.windOf(99), -1);
        QCOMPARE(text(s), std::string("Seating<11,12,13,14>"));
    }

    void tableStatePositions()
    {
        TableState t(5, 2, 7, -1, 1, 3);
        QCOMPARE(t.first(), 5);
        QCOMPARE(t.wind(), 2);
        QCOMPARE(t.third(), 7);
        QCOMPARE(t.discardingPlayer(), -1);
        QCOMPARE(t.riichiSticks(), 1);
        QCOMPARE(t.counterSticks(), 3);
        t.setDiscardingPlayer(12);
        QCOMPARE(t.value(3), 12);
        QCOMPARE(t.value(6), 0);
        QCOMPARE(TableState().discardingPlayer(), -1);
        QCOMPARE(text(t), std::string("TableState<5,2,7,12,1,3>"));
    }

    void valuesCopyIndependently()
    {
        WallState a;
        a.doraTiles = {tile(1)};
        WallState b = a;
        b.doraTiles.push_back(tile(2));
        QCOMPARE(a.doraTiles.size(), std::size_t(1));
        QVERIFY(!(a == b));
    }
};

QTEST_GUILESS_MAIN(tst_game_records)
#include "tst_game_records.moc"
