// CSectionLibRecord: one row of the section library table SectionInfo.
#pragma once
#include <afx.h>

// A plain record made on the heap. Once a store has taken it (Load, or a successful Add) the
// store owns and frees it; until then it belongs to whoever made it.
class CSectionLibRecord {
public:
  CSectionLibRecord() = default;

  int m_nId = 0;              // row key assigned by the database; 0 = not stored
  int m_nType = 0;            // section code (column Type)
  int m_nGroupSec = 0;        // section category (column GroupSec)
  CString m_strName;          // display name
  CString m_strRemark;        // free remark
  CString m_strSectionInfo;   // the section text, line feeds included
};
