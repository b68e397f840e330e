// The slots of GameModel that play a hand: hand start, draws, discards,
// claims, melds, bonus tiles, dora, the own player's data and the hand ends.

#include "GameModel.h"

#include "GameLog.h"
#include "GameModelChecks.h"
#include "RulesetInfo.h"
#include "TileErase.h"

#include <QDebug>

#include <algorithm>

namespace {
using namespace game_protocol;

/// Tiles a declared meld takes out of the hand that declares it.
tile_vector tilesTakenByMeld(const meld_tuple& m)
{
    switch (m.type) {
    case meld_type::CHOW:
        return chowTiles(m.meld_tile);
    case meld_type::PONG:
        return pongTiles(m.meld_tile);
    case meld_type::PONG_TO_KONG:
        return {m.meld_tile};
    case meld_type::KONG:
        return kongTiles(m.meld_tile);
    default:
        return {};
    }
}

/// A tile count never goes below zero, whatever the server reports.
qint32 lowered(qint32 count, qint32 by)
{
    return std::max(0, count - by);
}

/// The concealed tiles a player holds: the own hand tile by tile, another
/// player's by count.
qint32 concealedCount(const PlayerData& p, bool own)
{
    return own ? qint32(p.handTiles().size()) : p.tileCount();
}

/// Why a hand of `held` tiles cannot take `more`; empty when it can.
QString handRoom(qint32 playerId, qint64 held, qint64 more)
{
    if (more <= maxHandTiles - held)
        return {};
    return QStringLiteral("player %1 holds %2 tiles and cannot take %3 more: a hand holds %4")
        .arg(playerId)
        .arg(held)
        .arg(more)
        .arg(maxHandTiles);
}
}

void GameModel::onStartHand(qint64 handId, const Seating& seating, const round_score_vector& roundScores,
                            bool newRound, const TableState& tableState, const WallState& wallState)
{
    // A dora code the client does not know is left out; the hand still
    // starts, or every event of it would find the last hand's state.
    const tile_vector dora = placeableDora(m_drops, "dora tile of hand start", wallState.doraTiles);

    m_handId = handId;
    m_turnWords = {{tableState.first(), tableState.wind(), tableState.third()}};
    m_riichiSticks = tableState.riichiSticks();
    m_counterSticks = tableState.counterSticks();
    m_gameInProgress = true;
    m_lastHandEnd.reset();
    // Nothing of the last hand's discards or turns can be claimed or acted
    // on, and a ready question the user left open is over: this hand came
    // without it.
    m_lastDiscarder = -1;
    m_discardState = DISCARD_OPEN;
    m_actingPlayer = -1;
    m_actDeadline = TimeSpan();
    m_moment.end(TableMoment::All);

    for (auto& [id, p] : m_players)
        p.resetForHand();
    for (int wind = 0; wind < 4; ++wind) {
        if (PlayerData* p = findPlayer(seating.playerAt(wind)))
            p->setWind(static_cast<game_protocol::wind::enum_t>(wind));
    }
    for (const round_score_row& row : roundScores) {
        if (PlayerData* p = findPlayer(row.pid)) {
            p->setRoundScore(row.score);
            p->setWins(row.value);
        }
    }

    qCDebug(lcGame).noquote() << "startHand: doras pre setWallState -" << tilesText(dora);
    if (!isKnownRuleset(m_tableInfo.ruleset))
        qCWarning(lcGame) << "table" << m_tableId << ": no wall sizes for ruleset" << m_tableInfo.ruleset;
    const auto [live, dead] = rulesetWalls();
    setWall(live, dead, wallState.deadWallPosition, 0, dora);
    qCDebug(lcGame).noquote() << "startHand: doras post setWallState -" << tilesText(dora);

    // Players who left during the last hand were removed at its end; any
    // who leave from now on wait for this hand's end.
    setGameState(GAME_PLAYING);

    // The user plays this hand only at a seating of this client's own: the
    // same account may sit here from another client while this one watches.
    if (PlayerData* own = findPlayer(m_ownPlayerId); own && own->seated() && isSeated()) {
        own->setFuriten(false);
        setPlayerState(PLAYING);
    }
    Q_EMIT startHand(newRound);
}

