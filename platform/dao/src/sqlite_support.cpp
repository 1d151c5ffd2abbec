// The SQLite backend: opening library files, running statements, and SQLite failures as DAO
// errors.
#include "sqlite_support.h"

#include <contura/dao/library_file.h>
#include <contura/os/codepage.h>

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <system_error>

namespace contura::dao {
namespace {

constexpr const char* kDatabaseSource = "DAO.Database";
constexpr const char* kRecordsetSource = "DAO.Recordset";

// While another connection holds the library, poll for it every 0.5 to 2 ms (the spread keeps
// two waiters out of step) until the timeout given in `timeoutMs` has passed. SQLite's own
// timeout sleeps ever longer (up to 100 ms a time), so a program waiting for a library that
// another program keeps writing would miss every short gap between that program's
// transactions and wait until it stops, or give up; short polls get in between.
constexpr long kBusyPollMinMicroseconds = 500;
constexpr long kBusyPollSpreadMicroseconds = 1500;

long long monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int pollWhileBusy(void* timeoutMs, int count) {
  // One wait runs on one thread at a time; `count` is 0 at its first call.
  thread_local long long waitStart = 0;
  thread_local unsigned seed = static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(monotonicMs());
  const long long now = monotonicMs();
  if (count == 0) waitStart = now;
  if (now - waitStart >= reinterpret_cast<intptr_t>(timeoutMs)) return 0;
  usleep(static_cast<useconds_t>(kBusyPollMinMicroseconds + rand_r(&seed) % kBusyPollSpreadMicroseconds));
  return 1;
}

Cell readCell(sqlite3_stmt* stmt, int column, bool utf8Text) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      return static_cast<std::int64_t>(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
      return sqlite3_column_double(stmt, column);
    case SQLITE_TEXT: {
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
      std::string_view utf8(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
      return utf8Text ? std::string(utf8) : os::utf8ToCp936(utf8);
    }
    case SQLITE_BLOB: {
      const char* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, column));
      return Bytes{std::string(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)))};
    }
    default:
      return std::monostate{};
  }
}

class SqliteConnection final : public Connection {
public:
  SqliteConnection(SqliteHandle db, std::string describe, bool exclusive)
      : db_(std::move(db)), on_(" on " + std::move(describe)), exclusive_(exclusive) {}
  ~SqliteConnection() override {
    if (held_) rollbackHeld();
  }

  long execute(const std::string& jet, const StatementShape& shape, bool holdInsert) override {
    (void)shape;
    sqlite3* db = db_.get();
    const std::string sql = translating(kDatabaseSource, [&] { return translateJetSql(jet); });
    // Refusals come before any lock is taken.
    Statement stmt = prepare(db, sql, kDatabaseSource);
    if (sqlite3_column_count(stmt.get()) > 0)
      throwDao(kJetSelectInExecute, kDatabaseSource,
               "cannot execute a select query" + on_ + "; open a recordset on it instead");
    // A held insert takes the exclusive lock its commit will need now, while a failure still
    // fails the insert.
    Transaction transaction(db);
    if (!inBatch_) {
      if (int rc = transaction.begin(holdInsert); rc != SQLITE_OK)
        throwSqlite(db, rc, kDatabaseSource, "cannot start writing" + on_);
    }
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) throwSqlite(db, rc, kDatabaseSource, "the statement failed" + on_);
    const long changed = sqlite3_changes(db);
    stmt.reset();
    if (inBatch_) return changed;
    if (holdInsert) {
      transaction.release();
      held_ = true;
    } else if (rc = transaction.commit(); rc != SQLITE_OK) {
      throwSqlite(db, rc, kDatabaseSource, "cannot save the change" + on_);
    }
    return changed;
  }

  ResultRows query(const std::string& jet, bool utf8Text) override {
    sqlite3* db = db_.get();
    const std::string sql = translating(kRecordsetSource, [&] { return translateJetSql(jet); });
    Statement stmt = prepare(db, sql, kRecordsetSource);
    const int columnCount = sqlite3_column_count(stmt.get());
    if (columnCount == 0)
      throwDao(kJetInvalidOperation, kRecordsetSource,
               "a recordset needs a query that returns rows; run action statements with Execute");
    ResultRows rows;
    for (int c = 0; c < columnCount; ++c) {
      const char* name = sqlite3_column_name(stmt.get(), c);
      rows.columns.emplace_back(name ? name : "");
    }
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
      for (int c = 0; c < columnCount; ++c) rows.cells.push_back(readCell(stmt.get(), c, utf8Text));
      ++rows.rowCount;
    }
    if (rc != SQLITE_DONE) throwSqlite(db, rc, kRecordsetSource, "the query failed" + on_);
    return rows;
  }

  void commitHeld() override {
    if (!held_) return;
    held_ = false;
    sqlite3* db = db_.get();
    if (int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); rc != SQLITE_OK) {
      const std::string why = sqlite3_errmsg(db);
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      throwDao(jetCodeFor(rc), kDatabaseSource, "cannot save the insert" + on_ + " (SQLite: " + why + ")");
    }
  }

  void rollbackHeld() noexcept override {
    if (held_) sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    held_ = false;
  }

  bool insertHeld() const override { return held_; }
  bool holdsInserts() const override { return !exclusive_; }

  void inTransaction(const std::function<void()>& body) override {
    sqlite3* db = db_.get();
    Transaction transaction(db);
    if (int rc = transaction.begin(); rc != SQLITE_OK) throwSqlite(db, rc, kDatabaseSource, "cannot start writing" + on_);
    inBatch_ = true;
    try {
      body();
    } catch (...) {
      inBatch_ = false;
      throw;  // the transaction is rolled back as it goes
    }
    inBatch_ = false;
    if (int rc = transaction.commit(); rc != SQLITE_OK)
      throwSqlite(db, rc, kDatabaseSource, "cannot save the changes" + on_);
  }

  // AUTOINCREMENT keeps the largest key ever given in sqlite_sequence.
  std::int64_t keyCounter(const std::string& table) override {
    Statement stmt = prepare(db_.get(), "SELECT seq FROM sqlite_sequence WHERE name = '" + table + "'", kDatabaseSource);
    return sqlite3_step(stmt.get()) == SQLITE_ROW ? sqlite3_column_int64(stmt.get(), 0) : 0;
  }

  void setKeyCounter(const std::string& table, std::int64_t value) override {
    if (value <= keyCounter(table)) return;
    const std::string v = std::to_string(value);
    const std::string sql = "UPDATE sqlite_sequence SET seq = " + v + " WHERE name = '" + table + "'";
    if (int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr); rc != SQLITE_OK)
      throwSqlite(db_.get(), rc, kDatabaseSource, "cannot set the next key" + on_);
    if (sqlite3_changes(db_.get()) > 0) return;
    const std::string insert = "INSERT INTO sqlite_sequence (name, seq) VALUES ('" + table + "', " + v + ")";
    if (int rc = sqlite3_exec(db_.get(), insert.c_str(), nullptr, nullptr, nullptr); rc != SQLITE_OK)
      throwSqlite(db_.get(), rc, kDatabaseSource, "cannot set the next key" + on_);
  }

