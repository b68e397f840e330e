#pragma once

/// One playable game sound.
class Sound
{
public:
    virtual ~Sound() = default;
    /// Plays from the start (or, looping, on until stopped).
    virtual void play(bool loop) = 0;
    virtual void stop() = 0;
};
