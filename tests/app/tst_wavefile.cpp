// The sound layer below the game sounds: the RIFF WAVE reader, the sample
// source handed to the audio sink, the sink formats, the output without a
// device, and the committed sound files themselves.

#include "PcmSource.h"
#include "SoundBuffer.h"
#include "SoundOutput.h"
#include "WaveFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/stat.h>

namespace {

const QString soundDir = QStringLiteral(PARLOR_SOURCE_DIR "/resources/external/sounds/wav");
const QStringList soundNames = {"hover", "tile_discarded", "joined", "left", "chow", "pong", "kong", "mahjong",
    "washout", "start", "meld_suggestion", "meld_pass_only", "wind_assignment", "lobby_1min"};

QByteArray u16(quint16 v)
{
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray u32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray chunk(const char* id, const QByteArray& body, qint64 claimedSize = -1)
{
    QByteArray c(id, 4);
    c += u32(quint32(claimedSize < 0 ? body.size() : claimedSize));
    c += body;
    if (body.size() & 1)
        c += '\0';
    return c;
}
QByteArray fmtBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    const quint16 align = quint16(channels * bits / 8);
    return u16(tag) + u16(channels) + u32(rate) + u32(rate * align) + u16(align) + u16(bits);
}
QByteArray riff(const QByteArray& chunks, const char* form = "WAVE")
{
    return QByteArray("RIFF") + u32(quint32(chunks.size() + 4)) + QByteArray(form, 4) + chunks;
}

}

class TestWaveFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void committedSoundsAreShortAndDistinct()
    {
        QSet<QByteArray> hashes;
        for (const QString& name : soundNames) {
            WaveFile wave;
            QCOMPARE(wave.open(soundDir + QLatin1Char('/') + name + QStringLiteral(".wav")), SoundResult::Ok);
            QCOMPARE(wave.format().formatTag, WaveFile::formatPcm);
            QCOMPARE(wave.format().channels, quint16(1));
            QCOMPARE(wave.format().bitsPerSample, quint16(16));
            QCOMPARE(wave.format().samplesPerSec, quint32(22050));
            const double seconds = wave.dataSize() / 2.0 / 22050.0;
            QVERIFY2(seconds > 0.02, qPrintable(name));
            QVERIFY2(seconds <= (name == QLatin1String("lobby_1min") ? 10.0 : 1.5), qPrintable(name));
            QByteArray pcm;
            QCOMPARE(wave.readAll(pcm), SoundResult::Ok);
            QCOMPARE(quint32(pcm.size()), wave.dataSize());
            hashes.insert(QCryptographicHash::hash(pcm, QCryptographicHash::Sha1));

            // Never louder than comfortable, never clipped.
            const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
            int peak = 0;
            for (qsizetype i = 0; i < pcm.size() / 2; ++i)
                peak = qMax(peak, qAbs(int(qFromLittleEndian(samples[i]))));
            QVERIFY2(peak > 1000 && peak < 32000, qPrintable(name));
        }
        QCOMPARE(hashes.size(), soundNames.size());

        // A pong is played with "kong.wav" and a kong with "pong.wav": the
        // four-tile kong sound must be the longer one, in "pong.wav".
        WaveFile playedForPong;
        WaveFile playedForKong;
        QCOMPARE(playedForPong.open(soundDir + QStringLiteral("/kong.wav")), SoundResult::Ok);
        QCOMPARE(playedForKong.open(soundDir + QStringLiteral("/pong.wav")), SoundResult::Ok);
        QVERIFY(playedForKong.dataSize() > playedForPong.dataSize());
    }

    void lobbyTuneLoopsWithoutAClick()
    {
        WaveFile wave;
        QCOMPARE(wave.open(soundDir + QStringLiteral("/lobby_1min.wav")), SoundResult::Ok);
        QByteArray pcm;
        QCOMPARE(wave.readAll(pcm), SoundResult::Ok);
        const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
        const int last = qFromLittleEndian(s[pcm.size() / 2 - 1]);
        const int first = qFromLittleEndian(s[0]);
        QVERIFY2(qAbs(last - first) < 2000, qPrintable(QStringLiteral("%1 -> %2").arg(last).arg(first)));
    }

    void readsChunksInAnyOrder()
    {
        const QByteArray data("\x01\x02\x03\x04\x05\x06", 6);
        // An odd-sized chunk before the format is padded and skipped.
        const QByteArray bytes = riff(chunk("LIST", "abc") + chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", data));
        WaveFile wave;
        QCOMPARE(wave.openData(bytes), SoundResult::Ok);
        QCOMPARE(wave.dataSize(), quint32(6));
        QVERIFY(wave.format().extra.isEmpty());
        char buf[16];
        quint32 got = 0;
        QCOMPARE(wave.read(buf, 4, &got), SoundResult::Ok);
        QCOMPARE(got, quint32(4));
        QCOMPARE(wave.read(buf, 16, &got), SoundResult::Ok); // never past the end of the data
        QCOMPARE(got, quint32(2));
        QCOMPARE(QByteArray(buf, 2), QByteArray("\x05\x06", 2));
        QCOMPARE(wave.read(buf, 16, &got), SoundResult::Ok);
        QCOMPARE(got, quint32(0));
        QCOMPARE(wave.rewind(), SoundResult::Ok);
        QCOMPARE(wave.read(buf, 1, &got), SoundResult::Ok);
        QCOMPARE(buf[0], '\x01');
    }

    void compressedFormatKeepsItsExtraBytes()
    {
        const QByteArray fmt = fmtBody(2, 1, 8000, 8) + u16(2) + QByteArray("\xAA\xBB", 2);
        WaveFile wave;
        QCOMPARE(wave.openData(riff(chunk("fmt ", fmt) + chunk("data", QByteArray(10, 'x')))), SoundResult::Ok);
        QCOMPARE(wave.format().formatTag, quint16(2));
        QCOMPARE(wave.format().extra, QByteArray("\xAA\xBB", 2));
        QVERIFY(!SoundBuffer::audioFormat(wave.format()).isValid()); // cannot be played as is
    }

    void dataChunkLongerThanTheFileIsCut()
    {
        WaveFile wave;
        const QByteArray bytes = riff(chunk("fmt ", fmtBody(1, 1, 8000, 8)) + chunk("data", QByteArray(4, 'x'), 1000));
        QCOMPARE(wave.openData(bytes), SoundResult::Ok);
        QCOMPARE(wave.dataSize(), quint32(4));
        QCOMPARE(wave.silence(), char(0x80)); // 8-bit samples are unsigned
    }

    void rejectsBrokenFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray fmt = chunk("fmt ", fmtBody(1, 1, 8000, 16));
        const QByteArray data = chunk("data", QByteArray(8, 0));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not riff") << (QByteArray("RIFX") + riff(fmt + data).mid(4));
        QTest::newRow("not wave") << riff(fmt + data, "AVI ");
        QTest::newRow("short fmt") << riff(chunk("fmt ", fmtBody(1, 1, 8000, 16).left(14)) + data);
        QTest::newRow("no fmt") << riff(data);
        QTest::newRow("data before fmt") << riff(data + fmt);
        QTest::newRow("no data") << riff(fmt);
        QTest::newRow("truncated header") << riff(fmt + data).left(10);
        QTest::newRow("zero channels") << riff(chunk("fmt ", fmtBody(1, 0, 8000, 16)) + data);
        QTest::newRow("extra size too big") << riff(chunk("fmt ", fmtBody(2, 1, 8000, 4) + u16(200)) + data);
    }
    void rejectsBrokenFiles()
    {
        QFETCH(QByteArray, bytes);
        WaveFile wave;
        QCOMPARE(wave.openData(bytes), SoundResult::Failed);
        QCOMPARE(wave.dataSize(), quint32(0));
        quint32 got = 1;
        char c;
        QCOMPARE(wave.read(&c, 1, &got), SoundResult::NotInitialised);
        QCOMPARE(got, quint32(0));
    }

    void onlyRegularFilesOfBoundedSize_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("result");
        QTest::newRow("regular file") << "file" << int(SoundResult::Ok);
        QTest::newRow("link to a regular file") << "link" << int(SoundResult::Ok);
        QTest::newRow("FIFO") << "fifo" << int(SoundResult::Failed);
        QTest::newRow("link to a FIFO") << "fifolink" << int(SoundResult::Failed);
        QTest::newRow("directory") << "dir" << int(SoundResult::Failed);
        QTest::newRow("character device") << "device" << int(SoundResult::Failed);
        QTest::newRow("1 GB file") << "huge" << int(SoundResult::OutOfMemory);
    }
    void onlyRegularFilesOfBoundedSize()
    {
        // Opening a FIFO would wait for a writer: this test would hang.
        QFETCH(QString, kind);
        QFETCH(int, result);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hover.wav"));
        const QByteArray wave = riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", QByteArray(64, '\1')));
        const auto write = [](const QString& to, const QByteArray& bytes) {
            QFile f(to);
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        };
        if (kind == QLatin1String("file")) {
            QVERIFY(write(path, wave));
        } else if (kind == QLatin1String("link")) {
            QVERIFY(write(dir.filePath(QStringLiteral("real")), wave));
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("real")), path));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("fifolink")) {
            QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("pipe")), path));
        } else if (kind == QLatin1String("dir")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("device")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else {
            // A valid header claiming 1 GB of samples, the rest a hole in the file.
            const quint32 size = 1024u * 1024u * 1024u;
            QVERIFY(write(path, riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", QByteArray(), size)).left(44)));
            QVERIFY(QFile::resize(path, 44 + qint64(size)));
        }
        QCOMPARE(WaveFile::isAcceptableFile(QFileInfo(path)), result == int(SoundResult::Ok));
        WaveFile reader;
        QCOMPARE(int(reader.open(path)), result);
    }

    void missingFile()
    {
        WaveFile wave;
        QCOMPARE(wave.open(QStringLiteral("/nonexistent/none.wav")), SoundResult::Failed);
        QCOMPARE(wave.open(QString()), SoundResult::InvalidArgument);
    }

    void sinkFormats()
    {
        WaveFormat f;
        f.formatTag = WaveFile::formatPcm;
        f.channels = 2;
        f.samplesPerSec = 44100;
        f.bitsPerSample = 16;
        f.blockAlign = 4;
        QAudioFormat a = SoundBuffer::audioFormat(f);
        QVERIFY(a.isValid());
        QCOMPARE(a.sampleFormat(), QAudioFormat::Int16);
        QCOMPARE(a.channelCount(), 2);
        f.bitsPerSample = 8;
        f.blockAlign = 2;
        QCOMPARE(SoundBuffer::audioFormat(f).sampleFormat(), QAudioFormat::UInt8);
        f.blockAlign = 3; // does not fit the samples
        QVERIFY(!SoundBuffer::audioFormat(f).isValid());
        f.formatTag = WaveFile::formatFloat;
        f.bitsPerSample = 32;
        f.blockAlign = 8;
        QCOMPARE(SoundBuffer::audioFormat(f).sampleFormat(), QAudioFormat::Float);
        f.bitsPerSample = 24;
        f.formatTag = WaveFile::formatPcm;
        f.blockAlign = 6;
        QVERIFY(!SoundBuffer::audioFormat(f).isValid());
        // WAVE_FORMAT_EXTENSIBLE whose sub-format is plain PCM.
        f.formatTag = WaveFile::formatExtensible;
        f.bitsPerSample = 16;
        f.blockAlign = 4;
        f.extra = u16(16) + u32(3) + u16(1) + QByteArray(14, 0);
        QCOMPARE(SoundBuffer::audioFormat(f).sampleFormat(), QAudioFormat::Int16);
    }

    void sourcePlaysOnceOrLoops()
    {
        PcmSource source(QByteArray("abcde"));
        char buf[12];
        QCOMPARE(source.read(buf, 3), qint64(3));
        QCOMPARE(source.read(buf, 12), qint64(2));
        QCOMPARE(QByteArray(buf, 2), QByteArray("de"));
        QCOMPARE(source.read(buf, 12), qint64(0)); // the end: the sink goes idle
        source.rewind();
        source.setLooping(true);
        QCOMPARE(source.read(buf, 12), qint64(12));
        QCOMPARE(QByteArray(buf, 12), QByteArray("abcdeabcdeab"));
        QVERIFY(source.bytesAvailable() > 0);
    }

    void outputWithoutServerStaysSilent()
    {
        // Whether a sound server answers or not, the sounds are made: they play once one does.
        SoundOutput& output = SoundOutput::instance();
        std::unique_ptr<SoundBuffer> buffer;
        QCOMPARE(output.create(buffer, soundDir + QStringLiteral("/hover.wav")), SoundResult::NotInitialised);
        QCOMPARE(output.initialize(), SoundResult::Ok);
        QCOMPARE(output.create(buffer, soundDir + QStringLiteral("/hover.wav"), 0), SoundResult::InvalidArgument);
        QCOMPARE(output.create(buffer, soundDir + QStringLiteral("/none.wav")), SoundResult::Failed);
        QCOMPARE(output.create(buffer, soundDir + QStringLiteral("/hover.wav"), 2), SoundResult::Ok);
        QVERIFY(buffer);
        QCOMPARE(buffer->voiceCount(), 2u);
        QCOMPARE(buffer->play(false), SoundResult::Ok);
        QCOMPARE(buffer->stop(), SoundResult::Ok);
        buffer.reset();
        output.release();
    }
};

QTEST_GUILESS_MAIN(TestWaveFile)
#include "tst_wavefile.moc"
