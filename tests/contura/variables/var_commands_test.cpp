// The command AddVar (TJBL): its prompt, the new entity, the resource stack left alone while
// the dialog runs, the end of input. ChangeVar (XGBL) on a picked variable, and every property
// either command leaves, are compared by the end-to-end variable script.
#include <acdocman.h>
#include <gtest/gtest.h>

#include "app/ConturaApp.h"
#include "variables_fixture.h"

using contura::afx::DialogSession;

namespace {

struct VarCommands : ::testing::Test {
  Drawing d;
  TestBackend backend;
  contura::afx::ScopedUiBackend scope{backend};
  int depthInDialog = -1;  // the resource stack while the dialog runs: nothing is pushed

  void SetUp() override { contura::ui::clearRecentColors(); }

  // A first dialog step that records the resource stack, then `steps`.
  void dialogSteps(std::initializer_list<Step> steps) {
    backend.steps.push_back([this](DialogSession&) { depthInDialog = acDocManagerPtr()->resourceStackDepth(); });
    backend.steps.insert(backend.steps.end(), steps.begin(), steps.end());
  }
};

TEST_F(VarCommands, AddVarPlacesARedVariableAtThePointThatStaysWhenTheDialogIsCancelled) {
  d.input.lines = {"10,20"};
  dialogSteps({[](DialogSession& s) {
                 EXPECT_EQ(itemText(s, IDC_VAR_NAME), "变量");
                 EXPECT_EQ(itemText(s, IDC_VAR_VALUEHEIGHT), "100");
               },
               pressCancel()});
  const int depthBefore = acDocManagerPtr()->resourceStackDepth();
  CConturaApp::OnAddVar();

  EXPECT_EQ(d.input.prompts, std::vector<std::string>{"\n输入插入基点:"});
  EXPECT_EQ(backend.dialogsRun, std::vector<UINT>{IDD_VARSET});
  EXPECT_EQ(depthInDialog, depthBefore);
  EXPECT_EQ(acDocManagerPtr()->resourceStackDepth(), depthBefore);
  EXPECT_EQ(d.printed, "");
  // Every property of the entity left behind is compared by the end-to-end script.
  EXPECT_EQ(d.modelSpace().size(), 1u);
}

TEST_F(VarCommands, AddVarAtTheEndOfInputEndsQuietly) {
  // Cancelled and empty answers (to both commands) are left to the end-to-end script.
  CConturaApp::OnAddVar();
  EXPECT_EQ(d.input.prompts.size(), 1u);
  EXPECT_TRUE(d.modelSpace().empty());
  EXPECT_TRUE(backend.dialogsRun.empty());
  EXPECT_EQ(d.printed, "");
}

}  // namespace
