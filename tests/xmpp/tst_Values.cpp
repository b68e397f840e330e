// The value types: JID parts and limits, presence availability and room
// errors, message languages and types, exception texts.
#include "ElementReader.h"
#include "Exceptions.h"
#include "Iq.h"
#include "PresenceStanza.h"
#include "XMPPJid.h"
#include "XMPPMessage.h"
#include "XMPPPresence.h"

#include <QtTest>

#include <stdexcept>

using namespace xmpp;

class TestValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void jidParts_data();
    void jidParts();
    void jidLimits_data();
    void jidLimits();
    void availability_data();
    void availability();
    void roomErrors_data();
    void roomErrors();
    void presenceCopiesAreDeep();
    void messageLanguages();
    void exceptionTexts();
};

void TestValues::jidParts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("domain");
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QString>("bare");
    QTest::addColumn<QString>("shown");
    QTest::newRow("full") << "n@d/r" << "n" << "d" << "r" << "n@d" << "n@d/r";
    QTest::newRow("domain only") << "d" << "" << "d" << "" << "d" << "d";
    QTest::newRow("no at sign") << "d/r" << "" << "d" << "r" << "d" << "d/r";
    QTest::newRow("two slashes") << "n@d/r/s" << "n" << "d" << "r/s" << "n@d" << "n@d/r/s";
    QTest::newRow("empty") << "" << "" << "" << "" << "" << "";
    QTest::newRow("empty node") << "@d" << "" << "d" << "" << "d" << "d";
    QTest::newRow("empty resource") << "n@d/" << "n" << "d" << "" << "n@d" << "n@d";
    QTest::newRow("at sign in resource") << "d/r@x" << "" << "d" << "r@x" << "d" << "d/r@x";
    QTest::newRow("nick with at sign") << "n@d/a@b" << "n" << "d" << "a@b" << "n@d" << "n@d/a@b";
}

void TestValues::jidParts()
{
    QFETCH(QString, text);
    QFETCH(QString, node);
    QFETCH(QString, domain);
    QFETCH(QString, resource);
    QFETCH(QString, bare);
    QFETCH(QString, shown);
    const XMPPJid jid = parseJid(text);
    QCOMPARE(jid.toString(), shown);
    QCOMPARE(jid.node(), node);
    QCOMPARE(jid.domain(), domain);
    QCOMPARE(jid.resource(), resource);
    QCOMPARE(jid.bare().toString(), bare);
    QCOMPARE(XMPPJid(domain, node, resource).toString(), shown);
}

void TestValues::jidLimits_data()
{
    QTest::addColumn<int>("domain");
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("resource");
    QTest::addColumn<QString>("error");
    QTest::newRow("all at limit") << 1023 << 1023 << 1023 << QString();
    QTest::newRow("node") << 1 << 1024 << 0 << "nodeId too long";
    QTest::newRow("domain checked first") << 1024 << 1024 << 1024 << "domainId too long";
    QTest::newRow("resource") << 1 << 1 << 1024 << "resourceId too long";
}

void TestValues::jidLimits()
{
    QFETCH(int, domain);
    QFETCH(int, node);
    QFETCH(int, resource);
    QFETCH(QString, error);
    try {
        const XMPPJid jid(QString(domain, 'd'), QString(node, 'n'), QString(resource, 'r'));
        QVERIFY(error.isEmpty());
        QCOMPARE(jid.toString().size(), domain + node + resource + 2);
    } catch (const std::invalid_argument& e) {
        QCOMPARE(QString::fromLatin1(e.what()), error);
    }
}

void TestValues::availability_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("show");
    QTest::addColumn<int>("availability");
    QTest::addColumn<int>("rank");
    QTest::newRow("unavailable away") << "unavailable" << int(PresenceStanza::Away) << 1 << 0;
    QTest::newRow("error") << "error" << 0 << 0 << 0;
    QTest::newRow("online") << "" << 0 << 2 << 5;
    QTest::newRow("chat") << "" << int(PresenceStanza::Chat) << 4 << 4;
    QTest::newRow("away") << "" << int(PresenceStanza::Away) << 3 << 3;
    QTest::newRow("xa") << "" << int(PresenceStanza::ExtendedAway) << 6 << 2;
    QTest::newRow("dnd") << "" << int(PresenceStanza::DoNotDisturb) << 5 << 1;
}

void TestValues::availability()
{
    QFETCH(QString, type);
    QFETCH(int, show);
    QFETCH(int, availability);
    QFETCH(int, rank);
    PresenceStanza stanza;
    stanza.stanzaType = type;
    stanza.show = show;
    const XMPPPresence presence(stanza);
    QCOMPARE(presence.availability(), availability);
    QCOMPARE(XMPPPresence::availabilityRank(availability), rank);

    // Setting the availability back gives the same reading, and 0 writes no "error" type.
    XMPPPresence own;
    own.setAvailability(availability);
    QCOMPARE(own.availability(), availability == 0 ? 2 : availability);
    QCOMPARE(own.stanza().stanzaType, availability == 1 ? QStringLiteral("unavailable") : QString());
    XMPPPresence online;
    QCOMPARE(XMPPPresence::lessAvailable(presence, online), rank < 5);
}

