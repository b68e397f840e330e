#pragma once

#include <meld.h>

#include <QString>

#include <array>
#include <memory>

class QWidget;
class Sound;

/// The fourteen game sounds, loaded once from WAV files found through the
/// "sounds" search path and played by slot number. Obeys the "game/sound"
/// setting at every request. Never throws; a sound that cannot be loaded or
/// a machine without audio output just stays silent. The sounds play on the
/// sound output's own thread (`SoundPlayer`): a request never waits for the
/// sound system.
class GameSounds
{
public:
    enum Slot : unsigned {
        Hover = 0,
        TileDiscarded = 1,
        Joined = 2,
        Left = 3,
        Chow = 4,
        Pong = 5, ///< "sounds:/pong", played for a kong
        Kong = 6, ///< "sounds:/kong", played for a pong
        Mahjong = 7,
        Washout = 8,
        Start = 9,
        MeldSuggestion = 10,
        MeldPassOnly = 11,
        WindAssignment = 12,
        LobbyTune = 13,
    };
    static constexpr unsigned slotCount = 14;
    /// The most that the sound files of all slots may take together: a
    /// minute of lobby tune and thirteen short effects in studio quality fit
    /// with room to spare. A slot whose file would go beyond it stays silent.
    static constexpr qint64 maxTotalSize = 96 * 1024 * 1024;

    /// Play flags.
    enum Flag : unsigned {
        Loop = 1,        ///< loop until stopped; the slot becomes the looping slot
        StopOthers = 2,  ///< stop every other slot first
    };

    static GameSounds& instance();
    /// The name of a slot without extension, e.g. "sounds:/hover"; empty out of range.
    static QString slotName(unsigned slot);

    GameSounds(const GameSounds&) = delete;
    GameSounds& operator=(const GameSounds&) = delete;
    ~GameSounds();

    /// Sets up the sound output and loads every slot, in slot order, until
    /// the files taken reach maxTotalSize. The loading itself goes on in
    /// the sound output's thread.
    void init(QWidget* window);
    void play(unsigned slot, unsigned flags = 0);
    void stop(unsigned slot);
    void playMeld(game_protocol::meld_type::enum_t type);
    /// Drops every loaded sound (done when the application object goes,
    /// with the sound output's thread).
    void release();

    /// The slot now looping, -1 for none.
    int currentLoopingSlot() const { return loopingSlot; }
    /// Whether the slot has anything to play with: a sound of one's own, or
    /// one that the sound output has loaded.
    bool hasSound(unsigned slot) const;
    /// Puts a sound of one's own into a slot (the tests listen through it).
    void setSound(unsigned slot, std::unique_ptr<Sound> sound);

private:
    GameSounds();

    std::array<std::unique_ptr<Sound>, slotCount> sounds;
    int loopingSlot = -1;
};

/// The sound of a named slot over the program's own sound output (which
/// falls back to the framework's player for it), or null when its file is
/// missing or unusable.
std::unique_ptr<Sound> loadSound(const QString& name);
