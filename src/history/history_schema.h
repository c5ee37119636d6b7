#pragma once

#include <filesystem>
#include <optional>

#include "history/sqlite_connection.h"

namespace quellar {

// What an SQLite file holds, learnt by reading alone.
enum class FileKind {
  kFresh,    // no tables and no marks: new, or empty
  kOurs,     // our mark and our schema version
  kForeign,  // another program's tables or marks
  kNewer,    // our mark with a later schema version
  kNotADatabase,
};

// What the file's own bytes say it is, before SQLite is let near it: SQLite
// opening another program's database could write back its log on closing.
// Nothing when the file cannot be read, which SQLite then tells.
std::optional<FileKind> InspectHeader(const std::filesystem::path& file);

// Reads the file's marks (application_id, user_version) and whether it holds
// anything. Writes nothing; a file that is no database throws SqliteFailure.
FileKind InspectFile(SqliteConnection& connection);

// Makes the tables and marks in a fresh file, inside the caller's transaction.
void CreateSchema(SqliteConnection& connection);

}  // namespace quellar
