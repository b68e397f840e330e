#include "GameModel.h"

#include "GameLog.h"
#include "GameModelChecks.h"
#include "RulesetInfo.h"
#include "server_error.h"

#include <QDebug>

#include <string>
#include <utility>

GameModel::GameModel(qint32 tableId, const TableInfo& tableInfo, qint32 ownPlayerId, const QString& ownPlayerName,
                     QObject* parent)
    : QObject(parent)
    , m_tableId(tableId)
    , m_ownPlayerId(ownPlayerId)
    , m_ownPlayerName(ownPlayerName)
    , m_tableInfo(tableInfo)
{
    if (!isKnownRuleset(m_tableInfo.ruleset))
        qCWarning(lcGame) << "table" << m_tableId << "has a ruleset the client does not know:" << m_tableInfo.ruleset;
    reset();
}

GameModel::~GameModel() = default;

const char* GameModel::playerStateName(int state)
{
    switch (state) {
    case NO_PLAYER_STATE:
        return "NO_PLAYER_STATE";
    case WATCHING:
        return "WATCHING";
    case SEAT_OFFERED:
        return "SEAT_OFFERED";
    case WAITING:
        return "WAITING";
    case PLAYING:
        return "PLAYING";
    case SCORING:
        return "SCORING";
    case KICKED:
        return "KICKED";
    default:
        return "<undefined>";
    }
}

// ---------------------------------------------------------------- queries

const PlayerData* GameModel::player(qint32 id) const
{
    const auto it = m_players.find(id);
    return it == m_players.end() ? nullptr : &it->second;
}

PlayerData* GameModel::findPlayer(qint32 id)
{
    const auto it = m_players.find(id);
    return it == m_players.end() ? nullptr : &it->second;
}

const PlayerData& GameModel::playerRef(qint32 id) const
{
    const PlayerData* p = player(id);
    if (!p)
        throw server_error("unknown player " + std::to_string(id));
    return *p;
}

bool GameModel::isPlayerSeated(qint32 id) const
{
    // A player removed during the hand keeps the record until the hand
    // ends, but no longer the seat.
    const PlayerData* p = player(id);
    return p && p->seated() && m_delayedRemovals.count(id) == 0;
}

const PlayerData* GameModel::playerByWind(int wind) const
{
    for (const auto& [id, p] : m_players) {
        if (p.wind() == wind)
            return &p;
    }
    return nullptr;
}

std::vector<qint32> GameModel::seatedPlayerIds() const
{
    std::vector<qint32> ids;
    for (const auto& [id, p] : m_players) {
        if (p.seated())
            ids.push_back(id);
    }
    return ids;
}

int GameModel::seatsRemaining() const
{
    int ready = 0;
    for (const auto& [id, p] : m_players) {
        if (p.ready())
            ++ready;
    }
    return m_tableInfo.capacity.capacity() - ready;
}

int GameModel::riichiSticks() const
{
    int sticks = m_riichiSticks;
    for (const auto& [id, p] : m_players) {
        if (p.riichiDiscardIndex() != -1)
            ++sticks;
    }
    return sticks;
}

std::optional<TimeSpan> GameModel::readyQuestion() const
{
    const TableMoment::Question* ready = m_moment.ready();
    if (!ready || ready->seatOffer || ready->span.isNull())
        return std::nullopt;
    return ready->span;
}

std::pair<qint32, TimeSpan> GameModel::currentActor() const
{
    if (m_gameState == GAME_PLAYING && m_actingPlayer != -1)
        return {m_actingPlayer, m_actDeadline};
    return {-1, TimeSpan()};
}

// ---------------------------------------------------------------- internals

std::pair<int, int> GameModel::rulesetWalls() const
{
    if (!isKnownRuleset(m_tableInfo.ruleset))
        return {0, 0};
    const RulesetInfo& info = rulesetInfo(m_tableInfo.ruleset);
    return {info.liveWallTiles(), info.deadWallTiles()};
}

