// Buttons (push buttons, check boxes, radio buttons, group boxes) and static controls: their
// window procedures, and CButton and CStatic.
#include <afxwin.h>

#include <algorithm>

#include "window_impl.h"

namespace contura::afx::detail {
namespace {

struct ButtonData : ControlData {
  int check = BST_UNCHECKED;
  bool pushed = false;
};

DWORD typeOf(const Window& w) { return w.style & BS_TYPEMASK; }

bool isCheckable(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
         type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

bool isButton(const Window& w) { return sameClassName(w.className, "Button"); }

// Unchecks the other automatic radio buttons of h's group: the siblings from the nearest
// WS_GROUP control at or before h up to the next WS_GROUP control.
void uncheckGroupSiblings(HWND h) {
  Window* w = find(h);
  Window* parent = w ? find(w->parent) : nullptr;
  if (!parent) return;
  const std::vector<HWND>& all = parent->children;
  auto self = std::find(all.begin(), all.end(), h);
  if (self == all.end()) return;
  auto first = self;
  while (first != all.begin() && !(find(*first)->style & WS_GROUP)) --first;
  for (auto it = first; it != all.end(); ++it) {
    Window* s = find(*it);
    if (it != first && (s->style & WS_GROUP)) break;
    if (*it != h && isButton(*s) && typeOf(*s) == BS_AUTORADIOBUTTON) {
      dataOf<ButtonData>(*s).check = BST_UNCHECKED;
      s->needsPaint = true;
    }
  }
}

// What a completed click does: automatic buttons change state, then BN_CLICKED.
void clicked(HWND h) {
  Window* w = find(h);
  if (!w) return;
  ButtonData& d = dataOf<ButtonData>(*w);
  switch (typeOf(*w)) {
    case BS_AUTOCHECKBOX:
      d.check = d.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
      break;
    case BS_AUTO3STATE:
      d.check = (d.check + 1) % 3;
      break;
    case BS_AUTORADIOBUTTON:
      d.check = BST_CHECKED;
      uncheckGroupSiblings(h);
      break;
    default:
      break;
  }
  w->needsPaint = true;
  notifyParent(h, BN_CLICKED);
}

}  // namespace

LRESULT buttonProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  Window* w = find(h);
  if (!w) return 0;
  ButtonData& d = dataOf<ButtonData>(*w);
  DWORD type = typeOf(*w);
  switch (m) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A group box is only a frame: clicks pass through it.
      if (type == BS_GROUPBOX) return 0;
      d.pushed = true;
      SetFocus(h);
      return 0;
    case WM_LBUTTONUP:
      if (!d.pushed) return 0;
      d.pushed = false;
      clicked(h);
      return 0;
    case BM_CLICK:
      if (type == BS_GROUPBOX) return 0;
      SendMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessage(h, WM_LBUTTONUP, 0, 0);
      return 0;
    case BM_GETCHECK:
      return isCheckable(type) ? d.check : BST_UNCHECKED;
    case BM_SETCHECK:
      if (isCheckable(type)) {
        d.check = static_cast<int>(wp) & 3;
        w->needsPaint = true;
      }
      return 0;
    case BM_GETSTATE:
      return (isCheckable(type) ? d.check : 0) | (d.pushed ? BST_PUSHED : 0) | (GetFocus() == h ? BST_FOCUS : 0);
    case BM_SETSTATE:
      d.pushed = wp != 0;
      return 0;
    case BM_SETSTYLE:
      w->style = (w->style & ~0xFFFFu) | (static_cast<DWORD>(wp) & 0xFFFFu);
      w->needsPaint = true;
      return 0;
    case WM_SETFOCUS:
      if (w->style & BS_NOTIFY) notifyParent(h, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      d.pushed = false;
      if (w->style & BS_NOTIFY) notifyParent(h, BN_KILLFOCUS);
      return 0;
    default:
      return DefWindowProc(h, m, wp, lp);
  }
}

LRESULT staticProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  Window* w = find(h);
  if (!w) return 0;
  if (m == WM_LBUTTONUP && (w->style & SS_NOTIFY)) {
    notifyParent(h, STN_CLICKED);
    return 0;
  }
  return DefWindowProc(h, m, wp, lp);
}

}  // namespace contura::afx::detail

IMPLEMENT_DYNAMIC(CStatic, CWnd)

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("Static", lpszText, dwStyle, rect, pParentWnd, nID);
}

IMPLEMENT_DYNAMIC(CButton, CWnd)

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("Button", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

int CButton::GetCheck() const { return static_cast<int>(::SendMessage(m_hWnd, BM_GETCHECK, 0, 0)); }
void CButton::SetCheck(int nCheck) { ::SendMessage(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0); }
UINT CButton::GetState() const { return static_cast<UINT>(::SendMessage(m_hWnd, BM_GETSTATE, 0, 0)); }
void CButton::SetState(BOOL bHighlight) { ::SendMessage(m_hWnd, BM_SETSTATE, bHighlight, 0); }
UINT CButton::GetButtonStyle() const { return GetStyle() & 0xFFFF; }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) { ::SendMessage(m_hWnd, BM_SETSTYLE, nStyle, bRedraw); }
