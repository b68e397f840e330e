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

/// A GIF of 30 x 20 pixels whose one frame is `frameWidth` (a hexadecimal
/// little-endian number) wide.
QByteArray gif(const char* frameWidth)
{
    return QByteArray::fromHex(QByteArray("4749463839611e001400800000ffffff0000002c00000000") + frameWidth
                               + "14000002024401003b");
}

const PictureDecoder::Limits photo{Format::Png | Format::Jpeg | Format::Gif, 2048, 2048 * 2048, QSize(64, 64)};
const PictureDecoder::Limits camera{Format::Png | Format::Jpeg, 65535, 40'000'000, QSize(64, 64)};
const PictureDecoder::Limits pngOnly{Format::Png, 256, 256 * 256, QSize()};
const std::atomic<bool> stopNow{true};
const PictureDecoder::Limits unwanted{Format::Png, 256, 256 * 256, QSize(), &stopNow};

void shown(const char* tag, const QByteArray& bytes, const PictureDecoder::Limits& limits, QSize size)
{
    QTest::newRow(tag) << bytes << limits << -1 << size;
}

void refused(const char* tag, const QByteArray& bytes, const PictureDecoder::Limits& limits, Error::Kind why)
{
    QTest::newRow(tag) << bytes << limits << int(why) << QSize(0, 0);
}

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

        const QByteArray plain = plainPicture(QSize(96, 96));
        QByteArray manyScans = QByteArray::fromHex("ffd8ffc0000b080040004001011100");
        for (int i = 0; i < 101; ++i)
            manyScans += QByteArray::fromHex("ffda0008010100003f0055");
        QByteArray damaged = plain;
        damaged[damaged.indexOf("IDAT") + 10] = '\x01';
        // The first row is the floor the others are measured against.
        shown("plain picture", plain, pngOnly, QSize(96, 96));
        // 500 text chunks of 7.8 MB each once inflated: 3.8 MB of file.
        shown("text chunk bomb", pngWithChunks(plain, 500), pngOnly, QSize(96, 96));
        shown("international text bomb", pngWithChunks(plain, 100, "iTXt"), pngOnly, QSize(96, 96));
        shown("colour profile bomb", pngWithChunks(plain, 3, "iCCP"), pngOnly, QSize(96, 96));
        shown("photo scaled to fit", pngWithChunks(plainPicture(QSize(200, 100)), 20), photo, QSize(64, 32));
        shown("JPEG decoded small", plainPicture(QSize(1600, 1200), Qt::blue, "JPG"), photo, QSize(64, 48));
        shown("GIF", gif("1e00"), photo, QSize(30, 20));
        shown("portrait photo turned as noted", jpegWithOrientation(plainPicture(QSize(160, 120), Qt::blue, "JPG"), 6),
              photo, QSize(48, 64));
        shown("PNG turned as noted", pngWithOrientation(plainPicture(QSize(160, 120)), 6), photo, QSize(48, 64));
        // Decoded at an eighth of its size; a 12 MP photo that only comes in whole is too large.
        shown("JPEG photo of 8000 x 6000", plainPicture(QSize(8000, 6000), Qt::blue, "JPG"), camera, QSize(64, 48));
        refused("PNG of 8000 x 6000", pngClaiming(8000, 6000), camera, Error::TooLarge);
        // Of 8000 x 6000 in three components, every coefficient held between its scans.
        const QByteArray progressive = QByteArray::fromHex("ffd8ffc200110817701f4003011100021101031101"
                                                           "ffda000c03010002110311003f0000ffd9");
        refused("progressive JPEG beyond the memory", progressive, camera, Error::TooLarge);
        refused("oversized header", pngClaiming(100000, 100000), pngOnly, Error::TooLarge);
        refused("one pixel too wide", pngClaiming(257, 1), pngOnly, Error::TooLarge);
        refused("too many pixels", pngClaiming(2048, 2049), photo, Error::TooLarge);
        refused("JPEG of 101 scans", manyScans + "\xff\xd9", photo, Error::TooLarge);
        refused("GIF frame beyond its screen", gif("a00f"), photo, Error::TooLarge);
        refused("truncated", plain.left(plain.size() / 2), pngOnly, Error::Truncated);
        refused("empty", QByteArray(), pngOnly, Error::Truncated);
        refused("cut in its pixel format", plain.left(26), pngOnly, Error::Truncated);
        refused("JPEG where only PNG is taken", plainPicture(QSize(8, 8), Qt::blue, "JPG"), pngOnly, Error::NotTaken);
        refused("SVG", "<svg xmlns='http://www.w3.org/2000/svg' width='9' height='9'/>", photo, Error::NotTaken);
        refused("unknown critical chunk", pngWithChunks(plain, 1, "ABCD", 10), pngOnly, Error::Broken);
        refused("damaged data", damaged, pngOnly, Error::Broken);
        shown("rows ending their data", pngWithDataBeyond(QSize(96, 96), 0), photo, QSize(64, 64));
        // 3 GB of zeros after the rows in 3 MB, and 744 MB in a vCard photo's room.
        refused("image data bomb", pngWithDataBeyond(QSize(96, 96), 3000), pngOnly, Error::TooLarge);
        refused("photo bomb", pngWithDataBeyond(QSize(96, 96), 744), photo, Error::TooLarge);
        // Within what the rows could take stored, yet inflating 20 MB beyond them.
        refused("image data beyond the rows", pngWithDataBeyond(QSize(96, 96), 20), pngOnly, Error::TooLarge);
        refused("no longer wanted", plain, unwanted, Error::Stopped);
        // Valid encoders at the largest size taken: 9 bits for every byte,
        // stored rows flushed one by one, code trees of its own for each row.
        const QByteArray noise = noisyRows(QSize(256, 256));
        const auto rgba = [](const QByteArray& zlib) { return pngOfData(QSize(256, 256), 6, zlib); };
        shown("fixed codes", rgba(fixedCodes(noise)), pngOnly, QSize(256, 256));
        shown("stored rows", rgba(flushedRows(noise, 1025, 0, Z_DEFAULT_STRATEGY)), pngOnly, QSize(256, 256));
        shown("dynamic codes", rgba(flushedRows(noise, 1025, 9, Z_HUFFMAN_ONLY)), pngOnly, QSize(256, 256));
    }

    void hostilePictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PictureDecoder::Limits, limits);
        QFETCH(int, refusal);
        QFETCH(QSize, size);

        const processmemory::PeakGrowth peak;
        QElapsedTimer clock;
        clock.start();
        const PictureDecoder::Result result = PictureDecoder::decode(bytes, limits);
        const qint64 us = clock.nsecsElapsed() / 1000;
        const qint64 peakKb = peak.kb();
        if (plainUs == 0) {
            plainUs = std::max<qint64>(us, 1);
            plainPeakKb = std::max<qint64>(peakKb, 1);
        }
        qInfo("%-30s %8lld bytes: peak +%6lld kB (%6.1fx the plain picture's), %7lld us (%6.1fx)",
              QTest::currentDataTag(), qint64(bytes.size()), peakKb, double(peakKb) / plainPeakKb, us,
              double(us) / plainUs);

        QCOMPARE(PictureDecoder::imageOf(result).size(), size);
        QCOMPARE(PictureDecoder::imageOf(result).textKeys(), QStringList());
        if (refusal >= 0)
            QCOMPARE(int(std::get<Error>(result).kind), refusal);
        // Nothing inflated beyond the file and the picture themselves.
        QVERIFY2(peakKb < 64 * 1024, qPrintable(QString::number(peakKb)));
    }

    void pngTakenOffAStream()
    {
        // Exactly the picture is read, its text chunks and all; what follows stays.
        QByteArray bytes = pngWithChunks(plainPicture(QSize(20, 10)), 50) + "tail";
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
