#pragma once

#include <chrono>
#include <string>

#include "common/proxy_settings.h"

namespace quellar::watch {

// One watcher's request and how it reports.
struct WatchSetup {
  ProxySettings proxy;
  std::string rosterHost;
  std::string clan;  // Windows-1251, as sent
  std::string server;
  bool caseSensitive = false;
  bool json = false;
};

// Fetches the roster once: its rows on standard output, the clan's and the
// server's online figures on standard error. Gives the exit status: 0, or 1
// after printing the failure's message on standard error.
int FetchOnce(const WatchSetup& setup);

// Fetches the roster every period, for ever, printing after each successful
// fetch who came and who left since the previous successful one. A failed fetch
// prints its message on standard error and changes nothing.
[[noreturn]] void WatchForEver(const WatchSetup& setup, std::chrono::milliseconds period);

}  // namespace quellar::watch
