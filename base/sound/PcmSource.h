#pragma once

#include <QByteArray>
#include <QIODevice>

/// Sample data handed to the sound output: plays once from the current position,
/// or round and round while looping. The data is shared, never copied.
class PcmSource : public QIODevice
{
    Q_OBJECT

public:
    explicit PcmSource(const QByteArray& pcm, QObject* parent = nullptr);

    void setLooping(bool loop) { looping = loop; }
    bool isLooping() const { return looping; }
    /// Back to the first sample.
    void rewind() { offset = 0; }
    qint64 offsetInData() const { return offset; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    QByteArray pcm;
    qint64 offset = 0;
    bool looping = false;
};