int GameModel::pondLimit() const
{
    // A table of a ruleset the client does not know still holds no more
    // than one set of tiles.
    const auto [live, dead] = rulesetWalls();
    return live + dead > 0 ? live + dead : 144;
}

QString GameModel::seatConflict(const PlayerData& p, bool windsMatter) const
{
    // A record of a player already here replaces it, taking no other seat.
    // While a hand is played the seats of those who leave at its end are
    // free for those who join then.
    const qint32 id = p.id();
    const bool here = (hasPlayer(id) && m_delayedRemovals.count(id) == 0) || m_delayedJoins.count(id) != 0;
    const std::size_t taken = m_players.size() - m_delayedRemovals.size() + m_delayedJoins.size();
    if (!here && taken >= std::size_t(maxSeats))
        return QStringLiteral("player %1: the table's %2 seats are taken").arg(p.id()).arg(maxSeats);
    if (!windsMatter)
        return {};
    for (const auto& [id, other] : m_players) {
        if (id != p.id() && other.wind() == p.wind())
            return QStringLiteral("player %1: wind %2 is player %3's").arg(p.id()).arg(int(p.wind())).arg(id);
    }
    return {};
}

void GameModel::reset()
{
    const auto [live, dead] = rulesetWalls();
    m_liveWall = live;
    m_deadWall = dead;
    m_doraTiles.clear();
    m_deadWallPosition = 4;
    // The discard bookkeeping goes with the players it names: a claim after
    // a reset must not find a discarder or an open claim from before it.
    m_lastDiscarder = -1;
    m_discardState = DISCARD_OPEN;
    m_actingPlayer = -1;
    m_actDeadline = TimeSpan();
    m_gameState = NO_GAME_STATE;
    m_players.clear();
    m_delayedRemovals.clear();
    m_delayedJoins.clear();
    m_handId = -1;
    m_riichiSticks = 0;
    m_counterSticks = 0;
    m_lastHandEnd.reset();
    // Nothing asked before a snapshot is still asked after it.
    m_moment.end(TableMoment::All);
    Q_EMIT modelReset();
}

void GameModel::setPlayerState(player_state_t state)
{
    if (!changePlayerState(state))
        return;
    Q_EMIT playerStateChanged(state);
    updateJoinable();
}

bool GameModel::changePlayerState(player_state_t state)
{
    if (state == m_playerState)
        return false;
    qCDebug(lcGame) << "changing player state on table" << m_tableId << "from" << playerStateName(m_playerState)
                    << "to" << playerStateName(state);
    m_playerState = state;
    return true;
}

void GameModel::setGameState(game_state_t state)
{
    m_gameState = state;
    if (state != GAME_PLAYING && (!m_delayedRemovals.empty() || !m_delayedJoins.empty())) {
        // Players who left during the hand go now, announced as any leave,
        // so that every view drops their seats.
        const std::set<qint32> gone = std::exchange(m_delayedRemovals, {});
        for (const qint32 id : gone) {
            const auto it = m_players.find(id);
            if (it == m_players.end())
                continue;
            if (it->second.seated())
                Q_EMIT playerUnseated(id, m_tableId);
            m_players.erase(id);
            Q_EMIT playerLeft(id);
        }
        // Those who sat down during the hand join now, in the seats just
        // freed, as a join and a ready between hands would have it.
        const std::map<qint32, DelayedJoin> joining = std::exchange(m_delayedJoins, {});
        for (const auto& [id, join] : joining) {
            addPlayer(join.record);
            Q_EMIT playerJoined(join.record);
            if (join.ready)
                onPlayerIsReady(id);
        }
        Q_EMIT seatsRemainingChanged(seatsRemaining());
    }
    Q_EMIT gameStateChanged();
    updateJoinable();
}

void GameModel::updateJoinable()
{
    bool joinable = false;
    if (!isSeated()) {
        joinable = m_gameState != GAME_PLAYING
            && static_cast<qint32>(m_players.size()) != m_tableInfo.capacity.capacity() && !isTournamentTable();
    }
    if (joinable == m_joinable)
        return;
    m_joinable = joinable;
    Q_EMIT joinableChanged(joinable);
}

