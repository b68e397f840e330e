// The rich-text gate (an update's description, which comes over plain HTTP)
// against any text as HTML: never a crash, a read out of bounds or a huge
// allocation, and never more time than reading in linear time takes: an
// input of up to 64 KB that takes more than `maxCpuMs` of the thread's CPU
// time is a finding, as is a document that holds more pictures or blocks
// than the limits let through.

#include "RichTextGate.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

/// Far above what a linear reading of the longest input takes with the
/// fuzzer's instrumentation; far below what a quadratic one does.
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
    static char name[] = "fuzz_rich_text_gate";
    static char* appArgv[] = {name, nullptr};
    new QGuiApplication(appArgc, appArgv);

    // Inputs long enough for work that grows faster than the input to show.
    static char maxLen[] = "-max_len=65536";
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp((*argv)[i], "-max_len=", 9) == 0)
            return 0;
    }
    static std::vector<char*> extended;
    extended.assign(*argv, *argv + *argc);
    extended.insert(extended.end(), {maxLen, nullptr});
    *argc += 1;
    *argv = extended.data();
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
    if (spent > maxCpuMs) {
        std::fprintf(stderr, "%zu bytes took %.0f ms of CPU time\n", size, spent);
        std::abort();
    }
    if (pictures.size() > limits.maxPictures || document.blockCount() > limits.maxLines)
        std::abort();
    for (const QString& address : pictures) {
        if (!address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
            std::abort();
    }
    return 0;
}
