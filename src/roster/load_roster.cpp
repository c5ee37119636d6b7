#include "roster/load_roster.h"

#include <string>
#include <utility>

#include "net/http_client.h"
#include "roster/roster_model.h"

namespace quellar {

void LoadRoster(HttpClient& http, const ProxySettings& proxy, const RosterQuery& query,
                RosterModel& table) {
  // The proxy is applied afresh on every fetch; switched off, it is cleared.
  if (proxy.useProxy)
    http.SetProxy(proxy.proxyHost, proxy.proxyPort);
  else
    http.SetProxy(std::string(), 0);

  std::string body =
      http.Get(BuildRosterUrl(query.rosterHost, query.clan, query.server, query.caseSensitive));
  // Only a fetch that succeeded touches the table, which keeps the answer as its rows.
  table.FillFromAnswer(std::move(body));
}

}  // namespace quellar
