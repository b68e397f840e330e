// The game envelope (class 100): every inner game packet of a table becomes
// one ConnectionManager signal.

#include "ConnectionManager.h"

#include "ConnectionManager_p.h"
#include "ProtocolValues.h"
#include "any_t.h"
#include "game_data_packet.h"
#include "hand_end_packet.h"
#include "message_reader.h"
#include "platform_packets.h"
#include "request_frames.h"
#include "server_error.h"
#include "start_hand_packet.h"
#include "wire_codec.h"

#include <QDebug>

#include <algorithm>
#include <exception>
#include <set>
#include <sstream>

namespace {

/// Decodes the fields of game packet Tag with the typed-value table's reader.
template<int Tag>
any_value_t<Tag> decode(message_reader& r)
{
    game_wire::decode_context ctx;
    return game_wire::read<any_value_t<Tag>>(r, ctx);
}

template<class T>
QString debugText(const T& value)
{
    std::ostringstream out;
    out << value;
    return QString::fromStdString(out.str());
}

QString tileCodes(const tile_vector& tiles)
{
    QStringList codes;
    for (tile t : tiles)
        codes << QString::number(t.code());
    return codes.join(QLatin1Char(' '));
}

const char* gameStateName(int state)
{
    static const char* const names[] = {"INITIAL_STATE",
                                        "START_HAND_STATE",
                                        "DECLARING_BONUS_TILES_STATE",
                                        "TILE_CLAIMED_STATE",
                                        "TILE_DISCARDED_STATE",
                                        "ROBBING_THE_KONG_STATE",
                                        "HAND_ENDED_STATE"};
    return state >= 0 && state < 7 ? names[state] : "unknown";
}

/// A meld that a claim event builds: no claimed-from player, no extra tile.
meld_tuple claimedMeld(game_protocol::meld_type::enum_t type, game_protocol::meld_visibility::enum_t visibility,
                       tile t)
{
    meld_tuple m;
    m.type = type;
    m.visibility = visibility;
    m.meld_tile = t;
    m.extra = -1;
    m.extra_tile = tile(tile::concealedCode);
    return m;
}

} // namespace

void ConnectionManager::onGameEnvelope(message_reader& reader)
{
    const qint32 tableId = reader.get_i32();
    const qint32 envelopePlayer = reader.get_i32();
    // The frame names its table: what is wrong inside it is that table's
    // fault, and ends no more than that table.
    try {
        message_reader inner(reader.get_nested());
        onGamePacket(tableId, envelopePlayer, inner);
    } catch (const std::exception& e) {
        qWarning().noquote() << "game packet of table" << tableId << "refused:" << e.what();
        Q_EMIT gamePacketRefused(tableId, QString::fromStdString(e.what()));
    }
}

