// MFC windows: points and rectangles, the window functions of the system, window classes,
// CWnd with its message maps, CDialog with data exchange, the standard controls and message
// boxes.
//
// Windows here are kept by the platform: each has a handle (HWND), a class, a text, a style,
// an id, a rectangle, a parent, visibility, an enabled state, and a window procedure. There
// is no screen: a dialog is shown and driven by the UI backend the host program installs (a
// script, the terminal, a window toolkit), which turns a person's actions into the messages
// described here. Geometry:
//  - pixels throughout; dialog templates are converted from dialog units with base units of
//    6 x 13 pixels (x and widths times 6/4, y and heights times 13/8, rounded as MulDiv);
//  - a window's client area is its whole rectangle (there are no borders or title bars), so
//    a dialog's template size is both its window and its client size;
//  - child rectangles are relative to the parent's client area, top-level ones are in screen
//    coordinates.
// Text is code page 936 bytes. Nothing here throws.
#pragma once
#include <windows.h>

#include "afx.h"
#include "afxmsg_.h"

#define afx_msg

// ---------------------------------------------------------------------------------------
// Types and constants of the window system not in <windows.h>.

struct HBRUSH__;
typedef HBRUSH__* HBRUSH;
typedef HICON HCURSOR;
struct HFONT__;
typedef HFONT__* HFONT;
typedef WORD ATOM;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAX_PATH 260
#define _MAX_PATH 260

#define WM_ACTIVATE 0x0006
#define WM_SETREDRAW 0x000B
#define WM_GETTEXTLENGTH 0x000E
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_NOTIFY 0x004E
#define WM_NCDESTROY 0x0082
#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_CLEAR 0x0303

#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

#define SC_CLOSE 0xF060
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_DELETE 0x2E

#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_ID (-12)

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

#define RDW_INVALIDATE 0x0001
#define RDW_ERASE 0x0004
#define RDW_UPDATENOW 0x0100
#define RDW_ALLCHILDREN 0x0080

// Button styles and states.
#define BS_3STATE 0x00000005L
#define BS_AUTO3STATE 0x00000006L
#define BS_USERBUTTON 0x00000008L
#define BS_OWNERDRAW 0x0000000BL
#define BS_TYPEMASK 0x0000000FL
#define BS_NOTIFY 0x00004000L
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BN_SETFOCUS 6
#define BN_KILLFOCUS 7

// Static styles and notifications.
#define SS_NOTIFY 0x00000100L
#define SS_TYPEMASK 0x0000001FL
#define STN_CLICKED 0

// Edit messages and notifications.
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_SCROLLCARET 0x00B7
#define EM_GETMODIFY 0x00B8
#define EM_SETMODIFY 0x00B9
#define EM_GETLINECOUNT 0x00BA
#define EM_LINEINDEX 0x00BB
#define EM_LINELENGTH 0x00C1
#define EM_REPLACESEL 0x00C2
#define EM_GETLINE 0x00C4
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_LINEFROMCHAR 0x00C9
#define EM_SETREADONLY 0x00CF
#define EM_GETLIMITTEXT 0x00D5
#define EN_MAXTEXT 0x0501

// List box messages.
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_SELECTSTRING 0x018C
#define LB_GETTOPINDEX 0x018E
#define LB_FINDSTRING 0x018F
#define LB_SETTOPINDEX 0x0197
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_FINDSTRINGEXACT 0x01A2
#define LBN_ERRSPACE (-2)
#define LBN_SELCANCEL 3
#define LBN_SETFOCUS 4
#define LBN_KILLFOCUS 5

// Combo box messages and notifications.
#define CB_GETEDITSEL 0x0140
#define CB_LIMITTEXT 0x0141
#define CB_SETEDITSEL 0x0142
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_GETDROPPEDSTATE 0x0157
#define CB_FINDSTRINGEXACT 0x0158
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10
#define CBS_OWNERDRAWFIXED 0x0010L
#define CBS_HASSTRINGS 0x0200L
#define CBS_NOINTEGRALHEIGHT 0x0400L
#define CBS_TYPEMASK 0x0003L

