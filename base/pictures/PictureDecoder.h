#pragma once

#include <QFlags>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <variant>

class QByteArray;
class QIODevice;

/// The one way in for a picture that comes from outside the program: an
/// advertisement download, a chat user's vCard photo, a tile cache or
/// installed tile set file, a picture file the user picks.
///
/// The header is read first: the format must be one the use takes and the
/// size within its limits, or nothing is decoded. Of a PNG only the chunks
/// needed to draw it reach the image reader; text, colour profiles and any
/// other optional chunk are dropped unread, so that no compressed chunk can
/// inflate beyond the picture itself. The image data may be no longer than
/// a generous bound on what real encoders write for its rows (every code at
/// its longest, a block at every row and every 127 symbols), and is inflated
/// no further than its last row before the image reader gets it. A JPEG may have at most a
/// hundred scans. A picture is turned as its orientation (a camera's EXIF
/// note, of a JPEG or a PNG alike) says. Reentrant: any thread, no shared state.
namespace PictureDecoder {

enum class Format { Png = 0x1, Jpeg = 0x2, Gif = 0x4, Bmp = 0x8 };
Q_DECLARE_FLAGS(Formats, Format)

/// What one use of pictures takes.
struct Limits
{
    Formats formats;
    /// Neither side, as the header gives it, may be larger.
    int maxSide = 0;
    /// Nor the pixels decoded: width times height, or of a JPEG decoded
    /// smaller (see fitInto) those of the size it is decoded at; a JPEG of
    /// several scans adds the coefficients it holds meanwhile (two bytes a
    /// sample, counted as pixels of four bytes). A JPEG decoded smaller may
    /// have up to 64 times as many pixels in its header, never more.
    qint64 maxPixels = 0;
    /// When valid, a larger picture comes back scaled down to fit inside
    /// it, its aspect kept (a JPEG is decoded at the smaller size).
    QSize fitInto;
    /// When given, a decode under way gives up soon after it turns true: the
    /// owner that no longer wants the picture need not wait for it.
    const std::atomic<bool>* stop = nullptr;
};

/// Why a picture was left out.
struct Error
{
    enum Kind {
        NotTaken,  ///< not a picture of a format the use takes
        TooLarge,  ///< its size, or its byte count, beyond the limits
        Truncated, ///< ends before the picture does
        Broken,    ///< not readable as its format
        Stopped,   ///< given up on when the limits' stop turned true
    };
    Kind kind;
    /// For the log, in English: "a GIF picture, not taken here".
    QString text;
};

using Result = std::variant<QImage, Error>;

/// A picture that passed every check before its pixels.
struct Checked
{
    Format format;
    /// As the header gives it.
    QSize size;
    /// What the image reader is to get: of a PNG only the kept chunks, and
    /// nothing after the end of any picture.
    QByteArray bytes;
    /// How it is to be turned for showing, as a camera notes it (EXIF, in a
    /// JPEG or a PNG): 1 upright, 6 a quarter turn clockwise, up to 8.
    int orientation = 1;
};

/// Checks a picture held in memory as decode() does, without decoding it:
/// for a reader that decodes it later by itself (the SVG renderer).
std::variant<Checked, Error> check(const QByteArray& bytes, const Limits& limits);
/// Decodes a picture held in memory.
Result decode(const QByteArray& bytes, const Limits& limits);
/// Takes one PNG picture off a device, exactly its bytes up to and with its
/// end chunk, and decodes it. The header is looked at before anything is
/// read: a picture refused for its format or size leaves the device where
/// it was. More than maxBytes of picture is refused as too large.
Result readPng(QIODevice& device, const Limits& limits, qint64 maxBytes);
/// Decodes a picture file: only a regular file (a link to one is followed)
/// of at most maxBytes.
Result decodeFile(const QString& path, const Limits& limits, qint64 maxBytes);

/// The picture of a result; null for an error.
QImage imageOf(const Result& result);
/// The log text of a result's error; empty for a picture.
QString errorOf(const Result& result);

} // namespace PictureDecoder

Q_DECLARE_OPERATORS_FOR_FLAGS(PictureDecoder::Formats)