void ConnectionManager::onGamePacket(qint32 tableId, qint32 envelopePlayer, message_reader& inner)
{
    using namespace game_protocol;
    const int cls = inner.class_id();
    qDebug() << "cm:game packet" << cls << "table:" << tableId;

    switch (cls) {
    case 22: {
        const auto text = decode<22>(inner);
        qWarning().noquote() << "Client error from server: " << platform_packets::wireText(text);
        break;
    }
    case 23:
        // The server checks that we are still there; answer at once with the
        // same table and player.
        sendFrame(request_frames::game_envelope(tableId, envelopePlayer, request_frames::alive_answer()));
        break;
    case 24: {
        const auto [tiles, fromDeadWall] = decode<24>(inner);
        Q_EMIT tilesFromWall(tableId, tiles, fromDeadWall != 0);
        break;
    }
    case 25: {
        const auto [t, fromDeadWall] = decode<25>(inner);
        Q_EMIT tilesFromWall(tableId, tile_vector{t}, fromDeadWall != 0);
        break;
    }
    case 26: {
        const auto [offers, timeout] = decode<26>(inner);
        Q_EMIT concealedMeldSuggestion(tableId, timeout.toTimeSpan(), offers);
        break;
    }
    case 27: {
        const auto [pid, timeout] = decode<27>(inner);
        Q_EMIT playerShouldAct(tableId, timeout.toTimeSpan(), static_cast<qint32>(pid));
        break;
    }
    case 28: {
        const auto [count, fromDeadWall, pid] = decode<28>(inner);
        Q_EMIT hiddenTilesFromWall(tableId, static_cast<qint32>(pid), count, fromDeadWall != 0);
        break;
    }
    case 29: {
        const auto [tiles, pid] = decode<29>(inner);
        Q_EMIT declareBonus(tableId, static_cast<qint32>(pid), tiles);
        break;
    }
    case 31:
        onStartHand(tableId, inner);
        break;
    case 32:
        onHandEnd(tableId, inner);
        break;
    case 33: {
        const auto [t, pid] = decode<33>(inner);
        Q_EMIT tileDiscarded(tableId, static_cast<qint32>(pid), t);
        break;
    }
    case 34: {
        const auto [offers, timeout] = decode<34>(inner);
        Q_EMIT meldSuggestion(tableId, timeout.toTimeSpan(), offers);
        break;
    }
    case 35: {
        const auto [offers, timeout] = decode<35>(inner);
        Q_EMIT robTheKongSuggestion(tableId, timeout.toTimeSpan(), offers);
        break;
    }
    case 36:
        Q_EMIT timeoutOccured(tableId);
        break;
    case 37:
        onGameData(tableId, inner);
        break;
    case 38: {
        const auto [hand, active, furiten] = decode<38>(inner);
        PrivatePlayerData data;
        data.hand = hand;
        data.active = active != 0;
        data.furiten = furiten != 0;
        Q_EMIT privatePlayerData(tableId, data);
        break;
    }
    case 39:
        Q_EMIT furitenChanged(tableId, decode<39>(inner) != 0);
        break;
    case 40:
        Q_EMIT activeChanged(tableId, decode<40>(inner) != 0);
        break;
    case 41:
        Q_EMIT areYouReady(tableId, decode<41>(inner).toTimeSpan());
        break;
    case 42: {
        const auto [t, pid] = decode<42>(inner);
        Q_EMIT someoneDeclaredMeld(tableId, static_cast<qint32>(pid), meld_type::CHOW, t);
        break;
    }
    case 43: {
        const auto [t, pid] = decode<43>(inner);
        Q_EMIT someoneDeclaredMeld(tableId, static_cast<qint32>(pid), meld_type::PONG, t);
        break;
    }
    case 44: {
        const auto [t, pid] = decode<44>(inner);
        Q_EMIT someoneDeclaredMeld(tableId, static_cast<qint32>(pid), meld_type::KONG, t);
        break;
    }
    case 45:
        Q_EMIT someoneDeclaredMahjong(tableId, static_cast<qint32>(decode<45>(inner)));
        break;
    case 46: {
        // The dora belongs to the table the packet names, not the envelope's.
        const auto [doraTable, t] = decode<46>(inner);
        Q_EMIT kanDora(static_cast<qint32>(doraTable), t);
        break;
    }
    case 47: {
        const auto [t, pid] = decode<47>(inner);
        Q_EMIT tileClaimed(tableId, static_cast<qint32>(pid));
        Q_EMIT meldDeclared(tableId, static_cast<qint32>(pid), claimedMeld(meld_type::CHOW, meld_visibility::VISIBILITY_0, t));
        break;
    }
    case 48: {
        const auto [t, pid] = decode<48>(inner);
        Q_EMIT tileClaimed(tableId, static_cast<qint32>(pid));
        Q_EMIT meldDeclared(tableId, static_cast<qint32>(pid), claimedMeld(meld_type::PONG, meld_visibility::VISIBILITY_0, t));
        break;
    }
    case 49: {
        const auto [t, visibilityCode, pid] = decode<49>(inner);
        const meld_visibility::enum_t visibility = meldVisibilityFromWire(visibilityCode);
        // Only an open kong takes the discard; a concealed one comes from the hand.
        if (visibility == meld_visibility::VISIBILITY_0)
            Q_EMIT tileClaimed(tableId, static_cast<qint32>(pid));
        Q_EMIT meldDeclared(tableId, static_cast<qint32>(pid), claimedMeld(meld_type::KONG, visibility, t));
        break;
    }
    case 50: {
        const auto [t, pid] = decode<50>(inner);
        Q_EMIT meldDeclared(tableId, static_cast<qint32>(pid),
                            claimedMeld(meld_type::PONG_TO_KONG, meld_visibility::VISIBILITY_1, t));
        break;
    }
    case 51: {
        const auto [t, pid] = decode<51>(inner);
        Q_EMIT riichiDeclared(tableId, static_cast<qint32>(pid), t);
        break;
    }
    case 52:
        // Another player's pass, in the shape of our own pass request; nothing to show.
        decode<52>(inner);
        break;
    case 54:
        Q_EMIT playerIsReady(tableId, static_cast<qint32>(decode<54>(inner)));
        break;
    default:
        qWarning() << "   Game packet" << cls << " was not handled";
        break;
    }
}

void ConnectionManager::onStartHand(qint32 tableId, message_reader& inner)
{
    game_wire::decode_context ctx;
    const start_hand_packet p = start_hand_packet::read(inner, ctx);
    qDebug().noquote() << "start_hand: dora tiles from protocol -" << tileCodes(p.doraTiles);

    WallState wall;
    wall.deadWallPosition = p.deadWallPosition;
    wall.doraTiles = p.doraTiles;
    qDebug().noquote() << "start_hand: dora tiles before emit -" << debugText(wall.doraTiles);

    Q_EMIT startHand(tableId, p.handId, p.seating, p.roundScores, p.newRound, p.tableState, wall);
    qDebug().noquote() << "start_hand: dora tiles after emit -" << debugText(wall.doraTiles);
}

