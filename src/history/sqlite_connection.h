#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quellar {

// An SQLite call that failed: its extended result code and SQLite's words.
// Caught where the file it concerns can be named in the program's words.
class SqliteFailure : public std::exception {
 public:
  SqliteFailure(int code, std::string detail) : code_(code), detail_(std::move(detail)) {}
  int code() const { return code_; }
  const std::string& detail() const { return detail_; }
  const char* what() const noexcept override { return detail_.c_str(); }

 private:
  int code_;
  std::string detail_;
};

// A prepared statement in use: bound, stepped, read, and reset when the use ends,
// so that no read stays open behind the caller's back.
class StatementUse {
 public:
  explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
  ~StatementUse();
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

  // Parameters count from 1, as SQLite's do.
  StatementUse& Bind(int parameter, std::int64_t value);
  StatementUse& BindBytes(int parameter, std::string_view bytes);  // as a BLOB
  StatementUse& BindText(int parameter, std::string_view utf8);

  // The next row; false when there is none.
  bool Step();
  // Steps a statement that gives no rows.
  void Run();

  bool IsNull(int column) const;
  std::int64_t Int(int column) const;
  std::string_view Bytes(int column) const;

 private:
  sqlite3_stmt* statement_;
};

// One open connection to an SQLite file, with its statements prepared once.
class SqliteConnection {
 public:
  // Opens file for reading and writing, creating it when create is set. The
  // busy time-out makes a writer wait for another's transaction.
  SqliteConnection(const std::filesystem::path& file, bool create, int busyMilliseconds);
  ~SqliteConnection();
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // Runs statements that give no rows.
  void Execute(const char* sql);
  // The statement of sql, prepared at its first use. sql must outlive the
  // connection: a literal.
  StatementUse Use(const char* sql);

  // Throws SqliteFailure for a result other than SQLITE_OK.
  void Check(int result) const;

 private:
  sqlite3* db_ = nullptr;
  std::map<const char*, sqlite3_stmt*> statements_;
};

// Runs the caller's writes as one transaction that takes the write lock at once
// (so that the busy time-out, not a failed upgrade, settles a meeting of two
// writers), and rolls back unless Commit is reached.
class WriteTransaction {
 public:
  explicit WriteTransaction(SqliteConnection& connection);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  void Commit();

 private:
  SqliteConnection& connection_;
  bool open_ = true;
};

// A snapshot for a reader's several statements, so that a recording in between
// cannot make them disagree.
class ReadTransaction {
 public:
  explicit ReadTransaction(SqliteConnection& connection);
  ~ReadTransaction();
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;

 private:
  SqliteConnection& connection_;
};

}  // namespace quellar
