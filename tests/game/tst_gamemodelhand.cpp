// One whole hand through the game model in each ruleset, as the controller
// relays it: a fresh join, readiness, the deal, draws and discards, a chow, a
// pong, an exposed and a concealed kong, a pong extended to a kong, bonus
// tiles (classic, international), a riichi and kan dora (riichi), a player
// leaving mid-hand, a claimed mahjong, and a wash-out in the next hand. After
// each step: the model's signals in order, and the state they announce.

#include "GameFixtures.h"
#include "GameModel.h"
#include "GameModelChecks.h"
#include "ModelRecorder.h"
#include "RulesetInfo.h"

#include <QRegularExpression>
#include <QTest>

using namespace fixtures;
using namespace game_protocol;

namespace {
// The players: the user (south), and three others.
constexpr qint32 east = 12, own = ownId, west = 14, north = 13;

struct Walls
{
    int live, dead, dealt;
    bool operator==(const Walls&) const = default;
};

char* toString(const Walls& w)
{
    return QTest::toString(QStringLiteral("live %1 dead %2 dealt %3").arg(w.live).arg(w.dead).arg(w.dealt));
}

Walls wallsOf(const GameModel& m)
{
    return {m.liveWall(), m.deadWall(), m.deadWallDealt()};
}

player_score score(qint32 pid, qint32 currentScore, bool winner)
{
    player_score s;
    s.pid = pid;
    s.scoreType = winner ? 1 : 0;
    s.currentScore = currentScore;
    return s;
}
}

Q_DECLARE_METATYPE(Walls)

class TestGameModelHand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeHand_data();
    void wholeHand();
};

void TestGameModelHand::wholeHand_data()
{
    QTest::addColumn<int>("ruleset");
    // Wall counts at the checkpoints of the hand.
    QTest::addColumn<Walls>("start");
    QTest::addColumn<Walls>("afterDeal");
    QTest::addColumn<Walls>("afterExposedKong");
    QTest::addColumn<Walls>("afterConcealedKong");
    QTest::addColumn<Walls>("afterPongToKong");
    QTest::addColumn<Walls>("atEnd");

    // The deal takes 53 tiles from the live wall and the west player one more.
    QTest::newRow("classic") << 0 << Walls{130, 14, 0} << Walls{77, 14, 0} << Walls{76, 13, 1}
                             // second dead-wall tile: the dead wall is topped up by a pair
                             << Walls{73, 14, 2} << Walls{72, 13, 3}
                             // two bonus replacements from the dead wall, one live draw
                             << Walls{69, 13, 5};
    QTest::newRow("international") << 1 << Walls{144, 0, 0} << Walls{91, 0, 0} << Walls{89, 0, 1}
                                   << Walls{87, 0, 2} << Walls{85, 0, 3} << Walls{82, 0, 5};
    QTest::newRow("riichi") << 2 << Walls{122, 14, 0} << Walls{69, 14, 0} << Walls{67, 14, 1}
                            << Walls{65, 14, 2} << Walls{63, 14, 3} << Walls{63, 14, 3};
}

