// DAO errors from SQLite failures, and statement preparation shared by databases and recordsets.
#include "sqlite_support.h"

#include <contura/dao/library_file.h>
#include <contura/os/codepage.h>

#include "jet_sql.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace contura::dao {
namespace {

// The databases of this process that hold an insert's transaction open. Only the thread that
// runs the statements changes a database; the mutex keeps the list itself whole.
std::mutex g_heldLock;
std::vector<CDaoDatabase::Impl*> g_held;

void forgetHeld(CDaoDatabase::Impl* impl) {
  std::lock_guard lock(g_heldLock);
  std::erase(g_held, impl);
}

FailureScene savingScene(const CDaoDatabase::Impl& impl) {
  FailureScene scene;
  scene.action = Action::Save;
  scene.name = impl.name;
  scene.file = impl.file;
  scene.table = impl.heldTable;
  return scene;
}

// A program that ends through exit() without closing its database still saves its last insert.
void commitHeldWritesAtExit() { commitOtherHeldWrites(nullptr); }

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

void holdWrite(CDaoDatabase::Impl& impl, std::string table) {
  static const bool atExit = std::atexit(commitHeldWritesAtExit) == 0;
  (void)atExit;
  impl.heldTable = std::move(table);
  std::lock_guard lock(g_heldLock);
  g_held.push_back(&impl);
  impl.writeHeld = true;
}

bool isKeyQueryFor(const CDaoDatabase::Impl& impl, const StatementShape& shape) {
  if (!impl.writeHeld || !shape.maxOfColumn) return false;
  return CString(shape.table.c_str()).CompareNoCase(impl.heldTable.c_str()) == 0;
}

void commitHeldWrite(CDaoDatabase::Impl& impl) {
  if (!impl.writeHeld) return;
  impl.writeHeld = false;
  forgetHeld(&impl);
  reportingFailures([&] { return savingScene(impl); }, [&] {
    sqlite3* db = impl.db.get();
    if (int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); rc != SQLITE_OK) {
      const std::string why = std::string(sqlite3_errmsg(db));
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      throwDao(jetCodeFor(rc), "DAO.Database",
               "cannot save the insert into " + impl.heldTable + " on '" + os::cp936ToUtf8(impl.name.str()) +
                   "' (SQLite: " + why + ")");
    }
  });
}

void commitHeldWriteQuietly(CDaoDatabase::Impl& impl) noexcept {
  try {
    commitHeldWrite(impl);
  } catch (CDaoException* e) {
    e->Delete();  // said already
  } catch (...) {
  }
}

void commitOtherHeldWrites(const CDaoDatabase::Impl* keep) noexcept {
  for (;;) {  // one at a time: committing takes the database off the list
    CDaoDatabase::Impl* other = nullptr;
    {
      std::lock_guard lock(g_heldLock);
      for (CDaoDatabase::Impl* impl : g_held)
        if (impl != keep) other = impl;
    }
    if (!other) return;
    commitHeldWriteQuietly(*other);
  }
}

void throwDao(long jetCode, const char* source, const std::string& utf8Description, int afxDaoError) {
  // Held until thrown, so a failure while filling it in does not leak it.
  std::unique_ptr<CDaoException> e(new CDaoException);
  e->m_pErrorInfo->m_lErrorCode = jetCode;
  e->m_pErrorInfo->m_strSource = source;
  e->m_pErrorInfo->m_strDescription = CString(std::string_view(os::utf8ToCp936(utf8Description)));
  e->m_scode = MAKE_DAO_SCODE(jetCode);
  e->m_nAfxDaoError = afxDaoError;
  throw e.release();
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

std::string sqliteStatement(const char* cp936Sql, const char* source) {
  std::string_view sql = cp936Sql ? std::string_view(cp936Sql) : std::string_view();
  if (!os::isValidCp936(sql))
    throwDao(kJetSyntaxError, source,
             "the statement holds bytes that are not code page 936 text: " + os::cp936ToUtf8(sql));
  try {
    std::string translated = translateJetSql(os::cp936ToUtf8(sql));
    if (translated.find_first_not_of(" \t\r\n\f\v") == std::string::npos)
      throwDao(kJetSyntaxError, source, "the statement is empty");
    return translated;
  } catch (const JetSqlError& e) {
    throwDao(e.jetCode(), source, e.what());
  }
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

CDaoDatabase::Impl::~Impl() {
  if (writeHeld) contura::dao::forgetHeld(this);
}
