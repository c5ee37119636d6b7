#include "roster/roster_sort_keys.h"

#include <QString>
#include <map>
#include <memory>
#include <mutex>

#include "common/cp1251.h"
#include "common/int_conversion.h"

namespace quellar {
namespace {

using UpperTable = std::array<char, 256>;

UpperTable MakeUpperTable(const QLocale& locale) {
  UpperTable table;
  for (int code = 0; code < 256; ++code) {
    const char byte = static_cast<char>(code);
    const QString upper = locale.toUpper(FromCp1251(std::string_view(&byte, 1)));
    const std::string encoded = ToCp1251(upper);
    const bool oneCp1251Character =
        encoded.size() == 1 && (encoded.front() != '?' || upper == QStringLiteral("?"));
    table[static_cast<std::size_t>(code)] = oneCp1251Character ? encoded.front() : byte;
  }
  return table;
}

// One table per locale for the whole run, so a comparator call costs no more than
// the look-ups of its two texts.
const UpperTable& UpperTableFor(const QLocale& locale) {
  static std::mutex mutex;
  static std::map<QString, std::unique_ptr<UpperTable>> tables;
  const std::lock_guard lock(mutex);
  auto& table = tables[locale.bcp47Name()];
  if (!table)
    table = std::make_unique<UpperTable>(MakeUpperTable(locale));
  return *table;
}

}  // namespace

UpperCaser::UpperCaser(const QLocale& locale) : table_(&UpperTableFor(locale)) {}

std::string UpperCaser::operator()(std::string_view text) const {
  std::string upper(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    upper[i] = (*table_)[static_cast<unsigned char>(text[i])];
  return upper;
}

std::int32_t PlayTimeKey::operator()(RosterRowView row) const {
  return StrToInt(row.playTime);
}

std::int64_t RegistrationKey::operator()(RosterRowView row) const {
  return reader_.Read(RegistrationDateText(row.registration)).toJulianDay();
}

}  // namespace quellar
