// The sound server connection of the sound output's thread. The sound
// library's own thread runs the connection's callbacks under its lock; this
// thread takes the same lock only for a few calls that never wait for the
// server, and looks at the connection on a short timer.

#include "PulseOutput.h"

#include "PcmSource.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimerEvent>

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <algorithm>
#include <cstring>

namespace {

/// How often the connection is looked at.
constexpr int tickMs = 100;
/// How often a connection that answered is asked again whether it still does.
constexpr int probeEveryMs = 1000;

/// The library's lock, held by this thread only for calls that never wait.
class Locker
{
public:
    explicit Locker(pa_threaded_mainloop* m)
        : mainloop(m)
    {
        if (mainloop)
            pa_threaded_mainloop_lock(mainloop);
    }
    ~Locker()
    {
        if (mainloop)
            pa_threaded_mainloop_unlock(mainloop);
    }
    Locker(const Locker&) = delete;
    Locker& operator=(const Locker&) = delete;

private:
    pa_threaded_mainloop* mainloop;
};

template <typename Duration>
bool older(std::chrono::steady_clock::time_point since, Duration limit)
{
    return std::chrono::steady_clock::now() - since > limit;
}

}

PulseOutput::PulseOutput()
{
    mainloop = pa_threaded_mainloop_new();
    if (!mainloop || pa_threaded_mainloop_start(mainloop) < 0) {
        qWarning().noquote() << "sound output: the sound library cannot run";
        if (mainloop)
            pa_threaded_mainloop_free(mainloop);
        mainloop = nullptr;
        return;
    }
    connectToServer();
    timer = startTimer(tickMs);
}

PulseOutput::~PulseOutput()
{
    if (!mainloop)
        return;
    {
        Locker lock(mainloop);
        dropConnection();
    }
    // Its thread only waits for its own sockets: it ends at once.
    pa_threaded_mainloop_stop(mainloop);
    pa_threaded_mainloop_free(mainloop);
    voices.clear();
}

int PulseOutput::addVoice(const QByteArray& pcm, const Format& format)
{
    auto voice = std::make_unique<Voice>();
    voice->pcm = pcm;
    voice->format = format;
    const pa_sample_spec spec{pa_sample_format_t(format.sampleFormat), format.rate, format.channels};
    voice->frameBytes = pa_sample_spec_valid(&spec) ? int(pa_frame_size(&spec)) : 1;
    // Only whole frames go to the server.
    voice->pcm.chop(pcm.size() % voice->frameBytes);
    voice->source = std::make_unique<PcmSource>(voice->pcm);
    Locker lock(mainloop);
    const int id = nextId++;
    voices.emplace(id, std::move(voice));
    return id;
}

void PulseOutput::removeVoice(int id)
{
    Locker lock(mainloop);
    const auto it = voices.find(id);
    if (it == voices.end())
        return;
    dropStream(*it->second);
    dropFinishing(id);
    voices.erase(it);
}

void PulseOutput::play(int id, bool loop)
{
    Locker lock(mainloop);
    const auto it = voices.find(id);
    if (it == voices.end())
        return;
    Voice& voice = *it->second;
    if (loop && voice.wanted && voice.loop)
        return; // plays on
    // A sound cut off before the server has played it is never heard: a
    // hover played again within its latency would leave the hand silent.
    if (voice.stream && !voice.loop && !loop)
        letFinish(id, voice);
    else
        dropStream(voice);
    voice.wanted = true;
    voice.loop = loop;
    voice.askedAt = Clock::now();
    if (ready && !startStream(voice) && !loop)
        voice.wanted = false;
}

void PulseOutput::stop(int id)
{
    Locker lock(mainloop);
    const auto it = voices.find(id);
    if (it == voices.end())
        return;
    dropStream(*it->second);
    it->second->wanted = false;
    dropFinishing(id);
}

bool PulseOutput::isPlaying(int id) const
{
    Locker lock(mainloop);
    const auto it = voices.find(id);
    return it != voices.end() && it->second->wanted;
}

