#include "roster/roster_sort.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <string>
#include <vector>

#include "common/error.h"
#include "roster/answer_text.h"
#include "roster/roster_model.h"
#include "roster/roster_row_printer.h"
#include "support/printers.h"

namespace quellar {
namespace {

LocaleContext RussianToday(QDate today = QDate(2026, 12, 8)) {
  LocaleContext context;
  context.locale = QLocale(QLocale::Russian, QLocale::Russia);
  context.today = [today] { return today; };
  return context;
}

// A table filled the way a fetch fills it; the fill puts the rows in nick order.
class SortRosterTest : public testing::Test {
 protected:
  void Fill(const std::vector<RosterRow>& rows) {
    model.Show(FillRoster(AnswerText("1500", rows), model.locale()));
  }

  std::vector<std::string> Nicks() const {
    std::vector<std::string> nicks;
    for (const RosterRowView row : model.rows())
      nicks.emplace_back(row.nick);
    return nicks;
  }

  // The message of the Error the sort throws, or "no error".
  std::string SortError(RosterColumn column) {
    try {
      SortRoster(model, sortDirection, column, context);
    } catch (const Error& error) {
      return error.what();
    }
    return "no error";
  }

  void Sort(RosterColumn column) { SortRoster(model, sortDirection, column, context); }

