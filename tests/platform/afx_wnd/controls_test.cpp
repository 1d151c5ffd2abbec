// The standard controls on their own: list and combo rows, sorting, item data and selection;
// edit typing, styles, limits and notifications; buttons and radio groups.
#include <afxcmn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contura/afx/ui_backend.h"

namespace {

// A parent that records every notification as "code id".
class CParent : public CWnd {
public:
  std::vector<std::string> log;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM) override {
    log.push_back(std::to_string(HIWORD(wParam)) + " " + std::to_string(LOWORD(wParam)));
    return TRUE;
  }
};

struct Controls : ::testing::Test {
  CParent parent;
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, "#32770", "p", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 300), AfxGetMainWnd(), 0));
  }
  void TearDown() override { parent.DestroyWindow(); }
  void type(CWnd& w, const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      WPARAM code = c;
      if (c >= 0x81 && i + 1 < text.size()) code = (code << 8) | static_cast<unsigned char>(text[++i]);
      w.SendMessage(WM_CHAR, code, 1);
    }
  }
  CString textOf(CWnd& w) {
    CString s;
    w.GetWindowText(s);
    return s;
  }
};

std::vector<std::string> rowsOf(CListBox& list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list.GetCount(); ++i) {
    CString s;
    list.GetText(i, s);
    rows.push_back(s.GetString());
  }
  return rows;
}

TEST_F(Controls, SortedListBoxOrdersRowsAndKeepsItemData) {
  CListBox list;
  ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_SORT | LBS_NOTIFY, CRect(0, 0, 100, 100), &parent, 10));
  const char* names[] = {"b", "矩形", "A", "10", "a", "_x", "Beta", "T形", "B"};
  for (DWORD_PTR i = 0; i < std::size(names); ++i) list.SetItemData(list.AddString(names[i]), i);
  // Symbols, digits, letters ignoring case (lower case first when equal), then double-byte
  // characters.
  EXPECT_EQ(rowsOf(list), (std::vector<std::string>{"_x", "10", "a", "A", "b", "B", "Beta", "T形", "矩形"}));
  for (int i = 0; i < list.GetCount(); ++i) {
    CString s;
    list.GetText(i, s);
    EXPECT_EQ(s, names[list.GetItemData(i)]) << "row " << i;
  }
  // InsertString never sorts.
  EXPECT_EQ(list.InsertString(0, "zzz"), 0);
  int count = list.GetCount();
  EXPECT_EQ(list.InsertString(-1, "000"), count);
  EXPECT_EQ(list.InsertString(list.GetCount() + 1, "bad"), LB_ERR);
  EXPECT_TRUE(parent.log.empty());  // the program's own changes raise no notifications
}

TEST_F(Controls, ListSelectionFollowsInsertionsAndDeletions) {
  CListBox list;
  ASSERT_TRUE(list.Create(WS_VISIBLE, CRect(0, 0, 100, 100), &parent, 11));
  for (const char* s : {"zero", "one", "two", "three"}) list.AddString(s);  // unsorted: added at the end
  EXPECT_EQ(list.GetCurSel(), LB_ERR);
  EXPECT_EQ(list.SetCurSel(2), 2);
  EXPECT_EQ(list.SetCurSel(9), LB_ERR);
  EXPECT_EQ(list.GetCurSel(), 2);  // a bad row leaves the selection
  list.InsertString(0, "new");
  EXPECT_EQ(list.GetCurSel(), 3);
  EXPECT_EQ(list.DeleteString(0), 4);
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_EQ(list.DeleteString(2), 3);  // the selected row goes: no selection
  EXPECT_EQ(list.GetCurSel(), LB_ERR);
  EXPECT_EQ(list.DeleteString(7), LB_ERR);
  EXPECT_EQ(list.GetItemData(7), static_cast<DWORD_PTR>(LB_ERR));

  EXPECT_EQ(list.FindString(-1, "ON"), 1);  // prefix, ignoring case
  EXPECT_EQ(list.FindString(1, "t"), 2);    // after row 1
  EXPECT_EQ(list.FindString(2, "o"), 1);    // wraps round
  EXPECT_EQ(list.FindStringExact(-1, "thre"), LB_ERR);
  EXPECT_EQ(list.FindStringExact(-1, "THREE"), 2);
  EXPECT_EQ(list.SelectString(-1, "ze"), 0);
  EXPECT_EQ(list.GetCurSel(), 0);
  list.ResetContent();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCurSel(), LB_ERR);
}

TEST_F(Controls, ComboBoxFieldFollowsSelectionAndTyping) {
  CComboBox drop, list;
  ASSERT_TRUE(drop.Create(WS_VISIBLE | CBS_DROPDOWN, CRect(0, 0, 100, 100), &parent, 20));
  ASSERT_TRUE(list.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 0, 100, 100), &parent, 21));
  for (CComboBox* c : {&drop, &list}) {
    c->InsertString(0, "整数");
    c->InsertString(1, "小数");
  }
  EXPECT_EQ(drop.SetCurSel(1), 1);
  EXPECT_EQ(textOf(drop), "小数");
  EXPECT_EQ(drop.SetCurSel(5), CB_ERR);  // a combo box clears its selection and field then
  EXPECT_EQ(drop.GetCurSel(), CB_ERR);
  EXPECT_EQ(textOf(drop), "");

  drop.SetWindowText("自定");  // free text in the field; no notification from the program
  EXPECT_EQ(textOf(drop), "自定");
  drop.SetEditSel(0, -1);
  type(drop, "ab");
  EXPECT_EQ(textOf(drop), "ab");
  EXPECT_EQ(parent.log, (std::vector<std::string>{"6 20", "5 20", "6 20", "5 20"}));  // EDITUPDATE, EDITCHANGE

  // A drop-down list's text is its selected row; text that is no row is refused.
  list.SetCurSel(0);
  EXPECT_EQ(textOf(list), "整数");
  list.SetWindowText("小数");
  EXPECT_EQ(list.GetCurSel(), 1);
  list.SetWindowText("别的");
  EXPECT_EQ(list.GetCurSel(), 1);
  list.DeleteString(1);
  EXPECT_EQ(textOf(list), "");
  CString row;
  list.GetLBText(0, row);
  EXPECT_EQ(row, "整数");
}

