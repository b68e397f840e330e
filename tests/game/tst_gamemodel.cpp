// The table side of the game model: the snapshot and its order of signals,
// the user's state after joining or watching, joins, leaves and delayed
// removals, readiness, joinability, table and tournament records; and server
// data the model cannot place, which is logged and dropped without a change.

#include "GameFixtures.h"
#include "GameModel.h"
#include "ModelRecorder.h"

#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace fixtures;
using namespace game_protocol;

namespace {
constexpr qint32 a = 21, b = 22, c = 23;

/// Everything of the model that a dropped event must leave alone.
struct Snapshot
{
    GameModel::PlayerMap players;
    int live, dead, dealt;
    tile_vector dora;
    qint32 lastDiscarder;
    int discardState;
    GameModel::game_state_t gameState;
    GameModel::player_state_t playerState;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const GameModel& m)
{
    return {m.players(),       m.liveWall(),       m.deadWall(),  m.deadWallDealt(), m.doraTiles(),
            m.lastDiscarder(), m.discardState(),   m.gameState(), m.playerState()};
}

void expectDrop(const char* what)
{
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^table 501: dropped %1 from the server: ").arg(what)));
}
}

class TestGameModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<GameModel> model;
    std::unique_ptr<ModelRecorder> rec;

    void make(int ruleset = 0, int gameType = 2, int capacity = 4)
    {
        rec.reset();
        model = std::make_unique<GameModel>(tableId, table(ruleset, gameType, capacity), ownId, QStringLiteral("me"));
        rec = std::make_unique<ModelRecorder>(model.get());
    }

    /// A hand in play with players a, b, c and the user, all seated.
    void playing(int ruleset = 0)
    {
        make(ruleset);
        model->markJoined();
        model->onGameData(1, server_game_state::INITIAL_STATE,
                          {player(a, 0, true), player(b, 0, true), player(c, 0, true), player(ownId, 0, true)},
                          tableState(), wallState(0, {}));
        model->onStartHand(2, Seating(a, b, c, ownId), {}, true, tableState(), wallState(4, {}));
        model->onTilesFromWall({bam(1), bam(2), bam(3), pin(5), pin(5), pin(5), dragon(2)}, false);
        rec->take();
    }

