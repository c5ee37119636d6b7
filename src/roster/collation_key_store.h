#pragma once

#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace quellar {

// The collation sort keys of many texts, the keys QCollator makes for the locale
// when it is case-sensitive, not numeric and weighs punctuation, and ordered as
// QCollatorSortKey::compare orders them.
//
// The keys are the sort key bytes of the collation QCollator uses, ICU's on
// Linux and Windows' own on Windows, one after another in a single block: a
// QCollatorSortKey each would cost two allocations and about a hundred bytes more
// per text, and comparing them would chase two pointers per key.
class CollationKeyStore {
 public:
  explicit CollationKeyStore(const QLocale& locale);
  ~CollationKeyStore();
  CollationKeyStore(const CollationKeyStore&) = delete;
  CollationKeyStore& operator=(const CollationKeyStore&) = delete;

  // Room for count keys, so that appending them allocates little.
  void Reserve(std::size_t count);

  // The key of text becomes key number size().
  void Append(const QString& text);

  std::size_t size() const;

  // Below, equal to or above zero as key a of this store collates before, equal to
  // or after key b of other (which may be this store).
  int Compare(std::size_t a, const CollationKeyStore& other, std::size_t b) const;
  int Compare(std::size_t a, std::size_t b) const { return Compare(a, *this, b); }

  // The eight bytes of key i after its first skip bytes, as a number (zero bytes
  // where the key is shorter). For keys whose first skip bytes are the same,
  // prefixes that differ order the keys; where they are equal, only Compare can.
  std::uint64_t Prefix(std::size_t i, std::size_t skip = 0) const;

  // How many first bytes keys a and b have in common.
  std::size_t CommonPrefixLength(std::size_t a, std::size_t b) const;

  // Asks the processor ahead of time for where key i lies (place) or, once that
  // has arrived, for its first bytes: for walks over keys in no memory order.
  void PrefetchPlace(std::size_t i) const;
  void PrefetchKey(std::size_t i) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quellar
