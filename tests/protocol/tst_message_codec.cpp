#include "message_reader.h"
#include "message_writer.h"
#include "server_error.h"

#include <QTest>

class tst_message_codec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionRequestReferenceBytes()
    {
        message_writer w(0);
        w.put_u32(101);
        w.put_u32(4);
        w.put_u32(6523);
        const std::vector<unsigned char> expected{0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0x65,
                                                  0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x19, 0x7B};
        QCOMPARE(w.finish(), expected);
    }

    void emptyFrameIsFiveBytes()
    {
        message_writer w(42);
        const std::vector<unsigned char> expected{0, 0, 0, 5, 42};
        QCOMPARE(w.finish(), expected);
    }

    void fieldBytesOnTheWire()
    {
        // Empty string 00 00, empty byte vector 00 00 00 00, counts and
        // integers most significant byte first.
        message_writer w(3);
        w.put_string("");
        w.put_bytes({});
        w.put_string("ab");
        w.put_bytes({0xC0});
        w.put_u16(0x1234);
        w.put_u64(0x0102030405060708ull);
        const std::vector<unsigned char> expected{0x00, 0x00, 0x00, 0x1E, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                  0x00, 0x02, 'a',  'b',  0x00, 0x00, 0x00, 0x01, 0xC0, 0x12, 0x34,
                                                  0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
        QCOMPARE(w.finish(), expected);

        message_reader r(message_t(expected.begin() + 4, expected.end()));
        QCOMPARE(r.get_string(), std::string());
        QVERIFY(r.get_bytes().empty());
        QCOMPARE(r.get_string(), std::string("ab"));
        QCOMPARE(r.get_bytes(), (std::vector<unsigned char>{0xC0}));
        QCOMPARE(r.get_u16(), std::uint16_t(0x1234));
        QCOMPARE(r.get_u64(), 0x0102030405060708ull);
        QVERIFY(r.at_end());
    }

    void roundTripKeepsTopBits()
    {
        message_writer w(7);
        w.put_u8(0xFF);
        w.put_u16(0xFFFF);
        w.put_u32(0xFFFFFFFFu);
        w.put_i32(-1);
        w.put_u64(0x8000000000000001ull);
        w.put_string("");
        w.put_string("h\xC3\xA9llo");
        w.put_bytes({});
        w.put_bytes({1, 2, 3});
        auto frame = w.finish();

        message_reader r(message_t(frame.begin() + 4, frame.end()));
        QCOMPARE(r.class_id(), std::uint8_t(7));
        QCOMPARE(r.get_u8(), std::uint8_t(0xFF));
        QCOMPARE(r.get_u16(), std::uint16_t(0xFFFF));
        QCOMPARE(r.get_u32(), 0xFFFFFFFFu);
        QCOMPARE(r.get_i32(), -1);
        QCOMPARE(r.get_u64(), 0x8000000000000001ull);
        QCOMPARE(r.get_string(), std::string());
        QCOMPARE(r.get_string(), std::string("h\xC3\xA9llo"));
        QVERIFY(r.get_bytes().empty());
        QCOMPARE(r.get_bytes(), (std::vector<unsigned char>{1, 2, 3}));
        QVERIFY(r.at_end());
    }

    void nestedFrameKeepsBothLengthWords()
    {
        message_writer inner(9);
        inner.put_u32(5);
        message_writer outer(100);
        outer.put_bytes(inner.finish());
        auto frame = outer.finish();
        // outer header 5 + count 4 + inner frame 9
        QCOMPARE(frame.size(), std::size_t(18));
        QCOMPARE(frame[3], (unsigned char)18);
        QCOMPARE(frame[12], (unsigned char)9);

        message_reader r(message_t(frame.begin() + 4, frame.end()));
        message_reader in(r.get_nested());
        QCOMPARE(in.class_id(), std::uint8_t(9));
        QCOMPARE(in.get_u32(), 5u);
    }

    void readsPastTheEndThrow()
    {
        message_reader r(message_t{3, 0, 1});
        QCOMPARE(r.get_u16(), std::uint16_t(1));
        QVERIFY_THROWS_EXCEPTION(server_error, r.get_u8());

        message_reader s(message_t{3, 0, 9, 'a'});
        QVERIFY_THROWS_EXCEPTION(server_error, s.get_string());

        // A byte vector that claims 4 GiB must not allocate.
        message_reader b(message_t{3, 0xFF, 0xFF, 0xFF, 0xFF, 1});
        QVERIFY_THROWS_EXCEPTION(server_error, b.get_bytes());

        QVERIFY_THROWS_EXCEPTION(server_error, message_reader(message_t{}));
    }

    void lyingCountsAreRefused()
    {
        message_reader r(message_t{3, 1, 2, 3, 4});
        QCOMPARE(r.checked_count(2, 2), 2u);
        QVERIFY_THROWS_EXCEPTION(server_error, r.checked_count(3, 2));
        QVERIFY_THROWS_EXCEPTION(server_error, r.checked_count(0x7FFFFFFF, 1));
    }

    void badNestedFramesAreRefused()
    {
        // Inner length word 9 inside a vector of 6 bytes.
        message_reader r(message_t{100, 0, 0, 0, 6, 0, 0, 0, 9, 7, 1});
        try {
            r.get_nested();
            QFAIL("no server_error");
        } catch (const server_error& e) {
            QCOMPARE(std::string(e.what()), std::string("nested frame length 9 does not match its envelope (6 bytes)"));
        }
        // A nested vector too short to hold a frame header.
        message_reader s(message_t{100, 0, 0, 0, 3, 0, 0, 3});
        QVERIFY_THROWS_EXCEPTION(server_error, s.get_nested());
    }

    void errorTextNamesTheField()
    {
        message_reader r(message_t{7, 0, 0});
        try {
            r.get_u32();
            QFAIL("no server_error");
        } catch (const server_error& e) {
            QCOMPARE(std::string(e.what()), std::string("message of class 7 ends early: u32 needs 4 bytes at offset 1, 2 left"));
        }
    }

    void sharedFrameIsReadInPlace()
    {
        const auto frame = std::make_shared<const message_t>(message_t{5, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 1});
        message_reader r(frame);
        QCOMPARE(r.get_i32(), -1);
        QCOMPARE(r.get_i64(), std::int64_t(0x8000000000000001ull));
        QVERIFY(r.at_end());
        QCOMPARE(frame.use_count(), 2); // the reader shares the frame instead of copying it
    }

    void trailingBytesAreIgnored()
    {
        message_reader r(message_t{3, 0, 0, 0, 1, 0xAA, 0xBB});
        QCOMPARE(r.get_u32(), 1u);
        QCOMPARE(r.remaining(), std::size_t(2));
    }
};

QTEST_APPLESS_MAIN(tst_message_codec)
#include "tst_message_codec.moc"
