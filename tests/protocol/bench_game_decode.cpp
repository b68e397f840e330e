// Decoding cost of the two largest game packets, per frame: a full table
// snapshot (four players with melds, discards and bonus tiles) and a hand end
// with four scoring records, each printed as a ratio beside the floor of the
// same field reads done with QDataStream. Printed, never failing on timing.

#include "game_data_packet.h"
#include "hand_end_packet.h"
#include "message_reader.h"
#include "message_writer.h"
#include "wire_codec.h"

#include <QByteArray>
#include <QDataStream>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

void putTiles(message_writer& w, std::initializer_list<std::uint8_t> tiles)
{
    w.put_u32(std::uint32_t(tiles.size()));
    for (std::uint8_t t : tiles)
        w.put_u8(t);
}

message_ptr body(std::vector<unsigned char> frame)
{
    return std::make_shared<const message_t>(frame.begin() + 4, frame.end());
}

message_ptr gameDataFrame()
{
    message_writer w(37);
    w.put_u64(123456789);
    w.put_u32(4);
    for (std::uint32_t pid = 1; pid <= 4; ++pid) {
        w.put_u32(pid);
        w.put_u8(10);
        w.put_u32(2);
        for (int m = 0; m < 2; ++m) {
            w.put_u8(std::uint8_t(m)); // chow, pong
            w.put_u8(0);
            w.put_u8(std::uint8_t(3 * m + pid));
            w.put_u32(pid % 4 + 1);
            w.put_u8(1);
        }
        putTiles(w, {34, 38});
        putTiles(w, {1, 5, 9, 13, 17, 21, 25, 27, 28, 29, 31, 33});
        w.put_u16(pid == 2 ? 4 : 0xFFFF);
        w.put_u8(std::uint8_t(pid - 1));
        w.put_u32(pid * 1000);
        w.put_u32(pid);
        w.put_u8(1);
    }
    w.put_u8(4);
    w.put_u32(3);
    w.put_u32(2);
    w.put_u32(3);
    w.put_u32(4);
    w.put_u64(1700000000000ull);
    w.put_u64(1700000015000ull);
    w.put_u16(60);
    w.put_u16(14);
    w.put_u16(7);
    w.put_u16(2);
    putTiles(w, {5, 30});
    w.put_u32(1);
    w.put_u8(0);
    w.put_u8(0);
    w.put_u8(2);
    w.put_u8(1);
    return body(w.finish());
}

message_ptr handEndFrame()
{
    message_writer w(32);
    w.put_u64(99);
    w.put_u32(4);
    for (std::uint32_t pid = 1; pid <= 4; ++pid) {
        w.put_u32(pid);
        w.put_u32(64);
        w.put_u32(1000 + pid);
        w.put_u32(0);
        w.put_u32(3);
        for (std::uint8_t id : {14, 15, 51}) {
            w.put_u8(id);
            w.put_u32(8);
        }
        w.put_u32(24);
        w.put_u32(2);
        w.put_u8(54);
        w.put_u16(1);
        w.put_u8(58);
        w.put_u16(2);
        w.put_u32(3);
        w.put_u32(1);
        w.put_u8(116);
        w.put_u16(13);
        w.put_u32(13);
        w.put_u32(2);
        w.put_u8(1);
        putTiles(w, {1, 2, 3});
        w.put_u8(3);
        putTiles(w, {27, 27, 27});
        w.put_u8(pid == 1 ? 1 : 0);
        w.put_u32(pid == 1 ? 300 : std::uint32_t(-100));
        w.put_u64(pid == 1 ? 300 : std::uint64_t(-100));
    }
    putTiles(w, {});
    w.put_u8(0);
    w.put_u8(0);
    w.put_u8(0);
    return body(w.finish());
}

QByteArray bytesOf(const message_ptr& frame)
{
    return QByteArray(reinterpret_cast<const char*>(frame->data()), qsizetype(frame->size()));
}

void decodeGameData(benchmark::State& state)
{
    const message_ptr frame = gameDataFrame();
    for (auto _ : state) {
        message_reader r(frame);
        game_wire::decode_context ctx;
        game_data_packet p = game_data_packet::read(r, ctx);
        benchmark::DoNotOptimize(p);
    }
    state.SetItemsProcessed(state.iterations());
}

// The plain shapes the QDataStream reads fill: the same fields, no checks.
struct RawMeld
{
    quint8 type, visibility, tile;
    quint32 extra;
    quint8 extraTile;
};
struct RawPlayer
{
    quint32 pid;
    quint8 tileCount;
    std::vector<RawMeld> melds;
    std::vector<quint8> bonus, discards;
    quint16 riichi;
    quint8 wind;
    quint32 score, wins;
    quint8 ready;
};

std::vector<quint8> readTiles(QDataStream& in)
{
    quint32 n = 0;
    in >> n;
    std::vector<quint8> tiles(n);
    in.readRawData(reinterpret_cast<char*>(tiles.data()), int(n));
    return tiles;
}

