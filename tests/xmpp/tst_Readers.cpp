// Reading received elements: dispatch, stream-level elements, stanza
// errors, message and presence payloads (with the faults that only drop a
// field), iq payloads, vCards, rosters and search forms.
#include "Exceptions.h"
#include "IqBind.h"
#include "IqDisco.h"
#include "IqRoster.h"
#include "IqSearch.h"
#include "IqVCard.h"
#include "MessageStanza.h"
#include "MucPresenceStanza.h"
#include "SaslElements.h"
#include "StreamError.h"
#include "StreamFeatures.h"
#include "StreamParser.h"
#include "XMPPDataForm.h"
#include "XMPPMessage.h"
#include "XMPPPresence.h"
#include "XMPPVCard.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QtTest>

using namespace xmpp;

namespace {

/// Reads one top-level element of a server stream; throws what the readers throw.
std::unique_ptr<StreamElement> readOne(const QByteArray& xml)
{
    StreamParser parser;
    parser.addData("<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' version='1.0'>");
    parser.addData(xml);
    if (parser.parse() != StreamParser::ElementReady)
        return nullptr;
    return parser.takeElement();
}

template<class T>
std::unique_ptr<T> readAs(const QByteArray& xml)
{
    std::unique_ptr<StreamElement> e = readOne(xml);
    if (!e || !dynamic_cast<T*>(e.get()))
        return nullptr;
    return std::unique_ptr<T>(static_cast<T*>(e.release()));
}

QByteArray pngBase64(QColor color)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toBase64();
}

} // namespace

class TestReaders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void messageBodyOfAnyLanguage_data();
    void messageBodyOfAnyLanguage();
    void dispatch_data();
    void dispatch();
    void refused_data();
    void refused();
    void malformedErrorElements_data();
    void malformedErrorElements();
    void streamErrors_data();
    void streamErrors();
    void features();
    void stanzaErrorConditions_data();
    void stanzaErrorConditions();
    void delayStamps_data();
    void delayStamps();
    void presenceFields_data();
    void presenceFields();
    void messageLanguages();
    void iqPayloads();
    void vCardPhotos();
    void rosterItems();
    void dataForms();
    void searchResults();
};

void TestReaders::dispatch_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("kind");
    QTest::newRow("features") << QByteArray("<stream:features/>") << int(KindStreamFeatures);
    QTest::newRow("tls proceed") << QByteArray("<proceed xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>") << int(KindTLSProceed);
    QTest::newRow("tls failure") << QByteArray("<failure xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>") << int(KindTLSFailure);
    QTest::newRow("sasl failure") << QByteArray("<failure xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><not-authorized/></failure>") << int(KindSASLFailure);
    QTest::newRow("sasl success with content") << QByteArray("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>dGVzdA==</success>") << int(KindSASLSuccess);
    QTest::newRow("challenge") << QByteArray("<challenge xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>YWJj\n ZA==</challenge>") << int(KindSASLChallenge);
    QTest::newRow("room presence") << QByteArray("<presence><c><x xmlns='http://jabber.org/protocol/muc'/></c></presence>") << int(KindMucPresenceStanza);
    QTest::newRow("occupant presence") << QByteArray("<presence><x xmlns='http://jabber.org/protocol/muc#user'/></presence>") << int(KindPresenceStanza);
    QTest::newRow("iq without child") << QByteArray("<iq type='result' id='1'/>") << int(KindIq);
    QTest::newRow("iq error before query") << QByteArray("<iq type='get' id='1'><foo/><query xmlns='jabber:iq:roster'/></iq>") << int(KindIq);
    QTest::newRow("roster not query") << QByteArray("<iq type='set' id='1'><item xmlns='jabber:iq:roster'/></iq>") << int(KindIq);
    QTest::newRow("session") << QByteArray("<iq type='result' id='1'><session xmlns='urn:ietf:params:xml:ns:xmpp-session'/></iq>") << int(KindIqSession);
}