void PulseOutput::connectToServer()
{
    Locker lock(mainloop);
    connectedAt = Clock::now();
    ready = false;
    probing = false;
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    context = pa_context_new(pa_threaded_mainloop_get_api(mainloop), name.isEmpty() ? "sounds" : name.constData());
    // A server that is not there is not started for us: it is looked for again.
    if (context)
        pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
}

void PulseOutput::letFinish(int id, Voice& voice)
{
    dropFinishing(-1);
    const auto playing = std::count_if(voices.cbegin(), voices.cend(), [](const auto& v) { return v.second->stream; });
    if (!finishing.empty() && std::size_t(playing) + finishing.size() >= std::size_t(maxStreams)) {
        dropStream(*finishing.front());
        finishing.erase(finishing.begin());
    }
    if (std::size_t(playing) + finishing.size() >= std::size_t(maxStreams))
        return dropStream(voice);
    auto rest = std::make_unique<Voice>();
    rest->pcm = voice.pcm;
    rest->source = std::exchange(voice.source, std::make_unique<PcmSource>(voice.pcm));
    rest->format = voice.format;
    rest->frameBytes = voice.frameBytes;
    rest->stream = std::exchange(voice.stream, nullptr);
    rest->wanted = true;
    rest->draining = std::exchange(voice.draining, false);
    rest->askedAt = voice.askedAt;
    rest->owner = id;
    finishing.push_back(std::move(rest));
}

void PulseOutput::dropFinishing(int owner)
{
    finishing.erase(std::remove_if(finishing.begin(), finishing.end(),
                                   [this, owner](const std::unique_ptr<Voice>& rest) {
                                       if (owner != 0 && rest->owner != owner && rest->stream)
                                           return false;
                                       dropStream(*rest);
                                       return true;
                                   }),
                    finishing.end());
}

void PulseOutput::dropConnection()
{
    for (auto& entry : voices) {
        Voice& voice = *entry.second;
        if (voice.stream) {
            dropStream(voice);
            // A sound played once had its moment; a loop plays on over the next connection.
            voice.wanted = voice.loop;
        }
    }
    dropFinishing(0);
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }
    ready = false;
    probing = false;
    connectedAt = Clock::now();
}

void PulseOutput::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timer)
        return QObject::timerEvent(event);
    if (!context) {
        if (older(connectedAt, std::chrono::milliseconds(retryAfterMs)))
            connectToServer();
        return;
    }
    Locker lock(mainloop);
    const auto stallBound = std::chrono::milliseconds(stallAfterMs);
    bool lost = false;
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        if (!ready) {
            ready = true;
            probedAt = Clock::now();
        }
        if (probing) {
            lost = older(probedAt, stallBound);
        } else if (older(probedAt, std::chrono::milliseconds(probeEveryMs))) {
            // Any answer will do: one that does not come in time is a stalled server.
            const auto answered = [](pa_context*, const pa_server_info*, void* self) {
                static_cast<PulseOutput*>(self)->probing = false;
            };
            if (pa_operation* op = pa_context_get_server_info(context, answered, this)) {
                probing = true;
                probedAt = Clock::now();
                pa_operation_unref(op);
            }
        }
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        lost = true;
        break;
    default:
        lost = older(connectedAt, stallBound);
        break;
    }
    if (lost) {
        if (ready)
            qDebug().noquote() << QStringLiteral("sound server lost, looking for it again");
        dropConnection();
        return;
    }
    if (ready)
        startWantedVoices();
}

void PulseOutput::startWantedVoices()
{
    dropFinishing(-1);
    for (auto& entry : voices) {
        Voice& voice = *entry.second;
        if (voice.stream) {
            const pa_stream_state_t state = pa_stream_get_state(voice.stream);
            if (state != PA_STREAM_FAILED && state != PA_STREAM_TERMINATED)
                continue;
            dropStream(voice); // its sink went away: a loop starts again on the present one
            voice.wanted = voice.loop;
        }
        if (!voice.wanted)
            continue;
        const bool fresh = !older(voice.askedAt, std::chrono::milliseconds(freshForMs));
        if (!(voice.loop || fresh) || !startStream(voice))
            voice.wanted = voice.loop;
    }
}

