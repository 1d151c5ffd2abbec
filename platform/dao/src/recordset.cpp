// CDaoRecordset: the rows of one query, read at Open and walked in memory.
#include <afxdao.h>

#include <contura/os/codepage.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "connection.h"

using namespace contura::dao;

namespace {

constexpr const char* kSource = "DAO.Recordset";
constexpr const char* kFieldsSource = "DAO.Fields";

bool equalsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

COleVariant toVariant(const Cell& cell) {
  COleVariant v;
  if (std::holds_alternative<std::monostate>(cell)) {
    v.vt = VT_NULL;
  } else if (const auto* i = std::get_if<std::int64_t>(&cell)) {
    // Jet's Long is 32 bits; larger integers come out as doubles rather than cut short.
    if (*i >= std::numeric_limits<LONG>::min() && *i <= std::numeric_limits<LONG>::max())
      v = COleVariant(static_cast<long>(*i), VT_I4);
    else
      v = COleVariant(static_cast<double>(*i));
  } else if (const auto* d = std::get_if<double>(&cell)) {
    v = COleVariant(*d);
  } else if (const auto* bytes = std::get_if<contura::dao::Bytes>(&cell)) {
    v = COleVariant(CString(bytes->data.data(), static_cast<int>(bytes->data.size())));
  } else {
    // Text cells hold code page 936 bytes once the rows are read.
    const std::string& s = std::get<std::string>(cell);
    v = COleVariant(CString(s.data(), static_cast<int>(s.size())));
  }
  return v;
}

}  // namespace

struct CDaoRecordset::Rows {
  CString sql;                       // as given to Open
  std::vector<std::string> columns;  // names in UTF-8, as the backend reports them
  std::vector<Cell> cells;           // row after row; text in code page 936
  long rowCount = 0;
  // For saying what failed after Open: the file, the query's table, and the fields already
  // said to be missing (a missing field is said once, not once per row).
  CString dbName;
  std::filesystem::path dbFile;
  std::string table;
  std::vector<std::string> missingSaid;
};

namespace {

// What to say when reading `query` (code page 936) from the database of `db` fails; `db` has
// no connection when its open failed, and is null when it was never opened.
FailureScene readingScene(const CDaoDatabase::Impl* db, const CString& query) {
  FailureScene scene;
  scene.action = Action::Read;
  scene.statement = contura::os::cp936ToUtf8(query.str());
  scene.table = shapeOf(scene.statement).table;
  if (db) {
    scene.name = db->name;
    scene.file = db->file;
  }
  return scene;
}

// Runs `query` on the open connection of `impl` and reads every row.
std::unique_ptr<CDaoRecordset::Rows> readRows(const CDaoDatabase::Impl& impl, const CString& query) {
  const std::string jet = jetStatement(query.GetString(), kSource);
  ResultRows result = impl.conn->query(jet);  // text in code page 936
  auto rows = std::make_unique<CDaoRecordset::Rows>();
  rows->columns = std::move(result.columns);
  rows->cells = std::move(result.cells);
  rows->rowCount = result.rowCount;
  rows->dbName = impl.name;
  rows->dbFile = impl.file;
  rows->table = shapeOf(jet).table;
  return rows;
}

}  // namespace

CDaoRecordset::CDaoRecordset(CDaoDatabase* pDatabase) : m_pDatabase(pDatabase) {}

CDaoRecordset::~CDaoRecordset() = default;

void CDaoRecordset::Open(int nOpenType, LPCTSTR lpszSQL, int nOptions) {
  (void)nOptions;
  const CString given(lpszSQL ? lpszSQL : "");
  CString query = given;
  CString head = given;
  head.TrimLeft();
  if (nOpenType == dbOpenTable && head.Left(6).CompareNoCase("select") != 0) {
    // A table recordset names the table rather than querying it.
    CString table = given;
    table.Trim();
    table.Trim("[]");
    query = "SELECT * FROM [" + table + "]";
  }
  CDaoDatabase::Impl* impl = m_pDatabase && m_pDatabase->IsOpen() ? m_pDatabase->m_pImpl.get() : nullptr;
  // The key query after an insert runs inside the insert's transaction, so the largest key
  // it sees is the insert's own; any other query has held inserts committed first.
  const bool keyQuery =
      impl && impl->writeHeld && isKeyQueryFor(*impl, shapeOf(contura::os::cp936ToUtf8(query.str())));
  commitOtherHeldWrites(keyQuery ? impl : nullptr);
  HeldWriteCommit commitOnFailure(keyQuery ? impl : nullptr);  // the insert stands all the same

  const CDaoDatabase::Impl* named = m_pDatabase ? m_pDatabase->m_pImpl.get() : nullptr;  // even if not open
  std::unique_ptr<Rows> rows;
  // A key query that fails on a backend whose failure ends the held insert loses the insert.
  auto scene = [&] {
    FailureScene reading = readingScene(named, query);
    if (keyQuery && !impl->conn->insertHeld()) reading.action = Action::Save;
    return reading;
  };
  reportingFailures(scene, [&] {
    if (IsOpen()) throwDao(kJetInvalidOperation, kSource, "the recordset is already open; close it first");
    if (!impl)
      throwDao(kJetObjectNotOpen, kSource, "cannot open a recordset: its database is not open",
               AFX_DAO_ERROR_OBJECT_NOT_OPEN);
    rows = readRows(*impl, query);
  });
  if (keyQuery) {
    commitOnFailure.reset(nullptr);
    commitHeldWrite(*impl);  // a failure here undoes the insert and fails the key query
  }
  rows->sql = given;
  m_pRows = std::move(rows);
  m_nPos = 0;
}

