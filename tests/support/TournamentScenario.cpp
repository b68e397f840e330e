#include "TournamentScenario.h"

#include "TestGameServer.h"

namespace TournamentFrames {

namespace {
void writeParams(TestFrame& f, const QList<Param>& params)
{
    f.u32(quint32(params.size()));
    for (const Param& p : params) {
        f.str(p.key);
        if (const auto* n = std::get_if<qint32>(&p.value))
            f.u8(1).bytes(TestFrame(0).i32(*n).body().mid(1));
        else
            f.u8(0).bytes(TestFrame(0).str(std::get<QByteArray>(p.value)).body().mid(1));
    }
}

void writeTournament(TestFrame& f, const Tournament& t)
{
    f.u32(t.id).str("mtt/" + QByteArray::number(t.id));
    writeParams(f, t.params);
}

TestFrame envelope(quint32 id, const TestFrame& inner)
{
    return TestFrame(104).u32(id).u32(0).nested(inner);
}
} // namespace

Param num(const char* key, qint32 value)
{
    return Param{key, value};
}

Param text(const char* key, const QByteArray& value)
{
    return Param{key, value};
}

Tournament tournament(quint32 id, const QByteArray& name, qint32 status, qint32 registered, qint32 maxPlayers,
                      qint32 bet, quint32 startSecs, qint32 durationSecs)
{
    Tournament t;
    t.id = id;
    t.params = {text("NAME", name),
                num("STATUS", status),
                num("REGISTERED", registered),
                num("MAX_PLAYERS", maxPlayers),
                num("MIN_PLAYERS", 4),
                num("BET", bet),
                num("START", qint32(startSecs)),
                num("END", qint32(startSecs + quint32(durationSecs))),
                num("CLOSE_REGISTER", qint32(startSecs - 600)),
                num("NUMBER_OF_ROUNDS", 3),
                num("CURRENT_ROUND", 0),
                num("RULESET", 2)};
    return t;
}

TestFrame snapshot(const Tournament& t)
{
    TestFrame f(148);
    writeTournament(f, t);
    return f;
}

TestFrame snapshotList(const QList<Tournament>& list)
{
    TestFrame f(155);
    f.u32(quint32(list.size()));
    for (const Tournament& t : list)
        writeTournament(f, t);
    return f;
}

TestFrame update(quint32 id, const QList<Param>& changed, const QList<QByteArray>& removedKeys)
{
    TestFrame f(149);
    f.u32(id);
    writeParams(f, changed);
    f.u32(quint32(removedKeys.size()));
    for (const QByteArray& key : removedKeys)
        f.str(key);
    return f;
}

TestFrame removed(quint32 id)
{
    return TestFrame(150).u32(id);
}

TestFrame registerResponse(quint32 id, quint8 status)
{
    return TestFrame(206).u32(id).u8(status);
}

TestFrame unregisterResponse(quint32 id, quint8 status)
{
    return TestFrame(208).u32(id).u8(status);
}

TestFrame registeredList(const QList<quint32>& ids)
{
    TestFrame f(211);
    f.u32(quint32(ids.size()));
    for (quint32 id : ids)
        f.u32(id);
    return f;
}

TestFrame seated(quint32 id, quint32 tableId, quint8 seat)
{
    return TestFrame(209).u32(id).u32(tableId).u8(seat);
}

TestFrame rankings(quint32 id, const QList<RankingRow>& rows)
{
    TestFrame inner(61);
    inner.u32(quint32(rows.size()));
    for (const RankingRow& r : rows)
        inner.u32(r.pid).str(r.name).u32(r.tablePoints).u32(r.points).u8(1);
    return envelope(id, inner);
}

TestFrame leaveResponse(quint32 id, quint8 status)
{
    return envelope(id, TestFrame(62).u8(status));
}

TestFrame roundScores(quint32 id, quint32 tableId, bool lastRound, const QList<std::array<quint32, 3>>& rows)
{
    TestFrame inner(60);
    inner.u8(lastRound ? 1 : 0).u32(tableId).u32(quint32(rows.size()));
    for (const auto& row : rows)
        inner.u32(row[0]).u32(row[1]).u32(row[2]);
    return envelope(id, inner);
}

TestFrame tournamentTable(quint32 id, quint32 tableId, const QByteArray& name, quint16 seated)
{
    TestFrame f(153);
    f.u32(1).u32(tableId).str("101/mtt/" + QByteArray::number(id)).str(name).u16(4).u16(seated);
    writeParams(f, {num("RULESET", 2), num("GAME_TYPE", 1), num("SPEED", 15000), num("BET", 0),
                    num("NUMBER_OF_BOTS", 0), num("MTT_ID", qint32(id))});
    return f;
}

} // namespace TournamentFrames

TournamentScenario::TournamentScenario(TestGameServer& server, QObject* parent)
    : QObject(parent)
    , server(server)
{
    using namespace TournamentFrames;
    // Subscription (class 145): u8 list kind (1 tournaments), u32 game id, string path.
    server.onRequest(145, [this](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        const quint8 kind = r.u8();
        r.u32();
        const QByteArray path = r.str();
        if (kind == 1) {
            this->server.send(snapshotList(tournaments));
            return;
        }
        const QByteArray rest = path.startsWith("101/") ? path.mid(4) : path;
        if (rest.startsWith("mtt/")) {
            const quint32 id = rest.mid(4).toUInt();
            for (const auto& [tableId, name] : tables[id])
                this->server.send(tournamentTable(id, tableId, name, 4));
        }
    });
    // Register (205): u32 id, parameter list; unregister (207): u32 id.
    server.onRequest(205, [this](const ReceivedFrame& f) {
        const quint32 id = f.reader().u32();
        ++registerRequests;
        this->server.send(registerResponse(id, registerStatus[id]));
        Q_EMIT registerAnswered(id);
    });
    server.onRequest(207, [this](const ReceivedFrame& f) {
        const quint32 id = f.reader().u32();
        ++unregisterRequests;
        this->server.send(unregisterResponse(id, unregisterStatus[id]));
        Q_EMIT unregisterAnswered(id);
    });
    server.onRequest(104, [this](const ReceivedFrame& f) { onEnvelope(f); });
}

void TournamentScenario::onEnvelope(const ReceivedFrame& frame)
{
    using namespace TournamentFrames;
    // u32 tournament id, u32 player id, inner frame.
    TestFrameReader r = frame.reader();
    const quint32 id = r.u32();
    r.u32();
    TestFrameReader inner = r.nested();
    if (inner.classId() == 58) {
        ++rankingRequests[id];
        server.send(rankings(id, rankingRows[id]));
        Q_EMIT rankingAnswered(id);
    } else if (inner.classId() == 59) {
        ++leaveRequests;
        server.send(leaveResponse(id, leaveStatus[id]));
        Q_EMIT leaveAnswered(id);
    }
}
