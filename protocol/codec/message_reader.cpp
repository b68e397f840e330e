#include "message_reader.h"

#include "server_error.h"

#include <utility>

message_reader::message_reader(message_t message)
    : message_reader(std::make_shared<const message_t>(std::move(message)))
{
}

message_reader::message_reader(message_ptr message)
    : m_owner(std::move(message))
{
    if (!m_owner || m_owner->empty())
        throw server_error("empty message: no class id");
    m_data = m_owner->data();
    m_size = m_owner->size();
    m_classId = m_data[0];
}

void message_reader::need(std::size_t count, const char* what) const
{
    if (count > remaining()) {
        throw server_error("message of class " + std::to_string(m_classId) + " ends early: " + what + " needs "
                           + std::to_string(count) + " bytes at offset " + std::to_string(m_pos) + ", "
                           + std::to_string(remaining()) + " left");
    }
}

std::uint8_t message_reader::get_u8()
{
    need(1, "u8");
    return m_data[m_pos++];
}

std::uint16_t message_reader::get_u16()
{
    need(2, "u16");
    const std::uint16_t value = static_cast<std::uint16_t>((m_data[m_pos] << 8) | m_data[m_pos + 1]);
    m_pos += 2;
    return value;
}

std::uint32_t message_reader::get_u32()
{
    need(4, "u32");
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | m_data[m_pos + i];
    m_pos += 4;
    return value;
}

std::uint64_t message_reader::get_u64()
{
    need(8, "u64");
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value = (value << 8) | m_data[m_pos + i];
    m_pos += 8;
    return value;
}

std::string message_reader::get_string()
{
    const std::size_t count = get_u16();
    need(count, "string");
    std::string value(reinterpret_cast<const char*>(m_data + m_pos), count);
    m_pos += count;
    return value;
}

std::vector<unsigned char> message_reader::get_bytes()
{
    const std::size_t count = get_u32();
    need(count, "byte vector");
    std::vector<unsigned char> value(m_data + m_pos, m_data + m_pos + count);
    m_pos += count;
    return value;
}

message_t message_reader::get_nested()
{
    const std::size_t count = get_u32();
    need(count, "nested frame");
    if (count < wire::minFrameSize)
        throw server_error("nested frame of " + std::to_string(count) + " bytes is shorter than a frame header");
    const unsigned char* p = m_data + m_pos;
    const std::uint32_t innerLength = (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16)
                                      | (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
    if (innerLength != count)
        throw server_error("nested frame length " + std::to_string(innerLength) + " does not match its envelope ("
                           + std::to_string(count) + " bytes)");
    message_t inner(p + wire::lengthWordSize, p + count);
    m_pos += count;
    return inner;
}

std::uint32_t message_reader::checked_count(std::uint32_t count, std::size_t minElementSize) const
{
    if (minElementSize > 0 && count > remaining() / minElementSize) {
        throw server_error("message of class " + std::to_string(m_classId) + " announces " + std::to_string(count)
                           + " elements but only " + std::to_string(remaining()) + " bytes are left");
    }
    return count;
}
