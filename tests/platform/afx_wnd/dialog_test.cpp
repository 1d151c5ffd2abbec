// Dialogs made from templates and run through a backend: structure and state, data
// exchange, actions dispatched through the message map, keyboard, close box, nesting, the
// end of input, and the text a backend shows.
#include <afxcmn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contura/afx/ui_backend.h"
#include "test_backend.h"

using contura::afx::ActionStatus;
using contura::afx::DialogSession;
using contura::afx::RowRef;

namespace {

// The custom control: records its mouse and paint messages.
class CViewCtrl : public CWnd {
public:
  std::vector<std::string> log;

protected:
  afx_msg void OnLButtonDown(UINT, CPoint point) {
    log.push_back("down " + std::to_string(point.x) + "," + std::to_string(point.y));
  }
  afx_msg void OnPaint() { log.push_back("paint"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CViewCtrl, CWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_PAINT()
END_MESSAGE_MAP()

// Keeps a box to a plain number as it is typed: removes the last character while the text is
// not one (the replacement raises EN_UPDATE again).
bool isPlainNumber(const CString& text) {
  int dots = 0;
  for (int i = 0; i < text.GetLength(); ++i) {
    char c = text[i];
    if (c == '.') ++dots;
    else if (c < '0' || c > '9') return false;
  }
  return dots <= 1;
}

class CTestDlg : public CDialog {
public:
  explicit CTestDlg(CWnd* parent = nullptr) : CDialog(IDD_TEST, parent) {}

  CListBox m_list;
  CListBox m_sorted;
  CEdit m_height;
  CComboBox m_kind;
  CComboBox m_choice;
  CRichEditCtrl m_notes;
  CViewCtrl m_view;
  CString m_strName = "初始";
  int m_nNumber = 7;
  std::vector<std::string> log;
  std::vector<std::string> initLog;  // what happened while the dialog was initialised
  int heightUpdates = 0;
  bool endInInit = false;
  bool refuseCancel = false;
  bool nestOnAdd = false;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    for (const char* s : {"矩形", "T形", "L形", "圆"}) m_sorted.SetItemData(m_sorted.AddString(s), reinterpret_cast<DWORD_PTR>(s));
    m_kind.InsertString(0, "整数");
    m_kind.InsertString(1, "小数");
    m_choice.AddString("一");
    m_choice.AddString("二");
    m_choice.SetCurSel(0);
    if (endInInit) EndDialog(77);
    initLog.swap(log);
    return TRUE;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST, m_list);
    DDX_Control(pDX, IDC_SORTED, m_sorted);
    DDX_Control(pDX, IDC_HEIGHT, m_height);
    DDX_Control(pDX, IDC_KIND, m_kind);
    DDX_Control(pDX, IDC_CHOICE, m_choice);
    DDX_Control(pDX, IDC_NOTES, m_notes);
    DDX_Control(pDX, IDC_VIEW, m_view);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_NUMBER, m_nNumber);
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message >= WM_LBUTTONDOWN && pMsg->message <= WM_LBUTTONDBLCLK &&
        ::GetDlgCtrlID(pMsg->hwnd) == IDC_VIEW) {
      log.push_back("pre " + std::to_string(pMsg->message));
      if (pMsg->message == WM_LBUTTONDBLCLK) {
        EndDialog(IDOK);
        return TRUE;
      }
    }
    return CDialog::PreTranslateMessage(pMsg);
  }
  void OnCancel() override {
    log.push_back("cancel");
    if (!refuseCancel) CDialog::OnCancel();
  }

protected:
  afx_msg void OnAdd() {
    CString name;
    GetDlgItemText(IDC_NAME, name);
    m_list.AddString(name);
    log.push_back("add");
    if (nestOnAdd) {
      CDialog nested(IDD_SMALL);
      log.push_back("nested " + std::to_string(nested.DoModal()));
    }
    PostMessage(WM_USER + 1);
  }
  afx_msg void OnListChange() { log.push_back("list " + std::to_string(m_list.GetCurSel())); }
  afx_msg void OnListDoubleClick() { log.push_back("list dbl " + std::to_string(m_list.GetCurSel())); }
  afx_msg void OnSortedChange() {
    int row = m_sorted.GetCurSel();
    log.push_back(std::string("sorted ") + reinterpret_cast<const char*>(m_sorted.GetItemData(row)));
  }
  afx_msg void OnNameUpdate() {
    CString text;
    GetDlgItemText(IDC_NAME, text);
    log.push_back("name " + std::string(text.GetString()));
  }
  afx_msg void OnHeightUpdate() {
    ++heightUpdates;
    CString text;
    m_height.GetWindowText(text);
    if (isPlainNumber(text)) return;
    m_height.SetWindowText(text.Left(text.GetLength() - 1));
    m_height.SetSel(text.GetLength() - 1, text.GetLength() - 1);
  }
  afx_msg void OnKindEdit() { log.push_back("kind edit"); }
  afx_msg void OnChoiceChange() { log.push_back("choice " + std::to_string(m_choice.GetCurSel())); }
  afx_msg void OnSize(UINT, int cx, int cy) { log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
  afx_msg void OnClose() {
    log.push_back("close");
    CDialog::OnClose();
  }
  afx_msg LRESULT OnPosted(WPARAM, LPARAM) {
    log.push_back("posted");
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
  ON_BN_CLICKED(IDC_ADD, OnAdd)
  ON_LBN_SELCHANGE(IDC_LIST, OnListChange)
  ON_LBN_DBLCLK(IDC_LIST, OnListDoubleClick)
  ON_LBN_SELCHANGE(IDC_SORTED, OnSortedChange)
  ON_EN_UPDATE(IDC_NAME, OnNameUpdate)
  ON_EN_UPDATE(IDC_HEIGHT, OnHeightUpdate)
  ON_CBN_EDITCHANGE(IDC_KIND, OnKindEdit)
  ON_CBN_SELCHANGE(IDC_CHOICE, OnChoiceChange)
  ON_WM_SIZE()
  ON_WM_CLOSE()
  ON_MESSAGE(WM_USER + 1, OnPosted)
END_MESSAGE_MAP()

struct Dialogs : ::testing::Test {
  TestBackend backend;
  contura::afx::ScopedUiBackend scope{backend};
  void SetUp() override {
    registerViewClass();
    AfxInitRichEdit2();
  }
  void step(TestBackend::Step s) { backend.steps.push_back(std::move(s)); }
};

CString textOf(HWND h) {
  CString s;
  CWnd::FromHandle(h)->GetWindowText(s);
  return s;
}

TEST_F(Dialogs, MissingTemplateOrUnregisteredClassGivesMinusOne) {
  CDialog missing(999);
  EXPECT_EQ(missing.DoModal(), -1);
  CDialog unknown(IDD_UNKNOWN_CLASS);
  EXPECT_EQ(unknown.DoModal(), -1);
  EXPECT_TRUE(IsWindowEnabled(contura::afx::mainWindow()));
  EXPECT_TRUE(backend.dialogsRun.empty());
}

TEST_F(Dialogs, TemplateBecomesWindowsThatAreShownOwnedAndFocused) {
  CTestDlg dlg;
  HWND main = contura::afx::mainWindow();
  step([&](DialogSession& s) {
    HWND d = s.dialog();
    EXPECT_EQ(s.templateId(), static_cast<UINT>(IDD_TEST));
    EXPECT_EQ(textOf(d), "测试");
    CRect r;
    GetClientRect(d, &r);
    EXPECT_EQ(r, CRect(0, 0, 480, 293));  // 320 x 180 dialog units
    EXPECT_EQ(GetParent(d), main);        // a dialog without a parent is owned by the main window
    EXPECT_FALSE(IsWindowEnabled(main));  // modal
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_LIST));  // the first tab stop
    HWND add = GetDlgItem(d, IDC_ADD);
    char cls[32];
    GetClassName(add, cls, sizeof cls);
    EXPECT_STREQ(cls, "Button");
    EXPECT_EQ(textOf(add), "增加");
    GetWindowRect(add, &r);
    CPoint origin(0, 0);
    ClientToScreen(d, &origin);
    EXPECT_EQ(r, CRect(origin.x + 165, origin.y + 41, origin.x + 225, origin.y + 64));  // 110, 25, 40, 14
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, IDC_HIDDEN)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_DISABLED)));
    // Data exchange loaded the members; the custom control was bound and painted once.
    EXPECT_EQ(textOf(GetDlgItem(d, IDC_NAME)), "初始");
    EXPECT_EQ(textOf(GetDlgItem(d, IDC_NUMBER)), "7");
    EXPECT_EQ(CWnd::FromHandlePermanent(GetDlgItem(d, IDC_VIEW)), &dlg.m_view);
    EXPECT_EQ(dlg.m_view.log, std::vector<std::string>{"paint"});
    EXPECT_EQ(s.click(s.findControl("取消")), ActionStatus::kDone);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.m_list.m_hWnd, nullptr);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(GetFocus(), main);
  EXPECT_EQ(dlg.m_strName, "初始");  // Cancel reads nothing back
}

