#include "history/history_schema.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>

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

// A file's marks read as its header keeps them.
FileKind KindOf(std::int64_t application, std::int64_t version, bool holdsAnything) {
  if (application == kApplicationId) {
    if (version == kSchemaVersion)
      return FileKind::kOurs;
    return version > kSchemaVersion ? FileKind::kNewer : FileKind::kForeign;
  }
  if (application != 0 || version != 0 || holdsAnything)
    return FileKind::kForeign;
  return FileKind::kFresh;
}

std::int64_t BigEndian32(const unsigned char* bytes) {
  const std::uint32_t value = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                              (std::uint32_t{bytes[2]} << 8) | bytes[3];
  return static_cast<std::int32_t>(value);  // both marks are signed
}

}  // namespace

// The database header: its text, user_version at 60, application_id at 68, and
// the first page's count of tables and indexes at 103.
std::optional<FileKind> InspectHeader(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error))
    return FileKind::kFresh;
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::array<unsigned char, 105> header{};
  in.read(reinterpret_cast<char*>(header.data()), header.size());
  const std::streamsize read = in.gcount();
  if (read == 0)
    return FileKind::kFresh;
  constexpr char kText[] = "SQLite format 3";  // with its zero, 16 bytes
  if (read < static_cast<std::streamsize>(header.size()) ||
      std::memcmp(header.data(), kText, sizeof kText) != 0)
    return FileKind::kNotADatabase;
  // A new file of ours gets its marks before its write-ahead log, so a file
  // without them whose log holds anything is another program's.
  std::filesystem::path log = file;
  log += "-wal";
  const auto logSize = std::filesystem::file_size(log, error);
  const bool holdsAnything = (header[103] | header[104]) != 0 || (!error && logSize > 0);
  return KindOf(BigEndian32(&header[68]), BigEndian32(&header[60]), holdsAnything);
}

FileKind InspectFile(SqliteConnection& connection) {
  // One statement, so that the marks and the tables are read from one state of
  // a file that another process may be setting up meanwhile.
  StatementUse marks = connection.Use(
      "SELECT (SELECT application_id FROM pragma_application_id), "
      "(SELECT user_version FROM pragma_user_version), (SELECT count(*) FROM sqlite_master)");
  marks.Step();
  return KindOf(marks.Int(0), marks.Int(1), marks.Int(2) != 0);
}

void CreateSchema(SqliteConnection& connection) {
  connection.Execute(kSchema);
  connection.Execute(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
  connection.Execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
}

}  // namespace quellar
