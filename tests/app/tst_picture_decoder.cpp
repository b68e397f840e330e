// The bounded picture decoder against hostile pictures: optional chunks that
// inflate to gigabytes, headers that announce more pixels than allowed,
// truncated files and formats the use does not take. Each row prints its
// peak memory and time beside the plain picture's.
#include "HostilePictures.h"
#include "PictureDecoder.h"
#include "ProcessMemory.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTest>

using namespace hostilepictures;
using PictureDecoder::Error;
using PictureDecoder::Format;

Q_DECLARE_METATYPE(PictureDecoder::Limits)

namespace {

QByteArray encoded(QSize size, const char* format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

/// A GIF of 30 x 20 pixels whose one frame is `frameWidth` (a hexadecimal
/// little-endian number) wide.
QByteArray gif(const char* frameWidth)
{
    return QByteArray::fromHex(QByteArray("4749463839611e001400800000ffffff0000002c00000000") + frameWidth
                               + "14000002024401003b");
}

const PictureDecoder::Limits photo{Format::Png | Format::Jpeg | Format::Gif, 2048, 2048 * 2048, QSize(64, 64)};
const PictureDecoder::Limits pngOnly{Format::Png, 256, 256 * 256, QSize()};

} // namespace

class TestPictureDecoder : public QObject
{
    Q_OBJECT

    qint64 plainPeakKb = 0;
    qint64 plainUs = 0;

private Q_SLOTS:
    void hostilePictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PictureDecoder::Limits>("limits");
        QTest::addColumn<int>("refusal"); // an Error::Kind, or -1 for a picture
        QTest::addColumn<QSize>("size");

        const QByteArray plain = plainPng(QSize(96, 96));
        QByteArray manyScans = QByteArray::fromHex("ffd8ffc0000b080040004001011100");
        for (int i = 0; i < 101; ++i)
            manyScans += QByteArray::fromHex("ffda0008010100003f0055");
        QByteArray damaged = plain;
        damaged[damaged.indexOf("IDAT") + 10] = '\x01';
        // The first row is the floor the others are measured against.
        QTest::newRow("plain picture") << plain << pngOnly << -1 << QSize(96, 96);
        // 500 text chunks of 7.8 MB each once inflated: 3.8 MB of file.
        QTest::newRow("text chunk bomb") << pngWithChunks(plain, 500, "zTXt", 7800000) << pngOnly << -1 << QSize(96, 96);
        QTest::newRow("international text bomb") << pngWithChunks(plain, 100, "iTXt", 7800000) << pngOnly << -1
                                                 << QSize(96, 96);
        QTest::newRow("colour profile bomb") << pngWithChunks(plain, 3, "iCCP", 7800000) << pngOnly << -1
                                             << QSize(96, 96);
        QTest::newRow("photo scaled to fit") << pngWithChunks(plainPng(QSize(200, 100)), 20, "zTXt", 7800000) << photo
                                             << -1 << QSize(64, 32);
        QTest::newRow("JPEG decoded small") << encoded(QSize(1600, 1200), "JPG") << photo << -1 << QSize(64, 48);
        QTest::newRow("GIF") << gif("1e00") << photo << -1 << QSize(30, 20);
        QTest::newRow("oversized header") << pngClaiming(100000, 100000) << pngOnly << int(Error::TooLarge) << QSize();
        QTest::newRow("one pixel too wide") << pngClaiming(257, 1) << pngOnly << int(Error::TooLarge) << QSize();
        QTest::newRow("too many pixels") << pngClaiming(2048, 2049) << photo << int(Error::TooLarge) << QSize();
        QTest::newRow("JPEG of 101 scans") << manyScans + "\xff\xd9" << photo << int(Error::TooLarge) << QSize();
        QTest::newRow("GIF frame beyond its screen") << gif("a00f") << photo << int(Error::TooLarge) << QSize();
        QTest::newRow("truncated") << plain.left(plain.size() / 2) << pngOnly << int(Error::Truncated) << QSize();
        QTest::newRow("empty") << QByteArray() << pngOnly << int(Error::Truncated) << QSize();
        QTest::newRow("JPEG where only PNG is taken") << encoded(QSize(8, 8), "JPG") << pngOnly << int(Error::NotTaken)
                                                      << QSize();
        QTest::newRow("SVG") << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='9' height='9'/>") << photo
                             << int(Error::NotTaken) << QSize();
        QTest::newRow("unknown critical chunk") << pngWithChunks(plain, 1, "ABCD", 10) << pngOnly << int(Error::Broken)
                                                << QSize();
        QTest::newRow("damaged data") << damaged << pngOnly << int(Error::Broken) << QSize();
    }

    void hostilePictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PictureDecoder::Limits, limits);
        QFETCH(int, refusal);
        QFETCH(QSize, size);

        processmemory::resetPeak();
        const qint64 before = processmemory::statusKb("VmRSS");
        QElapsedTimer clock;
        clock.start();
        const PictureDecoder::Result result = PictureDecoder::decode(bytes, limits);
        const qint64 us = clock.nsecsElapsed() / 1000;
        const qint64 peakKb = processmemory::statusKb("VmHWM") - before;
        if (plainUs == 0) {
            plainUs = std::max<qint64>(us, 1);
            plainPeakKb = std::max<qint64>(peakKb, 1);
        }
        qInfo("%-30s %8lld bytes: peak +%6lld kB (%6.1fx the plain picture's), %7lld us (%6.1fx)",
              QTest::currentDataTag(), qint64(bytes.size()), peakKb, double(peakKb) / plainPeakKb, us,
              double(us) / plainUs);

        const QImage image = PictureDecoder::imageOf(result);
        QCOMPARE(image.size(), refusal < 0 ? size : QSize(0, 0));
        QCOMPARE(image.textKeys(), QStringList());
        if (refusal >= 0)
            QCOMPARE(int(std::get<Error>(result).kind), refusal);
        // Nothing inflated beyond the file and the picture themselves.
        QVERIFY2(peakKb < 64 * 1024, qPrintable(QString::number(peakKb)));
    }

    void pngTakenOffAStream()
    {
        // Exactly the picture is read, its text chunks and all; what follows stays.
        QByteArray bytes = pngWithChunks(plainPng(QSize(20, 10)), 50, "zTXt", 7800000) + "tail";
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(PictureDecoder::imageOf(PictureDecoder::readPng(buffer, pngOnly, bytes.size())).size(), QSize(20, 10));
        QCOMPARE(buffer.readAll(), QByteArray("tail"));
        // More bytes than the use allows: refused, whatever they hold.
        QVERIFY(buffer.seek(0));
        QCOMPARE(int(std::get<Error>(PictureDecoder::readPng(buffer, pngOnly, 100000)).kind), int(Error::TooLarge));
    }
};

QTEST_MAIN(TestPictureDecoder)
#include "tst_picture_decoder.moc"