// ---------------------------------------------------------------------------------------
// Points, sizes and rectangles.

class CSize : public SIZE {
public:
  CSize() : SIZE{0, 0} {}
  CSize(int x, int y) : SIZE{x, y} {}
  CSize(SIZE s) : SIZE(s) {}
  bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
  bool operator!=(const CSize& o) const { return !(*this == o); }
};

class CPoint : public POINT {
public:
  CPoint() : POINT{0, 0} {}
  CPoint(int x, int y) : POINT{x, y} {}
  CPoint(POINT p) : POINT(p) {}
  // From a message's lParam: x in the low word, y in the high word, both signed.
  explicit CPoint(LPARAM lParam) : POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)} {}
  void Offset(int dx, int dy) { x += dx, y += dy; }
  bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
  bool operator!=(const CPoint& o) const { return !(*this == o); }
  CPoint operator+(CSize s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(CSize s) const { return CPoint(x - s.cx, y - s.cy); }
  CSize operator-(CPoint p) const { return CSize(x - p.x, y - p.y); }
};

class CRect : public RECT {
public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& r) : RECT(r) {}
  CRect(POINT topLeft, SIZE size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  BOOL IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  // Left and top inclusive, right and bottom exclusive, as Windows tests points.
  BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
  void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  void DeflateRect(int dx, int dy) { left += dx, right -= dx, top += dy, bottom -= dy; }
  void InflateRect(int dx, int dy) { DeflateRect(-dx, -dy); }
  void NormalizeRect();
  bool operator==(const RECT& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const RECT& o) const { return !(*this == o); }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
};

// ---------------------------------------------------------------------------------------
// Window classes.
//
// Windows of a class run the class's window procedure. The standard classes "Button",
// "Edit", "Static", "ListBox", "ComboBox" and the dialog class "#32770" always exist; the
// rich edit classes ("RichEdit20A", "RichEdit20W", "RICHEDIT50W", "RichEdit") exist once
// AfxInitRichEdit or AfxInitRichEdit2 has run. Any other class - such as a custom control
// named in a dialog template - must be registered before a window of it is made; a dialog
// whose template names an unregistered class cannot be created (DoModal returns -1).
//
// A library that provides a custom control registers its class once, typically with the
// default procedure, and binds a CWnd-derived object to each control with DDX_Control (or
// SubclassDlgItem); the object's message map then receives the control's messages:
//     WNDCLASS wc = {};
//     wc.lpfnWndProc = ::DefWindowProc;
//     wc.hInstance = hInstance;
//     wc.lpszClassName = _T("Draw2DCtrl");
//     AfxRegisterClass(&wc);
// Class names are compared ignoring ASCII letter case, as Windows does.

struct WNDCLASS {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};
typedef WNDCLASS* LPWNDCLASS;

struct CREATESTRUCT {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};
typedef CREATESTRUCT* LPCREATESTRUCT;

// Registers a class; 0 when the name is missing, has no procedure, or is taken.
ATOM RegisterClass(const WNDCLASS* lpWndClass);
// Removes a registered class (not a standard one); FALSE when no such class is registered.
BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE hInstance);
// Fills lpWndClass for a class that exists; FALSE otherwise.
BOOL GetClassInfo(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASS lpWndClass);
// MFC's registration: TRUE when the class is registered afterwards (also when it already was).
BOOL AfxRegisterClass(WNDCLASS* lpWndClass);
// Registers (once) and names a class with the default window procedure for the given style
// and resources; the name stays valid for the life of the process.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);
// Makes the rich edit control classes available (MFC loads the rich edit library here).
BOOL AfxInitRichEdit();
BOOL AfxInitRichEdit2();

// ---------------------------------------------------------------------------------------
// The window functions of the system.

// Makes a window of class lpClassName. For WS_CHILD windows hWndParent is the parent and
// hMenu the control id; otherwise hWndParent is the owner. The window gets WM_CREATE; a
// result of -1 destroys it again. Null when the class does not exist, a child has no parent,
// or WM_CREATE refused.
HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam);
// Destroys a window, its children and the windows it owns: WM_DESTROY goes to the window
// before its children, WM_NCDESTROY after them. FALSE for a handle that is not a window.
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);

