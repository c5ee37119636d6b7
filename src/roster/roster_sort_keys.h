#pragma once

#include <QLocale>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/locale_context.h"
#include "roster/date_conversion.h"
#include "roster/roster_row.h"

namespace quellar {

// Upper-cases Windows-1251 text by the rules of a locale, character by character.
// A character whose upper-case form is not one Windows-1251 character stays as it is.
class UpperCaser {
 public:
  explicit UpperCaser(const QLocale& locale);

  std::string operator()(std::string_view text) const;

 private:
  const std::array<char, 256>* table_;
};

// The sort key of each column. Made once per sort, then taken once from each row.
// Text keys compare byte by byte as unsigned codes, a prefix before the longer
// text (the order of std::string); play times as integers; registrations as days.

class NickKey {
 public:
  explicit NickKey(const LocaleContext& context) : upper_(context.locale) {}
  std::string operator()(RosterRowView row) const { return upper_(row.nick); }

 private:
  UpperCaser upper_;
};

class ProfessionKey {
 public:
  explicit ProfessionKey(const LocaleContext& context) : upper_(context.locale) {}
  std::string operator()(RosterRowView row) const { return upper_(row.profession); }

 private:
  UpperCaser upper_;
};

// Fails with "'<text>' is not a valid integer value".
class PlayTimeKey {
 public:
  explicit PlayTimeKey(const LocaleContext&) {}
  std::int32_t operator()(RosterRowView row) const;
};

// The day number of the registration date; fails with "'<text>' is not a valid date".
class RegistrationKey {
 public:
  explicit RegistrationKey(const LocaleContext& context) : reader_(context) {}
  std::int64_t operator()(RosterRowView row) const;

 private:
  ShortDateReader reader_;
};

// +d when a's key is greater, -d when it is smaller, 0 when they are equal.
template <class Key>
int CompareKeys(const Key& a, const Key& b, int d) {
  if (b < a)
    return d;
  if (a < b)
    return -d;
  return 0;
}

}  // namespace quellar