void TestGameModelHand::wholeHand()
{
    QFETCH(int, ruleset);
    QFETCH(Walls, start);
    QFETCH(Walls, afterDeal);
    QFETCH(Walls, afterExposedKong);
    QFETCH(Walls, afterConcealedKong);
    QFETCH(Walls, afterPongToKong);
    QFETCH(Walls, atEnd);
    const bool riichi = ruleset == 2;

    GameModel model(tableId, table(ruleset), own, QStringLiteral("me"));
    ModelRecorder rec(&model);
    QCOMPARE(wallsOf(model), start);

    // --- a fresh join: the snapshot does not list the user yet
    model.markJoined();
    model.onGameData(-1, server_game_state::INITIAL_STATE, {player(east, 0, true), player(north, 0, true)},
                     tableState(), wallState(0, {}));
    QCOMPARE(rec.take(), (QStringList{"modelReset", "tableInfo", "tournamentInfo", "playerSeated 12 501 1",
                                      "playerSeated 13 501 1", "gameStateChanged 1", "playerStateChanged SEAT_OFFERED"}));
    QVERIFY(model.hasPlayer(own));
    QVERIFY(!model.isOwnPlayerSeated());
    QCOMPARE(model.playerState(), GameModel::SEAT_OFFERED);
    QVERIFY(model.isSeated());
    QVERIFY(!model.freshJoin());

    // --- readiness
    model.onAreYouReady(span());
    model.onPlayerIsReady(own);
    QCOMPARE(rec.take(), (QStringList{"areYouReady 1", "playerSeated 11 501 0", "playerStateChanged WAITING",
                                      "playerIsReady 11", "seatsRemainingChanged 1"}));
    model.onPlayerJoined(player(west));
    model.onPlayerIsReady(west);
    QCOMPARE(rec.take(),
             (QStringList{"playerJoined 14", "playerSeated 14 501 0", "playerIsReady 14", "seatsRemainingChanged 0"}));
    QCOMPARE(model.seatedPlayerIds(), (std::vector<qint32>{own, east, north, west}));

    // --- hand start: winds from the seating, standings from the scores
    const tile_vector dora = riichi ? tile_vector{pin(3)} : tile_vector{};
    model.onStartHand(1001, Seating(east, own, west, north), {{own, 100, 1}, {east, -50, 2}, {99, 7, 7}}, true,
                      tableState(east, -1, 1, 2), wallState(5, dora));
    QCOMPARE(rec.take(), (QStringList{"gameStateChanged 2", "playerStateChanged PLAYING", "startHand 1"}));
    QCOMPARE(model.handId(), qint64(1001));
    QCOMPARE(wallsOf(model), start);
    QCOMPARE(model.deadWallPosition(), 5);
    QCOMPARE(model.doraTiles(), dora);
    QCOMPARE(model.playerByWind(0)->id(), east);
    QCOMPARE(model.playerByWind(1)->id(), own);
    QCOMPARE(model.playerByWind(2)->id(), west);
    QCOMPARE(model.playerByWind(3)->id(), north);
    QCOMPARE(model.player(own)->roundScore(), 100);
    QCOMPARE(model.player(east)->wins(), 2);
    QCOMPARE(model.riichiSticks(), 1);
    QCOMPARE(model.counterSticks(), 2);
    QCOMPARE(model.turnWords()[0], east);
    QVERIFY(model.gameInProgress());

    // --- the deal
    const tile_vector ownHand{bam(2), bam(4), pin(5), pin(5), pin(5), man(1), man(1),
                              man(9), dragon(0), dragon(0), windTile(3), windTile(2), man(3)};
    model.onTilesFromWall(ownHand, false);
    for (qint32 id : {east, west, north})
        model.onHiddenTilesFromWall(id, 13, false);
    model.onHiddenTilesFromWall(east, 1, false);
    model.onHiddenTilesFromWall(own, 1, false); // the user's own draws come with faces: ignored
    QCOMPARE(rec.take(), (QStringList{"tilesFromWall 11 [1 3 22 22 22 9 9 17 31 31 30 29 11] 0",
                                      "hiddenTilesFromWall 12 13 0", "hiddenTilesFromWall 14 13 0",
                                      "hiddenTilesFromWall 13 13 0", "hiddenTilesFromWall 12 1 0"}));
    QCOMPARE(model.player(own)->handTiles(), (tile_vector{1, 3, 9, 9, 11, 17, 22, 22, 22, 29, 30, 31, 31}));
    QCOMPARE(model.player(east)->tileCount(), 14);
    QCOMPARE(wallsOf(model), afterDeal);

    // --- east discards; the user claims it for a chow
    model.onPlayerShouldAct(east, span());
    QCOMPARE(model.currentActor().first, east);
    // Player -1: nobody acts; east's turn and deadline are over.
    model.onPlayerShouldAct(-1, span());
    QCOMPARE(model.currentActor().first, -1);
    QVERIFY(model.currentActor().second.isNull());
    model.onTileDiscarded(east, bam(3), false);
    QCOMPARE(model.lastDiscarder(), east);
    QCOMPARE(model.discardState(), int(GameModel::DISCARD_OPEN));
    model.onTileClaimed(own);
    QCOMPARE(model.player(own)->handTiles().size(), size_t(14)); // the claimed tile enters the hand
    QVERIFY(model.player(east)->discards().empty());
    model.onMeldDeclared(own, claimMeld(meld_type::CHOW, bam(2)));
    QCOMPARE(rec.take(), (QStringList{"playerShouldAct 12", "playerShouldAct -1", "tileDiscarded 12 2 0",
                                      "tileClaimed 12 11", "meldDeclared 11 {1 0 1 12 1}"}));
    QCOMPARE(model.player(own)->handTiles(), (tile_vector{9, 9, 11, 17, 22, 22, 22, 29, 30, 31, 31}));
    QCOMPARE(model.lastDiscarder(), -1);
    QCOMPARE(model.discardState(), int(GameModel::DISCARD_MELDED));
    QCOMPARE(model.player(east)->tileCount(), 13);

    // --- the user discards; west draws and discards; north pongs it
    model.onTileDiscarded(own, man(9), false);
    model.onHiddenTilesFromWall(west, 1, false);
    model.onTileDiscarded(west, dragon(1), false);
    model.onTileClaimed(north);
    model.onMeldDeclared(north, claimMeld(meld_type::PONG, dragon(1)));
    QCOMPARE(rec.take(), (QStringList{"tileDiscarded 11 17 0", "hiddenTilesFromWall 14 1 0", "tileDiscarded 14 32 0",
                                      "tileClaimed 14 13", "meldDeclared 13 {2 0 32 14 0}"}));
    QCOMPARE(model.player(own)->handTiles().size(), size_t(10));
    QCOMPARE(model.player(north)->tileCount(), 11); // +1 at the claim, -3 at the meld
    QCOMPARE(model.player(west)->tileCount(), 13);
    QVERIFY(model.player(west)->discards().empty());

    // --- north discards; the user claims it for an exposed kong and draws
    //     the replacement from the dead wall
    model.onTileDiscarded(north, pin(5), false);
    model.onTileClaimed(own);
    model.onMeldDeclared(own, claimMeld(meld_type::KONG, pin(5)));
    model.onTilesFromWall({man(5)}, true);
    if (riichi)
        model.onKanDora(pin(7));
    QStringList expected{"tileDiscarded 13 22 0", "tileClaimed 13 11", "meldDeclared 11 {8 0 22 13 0}",
                         "tilesFromWall 11 [13] 1"};
    if (riichi)
        expected << "kanDora 24";
    QCOMPARE(rec.take(), expected);
    QCOMPARE(model.player(own)->handTiles(), (tile_vector{9, 9, 11, 13, 29, 30, 31, 31}));
    QCOMPARE(model.player(own)->lastDrawn(), (tile_vector{man(5)}));
    QCOMPARE(model.player(own)->melds().size(), size_t(2));
    QCOMPARE(wallsOf(model), afterExposedKong);
    if (riichi)
        QCOMPARE(model.doraTiles(), (tile_vector{pin(3), pin(7)}));

    // --- the user discards; east draws and declares a concealed kong: no
    //     claim went before it, so it names no discarder
    model.onTileDiscarded(own, windTile(3), false);
    QVERIFY(model.player(own)->lastDrawn().empty());
    model.onHiddenTilesFromWall(east, 1, false);
    model.onMeldDeclared(east, claimMeld(meld_type::KONG, man(7), 2));
    model.onHiddenTilesFromWall(east, 1, true);
    QCOMPARE(rec.take(), (QStringList{"tileDiscarded 11 30 0", "hiddenTilesFromWall 12 1 0",
                                      "meldDeclared 12 {8 2 15 -1 255}", "hiddenTilesFromWall 12 1 1"}));
    QCOMPARE(model.player(east)->tileCount(), 11);
    QCOMPARE(model.player(east)->melds().back().extra, -1);
    QCOMPARE(wallsOf(model), afterConcealedKong);

    // --- east discards: a riichi declaration in the riichi ruleset
    model.onTileDiscarded(east, bam(9), riichi);
    QCOMPARE(rec.take(), (QStringList{QStringLiteral("tileDiscarded 12 8 %1").arg(riichi ? 1 : 0)}));
    QCOMPARE(model.player(east)->riichiDiscardIndex(), riichi ? 0 : -1);
    QCOMPARE(model.riichiSticks(), riichi ? 2 : 1);

    // --- north draws and extends its pong to a kong: the meld keeps its place
    model.onHiddenTilesFromWall(north, 1, false);
    model.onMeldDeclared(north, claimMeld(meld_type::PONG_TO_KONG, dragon(1), 1));
    model.onHiddenTilesFromWall(north, 1, true);
    QCOMPARE(rec.take(), (QStringList{"hiddenTilesFromWall 13 1 0", "meldDeclared 13 {4 1 32 -1 255}",
                                      "hiddenTilesFromWall 13 1 1"}));
    QCOMPARE(model.player(north)->melds().size(), size_t(1));
    QCOMPARE(meldText(model.player(north)->melds()[0]), QString("{8 0 32 14 0}"));
    QCOMPARE(model.player(north)->tileCount(), 11);
    QCOMPARE(wallsOf(model), afterPongToKong);

    // --- bonus tiles, where the ruleset has them: west lays one aside, the
    //     user draws a flower, lays it aside and draws its replacement
    if (!riichi) {
        model.onDeclareBonus(west, {flower(3)});
        model.onHiddenTilesFromWall(west, 1, true);
        model.onTilesFromWall({flower(1)}, false);
        model.onDeclareBonus(own, {flower(1)});
        model.onTilesFromWall({man(6)}, true);
        QCOMPARE(rec.take(), (QStringList{"bonusDeclared 14 [36]", "hiddenTilesFromWall 14 1 1",
                                          "tilesFromWall 11 [34] 0", "bonusDeclared 11 [34]",
                                          "tilesFromWall 11 [14] 1"}));
        QCOMPARE(meldText(model.player(west)->melds().back()), QString("{64 0 36 -1 255}"));
        QCOMPARE(meldText(model.player(own)->melds().back()), QString("{64 0 34 -1 255}"));
        QCOMPARE(model.player(west)->tileCount(), 13);
        QCOMPARE(model.player(own)->handTiles(), (tile_vector{9, 9, 11, 13, 14, 29, 31, 31}));
    }
    QCOMPARE(wallsOf(model), atEnd);

    // --- the server restates the user's hand and flags
    const tile_vector restated = model.player(own)->handTiles();
    tile_vector shuffled(restated.rbegin(), restated.rend());
    model.onPrivatePlayerData({shuffled, true, true});
    model.onFuritenChanged(false);
    model.onActiveChanged(false);
    QCOMPARE(rec.take().size(), 3);
    QCOMPARE(model.player(own)->handTiles(), restated);
    QVERIFY(!model.player(own)->furiten());
    QVERIFY(!model.player(own)->active());

    // --- the user pongs west's red dragon, draws the fourth and extends the
    //     pong to a kong: the kong takes the pong's place, the hand gives up
    //     only the drawn tile
    const std::size_t meldsBefore = model.player(own)->melds().size();
    model.onTileDiscarded(west, dragon(0), false);
    model.onTileClaimed(own);
    model.onMeldDeclared(own, claimMeld(meld_type::PONG, dragon(0)));
    model.onTilesFromWall({dragon(0)}, false);
    model.onMeldDeclared(own, claimMeld(meld_type::PONG_TO_KONG, dragon(0), 1));
    QCOMPARE(rec.take(), (QStringList{"tileDiscarded 14 31 0", "tileClaimed 14 11", "meldDeclared 11 {2 0 31 14 0}",
                                      "tilesFromWall 11 [31] 0", "meldDeclared 11 {4 1 31 -1 255}"}));
    QCOMPARE(model.player(own)->melds().size(), meldsBefore + 1);
    QCOMPARE(meldText(model.player(own)->melds().back()), QString("{8 0 31 14 0}"));
    tile_vector withoutDragons = restated;
    std::erase(withoutDragons, dragon(0));
    QCOMPARE(model.player(own)->handTiles(), withoutDragons);

    // --- north leaves mid-hand: the record stays until the hand ends
    model.onPlayerLeft(north);
    QVERIFY(rec.take().isEmpty());
    QVERIFY(model.hasPlayer(north));
    QCOMPARE(model.delayedRemovals(), (std::set<qint32>{north}));

    // --- west wins on a claimed discard
    model.onTileDiscarded(east, man(8), false);
    std::map<qint32, player_score> scores{{own, score(own, 80, false)}, {east, score(east, -200, false)},
                                          {north, score(north, -100, false)}, {west, score(west, 400, true)},
                                          {77, score(77, 1, false)}};
    // Lists past what a hand holds are cut there: 26 tiles and as many score items.
    scores[west].points = scores[west].limitHands = QList<ScoreItem>(20000, {QStringLiteral("Chow"), 2});
    scores[west].highlighted = std::vector<HighlightedTiles>(3000, {tile_vector(14, bam(2)), 14});
    scores[east].highlighted = std::vector<HighlightedTiles>(27, {{man(1)}, 0});
    QTest::ignoreMessage(QtWarningMsg, "table 501: dropped hand score from the server: unknown player 77");
    for (const char* cut : {"12: 1 of its 27 tile groups", "14: 19974 of its 20000 points, 19974 of its 20000 "
                                                            "limit hands, 2999 of its 3000 tile groups"})
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("hand score .* player %1, ").arg(cut)));
    model.onHandEndScoring(scores, ENDHAND_REASON_1, false);
    const auto& held = model.lastHandEnd()->scores;
    QCOMPARE(QList({held.at(west).points.size(), held.at(west).limitHands.size()}), QList<qsizetype>({26, 26}));
    QCOMPARE(held.at(west).highlighted.size() + held.at(east).highlighted.size(), std::size_t(1 + 26));
    // North's seat goes with the hand, announced as any leave.
    QCOMPARE(rec.take(), (QStringList{"tileDiscarded 12 16 0", "playerStateChanged SCORING", "playerUnseated 13 501",
                                      "playerLeft 13", "seatsRemainingChanged 4", "gameStateChanged 3",
                                      "handEndScoring [11 12 13 14] 1 0"}));
    QVERIFY(!model.hasPlayer(north));
    QVERIFY(model.delayedRemovals().empty());
    QCOMPARE(model.player(west)->wins(), 1);
    QCOMPARE(model.player(west)->roundScore(), 400);
    QCOMPARE(model.player(own)->roundScore(), 80);
    QCOMPARE(model.player(own)->wins(), 1);
    QVERIFY(model.gameInProgress());
    QCOMPARE(model.currentActor().first, -1);
    QTest::ignoreMessage(QtWarningMsg, "table 501: dropped claim from the server: no hand is played");
    model.onTileClaimed(own); // the discard the hand ended on
    QVERIFY(rec.take().isEmpty());

    // --- ready for the next hand, which washes out and ends the game
    model.onAreYouReady(span());
    model.onPlayerIsReady(own);
    QCOMPARE(rec.take(), (QStringList{"areYouReady 0", "playerStateChanged WAITING", "playerIsReady 11",
                                      "seatsRemainingChanged 3"}));
    model.onStartHand(1002, Seating(own, west, east, -1), {}, false, tableState(own), wallState(9, dora));
    QCOMPARE(model.playerByWind(0)->id(), own);
    QVERIFY(model.player(own)->melds().empty());
    QVERIFY(model.player(own)->handTiles().empty());
    QCOMPARE(model.player(own)->roundScore(), 80); // scores stay between hands
    QCOMPARE(wallsOf(model), start);
    model.onHandEndNonScoring(ENDHAND_REASON_6, true);
    QCOMPARE(rec.take(), (QStringList{"gameStateChanged 2", "playerStateChanged PLAYING", "startHand 0",
                                      "playerStateChanged SCORING", "gameStateChanged 3", "handEndNonScoring 6 1"}));
    QVERIFY(!model.gameInProgress());
    QCOMPARE(model.gameState(), GameModel::GAME_HAND_ENDED);

    // --- after the game, no hand to play: a discard and an offer are dropped
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("dropped discard from the server: no hand is played"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("dropped claim offer from the server: the user plays no"));
    model.onTileDiscarded(west, man(8), false);
    QVERIFY(!model.acceptsOffers("claim offer") && rec.take().isEmpty());

    // --- past the rules' limits, dropped (in the next game's first hand): a
    // claim into a full hand, a discard past the wall, a fifth meld, a sixth dora
    model.onStartHand(1003, Seating(own, west, east, -1), {}, true, tableState(own), wallState(9, {}));
    model.onTilesFromWall(tile_vector(maxHandTiles, man(1)), false);
    const RulesetInfo& walls = rulesetInfo(ruleset);
    while (model.player(west)->discards().size() < std::size_t(walls.liveWallTiles() + walls.deadWallTiles()))
        model.onTileDiscarded(west, man(8), false);
    for (int i = 0; i < maxMelds; ++i)
        model.onMeldDeclared(east, claimMeld(meld_type::KONG, tile(0xFF), 2));
    while (model.doraTiles().size() < std::size_t(maxDora))
        model.onKanDora(pin(9));
    rec.take();
    model.onTileClaimed(own);
    model.onTileDiscarded(west, man(8), false);
    model.onMeldDeclared(east, claimMeld(meld_type::KONG, tile(0xFF), 2));
    model.onKanDora(pin(9));
    QVERIFY(rec.take().isEmpty());
    // but a win declared on four melds is not a fifth meld
    model.onMeldDeclared(east, claimMeld(meld_type::MAHJONG, tile(0xFF), 2));
    QCOMPARE(rec.take(), QStringList({"meldDeclared 12 {16 2 255 -1 255}"}));
}

QTEST_GUILESS_MAIN(TestGameModelHand)
#include "tst_gamemodelhand.moc"
