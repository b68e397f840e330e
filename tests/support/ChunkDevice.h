#pragma once

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>

/// A sequential read device fed chunk by chunk, like a socket's read
/// buffer: tests hand a frame cutter bytes in any split they like.
class ChunkDevice : public QIODevice
{
public:
    ChunkDevice() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    void feed(const QByteArray& bytes) { m_data.append(bytes); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_data.size() - m_pos + QIODevice::bytesAvailable(); }
    qint64 consumed() const { return m_pos; }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        const qint64 n = std::min<qint64>(max, m_data.size() - m_pos);
        std::memcpy(out, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_pos = 0;
};
