#pragma once

#include <memory>
#include <vector>

/// The bytes of one received frame without its 4-byte length word: the first
/// byte is the class id, the rest are the class's fields.
using message_t = std::vector<unsigned char>;

/// Owning handle for a received frame as it travels through signals.
using message_ptr = std::shared_ptr<const message_t>;

namespace wire {
/// Size of the length word that starts every frame.
constexpr std::size_t lengthWordSize = 4;
/// Smallest legal frame: the length word plus the class id.
constexpr std::size_t minFrameSize = 5;
/// Largest frame we accept from the server but for the record lists below.
/// Real frames are a few kilobytes; anything near this is a broken or hostile
/// peer.
constexpr std::size_t maxFrameSize = 16u * 1024u * 1024u;
/// Largest list of table or tournament records: an honest server of 100,000
/// tournaments lists them in about 36 MB.
constexpr std::size_t maxListFrameSize = 64u * 1024u * 1024u;
}
