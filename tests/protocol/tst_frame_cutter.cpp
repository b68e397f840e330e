#include "FrameCutter.h"
#include "ChunkDevice.h"
#include "TestFrame.h"
#include "server_error.h"

#include <QBuffer>
#include <QTest>

namespace {
QByteArray bodyOf(const message_ptr& m)
{
    return QByteArray(reinterpret_cast<const char*>(m->data()), qsizetype(m->size()));
}

QList<QByteArray> cutAll(FrameCutter& cutter, QIODevice& device)
{
    QList<QByteArray> frames;
    while (message_ptr m = cutter.next(device))
        frames.append(bodyOf(m));
    return frames;
}

QByteArray threeFrames()
{
    return TestFrame(7).u32(1).toBytes() + TestFrame(42).toBytes()
           + TestFrame(9).str("hello").bytes(QByteArray(300, 'x')).toBytes();
}
}

class tst_frame_cutter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mergedFramesComeOutInOrder()
    {
        ChunkDevice device;
        device.feed(threeFrames());
        FrameCutter cutter;
        const auto frames = cutAll(cutter, device);
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames[0], TestFrame(7).u32(1).body());
        QCOMPARE(frames[1], QByteArray(1, char(42))); // a length of 5 gives the class id alone
        QCOMPARE(frames[2], TestFrame(9).str("hello").bytes(QByteArray(300, 'x')).body());
        QVERIFY(!cutter.inFrame());
    }

    void everySplitYieldsTheSameFrames_data()
    {
        QTest::addColumn<int>("cut");
        const int total = int(threeFrames().size());
        for (int cut = 1; cut < total; cut += (cut < 20 ? 1 : 37))
            QTest::addRow("cut at %d", cut) << cut;
    }

    void everySplitYieldsTheSameFrames()
    {
        // Two chunks at every early position (the length word itself split),
        // then the rest: the frames and their order never change.
        QFETCH(int, cut);
        const QByteArray all = threeFrames();
        ChunkDevice device;
        FrameCutter cutter;
        device.feed(all.left(cut));
        QList<QByteArray> frames = cutAll(cutter, device);
        device.feed(all.mid(cut));
        frames += cutAll(cutter, device);
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames[1], QByteArray(1, char(42)));
        QVERIFY(!cutter.inFrame());
    }

    void byteByByte()
    {
        const QByteArray all = threeFrames();
        ChunkDevice device;
        FrameCutter cutter;
        QList<QByteArray> frames;
        for (char c : all) {
            device.feed(QByteArray(1, c));
            frames += cutAll(cutter, device);
        }
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames[2].size(), 1 + 2 + 5 + 4 + 300);
    }

    void waitsForTheRestOfABody()
    {
        const QByteArray frame = TestFrame(7).u32(99).toBytes();
        ChunkDevice device;
        FrameCutter cutter;
        device.feed(frame.left(6));
        QVERIFY(!cutter.next(device));
        QCOMPARE(cutter.pendingBodyLength(), 3u); // the two bytes there are read as they come
        device.feed(frame.mid(6));
        QVERIFY(cutter.next(device));
        QVERIFY(!cutter.next(device));
    }

    void badLengthWords_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << QByteArray::fromHex("00000000") << "invalid frame length 0: a frame has at least 5 bytes";
        QTest::newRow("4") << QByteArray::fromHex("00000004") << "invalid frame length 4: a frame has at least 5 bytes";
        QTest::newRow("16 MiB + 1") << QByteArray::fromHex("01000001")
                                    << "invalid frame length 16777217: larger than the limit of 16777216 bytes";
        QTest::newRow("top bit") << QByteArray::fromHex("FFFFFFFF")
                                 << "invalid frame length 4294967295: larger than the limit of 16777216 bytes";
    }

    void badLengthWords()
    {
        QFETCH(QByteArray, word);
        QFETCH(QString, text);
        ChunkDevice device;
        device.feed(TestFrame(7).u32(1).toBytes() + word + QByteArray(16, '\0'));
        FrameCutter cutter;
        QVERIFY(cutter.next(device)); // the good frame before it still comes out
        try {
            cutter.next(device);
            QFAIL("no server_error");
        } catch (const server_error& e) {
            QCOMPARE(QString::fromStdString(e.what()), text);
        }
    }

    void largestFrameIsAccepted()
    {
        // A frame of exactly the limit is legal; nothing is allocated before
        // the body's bytes come.
        QByteArray word = QByteArray::fromHex("01000000");
        ChunkDevice device;
        device.feed(word);
        FrameCutter cutter;
        QVERIFY(!cutter.next(device));
        QCOMPARE(cutter.pendingBodyLength(), 16u * 1024 * 1024 - 4);
        device.feed(QByteArray(16 * 1024 * 1024 - 4, '\x05'));
        const message_ptr m = cutter.next(device);
        QVERIFY(m);
        QCOMPARE(m->size(), size_t(16 * 1024 * 1024 - 4));
    }

    void readsEachByteOnce()
    {
        // Linear cutting: the device is read exactly once over, however many
        // frames the buffer holds.
        QByteArray all;
        for (int i = 0; i < 10000; ++i)
            all += TestFrame(7).u32(quint32(i)).toBytes();
        ChunkDevice device;
        device.feed(all);
        FrameCutter cutter;
        int n = 0;
        while (message_ptr m = cutter.next(device)) {
            QCOMPARE(m->size(), size_t(5));
            ++n;
        }
        QCOMPARE(n, 10000);
        QCOMPARE(device.consumed(), qint64(all.size()));
    }
};

QTEST_GUILESS_MAIN(tst_frame_cutter)
#include "tst_frame_cutter.moc"
