// The game sounds: slots, flags, looping, the "game/sound" setting, the meld
// sounds, and loading from the "sounds" search path with or without an audio
// device, and what a private sound server plays while it stalls, dies, comes late.

#include "GameSounds.h"
#include "LogCapture.h"
#include "PreferencesWindow.h"
#include "PulseAudioFixture.h"
#include "Sound.h"
#include "SoundPlayer.h"
#include "WaveFile.h"

#include <QCheckBox>
#include <QDataStream>
#include <QStyle>
#include <QStyleOptionButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// What happened to the sounds, in order: "play 13 loop", "stop 2", ...
QStringList events;

class RecordingSound : public Sound
{
public:
    explicit RecordingSound(unsigned s)
        : slot(s)
    {
    }
    void play(bool loop) override { events << QStringLiteral("play %1%2").arg(slot).arg(loop ? " loop" : ""); }
    void stop() override { events << QStringLiteral("stop %1").arg(slot); }

private:
    unsigned slot;
};

/// A RIFF WAVE file of `dataSize` bytes of silence (16-bit mono PCM), made
/// sparse so that large ones cost no disk.
bool writeSilence(const QString& path, quint32 dataSize)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataSize);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(22050) << quint32(44100) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataSize;
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(header) == header.size()
        && f.resize(header.size() + dataSize);
}

QStringList withoutStops(const QStringList& list)
{
    QStringList out;
    for (const QString& e : list) {
        if (!e.startsWith(QLatin1String("stop")))
            out << e;
    }
    return out;
}

}

class TestGameSounds : public QObject
{
    Q_OBJECT

    GameSounds& sounds = GameSounds::instance();
    PulseAudioFixture pulse;
    QString pulseError; ///< why there is no sound server, empty when there is one

private Q_SLOTS:
    void initTestCase()
    {
        // Before anything asks for a device: the sound library connects once.
        if (pulse.start(&pulseError))
            qputenv("PULSE_SERVER", pulse.address().toLocal8Bit());
    }

    void init()
    {
        QSettings().remove(QStringLiteral("game/sound"));
        for (unsigned slot = 0; slot < GameSounds::slotCount; ++slot) {
            sounds.stop(slot);
            sounds.setSound(slot, std::make_unique<RecordingSound>(slot));
        }
        events.clear();
    }

    void slotNames()
    {
        QCOMPARE(GameSounds::slotName(0), QStringLiteral("sounds:/hover"));
        QCOMPARE(GameSounds::slotName(5), QStringLiteral("sounds:/pong"));
        QCOMPARE(GameSounds::slotName(6), QStringLiteral("sounds:/kong"));
        QCOMPARE(GameSounds::slotName(13), QStringLiteral("sounds:/lobby_1min"));
        QCOMPARE(GameSounds::slotName(14), QString());
    }

    void soundSettingOffPlaysNothingAndKeepsTheTune()
    {
        sounds.play(GameSounds::LobbyTune, GameSounds::Loop | GameSounds::StopOthers);
        QCOMPARE(sounds.currentLoopingSlot(), 13);
        events.clear();
        QSettings().setValue(QStringLiteral("game/sound"), false);
        sounds.play(GameSounds::TileDiscarded, 0);
        sounds.play(GameSounds::Start, GameSounds::StopOthers);
        sounds.play(GameSounds::Joined, GameSounds::Loop);
        QVERIFY(events.isEmpty());
        QCOMPARE(sounds.currentLoopingSlot(), 13);
        QSettings().setValue(QStringLiteral("game/sound"), true);
        sounds.play(GameSounds::TileDiscarded, 0);
        QCOMPARE(events, QStringList{QStringLiteral("play 1")});
    }

    void loopingSlotIsNotRestarted()
    {
        sounds.play(GameSounds::LobbyTune, 3);
        QCOMPARE(withoutStops(events), QStringList{QStringLiteral("play 13 loop")});
        events.clear();
        sounds.play(GameSounds::LobbyTune, 3);
        QVERIFY(events.isEmpty()); // no restart, nothing else stopped
        QCOMPARE(sounds.currentLoopingSlot(), 13);
    }

    void newLoopStopsTheOldOne()
    {
        sounds.play(GameSounds::LobbyTune, GameSounds::Loop);
        events.clear();
        sounds.play(GameSounds::WindAssignment, GameSounds::Loop);
        QCOMPARE(events, (QStringList{QStringLiteral("stop 13"), QStringLiteral("play 12 loop")}));
        QCOMPARE(sounds.currentLoopingSlot(), 12);
    }

    void stopOthersSilencesEverySlotButThisOne()
    {
        sounds.play(GameSounds::LobbyTune, GameSounds::Loop);
        events.clear();
        sounds.play(GameSounds::Mahjong, GameSounds::StopOthers);
        QCOMPARE(events.size(), 14);
        QCOMPARE(events.last(), QStringLiteral("play 7"));
        QVERIFY(!events.contains(QStringLiteral("stop 7")));
        QVERIFY(events.contains(QStringLiteral("stop 13")));
        QCOMPARE(sounds.currentLoopingSlot(), -1);
    }