void TestReaders::dispatch()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, kind);
    const auto e = readOne(xml);
    QVERIFY(e);
    QCOMPARE(e->type(), kind);
    if (kind == KindSASLChallenge)
        QCOMPARE(static_cast<SASLChallenge&>(*e).data, QByteArray("abcd"));
    if (kind == KindSASLFailure)
        QCOMPARE(static_cast<SASLFailure&>(*e).condition, 5);
}

void TestReaders::refused_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown namespace") << QByteArray("<foo xmlns='urn:x'><message/></foo>") << 21 << QStringLiteral("foo");
    QTest::newRow("unknown stream element") << QByteArray("<stream:bar/>") << 21 << QStringLiteral("bar");
    QTest::newRow("unknown stanza") << QByteArray("<features/>") << 21 << QString();
    QTest::newRow("iq without type") << QByteArray("<iq id='1'><query xmlns='jabber:iq:roster'/></iq>") << 0
                                     << QStringLiteral("invalid iq type attribute <>");
    QTest::newRow("iq type in capitals") << QByteArray("<iq id='1' type='GET'/>") << 0 << QStringLiteral("invalid iq type attribute <GET>");
}

void TestReaders::malformedErrorElements_data()
{
    // Servers relay other users' stanzas as written: a broken error element
    // costs that stanza only, and its id lets a request it answers fail.
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("id");
    QTest::newRow("error without error tag") << QByteArray("<iq id='1' type='error'/>") << int(stanza_error::Iq)
                                             << QStringLiteral("1");
    QTest::newRow("error type in capitals")
        << QByteArray("<message id='m' type='error'><error type='Cancel'><gone/></error></message>")
        << int(stanza_error::Message) << QStringLiteral("m");
    QTest::newRow("error without type") << QByteArray("<message type='error'><error><gone/></error></message>")
                                        << int(stanza_error::Message) << QString();
    QTest::newRow("error without condition")
        << QByteArray("<presence id='p' type='error'><error type='cancel'/></presence>") << int(stanza_error::Presence)
        << QStringLiteral("p");
    QTest::newRow("chat with error tag")
        << QByteArray("<message type='chat'><error type='cancel'><gone/></error></message>") << int(stanza_error::Message)
        << QString();
}

void TestReaders::malformedErrorElements()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, kind);
    QFETCH(QString, id);
    try {
        readOne(xml);
        QFAIL("read without complaint");
    } catch (const stanza_error& e) {
        QCOMPARE(e.kind(), kind);
        QCOMPARE(e.id(), id);
        QCOMPARE(e.condition(), 1); // bad-request
    }
}

void TestReaders::refused()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, code);
    QFETCH(QString, text);
    try {
        readOne(xml);
        QFAIL("read without complaint");
    } catch (const stream_error& e) {
        QCOMPARE(e.code(), code);
        QCOMPARE(e.text(), text);
    }
}

void TestReaders::streamErrors_data()
{
    QTest::addColumn<QByteArray>("inner");
    QTest::addColumn<int>("condition");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("otherHost");
    const QByteArray ns = " xmlns='urn:ietf:params:xml:ns:xmpp-streams'";
    QTest::newRow("empty") << QByteArray() << 19 << QString() << QString();
    QTest::newRow("foreign children only") << QByteArray("<conflict/><text>x</text>") << 19 << QString() << QString();
    QTest::newRow("text before condition") << "<text" + ns + ">bye</text><conflict" + ns + "/>" << 2 << "bye" << QString();
    QTest::newRow("text after condition") << "<system-shutdown" + ns + ">ignored</system-shutdown><text" + ns + ">bye</text>" << 18 << "bye" << QString();
    QTest::newRow("see other host") << "<see-other-host" + ns + ">alt.example.net</see-other-host>" << 17 << QString() << "alt.example.net";
    QTest::newRow("last condition wins") << "<conflict" + ns + "/><host-gone" + ns + "/>" << 4 << QString() << QString();
    // RFC 6120's newer names: the renamed one maps to its old code, the others to undefined-condition.
    QTest::newRow("not-well-formed") << "<not-well-formed" + ns + "/>" << 23 << QString() << QString();
    QTest::newRow("reset") << "<reset" + ns + "/><text" + ns + ">rekey</text>" << 19 << "rekey" << QString();
    QTest::newRow("unsupported-feature") << "<unsupported-feature" + ns + "/>" << 19 << QString() << QString();
}