void TestValues::roomErrors_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("condition");
    QTest::addColumn<int>("error");
    QTest::newRow("not-authorized") << 4 << 11 << int(XMPPPresence::NotAuthorized);
    QTest::newRow("conflict") << 1 << 2 << int(XMPPPresence::Conflict);
    QTest::newRow("recipient-unavailable") << 5 << 13 << int(XMPPPresence::RecipientUnavailable);
    QTest::newRow("conflict with wrong type") << 5 << 2 << int(XMPPPresence::OtherError);
    QTest::newRow("item-not-found") << 1 << 7 << int(XMPPPresence::OtherError);
}

void TestValues::roomErrors()
{
    QFETCH(int, type);
    QFETCH(int, condition);
    QFETCH(int, error);
    PresenceStanza stanza;
    stanza.stanzaType = QStringLiteral("error");
    stanza.errorType = type;
    stanza.errorCondition = condition;
    QCOMPARE(XMPPPresence(stanza).error(), error);
    stanza.stanzaType.clear();
    QCOMPARE(XMPPPresence(stanza).error(), int(XMPPPresence::NoError));
}

void TestValues::presenceCopiesAreDeep()
{
    XMPPPresence a;
    a.setStatus(QStringLiteral("one"));
    a.setTables({QStringLiteral("1/a/1")});
    XMPPPresence b = a;
    b.setStatus(QStringLiteral("two"));
    a = b;
    b.setTables({});
    QCOMPARE(a.status(), QStringLiteral("two"));
    QCOMPARE(a.tables().size(), 1);
    QVERIFY(!a.hasPhotoHash());
    a.setPhotoHash(QByteArray(""));
    QVERIFY(a.hasPhotoHash());
    QCOMPARE(XMPPPresence::statusCodeValue(332), int(XMPPPresence::Status332));
    QCOMPARE(XMPPPresence::statusCodeValue(999), 0);
}

void TestValues::messageLanguages()
{
    MessageStanza stanza;
    stanza.language = QStringLiteral("de");
    stanza.bodies.insert(QStringLiteral("UND"), QStringLiteral("hallo"));
    stanza.bodies.insert(QStringLiteral("en"), QStringLiteral("hello"));
    for (const QString& type : {QStringLiteral("normal"), QString(), QStringLiteral("bogus")}) {
        stanza.stanzaType = type;
        QCOMPARE(XMPPMessage(stanza, QStringLiteral("en")).type(), int(XMPPMessage::Normal));
    }
    stanza.stanzaType = QStringLiteral("groupchat");
    XMPPMessage m(stanza, QStringLiteral("en"));
    QCOMPARE(m.type(), int(XMPPMessage::GroupChat));
    QCOMPARE(m.body(QStringLiteral("de")), QStringLiteral("hallo"));
    QCOMPARE(m.body(QStringLiteral("en")), QStringLiteral("hello"));
    QCOMPARE(m.body(QStringLiteral("fr")), QString());
    QVERIFY(!m.hasDelay());
    QVERIFY(m.delayStamp().isNull());

    XMPPMessage out(XMPPJid(QStringLiteral("conference.x"), QStringLiteral("lobby")), XMPPMessage::GroupChat);
    out.setBody(QStringLiteral("UND"), QStringLiteral("hi"));
    QCOMPARE(out.stanza().stanzaType, QStringLiteral("groupchat"));
    QCOMPARE(out.body(), QStringLiteral("hi"));
    QCOMPARE(out.stanza().defaultLanguage, QStringLiteral("UND"));
}

void TestValues::exceptionTexts()
{
    QCOMPARE(QByteArray(stream_error(23, QString()).what()), QByteArray("stream_error, code: 23, what: "));
    const stream_parse_error parse(11, QStringLiteral("x"));
    const stream_parse_error copy = parse;
    QCOMPARE(QByteArray(copy.what()), QByteArray("stream_parse_error, code: 11, what: x"));
    QCOMPARE(QByteArray(stanza_error(1, 1, 22, QStringLiteral("7")).what()), QByteArray("iq_error, type: 1, error: 22, id: 7"));
    QCOMPARE(Iq(QStringLiteral("1"), XMPPJid(), Iq::Result).stanzaType, QStringLiteral("result"));
    QCOMPARE(PresenceStanza(XMPPJid(), PresenceStanza::Unavailable, QString()).stanzaType, QStringLiteral("unavailable"));
}

QTEST_GUILESS_MAIN(TestValues)
#include "tst_Values.moc"
