#include "history/history_file.h"

#include <sqlite3.h>

#include <chrono>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "common/error.h"
#include "history/history_messages.h"
#include "history/history_schema.h"
#include "history/sqlite_connection.h"

namespace quellar {
namespace {

// Long enough for another process's recording of a huge roster, short enough
// that a file held by something stuck is reported while the user still waits.
constexpr int kBusyMilliseconds = 5000;

// Switches a new file to the write-ahead log: readers and one writer at a time,
// without blocking one another. Two processes setting up one new file may each
// hold a read lock while asking for the write lock; SQLite then fails one of
// them at once rather than let both wait for ever, so the switch is tried again
// for as long as the busy time-out.
void UseWriteAheadLog(SqliteConnection& connection) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMilliseconds);
  while (true) {
    try {
      connection.Execute("PRAGMA journal_mode = WAL");
      return;
    } catch (const SqliteFailure& failure) {
      if ((failure.code() & 0xFF) != SQLITE_BUSY || std::chrono::steady_clock::now() > deadline)
        throw;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// A reason found before SQLite is asked.
struct Refusal {
  HistoryProblem problem;
};

// Refuses a file of any kind but ours or a fresh one.
void Refuse(FileKind kind) {
  switch (kind) {
    case FileKind::kFresh:
    case FileKind::kOurs:
      return;
    case FileKind::kForeign:
      throw Refusal{HistoryProblem::kForeign};
    case FileKind::kNewer:
      throw Refusal{HistoryProblem::kNewer};
    case FileKind::kNotADatabase:
      throw Refusal{HistoryProblem::kNotADatabase};
  }
}

std::string ReasonOf(const SqliteFailure& failure, const std::filesystem::path& file) {
  std::error_code error;
  switch (failure.code() & 0xFF) {
    case SQLITE_CANTOPEN:
      if (std::filesystem::is_directory(file, error))
        return ProblemText(HistoryProblem::kDirectoryInPlace);
      return ProblemText(std::filesystem::exists(file, error) ? HistoryProblem::kReadOnly
                                                              : HistoryProblem::kCannotCreate);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return ProblemText(HistoryProblem::kReadOnly);
    case SQLITE_NOTADB:
      return ProblemText(HistoryProblem::kNotADatabase);
    case SQLITE_CORRUPT:
      return ProblemText(HistoryProblem::kCorrupt);
    case SQLITE_FULL:
      return ProblemText(HistoryProblem::kDiskFull);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ProblemText(HistoryProblem::kBusy);
    case SQLITE_IOERR:
      return ProblemText(HistoryProblem::kInputOutput);
    default:
      return ProblemText(HistoryProblem::kOther, failure.detail());
  }
}

}  // namespace

HistoryFile::HistoryFile(std::filesystem::path file) : file_(std::move(file)) {}

HistoryFile::~HistoryFile() = default;

void HistoryFile::Close() {
  connection_.reset();
  lastRecorded_.clear();
}

void HistoryFile::FailRecording(const SqliteFailure& failure) {
  Close();
  throw Error(RecordFailureMessage(file_, ReasonOf(failure, file_)));
}

void HistoryFile::FailReading(const SqliteFailure& failure) {
  Close();
  throw Error(ReadFailureMessage(file_, ReasonOf(failure, file_)));
}

// Nothing is written before the file has been read and found to be ours or
// fresh, and SQLite opens no file that its header says is another's: a file of
// another kind keeps every byte, and no journal or log is made beside it.
void HistoryFile::Open(bool create) {
  std::error_code error;
  if (std::filesystem::is_directory(file_, error))
    throw Refusal{HistoryProblem::kDirectoryInPlace};
  const std::optional<FileKind> marked = InspectHeader(file_);
  if (marked)
    Refuse(*marked);
  if (marked == FileKind::kFresh && !create)
    return;
  const std::filesystem::path folder = file_.parent_path();
  if (create && !folder.empty() && !std::filesystem::exists(folder, error)) {
    std::filesystem::create_directories(folder, error);
    if (error)
      throw Refusal{HistoryProblem::kNoFolder};
  }
  auto connection = std::make_unique<SqliteConnection>(file_, create, kBusyMilliseconds);
  FileKind kind = InspectFile(*connection);
  Refuse(kind);
  if (kind == FileKind::kFresh && !create)
    return;
  // A process killed part way loses no recording that returned; only a power
  // failure could lose the last ones, never the file's soundness.
  connection->Execute("PRAGMA synchronous = NORMAL");
  if (kind == FileKind::kFresh) {
    // The marks and tables go into the file itself before it takes the
    // write-ahead log, so that its header alone tells it is ours.
    WriteTransaction transaction(*connection);
    // Another process may have made the tables since the look above.
    kind = InspectFile(*connection);
    Refuse(kind);
    if (kind == FileKind::kFresh)
      CreateSchema(*connection);
    transaction.Commit();
  }
  UseWriteAheadLog(*connection);
  connection_ = std::move(connection);
}

SqliteConnection& HistoryFile::ForRecording() {
  if (!connection_) {
    try {
      Open(true);
    } catch (const Refusal& refusal) {
      throw Error(RecordFailureMessage(file_, ProblemText(refusal.problem)));
    } catch (const SqliteFailure& failure) {
      FailRecording(failure);
    }
  }
  return *connection_;
}

SqliteConnection* HistoryFile::ForReading() {
  if (!connection_) {
    std::error_code error;
    if (!std::filesystem::exists(file_, error))
      return nullptr;
    try {
      Open(false);
    } catch (const Refusal& refusal) {
      throw Error(ReadFailureMessage(file_, ProblemText(refusal.problem)));
    } catch (const SqliteFailure& failure) {
      FailReading(failure);
    }
  }
  return connection_.get();
}

}  // namespace quellar
