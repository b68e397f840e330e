#include "LobbyScenario.h"

#include "TestGameServer.h"

#include <QDateTime>

namespace {

TestFrame& intParam(TestFrame& f, const char* name, quint32 value)
{
    // A typed parameter: name, type 1 (integer), the value as a byte vector.
    return f.str(name).u8(1).bytes(TestFrame(0).u32(value).body().mid(1));
}

TestFrame& textParam(TestFrame& f, const char* name, const QByteArray& value)
{
    return f.str(name).u8(0).bytes(TestFrame(0).str(value).body().mid(1));
}

// u32 id, string path, string name, u16 capacity, u16 seated, parameter list.
void tableRecord(TestFrame& f, quint32 id, const QByteArray& path, const QByteArray& name, quint16 seated,
                 quint32 ruleset, quint32 gameType, quint32 speed, quint32 bet)
{
    f.u32(id).str(path).str(name).u16(4).u16(seated).u32(6);
    intParam(f, "RULESET", ruleset);
    intParam(f, "GAME_TYPE", gameType);
    intParam(f, "SPEED", speed);
    intParam(f, "BET", bet);
    intParam(f, "NUMBER_OF_BOTS", 0);
    textParam(f, "BONUS_TABLE", "[0, 0, 0, 0]");
}

} // namespace

namespace LobbyScenario {

void install(TestGameServer& server, std::function<void(const QString&)> log)
{
    const auto say = [log](const QString& line) {
        if (log)
            log(line);
    };
    // Login (class 10): string user, string password, u32 partner, bytes.
    server.onRequest(10, [&server, say](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        const QByteArray user = r.str();
        say(QStringLiteral("login as %1").arg(QString::fromLatin1(user)));
        // Class 11: string name, u32 pid, u8 status, u32 code, string, byte vector credentials.
        server.send(TestFrame(11).str(user.isEmpty() ? "guest" : user).u32(playerId).u8(0).u32(1).str("").bytes("secret"));
    });
    // Lobby subscription (class 145): u8 list kind, u32 game id, string path.
    server.onRequest(145, [&server, say](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        const quint8 kind = r.u8();
        if (kind == 1) {
            say(QStringLiteral("tournaments subscribed"));
            server.send(TestFrame(155).u32(0));
            return;
        }
        say(QStringLiteral("lobby subscribed"));
        TestFrame list(153);
        list.u32(3);
        tableRecord(list, 501, "101/Practice", "Bamboo Grove", 1, 0, 0, 15000, 0);
        tableRecord(list, 502, "101/Practice", "Red Dragon", 3, 2, 2, 20000, 0);
        tableRecord(list, 503, "101/Regular", "Four Winds", 0, 1, 0, 10000, 500);
        server.send(list);
    });
    // The clock's requests (class 101: u32, u32 sequence, string service, u8, request 67)
    // are answered with the time (76), or the client would take the link for a silent one.
    server.onRequest(101, [&server](const ReceivedFrame& f) {
        TestFrameReader r = f.reader();
        r.u32();
        const quint32 seq = r.u32();
        const QByteArray service = r.str();
        r.u8();
        if (r.nested().classId() == 67)
            server.send(TestFrame(101).u32(0).u32(seq).str(service).u8(0).nested(
                TestFrame(76).u64(quint64(QDateTime::currentMSecsSinceEpoch()))));
    });
    server.onRequest(12, [&server, say](const ReceivedFrame&) {
        say(QStringLiteral("logout"));
        server.closeClient();
    });
}

}
