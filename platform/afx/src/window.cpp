// Windows as the platform keeps them: the window and class tables and the window functions
// of the system (creation, destruction, messages, relations, state, geometry, text).
#include <afxwin.h>
#include <contura/os/codepage.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "contura/afx/ui_backend.h"
#include "window_impl.h"

namespace contura::afx::detail {
namespace {

struct WindowClass {
  std::string name;
  WNDCLASS wc{};
  bool standard = false;
};

// Handles are numbers that are never reused, so a stale handle is never taken for a newer
// window.
constexpr uintptr_t kFirstHandle = 0x10000;
constexpr uintptr_t kHandleStep = 4;
// A run of posted messages that keeps posting new ones is cut off after this many.
constexpr int kMaxPostedPerFlush = 100000;

struct WindowSystem {
  std::map<uintptr_t, std::unique_ptr<Window>> windows;  // ordered by handle = creation order
  std::vector<WindowClass> classes;
  uintptr_t nextHandle = kFirstHandle;
  HWND focus = nullptr;
  std::deque<MSG> posted;
  std::vector<HWND> modal;
  std::vector<std::string> generatedClassNames;
};

WindowSystem& sys() {
  static WindowSystem s;
  return s;
}

LRESULT dialogClassProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefDlgProc(h, m, w, l); }

// The host's frame window stays for the whole process: closing it does nothing here.
LRESULT frameClassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CLOSE) return 0;
  return DefWindowProc(h, m, w, l);
}

void registerStandard(const char* name, WNDPROC proc) {
  WindowClass c;
  c.name = name;
  c.wc.lpfnWndProc = proc;
  c.standard = true;
  sys().classes.push_back(std::move(c));
}

void ensureStandardClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  registerStandard("Button", buttonProc);
  registerStandard("Static", staticProc);
  registerStandard("Edit", editProc);
  registerStandard("ListBox", listBoxProc);
  registerStandard("ComboBox", comboBoxProc);
  registerStandard("#32770", dialogClassProc);
  registerStandard("ConturaFrame", frameClassProc);
}

WindowClass* findClass(std::string_view name) {
  ensureStandardClasses();
  for (WindowClass& c : sys().classes)
    if (sameClassName(c.name, name)) return &c;
  return nullptr;
}

bool isDescendantOrSelf(HWND h, HWND ancestor) {
  for (Window* w = find(h); w; w = w->child() ? find(w->parent) : nullptr)
    if (w->handle == ancestor) return true;
  return false;
}

// Screen position of the top-left corner of a window's client area.
POINT clientOrigin(HWND h) {
  POINT p{0, 0};
  for (Window* w = find(h); w; w = w->child() ? find(w->parent) : nullptr) {
    p.x += w->rect.left;
    p.y += w->rect.top;
    if (!w->child()) break;
  }
  return p;
}

void setFocusTo(HWND h) {
  HWND old = sys().focus;
  if (old == h) return;
  sys().focus = h;
  if (old && find(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(h), 0);
  // The window losing the focus may have moved it elsewhere meanwhile.
  if (h && sys().focus == h && find(h)) SendMessage(h, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

// Focus leaves `h` and its children. When `h` is a top-level window that is hidden or
// destroyed, its owner takes the focus if it is enabled (the system activates it); in every
// other case no window has the focus afterwards.
void moveFocusAwayFrom(HWND h, bool toOwner) {
  HWND focus = sys().focus;
  if (!focus || !isDescendantOrSelf(focus, h)) return;
  Window* w = find(h);
  HWND owner = (toOwner && w && !w->child()) ? w->parent : nullptr;
  if (owner && find(owner) && IsWindowEnabled(owner) && !isDescendantOrSelf(owner, h))
    setFocusTo(owner);
  else
    setFocusTo(nullptr);
}

}  // namespace

Window* find(HWND hWnd) {
  auto it = sys().windows.find(reinterpret_cast<uintptr_t>(hWnd));
  return it == sys().windows.end() ? nullptr : it->second.get();
}

std::vector<HWND> allWindows() {
  std::vector<HWND> out;
  for (auto& [key, w] : sys().windows) out.push_back(w->handle);
  return out;
}

bool sameClassName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

size_t fitBytes(std::string_view text, size_t max) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = (contura::os::isLeadByte(c) && i + 1 < text.size()) ? 2 : 1;
    if (i + n > max) break;
    i += n;
  }
  return i;
}

