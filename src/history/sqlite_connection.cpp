#include "history/sqlite_connection.h"

#include <sqlite3.h>

namespace quellar {
namespace {

[[noreturn]] void Fail(sqlite3* db, int result) {
  throw SqliteFailure(db ? sqlite3_extended_errcode(db) : result,
                      db ? sqlite3_errmsg(db) : sqlite3_errstr(result));
}

// SQLite takes file names as UTF-8 everywhere; on Linux the bytes are the name.
std::string FileName(const std::filesystem::path& file) {
#ifdef _WIN32
  const std::u8string name = file.u8string();
  return std::string(name.begin(), name.end());
#else
  return file.native();
#endif
}

}  // namespace

StatementUse::~StatementUse() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

StatementUse& StatementUse::Bind(int parameter, std::int64_t value) {
  if (const int result = sqlite3_bind_int64(statement_, parameter, value); result != SQLITE_OK)
    Fail(sqlite3_db_handle(statement_), result);
  return *this;
}

StatementUse& StatementUse::BindBytes(int parameter, std::string_view bytes) {
  // A zero-length BLOB, not NULL, for an empty nick: the pointer must not be null.
  static const char kNothing = 0;
  const int result =
      sqlite3_bind_blob64(statement_, parameter, bytes.empty() ? &kNothing : bytes.data(),
                          bytes.size(), SQLITE_TRANSIENT);
  if (result != SQLITE_OK)
    Fail(sqlite3_db_handle(statement_), result);
  return *this;
}

StatementUse& StatementUse::BindText(int parameter, std::string_view utf8) {
  const int result = sqlite3_bind_text64(statement_, parameter, utf8.data(), utf8.size(),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
  if (result != SQLITE_OK)
    Fail(sqlite3_db_handle(statement_), result);
  return *this;
}

bool StatementUse::Step() {
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW)
    return true;
  if (result == SQLITE_DONE)
    return false;
  Fail(sqlite3_db_handle(statement_), result);
}

void StatementUse::Run() {
  while (Step()) {
  }
}

bool StatementUse::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::int64_t StatementUse::Int(int column) const {
  return sqlite3_column_int64(statement_, column);
}

std::string_view StatementUse::Bytes(int column) const {
  const void* bytes = sqlite3_column_blob(statement_, column);
  const int size = sqlite3_column_bytes(statement_, column);
  return bytes ? std::string_view(static_cast<const char*>(bytes), static_cast<std::size_t>(size))
               : std::string_view();
}

SqliteConnection::SqliteConnection(const std::filesystem::path& file, bool create,
                                   int busyMilliseconds) {
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  const int result = sqlite3_open_v2(FileName(file).c_str(), &db_, flags, nullptr);
  if (result != SQLITE_OK) {
    const SqliteFailure failure(db_ ? sqlite3_extended_errcode(db_) : result,
                                db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(result));
    sqlite3_close(db_);
    throw failure;
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, busyMilliseconds);
}

SqliteConnection::~SqliteConnection() {
  for (const auto& [sql, statement] : statements_)
    sqlite3_finalize(statement);
  sqlite3_close(db_);
}

void SqliteConnection::Execute(const char* sql) {
  Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

StatementUse SqliteConnection::Use(const char* sql) {
  auto found = statements_.find(sql);
  if (found == statements_.end()) {
    sqlite3_stmt* statement = nullptr;
    Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr));
    found = statements_.emplace(sql, statement).first;
  }
  return StatementUse(found->second);
}

void SqliteConnection::Check(int result) const {
  if (result != SQLITE_OK)
    Fail(db_, result);
}

WriteTransaction::WriteTransaction(SqliteConnection& connection) : connection_(connection) {
  connection_.Execute("BEGIN IMMEDIATE");
}

WriteTransaction::~WriteTransaction() {
  if (!open_)
    return;
  try {
    connection_.Execute("ROLLBACK");
  } catch (const SqliteFailure&) {
    // SQLite rolls back itself after some failures; nothing is left to undo.
  }
}

void WriteTransaction::Commit() {
  connection_.Execute("COMMIT");
  open_ = false;
}

ReadTransaction::ReadTransaction(SqliteConnection& connection) : connection_(connection) {
  connection_.Execute("BEGIN");
}

ReadTransaction::~ReadTransaction() {
  try {
    connection_.Execute("COMMIT");
  } catch (const SqliteFailure&) {
    // A reader has nothing to keep.
  }
}

}  // namespace quellar