TEST_F(Dialogs, ActionsReachTheMessageMap) {
  CTestDlg dlg;
  step([&](DialogSession& s) {
    EXPECT_EQ(s.type(s.findControl(std::to_string(IDC_NAME)), "矩形"), ActionStatus::kDone);
    EXPECT_EQ(s.click(s.findControl("增加")), ActionStatus::kDone);
    EXPECT_EQ(s.select(s.findControl(std::to_string(IDC_LIST)), RowRef::number(0)), ActionStatus::kDone);
    EXPECT_EQ(s.doubleClick(s.findControl(std::to_string(IDC_LIST))), ActionStatus::kDone);
    EXPECT_EQ(s.select(s.findControl(std::to_string(IDC_SORTED)), RowRef::named("t形")), ActionStatus::kDone);
    EXPECT_EQ(s.select(s.findControl(std::to_string(IDC_CHOICE)), RowRef::number(1)), ActionStatus::kDone);
    EXPECT_EQ(s.type(s.findControl(std::to_string(IDC_KIND)), "长"), ActionStatus::kDone);
    EXPECT_EQ(s.type(s.findControl(std::to_string(IDC_HEIGHT)), "1.2.x5"), ActionStatus::kDone);
    EXPECT_EQ(s.resize(600, 400), ActionStatus::kDone);
    EXPECT_EQ(s.pressOk(), ActionStatus::kDone);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  // Loading "初始" raised one update; deleting it another, then one per typed character.
  EXPECT_EQ(dlg.initLog, std::vector<std::string>{"name 初始"});
  EXPECT_EQ(dlg.log, (std::vector<std::string>{"name ", "name 矩", "name 矩形", "add", "posted", "list 0", "list dbl 0",
                                               "sorted T形", "choice 1", "kind edit", "size 600x400"}));
  EXPECT_EQ(dlg.m_strName, "矩形");  // OK read the box back
  // "1.2.x5": the second '.' and the 'x' were taken back at once, so "1.25" is left; each
  // typed character and each taking back raised EN_UPDATE.
  EXPECT_EQ(dlg.heightUpdates, 6 + 2);
}

TEST_F(Dialogs, ActionsOnControlsThatCannotTakeThemChangeNothing) {
  CTestDlg dlg;
  step([&](DialogSession& s) {
    EXPECT_EQ(s.findControl("999"), nullptr);
    EXPECT_EQ(s.findControl("没有"), nullptr);
    EXPECT_EQ(s.click(nullptr), ActionStatus::kNoSuchControl);
    EXPECT_EQ(s.click(s.findControl("隐藏")), ActionStatus::kHidden);
    EXPECT_EQ(s.click(s.findControl(std::to_string(IDC_DISABLED))), ActionStatus::kDisabled);
    EXPECT_EQ(s.select(s.findControl("增加"), RowRef::number(0)), ActionStatus::kWrongKind);
    EXPECT_EQ(s.type(s.findControl(std::to_string(IDC_CHOICE)), "x"), ActionStatus::kWrongKind);
    EXPECT_EQ(s.select(s.findControl(std::to_string(IDC_SORTED)), RowRef::number(4)), ActionStatus::kNoSuchRow);
    EXPECT_EQ(s.select(s.findControl(std::to_string(IDC_SORTED)), RowRef::named("无")), ActionStatus::kNoSuchRow);
    // A control of the main window is not the dialog's.
    HWND foreign = CreateWindowEx(0, "Button", "外", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, contura::afx::mainWindow(),
                                  reinterpret_cast<HMENU>(1), nullptr, nullptr);
    EXPECT_EQ(s.click(foreign), ActionStatus::kNoSuchControl);
    DestroyWindow(foreign);
    EXPECT_EQ(s.pressCancel(), ActionStatus::kDone);
    EXPECT_EQ(s.click(s.findControl("增加")), ActionStatus::kEnded);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.log, std::vector<std::string>{"cancel"});
}

TEST_F(Dialogs, MouseOnACustomControlPassesThroughPreTranslateMessage) {
  CTestDlg dlg;
  step([&](DialogSession& s) {
    HWND view = s.findControl(std::to_string(IDC_VIEW));
    s.click(view);
    EXPECT_EQ(dlg.m_view.log.back(), "down 75,81");  // the centre of 100 x 100 dialog units
    s.doubleClick(view);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  const std::string down = std::to_string(WM_LBUTTONDOWN), up = std::to_string(WM_LBUTTONUP),
                    dbl = std::to_string(WM_LBUTTONDBLCLK);
  EXPECT_EQ(dlg.log, (std::vector<std::string>{"pre " + down, "pre " + up, "pre " + down, "pre " + up, "pre " + dbl}));
}

TEST_F(Dialogs, CloseBoxCancelsAndTheEndOfInputCancelsEvenADialogThatRefuses) {
  CTestDlg a, b;
  step([&](DialogSession& s) { s.close(); });
  EXPECT_EQ(a.DoModal(), IDCANCEL);
  EXPECT_EQ(a.log, (std::vector<std::string>{"close", "cancel"}));
  EXPECT_EQ(b.DoModal(), IDCANCEL);
  EXPECT_EQ(b.log, std::vector<std::string>{"cancel"});
  CTestDlg stubborn;
  stubborn.refuseCancel = true;
  EXPECT_EQ(stubborn.DoModal(), IDCANCEL);
  EXPECT_EQ(stubborn.m_hWnd, nullptr);
}

TEST_F(Dialogs, EndDialogDuringInitialisationSkipsTheLoop) {
  CTestDlg dlg;
  dlg.endInInit = true;
  EXPECT_EQ(dlg.DoModal(), 77);
  EXPECT_TRUE(backend.dialogsRun.empty());
}

TEST_F(Dialogs, NestedDialogIsOwnedByTheRunningOne) {
  CTestDlg dlg;
  dlg.nestOnAdd = true;
  HWND outer = nullptr;
  step([&](DialogSession& s) {
    outer = s.dialog();
    s.click(s.findControl("增加"));
    EXPECT_TRUE(IsWindowEnabled(outer));  // enabled again when the nested one ended
    s.pressCancel();
  });
  step([&](DialogSession& s) {
    EXPECT_EQ(s.templateId(), static_cast<UINT>(IDD_SMALL));
    EXPECT_EQ(GetParent(s.dialog()), outer);
    EXPECT_FALSE(IsWindowEnabled(outer));
    EXPECT_EQ(contura::afx::runningDialogs(), (std::vector<HWND>{outer, s.dialog()}));
    s.type(s.findControl(std::to_string(IDC_NAME)), "x\n");  // Enter in a one-line box: the default button
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(backend.dialogsRun, (std::vector<UINT>{IDD_TEST, IDD_SMALL}));
  EXPECT_EQ(dlg.log, (std::vector<std::string>{"add", "nested 1", "posted", "cancel"}));
  EXPECT_TRUE(contura::afx::runningDialogs().empty());
}

TEST_F(Dialogs, DescriptionShowsControlsRowsAndStates) {
  CTestDlg dlg;
  std::string small, list, notes;
  dlg.nestOnAdd = true;
  step([&](DialogSession& s) {
    s.type(s.findControl(std::to_string(IDC_NOTES)), "第一\n二");
    notes = s.describeControl(s.findControl(std::to_string(IDC_NOTES)));
    s.select(s.findControl(std::to_string(IDC_SORTED)), RowRef::number(1));
    list = s.describeControl(s.findControl(std::to_string(IDC_SORTED)));
    s.click(s.findControl("增加"));
    s.pressCancel();
  });
  step([&](DialogSession& s) {
    s.type(s.findControl(std::to_string(IDC_NAME)), "ab");
    small = s.describe();
    s.pressCancel();
  });
  dlg.DoModal();
  EXPECT_EQ(small,
            "对话框 “小” (301) 150 x 81\n"
            "  [1002] 编辑框 “ab” （焦点）\n"
            "  [1] 按钮 “确定” （默认）\n");
  EXPECT_EQ(list,
            "  [1007] 列表框 4 行 （焦点）\n"
            "          0  L形\n"
            "        > 1  T形\n"
            "          2  矩形\n"
            "          3  圆\n");
  EXPECT_EQ(notes, "  [1011] 富文本框 “第一” （焦点）\n        | 二\n");
}

// A one-box dialog exchanging a number of type T with the box.
template <class T>
class CNumberDlg : public CDialog {
public:
  explicit CNumberDlg(T value) : CDialog(IDD_SMALL), m_value(value) {}
  T m_value;
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NAME, m_value); }
};

TEST_F(Dialogs, NumbersAreShownWithTheirPrecisionAndReadBackStrictly) {
  std::vector<std::string> shown;
  auto showAndType = [&](std::vector<std::string> typed) {
    step([&, typed](DialogSession& s) {
      shown.push_back(textOf(s.findControl(std::to_string(IDC_NAME))).GetString());
      HWND box = s.findControl(std::to_string(IDC_NAME));
      for (const std::string& t : typed) {
        s.type(box, t);
        s.pressOk();
        if (!s.ended()) {
          EXPECT_EQ(GetFocus(), box) << t;  // back in the box that was refused
        }
      }
    });
  };
  showAndType({"  2.5 "});
  CNumberDlg<double> third(1.0 / 3.0);
  EXPECT_EQ(third.DoModal(), IDOK);
  EXPECT_EQ(third.m_value, 2.5);

  showAndType({"-0", "1e3x", "-7"});
  CNumberDlg<float> f(1.0f / 3.0f);
  EXPECT_EQ(f.DoModal(), IDOK);
  EXPECT_EQ(f.m_value, -7.0f);

  showAndType({"", "12.5", " 40 "});
  CNumberDlg<int> i(-3);
  EXPECT_EQ(i.DoModal(), IDOK);
  EXPECT_EQ(i.m_value, 40);

  EXPECT_EQ(shown, (std::vector<std::string>{"0.333333333333333", "0.333333", "-3"}));
  // "-0" (a zero not written as 0), "1e3x", "" and "12.5" were refused, each with a message,
  // and the dialog stayed open with the focus in the box.
  std::vector<std::string> messages;
  for (const auto& box : backend.boxes) messages.push_back(box.text);
  EXPECT_EQ(messages, (std::vector<std::string>{"请输入一个数字。", "请输入一个数字。", "请输入一个整数。", "请输入一个整数。"}));
}

}  // namespace
