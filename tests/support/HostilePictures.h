#pragma once
// Pictures valid to the letter and costly to decode: PNG files whose optional
// chunks hold compressed data that inflates far beyond the picture, with
// correct zlib streams and chunk checksums.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QtEndian>

namespace hostilepictures {

/// One chunk: length, type, data and checksum.
inline QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    chunk += QByteArray(type, 4) + data;
    quint32 crc = 0xffffffffu; // CRC-32 of the type and data
    for (qsizetype i = 4; i < chunk.size(); ++i) {
        crc ^= quint8(chunk[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    QByteArray tail(4, '\0');
    qToBigEndian<quint32>(~crc, tail.data());
    return chunk + tail;
}

/// A picture of one colour, as a PNG unless another format is named.
inline QByteArray plainPicture(QSize size, QColor colour = Qt::darkGreen, const char* format = "PNG")
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

/// The PNG with `count` chunks of `type` ("zTXt", "iTXt" or "iCCP") after
/// its header, each of its own keyword (a reader keeps them all) and each
/// inflating to `inflated` letters (a reader takes up to 8 MB of one chunk).
inline QByteArray pngWithChunks(const QByteArray& png, int count, const char* type = "zTXt",
                                qsizetype inflated = 7800000)
{
    // qCompress puts the length in front of a plain zlib stream.
    const QByteArray zlib = qCompress(QByteArray(inflated, 'a'), 9).mid(4);
    // iTXt: compressed, method 0, no language, no translation; the others: method 0.
    const QByteArray flags = QByteArray(type, 4) == "iTXt" ? QByteArray("\1\0\0\0", 4) : QByteArray(1, '\0');
    QByteArray bytes = png.left(8 + 12 + 13);
    for (int i = 0; i < count; ++i)
        bytes += pngChunk(type, "Comment" + QByteArray::number(i) + '\0' + flags + zlib);
    return bytes + png.mid(8 + 12 + 13);
}

/// A PNG whose header announces width x height, with the data of one pixel.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    const QByteArray png = plainPicture(QSize(1, 1));
    QByteArray header = png.mid(8 + 8, 13);
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    return png.left(8) + pngChunk("IHDR", header) + png.mid(8 + 12 + 13);
}

} // namespace hostilepictures
