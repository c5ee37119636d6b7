#include "roster/date_conversion.h"

#include <gtest/gtest.h>

#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

LocaleContext ContextAt(const char* localeName, QDate today) {
  LocaleContext context;
  context.locale = QLocale(QString::fromLatin1(localeName));
  context.today = [today] { return today; };
  return context;
}

// The date as "yyyy-MM-dd", or "fails".
std::string ReadAsIso(const ShortDateReader& reader, std::string_view text) {
  const auto date = reader.TryRead(text);
  return date ? date->toString(QStringLiteral("yyyy-MM-dd")).toStdString() : "fails";
}

struct RulesCase {
  const char* locale;
  DateOrder order;
  char separator;
};

void PrintTo(const RulesCase& c, std::ostream* out) {
  *out << c.locale;
}

class LocaleShortDate : public testing::TestWithParam<RulesCase> {};

TEST_P(LocaleShortDate, givesOrderAndSeparator) {
  const RulesCase& c = GetParam();
  const ShortDateRules rules = ShortDateRulesOf(QLocale(QString::fromLatin1(c.locale)));
  EXPECT_EQ(rules.order, c.order) << c.locale;
  EXPECT_EQ(rules.separator, c.separator) << c.locale;
}

INSTANTIATE_TEST_SUITE_P(
    ShortDateRulesOf, LocaleShortDate,
    testing::Values(RulesCase{"ru_RU", DateOrder::DayMonthYear, '.'},  // dd.MM.yyyy
                    RulesCase{"en_US", DateOrder::MonthDayYear, '/'},  // M/d/yy
                    RulesCase{"sv_SE", DateOrder::YearMonthDay, '-'},  // yyyy-MM-dd
                    RulesCase{"zh_CN", DateOrder::YearMonthDay, '/'},  // yyyy/M/d
                    RulesCase{"ko_KR", DateOrder::YearMonthDay, '.'},  // yy. M. d.
                    RulesCase{"bg_BG", DateOrder::DayMonthYear, '.'},  // d.MM.yy 'г'.
                    RulesCase{"nl_NL", DateOrder::DayMonthYear, '-'},  // dd-MM-yyyy
                    RulesCase{"C", DateOrder::DayMonthYear, ' '}),     // d MMM yyyy
    [](const testing::TestParamInfo<RulesCase>& info) { return std::string(info.param.locale); });

struct FormatCase {
  const char* name;
  const char16_t* format;
  DateOrder order;
  char separator;
};

class DateFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(DateFormat, givesOrderAndSeparator) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(ShortDateRulesOfFormat(QString::fromUtf16(c.format)),
            (ShortDateRules{c.order, c.separator}));
}

