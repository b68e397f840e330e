// Cutting the server's bytes into elements: a recorded-style stream split at
// every byte, header checks, restricted XML, size and depth caps.
#include "Exceptions.h"
#include "IqBind.h"
#include "IqDisco.h"
#include "IqRoster.h"
#include "MessageStanza.h"
#include "PresenceStanza.h"
#include "StreamElement.h"
#include "StreamParser.h"

#include <QFile>
#include <QtTest>

using namespace xmpp;

namespace {

const QByteArray Header = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                          "xmlns:stream='http://etherx.jabber.org/streams' from='example.net' version='1.0'>";

QByteArray transcript()
{
    QFile f(QStringLiteral(PARLOR_SOURCE_DIR "/tests/xmpp/data/server-stream.xml"));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

/// Feeds the chunks one after the other and lists what each step produced:
/// element kinds, -1 for the end of the stream, -2 for a stanza dropped.
QList<int> run(StreamParser& parser, const QList<QByteArray>& chunks, std::vector<std::unique_ptr<StreamElement>>* kept = nullptr)
{
    QList<int> kinds;
    for (const QByteArray& chunk : chunks) {
        if (kinds.contains(-1))
            break;
        parser.addData(chunk);
        for (int steps = 0; steps < 100000; ++steps) {
            int r = 0;
            try {
                r = parser.parse();
            } catch (const stanza_error&) {
                kinds << -2;
                continue;
            }
            if (r == StreamParser::NeedMoreData)
                break;
            if (r == StreamParser::EndOfStream) {
                kinds << -1;
                break;
            }
            kinds << parser.element()->type();
            if (kept)
                kept->push_back(parser.takeElement());
        }
    }
    return kinds;
}

int failureCode(const QByteArray& bytes, QString* text = nullptr)
{
    StreamParser parser;
    try {
        run(parser, {bytes});
    } catch (const stream_error& e) {
        if (text)
            *text = e.text();
        return e.code();
    }
    return -1;
}

} // namespace

class TestStreamParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void transcriptSplitAtEveryByte();
    void transcriptContents();
    void headerChecks_data();
    void headerChecks();
    void refusedStreams_data();
    void refusedStreams();
    void elementCaps_data();
    void elementCaps();
    void markupThatNeverEnds();
    void whitespaceInsideTextKept();
    void resetDropsUnreadInput();
    void streamLanguage_data();
    void streamLanguage();
    void readingGoesOnAfterStanzaError_data();
    void readingGoesOnAfterStanzaError();
};

void TestStreamParser::transcriptSplitAtEveryByte()
{
    const QByteArray bytes = transcript();
    QVERIFY(!bytes.isEmpty());
    const QList<int> expected{KindStreamFeatures, KindIqBind,         KindIq,  KindIqRoster, KindPresenceStanza,
                              KindIqDiscoItems,   KindPresenceStanza, KindMessageStanza, KindIq, KindMessageStanza, -1};
    StreamParser whole;
    QCOMPARE(run(whole, {bytes}), expected);
    for (int i = 1; i < bytes.size(); ++i) {
        StreamParser parser;
        const QList<int> kinds = run(parser, {bytes.left(i), bytes.mid(i)});
        if (kinds != expected)
            QFAIL(qPrintable(QStringLiteral("split at byte %1 went wrong").arg(i)));
    }
    // And one byte at a time.
    QList<QByteArray> single;
    for (char c : bytes)
        single << QByteArray(1, c);
    StreamParser parser;
    QCOMPARE(run(parser, single), expected);
}