void GameModel::onTileDiscarded(qint32 playerId, tile t, bool riichiDiscard)
{
    if (!isInPlay()) {
        dropEvent(m_drops, "discard", QStringLiteral("no hand is played"));
        return;
    }
    PlayerData* p = findPlayer(playerId);
    if (!p) {
        dropEvent(m_drops, "discard", QStringLiteral("unknown player %1").arg(playerId));
        return;
    }
    if (!isKnownTile(t)) {
        dropEvent(m_drops, "discard", QStringLiteral("unknown tile code %1").arg(int(t.code())));
        return;
    }
    if (p->discards().size() >= std::size_t(pondLimit())) {
        dropEvent(m_drops, "discard", QStringLiteral("player %1's pond holds the wall's %2 tiles")
                                            .arg(playerId)
                                            .arg(pondLimit()));
        return;
    }
    const bool own = playerId == m_ownPlayerId;
    tile_vector hand = p->handTiles();
    if (own) {
        if (!holdsTiles(hand, {t})) {
            dropEvent(m_drops, "discard", QStringLiteral("own hand does not hold %1").arg(tilesText({t})));
            return;
        }
        eraseOneTile(hand, t);
    }

    m_lastDiscarder = playerId;
    m_lastDiscard = t;
    m_discardState = DISCARD_OPEN;
    // A discard ends its player's turn, the own one included, and whatever
    // was on offer before it.
    if (playerId == m_actingPlayer) {
        m_actingPlayer = -1;
        m_actDeadline = TimeSpan();
    }
    m_moment.end(TableMoment::Hand);
    p->addDiscard(t, riichiDiscard);
    p->setTileCount(lowered(p->tileCount(), 1));
    if (own)
        p->setHandTiles(hand);
    Q_EMIT tileDiscarded(playerId, t, riichiDiscard);
}

void GameModel::onTileClaimed(qint32 claimedBy)
{
    if (!isInPlay()) {
        dropEvent(m_drops, "claim", QStringLiteral("no hand is played"));
        return;
    }
    if (m_lastDiscarder == -1) {
        qCDebug(lcGame) << "table" << m_tableId << ": claim by" << claimedBy << "with no discard to claim";
        return;
    }
    PlayerData* claimer = findPlayer(claimedBy);
    if (!claimer) {
        dropEvent(m_drops, "claim", QStringLiteral("unknown player %1").arg(claimedBy));
        return;
    }
    if (m_discardState != DISCARD_OPEN) {
        // A second claim of the same discard would take another tile out of
        // the discarder's river.
        dropEvent(m_drops, "claim", QStringLiteral("the discard of player %1 was already claimed").arg(m_lastDiscarder));
        return;
    }
    PlayerData* discarder = findPlayer(m_lastDiscarder);
    if (!discarder || discarder->discards().empty()) {
        dropEvent(m_drops, "claim", QStringLiteral("discarding player %1 has no discard here").arg(m_lastDiscarder));
        return;
    }
    if (const QString why = handRoom(claimedBy, concealedCount(*claimer, claimedBy == m_ownPlayerId), 1);
        !why.isEmpty()) {
        dropEvent(m_drops, "claim", why);
        return;
    }

    const qint32 discarderId = m_lastDiscarder;
    m_moment.end(TableMoment::Hand);
    discarder->takeLastDiscard();
    m_discardState = DISCARD_CLAIMED;
    if (claimedBy == m_ownPlayerId) {
        tile_vector hand = claimer->handTiles();
        hand.push_back(m_lastDiscard);
        claimer->setHandTiles(hand);
    } else {
        claimer->setTileCount(claimer->tileCount() + 1);
    }
    Q_EMIT tileClaimed(discarderId, claimedBy);
}

