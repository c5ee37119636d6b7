// Short-date reading in a few locales against a reference written from the
// rules, and a round trip of every date that reads through the locale's own
// short form.
//
// Input: byte 0 picks the locale, bytes 1 and 2 the current year (50 to 9999),
// the rest is the text, read whole and as a registration field.

#include <QDate>
#include <QLocale>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1251.h"
#include "common/error.h"
#include "common/locale_context.h"
#include "fuzz_check.h"
#include "roster/date_conversion.h"

namespace {

using quellar::DateOrder;
using quellar::ShortDateRules;

struct Locale {
  QLocale locale;
  ShortDateRules rules;
  bool fourDigitYear;
};

const std::array<Locale, 4>& Locales() {
  static const std::array<Locale, 4> locales = [] {
    std::array<Locale, 4> made;
    const char* const names[] = {"ru_RU", "en_US", "sv_SE", "zh_CN"};
    for (std::size_t i = 0; i < made.size(); ++i) {
      made[i].locale = QLocale(QString::fromLatin1(names[i]));
      made[i].rules = quellar::ShortDateRulesOf(made[i].locale);
      made[i].fourDigitYear =
          made[i].locale.dateFormat(QLocale::ShortFormat).contains(QStringLiteral("yyyy"));
    }
    // The rules of these four locales are known.
    FUZZ_CHECK((made[0].rules == ShortDateRules{DateOrder::DayMonthYear, '.'}));
    FUZZ_CHECK((made[1].rules == ShortDateRules{DateOrder::MonthDayYear, '/'}));
    FUZZ_CHECK((made[2].rules == ShortDateRules{DateOrder::YearMonthDay, '-'}));
    FUZZ_CHECK((made[3].rules == ShortDateRules{DateOrder::YearMonthDay, '/'}));
    return made;
  }();
  return locales;
}

struct Token {
  bool isNumber = false;
  std::int64_t value = 0;  // saturated: anything this large is no day, month or year
  std::size_t digits = 0;
};

// The text as numbers and separators, spaces dropped around them; nothing when
// any other character stands in it. A space separator is a run of spaces
// between two numbers.
std::optional<std::vector<Token>> Tokens(std::string_view text, char separator) {
  std::vector<Token> tokens;
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (c >= '0' && c <= '9') {
      Token number{true, 0, 0};
      while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        number.value = std::min<std::int64_t>(number.value * 10 + (text[at] - '0'), 1'000'000);
        ++number.digits;
        ++at;
      }
      tokens.push_back(number);
    } else if (c == ' ') {
      const std::size_t start = at;
      while (at < text.size() && text[at] == ' ')
        ++at;
      // Spaces as the separator: between numbers, or after the last one.
      if (separator == ' ' && start > 0)
        tokens.push_back(Token{});
    } else if (c == separator) {
      tokens.push_back(Token{});
      ++at;
    } else {
      return std::nullopt;
    }
  }
  return tokens;
}

