#pragma once

#include "DropLog.h"
#include "MonetaryRoundScores.h"
#include "PlayerData.h"
#include "PrivatePlayerData.h"
#include "ProtocolEnums.h"
#include "ScoreRecords.h"
#include "Seating.h"
#include "TableInfo.h"
#include "TableMoment.h"
#include "TableState.h"
#include "TimeSpan.h"
#include "TournamentInfo.h"
#include "TournamentRankings.h"
#include "TournamentRoundScores.h"
#include "WallState.h"
#include "meld.h"
#include "round_score_vector.h"
#include "tile.h"

#include <QObject>

#include <array>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

/// The client's copy of one table's state: its players with their hands,
/// melds and discards, the wall, the table and tournament records, the state
/// of the game and of the user at the table. It has no network access: the
/// game controller calls its slots with each server event for the table; the
/// model updates itself first and then announces the change by a signal, so a
/// receiver always reads the new state.
///
/// Server data that the model cannot place (an unknown player, wind, tile
/// code or ruleset, a tile the own hand does not hold, a leave of a player
/// who is not there) is logged and the event is dropped whole: the model is
/// left as it was and nothing is emitted. So is what passes the rules'
/// limits: more than 4 seats (a dealt table's on distinct winds), more than
/// 14 concealed tiles and a kong's worth in a hand, 8 bonus tiles or 4 melds
/// a player, a pond longer than the wall, or more than 5 dora indicators;
/// a discard or claim while no hand is played; and of a hand end, score
/// list items and tiles past what a hand and its bonus tiles hold (these
/// are cut there).
class GameModel : public QObject
{
    Q_OBJECT

public:
    /// The user's state at the table; 2 to 5 count as seated.
    enum player_state_t {
        NO_PLAYER_STATE = 0,
        WATCHING = 1,
        SEAT_OFFERED = 2,
        WAITING = 3,
        PLAYING = 4,
        SCORING = 5,
        KICKED = 6,
    };
    Q_ENUM(player_state_t)

    /// The state of the game at the table.
    enum game_state_t {
        NO_GAME_STATE = 0,
        GAME_WAITING = 1,
        GAME_PLAYING = 2,
        GAME_HAND_ENDED = 3,
        GAME_FINISHED = 4,
    };
    Q_ENUM(game_state_t)

    /// The discard bookkeeping of discardState().
    enum discard_state_t {
        DISCARD_OPEN = 0,    ///< the last discard may still be claimed
        DISCARD_CLAIMED = 1, ///< a player claimed it; the meld follows
        DISCARD_MELDED = 2,  ///< the claim was melded
    };

    using PlayerMap = std::map<qint32, PlayerData>;

    GameModel(qint32 tableId, const TableInfo& tableInfo, qint32 ownPlayerId, const QString& ownPlayerName,
              QObject* parent = nullptr);
    ~GameModel() override;

    qint32 tableId() const { return m_tableId; }
    qint32 ownPlayerId() const { return m_ownPlayerId; }
    const TableInfo& tableInfo() const { return m_tableInfo; }
    /// Whether the table plays a round of a tournament.
    bool isTournamentTable() const { return m_tableInfo.gameType == 1; }
    /// Whether the server removed the table's tournament.
    bool isTournamentRemoved() const { return m_tournamentRemoved; }
    const TournamentInfo& tournamentInfo() const { return m_tournamentInfo; }

    const PlayerMap& players() const { return m_players; }
    /// The player's record, or null.
    const PlayerData* player(qint32 id) const;
    /// The player's record; an unknown id throws server_error "unknown player " + id.
    const PlayerData& playerRef(qint32 id) const;
    const PlayerData* ownPlayer() const { return player(m_ownPlayerId); }
    bool hasPlayer(qint32 id) const { return m_players.count(id) != 0; }
    /// Whether the player has a seat; false once removed during the hand
    /// (the record stays until the hand ends).
    bool isPlayerSeated(qint32 id) const;
    /// Whether this client plays at the table: its own seating (a join) and
    /// the own record's seat. Another client of the same account may sit
    /// here while this one only watches.
    bool isOwnPlayerSeated() const { return isSeated() && isPlayerSeated(m_ownPlayerId); }
    /// The first player (ascending id) at this wind, or null.
    const PlayerData* playerByWind(int wind) const;
    std::vector<qint32> seatedPlayerIds() const;
    /// Table capacity minus the players who confirmed being ready.
    int seatsRemaining() const;

