// CCmdTarget and CWnd: message maps, binding objects to windows, and the CWnd members over
// the window functions.
#include <afxwin.h>

#include <cstdio>
#include <cstdlib>

#include "contura/afx/ui_backend.h"
#include "window_impl.h"

using contura::afx::detail::find;
using contura::afx::detail::Window;

void CRect::NormalizeRect() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

// --- CCmdTarget -------------------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AFX_MSGMAP map = {nullptr, entries};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const {
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->nSig != AfxSig_end; ++e) {
      if (e->nMessage != nMessage) continue;
      if (nMessage == WM_COMMAND && (e->nCode != nCode || nID < e->nID || nID > e->nLastID)) continue;
      return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void*, void* pHandlerInfo) {
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_COMMAND, static_cast<UINT>(nCode) & 0xFFFF, nID);
  if (!e) return FALSE;
  if (pHandlerInfo == nullptr) e->pfn(this, nID, 0, 0);
  return TRUE;
}

// --- CWnd: binding ------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CWnd, CObject)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd() {
  if (m_hWnd && find(m_hWnd)) {
    Window* w = find(m_hWnd);
    if (w->permanent == this) {
      ::DestroyWindow(m_hWnd);
      // A window busy being destroyed further up the stack stays; it must not call back.
      if (Window* still = find(m_hWnd); still && still->permanent == this) {
        still->permanent = nullptr;
        still->proc = m_pfnSuper;
      }
    }
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  Window* w = find(hWnd);
  return w ? w->permanent : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  Window* w = find(hWnd);
  if (!w) return nullptr;
  if (w->permanent) return w->permanent;
  if (!w->temporary) {
    w->temporary = std::make_unique<CWnd>();
    w->temporary->m_hWnd = hWnd;
  }
  return w->temporary.get();
}

BOOL CWnd::Attach(HWND hWndNew) {
  Window* w = find(hWndNew);
  if (!w || m_hWnd || (w->permanent && w->permanent != this)) return FALSE;
  w->permanent = this;
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (Window* w = find(h); w && w->permanent == this) w->permanent = nullptr;
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  Window* w = find(hWnd);
  m_pfnSuper = w->proc;
  w->proc = AfxWndProc;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent) return FALSE;
  HWND h = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
  return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  Window* w = find(m_hWnd);
  if (w && w->permanent == this && w->proc == AfxWndProc) w->proc = m_pfnSuper;
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void* pContext) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  if (m_hWnd || !lpszClassName) return FALSE;
  HWND parent = AfxGetSafeHwnd(pParentWnd);
  HWND h = contura::afx::detail::createWindow(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect, parent,
                                              static_cast<int>(nID), AfxGetInstanceHandle(), lpParam, this);
  return h != nullptr;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

// --- CWnd: message routing -------------------------------------------------------------

LRESULT AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  Window* w = find(hWnd);
  if (!w) return 0;
  CWnd* pWnd = w->permanent;
  if (!pWnd) return ::DefWindowProc(hWnd, nMsg, wParam, lParam);
  LRESULT result = pWnd->WindowProc(nMsg, wParam, lParam);
  if (nMsg == WM_NCDESTROY) {
    // The window is gone: unbind the object (it may already have been unbound meanwhile).
    if (Window* still = find(hWnd); still && still->permanent == pWnd) {
      still->proc = pWnd->m_pfnSuper;
      still->permanent = nullptr;
      pWnd->m_hWnd = nullptr;
      pWnd->m_pfnSuper = nullptr;
      pWnd->PostNcDestroy();
    }
  }
  return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  contura::afx::detail::CurrentMessage saved = contura::afx::detail::currentMessage();
  contura::afx::detail::currentMessage() = {message, wParam, lParam};
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  contura::afx::detail::currentMessage() = saved;
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT result = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    result = 1;
  } else {
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(message, 0, 0);
    if (!e) return FALSE;
    result = e->pfn(this, 0, wParam, lParam);
  }
  if (pResult) *pResult = result;
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  UINT nID = LOWORD(wParam);
  int nCode = HIWORD(wParam);
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const contura::afx::detail::CurrentMessage& m = contura::afx::detail::currentMessage();
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }

// --- CWnd: relations and state ------------------------------------------------------------

