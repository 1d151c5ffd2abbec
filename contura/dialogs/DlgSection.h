// CDlgSection: the dialog "截面信息" in which the user defines one section outline (drawn
// point by point, chained from selected curves, or taken from the user section list) and
// keeps a list of named sections.
#pragma once
#include <afxtempl.h>
#include <afxwin.h>

#include <Draw2DWindow.h>
#include "UserSectionInfo.h"
#include "resources/SectionResource.h"

// Callers assign m_userSection and m_sectionList between construction and DoModal and read
// them after IDOK (OK and Cancel end the dialog as usual, without checks). The dialog
// stores nothing in the library database; in the drawing it only makes temporary polylines
// that it erases again.
//
// "绘制截面" and "选择曲线" hide the dialog while the user picks and show it again afterwards;
// a cancelled or failed pick leaves the current section as it was. "保存到库" asks for a
// name (blanks at both ends removed): an empty one shows "名称为空", one already in the list
// (compared byte for byte, so letter case counts) shows "重名"; otherwise a copy of the
// current section's text is appended under that name with tag 0, and the current section
// keeps its own name. "图库管理" lets the user pick a section of the list (and delete some).
class CDlgSection : public CDialog {
public:
  explicit CDlgSection(CWnd* pParent = NULL);
  enum { IDD = IDD_DLG_SECTION };

  CDrawPolylineWnd m_wndView;  // 204
  int m_nLastWidth;            // client size seen by the previous WM_SIZE
  int m_nLastHeight;
  CUserSectionInfo m_userSection;                          // the section being defined
  CArray<CUserSectionInfo, CUserSectionInfo> m_sectionList;  // the user section list

  // The check of a stripped name before saving: NULL when it may be saved, else the message
  // to show ("名称为空" or "重名").
  const char* CheckNewName(const CString& strName) const;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnBnClickedDrawOutline();
  afx_msg void OnBnClickedSelectCurves();
  afx_msg void OnBnClickedSectionLib();
  afx_msg void OnBnClickedSaveToLib();

  // Shows the current section's outline with its base point.
  void Refresh();
  // Takes the text of a successful pick as the current section's outline (name and tag stay).
  void TakeOutline(const CString& strSection);
  DECLARE_MESSAGE_MAP()
};

// Lets the user draw an outline point by point (straight and arc segments) and pick its base
// point, and gives its outline text in strSection (emptied first). The drawn polyline is
// erased again: the drawing is left as it was. 0 done; 1 the drawing was cancelled or gave
// no polyline; 2 the base point was not picked; 3 the drawn polyline could not be opened
// again (it may then stay in the drawing).
int drawOutline(CString& strSection);

// Lets the user select lines, arcs and polylines, pick a base point, chains the curves into
// one outline and gives its outline text in strSection. The selected curves stay; the
// chained polyline is erased again. 0 done (strSection set); otherwise strSection is left as
// it was: 2 the selection or the base point was cancelled; 4 an entity's id could not be
// obtained; 5 the curves could not be chained into one outline (the reason is printed);
// 6 the chained polyline could not be opened.
int selectCurves(CString& strSection);
