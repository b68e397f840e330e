#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Builds one outgoing frame: a length word (filled in by finish()), the class
/// id, then the fields in order, all integers most significant byte first.
class message_writer
{
public:
    explicit message_writer(std::uint8_t classId);

    void put_u8(std::uint8_t value);
    void put_u16(std::uint16_t value);
    void put_u32(std::uint32_t value);
    void put_i32(std::int32_t value) { put_u32(static_cast<std::uint32_t>(value)); }
    void put_u64(std::uint64_t value);
    void put_flag(bool value) { put_u8(value ? 1 : 0); }

    /// A u16 byte count, then the bytes. Longer strings cannot be counted in
    /// 16 bits; they are cut at 65535 bytes rather than corrupting the frame.
    void put_string(const std::string& bytes);

    /// A u32 byte count, then the bytes. Also used to nest a finished frame.
    void put_bytes(const std::vector<unsigned char>& bytes);

    /// Stores the total size in the length word and hands out the frame.
    std::vector<unsigned char> finish();

private:
    std::vector<unsigned char> m_bytes;
};
