#include "watch/watch_run.h"

#include <QDateTime>
#include <algorithm>
#include <exception>
#include <new>
#include <optional>
#include <thread>

#include "common/error.h"
#include "net/http_client.h"
#include "roster/load_roster.h"
#include "roster/roster_changes.h"
#include "roster/roster_model.h"
#include "watch/console_output.h"
#include "watch/watch_output.h"

namespace quellar::watch {
namespace {

// The window's fetch: the same request through the same client, filling the same
// table model, whose rows are then in the window's nick order.
void Fetch(HttpClient& http, const WatchSetup& setup, RosterModel& roster) {
  LoadRoster(http, setup.proxy,
             RosterQuery{setup.rosterHost, setup.clan, setup.server, setup.caseSensitive}, roster);
}

// Runs fetch; a failure prints the message the window's error box would show.
template <typename Body>
bool Reported(Body&& fetch) {
  try {
    fetch();
    return true;
  } catch (const Error& error) {
    WriteError(MessageLines(error.what()));
  } catch (const std::bad_alloc&) {
    WriteError(MessageLines("Out of memory"));
  } catch (const std::exception& error) {
    WriteError(MessageLines(error.what()));
  }
  return false;
}

}  // namespace

int FetchOnce(const WatchSetup& setup) {
  HttpClient http;
  RosterModel roster;
  if (!Reported([&] { Fetch(http, setup, roster); }))
    return 1;
  WriteOut(RosterLines(roster.rows(), setup.json));
  FlushOut();
  WriteError(
      (roster.clanStatusText() + u'\n' + roster.serverStatusText() + u'\n').toUtf8().toStdString());
  return 0;
}

void WatchForEver(const WatchSetup& setup, std::chrono::milliseconds period) {
  HttpClient http;
  RosterModel roster;
  RosterWatch watch;
  const WatchedQuery query{setup.clan, setup.server, setup.caseSensitive};
  auto next = std::chrono::steady_clock::now();
  while (true) {
    Reported([&] {
      Fetch(http, setup, roster);
      const QDateTime time = QDateTime::currentDateTime();
      const std::optional<RosterChanges> changes = watch.Take(query, NicksOf(roster.rows()));
      if (!changes)
        return;
      WriteOut(setup.json ? ChangeJsonLines(*changes, ChangeContext{setup.clan, setup.server, time})
                          : ChangeLines(*changes));
      FlushOut();
    });
    // A steady beat, like the window's timer; a fetch that outlasts the period
    // is followed by the next one at once.
    next = std::max(next + period, std::chrono::steady_clock::now());
    std::this_thread::sleep_until(next);
  }
}

}  // namespace quellar::watch
