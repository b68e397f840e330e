// The test server's own codec: it must produce the reference bytes by
// itself, since the client's codec is checked against it.

#include "TestFrame.h"

#include <QTest>

class tst_test_frame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionRequestReferenceBytes()
    {
        QCOMPARE(TestFrame(0).u32(101).u32(4).u32(6523).toBytes(),
                 QByteArray::fromHex("00000011" "00" "00000065" "00000004" "0000197B"));
    }

    void fieldEncodings()
    {
        const QByteArray frame = TestFrame(9).u8(0xFF).u16(0x1234).i32(-1).u64(0x0102030405060708ull).str("").str("ab")
                                     .bytes("").bytes("xyz").toBytes();
        QCOMPARE(frame, QByteArray::fromHex("00000025" "09" "FF" "1234" "FFFFFFFF" "0102030405060708" "0000" "0002"
                                            "6162" "00000000" "00000003" "78797A"));
    }

    void nestedFrameKeepsItsLengthWord()
    {
        const TestFrame inner = TestFrame(56).u8(5);
        const QByteArray outer = TestFrame(100).u32(7).u32(8).nested(inner).toBytes();
        QCOMPARE(outer, QByteArray::fromHex("00000017" "64" "00000007" "00000008" "00000006" "0000000638" "05"));
        TestFrameReader r(outer.mid(4));
        QCOMPARE(r.classId(), quint8(100));
        QCOMPARE(r.u32(), 7u);
        QCOMPARE(r.u32(), 8u);
        TestFrameReader in = r.nested();
        QVERIFY(r.ok());
        QCOMPARE(in.classId(), quint8(56));
        QCOMPARE(in.u8(), quint8(5));
        QVERIFY(in.atEnd());
    }

    void readingPastTheEndIsFlagged()
    {
        TestFrameReader r(QByteArray::fromHex("07" "0000"));
        QCOMPARE(r.u32(), 0u);
        QVERIFY(!r.ok());
        TestFrameReader s(QByteArray::fromHex("07" "0005" "6162"));
        QVERIFY(s.str().isEmpty());
        QVERIFY(!s.ok());
    }
};

QTEST_GUILESS_MAIN(tst_test_frame)
#include "tst_test_frame.moc"