void decodeGameDataWithDataStream(benchmark::State& state)
{
    const QByteArray bytes = bytesOf(gameDataFrame());
    for (auto _ : state) {
        QDataStream in(bytes);
        in.setByteOrder(QDataStream::BigEndian);
        quint8 cls = 0, gameState = 0, w = 0, b = 0, c = 0, d = 0;
        quint64 handId = 0, start = 0, end = 0;
        quint32 count = 0, turns = 0, a = 0;
        in >> cls >> handId >> count;
        std::vector<RawPlayer> players(count);
        for (RawPlayer& p : players) {
            quint32 melds = 0;
            in >> p.pid >> p.tileCount >> melds;
            p.melds.resize(melds);
            for (RawMeld& m : p.melds)
                in >> m.type >> m.visibility >> m.tile >> m.extra >> m.extraTile;
            p.bonus = readTiles(in);
            p.discards = readTiles(in);
            in >> p.riichi >> p.wind >> p.score >> p.wins >> p.ready;
        }
        in >> gameState >> turns;
        std::vector<quint32> current(turns);
        for (quint32& pid : current)
            in >> pid;
        quint16 live = 0, dead = 0, pos = 0, dealt = 0;
        in >> start >> end >> live >> dead >> pos >> dealt;
        std::vector<quint8> dora = readTiles(in);
        in >> a >> w >> b >> c >> d;
        benchmark::DoNotOptimize(players);
        benchmark::DoNotOptimize(dora);
    }
    state.SetItemsProcessed(state.iterations());
}

void decodeHandEnd(benchmark::State& state)
{
    const message_ptr frame = handEndFrame();
    for (auto _ : state) {
        message_reader r(frame);
        game_wire::decode_context ctx;
        hand_end_packet p = hand_end_packet::read(r, ctx);
        benchmark::DoNotOptimize(p);
    }
    state.SetItemsProcessed(state.iterations());
}

struct RawScore
{
    quint32 pid, a, b, c, d, e, f, g;
    std::vector<std::pair<quint8, quint32>> points;
    std::vector<std::pair<quint8, quint16>> doubles, limits;
    std::vector<std::pair<quint8, std::vector<quint8>>> highlighted;
    quint8 type;
    quint64 h;
};

void decodeHandEndWithDataStream(benchmark::State& state)
{
    const QByteArray bytes = bytesOf(handEndFrame());
    for (auto _ : state) {
        QDataStream in(bytes);
        in.setByteOrder(QDataStream::BigEndian);
        quint8 cls = 0, endType = 0, endOfGame = 0, last = 0;
        quint64 handId = 0;
        quint32 count = 0;
        in >> cls >> handId >> count;
        std::vector<RawScore> scores(count);
        for (RawScore& s : scores) {
            quint32 n = 0;
            in >> s.pid >> s.a >> s.b >> s.c >> n;
            s.points.resize(n);
            for (auto& [id, v] : s.points)
                in >> id >> v;
            in >> s.d >> n;
            s.doubles.resize(n);
            for (auto& [id, v] : s.doubles)
                in >> id >> v;
            in >> s.e >> n;
            s.limits.resize(n);
            for (auto& [id, v] : s.limits)
                in >> id >> v;
            in >> s.f >> n;
            s.highlighted.resize(n);
            for (auto& [index, tiles] : s.highlighted) {
                in >> index;
                tiles = readTiles(in);
            }
            in >> s.type >> s.g >> s.h;
        }
        std::vector<quint8> tiles = readTiles(in);
        in >> endType >> endOfGame >> last;
        benchmark::DoNotOptimize(scores);
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(decodeGameData)->MinTime(0.3);
BENCHMARK(decodeGameDataWithDataStream)->MinTime(0.3);
BENCHMARK(decodeHandEnd)->MinTime(0.3);
BENCHMARK(decodeHandEndWithDataStream)->MinTime(0.3);

class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            nsPerIteration[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nsPerIteration;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto& t = reporter.nsPerIteration;
    const double gameData = t["decodeGameData/min_time:0.300"];
    const double gameDataStream = t["decodeGameDataWithDataStream/min_time:0.300"];
    const double handEnd = t["decodeHandEnd/min_time:0.300"];
    const double handEndStream = t["decodeHandEndWithDataStream/min_time:0.300"];
    if (gameData <= 0 || gameDataStream <= 0 || handEnd <= 0 || handEndStream <= 0) {
        std::printf("missing benchmark results\n");
        return 1;
    }
    std::printf("\ngame data frame (4 players): %.0f ns per frame, QDataStream reads %.0f ns, ratio %.2f\n", gameData,
                gameDataStream, gameData / gameDataStream);
    std::printf("hand end frame (4 scoring records): %.0f ns per frame, QDataStream reads %.0f ns, ratio %.2f\n",
                handEnd, handEndStream, handEnd / handEndStream);
    return 0;
}
