#include "history/history_schema.h"

#include <cstdint>
#include <string>

namespace quellar {
namespace {

// "Qlhs": the application_id that tells our history files from other SQLite files.
constexpr std::int64_t kApplicationId = 0x516C6873;
// The schema's version in user_version. A later Quellar that changes the tables
// raises it, and this one then leaves the file alone.
constexpr std::int64_t kSchemaVersion = 1;

// Changes, not whole rosters. A fetch is a row of its query's figures, keyed by
// (query, time), its time unique within a query. A member's presence is a row of
// members while the latest fetch of its query lists it (listed_since: the first
// of the unbroken run of fetches that did), and becomes a span, the first and
// last fetch times of that run, when a fetch no longer lists it or the next
// fetch comes more than 65 minutes later. Nicks and clans are BLOBs: their
// Windows-1251 bytes, never text SQLite might convert.
constexpr char kSchema[] = R"sql(
CREATE TABLE queries(
  id INTEGER PRIMARY KEY,
  clan BLOB NOT NULL,
  server TEXT NOT NULL,
  match_case INTEGER NOT NULL,
  UNIQUE(clan, server, match_case));
CREATE TABLE fetches(
  query INTEGER NOT NULL REFERENCES queries(id),
  time INTEGER NOT NULL,
  server_online BLOB NOT NULL,
  clan_online INTEGER NOT NULL,
  PRIMARY KEY(query, time)) WITHOUT ROWID;
CREATE TABLE members(
  id INTEGER PRIMARY KEY,
  query INTEGER NOT NULL REFERENCES queries(id),
  nick BLOB NOT NULL,
  listed_since INTEGER,
  UNIQUE(query, nick));
CREATE TABLE spans(
  member INTEGER NOT NULL REFERENCES members(id),
  last_seen INTEGER NOT NULL,
  first_seen INTEGER NOT NULL,
  PRIMARY KEY(member, last_seen)) WITHOUT ROWID;
)sql";

}  // namespace

FileKind InspectFile(SqliteConnection& connection) {
  // One statement, so that the marks and the tables are read from one state of
  // a file that another process may be setting up meanwhile.
  StatementUse marks = connection.Use(
      "SELECT (SELECT application_id FROM pragma_application_id), "
      "(SELECT user_version FROM pragma_user_version), (SELECT count(*) FROM sqlite_master)");
  marks.Step();
  const std::int64_t application = marks.Int(0);
  const std::int64_t version = marks.Int(1);
  const std::int64_t objects = marks.Int(2);
  if (application == kApplicationId) {
    if (version == kSchemaVersion)
      return FileKind::kOurs;
    return version > kSchemaVersion ? FileKind::kNewer : FileKind::kForeign;
  }
  if (application != 0 || version != 0)
    return FileKind::kForeign;
  return objects == 0 ? FileKind::kFresh : FileKind::kForeign;
}

void CreateSchema(SqliteConnection& connection) {
  connection.Execute(kSchema);
  connection.Execute(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
  connection.Execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
}

}  // namespace quellar