int copyText(std::string_view text, LPSTR buffer, int nMax) {
  if (!buffer || nMax <= 0) return 0;
  size_t n = fitBytes(text, static_cast<size_t>(nMax - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

HWND createWindow(DWORD exStyle, std::string_view className, const char* text, DWORD style, RECT rect,
                  HWND parent, int id, HINSTANCE instance, void* param, CWnd* attach) {
  WindowClass* cls = findClass(className);
  if (!cls) return nullptr;
  if ((style & WS_CHILD) && !find(parent)) return nullptr;
  if (parent && !find(parent)) parent = nullptr;
  auto w = std::make_unique<Window>();
  HWND h = reinterpret_cast<HWND>(sys().nextHandle);
  sys().nextHandle += kHandleStep;
  w->handle = h;
  w->className = cls->name;
  w->proc = cls->wc.lpfnWndProc;
  w->text = text ? text : "";
  w->style = style;
  w->exStyle = exStyle;
  w->id = (style & WS_CHILD) ? id : 0;
  w->rect = rect;
  w->parent = parent;
  w->instance = instance;
  sys().windows.emplace(reinterpret_cast<uintptr_t>(h), std::move(w));
  if (style & WS_CHILD) find(parent)->children.push_back(h);
  if (attach && !attach->SubclassWindow(h)) {
    DestroyWindow(h);
    return nullptr;
  }
  CREATESTRUCT cs{param, instance, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), parent,
                  static_cast<int>(rect.bottom - rect.top), static_cast<int>(rect.right - rect.left),
                  static_cast<int>(rect.top), static_cast<int>(rect.left), static_cast<LONG>(style),
                  text, cls->name.c_str(), exStyle};
  if (SendMessage(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(h);
    return nullptr;
  }
  return find(h) ? h : nullptr;
}

void notifyParent(HWND control, UINT code) {
  Window* w = find(control);
  if (!w || !w->child()) return;
  SendMessage(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

CurrentMessage& currentMessage() {
  static CurrentMessage current;
  return current;
}

std::deque<MSG>& postedMessages() { return sys().posted; }

std::vector<HWND>& modalStack() { return sys().modal; }

void deliverPostedAndPaint() {
  for (int n = 0; n < kMaxPostedPerFlush && !sys().posted.empty(); ++n) {
    MSG m = sys().posted.front();
    sys().posted.pop_front();
    if (find(m.hwnd)) SendMessage(m.hwnd, m.message, m.wParam, m.lParam);
  }
  for (HWND h : allWindows()) {
    Window* w = find(h);
    if (w && w->needsPaint && IsWindowVisible(h)) UpdateWindow(h);
  }
}

}  // namespace contura::afx::detail

using contura::afx::detail::find;
using contura::afx::detail::sys;
using contura::afx::detail::Window;

// --- Classes ---------------------------------------------------------------------------

ATOM RegisterClass(const WNDCLASS* lpWndClass) {
  if (!lpWndClass || !lpWndClass->lpszClassName || !*lpWndClass->lpszClassName || !lpWndClass->lpfnWndProc)
    return 0;
  if (contura::afx::detail::findClass(lpWndClass->lpszClassName)) return 0;
  contura::afx::detail::WindowClass c;
  c.name = lpWndClass->lpszClassName;
  c.wc = *lpWndClass;
  sys().classes.push_back(std::move(c));
  // The name given may not outlive the call; the table keeps its own copy.
  sys().classes.back().wc.lpszClassName = nullptr;
  return static_cast<ATOM>(0xC000 + sys().classes.size());
}

BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE) {
  if (!lpClassName) return FALSE;
  auto& classes = sys().classes;
  for (auto it = classes.begin(); it != classes.end(); ++it) {
    if (contura::afx::detail::sameClassName(it->name, lpClassName)) {
      if (it->standard) return FALSE;
      classes.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL GetClassInfo(HINSTANCE, LPCSTR lpClassName, LPWNDCLASS lpWndClass) {
  if (!lpClassName) return FALSE;
  contura::afx::detail::WindowClass* c = contura::afx::detail::findClass(lpClassName);
  if (!c) return FALSE;
  if (lpWndClass) {
    *lpWndClass = c->wc;
    lpWndClass->lpszClassName = c->name.c_str();
  }
  return TRUE;
}

BOOL AfxRegisterClass(WNDCLASS* lpWndClass) {
  if (!lpWndClass || !lpWndClass->lpszClassName) return FALSE;
  if (GetClassInfo(lpWndClass->hInstance, lpWndClass->lpszClassName, nullptr)) return TRUE;
  return RegisterClass(lpWndClass) != 0;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  char name[96];
  std::snprintf(name, sizeof name, "Afx:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
  auto& names = sys().generatedClassNames;
  for (const std::string& existing : names)
    if (existing == name) return existing.c_str();
  WNDCLASS wc{};
  wc.style = nClassStyle;
  wc.lpfnWndProc = ::DefWindowProc;
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.hIcon = hIcon;
  wc.lpszClassName = name;
  if (!AfxRegisterClass(&wc)) return nullptr;
  // Kept in a list that only grows, so earlier names stay valid.
  names.reserve(names.size() + 1);
  names.push_back(name);
  return names.back().c_str();
}

void contura::afx::detail::registerRichEditClasses() {
  for (const char* name : {"RichEdit20A", "RichEdit20W", "RICHEDIT50W", "RichEdit"}) {
    if (findClass(name)) continue;
    registerStandard(name, richEditProc);
  }
}

BOOL AfxInitRichEdit2() {
  contura::afx::detail::registerRichEditClasses();
  return TRUE;
}

BOOL AfxInitRichEdit() { return AfxInitRichEdit2(); }

int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  Window* w = find(hWnd);
  if (!w) return 0;
  return contura::afx::detail::copyText(w->className, lpClassName, nMaxCount);
}

// --- Creation and destruction --------------------------------------------------------

HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
  if (!lpClassName) return nullptr;
  RECT r{x, y, x + nWidth, y + nHeight};
  return contura::afx::detail::createWindow(dwExStyle, lpClassName, lpWindowName, dwStyle, r, hWndParent,
                                            static_cast<int>(reinterpret_cast<intptr_t>(hMenu)), hInstance,
                                            lpParam, nullptr);
}

BOOL IsWindow(HWND hWnd) { return find(hWnd) != nullptr; }

BOOL DestroyWindow(HWND hWnd) {
  Window* w = find(hWnd);
  if (!w || w->destroying) return FALSE;
  w->destroying = true;
  contura::afx::detail::moveFocusAwayFrom(hWnd, true);
  SendMessage(hWnd, WM_DESTROY, 0, 0);
  // Windows it owns go with it, then its children.
  for (HWND other : contura::afx::detail::allWindows()) {
    Window* o = find(other);
    if (o && !o->child() && o->parent == hWnd) DestroyWindow(other);
  }
  if ((w = find(hWnd)) == nullptr) return TRUE;
  std::vector<HWND> children = w->children;
  for (HWND c : children) DestroyWindow(c);
  SendMessage(hWnd, WM_NCDESTROY, 0, 0);
  if ((w = find(hWnd)) == nullptr) return TRUE;
  if (w->child()) {
    if (Window* p = find(w->parent)) std::erase(p->children, hWnd);
  }
  if (sys().focus == hWnd) sys().focus = nullptr;
  // A temporary object must not try to destroy the window again from its destructor.
  std::unique_ptr<CWnd> temporary = std::move(w->temporary);
  if (temporary) temporary->m_hWnd = nullptr;
  if (w->permanent) w->permanent->m_hWnd = nullptr;
  sys().windows.erase(reinterpret_cast<uintptr_t>(hWnd));
  return TRUE;
}

// --- Messages -------------------------------------------------------------------------

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* w = find(hWnd);
  if (!w || !w->proc) return 0;
  return w->proc(hWnd, Msg, wParam, lParam);
}

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!find(hWnd)) return FALSE;
  sys().posted.push_back(MSG{hWnd, Msg, wParam, lParam, 0, {0, 0}});
  return TRUE;
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!lpPrevWndFunc) return DefWindowProc(hWnd, Msg, wParam, lParam);
  return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* w = find(hWnd);
  if (!w) return 0;
  switch (Msg) {
    case WM_SETTEXT:
      w->text = reinterpret_cast<const char*>(lParam);
      w->needsPaint = true;
      return TRUE;
    case WM_GETTEXT:
      return contura::afx::detail::copyText(w->text.str(), reinterpret_cast<LPSTR>(lParam),
                                            static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
      return w->text.GetLength();
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    default:
      return 0;
  }
}

LRESULT DefDlgProc(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* w = find(hDlg);
  if (!w) return 0;
  switch (Msg) {
    case WM_CLOSE:
      SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                  reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
      return 0;
    case DM_GETDEFID: {
      // The default push button (DM_SETDEFID moves that style).
      for (HWND c : w->children) {
        Window* cw = find(c);
        if (cw && contura::afx::detail::sameClassName(cw->className, "Button") &&
            (cw->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
          return MAKELONG(cw->id, DC_HASDEFID);
      }
      return 0;
    }
    case DM_SETDEFID: {
      // The default push button style moves to the new default button.
      for (HWND c : w->children) {
        Window* cw = find(c);
        if (!cw || !contura::afx::detail::sameClassName(cw->className, "Button")) continue;
        DWORD type = cw->style & BS_TYPEMASK;
        if (type == BS_DEFPUSHBUTTON && cw->id != static_cast<int>(wParam))
          cw->style = (cw->style & ~BS_TYPEMASK) | BS_PUSHBUTTON;
        else if (type == BS_PUSHBUTTON && cw->id == static_cast<int>(wParam))
          cw->style = (cw->style & ~BS_TYPEMASK) | BS_DEFPUSHBUTTON;
      }
      return TRUE;
    }
    default:
      return DefWindowProc(hDlg, Msg, wParam, lParam);
  }
}

// --- Relations ------------------------------------------------------------------------

HWND GetParent(HWND hWnd) {
  Window* w = find(hWnd);
  if (!w) return nullptr;
  if (w->child() || (w->style & WS_POPUP)) return find(w->parent) ? w->parent : nullptr;
  return nullptr;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  Window* w = find(hWndChild);
  if (!w || hWndChild == hWndNewParent) return nullptr;
  if (hWndNewParent && !find(hWndNewParent)) return nullptr;
  if (hWndNewParent && contura::afx::detail::isDescendantOrSelf(hWndNewParent, hWndChild)) return nullptr;
  HWND old = w->parent;
  if (w->child()) {
    if (Window* p = find(old)) std::erase(p->children, hWndChild);
  }
  w->parent = hWndNewParent;
  if (w->child()) {
    if (Window* p = find(hWndNewParent))
      p->children.push_back(hWndChild);
    else
      w->style &= ~WS_CHILD;  // a child without a parent becomes a top-level window
  }
  return old ? old : contura::afx::mainWindow();
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
  Window* w = find(hDlg);
  if (!w) return nullptr;
  for (HWND c : w->children) {
    Window* cw = find(c);
    if (cw && cw->id == nIDDlgItem) return c;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
  Window* w = find(hWnd);
  return w && w->child() ? w->id : 0;
}

// --- State ----------------------------------------------------------------------------

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  Window* w = find(hWnd);
  if (!w) return FALSE;
  BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
  bool show = nCmdShow != SW_HIDE && nCmdShow != SW_MINIMIZE;
  if (show == static_cast<bool>(wasVisible)) return wasVisible;
  if (!show) contura::afx::detail::moveFocusAwayFrom(hWnd, true);
  if ((w = find(hWnd)) == nullptr) return wasVisible;
  if (show)
    w->style |= WS_VISIBLE;
  else
    w->style &= ~WS_VISIBLE;
  SendMessage(hWnd, WM_SHOWWINDOW, show, 0);
  if (show) InvalidateRect(hWnd, nullptr, TRUE);
  return wasVisible;
}

BOOL IsWindowVisible(HWND hWnd) {
  for (Window* w = find(hWnd); w; w = find(w->parent)) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!w->child()) return TRUE;
  }
  return FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  Window* w = find(hWnd);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (static_cast<bool>(bEnable) == !wasDisabled) return wasDisabled;
  if (!bEnable) contura::afx::detail::moveFocusAwayFrom(hWnd, false);
  if ((w = find(hWnd)) == nullptr) return wasDisabled;
  if (bEnable)
    w->style &= ~WS_DISABLED;
  else
    w->style |= WS_DISABLED;
  w->needsPaint = true;
  SendMessage(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd) {
  Window* w = find(hWnd);
  return w && !(w->style & WS_DISABLED);
}

HWND SetFocus(HWND hWnd) {
  HWND old = sys().focus;
  if (hWnd && (!find(hWnd) || !IsWindowEnabled(hWnd))) return nullptr;
  contura::afx::detail::setFocusTo(hWnd);
  return old;
}

HWND GetFocus() { return find(sys().focus) ? sys().focus : nullptr; }

LONG GetWindowLong(HWND hWnd, int nIndex) {
  Window* w = find(hWnd);
  if (!w) return 0;
  switch (nIndex) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_ID: return w->id;
    default: return 0;
  }
}

LONG SetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong) {
  Window* w = find(hWnd);
  if (!w) return 0;
  LONG old = GetWindowLong(hWnd, nIndex);
  switch (nIndex) {
    case GWL_STYLE: {
      // Visibility and the enabled state change through their own functions.
      DWORD keep = w->style & (WS_VISIBLE | WS_DISABLED | WS_CHILD);
      w->style = (static_cast<DWORD>(dwNewLong) & ~(WS_VISIBLE | WS_DISABLED | WS_CHILD)) | keep;
      break;
    }
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(dwNewLong); break;
    case GWL_ID: w->id = dwNewLong; break;
    default: return 0;
  }
  w->needsPaint = true;
  return old;
}

// --- Geometry -------------------------------------------------------------------------

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  Window* w = find(hWnd);
  if (!w || !lpRect) return FALSE;
  POINT o = contura::afx::detail::clientOrigin(hWnd);
  *lpRect = RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  Window* w = find(hWnd);
  if (!w || !lpRect) return FALSE;
  *lpRect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  if (!find(hWnd) || !lpPoint) return FALSE;
  POINT o = contura::afx::detail::clientOrigin(hWnd);
  lpPoint->x -= o.x;
  lpPoint->y -= o.y;
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  if (!find(hWnd) || !lpPoint) return FALSE;
  POINT o = contura::afx::detail::clientOrigin(hWnd);
  lpPoint->x += o.x;
  lpPoint->y += o.y;
  return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
  Window* w = find(hWnd);
  if (!w) return FALSE;
  RECT old = w->rect;
  RECT r = old;
  if (!(uFlags & SWP_NOMOVE)) {
    r.right = X + (r.right - r.left);
    r.bottom = Y + (r.bottom - r.top);
    r.left = X;
    r.top = Y;
  }
  if (!(uFlags & SWP_NOSIZE)) {
    r.right = r.left + std::max(cx, 0);
    r.bottom = r.top + std::max(cy, 0);
  }
  w->rect = r;
  bool moved = r.left != old.left || r.top != old.top;
  bool sized = (r.right - r.left) != (old.right - old.left) || (r.bottom - r.top) != (old.bottom - old.top);
  if (moved) SendMessage(hWnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
  if (sized && find(hWnd))
    SendMessage(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right - r.left, r.bottom - r.top));
  if ((moved || sized) && !(uFlags & SWP_NOREDRAW)) InvalidateRect(hWnd, nullptr, TRUE);
  if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOW);
  if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
  if (!find(hDlg) || !lpRect) return FALSE;
  lpRect->left = contura::afx::dialogUnitsToPixelsX(lpRect->left);
  lpRect->right = contura::afx::dialogUnitsToPixelsX(lpRect->right);
  lpRect->top = contura::afx::dialogUnitsToPixelsY(lpRect->top);
  lpRect->bottom = contura::afx::dialogUnitsToPixelsY(lpRect->bottom);
  return TRUE;
}

