// A received vCard written back by an upload: the formatted name, and every
// field besides the name and the photo kept as read, in order, with its
// namespaces; the bytes written out by hand.
#include "IqVCard.h"
#include "StreamParser.h"
#include "StreamWriter.h"
#include "XMPPVCard.h"

#include <QBuffer>
#include <QtTest>

using namespace xmpp;

namespace {

/// The vCard read from a result iq that holds `card`.
XMPPVCard readCard(const QByteArray& card)
{
    StreamParser parser;
    parser.addData("<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' version='1.0'>");
    parser.addData("<iq type='result' id='1'>" + card + "</iq>");
    if (parser.parse() != StreamParser::ElementReady)
        return {};
    std::unique_ptr<StreamElement> element = parser.takeElement();
    const auto* iq = dynamic_cast<const IqVCard*>(element.get());
    return iq && iq->vCard() ? *iq->vCard() : XMPPVCard();
}

/// The payload of the upload of `card`: what the stream carries between the
/// iq's start and end tags.
QByteArray uploadPayload(const XMPPVCard& card)
{
    QBuffer device;
    device.open(QIODevice::ReadWrite);
    StreamWriter writer(XMPPJid(QStringLiteral("example.net")), QStringLiteral("en"));
    writer.openStream(&device);
    const qint64 start = device.data().size();
    writer.write(IqVCard(QStringLiteral("9"), std::make_unique<XMPPVCard>(card)));
    QByteArray bytes = device.data().mid(start);
    const QByteArray open = "<iq id=\"9\" type=\"set\">";
    if (!bytes.startsWith(open) || !bytes.endsWith("</iq>"))
        return "unexpected frame: " + bytes;
    return bytes.mid(open.size(), bytes.size() - open.size() - 5);
}

} // namespace

class TestVCardFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void receivedCardWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("written");

        QTest::newRow("nothing else: the bytes of a fresh card")
            << QByteArray("<vCard xmlns='vcard-temp'/>") << QString()
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><N/></vCard>");
        QTest::newRow("name and fields in their order, N kept, the photo's bytes last")
            << QByteArray("<vCard xmlns='vcard-temp'>\n  <FN>Old &amp; Co</FN>\n  <N><FAMILY>Sato</FAMILY><GIVEN>Mei</GIVEN></N>"
                          "<PHOTO><TYPE>image/png</TYPE><BINVAL>bm90IGFuIGltYWdl</BINVAL></PHOTO>"
                          "<NICKNAME>mei</NICKNAME><EMAIL><INTERNET/><USERID>mei@example.net</USERID></EMAIL></vCard>")
            << QStringLiteral("Old & Co")
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>Old &amp; Co</FN><N><FAMILY>Sato</FAMILY><GIVEN>Mei</GIVEN></N>"
                          "<NICKNAME>mei</NICKNAME><EMAIL><INTERNET/><USERID>mei@example.net</USERID></EMAIL>"
                          "<PHOTO><TYPE>image/png</TYPE><BINVAL>bm90IGFuIGltYWdl</BINVAL></PHOTO></vCard>");
        QTest::newRow("N after other fields stays where it was, no second N")
            << QByteArray("<vCard xmlns='vcard-temp'><NICKNAME>x</NICKNAME><N/></vCard>") << QString()
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><NICKNAME>x</NICKNAME><N/></vCard>");
        QTest::newRow("second FN dropped")
            << QByteArray("<vCard xmlns='vcard-temp'><FN>One</FN><FN>Two</FN><ROLE>r</ROLE></vCard>")
            << QStringLiteral("One")
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>One</FN><N/><ROLE>r</ROLE></vCard>");
        QTest::newRow("prefixed card, foreign namespaces, attributes and markup in text")
            << QByteArray("<v:vCard xmlns:v='vcard-temp'><v:DESC xml:lang='ja'>a &lt;b&gt; &amp; &quot;c&quot;</v:DESC>"
                          "<ext xmlns='urn:example:x' level='2'><v:NOTE>in</v:NOTE><plain/></ext></v:vCard>")
            << QString()
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><N/><DESC xml:lang=\"ja\">a &lt;b&gt; &amp; &quot;c&quot;</DESC>"
                          "<ext xmlns=\"urn:example:x\" level=\"2\"><NOTE xmlns=\"vcard-temp\">in</NOTE><plain/></ext></vCard>");
        QTest::newRow("FN and PHOTO of another namespace are fields like any other")
            << QByteArray("<vCard xmlns='vcard-temp'><FN xmlns='urn:example:x'>f</FN><PHOTO xmlns='urn:example:x'/></vCard>")
            << QString()
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><N/><FN xmlns=\"urn:example:x\">f</FN>"
                          "<PHOTO xmlns=\"urn:example:x\"/></vCard>");
    }

    void receivedCardWrittenBack()
    {
        QFETCH(QByteArray, received);
        QFETCH(QString, name);
        QFETCH(QByteArray, written);
        const XMPPVCard card = readCard(received);
        QCOMPARE(card.formattedName, name);
        QCOMPARE(uploadPayload(card), written);
        // The stored card read back and uploaded again: nothing changes.
        QCOMPARE(uploadPayload(readCard(written)), written);
    }

    void fieldsSetByTheProgramAreSafe_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("forbidden characters filtered")
            << QStringLiteral("A\x01" "B") << QStringLiteral("<NOTE>x\x02y\xFFFE</NOTE>")
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>AB</FN><N/><NOTE>xy</NOTE></vCard>");
        QTest::newRow("not well-formed: left out")
            << QString() << QStringLiteral("<NOTE>open")
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><N/></vCard>");
        QTest::newRow("closing the card early: left out")
            << QString() << QStringLiteral("</vCard><vCard xmlns='vcard-temp'><EVIL/>")
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><N/></vCard>");
        QTest::newRow("comments and processing instructions dropped")
            << QString() << QStringLiteral("<!-- c --><NOTE>n<?pi x?></NOTE>")
            << QByteArray("<vCard xmlns=\"vcard-temp\"><FN>Unknown</FN><N/><NOTE>n</NOTE></vCard>");
    }

    void fieldsSetByTheProgramAreSafe()
    {
        QFETCH(QString, name);
        QFETCH(QString, fields);
        QFETCH(QByteArray, written);
        XMPPVCard card;
        card.formattedName = name;
        card.otherFields = fields;
        QCOMPARE(uploadPayload(card), written);
    }
};

QTEST_MAIN(TestVCardFields)
#include "tst_vcard_fields.moc"
