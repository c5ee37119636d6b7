#pragma once

#include <QDate>
#include <QLocale>
#include <QTimeZone>
#include <cstdint>
#include <string>
#include <vector>

#include "common/roster_query.h"
#include "history/history_file.h"
#include "history/presence.h"

namespace quellar {

// A member seen on the day: the parts of their online spans within it, and the
// instants they were seen without online time.
struct DayRow {
  std::string nick;                     // Windows-1251
  std::vector<PresenceSpan> spans;      // cut to the day's bounds, in time order
  std::vector<std::int64_t> sightings;  // UTC seconds, in time order
};

struct DayView {
  std::int64_t begin = 0;    // the day's local midnight, UTC seconds
  std::int64_t end = 0;      // the next day's, where the day stops
  std::vector<DayRow> rows;  // in the main table's nick order
};

// Everyone the query's fetches listed on the local day of zone. A span that
// crosses either midnight shows its part of the day. Throws Error.
DayView ReadDay(HistoryFile& history, const RosterQuery& query, const QDate& day,
                const QTimeZone& zone, const QLocale& locale);

}  // namespace quellar
