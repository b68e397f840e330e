#pragma once

// Frames of the game and service envelopes as the test server sends them,
// built with the test server's own encoder (TestFrame), never with the
// client's codec.

#include "TestFrame.h"

#include <QByteArray>
#include <QList>

namespace gtf {

/// A game envelope (class 100) around an inner game packet.
inline TestFrame game(quint32 tableId, const TestFrame& inner, quint32 player = 0)
{
    return TestFrame(100).u32(tableId).u32(player).nested(inner);
}

/// A backend service response (class 101).
inline TestFrame service(quint32 seq, const TestFrame& inner)
{
    return TestFrame(101).u32(0).u32(seq).str("com.quobrix.backend.BackendService").u8(0).nested(inner);
}

/// A local service response (class 103).
inline TestFrame localService(quint32 seq, const TestFrame& inner)
{
    return TestFrame(103).u32(seq).nested(inner);
}

/// A tile vector: u32 count and the tile bytes.
inline TestFrame& tiles(TestFrame& f, const QList<quint8>& codes)
{
    f.u32(quint32(codes.size()));
    for (quint8 c : codes)
        f.u8(c);
    return f;
}

/// A time span: two u64 server times.
inline TestFrame& span(TestFrame& f, quint64 start, quint64 end)
{
    return f.u64(start).u64(end);
}

/// A meld record: type, visibility, tile, extra, extra tile.
inline TestFrame& meldRecord(TestFrame& f, quint8 type, quint8 visibility, quint8 t, quint32 extra, quint8 extraTile)
{
    return f.u8(type).u8(visibility).u8(t).u32(extra).u8(extraTile);
}

/// The table-state group: u32, wind, u8, counter sticks, riichi sticks.
inline TestFrame& tableState(TestFrame& f, quint32 a, quint8 wind, quint8 b, quint8 counters, quint8 riichis)
{
    return f.u32(a).u8(wind).u8(b).u8(counters).u8(riichis);
}

struct PlayerRecord
{
    quint32 pid = 0;
    quint8 tileCount = 13;
    QList<QList<quint32>> melds{}; ///< each: type, visibility, tile, extra, extra tile
    QList<quint8> bonus{};
    QList<quint8> discards{};
    quint16 riichiIndex = 0xFFFF;
    quint8 wind = 0;
    quint32 roundScore = 0;
    quint32 wins = 0;
    quint8 ready = 1;
};

inline TestFrame& playerRecord(TestFrame& f, const PlayerRecord& p)
{
    f.u32(p.pid).u8(p.tileCount).u32(quint32(p.melds.size()));
    for (const auto& m : p.melds)
        meldRecord(f, quint8(m[0]), quint8(m[1]), quint8(m[2]), m[3], quint8(m[4]));
    tiles(f, p.bonus);
    tiles(f, p.discards);
    return f.u16(p.riichiIndex).u8(p.wind).u32(p.roundScore).u32(p.wins).u8(p.ready);
}

/// Game packet 37 with the given players, state, current turn and wall (live, dead, dead wall
/// position, tiles dealt from it; the dora indicators).
inline TestFrame gameData(quint64 handId, const QList<PlayerRecord>& players, quint8 state,
                          const QList<quint32>& currentTurn, quint64 start = 1000, quint64 end = 16000,
                          const QList<quint16>& wall = {70, 14, 3, 1}, const QList<quint8>& dora = {4, 31})
{
    TestFrame f(37);
    f.u64(handId).u32(quint32(players.size()));
    for (const auto& p : players)
        playerRecord(f, p);
    f.u8(state).u32(quint32(currentTurn.size()));
    for (quint32 pid : currentTurn)
        f.u32(pid);
    span(f, start, end);
    for (quint16 count : wall)
        f.u16(count);
    tiles(f, dora);
    return tableState(f, 11, 1, 0, 2, 1);
}

struct ScoreRecord
{
    quint32 pid = 0;
    quint32 handScore = 0;
    quint32 currentScore = 0;
    QList<QPair<quint8, quint32>> points;
    QList<QPair<quint8, quint16>> doubles;
    QList<QPair<quint8, quint16>> limits;
    QList<QPair<quint8, QList<quint8>>> highlighted;
    quint8 scoreType = 0;
    quint32 settlement = 0;
    quint64 payment = 0;
};

inline TestFrame& scoreRecord(TestFrame& f, const ScoreRecord& s)
{
    f.u32(s.pid).u32(s.handScore).u32(s.currentScore).u32(0);
    f.u32(quint32(s.points.size()));
    quint32 total = 0;
    for (const auto& [id, v] : s.points) {
        f.u8(id).u32(v);
        total += v;
    }
    f.u32(total).u32(quint32(s.doubles.size()));
    for (const auto& [id, v] : s.doubles)
        f.u8(id).u16(v);
    f.u32(quint32(s.doubles.size())).u32(quint32(s.limits.size()));
    for (const auto& [id, v] : s.limits)
        f.u8(id).u16(v);
    f.u32(0).u32(quint32(s.highlighted.size()));
    for (const auto& [index, t] : s.highlighted) {
        f.u8(index);
        tiles(f, t);
    }
    return f.u8(s.scoreType).u32(s.settlement).u64(s.payment);
}

/// Game packet 32.
inline TestFrame handEnd(quint64 handId, const QList<ScoreRecord>& scores, quint8 endType, quint8 endOfGame)
{
    TestFrame f(32);
    f.u64(handId).u32(quint32(scores.size()));
    for (const auto& s : scores)
        scoreRecord(f, s);
    tiles(f, {});
    return f.u8(endType).u8(endOfGame).u8(0);
}

} // namespace gtf
