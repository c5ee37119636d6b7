#include "roster/collation_key_store.h"

#include <gtest/gtest.h>

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>
#include <vector>

namespace quellar {
namespace {

int Sign(int value) {
  return (value > 0) - (value < 0);
}

// Texts that tell collations apart: case, Ё and Е, Latin against Cyrillic, digits,
// punctuation, prefixes of each other, accents, a NUL, and the empty text.
const std::vector<QString>& Texts() {
  static const std::vector<QString> texts = {
      QString(),
      QStringLiteral("a"),
      QStringLiteral("A"),
      QStringLiteral("ab"),
      QStringLiteral("aB"),
      QStringLiteral("abc"),
      QStringLiteral("b"),
      QStringLiteral("z"),
      QStringLiteral("Z9"),
      QStringLiteral("10"),
      QStringLiteral("9"),
      QStringLiteral("a-b"),
      QStringLiteral("a'b"),
      QStringLiteral("a b"),
      QStringLiteral("a_b"),
      QStringLiteral("!"),
      QStringLiteral(u"ё"),
      QStringLiteral(u"е"),
      QStringLiteral(u"Ё"),
      QStringLiteral(u"Е"),
      QStringLiteral(u"ёж"),
      QStringLiteral(u"еж"),
      QStringLiteral(u"Ёжик"),
      QStringLiteral(u"Тень"),
      QStringLiteral(u"тень"),
      QStringLiteral(u"Тень-Ворона"),
      QStringLiteral(u"ТеньВорона"),
      QStringLiteral(u"я"),
      QStringLiteral(u"Я"),
      QStringLiteral(u"ä"),
      QStringLiteral(u"å"),
      QStringLiteral(u"ö"),
      QStringLiteral(u"é"),
      QStringLiteral(u"中文"),
      QStringLiteral(u"µ"),
      QStringLiteral(u"Ґ"),
      QString(QChar(u'a')) + QChar(u'\0') + QStringLiteral("b"),
      QString(QChar(u'a')) + QChar(u'\0') + QStringLiteral("a"),
      QStringLiteral("Dark-Knight"),
      QStringLiteral("darkknight"),
  };
  return texts;
}

class CollationKeyStoreLocale : public testing::TestWithParam<const char*> {};

// The keys must order every pair exactly as QCollator's own keys do, as the
// nick order promises the locale's collation.
TEST_P(CollationKeyStoreLocale, ordersEveryPairAsQCollatorsKeysDo) {
  const QLocale locale(QString::fromLatin1(GetParam()));
  QCollator collator(locale);
  collator.setCaseSensitivity(Qt::CaseSensitive);
  collator.setNumericMode(false);
  collator.setIgnorePunctuation(false);
  CollationKeyStore store(locale);
  std::vector<QCollatorSortKey> expected;
  for (const QString& text : Texts()) {
    store.Append(text);
    expected.push_back(collator.sortKey(text));
  }
  ASSERT_EQ(store.size(), Texts().size());

  for (std::size_t a = 0; a < Texts().size(); ++a) {
    for (std::size_t b = 0; b < Texts().size(); ++b) {
#ifdef _WIN32
      // Qt's own keys are unusable on Windows (see collation_key_store.cpp).
      const int want = Sign(collator.compare(Texts()[a], Texts()[b]));
#else
      const int want = Sign(expected[a].compare(expected[b]));
#endif
      EXPECT_EQ(Sign(store.Compare(a, b)), want)
          << Texts()[a].toStdString() << " / " << Texts()[b].toStdString();
    }
  }
}

TEST_P(CollationKeyStoreLocale, prefixesNeverContradictTheWholeKeys) {
  const QLocale locale(QString::fromLatin1(GetParam()));
  CollationKeyStore store(locale);
  for (const QString& text : Texts())
    store.Append(text);

  for (std::size_t a = 0; a < store.size(); ++a) {
    for (std::size_t b = 0; b < store.size(); ++b) {
      // Also past the bytes the two have in common, as buckets read them.
      for (std::size_t skip = 0; skip <= store.CommonPrefixLength(a, b); ++skip) {
        if (store.Prefix(a, skip) < store.Prefix(b, skip)) {
          EXPECT_LT(store.Compare(a, b), 0) << a << " " << b << " after " << skip;
        }
      }
    }
  }
}

TEST_P(CollationKeyStoreLocale, comparesAcrossStoresOfTheSameLocale) {
  const QLocale locale(QString::fromLatin1(GetParam()));
  CollationKeyStore rows(locale);
  CollationKeyStore splitters(locale);
  rows.Reserve(2);
  rows.Append(QStringLiteral(u"Ёжик"));
  rows.Append(QStringLiteral("Snegir"));
  splitters.Append(QStringLiteral("Snegir"));

  EXPECT_EQ(rows.Compare(1, splitters, 0), 0);
  EXPECT_NE(rows.Compare(0, splitters, 0), 0);
  EXPECT_EQ(Sign(rows.Compare(0, splitters, 0)), -Sign(splitters.Compare(0, rows, 0)));
}

INSTANTIATE_TEST_SUITE_P(CollationKeyStore, CollationKeyStoreLocale,
                         testing::Values("ru_RU", "en_US", "sv_SE", "zh_CN", "C"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

TEST(CollationKeyStore, manyKeysKeepTheirOwnBytes) {
  // Enough keys that the block of keys grows past its first room several times.
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  CollationKeyStore store(russian);
  store.Reserve(4);
  for (int i = 0; i < 3000; ++i)
    store.Append(QStringLiteral(u"ник%1").arg(2999 - i, 4, 10, QChar(u'0')));

  for (std::size_t i = 1; i < store.size(); ++i)
    EXPECT_GT(store.Compare(i - 1, i), 0) << i;
}

}  // namespace
}  // namespace quellar