    /// Sticks carried on the table plus one for each player in riichi.
    int riichiSticks() const;
    int counterSticks() const { return m_counterSticks; }
    /// The first three words of the last table state (the first is a player id).
    const std::array<qint32, 3>& turnWords() const { return m_turnWords; }

    int liveWall() const { return m_liveWall; }
    int deadWall() const { return m_deadWall; }
    int deadWallPosition() const { return m_deadWallPosition; }
    int deadWallDealt() const { return m_deadWallDealt; }
    const tile_vector& doraTiles() const { return m_doraTiles; }

    qint64 handId() const { return m_handId; }
    tile lastDiscard() const { return m_lastDiscard; }
    /// The player whose discard may still be claimed, -1 when none. Kept by
    /// id: the record may have gone since.
    qint32 lastDiscarder() const { return m_lastDiscarder; }
    int discardState() const { return m_discardState; }

    game_state_t gameState() const { return m_gameState; }
    bool isInPlay() const { return m_gameState == GAME_PLAYING; }
    bool gameInProgress() const { return m_gameInProgress; }
    player_state_t playerState() const { return m_playerState; }
    bool isSeated() const { return m_playerState >= SEAT_OFFERED && m_playerState <= SCORING; }
    /// The player asked to act and the time to act while a hand is played;
    /// (-1, empty span) otherwise.
    std::pair<qint32, TimeSpan> currentActor() const;
    const std::set<qint32>& delayedRemovals() const { return m_delayedRemovals; }

    /// How the last hand ended, kept until the next one starts, so that a
    /// page opened between hands shows what the user is to answer.
    struct HandEnd
    {
        /// Empty for a hand that ended without a winner.
        std::map<qint32, player_score> scores;
        endhand_reason_t reason{};
        bool scored = false;
        bool endOfGame = false;
    };
    const std::optional<HandEnd>& lastHandEnd() const { return m_lastHandEnd; }
    /// The time of the server's open question whether the user is ready for
    /// the next hand, once the server asked it, until that hand starts.
    std::optional<TimeSpan> readyQuestion() const;
    /// What the server has asked the user here and not yet had answered.
    const TableMoment& moment() const { return m_moment; }
    TableMoment& moment() { return m_moment; }

    bool isJoinable() const { return m_joinable; }
    bool watchingFromLobby() const { return m_watchingFromLobby; }
    kick_reason::enum_t kickReason() const { return m_kickReason; }
    bool freshJoin() const { return m_freshJoin; }
    /// Called by the controller on a successful join: the next snapshot
    /// settles the user's state at the table. A join begins a new seating.
    void markJoined()
    {
        m_freshJoin = true;
        ++m_seating;
    }
    /// Which seating of the table this is: it changes with every successful
    /// join or watch of the table, so that a box or board shown for an
    /// earlier one (the same table id, joined again) can tell that its
    /// answer no longer has a table to act on.
    int seating() const { return m_seating; }
    /// Whether the server may offer the user a claim or a declaration now:
    /// only while a hand is played and the user plays in it. Otherwise the
    /// offer is logged as dropped from `event`.
    bool acceptsOffers(const char* event) const;

    /// What the user is offered: a claim on the last discard, a declaration
    /// on the own turn, or robbing a kong.
    enum class OfferKind { Claim, Declaration, RobKong };
    /// The offers the rules allow, each kind and tile once (mahjong once):
    /// a claim takes the last discard (a chow with it as its lowest, middle
    /// or highest tile); a declaration is a kong of four tiles the own hand
    /// holds or the fourth tile of an own pong; riichi, offered with either,
    /// names a tile the hand holds; mahjong goes with any; a kong is robbed
    /// only to win. The rest is logged once and left out.
    meld_offer_vector allowedOffers(const meld_offer_vector& offers, OfferKind kind) const;

    /// Asks the user to choose among the offers (those the rules allow; none
    /// is a choice too: a pass, or the own turn's discard) until the user
    /// answers or play moves past them: a page built again meanwhile shows
    /// the chooser as the server left it. Returns the question's id.
    quint64 keepOffer(OfferKind kind, const meld_offer_vector& offers, const TimeSpan& ts);
    /// The user's time ran out: the server answers the hand's questions.
    void onTimeout() { m_moment.end(TableMoment::Hand); }
    /// The rows of a table round's board: one per player and seat.
    MonetaryRoundScores tableRoundRows(const MonetaryRoundScores& scores) const;

