#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/roster_query.h"
#include "history/history_file.h"

namespace quellar {

// A member's unbroken run of consecutive fetches that listed them, each at most
// 65 minutes after the one before: online from the first to the last, UTC
// seconds. A run of one fetch is a sighting, which adds no time.
struct PresenceSpan {
  std::int64_t first = 0;
  std::int64_t last = 0;
  friend bool operator==(const PresenceSpan&, const PresenceSpan&) = default;
};

struct MemberPresence {
  std::string nick;  // Windows-1251, as the service sent it
  std::int64_t lastSeen = 0;
  std::vector<PresenceSpan> spans;  // those asked for, in time order
};

struct QueryPresence {
  std::int64_t latestFetch = 0;
  std::vector<MemberPresence> members;  // every member ever seen, in no order
};

// The members of query's recorded fetches with their spans that reach into
// [from, to]; a run still going ends at the query's latest fetch. Nothing when
// the query has no recorded fetch. Throws Error.
std::optional<QueryPresence> ReadPresence(HistoryFile& history, const RosterQuery& query,
                                          std::int64_t from, std::int64_t to);

// The query's id in the file, when it has one; for the layer's readers.
std::optional<std::int64_t> FindQuery(SqliteConnection& db, const RosterQuery& query);

}  // namespace quellar
