// Measures the lobby decoders and the dispatch queue, each beside a floor of
// the same run:
// - a class 153 frame of 1000 table records and a class 154 frame of 1000
//   table updates, per record: reading the fields with message_reader and
//   the full decode into checked TableInfo values / update lists, beside
//   QDataStream reading the same fields (printed);
// - dispatching 1000, 10000 and 100000 queued frames, per frame, the largest
//   queue beside the smallest. Goal (the run fails when missed): the cost per
//   frame stays flat as the queue grows, at most 4 times.

#include "Connection.h"
#include "ConnectionManager.h"
#include "lobby_records.h"
#include "message_reader.h"
#include "message_writer.h"
#include "platform_packets.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int recordCount = 1000;

void intParam(message_writer& w, const char* name, std::int32_t v)
{
    w.put_string(name);
    w.put_u8(1);
    w.put_bytes(encodeIntParamValue(v));
}

void textParam(message_writer& w, const char* name, const std::string& text)
{
    w.put_string(name);
    w.put_u8(0);
    w.put_bytes(encodeTextParamValue(text));
}

message_t bodyOf(std::vector<unsigned char> frame)
{
    return message_t(frame.begin() + 4, frame.end());
}

message_t tableListFrame()
{
    message_writer w(153);
    w.put_u32(recordCount);
    for (int i = 0; i < recordCount; ++i) {
        w.put_u32(std::uint32_t(i));
        w.put_string("101/Regular");
        w.put_string("Table " + std::to_string(i));
        w.put_u16(4);
        w.put_u16(std::uint16_t(i % 5));
        w.put_u32(8);
        intParam(w, "RULESET", i % 3);
        intParam(w, "GAME_TYPE", 2);
        intParam(w, "SPEED", 15000);
        intParam(w, "BET", 100 * (i % 7));
        intParam(w, "FEE", 5);
        intParam(w, "NUMBER_OF_BOTS", i % 2);
        intParam(w, "SETTLEMENT", 1);
        textParam(w, "BONUS_TABLE", "[30,10,-10,-30]");
    }
    return bodyOf(w.finish());
}

message_t updateListFrame()
{
    message_writer w(154);
    w.put_u32(recordCount);
    for (int i = 0; i < recordCount; ++i) {
        w.put_u32(std::uint32_t(i));
        w.put_u16(std::uint16_t(i % 5));
        w.put_u32(2);
        intParam(w, "BET", 100 * (i % 7));
        intParam(w, "NUMBER_OF_BOTS", i % 2);
        w.put_u32(1);
        w.put_string("FEE");
    }
    return bodyOf(w.finish());
}

// The same fields read with QDataStream, into Qt containers.
struct StreamParam
{
    QByteArray name;
    quint8 type = 0;
    QByteArray value;
};

QByteArray readStreamString(QDataStream& in)
{
    quint16 n = 0;
    in >> n;
    QByteArray b(n, Qt::Uninitialized);
    in.readRawData(b.data(), n);
    return b;
}

QByteArray readStreamBytes(QDataStream& in)
{
    quint32 n = 0;
    in >> n;
    QByteArray b(qsizetype(n), Qt::Uninitialized);
    in.readRawData(b.data(), int(n));
    return b;
}

QList<StreamParam> readStreamParams(QDataStream& in)
{
    quint32 count = 0;
    in >> count;
    QList<StreamParam> params;
    params.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        StreamParam p;
        p.name = readStreamString(in);
        in >> p.type;
        p.value = readStreamBytes(in);
        params.append(p);
    }
    return params;
}

QByteArray asByteArray(const message_t& body)
{
    return QByteArray(reinterpret_cast<const char*>(body.data()) + 1, qsizetype(body.size()) - 1);
}

