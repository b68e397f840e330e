#pragma once

#include "message.h"

#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <memory>

class QIODevice;

/// Cuts a byte stream into frames. Each call to next() takes at most one
/// frame out of the device, and the next frame's length word when it came
/// with it: it reads the length word once four bytes are there, then the
/// body's bytes as they come into a buffer of exactly its size (in one read
/// with the next length word when the whole body is there), so the work is
/// linear in the stream, nothing is copied twice and a long frame waits in
/// one buffer rather than in the device's as well. A frame may arrive in any
/// number of chunks; the cutter remembers the frame it is reading between
/// calls.
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
        if (m_wordHeld) // not checked yet: a word under its own size names no body
            return std::max(heldLength(), std::uint32_t(wire::lengthWordSize)) - std::uint32_t(wire::lengthWordSize);
        return m_length == 0 ? 0 : m_length - std::uint32_t(wire::lengthWordSize) - std::uint32_t(m_body ? m_body->size() : 0);
    }
    bool inFrame() const { return m_length != 0 || m_wordHeld; }
    /// Forgets the frame being read: the next byte starts a new stream.
    void reset()
    {
        m_length = 0;
        m_wordHeld = false;
        m_body.reset();
    }

private:
    /// Takes a body that is all in the device, and the next length word if it is there, in one read.
    message_ptr wholeBody(QIODevice& device, std::size_t bodyLength, qint64 available);
    /// Throws server_error when the current frame's length passes its class's limit.
    void checkLimit(std::uint8_t classId) const;

    Limit m_limit;
    std::uint32_t heldLength() const
    {
        return (std::uint32_t(m_word[0]) << 24) | (std::uint32_t(m_word[1]) << 16) | (std::uint32_t(m_word[2]) << 8)
               | std::uint32_t(m_word[3]);
    }

    /// The current frame's length word, checked; 0 between frames.
    std::uint32_t m_length = 0;
    /// The last length word read; m_wordHeld while it was read with the
    /// frame before and is not checked yet (its fault is the next call's).
    unsigned char m_word[wire::lengthWordSize] = {};
    bool m_wordHeld = false;
    /// The current frame's body as far as it came; null before its first byte.
    std::shared_ptr<message_t> m_body;
};
