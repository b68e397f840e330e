// The bounded picture decoder: the format told by the first bytes, a walk
// over the structure of each format that finds its size (and of a PNG, the
// chunks to keep) before any pixel is decoded, then Qt's image reader on what
// is left.
#include "PictureDecoder.h"

#include "ResourceFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QTransform>
#include <QIODevice>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace PictureDecoder {

namespace {

using Format = PictureDecoder::Format;

const char pngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype pngSignatureSize = 8;
/// Signature, IHDR length and type, width and height.
constexpr qsizetype pngHeaderSize = pngSignatureSize + 8 + 8;

/// More chunks than any real picture has (an encoder splits its data into
/// chunks of 8 kB or more), few enough to walk at once.
constexpr int maxPngChunks = 65536;
/// Bytes of a deflate block's header at its largest (its type, the counts of
/// codes, 19 code length codes of 3 bits and 318 code lengths of at most 7
/// bits each) and of its end code (at most 15 bits).
constexpr quint64 maxDeflateBlockOverhead = (3 + 14 + 19 * 3 + 318 * 7 + 15 + 7) / 8;
/// A progressive JPEG has about ten scans; every scan walks the whole image.
constexpr int maxJpegScans = 100;
/// libjpeg decodes a JPEG at 1/8 to 8/8 of its size: at most 64 times fewer pixels.
constexpr quint64 maxJpegShrink = 64;

/// The optional PNG chunks that are kept: small, fixed-size, never
/// compressed, and about how the picture looks. Every other optional chunk
/// (text, colour profiles, and whatever a later standard adds) is dropped.
constexpr std::array<const char*, 7> keptOptionalChunks = {"tRNS", "gAMA", "cHRM", "sRGB", "sBIT", "bKGD", "pHYs"};
/// The chunks a PNG cannot do without.
constexpr std::array<const char*, 4> criticalChunks = {"IHDR", "PLTE", "IDAT", "IEND"};

quint32 be32(const char* p) { return qFromBigEndian<quint32>(p); }
quint16 be16(const char* p) { return qFromBigEndian<quint16>(p); }
quint16 le16(const char* p) { return qFromLittleEndian<quint16>(p); }
quint32 le32(const char* p) { return qFromLittleEndian<quint32>(p); }
uchar byteAt(const QByteArray& bytes, qsizetype i) { return uchar(bytes.at(i)); }

Error stopped() { return Error{Error::Stopped, QStringLiteral("no longer wanted")}; }
Error truncated() { return Error{Error::Truncated, QStringLiteral("the picture ends early")}; }
Error broken(const QString& why) { return Error{Error::Broken, why}; }

const char* formatName(Format format)
{
    switch (format) {
    case Format::Png: return "PNG";
    case Format::Jpeg: return "JPEG";
    case Format::Gif: return "GIF";
    case Format::Bmp: return "BMP";
    }
    return "";
}

std::optional<Format> sniff(const QByteArray& bytes)
{
    if (bytes.startsWith(QByteArray::fromRawData(pngSignature, pngSignatureSize)))
        return Format::Png;
    if (bytes.startsWith("\xff\xd8\xff"))
        return Format::Jpeg;
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return Format::Gif;
    if (bytes.startsWith("BM"))
        return Format::Bmp;
    return std::nullopt;
}

Error tooManyPixels(quint64 width, quint64 height)
{
    return Error{Error::TooLarge, QStringLiteral("%1 x %2 pixels, more than taken here").arg(width).arg(height)};
}

/// A width and height as a header gives them, checked against the limits
/// before they are even made an int. `shrink`: how many times fewer pixels
/// the picture may be decoded at.
std::optional<Error> checkSize(quint64 width, quint64 height, const Limits& limits, quint64 shrink = 1)
{
    if (width == 0 || height == 0)
        return broken(QStringLiteral("the picture has no width or height"));
    if (width > quint64(limits.maxSide) || height > quint64(limits.maxSide)
        || width * height > quint64(std::max<qint64>(limits.maxPixels, 0)) * shrink)
        return tooManyPixels(width, height);
    return std::nullopt;
}

/// The size the image reader is asked for, as the picture is stored (before
/// it is turned); invalid when the picture is not to be made smaller.
QSize scaledTarget(QSize size, QSize fitInto, bool turned)
{
    const QSize shown = turned ? size.transposed() : size;
    if (!fitInto.isValid() || fitInto.isEmpty()
        || (shown.width() <= fitInto.width() && shown.height() <= fitInto.height()))
        return QSize();
    const QSize target = shown.scaled(fitInto, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return turned ? target.transposed() : target;
}

/// The pixels a JPEG is decoded into when the reader is asked for `target`:
/// libjpeg decodes it at the smallest of 1/8 to 8/8 of its size that still
/// covers the target, the reader scales the rest of the way.
quint64 jpegDecodedPixels(QSize size, QSize target)
{
    if (!target.isValid())
        return quint64(size.width()) * quint64(size.height());
    const double shrink = std::min(double(size.width()) / target.width(), double(size.height()) / target.height());
    const quint64 eighths = quint64(std::clamp(int(std::ceil(8 / shrink)), 1, 8));
    return ((quint64(size.width()) * eighths + 7) / 8) * ((quint64(size.height()) * eighths + 7) / 8)
        + quint64(target.width()) * quint64(target.height());
}

/// The orientation a camera's note gives: the entry 0x0112 of the first
/// directory of its TIFF structure (a JPEG's "Exif" segment, a PNG's eXIf
/// chunk holds it whole). 1, upright, when the note has none or cannot be
/// read; every entry looked at lies within the note.
int exifOrientation(QByteArrayView tiff)
{
    if (tiff.size() < 8 || (!tiff.startsWith("II") && !tiff.startsWith("MM")))
        return 1;
    const bool little = tiff.startsWith("II");
    const auto at16 = [&](qsizetype i) { return little ? le16(tiff.data() + i) : be16(tiff.data() + i); };
    const auto at32 = [&](qsizetype i) { return little ? le32(tiff.data() + i) : be32(tiff.data() + i); };
    const quint32 directory = at32(4);
    if (at16(2) != 42 || directory > quint32(tiff.size() - 2))
        return 1;
    const quint16 entries = at16(directory);
    for (qsizetype entry = directory + 2, i = 0; i < entries && entry + 12 <= tiff.size(); ++i, entry += 12) {
        // One SHORT in the entry's own value field.
        if (at16(entry) == 0x0112 && at16(entry + 2) == 3) {
            const quint16 orientation = at16(entry + 8);
            return orientation >= 1 && orientation <= 8 ? orientation : 1;
        }
    }
    return 1;
}

/// How a picture stored as a camera's orientation says is turned for
/// showing: mirrored or flipped first, then a quarter turn clockwise.
QImageIOHandler::Transformations turnOf(int orientation)
{
    using T = QImageIOHandler;
    switch (orientation) {
    case 2: return T::TransformationMirror;
    case 3: return T::TransformationRotate180;
    case 4: return T::TransformationFlip;
    case 5: return T::TransformationFlipAndRotate90;
    case 6: return T::TransformationRotate90;
    case 7: return T::TransformationMirrorAndRotate90;
    case 8: return T::TransformationRotate270;
    default: return T::TransformationNone;
    }
}

/// What the walk over a picture found out.
struct Walked
{
    QSize size;
    /// What goes to the image reader (a PNG without its dropped chunks).
    QByteArray bytes;
    /// What its decoder holds besides the pixels: the coefficients of a JPEG
    /// of several scans.
    quint64 heldBytes = 0;
    /// As the camera's note of a JPEG or a PNG gives it.
    int orientation = 1;
};
using WalkResult = std::variant<Walked, Error>;

bool isOneOf(const char* type, const auto& list)
{
    for (const char* name : list) {
        if (std::memcmp(type, name, 4) == 0)
            return true;
    }
    return false;
}

/// The size of a PNG from its first bytes: the signature and the IHDR chunk.
std::variant<QSize, Error> pngSize(const QByteArray& bytes, const Limits& limits)
{
    if (bytes.size() < pngHeaderSize)
        return truncated();
    const char* p = bytes.constData() + pngSignatureSize;
    if (be32(p) != 13 || std::memcmp(p + 4, "IHDR", 4) != 0)
        return broken(QStringLiteral("a PNG picture without its header chunk first"));
    const quint32 width = be32(p + 8);
    const quint32 height = be32(p + 12);
    if (std::optional<Error> error = checkSize(width, height, limits))
        return *error;
    return QSize(int(width), int(height));
}

/// The bytes of the rows of a PNG once inflated: every row of every pass
/// (seven when interlaced, else one) starts with its filter byte. Zero when
/// the header's pixel format is not one a PNG can have.
quint64 pngRowBytes(const QByteArray& bytes, QSize size, quint64* rows)
{
    const char* header = bytes.constData() + pngSignatureSize + 8;
    const uchar depth = uchar(header[8]);
    const uchar colour = uchar(header[9]);
    const uchar interlace = uchar(header[12]);
    int channels = 0;
    switch (colour) {
    case 0: case 3: channels = 1; break;
    case 4: channels = 2; break;
    case 2: channels = 3; break;
    case 6: channels = 4; break;
    default: return 0;
    }
    if (depth == 0 || depth > 16 || (depth & (depth - 1)) != 0 || interlace > 1)
        return 0;
    const quint64 bits = quint64(channels) * depth;
    // The passes as offsets and steps of columns and rows.
    struct Pass { int x, y, dx, dy; };
    static constexpr Pass whole[] = {{0, 0, 1, 1}};
    static constexpr Pass adam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                     {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const auto add = [&](const auto& passes) {
        quint64 total = 0;
        for (const Pass& pass : passes) {
            const quint64 w = size.width() > pass.x ? quint64(size.width() - pass.x + pass.dx - 1) / pass.dx : 0;
            const quint64 h = size.height() > pass.y ? quint64(size.height() - pass.y + pass.dy - 1) / pass.dy : 0;
            if (w == 0 || h == 0)
                continue;
            *rows += h;
            total += h * (1 + (w * bits + 7) / 8);
        }
        return total;
    };
    *rows = 0;
    return interlace ? add(adam7) : add(whole);
}

/// Inflates a PNG's image data, in pieces and thrown away, to make sure it
/// ends with its last row; stops as soon as it runs beyond.
std::optional<Error> checkPngData(const QByteArray& bytes, const std::vector<std::pair<qsizetype, quint32>>& data,
                                  quint64 rowBytes, const Limits& limits)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return broken(QStringLiteral("no memory to inflate with"));
    std::array<Bytef, 32768> out;
    int status = Z_OK;
    std::optional<Error> error;
    for (const auto& [at, length] : data) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData() + at));
        stream.avail_in = length;
        while (stream.avail_in > 0 && status == Z_OK) {
            if (limits.stop && limits.stop->load(std::memory_order_relaxed)) {
                error = stopped();
                break;
            }
            stream.next_out = out.data();
            stream.avail_out = uInt(out.size());
            status = inflate(&stream, Z_NO_FLUSH);
            if (stream.total_out > rowBytes) {
                error = Error{Error::TooLarge, QStringLiteral("a PNG picture whose image data goes on beyond its rows")};
                break;
            }
        }
        if (error || status != Z_OK)
            break;
    }
    inflateEnd(&stream);
    if (!error && status != Z_OK && status != Z_STREAM_END)
        error = broken(QStringLiteral("a PNG picture whose image data does not inflate"));
    return error;
}

