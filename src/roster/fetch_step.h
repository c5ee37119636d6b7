#pragma once

#include <QLocale>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/proxy_settings.h"
#include "common/roster_query.h"
#include "roster/roster_changes.h"
#include "roster/roster_parse.h"

namespace quellar {

class HttpClient;

// The nicks a successful fetch of a query listed: what the next fetch of that
// query is compared with.
struct SeenRoster {
  RosterQuery query;
  NickList nicks;
};

struct FetchedRoster;

// One fetch as both front ends make it.
struct FetchRequest {
  std::string rosterHost;  // with ":port" when not 80
  RosterQuery query;
  ProxySettings proxy;
  QLocale locale;  // the nick order's
  // The last successful fetch to tell the changes since; none tells none.
  std::shared_ptr<const SeenRoster> previous;
  // Keeps a successful fetch somewhere (the history), on the thread that fetched,
  // so that a window never waits on a file. It throws Error when it cannot; the
  // message comes back as FetchOutcome::recordFailure. FetchRunner calls it;
  // FetchRoster does not.
  std::function<void(const FetchedRoster&)> record;
};

// A successful fetch: the rows ready for the table, and what it saw.
struct FetchedRoster {
  RosterAnswer filled;  // rows in nick order, and the server's line
  // Who came and who left since previous, when that was a fetch of the same
  // query; nothing otherwise.
  std::optional<RosterChanges> changes;
  std::shared_ptr<const SeenRoster> seen;
};

// How a fetch ended: the roster, or the failure's message as the error box
// shows it (Windows-1251).
struct FetchOutcome {
  std::optional<FetchedRoster> fetched;
  std::string failure;
  // The request's record step ran and succeeded.
  bool recorded = false;
  // Why it failed; empty when it did not.
  std::string recordFailure;
};

// Applies the proxy, sends the query's request, and builds the rows from the
// answer, comparing its nicks with the previous roster's. Safe to run on any
// thread; it touches nothing but the client and what it is given.
FetchOutcome FetchRoster(HttpClient& http, const FetchRequest& request);

}  // namespace quellar
