// The bytes the client puts on the wire, written out by hand, and the
// round trip of every element kind through the stream parser.
#include "IqBind.h"
#include "IqDisco.h"
#include "IqRoster.h"
#include "IqSearch.h"
#include "IqVCard.h"
#include "MessageStanza.h"
#include "MucPresenceStanza.h"
#include "SaslElements.h"
#include "StreamError.h"
#include "StreamParser.h"
#include "StreamWriter.h"
#include "TlsElements.h"
#include "XMPPDataForm.h"
#include "XMPPVCard.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QtTest>

#include <functional>

using namespace xmpp;

namespace {

const QByteArray Header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><stream:stream xmlns=\"jabber:client\" "
                          "xmlns:stream=\"http://etherx.jabber.org/streams\" version=\"1.0\" to=\"example.net\" "
                          "xml:lang=\"en\">";

/// A device that counts its writes.
class CountingDevice : public QBuffer
{
public:
    int writes = 0;

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        ++writes;
        return QBuffer::writeData(data, len);
    }
};

std::unique_ptr<PresenceStanza> presence(std::function<void(PresenceStanza&)> fill)
{
    auto p = std::make_unique<PresenceStanza>(XMPPJid(), 0, QString());
    fill(*p);
    return p;
}

std::unique_ptr<MessageStanza> message(std::function<void(MessageStanza&)> fill)
{
    auto m = std::make_unique<MessageStanza>();
    m->to = XMPPJid(QStringLiteral("example.net"), QStringLiteral("2001"));
    m->stanzaType = QStringLiteral("chat");
    fill(*m);
    return m;
}

/// What the device receives for one element after the header.
QByteArray bytesOf(const StreamElement& element)
{
    QBuffer device;
    device.open(QIODevice::ReadWrite);
    StreamWriter writer(XMPPJid(QStringLiteral("example.net")), QStringLiteral("en"));
    writer.openStream(&device);
    const qint64 start = device.data().size();
    writer.write(element);
    return device.data().mid(start);
}

} // namespace

class TestStreamWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header();
    void elementBytes_data();
    void elementBytes();
    void oneDeviceWritePerElement();
    void keepAlive();
    void writeWhenClosed();
    void vCardUploadHashMatchesBytesSent();
    void roundTrip();
    void anyTextKeepsTheStreamReadable();
};

void TestStreamWriter::header()
{
    QBuffer device;
    device.open(QIODevice::ReadWrite);
    StreamWriter writer(XMPPJid(QStringLiteral("example.net")), QStringLiteral("en"));
    writer.openStream(&device);
    QCOMPARE(device.data(), Header);
    writer.closeStream();
    QCOMPARE(device.data(), Header + "</stream:stream>\n");
}

