#include "GameSounds.h"

#include "ResourceFile.h"
#include "Sound.h"
#include "Utils.h"
#include "SoundPlayer.h"
#include "WaveFile.h"

#include <QCoreApplication>
#include <QFileInfo>

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

/// A sound of the program's own output, played on the output's thread.
class OutputSound : public Sound
{
public:
    explicit OutputSound(QString n)
        : name(std::move(n))
    {
    }
    void play(bool loop) override { SoundPlayer::instance().play(name, loop); }
    void stop() override { SoundPlayer::instance().stop(name); }
    bool isLoaded() const { return SoundPlayer::instance().isLoaded(name); }

private:
    QString name;
};

}

std::unique_ptr<Sound> loadSound(const QString& name)
{
    const QString path = ResourceFile::path(name + QStringLiteral(".wav"));
    const QFileInfo info(path);
    if (!info.exists()) {
        qDebug().noquote() << QStringLiteral("sound file not found ") + name;
        return nullptr;
    }
    // The players load the whole file: the reader's limits hold for them all.
    if (!WaveFile::isAcceptableFile(info)) {
        qDebug().noquote() << QStringLiteral("sound file not usable ") + name;
        return nullptr;
    }
    SoundPlayer::instance().load(name, path);
    return std::make_unique<OutputSound>(name);
}

namespace {
/// The sounds and the sound output's thread must go before the application object.
void releaseSounds()
{
    GameSounds::instance().release();
    SoundPlayer::instance().shutdown();
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
    for (auto& s : sounds)
        s.reset();
    loopingSlot = -1;
    SoundPlayer::instance().unloadAll();
}

void GameSounds::init(QWidget*)
{
    static bool releaseRegistered = false;
    if (!releaseRegistered && QCoreApplication::instance()) {
        qAddPostRoutine(&releaseSounds);
        releaseRegistered = true;
    }
    SoundPlayer::instance().initialize();

    qint64 taken = 0;
    for (unsigned slot = 0; slot < slotCount; ++slot) {
        const QString name = slotName(slot);
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
    }
}

bool GameSounds::hasSound(unsigned slot) const
{
    if (slot >= slotCount || !sounds[slot])
        return false;
    const auto* own = dynamic_cast<const OutputSound*>(sounds[slot].get());
    return !own || own->isLoaded();
}

void GameSounds::setSound(unsigned slot, std::unique_ptr<Sound> sound)
{
    if (slot >= slotCount)
        return;
    sounds[slot] = std::move(sound);
}

void GameSounds::play(unsigned slot, unsigned flags)
{
    if (slot >= slotCount)
        return;
    if (int(slot) == loopingSlot)
        return; // a looping sound is not restarted
    if (!settingsSwitch("game/sound", true))
        return;

    if (flags & StopOthers) {
        for (unsigned other = 0; other < slotCount; ++other) {
            if (other == slot)
                continue;
            if (sounds[other])
                sounds[other]->stop();
            if (int(other) == loopingSlot)
                loopingSlot = -1;
        }
    } else if ((flags & Loop) && loopingSlot != -1) {
        stop(unsigned(loopingSlot));
    }

    if (flags & Loop)
        loopingSlot = int(slot);

    if (sounds[slot])
        sounds[slot]->play(flags & Loop);
}

void GameSounds::stop(unsigned slot)
{
    if (slot >= slotCount)
        return;
    if (sounds[slot])
        sounds[slot]->stop();
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