void GameModel::addPlayer(const PlayerData& player)
{
    const auto it = m_players.find(player.id());
    if (it == m_players.end()) {
        m_players.emplace(player.id(), player);
        return;
    }
    if (m_delayedRemovals.erase(player.id()) == 0)
        qCWarning(lcGame) << "addPlayer called for already added player" << player;
    it->second = player;
}

void GameModel::setWall(int liveWall, int deadWall, int deadWallPosition, int deadWallDealt,
                        const tile_vector& doraTiles)
{
    m_liveWall = liveWall;
    m_deadWall = deadWall;
    m_deadWallPosition = deadWallPosition;
    m_deadWallDealt = deadWallDealt;
    m_doraTiles = doraTiles;
    qCDebug(lcGame).noquote() << "dora: set dora tiles -" << tilesText(doraTiles);
}

// ---------------------------------------------------------------- the table

void GameModel::onGameData(qint64 handId, server_game_state::enum_t gameState, const std::vector<PlayerData>& players,
                           const TableState& tableState, const WallState& wallState)
{
    using namespace game_protocol::server_game_state;
    if (gameState < INITIAL_STATE || gameState > HAND_ENDED_STATE) {
        dropEvent(m_drops, "game data", QStringLiteral("unknown game state %1").arg(int(gameState)));
        return;
    }
    // A dora code the client does not know is left out; the rest of the
    // snapshot still applies.
    const tile_vector dora = placeableDora(m_drops, "dora tile of game data", wallState.doraTiles);

    // 1, 2, 3: an empty model with the table's records announced first.
    reset();
    m_handId = handId;
    m_turnWords = {{tableState.first(), tableState.wind(), tableState.third()}};
    m_riichiSticks = tableState.riichiSticks();
    m_counterSticks = tableState.counterSticks();
    Q_EMIT tableInfo(m_tableInfo);
    Q_EMIT tournamentInfo(m_tournamentInfo);

    // 4, 5: the listed players, and the user when the server has not listed
    // them yet after a join.
    // (The user's own record counts as listed only when it could be placed.)
    // Once a hand has been dealt each seat has its own wind.
    const bool dealt = gameState != INITIAL_STATE;
    for (const PlayerData& p : players) {
        QString why = checkPlayerRecord(p, pondLimit());
        if (why.isEmpty())
            why = seatConflict(p, dealt);
        if (!why.isEmpty()) {
            dropEvent(m_drops, "player record of game data", why);
            continue;
        }
        addPlayer(p);
    }
    if (m_freshJoin && !hasPlayer(m_ownPlayerId)) {
        const PlayerData own(m_ownPlayerId, m_ownPlayerName);
        if (const QString why = seatConflict(own, false); why.isEmpty())
            addPlayer(own);
        else
            dropEvent(m_drops, "own seat of game data", why);
    }

    // 6: whether a game runs, and the discard that may still be claimed.
    const bool inHand = gameState >= START_HAND_STATE && gameState <= ROBBING_THE_KONG_STATE;
    if (gameState == INITIAL_STATE) {
        m_gameInProgress = false;
    } else if (inHand) {
        m_gameInProgress = true;
        const qint32 discarder = tableState.discardingPlayer();
        if (discarder != -1) {
            const PlayerData* p = player(discarder);
            if (p && !p->discards().empty()) {
                m_lastDiscarder = discarder;
                m_lastDiscard = p->discards().back();
                m_discardState = DISCARD_OPEN;
            } else {
                qCWarning(lcGame).noquote()
                    << QStringLiteral("table %1: game data names discarding player %2, who is not at the table "
                                      "or has no discard")
                           .arg(m_tableId)
                           .arg(discarder);
            }
        }
    } else {
        m_gameInProgress = true;
    }

    // 10, done first: whoever reacts to the game state below draws the wall
    // this snapshot describes.
    setWall(wallState.liveTiles, wallState.deadWallTiles, wallState.deadWallPosition, wallState.deadWallTilesDealt,
            dora);

    // 7: seating announcements, ascending by id.
    for (auto& [id, p] : m_players) {
        if (p.seated())
            continue;
        bool announce = true;
        if (!isTournamentTable() && gameState == INITIAL_STATE)
            announce = p.ready();
        if (!announce)
            continue;
        p.setSeated(true);
        Q_EMIT playerSeated(id, m_tableId, true);
    }

    // 9, settled before it is announced: whoever lays the table out on the
    // game state below reads the user's own state of this seating (a
    // rejoined hand is the user's own, not a watcher's).
    bool ownStateChanged = false;
    if (m_freshJoin) {
        m_freshJoin = false;
        player_state_t own = SCORING;
        if (gameState == INITIAL_STATE)
            own = isPlayerSeated(m_ownPlayerId) ? WAITING : SEAT_OFFERED;
        else if (inHand)
            own = PLAYING;
        ownStateChanged = changePlayerState(own);
    }

    // 8: the game state. Players who left during the running hand stay.
    if (gameState == INITIAL_STATE) {
        setGameState(GAME_WAITING);
    } else if (inHand) {
        m_gameState = GAME_PLAYING;
        Q_EMIT gameStateChanged();
        updateJoinable();
    } else {
        setGameState(GAME_HAND_ENDED);
    }
    if (ownStateChanged) {
        Q_EMIT playerStateChanged(m_playerState);
        updateJoinable();
    }
}

