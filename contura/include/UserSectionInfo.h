// CUserSectionInfo: one user-defined section (a tag, a name and its section text), exported
// for other modules built against Contura.arx.
#pragma once
#include <afx.h>

// An exported value type of exactly three fields and no virtual member, so modules built
// apart from this one share its layout. Copying copies all three fields. Lists of these belong to their holder; they
// are not kept in the section library.
class CUserSectionInfo {
public:
  // Tag 0, empty name, and the default outline: a four-sided polyline section through
  // (0,0), (1000,0), (600,1000), (0,1000), closed by repeating (0,0), base point (500,500).
  CUserSectionInfo();
  CUserSectionInfo(const CUserSectionInfo& other);
  CUserSectionInfo& operator=(const CUserSectionInfo& other);
  ~CUserSectionInfo();  // not virtual: the layout is exactly the three fields

  int m_nTag;            // carried along with the record, never interpreted by the module
  CString m_strName;     // display name
  CString m_strSection;  // section text (an outline record with its base point)
};
