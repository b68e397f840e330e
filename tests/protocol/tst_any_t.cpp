// The typed-value union: tags, value semantics, and hostile input (endless
// nesting, lying counts, unknown tags, bad tiles) in the union's reader.

#include "any_t.h"
#include "game_test_frames.h"
#include "message_reader.h"
#include "server_error.h"
#include "wire_codec.h"

#include <QTest>

#include <functional>
#include <stdexcept>

namespace {

message_reader readerOf(const TestFrame& f)
{
    const QByteArray body = f.body();
    return message_reader(message_t(body.begin(), body.end()));
}

any_t readOne(const TestFrame& f)
{
    message_reader r = readerOf(f);
    game_wire::decode_context ctx;
    return any_t::read(r, ctx);
}

QString errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    }
    return QStringLiteral("<none>");
}

} // namespace

class tst_any_t : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyByDefault()
    {
        any_t v;
        QCOMPARE(v.tag(), -1);
        QVERIFY(v.empty());
        QVERIFY(v.get_if<1>() == nullptr);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, v.get<1>());
    }

    void assignSameTagInPlaceOtherTagReplaces()
    {
        any_t v;
        v.set<1>(std::string("first"));
        const std::string* held = v.get_if<1>();
        v.set<1>(std::string("second"));
        QCOMPARE(v.tag(), 1);
        QVERIFY(v.get_if<1>() == held); // same object, assigned in place
        QCOMPARE(v.get<1>(), std::string("second"));

        v.set<2>(7u);
        QCOMPARE(v.tag(), 2);
        QCOMPARE(v.get<2>(), 7u);
        QVERIFY(v.get_if<1>() == nullptr);

        // Tags 3 and 4 share their shape but stay apart.
        v.set<3>(5u);
        QVERIFY(v.get_if<4>() == nullptr);
        QCOMPARE(v.get<3>(), 5ull);
    }

    void copiesAreIndependent()
    {
        any_t a;
        any_error e;
        e.code = 3;
        any_t inner;
        inner.set<22>(std::string("x"));
        e.params.push_back(inner);
        a.set<72>(e);

        any_t b = a;
        QVERIFY(a == b);
        any_error changed = b.get<72>();
        changed.params.at(0).set<22>(std::string("y"));
        b.set<72>(changed);
        QCOMPARE(a.get<72>().params.at(0).get<22>(), std::string("x"));
        QCOMPARE(b.get<72>().params.at(0).get<22>(), std::string("y"));
        QVERIFY(!(a == b));
    }

    void readsSimpleTags()
    {
        QCOMPARE(readOne(TestFrame(0).u8(1).str("hello")).get<1>(), std::string("hello"));
        QCOMPARE(readOne(TestFrame(0).u8(2).u32(0xFFFFFFFFu)).get<2>(), 0xFFFFFFFFu);
        QCOMPARE(readOne(TestFrame(0).u8(4).u64(0x0102030405060708ull)).get<4>(), 0x0102030405060708ull);
        QCOMPARE(readOne(TestFrame(0).u8(23)).tag(), 23); // no fields
        const auto span = readOne(TestFrame(0).u8(41).u64(1500).u64(3000)).get<41>();
        QCOMPARE(span.start, qint64(1500));
        QCOMPARE(span.end, qint64(3000));
        const auto [cls, text] = readOne(TestFrame(0).u8(78).u8(3).str("http://x/")).get<78>();
        QCOMPARE(int(cls), 3);
        QCOMPARE(text, std::string("http://x/"));
    }

    void readsRecords()
    {
        TestFrame meldFrame(0);
        meldFrame.u8(11);
        gtf::meldRecord(meldFrame, 2, 2, 27, 42, 0xFF);
        const meld_tuple m = readOne(meldFrame).get<11>();
        QCOMPARE(m.type, game_protocol::meld_type::KONG); // wire 2 is a kong
        QCOMPARE(m.visibility, game_protocol::meld_visibility::VISIBILITY_2);
        QCOMPARE(m.meld_tile.code(), quint8(27));
        QCOMPARE(m.extra, 42);

        TestFrame playerFrame(0);
        playerFrame.u8(12);
        gtf::PlayerRecord p;
        p.pid = 9;
        p.discards = {1, 2, 3};
        p.riichiIndex = 1;
        p.wind = 3;
        gtf::playerRecord(playerFrame, p);
        const PlayerData player = readOne(playerFrame).get<12>();
        QCOMPARE(player.id(), 9);
        QCOMPARE(player.riichiDiscardIndex(), 1);
        QCOMPARE(player.wind(), game_protocol::wind::NORTH);
        QCOMPARE(player.discards().size(), std::size_t(3));

        const meld_offer o = readOne(TestFrame(0).u8(14).u8(6).u8(5)).get<14>();
        QCOMPARE(o.type, game_protocol::meld_type::RIICHI);
    }

    void readsNestedErrorList()
    {
        // Tag 5: code 1 and three parameters, one of them an error again.
        TestFrame f(0);
        f.u8(5).u8(1).u32(3);
        f.u8(1).str("name");
        f.u8(2).u32(77);
        f.u8(72).u8(4).u32(1).u8(23);
        const any_t v = readOne(f);
        const any_error& e = v.get<5>();
        QCOMPARE(int(e.code), 1);
        QCOMPARE(e.params.size(), std::size_t(3));
        QCOMPARE(e.params[0].get<1>(), std::string("name"));
        QCOMPARE(e.params[1].get<2>(), 77u);
        QCOMPARE(int(e.params[2].get<72>().code), 4);
        QCOMPARE(e.params[2].get<72>().params.at(0).tag(), 23);
    }

    void unknownTags()
    {
        QCOMPARE(errorOf([] { readOne(TestFrame(0).u8(0)); }), QStringLiteral("unknown class-id for any_t"));
        QCOMPARE(errorOf([] { readOne(TestFrame(0).u8(79)); }), QStringLiteral("unknown class-id for any_t"));
        QCOMPARE(errorOf([] { readOne(TestFrame(0).u8(255)); }), QStringLiteral("unknown class-id for any_t"));
    }

    void endlessNestingIsRefused()
    {
        // Every level an error whose one parameter is an error again, far
        // deeper than any server sends.
        TestFrame f(0);
        for (int i = 0; i < 200; ++i)
            f.u8(5).u8(0).u32(1);
        f.u8(23);
        const QString error = errorOf([&] { readOne(f); });
        QVERIFY2(error.contains(QStringLiteral("nested deeper")), qPrintable(error));
    }

    void countLargerThanBytesIsRefusedWithoutAllocating()
    {
        TestFrame f(0);
        f.u8(72).u8(0).u32(0xFFFFFFF0u).u8(23).u8(23);
        const QString error = errorOf([&] { readOne(f); });
        QVERIFY2(error.contains(QStringLiteral("announces")), qPrintable(error));

        // The same for a tile vector inside a game packet shape.
        TestFrame t(0);
        t.u8(24).u32(0x7FFFFFFFu).u8(1);
        QVERIFY(errorOf([&] { readOne(t); }).contains(QStringLiteral("announces")));
    }

    void manySmallValuesHitTheBudget()
    {
        // A list of 5000 empty unions fits the bytes but not the per-message budget.
        TestFrame f(0);
        f.u8(72).u8(0).u32(5000);
        for (int i = 0; i < 5000; ++i)
            f.u8(23);
        QVERIFY(errorOf([&] { readOne(f); }).contains(QStringLiteral("typed values")));
    }

    void badValuesInsideRecords()
    {
        QCOMPARE(errorOf([] { readOne(TestFrame(0).u8(33).u8(42).u32(1)); }), QStringLiteral("illegal tile value 42"));
        QCOMPARE(errorOf([] { readOne(TestFrame(0).u8(14).u8(9).u8(1)); }), QStringLiteral("illegal meld value 9"));
        TestFrame meldFrame(0);
        meldFrame.u8(11);
        gtf::meldRecord(meldFrame, 1, 3, 4, 0, 0xFF);
        QCOMPARE(errorOf([&] { readOne(meldFrame); }), QStringLiteral("illegal visibility 3"));
        // A frame that ends inside a value.
        QVERIFY(errorOf([] { readOne(TestFrame(0).u8(27).u32(1).u64(5)); }).contains(QStringLiteral("ends early")));
    }

    void everyKnownTagDecodesFromEnoughZeros()
    {
        // Zero bytes are a valid value for every tag except those whose
        // converters refuse 0; none may crash or read past the end.
        for (int tag = any_t::firstTag; tag <= any_t::lastTag; ++tag) {
            TestFrame f(0);
            f.u8(quint8(tag));
            f.raw(QByteArray(256, '\0'));
            const QString error = errorOf([&] { QCOMPARE(readOne(f).tag(), tag); });
            QVERIFY2(error == QStringLiteral("<none>") || error.startsWith(QStringLiteral("Server error in score"))
                         || error.startsWith(QStringLiteral("illegal")),
                     qPrintable(QString::number(tag) + QStringLiteral(": ") + error));
        }
    }
};

QTEST_GUILESS_MAIN(tst_any_t)
#include "tst_any_t.moc"
