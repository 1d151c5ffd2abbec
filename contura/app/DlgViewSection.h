// CDlgViewSection: the preview of one section text (template 205, caption "预览"); a single
// view control, closed with the title bar's close box.
#pragma once
#include <afxwin.h>

#include <Draw2DWindow.h>

class CDlgViewSection : public CDialog {
public:
  explicit CDlgViewSection(CString sectionText, CWnd* pParent = NULL);
  ~CDlgViewSection() override;

  CDrawDwgWnd m_view;      // bound to control 204
  CString m_strSectionText;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  // Shows texts as characters (SetViewText(0)), then the section text.
  BOOL OnInitDialog() override;
  DECLARE_MESSAGE_MAP()
};
