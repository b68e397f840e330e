#pragma once

#include "SoundResult.h"
#include "WaveFile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>

#include <memory>
#include <vector>

class QAudioSink;
class PcmSource;

/// One loaded sound: its decoded samples and a few voices that can play it
/// at the same time. Every call answers with a result code.
class SoundBuffer
{
public:
    SoundBuffer(const QAudioDevice& device, const QAudioFormat& format, QByteArray pcm, unsigned voiceCount);
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    /// Plays on a free voice (the first that is not playing, else a random
    /// one) from its current position, looping when asked.
    SoundResult play(bool loop);
    /// Stops every voice.
    SoundResult stop();
    /// Every voice back to the start of the sound.
    SoundResult rewind();

    unsigned voiceCount() const { return unsigned(voices.size()); }
    bool isPlaying() const;
    qint64 sampleBytes() const { return pcm.size(); }

    /// The sink format for a WAVE format, invalid when the samples cannot be
    /// played as they are.
    static QAudioFormat audioFormat(const WaveFormat& format);

private:
    struct Voice;
    /// A sink that reported an error is made anew (a lost device, for example).
    void restore(Voice& voice);

    QAudioDevice device;
    QAudioFormat format;
    QByteArray pcm;
    std::vector<std::unique_ptr<Voice>> voices;
};
