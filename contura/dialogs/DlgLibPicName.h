// CDlgLibPicName: the dialog "设定图形名称" that asks for the name a section is saved under.
#pragma once
#include <afxwin.h>

#include "resources/LibraryResource.h"

// Run modally; after IDOK m_strName holds the name typed, without white space at either end
// and never empty ("异形截面" unless changed). OK with a blank name keeps the dialog open,
// without a message.
class CDlgLibPicName : public CDialog {
public:
  explicit CDlgLibPicName(CWnd* pParent = NULL);
  enum { IDD = IDD_DLG_LIBPICNAME };

  CEdit m_editName;  // 203
  CString m_strName;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnBnClickedOk();

  DECLARE_MESSAGE_MAP()
};
