#pragma once

#include <QByteArray>
#include <QObject>
#include <QtGlobal>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

class PcmSource;

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

/// The connection to the sound server and the streams that play on it.
/// Nothing here ever waits for the server: every request to it is answered
/// by a callback of the sound library's own thread, so a stalled or vanished
/// server holds no thread of ours. The connection follows the server: when
/// it is lost, refused (a server not started yet) or left unanswered past
/// `stallAfterMs`, it is dropped and a fresh one is made, and a looping
/// voice plays on over it.
///
/// For the thread that made it only (the sound output's thread).
class PulseOutput : public QObject
{
public:
    /// How the samples of a voice are laid out.
    struct Format
    {
        int sampleFormat = 0; ///< the sound library's `pa_sample_format_t`
        quint32 rate = 0;
        quint8 channels = 0;
    };

    PulseOutput();
    ~PulseOutput() override;
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    /// A voice that plays `pcm`; its id, never 0.
    int addVoice(const QByteArray& pcm, const Format& format);
    /// Silences the voice and forgets it.
    void removeVoice(int id);
    /// Plays the voice from its first sample, or on and on while looping (a
    /// voice that already loops plays on). A sound played once that still
    /// sounds plays on to its end beside the new one, as long as fewer than
    /// `maxStreams` streams play; past that the oldest such sound ends.
    /// Without a connection that answers it plays once there is one: a loop
    /// whenever that is, a sound played once only within `freshForMs` of
    /// being asked for.
    void play(int id, bool loop);
    /// Silences the voice, with what it still plays to its end.
    void stop(int id);
    /// Whether the voice is sounding or waiting for the server to sound.
    bool isPlaying(int id) const;
    /// Whether the sound library runs (false only when it could not start).
    bool isRunning() const { return mainloop != nullptr; }

    /// How long the server may leave the connection unanswered.
    static constexpr int stallAfterMs = 3000;
    /// How soon a connection that the server refused is tried again.
    static constexpr int retryAfterMs = 250;
    /// How long a sound played once is worth waiting for a connection.
    static constexpr int freshForMs = 500;
    /// The most streams that play at once, the voices' own and the sounds
    /// they play to their end.
    static constexpr int maxStreams = 16;
    /// The silence a sound played once starts with. An output that was idle
    /// may start a new stream late, and drop its first milliseconds: a short
    /// sound (a hover) would not be heard at all.
    static constexpr int leadInMs = 40;

private:
    using Clock = std::chrono::steady_clock;
    struct Voice
    {
        QByteArray pcm;
        std::unique_ptr<PcmSource> source;
        Format format;
        int frameBytes = 1;
        pa_stream* stream = nullptr;
        bool wanted = false;
        bool loop = false;
        bool draining = false;
        /// Bytes of silence still to go before the sound.
        size_t leadIn = 0;
        Clock::time_point askedAt;
        /// Of a sound played to its end: the id of the voice that played it.
        int owner = 0;
    };

    void timerEvent(QTimerEvent* event) override;
    void connectToServer();
    /// Drops the connection with its streams (under the lock).
    void dropConnection();
    /// Starts the streams of the voices that want to sound (under the lock).
    void startWantedVoices();
    bool startStream(Voice& voice);
    void dropStream(Voice& voice);
    /// Hands the voice's stream over to play to its end, within maxStreams
    /// (under the lock).
    void letFinish(int id, Voice& voice);
    /// Drops the sounds that play to their end of the voice `owner` (of
    /// every voice for 0, of none for -1), and those that have ended (under
    /// the lock).
    void dropFinishing(int owner);
    Voice* voiceOf(pa_stream* stream);
    void feed(Voice& voice, size_t bytes);

    pa_threaded_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    /// When the present connection was asked for, or the last one dropped.
    Clock::time_point connectedAt;
    /// A question asked of the server to see it answer, with when it was asked.
    bool probing = false;
    Clock::time_point probedAt;
    bool ready = false;
    int timer = 0;
    int nextId = 1;
    std::map<int, std::unique_ptr<Voice>> voices;
    /// Sounds played once that play to their end, oldest first.
    std::vector<std::unique_ptr<Voice>> finishing;
};