void TestStreamParser::transcriptContents()
{
    StreamParser parser;
    std::vector<std::unique_ptr<StreamElement>> elements;
    run(parser, {transcript()}, &elements);
    QCOMPARE(int(elements.size()), 10);
    QCOMPARE(parser.streamDomain().toString(), QStringLiteral("example.net"));
    // The language servers send as "xml:lang".
    QCOMPARE(parser.streamLanguage(), QStringLiteral("en"));

    const auto& bind = static_cast<const IqBind&>(*elements[1]);
    QCOMPARE(bind.jid.toString(), QStringLiteral("1042@example.net/a1b2c3"));
    QCOMPARE(bind.jid.resource(), QStringLiteral("a1b2c3"));
    const auto& roster = static_cast<const IqRoster&>(*elements[3]);
    QCOMPARE(int(roster.items().size()), 2);
    QCOMPARE(roster.items()[0].name, QStringLiteral("Tomoko"));
    QCOMPARE(roster.items()[0].group, QStringLiteral("Friends"));
    QCOMPARE(roster.items()[1].subscription, int(IqRoster::Item::Ask));
    const auto& presence = static_cast<const PresenceStanza&>(*elements[4]);
    QCOMPARE(presence.statuses.value(QStringLiteral("UND")), QStringLiteral("back at 9 & later"));
    QCOMPARE(presence.photoHash.toHex(), QByteArray("01b87fcd030b72895ff8e88db57ec525450f000d"));
    QCOMPARE(presence.language, QStringLiteral("en"));
    const auto& room = static_cast<const PresenceStanza&>(*elements[6]);
    QVERIFY(room.mucUser);
    QCOMPARE(room.mucUserInfo.statusCodes, QList<int>{110});
    const auto& line = static_cast<const MessageStanza&>(*elements[7]);
    QCOMPARE(line.bodies.value(QStringLiteral("UND")), QStringLiteral("  two leading spaces, 東 and 🀄"));
    QVERIFY(line.delay.has_value());
    QCOMPARE(line.delay->stamp, QDateTime(QDate(2026, 12, 7), QTime(8, 15, 30, 123), Qt::UTC));
    const auto& cdata = static_cast<const MessageStanza&>(*elements[9]);
    QCOMPARE(cdata.bodies.value(QStringLiteral("UND")), QStringLiteral("a <b> c"));
}

void TestStreamParser::headerChecks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("version 0.9") << QByteArray("<stream:stream xmlns:stream='http://etherx.jabber.org/streams' version='0.9'>")
                                 << 22 << QStringLiteral("unsupported version: 0.9");
    QTest::newRow("no version") << QByteArray("<stream:stream xmlns:stream='http://etherx.jabber.org/streams'>") << 22
                                << QStringLiteral("unsupported version: ");
    QTest::newRow("foo") << QByteArray("<foo version='1.0'>") << 0 << QStringLiteral("invalid stream start tag: foo");
    QTest::newRow("stream in client namespace") << QByteArray("<stream xmlns='jabber:client' version='1.0'>") << 0
                                                << QStringLiteral("invalid stream start tag: stream");
    QTest::newRow("domain too long") << QByteArray("<stream:stream xmlns:stream='http://etherx.jabber.org/streams' version='1.0' from='")
                                            + QByteArray(1024, 'd') + "'>"
                                     << 0 << QStringLiteral("stream domain too long");
}

void TestStreamParser::headerChecks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QFETCH(QString, text);
    QString got;
    QCOMPARE(failureCode(bytes, &got), code);
    QCOMPARE(got, text);
}

void TestStreamParser::refusedStreams_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::newRow("comment") << Header + "<!-- hi -->" << 16;
    QTest::newRow("processing instruction") << Header + "<?foo bar?>" << 16;
    QTest::newRow("dtd") << QByteArray("<?xml version='1.0'?><!DOCTYPE x [<!ENTITY a 'aaaa'>]>") + Header << 16;
    QTest::newRow("unknown namespace") << Header + "<foo xmlns='urn:x'/>" << 21;
    QTest::newRow("features in client namespace") << Header + "<features/>" << 21;
}

void TestStreamParser::refusedStreams()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QCOMPARE(failureCode(bytes), code);
}

