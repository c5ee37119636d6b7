#include "roster/collation_key_store.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/large_block.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unicode/ucol.h>
#endif

namespace quellar {
namespace {

#ifndef _WIN32

// Opens the collator QCollator uses for the locale (by its BCP 47 name) with the
// same attributes; nullptr for the C locale, which compares UTF-8, and for a
// locale ICU cannot open, whose keys are all empty, as with QCollator.
UCollator* OpenCollator(const QLocale& locale) {
  if (locale.language() == QLocale::C)
    return nullptr;
  const QByteArray name = locale.bcp47Name().replace(u'-', u'_').toLatin1();
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(name.constData(), &status);
  if (U_FAILURE(status))
    return nullptr;
  for (auto [attribute, value] : {std::pair{UCOL_NORMALIZATION_MODE, UCOL_ON},
                                  std::pair{UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH},
                                  std::pair{UCOL_NUMERIC_COLLATION, UCOL_OFF},
                                  std::pair{UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE}}) {
    status = U_ZERO_ERROR;
    ucol_setAttribute(collator, attribute, value, &status);
  }
  return collator;
}

#else

// The sort key of text as QCollator makes it on Windows: LCMapString for the
// locale with no flags (case-sensitive, punctuation weighed, not numeric). Not
// through QCollatorSortKey, which in Qt 6.4 keeps the key's bytes in a QString
// twice as long as the key, the rest left uninitialised, and compares them as
// UTF-16 units: equal texts then compare unequal and the order is not the
// collation's. Appends nothing for a locale Windows does not know.
void AppendWindowsSortKey(const std::wstring& locale, const QString& text, std::string& bytes) {
  if (text.isEmpty())
    return;
  const auto* units = reinterpret_cast<const wchar_t*>(text.utf16());
  const int length = static_cast<int>(std::min<qsizetype>(text.size(), INT_MAX));
  const int size =
      LCMapStringEx(locale.c_str(), LCMAP_SORTKEY, units, length, nullptr, 0, nullptr, nullptr, 0);
  if (size <= 0)
    return;
  const std::size_t start = bytes.size();
  bytes.resize(start + static_cast<std::size_t>(size));
  const int written =
      LCMapStringEx(locale.c_str(), LCMAP_SORTKEY, units, length,
                    reinterpret_cast<wchar_t*>(bytes.data() + start), size, nullptr, nullptr, 0);
  // The key ends with a NUL of its own, which the byte order does not need.
  std::size_t kept = written > 0 ? static_cast<std::size_t>(written) : 0;
  while (kept > 0 && bytes[start + kept - 1] == '\0')
    --kept;
  bytes.resize(start + kept);
}

#endif

// Byte order, a shorter key first when it begins the longer one: the order of
// C strings, as ICU's keys end with their only NUL.
int CompareBytes(std::string_view a, std::string_view b) {
  const int common = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (common != 0)
    return common;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace

struct CollationKeyStore::Impl {
  bool cLocale;
#ifndef _WIN32
  UCollator* collator;
#else
  std::wstring localeName;
#endif
  std::string bytes;              // every key, one after another
  std::vector<std::size_t> ends;  // where each key ends in bytes

#ifndef _WIN32
  explicit Impl(const QLocale& locale)
      : cLocale(locale.language() == QLocale::C), collator(OpenCollator(locale)) {}
  ~Impl() {
    if (collator != nullptr)
      ucol_close(collator);
  }
#else
  explicit Impl(const QLocale& locale)
      : cLocale(locale.language() == QLocale::C), localeName(locale.bcp47Name().toStdWString()) {}
#endif

  std::string_view Key(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(bytes).substr(begin, ends[i] - begin);
  }

  void Append(const QString& text) {
    if (cLocale) {
#ifndef _WIN32
      // QCollatorSortKeys compare as C strings, so a key ends at its first NUL.
      const QByteArray utf8 = text.toUtf8();
      bytes.append(utf8.constData(), std::strlen(utf8.constData()));
#else
      // Qt on Windows compares the UTF-16 units; high byte first keeps their order.
      for (QChar c : text) {
        bytes.push_back(static_cast<char>(c.unicode() >> 8));
        bytes.push_back(static_cast<char>(c.unicode() & 0xFF));
      }
#endif
#ifdef _WIN32
    } else {
      AppendWindowsSortKey(localeName, text, bytes);
#else
    } else if (collator != nullptr) {
      // ICU takes the length as a 32-bit number; no nick comes near it.
      const auto length = static_cast<std::int32_t>(std::min<qsizetype>(text.size(), INT32_MAX));
      const auto* units = reinterpret_cast<const UChar*>(text.constData());
      const std::size_t start = bytes.size();
      std::size_t room = 16 + static_cast<std::size_t>(length) + (length >> 2);
      bytes.resize(start + room);
      auto size = static_cast<std::size_t>(ucol_getSortKey(
          collator, units, length, reinterpret_cast<std::uint8_t*>(bytes.data() + start),
          static_cast<std::int32_t>(room)));
      if (size > room) {
        room = size;
        bytes.resize(start + room);
        size = static_cast<std::size_t>(ucol_getSortKey(
            collator, units, length, reinterpret_cast<std::uint8_t*>(bytes.data() + start),
            static_cast<std::int32_t>(room)));
      }
      bytes.resize(start + size);
#endif
    }
    ends.push_back(bytes.size());
  }
};

void CollationKeyStore::Reserve(std::size_t count) {
  // About two bytes a letter at each of three levels, for nicks of a dozen letters.
  impl_->bytes.reserve(count * 32);
  impl_->ends.reserve(count);
  AdviseHugePages(impl_->bytes.data(), impl_->bytes.capacity());
  AdviseHugePages(impl_->ends.data(), impl_->ends.capacity() * sizeof(std::size_t));
}

std::size_t CollationKeyStore::size() const {
  return impl_->ends.size();
}

int CollationKeyStore::Compare(std::size_t a, const CollationKeyStore& other, std::size_t b) const {
  return CompareBytes(impl_->Key(a), other.impl_->Key(b));
}

std::uint64_t CollationKeyStore::Prefix(std::size_t i, std::size_t skip) const {
  std::string_view key = impl_->Key(i);
  key.remove_prefix(std::min(skip, key.size()));
  unsigned char bytes[8] = {};
  std::memcpy(bytes, key.data(), std::min<std::size_t>(key.size(), 8));
  std::uint64_t prefix = 0;
  for (unsigned char byte : bytes)
    prefix = (prefix << 8) | byte;
  return prefix;
}

std::size_t CollationKeyStore::CommonPrefixLength(std::size_t a, std::size_t b) const {
  const std::string_view x = impl_->Key(a);
  const std::string_view y = impl_->Key(b);
  return static_cast<std::size_t>(std::mismatch(x.begin(), x.end(), y.begin(), y.end()).first -
                                  x.begin());
}

void CollationKeyStore::PrefetchPlace(std::size_t i) const {
#if defined(__GNUC__)
  __builtin_prefetch(impl_->ends.data() + (i == 0 ? 0 : i - 1));
#else
  (void)i;
#endif
}

void CollationKeyStore::PrefetchKey(std::size_t i) const {
#if defined(__GNUC__)
  __builtin_prefetch(impl_->bytes.data() + (i == 0 ? 0 : impl_->ends[i - 1]));
#else
  (void)i;
#endif
}

CollationKeyStore::CollationKeyStore(const QLocale& locale)
    : impl_(std::make_unique<Impl>(locale)) {}

CollationKeyStore::~CollationKeyStore() = default;

void CollationKeyStore::Append(const QString& text) {
  impl_->Append(text);
}

}  // namespace quellar