int DaysInMonth(std::int64_t year, std::int64_t month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::optional<QDate> Reference(std::string_view text, ShortDateRules rules, int currentYear) {
  const auto tokens = Tokens(text, rules.separator);
  if (!tokens)
    return std::nullopt;
  // number sep number [sep [number [sep]]]
  const std::vector<Token>& t = *tokens;
  const auto numberAt = [&t](std::size_t i) { return i < t.size() && t[i].isNumber; };
  const auto separatorAt = [&t](std::size_t i) { return i < t.size() && !t[i].isNumber; };
  std::size_t count = 0;
  if (numberAt(0) && separatorAt(1) && numberAt(2)) {
    if (t.size() == 3 || (t.size() == 4 && separatorAt(3)))
      count = 2;
    else if (separatorAt(3) && numberAt(4) && (t.size() == 5 || (t.size() == 6 && separatorAt(5))))
      count = 3;
  }
  if (count == 0)
    return std::nullopt;

  std::int64_t year = currentYear;
  std::int64_t month = 0;
  std::int64_t day = 0;
  if (count == 2) {
    const bool dayFirst = rules.order == DateOrder::DayMonthYear;
    day = t[dayFirst ? 0 : 2].value;
    month = t[dayFirst ? 2 : 0].value;
  } else {
    Token yearToken;
    switch (rules.order) {
      case DateOrder::DayMonthYear:
        day = t[0].value, month = t[2].value, yearToken = t[4];
        break;
      case DateOrder::MonthDayYear:
        month = t[0].value, day = t[2].value, yearToken = t[4];
        break;
      case DateOrder::YearMonthDay:
        yearToken = t[0], month = t[2].value, day = t[4].value;
        break;
    }
    year = yearToken.value;
    if (yearToken.digits <= 2) {
      // The year of the hundred that begins 50 years back with these last two digits.
      const std::int64_t windowStart = currentYear - 50;
      year = windowStart + ((year - windowStart) % 100 + 100) % 100;
    }
  }
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return std::nullopt;
  return QDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

// The date written by the rules: all three numbers, the year with at least
// three digits so that no century window applies.
std::string Written(QDate date, ShortDateRules rules) {
  std::string year = std::to_string(date.year());
  while (year.size() < 3)
    year.insert(0, 1, '0');
  const std::string month = std::to_string(date.month());
  const std::string day = std::to_string(date.day());
  const std::string sep(1, rules.separator);
  switch (rules.order) {
    case DateOrder::DayMonthYear:
      return day + sep + month + sep + year;
    case DateOrder::MonthDayYear:
      return month + sep + day + sep + year;
    case DateOrder::YearMonthDay:
      break;
  }
  return year + sep + month + sep + day;
}

void Check(const Locale& locale, int currentYear, std::string_view text) {
  const quellar::ShortDateReader reader(locale.rules, currentYear);
  const std::optional<QDate> read = reader.TryRead(text);
  FUZZ_CHECK(read == Reference(text, locale.rules, currentYear));

  try {
    const QDate date = reader.Read(text);
    FUZZ_CHECK(read && date == *read);
  } catch (const quellar::Error& error) {
    FUZZ_CHECK(!read);
    const std::string message = "'" + std::string(text) + "' is not a valid date";
    FUZZ_CHECK(quellar::NotADateMessage(text) == message);
    // what() is a C string: a zero byte in the text ends the message there.
    FUZZ_CHECK(std::string(error.what()) == message.substr(0, message.find('\0')));
  }
  if (!read)
    return;

  FUZZ_CHECK(reader.TryRead(Written(*read, locale.rules)) == read);
  const int windowStart = currentYear - 50;
  if (locale.fourDigitYear || (read->year() >= windowStart && read->year() < windowStart + 100)) {
    const std::string shortForm =
        quellar::ToCp1251(locale.locale.toString(*read, QLocale::ShortFormat));
    FUZZ_CHECK(reader.TryRead(shortForm) == read);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3)
    return 0;
  const Locale& locale = Locales()[data[0] % Locales().size()];
  const int currentYear = 50 + (data[1] << 8 | data[2]) % 9950;
  const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);

  // The reader made from the locale and today's date reads as the one made from its rules.
  quellar::LocaleContext context;
  context.locale = locale.locale;
  context.today = [currentYear] { return QDate(currentYear, 6, 15); };
  FUZZ_CHECK(quellar::ShortDateReader(context).TryRead(text) ==
             quellar::ShortDateReader(locale.rules, currentYear).TryRead(text));

  Check(locale, currentYear, text);

  // A registration's date is the 7th to the 21st characters.
  const std::string_view dateText = quellar::RegistrationDateText(text);
  const std::size_t expectedSize =
      text.size() <= 6 ? 0 : std::min<std::size_t>(15, text.size() - 6);
  FUZZ_CHECK(dateText.size() == expectedSize);
  FUZZ_CHECK(expectedSize == 0 || dateText.data() == text.data() + 6);
  Check(locale, currentYear, dateText);
  return 0;
}
