#pragma once

#include "SoundResult.h"

#include <QString>

#include <memory>

class PulseOutput;
class QThread;
class SoundBuffer;

/// The process-wide sound output: the connection to the sound server that
/// every sound plays over. It follows the server, which may come, go or
/// stall at any time; a sound asked for while there is none stays silent
/// and nothing fails loudly. For one thread at a time: the program uses it
/// on the sound output's own thread only (`SoundPlayer`).
class SoundOutput
{
public:
    static SoundOutput& instance();

    /// Makes the output anew, the sounds created before must be gone; that
    /// of a sound thread left behind stays with it (its sounds still point at
    /// it when it wakes). NotInitialised when the sound library cannot run.
    SoundResult initialize();
    bool isInitialised() const { return bool(output); }
    /// Drops the output, on the thread that made it (the sounds first); from
    /// a thread left behind, whose output was replaced, nothing.
    void release();

    /// Loads a WAVE file into a new sound with the given number of voices.
    SoundResult create(std::unique_ptr<SoundBuffer>& result, const QString& path, unsigned voiceCount = 1);

private:
    SoundOutput() = default;
    std::unique_ptr<PulseOutput> output;
    /// The thread that made the output.
    QThread* owner = nullptr;
};
