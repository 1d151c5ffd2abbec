// CDlgSectionInfo and CDlgLibPicName: their proposals, blank names, and what OK hands back.
#include <gtest/gtest.h>

#include "dialogs/DlgLibPicName.h"
#include "dialogs/DlgSectionInfo.h"
#include "test_backend.h"

using namespace steps;

TEST(DlgSectionInfo, BlankNameKeepsItOpenAndOkTrimsNameButNotRemark) {
  CDlgSectionInfo dlg;
  INT_PTR result = runDialog(dlg, {typeInto(IDC_EDIT_NAME, " \t "), clickOk(false), typeInto(IDC_EDIT_NAME, ""),
                                   clickOk(false), typeInto(IDC_EDIT_NAME, "  柱 A "), typeInto(IDC_EDIT_REMARK, " 两侧 "),
                                   chooseRow(IDC_CMB_GROUP, 9), chooseRow(IDC_CMB_TYPE, 2), clickOk(true)});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.m_strName, "柱 A");
  EXPECT_EQ(dlg.m_strRemark, " 两侧 ");
  EXPECT_EQ(dlg.m_nGroup, 10);
  EXPECT_EQ(dlg.m_nType, 3);
}

TEST(DlgLibPicName, ProposesANameAndRefusesBlankOnes) {
  CDlgLibPicName untouched;
  EXPECT_EQ(runDialog(untouched, {clickOk(true)}), IDOK);
  EXPECT_EQ(untouched.m_strName, "异形截面");

  CDlgLibPicName typed;
  EXPECT_EQ(runDialog(typed, {typeInto(IDC_EDIT_NAME, "   "), clickOk(false), typeInto(IDC_EDIT_NAME, "\t新截面  "), clickOk(true)}),
            IDOK);
  EXPECT_EQ(typed.m_strName, "新截面");

  CDlgLibPicName cancelled;
  EXPECT_EQ(runDialog(cancelled, {closeBox()}), IDCANCEL);
}
