#pragma once

#include "message.h"

#include <cstdint>
#include <string>

/// Takes one received frame apart, field by field. Every read checks that the
/// frame still holds the field's bytes and throws server_error when it does
/// not, so a short or lying frame never reads past its end.
class message_reader
{
public:
    /// Takes the frame (class id first, no length word). Throws server_error
    /// for an empty frame.
    explicit message_reader(message_t message);
    /// Reads a shared frame in place, without copying it.
    explicit message_reader(message_ptr message);

    std::uint8_t class_id() const { return m_classId; }

    std::uint8_t get_u8();
    bool get_flag() { return get_u8() != 0; }
    std::uint16_t get_u16();
    std::uint32_t get_u32();
    std::int32_t get_i32() { return static_cast<std::int32_t>(get_u32()); }
    std::uint64_t get_u64();
    std::int64_t get_i64() { return static_cast<std::int64_t>(get_u64()); }
    std::string get_string();
    std::vector<unsigned char> get_bytes();

    /// Reads a byte vector holding a nested frame and returns the inner frame
    /// without its own length word, ready for another reader. Throws when the
    /// inner length word disagrees with the vector's size.
    message_t get_nested();

    /// Checks a list count read from the frame against the bytes left, given
    /// the smallest size one element can have, so that a lying count cannot
    /// make the caller reserve or loop far beyond the frame.
    std::uint32_t checked_count(std::uint32_t count, std::size_t minElementSize) const;

    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_size - m_pos; }
    bool at_end() const { return m_pos >= m_size; }

private:
    void need(std::size_t count, const char* what) const;

    message_ptr m_owner;
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos = 1;
    std::uint8_t m_classId = 0;
};
