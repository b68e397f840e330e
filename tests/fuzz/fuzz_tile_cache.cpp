// The tile cache reader against any bytes: a file of any length or content
// is refused or used, never read out of bounds, and never made into more
// memory than a set of its scale needs (see FuzzMemoryLimits.h).
#include "FuzzMemoryLimits.h"
#include "TileCache.h"
#include "TileImages.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setPictureMemoryLimits(argc, argv);
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
