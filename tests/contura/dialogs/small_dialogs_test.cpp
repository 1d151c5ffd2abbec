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

}  // namespace

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