void TestReaders::streamErrors()
{
    QFETCH(QByteArray, inner);
    QFETCH(int, condition);
    QFETCH(QString, text);
    QFETCH(QString, otherHost);
    const auto e = readAs<StreamError>("<stream:error>" + inner + "</stream:error>");
    QVERIFY(e);
    QCOMPARE(e->condition, condition);
    QCOMPARE(e->text, text);
    QCOMPARE(e->otherHost, otherHost);
    // The name as the server wrote it stays for the log.
    if (QByteArray(QTest::currentDataTag()) == "reset")
        QCOMPARE(e->conditionName, QStringLiteral("reset"));
    if (QByteArray(QTest::currentDataTag()) == "last condition wins")
        QCOMPARE(e->conditionName, QStringLiteral("host-gone"));

    try {
        readOne("<stream:error><bogus xmlns='urn:ietf:params:xml:ns:xmpp-streams'/></stream:error>");
        QFAIL("unknown condition read");
    } catch (const stream_parse_error& e) {
        QCOMPARE(e.code(), 0);
        QCOMPARE(e.text(), QStringLiteral("unknown stream error bogus"));
        QCOMPARE(QByteArray(e.what()), QByteArray("stream_parse_error, code: 0, what: unknown stream error bogus"));
    }
}

void TestReaders::features()
{
    const auto f = readAs<StreamFeatures>(
        "<stream:features><starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'><a><required/></a></starttls>"
        "<mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>PLAIN</mechanism><mechanism>SCRAM-SHA-1</mechanism>"
        "<mechanism>PLAIN</mechanism><mechanism xmlns='urn:x'>X</mechanism></mechanisms>"
        "<bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/></stream:features>");
    QVERIFY(f);
    QVERIFY(f->tlsOffered);
    QVERIFY(f->tlsRequired);
    QCOMPARE(f->saslMechanisms, (QStringList{"PLAIN", "SCRAM-SHA-1", "PLAIN"}));
    QVERIFY(f->bindOffered);
    QVERIFY(!f->sessionOffered);
    const auto g = readAs<StreamFeatures>("<stream:features><starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'><required xmlns='urn:x'/></starttls></stream:features>");
    QVERIFY(g->tlsOffered);
    QVERIFY(!g->tlsRequired);
}

void TestReaders::stanzaErrorConditions_data()
{
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("condition");
    QTest::newRow("item-not-found") << QByteArray("<error type='cancel'><item-not-found/></error>") << 1 << 7;
    QTest::newRow("bad-request") << QByteArray("<error type='modify'><bad-request/></error>") << 3 << 1;
    QTest::newRow("unexpected-request") << QByteArray("<error type='wait'><unexpected-request/></error>") << 5 << 22;
    QTest::newRow("text first") << QByteArray("<error type='auth'><text>no</text><forbidden/></error>") << 4 << 4;
    // RFC 6120 names conditions the older list lacks: the stanza still arrives.
    QTest::newRow("policy-violation") << QByteArray("<error type='modify'><policy-violation/></error>") << 3 << 21;
    QTest::newRow("unknown condition") << QByteArray("<error type='continue'><no-such-thing/></error>") << 2 << 21;
    QTest::newRow("two texts before condition") << QByteArray("<error type='cancel'><text/><text/><gone/></error>") << 1 << 21;
}

void TestReaders::stanzaErrorConditions()
{
    QFETCH(QByteArray, error);
    QFETCH(int, type);
    QFETCH(int, condition);
    const auto iq = readAs<Stanza>("<iq type='error' id='7' from='a@b/c'>" + error + "</iq>");
    QVERIFY(iq);
    QCOMPARE(iq->errorType, type);
    QCOMPARE(iq->errorCondition, condition);
    QCOMPARE(iq->id, QStringLiteral("7"));
    QCOMPARE(iq->from.resource(), QStringLiteral("c"));
}

