#include <gtest/gtest.h>

#include "common/error.h"
#include "roster/roster_sort_keys.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

// A column's comparison of two rows, as the sort makes it from their keys: +d
// when a sorts after b, -d before, 0 when equal. A's key is read first, so a's
// unreadable value is the one reported.
template <class Key>
int CompareBy(const RosterRow& a, const RosterRow& b, int d, const LocaleContext& context) {
  const Key keyOf(context);
  const auto keyA = keyOf(a);
  const auto keyB = keyOf(b);
  return CompareKeys(keyA, keyB, d);
}

constexpr auto CompareByNick = &CompareBy<NickKey>;
constexpr auto CompareByPlayTime = &CompareBy<PlayTimeKey>;
constexpr auto CompareByRegistration = &CompareBy<RegistrationKey>;
constexpr auto CompareByProfession = &CompareBy<ProfessionKey>;

LocaleContext ContextAt(const char* localeName, QDate today = QDate(2026, 12, 8)) {
  LocaleContext context;
  context.locale = QLocale(QString::fromLatin1(localeName));
  context.today = [today] { return today; };
  return context;
}

RosterRow WithNick(std::string nick) {
  return RosterRow{std::move(nick), "1", "xxxxxx01.01.2026", "Prof"};
}

RosterRow WithProfession(std::string profession) {
  return RosterRow{"Nick", "1", "xxxxxx01.01.2026", std::move(profession)};
}

RosterRow WithPlayTime(std::string playTime) {
  return RosterRow{"Nick", std::move(playTime), "xxxxxx01.01.2026", "Prof"};
}

RosterRow WithRegistration(std::string registration) {
  return RosterRow{"Nick", "1", std::move(registration), "Prof"};
}

