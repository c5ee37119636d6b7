#include "roster/nick_order.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>

#include "common/cp1251.h"

namespace quellar {
namespace {

// Hyphen and apostrophe, the two characters a word sort weighs less than the rest.
bool IsLightPunctuation(char c) {
  return c == '-' || c == '\'';
}

struct SortEntry {
  QCollatorSortKey key;  // the nick without hyphens and apostrophes
  std::int32_t fullKey;  // index into the full-text keys, or -1: same as key
  std::uint32_t index;   // arrival position
};

}  // namespace

std::vector<std::size_t> NickOrder(const std::vector<RosterRow>& rows, const QLocale& locale) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});

  const auto lastNamed = std::find_if(rows.rbegin(), rows.rend(),
                                      [](const RosterRow& row) { return !row.nick.empty(); });
  const std::size_t sortedCount = static_cast<std::size_t>(rows.rend() - lastNamed);
  if (sortedCount < 2)
    return order;

  QCollator collator(locale);
  collator.setCaseSensitivity(Qt::CaseSensitive);
  collator.setNumericMode(false);
  collator.setIgnorePunctuation(false);

  // One key per row, made once: comparing keys is far cheaper than collating
  // the texts again at every comparison of the sort.
  std::vector<SortEntry> entries;
  entries.reserve(sortedCount);
  std::vector<QCollatorSortKey> fullKeys;
  for (std::size_t i = 0; i < sortedCount; ++i) {
    const std::string_view nick = rows[i].nick;
    QString text = FromCp1251(nick);
    const auto index = static_cast<std::uint32_t>(i);
    if (std::none_of(nick.begin(), nick.end(), IsLightPunctuation)) {
      entries.push_back(SortEntry{collator.sortKey(text), -1, index});
      continue;
    }
    fullKeys.push_back(collator.sortKey(text));
    text.removeIf([](QChar c) { return c == u'-' || c == u'\''; });
    entries.push_back(
        SortEntry{collator.sortKey(text), static_cast<std::int32_t>(fullKeys.size() - 1), index});
  }

  const auto fullKeyOf = [&fullKeys](const SortEntry& entry) -> const QCollatorSortKey& {
    return entry.fullKey < 0 ? entry.key : fullKeys[static_cast<std::size_t>(entry.fullKey)];
  };
  std::sort(entries.begin(), entries.end(), [&fullKeyOf](const SortEntry& a, const SortEntry& b) {
    if (const int byWord = a.key.compare(b.key); byWord != 0)
      return byWord < 0;
    if (a.fullKey >= 0 || b.fullKey >= 0) {
      if (const int byText = fullKeyOf(a).compare(fullKeyOf(b)); byText != 0)
        return byText < 0;
    }
    return a.index < b.index;
  });

  for (std::size_t i = 0; i < sortedCount; ++i)
    order[i] = entries[i].index;
  return order;
}

}  // namespace quellar
