#pragma once

#include <chrono>

#include "history/history_file.h"
#include "roster/fetch_step.h"

namespace quellar::watch {

// With a history file, each successful fetch is also recorded there; a failure
// to record is one line on standard error, and the run goes on as without it.

// Fetches the roster once: its rows on standard output, the clan's and the
// server's online figures on standard error. Gives the exit status: 0, or 1
// after printing the failure's message on standard error.
int FetchOnce(const FetchRequest& request, bool json, HistoryFile* history);

// Fetches the roster every period, for ever, printing after each successful
// fetch who came and who left since the previous successful one. A failed fetch
// prints its message on standard error and changes nothing.
[[noreturn]] void WatchForEver(FetchRequest request, bool json, std::chrono::milliseconds period,
                               HistoryFile* history);

}  // namespace quellar::watch
