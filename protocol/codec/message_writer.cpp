#include "message_writer.h"

#include <algorithm>
#include <limits>

message_writer::message_writer(std::uint8_t classId)
{
    m_bytes.reserve(64);
    m_bytes.assign({0, 0, 0, 0, classId});
}

void message_writer::put_u8(std::uint8_t value)
{
    m_bytes.push_back(value);
}

void message_writer::put_u16(std::uint16_t value)
{
    m_bytes.push_back(static_cast<unsigned char>(value >> 8));
    m_bytes.push_back(static_cast<unsigned char>(value));
}

void message_writer::put_u32(std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        m_bytes.push_back(static_cast<unsigned char>(value >> shift));
}

void message_writer::put_u64(std::uint64_t value)
{
    for (int shift = 56; shift >= 0; shift -= 8)
        m_bytes.push_back(static_cast<unsigned char>(value >> shift));
}

void message_writer::put_string(const std::string& bytes)
{
    const std::size_t count = std::min<std::size_t>(bytes.size(), std::numeric_limits<std::uint16_t>::max());
    put_u16(static_cast<std::uint16_t>(count));
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

void message_writer::put_bytes(const std::vector<unsigned char>& bytes)
{
    put_u32(static_cast<std::uint32_t>(bytes.size()));
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

std::vector<unsigned char> message_writer::finish()
{
    const auto size = static_cast<std::uint32_t>(m_bytes.size());
    m_bytes[0] = static_cast<unsigned char>(size >> 24);
    m_bytes[1] = static_cast<unsigned char>(size >> 16);
    m_bytes[2] = static_cast<unsigned char>(size >> 8);
    m_bytes[3] = static_cast<unsigned char>(size);
    return m_bytes;
}