INSTANTIATE_TEST_SUITE_P(
    ShortDateRulesOfFormat, DateFormat,
    testing::Values(
        FormatCase{"dayFirst", u"dd.MM.yyyy", DateOrder::DayMonthYear, '.'},
        FormatCase{"monthFirst", u"M/d/yy", DateOrder::MonthDayYear, '/'},
        FormatCase{"yearFirst", u"yyyy-MM-dd", DateOrder::YearMonthDay, '-'},
        FormatCase{"spaceBeforeSeparator", u"d . M . yy", DateOrder::DayMonthYear, '.'},
        FormatCase{"quotedTextBeforeTheFields", u"'Today' M-d-y", DateOrder::MonthDayYear, '-'},
        FormatCase{"quotedSeparator", u"d'/'M'/'y", DateOrder::DayMonthYear, '/'},
        FormatCase{"onlySpacesBetween", u"d MMM yyyy", DateOrder::DayMonthYear, ' '},
        FormatCase{"cyrillicSeparator", u"d\u0433M\u0433y", DateOrder::DayMonthYear, '\xE3'},
        FormatCase{"noFieldsGiveDayFirstWithDots", u"", DateOrder::DayMonthYear, '.'}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

const QDate kToday(2026, 12, 8);

struct ReadCase {
  const char* name;
  const char* text;
  const char* date;  // yyyy-MM-dd, or "fails"
  const char* locale = "ru_RU";
  QDate today = kToday;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
  *out << c.locale << " '" << c.text << "'";
}

class DateText : public testing::TestWithParam<ReadCase> {};

TEST_P(DateText, readsAsTheLocalesShortDate) {
  const ReadCase& c = GetParam();
  const ShortDateReader reader(ContextAt(c.locale, c.today));
  EXPECT_EQ(ReadAsIso(reader, c.text), c.date) << c.locale << " '" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    DayFirst, DateText,
    testing::Values(
        ReadCase{"threeNumbers", "08.12.2026", "2026-12-08"},
        ReadCase{"singleDigits", "8.1.2026", "2026-01-08"},
        ReadCase{"twoNumbersAreDayMonthOfThisYear", "31.01", "2026-01-31"},
        ReadCase{"spacesBeforeNumbersSeparatorsAndAfter", " 08 . 12 .  2026  ", "2026-12-08"},
        ReadCase{"oneTrailingSeparator", "08.12.2026.", "2026-12-08"},
        ReadCase{"trailingSeparatorBetweenSpaces", "08.12.2026 . ", "2026-12-08"},
        ReadCase{"twoNumbersAndTrailingSeparator", "08.12.", "2026-12-08"},
        ReadCase{"twoTrailingSeparators", "08.12.2026..", "fails"},
        ReadCase{"twoNumbersTwoTrailingSeparators", "08.12..", "fails"},
        ReadCase{"emptyField", "08..2026", "fails"},
        ReadCase{"leadingSeparator", ".08.12", "fails"}, ReadCase{"oneNumber", "08", "fails"},
        ReadCase{"oneNumberAndSeparator", "08.", "fails"},
        ReadCase{"fourNumbers", "08.12.2026.1", "fails"}, ReadCase{"empty", "", "fails"},
        ReadCase{"onlySpaces", "   ", "fails"},
        ReadCase{"otherLocalesSeparator", "08/12/2026", "fails"},
        ReadCase{"tabIsNotASpace", "\t08.12.2026", "fails"},
        ReadCase{"timeAfterTheDate", "08.12.2026 10:00", "fails"},
        ReadCase{"letterAfterTheDate", "08.12.2026x", "fails"},
        ReadCase{"signedNumber", "+8.12.2026", "fails"},
        ReadCase{"spaceInsideANumber", "0 8.12.2026", "fails"},
        ReadCase{"hugeNumber", "99999999999999999999.12.2026", "fails"},
        ReadCase{"april31", "31.04.2026", "fails"},
        ReadCase{"feb29OfCommonYear", "29.02.2025", "fails"},
        ReadCase{"feb29OfLeapYear", "29.02.2024", "2024-02-29"},
        ReadCase{"feb29Of1900", "29.02.1900", "fails"},
        ReadCase{"feb29Of2000", "29.02.2000", "2000-02-29"},
        ReadCase{"feb29WithoutYearInCommonYear", "29.02", "fails"},
        ReadCase{"feb29WithoutYearInLeapYear", "29.02", "2024-02-29", "ru_RU", QDate(2024, 7, 1)},
        ReadCase{"dayZero", "0.12.2026", "fails"}, ReadCase{"monthZero", "8.0.2026", "fails"},
        ReadCase{"month13", "8.13.2026", "fails"}, ReadCase{"day32", "32.1.2026", "fails"},
        ReadCase{"yearOne", "1.1.0001", "0001-01-01"}, ReadCase{"yearZero", "1.1.000", "fails"},
        ReadCase{"year9999", "31.12.9999", "9999-12-31"},
        ReadCase{"year10000", "1.1.10000", "fails"},
        ReadCase{"threeDigitYearIsTakenAsWritten", "1.1.075", "0075-01-01"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    MonthFirst, DateText,
    testing::Values(ReadCase{"threeNumbers", "12/8/2026", "2026-12-08", "en_US"},
                    ReadCase{"twoDigitYear", "12/8/26", "2026-12-08", "en_US"},
                    ReadCase{"twoNumbersAreMonthDayOfThisYear", "8/12", "2026-08-12", "en_US"},
                    ReadCase{"spacesAndTrailingSeparator", " 12 / 8 / 26 / ", "2026-12-08",
                             "en_US"},
                    ReadCase{"twoNumbersAndTrailingSeparator", "12/8/", "2026-12-08", "en_US"},
                    ReadCase{"monthIsFirst", "13/1/2026", "fails", "en_US"},
                    ReadCase{"otherLocalesSeparator", "12.8.2026", "fails", "en_US"},
                    ReadCase{"june31", "6/31/2026", "fails", "en_US"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    YearFirst, DateText,
    testing::Values(ReadCase{"threeNumbers", "2026-12-08", "2026-12-08", "sv_SE"},
                    ReadCase{"twoDigitYear", "75-1-2", "2075-01-02", "sv_SE"},
                    ReadCase{"twoNumbersAreMonthDayOfThisYear", "08-12", "2026-08-12", "sv_SE"},
                    ReadCase{"twoNumbersMonthFirst", "12-31", "2026-12-31", "sv_SE"},
                    ReadCase{"spacesAndTrailingSeparator", " 2026 - 12 - 08 - ", "2026-12-08",
                             "sv_SE"},
                    ReadCase{"dayIsLast", "2026-31-12", "fails", "sv_SE"},
                    ReadCase{"feb29OfCommonYear", "2026-02-29", "fails", "sv_SE"},
                    ReadCase{"slashSeparated", "2026/12/8", "2026-12-08", "zh_CN"},
                    ReadCase{"slashSeparatedTwoNumbers", "2/3", "2026-02-03", "zh_CN"},
                    ReadCase{"dotsFollowedBySpaces", "26. 12. 8.", "2026-12-08", "ko_KR"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// The hundred years for a one- or two-digit year begin 50 years before today's year.
INSTANTIATE_TEST_SUITE_P(
    CenturyWindow, DateText,
    testing::Values(
        ReadCase{"in2026_75IsLastOfWindow", "1.1.75", "2075-01-01"},
        ReadCase{"in2026_76IsFirstOfWindow", "1.1.76", "1976-01-01"},
        ReadCase{"in2026_00", "1.1.00", "2000-01-01"},
        ReadCase{"in2026_oneDigit", "1.1.5", "2005-01-01"},
        ReadCase{"in2026_99", "1.1.99", "1999-01-01"},
        ReadCase{"in2026_fourDigitsAsWritten", "1.1.1975", "1975-01-01"},
        ReadCase{"in2049_99IsFirstOfWindow", "1.1.99", "1999-01-01", "ru_RU", QDate(2049, 3, 1)},
        ReadCase{"in2049_98IsLastOfWindow", "1.1.98", "2098-01-01", "ru_RU", QDate(2049, 3, 1)},
        ReadCase{"in2000_50IsFirstOfWindow", "1.1.50", "1950-01-01", "ru_RU", QDate(2000, 6, 15)},
        ReadCase{"in2000_49IsLastOfWindow", "1.1.49", "2049-01-01", "ru_RU", QDate(2000, 6, 15)},
        ReadCase{"in2000_twoNumbersTakeThatYear", "29.02", "2000-02-29", "ru_RU",
                 QDate(2000, 6, 15)},
        ReadCase{"in2026_monthFirstLocale", "1/1/76", "1976-01-01", "en_US"},
        ReadCase{"in2026_yearFirstLocale", "76-1-1", "1976-01-01", "sv_SE"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(DateText, spaceSeparatedLocaleNeedsASpaceBetweenNumbers) {
  const ShortDateReader reader(ShortDateRules{DateOrder::DayMonthYear, ' '}, 2026);
  EXPECT_EQ(ReadAsIso(reader, "8 12  2026 "), "2026-12-08");
  EXPECT_EQ(ReadAsIso(reader, "8 12"), "2026-12-08");
  EXPECT_EQ(ReadAsIso(reader, "812 2026"), "fails");
}

TEST(DateText, readOfAValidDateGivesIt) {
  const ShortDateReader reader(ContextAt("ru_RU", kToday));
  EXPECT_EQ(reader.Read(" 1.2.2026"), QDate(2026, 2, 1));
}

struct ExtractCase {
  const char* name;
  std::string registration;
  std::string dateText;
};

class RegistrationText : public testing::TestWithParam<ExtractCase> {};

TEST_P(RegistrationText, holdsTheDateFromThe7thToThe21stCharacter) {
  EXPECT_EQ(RegistrationDateText(GetParam().registration), GetParam().dateText);
}

INSTANTIATE_TEST_SUITE_P(
    RegistrationDateText, RegistrationText,
    testing::Values(
        ExtractCase{"empty", "", ""}, ExtractCase{"fiveCharacters", "12345", ""},
        ExtractCase{"sixCharacters", "\xD0\xE5\xE3\x2E\x3A ", ""},
        ExtractCase{"sevenCharacters", "1234567", "7"},
        ExtractCase{"dateAfterSixCharacters", "\xD0\xE5\xE3\x2E\x3A 08.12.2026", "08.12.2026"},
        ExtractCase{"exactlyTwentyOne", "123456789012345678901", "789012345678901"},
        ExtractCase{"tailAfterThe21stIsDropped", "12345608.12.2026     junk", "08.12.2026     "},
        ExtractCase{"bytesKeptAsTheyAre", "123456\xE4\xE0\xF2\xE0", "\xE4\xE0\xF2\xE0"}),
    [](const testing::TestParamInfo<ExtractCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellar
