// Measures the frame cutter and the message reader beside the same work done
// with QDataStream (the floor), and prints each pair as a ratio of the best of
// five runs, with the spread. Goals (the run fails when one is missed):
// cutting 100,000 frames takes no longer than QDataStream reading them; and
// cutting stays linear in the buffer: 100,000 frames take at most 30 times
// the 10,000 (10 = linear). Reading a 200-record frame is printed beside
// QDataStream's read of the same fields.

#include "FrameCutter.h"
#include "message_reader.h"
#include "message_writer.h"

#include <QBuffer>
#include <QDataStream>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

QByteArray smallFrames(int count)
{
    QByteArray all;
    all.reserve(count * 9);
    for (int i = 0; i < count; ++i) {
        message_writer w(7);
        w.put_u32(std::uint32_t(i));
        const auto f = w.finish();
        all.append(reinterpret_cast<const char*>(f.data()), qsizetype(f.size()));
    }
    return all;
}

void cutWithFrameCutter(benchmark::State& state)
{
    const int count = int(state.range(0));
    const QByteArray all = smallFrames(count);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(all);
        buffer.open(QIODevice::ReadOnly);
        FrameCutter cutter;
        int n = 0;
        while (message_ptr m = cutter.next(buffer))
            n += int(m->size());
        benchmark::DoNotOptimize(n);
        if (n != count * 5)
            state.SkipWithError("wrong frame count");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void cutWithDataStream(benchmark::State& state)
{
    const int count = int(state.range(0));
    const QByteArray all = smallFrames(count);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(all);
        buffer.open(QIODevice::ReadOnly);
        QDataStream in(&buffer);
        in.setByteOrder(QDataStream::BigEndian);
        int n = 0;
        while (buffer.bytesAvailable() >= 4) {
            qint32 length = 0;
            in >> length;
            auto m = std::make_shared<message_t>(std::size_t(length - 4));
            in.readRawData(reinterpret_cast<char*>(m->data()), length - 4);
            n += int(m->size());
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * count);
}

constexpr int records = 200;

message_ptr recordFrame()
{
    message_writer w(153);
    w.put_u32(records);
    for (int i = 0; i < records; ++i) {
        w.put_u32(std::uint32_t(1000 + i));
        w.put_string("101/Practice");
        w.put_string("Table number " + std::to_string(i));
        w.put_u16(4);
        w.put_u16(std::uint16_t(i % 5));
        w.put_u32(std::uint32_t(i * 7));
    }
    auto f = w.finish();
    return std::make_shared<const message_t>(f.begin() + 4, f.end());
}

void readWithMessageReader(benchmark::State& state)
{
    const message_ptr frame = recordFrame();
    for (auto _ : state) {
        message_reader r(frame);
        const std::uint32_t n = r.checked_count(r.get_u32(), 14);
        std::uint64_t sum = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            sum += r.get_u32();
            sum += r.get_string().size();
            sum += r.get_string().size();
            sum += r.get_u16();
            sum += r.get_u16();
            sum += r.get_u32();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * records);
}

void readWithDataStream(benchmark::State& state)
{
    const message_ptr frame = recordFrame();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(frame->data()), qsizetype(frame->size()));
    const auto readString = [](QDataStream& in) {
        quint16 count = 0;
        in >> count;
        std::string s(count, '\0');
        in.readRawData(s.data(), count);
        return s;
    };
    for (auto _ : state) {
        QDataStream in(bytes);
        in.setByteOrder(QDataStream::BigEndian);
        quint8 cls = 0;
        quint32 n = 0;
        in >> cls >> n;
        std::uint64_t sum = 0;
        for (quint32 i = 0; i < n; ++i) {
            quint32 id = 0, extra = 0;
            quint16 a = 0, b = 0;
            in >> id;
            sum += id;
            sum += readString(in).size();
            sum += readString(in).size();
            in >> a >> b >> extra;
            sum += a + b + extra;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * records);
}

// Five runs each, the ratios taken of the best: a run the machine slowed down
// once does not decide a goal.
constexpr int repetitions = 5;
BENCHMARK(cutWithFrameCutter)->Arg(10000)->Arg(100000)->MinTime(0.1)->Repetitions(repetitions);
BENCHMARK(cutWithDataStream)->Arg(100000)->MinTime(0.1)->Repetitions(repetitions);
BENCHMARK(readWithMessageReader)->MinTime(0.1)->Repetitions(repetitions);
BENCHMARK(readWithDataStream)->MinTime(0.1)->Repetitions(repetitions);

/// Keeps the time per iteration of each benchmark's runs.
class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    // Plain output, no colour codes in CI logs.
    RecordingReporter()
        : ConsoleReporter(OO_None)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                nsPerIteration[run.run_name.function_name + run.run_name.args].push_back(run.GetAdjustedRealTime());
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::vector<double>> nsPerIteration;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto& t = reporter.nsPerIteration;
    const auto best = [&](const std::string& name) { return t[name].empty() ? 0 : *std::min_element(t[name].begin(), t[name].end()); };
    const auto spread = [&](const std::string& name) { return *std::max_element(t[name].begin(), t[name].end()) / best(name); };
    const double cutter = best("cutWithFrameCutter100000");
    const double cutterSmall = best("cutWithFrameCutter10000");
    const double stream = best("cutWithDataStream100000");
    const double reader = best("readWithMessageReader");
    const double streamRead = best("readWithDataStream");
    if (cutter <= 0 || cutterSmall <= 0 || stream <= 0 || reader <= 0 || streamRead <= 0) {
        std::printf("missing benchmark results\n");
        return 1;
    }
    std::printf("\ncutting 100000 frames: FrameCutter / QDataStream time ratio = %.2f, goal at most 1.00 (best of %d runs; "
                "the slowest %.2f and %.2f times the best)\n",
                cutter / stream, repetitions, spread("cutWithFrameCutter100000"), spread("cutWithDataStream100000"));
    std::printf("reading a 200-record frame: message_reader / QDataStream time ratio = %.2f (the slowest %.2f and %.2f)\n",
                reader / streamRead, spread("readWithMessageReader"), spread("readWithDataStream"));
    const double growth = cutter / cutterSmall;
    std::printf("cutting 100000 vs 10000 frames: time ratio = %.1f (10 = linear)\n", growth);
    // Far above 10 would mean work per frame grows with the buffer (copying the remainder).
    if (growth > 30) {
        std::printf("frame cutting is not linear in the buffer size\n");
        return 1;
    }
    if (cutter > stream) {
        std::printf("cutting frames is slower than QDataStream reading them\n");
        return 1;
    }
    return 0;
}
