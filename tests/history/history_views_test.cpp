// The history's views, read from a small recorded file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "history/day_view.h"
#include "history/history_fetches.h"
#include "history/history_recorder.h"
#include "history/recorded_queries.h"
#include "history/week_grid.h"

namespace quellar {
namespace {

using test::AtMinute;
using test::MinuteSeconds;

const RosterQuery kClan{"Clan", Server::kX3, false};
const RosterQuery kOther{"\x98Other", Server::kX300, true};
// UTC+3, so that the base is Monday 03:00 local.
const QTimeZone kZone(3 * 3600);

class HistoryViews : public testing::Test {
 protected:
  void SetUp() override {
    // Monday: B 00:00-00:20 UTC with A seen alone at 00:10; Tuesday 21:00 UTC
    // (00:00 Wednesday local) A again, then another clan.
    const std::vector<std::pair<int, std::vector<std::string>>> fetches = {
        {0, {"B"}}, {10, {"A", "B"}}, {20, {"B"}}, {30, {}}, {45 * 60, {"A", "B"}}};
    for (const auto& [minute, nicks] : fetches)
      RecordFetch(history, test::Fetched(kClan, nicks), AtMinute(minute));
    RecordFetch(history, test::Fetched(kOther, {"C"}), AtMinute(50 * 60));
  }

  QTemporaryDir folder;
  HistoryFile history{test::HistoryIn(PathFromQString(folder.path()))};
};

TEST_F(HistoryViews, theDayHoldsEachMembersSpansAndSightingsCutToItsBounds) {
  const DayView monday = ReadDay(history, kClan, QDate(2026, 12, 7), kZone, QLocale());
  EXPECT_EQ(monday.begin, MinuteSeconds(-3 * 60));
  EXPECT_EQ(monday.end, MinuteSeconds(21 * 60));
  ASSERT_EQ(monday.rows.size(), 2u);
  EXPECT_EQ(monday.rows[0].nick, "A");
  EXPECT_THAT(monday.rows[0].spans, testing::IsEmpty());
  EXPECT_THAT(monday.rows[0].sightings, testing::ElementsAre(MinuteSeconds(10)));
  EXPECT_EQ(monday.rows[1].nick, "B");
  EXPECT_THAT(monday.rows[1].spans,
              testing::ElementsAre(PresenceSpan{MinuteSeconds(0), MinuteSeconds(20)}));

  // Tuesday 21:00 UTC is Wednesday's first instant at UTC+3.
  EXPECT_THAT(ReadDay(history, kClan, QDate(2026, 12, 8), kZone, QLocale()).rows,
              testing::IsEmpty());
  const DayView wednesday = ReadDay(history, kClan, QDate(2026, 12, 9), kZone, QLocale());
  ASSERT_EQ(wednesday.rows.size(), 2u);
  EXPECT_THAT(wednesday.rows[1].sightings, testing::ElementsAre(MinuteSeconds(45 * 60)));
}

TEST_F(HistoryViews, theWeekGridAveragesTheFetchesOfEachLocalHourAndTellsNoDataFromNobody) {
  const WeekGrid grid = ReadWeekGrid(history, kClan, AtMinute(46 * 60), kZone, 7);
  // Monday 03:00 local: four fetches listing 1, 2, 1 and 0.
  EXPECT_EQ(grid.at(0, 3), (GridCell{4, 4}));
  EXPECT_DOUBLE_EQ(grid.at(0, 3).Average(), 1.0);
  EXPECT_EQ(grid.at(2, 0), (GridCell{1, 2}));
  int cellsWithData = 0;
  for (const GridCell& cell : grid.cells)
    cellsWithData += cell.fetches > 0 ? 1 : 0;
  EXPECT_EQ(cellsWithData, 2);
  // The last day alone leaves Monday out.
  EXPECT_EQ(ReadWeekGrid(history, kClan, AtMinute(46 * 60), kZone, 1).at(0, 3), GridCell{});
  EXPECT_EQ(ReadWeekGrid(history, kClan, AtMinute(46 * 60), kZone, 0).at(0, 3), (GridCell{4, 4}));
}

TEST_F(HistoryViews, theRecordedQueriesComeLatestFirstWithTheirClansBytes) {
  EXPECT_THAT(
      ReadRecordedQueries(history),
      testing::ElementsAre(RecordedQuery{kOther, MinuteSeconds(50 * 60), MinuteSeconds(50 * 60)},
                           RecordedQuery{kClan, MinuteSeconds(0), MinuteSeconds(45 * 60)}));
}

TEST(HistoryViewsOfNothing, areEmptyAndCreateNoFile) {
  const QTemporaryDir folder;
  HistoryFile history(test::HistoryIn(PathFromQString(folder.path())));
  EXPECT_THAT(ReadRecordedQueries(history), testing::IsEmpty());
  EXPECT_EQ(ReadWeekGrid(history, kClan, AtMinute(0), kZone, 0).cells, WeekGrid{}.cells);
  EXPECT_THAT(ReadDay(history, kClan, QDate(2026, 12, 7), kZone, QLocale()).rows,
              testing::IsEmpty());
  EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

}  // namespace
}  // namespace quellar