// Calls the window's procedure at once and returns its result (0 for a handle that is not a
// window).
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Queues the message; it is delivered when the running dialog's loop next looks for messages
// (after each action of the UI backend). FALSE for a handle that is not a window.
BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The default procedure: window text (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH) and
// WM_CLOSE (destroys the window); every other message gives 0.
LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The dialog class's procedure: as DefWindowProc, but WM_CLOSE sends the dialog
// WM_COMMAND IDCANCEL, and DM_GETDEFID/DM_SETDEFID keep the default button id.
LRESULT DefDlgProc(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);

// For a child window its parent; for a pop-up window its owner; otherwise null.
HWND GetParent(HWND hWnd);
// Changes the parent of a child window; returns the previous one (null on failure).
HWND SetParent(HWND hWndChild, HWND hWndNewParent);
// Shows or hides; returns whether the window was visible before. Hiding a top-level window
// that holds the focus (or holds it in a child) gives the focus to its owner when the owner
// is enabled, else to no window; hiding a child that holds it leaves no window with it.
// Destroying a window moves the focus the same way.
BOOL ShowWindow(HWND hWnd, int nCmdShow);
// Visible when the window and every parent up to its top-level window are shown.
BOOL IsWindowVisible(HWND hWnd);
// Returns whether the window was disabled before. Disabling a window that holds the focus
// takes the focus away.
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);
// The window with the keyboard focus gets WM_SETFOCUS, the one losing it WM_KILLFOCUS.
// Returns the window that had the focus; a disabled window cannot take it (null result, no
// change). SetFocus(null) takes the focus from every window.
HWND SetFocus(HWND hWnd);
HWND GetFocus();
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);  // screen coordinates
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);  // (0, 0, width, height)
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
// Moves and sizes; a change of size sends WM_SIZE (SIZE_RESTORED, new client width and
// height), a change of position WM_MOVE. x and y are relative to the parent's client area
// for child windows.
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
// Marks the window as needing to be painted; it gets WM_PAINT when it is updated.
BOOL InvalidateRect(HWND hWnd, LPCRECT lpRect, BOOL bErase);
// Sends WM_PAINT now when the window is visible and marked; the mark is cleared first.
BOOL UpdateWindow(HWND hWnd);
BOOL RedrawWindow(HWND hWnd, LPCRECT lprcUpdate, void* hrgnUpdate, UINT flags);
BOOL SetWindowText(HWND hWnd, LPCSTR lpString);
// Copies at most nMaxCount - 1 bytes (never half a double-byte character) and a zero;
// returns the bytes copied.
int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount);
int GetWindowTextLength(HWND hWnd);
// The first child with control id nIDDlgItem; null when there is none.
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
LRESULT SendDlgItemMessage(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
UINT GetDlgItemText(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
LONG GetWindowLong(HWND hWnd, int nIndex);  // GWL_STYLE, GWL_EXSTYLE, GWL_ID
LONG SetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong);
int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount);
// Multiply-then-divide conversion of a rectangle from dialog units to pixels of hDlg.
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
// The host's message box, shown by the UI backend. Returns the button pressed (IDOK for a
// box with only OK, which needs no answer).
int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
void MessageBeep(UINT uType);
// The dialog manager's keys for hDlg: Enter runs the default button (DM_GETDEFID, else
// IDOK) unless the message is for a multi-line edit box that wants Enter; Esc sends
// IDCANCEL; Tab moves the focus to the next tab stop. TRUE when the message was used.
BOOL IsDialogMessage(HWND hDlg, MSG* lpMsg);

#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_RETRYCANCEL 0x00000005L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONMASK 0x000000F0L
#define WM_KEYFIRST 0x0100
#define WM_KEYLAST 0x0109
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSELAST 0x020E

// ---------------------------------------------------------------------------------------
// CCmdTarget and CWnd.

class CCmdTarget : public CObject {
public:
  // Looks nID and nCode up in the message map (most derived class first) and calls the
  // handler. TRUE when one was found.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // The first entry for message nMessage (with nCode and nID for WM_COMMAND) in the maps of
  // this class and its bases; null when none.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};

class CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)

