// CDlgSectionInfo and CDlgLibPicName: their proposals, blank names, and what OK hands back.
#include <gtest/gtest.h>

#include "dialogs/DlgLibPicName.h"
#include "dialogs/DlgSectionInfo.h"
#include "test_backend.h"

using contura::afx::ActionStatus;
using contura::afx::DialogSession;
using contura::afx::RowRef;

namespace {

// Runs `dialog` with the steps given, in order; returns DoModal's result.
INT_PTR run(CDialog& dialog, std::initializer_list<TestBackend::Step> steps) {
  TestBackend backend;
  backend.steps.assign(steps.begin(), steps.end());
  contura::afx::ScopedUiBackend scope(backend);
  return dialog.DoModal();
}

TestBackend::Step type(int id, const char* text) {
  return [=](DialogSession& s) { EXPECT_EQ(s.type(GetDlgItem(s.dialog(), id), text), ActionStatus::kDone); };
}
TestBackend::Step choose(int id, int row) {
  return [=](DialogSession& s) { EXPECT_EQ(s.select(GetDlgItem(s.dialog(), id), RowRef::number(row)), ActionStatus::kDone); };
}
TestBackend::Step clickOk(bool expectEnded) {
  return [=](DialogSession& s) {
    EXPECT_EQ(s.click(GetDlgItem(s.dialog(), IDOK)), ActionStatus::kDone);
    EXPECT_EQ(s.ended(), expectEnded);
  };
}

CString windowText(HWND w) {
  char text[256] = {};
  GetWindowText(w, text, sizeof text);
  return text;
}

}  // namespace

TEST(DlgSectionInfo, UntouchedBoxesGiveTheProposedNameCategoryOneAndCodeOne) {
  CDlgSectionInfo dlg;
  INT_PTR result = run(dlg, {[](DialogSession& s) {
                             CComboBox* group = static_cast<CComboBox*>(CWnd::FromHandle(GetDlgItem(s.dialog(), IDC_CMB_GROUP)));
                             CComboBox* code = static_cast<CComboBox*>(CWnd::FromHandle(GetDlgItem(s.dialog(), IDC_CMB_TYPE)));
                             EXPECT_EQ(group->GetCount(), 10);
                             EXPECT_EQ(code->GetCount(), 40);
                             CString last;
                             code->GetLBText(39, last);
                             EXPECT_EQ(last, "40");
                             EXPECT_EQ(windowText(GetDlgItem(s.dialog(), IDC_CMB_GROUP)), "1");
                             EXPECT_EQ(windowText(GetDlgItem(s.dialog(), IDC_EDIT_REMARK)), "");
                           },
                           clickOk(true)});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.m_strName, "矩形");
  EXPECT_EQ(dlg.m_strRemark, "");
  EXPECT_EQ(dlg.m_nGroup, 1);
  EXPECT_EQ(dlg.m_nType, 1);
}

TEST(DlgSectionInfo, BlankNameKeepsItOpenAndOkTrimsNameButNotRemark) {
  CDlgSectionInfo dlg;
  INT_PTR result = run(dlg, {type(IDC_EDIT_NAME, " \t "), clickOk(false), type(IDC_EDIT_NAME, ""),
                             clickOk(false), type(IDC_EDIT_NAME, "  柱 A "), type(IDC_EDIT_REMARK, " 两侧 "),
                             choose(IDC_CMB_GROUP, 9), choose(IDC_CMB_TYPE, 2), clickOk(true)});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.m_strName, "柱 A");
  EXPECT_EQ(dlg.m_strRemark, " 两侧 ");
  EXPECT_EQ(dlg.m_nGroup, 10);
  EXPECT_EQ(dlg.m_nType, 3);
}

TEST(DlgSectionInfo, EnterRunsTheSameCheckAndCancelLeavesResultsUnset) {
  CDlgSectionInfo blank;
  EXPECT_EQ(run(blank, {type(IDC_EDIT_NAME, "  "),
                        [](DialogSession& s) {
                          s.pressOk();
                          EXPECT_FALSE(s.ended());
                        },
                        [](DialogSession& s) { s.pressCancel(); }}),
            IDCANCEL);
  EXPECT_TRUE(blank.m_strName.IsEmpty());
  EXPECT_EQ(blank.m_nGroup, 0);
  EXPECT_EQ(blank.m_nType, 0);
}

TEST(DlgLibPicName, ProposesANameAndRefusesBlankOnes) {
  CDlgLibPicName untouched;
  EXPECT_EQ(run(untouched, {clickOk(true)}), IDOK);
  EXPECT_EQ(untouched.m_strName, "异形截面");

  CDlgLibPicName typed;
  EXPECT_EQ(run(typed, {type(IDC_EDIT_NAME, "   "), clickOk(false), type(IDC_EDIT_NAME, "\t新截面  "), clickOk(true)}),
            IDOK);
  EXPECT_EQ(typed.m_strName, "新截面");

  CDlgLibPicName cancelled;
  EXPECT_EQ(run(cancelled, {[](DialogSession& s) { s.close(); }}), IDCANCEL);
}
