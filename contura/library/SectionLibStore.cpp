// CSectionLibStore: loading, adding, rewriting and deleting rows of SectionInfo through Dabrel.
#include "SectionLibStore.h"

#include <dabrel.h>

namespace {

const char* const kSqlLoad = "select * from SectionInfo order by GroupSec,Type";
const char* const kSqlInsert =
    "insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) Values (%d,%d,'%s','%s','%s')";
const char* const kSqlIdentity = "select max(Id) as IDGet from SectionInfo";
const char* const kSqlUpdate = "Update SectionInfo set SectionInfo='%s',Remark='%s' where Type=%d and GroupSec=%d ";
const char* const kSqlDelete = "delete * from SectionInfo where id=%d ";

// Moves to the next row. The rows are already read, so this cannot fail while the recordset
// is not at its end; should it fail anyway, the walk ends there rather than throwing on.
bool moveNext(CDaoRecordset& rs) {
  try {
    rs.MoveNext();
    return true;
  } catch (CException* e) {
    e->Delete();
    return false;
  }
}

void closeQuietly(CDaoRecordset& rs) {
  try {
    rs.Close();
  } catch (CException* e) {
    e->Delete();
  }
}

// Reads an integer field into `target`, which keeps its value when the read fails.
int readInt(CString& error, int& target, const char* column, CDaoRecordset& rs) {
  long value = 0;
  int result = GetValueFromRecordset(error, value, column, rs);
  if (result == 0) target = static_cast<int>(value);
  return result;
}

}  // namespace

CSectionLibStore::CSectionLibStore(CString strDbPath) : m_strDbPath(strDbPath), m_nResult(0) {
  m_nResult = OpenDatabase(m_strError, m_db, m_strDbPath);
}

CSectionLibStore::~CSectionLibStore() { Clear(); }

int CSectionLibStore::Load() {
  Clear();
  m_strSql = kSqlLoad;
  CDaoRecordset rs;
  m_nResult = OpenRecordset(m_strError, rs, m_db, m_strSql);
  if (m_nResult != 0) return 1;
  while (!rs.IsEOF()) {
    CSectionLibRecord* rec = new CSectionLibRecord;
    m_nResult = readInt(m_strError, rec->m_nId, "ID", rs);
    if (m_nResult != 0) {
      delete rec;
      closeQuietly(rs);
      return 2;
    }
    // A field that cannot be read (a Null, say) keeps the new record's value.
    m_nResult = readInt(m_strError, rec->m_nType, "Type", rs);
    m_nResult = readInt(m_strError, rec->m_nGroupSec, "GroupSec", rs);
    m_nResult = GetValueFromRecordset(m_strError, rec->m_strName, "Name", rs);
    m_nResult = GetValueFromRecordset(m_strError, rec->m_strSectionInfo, "SectionInfo", rs);
    m_nResult = GetValueFromRecordset(m_strError, rec->m_strRemark, "Remark", rs);
    m_records.Add(rec);
    if (!moveNext(rs)) break;
  }
  closeQuietly(rs);
  return 0;
}

int CSectionLibStore::Add(CSectionLibRecord* rec) {
  rec->m_nId = 0;
  m_strSql.Format(kSqlInsert, rec->m_nType, rec->m_nGroupSec, rec->m_strName.GetString(),
                  rec->m_strSectionInfo.GetString(), rec->m_strRemark.GetString());
  m_nResult = ExecuteDBBySQL(m_strError, m_strSql, m_db);
  if (m_nResult != 0) return 1;

  m_strSql = kSqlIdentity;
  CDaoRecordset rs;
  m_nResult = OpenRecordset(m_strError, rs, m_db, m_strSql);
  if (m_nResult != 0) return 2;
  m_nResult = readInt(m_strError, rec->m_nId, "IDGet", rs);
  closeQuietly(rs);
  if (m_nResult != 0) return 3;

  m_records.Add(rec);
  return 0;
}

int CSectionLibStore::Update(CSectionLibRecord* rec) {
  m_strSql.Format(kSqlUpdate, rec->m_strSectionInfo.GetString(), rec->m_strRemark.GetString(), rec->m_nType,
                  rec->m_nGroupSec);
  m_nResult = ExecuteDBBySQL(m_strError, m_strSql, m_db);
  return m_nResult != 0 ? 1 : 0;
}

int CSectionLibStore::Delete(CSectionLibRecord* rec) {
  if (rec->m_nId == 0) return 0;
  m_strSql.Format(kSqlDelete, rec->m_nId);
  m_nResult = ExecuteDBBySQL(m_strError, m_strSql, m_db);
  if (m_nResult != 0) return 1;
  for (INT_PTR i = 0; i < m_records.GetSize(); ++i) {
    if (m_records[i] == rec) {
      delete rec;
      m_records.RemoveAt(i);
      break;
    }
  }
  return 0;
}

int CSectionLibStore::GetCount() const { return static_cast<int>(m_records.GetSize()); }

CSectionLibRecord* CSectionLibStore::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_records[index];
}

void CSectionLibStore::Clear() {
  for (INT_PTR i = 0; i < m_records.GetSize(); ++i) delete m_records[i];
  m_records.RemoveAll();
}
