#include "common/int_conversion.h"

#include "common/ascii.h"
#include "common/error.h"

namespace quellar {
namespace {

// Length of a hexadecimal prefix at the start of text, or 0.
std::size_t HexPrefixLength(std::string_view text) {
  if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X'))
    return 1;
  if (text.starts_with("0x") || text.starts_with("0X"))
    return 2;
  return 0;
}

std::optional<std::uint32_t> ReadHex(std::string_view digits) {
  if (digits.empty())
    return std::nullopt;
  std::uint32_t pattern = 0;
  int significant = 0;
  for (char c : digits) {
    const int value = HexDigitValue(c);
    if (value < 0)
      return std::nullopt;
    if (significant > 0 || value != 0)
      ++significant;
    if (significant > 8)
      return std::nullopt;
    pattern = (pattern << 4) | static_cast<std::uint32_t>(value);
  }
  return pattern;
}

// The magnitude of a decimal number, or nothing when it does not fit in limit.
std::optional<std::uint32_t> ReadDecimal(std::string_view digits, std::uint32_t limit) {
  if (digits.empty())
    return std::nullopt;
  std::uint64_t magnitude = 0;
  for (char c : digits) {
    if (!IsAsciiDigit(c))
      return std::nullopt;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    if (magnitude > limit)
      return std::nullopt;
  }
  return static_cast<std::uint32_t>(magnitude);
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  std::string_view rest = text;
  while (rest.starts_with(' '))
    rest.remove_prefix(1);

  bool negative = false;
  if (rest.starts_with('+') || rest.starts_with('-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }

  std::uint32_t pattern = 0;
  if (const std::size_t prefix = HexPrefixLength(rest); prefix > 0) {
    const auto hex = ReadHex(rest.substr(prefix));
    if (!hex)
      return std::nullopt;
    pattern = *hex;
  } else {
    const std::uint32_t limit = negative ? 2147483648u : 2147483647u;
    const auto decimal = ReadDecimal(rest, limit);
    if (!decimal)
      return std::nullopt;
    pattern = *decimal;
  }
  if (negative)
    pattern = 0u - pattern;
  return static_cast<std::int32_t>(pattern);
}

std::string NotAnIntegerMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

std::int32_t StrToInt(std::string_view text) {
  if (const auto value = TryStrToInt(text))
    return *value;
  throw Error(NotAnIntegerMessage(text));
}

}  // namespace quellar