void TestStreamWriter::elementBytes_data()
{
    QTest::addColumn<std::shared_ptr<StreamElement>>("element");
    QTest::addColumn<QByteArray>("expected");
    auto row = [](const char* name, std::unique_ptr<StreamElement> e, const QByteArray& bytes) {
        QTest::newRow(name) << std::shared_ptr<StreamElement>(std::move(e)) << bytes;
    };
    const XMPPJid room(QStringLiteral("conference.example.net"), QStringLiteral("lobby"), QStringLiteral("Kenji"));

    row("starttls", std::make_unique<TLSStart>(), "<starttls xmlns=\"urn:ietf:params:xml:ns:xmpp-tls\"/>");
    row("auth plain", std::make_unique<SASLAuth>(QStringLiteral("PLAIN"), QByteArray("\0001042\0secret", 12)),
        "<auth xmlns=\"urn:ietf:params:xml:ns:xmpp-sasl\" mechanism=\"PLAIN\">ADEwNDIAc2VjcmV0</auth>");
    row("bind", std::make_unique<IqBind>(QStringLiteral("1"), QString()),
        "<iq id=\"1\" type=\"set\"><bind xmlns=\"urn:ietf:params:xml:ns:xmpp-bind\"/></iq>");
    row("session", std::make_unique<IqSession>(QStringLiteral("2")),
        "<iq id=\"2\" type=\"set\"><session xmlns=\"urn:ietf:params:xml:ns:xmpp-session\"/></iq>");
    row("disco items", std::make_unique<IqDiscoItems>(QStringLiteral("3"), XMPPJid(QStringLiteral("example.net"))),
        "<iq to=\"example.net\" id=\"3\" type=\"get\"><query xmlns=\"http://jabber.org/protocol/disco#items\"/></iq>");
    row("instant room", std::make_unique<IqInstantRoom>(QStringLiteral("4"), room.bare()),
        "<iq to=\"lobby@conference.example.net\" id=\"4\" type=\"set\"><query xmlns=\"http://jabber.org/protocol/muc#owner\">"
        "<x xmlns=\"jabber:x:data\" type=\"submit\"/></query></iq>");
    row("ping", std::make_unique<IqPing>(QStringLiteral("4"), XMPPJid(QStringLiteral("example.net"))),
        "<iq to=\"example.net\" id=\"4\" type=\"get\"><ping xmlns=\"urn:xmpp:ping\"/></iq>");
    row("vcard get", std::make_unique<IqVCard>(QStringLiteral("5"), XMPPJid(QStringLiteral("example.net"), QStringLiteral("2001"))),
        "<iq to=\"2001@example.net\" id=\"5\" type=\"get\"><vCard xmlns=\"vcard-temp\"/></iq>");
    row("vcard without photo", std::make_unique<IqVCard>(QStringLiteral("6"), std::make_unique<XMPPVCard>()),
        "<iq id=\"6\" type=\"set\"><vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><N/></vCard></iq>");
    row("roster get", std::make_unique<IqRoster>(QStringLiteral("7")),
        "<iq id=\"7\" type=\"get\"><query xmlns=\"jabber:iq:roster\"/></iq>");
    {
        IqRoster::Item add{XMPPJid(QStringLiteral("example.net"), QStringLiteral("2001")), 3, false, QStringLiteral("Tomoko"), QStringLiteral("Friends")};
        IqRoster::Item remove{XMPPJid(QStringLiteral("example.net"), QStringLiteral("2002")), 0, true, {}, {}};
        row("roster set", std::make_unique<IqRoster>(std::vector<IqRoster::Item>{add, remove}, QStringLiteral("8")),
            "<iq id=\"8\" type=\"set\"><query xmlns=\"jabber:iq:roster\">"
            "<item jid=\"2001@example.net\" name=\"Tomoko\"><group>Friends</group></item>"
            "<item jid=\"2002@example.net\" subscription=\"remove\"/></query></iq>");
    }
    row("bare presence", presence([](PresenceStanza&) {}),
        "<presence><x xmlns=\"vcard-temp:x:update\"/></presence>");
    row("full presence", presence([](PresenceStanza& p) {
            p.show = PresenceStanza::DoNotDisturb;
            p.statuses.insert(QStringLiteral("UND"), QStringLiteral("at table <3>"));
            p.statuses.insert(QStringLiteral("fr"), QStringLiteral("occupé"));
            p.statuses.insert(QStringLiteral("de"), QString());
            p.priority = -5;
            p.tables.insert(QStringLiteral("101/Regular/7"));
            p.photoHash = QByteArray::fromHex("01b87fcd");
        }),
        "<presence><show>dnd</show><status>at table &lt;3&gt;</status><status xml:lang=\"fr\">occupé</status>"
        "<priority>-5</priority><tables xmlns=\"http://parlor.games/protocol/tables\"><path>101/Regular/7</path></tables>"
        "<x xmlns=\"vcard-temp:x:update\"><photo>01b87fcd</photo></x></presence>");
    row("empty photo hash", presence([](PresenceStanza& p) { p.photoHash = QByteArray(""); }),
        "<presence><x xmlns=\"vcard-temp:x:update\"><photo></photo></x></presence>");
    {
        auto join = std::make_unique<MucPresenceStanza>(room, 0, QString());
        join->show = PresenceStanza::Away;
        row("room join", std::move(join),
            "<presence to=\"lobby@conference.example.net/Kenji\"><x xmlns=\"http://jabber.org/protocol/muc\"/>"
            "<x xmlns=\"vcard-temp:x:update\"/></presence>");
    }
    row("unavailable", std::make_unique<PresenceStanza>(XMPPJid(), 5, QString()),
        "<presence type=\"unavailable\"><x xmlns=\"vcard-temp:x:update\"/></presence>");
    row("one body", message([](MessageStanza& m) { m.bodies.insert(QStringLiteral("UND"), QStringLiteral("hi & bye")); }),
        "<message to=\"2001@example.net\" type=\"chat\"><body>hi &amp; bye</body></message>");
    row("bodies in two languages", message([](MessageStanza& m) {
            m.bodies.insert(QStringLiteral("UND"), QStringLiteral("hello"));
            m.bodies.insert(QStringLiteral("fr"), QStringLiteral("bonjour"));
            m.thread = QStringLiteral("t1");
        }),
        "<message to=\"2001@example.net\" type=\"chat\"><body xml:lang=\"UND\">hello</body>"
        "<body xml:lang=\"fr\">bonjour</body><thread>t1</thread></message>");
    row("own language beside another", message([](MessageStanza& m) {
            m.language = QStringLiteral("en");
            m.subjects.insert(QStringLiteral("UND"), QStringLiteral("s"));
            m.subjects.insert(QStringLiteral("de"), QStringLiteral("t"));
        }),
        "<message to=\"2001@example.net\" type=\"chat\" xml:lang=\"en\"><subject xml:lang=\"en\">s</subject>"
        "<subject xml:lang=\"de\">t</subject></message>");
    row("forbidden characters dropped", message([](MessageStanza& m) {
            m.bodies.insert(QStringLiteral("UND"), QStringLiteral("a\x01" "b\x1b" "c\tok") + QChar(0xD800) + QChar(0xFFFE) + QStringLiteral("🀄"));
            m.id = QStringLiteral("x\x02y");
        }),
        "<message to=\"2001@example.net\" id=\"xy\" type=\"chat\"><body>abc\tok🀄</body></message>");
    {
        auto error = std::make_unique<Iq>(QStringLiteral("s1"), XMPPJid(QStringLiteral("example.net")), Iq::ErrorType);
        error->errorType = 1;
        error->errorCondition = 3;
        row("iq error reply", std::move(error),
            "<iq to=\"example.net\" id=\"s1\" type=\"error\"><error type=\"cancel\">"
            "<feature-not-implemented xmlns=\"urn:ietf:params:xml:ns:xmpp-stanzas\"/></error></iq>");
    }
    row("stream error", std::make_unique<StreamError>(23, QStringLiteral("bad bytes")),
        "<stream:error><xml-not-well-formed xmlns=\"urn:ietf:params:xml:ns:xmpp-streams\"/>"
        "<text xmlns=\"urn:ietf:params:xml:ns:xmpp-streams\">bad bytes</text></stream:error>");
    row("never sent", std::make_unique<SASLSuccess>(), "");
}