WalkResult walkPng(const QByteArray& bytes, const Limits& limits)
{
    const std::variant<QSize, Error> size = pngSize(bytes, limits);
    if (const Error* error = std::get_if<Error>(&size))
        return *error;
    if (bytes.size() < pngSignatureSize + 8 + 13)
        return truncated(); // the header chunk's pixel format
    quint64 rows = 0;
    const quint64 rowBytes = pngRowBytes(bytes, std::get<QSize>(size), &rows);
    if (rowBytes == 0)
        return broken(QStringLiteral("a PNG picture of an unknown pixel format"));
    // A generous bound on what real encoders spend on these rows (a valid
    // stream may always be longer, with empty blocks). No code of deflate
    // takes more than 16 bits for a byte it gives (a literal at most 15, a
    // match of three bytes at most 48); a block adds at most its header with
    // its own code trees (2,300 bits) and its end code. An encoder ends a
    // block at a flush, at most one a row, and whenever its buffer of symbols
    // is full, after 127 at its smallest setting. Around it all, 2 bytes of
    // zlib header and 4 of checksum. A stream that inflates beyond its rows
    // within this is stopped as it inflates.
    const quint64 blocks = rows + rowBytes / 127 + 1;
    const quint64 maxData = 2 * rowBytes + maxDeflateBlockOverhead * blocks + 6;
    quint64 dataBytes = 0;
    std::vector<std::pair<qsizetype, quint32>> data;
    // The kept chunks go over as they are, their checksums with them; the
    // copy is made only once a chunk has been dropped.
    QByteArray kept;
    bool dropping = false;
    bool hasData = false;
    int orientation = 1;
    qsizetype at = pngSignatureSize;
    for (int count = 0;; ++count) {
        if (count == maxPngChunks)
            return broken(QStringLiteral("a PNG picture of more than %1 chunks").arg(maxPngChunks));
        if (bytes.size() - at < 12)
            return truncated();
        const char* chunk = bytes.constData() + at;
        const quint32 length = be32(chunk);
        if (length > quint32(bytes.size() - at - 12))
            return truncated();
        const char* type = chunk + 4;
        const qsizetype chunkSize = 12 + qsizetype(length);
        const bool critical = (uchar(type[0]) & 0x20) == 0;
        if (critical && !isOneOf(type, criticalChunks))
            return broken(QStringLiteral("a PNG picture with an unknown necessary chunk"));
        const bool keep = critical || isOneOf(type, keptOptionalChunks);
        if (!keep && !dropping) {
            dropping = true;
            kept = bytes.left(at);
        }
        if (keep && dropping)
            kept.append(chunk, chunkSize);
        if (std::memcmp(type, "eXIf", 4) == 0 && orientation == 1)
            orientation = exifOrientation(QByteArrayView(chunk + 8, length));
        if (std::memcmp(type, "IDAT", 4) == 0) {
            hasData = true;
            dataBytes += length;
            if (dataBytes > maxData)
                return Error{Error::TooLarge,
                             QStringLiteral("a PNG picture with more image data than its rows can need")};
            data.emplace_back(at + 8, length);
        }
        at += chunkSize;
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
    }
    if (!hasData)
        return broken(QStringLiteral("a PNG picture without image data"));
    if (std::optional<Error> error = checkPngData(bytes, data, rowBytes, limits))
        return *error;
    // Whatever follows the end chunk is not part of the picture.
    return Walked{std::get<QSize>(size), dropping ? kept : bytes.left(at), 0, orientation};
}

