// SQLite handles owned by RAII types, and the translation of SQLite failures into DAO errors.
#pragma once
#include <afxdao.h>
#include <sqlite3.h>

#include "failure_report.h"
#include "jet_sql.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace contura::dao {

// Jet error numbers (see the E_DAO_ codes in afxdao.h).
enum JetError : long {
  kJetNoCurrentRecord = 3021,
  kJetDuplicateValue = 3022,
  kJetFileNotFound = 3024,
  kJetReadOnly = 3027,
  kJetDiskIO = 3043,
  kJetInvalidPath = 3044,
  kJetCorrupt = 3049,
  kJetCannotOpen = 3051,
  kJetTooFewParameters = 3061,
  kJetSelectInExecute = 3065,
  kJetSyntaxError = 3075,
  kJetTextAfterEnd = 3142,
  kJetInvalidOperation = 3219,
  kJetLocked = 3260,
  kJetItemNotFound = 3265,
  kJetValidationRule = 3317,
  kJetUnrecognizedFormat = 3343,
  kJetObjectNotOpen = 3420,
  kJetEngineError = 3000,
};

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Throws `new CDaoException` with the given Jet number, source ("DAO.Database"...) and a
// UTF-8 description (converted to code page 936 for the exception).
[[noreturn]] void throwDao(long jetCode, const char* source, const std::string& utf8Description,
                           int afxDaoError = NO_AFX_DAO_ERROR);

// The Jet number for an SQLite result code (extended codes allowed).
long jetCodeFor(int sqliteCode);

// Throws for an SQLite failure `rc` on `db`: `what` (UTF-8) says what was being done, and
// SQLite's own message follows. Busy failures name the timeout that was waited.
[[noreturn]] void throwSqlite(sqlite3* db, int rc, const char* source, const std::string& what);

// The statement text checked and rewritten for SQLite: the code page 936 text must be
// valid, and Jet syntax is translated. Throws CDaoException* (3075, 3142) otherwise.
std::string sqliteStatement(const char* cp936Sql, const char* source);

// Prepares one statement; throws CDaoException* when SQLite refuses it or when it has
// parameter markers (Jet's "too few parameters").
Statement prepare(sqlite3* db, const std::string& sql, const char* source);

}  // namespace contura::dao

// The connection behind a CDaoDatabase. A failed Open leaves one without a connection, so
// that later calls on the database can still name the file that could not be opened.
struct CDaoDatabase::Impl {
  Impl() = default;
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  ~Impl();  // forgets a kept lock; closing the connection lets go of it

  contura::dao::SqliteHandle db;  // null when the open failed
  CString name;                   // as given to Open (code page 936)
  std::filesystem::path file;     // the native file, once known
  bool readOnly = false;
  bool exclusive = false;  // opened exclusive: it keeps every lock it takes anyway
  long recordsAffected = 0;
  // After an insert the file stays locked for the key query after it (afxdao.h).
  bool lockKept = false;
  std::string insertTable;  // the table of that insert
};

namespace contura::dao {

// Undoes an open transaction unless it was committed.
class Transaction {
public:
  explicit Transaction(sqlite3* db) : db_(db) {}
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // BEGIN IMMEDIATE takes the write lock before anything is read. Waiting for it goes
  // through the busy handler; a transaction that first read and then asked for the write
  // lock could instead be refused at once to avoid a deadlock with another writer.
  int begin();
  int commit();

private:
  sqlite3* db_;
  bool open_ = false;
};

// Keeping the file locked past an insert's commit. SQLite's exclusive locking mode keeps the
// exclusive lock a commit takes; going back to the normal mode and touching the file lets go.
// The inserted row is saved by the commit either way: a kept lock only keeps other
// connections from writing, and reading, until the key query has run.
//
// Puts `impl` in exclusive locking mode inside an insert's begun transaction; returns SQLite's
// code. (Before BEGIN it would be wrong: a connection in that mode keeps the shared lock it
// took while it waits for the write lock, and two such writers wait for each other.)
int startKeepingLock(CDaoDatabase::Impl& impl);
// After the insert's commit: `impl` keeps its lock until released.
void keepLock(CDaoDatabase::Impl& impl, std::string table);
// True when `shape` is the key query a kept lock on `impl` waits for: SELECT MAX(...) of the
// table of the insert.
bool isKeyQueryFor(const CDaoDatabase::Impl& impl, const StatementShape& shape);
// Back to the normal locking mode, letting go of the file (also after startKeepingLock alone).
// Never fails: should touching the file fail, the lock goes with the connection at the latest.
void releaseLock(CDaoDatabase::Impl& impl) noexcept;
// Releases the kept locks of every database of this process but `keep`, so that a lock kept
// on one never holds up another connection of the same program.
void releaseOtherLocks(const CDaoDatabase::Impl* keep) noexcept;

// Releases the lock of `impl` (none when null) when it ends, unless dismissed.
class LockRelease {
public:
  explicit LockRelease(CDaoDatabase::Impl* impl) : impl_(impl) {}
  ~LockRelease() {
    if (impl_) releaseLock(*impl_);
  }
  LockRelease(const LockRelease&) = delete;
  LockRelease& operator=(const LockRelease&) = delete;
  void reset(CDaoDatabase::Impl* impl) { impl_ = impl; }

private:
  CDaoDatabase::Impl* impl_;
};

}  // namespace contura::dao