public:
  CWnd();
  // Destroys the window when the object still owns one.
  ~CWnd() override;

  HWND m_hWnd;
  // Unlike MFC these must not be called through a null pointer; AfxGetSafeHwnd(pWnd) is the
  // null-safe form.
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object bound to hWnd; for a window without one, an object owned by the window and
  // valid until it is destroyed. Null for a handle that is not a window.
  static CWnd* FromHandle(HWND hWnd);
  // The object bound to hWnd, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);
  // Binds the object to a window without changing the window's procedure.
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  // Binds the object and routes the window's messages through its message map; messages it
  // does not handle go on to the window's previous procedure. FALSE when the window is
  // already bound to another object or this object already has a window.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
              CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();

  // Relations.
  CWnd* GetParent() const;
  CWnd* SetParent(CWnd* pWndNewParent);
  CWnd* GetOwner() const;
  CWnd* GetTopLevelParent() const;
  CWnd* GetDlgItem(int nID) const;
  void GetDlgItem(int nID, HWND* phWnd) const;
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int nID);

  // State.
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsWindowEnabled() const;
  CWnd* SetFocus();
  static CWnd* GetFocus();
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

  // Geometry.
  void GetWindowRect(LPRECT lpRect) const;
  void GetClientRect(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const;
  void ScreenToClient(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const;
  void ClientToScreen(LPRECT lpRect) const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  // Centres the window over its owner (or the main window).
  void CenterWindow(CWnd* pAlternateOwner = nullptr);

  // Painting.
  void Invalidate(BOOL bErase = TRUE);
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, void* prgnUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  void SetRedraw(BOOL bRedraw = TRUE);

  // Text.
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int nID, LPCTSTR lpszString);
  int GetDlgItemText(int nID, CString& rString) const;
  int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
  // The item's text as a number; *lpTrans (when given) tells whether it was one.
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
  void CheckDlgButton(int nIDButton, UINT nCheck);
  UINT IsDlgButtonChecked(int nIDButton) const;

  // Messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

  // Filters a message before it is dispatched (mouse and keyboard messages of the running
  // dialog pass through every window from the target up to the dialog); TRUE stops it.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual void DoDataExchange(class CDataExchange* pDX);
  // Runs data exchange in the direction given: TRUE reads the controls into the members.
  // FALSE when a control's text could not be read into its member (the person was told).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Handlers of window messages; each does the default processing.
  afx_msg void OnPaint();
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);

  // The procedure of a bound window: the message map, else DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
  // Routes a message through the message map. TRUE (and *pResult) when a handler ran.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // WM_COMMAND: control notifications and commands through OnCmdMsg.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // The window's previous procedure (or the system default).
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default processing of the message being handled.
  LRESULT Default();
  // Called after the window is gone (WM_NCDESTROY); the object is already unbound.
  virtual void PostNcDestroy();

  WNDPROC m_pfnSuper;

  DECLARE_MESSAGE_MAP()

  friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
};

inline HWND AfxGetSafeHwnd(const CWnd* pWnd) { return pWnd ? pWnd->m_hWnd : nullptr; }

// The procedure of windows bound with SubclassWindow.
LRESULT AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// The host's main window: a top-level window that exists for the whole process.
CWnd* AfxGetMainWnd();

template <auto pfn>
LRESULT AfxCall_mouse(CCmdTarget* t, UINT, WPARAM w, LPARAM l) {
  (static_cast<AfxClassOf<pfn>*>(t)->*pfn)(static_cast<UINT>(w), CPoint(l));
  return 0;
}
template <auto pfn>
LRESULT AfxCall_focus(CCmdTarget* t, UINT, WPARAM w, LPARAM) {
  (static_cast<AfxClassOf<pfn>*>(t)->*pfn)(CWnd::FromHandle(reinterpret_cast<HWND>(w)));
  return 0;
}

// ---------------------------------------------------------------------------------------
// Dialogs.