void TestStreamParser::elementCaps_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<bool>("kept");
    const qsizetype cap = StreamParser::MaxElementSize;
    const auto nested = [](int depth, const QByteArray& inner) { return inner.repeated(depth - 1) + QByteArray("</x>").repeated(depth - 1); };
    QTest::newRow("just under the size cap") << "<message><body>" + QByteArray(cap - 100, 'a') + "</body></message>" << true;
    QTest::newRow("over the size cap") << "<message><body>" + QByteArray(cap + 10, 'a') + "</body></message>" << false;
    // What a server re-escapes grows on the way: 200,000 quotes are 1.2 MB.
    QTest::newRow("over the size cap, escaped") << "<message>" + QByteArray("&quot;").repeated(200000) + "</message>" << false;
    QTest::newRow("over the size cap in a start tag") << "<message a='" + QByteArray(cap + 10, 'a') + "'/>" << false;
    QTest::newRow("at the depth cap") << "<message>" + nested(StreamParser::MaxElementDepth, "<x>") + "</message>" << true;
    // Markup inside values and CDATA must not throw the count of levels off.
    QTest::newRow("past the depth cap, markup in values")
        << "<presence>" + nested(10000, "<x a='</x>' b=\"<y>\"><![CDATA[</x><z>]]><e/>") + "</presence>" << false;
    // The reader checks the attributes of a tag against each other, and
    // each tag costs it far more than its bytes.
    const auto attributes = [](int count, const char* name) {
        QByteArray tag = "<x";
        for (int i = 0; i < count; ++i)
            tag += " " + QByteArray(name) + QByteArray::number(i) + "='urn:a'";
        return "<message>" + tag + "/></message>";
    };
    QTest::newRow("at the attribute cap") << attributes(StreamParser::MaxAttributes, "a") << true;
    QTest::newRow("past the attribute cap") << attributes(StreamParser::MaxAttributes + 1, "a") << false;
    QTest::newRow("namespace declarations past the cap") << attributes(StreamParser::MaxAttributes + 1, "xmlns:n") << false;
    const qsizetype parts = cap / 32;
    QTest::newRow("children at the cap") << "<message>" + QByteArray("<a/>").repeated(parts) + "</message>" << true;
    QTest::newRow("children past the cap") << "<message>" + QByteArray("<a/>").repeated(parts + 1) + "</message>" << false;
    // Only the own roster, answered by the own account, may be larger.
    const QByteArray roster = "><query xmlns='jabber:iq:roster'>"
                              + ("<item jid='f@example.net' name='" + QByteArray(1000, 'n') + "'/>").repeated(1100)
                              + "</query></iq>";
    QTest::newRow("own roster over the size cap") << "<iq type='result' id='big'" + roster << true;
    QTest::newRow("own roster from the own bare JID") << "<iq from='Me@example.net' type='result' id='big'" + roster << true;
    QTest::newRow("roster from someone else") << "<iq from='eve@example.net' type='result' id='big'" + roster << false;
    QTest::newRow("roster of another id") << "<iq type='result' id='bog'" + roster << false;
    QTest::newRow("room list from the room service") << "<iq type='result' id='rooms' from='rooms.example.net'" + roster << true;
    // Whatever the reader refuses inside one element costs that element.
    QTest::newRow("comment inside a stanza") << QByteArray("<message><body>a<!-- x --></body></message>") << false;
    QTest::newRow("mismatched end tag") << QByteArray("<message></presence>") << false;
    QTest::newRow("undeclared entity") << QByteArray("<message><body>&foo;</body></message>") << false;
    QTest::newRow("empty element past the depth cap") << "<message>" + nested(StreamParser::MaxElementDepth, "<x>").replace("<x></x>", "<x><y/></x>") + "</message>" << false;
    QTest::newRow("namespace declarations in scope past the cap")
        << "<message>" + nested(StreamParser::MaxNamespaces + 2, "<x xmlns:p='urn:p'>") + "</message>" << false;
    QTest::newRow("start tag of 8.4 MB, escaped") << "<message a='" + QByteArray("&quot;").repeated(1400000) + "'/>" << false;
    QTest::newRow("own roster of 150,000 friends")
        << "<iq type='result' id='big'><query xmlns='jabber:iq:roster'>"
               + QByteArray("<item jid='f@e' subscription='both'><group>G</group></item>").repeated(150000) + "</query></iq>" << true;
}