void TestReaders::delayStamps_data()
{
    QTest::addColumn<QByteArray>("delay");
    QTest::addColumn<QDateTime>("stamp");
    const QDateTime t(QDate(2002, 9, 10), QTime(23, 8, 25), Qt::UTC);
    QTest::newRow("seconds Z") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='2002-09-10T23:08:25Z'/>") << t;
    QTest::newRow("milliseconds Z") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='2002-09-10T23:08:25.120Z'/>") << t.addMSecs(120);
    QTest::newRow("one digit") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='2002-09-10T23:08:25.5Z'/>") << t.addMSecs(500);
    QTest::newRow("microseconds") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='2002-09-10T23:08:25.123456Z'/>") << t.addMSecs(123);
    QTest::newRow("offset") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='2002-09-11T08:38:25+09:30'/>") << t;
    QTest::newRow("negative offset fraction") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='2002-09-10T18:08:25.25-05:00'/>") << t.addMSecs(250);
    QTest::newRow("legacy") << QByteArray("<x xmlns='jabber:x:delay' stamp='20020910T23:08:25'/>") << t;
    QTest::newRow("legacy in new form") << QByteArray("<x xmlns='jabber:x:delay' stamp='2002-09-10T23:08:25Z'/>") << t;
    QTest::newRow("new wins over legacy") << QByteArray("<x xmlns='jabber:x:delay' stamp='19990101T00:00:00'/>"
                                                        "<delay xmlns='urn:xmpp:delay' stamp='2002-09-10T23:08:25Z'/>") << t;
    // Unreadable stamps lose the delay, never the message.
    QTest::newRow("no zone") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='2002-09-10T23:08:25'/>") << QDateTime();
    QTest::newRow("garbage") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='yesterday'/>") << QDateTime();
    QTest::newRow("month 13") << QByteArray("<delay xmlns='urn:xmpp:delay' stamp='2002-13-10T23:08:25Z'/>") << QDateTime();
    QTest::newRow("delay in other namespace") << QByteArray("<delay stamp='2002-09-10T23:08:25Z'/>") << QDateTime();
}

void TestReaders::delayStamps()
{
    QFETCH(QByteArray, delay);
    QFETCH(QDateTime, stamp);
    const auto m = readAs<MessageStanza>("<message type='groupchat'><body>hi</body>" + delay + "</message>");
    QVERIFY(m);
    QCOMPARE(m->bodies.value(QStringLiteral("UND")), QStringLiteral("hi"));
    QCOMPARE(m->delay.has_value(), stamp.isValid());
    if (stamp.isValid()) {
        QCOMPARE(m->delay->stamp, stamp);
        QCOMPARE(m->delay->stamp.timeSpec(), Qt::UTC);
    }
}

void TestReaders::presenceFields_data()
{
    QTest::addColumn<QByteArray>("inner");
    QTest::addColumn<int>("show");
    QTest::addColumn<int>("priority");
    QTest::addColumn<int>("availability");
    QTest::newRow("nothing") << QByteArray() << 0 << 0 << int(XMPPPresence::Online);
    QTest::newRow("xa") << QByteArray("<show>xa</show>") << 4 << 0 << int(XMPPPresence::ExtendedAway);
    QTest::newRow("priority bounds") << QByteArray("<show>chat</show><priority>-128</priority>") << 2 << -128 << int(XMPPPresence::FreeForChat);
    QTest::newRow("priority 127") << QByteArray("<priority>127</priority>") << 0 << 127 << int(XMPPPresence::Online);
    // Faults of one field: the field is left out, the presence arrives.
    QTest::newRow("empty show") << QByteArray("<show/><priority>3</priority>") << 0 << 3 << int(XMPPPresence::Online);
    QTest::newRow("unknown show") << QByteArray("<show>busy</show>") << 0 << 0 << int(XMPPPresence::Online);
    QTest::newRow("priority 128") << QByteArray("<show>dnd</show><priority>128</priority>") << 3 << 0 << int(XMPPPresence::DoNotDisturb);
    QTest::newRow("priority -129") << QByteArray("<priority>-129</priority>") << 0 << 0 << int(XMPPPresence::Online);
    QTest::newRow("priority word") << QByteArray("<priority>high</priority>") << 0 << 0 << int(XMPPPresence::Online);
    QTest::newRow("empty priority") << QByteArray("<priority/>") << 0 << 0 << int(XMPPPresence::Online);
}

