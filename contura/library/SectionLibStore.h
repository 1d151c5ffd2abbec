// CSectionLibStore: the section library loaded from its database, with adding, rewriting and
// deleting rows through the recordset library.
#pragma once
#include <afx.h>
#include <afxdao.h>
#include <afxtempl.h>

#include "SectionLibRecord.h"

// Rows of table SectionInfo (Id, Type, GroupSec, Name, SectionInfo, Remark), loaded in the
// order category, then code. Statements are built with printf formatting and values are
// inserted as they are: a single quote in a name, remark or text breaks the statement, which
// then fails whole and changes nothing.
//
// Results are ints: 0 success, otherwise the number of the step that failed. The result of
// the last library call is kept in m_nResult and its error text in m_strError; the store shows
// no message and throws nothing. Not copyable: it owns its records and its open database.
class CSectionLibStore {
public:
  // Stores the path and opens the database; a failure is only recorded in m_nResult (and
  // m_strError), and every later statement then fails.
  explicit CSectionLibStore(CString strDbPath);
  // Clear(), then the database closes.
  ~CSectionLibStore();
  CSectionLibStore(const CSectionLibStore&) = delete;
  CSectionLibStore& operator=(const CSectionLibStore&) = delete;

  // Replaces the held records with every row of the table.
  // 0 success; 1 the rows could not be read; 2 a row's key could not be read (the rows read
  // before it stay loaded).
  int Load();
  // Inserts rec as a new row, sets rec->m_nId to the largest key in the table (taken to be the
  // new row's) and appends rec, which the store then owns.
  // 0 success; 1 the insert failed; 2 the key query failed; 3 the key could not be read.
  // On failure rec is not appended and still belongs to the caller.
  int Add(CSectionLibRecord* rec);
  // Rewrites SectionInfo and Remark of every row with rec's code and category; rec itself is
  // not changed. 0 success, 1 failure.
  int Update(CSectionLibRecord* rec);
  // Deletes rec's row and, when rec is held, frees it and removes it from the list (later
  // records move up). A record with key 0 is left alone. 0 success or nothing to do; 1 the
  // delete failed (rec stays held).
  int Delete(CSectionLibRecord* rec);

  int GetCount() const;
  // The record at position `index`, still owned by the store (invalid after its Delete,
  // Clear, Load or the store's end); null when index < 0 or index >= GetCount().
  CSectionLibRecord* GetAt(int index) const;
  // Frees every held record.
  void Clear();

  CArray<CSectionLibRecord*, CSectionLibRecord*> m_records;  // owned, load order then added
  CString m_strDbPath;   // fixed at construction
  CDaoDatabase m_db;
  int m_nResult;         // result of the last library call, 0 = success
  CString m_strError;    // error text of the last failed library call
  CString m_strSql;      // the last statement built
};
