#pragma once

#include <chrono>

#include "roster/fetch_step.h"

namespace quellar::watch {

// Fetches the roster once: its rows on standard output, the clan's and the
// server's online figures on standard error. Gives the exit status: 0, or 1
// after printing the failure's message on standard error.
int FetchOnce(const FetchRequest& request, bool json);

// Fetches the roster every period, for ever, printing after each successful
// fetch who came and who left since the previous successful one. A failed fetch
// prints its message on standard error and changes nothing.
[[noreturn]] void WatchForEver(FetchRequest request, bool json, std::chrono::milliseconds period);

}  // namespace quellar::watch
