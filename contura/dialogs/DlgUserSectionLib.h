// CDlgUserSectionLib: the dialog "异形构件库" that picks one section from a user section list
// and deletes sections from it.
#pragma once
#include <afxtempl.h>
#include <afxwin.h>

#include <Draw2DWindow.h>
#include "UserSectionInfo.h"
#include "resources/SectionResource.h"

// Works on the caller's array (not owned): a deletion takes effect there at once, however the
// dialog ends. Rows are the names, sorted by the list box itself; each row's item data is the
// index of its section in the array, kept right across deletions. DoModal gives IDOK from
// "选择", IDCANCEL from "取消" or the close box and 0 from "增加", which adds nothing; the
// caller takes m_chosenSection only after IDOK. Deleting needs no confirmation and leaves
// the chosen section as it was, even when it was the deleted one.
class CDlgUserSectionLib : public CDialog {
public:
  explicit CDlgUserSectionLib(CArray<CUserSectionInfo, CUserSectionInfo>* pLib, CWnd* pParent = NULL);
  enum { IDD = IDD_DLG_USERSECTIONLIB };

  CDrawPolylineWnd m_wndView;                    // 204
  CArray<CUserSectionInfo, CUserSectionInfo>* m_pLib;
  CListBox m_listSection;                        // 200
  // A copy of the section last chosen: element 0 of the array when the dialog opens (the
  // default outline when the array is empty), then the section of each selected row. An
  // empty section text is replaced by the default outline when the dialog opens.
  CUserSectionInfo m_chosenSection;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnBnClickedAdd();
  afx_msg void OnBnClickedDelete();
  afx_msg void OnLbnSelchangeList();

  // Empties the list and adds one row per array element; chooses element 0 when there is one.
  void FillList();
  // Shows the chosen section's outline with its base point.
  void ShowChosen();

  DECLARE_MESSAGE_MAP()
};
