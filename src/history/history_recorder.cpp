#include "history/history_recorder.h"

#include <algorithm>
#include <optional>
#include <string>

#include "history/sqlite_connection.h"

namespace quellar {
namespace {

// Two consecutive fetches that list a member further apart than this leave the
// time between them unknown: the program was closed or the machine asleep.
constexpr std::int64_t kLongestOnlineGap = 65 * 60;

std::int64_t QueryId(SqliteConnection& db, const RosterQuery& query) {
  {
    StatementUse find =
        db.Use("SELECT id FROM queries WHERE clan = ?1 AND server = ?2 AND match_case = ?3");
    find.BindBytes(1, query.clan).BindText(2, ServerName(query.server));
    find.Bind(3, query.caseSensitive ? 1 : 0);
    if (find.Step())
      return find.Int(0);
  }
  StatementUse add =
      db.Use("INSERT INTO queries(clan, server, match_case) VALUES(?1, ?2, ?3) RETURNING id");
  add.BindBytes(1, query.clan).BindText(2, ServerName(query.server));
  add.Bind(3, query.caseSensitive ? 1 : 0);
  add.Step();
  return add.Int(0);
}

std::optional<std::int64_t> LatestFetch(SqliteConnection& db, std::int64_t query) {
  StatementUse latest = db.Use("SELECT max(time) FROM fetches WHERE query = ?1");
  latest.Bind(1, query);
  if (!latest.Step() || latest.IsNull(0))
    return std::nullopt;
  return latest.Int(0);
}

// The members the query's latest fetch listed, as the file holds them.
NickList ListedMembers(SqliteConnection& db, std::int64_t query) {
  StatementUse listed =
      db.Use("SELECT nick FROM members WHERE query = ?1 AND listed_since IS NOT NULL");
  listed.Bind(1, query);
  NickList nicks;
  while (listed.Step())
    nicks.push_back(listed.Bytes(0));
  return nicks;
}

// Every listed member's run ends at the fetch of time last.
void EndEveryRun(SqliteConnection& db, std::int64_t query, std::int64_t last) {
  db.Use(
        "INSERT INTO spans(member, last_seen, first_seen) "
        "SELECT id, ?2, listed_since FROM members WHERE query = ?1 AND listed_since IS NOT NULL")
      .Bind(1, query)
      .Bind(2, last)
      .Run();
  db.Use("UPDATE members SET listed_since = NULL WHERE query = ?1 AND listed_since IS NOT NULL")
      .Bind(1, query)
      .Run();
}

void EndRun(SqliteConnection& db, std::int64_t query, std::string_view nick, std::int64_t last) {
  db.Use(
        "INSERT INTO spans(member, last_seen, first_seen) SELECT id, ?3, listed_since "
        "FROM members WHERE query = ?1 AND nick = ?2 AND listed_since IS NOT NULL")
      .Bind(1, query)
      .BindBytes(2, nick)
      .Bind(3, last)
      .Run();
  db.Use("UPDATE members SET listed_since = NULL WHERE query = ?1 AND nick = ?2")
      .Bind(1, query)
      .BindBytes(2, nick)
      .Run();
}

void StartRun(SqliteConnection& db, std::int64_t query, std::string_view nick, std::int64_t first) {
  db.Use(
        "INSERT INTO members(query, nick, listed_since) VALUES(?1, ?2, ?3) "
        "ON CONFLICT(query, nick) DO UPDATE SET listed_since = excluded.listed_since")
      .Bind(1, query)
      .BindBytes(2, nick)
      .Bind(3, first)
      .Run();
}

void Record(SqliteConnection& db, std::vector<HistoryFile::LastRecorded>& remembered,
            const FetchRecord& fetch) {
  const RosterQuery& query = fetch.seen->query;
  const std::int64_t queryId = QueryId(db, query);
  const std::optional<std::int64_t> latest = LatestFetch(db, queryId);
  const std::int64_t time = latest ? std::max(fetch.time, *latest + 1) : fetch.time;
  db.Use("INSERT INTO fetches(query, time, server_online, clan_online) VALUES(?1, ?2, ?3, ?4)")
      .Bind(1, queryId)
      .Bind(2, time)
      .BindBytes(3, fetch.serverOnline)
      .Bind(4, fetch.clanOnline)
      .Run();

  auto memory = std::find_if(remembered.begin(), remembered.end(),
                             [&](const auto& entry) { return entry.query == query; });
  NickList readBack;
  const NickList* before = &readBack;
  if (latest && time - *latest <= kLongestOnlineGap) {
    // Unless another process recorded since, what this one recorded last is
    // what the file lists, and is compared with in memory.
    if (memory != remembered.end() && memory->time == *latest)
      before = &memory->seen->nicks;
    else
      readBack = ListedMembers(db, queryId);
  } else if (latest) {
    EndEveryRun(db, queryId, *latest);
  }

  const RosterChanges changes = CompareRosters(*before, fetch.seen->nicks);
  for (const std::string& nick : changes.left)
    EndRun(db, queryId, nick, *latest);
  for (const std::string& nick : changes.arrived)
    StartRun(db, queryId, nick, time);

  if (memory == remembered.end())
    memory = remembered.insert(remembered.end(), HistoryFile::LastRecorded{query, 0, nullptr});
  memory->time = time;
  memory->seen = fetch.seen;
}

}  // namespace

void RecordFetches(HistoryFile& history, const std::vector<FetchRecord>& fetches) {
  SqliteConnection& db = history.ForRecording();
  try {
    WriteTransaction transaction(db);
    for (const FetchRecord& fetch : fetches)
      Record(db, history.lastRecorded(), fetch);
    transaction.Commit();
  } catch (const SqliteFailure& failure) {
    history.FailRecording(failure);
  } catch (...) {
    // What was remembered may not be what the file holds after the rollback.
    history.lastRecorded().clear();
    throw;
  }
}

void RecordFetch(HistoryFile& history, const FetchedRoster& fetched, const QDateTime& time) {
  RecordFetches(history,
                {FetchRecord{fetched.seen, time.toSecsSinceEpoch(), fetched.filled.serverLine,
                             static_cast<std::int64_t>(fetched.filled.rows.size())}});
}

}  // namespace quellar