void TestReaders::presenceFields()
{
    QFETCH(QByteArray, inner);
    QFETCH(int, show);
    QFETCH(int, priority);
    QFETCH(int, availability);
    const auto p = readAs<PresenceStanza>("<presence from='a@b/c'>" + inner + "</presence>");
    QVERIFY(p);
    QCOMPARE(p->show, show);
    QCOMPARE(p->priority, priority);
    QCOMPARE(XMPPPresence(*p).availability(), availability);
}

void TestReaders::messageBodyOfAnyLanguage_data()
{
    // The stream's language is "en" in every row.
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("body");
    QTest::newRow("body without a language") << QByteArray("<message><body>plain</body></message>") << "plain";
    QTest::newRow("body in the stream's language") << QByteArray("<message><body xml:lang='en'>tagged</body></message>")
                                                   << "tagged";
    QTest::newRow("body in the message's own language")
        << QByteArray("<message xml:lang='de'><body xml:lang='fr'>fr</body><body xml:lang='de'>de</body></message>")
        << "de";
    QTest::newRow("without a language before any other")
        << QByteArray("<message><body xml:lang='en'>en</body><body>plain</body></message>") << "plain";
    QTest::newRow("the stream's language before others")
        << QByteArray("<message><body xml:lang='de'>de</body><body xml:lang='en'>en</body></message>") << "en";
    QTest::newRow("only another language") << QByteArray("<message><body xml:lang='ja'>ja</body></message>") << "ja";
    QTest::newRow("no body") << QByteArray("<message><subject>s</subject></message>") << "";
    QTest::newRow("markup inside: the text below it in order")
        << QByteArray("<message><body>a<b>x<i>y</i></b><br/>z</body></message>") << "axyz";
}

void TestReaders::messageBodyOfAnyLanguage()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, body);
    const auto m = readAs<MessageStanza>(xml);
    QVERIFY(m);
    QCOMPARE(XMPPMessage(*m, QStringLiteral("en")).body(), body);
}

void TestReaders::messageLanguages()
{
    const auto m = readAs<MessageStanza>("<message xml:lang='de'><body>erste</body><body>zweite</body>"
                                         "<body xml:lang='en'>second</body><subject xml:lang='fr'>s</subject></message>");
    QVERIFY(m);
    QCOMPARE(m->language, QStringLiteral("de"));
    QCOMPARE(m->bodies.value(QStringLiteral("UND")), QStringLiteral("zweite"));
    QCOMPARE(m->bodies.value(QStringLiteral("en")), QStringLiteral("second"));
    QCOMPARE(m->subjects.value(QStringLiteral("fr")), QStringLiteral("s"));
    QVERIFY(m->to.isNull());

    const auto room = readAs<PresenceStanza>(
        "<presence from='lobby@conference.example.net/Kenji'><x xmlns='http://jabber.org/protocol/muc#user'>"
        "<item role='moderator' nick='K'><actor jid='owner@example.net'/><reason>r</reason></item>"
        "<status code='110'/><status code='210'/><status code='x'/></x>"
        "<tables xmlns='http://parlor.games/protocol/tables'><path>101/R/1</path><path>101/R/1</path><path xmlns='urn:y'>102/R/2</path></tables>"
        "<tables><path>ignored</path></tables><x xmlns='vcard-temp:x:update'><photo/></x></presence>");
    QVERIFY(room);
    QVERIFY(room->mucUser);
    QCOMPARE(room->mucUserInfo.itemJid, QString());
    QCOMPARE(room->mucUserInfo.affiliation, 0);
    QCOMPARE(room->mucUserInfo.role, 1);
    QCOMPARE(room->mucUserInfo.actor, QStringLiteral("owner@example.net"));
    QCOMPARE(room->mucUserInfo.statusCodes, (QList<int>{110, 210}));
    QCOMPARE(room->tables, (QSet<QString>{QStringLiteral("101/R/1"), QStringLiteral("102/R/2")}));
    QVERIFY(!room->photoHash.isNull());
    QVERIFY(room->photoHash.isEmpty());
    QCOMPARE(XMPPPresence(*room).statusCodes(), (QList<int>{XMPPPresence::Status110, XMPPPresence::Status210}));
    QCOMPARE(room->from.resource(), QStringLiteral("Kenji"));
}

