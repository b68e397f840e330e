// The sound output's thread: what the GUI thread leaves in the mailbox, the
// worker that carries it out on its own thread (where every audio object is
// made, used and destroyed), and the way the thread ends or is left behind.

#include "SoundPlayer.h"

#include "SoundBuffer.h"
#include "SoundOutput.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <map>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

enum class Play { None, Once, Loop };

/// What is asked of one name: a stop, then a play, each the last asked.
struct Request
{
    bool stop = false;
    Play play = Play::None;
    Clock::time_point askedAt;
};

QEvent::Type wakeEvent()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

QUrl fileUrl(const QString& path)
{
    if (path.startsWith(QLatin1Char(':')))
        return QUrl(QStringLiteral("qrc") + path);
    return QUrl::fromLocalFile(path);
}

/// Threads that shutdown() could not wait for. Kept where the leak checker
/// sees them, as they still run; reaped once they have ended.
std::vector<QThread*>& leftBehind()
{
    static auto* threads = new std::vector<QThread*>;
    return *threads;
}

}

/// Shared by the GUI thread and the sound thread, each holding its lock only
/// to leave or pick up requests and results. A thread left behind keeps its
/// own, so that it never takes the requests of a later thread.
struct SoundPlayer::Mailbox
{
    mutable QMutex mutex;

    // Requests, taken whole by the sound thread.
    bool initialize = false;
    bool unload = false;
    std::vector<std::pair<QString, QString>> loads;
    std::map<QString, Request> requests;
    bool quit = false;

    /// The worker while it runs, null before and after.
    QObject* receiver = nullptr;
    /// At most one wake-up waits for the worker, however many requests come.
    bool wakePosted = false;
    bool working = false;

    // Results, published by the sound thread.
    QSet<QString> loaded;

    /// Asks the worker to pick the requests up (under the lock).
    void wake()
    {
        if (receiver && !wakePosted) {
            wakePosted = true;
            QCoreApplication::postEvent(receiver, new QEvent(wakeEvent()));
        }
    }

    /// The request of a name, new when there is room for it; null when not.
    Request* request(const QString& name)
    {
        auto it = requests.find(name);
        if (it == requests.end()) {
            if (requests.size() >= std::size_t(maxNames))
                return nullptr;
            it = requests.emplace(name, Request{}).first;
        }
        return &it->second;
    }
};

/// Carries out the requests on the sound thread.
class SoundPlayer::Worker : public QObject
{
public:
    explicit Worker(std::shared_ptr<Mailbox> b)
        : box(std::move(b))
    {
    }
    /// The output goes with the thread that made it, after its sounds.
    ~Worker() override
    {
        sounds.clear();
        SoundOutput::instance().release();
    }

    /// Picks up every waiting request and carries it out, until none is left.
    void drain();

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != wakeEvent())
            return QObject::event(e);
        drain();
        return true;
    }

private:
    /// One loaded sound: the program's own, or else the framework's player.
    struct Loaded
    {
        std::unique_ptr<SoundBuffer> buffer;
        std::unique_ptr<QSoundEffect> fallback;
    };

    void drainOnce();
    void initialize();
    void load(const QString& name, const QString& path);
    void play(const QString& name, bool loop);
    void stop(const QString& name);
    void publishLoaded();

    std::shared_ptr<Mailbox> box;
    std::map<QString, Loaded> sounds;
    bool draining = false;
    bool drainAgain = false;
};

class SoundPlayer::Thread : public QThread
{
public:
    explicit Thread(std::shared_ptr<Mailbox> b)
        : box(std::move(b))
    {
        setObjectName(QStringLiteral("sound output"));
    }

protected:
    void run() override
    {
        // Made here, the worker and every audio object it makes belong to
        // this thread, and go with it.
        Worker worker(box);
        {
            QMutexLocker lock(&box->mutex);
            box->receiver = &worker;
        }
        worker.drain(); // what was asked before the thread ran
        exec();
        QMutexLocker lock(&box->mutex);
        box->receiver = nullptr;
    }

private:
    std::shared_ptr<Mailbox> box;
};

void SoundPlayer::Worker::drain()
{
    // The framework's player runs the event loop inside some of its calls
    // (a sound effect closing its stream): a wake-up that comes then is carried out
    // once the requests in hand are done.
    if (draining) {
        drainAgain = true;
        return;
    }
    draining = true;
    do {
        drainAgain = false;
        drainOnce();
    } while (drainAgain);
    draining = false;
}

void SoundPlayer::Worker::drainOnce()
{
    bool initializeAsked = false;
    bool unload = false;
    std::vector<std::pair<QString, QString>> loads;
    std::map<QString, Request> requests;
    bool quit = false;
    {
        QMutexLocker lock(&box->mutex);
        box->wakePosted = false;
        initializeAsked = std::exchange(box->initialize, false);
        unload = std::exchange(box->unload, false);
        loads = std::exchange(box->loads, {});
        requests = std::exchange(box->requests, {});
        quit = box->quit;
        box->working = true;
    }
    if (quit || unload) {
        sounds.clear();
        publishLoaded();
    }
    if (quit) {
        QThread::currentThread()->quit();
    } else {
        if (initializeAsked)
            initialize();
        for (const auto& [name, path] : loads)
            load(name, path);
        if (initializeAsked || !loads.empty())
            publishLoaded();
        for (const auto& [name, request] : requests) {
            if (request.stop)
                stop(name);
            // Checked at the moment of playing: a call before this one may
            // have waited for the sound server for seconds.
            const bool stale = Clock::now() - request.askedAt > std::chrono::milliseconds(staleAfterMs);
            if (request.play == Play::Loop || (request.play == Play::Once && !stale))
                play(name, request.play == Play::Loop);
        }
    }
    QMutexLocker lock(&box->mutex);
    box->working = false;
}