void GameModel::onMeldDeclared(qint32 playerId, const meld_tuple& m)
{
    PlayerData* p = findPlayer(playerId);
    if (!p) {
        dropEvent(m_drops, "meld", QStringLiteral("unknown player %1").arg(playerId));
        return;
    }
    if (!isPlaceableMeldTile(m.meld_tile, m.visibility)) {
        dropEvent(m_drops, "meld", QStringLiteral("unknown tile code %1").arg(int(m.meld_tile.code())));
        return;
    }
    if (m.type == meld_type::CHOW
        && (m.meld_tile.suit() > tile::CIRCLE || m.meld_tile.rank() < 1 || m.meld_tile.rank() > 7)) {
        dropEvent(m_drops, "meld", QStringLiteral("no chow starts at %1").arg(tilesText({m.meld_tile})));
        return;
    }

    if (const QString why = checkMeldRoom(*p, m.type); !why.isEmpty()) {
        dropEvent(m_drops, "meld", why);
        return;
    }
    meld_tuple_vector melds = p->melds();
    if (m.type == meld_type::PONG_TO_KONG) {
        const auto pong = std::find_if(melds.begin(), melds.end(), [&](const meld_tuple& old) {
            return old.type == meld_type::PONG && old.meld_tile == m.meld_tile;
        });
        if (pong == melds.end()) {
            dropEvent(m_drops, "meld", QStringLiteral("player %1 has no pong of %2 to extend")
                                             .arg(playerId)
                                             .arg(tilesText({m.meld_tile})));
            return;
        }
        pong->type = meld_type::KONG; // the kong keeps the pong's place
    }
    const tile_vector taken = tilesTakenByMeld(m);
    const bool own = playerId == m_ownPlayerId;
    tile_vector hand = p->handTiles();
    if (own) {
        if (!holdsTiles(hand, taken)) {
            dropEvent(m_drops, "meld", QStringLiteral("own hand does not hold %1").arg(tilesText(taken)));
            return;
        }
        eraseTiles(hand, taken);
    }

    // A meld answers or ends what was on offer; another player's ends the own turn.
    m_moment.end(own ? unsigned(TableMoment::Choices) : unsigned(TableMoment::Hand));
    meld_tuple declared = m;
    if (m_discardState == DISCARD_CLAIMED) {
        declared.extra = m_lastDiscarder;
        declared.extra_tile = tile(static_cast<std::uint8_t>(m_lastDiscard.code() - m.meld_tile.code()));
        m_lastDiscarder = -1;
        m_discardState = DISCARD_MELDED;
    } else {
        declared.extra = -1;
    }

    if (m.type == meld_type::PONG_TO_KONG)
        p->setMelds(melds);
    else
        p->addMeld(declared);
    if (own)
        p->setHandTiles(hand);
    else
        p->setTileCount(lowered(p->tileCount(), static_cast<qint32>(taken.size())));
    Q_EMIT meldDeclared(playerId, declared);
}

void GameModel::onHiddenTilesFromWall(qint32 playerId, qint32 count, bool fromDeadWall)
{
    if (playerId == m_ownPlayerId)
        return; // the own draws come with their faces, as onTilesFromWall
    PlayerData* p = findPlayer(playerId);
    if (!p) {
        dropEvent(m_drops, "hidden draw", QStringLiteral("unknown player %1").arg(playerId));
        return;
    }
    if (count < 0) {
        dropEvent(m_drops, "hidden draw", QStringLiteral("negative count %1").arg(count));
        return;
    }
    if (const QString why = handRoom(playerId, p->tileCount(), count); !why.isEmpty()) {
        dropEvent(m_drops, "hidden draw", why);
        return;
    }
    p->setTileCount(p->tileCount() + count);
    takeFromWall(m_tableInfo.ruleset, count, fromDeadWall, m_liveWall, m_deadWall, m_deadWallDealt);
    // Another player's draw moves play past a claim and the own turn.
    m_moment.end(TableMoment::Turn | TableMoment::Claim | TableMoment::RobKong);
    Q_EMIT hiddenTilesFromWall(playerId, count, fromDeadWall);
}