  LocaleContext context = RussianToday();
  RosterModel model{context.locale};
  int sortDirection = +1;  // as at start-up
};

using NickList = std::vector<std::string>;

TEST_F(SortRosterTest, firstSortAfterStartUpIsDescendingAndTheNextAscending) {
  Fill({{"a", "10", "12:00 01.01.2020", "p"},
        {"b", "9", "12:00 01.01.2020", "p"},
        {"c", "100", "12:00 01.01.2020", "p"}});
  ASSERT_EQ(Nicks(), (NickList{"a", "b", "c"}));

  Sort(RosterColumn::PlayTime);
  EXPECT_EQ(sortDirection, -1);
  EXPECT_EQ(Nicks(), (NickList{"c", "a", "b"}));  // 100, 10, 9

  Sort(RosterColumn::PlayTime);
  EXPECT_EQ(sortDirection, +1);
  EXPECT_EQ(Nicks(), (NickList{"b", "a", "c"}));  // 9, 10, 100
}

TEST_F(SortRosterTest, oneDirectionIsSharedByAllColumns) {
  Fill({{"a", "3", "12:00 01.01.2020", "Z"},
        {"b", "2", "12:00 01.01.2020", "Y"},
        {"c", "1", "12:00 01.01.2020", "X"}});

  Sort(RosterColumn::Profession);  // descending: Z, Y, X
  EXPECT_EQ(Nicks(), (NickList{"a", "b", "c"}));
  Sort(RosterColumn::PlayTime);  // ascending: 1, 2, 3
  EXPECT_EQ(Nicks(), (NickList{"c", "b", "a"}));
  Sort(RosterColumn::Nick);  // descending
  EXPECT_EQ(Nicks(), (NickList{"c", "b", "a"}));
  Sort(RosterColumn::Nick);  // ascending
  EXPECT_EQ(Nicks(), (NickList{"a", "b", "c"}));
  EXPECT_EQ(sortDirection, +1);
}

TEST_F(SortRosterTest, nicksSortUpperCasedByCodeNotByCollation) {
  // ёжик Ежик abc Ґрунт Яков, and a Latin nick differing only in case
  Fill({{"\xB8\xE6\xE8\xEA", "1", "12:00 01.01.2020", "p"},
        {"\xC5\xE6\xE8\xEA", "2", "12:00 01.01.2020", "p"},
        {"abc", "3", "12:00 01.01.2020", "p"},
        {"\xA5\xF0\xF3\xED\xF2", "4", "12:00 01.01.2020", "p"},
        {"\xDF\xEA\xEE\xE2", "5", "12:00 01.01.2020", "p"},
        {"ABC", "6", "12:00 01.01.2020", "p"}});
  sortDirection = -1;  // the next sort ascends
  NickList latinBefore;
  for (const std::string& nick : Nicks())
    if (nick == "abc" || nick == "ABC")
      latinBefore.push_back(nick);
  ASSERT_EQ(latinBefore.size(), 2u);

  Sort(RosterColumn::Nick);

  // abc and ABC are equal and keep their table order; then Ґ, Ё, Е, Я by code.
  EXPECT_EQ(Nicks(), (NickList{latinBefore[0], latinBefore[1], "\xA5\xF0\xF3\xED\xF2",
                               "\xB8\xE6\xE8\xEA", "\xC5\xE6\xE8\xEA", "\xDF\xEA\xEE\xE2"}));
}

TEST_F(SortRosterTest, registrationsSortAsDatesOfTheLocale) {
  Fill({{"a", "1", "12:00 02.01.2026", "p"},
        {"b", "1", "12:00 1.02.2025", "p"},
        {"c", "1", "12:00 31.12.99", "p"},
        {"d", "1", "12:00 15.06", "p"}});  // this year

  Sort(RosterColumn::Registration);
  EXPECT_EQ(Nicks(), (NickList{"d", "a", "b", "c"}));
  Sort(RosterColumn::Registration);
  EXPECT_EQ(Nicks(), (NickList{"c", "b", "a", "d"}));
}

TEST_F(SortRosterTest, rowsWithEqualKeysKeepTheirOrderInBothDirections) {
  // Маг воин МАГ Воин
  Fill({{"a", "1", "12:00 01.01.2020", "\xCC\xE0\xE3"},
        {"b", "1", "12:00 01.01.2020", "\xE2\xEE\xE8\xED"},
        {"c", "1", "12:00 01.01.2020", "\xCC\xC0\xC3"},
        {"d", "1", "12:00 01.01.2020", "\xC2\xEE\xE8\xED"}});

  Sort(RosterColumn::Profession);
  EXPECT_EQ(Nicks(), (NickList{"a", "c", "b", "d"}));
  Sort(RosterColumn::Profession);
  EXPECT_EQ(Nicks(), (NickList{"b", "d", "a", "c"}));
  Sort(RosterColumn::PlayTime);  // all equal: nothing moves
  EXPECT_EQ(Nicks(), (NickList{"b", "d", "a", "c"}));
}

TEST_F(SortRosterTest, emptyTableSortsWithoutError) {
  Fill({});
  EXPECT_EQ(SortError(RosterColumn::PlayTime), "no error");
  EXPECT_EQ(SortError(RosterColumn::Registration), "no error");
  EXPECT_EQ(sortDirection, +1);
  EXPECT_TRUE(model.rows().empty());
}

// One row is never compared, so texts that would not convert never stop it.
TEST_F(SortRosterTest, oneRowSortsWithoutErrorByEveryColumn) {
  Fill({{"A", "abc", "xx", "p"}});
  const RosterRows before = model.rows();
  for (RosterColumn column : {RosterColumn::Nick, RosterColumn::PlayTime,
                              RosterColumn::Registration, RosterColumn::Profession})
    EXPECT_EQ(SortError(column), "no error");
  EXPECT_EQ(sortDirection, +1);  // flipped four times
  EXPECT_EQ(SortError(RosterColumn::PlayTime), "no error");
  EXPECT_EQ(sortDirection, -1);
  EXPECT_EQ(model.rows(), before);
}

TEST_F(SortRosterTest, tableNeverFilledSortsWithoutError) {
  EXPECT_EQ(SortError(RosterColumn::Nick), "no error");
  EXPECT_EQ(sortDirection, -1);
}

TEST_F(SortRosterTest, badPlayTimeStopsAtTheFirstBadRowInTableOrder) {
  // Given out of nick order: the table order is a, b, c, d.
  Fill({{"d", "y", "12:00 01.01.2020", "p"},
        {"c", "5", "12:00 01.01.2020", "p"},
        {"b", "x", "12:00 01.01.2020", "p"},
        {"a", "7", "12:00 01.01.2020", "p"}});
  const RosterRows before = model.rows();
  ASSERT_EQ(Nicks(), (NickList{"a", "b", "c", "d"}));
  QSignalSpy layoutChanges(&model, &RosterModel::layoutAboutToBeChanged);

  EXPECT_EQ(SortError(RosterColumn::PlayTime), "'x' is not a valid integer value");

  EXPECT_EQ(model.rows(), before);
  EXPECT_EQ(layoutChanges.count(), 0);
  EXPECT_EQ(sortDirection, -1);
}

TEST_F(SortRosterTest, badDateStopsWithTheExtractedTextAndTheDirectionStaysFlipped) {
  Fill({{"a", "1", "12:00 01.01.2020", "p"},
        {"b", "2", "12:00 31.04.2026 14:00", "p"},
        {"c", "3", "12:00", "p"}});
  const RosterRows before = model.rows();

  EXPECT_EQ(SortError(RosterColumn::Registration), "'31.04.2026 14:0' is not a valid date");
  EXPECT_EQ(model.rows(), before);
  EXPECT_EQ(sortDirection, -1);

  // Once more: flipped again, and still nothing moved.
  EXPECT_EQ(SortError(RosterColumn::Registration), "'31.04.2026 14:0' is not a valid date");
  EXPECT_EQ(model.rows(), before);
  EXPECT_EQ(sortDirection, +1);
}

TEST_F(SortRosterTest, badValuesDoNotStopSortsByOtherColumns) {
  Fill({{"a", "x", "bad", "2"}, {"b", "y", "", "1"}});
  EXPECT_EQ(SortError(RosterColumn::Profession), "no error");
  EXPECT_EQ(Nicks(), (NickList{"a", "b"}));
  EXPECT_EQ(SortError(RosterColumn::Nick), "no error");
  EXPECT_EQ(Nicks(), (NickList{"a", "b"}));
}

TEST_F(SortRosterTest, aSortAfterAFailedOneGoesTheOtherWay) {
  Fill({{"a", "1", "12:00 01.01.2020", "p"}, {"b", "2", "bad", "p"}});
  EXPECT_EQ(SortError(RosterColumn::Registration), "'' is not a valid date");
  Sort(RosterColumn::PlayTime);  // ascending
  EXPECT_EQ(Nicks(), (NickList{"a", "b"}));
  Sort(RosterColumn::PlayTime);  // descending
  EXPECT_EQ(Nicks(), (NickList{"b", "a"}));
}

TEST_F(SortRosterTest, readsTodayOnceForAWholeSort) {
  int todayCalls = 0;
  context.today = [&todayCalls] {
    ++todayCalls;
    return QDate(2026, 12, 8);
  };
  Fill({{"a", "1", "12:00 01.03", "p"},
        {"b", "2", "12:00 01.02", "p"},
        {"c", "3", "12:00 01.01", "p"}});

  Sort(RosterColumn::Registration);

  EXPECT_EQ(todayCalls, 1);
  EXPECT_EQ(Nicks(), (NickList{"a", "b", "c"}));
}

TEST_F(SortRosterTest, sortKeepsTheSelectedRowSelected) {
  Fill({{"a", "1", "12:00 01.01.2020", "p"}, {"b", "2", "12:00 01.01.2020", "p"}});
  const QPersistentModelIndex selected = model.index(0, 0);  // "a"

  Sort(RosterColumn::PlayTime);  // descending: b, a

  EXPECT_EQ(selected.row(), 1);
  EXPECT_EQ(selected.data().toString(), QStringLiteral("a"));
}

}  // namespace
}  // namespace quellar
