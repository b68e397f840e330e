// The tile cache reader against any bytes: a file of any length or content
// is refused or used, never read out of bounds, and never made into more
// memory than a set of its scale needs. Qt's own cap on one picture's
// allocation is lifted here, so that only the reader's checks stand between
// an input and the memory; the run's memory limit (at most 1 GB unless the
// command line sets another) makes an input that goes beyond it a finding.
#include "TileCache.h"
#include "TileImages.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    QImageReader::setAllocationLimit(0);
    // A memory limit of our own unless the caller chose one.
    static char limit[] = "-rss_limit_mb=1024";
    static char mallocLimit[] = "-malloc_limit_mb=512";
    bool chosen = false;
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp((*argv)[i], "-rss_limit_mb=", 14) == 0)
            chosen = true;
    }
    if (!chosen) {
        static std::unique_ptr<char*[]> extended;
        extended.reset(new char*[std::size_t(*argc) + 3]);
        for (int i = 0; i < *argc; ++i)
            extended[std::size_t(i)] = (*argv)[i];
        extended[std::size_t(*argc)] = limit;
        extended[std::size_t(*argc) + 1] = mallocLimit;
        extended[std::size_t(*argc) + 2] = nullptr;
        *argc += 2;
        *argv = extended.get();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::unique_ptr<TileImages> set(TileCache::read(buffer, 0.125));
    if (set) {
        // A set that was accepted must be safe to draw from.
        for (int o = 0; o < TileImages::orientationCount; ++o)
            for (int k = 0; k < TileImages::kindCount; ++k)
                (void)set->element(o, k).sizeInBytes();
        (void)set->handImage(2).sizeInBytes();
    }
    return 0;
}
