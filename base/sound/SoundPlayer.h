#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QThread;

/// The program's sound output on a thread of its own. The program's own
/// output never waits for the sound server (`PulseOutput`), but the
/// framework's player, which plays what that one cannot, may wait for as
/// long as the server is stalled; only this thread waits then. The GUI
/// thread hands it requests by sound name and never waits for it: a request
/// takes a lock that the sound thread holds only to pick the requests up,
/// never while it is in a sound library.
///
/// Requests that find the thread busy are folded, one per name: the last
/// stop and the last play of each name are kept. A sound asked for more
/// than `staleAfterMs` before the thread gets to it is dropped unplayed (its
/// moment has passed); a looping sound and a stop are kept, as they are the
/// state that the player chose. So a stalled server costs the GUI nothing,
/// holds nothing without bound, and the next sound asked for after it is
/// back plays.
///
/// Every function is for the GUI thread; none of them throws.
class SoundPlayer
{
public:
    /// The process-wide output; its thread starts with the first request.
    static SoundPlayer& instance();

    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    /// Drops every loaded sound and (re)chooses the default audio output.
    void initialize();
    /// Drops every loaded sound; the thread stays.
    void unloadAll();
    /// Loads a WAVE file as the sound `name` (the framework's player plays
    /// it instead when the program's own output cannot). At most `maxNames`
    /// names wait to be loaded; a further one is dropped.
    void load(const QString& name, const QString& path);
    /// Plays the sound `name` from its start, or on and on while looping.
    void play(const QString& name, bool loop);
    void stop(const QString& name);

    /// Whether the sound `name` has been loaded and can be played.
    bool isLoaded(const QString& name) const;
    /// Whether requests are waiting for the thread or being carried out.
    bool isBusy() const;

    /// Ends the thread with its sounds, waiting for it at most `waitMs`
    /// (done when the application object goes: the sound library keeps its
    /// connection on the thread that first asked for a device, and finds a
    /// server that comes back again only while that thread runs).
    /// False when it is still held in the sound library: it is then left
    /// behind and ends by itself once the library lets it go.
    bool shutdown(int waitMs = quitWaitMs);
    /// Whether a thread left behind by shutdown() is still held in the sound
    /// library. The library's own clean-up at process exit would wait for it
    /// (or fail under it), so the program then leaves without that clean-up.
    static bool threadLeftBehind();

    /// How long after it was asked for a sound is still worth playing.
    static constexpr int staleAfterMs = 500;
    /// How long quitting waits for the sound thread.
    static constexpr int quitWaitMs = 500;
    /// The most names that requests may wait for at once.
    static constexpr int maxNames = 64;

private:
    struct Mailbox;
    class Worker;
    class Thread;

    SoundPlayer();
    ~SoundPlayer();

    /// The mailbox of the running thread, which is started when there is none.
    Mailbox& mailbox();

    std::shared_ptr<Mailbox> box;
    QThread* thread = nullptr;
};
