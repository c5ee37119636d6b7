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

// Play times compare as integers, registrations as the dates from their 7th to
// their 21st character, read by the locale; a text that does not convert fails
// the comparison, a's first, whichever the direction.
enum class Column { PlayTime, Registration };

struct KeyCase {
  const char* name;
  Column column;
  std::string a;
  std::string b;
  int ascending;        // the comparator's result with d = +1
  std::string error{};  // the message, when the comparison fails
  const char* locale = "ru_RU";
};

// The comparator's result, or the message of its Error.
std::string Compared(const KeyCase& c, int d) {
  const LocaleContext context = ContextAt(c.locale);
  try {
    return std::to_string(
        c.column == Column::PlayTime
            ? CompareByPlayTime(WithPlayTime(c.a), WithPlayTime(c.b), d, context)
            : CompareByRegistration(WithRegistration(c.a), WithRegistration(c.b), d, context));
  } catch (const Error& error) {
    return error.what();
  }
}

class ColumnKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(ColumnKeys, compareInBothDirectionsOrFailWithTheBadText) {
  const KeyCase& c = GetParam();
  for (int d : {+1, -1})
    EXPECT_EQ(Compared(c, d), c.error.empty() ? std::to_string(d * c.ascending) : c.error) << d;
}

constexpr auto kPlayTime = Column::PlayTime;
constexpr auto kRegistration = Column::Registration;
const std::string kGoodRegistration = "12345608.12.2026";

INSTANTIATE_TEST_SUITE_P(
    CompareByColumnKeys, ColumnKeys,
    testing::Values(
        KeyCase{"playTimeNineBeforeTen", kPlayTime, "9", "10", -1},
        KeyCase{"playTimeHundredAfterNinetyNine", kPlayTime, "100", "99", +1},
        KeyCase{"playTimeHexEqualsDecimal", kPlayTime, "$A", "10", 0},
        KeyCase{"playTimeHexPrefixes", kPlayTime, "0x1F", "x1f", 0},
        KeyCase{"playTimeLeadingSpacesAndZeros", kPlayTime, "  007", "7", 0},
        KeyCase{"playTimeNegativeFirst", kPlayTime, "-5", "3", -1},
        KeyCase{"playTimeAllFsIsMinusOne", kPlayTime, "$FFFFFFFF", "0", -1},
        KeyCase{"playTimeExtremes", kPlayTime, "-2147483648", "2147483647", -1},
        KeyCase{"playTimeWithATrailingBlank", kPlayTime, "1 ", "2", 0,
                "'1 ' is not a valid integer value"},
        KeyCase{"emptyPlayTime", kPlayTime, "2", "", 0, "'' is not a valid integer value"},
        KeyCase{"cyrillicPlayTimeBeforeABadOne", kPlayTime, "\xF7\xE0\xF1", "x", 0,
                "'\xF7\xE0\xF1' is not a valid integer value"},
        KeyCase{"registrationDatesAfterTheFirstSixCharacters", kRegistration, "999999 8.12.2026",
                "00000009.12.2026", -1},
        KeyCase{"registrationDatesOfTwoYears", kRegistration, "abcdef31.12.2025", "ABCDEF1.1.2026",
                -1},
        KeyCase{"registrationTwoDigitYear", kRegistration, "abcdef08.12.26", "ABCDEF08.12.2026", 0},
        // Without a year the date is one of the current year.
        KeyCase{"registrationWithoutAYear", kRegistration, "abcdef08.12", "ABCDEF08.12.2026", 0},
        KeyCase{"registrationDayFirstInRussian", kRegistration, "123456 01.02.2026",
                "123456 02.01.2026", +1},
        KeyCase{"registrationMonthFirstInAmericanEnglish", kRegistration, "12345601/02/2026",
                "12345602/01/2026", -1, "", "en_US"},
        KeyCase{"registrationTextAfterThe21stCharacterIgnored", kRegistration,
                "12345608.12.2026     10:00", kGoodRegistration, 0},
        KeyCase{"registrationOfSixCharacters", kRegistration, "123456", kGoodRegistration, 0,
                "'' is not a valid date"},
        KeyCase{"registrationOfAnInvalidDate", kRegistration, kGoodRegistration, "12345631.04.2026",
                0, "'31.04.2026' is not a valid date"},
        KeyCase{"registrationWithATime", kRegistration, "12345608.12.2026 10:00:00",
                kGoodRegistration, 0, "'08.12.2026 10:0' is not a valid date"},
        KeyCase{"registrationOfCyrillicText", kRegistration, "\xD0\xE5\xE3:  \xE2\xF7\xE5\xF0\xE0",
                kGoodRegistration, 0, "'\xE2\xF7\xE5\xF0\xE0' is not a valid date"},
        KeyCase{"twoBadRegistrationsReportTheFirst", kRegistration, "123456a", "123456b", 0,
                "'a' is not a valid date"}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
