// Times 10,000 presences and 10,000 groupchat messages (the input of
// tests/xmpp/bench_stream_parser.cpp) through QXmpp's way of reading a
// stream: the received bytes wrapped in the stream element and read into a
// DOM document with namespaces, then every top-level element parsed into a
// QXmppPresence or QXmppMessage. Beside it, a bare QXmlStreamReader pass over
// the same bytes, the floor, in the same run.
#include <QCoreApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QXmlStreamReader>

#include <QXmppMessage.h>
#include <QXmppPresence.h>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

const QByteArray StreamOpen = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                              "xmlns:stream='http://etherx.jabber.org/streams' from='example.net' version='1.0' xml:lang='en'>";

QByteArray stanzas()
{
    QByteArray bytes;
    for (int i = 0; i < 10000; ++i) {
        bytes += "<presence from='" + QByteArray::number(2000 + i % 300) + "@example.net/desk' to='1042@example.net/a1b2c3'>"
                 "<show>away</show><status>at table " + QByteArray::number(i) + "</status><priority>5</priority>"
                 "<x xmlns='vcard-temp:x:update'><photo>01b87fcd030b72895ff8e88db57ec525450f000d</photo></x></presence>";
        bytes += "<message from='lobby@conference.example.net/Player" + QByteArray::number(i % 50) +
                 "' to='1042@example.net/a1b2c3' type='groupchat' id='m" + QByteArray::number(i) +
                 "'><body>Good game everyone, see you at the next table " + QByteArray::number(i) + "</body></message>";
    }
    return bytes;
}

qint64 floorPass(const QByteArray& bytes)
{
    QElapsedTimer timer;
    timer.start();
    QXmlStreamReader reader;
    reader.addData(bytes);
    qint64 tokens = 0;
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::Invalid)
        ++tokens;
    const qint64 ns = timer.nsecsElapsed();
    if (tokens < 20000)
        std::printf("floor pass read only %lld tokens\n", static_cast<long long>(tokens));
    return ns;
}

qint64 qxmppPass(const QByteArray& body)
{
    QElapsedTimer timer;
    timer.start();
    QDomDocument doc;
    const QByteArray complete = StreamOpen + body + "</stream:stream>";
    if (!doc.setContent(complete, true))
        std::printf("document not read\n");
    int presences = 0, messages = 0;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName() == QLatin1String("presence")) {
            QXmppPresence presence;
            presence.parse(e);
            presences += presence.availableStatusType() == QXmppPresence::Away;
        } else if (e.tagName() == QLatin1String("message")) {
            QXmppMessage message;
            message.parse(e);
            messages += !message.body().isEmpty();
        }
    }
    const qint64 ns = timer.nsecsElapsed();
    if (presences != 10000 || messages != 10000)
        std::printf("read %d presences and %d messages\n", presences, messages);
    return ns;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray body = stanzas();
    const QByteArray whole = StreamOpen + body + "</stream:stream>";
    qint64 floorBest = std::numeric_limits<qint64>::max();
    qint64 qxmppBest = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 7; ++round) {
        floorBest = std::min(floorBest, floorPass(whole));
        qxmppBest = std::min(qxmppBest, qxmppPass(body));
    }
    std::printf("Qt %s, QXmpp from Debian's libqxmpp-dev\n", qVersion());
    std::printf("bare QXmlStreamReader (floor): %.0f ns/stanza\n", floorBest / 20000.0);
    std::printf("QXmpp (DOM document + parse):  %.0f ns/stanza = %.2f x floor\n", qxmppBest / 20000.0,
                double(qxmppBest) / double(floorBest));
    return 0;
}
