// CDaoException and CDaoDatabase: opening library files and running action statements.
#include <afxdao.h>

#include <contura/dao/library_file.h>
#include <contura/os/codepage.h>
#include <contura/os/paths.h>

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <climits>
#include <cstring>
#include <system_error>

#include "sqlite_support.h"

namespace fs = std::filesystem;
using namespace contura::dao;

namespace {

constexpr long long kDefaultBusyTimeoutMs = 10000;
std::atomic<long long> g_busyTimeoutMs{kDefaultBusyTimeoutMs};

constexpr const char* kSource = "DAO.Database";

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

std::string utf8(const CString& s) { return contura::os::cp936ToUtf8(s.str()); }

// "'E:\x\lib.mdb' (/home/u/.../lib.mdb)": the name as given and, when different, the file.
std::string describeFile(const CString& name, const fs::path& file) {
  std::string given = utf8(name);
  std::string text = "'" + given + "'";
  if (!file.empty() && file.string() != given) text += " (" + file.string() + ")";
  return text;
}

// What to say when a statement on `impl` (null when never opened) fails.
FailureScene statementScene(const CDaoDatabase::Impl* impl, LPCTSTR sql) {
  FailureScene scene;
  scene.statement = contura::os::cp936ToUtf8(sql ? sql : "");
  const StatementShape shape = shapeOf(scene.statement);
  scene.action = actionFor(shape.kind);
  scene.table = shape.table;
  if (impl) {
    scene.name = impl->name;
    scene.file = impl->file;
  }
  return scene;
}

// Opens impl.name into `impl`; throws CDaoException* (impl.file is set once it is known).
void openFile(CDaoDatabase::Impl& impl, BOOL bExclusive, BOOL bReadOnly) {
  const CString& name = impl.name;
  fs::path file;
  try {
    file = contura::os::toNativePath(name.str());
  } catch (const std::exception& e) {
    throwDao(kJetInvalidPath, kSource, "'" + utf8(name) + "' is not a valid path: " + e.what());
  }
  impl.file = file;
  std::error_code ec;
  fs::file_status status = fs::status(file, ec);
  if (!fs::exists(status))
    throwDao(kJetFileNotFound, kSource, "could not find file " + describeFile(name, file));
  if (fs::is_directory(status))
    throwDao(kJetCannotOpen, kSource, "cannot open " + describeFile(name, file) + ": it is a folder");

  // No SQLITE_OPEN_CREATE: a missing or vanished file is an error, never a new empty database.
  const int flags = bReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  SqliteHandle db(raw);
  if (rc != SQLITE_OK) throwSqlite(db.get(), rc, kSource, "cannot open " + describeFile(name, file));
  sqlite3_extended_result_codes(db.get(), 1);
  sqlite3_busy_handler(db.get(), pollWhileBusy, reinterpret_cast<void*>(static_cast<intptr_t>(busyTimeoutMs())));
  // The journal mode is left as the file has it. New library files use the rollback journal
  // (see createLibraryFile): a library is one self-contained file that people copy and may
  // keep on a network share, where write-ahead logging is not safe.
  if (bExclusive) {
    rc = sqlite3_exec(db.get(), "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throwSqlite(db.get(), rc, kSource, "cannot lock " + describeFile(name, file));
  }
  // Reading the schema now tells a file that is not a database (an Access file, say) at
  // Open rather than at the first statement.
  rc = sqlite3_exec(db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    if ((rc & 0xFF) == SQLITE_NOTADB)
      throwSqlite(db.get(), rc, kSource,
                  describeFile(name, file) + " is not a library database (an SQLite file is needed)");
    throwSqlite(db.get(), rc, kSource, "cannot read " + describeFile(name, file));
  }
  impl.db = std::move(db);
  impl.readOnly = bReadOnly != FALSE;
  impl.exclusive = bExclusive != FALSE;
}

// Runs one action statement on `impl` (null or without a connection: not open).
void executeStatement(CDaoDatabase::Impl* impl, LPCTSTR lpszSQL) {
  if (!impl || !impl->db)
    throwDao(kJetObjectNotOpen, kSource, "cannot run a statement: the database is not open",
             AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  sqlite3* db = impl->db.get();
  const std::string on = " on " + describeFile(impl->name, impl->file);
  const std::string sql = sqliteStatement(lpszSQL, kSource);

  // Refusals come before any lock is taken.
  Statement stmt = prepare(db, sql, kSource);
  if (sqlite3_column_count(stmt.get()) > 0)
    throwDao(kJetSelectInExecute, kSource,
             "cannot execute a select query" + on + "; open a recordset on it instead");
  // An insert's transaction is held open for the key query after it (see afxdao.h). It takes
  // the exclusive lock its commit will need now, while a failure still fails the insert.
  const StatementShape shape = shapeOf(sql);
  const bool hold = shape.kind == StatementKind::Insert && !shape.table.empty() && !impl->exclusive;
  Transaction transaction(db);
  int rc = transaction.begin(hold);
  if (rc != SQLITE_OK) throwSqlite(db, rc, kSource, "cannot start writing" + on);
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) throwSqlite(db, rc, kSource, "the statement failed" + on);
  const long changed = sqlite3_changes(db);
  stmt.reset();
  if (hold) {
    transaction.release();
    holdWrite(*impl, shape.table);
  } else if (rc = transaction.commit(); rc != SQLITE_OK) {
    throwSqlite(db, rc, kSource, "cannot save the change" + on);
  }
  impl->recordsAffected = changed;
}

}  // namespace

namespace contura::dao {

void setBusyTimeoutMs(long long milliseconds) { g_busyTimeoutMs = std::max<long long>(0, milliseconds); }

long long busyTimeoutMs() { return g_busyTimeoutMs.load(); }

}  // namespace contura::dao

// --- CDaoException --------------------------------------------------------------------------

CDaoException::CDaoException()
    : m_pErrorInfo(new CDaoErrorInfo), m_scode(S_OK), m_nAfxDaoError(NO_AFX_DAO_ERROR) {}

CDaoException::~CDaoException() { delete m_pErrorInfo; }

short CDaoException::GetErrorCount() { return m_pErrorInfo ? 1 : 0; }

void CDaoException::GetErrorInfo(int nIndex) {
  (void)nIndex;  // one error per exception: index 0 is already current
}

BOOL CDaoException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = m_pErrorInfo ? static_cast<UINT>(m_pErrorInfo->m_lHelpContext) : 0;
  if (!lpszError || nMaxError == 0) return FALSE;
  CString text;
  if (m_pErrorInfo && !m_pErrorInfo->m_strDescription.IsEmpty())
    text = m_pErrorInfo->m_strDescription;
  else
    text.Format("DAO error (SCODE 0x%08X, MFC DAO error %d)", static_cast<unsigned>(m_scode), m_nAfxDaoError);
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(text.GetLength()), nMaxError - 1);
  std::memcpy(lpszError, text.GetString(), n);
  lpszError[n] = '\0';
  return TRUE;
}

