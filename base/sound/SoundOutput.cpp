#include "SoundOutput.h"

#include "SoundBuffer.h"
#include "WaveFile.h"

#include <QMediaDevices>

#include <new>

SoundOutput& SoundOutput::instance()
{
    static SoundOutput output;
    return output;
}

SoundResult SoundOutput::initialize()
{
    device = QMediaDevices::defaultAudioOutput();
    return device.isNull() ? SoundResult::NotInitialised : SoundResult::Ok;
}

SoundResult SoundOutput::create(std::unique_ptr<SoundBuffer>& result, const QString& path, unsigned voiceCount)
{
    result.reset();
    if (device.isNull())
        return SoundResult::NotInitialised;
    if (path.isEmpty() || voiceCount == 0)
        return SoundResult::InvalidArgument;
    try {
        WaveFile wave;
        SoundResult r = wave.open(path);
        if (r != SoundResult::Ok)
            return r;
        if (wave.dataSize() == 0)
            return SoundResult::Failed;
        const QAudioFormat format = SoundBuffer::audioFormat(wave.format());
        if (!format.isValid() || !device.isFormatSupported(format))
            return SoundResult::Failed;
        QByteArray pcm;
        r = wave.readAll(pcm);
        if (r != SoundResult::Ok)
            return r;
        result = std::make_unique<SoundBuffer>(device, format, std::move(pcm), voiceCount);
        return SoundResult::Ok;
    } catch (const std::bad_alloc&) {
        return SoundResult::OutOfMemory;
    } catch (...) {
        return SoundResult::Failed;
    }
}
