// CAcUiColorComboBox: a row per colour index, picking a row, the recent colours, values
// outside the index range, and a control without a window.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "acui_test.h"
#include "contura/ui/acui_state.h"
#include "test_backend.h"

using contura::afx::ActionStatus;
using contura::afx::DialogSession;
using contura::afx::RowRef;

namespace {

// Records the colour the box reports when it tells the dialog its selection changed.
class CColorDlg : public CAcUiTestDlg {
public:
  std::vector<int> changes;

protected:
  afx_msg void OnColorChange() { changes.push_back(m_color.GetCurrentItemColor()); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColorDlg, CAcUiTestDlg)
  ON_CBN_SELCHANGE(IDC_COLOR, OnColorChange)
END_MESSAGE_MAP()

struct ColorCombo : ::testing::Test {
  void SetUp() override { contura::ui::clearRecentColors(); }
  void TearDown() override { contura::ui::clearRecentColors(); }

  // Runs the dialog with one step that sees it open.
  void runOpen(CColorDlg& dlg, std::function<void(DialogSession&)> body) {
    bool ran = false;
    runDialog(dlg, {[&](DialogSession& s) {
      body(s);
      ran = true;
    }});
    EXPECT_TRUE(ran);
  }
};

std::string rowText(HWND box, int row) {
  char text[64] = {};
  SendMessage(box, CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
  return text;
}

TEST_F(ColorCombo, ARowForEachIndexColourAppearsForWhoeverLooksFirst) {
  CColorDlg dlg;
  runOpen(dlg, [&](DialogSession& s) {
    // Only window messages here: a backend looking at the box sees the rows too.
    HWND box = GetDlgItem(s.dialog(), IDC_COLOR);
    ASSERT_EQ(SendMessage(box, CB_GETCOUNT, 0, 0), 257);
    EXPECT_EQ(SendMessage(box, CB_GETCURSEL, 0, 0), CB_ERR);
    const std::pair<int, const char*> names[] = {{0, "ByBlock"}, {1, "红"},     {2, "黄"},       {3, "绿"},
                                                 {4, "青"},      {5, "蓝"},     {6, "洋红"},     {7, "白"},
                                                 {8, "颜色 8"},  {255, "颜色 255"}, {256, "ByLayer"}};
    for (auto [row, name] : names) EXPECT_EQ(rowText(box, row), name) << row;
    for (int row = 0; row <= 256; ++row) ASSERT_EQ(SendMessage(box, CB_GETITEMDATA, static_cast<WPARAM>(row), 0), row);
    EXPECT_EQ(dlg.m_color.GetCurrentItemColor(), -1);
  });
}

TEST_F(ColorCombo, ChoosingRowNPicksColourIndexNAndTellsTheDialog) {
  CColorDlg dlg;
  runOpen(dlg, [&](DialogSession& s) {
    HWND box = GetDlgItem(s.dialog(), IDC_COLOR);
    for (int row : {0, 1, 7, 30, 255, 256}) {
      ASSERT_EQ(s.select(box, RowRef::number(row)), ActionStatus::kDone);
      EXPECT_EQ(dlg.m_color.GetCurrentItemColor(), row);
    }
    ASSERT_EQ(s.select(box, RowRef::named("洋红")), ActionStatus::kDone);
    char text[32] = {};
    GetWindowText(box, text, sizeof text);
    EXPECT_STREQ(text, "洋红");
    EXPECT_EQ(s.select(box, RowRef::number(257)), ActionStatus::kNoSuchRow);
  });
  EXPECT_EQ(dlg.changes, (std::vector<int>{0, 1, 7, 30, 255, 256, 6}));
  // Picking a colour is not adding it to the recent ones.
  EXPECT_TRUE(contura::ui::recentColors().empty());
}

TEST_F(ColorCombo, RecentColoursComeFirstOnceEachAndTheOldestGo) {
  CColorDlg dlg;
  runOpen(dlg, [&](DialogSession&) {
    EXPECT_EQ(dlg.m_color.AddColorToMRU(5), 5);
    EXPECT_EQ(dlg.m_color.AddColorToMRU(30), 30);
    EXPECT_EQ(dlg.m_color.AddColorToMRU(5), 5);
    EXPECT_EQ(contura::ui::recentColors(), (std::vector<int>{5, 30}));
    for (int c : {0, 256, 9, 10, 11, 12, 13}) dlg.m_color.AddColorToMRU(c);
    EXPECT_EQ(contura::ui::recentColors(), (std::vector<int>{13, 12, 11, 10, 9, 256, 0, 5}));
    // Adding never adds rows for index colours, and selects nothing by itself.
    EXPECT_EQ(dlg.m_color.GetCount(), 257);
    EXPECT_EQ(dlg.m_color.GetCurSel(), CB_ERR);
    dlg.m_color.SetCurSel(dlg.m_color.AddColorToMRU(44));
    EXPECT_EQ(dlg.m_color.GetCurrentItemColor(), 44);
  });
  // The list outlives the dialog: the next colour box sees it.
  EXPECT_EQ(contura::ui::recentColors().front(), 44);
}

TEST_F(ColorCombo, AValueOutsideTheIndexRangeGetsOneRowOfItsOwnAndComesBackUnchanged) {
  CColorDlg dlg;
  runOpen(dlg, [&](DialogSession& s) {
    int row = dlg.m_color.AddColorToMRU(300);
    EXPECT_EQ(row, 257);
    EXPECT_EQ(dlg.m_color.AddColorToMRU(300), 257);  // found again, not added twice
    EXPECT_EQ(dlg.m_color.GetCount(), 258);
    EXPECT_EQ(rowText(GetDlgItem(s.dialog(), IDC_COLOR), 257), "颜色 300");
    dlg.m_color.SetCurSel(row);
    EXPECT_EQ(dlg.m_color.GetCurrentItemColor(), 300);
    dlg.m_color.SetCurrentItemColor(-1);
    EXPECT_EQ(dlg.m_color.GetCurSel(), 258);
    EXPECT_EQ(dlg.m_color.GetCurrentItemColor(), -1);
    dlg.m_color.SetCurrentItemColor(12);
    EXPECT_EQ(dlg.m_color.GetCurSel(), 12);
    EXPECT_EQ(dlg.m_color.FindItemByColor(301), CB_ERR);
  });
  EXPECT_TRUE(contura::ui::recentColors().empty());  // only index colours are recent ones
}

TEST_F(ColorCombo, WithoutAWindowNothingIsFoundOrRecorded) {
  CAcUiColorComboBox box;
  EXPECT_EQ(box.AddColorToMRU(3), CB_ERR);
  EXPECT_EQ(box.FindItemByColor(3), CB_ERR);
  EXPECT_EQ(box.GetItemColor(3), -1);
  box.SetCurrentItemColor(3);
  EXPECT_TRUE(contura::ui::recentColors().empty());
}

}  // namespace