void ConnectionManager::onGameData(qint32 tableId, message_reader& inner)
{
    game_wire::decode_context ctx;
    game_data_packet p = game_data_packet::read(inner, ctx);

    qDebug() << "app:got mj:game_data";
    qDebug() << "  table_id:      " << tableId;
    qDebug() << "  hand_id:      " << p.handId;
    qDebug() << "  game_state:    " << gameStateName(p.gameState);
    qDebug() << "  time_to_act, start:   " << serverTimeToDateTime(p.timeToAct.start);
    qDebug() << "  time_to_act, end:   " << serverTimeToDateTime(p.timeToAct.end);
    qDebug() << "  live tiles:    " << p.liveTiles;
    qDebug() << "  dead wall tls: " << p.deadWallTiles;
    qDebug() << "  dead wall pos: " << p.deadWallPosition;
    qDebug() << "  dead wall tiles dealt: " << p.deadWallTilesDealt;
    qDebug() << "  current_turn:  ";
    for (qint32 pid : p.currentTurn)
        qDebug() << "    pid: " << pid;
    qDebug() << "  players:       ";

    for (PlayerData& player : p.players) {
        player.setName(playerName(player.id()));
        qDebug().noquote() << "   pid:" << player.id() << " name:" << player.name();
        qDebug() << "     ready:" << player.ready();
        qDebug() << "     wind:" << windDebugName(player.wind());
        qDebug() << "     tiles:" << player.tileCount();
        qDebug().noquote() << "     melds:" << debugText(player.melds());
        qDebug().noquote() << "     bonus:" << debugText(player.bonusTiles());
        qDebug() << "     roundScore:" << player.roundScore();
        qDebug().noquote() << "     discards: " << debugText(player.discards());
    }

    TableState tableState = p.tableState;
    if (p.gameState == server_game_state::TILE_DISCARDED_STATE) {
        // The discarder is the one player who may not act on the discard.
        qDebug() << "looking for discarding player";
        std::set<qint32> candidates;
        for (const PlayerData& player : p.players)
            candidates.insert(player.id());
        for (qint32 pid : p.currentTurn)
            candidates.erase(pid);
        QStringList remaining;
        for (qint32 pid : candidates)
            remaining << QString::number(pid);
        qDebug().noquote() << "remaining:" << remaining.join(QLatin1Char(' '));
        if (candidates.size() > 1) {
            throw server_error("in TILE_DISCARDED_STATE and " + std::to_string(candidates.size())
                               + " players could be the discarding player");
        }
        // Everyone may act on the discard: the discarder stays unknown.
        if (!candidates.empty())
            tableState.setDiscardingPlayer(*candidates.begin());
    }

    WallState wall;
    wall.deadWallPosition = p.deadWallPosition;
    wall.doraTiles = p.doraTiles;
    wall.liveTiles = p.liveTiles;
    wall.deadWallTiles = p.deadWallTiles;
    wall.deadWallTilesDealt = p.deadWallTilesDealt;
    const server_game_state::enum_t state = gameStateFromWire(p.gameState);

    Q_EMIT gameData(tableId, p.handId, state, p.players, tableState, wall);

    if (p.gameState == server_game_state::TILE_CLAIMED_STATE) {
        if (p.currentTurn.size() != 1) {
            throw server_error("in TILE_CLAIMED_STATE and server sent " + std::to_string(p.currentTurn.size())
                               + " pids");
        }
        Q_EMIT playerShouldAct(tableId, p.timeToAct.toTimeSpan(), p.currentTurn.front());
    }
}

void ConnectionManager::onHandEnd(qint32 tableId, message_reader& inner)
{
    game_wire::decode_context ctx;
    const hand_end_packet p = hand_end_packet::read(inner, ctx);
    qDebug() << "cm:hand end, hand" << p.handId << "records:" << p.scores.size() << "end type:" << p.endType;

    if (!p.scores.empty()) {
        const endhand_reason_t mahjongType = scoringReasonFromWire(p.endType);
        std::map<qint32, player_score> scores;
        for (const player_score& record : p.scores) {
            player_score score = record;
            score.name = playerName(score.pid);
            scores[score.pid] = score;
        }
        Q_EMIT handEndScoring(tableId, scores, mahjongType, p.endOfGame);
    } else {
        const endhand_reason_t washoutType = nonScoringReasonFromWire(p.endType);
        Q_EMIT handEndNonScoring(tableId, washoutType, p.endOfGame);
    }
}