void TestStreamWriter::elementBytes()
{
    QFETCH(std::shared_ptr<StreamElement>, element);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytesOf(*element), expected);
}

void TestStreamWriter::oneDeviceWritePerElement()
{
    CountingDevice device;
    device.open(QIODevice::ReadWrite);
    StreamWriter writer(XMPPJid(QStringLiteral("example.net")), QStringLiteral("en"));
    writer.openStream(&device);
    auto roster = std::make_unique<IqRoster>(QStringLiteral("1"));
    writer.write(*roster);
    writer.write(*presence([](PresenceStanza& p) { p.statuses.insert(QStringLiteral("UND"), QStringLiteral("x")); }));
    QCOMPARE(device.writes, 3);
}

void TestStreamWriter::keepAlive()
{
    QBuffer device;
    device.open(QIODevice::ReadWrite);
    StreamWriter writer(XMPPJid(QStringLiteral("example.net")), QStringLiteral("en"));
    QCOMPARE(writer.keepAliveInterval(), 60000);
    writer.setKeepAliveInterval(200);
    writer.openStream(&device);
    // Idle: spaces and nothing else.
    QTRY_VERIFY_WITH_TIMEOUT(device.data().size() >= Header.size() + 2, 3000);
    QCOMPARE(device.data().mid(Header.size()).trimmed(), QByteArray());
    // An element restarts the period: no space right after it.
    writer.write(TLSStart());
    QVERIFY(device.data().endsWith("/>"));
    QTRY_VERIFY_WITH_TIMEOUT(device.data().endsWith("/> "), 3000);
    writer.closeStream();
    const QByteArray closed = device.data();
    QVERIFY(closed.endsWith("</stream:stream>\n"));
    writer.sendKeepAlive();
    QTest::qWait(450);
    QCOMPARE(device.data(), closed);
}

