#pragma once
// Pictures that are valid to the letter and costly to decode: PNG files whose
// optional chunks hold compressed data that inflates far beyond the picture,
// with correct zlib streams and chunk checksums (nothing a reader could
// refuse them for).

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QtEndian>

#include <array>
#include <cstring>

namespace hostilepictures {

/// The CRC-32 of a PNG chunk's type and data.
inline quint32 crc32(const QByteArray& bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (const char b : bytes)
        c = table[(c ^ quint8(b)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

/// One chunk: length, type, data and checksum.
inline QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    const QByteArray body = QByteArray(type, 4) + data;
    chunk += body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    return chunk + crc;
}

/// A zlib stream (header, deflate data, Adler-32) of `size` letters: text
/// that a reader keeps whole.
inline QByteArray zlibText(qsizetype size)
{
    // qCompress puts the length in front of a plain zlib stream.
    return qCompress(QByteArray(size, 'a'), 9).mid(4);
}

/// A plain PNG picture of one colour.
inline QByteArray plainPng(QSize size, QColor colour = Qt::darkGreen)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

/// The data of an optional chunk of `type` ("zTXt", "iTXt", "iCCP") named
/// `keyword`, its compressed part the zlib stream given.
inline QByteArray compressedChunkData(const char* type, const QByteArray& keyword, const QByteArray& zlib)
{
    const QByteArray name = keyword + '\0';
    if (std::memcmp(type, "iTXt", 4) == 0) // compressed, method 0, no language, no translation
        return name + QByteArray("\x01\x00\x00\x00", 4) + zlib;
    return name + QByteArray(1, '\0') + zlib; // zTXt and iCCP: method 0
}

/// A PNG picture with `count` chunks of `type`, each of its own keyword,
/// right after its header chunk, each inflating to `inflated` bytes (a
/// reader keeps up to 8 MB of one chunk).
inline QByteArray pngWithChunks(const QByteArray& png, int count, const char* type, qsizetype inflated)
{
    const QByteArray zlib = zlibText(inflated);
    constexpr qsizetype afterHeader = 8 + 12 + 13;
    QByteArray bytes = png.left(afterHeader);
    bytes.reserve(png.size() + count * (zlib.size() + 32));
    for (int i = 0; i < count; ++i)
        bytes += pngChunk(type, compressedChunkData(type, "Comment" + QByteArray::number(i), zlib));
    return bytes + png.mid(afterHeader);
}

/// A PNG whose header chunk announces width x height, with a few bytes of
/// image data after it: small on the wire, huge once decoded.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 6; // RGBA
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", zlibText(4096))
        + pngChunk("IEND", QByteArray());
}

} // namespace hostilepictures
