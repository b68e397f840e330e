#include "FrameCutter.h"

#include "server_error.h"

#include <QIODevice>

message_ptr FrameCutter::next(QIODevice& device)
{
    if (m_pending == 0) {
        if (device.bytesAvailable() < qint64(wire::lengthWordSize))
            return nullptr;
        unsigned char word[wire::lengthWordSize];
        if (device.read(reinterpret_cast<char*>(word), sizeof word) != qint64(sizeof word))
            throw server_error("could not read a frame's length word");
        const std::uint32_t length = (std::uint32_t(word[0]) << 24) | (std::uint32_t(word[1]) << 16)
                                     | (std::uint32_t(word[2]) << 8) | std::uint32_t(word[3]);
        if (length < wire::minFrameSize)
            throw server_error("invalid frame length " + std::to_string(length) + ": a frame has at least "
                               + std::to_string(wire::minFrameSize) + " bytes");
        if (length > wire::maxFrameSize)
            throw server_error("invalid frame length " + std::to_string(length) + ": larger than the limit of "
                               + std::to_string(wire::maxFrameSize) + " bytes");
        m_pending = length - wire::lengthWordSize;
    }
    if (device.bytesAvailable() < qint64(m_pending))
        return nullptr;
    auto message = std::make_shared<message_t>(m_pending);
    const qint64 got = device.read(reinterpret_cast<char*>(message->data()), qint64(m_pending));
    if (got != qint64(m_pending))
        throw server_error("could not read a frame body of " + std::to_string(m_pending) + " bytes");
    m_pending = 0;
    return message;
}
