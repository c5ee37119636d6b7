#include "roster/nick_order.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "support/printers.h"

namespace quellar {
namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);
const QLocale kAmerican(QLocale::English, QLocale::UnitedStates);

std::vector<RosterRow> RowsWithNicks(const QStringList& nicks) {
  std::vector<RosterRow> rows;
  for (const QString& nick : nicks)
    rows.push_back(RosterRow{ToCp1251(nick), "", "", ""});
  return rows;
}

// The nicks in the order NickOrder puts them.
QStringList Ordered(const QStringList& nicks, const QLocale& locale) {
  const std::vector<RosterRow> rows = RowsWithNicks(nicks);
  QStringList ordered;
  for (std::size_t index : NickOrder(rows, locale))
    ordered.append(FromCp1251(rows[index].nick));
  return ordered;
}

// The list backwards, but with its first (empty) nick still first: an empty nick
// arriving last would stay last.
QStringList BackwardsAfterFirst(QStringList list) {
  std::reverse(list.begin() + 1, list.end());
  return list;
}

TEST(NickOrder, emptyTableHasEmptyOrder) {
  EXPECT_TRUE(NickOrder({}, kRussian).empty());
}

TEST(NickOrder, sortsRowsByNick) {
  const std::vector<RosterRow> rows = RowsWithNicks({"Zed", "Ada", "Mira"});
  EXPECT_EQ(NickOrder(rows, kRussian), (std::vector<std::size_t>{1, 2, 0}));
}

TEST(NickOrder, emptyNickAfterLastNamedRowStaysWhereItWasAppended) {
  const std::vector<RosterRow> rows = RowsWithNicks({"Zed", "Ada", ""});
  EXPECT_EQ(NickOrder(rows, kRussian), (std::vector<std::size_t>{1, 0, 2}));
}

TEST(NickOrder, emptyNickBeforeALaterNamedRowSortsToTheFront) {
  const std::vector<RosterRow> rows = RowsWithNicks({"Zed", "", "Ada"});
  EXPECT_EQ(NickOrder(rows, kRussian), (std::vector<std::size_t>{1, 2, 0}));
}

TEST(NickOrder, trailingEmptyNicksKeepArrivalOrderBehindTheSortedRows) {
  std::vector<RosterRow> rows = RowsWithNicks({"Zed", "", "Ada", "", ""});
  rows[3].playTime = "first";
  rows[4].playTime = "second";
  EXPECT_EQ(NickOrder(rows, kRussian), (std::vector<std::size_t>{1, 2, 0, 3, 4}));
}

TEST(NickOrder, onlyEmptyNicksKeepArrivalOrder) {
  const std::vector<RosterRow> rows = RowsWithNicks({"", "", ""});
  EXPECT_EQ(NickOrder(rows, kRussian), (std::vector<std::size_t>{0, 1, 2}));
}

TEST(NickOrder, equalNicksKeepArrivalOrder) {
  const std::vector<RosterRow> rows = RowsWithNicks({"b", "a", "b", "a", "", "b"});
  EXPECT_EQ(NickOrder(rows, kRussian), (std::vector<std::size_t>{4, 1, 3, 0, 2, 5}));
}

// Cyrillic before Latin in Russian, lower case before upper case, Yo after Ye;
// hyphens and apostrophes only break ties between otherwise equal nicks, so
// "-x" sorts beside "x" rather than first.
TEST(NickOrder, followsRussianCollationAsAWordSort) {
  const QStringList expected = {"",      "абв",   "ежик", "Ежик", "Ёжик", "abc", "ABC",
                                "co-op", "co'op", "coop", "Coop", "cop",  "-x",  "x"};
  EXPECT_EQ(Ordered(BackwardsAfterFirst(expected), kRussian), expected);
}

TEST(NickOrder, followsAmericanCollationAsAWordSort) {
  const QStringList expected = {"",    "abc", "ABC", "co-op", "co'op", "coop", "Coop",
                                "cop", "-x",  "x",   "абв",   "ежик",  "Ежик", "Ёжик"};
  EXPECT_EQ(Ordered(BackwardsAfterFirst(expected), kAmerican), expected);
}

TEST(NickOrder, hyphenAndApostropheWeighLessThanLetters) {
  // Plain collation would put "a-z" and "a'z" before "ab".
  EXPECT_EQ(Ordered({"az", "a'z", "a-z", "ab"}, kRussian), (QStringList{"ab", "a-z", "a'z", "az"}));
}

TEST(NickOrder, otherPunctuationStillWeighsFully) {
  EXPECT_EQ(Ordered({"ab", "a.z", "a_z"}, kRussian), (QStringList{"a_z", "a.z", "ab"}));
}

TEST(NickOrder, nickOfOnlyHyphensSortsRightAfterEmptyNicks) {
  EXPECT_EQ(Ordered({"a", "--", "", "-"}, kRussian), (QStringList{"", "-", "--", "a"}));
}

TEST(NickOrder, isCaseSensitive) {
  EXPECT_EQ(Ordered({"Bob", "bob", "BOB", "bob"}, kRussian),
            (QStringList{"bob", "bob", "Bob", "BOB"}));
}

TEST(NickOrder, collatesWindows1251BytesAsTheirCharacters) {
  // "Яна", "Анна", "ёлка", "Ёлка" in Windows-1251.
  std::vector<RosterRow> rows = {
      {"\xDF\xED\xE0", "", "", ""},
      {"\xC0\xED\xED\xE0", "", "", ""},
      {"\xB8\xEB\xEA\xE0", "", "", ""},
      {"\xA8\xEB\xEA\xE0", "", "", ""},
  };
  EXPECT_EQ(NickOrder(rows, kRussian), (std::vector<std::size_t>{1, 2, 3, 0}));
}

}  // namespace
}  // namespace quellar
