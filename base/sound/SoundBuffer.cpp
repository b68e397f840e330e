#include "SoundBuffer.h"

#include "PcmSource.h"

#include <QAudioSink>
#include <QRandomGenerator>

struct SoundBuffer::Voice
{
    std::unique_ptr<QAudioSink> sink;
    std::unique_ptr<PcmSource> source;
};

SoundBuffer::SoundBuffer(const QAudioDevice& device_, const QAudioFormat& format_, QByteArray pcm_, unsigned voiceCount)
    : device(device_)
    , format(format_)
    , pcm(std::move(pcm_))
{
    for (unsigned i = 0; i < voiceCount; ++i) {
        auto voice = std::make_unique<Voice>();
        voice->source = std::make_unique<PcmSource>(pcm);
        voice->sink = std::make_unique<QAudioSink>(device, format);
        // A voice that played to the end stops, so that it counts as free.
        QAudioSink* sink = voice->sink.get();
        QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
            if (state == QAudio::IdleState)
                sink->stop();
        });
        voices.push_back(std::move(voice));
    }
}

SoundBuffer::~SoundBuffer()
{
    for (auto& voice : voices) {
        if (voice->sink) {
            voice->sink->disconnect();
            voice->sink->stop();
        }
    }
}

QAudioFormat SoundBuffer::audioFormat(const WaveFormat& wave)
{
    QAudioFormat f;
    if (wave.channels == 0 || wave.samplesPerSec == 0)
        return QAudioFormat();
    f.setChannelCount(wave.channels);
    f.setSampleRate(int(wave.samplesPerSec));
    quint16 tag = wave.formatTag;
    if (tag == WaveFile::formatExtensible && wave.extra.size() >= 22) {
        // The sub-format GUID begins with the plain format tag.
        tag = quint16(quint8(wave.extra[6]) | (quint8(wave.extra[7]) << 8));
    }
    if (tag == WaveFile::formatPcm) {
        switch (wave.bitsPerSample) {
        case 8: f.setSampleFormat(QAudioFormat::UInt8); break;
        case 16: f.setSampleFormat(QAudioFormat::Int16); break;
        case 32: f.setSampleFormat(QAudioFormat::Int32); break;
        default: return QAudioFormat();
        }
    } else if (tag == WaveFile::formatFloat && wave.bitsPerSample == 32) {
        f.setSampleFormat(QAudioFormat::Float);
    } else {
        return QAudioFormat();
    }
    if (wave.blockAlign != f.bytesPerFrame())
        return QAudioFormat();
    return f;
}

bool SoundBuffer::isPlaying() const
{
    for (const auto& voice : voices) {
        if (voice->sink && voice->sink->state() == QAudio::ActiveState)
            return true;
    }
    return false;
}

void SoundBuffer::restore(Voice& voice)
{
    if (voice.sink && voice.sink->error() != QAudio::FatalError && voice.sink->error() != QAudio::OpenError)
        return;
    voice.sink = std::make_unique<QAudioSink>(device, format);
    QAudioSink* sink = voice.sink.get();
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
        if (state == QAudio::IdleState)
            sink->stop();
    });
}

SoundResult SoundBuffer::play(bool loop)
{
    if (voices.empty())
        return SoundResult::NotInitialised;
    Voice* chosen = nullptr;
    for (auto& voice : voices) {
        if (!voice->sink || voice->sink->state() != QAudio::ActiveState) {
            chosen = voice.get();
            break;
        }
    }
    if (!chosen)
        chosen = voices[QRandomGenerator::global()->bounded(quint32(voices.size()))].get();
    if (!chosen)
        return SoundResult::Failed;

    restore(*chosen);
    chosen->source->setLooping(loop);
    if (chosen->sink->state() == QAudio::ActiveState)
        return SoundResult::Ok; // playing on from where it is
    chosen->sink->stop();
    if (chosen->source->offsetInData() >= pcm.size())
        chosen->source->rewind();
    chosen->sink->start(chosen->source.get());
    return chosen->sink->error() == QAudio::NoError ? SoundResult::Ok : SoundResult::Failed;
}

SoundResult SoundBuffer::stop()
{
    for (auto& voice : voices) {
        if (voice->sink)
            voice->sink->stop();
    }
    return SoundResult::Ok;
}

SoundResult SoundBuffer::rewind()
{
    for (auto& voice : voices)
        voice->source->rewind();
    return SoundResult::Ok;
}