void GameModel::onTilesFromWall(const tile_vector& tiles, bool fromDeadWall)
{
    PlayerData* own = findPlayer(m_ownPlayerId);
    if (!own) {
        dropEvent(m_drops, "own draw", QStringLiteral("the own player %1 is not at the table").arg(m_ownPlayerId));
        return;
    }
    // The size first: a draw past what a hand holds is not read tile by tile.
    QString why = handRoom(m_ownPlayerId, qint64(own->handTiles().size()), qint64(tiles.size()));
    if (why.isEmpty())
        why = checkTiles(tiles);
    if (!why.isEmpty()) {
        dropEvent(m_drops, "own draw", why);
        return;
    }
    own->addHandTiles(tiles);
    takeFromWall(m_tableInfo.ruleset, static_cast<int>(tiles.size()), fromDeadWall, m_liveWall, m_deadWall,
                 m_deadWallDealt);
    // The own draw moves play past a claim; a declaration stays open through the own turn.
    m_moment.end(TableMoment::Claim | TableMoment::RobKong);
    Q_EMIT tilesFromWall(m_ownPlayerId, tiles, fromDeadWall);
}

void GameModel::onDeclareBonus(qint32 playerId, const tile_vector& tiles)
{
    PlayerData* p = findPlayer(playerId);
    if (!p) {
        dropEvent(m_drops, "bonus tiles", QStringLiteral("unknown player %1").arg(playerId));
        return;
    }
    if (qint64(bonusTileCount(*p)) + qint64(tiles.size()) > maxBonusTiles) {
        dropEvent(m_drops, "bonus tiles", QStringLiteral("player %1 has %2 bonus tiles and cannot lay aside %3 more")
                                                .arg(playerId)
                                                .arg(bonusTileCount(*p))
                                                .arg(tiles.size()));
        return;
    }
    if (const QString why = checkTiles(tiles); !why.isEmpty()) {
        dropEvent(m_drops, "bonus tiles", why);
        return;
    }
    const bool own = playerId == m_ownPlayerId;
    tile_vector hand = p->handTiles();
    if (own) {
        if (!holdsTiles(hand, tiles)) {
            dropEvent(m_drops, "bonus tiles", QStringLiteral("own hand does not hold %1").arg(tilesText(tiles)));
            return;
        }
        eraseTiles(hand, tiles);
        p->setHandTiles(hand);
    } else {
        p->setTileCount(lowered(p->tileCount(), static_cast<qint32>(tiles.size())));
    }
    for (const tile t : tiles)
        p->addMeld(bonusMeldType, meld_visibility::VISIBILITY_0, t, -1, tile(255));
    Q_EMIT bonusDeclared(playerId, tiles);
}

void GameModel::onKanDora(tile t)
{
    if (!isKnownTile(t)) {
        dropEvent(m_drops, "kan dora", QStringLiteral("unknown tile code %1").arg(int(t.code())));
        return;
    }
    if (m_doraTiles.size() >= std::size_t(maxDora)) {
        dropEvent(m_drops, "kan dora", QStringLiteral("the hand has its %1 dora tiles").arg(maxDora));
        return;
    }
    qCDebug(lcGame).noquote() << "dora: add kan dora -" << QString::fromStdString(tileToString(t));
    m_doraTiles.push_back(t);
    Q_EMIT kanDora(t);
}

