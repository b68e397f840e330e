#include "SoundBuffer.h"

#include "PulseOutput.h"

#include <QRandomGenerator>

#include <pulse/sample.h>

namespace {

PulseOutput::Format outputFormat(const QAudioFormat& format)
{
    PulseOutput::Format f;
    switch (format.sampleFormat()) {
    case QAudioFormat::UInt8: f.sampleFormat = PA_SAMPLE_U8; break;
    case QAudioFormat::Int16: f.sampleFormat = PA_SAMPLE_S16LE; break;
    case QAudioFormat::Int32: f.sampleFormat = PA_SAMPLE_S32LE; break;
    case QAudioFormat::Float: f.sampleFormat = PA_SAMPLE_FLOAT32LE; break;
    default: f.sampleFormat = PA_SAMPLE_INVALID; break;
    }
    f.rate = quint32(format.sampleRate());
    f.channels = quint8(format.channelCount());
    return f;
}

}

SoundBuffer::SoundBuffer(PulseOutput& output_, const QAudioFormat& format, const QByteArray& pcm, unsigned voiceCount)
    : output(output_)
    , bytes(pcm.size())
{
    for (unsigned i = 0; i < voiceCount; ++i)
        voices.push_back(output.addVoice(pcm, outputFormat(format)));
}

SoundBuffer::~SoundBuffer()
{
    for (int voice : voices)
        output.removeVoice(voice);
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
    if (wave.blockAlign != f.bytesPerFrame() || wave.samplesPerSec > PA_RATE_MAX || wave.channels > PA_CHANNELS_MAX)
        return QAudioFormat();
    return f;
}

bool SoundBuffer::isPlaying() const
{
    for (int voice : voices) {
        if (output.isPlaying(voice))
            return true;
    }
    return false;
}

SoundResult SoundBuffer::play(bool loop)
{
    if (voices.empty())
        return SoundResult::NotInitialised;
    int chosen = 0;
    for (int voice : voices) {
        if (!output.isPlaying(voice)) {
            chosen = voice;
            break;
        }
    }
    if (!chosen)
        chosen = voices[QRandomGenerator::global()->bounded(quint32(voices.size()))];
    output.play(chosen, loop);
    return SoundResult::Ok;
}

SoundResult SoundBuffer::stop()
{
    for (int voice : voices)
        output.stop(voice);
    return SoundResult::Ok;
}
