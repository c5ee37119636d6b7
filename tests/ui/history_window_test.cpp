// The history window over a small recorded file: its title, its list of queries,
// and each view's rows and cells.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

#include "history/history_fetches.h"
#include "history/history_recorder.h"
#include "main_window_harness.h"
#include "support/child.h"
#include "ui/history_views.h"
#include "ui/history_window.h"

namespace quellar {
namespace {

using test::AtMinute;
using test::MinuteSeconds;

const RosterQuery kBrannock{"Brannock", Server::kX3, false};
const RosterQuery kOther{"Other", Server::kX300, true};

// Monday 7 December 2026 from 03:00 local (UTC+3): Alder and Brannock online
// together, Brannock ten minutes longer, then Cedar seen alone 100 minutes
// later; another query last. Now is a day after the first fetch.
class HistoryWindowViews : public testing::Test {
 protected:
  void SetUp() override {
    harness.now = AtMinute(24 * 60);
    HistoryFile history(harness.main().historyFile());
    const std::pair<int, std::vector<std::string>> fetches[] = {{0, {"Brannock", "Alder"}},
                                                                {10, {"Alder", "Brannock"}},
                                                                {20, {"Brannock"}},
                                                                {120, {"Cedar"}}};
    for (const auto& [minute, nicks] : fetches)
      RecordFetch(history, test::Fetched(kBrannock, nicks), AtMinute(minute));
    RecordFetch(history, test::Fetched(kOther, {"Dusk"}), AtMinute(130));
  }

  HistoryWindow& Open() {
    harness.ui.historyWindowAction->trigger();
    test::WaitForWindows();
    return *test::Child<HistoryWindow>(harness.main(), "historyWindow");
  }

  // Shows query and waits for its views.
  HistoryWindow& Show(const RosterQuery& query) {
    HistoryWindow& window = Open();
    window.showQuery(query, true);
    test::WaitForWindows();
    return window;
  }