void TestStreamWriter::writeWhenClosed()
{
    StreamWriter writer(XMPPJid(QStringLiteral("example.net")), QStringLiteral("en"));
    TLSStart start;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, writer.write(start));
    QBuffer device;
    device.open(QIODevice::ReadWrite);
    writer.openStream(&device);
    writer.closeStream();
    try {
        writer.write(start);
        QFAIL("wrote into a closed stream");
    } catch (const std::runtime_error& e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("writing requires an open stream"));
    }
}

void TestStreamWriter::vCardUploadHashMatchesBytesSent()
{
    auto card = std::make_unique<XMPPVCard>();
    card->photo = QByteArray("\x89PNG\r\n\x1a\n and the rest");
    IqVCard upload(QStringLiteral("9"), std::move(card));
    const QByteArray bytes = bytesOf(upload);
    const qsizetype start = bytes.indexOf("<BINVAL>") + 8;
    const QByteArray sent = QByteArray::fromBase64(bytes.mid(start, bytes.indexOf("</BINVAL>") - start));
    QCOMPARE(sent, QByteArray("\x89PNG\r\n\x1a\n and the rest"));
    QCOMPARE(upload.photoHash(), QCryptographicHash::hash(sent, QCryptographicHash::Sha1));
    QVERIFY(bytes.contains("<FN>Unknown</FN><N/><PHOTO><TYPE>image/png</TYPE><BINVAL>"));
}