// --- Painting -------------------------------------------------------------------------

BOOL InvalidateRect(HWND hWnd, LPCRECT, BOOL) {
  Window* w = find(hWnd);
  if (!w) return FALSE;
  w->needsPaint = true;
  for (HWND c : w->children) InvalidateRect(c, nullptr, TRUE);
  return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
  Window* w = find(hWnd);
  if (!w) return FALSE;
  if (w->needsPaint && IsWindowVisible(hWnd)) {
    w->needsPaint = false;
    SendMessage(hWnd, WM_PAINT, 0, 0);
  }
  return TRUE;
}

BOOL RedrawWindow(HWND hWnd, LPCRECT lprcUpdate, void*, UINT flags) {
  if (!find(hWnd)) return FALSE;
  if (flags & RDW_INVALIDATE) InvalidateRect(hWnd, lprcUpdate, (flags & RDW_ERASE) != 0);
  if (flags & RDW_UPDATENOW) {
    UpdateWindow(hWnd);
    if (flags & RDW_ALLCHILDREN)
      if (Window* w = find(hWnd))
        for (HWND c : std::vector<HWND>(w->children)) UpdateWindow(c);
  }
  return TRUE;
}

// --- Text -----------------------------------------------------------------------------

BOOL SetWindowText(HWND hWnd, LPCSTR lpString) {
  if (!find(hWnd)) return FALSE;
  return SendMessage(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")) != 0;
}

int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!find(hWnd)) {
    if (lpString && nMaxCount > 0) *lpString = '\0';
    return 0;
  }
  return static_cast<int>(SendMessage(hWnd, WM_GETTEXT, nMaxCount, reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLength(HWND hWnd) { return static_cast<int>(SendMessage(hWnd, WM_GETTEXTLENGTH, 0, 0)); }

LRESULT SendDlgItemMessage(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return SendMessage(GetDlgItem(hDlg, nIDDlgItem), Msg, wParam, lParam);
}

BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  return SetWindowText(GetDlgItem(hDlg, nIDDlgItem), lpString);
}

UINT GetDlgItemText(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  return static_cast<UINT>(GetWindowText(GetDlgItem(hDlg, nIDDlgItem), lpString, cchMax));
}

// --- Platform-internal queries ---------------------------------------------------------

namespace contura::afx {

HWND mainWindow() {
  static HWND main = nullptr;
  if (!detail::find(main)) {
    // The host's frame: a visible, enabled top-level window that nothing destroys.
    constexpr RECT kMainRect{0, 0, 1280, 800};
    main = detail::createWindow(0, "ConturaFrame", "Contura", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, kMainRect,
                                nullptr, 0, nullptr, nullptr, nullptr);
    if (!detail::sys().focus) detail::sys().focus = main;
  }
  return main;
}

std::vector<HWND> runningDialogs() { return detail::modalStack(); }

}  // namespace contura::afx
