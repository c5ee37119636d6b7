#pragma once

#include "history/sqlite_connection.h"

namespace quellar {

// What an SQLite file holds, learnt by reading alone.
enum class FileKind {
  kFresh,    // no tables and no marks: new, or empty
  kOurs,     // our mark and our schema version
  kForeign,  // another program's tables or marks
  kNewer,    // our mark with a later schema version
};

// Reads the file's marks (application_id, user_version) and whether it holds
// anything. Writes nothing; a file that is no database throws SqliteFailure.
FileKind InspectFile(SqliteConnection& connection);

// Makes the tables and marks in a fresh file, inside the caller's transaction.
void CreateSchema(SqliteConnection& connection);

}  // namespace quellar