void TestReaders::iqPayloads()
{
    const auto items = readAs<IqDiscoItems>("<iq type='result' id='1'><query xmlns='http://jabber.org/protocol/disco#items'>"
                                            "<item jid='a.example.net' name='A'/><item node='n'/></query></iq>");
    QVERIFY(items);
    QCOMPARE(items->items.size(), 2);
    QCOMPARE(items->items[0].jid, QStringLiteral("a.example.net"));
    QCOMPARE(items->items[1].jid, QString());
    QCOMPARE(items->items[1].node, QStringLiteral("n"));
    const auto info = readAs<IqDiscoInfo>("<iq type='result' id='2'><query xmlns='http://jabber.org/protocol/disco#info'>"
                                          "<feature var='f1'/><identity category='conference' type='text' name='Rooms'/>"
                                          "<feature var='http://jabber.org/protocol/muc'/><identity category='c2'/></query></iq>");
    QVERIFY(info);
    QCOMPARE(info->identities.size(), 2);
    QCOMPARE(info->identities[0].name, QStringLiteral("Rooms"));
    QCOMPARE(info->identities[1].category, QStringLiteral("c2"));
    QCOMPARE(info->features, (QStringList{"f1", "http://jabber.org/protocol/muc"}));
    const auto bind = readAs<IqBind>("<iq type='result' id='3'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/></iq>");
    QVERIFY(bind);
    QVERIFY(bind->jid.isEmpty());
    // A JID over the length limit drops that one element, not the stream.
    StreamParser parser;
    parser.addData("<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' version='1.0'>");
    parser.addData("<message from='" + QByteArray(1100, 'n') + "@x'/><message from='ok@x'/>");
    QCOMPARE(parser.parse(), int(StreamParser::ElementReady));
    QCOMPARE(static_cast<Stanza*>(parser.element())->from.toString(), QStringLiteral("ok@x"));
}

void TestReaders::vCardPhotos()
{
    const QByteArray png = pngBase64(Qt::blue);
    // The photos are carried as their bytes, those with a type and bytes, in
    // order: the one that shows them tries the next when one does not decode.
    const auto card = readAs<IqVCard>("<iq type='result' id='1'><vCard xmlns='vcard-temp'>"
                                      "<PHOTO><TYPE>image/png</TYPE><BINVAL>bm90IGFuIGltYWdl</BINVAL></PHOTO>"
                                      "<PHOTO><TYPE>image/png</TYPE><BINVAL></BINVAL></PHOTO>"
                                      "<PHOTO><BINVAL>" + png + "</BINVAL></PHOTO>"
                                      "<PHOTO><TYPE>image/jpeg</TYPE><BINVAL>\n" + png + "\n</BINVAL></PHOTO></vCard></iq>");
    QVERIFY(card);
    QCOMPARE(card->photoBytes(), QByteArray("not an image"));
    QCOMPARE(card->vCard()->laterPhotos, QList<QByteArray>{QByteArray::fromBase64(png)});
    QCOMPARE(card->vCard()->photoHash, QCryptographicHash::hash("not an image", QCryptographicHash::Sha1));
    QCOMPARE(card->photoHash(), card->vCard()->photoHash);

    const auto none = readAs<IqVCard>("<iq type='result' id='2'><vCard xmlns='vcard-temp'><FN>x</FN></vCard></iq>");
    QVERIFY(none);
    QVERIFY(none->photoBytes().isNull());
    QVERIFY(none->photoHash().isNull());
}

