#pragma once

#include "SoundResult.h"

#include <QAudioDevice>
#include <QString>

#include <memory>

class SoundBuffer;

/// The process-wide sound output: the audio device that every sound plays
/// on. Without a device every sound stays silent and nothing fails loudly.
/// Its calls may wait for the sound server: the program makes them on the
/// sound output's own thread only (`SoundPlayer`).
class SoundOutput
{
public:
    static SoundOutput& instance();

    /// (Re)chooses the default audio output. NotInitialised when the machine has none.
    SoundResult initialize();
    bool isInitialised() const { return !device.isNull(); }

    /// Loads a WAVE file into a new sound with the given number of voices.
    SoundResult create(std::unique_ptr<SoundBuffer>& result, const QString& path, unsigned voiceCount = 1);

private:
    SoundOutput() = default;
    QAudioDevice device;
};