// The message of the Error a call throws, or "no error".
template <class Call>
std::string ErrorOf(Call call) {
  try {
    call();
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

struct TextOrder {
  const char* name;
  std::string a;
  std::string b;
  int ascending;  // the comparator's result with d = +1
};

class TextKeys : public testing::TestWithParam<TextOrder> {};

TEST_P(TextKeys, compareUpperCasedByWindows1251Code) {
  const TextOrder& c = GetParam();
  const LocaleContext ru = ContextAt("ru_RU");
  EXPECT_EQ(CompareByNick(WithNick(c.a), WithNick(c.b), +1, ru), c.ascending);
  EXPECT_EQ(CompareByNick(WithNick(c.a), WithNick(c.b), -1, ru), -c.ascending);
  EXPECT_EQ(CompareByNick(WithNick(c.b), WithNick(c.a), +1, ru), -c.ascending);
  EXPECT_EQ(CompareByProfession(WithProfession(c.a), WithProfession(c.b), +1, ru), c.ascending);
  EXPECT_EQ(CompareByProfession(WithProfession(c.a), WithProfession(c.b), -1, ru), -c.ascending);
}

INSTANTIATE_TEST_SUITE_P(
    CompareByNickAndProfession, TextKeys,
    testing::Values(
        TextOrder{"sameText", "Vasya", "Vasya", 0},
        TextOrder{"latinCaseIgnored", "Vasya", "vASYA", 0},
        TextOrder{"cyrillicCaseIgnored", "\xB8\xE6\xE8\xEA", "\xA8\xC6\xC8\xCA", 0},  // ёжик ЁЖИК
        TextOrder{"ukrainianCaseIgnored", "\xB4\xBF", "\xA5\xAF", 0},                 // ґї ҐЇ
        TextOrder{"gheUpturnedBeforeA", "\xA5", "\xC0", -1},                          // Ґ А
        TextOrder{"smallGheUpturnedBeforeSmallA", "\xB4", "\xE0", -1},                // ґ а
        TextOrder{"yoBeforeA", "\xA8", "\xC0", -1},                                   // Ё А
        TextOrder{"smallYoBeforeSmallA", "\xB8\xE6", "\xE0\xE6", -1},                 // ёж аж
        TextOrder{"yoBeforeYe", "\xB8\xE6\xE8\xEA", "\xC5\xE6\xE8\xEA", -1},  // ёжик Ежик
        TextOrder{"yaAfterSmallYo", "\xDF", "\xB8", +1},                      // Я ё
        TextOrder{"latinBeforeCyrillic", "z", "\xE0", -1},                    // z а
        TextOrder{"upperLatinBeforeCyrillic", "Zeta", "\xC0", -1},
        TextOrder{"digitsBeforeLetters", "9z", "a", -1},
        TextOrder{"byCodeNotCollation", "co-op", "coop", -1},          // '-' 0x2D before 'o'
        TextOrder{"underscoreAfterUpperCasedLetters", "_a", "b", +1},  // '_' 0x5F after 'B'
        TextOrder{"shorterFirstOnCommonPrefix", "ab", "ABC", -1},
        TextOrder{"emptyFirst", "", "a", -1}, TextOrder{"bothEmpty", "", "", 0}),
    [](const testing::TestParamInfo<TextOrder>& info) { return std::string(info.param.name); });

TEST(CompareByNick, readsOnlyTheNick) {
  const LocaleContext ru = ContextAt("ru_RU");
  EXPECT_EQ(CompareByNick(RosterRow{"a", "x", "", "z"}, RosterRow{"b", "y", "", "a"}, +1, ru), -1);
}

TEST(CompareByProfession, readsOnlyTheProfession) {
  const LocaleContext ru = ContextAt("ru_RU");
  EXPECT_EQ(CompareByProfession(RosterRow{"a", "x", "", "z"}, RosterRow{"b", "y", "", "a"}, +1, ru),
            +1);
}

TEST(UpperCaser, upperCasesEveryWindows1251LetterPair) {
  const UpperCaser upper(QLocale(QStringLiteral("ru_RU")));
  // abz ёжик ґїієў ѓђјѕљњќћџ
  EXPECT_EQ(upper("abz \xB8\xE6\xE8\xEA \xB4\xBF\xB3\xBA\xA2 \x83\x90\xBC\xBE\x9A\x9C\x9D\x9E\x9F"),
            "ABZ \xA8\xC6\xC8\xCA \xA5\xAF\xB2\xAA\xA1 \x81\x80\xA3\xBD\x8A\x8C\x8D\x8E\x8F");
}

TEST(UpperCaser, keepsACharacterWhoseUpperCaseIsNotInWindows1251) {
  const UpperCaser upper(QLocale(QStringLiteral("ru_RU")));
  // The micro sign upper-cases to Greek capital Mu, which Windows-1251 lacks.
  EXPECT_EQ(upper("\xB5?"), "\xB5?");
  EXPECT_EQ(CompareByNick(WithNick("\xB5"), WithNick("?"), +1, ContextAt("ru_RU")), +1);
}

TEST(UpperCaser, keepsDigitsPunctuationAndUpperCase) {
  const UpperCaser upper(QLocale(QStringLiteral("en_US")));
  const std::string text = "09 !-'|~ ABC \xC0\xDF";
  EXPECT_EQ(upper(text), text);
}

struct PlayTimeOrder {
  const char* name;
  std::string a;
  std::string b;
  int ascending;
};

class PlayTimes : public testing::TestWithParam<PlayTimeOrder> {};

TEST_P(PlayTimes, compareAsIntegers) {
  const PlayTimeOrder& c = GetParam();
  const LocaleContext ru = ContextAt("ru_RU");
  EXPECT_EQ(CompareByPlayTime(WithPlayTime(c.a), WithPlayTime(c.b), +1, ru), c.ascending);
  EXPECT_EQ(CompareByPlayTime(WithPlayTime(c.a), WithPlayTime(c.b), -1, ru), -c.ascending);
}

INSTANTIATE_TEST_SUITE_P(
    CompareByPlayTime, PlayTimes,
    testing::Values(PlayTimeOrder{"nineBeforeTen", "9", "10", -1},
                    PlayTimeOrder{"hundredAfterNinetyNine", "100", "99", +1},
                    PlayTimeOrder{"hexEqualsDecimal", "$A", "10", 0},
                    PlayTimeOrder{"hexPrefixes", "0x1F", "x1f", 0},
                    PlayTimeOrder{"leadingSpacesAndZeros", "  007", "7", 0},
                    PlayTimeOrder{"negativeFirst", "-5", "3", -1},
                    PlayTimeOrder{"allFsIsMinusOne", "$FFFFFFFF", "0", -1},
                    PlayTimeOrder{"extremes", "-2147483648", "2147483647", -1}),
    [](const testing::TestParamInfo<PlayTimeOrder>& info) { return std::string(info.param.name); });

TEST(CompareByPlayTime, failsWithTheIntegerMessageOfTheBadText) {
  const LocaleContext ru = ContextAt("ru_RU");
  EXPECT_EQ(ErrorOf([&] { CompareByPlayTime(WithPlayTime("1 "), WithPlayTime("2"), +1, ru); }),
            "'1 ' is not a valid integer value");
  EXPECT_EQ(ErrorOf([&] { CompareByPlayTime(WithPlayTime("2"), WithPlayTime(""), +1, ru); }),
            "'' is not a valid integer value");
  EXPECT_EQ(
      ErrorOf([&] { CompareByPlayTime(WithPlayTime("\xF7\xE0\xF1"), WithPlayTime("x"), +1, ru); }),
      "'\xF7\xE0\xF1' is not a valid integer value");
}

TEST(CompareByRegistration, comparesTheDatesAfterTheFirstSixCharacters) {
  const LocaleContext ru = ContextAt("ru_RU");
  EXPECT_EQ(CompareByRegistration(WithRegistration("999999 8.12.2026"),
                                  WithRegistration("00000009.12.2026"), +1, ru),
            -1);
  EXPECT_EQ(CompareByRegistration(WithRegistration("abcdef31.12.2025"),
                                  WithRegistration("ABCDEF1.1.2026"), -1, ru),
            +1);
  EXPECT_EQ(CompareByRegistration(WithRegistration("abcdef08.12.26"),
                                  WithRegistration("ABCDEF08.12.2026"), +1, ru),
            0);
  // Without a year the date is one of the current year.
  EXPECT_EQ(CompareByRegistration(WithRegistration("abcdef08.12"),
                                  WithRegistration("ABCDEF08.12.2026"), +1, ru),
            0);
}

TEST(CompareByRegistration, readsTheDateByTheLocalesOrder) {
  const RosterRow first = WithRegistration("123456 01.02.2026");
  const RosterRow second = WithRegistration("123456 02.01.2026");
  EXPECT_EQ(CompareByRegistration(first, second, +1, ContextAt("ru_RU")), +1);  // Feb 1, Jan 2
  const RosterRow firstUs = WithRegistration("12345601/02/2026");
  const RosterRow secondUs = WithRegistration("12345602/01/2026");
  EXPECT_EQ(CompareByRegistration(firstUs, secondUs, +1, ContextAt("en_US")), -1);  // Jan 2, Feb 1
}

TEST(CompareByRegistration, ignoresTextAfterThe21stCharacter) {
  const LocaleContext ru = ContextAt("ru_RU");
  EXPECT_EQ(CompareByRegistration(WithRegistration("12345608.12.2026     10:00"),
                                  WithRegistration("12345608.12.2026"), +1, ru),
            0);
}

TEST(CompareByRegistration, failsWithTheExtractedText) {
  const LocaleContext ru = ContextAt("ru_RU");
  const RosterRow good = WithRegistration("12345608.12.2026");
  EXPECT_EQ(ErrorOf([&] { CompareByRegistration(WithRegistration("123456"), good, +1, ru); }),
            "'' is not a valid date");
  EXPECT_EQ(
      ErrorOf([&] { CompareByRegistration(good, WithRegistration("12345631.04.2026"), +1, ru); }),
      "'31.04.2026' is not a valid date");
  EXPECT_EQ(ErrorOf([&] {
              CompareByRegistration(WithRegistration("12345608.12.2026 10:00:00"), good, +1, ru);
            }),
            "'08.12.2026 10:0' is not a valid date");
  EXPECT_EQ(ErrorOf([&] {
              CompareByRegistration(WithRegistration("\xD0\xE5\xE3:  \xE2\xF7\xE5\xF0\xE0"), good,
                                    +1, ru);
            }),
            "'\xE2\xF7\xE5\xF0\xE0' is not a valid date");
}

TEST(CompareByRegistration, reportsTheFirstRowWhenBothFail) {
  const LocaleContext ru = ContextAt("ru_RU");
  EXPECT_EQ(ErrorOf([&] {
              CompareByRegistration(WithRegistration("123456a"), WithRegistration("123456b"), +1,
                                    ru);
            }),
            "'a' is not a valid date");
}

}  // namespace
}  // namespace quellar