void GameModel::onPlayerShouldAct(qint32 playerId, const TimeSpan& ts)
{
    if (playerId == -1) {
        // Nobody acts now: the last actor and its deadline are over.
        m_actingPlayer = -1;
        m_actDeadline = TimeSpan();
        m_moment.end(TableMoment::Turn);
        Q_EMIT playerShouldAct(-1, m_actDeadline);
        return;
    }
    if (!hasPlayer(playerId)) {
        dropEvent(m_drops, "turn to act", QStringLiteral("unknown player %1").arg(playerId));
        return;
    }
    m_actingPlayer = playerId;
    m_actDeadline = ts;
    // Another player's turn ends a claim and the own turn. The own turn asks
    // for a discard, unless a claim is open: then it is the claim's own
    // countdown, and the discard comes with the claim's meld.
    const TableMoment::Question* choice = m_moment.choice();
    if (playerId != m_ownPlayerId)
        m_moment.end(TableMoment::Turn | TableMoment::Claim | TableMoment::RobKong);
    else if (!choice || choice->kind == TableMoment::Declaration)
        m_moment.askTurn(ts);
    Q_EMIT playerShouldAct(playerId, m_actDeadline);
}

void GameModel::onPrivatePlayerData(const PrivatePlayerData& privateData)
{
    PlayerData* own = findPlayer(m_ownPlayerId);
    if (!own) {
        dropEvent(m_drops, "own hand", QStringLiteral("the own player %1 is not at the table").arg(m_ownPlayerId));
        return;
    }
    QString why = handRoom(m_ownPlayerId, 0, qint64(privateData.hand.size()));
    if (why.isEmpty())
        why = checkTiles(privateData.hand);
    if (!why.isEmpty()) {
        dropEvent(m_drops, "own hand", why);
        return;
    }
    own->setHandTiles(privateData.hand);
    own->setActive(privateData.active);
    own->setFuriten(privateData.furiten);
    Q_EMIT privatePlayerData(privateData);
}

void GameModel::onFuritenChanged(bool furiten)
{
    PlayerData* own = findPlayer(m_ownPlayerId);
    if (!own) {
        dropEvent(m_drops, "furiten", QStringLiteral("the own player %1 is not at the table").arg(m_ownPlayerId));
        return;
    }
    own->setFuriten(furiten);
    Q_EMIT furitenChanged(furiten);
}

void GameModel::onActiveChanged(bool active)
{
    PlayerData* own = findPlayer(m_ownPlayerId);
    if (!own) {
        dropEvent(m_drops, "active flag", QStringLiteral("the own player %1 is not at the table").arg(m_ownPlayerId));
        return;
    }
    own->setActive(active);
    Q_EMIT activeChanged(active);
}

void GameModel::endHand(bool endOfGame)
{
    m_gameInProgress = !endOfGame;
    m_actingPlayer = -1;
    m_actDeadline = TimeSpan();
    m_moment.end(TableMoment::Hand);
    if (isOwnPlayerSeated())
        setPlayerState(SCORING);
    setGameState(GAME_HAND_ENDED);
    // Between hands the question is whether the user is ready; the server
    // names its time when it asks.
    if (m_playerState == SCORING)
        m_moment.askReady(TimeSpan(), false);
}

void GameModel::onHandEndScoring(const std::map<qint32, player_score>& scores, endhand_reason_t mahjongType,
                                 bool endOfGame)
{
    // Scores of players who were never at the table cannot be placed; those
    // of players who left during the hand are still shown.
    std::map<qint32, player_score> placed;
    for (const auto& [id, score] : scores) {
        if (hasPlayer(id))
            placed.emplace(id, handScore(m_drops, score));
        else
            dropEvent(m_drops, "hand score", QStringLiteral("unknown player %1").arg(id));
    }

    endHand(endOfGame);
    m_lastHandEnd = HandEnd{placed, mahjongType, true, endOfGame};
    for (const auto& [id, score] : placed) {
        PlayerData* p = findPlayer(id);
        if (!p)
            continue; // left during the hand and removed just now
        p->setRoundScore(score.currentScore);
        if (score.scoreType == 1)
            p->setWins(p->wins() + 1);
    }
    Q_EMIT handEndScoring(placed, mahjongType, endOfGame);
}

void GameModel::onHandEndNonScoring(endhand_reason_t washoutType, bool endOfGame)
{
    endHand(endOfGame);
    m_lastHandEnd = HandEnd{{}, washoutType, false, endOfGame};
    Q_EMIT handEndNonScoring(washoutType, endOfGame);
}

