#include "WaveFile.h"

#include "ResourceFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>

const char* soundResultText(SoundResult r)
{
    switch (r) {
    case SoundResult::Ok: return "ok";
    case SoundResult::NotInitialised: return "not initialised";
    case SoundResult::InvalidArgument: return "invalid argument";
    case SoundResult::OutOfMemory: return "out of memory";
    case SoundResult::Failed: return "failed";
    }
    return "unknown";
}

namespace {

bool readExact(QIODevice& d, char* to, qint64 n)
{
    return n == 0 || d.read(to, n) == n;
}

bool readU32(QIODevice& d, quint32& v)
{
    char b[4];
    if (!readExact(d, b, 4))
        return false;
    v = qFromLittleEndian<quint32>(b);
    return true;
}

}

WaveFile::WaveFile() = default;

WaveFile::~WaveFile()
{
    close();
}

void WaveFile::close()
{
    device.reset();
    fmt = WaveFormat();
    dataStart = 0;
    dataLength = 0;
    position = 0;
}

bool WaveFile::isAcceptableFile(const QFileInfo& info)
{
    // isFile() is false for FIFOs, sockets and devices, also behind a link.
    return info.isFile() && info.size() <= maxFileSize;
}

SoundResult WaveFile::open(const QString& path)
{
    close();
    if (path.isEmpty())
        return SoundResult::InvalidArgument;
    const QFileInfo info(path);
    if (!isAcceptableFile(info))
        return info.isFile() ? SoundResult::OutOfMemory : SoundResult::Failed;
    auto file = std::make_unique<QFile>();
    if (!ResourceFile::open(path, *file))
        return SoundResult::Failed;
    device = std::move(file);
    const SoundResult r = parse();
    if (r != SoundResult::Ok)
        close();
    return r;
}

SoundResult WaveFile::openData(const QByteArray& bytes)
{
    close();
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    device = std::move(buffer);
    const SoundResult r = parse();
    if (r != SoundResult::Ok)
        close();
    return r;
}

SoundResult WaveFile::parse()
{
    QIODevice& d = *device;
    char id[4];
    quint32 riffSize = 0;
    char form[4];
    if (!readExact(d, id, 4) || !readU32(d, riffSize) || !readExact(d, form, 4))
        return SoundResult::Failed;
    if (std::memcmp(id, "RIFF", 4) != 0 || std::memcmp(form, "WAVE", 4) != 0)
        return SoundResult::Failed;

    // The chunks may come in any order; the RIFF size bounds the walk, and
    // so does the file itself when the header claims more than there is.
    const qint64 riffEnd = qMin<qint64>(qint64(riffSize) + 8, d.size());
    bool haveFormat = false;
    bool haveData = false;
    while (!haveData && d.pos() + 8 <= riffEnd) {
        quint32 chunkSize = 0;
        if (!readExact(d, id, 4) || !readU32(d, chunkSize))
            return SoundResult::Failed;
        const qint64 chunkStart = d.pos();
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (chunkSize < 16)
                return SoundResult::Failed;
            char b[16];
            if (!readExact(d, b, 16))
                return SoundResult::Failed;
            fmt.formatTag = qFromLittleEndian<quint16>(b);
            fmt.channels = qFromLittleEndian<quint16>(b + 2);
            fmt.samplesPerSec = qFromLittleEndian<quint32>(b + 4);
            fmt.avgBytesPerSec = qFromLittleEndian<quint32>(b + 8);
            fmt.blockAlign = qFromLittleEndian<quint16>(b + 12);
            fmt.bitsPerSample = qFromLittleEndian<quint16>(b + 14);
            fmt.extra.clear();
            if (fmt.formatTag != formatPcm && chunkSize >= 18) {
                char e[2];
                if (!readExact(d, e, 2))
                    return SoundResult::Failed;
                const quint16 extraSize = qFromLittleEndian<quint16>(e);
                if (extraSize > chunkSize - 18)
                    return SoundResult::Failed;
                fmt.extra.resize(extraSize);
                if (!readExact(d, fmt.extra.data(), extraSize))
                    return SoundResult::Failed;
            }
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!haveFormat)
                return SoundResult::Failed;
            dataStart = chunkStart;
            // A data chunk that claims more than the file holds is cut to what is there.
            dataLength = quint32(qMin<qint64>(chunkSize, d.size() - chunkStart));
            haveData = true;
            break;
        }
        // Chunks are padded to an even size.
        const qint64 next = chunkStart + qint64(chunkSize) + (chunkSize & 1);
        if (!d.seek(next))
            return SoundResult::Failed;
    }
    if (!haveFormat || !haveData)
        return SoundResult::Failed;
    if (fmt.channels == 0 || fmt.samplesPerSec == 0 || fmt.bitsPerSample == 0 || fmt.blockAlign == 0)
        return SoundResult::Failed;
    return rewind();
}

SoundResult WaveFile::rewind()
{
    if (!device)
        return SoundResult::NotInitialised;
    if (!device->seek(dataStart))
        return SoundResult::Failed;
    position = 0;
    return SoundResult::Ok;
}

SoundResult WaveFile::read(char* buffer, quint32 maxSize, quint32* bytesRead)
{
    if (bytesRead)
        *bytesRead = 0;
    if (!device)
        return SoundResult::NotInitialised;
    if (!buffer && maxSize > 0)
        return SoundResult::InvalidArgument;
    const quint32 n = qMin(maxSize, dataLength - position);
    const qint64 got = n == 0 ? 0 : device->read(buffer, n);
    if (got < 0)
        return SoundResult::Failed;
    position += quint32(got);
    if (bytesRead)
        *bytesRead = quint32(got);
    return SoundResult::Ok;
}

SoundResult WaveFile::readAll(QByteArray& result)
{
    SoundResult r = rewind();
    if (r != SoundResult::Ok)
        return r;
    // Game sounds are short; a file that claims more is not one of them.
    if (dataLength > maxDataSize)
        return SoundResult::OutOfMemory;
    QByteArray bytes;
    bytes.resize(qsizetype(dataLength));
    quint32 got = 0;
    r = read(bytes.data(), dataLength, &got);
    if (r != SoundResult::Ok)
        return r;
    bytes.resize(qsizetype(got));
    result = bytes;
    return SoundResult::Ok;
}