void TestStreamWriter::roundTrip()
{
    // What the writer sends, read back by the parser, gives the same element.
    QBuffer device;
    device.open(QIODevice::ReadWrite);
    StreamWriter writer(XMPPJid(QStringLiteral("example.net")), QStringLiteral("en"));
    writer.openStream(&device);

    std::vector<std::unique_ptr<StreamElement>> sent;
    sent.push_back(std::make_unique<SASLAuth>(QStringLiteral("PLAIN"), QByteArray("\0a\0b", 4)));
    sent.push_back(std::make_unique<TLSStart>());
    sent.push_back(message([](MessageStanza& m) {
        m.bodies.insert(QStringLiteral("UND"), QStringLiteral(" spaced  "));
        m.thread = QStringLiteral("t");
    }));
    sent.push_back(presence([](PresenceStanza& p) {
        p.show = PresenceStanza::ExtendedAway;
        p.priority = 127;
        p.tables = {QStringLiteral("a/1"), QStringLiteral("b/2")};
        p.photoHash = QByteArray::fromHex("ff00");
    }));
    sent.push_back(std::make_unique<IqRoster>(std::vector<IqRoster::Item>{{XMPPJid(QStringLiteral("e.net"), QStringLiteral("n")), 0, false, QStringLiteral("N"), QString()}}, QStringLiteral("r")));
    sent.push_back(std::make_unique<IqBind>(QStringLiteral("b"), QStringLiteral("desk")));
    sent.push_back(std::make_unique<IqVCard>(QStringLiteral("v"), XMPPJid(QStringLiteral("e.net"), QStringLiteral("n"))));
    sent.push_back(std::make_unique<StreamError>(17, QString()));
    for (const auto& e : sent)
        writer.write(*e);

    StreamParser parser;
    // The client's header has no "from"; the parser wants only the namespace and version.
    parser.addData(device.data());
    std::vector<std::unique_ptr<StreamElement>> read;
    while (parser.parse() == StreamParser::ElementReady)
        read.push_back(parser.takeElement());
    QCOMPARE(read.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i)
        QCOMPARE(read[i]->type(), sent[i]->type());

    QCOMPARE(static_cast<SASLAuth&>(*read[0]).data, QByteArray("\0a\0b", 4));
    const auto& m = static_cast<MessageStanza&>(*read[2]);
    QCOMPARE(m.bodies, static_cast<MessageStanza&>(*sent[2]).bodies);
    QCOMPARE(m.thread, QStringLiteral("t"));
    QCOMPARE(m.to.toString(), QStringLiteral("2001@example.net"));
    const auto& p = static_cast<PresenceStanza&>(*read[3]);
    QCOMPARE(p.show, int(PresenceStanza::ExtendedAway));
    QCOMPARE(p.priority, 127);
    QCOMPARE(p.tables, (QSet<QString>{QStringLiteral("a/1"), QStringLiteral("b/2")}));
    QCOMPARE(p.photoHash, QByteArray::fromHex("ff00"));
    const auto& r = static_cast<IqRoster&>(*read[4]);
    QCOMPARE(int(r.items().size()), 1);
    QCOMPARE(r.items()[0].name, QStringLiteral("N"));
    QCOMPARE(r.items()[0].group, QString());
    QCOMPARE(static_cast<IqBind&>(*read[5]).resource, QStringLiteral("desk"));
    QVERIFY(static_cast<IqVCard&>(*read[6]).photoBytes().isNull());
    QCOMPARE(static_cast<StreamError&>(*read[7]).condition, 17);
}

void TestStreamWriter::anyTextKeepsTheStreamReadable()
{
    // Whatever a user types (control characters, lone surrogates, markup),
    // the server receives well-formed XML carrying the text less what XML forbids.
    QBuffer device;
    device.open(QIODevice::ReadWrite);
    StreamWriter writer(XMPPJid(QStringLiteral("example.net")), QStringLiteral("en"));
    writer.openStream(&device);
    QRandomGenerator random(19);
    QStringList texts;
    for (int i = 0; i < 300; ++i) {
        QString text;
        const int length = random.bounded(1, 40);
        for (int c = 0; c < length; ++c) {
            switch (random.bounded(4)) {
            case 0:
                text += QChar(char16_t(random.bounded(0, 0x80)));
                break;
            case 1:
                text += QChar(char16_t(random.bounded(0xD800, 0xE000)));
                break;
            case 2:
                text += QChar(char16_t(random.bounded(0xFFF0, 0x10000)));
                break;
            default:
                text += QStringLiteral("<&>\"'");
                break;
            }
        }
        texts << text;
        writer.write(*message([&](MessageStanza& m) {
            m.bodies.insert(QStringLiteral("UND"), text);
            m.thread = text;
        }));
    }
    StreamParser parser;
    parser.addData(device.data());
    for (const QString& text : texts) {
        QCOMPARE(parser.parse(), int(StreamParser::ElementReady));
        const auto& m = static_cast<MessageStanza&>(*parser.element());
        QString expected;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode());
            if (pair) {
                expected += text.mid(i++, 2);
                continue;
            }
            if ((c < 0x20 && c != 0x9 && c != 0xA && c != 0xD) || QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
                continue;
            expected += QChar(c);
        }
        // A carriage return arrives as a line feed: XML normalises line ends.
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QCOMPARE(m.thread, expected); // the body is bounded as another user's text
    }
}

QTEST_GUILESS_MAIN(TestStreamWriter)
#include "tst_StreamWriter.moc"
