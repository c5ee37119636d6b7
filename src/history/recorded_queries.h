#pragma once

#include <cstdint>
#include <vector>

#include "common/roster_query.h"
#include "history/history_file.h"

namespace quellar {

struct RecordedQuery {
  RosterQuery query;
  std::int64_t firstFetch = 0;  // UTC seconds
  std::int64_t latestFetch = 0;
  friend bool operator==(const RecordedQuery&, const RecordedQuery&) = default;
};

// Every query with a recorded fetch, the latest recorded first. Throws Error.
std::vector<RecordedQuery> ReadRecordedQueries(HistoryFile& history);

}  // namespace quellar
