// Fuzzes frame cutting and message reading: the input is a byte stream as it
// could arrive from the server, delivered in chunks whose sizes the input's
// first byte chooses. Every frame cut out of it is read field by field with
// the reader, driven by the frame's own bytes. Bad input must end in a
// server_error, never in a crash, a hang or a huge allocation.

#include "FrameCutter.h"
#include "ProtocolValues.h"
#include "message_reader.h"
#include "server_error.h"
#include "tile.h"

#include <QIODevice>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

/// A sequential device fed chunk by chunk, like a socket's read buffer.
class ChunkDevice : public QIODevice
{
public:
    ChunkDevice() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    void feed(const std::uint8_t* data, std::size_t size) { m_data.append(reinterpret_cast<const char*>(data), qsizetype(size)); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_data.size() - m_pos + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        const qint64 n = std::min<qint64>(max, m_data.size() - m_pos);
        std::memcpy(out, m_data.constData() + m_pos, std::size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_pos = 0;
};

// Reads fields in an order chosen by the frame's own bytes.
void readFrame(const message_ptr& frame)
{
    message_reader r(frame);
    for (int step = 0; step < 64 && !r.at_end(); ++step) {
        switch (r.get_u8() % 12) {
        case 0:
            r.get_u16();
            break;
        case 1:
            r.get_u32();
            break;
        case 2:
            r.get_u64();
            break;
        case 3:
            r.get_string();
            break;
        case 4:
            r.get_bytes();
            break;
        case 5: {
            message_reader inner(r.get_nested());
            inner.get_u32();
            break;
        }
        case 6: {
            const std::uint32_t n = r.checked_count(r.get_u32(), 1);
            tile_vector tiles;
            tiles.reserve(n);
            for (std::uint32_t i = 0; i < n; ++i)
                tiles.push_back(tileFromWire(r.get_u8()));
            break;
        }
        case 7:
            parseBonusTable(r.get_string());
            break;
        case 8:
            meldTypeFromWire(r.get_u8());
            break;
        case 9:
            timeSpanFromWire({r.get_i64(), r.get_i64()});
            break;
        case 10: {
            wire::highlighted_tiles item;
            item.index = r.get_u8();
            const std::uint32_t n = r.checked_count(r.get_u32(), 1);
            for (std::uint32_t i = 0; i < n; ++i)
                item.tiles.push_back(r.get_u8());
            highlightedTilesFromWire(item);
            break;
        }
        default:
            gameStateFromWire(r.get_u32());
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t chunk = std::size_t(data[0] % 16) + 1;
    ++data;
    --size;

    ChunkDevice device;
    FrameCutter cutter;
    try {
        for (std::size_t at = 0; at < size; at += chunk) {
            device.feed(data + at, std::min(chunk, size - at));
            while (message_ptr frame = cutter.next(device)) {
                try {
                    readFrame(frame);
                } catch (const server_error&) {
                    // a bad frame: reported, the stream goes on being cut in the test
                }
            }
        }
    } catch (const server_error&) {
        // a bad length word: the connection would close here
    }
    return 0;
}
