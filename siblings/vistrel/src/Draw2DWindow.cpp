// The preview windows: content, fit, frame and base point mark, painting to SVG and the
// preview pictures; the "Draw2DCtrl" class registration and the data exchange.
#include "Draw2DWindow.h"

#include <afx.h>

#include <map>

namespace {

const char kControlClass[] = "Draw2DCtrl";

CString& previewDirectory() {
  static CString dir;
  return dir;
}

// The window class the dialog templates name, registered while the library is loaded.
struct ControlClassRegistration {
  ControlClassRegistration() {
    WNDCLASS wc = {};
    wc.lpfnWndProc = ::DefWindowProc;
    wc.lpszClassName = kControlClass;
    AfxRegisterClass(&wc);
  }
  ~ControlClassRegistration() { ::UnregisterClass(kControlClass, nullptr); }
};
const ControlClassRegistration gRegistration;

// A caption made safe as part of a file name: path separators and characters Windows does
// not allow in names become '_' (double-byte characters are kept whole).
CString fileNamePart(const CString& caption) {
  CString out;
  const char* p = caption.GetString();
  int n = caption.GetLength();
  for (int i = 0; i < n; ++i) {
    auto c = static_cast<unsigned char>(p[i]);
    if (_ismbblead(c) && i + 1 < n) {
      out += p[i];
      out += p[++i];
      continue;
    }
    out += (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
               ? '_'
               : static_cast<char>(c);
  }
  return out.IsEmpty() ? CString("_") : out;
}

const char* kindName(vistrel::ShapeKind k) {
  switch (k) {
    case vistrel::ShapeKind::kLine: return "line";
    case vistrel::ShapeKind::kArc: return "arc";
    case vistrel::ShapeKind::kCircle: return "circle";
    case vistrel::ShapeKind::kPolyline: return "polyline";
    case vistrel::ShapeKind::kText: return "text";
  }
  return "";
}

// "空" for nothing, else "line 1, text 2, base point" in a fixed order.
CString summaryOf(const vistrel::DisplayList& list) {
  if (list.empty()) return CString("空");
  std::map<int, int> counts;
  int outlines = 0;
  for (const auto& s : list.shapes) {
    if (s.outline) ++outlines;
    else ++counts[static_cast<int>(s.kind)];
  }
  CString out;
  auto add = [&](const char* name, int n) {
    if (n == 0) return;
    if (!out.IsEmpty()) out += ", ";
    out.AppendFormat("%s %d", name, n);
  };
  for (auto [kind, n] : counts) add(kindName(static_cast<vistrel::ShapeKind>(kind)), n);
  add("outline", outlines);
  if (list.hasBasePoint) add("base point", 1);
  return out;
}

}  // namespace

IMPLEMENT_DYNAMIC(CDraw2DWindow, CWnd)
IMPLEMENT_DYNAMIC(CDrawDwgWnd, CDraw2DWindow)
IMPLEMENT_DYNAMIC(CDrawPolylineWnd, CDraw2DWindow)

BEGIN_MESSAGE_MAP(CDraw2DWindow, CWnd)
  ON_WM_PAINT()
  ON_WM_SIZE()
END_MESSAGE_MAP()

CDraw2DWindow::CDraw2DWindow(HINSTANCE hInstance) : m_hInstance(hInstance) {}

CDraw2DWindow::~CDraw2DWindow() {}

void CDraw2DWindow::Refit() {
  CRect rc(0, 0, 0, 0);
  if (m_hWnd) GetClientRect(&rc);
  m_view = vistrel::fitToControl(vistrel::extents(m_list), rc.Width(), rc.Height());
}

void CDraw2DWindow::FullWindow() {
  Refit();
  if (m_hWnd) Invalidate();
}

void CDraw2DWindow::SetSelectRect(int nShow) {
  m_nSelectRect = nShow ? 1 : 0;
  if (m_hWnd) Invalidate();
}

void CDraw2DWindow::SetContent(vistrel::DisplayList list) {
  m_list = std::move(list);
  Refit();
  if (m_hWnd) {
    SetWindowText(summaryOf(m_list));
    Invalidate();
  }
}

vistrel::SvgOptions CDraw2DWindow::PictureOptions() const {
  vistrel::SvgOptions options;
  options.textsAsBoxes = m_bTextsAsBoxes;
  options.showBasePoint = m_bBasePtVisible;
  options.selectionFrame = m_nSelectRect != 0;
  return options;
}

std::string CDraw2DWindow::GetSvg() const {
  CRect rc(0, 0, 0, 0);
  if (m_hWnd) GetClientRect(&rc);
  return vistrel::renderSvg(m_list, m_view, rc.Width(), rc.Height(), PictureOptions());
}

void CDraw2DWindow::OnPaint() {
  m_strLastPicture = GetSvg();
  WritePreview(m_strLastPicture);
}

void CDraw2DWindow::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  Refit();
  Invalidate();
}