    void oneShotPlaysEachTime()
    {
        sounds.play(GameSounds::Hover);
        sounds.play(GameSounds::Hover);
        QCOMPARE(events, (QStringList{QStringLiteral("play 0"), QStringLiteral("play 0")}));
        QCOMPARE(sounds.currentLoopingSlot(), -1);
    }

    void stopEndsTheLoop()
    {
        sounds.play(GameSounds::LobbyTune, 3);
        sounds.stop(GameSounds::LobbyTune);
        QCOMPARE(sounds.currentLoopingSlot(), -1);
        events.clear();
        sounds.play(GameSounds::LobbyTune, 3); // plays again once stopped
        QCOMPARE(withoutStops(events), QStringList{QStringLiteral("play 13 loop")});
    }

    void meldSounds()
    {
        using namespace game_protocol::meld_type;
        sounds.playMeld(CHOW);
        sounds.playMeld(PONG);  // the slot named "sounds:/kong"
        sounds.playMeld(KONG);  // the slot named "sounds:/pong"
        sounds.playMeld(MAHJONG);
        QCOMPARE(events, (QStringList{QStringLiteral("play 4"), QStringLiteral("play 6"), QStringLiteral("play 5"),
                             QStringLiteral("play 7")}));
        events.clear();
        LogCapture capture;
        sounds.playMeld(PONG_TO_KONG);
        sounds.playMeld(PAIR);
        QVERIFY(events.isEmpty());
        QCOMPARE(capture.lines(QtWarningMsg), (QStringList{QStringLiteral("invalid meld for sound play: 4"),
                                                   QStringLiteral("invalid meld for sound play: 32")}));
    }

    void outOfRangeSlotsAreIgnored()
    {
        sounds.play(14, 3);
        sounds.play(unsigned(-1), 0);
        sounds.stop(99);
        QVERIFY(events.isEmpty());
        QCOMPARE(sounds.currentLoopingSlot(), -1);
    }

    void loadsFromTheSearchPath()
    {
        // Every sound but the wash-out one.
        QTemporaryDir dir;
        const QDir source(QStringLiteral(PARLOR_SOURCE_DIR "/resources/external/sounds/wav"));
        for (const QString& f : source.entryList({QStringLiteral("*.wav")})) {
            if (f != QLatin1String("washout.wav"))
                QVERIFY(QFile::copy(source.filePath(f), dir.filePath(f)));
        }
        QDir::setSearchPaths(QStringLiteral("sounds"), {dir.path()});
        LogCapture capture;
        sounds.init(nullptr);
        QTRY_VERIFY(!SoundPlayer::instance().isBusy());
        for (unsigned slot = 0; slot < GameSounds::slotCount; ++slot) // with a sound server or still without one
            QCOMPARE(sounds.hasSound(slot), slot != GameSounds::Washout);
        const QStringList notFound = capture.linesStartingWith(QtDebugMsg, QStringLiteral("sound file not found "));
        QVERIFY(!notFound.isEmpty());
        for (const QString& line : notFound)
            QCOMPARE(line, QStringLiteral("sound file not found sounds:/washout"));
        QVERIFY(capture.linesStartingWith(QtDebugMsg, QStringLiteral("sound not available , file is ")).isEmpty());
        // Playing without anything to play with is a silent success.
        for (unsigned slot = 0; slot < GameSounds::slotCount; ++slot)
            sounds.play(slot, slot == GameSounds::LobbyTune ? 3 : 0);
        sounds.stop(GameSounds::LobbyTune);
        QDir::setSearchPaths(QStringLiteral("sounds"), {});
    }

    void soundsTogetherAreCapped()
    {
        // Each of the first three is allowed on its own, but two of them fill
        // most of what all sounds may take: the third stays silent, the small
        // ones after it still fit.
        QTemporaryDir dir;
        const quint32 large = quint32(GameSounds::maxTotalSize * 2 / 5);
        QVERIFY(large + 1024 * 1024 <= quint32(WaveFile::maxFileSize));
        const QDir source(QStringLiteral(PARLOR_SOURCE_DIR "/resources/external/sounds/wav"));
        for (unsigned slot = 0; slot < GameSounds::slotCount; ++slot) {
            const QString file = GameSounds::slotName(slot).mid(QStringLiteral("sounds:/").size()) + QStringLiteral(".wav");
            if (slot < 3)
                QVERIFY(writeSilence(dir.filePath(file), large));
            else
                QVERIFY(QFile::copy(source.filePath(file), dir.filePath(file)));
        }
        QDir::setSearchPaths(QStringLiteral("sounds"), {dir.path()});
        LogCapture capture;
        sounds.init(nullptr);
        QTRY_VERIFY(!SoundPlayer::instance().isBusy());
        QCOMPARE(capture.linesStartingWith(QtDebugMsg, QStringLiteral("sound files too large together")),
                 QStringList{QStringLiteral("sound files too large together, left out sounds:/joined")});
        QVERIFY(!sounds.hasSound(GameSounds::Joined));
        sounds.release();
        QDir::setSearchPaths(QStringLiteral("sounds"), {});
    }