void TestStreamParser::elementCaps()
{
    // An element over a cap is dropped by itself, whole or arriving in
    // socket-sized batches; the stanza after it is read.
    QFETCH(QByteArray, element);
    QFETCH(bool, kept);
    const QByteArray bytes = Header + element + "<presence/></stream:stream>";
    for (const qsizetype batch : {bytes.size(), qsizetype(4093)}) {
        QList<QByteArray> batches;
        for (qsizetype pos = 0; pos < bytes.size(); pos += batch)
            batches << bytes.mid(pos, batch);
        StreamParser parser;
        parser.allowLargerAnswer(QStringLiteral("big"), {QString(), QStringLiteral("me@example.net")});
        parser.allowLargerAnswer(QStringLiteral("rooms"), {QStringLiteral("rooms.example.net")});
        const QList<int> kinds = run(parser, batches);
        QCOMPARE(kinds.mid(1), (QList<int>{KindPresenceStanza, -1}));
        QCOMPARE(kinds.first() == -2, !kept);
    }
    // A large element is read in parts, as the time given allows.
    StreamParser parts;
    parts.allowLargerAnswer(QStringLiteral("big"), {QString(), QStringLiteral("me@example.net")});
    parts.allowLargerAnswer(QStringLiteral("rooms"), {QStringLiteral("rooms.example.net")});
    parts.addData(Header + element);
    if (kept && element.size() > 100000)
        QCOMPARE(parts.parse(QDeadlineTimer(0)), int(StreamParser::Paused));
}

void TestStreamParser::markupThatNeverEnds()
{
    // A start tag past the size cap holds nothing; one longer than any a
    // server relays never ends, and the stream cannot be read on.
    StreamParser endless;
    QList<QByteArray> batches{Header + "<message a='"};
    for (int i = 0; i < 20; ++i)
        batches << QByteArray(64 * 1024, 'a');
    QCOMPARE(run(endless, batches), QList<int>{-2});
    try {
        run(endless, {QByteArray(StreamParser::MaxMarkupSize, 'a')});
        QFAIL("a start tag that never ends was taken");
    } catch (const stream_error& e) {
        QCOMPARE(e.code(), 13);
    }

    // Many elements of a long session never add up to the cap.
    QByteArray many = Header;
    for (int i = 0; i < 2000; ++i)
        many += "<message><body>" + QByteArray(1000, 'b') + "</body></message>";
    StreamParser longSession;
    QCOMPARE(run(longSession, {many}).size(), 2000);
}

void TestStreamParser::whitespaceInsideTextKept()
{
    StreamParser parser;
    std::vector<std::unique_ptr<StreamElement>> elements;
    // The body arrives as a lone space in one batch: it is still the body.
    run(parser, {Header + " \n<message><body>", " ", "</body><subject>\n</subject></message> "}, &elements);
    QCOMPARE(int(elements.size()), 1);
    const auto& m = static_cast<const MessageStanza&>(*elements[0]);
    QCOMPARE(m.bodies.value(QStringLiteral("UND")), QStringLiteral(" "));
    QCOMPARE(m.subjects.value(QStringLiteral("UND")), QStringLiteral("\n"));
}