bool isJpegFrame(uchar marker)
{
    // Start-of-frame markers: C0-CF but for C4 (Huffman tables), C8
    // (reserved) and CC (arithmetic coding conditioning).
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

/// The coefficients libjpeg holds for the whole picture while it reads a
/// JPEG of several scans: two bytes a sample, every component's blocks
/// rounded up to whole units of its sampling. `components` is the frame
/// header's list: id, sampling (horizontal in the high nibble) and table.
quint64 jpegCoefficientBytes(QSize size, const QByteArray& components)
{
    int maxH = 1;
    int maxV = 1;
    for (qsizetype i = 1; i < components.size(); i += 3) {
        maxH = std::max(maxH, uchar(components.at(i)) >> 4);
        maxV = std::max(maxV, uchar(components.at(i)) & 15);
    }
    quint64 blocks = 0;
    for (qsizetype i = 1; i < components.size(); i += 3) {
        const quint64 h = std::max(1, uchar(components.at(i)) >> 4);
        const quint64 v = std::max(1, uchar(components.at(i)) & 15);
        const quint64 across = (quint64(size.width()) * h + 8 * maxH - 1) / (8 * maxH) + h;
        const quint64 down = (quint64(size.height()) * v + 8 * maxV - 1) / (8 * maxV) + v;
        blocks += across * down;
    }
    return blocks * 64 * 2;
}

WalkResult walkJpeg(const QByteArray& bytes, const Limits& limits)
{
    const qsizetype n = bytes.size();
    QSize size;
    QByteArray components;
    bool progressive = false;
    int scans = 0;
    int orientation = 1;
    qsizetype at = 2;
    for (;;) {
        if (at >= n)
            break;
        if (byteAt(bytes, at) != 0xff)
            return broken(QStringLiteral("a JPEG picture with data where a marker belongs"));
        while (at < n && byteAt(bytes, at) == 0xff)
            ++at;
        if (at >= n)
            break;
        const uchar marker = byteAt(bytes, at++);
        if (marker == 0xd9)
            break; // the end of the picture
        if ((marker >= 0xd0 && marker <= 0xd7) || marker == 0x01)
            continue; // markers without a segment
        if (marker == 0x00 || marker == 0xd8)
            return broken(QStringLiteral("a JPEG picture with a misplaced marker"));
        if (n - at < 2)
            return truncated();
        const quint16 length = be16(bytes.constData() + at);
        if (length < 2)
            return broken(QStringLiteral("a JPEG picture with a segment shorter than its length"));
        if (n - at < length)
            return truncated();
        if (marker == 0xe1 && orientation == 1 && length >= 8
            && QByteArrayView(bytes).sliced(at + 2, 6) == QByteArrayView("Exif\0\0", 6))
            orientation = exifOrientation(QByteArrayView(bytes).sliced(at + 8, length - 8));
        if (isJpegFrame(marker)) {
            if (!size.isEmpty())
                return broken(QStringLiteral("a JPEG picture with a second frame"));
            if (length < 8)
                return broken(QStringLiteral("a JPEG picture with a short frame header"));
            const quint16 height = be16(bytes.constData() + at + 3);
            const quint16 width = be16(bytes.constData() + at + 5);
            const bool shrinks = limits.fitInto.isValid() && !limits.fitInto.isEmpty();
            if (std::optional<Error> error = checkSize(width, height, limits, shrinks ? maxJpegShrink : 1))
                return *error;
            size = QSize(width, height);
            components = bytes.mid(at + 8, std::min<qsizetype>(3 * byteAt(bytes, at + 7), length - 8));
            // Progressive frames: 0xc2, 0xc6, 0xca and 0xce.
            progressive = (marker & 3) == 2;
        }
        at += length;
        if (marker == 0xda) {
            if (size.isEmpty())
                return broken(QStringLiteral("a JPEG picture with a scan before its frame"));
            if (++scans > maxJpegScans)
                return Error{Error::TooLarge, QStringLiteral("a JPEG picture of more than %1 scans").arg(maxJpegScans)};
            // The coded data runs to the next marker other than a restart
            // (0xff 0x00 is a coded 0xff).
            while (at + 1 < n) {
                if (byteAt(bytes, at) == 0xff) {
                    const uchar next = byteAt(bytes, at + 1);
                    if (next != 0x00 && !(next >= 0xd0 && next <= 0xd7))
                        break;
                }
                ++at;
            }
            if (at + 1 >= n)
                break; // ends in its coded data: the reader makes do without an end marker
        }
    }
    if (size.isEmpty() || scans == 0)
        return truncated();
    return Walked{size, bytes, progressive || scans > 1 ? jpegCoefficientBytes(size, components) : 0, orientation};
}

/// Skips a GIF's chain of data sub-blocks; false when the bytes end first.
bool skipGifBlocks(const QByteArray& bytes, qsizetype& at)
{
    for (;;) {
        if (at >= bytes.size())
            return false;
        const uchar length = byteAt(bytes, at++);
        if (length == 0)
            return true;
        at += length;
    }
}

WalkResult walkGif(const QByteArray& bytes, const Limits& limits)
{
    if (bytes.size() < 13)
        return truncated();
    const char* p = bytes.constData();
    const quint16 screenWidth = le16(p + 6);
    const quint16 screenHeight = le16(p + 8);
    // A frame may reach beyond the screen it names: the area that counts
    // holds both.
    quint64 width = screenWidth;
    quint64 height = screenHeight;
    qsizetype at = 13;
    if (byteAt(bytes, 10) & 0x80)
        at += qsizetype(3) << ((byteAt(bytes, 10) & 7) + 1);
    int frames = 0;
    for (;;) {
        if (at >= bytes.size()) {
            if (frames == 0)
                return truncated();
            break; // a missing trailer after the first frame is common
        }
        const uchar block = byteAt(bytes, at++);
        if (block == 0x3b)
            break;
        if (block == 0x21) {
            ++at; // the extension's label
            if (!skipGifBlocks(bytes, at) && frames == 0)
                return truncated();
            continue;
        }
        if (block != 0x2c)
            return broken(QStringLiteral("a GIF picture with an unknown block"));
        if (bytes.size() - at < 10) {
            if (frames == 0)
                return truncated();
            break;
        }
        const quint64 right = quint64(le16(p + at)) + le16(p + at + 4);
        const quint64 bottom = quint64(le16(p + at + 2)) + le16(p + at + 6);
        width = std::max(width, right);
        height = std::max(height, bottom);
        if (std::optional<Error> error = checkSize(width, height, limits))
            return *error;
        const uchar flags = byteAt(bytes, at + 8);
        at += 9;
        if (flags & 0x80)
            at += qsizetype(3) << ((flags & 7) + 1);
        ++at; // the smallest code size
        const bool whole = skipGifBlocks(bytes, at);
        ++frames;
        if (!whole)
            break;
    }
    if (std::optional<Error> error = checkSize(width, height, limits))
        return *error;
    return Walked{QSize(int(width), int(height)), bytes};
}

WalkResult walkBmp(const QByteArray& bytes, const Limits& limits)
{
    if (bytes.size() < 26)
        return truncated();
    const char* p = bytes.constData();
    const quint32 headerSize = le32(p + 14);
    quint64 width = 0;
    quint64 height = 0;
    if (headerSize == 12) {
        width = le16(p + 18);
        height = le16(p + 20);
    } else if (headerSize >= 16 && headerSize <= 124) {
        const qint32 w = qint32(le32(p + 18));
        const qint32 h = qint32(le32(p + 22));
        if (w <= 0 || h == 0 || h == std::numeric_limits<qint32>::min())
            return broken(QStringLiteral("a BMP picture without width or height"));
        width = quint64(w);
        height = quint64(h < 0 ? -h : h); // a negative height stands for rows from the top
    } else {
        return broken(QStringLiteral("a BMP picture with an unknown header"));
    }
    if (std::optional<Error> error = checkSize(width, height, limits))
        return *error;
    return Walked{QSize(int(width), int(height)), bytes};
}

/// The bytes for the image reader, which run dry once the owner's stop
/// turns true: the reader then ends with an error at its next read.
class StoppableBuffer : public QBuffer
{
public:
    explicit StoppableBuffer(const std::atomic<bool>* stop)
        : stop(stop)
    {
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (stop && stop->load(std::memory_order_relaxed))
            return -1;
        return QBuffer::readData(data, maxSize);
    }

private:
    const std::atomic<bool>* stop;
};

} // namespace

