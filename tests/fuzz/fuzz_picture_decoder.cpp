// The bounded picture decoder against any bytes, as a picture in memory and
// as a PNG on a stream: never a crash, a read out of bounds or more memory
// than the limits allow (see FuzzMemoryLimits.h); a picture it returns is
// within the limits, and the stream is never read past the byte limit.
#include "FuzzMemoryLimits.h"
#include "PictureDecoder.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setPictureMemoryLimits(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using PictureDecoder::Format;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const PictureDecoder::Limits any{Format::Png | Format::Jpeg | Format::Gif | Format::Bmp, 1024, 512 * 512,
                                     QSize(64, 64)};
    const QImage image = PictureDecoder::imageOf(PictureDecoder::decode(bytes, any));
    if (!image.isNull() && (image.width() > 64 || image.height() > 64))
        std::abort();

    QByteArray copy = bytes;
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    const qint64 maxBytes = 4096;
    const PictureDecoder::Limits png{Format::Png, 256, 256 * 256, QSize()};
    const QImage streamed = PictureDecoder::imageOf(PictureDecoder::readPng(device, png, maxBytes));
    if (device.pos() > maxBytes || (!streamed.isNull() && (streamed.width() > 256 || streamed.height() > 256)))
        std::abort();
    return 0;
}