// One direction of data exchange between a dialog's controls and its members.
class CDataExchange {
public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
  BOOL m_bSaveAndValidate;  // TRUE: controls to members
  CWnd* m_pDlgWnd;
  // The control (after checking it exists); null when the dialog has no such control, which
  // fails the exchange.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Marks the exchange failed and puts the focus on the last prepared control. The rest of
  // the exchange is skipped; UpdateData returns FALSE.
  void Fail();
  BOOL m_bFailed = FALSE;
  HWND m_hWndLastControl = nullptr;
};

// Binds rControl to control nIDC (once: a bound object is left as it is).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Text of control nIDC to and from a member. Numbers are shown with "%d", "%u", "%ld",
// "%lu", "%.*g" with 15 digits (double) or 6 (float); read back as such numbers with blanks
// around allowed. A text that is not a number tells the person ("请输入一个整数。",
// "请输入一个数字。") and fails the exchange, leaving the member unchanged.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, unsigned long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
// Check state of a check box (BST_ values).
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Selected row of a list or combo box (-1 for none).
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// Text of a combo box's field; loading selects the first row that starts with the text (a
// combo with an edit field also takes the text itself).
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

public:
  CDialog();
  // nIDTemplate: the dialog template's resource id, found along the resource chain when the
  // dialog runs. pParentWnd: the owner; null means the running dialog or the main window.
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);  // MAKEINTRESOURCE ids only
  ~CDialog() override;

  // Makes the dialog from its template, disables the owner, initialises (WM_INITDIALOG),
  // shows it and lets the UI backend run it until EndDialog. Returns the EndDialog result
  // (IDOK, IDCANCEL or what the dialog gave), -1 when the template cannot be found or a
  // control's window class does not exist. When the backend has no more input the dialog is
  // cancelled as if Esc was pressed (and ended with IDCANCEL if it does not end then).
  virtual INT_PTR DoModal();
  // Ends the modal run with nResult; the dialog is hidden and destroyed when DoModal returns.
  void EndDialog(int nResult);
  // A modeless dialog from template nIDTemplate (shown when the template says WS_VISIBLE).
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  // WM_INITDIALOG: loads the controls from the members (UpdateData(FALSE)); TRUE lets the
  // dialog put the focus on its first tab stop.
  virtual BOOL OnInitDialog();
  // IDOK: UpdateData(TRUE), then EndDialog(IDOK) when that succeeded.
  virtual void OnOK();
  // IDCANCEL: EndDialog(IDCANCEL).
  virtual void OnCancel();
  BOOL PreTranslateMessage(MSG* pMsg) override;

  void SetDefID(UINT nID);
  DWORD GetDefID() const;
  void GotoDlgCtrl(CWnd* pWndCtrl);
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void MapDialogRect(LPRECT lpRect) const;

  // Observation: whether a modal run is going on and has not been ended.
  BOOL ContinueModal() const { return m_bInModal && !m_bEndRequested; }

  UINT m_nIDHelp;
  LPCTSTR m_lpszTemplateName;
  CWnd* m_pParentWnd;
  int m_nModalResult;

protected:
  // WM_INITDIALOG: calls OnInitDialog.
  afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  // Makes the window and its controls from the template (no WM_INITDIALOG yet).
  BOOL CreateFromTemplate(HWND hWndOwner);

  DECLARE_MESSAGE_MAP()

private:
  bool m_bInModal = false;
  bool m_bEndRequested = false;
};

// ---------------------------------------------------------------------------------------
// Controls. Each wraps a window of its class; its members send the class's messages.

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

public:
  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);
};

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

public:
  BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCheck() const;
  void SetCheck(int nCheck);
  UINT GetState() const;
  void SetState(BOOL bHighlight);
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
};

// A single- or multi-line edit box. Positions are byte offsets into the text; a line break
// typed into a multi-line box is "\r\n".
class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // Selection start in the low word, end in the high word.
  DWORD GetSel() const;
  void GetSel(int& nStartChar, int& nEndChar) const;
  // Selects from nStartChar to nEndChar (-1 as the end: to the end of the text; -1 as the
  // start: no selection, the caret stays).
  void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE);
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  // Replaces the selection (or inserts at the caret) and raises EN_UPDATE and EN_CHANGE.
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
  // The most bytes a person may type; 0 means the largest limit.
  void LimitText(int nChars = 0);
  void SetLimitText(UINT nMax);
  UINT GetLimitText() const;
  void Clear();
  BOOL SetReadOnly(BOOL bReadOnly = TRUE);
  int GetLineCount() const;
  BOOL GetModify() const;
  void SetModify(BOOL bModified = TRUE);
};