std::variant<Checked, Error> check(const QByteArray& bytes, const Limits& limits)
{
    const std::optional<Format> format = sniff(bytes);
    if (!format)
        return Error{bytes.isEmpty() ? Error::Truncated : Error::NotTaken,
                     bytes.isEmpty() ? QStringLiteral("no bytes") : QStringLiteral("not a picture of a known format")};
    if (!limits.formats.testFlag(*format))
        return Error{Error::NotTaken, QStringLiteral("a %1 picture, not taken here").arg(QLatin1String(formatName(*format)))};
    WalkResult walked;
    switch (*format) {
    case Format::Png: walked = walkPng(bytes, limits); break;
    case Format::Jpeg: walked = walkJpeg(bytes, limits); break;
    case Format::Gif: walked = walkGif(bytes, limits); break;
    case Format::Bmp: walked = walkBmp(bytes, limits); break;
    }
    if (const Error* error = std::get_if<Error>(&walked))
        return *error;
    Walked& picture = std::get<Walked>(walked);
    // What the decoder takes: the pixels it decodes into (a JPEG's at the
    // size it is decoded at, turned either way) and what it holds besides.
    quint64 pixels = quint64(picture.size.width()) * quint64(picture.size.height());
    if (*format == Format::Jpeg)
        pixels = std::max(jpegDecodedPixels(picture.size, scaledTarget(picture.size, limits.fitInto, false)),
                          jpegDecodedPixels(picture.size, scaledTarget(picture.size, limits.fitInto, true)));
    if (pixels + (picture.heldBytes + 3) / 4 > quint64(std::max<qint64>(limits.maxPixels, 0)))
        return tooManyPixels(quint64(picture.size.width()), quint64(picture.size.height()));
    return Checked{*format, picture.size, std::move(picture.bytes), picture.orientation};
}

