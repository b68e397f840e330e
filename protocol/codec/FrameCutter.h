#pragma once

#include "message.h"

#include <cstdint>
#include <memory>

class QIODevice;

/// Cuts a byte stream into frames. Each call to next() takes at most one
/// frame out of the device: it reads the length word once four bytes are
/// there, then the body's bytes as they come into a buffer of exactly its
/// size (in one read when the whole body is there), so the work is linear in
/// the stream, nothing is copied twice and a long frame waits in one buffer
/// rather than in the device's as well. A
/// frame may arrive in any number of chunks; the cutter remembers the frame
/// it is reading between calls.
class FrameCutter
{
public:
    /// The largest frame, length word included, that a class of frames may have.
    using Limit = std::size_t (*)(std::uint8_t classId);

    /// `limit` null: wire::maxFrameSize for every class.
    explicit FrameCutter(Limit limit = nullptr)
        : m_limit(limit)
    {
    }

    /// The next complete frame without its length word (class id first), or
    /// null when the device does not hold one yet. Throws server_error for a
    /// length word below 5 or above the limit of its class (known by the
    /// body's first byte for a length above wire::maxFrameSize); the stream
    /// cannot be trusted after that.
    message_ptr next(QIODevice& device);

    /// Bytes of the current frame's body still expected; 0 between frames.
    std::uint32_t pendingBodyLength() const
    {
        return m_length == 0 ? 0 : m_length - std::uint32_t(wire::lengthWordSize) - std::uint32_t(m_body ? m_body->size() : 0);
    }
    bool inFrame() const { return m_length != 0; }

private:
    /// Takes a body that is all in the device in one read.
    message_ptr wholeBody(QIODevice& device, std::size_t bodyLength);
    /// Throws server_error when the current frame's length passes its class's limit.
    void checkLimit(std::uint8_t classId) const;

    Limit m_limit;
    /// The current frame's length word; 0 between frames.
    std::uint32_t m_length = 0;
    /// The current frame's body as far as it came; null before its first byte.
    std::shared_ptr<message_t> m_body;
};