void tableListReader(benchmark::State& state)
{
    const message_t frame = tableListFrame();
    for (auto _ : state) {
        message_reader r(frame);
        benchmark::DoNotOptimize(platform_packets::readTableRecords(r));
    }
    state.counters["ns_per_record"] = benchmark::Counter(double(state.iterations()) * recordCount,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void tableListFullDecode(benchmark::State& state)
{
    const message_t frame = tableListFrame();
    for (auto _ : state) {
        message_reader r(frame);
        for (const auto& record : platform_packets::readTableRecords(r))
            benchmark::DoNotOptimize(tableInfoFromRecord(record));
    }
    state.counters["ns_per_record"] = benchmark::Counter(double(state.iterations()) * recordCount,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void tableListDataStream(benchmark::State& state)
{
    const QByteArray bytes = asByteArray(tableListFrame());
    for (auto _ : state) {
        QDataStream in(bytes);
        quint32 count = 0;
        in >> count;
        for (quint32 i = 0; i < count; ++i) {
            quint32 id = 0;
            quint16 cap = 0, seated = 0;
            in >> id;
            QByteArray path = readStreamString(in);
            QByteArray name = readStreamString(in);
            in >> cap >> seated;
            auto params = readStreamParams(in);
            benchmark::DoNotOptimize(params);
            benchmark::DoNotOptimize(path);
            benchmark::DoNotOptimize(name);
        }
    }
    state.counters["ns_per_record"] = benchmark::Counter(double(state.iterations()) * recordCount,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void updateListReader(benchmark::State& state)
{
    const message_t frame = updateListFrame();
    for (auto _ : state) {
        message_reader r(frame);
        benchmark::DoNotOptimize(platform_packets::readTableUpdateRecords(r));
    }
    state.counters["ns_per_record"] = benchmark::Counter(double(state.iterations()) * recordCount,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void updateListFullDecode(benchmark::State& state)
{
    const message_t frame = updateListFrame();
    for (auto _ : state) {
        message_reader r(frame);
        for (const auto& record : platform_packets::readTableUpdateRecords(r))
            benchmark::DoNotOptimize(tableInfoUpdatesFromRecord(record));
    }
    state.counters["ns_per_record"] = benchmark::Counter(double(state.iterations()) * recordCount,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void updateListDataStream(benchmark::State& state)
{
    const QByteArray bytes = asByteArray(updateListFrame());
    for (auto _ : state) {
        QDataStream in(bytes);
        quint32 count = 0;
        in >> count;
        for (quint32 i = 0; i < count; ++i) {
            quint32 id = 0;
            quint16 seated = 0;
            in >> id >> seated;
            auto params = readStreamParams(in);
            quint32 removed = 0;
            in >> removed;
            QList<QByteArray> keys;
            for (quint32 k = 0; k < removed; ++k)
                keys.append(readStreamString(in));
            benchmark::DoNotOptimize(params);
            benchmark::DoNotOptimize(keys);
        }
    }
    state.counters["ns_per_record"] = benchmark::Counter(double(state.iterations()) * recordCount,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// Queues n frames behind a first one (whose handler appends them while the
/// drain runs, as frames arriving during a nested event loop do), then lets
/// the drain handle them all, returning to the event loop between its turns
/// as a real read does.
void dispatchQueued(benchmark::State& state)
{
    const int n = int(state.range(0));
    ConnectionManager cm(false);
    message_writer w(147);
    w.put_u32(1);
    const auto one = std::make_shared<const message_t>(bodyOf(w.finish()));
    message_writer s(147);
    s.put_i32(-1);
    const auto starter = std::make_shared<const message_t>(bodyOf(s.finish()));

    Connection* connection = cm.connection();
    qint64 handled = 0;
    QObject::connect(&cm, &ConnectionManager::tableRemoved, &cm, [&](qint32 id) {
        ++handled;
        if (id == -1) {
            for (int i = 0; i < n; ++i)
                Q_EMIT connection->messageReceived(one);
        }
    });
    QElapsedTimer stuck;
    for (auto _ : state) {
        const qint64 target = handled + n + 1;
        Q_EMIT connection->messageReceived(starter);
        stuck.start();
        while (handled < target && stuck.elapsed() < 10000)
            QCoreApplication::processEvents();
    }
    if (handled != qint64(state.iterations()) * (n + 1))
        state.SkipWithError("frames lost or handled twice");
    state.counters["ns_per_frame"] = benchmark::Counter(double(state.iterations()) * (n + 1),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(tableListReader)->MinTime(0.3);
BENCHMARK(tableListFullDecode)->MinTime(0.3);
BENCHMARK(tableListDataStream)->MinTime(0.3);
BENCHMARK(updateListReader)->MinTime(0.3);
BENCHMARK(updateListFullDecode)->MinTime(0.3);
BENCHMARK(updateListDataStream)->MinTime(0.3);
BENCHMARK(dispatchQueued)->Arg(1000)->Arg(10000)->Arg(100000)->MinTime(0.3);

/// Keeps the per-record and per-frame counters of every run.
class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            for (const auto& [name, counter] : run.counters)
                values[run.benchmark_name() + ":" + name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> values;
};

void silence(QtMsgType, const QMessageLogContext&, const QString&)
{
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The decoders write debug traces; the benchmark keeps their formatting
    // cost but not the terminal output.
    qInstallMessageHandler(silence);
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto& v = reporter.values;
    // The counters are seconds per record or frame; printed as nanoseconds.
    auto get = [&](const std::string& key) { return v.count(key) ? v[key] * 1e9 : -1.0; };
    const double tr = get("tableListReader/min_time:0.300:ns_per_record");
    const double tf = get("tableListFullDecode/min_time:0.300:ns_per_record");
    const double ts = get("tableListDataStream/min_time:0.300:ns_per_record");
    const double ur = get("updateListReader/min_time:0.300:ns_per_record");
    const double uf = get("updateListFullDecode/min_time:0.300:ns_per_record");
    const double us = get("updateListDataStream/min_time:0.300:ns_per_record");
    const double d1 = get("dispatchQueued/1000/min_time:0.300:ns_per_frame");
    const double d2 = get("dispatchQueued/10000/min_time:0.300:ns_per_frame");
    const double d3 = get("dispatchQueued/100000/min_time:0.300:ns_per_frame");
    if (tr <= 0 || tf <= 0 || ts <= 0 || ur <= 0 || uf <= 0 || us <= 0 || d1 <= 0 || d2 <= 0 || d3 <= 0) {
        std::printf("missing benchmark results\n");
        return 1;
    }
    std::printf("\nclass 153, 1000 table records, per record: reader %.0f ns, full decode to TableInfo %.0f ns, "
                "QDataStream %.0f ns (reader/QDataStream %.2f)\n", tr, tf, ts, tr / ts);
    std::printf("class 154, 1000 table updates, per record: reader %.0f ns, full decode to checked updates %.0f ns, "
                "QDataStream %.0f ns (reader/QDataStream %.2f)\n", ur, uf, us, ur / us);
    std::printf("dispatch per queued frame: %.0f ns at 1000, %.0f ns at 10000, %.0f ns at 100000 "
                "(100000/1000 ratio %.2f, 1 = flat)\n", d1, d2, d3, d3 / d1);
    // Far above 1 would mean the queue costs more per frame as it grows.
    if (d3 / d1 > 4) {
        std::printf("dispatch cost per frame grows with the queue\n");
        return 1;
    }
    return 0;
}
