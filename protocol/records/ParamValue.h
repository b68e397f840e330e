#pragma once

#include <QtGlobal>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

/// The value of one typed lobby parameter: a 32-bit integer or a text (the
/// raw UTF-8 bytes as the server sent them).
using ParamValue = std::variant<qint32, std::string>;

/// One item of a parameter list as it travels on the wire: a name, a value
/// type tag (0 text, 1 and 2 integer) and the value's encoded bytes.
struct Param
{
    std::string name;
    std::uint8_t type = 0;
    std::vector<unsigned char> value;
};

/// One item of a filter list: a parameter with a comparison code.
struct FilterParam
{
    std::string name;
    std::uint8_t type = 0;
    std::vector<unsigned char> value;
    std::uint8_t comparison = 0;
};

using ParamList = std::vector<Param>;
using FilterParamList = std::vector<FilterParam>;

/// Value type tags of parameter lists.
namespace param_type {
constexpr std::uint8_t text = 0;
constexpr std::uint8_t integer = 1;
constexpr std::uint8_t integer2 = 2;
}

/// Decodes the value bytes of a parameter. Throws server_error
/// "invalid param type received: <type>" for an unknown type tag, and
/// server_error when the bytes are too short for the type.
ParamValue decodeParamValue(std::uint8_t type, const std::vector<unsigned char>& bytes);

/// Encodes an integer or a text into parameter value bytes.
std::vector<unsigned char> encodeIntParamValue(qint32 value);
std::vector<unsigned char> encodeTextParamValue(const std::string& text);

/// "int32(<decimal>)" or "string(<text>)".
std::string paramValueDebugText(const ParamValue& value);

/// "<name> => <value text>"; an undecodable value shows as "<invalid>".
std::string paramDebugText(const Param& param);

/// The debug texts of all parameters, one per line.
std::string paramListDebugText(const ParamList& params);

class message_reader;
class message_writer;

/// Reads a parameter list (u32 count, then name, type, byte vector each).
ParamList readParamList(message_reader& reader);
/// Reads a string list (u32 count, then strings).
std::vector<std::string> readStringList(message_reader& reader);
/// Reads a u32 list (u32 count, then u32 values).
std::vector<std::uint32_t> readU32List(message_reader& reader);

void writeParamList(message_writer& writer, const ParamList& params);
void writeFilterParamList(message_writer& writer, const FilterParamList& params);
