#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <array>
#include <cstdint>

#include "common/roster_query.h"
#include "history/history_file.h"

namespace quellar {

// One local weekday-and-hour of the grid: the query's fetches made in it, and
// the clan's online figures they gave.
struct GridCell {
  int fetches = 0;  // none: no data, which is not the same as nobody online
  std::int64_t onlineSum = 0;
  double Average() const { return fetches ? static_cast<double>(onlineSum) / fetches : 0.0; }
  friend bool operator==(const GridCell&, const GridCell&) = default;
};

// Monday to Sunday by the hour of the day, local time.
struct WeekGrid {
  std::array<GridCell, 7 * 24> cells{};
  // weekday 0 is Monday; hour 0 to 23.
  const GridCell& at(int weekday, int hour) const { return cells[weekday * 24 + hour]; }
};

// The query's fetches of the last days × 24 hours before now, or of all time when
// days is 0, put in the cells of zone's local time. Empty when nothing is
// recorded. Throws Error.
WeekGrid ReadWeekGrid(HistoryFile& history, const RosterQuery& query, const QDateTime& now,
                      const QTimeZone& zone, int days);

}  // namespace quellar