void GameModel::onPlayerJoined(const PlayerData& player)
{
    const bool inPlay = m_gameState == GAME_PLAYING;
    if (inPlay && hasPlayer(player.id()) && m_delayedRemovals.count(player.id()) == 0) {
        qCDebug(lcGame) << "won't handle player join when in play";
        return;
    }
    QString why = checkPlayerRecord(player, pondLimit());
    if (why.isEmpty())
        why = seatConflict(player, false);
    if (!why.isEmpty()) {
        dropEvent(m_drops, "player join", why);
        return;
    }
    if (inPlay) {
        // The hand is dealt without the newcomer: the seat is theirs from
        // its end, as a leave during the hand takes effect then.
        qCDebug(lcGame) << "player" << player.id() << "joins when the hand ends";
        m_delayedJoins[player.id()] = DelayedJoin{player};
        return;
    }
    addPlayer(player);
    Q_EMIT playerJoined(player);
}

void GameModel::onPlayerLeft(qint32 playerId)
{
    if (m_gameState == GAME_FINISHED)
        return;
    if (m_delayedJoins.erase(playerId) != 0) {
        // Gone again before the hand ended: the seat was never shown.
        qCDebug(lcGame) << "player" << playerId << "left before joining";
        return;
    }
    const auto it = m_players.find(playerId);
    if (it == m_players.end() || m_delayedRemovals.count(playerId) != 0) {
        // The server would have us remove someone who is not (or no longer)
        // here: nothing to undo, so the leave is dropped.
        dropEvent(m_drops, "player leave", QStringLiteral("remove non-existant player: %1").arg(playerId));
        return;
    }
    if (m_gameState == GAME_PLAYING) {
        qCDebug(lcGame) << "player" << playerId << "moved to delayed remove";
        m_delayedRemovals.insert(playerId);
        return;
    }
    if (it->second.seated())
        Q_EMIT playerUnseated(playerId, m_tableId);
    m_players.erase(it);
    if (playerId == m_ownPlayerId) {
        m_moment.end(TableMoment::All);
        setPlayerState(NO_PLAYER_STATE);
    }
    Q_EMIT playerLeft(playerId);
    Q_EMIT seatsRemainingChanged(seatsRemaining());
}

void GameModel::onPlayerKicked(kick_reason::enum_t reason)
{
    m_moment.end(TableMoment::All);
    onPlayerLeft(m_ownPlayerId);
    m_kickReason = reason;
    setPlayerState(KICKED);
}

