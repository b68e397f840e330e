#pragma once

#include "SoundResult.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>

class QFileInfo;
class QIODevice;

/// The format chunk of a RIFF WAVE file.
struct WaveFormat
{
    quint16 formatTag = 0; ///< 1 PCM, 3 IEEE float, others are compressed
    quint16 channels = 0;
    quint32 samplesPerSec = 0;
    quint32 avgBytesPerSec = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
    /// The extra bytes after the 16 basic ones (empty for PCM).
    QByteArray extra;
};

/// Reads the sample data of a RIFF WAVE file: checks the "RIFF"/"WAVE"
/// header, reads the "fmt " chunk and finds the "data" chunk. Never throws.
class WaveFile
{
public:
    static constexpr quint16 formatPcm = 1;
    static constexpr quint16 formatFloat = 3;
    static constexpr quint16 formatExtensible = 0xFFFE;
    /// The largest sample data readAll() loads into memory.
    static constexpr quint32 maxDataSize = 64u * 1024u * 1024u;
    /// The largest file taken for a sound at all: the sample data and room
    /// for the headers and other chunks around it.
    static constexpr qint64 maxFileSize = qint64(maxDataSize) + 1024 * 1024;

    /// Whether a file may be opened as a sound, by this reader or any other
    /// player: a regular file (or compiled resource) of at most maxFileSize.
    /// A FIFO would block the opening until someone writes to it, a device
    /// could be read forever.
    static bool isAcceptableFile(const QFileInfo& info);

    WaveFile();
    ~WaveFile();
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;

    /// Opens and checks a file (also one in the compiled resources); refuses
    /// a file that isAcceptableFile() refuses.
    SoundResult open(const QString& path);
    /// Reads from bytes held in memory.
    SoundResult openData(const QByteArray& bytes);
    void close();

    const WaveFormat& format() const { return fmt; }
    /// Size of the sample data in bytes.
    quint32 dataSize() const { return dataLength; }
    /// Back to the start of the sample data.
    SoundResult rewind();
    /// Copies up to maxSize bytes of sample data, never past its end.
    SoundResult read(char* buffer, quint32 maxSize, quint32* bytesRead);
    /// The whole sample data.
    SoundResult readAll(QByteArray& result);

    /// The silence byte of this format: 128 for 8-bit samples, else 0.
    char silence() const { return fmt.bitsPerSample == 8 ? char(0x80) : char(0); }

private:
    SoundResult parse();

    std::unique_ptr<QIODevice> device;
    WaveFormat fmt;
    qint64 dataStart = 0;
    quint32 dataLength = 0;
    quint32 position = 0;
};
