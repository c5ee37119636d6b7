#pragma once

#include <QDateTime>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "history/history_file.h"
#include "roster/fetch_step.h"

namespace quellar {

// One successful fetch as the history keeps it.
struct FetchRecord {
  std::shared_ptr<const SeenRoster> seen;  // its query and the nicks it listed
  std::int64_t time = 0;                   // UTC, seconds since 1970
  std::string_view serverOnline;           // the server's figure as the service sent it
  std::int64_t clanOnline = 0;             // the clan's figure: the rows listed
};

// Records a successful fetch, made at time, in one transaction: the query, its
// figures, and who came and who left since the query's latest recorded fetch.
// Another process recording into the same file waits for its turn. A fetch
// recorded in the same second as its query's latest, or earlier (another
// process's clock), is put one second after it, so that a query's fetches keep
// their order. Throws Error naming the file and the reason; the file is then as
// it was before.
void RecordFetch(HistoryFile& history, const FetchedRoster& fetched, const QDateTime& time);

// Records fetches in the order given, in one transaction: a bulk load.
void RecordFetches(HistoryFile& history, const std::vector<FetchRecord>& fetches);

}  // namespace quellar
