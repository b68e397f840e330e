// Reading 10,000 presences and 10,000 groupchat messages from one buffer,
// per stanza, beside a bare QXmlStreamReader pass over the same bytes; and
// dropping one stanza over the caps (2 MB, 10,000 deep) as it arrives in
// socket-sized batches, beside the bare reader's pass over the same bytes,
// with the heap each one holds at most. Prints figures only; never fails on
// timing.
#include "StreamElement.h"
#include "StreamParser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <malloc.h>

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

/// Milliseconds and the most heap held above the start, in KiB, while the
/// bytes go in 64 KiB batches through `feed`.
std::pair<double, double> batched(const QByteArray& bytes, const std::function<void(const QByteArray&)>& feed)
{
    const size_t base = mallinfo2().uordblks;
    size_t peak = base;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype pos = 0; pos < bytes.size(); pos += 64 * 1024) {
        feed(bytes.mid(pos, 64 * 1024));
        peak = std::max(peak, size_t(mallinfo2().uordblks));
    }
    return {double(timer.nsecsElapsed()) / 1e6, double(peak - base) / 1024.0};
}

void overCap(const char* name, const QByteArray& stanza)
{
    const QByteArray bytes = "<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' "
                             "from='example.net' version='1.0'>" + stanza + "<presence/>";
    const auto [floorMs, floorKiB] = batched(bytes, [reader = std::make_shared<QXmlStreamReader>()](const QByteArray& b) {
        reader->addData(b);
        while (reader->readNext() > QXmlStreamReader::Invalid) {
        }
    });
    int read = 0;
    const auto [parserMs, parserKiB] = batched(bytes, [&read, parser = std::make_shared<xmpp::StreamParser>()](const QByteArray& b) {
        parser->addData(b);
        while (parser->parse() == xmpp::StreamParser::ElementReady)
            ++read;
    });
    std::printf("%s (%lld bytes): dropped by xmpp::StreamParser in %.1f ms = %.2f x the bare reader's pass "
                "(%.1f ms); heap held at most %.0f KiB = %.3f x the bare reader's %.0f KiB%s\n",
                name, static_cast<long long>(bytes.size()), parserMs, parserMs / floorMs, floorMs, parserKiB,
                parserKiB / std::max(floorKiB, 1.0), floorKiB, read == 1 ? "" : " (the next stanza was not read!)");
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
    overCap("a 2 MB message", "<message><body>" + QByteArray(2 * 1024 * 1024, 'a') + "</body></message>");
    overCap("a 2 MB attribute", "<message><x a='" + QByteArray(2 * 1024 * 1024, 'a') + "'/></message>");
    overCap("a 10,000-deep presence",
            "<presence>" + QByteArray("<x>").repeated(10000) + QByteArray("</x>").repeated(10000) + "</presence>");
    return 0;
}
