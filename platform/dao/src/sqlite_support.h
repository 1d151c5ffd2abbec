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
  ~Impl();  // forgets a held insert (the database commits it before it goes)

  contura::dao::SqliteHandle db;  // null when the open failed
  CString name;                   // as given to Open (code page 936)
  std::filesystem::path file;     // the native file, once known
  bool readOnly = false;
  bool exclusive = false;  // opened exclusive: no other connection can come in anyway
  long recordsAffected = 0;
  // The transaction of the last insert, still open for the key query after it (afxdao.h).
  bool writeHeld = false;
  std::string heldTable;  // the table of that insert
};

namespace contura::dao {

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
  // open past its statement (holdWrite) is then as sure to be saved as one committed at once.
  int begin(bool exclusive = false);
  int commit();
  // Leaves the transaction open after this object ends.
  void release() { open_ = false; }

private:
  sqlite3* db_;
  bool open_ = false;
};

// An insert's transaction held open for the key query after it (see afxdao.h).
//
// Keeps the begun (exclusive) and stepped insert transaction of `impl` open; `table` is the
// table it inserted into.
void holdWrite(CDaoDatabase::Impl& impl, std::string table);
// True when `shape` is the key query the held insert of `impl` waits for: SELECT MAX(...) of
// the table of the insert.
bool isKeyQueryFor(const CDaoDatabase::Impl& impl, const StatementShape& shape);
// Commits the held insert of `impl`; when that fails it is rolled back and the failure said
// and thrown (CDaoException*). `impl` holds nothing afterwards either way.
void commitHeldWrite(CDaoDatabase::Impl& impl);
// Commits the held insert of `impl`, if any; a failure is said, not thrown.
void commitHeldWriteQuietly(CDaoDatabase::Impl& impl) noexcept;
// Commits the held inserts of every database of this process but `keep`, so that an insert
// held on one never holds up another connection of the same program.
void commitOtherHeldWrites(const CDaoDatabase::Impl* keep) noexcept;

// Commits the held insert of `impl` (none when null) quietly when it ends, unless reset.
class HeldWriteCommit {
public:
  explicit HeldWriteCommit(CDaoDatabase::Impl* impl) : impl_(impl) {}
  ~HeldWriteCommit() {
    if (impl_) commitHeldWriteQuietly(*impl_);
  }
  HeldWriteCommit(const HeldWriteCommit&) = delete;
  HeldWriteCommit& operator=(const HeldWriteCommit&) = delete;
  void reset(CDaoDatabase::Impl* impl) { impl_ = impl; }

private:
  CDaoDatabase::Impl* impl_;
};

}  // namespace contura::dao
