#include "common/int_conversion.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "support/printers.h"

namespace quellar {
namespace {

struct Convertible {
  const char* text;
  std::int32_t value;
};

void PrintTo(const Convertible& c, std::ostream* out) {
  *out << testing::PrintToString(c.text) << " is " << c.value;
}

class ConvertibleText : public testing::TestWithParam<Convertible> {};

TEST_P(ConvertibleText, convertsToItsValue) {
  const auto& [text, value] = GetParam();
  EXPECT_EQ(TryStrToInt(text), value) << text;
  EXPECT_EQ(StrToInt(text), value) << text;
}

INSTANTIATE_TEST_SUITE_P(
    IntConversion, ConvertibleText,
    testing::Values(Convertible{"0", 0}, Convertible{"42", 42}, Convertible{"   42", 42},
                    Convertible{"+7", 7}, Convertible{"-7", -7}, Convertible{"  -7", -7},
                    Convertible{"007", 7}, Convertible{"$ff", 255}, Convertible{"x1F", 31},
                    Convertible{"X1f", 31}, Convertible{"0x1F", 31}, Convertible{"0X1f", 31},
                    Convertible{"-$10", -16}, Convertible{"+x10", 16}, Convertible{"$FFFFFFFF", -1},
                    Convertible{"-$FFFFFFFF", 1}, Convertible{"$7FFFFFFF", 2147483647},
                    Convertible{"$80000000", -2147483647 - 1},
                    Convertible{"$000000000FFFFFFFF", -1}, Convertible{"0x00000001", 1},
                    Convertible{"2147483647", 2147483647},
                    Convertible{"-2147483648", -2147483647 - 1},
                    Convertible{"000000000000002147483647", 2147483647}));

class UnconvertibleText : public testing::TestWithParam<const char*> {};

TEST_P(UnconvertibleText, failsWithTheIntegerMessage) {
  const std::string text = GetParam();
  EXPECT_EQ(TryStrToInt(text), std::nullopt) << text;
  try {
    StrToInt(text);
    FAIL() << "converted '" << text << "'";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "'" + text + "' is not a valid integer value");
  }
}

INSTANTIATE_TEST_SUITE_P(IntConversion, UnconvertibleText,
                         testing::Values("", " ", "+", "-", "0x", "0X", "$", "x", "-$", "1 ", "- 5",
                                         "1a", "\t1", "$1FFFFFFFF", "0x123456789", "2147483648",
                                         "-2147483649", "99999999999", "1.5", "++1", "+-1", "00x1F",
                                         "$ 1", "0x-1", "1\n", "\xEE"));

}  // namespace
}  // namespace quellar
