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
        if (!m_wordHeld) {
            if (available < qint64(wire::lengthWordSize))
                return nullptr;
            if (device.read(reinterpret_cast<char*>(m_word), sizeof m_word) != qint64(sizeof m_word))
                throw server_error("could not read a frame's length word");
            available -= qint64(sizeof m_word);
        }
        m_wordHeld = false;
        const std::uint32_t length = heldLength();
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
            return wholeBody(device, bodyLength, available);
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

message_ptr FrameCutter::wholeBody(QIODevice& device, std::size_t bodyLength, qint64 available)
{
    // The common case, a frame of ordinary size that is all there: one read
    // into a buffer of its size, and of the next frame's length word when
    // that is there too, so that a run of small frames costs a read each.
    const bool nextWord = available - qint64(bodyLength) >= qint64(wire::lengthWordSize);
    const std::size_t size = bodyLength + (nextWord ? wire::lengthWordSize : 0);
    auto body = std::make_shared<message_t>(size);
    if (device.read(reinterpret_cast<char*>(body->data()), qint64(size)) != qint64(size))
        throw server_error("could not read a frame body of " + std::to_string(bodyLength) + " bytes");
    checkLimit((*body)[0]);
    if (nextWord) {
        std::copy_n(body->data() + bodyLength, wire::lengthWordSize, m_word);
        body->resize(bodyLength);
        m_wordHeld = true;
    }
    m_length = 0;
    return body;
}

void FrameCutter::checkLimit(std::uint8_t classId) const
{
    const std::size_t limit = m_limit ? m_limit(classId) : wire::maxFrameSize;
    if (m_length > limit)
        refuseLength(m_length, "larger than the limit of " + std::to_string(limit) + " bytes");
}
