#include "roster/fetch_step.h"

#include <exception>
#include <string>
#include <utility>

#include "common/error.h"
#include "net/http_client.h"
#include "roster/roster_model.h"
#include "roster/roster_url.h"

namespace quellar {

FetchOutcome FetchRoster(HttpClient& http, const FetchRequest& request) {
  FetchOutcome outcome;
  try {
    // The proxy is applied afresh on every fetch; switched off, it is cleared.
    const ProxySettings& proxy = request.proxy;
    if (proxy.useProxy)
      http.SetProxy(proxy.proxyHost, proxy.proxyPort);
    else
      http.SetProxy(std::string(), 0);

    FetchedRoster fetched;
    fetched.filled =
        FillRoster(http.Get(BuildRosterUrl(request.rosterHost, request.query)), request.locale);
    auto seen =
        std::make_shared<SeenRoster>(SeenRoster{request.query, NicksOf(fetched.filled.rows)});
    if (request.previous && request.previous->query == request.query)
      fetched.changes = CompareRosters(request.previous->nicks, seen->nicks);
    fetched.seen = std::move(seen);
    outcome.fetched = std::move(fetched);
  } catch (const std::exception&) {
    outcome.failure = HandledFailureMessage();
  }
  return outcome;
}

}  // namespace quellar