Result decode(const QByteArray& bytes, const Limits& limits)
{
    std::variant<Checked, Error> checked = check(bytes, limits);
    if (const Error* error = std::get_if<Error>(&checked))
        return *error;
    const Checked& picture = std::get<Checked>(checked);

    StoppableBuffer buffer(limits.stop);
    buffer.setData(picture.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, formatName(picture.format));
    // Only the reader of the format found: no other plugin gets a go at the bytes.
    reader.setAutoDetectImageFormat(false);
    // A camera stores a portrait photo on its side with a note to turn it:
    // turned here by the note the walk found, whatever the format's reader
    // makes of it.
    reader.setAutoTransform(false);
    const QImageIOHandler::Transformations turn = turnOf(picture.orientation);
    const bool turned = turn.testFlag(QImageIOHandler::TransformationRotate90);
    if (const QSize target = scaledTarget(picture.size, limits.fitInto, turned); target.isValid())
        reader.setScaledSize(target);
    QImage image = reader.read();
    if (limits.stop && limits.stop->load())
        return stopped();
    if (image.isNull())
        return broken(QStringLiteral("a %1 picture that does not decode: %2")
                          .arg(QLatin1String(formatName(picture.format)), reader.errorString()));
    const bool mirror = turn.testFlag(QImageIOHandler::TransformationMirror);
    const bool flip = turn.testFlag(QImageIOHandler::TransformationFlip);
    if (mirror || flip)
        image = image.mirrored(mirror, flip);
    if (turned)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

Result readPng(QIODevice& device, const Limits& limits, qint64 maxBytes)
{
    if (!limits.formats.testFlag(Format::Png))
        return Error{Error::NotTaken, QStringLiteral("a PNG picture, not taken here")};
    const QByteArray head = device.peek(pngHeaderSize);
    if (!head.startsWith(QByteArray::fromRawData(pngSignature, pngSignatureSize)))
        return head.size() < pngSignatureSize ? truncated()
                                              : Error{Error::NotTaken, QStringLiteral("not a PNG picture")};
    const std::variant<QSize, Error> size = pngSize(head, limits);
    if (const Error* error = std::get_if<Error>(&size))
        return *error;
    const auto tooLarge = [maxBytes] {
        return Error{Error::TooLarge, QStringLiteral("a PNG picture of more than %1 bytes").arg(maxBytes)};
    };
    QByteArray bytes = device.read(pngSignatureSize);
    for (int count = 0;; ++count) {
        if (count == maxPngChunks)
            return broken(QStringLiteral("a PNG picture of more than %1 chunks").arg(maxPngChunks));
        if (bytes.size() + 12 > maxBytes)
            return tooLarge();
        const QByteArray top = device.read(8);
        if (top.size() < 8)
            return truncated();
        const quint64 length = be32(top.constData());
        if (quint64(bytes.size()) + 12 + length > quint64(maxBytes))
            return tooLarge();
        bytes += top;
        const QByteArray rest = device.read(qint64(length) + 4);
        if (quint64(rest.size()) < length + 4)
            return truncated();
        bytes += rest;
        if (top.endsWith("IEND"))
            break;
    }
    return decode(bytes, limits);
}

Result decodeFile(const QString& path, const Limits& limits, qint64 maxBytes)
{
    // Never opened unless a regular file: a FIFO would wait for a writer.
    const QString file = ResourceFile::path(path);
    if (file.isEmpty())
        return Error{Error::NotTaken, QStringLiteral("not a regular file")};
    QString why;
    const std::optional<QByteArray> bytes = ResourceFile::read(file, maxBytes, &why);
    if (!bytes && QFileInfo(file).size() > maxBytes)
        return Error{Error::TooLarge, QStringLiteral("a file of more than %1 bytes").arg(maxBytes)};
    if (!bytes)
        return broken(why);
    return decode(*bytes, limits);
}

QImage imageOf(const Result& result)
{
    const QImage* image = std::get_if<QImage>(&result);
    return image ? *image : QImage();
}

QString errorOf(const Result& result)
{
    const Error* error = std::get_if<Error>(&result);
    return error ? error->text : QString();
}

} // namespace PictureDecoder
