#pragma once
// Pictures valid to the letter and costly to decode: PNG files whose optional
// chunks hold compressed data that inflates far beyond the picture, with
// correct zlib streams and chunk checksums.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QtEndian>

#include <zlib.h>

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

/// The JPEG with a camera's note (EXIF, of one entry) of how to turn it for
/// showing: 6, a quarter turn clockwise, as a phone stores a portrait photo.
inline QByteArray jpegWithOrientation(const QByteArray& jpeg, char orientation)
{
    const QByteArray note("\xff\xe1\0\x22" "Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 29);
    return jpeg.left(2) + note + orientation + QByteArray(6, '\0') + jpeg.mid(2);
}

/// The PNG with the same note in an eXIf chunk after its header.
inline QByteArray pngWithOrientation(const QByteArray& png, char orientation)
{
    const QByteArray note = jpegWithOrientation(QByteArray(), orientation).mid(10);
    return png.left(8 + 12 + 13) + pngChunk("eXIf", note) + png.mid(8 + 12 + 13);
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

/// A PNG of 8-bit samples of the colour type whose image data is `zlib`.
inline QByteArray pngOfData(QSize size, char colourType, const QByteArray& zlib)
{
    QByteArray header = pngClaiming(quint32(size.width()), quint32(size.height())).mid(16, 13);
    header[9] = colourType;
    return plainPicture(QSize(1, 1)).left(8) + pngChunk("IHDR", header) + pngChunk("IDAT", zlib) + pngChunk("IEND", {});
}

/// An RGB PNG whose one image data stream holds its rows and then, in the
/// same stream and checksum, `megabytes` MB of zeros at about 1 kB each.
inline QByteArray pngWithDataBeyond(QSize size, int megabytes)
{
    const auto piece = [](QByteArray in) { // raw deflate ending on a byte, not the last block
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
        QByteArray out(qsizetype(deflateBound(&z, uLong(in.size()))) + 16, '\0');
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = uInt(in.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(out.size());
        deflate(&z, Z_FULL_FLUSH);
        deflateEnd(&z);
        return out.left(qsizetype(z.total_out));
    };
    const auto sum = [](const QByteArray& bytes, uLong start) {
        return adler32(start, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size()));
    };
    const QByteArray rows = QByteArray(1, '\0').append(size.width() * 3, '\x50').repeated(size.height());
    const QByteArray zeros(1 << 20, '\0');
    QByteArray data = "\x78\xda" + piece(rows) + piece(zeros).repeated(megabytes)
        + QByteArray("\x01\0\0\xff\xff\0\0\0\0", 9); // the last block, empty, and room for the checksum
    uLong adler = sum(rows, 1);
    for (const uLong zerosSum = sum(zeros, 1); megabytes-- > 0;)
        adler = adler32_combine(adler, zerosSum, z_off_t(zeros.size()));
    qToBigEndian<quint32>(quint32(adler), data.data() + data.size() - 4);
    return pngOfData(size, 2, data);
}

/// Rows of an RGBA picture, unfiltered, of bytes from 144 up (which fixed
/// codes spend 9 bits on) in a pattern that repeats nowhere near.
inline QByteArray noisyRows(QSize size)
{
    QByteArray rows;
    for (quint32 y = 0, seed = 1; y < quint32(size.height()); ++y) {
        rows += '\0';
        for (int x = 0; x < size.width() * 4; ++x, seed = seed * 1103515245u + 12345u)
            rows += char(144 + (seed >> 16) % 112);
    }
    return rows;
}

/// A zlib stream of the bytes as a minimal encoder writes it: one block of
/// fixed codes, every byte a literal.
inline QByteArray fixedCodes(const QByteArray& bytes)
{
    QByteArray out("\x78\x01");
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](quint32 value, int n, bool huffman) { // Huffman codes go most significant bit first
        for (int i = 0; i < n; ++i, ++count)
            bits |= ((value >> (huffman ? n - 1 - i : i)) & 1) << count;
        for (; count >= 8; count -= 8, bits >>= 8)
            out += char(bits & 0xff);
    };
    put(0b011, 3, false); // the last block, of fixed codes
    for (const char c : bytes)
        uchar(c) < 144 ? put(0x30 + uchar(c), 8, true) : put(0x190 + uchar(c) - 144, 9, true);
    put(0, 7, true); // the end of the block
    if (count > 0)
        out += char(bits);
    QByteArray sum(4, '\0');
    qToBigEndian<quint32>(quint32(adler32(1, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size()))),
                          sum.data());
    return out + sum;
}

/// A zlib stream of the rows made by zlib with the level and strategy, the
/// stream flushed after every row.
inline QByteArray flushedRows(const QByteArray& rows, int rowLength, int level, int strategy)
{
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
    QByteArray out(qsizetype(deflateBound(&z, uLong(rows.size()))) + rows.size() / rowLength * 16, '\0');
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    for (qsizetype at = 0; at < rows.size(); at += rowLength) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(rows.constData() + at));
        z.avail_in = uInt(rowLength);
        deflate(&z, at + rowLength < rows.size() ? Z_FULL_FLUSH : Z_FINISH);
    }
    deflateEnd(&z);
    return out.left(qsizetype(z.total_out));
}

} // namespace hostilepictures