private:
  SqliteHandle db_;
  std::string on_;  // " on <the library>", for messages
  bool exclusive_;
  bool held_ = false;
  bool inBatch_ = false;
};

}  // namespace

Transaction::~Transaction() {
  if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

int Transaction::begin(bool exclusive) {
  int rc = sqlite3_exec(db_, exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  open_ = rc == SQLITE_OK;
  return rc;
}

int Transaction::commit() {
  int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) open_ = false;
  return rc;
}

std::unique_ptr<Connection> openLibraryFile(const std::filesystem::path& file, const std::string& describe,
                                            bool exclusive, bool readOnly) {
  constexpr const char* kSource = kDatabaseSource;
  std::error_code ec;
  std::filesystem::file_status status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status)) throwDao(kJetFileNotFound, kSource, "could not find file " + describe);
  if (std::filesystem::is_directory(status))
    throwDao(kJetCannotOpen, kSource, "cannot open " + describe + ": it is a folder");

  // No SQLITE_OPEN_CREATE: a missing or vanished file is an error, never a new empty database.
  const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  SqliteHandle db(raw);
  if (rc != SQLITE_OK) throwSqlite(db.get(), rc, kSource, "cannot open " + describe);
  sqlite3_extended_result_codes(db.get(), 1);
  sqlite3_busy_handler(db.get(), pollWhileBusy, reinterpret_cast<void*>(static_cast<intptr_t>(busyTimeoutMs())));
  // The journal mode is left as the file has it. New library files use the rollback journal
  // (see createLibraryFile): a library is one self-contained file that people copy and may
  // keep on a network share, where write-ahead logging is not safe.
  if (exclusive) {
    rc = sqlite3_exec(db.get(), "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throwSqlite(db.get(), rc, kSource, "cannot lock " + describe);
  }
  // Reading the schema now tells a file that is not a database (an Access file, say) at
  // Open rather than at the first statement.
  rc = sqlite3_exec(db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    if ((rc & 0xFF) == SQLITE_NOTADB)
      throwSqlite(db.get(), rc, kSource, describe + " is not a library database (an SQLite file is needed)");
    throwSqlite(db.get(), rc, kSource, "cannot read " + describe);
  }
  return std::make_unique<SqliteConnection>(std::move(db), describe, exclusive);
}

long jetCodeFor(int sqliteCode) {
  switch (sqliteCode) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
      return kJetDuplicateValue;
    default:
      break;
  }
  switch (sqliteCode & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return kJetLocked;
    case SQLITE_READONLY:
      return kJetReadOnly;
    case SQLITE_CONSTRAINT:
      return kJetValidationRule;
    case SQLITE_NOTADB:
      return kJetUnrecognizedFormat;
    case SQLITE_CORRUPT:
      return kJetCorrupt;
    case SQLITE_IOERR:
    case SQLITE_FULL:
      return kJetDiskIO;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return kJetCannotOpen;
    case SQLITE_ERROR:
      return kJetSyntaxError;
    default:
      return kJetEngineError;
  }
}

void throwSqlite(sqlite3* db, int rc, const char* source, const std::string& what) {
  std::string message = what;
  const int primary = rc & 0xFF;
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
    message += ": the database stayed in use by another connection for " +
               std::to_string(busyTimeoutMs()) + " ms";
  }
  message += " (SQLite: ";
  message += db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  message += ")";
  throwDao(jetCodeFor(rc), source, message);
}

Statement prepare(sqlite3* db, const std::string& sql, const char* source) {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
  Statement stmt(raw);
  if (rc != SQLITE_OK) throwSqlite(db, rc, source, "the statement cannot be run");
  if (!stmt) throwDao(kJetSyntaxError, source, "the statement is empty");
  // The translation already refused a second statement; this guards the contract.
  if (tail && std::string_view(tail).find_first_not_of(" \t\r\n\f\v;") != std::string_view::npos)
    throwDao(kJetTextAfterEnd, source, std::string("only one statement is accepted; text after it: ") + tail);
  if (int n = sqlite3_bind_parameter_count(stmt.get()); n > 0)
    throwDao(kJetTooFewParameters, source,
             "too few parameters: the statement has " + std::to_string(n) +
                 " parameter marker(s) and none are supplied");
  return stmt;
}

}  // namespace contura::dao