void TestReaders::rosterItems()
{
    const auto roster = readAs<IqRoster>(
        "<iq type='set' id='push'><query xmlns='jabber:iq:roster'>"
        "<item jid='a@x' subscription='both' ask='subscribe' name='Ann'><group>G1</group><group>G2</group></item>"
        "<item jid='b@x' subscription='remove'/><item jid='c@x' subscription='from'/><item jid='d@x' subscription='odd'/>"
        "<item xmlns='urn:other' jid='skip@x'/></query></iq>");
    QVERIFY(roster);
    QCOMPARE(int(roster->items().size()), 4);
    const auto& a = roster->items()[0];
    QCOMPARE(a.subscription, 7);
    QCOMPARE(a.name, QStringLiteral("Ann"));
    QCOMPARE(a.group, QStringLiteral("G1"));
    QVERIFY(roster->items()[1].remove);
    QCOMPARE(roster->items()[1].subscription, 0);
    QCOMPARE(roster->items()[2].subscription, 2);
    QCOMPARE(roster->items()[3].subscription, 0);
    QCOMPARE(roster->id, QStringLiteral("push"));

    // An over-long JID costs its own item only.
    const auto partial = readAs<IqRoster>("<iq type='result' id='r'><query xmlns='jabber:iq:roster'><item jid='"
                                          + QByteArray(1100, 'a') + "'/><item jid='ok@x'/></query></iq>");
    QVERIFY(partial);
    QCOMPARE(int(partial->items().size()), 1);
    QCOMPARE(partial->items()[0].jid.toString(), QStringLiteral("ok@x"));
}

void TestReaders::dataForms()
{
    const auto search = readAs<IqSearch>(
        "<iq type='result' id='s'><query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='form'>"
        "<title>Find</title><instructions>Fill</instructions>"
        "<field var='b1' type='boolean'><value>true</value></field>"
        "<field var='b2' type='boolean'><value>1</value></field>"
        "<field var='b3' type='boolean'><value>false</value></field>"
        "<field var='f' type='fixed'><value>note</value></field>"
        "<field var='h' type='hidden'><value>jabber:iq:search</value></field>"
        "<field var='js' type='jid-single'><value>a@b/c</value></field>"
        "<field var='jm' type='jid-multi'><value>a@b</value><value>c@d</value></field>"
        "<field var='ls' type='list-single' label='Pick'><option label='One'><value>1</value></option><option><value>2</value></option></field>"
        "<field var='lm' type='list-multi'><value>x</value><value>y</value></field>"
        "<field var='ts' type='text-single'><required/><desc>d</desc></field>"
        "<field var='tm' type='text-multi'><value>l1</value><value>l2</value></field>"
        "<field var='tp' type='text-private'><value>pw</value></field>"
        "<field var='none'><value>v</value></field>"
        "<field var='odd' type='text'><value>p</value><value>q</value></field>"
        "</x></query></iq>");
    QVERIFY(search);
    const XMPPDataForm* form = search->form();
    QVERIFY(form);
    QCOMPARE(form->kind(), int(XMPPDataForm::DataForm));
    QCOMPARE(form->title, QStringLiteral("Find"));
    QCOMPARE(form->vars().size(), 14);
    QCOMPARE(std::get<bool>(form->field("b1")->value), true);
    QCOMPARE(std::get<bool>(form->field("b2")->value), true);
    QCOMPARE(std::get<bool>(form->field("b3")->value), false);
    QCOMPARE(form->field("js")->text(), QStringLiteral("a@b/c"));
    QCOMPARE(std::get<QList<XMPPJid>>(form->field("jm")->value).size(), 2);
    const auto& options = form->field("ls")->options;
    QCOMPARE(options.size(), 2);
    QCOMPARE(options[1].label, QString());
    QCOMPARE(options[1].value, QStringLiteral("2"));
    QCOMPARE(form->field("lm")->texts(), (QStringList{"x", "y"}));
    QVERIFY(form->field("ts")->required);
    QCOMPARE(form->field("ts")->description, QStringLiteral("d"));
    QCOMPARE(form->field("ts")->text(), QString());
    QCOMPARE(form->field("none")->type, int(XMPPDataForm::TextSingle));
    QCOMPARE(form->field("none")->text(), QStringLiteral("v"));
    QCOMPARE(form->field("odd")->type, int(XMPPDataForm::TextMulti));
    QCOMPARE(form->field("odd")->texts(), (QStringList{"p", "q"}));

    // Copies are deep.
    XMPPDataForm copy(*form);
    copy.field("tp")->value = QStringLiteral("changed");
    QCOMPARE(form->field("tp")->text(), QStringLiteral("pw"));

    for (const char* bad : {"<x xmlns='jabber:x:data' type='submit'/>",
                            "<x xmlns='jabber:x:data' type='form'><field var='l' type='list-single'><option label='a'/></field></x>"}) {
        try {
            readOne(QByteArray("<iq type='result' id='bad'><query xmlns='jabber:iq:search'>") + bad + "</query></iq>");
            QFAIL(bad);
        } catch (const stanza_error& e) {
            QCOMPARE(e.kind(), int(stanza_error::Iq));
            QCOMPARE(e.condition(), 22);
            QCOMPARE(e.id(), QStringLiteral("bad"));
            QCOMPARE(QByteArray(e.what()), QByteArray("iq_error, type: 1, error: 22, id: bad"));
        }
    }
}

