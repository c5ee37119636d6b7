// Integer conversion against a reference written from the rules: optional
// leading spaces, an optional sign, then decimal digits within the signed 32-bit
// range, or at most eight significant hexadecimal digits after "$", "x", "X",
// "0x" or "0X" giving a two's-complement pattern that a "-" negates.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/error.h"
#include "common/int_conversion.h"
#include "fuzz_check.h"

namespace {

bool IsDecimal(char c) {
  return c >= '0' && c <= '9';
}

bool IsHex(char c) {
  return IsDecimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

template <typename Predicate>
bool AllOf(std::string_view text, Predicate predicate) {
  for (char c : text) {
    if (!predicate(c))
      return false;
  }
  return true;
}

std::string_view WithoutLeadingZeros(std::string_view digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

std::optional<std::int32_t> Reference(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ')
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  const std::string_view body = text.substr(at);

  std::string_view hexDigits;
  bool hex = false;
  if (!body.empty() && (body[0] == '$' || body[0] == 'x' || body[0] == 'X')) {
    hex = true;
    hexDigits = body.substr(1);
  } else if (body.size() >= 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
    hex = true;
    hexDigits = body.substr(2);
  }

  if (hex) {
    if (hexDigits.empty() || !AllOf(hexDigits, IsHex))
      return std::nullopt;
    const std::string_view significant = WithoutLeadingZeros(hexDigits);
    if (significant.size() > 8)
      return std::nullopt;
    std::uint32_t pattern = 0;
    if (!significant.empty()) {
      const auto [end, error] =
          std::from_chars(significant.data(), significant.data() + significant.size(), pattern, 16);
      FUZZ_CHECK(error == std::errc() && end == significant.data() + significant.size());
    }
    const std::int64_t asSigned =
        pattern >= 0x80000000u ? std::int64_t{pattern} - 0x100000000LL : std::int64_t{pattern};
    std::int64_t value = negative ? -asSigned : asSigned;
    // Negating the lowest value wraps back to it.
    if (value > INT32_MAX)
      value -= 0x100000000LL;
    return static_cast<std::int32_t>(value);
  }

  if (body.empty() || !AllOf(body, IsDecimal))
    return std::nullopt;
  const std::string_view significant = WithoutLeadingZeros(body);
  if (significant.size() > 10)
    return std::nullopt;
  std::int64_t magnitude = 0;
  for (char c : significant)
    magnitude = magnitude * 10 + (c - '0');
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX)
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int32_t> expected = Reference(text);
  const std::optional<std::int32_t> actual = quellar::TryStrToInt(text);
  FUZZ_CHECK(actual == expected);

  const std::string message = "'" + std::string(text) + "' is not a valid integer value";
  FUZZ_CHECK(quellar::NotAnIntegerMessage(text) == message);
  try {
    const std::int32_t value = quellar::StrToInt(text);
    FUZZ_CHECK(expected && value == *expected);
  } catch (const quellar::Error& error) {
    FUZZ_CHECK(!expected);
    // what() is a C string: a zero byte in the text ends the message there.
    FUZZ_CHECK(std::string(error.what()) == message.substr(0, message.find('\0')));
  }

  if (expected) {
    // The decimal form of the value converts back to it.
    FUZZ_CHECK(quellar::TryStrToInt(std::to_string(*expected)) == expected);
  }
  return 0;
}
