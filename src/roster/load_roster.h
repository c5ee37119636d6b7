#pragma once

#include <string>
#include <string_view>

#include "common/proxy_settings.h"

namespace quellar {

class HttpClient;
class RosterModel;

// The URL asking which members of clan are online on server. The clan name goes
// in as its bytes, unescaped; the request keys are fixed.
std::string BuildRosterUrl(std::string_view rosterHost, std::string_view clan,
                           std::string_view server, bool caseSensitive);

struct RosterQuery {
  std::string_view rosterHost;
  std::string_view clan;
  std::string_view server;
  bool caseSensitive = false;
};

// Applies the proxy, fetches the roster and fills the table and its status texts.
// On failure throws Error and leaves the table and status texts as they were.
void LoadRoster(HttpClient& http, const ProxySettings& proxy, const RosterQuery& query,
                RosterModel& table);

}  // namespace quellar
