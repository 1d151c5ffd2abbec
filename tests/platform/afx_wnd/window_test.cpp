// Windows: relations, visibility, enabled state, focus, geometry, text, window classes, and
// message maps with base-class chaining and subclassing.
#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contura/afx/ui_backend.h"
#include "test_backend.h"

namespace {

std::vector<std::string>& events() {
  static std::vector<std::string> log;
  return log;
}

// Records focus and size messages.
class CWatched : public CWnd {
protected:
  afx_msg void OnSetFocus(CWnd*) { events().push_back("setfocus " + std::to_string(GetDlgCtrlID())); }
  afx_msg void OnKillFocus(CWnd*) { events().push_back("killfocus " + std::to_string(GetDlgCtrlID())); }
  afx_msg void OnSize(UINT, int cx, int cy) { events().push_back("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWatched, CWnd)
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_SIZE()
END_MESSAGE_MAP()

HWND makePopup(const char* caption = "popup") {
  return CreateWindowEx(0, "#32770", caption, WS_POPUP | WS_VISIBLE, 100, 50, 400, 300,
                        contura::afx::mainWindow(), nullptr, nullptr, nullptr);
}

HWND makeChild(HWND parent, const char* cls, int id, RECT r, DWORD style = WS_VISIBLE | WS_TABSTOP) {
  return CreateWindowEx(0, cls, "", WS_CHILD | style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                        reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

TEST(Windows, ParentsOwnersVisibilityAndEnabledState) {
  HWND main = contura::afx::mainWindow();
  HWND popup = makePopup();
  HWND child = makeChild(popup, "Static", 7, {10, 10, 60, 30});
  HWND grandchild = makeChild(child, "Static", 8, {1, 1, 5, 5});
  HWND overlapped = CreateWindowEx(0, "Static", "", WS_OVERLAPPED, 0, 0, 10, 10, main, nullptr, nullptr, nullptr);

  EXPECT_EQ(GetParent(grandchild), child);
  EXPECT_EQ(GetParent(child), popup);
  EXPECT_EQ(GetParent(popup), main);          // a pop-up's owner
  EXPECT_EQ(GetParent(overlapped), nullptr);  // an overlapped window's owner is not its parent
  EXPECT_EQ(CWnd::FromHandle(grandchild)->GetTopLevelParent()->m_hWnd, popup);
  EXPECT_EQ(GetDlgItem(popup, 7), child);
  EXPECT_EQ(GetDlgCtrlID(child), 7);

  EXPECT_TRUE(IsWindowVisible(grandchild));
  ShowWindow(popup, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(grandchild));  // shown itself, but inside a hidden window
  EXPECT_TRUE(GetWindowLong(grandchild, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(ShowWindow(popup, SW_SHOW));  // reports the previous state
  EXPECT_TRUE(IsWindowVisible(grandchild));

  EXPECT_FALSE(EnableWindow(child, FALSE));
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_TRUE(IsWindowEnabled(grandchild));  // each window has its own state
  EXPECT_TRUE(EnableWindow(child, TRUE));

  // A new parent that is a descendant is refused; a proper one moves the child.
  EXPECT_EQ(SetParent(child, grandchild), nullptr);
  HWND other = makePopup("other");
  EXPECT_EQ(SetParent(child, other), popup);
  EXPECT_EQ(GetDlgItem(popup, 7), nullptr);
  EXPECT_EQ(GetDlgItem(other, 7), child);

  DestroyWindow(popup);
  DestroyWindow(other);
  DestroyWindow(overlapped);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(grandchild));
  EXPECT_EQ(CWnd::FromHandle(child), nullptr);
}

TEST(Windows, FocusFollowsHidingDisablingAndDestroying) {
  HWND main = contura::afx::mainWindow();
  HWND popup = makePopup();
  CWatched a, b;
  ASSERT_TRUE(a.SubclassWindow(makeChild(popup, "Edit", 1, {0, 0, 50, 20})));
  ASSERT_TRUE(b.SubclassWindow(makeChild(popup, "Edit", 2, {0, 30, 50, 50})));
  events().clear();

  a.SetFocus();
  b.SetFocus();
  EXPECT_EQ(CWnd::GetFocus(), &b);
  EXPECT_EQ(events(), (std::vector<std::string>{"setfocus 1", "killfocus 1", "setfocus 2"}));

  // A disabled window cannot take the focus.
  a.EnableWindow(FALSE);
  EXPECT_EQ(::SetFocus(a.m_hWnd), nullptr);
  EXPECT_EQ(GetFocus(), b.m_hWnd);

  // Disabling the focused window takes the focus away.
  b.EnableWindow(FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
  a.EnableWindow(TRUE);
  b.EnableWindow(TRUE);

  // Hiding the window that holds the focus gives it to the enabled owner, else to nobody.
  b.SetFocus();
  ShowWindow(popup, SW_HIDE);
  EXPECT_EQ(GetFocus(), main);
  ShowWindow(popup, SW_SHOW);
  b.SetFocus();
  EnableWindow(main, FALSE);
  ShowWindow(popup, SW_HIDE);
  EXPECT_EQ(GetFocus(), nullptr);
  EnableWindow(main, TRUE);

  // Hiding a child that holds the focus leaves it nowhere.
  ShowWindow(popup, SW_SHOW);
  a.SetFocus();
  a.ShowWindow(SW_HIDE);
  EXPECT_EQ(GetFocus(), nullptr);
  // Destroying the top-level window gives the focus to its enabled owner.
  b.SetFocus();
  DestroyWindow(popup);
  EXPECT_EQ(GetFocus(), main);
  EXPECT_EQ(a.m_hWnd, nullptr);  // unbound when the window went
}

TEST(Windows, GeometryInPixelsAndDialogUnits) {
  HWND popup = makePopup();
  CWatched child;
  ASSERT_TRUE(child.SubclassWindow(makeChild(popup, "Static", 3, {20, 30, 120, 80})));
  CRect r;
  child.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(120, 80, 220, 130));  // the pop-up sits at (100, 50) on the screen
  child.GetClientRect(&r);
  EXPECT_EQ(r, CRect(0, 0, 100, 50));
  CPoint p(5, 6);
  child.ClientToScreen(&p);
  EXPECT_EQ(p, CPoint(125, 86));
  child.ScreenToClient(&p);
  EXPECT_EQ(p, CPoint(5, 6));

  events().clear();
  child.MoveWindow(0, 0, 100, 50);  // moved only: no WM_SIZE
  child.MoveWindow(0, 0, 60, 40);
  EXPECT_EQ(events(), std::vector<std::string>{"size 60x40"});

  // Dialog units: x times 6/4, y times 13/8, rounded half away from zero.
  RECT du{7, 7, 138, 186};
  MapDialogRect(popup, &du);
  EXPECT_EQ(CRect(du), CRect(11, 11, 207, 302));
  DestroyWindow(popup);
}

TEST(Windows, TextIsCopiedWithoutSplittingDoubleByteCharacters) {
  HWND popup = makePopup();
  CWnd* w = CWnd::FromHandle(popup);
  w->SetWindowText("ab截面");
  CString text;
  w->GetWindowText(text);
  EXPECT_EQ(text, "ab截面");
  EXPECT_EQ(w->GetWindowTextLength(), 6);
  char buffer[5];
  EXPECT_EQ(w->GetWindowText(buffer, 5), 4);  // "ab" and one whole character
  EXPECT_STREQ(buffer, "ab截");
  EXPECT_EQ(w->GetWindowText(buffer, 4), 2);  // room for only half of it: left out
  EXPECT_STREQ(buffer, "ab");
  DestroyWindow(popup);
}

TEST(Windows, ClassesMustBeRegisteredBeforeUse) {
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_FALSE(GetClassInfo(nullptr, "RichEdit20A", nullptr)) << "rich edit exists before AfxInitRichEdit2";
  AfxInitRichEdit2();
  EXPECT_TRUE(GetClassInfo(nullptr, "richedit20a", nullptr));  // names ignore case

  WNDCLASS wc{};
  wc.lpfnWndProc = ::DefWindowProc;
  wc.lpszClassName = "CustomA";
  EXPECT_NE(RegisterClass(&wc), 0);
  EXPECT_EQ(RegisterClass(&wc), 0);      // taken
  EXPECT_TRUE(AfxRegisterClass(&wc));    // MFC's form accepts an existing class
  wc.lpszClassName = "Button";
  EXPECT_EQ(RegisterClass(&wc), 0);
  EXPECT_FALSE(UnregisterClass("Button", nullptr));  // standard classes stay
  EXPECT_TRUE(UnregisterClass("customa", nullptr));
  EXPECT_FALSE(GetClassInfo(nullptr, "CustomA", nullptr));

  LPCTSTR first = AfxRegisterWndClass(0);
  EXPECT_STREQ(first, AfxRegisterWndClass(0));
  EXPECT_STRNE(first, AfxRegisterWndClass(1));
  HWND made = CreateWindowEx(0, first, "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(made, nullptr);
  char name[64];
  GetClassName(made, name, sizeof name);
  EXPECT_STREQ(name, first);
  DestroyWindow(made);
}

// Message maps: a derived class's entries come first, its handler may call the base class's,
// and entries the derived map lacks are found in the base map.
class CBaseView : public CWnd {
public:
  std::vector<std::string> log;

protected:
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point) {
    log.push_back("base down " + std::to_string(nFlags) + " " + std::to_string(point.x) + "," + std::to_string(point.y));
  }
  afx_msg void OnPaint() { log.push_back("base paint"); }
  afx_msg void OnRange(UINT nID) { log.push_back("range " + std::to_string(nID)); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseView, CWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_PAINT()
  ON_CONTROL_RANGE(BN_CLICKED, 10, 19, OnRange)
END_MESSAGE_MAP()

class CDerivedView : public CBaseView {
protected:
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point) {
    log.push_back("derived down");
    CBaseView::OnLButtonDown(nFlags, point);
  }
  afx_msg void OnTwelve() { log.push_back("twelve"); }
  afx_msg LRESULT OnUser(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedView, CBaseView)
  ON_WM_LBUTTONDOWN()
  ON_BN_CLICKED(12, OnTwelve)
  ON_MESSAGE(WM_USER + 5, OnUser)
END_MESSAGE_MAP()

TEST(MessageMaps, DerivedEntriesFirstThenBaseEntries) {
  HWND popup = makePopup();
  CDerivedView view;
  ASSERT_TRUE(view.SubclassWindow(makeChild(popup, "Static", 4, {0, 0, 10, 10})));
  view.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, -2));
  view.SendMessage(WM_PAINT);
  view.SendMessage(WM_COMMAND, MAKEWPARAM(12, BN_CLICKED));  // derived entry wins over the range
  view.SendMessage(WM_COMMAND, MAKEWPARAM(15, BN_CLICKED));
  view.SendMessage(WM_COMMAND, MAKEWPARAM(15, EN_CHANGE));    // another code: no handler
  view.SendMessage(WM_COMMAND, MAKEWPARAM(25, BN_CLICKED));   // outside the range
  EXPECT_EQ(view.log, (std::vector<std::string>{"derived down", "base down 1 3,-2", "base paint", "twelve", "range 15"}));
  EXPECT_EQ(view.SendMessage(WM_USER + 5, 40, 2), 42);
  // Unhandled messages reach the window's own procedure.
  view.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("shown"));
  CString text;
  view.GetWindowText(text);
  EXPECT_EQ(text, "shown");
  DestroyWindow(popup);
}

// An edit box subclassed to drop 'x': its handler passes other characters on to the box.
class CNoXEdit : public CEdit {
protected:
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar != 'x') CEdit::OnChar(nChar, nRepCnt, nFlags);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNoXEdit, CEdit)
  ON_WM_CHAR()
END_MESSAGE_MAP()

class CDestroyWatch : public CWnd {
public:
  bool* destroyed = nullptr;

protected:
  void PostNcDestroy() override { *destroyed = true; }
};

TEST(MessageMaps, SubclassedControlsPassMessagesOnAndUnbindWhenDestroyed) {
  HWND popup = makePopup();
  CNoXEdit edit;
  ASSERT_TRUE(edit.SubclassWindow(makeChild(popup, "Edit", 5, {0, 0, 100, 20})));
  for (char c : std::string("axbx")) edit.SendMessage(WM_CHAR, static_cast<WPARAM>(c), 1);
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, "ab");

  // A window bound to one object cannot be bound to another.
  CEdit second;
  EXPECT_FALSE(second.SubclassWindow(edit.m_hWnd));
  HWND h = edit.UnsubclassWindow();
  EXPECT_TRUE(second.SubclassWindow(h));
  second.SendMessage(WM_CHAR, 'x', 1);
  second.GetWindowText(text);
  EXPECT_EQ(text, "abx");

  bool destroyed = false;
  CDestroyWatch watch;
  watch.destroyed = &destroyed;
  ASSERT_TRUE(watch.SubclassWindow(makeChild(popup, "Static", 6, {0, 0, 1, 1})));
  DestroyWindow(popup);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(watch.m_hWnd, nullptr);
  EXPECT_EQ(second.m_hWnd, nullptr);
}

TEST(MessageMaps, ObjectDestroyedFirstTakesItsWindowAlong) {
  HWND popup = makePopup();
  HWND child = nullptr;
  {
    CWnd owned;
    ASSERT_TRUE(owned.CreateEx(0, "Static", "t", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), CWnd::FromHandle(popup), 9));
    child = owned.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(child), &owned);
  }
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(GetDlgItem(popup, 9), nullptr);
  DestroyWindow(popup);
}

}  // namespace