    /// Log name of a user state; "<undefined>" outside 0 to 6.
    static const char* playerStateName(int state);

public Q_SLOTS:
    // --- the table (joins, leaves, readiness, records) ---
    /// The server's snapshot of the whole table after a join or a watch.
    void onGameData(qint64 handId, server_game_state::enum_t gameState, const std::vector<PlayerData>& players,
                    const TableState& tableState, const WallState& wallState);
    void onPlayerJoined(const PlayerData& player);
    void onPlayerLeft(qint32 playerId);
    void onPlayerKicked(kick_reason::enum_t reason);
    void onAreYouReady(const TimeSpan& ts);
    void onPlayerIsReady(qint32 playerId);
    /// A player's name became known or changed; an empty name is ignored.
    void onPlayerNameUpdate(qint32 playerId, const QString& name);
    void onTableInfo(const TableInfo& ti);
    void onTableInfo(int seated, const TableInfoUpdates& updates);
    void onTournamentInfo(const TournamentInfo& ti);
    void onTournamentRankings(const TournamentRankings& rankings);
    /// The server removed the table's tournament: nothing at the table is
    /// asked or timed any more.
    void onTournamentRemoved();
    void onWatching(bool fromLobby);
    void onWatching() { onWatching(true); }

    // --- a hand ---
    void onStartHand(qint64 handId, const Seating& seating, const round_score_vector& roundScores, bool newRound,
                     const TableState& tableState, const WallState& wallState);
    /// A discard; the controller passes riichiDiscard true for a riichi declaration.
    void onTileDiscarded(qint32 playerId, tile t, bool riichiDiscard);
    void onTileClaimed(qint32 claimedBy);
    void onMeldDeclared(qint32 playerId, const meld_tuple& m);
    void onHiddenTilesFromWall(qint32 playerId, qint32 count, bool fromDeadWall);
    void onTilesFromWall(const tile_vector& tiles, bool fromDeadWall);
    void onDeclareBonus(qint32 playerId, const tile_vector& tiles);
    void onKanDora(tile t);
    void onPlayerShouldAct(qint32 playerId, const TimeSpan& ts);
    void onPrivatePlayerData(const PrivatePlayerData& privateData);
    void onFuritenChanged(bool furiten);
    void onActiveChanged(bool active);
    void onHandEndScoring(const std::map<qint32, player_score>& scores, endhand_reason_t mahjongType,
                          bool endOfGame);
    void onHandEndNonScoring(endhand_reason_t washoutType, bool endOfGame);
    /// The round of the table's tournament ended; the scores go on to the
    /// round score board, one row per player and seat. Dropped for a table
    /// that is not a tournament's.
    void onEndOfTournamentRound(bool lastRound, const TournamentRoundScores& scores);

Q_SIGNALS:
    /// The model was emptied (first step of every snapshot).
    void modelReset();
    /// gameState() changed (or was set again).
    void gameStateChanged();
    /// A player joined the table between hands.
    void playerJoined(const PlayerData& player);
    /// A player left and its record is gone.
    void playerLeft(qint32 playerId);
    /// A hand started: walls, winds and scores are set.
    void startHand(bool newRound);
    /// claimingPlayer took discardPlayer's last discard.
    void tileClaimed(qint32 discardPlayer, qint32 claimingPlayer);
    /// A player discarded t (riichiDiscard: declaring riichi with it).
    void tileDiscarded(qint32 playerId, tile t, bool riichiDiscard);
    /// Another player drew count tiles the user cannot see.
    void hiddenTilesFromWall(qint32 playerId, qint32 count, bool fromDeadWall);
    /// A meld was declared; m carries where a claimed tile came from.
    void meldDeclared(qint32 playerId, const meld_tuple& m);
    /// The user drew these tiles.
    void tilesFromWall(qint32 playerId, const tile_vector& tiles, bool fromDeadWall);
    /// A player laid bonus tiles aside; they are among its melds now.
    void bonusDeclared(qint32 playerId, const tile_vector& tiles);
    /// The server asks a player to act by ts's deadline; playerId -1 (with
    /// an empty deadline) means that nobody acts any more.
    void playerShouldAct(qint32 playerId, const TimeSpan& ts);
    /// The user's hand and flags were restated by the server.
    void privatePlayerData(const PrivatePlayerData& privateData);
    /// A new dora indicator was revealed after a kong.
    void kanDora(tile t);
    /// The user's furiten or active flag changed.
    void furitenChanged(bool furiten);
    void activeChanged(bool active);
    /// The table's or its tournament's record was (re)announced.
    void tableInfo(const TableInfo& ti);
    void tournamentInfo(const TournamentInfo& ti);
    /// The hand ended without a score (wash-out) or with one; the model's
    /// states and scores are already those after the hand.
    void handEndNonScoring(endhand_reason_t washoutType, bool endOfGame);
    void handEndScoring(const std::map<qint32, player_score>& scores, endhand_reason_t mahjongType,
                        bool endOfGame);
    /// The tournament round at this table ended.
    void endOfTournamentRound(bool lastRound, const TournamentRoundScores& scores);
    /// Rankings of the table's tournament arrived.
    void tournamentRankings(const TournamentRankings& rankings);
    /// A watched tournament table stopped playing.
    void tournamentRoundEnded(qint32 tableId);
    /// The table's tournament is no more.
    void tournamentRemoved();
    /// The server asks whether the user is ready; seated is true when the
    /// user is being offered the seat (rather than having just scored).
    void areYouReady(const TimeSpan& ts, bool seated);
    /// A player confirmed being ready.
    void playerIsReady(qint32 playerId);
    /// The record of a player at the table took a new name.
    void playerNameChanged(qint32 playerId, const QString& name);
    /// The user's state at the table changed.
    void playerStateChanged(GameModel::player_state_t playerState);
    /// Seats not yet taken by a ready player (after a readiness or a leave).
    void seatsRemainingChanged(int seats);
    /// Whether the user may take a seat changed.
    void joinableChanged(bool joinable);
    /// The table announces a player as seated (fromGameData: by a snapshot).
    void playerSeated(qint32 playerId, qint32 tableId, bool fromGameData);
    /// A seated player left the table.
    void playerUnseated(qint32 playerId, qint32 tableId);

private:
    void reset();
    void setPlayerState(player_state_t state);
    /// Sets the user's state without announcing it; whether it changed.
    bool changePlayerState(player_state_t state);
    void setGameState(game_state_t state);
    void updateJoinable();
    void addPlayer(const PlayerData& player);
    /// What every hand end does before its signal.
    void endHand(bool endOfGame);
    void setWall(int liveWall, int deadWall, int deadWallPosition, int deadWallDealt, const tile_vector& doraTiles);
    PlayerData* findPlayer(qint32 id);
    /// The most discards a player's pond can hold: one set of tiles.
    int pondLimit() const;
    /// Why the record cannot take a seat (every seat taken, or, where winds
    /// matter, its wind held by another player); empty when it can.
    QString seatConflict(const PlayerData& p, bool windsMatter) const;
    /// Wall sizes of the table's ruleset; 0 and 0 (logged) for a ruleset the
    /// client does not know.
    std::pair<int, int> rulesetWalls() const;

