// CVarSetDlg: the angle in degrees with the single-precision pi factors, the type list and
// colour box, the numeric filter, empty boxes, values shown exactly, and the empty dialog on
// an entity that is not a variable. Writing every box on OK is checked end to end.
#include <gtest/gtest.h>

#include "variables_fixture.h"

using contura::afx::DialogSession;

namespace {

struct VarSetDlgTest : ::testing::Test {
  Drawing d;
  void SetUp() override { contura::ui::clearRecentColors(); }

  // Runs the dialog on `id` with `steps`; returns DoModal's result.
  INT_PTR run(AcDbObjectId id, std::vector<Step> steps) {
    CVarSetDlg dlg;
    dlg.m_idVar = id;
    return runDialog(dlg, std::move(steps));
  }
};

TEST_F(VarSetDlgTest, OpensWithEveryPropertyInItsBoxAndCancelChangesNothing) {
  AcDbObjectId id = d.add(fullVariable());
  const VarProps before = propsOf(id);
  INT_PTR result = run(id, {[](DialogSession& s) {
                              // A quarter turn is 89.9999974955219 degrees with these factors.
                              EXPECT_EQ(itemText(s, IDC_VAR_VALUEANGLE), "90");
                              EXPECT_EQ(itemText(s, IDC_VAR_VALUECOLOR), "蓝");
                              auto& dlg = static_cast<CVarSetDlg&>(s.dialogObject());
                              EXPECT_EQ(dlg.m_cmbValueColor.GetCurrentItemColor(), 5);
                              ASSERT_EQ(dlg.m_cmbType.GetCount(), 2);
                              CString row;
                              dlg.m_cmbType.GetLBText(0, row);
                              EXPECT_EQ(row, "整数");
                              dlg.m_cmbType.GetLBText(1, row);
                              EXPECT_EQ(row, "小数");
                            },
                            typeInto(IDC_VAR_NAME, "改了"), typeInto(IDC_VAR_VALUEHEIGHT, "9"),
                            chooseRow(IDC_VAR_VALUECOLOR, 1), pressCancel()});
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(propsOf(id), before);
  EXPECT_EQ(contura::ui::recentColors(), std::vector<int>{5});  // the entity's colour became a recent one
}

TEST_F(VarSetDlgTest, EmptyBoxesStoreZeroOrTheEmptyText) {
  AcDbObjectId id = d.add(fullVariable());
  VarProps expected = propsOf(id);
  std::vector<Step> steps = {
      typeInto(IDC_VAR_NAME, ""),        typeInto(IDC_VAR_CODE, ""),        typeInto(IDC_VAR_INITIAL, ""),
      typeInto(IDC_VAR_TYPE, ""),        typeInto(IDC_VAR_SORT, ""),        typeInto(IDC_VAR_CONDITION, ""),
      typeInto(IDC_VAR_VALUEHEIGHT, ""), typeInto(IDC_VAR_VALUEANGLE, ""), typeInto(IDC_VAR_REMARK, ""),
      clickOk(true)};
  EXPECT_EQ(run(id, steps), IDOK);
  expected.text = expected.code = expected.initial = expected.type = expected.condition = expected.remark = "";
  expected.sort = 0;
  expected.valueHeight = 0.0;
  expected.valueAngle = 0.0;
  EXPECT_EQ(propsOf(id), expected);
}

TEST_F(VarSetDlgTest, OkWithoutEditsKeepsValuesTheBoxesShowExactly) {
  // Values whose shown text reads back as the same value. The boxes show what the entity
  // holds even where typing it would not get past the filters: a negative sort number, a
  // negative angle, a height with an exponent. Also a colour outside the index range and
  // several remark lines.
  AcDbVarCommon* v = fullVariable();
  v->putVarSort(-3);
  v->putVarValueColor(300);
  v->putVarAngle(-1.5707963705062866);  // shown as -90
  v->putVarValueHeight(1e6);             // shown as 1e+06
  v->putVarRemark("一\n二\n三");
  AcDbObjectId id = d.add(v);
  const VarProps before = propsOf(id);
  EXPECT_EQ(run(id, {[](DialogSession& s) {
                       EXPECT_EQ(itemText(s, IDC_VAR_VALUEANGLE), "-90");
                       EXPECT_EQ(itemText(s, IDC_VAR_VALUEHEIGHT), "1e+06");
                     },
                     clickOk(true)}),
            IDOK);
  EXPECT_EQ(propsOf(id), before);
  // Typed into, the same boxes are filtered again.
  run(id, {typeInto(IDC_VAR_VALUEANGLE, "-90"), clickOk(true)});
  EXPECT_EQ(propsOf(id).valueAngle, 90 * kVarDegreesToRadians);
}

TEST_F(VarSetDlgTest, HeightAndAngleBoxesKeepOnlyPlainNumbersAsTyped) {
  AcDbObjectId id = d.add(fullVariable());
  const std::pair<const char*, const char*> cases[] = {
      {"1.2.", "1.2"}, {"-", ""},    {"-12", "12"},   {"1a2", "12"},   {"1 2", "12"},  {"1e5", "15"},
      {"+3", "3"},     {"1..5", "1.5"}, {"12中3", "123"}, {"3.14", "3.14"}, {".5", ".5"}, {"", ""}};
  for (int box : {IDC_VAR_VALUEHEIGHT, IDC_VAR_VALUEANGLE}) {
    run(id, {[&](DialogSession& s) {
               for (auto [typed, kept] : cases) {
                 typeInto(box, typed)(s);
                 EXPECT_EQ(itemText(s, box), kept) << box << " typed " << typed;
               }
             },
             pressCancel()});
  }
  // The sort box refuses anything but digits itself.
  run(id, {typeInto(IDC_VAR_SORT, "-1a2.3"), [](DialogSession& s) { EXPECT_EQ(itemText(s, IDC_VAR_SORT), "123"); },
           clickOk(true)});
  EXPECT_EQ(propsOf(id).sort, 123);
}

TEST_F(VarSetDlgTest, AnEntityThatIsNoVariableOpensAnEmptyDialogWhoseOkDoesNothing) {
  AcDbObjectId textId = d.add(new AcDbText(AcGePoint3d(0, 0, 0), "注释", AcDbObjectId::kNull, 10.0, 0.0));
  AcDbObjectId lineId = d.add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(5, 5, 0)));
  for (AcDbObjectId id : {textId, lineId, AcDbObjectId::kNull}) {
    INT_PTR result = run(id, {[](DialogSession& s) {
                                for (int box = IDC_VAR_NAME; box <= IDC_VAR_VALUECOLOR; ++box)
                                  EXPECT_EQ(itemText(s, box), "") << box;
                                auto& dlg = static_cast<CVarSetDlg&>(s.dialogObject());
                                EXPECT_EQ(dlg.m_cmbType.GetCount(), 2);
                                EXPECT_EQ(dlg.m_cmbValueColor.GetCurrentItemColor(), -1);
                              },
                              typeInto(IDC_VAR_NAME, "变量"), typeInto(IDC_VAR_VALUEHEIGHT, "5"),
                              clickOk(false), clickOk(false), pressCancel()});
    EXPECT_EQ(result, IDCANCEL);
  }
  Opened<AcDbText> text(textId);
  EXPECT_STREQ(text->textStringConst(), "注释");
  EXPECT_TRUE(contura::ui::recentColors().empty());
}

}  // namespace
