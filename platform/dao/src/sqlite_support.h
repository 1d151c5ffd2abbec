// SQLite handles owned by RAII types, and the translation of SQLite failures into DAO errors.
#pragma once
#include <afxdao.h>
#include <sqlite3.h>

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

// The open connection behind a CDaoDatabase.
struct CDaoDatabase::Impl {
  contura::dao::SqliteHandle db;
  CString name;                  // as given to Open (code page 936)
  std::filesystem::path file;    // the native file
  bool readOnly = false;
  long recordsAffected = 0;
};
