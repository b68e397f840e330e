// Bytes from an XMPP server, cut into batches, through the stream reader.
// The first byte chooses whether a valid stream header goes first (so the
// fuzzer reaches the element readers quickly) and the batch size.
#include "Exceptions.h"
#include "StreamElement.h"
#include "StreamParser.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t control = data[0];
    const QByteArray body(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QByteArray input;
    if (control & 1)
        input = "<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' "
                "from='example.net' version='1.0'>";
    input += body;
    const qsizetype batch = 1 + (control >> 1) * 4;

    xmpp::StreamParser parser;
    // A list answer with this id, read an item at a time, as a roster or room list is.
    parser.allowLargerAnswer(QStringLiteral("r"), {QString()}, 64 * 1024 * 1024);
    try {
        for (qsizetype pos = 0; pos < input.size(); pos += batch) {
            parser.addData(input.mid(pos, batch));
            for (int steps = 0; steps < 10000; ++steps) {
                const int result = parser.parse();
                if (result != xmpp::StreamParser::ElementReady)
                    break;
                if (!parser.element() || parser.element()->type() < 0 || parser.element()->type() > 23)
                    __builtin_trap();
            }
        }
    } catch (const xmpp::Exception&) {
        // A refused stream is a normal outcome; the parser is reset for the next one.
        parser.reset();
    }
    return 0;
}