void CDaoRecordset::Close() {
  m_pRows.reset();
  m_nPos = 0;
}

BOOL CDaoRecordset::IsOpen() const { return m_pRows != nullptr; }

BOOL CDaoRecordset::IsBOF() const { return m_pRows && (m_pRows->rowCount == 0 || m_nPos < 0); }

BOOL CDaoRecordset::IsEOF() const { return m_pRows && m_nPos >= m_pRows->rowCount; }

namespace {

[[noreturn]] void throwNotOpen() {
  throwDao(kJetObjectNotOpen, kSource, "the recordset is not open", AFX_DAO_ERROR_OBJECT_NOT_OPEN);
}

[[noreturn]] void throwNoCurrentRecord(const char* what) {
  throwDao(kJetNoCurrentRecord, kSource, std::string("no current record: ") + what);
}

// What to say when a call on a recordset with `rows` (null: not open) fails; `field` is the
// field asked for (code page 936), if any.
FailureScene rowsScene(const CDaoRecordset::Rows* rows, Action action, std::string field = {}) {
  FailureScene scene;
  scene.action = action;
  scene.field = std::move(field);
  if (rows) {
    scene.name = rows->dbName;
    scene.file = rows->dbFile;
    scene.table = rows->table;
  }
  return scene;
}

}  // namespace

void CDaoRecordset::MoveNext() {
  reportingFailures([&] { return rowsScene(m_pRows.get(), Action::Move); }, [&] {
    if (!IsOpen()) throwNotOpen();
    if (IsEOF()) throwNoCurrentRecord("already past the last row");
    ++m_nPos;
  });
}

void CDaoRecordset::MovePrev() {
  reportingFailures([&] { return rowsScene(m_pRows.get(), Action::Move); }, [&] {
    if (!IsOpen()) throwNotOpen();
    if (IsBOF()) throwNoCurrentRecord("already before the first row");
    --m_nPos;
  });
}

void CDaoRecordset::MoveFirst() {
  reportingFailures([&] { return rowsScene(m_pRows.get(), Action::Move); }, [&] {
    if (!IsOpen()) throwNotOpen();
    if (m_pRows->rowCount == 0) throwNoCurrentRecord("the recordset has no rows");
    m_nPos = 0;
  });
}

void CDaoRecordset::MoveLast() {
  reportingFailures([&] { return rowsScene(m_pRows.get(), Action::Move); }, [&] {
    if (!IsOpen()) throwNotOpen();
    if (m_pRows->rowCount == 0) throwNoCurrentRecord("the recordset has no rows");
    m_nPos = m_pRows->rowCount - 1;
  });
}

long CDaoRecordset::GetRecordCount() const { return m_pRows ? m_pRows->rowCount : 0; }

short CDaoRecordset::GetFieldCount() const {
  return m_pRows ? static_cast<short>(m_pRows->columns.size()) : 0;
}

CString CDaoRecordset::GetSQL() const { return m_pRows ? m_pRows->sql : CString(); }

COleVariant CDaoRecordset::GetFieldValue(LPCTSTR lpszName) {
  COleVariant value;
  GetFieldValue(lpszName, value);
  return value;
}

void CDaoRecordset::GetFieldValue(LPCTSTR lpszName, COleVariant& varValue) {
  const std::string_view asked = lpszName ? lpszName : "";
  const std::string wanted = contura::os::cp936ToUtf8(asked);
  ReportDepth depth;
  try {
    if (!IsOpen()) throwNotOpen();
    const auto& columns = m_pRows->columns;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (equalsAsciiNoCase(columns[c], wanted)) {
        GetFieldValue(static_cast<int>(c), varValue);
        return;
      }
    }
    std::string known;
    for (const auto& name : columns) known += (known.empty() ? "" : ", ") + name;
    throwDao(kJetItemNotFound, kFieldsSource,
             "item not found in this collection: the recordset has no field '" + wanted +
                 "' (its fields: " + known + ")");
  } catch (CDaoException* e) {
    // A field missing from the query is said once per recordset, not once for every row.
    bool say = depth.outermost();
    if (say && m_pRows && e->m_pErrorInfo && e->m_pErrorInfo->m_lErrorCode == kJetItemNotFound) {
      auto& said = m_pRows->missingSaid;
      say = std::find(said.begin(), said.end(), wanted) == said.end();
      if (say) said.push_back(wanted);
    }
    if (say) reportFailure(rowsScene(m_pRows.get(), Action::ReadField, std::string(asked)), *e);
    throw;
  }
}

COleVariant CDaoRecordset::GetFieldValue(int nIndex) {
  COleVariant value;
  GetFieldValue(nIndex, value);
  return value;
}

void CDaoRecordset::GetFieldValue(int nIndex, COleVariant& varValue) {
  reportingFailures([&] { return rowsScene(m_pRows.get(), Action::ReadField); }, [&] {
    if (!IsOpen()) throwNotOpen();
    const long columnCount = static_cast<long>(m_pRows->columns.size());
    if (nIndex < 0 || nIndex >= columnCount)
      throwDao(kJetItemNotFound, kFieldsSource,
               "item not found in this collection: field index " + std::to_string(nIndex) +
                   " (the recordset has " + std::to_string(columnCount) + " fields)");
    if (IsBOF() || IsEOF()) throwNoCurrentRecord("the recordset is not on a row");
    varValue = toVariant(m_pRows->cells[static_cast<std::size_t>(m_nPos * columnCount + nIndex)]);
  });
}
