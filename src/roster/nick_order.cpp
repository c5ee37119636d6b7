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

// The collation keys of the nicks without hyphens and apostrophes, made once per
// row: comparing two keys is far cheaper than collating two texts. Only nicks
// whose words collate equal are collated in full, which is rare.
class NickKeys {
 public:
  NickKeys(const std::vector<RosterRow>& rows, std::size_t count, const QLocale& locale)
      : rows_(rows), collator_(locale) {
    collator_.setCaseSensitivity(Qt::CaseSensitive);
    collator_.setNumericMode(false);
    collator_.setIgnorePunctuation(false);

    wordKeys_.reserve(count);
    hasLightPunctuation_.reserve(count);
    for (std::size_t row = 0; row < count; ++row) {
      const std::string_view nick = rows[row].nick;
      const bool light = std::any_of(nick.begin(), nick.end(), IsLightPunctuation);
      hasLightPunctuation_.push_back(light);
      wordKeys_.push_back(light ? MakeWordKey(row) : collator_.sortKey(FromCp1251(nick)));
    }
  }

  // A fresh key for the nick of row without its hyphens and apostrophes.
  QCollatorSortKey MakeWordKey(std::size_t row) const {
    QString text = FromCp1251(rows_[row].nick);
    text.removeIf([](QChar c) { return c == u'-' || c == u'\''; });
    return collator_.sortKey(text);
  }

  // The key of the nick of row without its hyphens and apostrophes.
  const QCollatorSortKey& WordKey(std::size_t row) const { return wordKeys_[row]; }

  // The whole order: the words, then the full texts, then the arrival order.
  bool Less(std::size_t a, std::size_t b) const {
    if (const int byWord = wordKeys_[a].compare(wordKeys_[b]); byWord != 0)
      return byWord < 0;
    if (hasLightPunctuation_[a] || hasLightPunctuation_[b]) {
      const int byText = collator_.compare(FromCp1251(rows_[a].nick), FromCp1251(rows_[b].nick));
      if (byText != 0)
        return byText < 0;
    }
    return a < b;
  }

 private:
  const std::vector<RosterRow>& rows_;
  QCollator collator_;
  std::vector<QCollatorSortKey> wordKeys_;  // by arrival position
  std::vector<bool> hasLightPunctuation_;   // whether the words differ from the full nick
};

// Below this many rows a plain comparison sort is as fast as anything.
constexpr std::size_t kBucketThreshold = 1u << 12;
constexpr std::size_t kRowsPerBucket = 256;
constexpr std::size_t kMaxSplitters = 2048;

// Sorts rows [0, count) by keys.Less into order.
//
// A comparison sort of a long roster spends its time fetching keys scattered
// over memory at every level of its recursion. Splitting first into buckets by a
// sorted sample of the keys touches each row's key once (against splitters that
// stay in cache), and each bucket is then small enough to sort in cache.
void SortRows(const NickKeys& keys, std::size_t count, std::vector<std::size_t>& order) {
  const auto less = [&keys](std::size_t a, std::size_t b) { return keys.Less(a, b); };
  if (count < kBucketThreshold) {
    std::sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count), less);
    return;
  }

  // Evenly spaced rows as the sample; their sorted keys split the rest. The
  // splitters' keys are made afresh, one after another, so that they lie close
  // together in memory and stay in cache while every row is placed.
  const std::size_t splitterCount = std::min(count / kRowsPerBucket, kMaxSplitters);
  std::vector<std::size_t> sample(splitterCount);
  for (std::size_t i = 0; i < splitterCount; ++i)
    sample[i] = i * count / splitterCount + count / (2 * splitterCount);
  std::sort(sample.begin(), sample.end(), less);
  std::vector<QCollatorSortKey> splitters;
  splitters.reserve(splitterCount);
  for (std::size_t row : sample)
    splitters.push_back(keys.MakeWordKey(row));

  // Each row's bucket: how many splitters its words collate at or after. Rows
  // with equal words share a bucket, so bucket order agrees with keys.Less.
  std::vector<std::uint32_t> bucketOf(count);
  std::vector<std::size_t> bucketStart(splitterCount + 2, 0);
  for (std::size_t row = 0; row < count; ++row) {
    const auto after =
        std::upper_bound(splitters.begin(), splitters.end(), keys.WordKey(row),
                         [](const QCollatorSortKey& key, const QCollatorSortKey& splitter) {
                           return key.compare(splitter) < 0;
                         });
    const auto bucket = static_cast<std::uint32_t>(after - splitters.begin());
    bucketOf[row] = bucket;
    ++bucketStart[bucket + 1];
  }
  std::partial_sum(bucketStart.begin(), bucketStart.end(), bucketStart.begin());

  // Rows into their buckets in arrival order, then each bucket sorted.
  std::vector<std::size_t> next(bucketStart.begin(), bucketStart.end() - 1);
  for (std::size_t row = 0; row < count; ++row)
    order[next[bucketOf[row]]++] = row;
  for (std::size_t bucket = 0; bucket + 1 < bucketStart.size(); ++bucket) {
    std::sort(order.begin() + static_cast<std::ptrdiff_t>(bucketStart[bucket]),
              order.begin() + static_cast<std::ptrdiff_t>(bucketStart[bucket + 1]), less);
  }
}

}  // namespace

std::vector<std::size_t> NickOrder(const std::vector<RosterRow>& rows, const QLocale& locale) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});

  const auto lastNamed = std::find_if(rows.rbegin(), rows.rend(),
                                      [](const RosterRow& row) { return !row.nick.empty(); });
  const std::size_t sortedCount = static_cast<std::size_t>(rows.rend() - lastNamed);
  if (sortedCount < 2)
    return order;

  const NickKeys keys(rows, sortedCount, locale);
  SortRows(keys, sortedCount, order);
  return order;
}

}  // namespace quellar
