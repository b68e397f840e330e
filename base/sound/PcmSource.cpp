#include "PcmSource.h"

#include <cstring>

PcmSource::PcmSource(const QByteArray& pcm_, QObject* parent)
    : QIODevice(parent)
    , pcm(pcm_)
{
    // Read straight from the samples: a rewind takes effect on the next read.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 PcmSource::bytesAvailable() const
{
    if (looping && !pcm.isEmpty())
        return qint64(pcm.size()) + QIODevice::bytesAvailable();
    return qint64(pcm.size()) - offset + QIODevice::bytesAvailable();
}

qint64 PcmSource::readData(char* data, qint64 maxSize)
{
    qint64 copied = 0;
    while (copied < maxSize) {
        if (offset >= pcm.size()) {
            if (!looping || pcm.isEmpty())
                break;
            offset = 0;
        }
        const qint64 n = qMin(maxSize - copied, qint64(pcm.size()) - offset);
        std::memcpy(data + copied, pcm.constData() + offset, size_t(n));
        copied += n;
        offset += n;
    }
    return copied;
}

qint64 PcmSource::writeData(const char*, qint64)
{
    return -1;
}
