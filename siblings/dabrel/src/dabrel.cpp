// Dabrel: opening databases and recordsets, reading fields and running statements, with
// every DAO exception turned into a result code and an error text.
#include "dabrel.h"

#include <exception>
#include <new>

namespace {

// The cause carried by whatever was thrown, as one line of text. Call only from inside a
// catch block; exceptions thrown by pointer are freed here.
CString describeCurrentException() {
  CString cause;
  try {
    throw;
  } catch (CDaoException* e) {
    if (e->m_pErrorInfo) {
      cause.Format("%s (DAO error %ld)", e->m_pErrorInfo->m_strDescription.GetString(),
                   e->m_pErrorInfo->m_lErrorCode);
    } else {
      cause.Format("DAO error, MFC code %d, SCODE 0x%08X", e->m_nAfxDaoError, static_cast<unsigned>(e->m_scode));
    }
    e->Delete();
  } catch (CException* e) {
    char text[512];
    if (!e->GetErrorMessage(text, sizeof text)) text[0] = '\0';
    cause = text[0] ? CString(text) : CString("unknown MFC error");
    e->Delete();
  } catch (const std::bad_alloc&) {
    cause = "out of memory";
  } catch (const std::exception& e) {
    cause = e.what();
  } catch (...) {
    cause = "unknown error";
  }
  return cause;
}

CString databaseName(CDaoDatabase* db) {
  if (!db || !db->IsOpen()) return CString("(no open database)");
  return "'" + db->GetName() + "'";
}

// "field 'IDGet' of query "select ..." on 'E:\...'".
CString describeField(const CString& column, CDaoRecordset& rs) {
  CString text;
  text.Format("field '%s' of query \"%s\" on %s", column.GetString(), rs.GetSQL().GetString(),
              databaseName(rs.m_pDatabase).GetString());
  return text;
}

// Reads the field into `value`; 0, or 1 with `error` set.
int readField(CString& error, COleVariant& value, const CString& column, CDaoRecordset& rs, const char* caller) {
  try {
    rs.GetFieldValue(column.GetString(), value);
    return 0;
  } catch (...) {
    CString cause = describeCurrentException();
    error.Format("%s: cannot read %s: %s", caller, describeField(column, rs).GetString(), cause.GetString());
    return 1;
  }
}

}  // namespace

int OpenDatabase(CString& error, CDaoDatabase& db, CString path) {
  error.Empty();
  try {
    db.Open(path.GetString());
    return 0;
  } catch (...) {
    CString cause = describeCurrentException();
    error.Format("OpenDatabase: cannot open the database '%s': %s", path.GetString(), cause.GetString());
    return 1;
  }
}

int OpenRecordset(CString& error, CDaoRecordset& rs, CDaoDatabase& db, CString sql) {
  error.Empty();
  // A database that is not open is still handed the query: the DAO classes refuse it and
  // say so, naming the file that could not be opened.
  const int failedStep = db.IsOpen() ? 2 : 1;
  try {
    if (rs.IsOpen()) rs.Close();
    rs.m_pDatabase = &db;
    rs.Open(dbOpenDynaset, sql.GetString());
    return 0;
  } catch (...) {
    CString cause = describeCurrentException();
    error.Format("OpenRecordset: query \"%s\" on %s failed: %s", sql.GetString(),
                 databaseName(&db).GetString(), cause.GetString());
    return failedStep;
  }
}

int GetValueFromRecordset(CString& error, long& value, CString column, CDaoRecordset& rs) {
  static const char* const kCaller = "GetValueFromRecordset";
  error.Empty();
  COleVariant field;
  if (readField(error, field, column, rs, kCaller) != 0) return 1;
  if (field.vt == VT_NULL) {
    error.Format("%s: %s is Null (no value)", kCaller, describeField(column, rs).GetString());
    return 2;
  }
  try {
    field.ChangeType(VT_I4);
  } catch (...) {
    CString cause = describeCurrentException();
    error.Format("%s: %s holds no integer: %s", kCaller, describeField(column, rs).GetString(), cause.GetString());
    return 3;
  }
  value = field.lVal;
  return 0;
}

int GetValueFromRecordset(CString& error, CString& value, CString column, CDaoRecordset& rs) {
  static const char* const kCaller = "GetValueFromRecordset";
  error.Empty();
  COleVariant field;
  if (readField(error, field, column, rs, kCaller) != 0) return 1;
  if (field.vt == VT_NULL) {
    error.Format("%s: %s is Null (no value)", kCaller, describeField(column, rs).GetString());
    return 2;
  }
  try {
    if (field.vt != VT_BSTR) field.ChangeType(VT_BSTR);
    value = field.bstrVal ? CString(field.bstrVal, static_cast<int>(SysStringByteLen(field.bstrVal))) : CString();
    return 0;
  } catch (...) {
    CString cause = describeCurrentException();
    error.Format("%s: %s cannot be read as text: %s", kCaller, describeField(column, rs).GetString(),
                 cause.GetString());
    return 1;
  }
}

int ExecuteDBBySQL(CString& error, CString sql, CDaoDatabase& db) {
  error.Empty();
  const int failedStep = db.IsOpen() ? 2 : 1;  // as in OpenRecordset
  try {
    db.Execute(sql.GetString(), dbFailOnError);
    return 0;
  } catch (...) {
    CString cause = describeCurrentException();
    error.Format("ExecuteDBBySQL: statement \"%s\" on %s failed: %s", sql.GetString(),
                 databaseName(&db).GetString(), cause.GetString());
    return failedStep;
  }
}