// The picture goes to the preview directory when it changed since it was last written.
void CDraw2DWindow::WritePreview(const std::string& svg) {
  const CString& dir = previewDirectory();
  if (dir.IsEmpty() || svg == m_strLastWritten || !m_hWnd) return;
  CString caption;
  if (CWnd* pTop = GetTopLevelParent()) pTop->GetWindowText(caption);
  CString path;
  path.Format("%s/%s-%d.svg", dir.GetString(), fileNamePart(caption).GetString(), GetDlgCtrlID());
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) return;  // a preview is only a convenience
  file.Write(svg.data(), static_cast<UINT>(svg.size()));
  file.Close();
  m_strLastWritten = svg;
}

CDrawDwgWnd::CDrawDwgWnd(HINSTANCE hInstance) : CDraw2DWindow(hInstance) {}

BOOL CDrawDwgWnd::Init(CString sectionText) {
  SetContent(vistrel::parseSectionText(std::string_view(sectionText.GetString(), sectionText.GetLength())));
  return m_list.empty() ? FALSE : TRUE;
}

void CDrawDwgWnd::SetViewText(int nMode) {
  m_bTextsAsBoxes = nMode == 1;
  if (m_hWnd) Invalidate();
}

CDrawPolylineWnd::CDrawPolylineWnd(HINSTANCE hInstance) : CDraw2DWindow(hInstance) {}

BOOL CDrawPolylineWnd::InitInfo(CString polylineSectionText, BOOL bFit) {
  vistrel::DisplayList list =
      vistrel::parseSectionText(std::string_view(polylineSectionText.GetString(), polylineSectionText.GetLength()));
  bool hasOutline = false;
  for (const auto& s : list.shapes) hasOutline = hasOutline || s.outline;
  vistrel::Viewport kept = m_view;
  SetContent(std::move(list));
  if (!bFit) m_view = kept;
  return hasOutline ? TRUE : FALSE;
}

void CDrawPolylineWnd::SetBasePtVisible(BOOL bVisible) {
  m_bBasePtVisible = bVisible != FALSE;
  if (m_hWnd) Invalidate();
}

void DDX_Draw2DControl(CDataExchange* pDX, int nIDC, CDraw2DWindow& rControl) {
  if (pDX->m_bFailed || rControl.m_hWnd) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (!rControl.SubclassWindow(h)) {
    pDX->m_bFailed = TRUE;
    return;
  }
  // Content given before the control existed is fitted to it now.
  rControl.FullWindow();
}

CDraw2DWindow* Draw2DWindowFromHandle(HWND hWnd) {
  return dynamic_cast<CDraw2DWindow*>(CWnd::FromHandlePermanent(hWnd));
}

void Draw2DSetPreviewDirectory(const char* cp936Dir) { previewDirectory() = cp936Dir ? cp936Dir : ""; }

CString Draw2DGetPreviewDirectory() { return previewDirectory(); }