void GameModel::onAreYouReady(const TimeSpan& ts)
{
    if (m_playerState != SEAT_OFFERED && m_playerState != SCORING) {
        qCWarning(lcGame).noquote() << "Got 'are you ready' in state:" << playerStateName(m_playerState);
        return;
    }
    m_moment.askReady(ts, m_playerState == SEAT_OFFERED);
    Q_EMIT areYouReady(ts, m_playerState == SEAT_OFFERED);
}

void GameModel::onPlayerNameUpdate(qint32 playerId, const QString& name)
{
    PlayerData* p = findPlayer(playerId);
    if (!p || name.isEmpty() || p->name() == name)
        return;
    p->setName(name);
    Q_EMIT playerNameChanged(playerId, name);
}

void GameModel::onPlayerIsReady(qint32 playerId)
{
    if (const auto held = m_delayedJoins.find(playerId); held != m_delayedJoins.end()) {
        held->second.ready = true;
        return;
    }
    PlayerData* p = findPlayer(playerId);
    if (!p) {
        dropEvent(m_drops, "player ready", QStringLiteral("unknown player %1").arg(playerId));
        return;
    }
    if (playerId == m_ownPlayerId && m_playerState != SEAT_OFFERED && m_playerState != SCORING) {
        qCWarning(lcGame).noquote() << "Got 'player is ready' in state:" << playerStateName(m_playerState);
        return;
    }
    p->setReady(true);
    if (playerId == m_ownPlayerId)
        m_moment.end(TableMoment::Ready);
    if (!p->seated()) {
        p->setSeated(true);
        Q_EMIT playerSeated(playerId, m_tableId, false);
    }
    if (playerId == m_ownPlayerId)
        setPlayerState(WAITING);
    Q_EMIT playerIsReady(playerId);
    Q_EMIT seatsRemainingChanged(seatsRemaining());
}

void GameModel::onTableInfo(const TableInfo& ti)
{
    if (ti.tableId != m_tableId) {
        dropEvent(m_drops, "table info", QStringLiteral("record of table %1").arg(ti.tableId));
        return;
    }
    if (!isKnownRuleset(ti.ruleset)) {
        dropEvent(m_drops, "table info", QStringLiteral("unknown ruleset %1").arg(ti.ruleset));
        return;
    }
    m_tableInfo = ti;
    Q_EMIT tableInfo(m_tableInfo);
    updateJoinable();
}

void GameModel::onTableInfo(int seated, const TableInfoUpdates& updates)
{
    TableInfo changed = m_tableInfo;
    changed.capacity.setSeated(seated);
    try {
        changed.applyUpdates(updates);
    } catch (const std::exception& e) {
        dropEvent(m_drops, "table info update", QString::fromStdString(e.what()));
        return;
    }
    if (!isKnownRuleset(changed.ruleset)) {
        dropEvent(m_drops, "table info update", QStringLiteral("unknown ruleset %1").arg(changed.ruleset));
        return;
    }
    m_tableInfo = changed;
    Q_EMIT tableInfo(m_tableInfo);
    updateJoinable();
}

void GameModel::onTournamentInfo(const TournamentInfo& ti)
{
    const qint32 oldStatus = m_tournamentInfo.status;
    m_tournamentInfo = ti;
    Q_EMIT tournamentInfo(m_tournamentInfo);
    if (isSeated())
        return;
    if (oldStatus == 3 && (ti.status == 4 || ti.status == 5)) {
        setGameState(GAME_FINISHED);
        Q_EMIT tournamentRoundEnded(m_tableId);
    }
}

void GameModel::onTournamentRankings(const TournamentRankings& rankings)
{
    Q_EMIT tournamentRankings(rankings);
}

void GameModel::onTournamentRemoved()
{
    if (!isTournamentTable())
        return;
    m_tournamentRemoved = true;
    m_moment.end(TableMoment::All);
    if (m_gameState != GAME_FINISHED)
        setGameState(GAME_FINISHED);
    Q_EMIT tournamentRemoved();
}

void GameModel::onWatching(bool fromLobby)
{
    ++m_seating;
    m_watchingFromLobby = fromLobby;
    setPlayerState(WATCHING);
}
