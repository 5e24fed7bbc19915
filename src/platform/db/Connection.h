#pragma once

#include <QString>
#include <cstdint>

#include "platform/core/Errors.h"

struct sqlite3;

namespace platform {

// A failed database step. The text is the engine's own message; Code() is
// SQLite's extended result code, or 0 for an error of this layer.
class DbError : public Error {
 public:
  explicit DbError(const QString& text, int code = 0) : Error(text), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// The one kind of provider this layer speaks for.
inline constexpr const char* kSqliteProvider = "SQLite3";

// A database connection described by a connection string of "key=value;" pairs
// (keys without regard to case, values optionally in double or single quotes):
// Provider (SQLite3, or none) and Data Source (the database file). The file is
// opened for reading and writing and never created. It is shared with other
// processes: write-ahead log and a busy timeout.
class Connection {
 public:
  Connection() = default;
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  QString ConnectionString() const { return connectionString_; }
  // Takes effect at the next opening.
  void SetConnectionString(const QString& text) { connectionString_ = text; }

  bool Connected() const { return db_ != nullptr; }
  // true opens, false closes.
  void SetConnected(bool connected);
  // Opening an open connection does nothing; closing a closed one does nothing.
  void Open();
  void Close();

  // Runs one statement; a result is discarded. A closed connection is opened
  // first.
  void Execute(const QString& sql);

  // The open handle for a statement: opens a closed connection, and reopens one
  // whose file was deleted or replaced since it was opened (so nothing is written
  // into a file that is gone).
  sqlite3* Handle();

  // How long a statement waits for another process's write to finish.
  int BusyTimeoutMs() const { return busyTimeoutMs_; }
  // Applies at once to an open connection too.
  void SetBusyTimeoutMs(int ms);

  // The Data Source of a connection string; throws DbError when the string does
  // not name one or names another provider.
  static QString DataSourceOf(const QString& connectionString);

  // Throws DbError with the handle's last message.
  [[noreturn]] static void Fail(sqlite3* db, int rc);

 private:
  bool SameFileStillThere() const;

  QString connectionString_;
  QString path_;
  sqlite3* db_ = nullptr;
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
  int busyTimeoutMs_ = 5000;
};

}  // namespace platform