// Character ranges and event masks of rich edit controls.
struct CHARRANGE {
  LONG cpMin;
  LONG cpMax;
};
#define EM_EXGETSEL (WM_USER + 52)
#define EM_EXLIMITTEXT (WM_USER + 53)
#define EM_EXSETSEL (WM_USER + 55)
#define EM_GETEVENTMASK (WM_USER + 59)
#define EM_SETBKGNDCOLOR (WM_USER + 67)
#define EM_SETEVENTMASK (WM_USER + 69)
#define ENM_NONE 0x00000000
#define ENM_CHANGE 0x00000001
#define ENM_UPDATE 0x00000002

// A standard list box with strings. Rows are numbered from 0. With LBS_SORT, AddString puts
// the row in sorted place: ignoring ASCII letter case, symbols before digits before letters
// before double-byte characters (by code, which puts the common Chinese characters in
// pinyin order); equal rows keep the order they were added in. InsertString never sorts.
class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCount() const;
  int GetCurSel() const;
  // Selects row nSelect (-1: none). LB_ERR for a row that does not exist (and for -1).
  int SetCurSel(int nSelect);
  int GetTopIndex() const;
  int SetTopIndex(int nIndex);
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  void* GetItemDataPtr(int nIndex) const;
  int SetItemDataPtr(int nIndex, void* pData);
  int GetText(int nIndex, LPTSTR lpszBuffer) const;
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const;
  // The new row's index.
  int AddString(LPCTSTR lpszItem);
  int InsertString(int nIndex, LPCTSTR lpszItem);  // nIndex -1: at the end
  // The number of rows left; LB_ERR for a row that does not exist.
  int DeleteString(UINT nIndex);
  void ResetContent();
  // The first row after nStartAfter (-1: from the top), wrapping round, whose text begins
  // with (FindString) or equals (FindStringExact) lpszItem ignoring letter case; LB_ERR.
  int FindString(int nStartAfter, LPCTSTR lpszItem) const;
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
  int SelectString(int nStartAfter, LPCTSTR lpszItem);
};

// A combo box: a drop-down list (CBS_DROPDOWNLIST) or a list with an edit field
// (CBS_DROPDOWN, CBS_SIMPLE). The window text is the field's text: for a drop-down list the
// selected row's text. Sorting as CListBox with CBS_SORT.
class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  int GetCount() const;
  int GetCurSel() const;
  // Selects row nSelect and puts its text in the field (-1: none, empty field).
  int SetCurSel(int nSelect);
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  void* GetItemDataPtr(int nIndex) const;
  int SetItemDataPtr(int nIndex, void* pData);
  int GetLBText(int nIndex, LPTSTR lpszText) const;
  void GetLBText(int nIndex, CString& rString) const;
  int GetLBTextLen(int nIndex) const;
  int AddString(LPCTSTR lpszString);
  int InsertString(int nIndex, LPCTSTR lpszString);
  int DeleteString(UINT nIndex);
  void ResetContent();
  int FindString(int nStartAfter, LPCTSTR lpszString) const;
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
  int SelectString(int nStartAfter, LPCTSTR lpszString);
  BOOL LimitText(int nMaxChars);
  DWORD GetEditSel() const;
  BOOL SetEditSel(int nStartChar, int nEndChar);
  void ShowDropDown(BOOL bShowIt = TRUE);
  BOOL GetDroppedState() const;
};

// ---------------------------------------------------------------------------------------
// Message boxes and application names.

// Shows lpszText in a box with the application's name as caption; the UI backend shows it.
// Returns the button pressed.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text is string resource nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = UINT(-1));
// The application's name, the caption of message boxes without one: "Contura".
LPCTSTR AfxGetAppName();
