#include "SoundOutput.h"

#include "PulseOutput.h"
#include "SoundBuffer.h"
#include "WaveFile.h"

#include <QThread>

#include <new>

SoundOutput& SoundOutput::instance()
{
    static SoundOutput output;
    return output;
}

SoundResult SoundOutput::initialize()
{
    if (owner != QThread::currentThread())
        (void)output.release(); // left to the thread held in the sound library
    output.reset();
    output = std::make_unique<PulseOutput>();
    owner = QThread::currentThread();
    return output->isRunning() ? SoundResult::Ok : SoundResult::NotInitialised;
}

void SoundOutput::release()
{
    if (owner != QThread::currentThread())
        return;
    output.reset();
    owner = nullptr;
}

SoundResult SoundOutput::create(std::unique_ptr<SoundBuffer>& result, const QString& path, unsigned voiceCount)
{
    result.reset();
    if (!output || !output->isRunning())
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
        if (!format.isValid())
            return SoundResult::Failed;
        QByteArray pcm;
        r = wave.readAll(pcm);
        if (r != SoundResult::Ok)
            return r;
        result = std::make_unique<SoundBuffer>(*output, format, pcm, voiceCount);
        return SoundResult::Ok;
    } catch (const std::bad_alloc&) {
        return SoundResult::OutOfMemory;
    } catch (...) {
        return SoundResult::Failed;
    }
}