CWnd* CWnd::GetParent() const { return CWnd::FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::SetParent(CWnd* pWndNewParent) {
  return CWnd::FromHandle(::SetParent(m_hWnd, AfxGetSafeHwnd(pWndNewParent)));
}

CWnd* CWnd::GetOwner() const {
  Window* w = find(m_hWnd);
  return w ? CWnd::FromHandle(w->parent) : nullptr;
}

CWnd* CWnd::GetTopLevelParent() const {
  HWND h = m_hWnd;
  Window* w = find(h);
  while (w && w->child()) {
    h = w->parent;
    w = find(h);
  }
  return CWnd::FromHandle(h);
}

CWnd* CWnd::GetDlgItem(int nID) const { return CWnd::FromHandle(::GetDlgItem(m_hWnd, nID)); }
void CWnd::GetDlgItem(int nID, HWND* phWnd) const {
  if (phWnd) *phWnd = ::GetDlgItem(m_hWnd, nID);
}
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int nID) { return static_cast<int>(::SetWindowLong(m_hWnd, GWL_ID, nID)); }

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
CWnd* CWnd::SetFocus() { return CWnd::FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return CWnd::FromHandle(::GetFocus()); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT) {
  Window* w = find(m_hWnd);
  if (!w) return FALSE;
  DWORD style = (w->style & ~dwRemove) | dwAdd;
  if (style == w->style) return FALSE;
  // Visibility and the enabled state go through their functions so that focus follows.
  if ((style ^ w->style) & WS_VISIBLE) ::ShowWindow(m_hWnd, (style & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
  if ((style ^ w->style) & WS_DISABLED) ::EnableWindow(m_hWnd, (style & WS_DISABLED) ? FALSE : TRUE);
  ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(style));
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT) {
  Window* w = find(m_hWnd);
  if (!w) return FALSE;
  DWORD style = (w->exStyle & ~dwRemove) | dwAdd;
  if (style == w->exStyle) return FALSE;
  w->exStyle = style;
  return TRUE;
}

// --- CWnd: geometry and painting --------------------------------------------------------------

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const {
  if (!lpRect) return;
  POINT tl{lpRect->left, lpRect->top}, br{lpRect->right, lpRect->bottom};
  ::ScreenToClient(m_hWnd, &tl);
  ::ScreenToClient(m_hWnd, &br);
  *lpRect = RECT{tl.x, tl.y, br.x, br.y};
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  if (!lpRect) return;
  POINT tl{lpRect->left, lpRect->top}, br{lpRect->right, lpRect->bottom};
  ::ClientToScreen(m_hWnd, &tl);
  ::ClientToScreen(m_hWnd, &br);
  *lpRect = RECT{tl.x, tl.y, br.x, br.y};
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
  if (lpRect)
    ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                 bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, AfxGetSafeHwnd(pWndInsertAfter), x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  Window* w = find(m_hWnd);
  if (!w) return;
  HWND over = pAlternateOwner ? pAlternateOwner->m_hWnd : (w->child() ? w->parent : w->parent);
  if (!find(over)) over = contura::afx::mainWindow();
  RECT outer{}, mine{};
  if (w->child())
    ::GetClientRect(over, &outer);
  else
    ::GetWindowRect(over, &outer);
  ::GetWindowRect(m_hWnd, &mine);
  int width = mine.right - mine.left, height = mine.bottom - mine.top;
  int x = outer.left + ((outer.right - outer.left) - width) / 2;
  int y = outer.top + ((outer.bottom - outer.top) - height) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, void* prgnUpdate, UINT flags) {
  return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate, flags);
}
void CWnd::SetRedraw(BOOL bRedraw) { SendMessage(WM_SETREDRAW, bRedraw, 0); }

// --- CWnd: text and messages ---------------------------------------------------------------

void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }
int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
  int n = ::GetWindowTextLength(m_hWnd);
  char* buffer = rString.GetBuffer(n + 1);
  int got = ::GetWindowText(m_hWnd, buffer, n + 1);
  rString.ReleaseBuffer(got);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  HWND h = ::GetDlgItem(m_hWnd, nID);
  if (!h) return 0;
  CWnd::FromHandle(h)->GetWindowText(rString);
  return rString.GetLength();
}

int CWnd::GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const {
  return static_cast<int>(::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount));
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) {
  char text[16];
  if (bSigned)
    std::snprintf(text, sizeof text, "%d", static_cast<int>(nValue));
  else
    std::snprintf(text, sizeof text, "%u", nValue);
  ::SetDlgItemText(m_hWnd, nID, text);
}

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
  CString text;
  GetDlgItemText(nID, text);
  text.Trim();
  const char* s = text;
  char* end = nullptr;
  long long value = std::strtoll(s, &end, 10);
  bool ok = !text.IsEmpty() && end && *end == '\0' && (bSigned || value >= 0) &&
            value >= (bSigned ? -2147483648LL : 0) && value <= (bSigned ? 2147483647LL : 4294967295LL);
  if (lpTrans) *lpTrans = ok;
  return ok ? static_cast<UINT>(value) : 0;
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) { SendDlgItemMessage(nIDButton, BM_SETCHECK, nCheck, 0); }
UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
  return static_cast<UINT>(::SendDlgItemMessage(m_hWnd, nIDButton, BM_GETCHECK, 0, 0));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}
LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam);
}
int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  return ::MessageBox(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

CWnd* AfxGetMainWnd() { return CWnd::FromHandle(contura::afx::mainWindow()); }