TEST_F(Controls, EditBoxTypingHonoursStylesLimitsAndDoubleByteCharacters) {
  CEdit plain, number, upper;
  ASSERT_TRUE(plain.Create(WS_VISIBLE, CRect(0, 0, 100, 20), &parent, 30));
  ASSERT_TRUE(number.Create(WS_VISIBLE | ES_NUMBER, CRect(0, 0, 100, 20), &parent, 31));
  ASSERT_TRUE(upper.Create(WS_VISIBLE | ES_UPPERCASE, CRect(0, 0, 100, 20), &parent, 32));

  type(plain, "a截面b");
  EXPECT_EQ(textOf(plain), "a截面b");
  plain.SendMessage(WM_CHAR, 0x08, 1);
  plain.SendMessage(WM_CHAR, 0x08, 1);  // a double-byte character goes whole
  EXPECT_EQ(textOf(plain), "a截");
  plain.SetSel(1, 1);
  type(plain, "-");
  EXPECT_EQ(textOf(plain), "a-截");
  int start = 0, end = 0;
  plain.GetSel(start, end);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(end, 2);
  plain.SetSel(0, 3);  // inside the double-byte character: moved to its start
  plain.GetSel(start, end);
  EXPECT_EQ(end, 2);
  plain.SetSel(0, -1);
  plain.ReplaceSel("新");
  EXPECT_EQ(textOf(plain), "新");

  type(number, "1a2-3.");
  EXPECT_EQ(textOf(number), "123");
  type(upper, "ab");
  EXPECT_EQ(textOf(upper), "AB");

  plain.SetWindowText("");
  plain.LimitText(3);
  parent.log.clear();
  type(plain, "12截");  // two bytes do not fit after "12"
  EXPECT_EQ(textOf(plain), "12");
  type(plain, "3");
  EXPECT_EQ(textOf(plain), "123");
  EXPECT_EQ(parent.log, (std::vector<std::string>{"1024 30", "768 30", "1024 30", "768 30", "1281 30",
                                                  "1024 30", "768 30"}));  // EN_UPDATE, EN_CHANGE, EN_MAXTEXT
  plain.SetReadOnly(TRUE);
  type(plain, "4");
  EXPECT_EQ(textOf(plain), "123");
}

TEST_F(Controls, MultiLineAndRichEditBoxes) {
  AfxInitRichEdit2();
  CEdit multi;
  CRichEditCtrl rich;
  ASSERT_TRUE(multi.Create(WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, CRect(0, 0, 100, 60), &parent, 40));
  ASSERT_TRUE(rich.Create(WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 100, 60), &parent, 41));
  type(multi, "a\rb");
  EXPECT_EQ(textOf(multi), "a\r\nb");
  EXPECT_EQ(multi.GetLineCount(), 2);
  multi.SendMessage(WM_CHAR, 0x08, 1);
  multi.SendMessage(WM_CHAR, 0x08, 1);  // the line break goes as one
  EXPECT_EQ(textOf(multi), "a");

  parent.log.clear();
  multi.SetWindowText("set by the program");  // a multi-line box does not report this
  rich.SetWindowText("x");
  type(rich, "y");  // no events asked for
  EXPECT_TRUE(parent.log.empty());
  rich.SetEventMask(ENM_CHANGE);
  type(rich, "z");
  EXPECT_EQ(parent.log, std::vector<std::string>{"768 41"});
  EXPECT_EQ(textOf(rich), "yzx");  // WM_SETTEXT put the caret at the start
  long s = 0, e = 0;
  rich.SetSel(0, -1);
  rich.GetSel(s, e);
  EXPECT_EQ(e, 3);
}

TEST_F(Controls, ButtonsCheckBoxesAndRadioGroups) {
  CButton push, check, r1, r2, r3, other;
  ASSERT_TRUE(push.Create("按", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 10, 10), &parent, 50));
  ASSERT_TRUE(check.Create("勾", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(0, 0, 10, 10), &parent, 51));
  ASSERT_TRUE(r1.Create("1", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(0, 0, 10, 10), &parent, 52));
  ASSERT_TRUE(r2.Create("2", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(0, 0, 10, 10), &parent, 53));
  ASSERT_TRUE(r3.Create("3", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(0, 0, 10, 10), &parent, 54));
  ASSERT_TRUE(other.Create("4", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(0, 0, 10, 10), &parent, 55));
  other.SetCheck(BST_CHECKED);
  push.SendMessage(BM_CLICK);
  check.SendMessage(BM_CLICK);
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
  check.SendMessage(BM_CLICK);
  EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
  r1.SendMessage(BM_CLICK);
  r3.SendMessage(BM_CLICK);
  EXPECT_EQ(r1.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(r3.GetCheck(), BST_CHECKED);
  EXPECT_EQ(other.GetCheck(), BST_CHECKED);  // another group
  EXPECT_EQ(push.GetCheck(), BST_UNCHECKED);  // push buttons have no check state
  EXPECT_EQ(parent.log, (std::vector<std::string>{"0 50", "0 51", "0 51", "0 52", "0 54"}));
  EXPECT_EQ(CWnd::GetFocus(), &r3);  // a clicked button takes the focus
}

}  // namespace
