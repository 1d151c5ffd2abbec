// CDaoException and CDaoDatabase: opening libraries and running action statements.
#include <afxdao.h>

#include <contura/dao/library_file.h>
#include <contura/os/codepage.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <climits>
#include <cstring>
#include <system_error>

#include "connection.h"

namespace fs = std::filesystem;
using namespace contura::dao;

namespace {

constexpr long long kDefaultBusyTimeoutMs = 10000;
std::atomic<long long> g_busyTimeoutMs{kDefaultBusyTimeoutMs};

constexpr const char* kSource = "DAO.Database";

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

// Runs one action statement on `impl` (null or without a connection: not open).
void executeStatement(CDaoDatabase::Impl* impl, LPCTSTR lpszSQL) {
  if (!impl || !impl->conn)
    throwDao(kJetObjectNotOpen, kSource, "cannot run a statement: the database is not open",
             AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  const std::string jet = jetStatement(lpszSQL, kSource);
  // An insert's transaction is held open for the key query after it (see afxdao.h).
  const StatementShape shape = shapeOf(jet);
  const bool hold = shape.kind == StatementKind::Insert && !shape.table.empty() && impl->conn->holdsInserts();
  const long changed = impl->conn->execute(jet, shape, hold);
  if (hold) holdWrite(*impl, shape.table);
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
               "cannot open " + describeLibrary(name, {}) + ": this database object already has " +
                   describeLibrary(m_pImpl->name, m_pImpl->file) + " open");
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
  reportingFailures(scene, [&] { openLibrary(*m_pImpl, bExclusive != FALSE, bReadOnly != FALSE); });
}

void CDaoDatabase::Close() {
  if (IsOpen()) commitHeldWriteQuietly(*m_pImpl);
  m_pImpl.reset();
}

BOOL CDaoDatabase::IsOpen() const { return m_pImpl && m_pImpl->conn; }

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

