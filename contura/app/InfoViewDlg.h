// CInfoViewDlg: the information view of CJLX (template 201, caption "信息"). It holds one
// section text and shows it; "导出" writes it to a file, "导入" replaces it with a file's
// text, "修改" draws it into model space, "预览" previews it. What is typed into the box is
// never read back: Export, Modify and Preview always use the held text.
//
// File errors (decided here, the host leaves them open): when the chosen file cannot be
// created, opened, written or read, a message naming the file is printed on the command line
// and the held text stays as it was (a failed import reads nothing; a failed export leaves
// the held text untouched). Import reads a file of any size that fits in memory (the fixed
// buffer of old was a limit of its time, not a rule of the format); from kImportProgressBytes
// on it says how far it has come, a line per quarter.
#pragma once
#include <afxcmn.h>
#include <afxwin.h>

class CInfoViewDlg : public CDialog {
public:
  // Also makes the rich edit control class available.
  explicit CInfoViewDlg(CWnd* pParent = NULL);
  ~CInfoViewDlg() override;

  // Import reads in pieces of this many bytes, and reports progress on files from
  // kImportProgressBytes on.
  static const UINT kImportChunkBytes = 4u << 20;
  static const ULONGLONG kImportProgressBytes = 16u << 20;

  CRichEditCtrl m_richEdit;  // control 209
  CString m_strText;         // the held section text

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnExport();
  afx_msg void OnImport();
  afx_msg void OnModify();
  afx_msg void OnPreview();
  DECLARE_MESSAGE_MAP()
};
