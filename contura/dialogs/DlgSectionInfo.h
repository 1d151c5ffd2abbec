// CDlgSectionInfo: the dialog "信息" that asks for the name, remark, category and code of a
// new library record.
#pragma once
#include <afxwin.h>

#include "resources/LibraryResource.h"

// Run modally; after IDOK the results hold what the person chose:
//  - m_strName: the name without white space at either end, never empty (OK with a blank
//    name keeps the dialog open, without a message); "矩形" unless changed;
//  - m_strRemark: the remark as typed (may be empty);
//  - m_nGroup: the category, 1 to 10; m_nType: the code, 1 to 40 (1 and 1 unless changed).
class CDlgSectionInfo : public CDialog {
public:
  explicit CDlgSectionInfo(CWnd* pParent = NULL);
  enum { IDD = IDD_DLG_SECTIONINFO };

  CEdit m_editName;      // 203
  CEdit m_editRemark;    // 208
  CComboBox m_cmbGroup;  // 231, category
  CComboBox m_cmbType;   // 232, code

  CString m_strName;
  CString m_strRemark;
  int m_nGroup;
  int m_nType;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnBnClickedOk();

  DECLARE_MESSAGE_MAP()
};
