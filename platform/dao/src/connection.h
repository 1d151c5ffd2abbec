// What the DAO classes need of a library backend (an SQLite file or a PostgreSQL server), the
// state behind an open CDaoDatabase, and the inserts held open for their key query.
#pragma once
#include <afxdao.h>
#include <contura/dao/library_file.h>

#include "failure_report.h"
#include "jet_sql.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace contura::dao {

// Jet error numbers (see the E_DAO_ codes in afxdao.h).
enum JetError : long {
  kJetNoCurrentRecord = 3021,
  kJetDuplicateValue = 3022,
  kJetFileNotFound = 3024,
  kJetReadOnly = 3027,
  kJetInvalidLogon = 3029,
  kJetDiskIO = 3043,
  kJetInvalidPath = 3044,
  kJetCorrupt = 3049,
  kJetCannotOpen = 3051,
  kJetTooFewParameters = 3061,
  kJetSelectInExecute = 3065,
  kJetSyntaxError = 3075,
  kJetTextAfterEnd = 3142,
  kJetConnectionLost = 3146,
  kJetConnectionFailed = 3151,
  kJetInvalidOperation = 3219,
  kJetLocked = 3260,
  kJetItemNotFound = 3265,
  kJetValidationRule = 3317,
  kJetUnrecognizedFormat = 3343,
  kJetObjectNotOpen = 3420,
  kJetEngineError = 3000,
};

// Throws `new CDaoException` with the given Jet number, source ("DAO.Database"...) and a
// UTF-8 description (converted to code page 936 for the exception).
[[noreturn]] void throwDao(long jetCode, const char* source, const std::string& utf8Description,
                           int afxDaoError = NO_AFX_DAO_ERROR);

// The statement text (code page 936) checked and converted to UTF-8 Jet text: the bytes must
// be code page 936 text and the statement not empty. Throws CDaoException* (3075) otherwise.
std::string jetStatement(const char* cp936Sql, const char* source);

// "'E:\x\lib.mdb' (/home/u/.../lib.mdb)": a library for messages (UTF-8), by the name given to
// Open (a server address without its password) and, when different, the file or address.
std::string describeLibrary(const CString& name, const std::filesystem::path& file);

// Converts a JetSqlError of the translator into the DAO exception of the same fault.
template <typename F>
decltype(auto) translating(const char* source, F&& f) {
  try {
    return f();
  } catch (const JetSqlError& e) {
    throwDao(e.jetCode(), source, e.what());
  }
}

// One value of a result row: NULL, an integer, a real, text or bytes (a blob).
struct Bytes {
  std::string data;
  bool operator==(const Bytes&) const = default;
};
using Cell = std::variant<std::monostate, std::int64_t, double, std::string, Bytes>;

// Every row of a query, read at once.
struct ResultRows {
  std::vector<std::string> columns;  // names in UTF-8, as the backend reports them
  std::vector<Cell> cells;           // row after row
  long rowCount = 0;
};

// An open connection to one library. Statements are Jet text in UTF-8 (already checked by
// jetStatement); each connection renders them in its own dialect. Every call throws
// CDaoException* (said by the caller, not here) and leaves nothing half done: an action
// statement takes effect whole or not at all.
class Connection {
public:
  virtual ~Connection() = default;

  // Runs one action statement and returns the rows it changed. A statement that returns rows
  // is refused (3065). With `holdInsert`, the statement's transaction is left open, with
  // every other writer of `shape.table` kept out, until commitHeld or rollbackHeld.
  virtual long execute(const std::string& jet, const StatementShape& shape, bool holdInsert) = 0;
  // Runs one query and reads every row, text in code page 936 or, with `utf8Text`, as stored;
  // a statement that returns no rows is refused (3219).
  virtual ResultRows query(const std::string& jet, bool utf8Text = false) = 0;
  // Ends the transaction left open by execute(holdInsert). A failed commit is rolled back
  // and thrown.
  virtual void commitHeld() = 0;
  virtual void rollbackHeld() noexcept = 0;
  // True while a transaction left open by execute(holdInsert) is still open: a backend whose
  // failed statement ends the transaction loses the held insert with it.
  virtual bool insertHeld() const = 0;
  // False when no other connection can write anyway (a file opened exclusive): inserts are
  // then committed at once rather than held.
  virtual bool holdsInserts() const { return true; }

  // Runs `body` (calls of execute without holdInsert) as one transaction: all of it or none.
  virtual void inTransaction(const std::function<void()>& body) = 0;
  // The largest key the identity column of `table` has handed out (0 when none yet), and
  // setting it so that the next key given is above `value`.
  virtual std::int64_t keyCounter(const std::string& table) = 0;
  virtual void setKeyCounter(const std::string& table, std::int64_t value) = 0;
};

}  // namespace contura::dao

// The connection behind a CDaoDatabase. A failed Open leaves one without a connection, so
// that later calls on the database can still name the library that could not be opened.
struct CDaoDatabase::Impl {
  Impl() = default;
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  ~Impl();  // forgets a held insert (the database commits it before it goes)

  std::unique_ptr<contura::dao::Connection> conn;  // null when the open failed
  CString name;                                    // as given to Open (code page 936)
  std::filesystem::path file;  // the native file or the server address (no password), once known
  bool readOnly = false;
  long recordsAffected = 0;
  // The transaction of the last insert, still open for the key query after it (afxdao.h).
  bool writeHeld = false;
  std::string heldTable;  // the table of that insert
};

namespace contura::dao {

// Opens the library `impl.name` names (through the library routes, see library_file.h) into
// `impl`; throws CDaoException* (impl.file is set once it is known).
void openLibrary(CDaoDatabase::Impl& impl, bool exclusive, bool readOnly);

// An insert's transaction held open for the key query after it (see afxdao.h).
//
// Marks the insert just run on `impl` (its transaction left open) as held; `table` is the
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