    void soundServerTrouble_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::newRow("Sounds off and on, 21 times") << QStringLiteral("toggles");
        QTest::newRow("200 hovers 50 ms apart") << QStringLiteral("sweep"); // a fast mouse over the hand
        QTest::newRow("stalled 40 s") << QStringLiteral("stall"); // past the sound library's own time-out
        QTest::newRow("killed and started again") << QStringLiteral("restart");
        QTest::newRow("started after the output") << QStringLiteral("late");
        QTest::newRow("stalled as the program quits") << QStringLiteral("quit"); // the thread's last use
    }

    void soundServerTrouble()
    {
        // Every sound is heard; 200 asked while the server is in trouble cost the GUI nothing and none plays
        // late; once it is back a sound is heard within 2 s.
        QFETCH(QString, trouble);
        if (!pulseError.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no sound server for this row: ") + pulseError));
        SoundPlayer& player = SoundPlayer::instance();
        QDir::setSearchPaths(QStringLiteral("sounds"), {QStringLiteral(PARLOR_SOURCE_DIR "/resources/external/sounds/wav")});
        if (trouble == QLatin1String("late") || trouble == QLatin1String("sweep"))
            pulse.stop();
        if (trouble == QLatin1String("sweep"))
            QVERIFY(pulse.start(&pulseError, true));
        sounds.init(nullptr);
        QTRY_VERIFY(!player.isBusy() && sounds.hasSound(GameSounds::Hover) && sounds.hasSound(GameSounds::TileDiscarded));
        if (trouble == QLatin1String("toggles")) { // the Sounds box clicked, 25 to 200 ms apart, off first
            QSettings().setValue(QStringLiteral("game/sound"), false);
            PreferencesWindow preferences(nullptr, nullptr, nullptr);
            preferences.show();
            QCheckBox* box = preferences.soundBox();
            QVERIFY(!box->isChecked());
            QStyleOptionButton option;
            option.initFrom(box);
            const QPoint mark = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
            for (int i = 0; i < 21; ++i) {
                QTest::mouseClick(box, Qt::LeftButton, {}, mark);
                QTest::qWait(25 + i * 37 % 175);
            }
            QVERIFY(box->isChecked());
            QVERIFY(pulse.heardWithin(2000) >= 0);
            sounds.stop(GameSounds::LobbyTune);
            QVERIFY(pulse.quiet(3000));
            for (unsigned n = 0; n <= GameSounds::LobbyTune; ++n) { // the sounds of a table, a hover again
                const unsigned slot = n % GameSounds::LobbyTune;
                sounds.play(slot);
                QVERIFY2(pulse.heardWithin(2000) >= 0, qPrintable(GameSounds::slotName(slot)));
                QVERIFY(pulse.quiet(10000));
            }
            return;
        }
        if (trouble == QLatin1String("sweep")) { // each hover ends before the next: all are heard, the first too
            QVERIFY(pulse.quiet(3000));
            const int sounded = pulse.soundsHeard([&] {
                for (int i = 0; i < 200; ++i) {
                    sounds.play(GameSounds::Hover);
                    QTest::qWait(50);
                }
            }, 1000);
            QCOMPARE(sounded, 200);
            pulse.stop();
            QVERIFY(pulse.start(&pulseError));
            return;
        }
        if (trouble == QLatin1String("stall") || trouble == QLatin1String("quit"))
            pulse.stall();
        else if (trouble == QLatin1String("restart"))
            pulse.stop();
        QElapsedTimer asking;
        asking.start();
        for (int i = 0; i < 200; ++i)
            sounds.play(i % 2 ? GameSounds::TileDiscarded : GameSounds::Hover);
        QVERIFY(asking.elapsed() < 1000);
        QTest::qWait(SoundPlayer::staleAfterMs + 100);
        if (trouble == QLatin1String("quit")) {
            asking.restart();
            sounds.release(); // as the application object goes
            QVERIFY(player.shutdown() && asking.elapsed() < 1000 && !SoundPlayer::threadLeftBehind());
            pulse.resume();
            return;
        }
        if (trouble == QLatin1String("stall")) {
            QTest::qWait(40000 - int(asking.elapsed()));
            pulse.resume();
        } else {
            QVERIFY(pulse.start(&pulseError));
        }
        QElapsedTimer back;
        back.start();
        QCOMPARE(pulse.heardWithin(300), -1); // the sounds asked meanwhile are not played late
        int heard = -1;
        while (heard < 0 && back.elapsed() < 2000) {
            sounds.play(GameSounds::TileDiscarded); // a player goes on playing
            heard = pulse.heardWithin(250);
        }
        QVERIFY(heard >= 0);
        if (trouble == QLatin1String("restart")) { // the lobby tune comes back by itself
            QVERIFY(pulse.quiet(3000));
            sounds.play(GameSounds::LobbyTune, GameSounds::Loop);
            QVERIFY(pulse.heardWithin(2000) >= 0);
            pulse.stop();
            QVERIFY(pulse.start(&pulseError) && pulse.heardWithin(2000) >= 0);
        }
        sounds.release();
    }
};

QTEST_MAIN(TestGameSounds)
#include "tst_gamesounds.moc"
