// CDlgSectionLibManage: the dialog "截面库管理" through which the section library is listed,
// previewed, added to from the drawing, changed, deleted, browsed and drawn back.
#pragma once
#include <afxtempl.h>
#include <afxwin.h>

#include <Draw2DWindow.h>
#include "library/SectionLibStore.h"
#include "resources/LibraryResource.h"

// Constructed with the library file's path (a Windows path through the drive map, or a
// native one): the store opens it and loads every row there, before the window exists. A
// library that cannot be opened gives an empty list whose actions fail silently at the store.
// The list shows the records in the store's order, each row's item data being its record;
// rows added while the dialog runs go to the bottom. "输出" ends the dialog with 0; the close
// box with IDCANCEL. The dialog shows no message of its own.
class CDlgSectionLibManage : public CDialog {
public:
  explicit CDlgSectionLibManage(CString strDbPath, CWnd* pParent = NULL);
  ~CDlgSectionLibManage() override;
  enum { IDD = IDD_DLG_SECTIONLIBMANAGE };

  CString m_strDbPath;
  CSectionLibStore m_store;
  CDrawDwgWnd m_wndPreview;  // 204
  CListBox m_listSection;    // 200

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnBnClickedAdd();
  afx_msg void OnBnClickedDelete();
  afx_msg void OnBnClickedModify();
  afx_msg void OnBnClickedPreview();
  afx_msg void OnBnClickedOutput();
  afx_msg void OnLbnSelchangeList();

  // Empties the list and adds a row for every record of the store.
  void FillList();
  // Shows the section text of row nRow's record in the preview, its area and perimeter on
  // the preview's line.
  void PreviewRow(int nRow);
  // Hides the dialog while the user selects entities in the drawing, restores it afterwards
  // whatever happened, and returns their section text (empty when nothing was selected).
  CString PickSectionText();
  // The record of row nRow (the row's item data).
  CSectionLibRecord* RecordOfRow(int nRow) const;

  DECLARE_MESSAGE_MAP()

private:
  // Records added to the list that the store refused (so it does not own them): shown like
  // the others and freed with the dialog.
  CArray<CSectionLibRecord*, CSectionLibRecord*> m_unheld;
};
