// The commands AddVar (TJBL) and ChangeVar (XGBL): prompts, the new entity, the dialog on a
// picked entity, and cancelled or empty answers.
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
  int depthInDialog = -1;  // the module's resources are pushed while the dialog runs

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
  EXPECT_EQ(depthInDialog, depthBefore + 1);
  EXPECT_EQ(acDocManagerPtr()->resourceStackDepth(), depthBefore);
  EXPECT_EQ(d.printed, "");
  std::vector<AcDbObjectId> ids = d.modelSpace();
  ASSERT_EQ(ids.size(), 1u);
  // As the command makes it; everything else keeps a new entity's defaults.
  AcDbVarCommon placed;
  placed.setTextString("变量");
  placed.setPosition(AcGePoint3d(10, 20, 0));
  placed.setColorIndex(1);
  placed.setHeight(100.0);
  placed.putVarValueHeight(100.0);
  EXPECT_EQ(propsOf(ids[0]), propsOf(&placed));
}

TEST_F(VarCommands, AddVarWithoutAPointEndsQuietly) {
  for (const char* answer : {"*cancel*", ""}) {
    d.input.lines = {answer};
    CConturaApp::OnAddVar();
  }
  d.input.lines.clear();  // end of input
  CConturaApp::OnAddVar();
  EXPECT_EQ(d.input.prompts.size(), 3u);
  EXPECT_TRUE(d.modelSpace().empty());
  EXPECT_TRUE(backend.dialogsRun.empty());
  EXPECT_EQ(d.printed, "");
}

TEST_F(VarCommands, ChangeVarOpensTheDialogOnThePickedVariable) {
  AcDbObjectId id = d.add(fullVariable());
  d.input.lines = {"12,22"};
  dialogSteps({[](DialogSession& s) { EXPECT_EQ(itemText(s, IDC_VAR_CODE), "H1"); }, typeInto(IDC_VAR_CODE, "H9"),
               clickOk(true)});
  CConturaApp::OnChangeVar();
  EXPECT_EQ(d.input.prompts, std::vector<std::string>{"\n请选择变量类别:"});
  EXPECT_EQ(backend.dialogsRun, std::vector<UINT>{IDD_VARSET});
  EXPECT_EQ(depthInDialog, 1);
  EXPECT_EQ(propsOf(id).code, "H9");
  EXPECT_EQ(d.printed, "");
}

TEST_F(VarCommands, ChangeVarOnAnotherEntityOpensAnEmptyDialogThatWritesNothing) {
  AcDbObjectId lineId = d.add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0)));
  d.input.lines = {"50,1"};
  dialogSteps({[](DialogSession& s) { EXPECT_EQ(itemText(s, IDC_VAR_VALUEHEIGHT), ""); }, typeInto(IDC_VAR_NAME, "x"),
               clickOk(false), pressCancel()});
  CConturaApp::OnChangeVar();
  EXPECT_EQ(backend.dialogsRun, std::vector<UINT>{IDD_VARSET});
  Opened<AcDbLine> line(lineId);
  EXPECT_EQ(line->endPoint(), AcGePoint3d(100, 0, 0));
  EXPECT_EQ(d.modelSpace().size(), 1u);
}

TEST_F(VarCommands, ChangeVarWithoutAPickEndsQuietly) {
  d.add(fullVariable());
  // Cancelled, empty, and a point with nothing near it.
  for (const char* answer : {"*cancel*", "", "5000,5000"}) {
    d.input.lines = {answer};
    CConturaApp::OnChangeVar();
  }
  EXPECT_TRUE(backend.dialogsRun.empty());
  EXPECT_EQ(d.printed, "");
}

}  // namespace
