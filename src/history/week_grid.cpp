#include "history/week_grid.h"

#include <algorithm>
#include <limits>

#include "history/local_clock.h"
#include "history/presence.h"
#include "history/sqlite_connection.h"

namespace quellar {
namespace {

// 1970-01-01 was a Thursday: three days after a Monday.
constexpr std::int64_t kHoursFromMondayToEpoch = 3 * 24;

}  // namespace

WeekGrid ReadWeekGrid(HistoryFile& history, const RosterQuery& query, const QDateTime& now,
                      const QTimeZone& zone, int days) {
  WeekGrid grid;
  SqliteConnection* db = history.ForReading();
  if (!db)
    return grid;
  try {
    ReadTransaction snapshot(*db);
    const std::optional<std::int64_t> queryId = FindQuery(*db, query);
    if (!queryId)
      return grid;
    const std::int64_t to = now.toSecsSinceEpoch();
    std::int64_t from = to - days * kSecondsPerDay;
    if (days == 0) {
      StatementUse first = db->Use("SELECT min(time) FROM fetches WHERE query = ?1");
      first.Bind(1, *queryId);
      if (!first.Step() || first.IsNull(0))
        return grid;
      from = first.Int(0);
    }

    // Within a part of one offset the cell is plain arithmetic on the UTC
    // seconds; the fetches are read in time order straight off their key.
    const LocalClock clock(zone, from, to);
    const auto& parts = clock.parts();
    StatementUse fetches = db->Use(
        "SELECT time, clan_online FROM fetches WHERE query = ?1 AND time >= ?2 AND time <= ?3 "
        "ORDER BY time");
    fetches.Bind(1, *queryId).Bind(2, from).Bind(3, to);
    std::size_t part = 0;
    std::int64_t partEnd =
        parts.size() > 1 ? parts[1].begin : std::numeric_limits<std::int64_t>::max();
    while (fetches.Step()) {
      const std::int64_t time = fetches.Int(0);
      while (time >= partEnd) {
        ++part;
        partEnd = part + 1 < parts.size() ? parts[part + 1].begin
                                          : std::numeric_limits<std::int64_t>::max();
      }
      const std::int64_t hours = FloorDivide(time + parts[part].offset, 3600);
      constexpr std::int64_t kWeek = 7 * 24;
      GridCell& cell = grid.cells[static_cast<std::size_t>(
          ((hours + kHoursFromMondayToEpoch) % kWeek + kWeek) % kWeek)];
      ++cell.fetches;
      cell.onlineSum += fetches.Int(1);
    }
    return grid;
  } catch (const SqliteFailure& failure) {
    history.FailReading(failure);
  }
}

}  // namespace quellar
