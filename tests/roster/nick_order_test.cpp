#include "roster/nick_order.h"

#include <gtest/gtest.h>

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "roster/answer_text.h"
#include "roster/roster_parse.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

const QLocale kRussian(QLocale::Russian, QLocale::Russia);
const QLocale kAmerican(QLocale::English, QLocale::UnitedStates);

// The rows as a fill holds them: in the answer that carries them.
RosterRows Rows(const std::vector<RosterRow>& rows) {
  return ParseAnswer(AnswerText("0", rows)).rows;
}

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
  for (std::size_t index : NickOrder(Rows(rows), locale))
    ordered.append(FromCp1251(rows[index].nick));
  return ordered;
}

// The list backwards, but with its first (empty) nick still first: an empty nick
// arriving last would stay last.
QStringList BackwardsAfterFirst(QStringList list) {
  std::reverse(list.begin() + 1, list.end());
  return list;
}

struct OrderCase {
  const char* name;
  QStringList nicks;
  std::vector<std::size_t> order;
};

class RowOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(RowOrder, isByNickWithEqualAndTrailingEmptyNicksInArrivalOrder) {
  EXPECT_EQ(NickOrder(Rows(RowsWithNicks(GetParam().nicks)), kRussian), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    NickOrder, RowOrder,
    testing::Values(
        OrderCase{"emptyTable", {}, {}}, OrderCase{"byNick", {"Zed", "Ada", "Mira"}, {1, 2, 0}},
        OrderCase{
            "emptyNickAfterTheLastNamedRowStaysWhereItWasAppended", {"Zed", "Ada", ""}, {1, 0, 2}},
        OrderCase{"emptyNickBeforeALaterNamedRowSortsToTheFront", {"Zed", "", "Ada"}, {1, 2, 0}},
        OrderCase{"trailingEmptyNicksKeepArrivalOrderBehindTheSortedRows",
                  {"Zed", "", "Ada", "", ""},
                  {1, 2, 0, 3, 4}},
        OrderCase{"onlyEmptyNicksKeepArrivalOrder", {"", "", ""}, {0, 1, 2}},
        OrderCase{"equalNicksKeepArrivalOrder", {"b", "a", "b", "a", "", "b"}, {4, 1, 3, 0, 2, 5}},
        // Cyrillic nicks arrive in Windows-1251.
        OrderCase{"windows1251BytesCollateAsTheirCharacters",
                  {QStringLiteral(u"Яна"), QStringLiteral(u"Анна"), QStringLiteral(u"ёлка"),
                   QStringLiteral(u"Ёлка")},
                  {1, 2, 3, 0}}),
    [](const testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

// Cyrillic before Latin in Russian, lower case before upper case, Yo after Ye;
// hyphens and apostrophes only break ties between otherwise equal nicks, so
// "-x" sorts beside "x" rather than first. Windows' word sort orders scripts
// alike in every locale, Latin first, and puts a word without hyphens or
// apostrophes before the same word with them.
TEST(NickOrder, followsTheLocalesCollationAsAWordSort) {
#ifdef _WIN32
  const QStringList russian = {"",    "abc", "ABC", "coop", "co'op", "co-op", "Coop",
                               "cop", "x",   "-x",  "абв",  "ежик",  "Ежик",  "Ёжик"};
  const QStringList& american = russian;
#else
  const QStringList russian = {"",      "абв",   "ежик", "Ежик", "Ёжик", "abc", "ABC",
                               "co-op", "co'op", "coop", "Coop", "cop",  "-x",  "x"};
  const QStringList american = {"",    "abc", "ABC", "co-op", "co'op", "coop", "Coop",
                                "cop", "-x",  "x",   "абв",   "ежик",  "Ежик", "Ёжик"};
#endif
  EXPECT_EQ(Ordered(BackwardsAfterFirst(russian), kRussian), russian);
  EXPECT_EQ(Ordered(BackwardsAfterFirst(american), kAmerican), american);
}

TEST(NickOrder, hyphenAndApostropheWeighLessThanLetters) {
  // Plain collation would put "a-z" and "a'z" before "ab".
#ifdef _WIN32
  EXPECT_EQ(Ordered({"az", "a'z", "a-z", "ab"}, kRussian), (QStringList{"ab", "az", "a'z", "a-z"}));
#else
  EXPECT_EQ(Ordered({"az", "a'z", "a-z", "ab"}, kRussian), (QStringList{"ab", "a-z", "a'z", "az"}));
#endif
}

TEST(NickOrder, otherPunctuationStillWeighsFully) {
#ifdef _WIN32
  EXPECT_EQ(Ordered({"ab", "a.z", "a_z"}, kRussian), (QStringList{"a.z", "a_z", "ab"}));
#else
  EXPECT_EQ(Ordered({"ab", "a.z", "a_z"}, kRussian), (QStringList{"a_z", "a.z", "ab"}));
#endif
}

TEST(NickOrder, nickOfOnlyHyphensSortsRightAfterEmptyNicks) {
  EXPECT_EQ(Ordered({"a", "--", "", "-"}, kRussian), (QStringList{"", "-", "--", "a"}));
}

TEST(NickOrder, isCaseSensitive) {
  EXPECT_EQ(Ordered({"Bob", "bob", "BOB", "bob"}, kRussian),
            (QStringList{"bob", "bob", "Bob", "BOB"}));
}

// A long roster made from a few syllables, so that it holds many equal nicks,
// nicks that differ only in case, hyphens or apostrophes, and empty nicks.
std::vector<RosterRow> LongRoster(std::size_t count) {
  const QStringList parts = {"ан", "Ан", "ob", "Ob", "-", "'", "ёж", "Ёж", "ez", "z"};
  std::uint32_t state = 12345;
  const auto next = [&state](std::uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) % bound;
  };
  std::vector<RosterRow> rows;
  for (std::size_t i = 0; i < count; ++i) {
    QString nick;
    for (std::uint32_t part = next(4); part > 0; --part)
      nick += parts[static_cast<qsizetype>(next(static_cast<std::uint32_t>(parts.size())))];
    rows.push_back(RosterRow{ToCp1251(nick), std::to_string(i), "", ""});
  }
  rows.push_back(RosterRow{"", "trailing", "", ""});
  return rows;
}

// The order by direct collation of the texts, a stable sort of the rows up to the
// last non-empty nick: without hyphens and apostrophes first, then in full.
std::vector<std::size_t> CollatedOrder(const std::vector<RosterRow>& rows, const QLocale& locale) {
  QCollator collator(locale);
  collator.setCaseSensitivity(Qt::CaseSensitive);
  std::size_t sorted = rows.size();
  while (sorted > 0 && rows[sorted - 1].nick.empty())
    --sorted;
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto words = [](const std::string& nick) {
    QString text = FromCp1251(nick);
    text.remove(u'-').remove(u'\'');
    return text;
  };
  std::stable_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(sorted),
                   [&](std::size_t a, std::size_t b) {
                     const int byWord = collator.compare(words(rows[a].nick), words(rows[b].nick));
                     if (byWord != 0)
                       return byWord < 0;
                     return collator.compare(FromCp1251(rows[a].nick), FromCp1251(rows[b].nick)) <
                            0;
                   });
  return order;
}

TEST(NickOrder, shortAndLongRostersMatchDirectCollationOfTheTexts) {
  for (std::size_t count : {300, 10000}) {
    const std::vector<RosterRow> rows = LongRoster(count);
    EXPECT_EQ(NickOrder(Rows(rows), kRussian), CollatedOrder(rows, kRussian)) << count;
    EXPECT_EQ(NickOrder(Rows(rows), kAmerican), CollatedOrder(rows, kAmerican)) << count;
  }
}

}  // namespace
}  // namespace quellar