void GameModel::onEndOfTournamentRound(bool lastRound, const TournamentRoundScores& scores)
{
    if (!isTournamentTable()) {
        // A regular table's game goes on; it has no tournament round to end.
        dropEvent(m_drops, "end of tournament round", QStringLiteral("the table is not a tournament's"));
        return;
    }
    const TournamentRoundScores rows = seatRows(m_drops, "rows of the tournament round", scores);
    m_moment.end(TableMoment::All);
    if (isOwnPlayerSeated())
        setPlayerState(SCORING);
    setGameState(GAME_FINISHED);
    Q_EMIT endOfTournamentRound(lastRound, rows);
}

MonetaryRoundScores GameModel::tableRoundRows(const MonetaryRoundScores& scores) const
{
    return seatRows(m_drops, "rows of the table round", scores);
}

bool GameModel::acceptsOffers(const char* event) const
{
    // Nothing is claimed or declared before a hand, after it, after the
    // game, or by a user who watches or was removed from the table.
    if (isInPlay() && m_playerState == PLAYING && isOwnPlayerSeated())
        return true;
    dropEvent(m_drops, event, QStringLiteral("the user plays no hand here now"));
    return false;
}

quint64 GameModel::keepOffer(OfferKind kind, const meld_offer_vector& offers, const TimeSpan& ts)
{
    switch (kind) {
    case OfferKind::Claim:
        return m_moment.askChoice(TableMoment::Claim, offers, m_lastDiscard, ts);
    case OfferKind::Declaration:
        return m_moment.askChoice(TableMoment::Declaration, offers, tile(0), ts);
    case OfferKind::RobKong:
        break;
    }
    return m_moment.askChoice(TableMoment::RobKong, offers, tile(0), ts);
}

meld_offer_vector GameModel::allowedOffers(const meld_offer_vector& offers, OfferKind kind) const
{
    const PlayerData* own = player(m_ownPlayerId);
    const tile_vector hand = own ? own->handTiles() : tile_vector{};
    const auto held = [&hand](tile t) { return std::count(hand.begin(), hand.end(), t); };
    const auto allowed = [&](const meld_offer& o) {
        const tile t = o.meld_tile;
        switch (o.type) {
        case meld_type::MAHJONG:
            return true;
        case meld_type::RIICHI:
            return kind != OfferKind::RobKong && held(t) > 0;
        case meld_type::CHOW:
            return kind == OfferKind::Claim && isKnownTile(t) && t.suit() <= tile::CIRCLE && t.rank() >= 1
                && t.rank() <= 7 && m_lastDiscard.code() >= t.code() && m_lastDiscard.code() - t.code() <= 2;
        case meld_type::PONG:
            return kind == OfferKind::Claim && t == m_lastDiscard;
        case meld_type::KONG:
            return kind == OfferKind::Claim ? t == m_lastDiscard : kind == OfferKind::Declaration && held(t) == 4;
        case meld_type::PONG_TO_KONG:
            return kind == OfferKind::Declaration && own && held(t) > 0
                && std::any_of(own->melds().begin(), own->melds().end(), [t](const meld_tuple& m) {
                       return m.type == meld_type::PONG && m.meld_tile == t;
                   });
        default:
            return false;
        }
    };
    meld_offer_vector kept;
    for (const meld_offer& o : offers) {
        // Mahjong is one button whatever tile comes with it.
        const bool repeated = std::any_of(kept.begin(), kept.end(), [&o](const meld_offer& k) {
            return k.type == o.type && (k.meld_tile == o.meld_tile || o.type == meld_type::MAHJONG);
        });
        if (!repeated && allowed(o))
            kept.push_back(o);
    }
    if (kept.size() != offers.size())
        dropEvent(m_drops, "claim offers", QStringLiteral("%1 of %2 offers repeat one or are not allowed now")
                                                 .arg(offers.size() - kept.size())
                                                 .arg(offers.size()));
    return kept;
}