    PlayerMap m_players;
    qint32 m_tableId;
    /// What was dropped of the server's events, a flood of a kind as a count.
    mutable DropLog m_drops{m_tableId};
    qint32 m_ownPlayerId;
    QString m_ownPlayerName;
    int m_liveWall = 0;
    int m_deadWall = 0;
    int m_deadWallPosition = 0;
    int m_deadWallDealt = 0;
    tile_vector m_doraTiles;
    qint64 m_handId = -1;
    qint32 m_lastDiscarder = -1;
    tile m_lastDiscard{0};
    int m_discardState = DISCARD_OPEN;
    TableInfo m_tableInfo;
    TournamentInfo m_tournamentInfo;
    bool m_tournamentRemoved = false;
    game_state_t m_gameState = NO_GAME_STATE;
    bool m_gameInProgress = false;
    player_state_t m_playerState = NO_PLAYER_STATE;
    qint32 m_actingPlayer = -1;
    TimeSpan m_actDeadline;
    std::set<qint32> m_delayedRemovals;
    /// A seat taken while a hand is played: the player joins once play
    /// stops, and is seated then when the ready came meanwhile.
    struct DelayedJoin
    {
        PlayerData record;
        bool ready = false;
    };
    std::map<qint32, DelayedJoin> m_delayedJoins;
    bool m_joinable = false;
    bool m_watchingFromLobby = false;
    kick_reason::enum_t m_kickReason = kick_reason::KICK_REASON_0;
    bool m_freshJoin = false;
    int m_seating = 0;
    std::array<qint32, 3> m_turnWords{{0, 0, 0}};
    int m_riichiSticks = 0;
    int m_counterSticks = 0;
    std::optional<HandEnd> m_lastHandEnd;
    TableMoment m_moment;
};