private Q_SLOTS:
    // ------------------------------------------------------------ snapshot
    void watchMidHandSnapshot()
    {
        make(2);
        model->onWatching(true);
        QCOMPARE(rec->take(), (QStringList{"playerStateChanged WATCHING", "joinableChanged 1"}));
        QVERIFY(model->watchingFromLobby());

        PlayerData discarder = player(b, 1);
        discarder.setDiscards({bam(1), man(4)}, 1);
        discarder.setTileCount(13);
        model->onGameData(40, server_game_state::TILE_DISCARDED_STATE, {player(a, 0), discarder, player(c, 2)},
                          TableState(a, 0, 0, b, 3, 1), wallState(6, {pin(1)}, 60, 14, 2));
        // the records first, then the seats, then the game state; a watcher's
        // own state stays
        QCOMPARE(rec->take(),
                 (QStringList{"modelReset", "tableInfo", "tournamentInfo", "playerSeated 21 501 1",
                              "playerSeated 22 501 1", "playerSeated 23 501 1", "gameStateChanged 2",
                              "joinableChanged 0"}));
        QCOMPARE(model->playerState(), GameModel::WATCHING);
        QCOMPARE(model->lastDiscarder(), b);
        QCOMPARE(model->lastDiscard(), man(4));
        QCOMPARE(model->riichiSticks(), 3 + 1); // carried sticks and b's riichi
        QCOMPARE(model->counterSticks(), 1);
        QCOMPARE(model->liveWall(), 60);
        QCOMPARE(model->deadWall(), 14);
        QCOMPARE(model->deadWallDealt(), 2);
        QCOMPARE(model->deadWallPosition(), 6);
        QCOMPARE(model->doraTiles(), tile_vector{pin(1)});
        QVERIFY(model->gameInProgress());
        QVERIFY(!model->hasPlayer(ownId)); // not a join: the user is not added

        // a watcher can see the claim of the open discard
        model->onTileClaimed(c);
        QCOMPARE(rec->take(), QStringList{"tileClaimed 22 23"});
        QCOMPARE(model->player(b)->discards(), tile_vector{bam(1)});
    }

    void freshJoinSettlesUserState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("ownListedReady");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("gameState");
        QTest::newRow("waiting, offered a seat") << 0 << false << "SEAT_OFFERED" << int(GameModel::GAME_WAITING);
        QTest::newRow("waiting, already ready") << 0 << true << "WAITING" << int(GameModel::GAME_WAITING);
        QTest::newRow("in a hand") << 3 << false << "PLAYING" << int(GameModel::GAME_PLAYING);
        QTest::newRow("hand ended") << 6 << false << "SCORING" << int(GameModel::GAME_HAND_ENDED);
    }
    void freshJoinSettlesUserState()
    {
        QFETCH(int, state);
        QFETCH(bool, ownListedReady);
        QFETCH(QString, expected);
        QFETCH(int, gameState);
        make();
        model->markJoined();
        std::vector<PlayerData> players{player(a, 0, true)};
        if (ownListedReady)
            players.push_back(player(ownId, 1, true));
        model->onGameData(5, static_cast<server_game_state::enum_t>(state), players, tableState(), wallState(0, {}));
        QCOMPARE(QString(GameModel::playerStateName(model->playerState())), expected);
        QCOMPARE(int(model->gameState()), gameState);
        QVERIFY(model->hasPlayer(ownId));
        QVERIFY(!model->freshJoin());
        // in a hand every listed player is announced as seated, the user too
        QCOMPARE(model->isOwnPlayerSeated(), state != 0 || ownListedReady);
        const QStringList lines = rec->take();
        const qsizetype seated = lines.indexOf(QRegularExpression("playerSeated.*"));
        QVERIFY(seated >= 0);
        QVERIFY(seated < lines.indexOf(QRegularExpression("gameStateChanged.*")));
    }

    void tournamentSnapshotSeatsEveryoneAndIsNeverJoinable()
    {
        make(0, 1);
        model->onWatching(false);
        QCOMPARE(rec->take(), QStringList{"playerStateChanged WATCHING"});
        model->onGameData(5, server_game_state::INITIAL_STATE, {player(a), player(b)}, tableState(), wallState(0, {}));
        QCOMPARE(rec->take(), (QStringList{"modelReset", "tableInfo", "tournamentInfo", "playerSeated 21 501 1",
                                           "playerSeated 22 501 1", "gameStateChanged 1"}));
        QVERIFY(!model->isJoinable());
    }

    void unknownGameStateDropsTheWholeSnapshot()
    {
        playing();
        const Snapshot before = snapshot(*model);
        expectDrop("game data");
        model->onGameData(9, server_game_state::UNNAMED_STATE_7, {player(a)}, tableState(), wallState(0, {}));
        QVERIFY(rec->take().isEmpty());
        QCOMPARE(snapshot(*model) == before, true);
    }

    void snapshotDropsRecordsItCannotPlace()
    {
        make();
        PlayerData badWind = player(b);
        badWind.setWind(static_cast<wind::enum_t>(7));
        PlayerData badTile = player(c);
        badTile.setDiscards({tile(50)}, -1);
        PlayerData badRiichi = player(33);
        badRiichi.setDiscards({bam(1)}, 4);
        std::vector<PlayerData> records{player(a),     badWind,       badTile,       badRiichi,     player(40, 1),
                                        player(41, 1), player(42, 1), player(43, 1), player(49, 1), player(44, 0),
                                        player(45, 1), player(46, 2), player(47, 3), player(48, 3)};
        records[4].setMelds(meld_tuple_vector(5, claimMeld(meld_type::PONG, bam(1)))); // past what a hand holds
        records[5].setDiscards(tile_vector(145, bam(1)), -1);
        records[6].setBonusTiles(tile_vector(9, flower(1)));
        records[7].setTileCount(19);
        records[8].setHandTiles(tile_vector(19, bam(1))); // then on a wind taken, past the four seats
        for (int i = 0; i < 10; ++i)
            expectDrop("player record of game data");
        model->markJoined(); // the user's own seat is filled in only where one is free
        expectDrop("own seat of game data");
        model->onGameData(5, server_game_state::TILE_CLAIMED_STATE, records, tableState(), wallState(0, {}));
        QCOMPARE(model->seatedPlayerIds(), (std::vector<qint32>{a, 45, 46, 47}));
        QCOMPARE(model->players().size(), size_t(4));
    }

    void snapshotKeepsRecordsAHandCanProduce()
    {
        make(2);
        model->markJoined();
        // b's riichi discard was claimed: the index stands just past its
        // discards; c holds a concealed kong whose face the client may not see
        PlayerData riichiClaimed = player(b, 1);
        riichiClaimed.setDiscards({bam(1), man(4)}, 2);
        PlayerData concealedKong = player(c, 2);
        meld_tuple hidden = claimMeld(meld_type::KONG, tile(0xFF), 2);
        concealedKong.setMelds({hidden});
        concealedKong.setTileCount(10);
        // the user's own record cannot be placed: the user is still added
        PlayerData ownBad = player(ownId, 3);
        ownBad.setDiscards({tile(50)}, -1);
        expectDrop("player record of game data");
        expectDrop("dora tile of game data");
        model->onGameData(5, server_game_state::TILE_DISCARDED_STATE, {player(a), riichiClaimed, concealedKong, ownBad},
                          TableState(a, 0, 0, b, 0, 0), wallState(6, {pin(1), tile(60), tile(0xFF)}, 60, 14, 2));
        QCOMPARE(model->players().size(), size_t(4));
        QCOMPARE(model->player(b)->riichiDiscardIndex(), 2);
        QCOMPARE(model->riichiSticks(), 1);
        QCOMPARE(model->player(c)->melds(), meld_tuple_vector{hidden});
        QVERIFY(model->player(ownId)->discards().empty()); // the blank record, not the bad one
        QCOMPARE(model->playerState(), GameModel::PLAYING);
        QCOMPARE(model->lastDiscarder(), b);
        // the unknown dora code is left out, the rest of the wall applies
        QCOMPARE(model->doraTiles(), (tile_vector{pin(1), tile(0xFF)}));
        QCOMPARE(model->liveWall(), 60);
        QCOMPARE(model->gameState(), GameModel::GAME_PLAYING);
    }

    void repeatedRecordReplacesTheFirst()
    {
        make();
        PlayerData again = player(a, 2);
        again.setRoundScore(30);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^addPlayer called for already added player PlayerData \\{ id:21 "));
        model->onGameData(5, server_game_state::HAND_ENDED_STATE, {player(a, 1), again}, tableState(), wallState(0, {}));
        QCOMPARE(model->players().size(), size_t(1));
        QCOMPARE(model->player(a)->roundScore(), 30);
        QCOMPARE(int(model->player(a)->wind()), 2);
        QCOMPARE(model->gameState(), GameModel::GAME_HAND_ENDED);
        QVERIFY(model->gameInProgress());
    }

    // ------------------------------------------------------------ joins and leaves
    void joinsAreIgnoredDuringPlay()
    {
        playing();
        expectDrop("player join"); // in play too: the four seats are taken
        model->onPlayerJoined(player(40));
        QVERIFY(rec->take().isEmpty());
        model->onHandEndNonScoring(ENDHAND_REASON_4, false);
        expectDrop("player join"); // between hands: the four seats are taken
        model->onPlayerJoined(player(40));
        QVERIFY(!model->hasPlayer(40));
    }

    void leaveBetweenHands()
    {
        make();
        model->onWatching(true);
        model->onGameData(5, server_game_state::INITIAL_STATE, {player(a, 0, true), player(b)}, tableState(),
                          wallState(0, {}));
        rec->take();
        model->onPlayerLeft(a);
        QCOMPARE(rec->take(), (QStringList{"playerUnseated 21 501", "playerLeft 21", "seatsRemainingChanged 4"}));
        model->onPlayerLeft(b); // never seated: no playerUnseated
        QCOMPARE(rec->take(), (QStringList{"playerLeft 22", "seatsRemainingChanged 4"}));
        expectDrop("player leave");
        model->onPlayerLeft(b);
        QVERIFY(rec->take().isEmpty());
    }

    void leaveDuringPlayWaitsForHandEnd()
    {
        playing();
        model->onPlayerLeft(a);
        QVERIFY(rec->take().isEmpty());
        QVERIFY(model->hasPlayer(a));
        // a second leave of the same player is refused
        expectDrop("player leave");
        model->onPlayerLeft(a);
        // the hand goes on with the leaver's record
        model->onHiddenTilesFromWall(a, 1, false);
        model->onTileDiscarded(a, bam(5), false);
        QCOMPARE(rec->take().size(), 2);
        model->onHandEndNonScoring(ENDHAND_REASON_4, false);
        QVERIFY(!model->hasPlayer(a));
        // The leave is announced once the record goes, before the new state.
        const QStringList after = rec->take();
        QVERIFY(after.contains("playerLeft 21"));
        QVERIFY(after.indexOf("playerLeft 21") < after.indexOf(QRegularExpression("gameStateChanged.*")));
        // a claim of the gone player's discard finds no one to take it from
        expectDrop("claim");
        model->onTileClaimed(b);
    }

    void ownLeaveAndKick()
    {
        make();
        model->markJoined();
        model->onGameData(5, server_game_state::INITIAL_STATE, {player(a, 0, true)}, tableState(), wallState(0, {}));
        model->onPlayerIsReady(ownId);
        rec->take();
        model->onPlayerKicked(kick_reason::KICK_REASON_3);
        QCOMPARE(rec->take(), (QStringList{"playerUnseated 11 501", "playerStateChanged NO_PLAYER_STATE",
                                           "joinableChanged 1", "playerLeft 11", "seatsRemainingChanged 3",
                                           "playerStateChanged KICKED"}));
        QCOMPARE(model->kickReason(), kick_reason::KICK_REASON_3);
        QVERIFY(!model->hasPlayer(ownId));
    }

    void ownKickDuringAHandEndsTheSeatAtOnce()
    {
        playing();
        rec->take();
        model->onPlayerKicked(kick_reason::KICK_REASON_1);
        QCOMPARE(model->playerState(), GameModel::KICKED);
        QVERIFY(!model->isOwnPlayerSeated());
        QVERIFY(model->hasPlayer(ownId)); // the record stays for the hand
        model->onHandEndNonScoring(ENDHAND_REASON_4, false);
        // No scoring state after the hand, so no ready either.
        QCOMPARE(model->playerState(), GameModel::KICKED);
        QVERIFY(!model->isSeated());
        QVERIFY(!model->hasPlayer(ownId));
    }

    void leavesAfterTheTournamentRoundAreIgnored()
    {
        make(0, 1);
        model->onGameData(5, server_game_state::INITIAL_STATE, {player(a)}, tableState(), wallState(0, {}));
        expectDrop("rows of the tournament round"); // one per player and seat
        model->onEndOfTournamentRound(true, {{a, 10, 20}, {a, 1, 2}, {b, 0, 0}, {c, 0, 0}, {31, 0, 0}, {32, 0, 0}});
        QCOMPARE(rec->take().filter("endOfTournamentRound"), QStringList{"endOfTournamentRound 1 4"});
        expectDrop("rows of the table round");
        QCOMPARE(model->tableRoundRows({{a, 0, 5}, {b, 0, 1}, {a, 0, 5}}).size(), size_t(2));
        model->onPlayerLeft(a);
        model->onPlayerLeft(99);
        QVERIFY(rec->take().isEmpty());
        QCOMPARE(model->gameState(), GameModel::GAME_FINISHED);
    }

    // ------------------------------------------------------------ readiness and joinability
    void readinessInTheWrongStateIsIgnored()
    {
        make();
        model->onWatching(true);
        model->onGameData(5, server_game_state::INITIAL_STATE, {player(a), player(ownId)}, tableState(),
                          wallState(0, {}));
        rec->take();
        QTest::ignoreMessage(QtWarningMsg, "Got 'are you ready' in state: WATCHING");
        model->onAreYouReady(span());
        QTest::ignoreMessage(QtWarningMsg, "Got 'player is ready' in state: WATCHING");
        model->onPlayerIsReady(ownId);
        QVERIFY(rec->take().isEmpty());
        QVERIFY(!model->player(ownId)->ready());
        // another player's readiness counts
        model->onPlayerIsReady(a);
        QCOMPARE(rec->take(), (QStringList{"playerSeated 21 501 0", "playerIsReady 21", "seatsRemainingChanged 3"}));
        model->onPlayerIsReady(a); // already seated: no second playerSeated
        QCOMPARE(rec->take(), (QStringList{"playerIsReady 21", "seatsRemainingChanged 3"}));
        expectDrop("player ready");
        model->onPlayerIsReady(99);
    }

    void joinableFollowsFullnessAndSeat()
    {
        make(0, 2, 2);
        model->onWatching(true);
        QCOMPARE(rec->take(), (QStringList{"playerStateChanged WATCHING", "joinableChanged 1"}));
        model->onGameData(5, server_game_state::INITIAL_STATE, {player(a), player(b)}, tableState(), wallState(0, {}));
        // full: the snapshot's state change makes it unjoinable, once
        QCOMPARE(rec->take().filter("joinable"), QStringList{"joinableChanged 0"});
        model->onPlayerLeft(b);
        QVERIFY(rec->take().filter("joinable").isEmpty()); // a leave does not recompute it
        TableInfo info = model->tableInfo();
        info.capacity.setSeated(1);
        model->onTableInfo(info);
        QCOMPARE(rec->take(), (QStringList{"tableInfo", "joinableChanged 1"}));
        model->onTableInfo(info);
        QCOMPARE(rec->take(), QStringList{"tableInfo"});
    }

    void tableInfoUpdates()
    {
        make();
        model->onTableInfo(3, TableInfoUpdates{});
        QCOMPARE(model->tableInfo().capacity.seated(), 3);
        QCOMPARE(rec->take(), (QStringList{"tableInfo", "joinableChanged 1"}));

        TableInfo other = model->tableInfo();
        other.tableId = 999;
        expectDrop("table info");
        model->onTableInfo(other);
        TableInfo unknownRuleset = model->tableInfo();
        unknownRuleset.ruleset = 5;
        expectDrop("table info");
        model->onTableInfo(unknownRuleset);
        QVERIFY(rec->take().isEmpty());
        QCOMPARE(model->tableInfo().ruleset, 0);
    }

    void tournamentStopsWhileWatching()
    {
        make(0, 1);
        model->onWatching(true);
        TournamentInfo t;
        t.status = 3;
        model->onTournamentInfo(t);
        t.status = 4;
        rec->take();
        model->onTournamentInfo(t);
        QCOMPARE(rec->take(), (QStringList{"tournamentInfo", "gameStateChanged 4", "tournamentRoundEnded 501"}));
        model->onTournamentRankings({});
        QCOMPARE(rec->take(), QStringList{"tournamentRankings 0"});
    }

    void tournamentStopDoesNotEndASeatedUsersGame()
    {
        make(0, 1);
        model->markJoined();
        model->onGameData(5, server_game_state::START_HAND_STATE, {player(ownId)}, tableState(), wallState(0, {}));
        TournamentInfo t;
        t.status = 3;
        model->onTournamentInfo(t);
        t.status = 5;
        model->onTournamentInfo(t);
        QCOMPARE(model->gameState(), GameModel::GAME_PLAYING);
    }

    void queriesOutsidePlay()
    {
        make();
        QCOMPARE(model->currentActor().first, -1);
        QVERIFY(model->currentActor().second.isNull());
        QCOMPARE(QString(GameModel::playerStateName(7)), QString("<undefined>"));
        QCOMPARE(model->handId(), qint64(-1));
        QCOMPARE(model->liveWall(), 130);
        QCOMPARE(model->deadWallPosition(), 4);
        QVERIFY(!model->player(1234));
        try {
            model->playerRef(1234);
            QFAIL("no exception");
        } catch (const std::exception& e) {
            QCOMPARE(QString(e.what()), QString("unknown player 1234"));
        }
    }

    // ------------------------------------------------------------ the discard bookkeeping
    void discardBookkeepingDoesNotOutliveItsHand()
    {
        playing();
        model->onTileDiscarded(a, bam(7), false);
        model->onHandEndNonScoring(ENDHAND_REASON_4, false);
        model->onStartHand(3, Seating(a, b, c, ownId), {}, false, tableState(), wallState(4, {}));
        QCOMPARE(model->lastDiscarder(), -1);
        rec->take();
        // a claim with nothing open is nothing, and the next meld is concealed
        model->onTileClaimed(b);
        model->onMeldDeclared(b, claimMeld(meld_type::KONG, man(2), 2));
        QCOMPARE(rec->take(), QStringList{"meldDeclared 22 {8 2 10 -1 255}"});

        // a snapshot resets an open claim too
        model->onTileDiscarded(a, bam(8), false);
        model->onTileClaimed(b);
        QCOMPARE(model->discardState(), int(GameModel::DISCARD_CLAIMED));
        model->onGameData(3, server_game_state::TILE_CLAIMED_STATE, {player(a), player(b, 1)}, tableState(),
                          wallState(0, {}));
        QCOMPARE(model->discardState(), int(GameModel::DISCARD_OPEN));
        QCOMPARE(model->lastDiscarder(), -1);
        rec->take();
        model->onMeldDeclared(b, claimMeld(meld_type::PONG, man(3)));
        QCOMPARE(rec->take(), QStringList{"meldDeclared 22 {2 0 11 -1 255}"});
    }

    void secondClaimOfOneDiscardIsDropped()
    {
        playing();
        model->onTileDiscarded(a, bam(7), false);
        model->onTileDiscarded(a, bam(9), false);
        model->onTileClaimed(b);
        const Snapshot before = snapshot(*model);
        expectDrop("claim");
        model->onTileClaimed(c);
        QCOMPARE(snapshot(*model) == before, true);
        QCOMPARE(model->player(a)->discards(), tile_vector{bam(7)});
        // A flood of them: ten lines, then one count (at the latest as the table's model goes).
        for (int i = 1; i < DropLog::linesOfAKind; ++i)
            expectDrop("claim");
        for (int i = 0; i < 12; ++i)
            model->onTileClaimed(c);
        QTest::ignoreMessage(QtWarningMsg, "table 501: dropped 3 more claim from the server within a second; the last: "
                                           "the discard of player 21 was already claimed");
        rec.reset();
        model.reset();
    }

    // ------------------------------------------------------------ data the model cannot place
    void handEventsItCannotPlaceAreDropped_data()
    {
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("what");
        QTest::newRow("discard by an unknown player") << 0 << "discard";
        QTest::newRow("discard of an unknown tile code") << 1 << "discard";
        QTest::newRow("own discard of a tile not in the hand") << 2 << "discard";
        QTest::newRow("own pong without the tiles") << 3 << "meld";
        QTest::newRow("pong to kong without a pong") << 4 << "meld";
        QTest::newRow("chow that crosses a suit") << 5 << "meld";
        QTest::newRow("meld of an unknown tile code") << 6 << "meld";
        QTest::newRow("bonus tile not in the own hand") << 7 << "bonus tiles";
        QTest::newRow("draw of an unknown tile code") << 8 << "own draw";
        QTest::newRow("hidden draw by an unknown player") << 9 << "hidden draw";
        QTest::newRow("kan dora of an unknown tile code") << 10 << "kan dora";
        QTest::newRow("turn of an unknown player") << 11 << "turn to act";
        QTest::newRow("own hand with an unknown tile code") << 12 << "own hand";
        QTest::newRow("claim by an unknown player") << 13 << "claim";
    }
    void handEventsItCannotPlaceAreDropped()
    {
        QFETCH(int, event);
        QFETCH(QString, what);
        playing();
        model->onTileDiscarded(a, pin(9), false);
        rec->take();
        const Snapshot before = snapshot(*model);
        expectDrop(what.toLatin1().constData());
        switch (event) {
        case 0: model->onTileDiscarded(99, bam(1), false); break;
        case 1: model->onTileDiscarded(a, tile(42), false); break;
        case 2: model->onTileDiscarded(ownId, man(1), false); break;
        case 3: model->onMeldDeclared(ownId, claimMeld(meld_type::PONG, bam(1))); break;
        case 4: model->onMeldDeclared(b, claimMeld(meld_type::PONG_TO_KONG, bam(1), 1)); break;
        case 5: model->onMeldDeclared(b, claimMeld(meld_type::CHOW, bam(8))); break;
        case 6: model->onMeldDeclared(b, claimMeld(meld_type::KONG, tile(60), 2)); break;
        case 7: model->onDeclareBonus(ownId, {flower(2)}); break;
        case 8: model->onTilesFromWall({bam(1), tile(77)}, false); break;
        case 9: model->onHiddenTilesFromWall(99, 1, false); break;
        case 10: model->onKanDora(tile(0xFF)); break;
        case 11: model->onPlayerShouldAct(99, span()); break;
        case 12: model->onPrivatePlayerData({{bam(1), tile(0xFF)}, true, false}); break;
        case 13: model->onTileClaimed(99); break;
        }
        QVERIFY(rec->take().isEmpty());
        QCOMPARE(snapshot(*model) == before, true);
    }

    void handStartWithAnUnknownDoraStillStarts()
    {
        playing(2);
        model->onTileDiscarded(a, pin(9), false);
        model->onHandEndNonScoring(ENDHAND_REASON_4, false);
        rec->take();
        expectDrop("dora tile of hand start");
        expectDrop("dora tile of hand start"); // and the tiles past the five of a hand
        model->onStartHand(3, Seating(b, c, ownId, a), {}, false, tableState(),
                           wallState(7, {pin(3), tile(60), pin(1), pin(2), pin(4), pin(5), pin(6)}));
        QCOMPARE(rec->take(), (QStringList{"gameStateChanged 2", "playerStateChanged PLAYING", "startHand 0"}));
        QCOMPARE(model->handId(), qint64(3));
        QCOMPARE(model->doraTiles(), (tile_vector{pin(3), pin(1), pin(2), pin(4), pin(5)}));
        QCOMPARE(model->deadWallPosition(), 7);
        QCOMPARE(int(model->player(b)->wind()), 0);
        QVERIFY(model->player(a)->discards().empty());
        QVERIFY(model->player(ownId)->handTiles().empty());
    }

    void concealedMeldOfAHiddenFace()
    {
        playing();
        model->onHiddenTilesFromWall(b, 14, false);
        rec->take();
        // another player's concealed kong may come without its face
        model->onMeldDeclared(b, claimMeld(meld_type::KONG, tile(0xFF), 2));
        QCOMPARE(rec->take(), QStringList{"meldDeclared 22 {8 2 255 -1 255}"});
        QCOMPARE(model->player(b)->tileCount(), 10);
        // but an exposed meld must show it, and the user's own hand never
        // holds a hidden tile
        expectDrop("meld");
        model->onMeldDeclared(b, claimMeld(meld_type::PONG, tile(0xFF), 1));
        expectDrop("meld");
        model->onMeldDeclared(ownId, claimMeld(meld_type::KONG, tile(0xFF), 2));
        QVERIFY(rec->take().isEmpty());
        QCOMPARE(model->player(b)->melds().size(), size_t(1));
    }

    void ownEventsWhileWatchingAreDropped()
    {
        make();
        model->onWatching(true);
        model->onGameData(5, server_game_state::START_HAND_STATE, {player(a)}, tableState(), wallState(0, {}));
        rec->take();
        expectDrop("own draw");
        model->onTilesFromWall({bam(1)}, false);
        expectDrop("own hand");
        model->onPrivatePlayerData({{bam(1)}, true, false});
        expectDrop("furiten");
        model->onFuritenChanged(true);
        expectDrop("active flag");
        model->onActiveChanged(false);
        QVERIFY(rec->take().isEmpty());
    }

    void unknownRulesetTableStillPlays()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ruleset the client does not know"));
        make(9);
        QCOMPARE(model->liveWall(), 0);
        QCOMPARE(model->deadWall(), 0);
        model->onWatching(true);
        model->onGameData(5, server_game_state::INITIAL_STATE, {player(a, 0, true)}, tableState(), wallState(0, {}));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no wall sizes for ruleset 9"));
        model->onStartHand(6, Seating(a, -1, -1, -1), {}, true, tableState(), wallState(4, {}));
        model->onHiddenTilesFromWall(a, 13, false);
        model->onHiddenTilesFromWall(a, 1, true);
        QCOMPARE(model->player(a)->tileCount(), 14);
        QCOMPARE(model->deadWallDealt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestGameModel)
#include "tst_gamemodel.moc"
