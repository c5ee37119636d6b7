#pragma once

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/roster_query.h"
#include "history/history_file.h"

namespace quellar {

// A member's play over the last N days: the N × 24 hours before now.
struct PlayTally {
  std::int64_t onlineSeconds = 0;  // the spans' time inside the period
  int daysWithPlay = 0;            // local calendar days holding a sighting or part of a span in it
  friend bool operator==(const PlayTally&, const PlayTally&) = default;
};

struct MemberActivity {
  std::string nick;                // Windows-1251
  std::int64_t lastSeen = 0;       // UTC seconds: the latest fetch that listed them
  std::vector<PlayTally> periods;  // one for each period asked for
};

// Every member the query's recorded fetches ever listed, in the main table's nick
// order of locale, with a tally for each of periodDays (each at least 1), days
// counted in zone. Nothing when the query has no recorded fetch. Throws Error.
// The history window's members are periodDays {7, 30}; --report DAYS is {DAYS}.
std::optional<std::vector<MemberActivity>> ReadMemberActivity(
    HistoryFile& history, const RosterQuery& query, const QDateTime& now, const QTimeZone& zone,
    const std::vector<int>& periodDays, const QLocale& locale);

}  // namespace quellar