void SoundPlayer::Worker::initialize()
{
    sounds.clear();
    const SoundResult r = SoundOutput::instance().initialize();
    qDebug().noquote() << QStringLiteral("audio output initialised with result ") + QLatin1String(soundResultText(r));
}

void SoundPlayer::Worker::load(const QString& name, const QString& path)
{
    sounds.erase(name);
    const QFileInfo info(path);
    std::unique_ptr<SoundBuffer> buffer;
    if (SoundOutput::instance().create(buffer, info.absoluteFilePath(), 1) == SoundResult::Ok && buffer) {
        sounds[name].buffer = std::move(buffer);
        return;
    }
    // Asked only here: the framework connects to the sound server for it.
    static const bool playerAvailable = !QMediaDevices::audioOutputs().isEmpty();
    if (!playerAvailable) {
        qDebug().noquote() << QStringLiteral("sound not available , file is ") + name;
        return;
    }
    qDebug().noquote() << QStringLiteral("sound filename is ") + info.fileName();
    qDebug().noquote() << QStringLiteral("sound path is ") + info.path();
    qDebug().noquote() << QStringLiteral("sound filePath is ") + info.filePath();
    qDebug().noquote() << QStringLiteral("sound absoluteFilePath is ") + info.absoluteFilePath();
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(fileUrl(info.absoluteFilePath()));
    sounds[name].fallback = std::move(effect);
}

void SoundPlayer::Worker::play(const QString& name, bool loop)
{
    const auto it = sounds.find(name);
    if (it == sounds.end())
        return;
    Loaded& sound = it->second;
    if (sound.buffer) {
        // A sound played again starts from its beginning; a loop plays on.
        sound.buffer->play(loop);
    } else if (sound.fallback) {
        sound.fallback->setLoopCount(loop ? QSoundEffect::Infinite : 1);
        sound.fallback->play();
    }
}

void SoundPlayer::Worker::stop(const QString& name)
{
    const auto it = sounds.find(name);
    if (it == sounds.end())
        return;
    if (it->second.buffer)
        it->second.buffer->stop();
    if (it->second.fallback)
        it->second.fallback->stop();
}

void SoundPlayer::Worker::publishLoaded()
{
    QSet<QString> names;
    for (const auto& entry : sounds)
        names.insert(entry.first);
    QMutexLocker lock(&box->mutex);
    box->loaded = std::move(names);
}

SoundPlayer::SoundPlayer() = default;

SoundPlayer::~SoundPlayer() = default;

SoundPlayer& SoundPlayer::instance()
{
    // Never destroyed: a thread that still runs at exit must find it.
    static auto* player = new SoundPlayer;
    return *player;
}

SoundPlayer::Mailbox& SoundPlayer::mailbox()
{
    if (!thread) {
        box = std::make_shared<Mailbox>();
        thread = new Thread(box);
        thread->start();
    }
    return *box;
}

void SoundPlayer::initialize()
{
    Mailbox& m = mailbox();
    QMutexLocker lock(&m.mutex);
    // The sounds asked for so far are dropped with the sounds themselves.
    m.initialize = true;
    m.loads.clear();
    m.requests.clear();
    m.wake();
}

void SoundPlayer::unloadAll()
{
    if (!thread)
        return;
    QMutexLocker lock(&box->mutex);
    box->unload = true;
    box->loads.clear();
    box->requests.clear();
    box->wake();
}

void SoundPlayer::load(const QString& name, const QString& path)
{
    Mailbox& m = mailbox();
    QMutexLocker lock(&m.mutex);
    if (m.loads.size() >= std::size_t(maxNames))
        return;
    m.loads.emplace_back(name, path);
    m.wake();
}

void SoundPlayer::play(const QString& name, bool loop)
{
    Mailbox& m = mailbox();
    QMutexLocker lock(&m.mutex);
    if (Request* r = m.request(name)) {
        r->play = loop ? Play::Loop : Play::Once;
        r->askedAt = Clock::now();
        m.wake();
    }
}

void SoundPlayer::stop(const QString& name)
{
    Mailbox& m = mailbox();
    QMutexLocker lock(&m.mutex);
    if (Request* r = m.request(name)) {
        // A play asked before the stop is over with it.
        r->stop = true;
        r->play = Play::None;
        m.wake();
    }
}

bool SoundPlayer::isLoaded(const QString& name) const
{
    if (!box)
        return false;
    QMutexLocker lock(&box->mutex);
    return box->loaded.contains(name);
}

bool SoundPlayer::isBusy() const
{
    if (!box)
        return false;
    QMutexLocker lock(&box->mutex);
    return box->working || box->initialize || box->unload || !box->loads.empty() || !box->requests.empty();
}

bool SoundPlayer::shutdown(int waitMs)
{
    if (!thread)
        return true;
    {
        QMutexLocker lock(&box->mutex);
        box->quit = true;
        box->wake();
    }
    QThread* ending = std::exchange(thread, nullptr);
    box.reset();
    if (ending->wait(QDeadlineTimer(waitMs))) {
        delete ending;
        return true;
    }
    qDebug().noquote() << QStringLiteral("sound output left behind, still waiting on the sound system");
    leftBehind().push_back(ending);
    return false;
}

bool SoundPlayer::threadLeftBehind()
{
    auto& threads = leftBehind();
    threads.erase(std::remove_if(threads.begin(), threads.end(),
                                 [](QThread* t) {
                                     if (!t->isFinished())
                                         return false;
                                     t->wait();
                                     delete t;
                                     return true;
                                 }),
                  threads.end());
    return !threads.empty();
}