void TestReaders::searchResults()
{
    const auto result = readAs<IqSearch>(
        "<iq type='result' id='r'><query xmlns='jabber:iq:search'><x xmlns='jabber:x:data' type='result'>"
        "<reported><field var='jid' label='JID'/><field var='nick'/></reported>"
        "<item><field var='jid'><value>a@b</value></field><field var='extra'><value/></field></item>"
        "<item><field var='jid'><value>c@d</value></field><field var='extra'><value>e</value></field></item>"
        "</x></query></iq>");
    QVERIFY(result);
    QVERIFY(result->report());
    QCOMPARE(result->report()->columns, (QStringList{"jid", "nick", "extra"}));
    QCOMPARE(result->report()->labels.value("jid"), QStringLiteral("JID"));
    QVERIFY(!result->report()->labels.contains("extra"));
    QCOMPARE(result->report()->rows.size(), 2);
    QCOMPARE(result->report()->rows[1].value("extra"), QStringLiteral("e"));

    const auto legacy = readAs<IqSearch>(
        "<iq type='result' id='l'><query xmlns='jabber:iq:search'>"
        "<item jid='a@b'><first/><nick>Ann</nick></item><item jid='c@d'><email>c@mail</email><last></last></item>"
        "</query></iq>");
    QVERIFY(legacy);
    QCOMPARE(legacy->report()->columns, (QStringList{"jid", "nick", "email"}));
    QCOMPARE(legacy->report()->labels.value("nick"), QStringLiteral("Nickname"));
    QCOMPARE(legacy->form()->kind(), int(XMPPDataForm::LegacySearch));

    const auto legacyForm = readAs<IqSearch>(
        "<iq type='result' id='f'><query xmlns='jabber:iq:search'><instructions>i</instructions><email/><nick/></query></iq>");
    QVERIFY(legacyForm);
    QCOMPARE(legacyForm->form()->vars(), (QStringList{"nick", "email"}));
    QCOMPARE(legacyForm->form()->fieldAt(1).label, QStringLiteral("Email address"));
}

QTEST_GUILESS_MAIN(TestReaders)
#include "tst_Readers.moc"
