// CDlgPicSelect: the dialog "图形选择" that shows the section library as pages of eight named
// thumbnails and returns the index of the one chosen.
#pragma once
#include <afxwin.h>

#include <Draw2DWindow.h>
#include "library/SectionLibStore.h"
#include "resources/LibraryResource.h"

// Give it the store with SetLibStore before DoModal; the store is borrowed and must outlive
// the run. After IDOK, GetSelectIndex() is an index for the store's GetAt: 0 unless a filled
// thumbnail was clicked. A left click on a filled thumbnail selects it (its frame shows, the
// others' hide); a double-click on any thumbnail ends the dialog with IDOK; "上一页" and
// "下一页" turn the pages, enabled only when there is a page to turn to.
class CDlgPicSelect : public CDialog {
public:
  enum { kSlots = 8 };  // thumbnails on a page

  explicit CDlgPicSelect(CWnd* pParent = NULL);
  enum { IDD = IDD_DLG_PICSELECT };

  void SetLibStore(CSectionLibStore* pStore);
  int GetSelectIndex() const;
  int GetCurrentPage() const;

  BOOL PreTranslateMessage(MSG* pMsg) override;

  CDrawDwgWnd m_pic0, m_pic1, m_pic2, m_pic3, m_pic4, m_pic5, m_pic6, m_pic7;
  CStatic m_name0, m_name1, m_name2, m_name3, m_name4, m_name5, m_name6, m_name7;
  CSectionLibStore* m_pStore;  // not owned
  int m_nPage;                 // current page, from 0
  int m_nSelectIndex;          // chosen store index
  CDrawDwgWnd* m_pPics[kSlots];  // thumbnails in slot order, filled when the window opens
  CStatic* m_pNames[kSlots];     // their labels

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnBnClickedPrevPage();
  afx_msg void OnBnClickedNextPage();
  afx_msg void OnBnClickedOk();

  // Shows page nPage (clamped to the pages there are) and sets the page buttons.
  void ShowPage(int nPage);
  // The slot whose thumbnail has control id nID, or -1.
  static int SlotOfControl(int nID);
  int RecordCount() const;

  DECLARE_MESSAGE_MAP()
};
