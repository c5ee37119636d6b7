#include "roster/nick_order.h"

#include <QCollator>
#include <QString>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cp1251.h"
#include "roster/collation_key_store.h"

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
  NickKeys(const RosterRows& rows, std::size_t count, const QLocale& locale)
      : rows_(rows), collator_(locale), wordKeys_(locale) {
    collator_.setCaseSensitivity(Qt::CaseSensitive);
    collator_.setNumericMode(false);
    collator_.setIgnorePunctuation(false);

    wordKeys_.Reserve(count);
    hasLightPunctuation_.reserve(count);
    for (std::size_t row = 0; row < count; ++row) {
      const std::string_view nick = rows.nick(row);
      const bool light = std::any_of(nick.begin(), nick.end(), IsLightPunctuation);
      hasLightPunctuation_.push_back(light);
      wordKeys_.Append(light ? WordText(row) : FromCp1251(nick));
    }
  }

  // The nick of row without its hyphens and apostrophes.
  QString WordText(std::size_t row) const {
    QString text = FromCp1251(rows_.nick(row));
    text.removeIf([](QChar c) { return c == u'-' || c == u'\''; });
    return text;
  }

  // The word keys, by arrival position.
  const CollationKeyStore& WordKeys() const { return wordKeys_; }

  // The whole order: the words, then the full texts, then the arrival order.
  bool Less(std::size_t a, std::size_t b) const {
    if (const int byWord = wordKeys_.Compare(a, b); byWord != 0)
      return byWord < 0;
    if (hasLightPunctuation_[a] || hasLightPunctuation_[b]) {
      const int byText = collator_.compare(FromCp1251(rows_.nick(a)), FromCp1251(rows_.nick(b)));
      if (byText != 0)
        return byText < 0;
    }
    return a < b;
  }

 private:
  const RosterRows& rows_;
  QCollator collator_;
  CollationKeyStore wordKeys_;
  std::vector<bool> hasLightPunctuation_;  // whether the words differ from the full nick
};

// Below this many rows a plain comparison sort is as fast as anything.
constexpr std::size_t kBucketThreshold = 1u << 12;
constexpr std::size_t kRowsPerBucket = 256;
constexpr std::size_t kMaxSplitters = 2048;

// How many of the sorted values are below value. Every search takes the same
// steps, the next step chosen by a conditional move rather than a branch: the
// values are random to the processor, which would guess wrong half the time.
std::size_t CountBelow(const std::vector<std::uint64_t>& sorted, std::uint64_t value) {
  if (sorted.empty())
    return 0;
  const std::uint64_t* base = sorted.data();
  std::size_t length = sorted.size();
  while (length > 1) {
    const std::size_t half = length / 2;
    base += half * static_cast<std::size_t>(base[half - 1] < value);
    length -= half;
  }
  return static_cast<std::size_t>(base - sorted.data()) + static_cast<std::size_t>(*base < value);
}

