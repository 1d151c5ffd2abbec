// The view library's preview windows: CDraw2DWindow (a "Draw2DCtrl" control showing a
// display list fitted to its client area), CDrawDwgWnd (a whole section text) and
// CDrawPolylineWnd (a section outline with its base point), the data exchange that binds one
// to a dialog's control, and the preview pictures written for inspection.
//
// The "Draw2DCtrl" window class is registered when the library is loaded. A view object is
// a dialog member: DDX_Draw2DControl binds it to the control (once) and from then on the
// control paints through it. Every change of content, size, frame or base point mark asks
// for a repaint; each paint draws the SVG picture, and when a preview directory is set and
// the picture differs from the one last written, writes it to
// "<directory>/<dialog caption>-<control id>.svg".
#pragma once
#include <afxwin.h>

#include <string>

#include "Draw2DPreview.h"
#include "VistrelDisplayList.h"

class CDraw2DWindow : public CWnd {
  DECLARE_DYNAMIC(CDraw2DWindow)

public:
  // hInstance: the instance of the module that owns the dialog (kept, not used further).
  explicit CDraw2DWindow(HINSTANCE hInstance = nullptr);
  ~CDraw2DWindow() override;

  // Fits the whole content into the control and repaints.
  void FullWindow();
  // 1 shows a selection frame round the control, 0 hides it; seen after the next repaint.
  void SetSelectRect(int nShow);
  int GetSelectRect() const { return m_nSelectRect; }

  // What the view shows, the fit in use and the picture at the control's present size.
  const vistrel::DisplayList& GetDisplayList() const { return m_list; }
  const vistrel::Viewport& GetViewport() const { return m_view; }
  std::string GetSvg() const;
  // The picture last painted (empty before the first paint).
  const std::string& GetLastPicture() const { return m_strLastPicture; }
  // How the picture is drawn now: texts as boxes, base point mark, selection frame.
  vistrel::SvgOptions PictureOptions() const;

protected:
  // Replaces the content, refits it and asks for a repaint. The control's window text
  // becomes a one-line summary of the content ("空" when empty).
  void SetContent(vistrel::DisplayList list);

  afx_msg void OnPaint();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  DECLARE_MESSAGE_MAP()

  HINSTANCE m_hInstance;
  vistrel::DisplayList m_list;
  vistrel::Viewport m_view;
  int m_nSelectRect = 0;
  bool m_bBasePtVisible = false;
  bool m_bTextsAsBoxes = false;
  std::string m_strLastPicture;
  std::string m_strLastWritten;

private:
  void Refit();
  void WritePreview(const std::string& svg);
};

// A view of a whole section text (entity records, outline; a SecType header is passed over).
class CDrawDwgWnd : public CDraw2DWindow {
  DECLARE_DYNAMIC(CDrawDwgWnd)

public:
  explicit CDrawDwgWnd(HINSTANCE hInstance = nullptr);
  // Shows every entity record of `sectionText`; the empty text empties the view. TRUE when
  // something is shown.
  BOOL Init(CString sectionText);
  // How texts are drawn: 0 as their characters, 1 as their outline boxes only.
  void SetViewText(int nMode);
  int GetViewText() const { return m_bTextsAsBoxes ? 1 : 0; }
};

// A view of a section outline ("PolylineSection" record and "BasePoint").
class CDrawPolylineWnd : public CDraw2DWindow {
  DECLARE_DYNAMIC(CDrawPolylineWnd)

public:
  explicit CDrawPolylineWnd(HINSTANCE hInstance = nullptr);
  // Shows the outline; bFit TRUE fits it into the control. TRUE when there is an outline.
  BOOL InitInfo(CString polylineSectionText, BOOL bFit = TRUE);
  // TRUE marks the base point (a cross in a circle).
  void SetBasePtVisible(BOOL bVisible);
  BOOL GetBasePtVisible() const { return m_bBasePtVisible ? TRUE : FALSE; }
};

// Binds rControl to the "Draw2DCtrl" control nIDC of the dialog (once; later exchanges leave
// it bound). Fails the exchange when the dialog has no such control.
void DDX_Draw2DControl(CDataExchange* pDX, int nIDC, CDraw2DWindow& rControl);

// The view bound to a control window, or null.
CDraw2DWindow* Draw2DWindowFromHandle(HWND hWnd);

// The directory set with Draw2DSetPreviewDirectory (empty when none).
CString Draw2DGetPreviewDirectory();