void AfxThrowDaoException(int nAfxDaoError, SCODE scode) {
  auto* e = new CDaoException;
  delete e->m_pErrorInfo;
  e->m_pErrorInfo = nullptr;
  e->m_nAfxDaoError = nAfxDaoError;
  e->m_scode = scode;
  throw e;
}

// --- CDaoDatabase ---------------------------------------------------------------------------

CDaoDatabase::CDaoDatabase() = default;

CDaoDatabase::~CDaoDatabase() { Close(); }

void CDaoDatabase::Open(LPCTSTR lpszName, BOOL bExclusive, BOOL bReadOnly, LPCTSTR lpszConnect) {
  (void)lpszConnect;
  const CString name(lpszName ? lpszName : "");
  if (IsOpen()) {
    FailureScene scene;  // the open file is fine: the call is what is wrong
    scene.action = Action::Open;
    scene.name = name;
    reportingFailures([&] { return scene; }, [&] {
      throwDao(kJetInvalidOperation, kSource,
               "cannot open " + describeFile(name, {}) + ": this database object already has " +
                   describeFile(m_pImpl->name, m_pImpl->file) + " open");
    });
  }
  // Whatever happens below, the database remembers which file it was asked for.
  m_pImpl = std::make_unique<Impl>();
  m_pImpl->name = name;
  auto scene = [&] {
    FailureScene opening;
    opening.action = Action::Open;
    opening.name = name;
    opening.file = m_pImpl->file;
    return opening;
  };
  reportingFailures(scene, [&] { openFile(*m_pImpl, bExclusive, bReadOnly); });
}

void CDaoDatabase::Close() {
  if (IsOpen()) commitHeldWriteQuietly(*m_pImpl);
  m_pImpl.reset();
}

BOOL CDaoDatabase::IsOpen() const { return m_pImpl && m_pImpl->db; }

CString CDaoDatabase::GetName() const { return IsOpen() ? m_pImpl->name : CString(); }

BOOL CDaoDatabase::CanUpdate() const { return IsOpen() && !m_pImpl->readOnly; }

long CDaoDatabase::GetRecordsAffected() const { return m_pImpl ? m_pImpl->recordsAffected : 0; }

void CDaoDatabase::Execute(LPCTSTR lpszSQL, int nOptions) {
  (void)nOptions;  // every failure rolls the statement back, as dbFailOnError asks
  // An insert held open in this program, on this database or another, is committed first.
  commitOtherHeldWrites(nullptr);
  reportingFailures([&] { return statementScene(m_pImpl.get(), lpszSQL); },
                    [&] { executeStatement(m_pImpl.get(), lpszSQL); });
}

