// The hide-and-restore pair around a pick made from a modal dialog: the dialog is hidden
// exactly while the pick waits for its answer, whatever the pick's outcome.
#include <afxres.h>
#include <afxwin.h>

#include "PickGuard.h"
#include "contura/afx/ui_backend.h"
#include "editor_fixture.h"

namespace {

constexpr UINT kPickDialog = 400;
constexpr UINT kPickButton = 1001;

const AFX_DLGITEM kItems[] = {
    {kPickButton, "Button", "拾取", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 7, 7, 50, 14},
    {IDOK, "Button", "确定", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 7, 25, 50, 14},
};
const AFX_DLGTEMPLATE kDialogs[] = {
    {kPickDialog, "拾取", WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 0, 100, 50, "MS Shell Dlg", 8, kItems, 2},
};

}  // namespace

extern "C" const AFX_RESOURCE_TABLE _afxModuleResources = {kDialogs, 1, nullptr, 0};

namespace {

// A dialog whose button picks a point or selects, with the pair around the request.
class CPickDlg : public CDialog {
public:
  CPickDlg() : CDialog(kPickDialog) {}
  bool selectInstead = false;
  std::vector<int> results;

protected:
  afx_msg void OnPick() {
    CPickGuard guard(this);
    if (selectInstead) {
      ads_name ss;
      int rc = acedSSGet(nullptr, nullptr, nullptr, nullptr, ss);
      if (rc == RTNORM) acedSSFree(ss);
      results.push_back(rc);
    } else {
      ads_point p;
      results.push_back(acedGetPoint(nullptr, "\n选择基点", p));
    }
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPickDlg, CDialog)
  ON_BN_CLICKED(kPickButton, OnPick)
END_MESSAGE_MAP()

// Clicks the pick button `clicks` times, noting after each whether the dialog is shown and
// has the focus again, then presses OK.
class ClickingBackend : public contura::afx::UiBackend {
public:
  int clicks = 1;
  HWND dialog = nullptr;
  std::vector<std::pair<bool, bool>> shownAndFocusedAfter;
  void runModal(contura::afx::DialogSession& s) override {
    dialog = s.dialog();
    for (int i = 0; i < clicks && !s.ended(); ++i) {
      s.click(s.findControl("拾取"));
      shownAndFocusedAfter.emplace_back(IsWindowVisible(dialog) != FALSE, GetFocus() == dialog);
    }
    s.pressOk();
  }
  std::optional<std::string> chooseFile(const contura::afx::FileDialogRequest&) override { return std::nullopt; }
  int messageBox(const contura::afx::MessageBoxRequest&) override { return IDOK; }
};

struct WindowState {
  bool dialogVisible, mainEnabled, mainFocused;
  bool operator==(const WindowState&) const = default;
};

struct PickGuardTest : EditorTest {
  ClickingBackend ui;
  contura::afx::ScopedUiBackend uiScope{ui};
  std::vector<WindowState> seen;
  void SetUp() override {
    EditorTest::SetUp();
    input.onRequest = [this](const contura::ed::InputRequest&) {
      HWND main = adsw_acadMainWnd();
      seen.push_back({IsWindowVisible(ui.dialog) != FALSE, IsWindowEnabled(main) != FALSE, GetFocus() == main});
    };
  }
};

}  // namespace

TEST_F(PickGuardTest, DialogIsHiddenWhileThePickWaitsWhateverItsOutcome) {
  CPickDlg dlg;
  ui.clicks = 3;
  input.lines = {"1,2", "*cancel*"};  // a point, a cancel, then the input ends
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.results, (std::vector<int>{RTNORM, RTCAN, RTCAN}));
  const WindowState during{false, true, true};
  EXPECT_EQ(seen, (std::vector<WindowState>(3, during)));
  EXPECT_EQ(ui.shownAndFocusedAfter, (std::vector<std::pair<bool, bool>>(3, {true, true})));
  EXPECT_FALSE(IsWindow(ui.dialog));
  EXPECT_TRUE(IsWindowEnabled(adsw_acadMainWnd()));
}

TEST_F(PickGuardTest, DialogComesBackShownAndFocusedAfterASelection) {
  CPickDlg dlg;
  dlg.selectInstead = true;
  input.lines = {"all", ""};
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.results, std::vector<int>{RTNORM});
  EXPECT_EQ(seen, (std::vector<WindowState>(2, {false, true, true})));  // "all", then the empty line
  EXPECT_EQ(ui.shownAndFocusedAfter, (std::vector<std::pair<bool, bool>>{{true, true}}));
}

TEST_F(PickGuardTest, WalkStopsBelowTheMainWindowOrAtTheLastWindow) {
  HWND main = adsw_acadMainWnd();
  HWND owned = CreateWindowEx(0, "#32770", "a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, main, nullptr, nullptr, nullptr);
  HWND child = CreateWindowEx(0, "Static", "b", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, owned, nullptr, nullptr, nullptr);
  CWnd* hidden = CPickGuard::HideForPick(CWnd::FromHandle(child));
  EXPECT_EQ(hidden->m_hWnd, owned);
  EXPECT_FALSE(IsWindowVisible(owned));
  EXPECT_EQ(GetFocus(), main);
  CPickGuard::RestoreAfterPick(CWnd::FromHandle(child), hidden);
  EXPECT_TRUE(IsWindowVisible(owned));

  // A chain that never reaches the main window gives its last window.
  HWND loose = CreateWindowEx(0, "#32770", "c", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND inner = CreateWindowEx(0, "Static", "d", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, loose, nullptr, nullptr, nullptr);
  {
    CPickGuard guard(CWnd::FromHandle(inner));
    EXPECT_EQ(guard.GetHiddenWnd()->m_hWnd, loose);
    EXPECT_FALSE(IsWindowVisible(inner));
  }
  EXPECT_TRUE(IsWindowVisible(inner));
  DestroyWindow(owned);
  DestroyWindow(loose);
}
