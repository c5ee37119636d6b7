#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/roster_query.h"
#include "roster/fetch_step.h"

namespace quellar {

class SqliteConnection;
class SqliteFailure;

// The history file, history.sqlite: opened at its first use, not before, so that
// a program that never records or reads history never creates or opens it. Used
// by one thread at a time. Every failure is an Error whose message names the file
// and the reason; a file that is not ours is only ever read, never written.
class HistoryFile {
 public:
  explicit HistoryFile(std::filesystem::path file);
  ~HistoryFile();
  HistoryFile(const HistoryFile&) = delete;
  HistoryFile& operator=(const HistoryFile&) = delete;

  const std::filesystem::path& path() const { return file_; }

  // For the layer's recorder and readers.

  // The connection to record through: the folder and the file made when
  // missing, the tables made in a fresh file. Throws Error.
  SqliteConnection& ForRecording();
  // The connection to read through, or none while there is no history: no file,
  // or a fresh one. Throws Error.
  SqliteConnection* ForReading();

  // The Error to throw for an SQLite failure while recording or reading. The
  // connection is let go, so that the next use opens the file afresh.
  [[noreturn]] void FailRecording(const SqliteFailure& failure);
  [[noreturn]] void FailReading(const SqliteFailure& failure);

  // What this connection last recorded of each query: while the file's latest
  // fetch of that query is still this one, the next fetch is compared with these
  // nicks in memory rather than with the members read back.
  struct LastRecorded {
    RosterQuery query;
    std::int64_t time = 0;
    std::shared_ptr<const SeenRoster> seen;
  };
  std::vector<LastRecorded>& lastRecorded() { return lastRecorded_; }

 private:
  void Open(bool create);
  void Close();

  std::filesystem::path file_;
  std::unique_ptr<SqliteConnection> connection_;
  std::vector<LastRecorded> lastRecorded_;
};

}  // namespace quellar