bool PulseOutput::startStream(Voice& voice)
{
    const pa_sample_spec spec{pa_sample_format_t(voice.format.sampleFormat), voice.format.rate, voice.format.channels};
    if (!context || !pa_sample_spec_valid(&spec))
        return false;
    voice.stream = pa_stream_new(context, "sound", &spec, nullptr);
    if (!voice.stream)
        return false;
    voice.source->rewind();
    voice.source->setLooping(voice.loop);
    // Frames only: the lead-in is a whole number of them.
    voice.leadIn = voice.loop ? 0 : pa_usec_to_bytes(leadInMs * 1000, &spec);
    voice.draining = false;
    const auto written = [](pa_stream* stream, size_t bytes, void* self) {
        auto* output = static_cast<PulseOutput*>(self);
        if (Voice* v = output->voiceOf(stream))
            output->feed(*v, bytes);
    };
    pa_stream_set_write_callback(voice.stream, written, this);
    if (pa_stream_connect_playback(voice.stream, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0) {
        dropStream(voice);
        return false;
    }
    return true;
}

void PulseOutput::feed(Voice& voice, size_t bytes)
{
    while (bytes > 0 && !voice.draining) {
        void* data = nullptr;
        size_t room = bytes;
        if (pa_stream_begin_write(voice.stream, &data, &room) < 0 || !data)
            return;
        room -= room % size_t(voice.frameBytes);
        if (voice.leadIn > 0 && room > 0) {
            const size_t quiet = std::min(room, voice.leadIn);
            std::memset(data, voice.format.sampleFormat == PA_SAMPLE_U8 ? 0x80 : 0, quiet);
            pa_stream_write(voice.stream, data, quiet, nullptr, 0, PA_SEEK_RELATIVE);
            voice.leadIn -= quiet;
            bytes -= std::min(bytes, quiet);
            continue;
        }
        const qint64 got = room ? voice.source->read(static_cast<char*>(data), qint64(room)) : 0;
        if (got <= 0) {
            pa_stream_cancel_write(voice.stream);
            // All of it is with the server: the stream goes once it has been heard.
            voice.draining = true;
            const auto drained = [](pa_stream* stream, int, void* self) {
                auto* output = static_cast<PulseOutput*>(self);
                if (Voice* v = output->voiceOf(stream)) {
                    output->dropStream(*v);
                    v->wanted = false;
                }
            };
            if (pa_operation* op = pa_stream_drain(voice.stream, drained, this))
                pa_operation_unref(op);
            return;
        }
        pa_stream_write(voice.stream, data, size_t(got), nullptr, 0, PA_SEEK_RELATIVE);
        bytes -= std::min(bytes, size_t(got));
    }
}

void PulseOutput::dropStream(Voice& voice)
{
    if (!voice.stream)
        return;
    pa_stream_set_write_callback(voice.stream, nullptr, nullptr);
    if (pa_stream_get_state(voice.stream) == PA_STREAM_CREATING) {
        // The server has not answered it yet: it is ended when it does.
        const auto answered = [](pa_stream* stream, void*) {
            if (pa_stream_get_state(stream) == PA_STREAM_READY)
                pa_stream_disconnect(stream);
        };
        pa_stream_set_state_callback(voice.stream, answered, nullptr);
    } else {
        pa_stream_disconnect(voice.stream);
    }
    pa_stream_unref(voice.stream);
    voice.stream = nullptr;
    voice.draining = false;
}

PulseOutput::Voice* PulseOutput::voiceOf(pa_stream* stream)
{
    for (auto& entry : voices) {
        if (entry.second->stream == stream)
            return entry.second.get();
    }
    for (auto& rest : finishing) {
        if (rest->stream == stream)
            return rest.get();
    }
    return nullptr;
}