void TestStreamParser::resetDropsUnreadInput()
{
    StreamParser parser;
    parser.addData(Header + "<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/><message><body>stale");
    QCOMPARE(parser.parse(), int(StreamParser::ElementReady));
    QCOMPARE(parser.element()->type(), int(KindSASLSuccess));
    parser.reset();
    QVERIFY(!parser.element());
    QCOMPARE(run(parser, {Header + "<message><body>fresh</body></message>"}), QList<int>{KindMessageStanza});
}

void TestStreamParser::streamLanguage_data()
{
    QTest::addColumn<QByteArray>("attributes");
    QTest::addColumn<QString>("language");
    QTest::newRow("xml:lang") << QByteArray("xml:lang='de'") << QStringLiteral("de");
    QTest::newRow("bare lang") << QByteArray("lang='fr'") << QStringLiteral("fr");
    QTest::newRow("xml:lang before bare lang") << QByteArray("lang='fr' xml:lang='ja'") << QStringLiteral("ja");
    QTest::newRow("none") << QByteArray() << QString();
}

void TestStreamParser::streamLanguage()
{
    QFETCH(QByteArray, attributes);
    QFETCH(QString, language);
    StreamParser parser;
    parser.addData("<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' version='1.0' "
                   + attributes + ">");
    QCOMPARE(parser.parse(), int(StreamParser::NeedMoreData));
    QCOMPARE(parser.streamLanguage(), language);
    parser.reset();
    QCOMPARE(parser.streamLanguage(), QString());
}

void TestStreamParser::readingGoesOnAfterStanzaError_data()
{
    QTest::addColumn<QByteArray>("faulty");
    QTest::addColumn<QString>("id");
    QTest::newRow("search answer of the wrong form")
        << QByteArray("<iq type='result' id='9'><query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='cancel'/>"
                      "</query></iq>")
        << QStringLiteral("9");
    // The id travels with the error, so the request it answers can fail.
    QTest::newRow("answer from an over-long JID")
        << QByteArray("<iq type='result' id='12' from='" + QByteArray(1100, 'd') + "'/>") << QStringLiteral("12");
    QTest::newRow("form with an over-long JID value")
        << QByteArray("<iq type='result' id='13'><query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='form'>"
                      "<field var='j' type='jid-single'><value>" + QByteArray(1100, 'n') + "@d</value></field>"
                      "</x></query></iq>")
        << QStringLiteral("13");
    // Dropped unread by a cap: the id still fails the request.
    QTest::newRow("answer over the size cap")
        << "<iq type='result' id='14'><query xmlns='jabber:iq:search'>" + QByteArray(1100 * 1024, 'x') + "</query></iq>"
        << QStringLiteral("14");
    QTest::newRow("answer with too many descendants")
        << "<iq id='&#49;5' type='result'><query xmlns='jabber:iq:roster'>" + QByteArray("<a/>").repeated(40000)
               + "</query></iq>"
        << QStringLiteral("15");
    QTest::newRow("answer with a name the reader refuses")
        << "<iq type='result' id='16'><query xmlns='jabber:iq:search'><" + QByteArray(5000, 'n') + "/></query></iq>"
        << QStringLiteral("16");
}

void TestStreamParser::readingGoesOnAfterStanzaError()
{
    QFETCH(QByteArray, faulty);
    QFETCH(QString, id);
    // A stanza the client answers with an error leaves the stream readable.
    StreamParser parser;
    parser.addData(Header + faulty + "<message><body>next</body></message>");
    try {
        parser.parse();
        QFAIL("the faulty stanza was read");
    } catch (const stanza_error& e) {
        QCOMPARE(e.kind(), int(stanza_error::Iq));
        QCOMPARE(e.id(), id);
    }
    QCOMPARE(parser.parse(), int(StreamParser::ElementReady));
    QCOMPARE(parser.element()->type(), int(KindMessageStanza));
    QCOMPARE(parser.parse(), int(StreamParser::NeedMoreData));
}

QTEST_GUILESS_MAIN(TestStreamParser)
#include "tst_StreamParser.moc"