  test::MainWindowHarness harness{test::WithSettings("[History]\r\non=1\r\n")};
};

QStringList Rows(const QTreeWidget& table) {
  QStringList rows;
  for (int row = 0; row < table.topLevelItemCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < table.columnCount(); ++column)
      cells << table.topLevelItem(row)->text(column);
    rows << cells.join(QLatin1Char('|'));
  }
  return rows;
}

TEST_F(HistoryWindowViews, opensOnTheLatestRecordedQueryAndListsEveryOther) {
  HistoryWindow& window = Open();
  EXPECT_EQ(window.windowTitle(), QStringLiteral(u"История: Other (x300), с учетом регистра"));
  const auto* queries = test::Child<QComboBox>(window, "queryCombo");
  ASSERT_EQ(queries->count(), 2);
  EXPECT_EQ(queries->itemText(0), QStringLiteral(u"Other (x300), с учетом регистра"));
  EXPECT_EQ(queries->itemText(1), QStringLiteral(u"Brannock (x3)"));
  window.close();
  // After a fetch the window opens on its query.
  harness.server.Answer(test::OkAnswer("1\r\nAlder|||1|||r|||p\r\n"));
  test::Fetch(harness.ui, QStringLiteral("Brannock"));
  HistoryWindow& again = Open();
  EXPECT_EQ(again.windowTitle(), QStringLiteral(u"История: Brannock (x3)"));
}

TEST_F(HistoryWindowViews, showEachMembersLastSightingHoursAndDaysSortedByAnyColumn) {
  HistoryWindow& window = Show(kBrannock);
  auto* table = test::Child<QTreeWidget>(window, "membersTable");
  EXPECT_EQ(Rows(*table), (QStringList{QStringLiteral("Alder|07.12.2026 03:10|0,2|0,2|1"),
                                       QStringLiteral("Brannock|07.12.2026 03:20|0,3|0,3|1"),
                                       QStringLiteral("Cedar|07.12.2026 05:00|0,0|0,0|1")}));
  table->sortByColumn(2, Qt::DescendingOrder);
  EXPECT_EQ(table->topLevelItem(0)->text(0), "Brannock");
  table->sortByColumn(1, Qt::DescendingOrder);
  EXPECT_EQ(table->topLevelItem(0)->text(0), "Cedar");
  table->sortByColumn(0, Qt::DescendingOrder);
  EXPECT_EQ(table->topLevelItem(0)->text(0), "Cedar");
}

TEST_F(HistoryWindowViews, colourTheWeekGridByTheAverageOnlineAndTellCellsWithoutData) {
  HistoryWindow& window = Show(kBrannock);
  auto* grid = test::Child<WeekGridView>(window, "weekGridView");
  QStringList filled;
  for (int weekday = 0; weekday < 7; ++weekday) {
    for (int hour = 0; hour < 24; ++hour) {
      if (grid->grid().at(weekday, hour).fetches > 0)
        filled << grid->cellText(weekday, hour);
    }
  }
  EXPECT_EQ(filled,
            (QStringList{QStringLiteral(u"Пн, 03:00–04:00: в среднем 1,7 в игре, опросов: 3"),
                         QStringLiteral(u"Пн, 05:00–06:00: в среднем 1,0 в игре, опросов: 1")}));
  EXPECT_EQ(grid->cellText(0, 4), QStringLiteral(u"Пн, 04:00–05:00: нет данных"));
  EXPECT_DOUBLE_EQ(grid->scaleTop(), 5.0 / 3.0);
  // Drawn: the busiest hour darkest, and a cell without data unlike any with.
  const QImage image = grid->grab().toImage();
  const auto colour = [&](int weekday, int hour) {
    return image.pixelColor(grid->cellRect(weekday, hour).center());
  };
  EXPECT_LT(colour(0, 3).lightness(), colour(0, 5).lightness());
  EXPECT_NE(colour(0, 4), colour(0, 5));
  EXPECT_NE(colour(0, 4), colour(0, 3));
}

TEST_F(HistoryWindowViews, drawADayAsSpansAndSightingsOfEachMemberSeen) {
  HistoryWindow& window = Show(kBrannock);
  auto* day = test::Child<QDateEdit>(window, "dayEdit");
  day->setDate(QDate(2026, 12, 7));
  test::WaitForWindows();
  const auto* view = test::Child<DayTimelineView>(window, "dayTimelineView");
  EXPECT_EQ(view->day().begin, MinuteSeconds(-180));
  ASSERT_EQ(view->day().rows.size(), 3u);
  EXPECT_EQ(view->day().rows[0].nick, "Alder");
  EXPECT_EQ(view->day().rows[0].spans,
            (std::vector<PresenceSpan>{{MinuteSeconds(0), MinuteSeconds(10)}}));
  EXPECT_EQ(view->day().rows[1].nick, "Brannock");
  EXPECT_EQ(view->day().rows[1].spans,
            (std::vector<PresenceSpan>{{MinuteSeconds(0), MinuteSeconds(20)}}));
  EXPECT_EQ(view->day().rows[2].nick, "Cedar");
  EXPECT_TRUE(view->day().rows[2].spans.empty());
  EXPECT_EQ(view->day().rows[2].sightings, std::vector<std::int64_t>{MinuteSeconds(120)});
  day->setDate(QDate(2026, 12, 8));
  test::WaitForWindows();
  EXPECT_TRUE(view->day().rows.empty());
}

TEST(HistoryWindowEmpty, tellsHowToSwitchTheRecordingOnAndOpensNoFile) {
  test::MainWindowHarness harness;
  harness.ui.historyWindowAction->trigger();
  test::WaitForWindows();
  auto* window = test::Child<HistoryWindow>(harness.main(), "historyWindow");
  EXPECT_EQ(window->windowTitle(), QStringLiteral(u"История"));
  const auto* pages = test::Child<QStackedWidget>(*window, "historyPages");
  const auto* empty = test::Child<QLabel>(*window, "emptyLabel");
  EXPECT_EQ(pages->currentWidget(), empty);
  EXPECT_EQ(empty->text(), QStringLiteral(u"История не записывается. Чтобы записывать её, включите "
                                          u"«Опции» → «Записывать историю»: каждый удачный запрос "
                                          u"будет сохранен, и здесь появится, кто и когда играл."));
  EXPECT_FALSE(std::filesystem::exists(harness.main().historyFile()));
}

}  // namespace
}  // namespace quellar
