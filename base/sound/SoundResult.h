#pragma once

/// Result codes of the sound layer. It never throws; every operation that
/// can fail answers with one of these.
enum class SoundResult {
    Ok = 0,
    /// The sound output has not been set up, or there is no audio device.
    NotInitialised,
    InvalidArgument,
    OutOfMemory,
    /// Anything else: an unreadable file, an unsupported format, a failed device.
    Failed,
};

const char* soundResultText(SoundResult r);
