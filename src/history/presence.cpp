#include "history/presence.h"

#include <algorithm>
#include <unordered_map>

#include "history/sqlite_connection.h"

namespace quellar {

std::optional<std::int64_t> FindQuery(SqliteConnection& db, const RosterQuery& query) {
  StatementUse find =
      db.Use("SELECT id FROM queries WHERE clan = ?1 AND server = ?2 AND match_case = ?3");
  find.BindBytes(1, query.clan).BindText(2, ServerName(query.server));
  find.Bind(3, query.caseSensitive ? 1 : 0);
  if (!find.Step())
    return std::nullopt;
  return find.Int(0);
}

std::optional<QueryPresence> ReadPresence(HistoryFile& history, const RosterQuery& query,
                                          std::int64_t from, std::int64_t to) {
  SqliteConnection* db = history.ForReading();
  if (!db)
    return std::nullopt;
  try {
    ReadTransaction snapshot(*db);
    const std::optional<std::int64_t> queryId = FindQuery(*db, query);
    if (!queryId)
      return std::nullopt;
    QueryPresence presence;
    {
      StatementUse latest = db->Use("SELECT max(time) FROM fetches WHERE query = ?1");
      latest.Bind(1, *queryId);
      if (!latest.Step() || latest.IsNull(0))
        return std::nullopt;
      presence.latestFetch = latest.Int(0);
    }

    std::unordered_map<std::int64_t, std::size_t> placeOf;
    std::vector<std::optional<std::int64_t>> listedSince;
    {
      StatementUse members = db->Use(
          "SELECT id, nick, listed_since, "
          "(SELECT max(last_seen) FROM spans WHERE member = members.id) "
          "FROM members WHERE query = ?1");
      members.Bind(1, *queryId);
      while (members.Step()) {
        placeOf.emplace(members.Int(0), presence.members.size());
        MemberPresence& member = presence.members.emplace_back();
        member.nick = members.Bytes(1);
        const bool listed = !members.IsNull(2);
        listedSince.push_back(listed ? std::optional(members.Int(2)) : std::nullopt);
        member.lastSeen = listed ? presence.latestFetch : members.Int(3);
      }
    }
    {
      StatementUse spans = db->Use(
          "SELECT s.member, s.first_seen, s.last_seen FROM members m JOIN spans s "
          "ON s.member = m.id WHERE m.query = ?1 AND s.last_seen >= ?2 AND s.first_seen <= ?3");
      spans.Bind(1, *queryId).Bind(2, from).Bind(3, to);
      while (spans.Step()) {
        presence.members[placeOf.at(spans.Int(0))].spans.push_back(
            PresenceSpan{spans.Int(1), spans.Int(2)});
      }
    }
    for (std::size_t place = 0; place < presence.members.size(); ++place) {
      std::vector<PresenceSpan>& spans = presence.members[place].spans;
      std::sort(spans.begin(), spans.end(),
                [](const PresenceSpan& a, const PresenceSpan& b) { return a.last < b.last; });
      const std::optional<std::int64_t> since = listedSince[place];
      if (since && presence.latestFetch >= from && *since <= to)
        spans.push_back(PresenceSpan{*since, presence.latestFetch});
    }
    return presence;
  } catch (const SqliteFailure& failure) {
    history.FailReading(failure);
  }
}

}  // namespace quellar
