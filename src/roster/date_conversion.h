#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "common/locale_context.h"

namespace quellar {

// Which field of a short date the locale writes first, and so the order of all three.
enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

// How a locale writes its short dates: the order of the fields and the one
// character between them ("dd.MM.yyyy" gives day first and '.').
struct ShortDateRules {
  DateOrder order = DateOrder::DayMonthYear;
  char separator = '.';

  friend bool operator==(const ShortDateRules&, const ShortDateRules&) = default;
};

ShortDateRules ShortDateRulesOf(const QLocale& locale);

// The same from a date format in QLocale's notation; quoted text is literal.
ShortDateRules ShortDateRulesOfFormat(const QString& format);

// The part of a registration text that holds its date: the characters from the
// 7th to the 21st, fewer when the text is shorter, none when it has fewer than 7.
std::string_view RegistrationDateText(std::string_view registration);

// Reads a date as the user writes it in the locale's short form: two or three
// numbers joined by the separator, with spaces allowed before each number, before
// each separator and at the end, and one trailing separator. Two numbers are the
// day and month of the current year (month and day when the locale writes the
// month before the day); a year of one or two digits falls in the hundred years
// that begin 50 years before the current one. Years run from 1 to 9999.
class ShortDateReader {
 public:
  explicit ShortDateReader(const LocaleContext& context);
  ShortDateReader(ShortDateRules rules, int currentYear);

  std::optional<QDate> TryRead(std::string_view text) const;

  // As TryRead, failing with "'<text>' is not a valid date".
  QDate Read(std::string_view text) const;

 private:
  ShortDateRules rules_;
  int currentYear_;
};

// The failure message of ShortDateReader::Read for a text.
std::string NotADateMessage(std::string_view text);

}  // namespace quellar
