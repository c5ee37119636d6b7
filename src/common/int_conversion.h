#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellar {

// Reads a signed 32-bit integer: optional leading spaces, an optional sign, then
// decimal digits or hexadecimal digits after "$", "x", "X", "0x" or "0X". Up to
// eight significant hexadecimal digits give a two's-complement pattern ("$FFFFFFFF"
// is -1), which a "-" negates. Nothing may follow the digits.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt, failing with "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// The failure message of StrToInt for a text.
std::string NotAnIntegerMessage(std::string_view text);

}  // namespace quellar
