#pragma once

#include "SoundResult.h"
#include "WaveFile.h"

#include <QAudioFormat>
#include <QByteArray>

#include <vector>

class PulseOutput;

/// One loaded sound: its decoded samples and a few voices of the sound
/// output that can play it at the same time. Every call answers with a
/// result code.
class SoundBuffer
{
public:
    /// The output must outlive the sound.
    SoundBuffer(PulseOutput& output, const QAudioFormat& format, const QByteArray& pcm, unsigned voiceCount);
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    /// Plays on a free voice (the first that is not playing, else a random
    /// one) from the first sample; a voice that already loops plays on.
    SoundResult play(bool loop);
    /// Stops every voice.
    SoundResult stop();

    unsigned voiceCount() const { return unsigned(voices.size()); }
    bool isPlaying() const;
    qint64 sampleBytes() const { return bytes; }

    /// The sink format for a WAVE format, invalid when the samples cannot be
    /// played as they are.
    static QAudioFormat audioFormat(const WaveFormat& format);

private:
    PulseOutput& output;
    qint64 bytes = 0;
    std::vector<int> voices;
};
