// The rich-text gate (an update's description, which comes over plain HTTP)
// against any text as HTML, inputs up to 64 KB: never a crash, a read out of
// bounds or a huge allocation; never more than `maxCpuMs` of CPU time for an
// input (far above a linear reading with the fuzzer's instrumentation, far
// below a quadratic one); never more pictures or blocks than the limits.

#include "RichTextGate.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {
constexpr double maxCpuMs = 1500;

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // A document needs the font database, which needs a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int appArgc = 1;
    static char* appArgv[] = {(*argv)[0], nullptr};
    new QGuiApplication(appArgc, appArgv);
    // Long inputs, unless the command line says otherwise: libFuzzer takes the last value.
    static char maxLen[] = "-max_len=65536";
    static std::vector<char*> args(*argv, *argv + *argc);
    args.insert(args.begin() + 1, maxLen);
    args.push_back(nullptr);
    *argc += 1;
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const RichTextGate::Limits limits{500, 30, 3, 4};
    const double start = threadCpuMs();
    QTextDocument document;
    const QStringList pictures = RichTextGate::fill(document, html, limits);
    const double spent = threadCpuMs() - start;
    if (spent > maxCpuMs)
        std::fprintf(stderr, "%zu bytes took %.0f ms of CPU time\n", size, spent);
    if (spent > maxCpuMs || pictures.size() > limits.maxPictures || document.blockCount() > limits.maxLines)
        std::abort();
    for (const QString& address : pictures) {
        if (!address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
            std::abort();
    }
    return 0;
}
