// Fuzzes every decoder of the game envelope and of the service answers. The
// first input byte chooses the route:
//   0  a game envelope (class 100) whose inner packet is the rest of the input,
//      handled by a ConnectionManager as if the server had sent it;
//   1  a backend service answer (class 101) to an outstanding request whose
//      class is the second byte; the rest is the inner answer;
//   2  the same as a local service answer (class 103);
//   3  a list of typed values (any_t), every tag's reader;
//   4  the three large game records read on their own.
// Bad input must end in an exception (server_error and the like), never in a
// crash, a hang or a huge allocation.

#include "Connection.h"
#include "ConnectionManager.h"
#include "any_t.h"
#include "game_data_packet.h"
#include "hand_end_packet.h"
#include "message_reader.h"
#include "request_handler.h"
#include "start_hand_packet.h"
#include "wire_codec.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

namespace {

void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

ConnectionManager* manager = nullptr;

void put32(message_t& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

/// The inner payload as a nested frame: its length word, then the bytes.
void putNested(message_t& out, const std::uint8_t* data, std::size_t size)
{
    put32(out, static_cast<std::uint32_t>(size + 4));
    put32(out, static_cast<std::uint32_t>(size + 4));
    out.insert(out.end(), data, data + size);
}

void deliver(message_t frame)
{
    try {
        Q_EMIT manager->connection()->messageReceived(std::make_shared<const message_t>(std::move(frame)));
    } catch (const std::exception&) {
    }
}

void throughManager(std::uint8_t route, const std::uint8_t* data, std::size_t size)
{
    if (route == 0) {
        message_t frame{100};
        put32(frame, 7);
        put32(frame, 9);
        putNested(frame, data, size);
        deliver(std::move(frame));
        return;
    }
    if (size < 1)
        return;
    const int requestClass = data[0];
    ++data;
    --size;
    request_handler& registry = route == 1 ? service_requests() : local_service_requests();
    const int seq = registry.registerRequest(requestClass);
    message_t frame;
    if (route == 1) {
        frame.push_back(101);
        put32(frame, 0);
        put32(frame, static_cast<std::uint32_t>(seq));
        frame.push_back(0);
        frame.push_back(0); // empty service name
        frame.push_back(0);
    } else {
        frame.push_back(103);
        put32(frame, static_cast<std::uint32_t>(seq));
    }
    putNested(frame, data, size);
    deliver(std::move(frame));
    if (registry.isOutstanding(seq))
        registry.takeOutstandingRequest(seq);
}

void decodersAlone(std::uint8_t route, const std::uint8_t* data, std::size_t size)
{
    message_t bytes{0};
    bytes.insert(bytes.end(), data, data + size);
    try {
        message_reader r(bytes);
        game_wire::decode_context ctx;
        if (route == 3) {
            any_t::readList(r, ctx);
        } else {
            const std::uint8_t which = r.get_u8();
            if (which % 3 == 0)
                start_hand_packet::read(r, ctx);
            else if (which % 3 == 1)
                game_data_packet::read(r, ctx);
            else
                hand_end_packet::read(r, ctx);
        }
    } catch (const std::exception&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static int qtArgc = 1;
    static char name[] = "fuzz_game_messages";
    static char* qtArgv[] = {name, nullptr};
    qInstallMessageHandler(quietMessages);
    static QCoreApplication app(qtArgc, qtArgv);
    manager = new ConnectionManager(false);
    for (int pid = 0; pid < 8; ++pid)
        manager->setPlayerName(pid, QStringLiteral("p%1").arg(pid));
    (void)argc;
    (void)argv;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t route = data[0] % 5;
    if (route <= 2)
        throughManager(route, data + 1, size - 1);
    else
        decodersAlone(route, data + 1, size - 1);
    return 0;
}
