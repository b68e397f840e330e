#include "FrameCutter.h"

#include "server_error.h"

#include <QIODevice>

#include <algorithm>
#include <utility>

namespace {
[[noreturn]] void refuseLength(std::uint32_t length, const std::string& why)
{
    throw server_error("invalid frame length " + std::to_string(length) + ": " + why);
}
}

message_ptr FrameCutter::next(QIODevice& device)
{
    qint64 available = device.bytesAvailable();
    if (m_length == 0) {
        if (available < qint64(wire::lengthWordSize))
            return nullptr;
        unsigned char word[wire::lengthWordSize];
        if (device.read(reinterpret_cast<char*>(word), sizeof word) != qint64(sizeof word))
            throw server_error("could not read a frame's length word");
        available -= qint64(sizeof word);
        const std::uint32_t length = (std::uint32_t(word[0]) << 24) | (std::uint32_t(word[1]) << 16)
                                     | (std::uint32_t(word[2]) << 8) | std::uint32_t(word[3]);
        if (length < wire::minFrameSize)
            refuseLength(length, "a frame has at least " + std::to_string(wire::minFrameSize) + " bytes");
        m_length = length;
    }
    const std::size_t bodyLength = m_length - wire::lengthWordSize;
    if (!m_body) {
        // Nothing is held for a body before its first byte: a length word
        // alone costs nothing, whatever it says.
        if (available < 1)
            return nullptr;
        if (m_length <= wire::maxFrameSize && available >= qint64(bodyLength))
            return wholeBody(device, bodyLength);
        unsigned char classId = 0;
        if (device.read(reinterpret_cast<char*>(&classId), 1) != 1)
            throw server_error("could not read a frame's class");
        --available;
        checkLimit(classId);
        m_body = std::make_shared<message_t>();
        m_body->reserve(bodyLength);
        m_body->push_back(classId);
    }
    const std::size_t have = m_body->size();
    const std::size_t take = std::min(bodyLength - have, std::size_t(std::max<qint64>(available, 0)));
    if (take > 0) {
        m_body->resize(have + take);
        if (device.read(reinterpret_cast<char*>(m_body->data() + have), qint64(take)) != qint64(take))
            throw server_error("could not read a frame body of " + std::to_string(bodyLength) + " bytes");
    }
    if (m_body->size() < bodyLength)
        return nullptr;
    m_length = 0;
    return std::exchange(m_body, nullptr);
}

message_ptr FrameCutter::wholeBody(QIODevice& device, std::size_t bodyLength)
{
    // The common case, a frame of ordinary size that is all there: one read
    // into a buffer of its size, as cutting by hand with QDataStream would.
    auto body = std::make_shared<message_t>(bodyLength);
    if (device.read(reinterpret_cast<char*>(body->data()), qint64(bodyLength)) != qint64(bodyLength))
        throw server_error("could not read a frame body of " + std::to_string(bodyLength) + " bytes");
    checkLimit((*body)[0]);
    m_length = 0;
    return body;
}

void FrameCutter::checkLimit(std::uint8_t classId) const
{
    const std::size_t limit = m_limit ? m_limit(classId) : wire::maxFrameSize;
    if (m_length > limit)
        refuseLength(m_length, "larger than the limit of " + std::to_string(limit) + " bytes");
}
