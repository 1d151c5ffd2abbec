// Dabrel, the recordset helper library: DAO database work behind int results and error texts.
//
// Every function returns 0 on success and, on failure, the number of the step that failed,
// with `error` set to a code page 936 text that names the file, the statement or field and
// the cause (including what the database engine said). On success `error` is emptied.
// Nothing throws: every exception of the DAO classes (or any other) is caught here.
#pragma once
#include <afxdao.h>

// Opens the existing database file `path` (a Windows path through the drive map, or a Linux
// path) into `db`. A missing file is not created.
// 1: the database could not be opened (missing file, not a database, busy, bad path...).
int OpenDatabase(CString& error, CDaoDatabase& db, CString path);

// Opens `rs` on `db` for the query `sql`; `rs` may have been constructed without a database
// (it is pointed at `db`), and a recordset still open from earlier is closed first.
// 1: `db` is not open; 2: the query could not be opened (syntax, unknown table, busy...).
int OpenRecordset(CString& error, CDaoRecordset& rs, CDaoDatabase& db, CString sql);

// Reads the current row's field `column` (any letter case) as an integer. On failure
// `value` is left as it was.
// 1: the field could not be read (no such field, no current row, recordset not open);
// 2: the field is Null, as "select max(Id) as IDGet from T" gives on an empty table;
// 3: the field holds no integer (text that is not a number, or a number out of range).
int GetValueFromRecordset(CString& error, long& value, CString column, CDaoRecordset& rs);

// Reads the current row's field `column` (any letter case) as text; numbers are written in
// decimal. On failure `value` is left as it was.
// 1: the field could not be read; 2: the field is Null.
int GetValueFromRecordset(CString& error, CString& value, CString column, CDaoRecordset& rs);

// Runs the action statement `sql` (insert, update, delete...) on `db`; all of it takes
// effect or none of it. Values are inserted by the caller as they are: a quote inside a
// value breaks the statement, which then fails and changes nothing.
// 1: `db` is not open; 2: the statement failed.
int ExecuteDBBySQL(CString& error, CString sql, CDaoDatabase& db);
