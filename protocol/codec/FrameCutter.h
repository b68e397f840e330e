#pragma once

#include "message.h"

#include <cstdint>

class QIODevice;

/// Cuts a byte stream into frames. Each call to next() takes at most one
/// frame out of the device: it reads the length word once four bytes are
/// there, then the body with one read into a buffer of exactly its size, so
/// the work is linear in the stream and nothing is copied twice. A frame may
/// arrive in any number of chunks; the cutter remembers the body length it is
/// waiting for between calls.
class FrameCutter
{
public:
    /// The next complete frame without its length word (class id first), or
    /// null when the device does not hold one yet. Throws server_error for a
    /// length word below 5 or above wire::maxFrameSize; the stream cannot be
    /// trusted after that.
    message_ptr next(QIODevice& device);

    /// Bytes of the current frame's body still expected; 0 between frames.
    std::uint32_t pendingBodyLength() const { return m_pending; }
    bool inFrame() const { return m_pending != 0; }

private:
    std::uint32_t m_pending = 0;
};
