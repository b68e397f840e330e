// Reading 10,000 presences and 10,000 groupchat messages from one buffer,
// per stanza, beside the floor of a bare QXmlStreamReader pass over the same
// bytes, best of seven (goal: at most 3 times the floor). Prints figures
// only; never fails on timing.
#include "StreamElement.h"
#include "StreamParser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>

namespace {

QByteArray input()
{
    QByteArray bytes = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                       "xmlns:stream='http://etherx.jabber.org/streams' from='example.net' version='1.0' xml:lang='en'>";
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

qint64 parserPass(const QByteArray& bytes)
{
    QElapsedTimer timer;
    timer.start();
    xmpp::StreamParser parser;
    parser.addData(bytes);
    int elements = 0;
    while (parser.parse() == xmpp::StreamParser::ElementReady)
        ++elements;
    const qint64 ns = timer.nsecsElapsed();
    if (elements != 20000)
        std::printf("parser read %d elements\n", elements);
    return ns;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray bytes = input();
    qint64 floorBest = std::numeric_limits<qint64>::max();
    qint64 parserBest = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 7; ++round) {
        floorBest = std::min(floorBest, floorPass(bytes));
        parserBest = std::min(parserBest, parserPass(bytes));
    }
    const double stanzas = 20000.0;
    std::printf("input: %lld bytes, 20000 stanzas (10000 presence, 10000 groupchat message)\n",
                static_cast<long long>(bytes.size()));
    std::printf("bare QXmlStreamReader (floor): %.0f ns/stanza\n", floorBest / stanzas);
    std::printf("xmpp::StreamParser:            %.0f ns/stanza = %.2f x floor (goal: at most 3 x)\n",
                parserBest / stanzas, double(parserBest) / double(floorBest));
    return 0;
}
