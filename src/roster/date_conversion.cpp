#include "roster/date_conversion.h"

#include <QString>
#include <algorithm>
#include <array>

#include "common/cp1251.h"
#include "common/error.h"

namespace quellar {
namespace {

constexpr std::size_t kDateTextStart = 6;    // the 7th character
constexpr std::size_t kDateTextLength = 15;  // up to the 21st
constexpr int kCenturyWindowStart = 50;      // years before the current one
constexpr int kNumberCeiling = 100000;       // far beyond any day, month or year

bool IsDateField(QChar c) {
  return c == u'd' || c == u'M' || c == u'y';
}

// The first character other than a space between the first field of format
// (starting at pos) and the next field; a space when there is none.
char SeparatorAfterField(const QString& format, qsizetype pos) {
  const QChar field = format[pos];
  while (pos < format.size() && format[pos] == field)
    ++pos;
  bool quoted = false;
  for (; pos < format.size(); ++pos) {
    const QChar c = format[pos];
    if (c == u'\'') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && IsDateField(c))
      break;
    if (c != u' ')
      return ToCp1251(QStringView(&format.data()[pos], 1)).front();
  }
  return ' ';
}

// Walks a date text: numbers, separators and the spaces around them.
class DateScanner {
 public:
  DateScanner(std::string_view text, char separator) : text_(text), separator_(separator) {}

  struct Number {
    int value = 0;
    std::size_t digits = 0;
  };

  std::optional<Number> ReadNumber() {
    SkipSpaces();
    Number number;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      number.value = std::min(number.value * 10 + (text_[pos_] - '0'), kNumberCeiling);
      ++number.digits;
      ++pos_;
    }
    if (number.digits == 0)
      return std::nullopt;
    return number;
  }

  // A space as the separator needs at least one space; any other may follow spaces.
  bool ReadSeparator() {
    const std::size_t start = pos_;
    SkipSpaces();
    if (separator_ == ' ')
      return pos_ > start;
    if (pos_ < text_.size() && text_[pos_] == separator_) {
      ++pos_;
      return true;
    }
    pos_ = start;
    return false;
  }

  bool AtEndAfterSpaces() {
    SkipSpaces();
    return pos_ == text_.size();
  }

 private:
  void SkipSpaces() {
    while (pos_ < text_.size() && text_[pos_] == ' ')
      ++pos_;
  }

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
};

}  // namespace

ShortDateRules ShortDateRulesOf(const QLocale& locale) {
  return ShortDateRulesOfFormat(locale.dateFormat(QLocale::ShortFormat));
}

ShortDateRules ShortDateRulesOfFormat(const QString& format) {
  bool quoted = false;
  for (qsizetype pos = 0; pos < format.size(); ++pos) {
    const QChar c = format[pos];
    if (c == u'\'') {
      quoted = !quoted;
      continue;
    }
    if (quoted || !IsDateField(c))
      continue;
    const DateOrder order = c == u'd'   ? DateOrder::DayMonthYear
                            : c == u'M' ? DateOrder::MonthDayYear
                                        : DateOrder::YearMonthDay;
    return {order, SeparatorAfterField(format, pos)};
  }
  return {};
}

std::string_view RegistrationDateText(std::string_view registration) {
  if (registration.size() <= kDateTextStart)
    return {};
  return registration.substr(kDateTextStart, kDateTextLength);
}

ShortDateReader::ShortDateReader(const LocaleContext& context)
    : ShortDateReader(ShortDateRulesOf(context.locale), context.today().year()) {}

ShortDateReader::ShortDateReader(ShortDateRules rules, int currentYear)
    : rules_(rules), currentYear_(currentYear) {}

std::optional<QDate> ShortDateReader::TryRead(std::string_view text) const {
  DateScanner scanner(text, rules_.separator);
  std::array<DateScanner::Number, 3> numbers;
  std::size_t count = 0;

  const auto first = scanner.ReadNumber();
  if (!first || !scanner.ReadSeparator())
    return std::nullopt;
  numbers[count++] = *first;
  const auto second = scanner.ReadNumber();
  if (!second)
    return std::nullopt;
  numbers[count++] = *second;
  if (scanner.ReadSeparator()) {
    if (const auto third = scanner.ReadNumber()) {
      numbers[count++] = *third;
      scanner.ReadSeparator();  // one trailing separator is allowed
    }
  }
  if (!scanner.AtEndAfterSpaces())
    return std::nullopt;

  int year = currentYear_;
  int month = 0;
  int day = 0;
  if (count == 2) {
    const bool monthFirst = rules_.order != DateOrder::DayMonthYear;
    month = numbers[monthFirst ? 0 : 1].value;
    day = numbers[monthFirst ? 1 : 0].value;
  } else {
    DateScanner::Number yearNumber;
    switch (rules_.order) {
      case DateOrder::DayMonthYear:
        day = numbers[0].value;
        month = numbers[1].value;
        yearNumber = numbers[2];
        break;
      case DateOrder::MonthDayYear:
        month = numbers[0].value;
        day = numbers[1].value;
        yearNumber = numbers[2];
        break;
      case DateOrder::YearMonthDay:
        yearNumber = numbers[0];
        month = numbers[1].value;
        day = numbers[2].value;
        break;
    }
    year = yearNumber.value;
    if (yearNumber.digits <= 2) {
      const int windowStart = currentYear_ - kCenturyWindowStart;
      year += windowStart / 100 * 100;
      if (year < windowStart)
        year += 100;
    }
  }
  if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
    return std::nullopt;
  return QDate(year, month, day);
}

QDate ShortDateReader::Read(std::string_view text) const {
  if (const auto date = TryRead(text))
    return *date;
  throw Error(NotADateMessage(text));
}

std::string NotADateMessage(std::string_view text) {
  constexpr std::string_view kTail = "' is not a valid date";
  std::string message;
  message.reserve(text.size() + 1 + kTail.size());
  message += '\'';
  message += text;
  message += kTail;
  return message;
}

}  // namespace quellar
