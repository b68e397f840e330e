#include "ParamValue.h"

#include "message_reader.h"
#include "message_writer.h"
#include "server_error.h"



ParamValue decodeParamValue(std::uint8_t type, const std::vector<unsigned char>& bytes)
{
    if (type != param_type::text && type != param_type::integer && type != param_type::integer2)
        throw server_error("invalid param type received: " + std::to_string(type));

    // The value bytes are the fields of a frame without its header: put a
    // class byte in front and read them like any received message.
    message_t frame;
    frame.reserve(bytes.size() + 1);
    frame.push_back(0);
    frame.insert(frame.end(), bytes.begin(), bytes.end());
    message_reader reader(std::move(frame));
    if (type == param_type::text)
        return reader.get_string();
    return reader.get_i32();
}

std::vector<unsigned char> encodeIntParamValue(qint32 value)
{
    message_writer writer(0);
    writer.put_i32(value);
    auto frame = writer.finish();
    return {frame.begin() + wire::minFrameSize, frame.end()};
}

std::vector<unsigned char> encodeTextParamValue(const std::string& text)
{
    message_writer writer(0);
    writer.put_string(text);
    auto frame = writer.finish();
    return {frame.begin() + wire::minFrameSize, frame.end()};
}

std::string paramValueDebugText(const ParamValue& value)
{
    if (const auto* number = std::get_if<qint32>(&value))
        return "int32(" + std::to_string(*number) + ")";
    return "string(" + std::get<std::string>(value) + ")";
}

std::string paramDebugText(const Param& param)
{
    std::string text = param.name + " => ";
    try {
        text += paramValueDebugText(decodeParamValue(param.type, param.value));
    } catch (const std::exception&) {
        text += "<invalid>";
    }
    return text;
}

std::string paramListDebugText(const ParamList& params)
{
    std::string text;
    for (const Param& param : params) {
        text += "\n  ";
        text += paramDebugText(param);
    }
    return text;
}

namespace {
// Smallest encoded sizes of one list element, used to check list counts
// against the bytes that are really left in the frame.
constexpr std::size_t minParamSize = 2 + 1 + 4;
constexpr std::size_t minStringSize = 2;
constexpr std::size_t u32Size = 4;
}

ParamList readParamList(message_reader& reader)
{
    const std::uint32_t count = reader.checked_count(reader.get_u32(), minParamSize);
    ParamList params;
    params.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        Param param;
        param.name = reader.get_string();
        param.type = reader.get_u8();
        param.value = reader.get_bytes();
        params.push_back(std::move(param));
    }
    return params;
}

std::vector<std::string> readStringList(message_reader& reader)
{
    const std::uint32_t count = reader.checked_count(reader.get_u32(), minStringSize);
    std::vector<std::string> strings;
    strings.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        strings.push_back(reader.get_string());
    return strings;
}

std::vector<std::uint32_t> readU32List(message_reader& reader)
{
    const std::uint32_t count = reader.checked_count(reader.get_u32(), u32Size);
    std::vector<std::uint32_t> values;
    values.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        values.push_back(reader.get_u32());
    return values;
}

void writeParamList(message_writer& writer, const ParamList& params)
{
    writer.put_u32(static_cast<std::uint32_t>(params.size()));
    for (const Param& param : params) {
        writer.put_string(param.name);
        writer.put_u8(param.type);
        writer.put_bytes(param.value);
    }
}

void writeFilterParamList(message_writer& writer, const FilterParamList& params)
{
    writer.put_u32(static_cast<std::uint32_t>(params.size()));
    for (const FilterParam& param : params) {
        writer.put_string(param.name);
        writer.put_u8(param.type);
        writer.put_bytes(param.value);
        writer.put_u8(param.comparison);
    }
}