// Sorts rows [0, count) by keys.Less into order.
//
// A comparison sort of a long roster spends its time fetching keys scattered
// over memory at every level of its recursion. Splitting first into buckets by a
// sorted sample of the keys reads each row's key twice, in memory order (against
// splitters that stay in cache), and each bucket is then sorted on numbers that
// travel with its rows.
void SortRows(const NickKeys& keys, std::size_t count, const QLocale& locale,
              std::vector<std::size_t>& order) {
  const auto less = [&keys](std::size_t a, std::size_t b) { return keys.Less(a, b); };
  if (count < kBucketThreshold) {
    std::sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count), less);
    return;
  }

  // Evenly spaced rows as the sample; their sorted keys split the rest. The
  // splitters' keys are made afresh, into a store of their own, so that they lie
  // close together in memory and stay in cache while every row is placed.
  const std::size_t splitterCount = std::min(count / kRowsPerBucket, kMaxSplitters);
  std::vector<std::size_t> sample(splitterCount);
  for (std::size_t i = 0; i < splitterCount; ++i)
    sample[i] = i * count / splitterCount + count / (2 * splitterCount);
  std::sort(sample.begin(), sample.end(), less);
  CollationKeyStore splitters(locale);
  splitters.Reserve(splitterCount);
  for (std::size_t row : sample)
    splitters.Append(keys.WordText(row));

  // Comparisons look at the keys' first eight bytes first; only where those are
  // equal do they reach into the keys themselves.
  const CollationKeyStore& rowKeys = keys.WordKeys();
  std::vector<std::uint64_t> splitterPrefix(splitterCount);
  for (std::size_t i = 0; i < splitterCount; ++i)
    splitterPrefix[i] = splitters.Prefix(i);

  // Each row's bucket: how many splitters its words collate at or after. Rows
  // with equal words share a bucket, so bucket order agrees with keys.Less.
  static_assert(kMaxSplitters < 0xFFFF, "a bucket number fits in 16 bits");
  std::vector<std::uint16_t> bucketOf(count);
  std::vector<std::size_t> bucketStart(splitterCount + 2, 0);
  for (std::size_t row = 0; row < count; ++row) {
    const std::uint64_t prefix = rowKeys.Prefix(row);
    // The splitters with a smaller prefix are all before the row; among those
    // with the same prefix, which are rare, the keys decide.
    std::size_t low = CountBelow(splitterPrefix, prefix);
    if (low < splitterCount && splitterPrefix[low] == prefix) {
      std::size_t high =
          prefix == UINT64_MAX ? splitterCount : CountBelow(splitterPrefix, prefix + 1);
      while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (rowKeys.Compare(row, splitters, middle) < 0)
          high = middle;
        else
          low = middle + 1;
      }
    }
    bucketOf[row] = static_cast<std::uint16_t>(low);
    ++bucketStart[low + 1];
  }
  std::partial_sum(bucketStart.begin(), bucketStart.end(), bucketStart.begin());

  // The keys of a bucket's rows lie between its two splitters, so they all begin
  // with the bytes those two have in common: the bytes after them tell the rows
  // apart.
  std::vector<std::size_t> skip(splitterCount + 1, 0);
  for (std::size_t bucket = 1; bucket < splitterCount; ++bucket)
    skip[bucket] = splitters.CommonPrefixLength(bucket - 1, bucket);

  // Rows into their buckets in arrival order, straight into order, each as one
  // number: its row in the low bits and, above them, as much of those next key
  // bytes as fits. The buckets then sort these numbers, without reaching into the
  // keys, which lie all over memory, except where two agree in every key bit
  // they hold.
  static_assert(sizeof(std::size_t) == sizeof(std::uint64_t), "a place holds 64 bits");
  const auto rowBits = static_cast<unsigned>(std::bit_width(count - 1));
  const std::uint64_t rowMask = (std::uint64_t{1} << rowBits) - 1;
  {
    std::vector<std::size_t> next(bucketStart.begin(), bucketStart.end() - 1);
    for (std::size_t row = 0; row < count; ++row) {
      const std::size_t bucket = bucketOf[row];
      const std::uint64_t keyBits = rowKeys.Prefix(row, skip[bucket]) >> rowBits << rowBits;
      order[next[bucket]++] = keyBits | row;
    }
  }
  bucketOf = {};

  // Each bucket is sorted on those numbers alone, by key bits and then by row.
  // Only runs of places whose key bits agree, mostly equal nicks, need their keys
  // to be ordered; the keys of a bucket's runs are all asked for before any is
  // read, so that fetching them from all over memory overlaps.
  const auto keyBitsOf = [rowBits](std::size_t place) { return place >> rowBits; };
  std::vector<std::pair<std::size_t, std::size_t>> runs;  // [begin, end) in order
  for (std::size_t bucket = 0; bucket + 1 < bucketStart.size(); ++bucket) {
    const auto begin = order.begin() + static_cast<std::ptrdiff_t>(bucketStart[bucket]);
    const auto end = order.begin() + static_cast<std::ptrdiff_t>(bucketStart[bucket + 1]);
    std::sort(begin, end);
    runs.clear();
    for (auto place = begin; place != end;) {
      auto runEnd = place + 1;
      while (runEnd != end && keyBitsOf(*runEnd) == keyBitsOf(*place))
        ++runEnd;
      if (runEnd - place > 1)
        runs.emplace_back(static_cast<std::size_t>(place - order.begin()),
                          static_cast<std::size_t>(runEnd - order.begin()));
      for (; place != runEnd; ++place)
        *place &= rowMask;
    }
    for (const auto& [runBegin, runEnd] : runs)
      for (std::size_t i = runBegin; i < runEnd; ++i)
        rowKeys.PrefetchPlace(order[i]);
    for (const auto& [runBegin, runEnd] : runs)
      for (std::size_t i = runBegin; i < runEnd; ++i)
        rowKeys.PrefetchKey(order[i]);
    for (const auto& [runBegin, runEnd] : runs)
      std::sort(order.begin() + static_cast<std::ptrdiff_t>(runBegin),
                order.begin() + static_cast<std::ptrdiff_t>(runEnd), less);
  }
}

}  // namespace

std::vector<std::size_t> NickOrder(const RosterRows& rows, const QLocale& locale) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});

  std::size_t sortedCount = rows.size();
  while (sortedCount > 0 && rows.nick(sortedCount - 1).empty())
    --sortedCount;
  if (sortedCount < 2)
    return order;

  const NickKeys keys(rows, sortedCount, locale);
  SortRows(keys, sortedCount, locale, order);
  return order;
}

}  // namespace quellar
