#include "GameSounds.h"

#include "ResourceFile.h"
#include "Sound.h"
#include "SoundBuffer.h"
#include "SoundOutput.h"
#include "WaveFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSettings>
#include <QSoundEffect>
#include <QUrl>

namespace {

const char* const slotNames[GameSounds::slotCount] = {
    "sounds:/hover",
    "sounds:/tile_discarded",
    "sounds:/joined",
    "sounds:/left",
    "sounds:/chow",
    "sounds:/pong",
    "sounds:/kong",
    "sounds:/mahjong",
    "sounds:/washout",
    "sounds:/start",
    "sounds:/meld_suggestion",
    "sounds:/meld_pass_only",
    "sounds:/wind_assignment",
    "sounds:/lobby_1min",
};

/// A sound on the program's own output.
class BufferSound : public Sound
{
public:
    explicit BufferSound(std::unique_ptr<SoundBuffer> b)
        : buffer(std::move(b))
    {
    }
    void play(bool loop) override
    {
        if (!loop)
            buffer->rewind();
        buffer->play(loop);
    }
    void stop() override { buffer->stop(); }

private:
    std::unique_ptr<SoundBuffer> buffer;
};

QUrl fileUrl(const QString& path)
{
    if (path.startsWith(QLatin1Char(':')))
        return QUrl(QStringLiteral("qrc") + path);
    return QUrl::fromLocalFile(path);
}

}

std::unique_ptr<Sound> loadSound(const QString& name)
{
    const QFileInfo info(ResourceFile::path(name + QStringLiteral(".wav")));
    if (!info.exists()) {
        qDebug().noquote() << QStringLiteral("sound file not found ") + name;
        return nullptr;
    }
    if (!WaveFile::isAcceptableFile(info))
        return nullptr;
    std::unique_ptr<SoundBuffer> buffer;
    const SoundResult r = SoundOutput::instance().create(buffer, info.absoluteFilePath(), 1);
    if (r != SoundResult::Ok || !buffer)
        return nullptr;
    return std::make_unique<BufferSound>(std::move(buffer));
}

namespace {
/// The sounds hold audio outputs, which must go before the application object.
void releaseSounds()
{
    GameSounds::instance().release();
}
}

GameSounds& GameSounds::instance()
{
    static GameSounds sounds;
    return sounds;
}

GameSounds::GameSounds() = default;

GameSounds::~GameSounds()
{
    release();
}

QString GameSounds::slotName(unsigned slot)
{
    return slot < slotCount ? QString::fromLatin1(slotNames[slot]) : QString();
}

void GameSounds::release()
{
    for (auto& f : fallbackSounds)
        f.reset();
    for (auto& s : sounds)
        s.reset();
    loopingSlot = -1;
}

void GameSounds::init(QWidget*)
{
    static bool releaseRegistered = false;
    if (!releaseRegistered && QCoreApplication::instance()) {
        qAddPostRoutine(&releaseSounds);
        releaseRegistered = true;
    }
    const SoundResult r = SoundOutput::instance().initialize();
    qDebug().noquote() << QStringLiteral("audio output initialised with result ") + QLatin1String(soundResultText(r));

    const bool playerAvailable = !QMediaDevices::audioOutputs().isEmpty();
    qint64 taken = 0;
    for (unsigned slot = 0; slot < slotCount; ++slot) {
        const QString name = slotName(slot);
        fallbackSounds[slot].reset();
        sounds[slot].reset();
        // Each file may be large on its own; together they must still fit.
        const QFileInfo file(ResourceFile::path(name + QStringLiteral(".wav")));
        if (file.exists() && WaveFile::isAcceptableFile(file)) {
            if (file.size() > maxTotalSize - taken) {
                qDebug().noquote() << QStringLiteral("sound files too large together, left out ") + name;
                continue;
            }
            taken += file.size();
        }
        sounds[slot] = loadSound(name);
        if (sounds[slot])
            continue;
        const QFileInfo info(ResourceFile::path(name + QStringLiteral(".wav")));
        if (!info.exists()) {
            qDebug().noquote() << QStringLiteral("sound file not found ") + name;
            continue;
        }
        // The player loads the whole file: the reader's limits hold for it too.
        if (!WaveFile::isAcceptableFile(info)) {
            qDebug().noquote() << QStringLiteral("sound file not usable ") + name;
            continue;
        }
        if (!playerAvailable) {
            qDebug().noquote() << QStringLiteral("sound not available , file is ") + name;
            continue;
        }
        qDebug().noquote() << QStringLiteral("sound filename is ") + info.fileName();
        qDebug().noquote() << QStringLiteral("sound path is ") + info.path();
        qDebug().noquote() << QStringLiteral("sound filePath is ") + info.filePath();
        qDebug().noquote() << QStringLiteral("sound absoluteFilePath is ") + info.absoluteFilePath();
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(fileUrl(info.absoluteFilePath()));
        fallbackSounds[slot] = std::move(effect);
    }
}

bool GameSounds::hasSound(unsigned slot) const
{
    return slot < slotCount && (sounds[slot] || fallbackSounds[slot]);
}

void GameSounds::setSound(unsigned slot, std::unique_ptr<Sound> sound)
{
    if (slot >= slotCount)
        return;
    fallbackSounds[slot].reset();
    sounds[slot] = std::move(sound);
}

void GameSounds::play(unsigned slot, unsigned flags)
{
    if (slot >= slotCount)
        return;
    if (int(slot) == loopingSlot)
        return; // a looping sound is not restarted
    if (!QSettings().value(QStringLiteral("game/sound"), true).toBool())
        return;

    if (flags & StopOthers) {
        for (unsigned other = 0; other < slotCount; ++other) {
            if (other == slot)
                continue;
            if (sounds[other])
                sounds[other]->stop();
            if (fallbackSounds[other])
                fallbackSounds[other]->stop();
            if (int(other) == loopingSlot)
                loopingSlot = -1;
        }
    } else if ((flags & Loop) && loopingSlot != -1) {
        stop(unsigned(loopingSlot));
    }

    if (flags & Loop)
        loopingSlot = int(slot);

    const bool loop = flags & Loop;
    if (sounds[slot])
        sounds[slot]->play(loop);
    if (fallbackSounds[slot]) {
        fallbackSounds[slot]->setLoopCount(loop ? QSoundEffect::Infinite : 1);
        fallbackSounds[slot]->play();
    }
}

void GameSounds::stop(unsigned slot)
{
    if (slot >= slotCount)
        return;
    if (sounds[slot])
        sounds[slot]->stop();
    if (fallbackSounds[slot])
        fallbackSounds[slot]->stop();
    if (int(slot) == loopingSlot)
        loopingSlot = -1;
}

void GameSounds::playMeld(game_protocol::meld_type::enum_t type)
{
    using namespace game_protocol::meld_type;
    switch (type) {
    case CHOW: play(Chow, 0); break;
    case PONG: play(Kong, 0); break;
    case KONG: play(Pong, 0); break;
    case MAHJONG: play(Mahjong, 0); break;
    default: qWarning().noquote() << "invalid meld for sound play:" << int(type); break;
    }
}
