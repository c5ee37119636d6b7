#include "history/recorded_queries.h"

#include <algorithm>
#include <string>

#include "history/sqlite_connection.h"

namespace quellar {

std::vector<RecordedQuery> ReadRecordedQueries(HistoryFile& history) {
  std::vector<RecordedQuery> queries;
  SqliteConnection* db = history.ForReading();
  if (!db)
    return queries;
  try {
    StatementUse read = db->Use(
        "SELECT clan, server, match_case, "
        "(SELECT min(time) FROM fetches WHERE query = queries.id), "
        "(SELECT max(time) FROM fetches WHERE query = queries.id) FROM queries");
    while (read.Step()) {
      const std::optional<Server> server = ServerNamed(read.Bytes(1));
      if (read.IsNull(3) || !server)
        continue;
      queries.push_back(
          RecordedQuery{RosterQuery{std::string(read.Bytes(0)), *server, read.Int(2) != 0},
                        read.Int(3), read.Int(4)});
    }
  } catch (const SqliteFailure& failure) {
    history.FailReading(failure);
  }
  std::stable_sort(queries.begin(), queries.end(),
                   [](const auto& a, const auto& b) { return a.latestFetch > b.latestFetch; });
  return queries;
}

}  // namespace quellar
