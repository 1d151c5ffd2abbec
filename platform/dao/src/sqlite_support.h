// The SQLite backend of the DAO classes: library files, their handles owned by RAII types, and
// the translation of SQLite failures into DAO errors.
#pragma once
#include <sqlite3.h>

#include "connection.h"

#include <filesystem>
#include <memory>
#include <string>

namespace contura::dao {

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// The Jet number for an SQLite result code (extended codes allowed).
long jetCodeFor(int sqliteCode);

// Throws for an SQLite failure `rc` on `db`: `what` (UTF-8) says what was being done, and
// SQLite's own message follows. Busy failures name the timeout that was waited.
[[noreturn]] void throwSqlite(sqlite3* db, int rc, const char* source, const std::string& what);

// Prepares one statement (SQLite dialect); throws CDaoException* when SQLite refuses it or
// when it has parameter markers (Jet's "too few parameters").
Statement prepare(sqlite3* db, const std::string& sql, const char* source);

// Undoes an open transaction unless it was committed, or handed on with release().
class Transaction {
public:
  explicit Transaction(sqlite3* db) : db_(db) {}
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // BEGIN IMMEDIATE takes the write lock before anything is read. Waiting for it goes
  // through the busy handler; a transaction that first read and then asked for the write
  // lock could instead be refused at once to avoid a deadlock with another writer.
  // `exclusive` (BEGIN EXCLUSIVE) also waits for readers to finish and keeps new ones out, so
  // that nothing another connection does can make the later COMMIT fail: a transaction held
  // open past its statement is then as sure to be saved as one committed at once.
  int begin(bool exclusive = false);
  int commit();
  // Leaves the transaction open after this object ends.
  void release() { open_ = false; }

private:
  sqlite3* db_;
  bool open_ = false;
};

// Opens the existing library file `file` (`describe` names it in messages, UTF-8). A missing
// file is never created. Throws CDaoException*.
std::unique_ptr<Connection> openLibraryFile(const std::filesystem::path& file, const std::string& describe,
                                            bool exclusive, bool readOnly);

}  // namespace contura::dao
