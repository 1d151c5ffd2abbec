// User sections: the picker "异形构件库" over the caller's array, the dialog "截面信息" (names,
// picking back, resizing, picks in the drawing) and the command USD with the module's
// resources current around it.
#include <acdocman.h>
#include <contura/os/module.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "SectionString.h"
#include "app/ConturaApp.h"
#include "dialogs/DlgSection.h"
#include "dialogs/DlgUserSectionLib.h"
#include "drawing_fixture.h"
#include "resources/LibraryResource.h"
#include "test_backend.h"

extern "C" BOOL DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

using contura::afx::DialogSession;
using contura::afx::RowRef;
using steps::click;
using steps::item;
using steps::Step;
using SectionList = CArray<CUserSectionInfo, CUserSectionInfo>;
using Names = std::vector<std::string>;

namespace {

// A triangle of width w with base point (w, w): the base point tells which section is shown.
CUserSectionInfo section(const char* name, int w, int tag) {
  CUserSectionInfo info;
  info.m_nTag = tag;
  info.m_strName = name;
  info.m_strSection.Format("[PolylineSection]\nPoints=0,0,0;%d,0,0;0,%d,0;0,0,0\nBasePoint=%d,%d", w, w, w, w);
  return info;
}

Names namesOf(const SectionList& lib) {
  Names names;
  for (INT_PTR i = 0; i < lib.GetSize(); ++i) names.push_back(lib[i].m_strName.GetString());
  return names;
}

// The base point the preview shows.
double shownBaseX(DialogSession& s) {
  return static_cast<CDraw2DWindow*>(Draw2DWindowFromHandle(item(s, IDC_DRAW_SECTION)))->GetDisplayList().basePoint.x;
}

Step selectRow(const char* name) {
  return [name](DialogSession& s) {
    EXPECT_EQ(s.select(item(s, IDC_LIST_USERSECTION), RowRef::named(name)), contura::afx::ActionStatus::kDone) << name;
  };
}
Step expectShown(double baseX) {
  return [baseX](DialogSession& s) { EXPECT_EQ(shownBaseX(s), baseX); };
}
// "保存到库" answered with `name` in the name dialog.
std::vector<Step> saveAs(const char* name) {
  return {click(IDC_BTN_SAVE_TO_LIB), [name](DialogSession& s) {
            s.type(item(s, IDC_EDIT_NAME), name);
            s.click(item(s, IDOK));
          }};
}

INT_PTR run(CDialog& dlg, TestBackend& backend, std::vector<Step> steps) {
  INT_PTR result = runDialog(dlg, backend, std::move(steps));
  EXPECT_TRUE(backend.steps.empty());
  return result;
}

}  // namespace

// After every step the rows are the elements' names sorted, each row's item data pointing at
// its element, whatever was deleted before.
TEST(UserSectionPicker, SortedRowsDeletionsAndEndings) {
  CUserSectionInfo blank = section("blank", 10, 7);
  blank.m_strSection.Empty();
  const CString defaultOutline = CUserSectionInfo().m_strSection;
  const std::vector<CUserSectionInfo> bac = {section("b", 200, 1), section("a", 100, 2), section("c", 300, 3)};
  const Step del = click(IDC_BTN_USERSECTION_DELETE);
  struct Case {
    std::vector<CUserSectionInfo> elements;
    std::vector<Step> steps;  // after a first check of the section shown on opening
    INT_PTR result;
    const char* chosenName;
    Names left;
  } const cases[] = {
      {{}, {expectShown(500), click(IDOK)}, IDOK, "", {}},                     // the default section
      {{blank}, {expectShown(500), click(IDOK)}, IDOK, "blank", {"blank"}},    // its text: the default's
      {bac, {expectShown(200), click(IDOK)}, IDOK, "b", {"b", "a", "c"}},      // element 0, none selected
      {bac, {selectRow("a"), expectShown(100), del, click(IDC_BTN_USERSECTION_ADD)}, 0, "a", {"b", "c"}},
      {bac, {selectRow("a"), del, selectRow("c"), expectShown(300), del, selectRow("b"), click(IDOK)}, IDOK, "b", {"b"}},
      {bac, {selectRow("b"), del, selectRow("a"), expectShown(100), del, selectRow("c"), click(IDOK)}, IDOK, "c", {"c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosenName);
    SectionList lib;
    for (const CUserSectionInfo& e : c.elements) lib.Add(e);
    CDlgUserSectionLib dlg(&lib);
    auto expectRows = [&] {
      Names sorted = namesOf(lib);
      std::sort(sorted.begin(), sorted.end());
      ASSERT_EQ(dlg.m_listSection.GetCount(), static_cast<int>(sorted.size()));
      for (int row = 0; row < dlg.m_listSection.GetCount(); ++row) {
        CString text;
        dlg.m_listSection.GetText(row, text);
        EXPECT_EQ(text, sorted[row].c_str());
        EXPECT_EQ(lib[static_cast<INT_PTR>(dlg.m_listSection.GetItemData(row))].m_strName, text) << row;
      }
    };
    std::vector<Step> steps;
    for (const Step& step : c.steps) {
      steps.push_back([&, step](DialogSession& s) {
        step(s);
        if (!s.ended()) expectRows();
      });
    }
    TestBackend backend;
    EXPECT_EQ(run(dlg, backend, steps), c.result);
    EXPECT_EQ(dlg.m_chosenSection.m_strName, c.chosenName);
    EXPECT_EQ(namesOf(lib), c.left);
    if (c.elements.size() < 2) {
      EXPECT_EQ(dlg.m_chosenSection.m_strSection, defaultOutline);
    }
  }
}

TEST(SectionDialog, SavesTheCurrentOutlineUnderCheckedTrimmedNamesAndPicksBack) {
  CDlgSection dlg;
  dlg.m_sectionList.Add(section("Sec", 100, 2));
  dlg.m_sectionList.Add(section("截面 C", 300, 3));
  const CString current = dlg.m_userSection.m_strSection;
  std::vector<Step> steps = {expectShown(500)};  // the default outline
  for (const char* name : {"  截面 B\t ", "截面 B", "sec"}) {  // trimmed, 重名, case differs
    for (Step& step : saveAs(name)) steps.push_back(step);
  }
  steps.push_back(click(IDC_BTN_SAVE_TO_LIB));
  steps.push_back(click(IDCANCEL));  // the name dialog cancelled: nothing saved
  // Row 截面 C chosen in the library becomes the current section.
  for (Step step : {click(IDC_BTN_SECTION_LIB), selectRow("截面 C"), click(IDOK), expectShown(300), click(IDOK)})
    steps.push_back(step);
  TestBackend backend;
  EXPECT_EQ(run(dlg, backend, steps), IDOK);
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(backend.boxes[0].text, "重名");
  EXPECT_STREQ(dlg.CheckNewName(""), "名称为空");  // (the name dialog itself refuses blank names)
  EXPECT_EQ(namesOf(dlg.m_sectionList), (Names{"Sec", "截面 C", "截面 B", "sec"}));
  for (int i : {2, 3}) {
    EXPECT_EQ(dlg.m_sectionList[i].m_strSection, current);
    EXPECT_EQ(dlg.m_sectionList[i].m_nTag, 0);
  }
  EXPECT_EQ(dlg.m_userSection.m_strName, "截面 C");
  EXPECT_EQ(dlg.m_userSection.m_nTag, 3);
}

TEST(SectionDialog, ThePreviewGrowsByTheGrowthOfTheClientArea) {
  auto viewRect = [](DialogSession& s) {
    CRect rc;
    GetWindowRect(item(s, IDC_DRAW_SECTION), &rc);
    ScreenToClient(s.dialog(), reinterpret_cast<LPPOINT>(&rc.left));
    ScreenToClient(s.dialog(), reinterpret_cast<LPPOINT>(&rc.right));
    return rc;
  };
  CRect view0, client0;
  std::vector<Step> steps = {[&](DialogSession& s) { view0 = viewRect(s), GetClientRect(s.dialog(), &client0); }};
  for (CSize size : {CSize(900, 700), CSize(1200, 760), CSize(700, 500)}) {  // maximised, restored
    steps.push_back([&, size](DialogSession& s) {
      ASSERT_EQ(s.resize(size.cx, size.cy), contura::afx::ActionStatus::kDone);
      CRect grown = view0;
      grown.right += size.cx - client0.Width();
      grown.bottom += size.cy - client0.Height();
      EXPECT_EQ(viewRect(s), grown) << size.cx;
    });
  }
  steps.push_back(click(IDCANCEL));
  CDlgSection dlg;
  TestBackend backend;
  EXPECT_EQ(run(dlg, backend, steps), IDCANCEL);
}

// Answers like the drawing's queue and counts the requests made while the dialog was visible.
struct WatchingInput : QueuedInput {
  HWND dialog = nullptr;
  int visibleRequests = 0;
  contura::ed::InputLine readLine(const contura::ed::InputRequest& request) override {
    visibleRequests += IsWindowVisible(dialog) ? 1 : 0;
    return QueuedInput::readLine(request);
  }
};

TEST(SectionDialog, PicksHideTheDialogAndOnlySuccessfulOnesChangeTheOutline) {
  struct Case {
    int button;
    std::deque<std::string> answers;  // running out of answers cancels the request
    const char* outline;              // null: the previous outline stays
  } const cases[] = {
      {IDC_BTN_DRAW_OUTLINE, {}, nullptr},                                   // drawing cancelled
      {IDC_BTN_DRAW_OUTLINE, {"0,0", "100,0", "0,100", "C"}, nullptr},      // base point cancelled
      {IDC_BTN_SELECT_CURVES, {}, nullptr},                                  // selection cancelled
      {IDC_BTN_SELECT_CURVES, {"all", ""}, nullptr},                         // base point cancelled
      {IDC_BTN_SELECT_CURVES, {"all", "", "0,0"}, nullptr},                  // the curves do not chain
      {IDC_BTN_DRAW_OUTLINE, {"0,0", "100,0", "A", "100,100", "L", "0,100", "C", "10,20"},
       "[PolylineSection]\nPoints=0,0,0;100,0,1;100,100,0;0,100,0;0,0,0\nBasePoint=10,20"},
  };
  Drawing drawing;  // two lines with a gap between them: they chain into no outline
  const std::vector<AcDbObjectId> lines = {
      drawing.add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(5, 0, 0))),
      drawing.add(new AcDbLine(AcGePoint3d(9, 0, 0), AcGePoint3d(9, 5, 0)))};
  WatchingInput input;
  contura::ed::ScopedInputBackend scope(input);
  CDlgSection dlg;
  dlg.m_userSection = section("prev", 70, 5);
  const CString previous = dlg.m_userSection.m_strSection;
  std::vector<Step> steps;
  for (const Case& c : cases) {
    steps.push_back([&](DialogSession& s) {
      SCOPED_TRACE(c.answers.size());
      input.dialog = s.dialog();
      input.lines = c.answers;
      s.click(item(s, c.button));
      EXPECT_EQ(input.visibleRequests, 0);        // hidden while the user picks,
      EXPECT_TRUE(IsWindowVisible(s.dialog()));  // shown again afterwards
      EXPECT_EQ(dlg.m_userSection.m_strSection, c.outline ? CString(c.outline) : previous);
      EXPECT_EQ(shownBaseX(s), c.outline ? 10 : 70);
      EXPECT_EQ(drawing.modelSpace(), lines);  // no temporary polyline left
    });
  }
  steps.push_back(click(IDOK));
  TestBackend backend;
  EXPECT_EQ(run(dlg, backend, steps), IDOK);
  EXPECT_EQ(dlg.m_userSection.m_strName, "prev");  // name and tag stay with a new outline
  EXPECT_EQ(dlg.m_userSection.m_nTag, 5);
}

namespace {

// The module attached as the host attaches it, over a drawing of its own.
class UserSectionCommand : public ::testing::Test {
protected:
  void SetUp() override {
    self_ = contura::os::mainProgramHandle();
    ASSERT_TRUE(DllMain(self_, DLL_PROCESS_ATTACH, nullptr));
    acDocManagerPtr()->clearResourceHistory();
  }
  void TearDown() override { DllMain(self_, DLL_PROCESS_DETACH, nullptr); }

  // Runs `call` with the steps: the section dialog runs with the module's resources current,
  // pushed once and popped again afterwards.
  void runWithResources(const std::function<void()>& call, std::vector<Step> steps) {
    TestBackend backend;
    backend.steps.assign(steps.begin(), steps.end());
    backend.steps.push_front([this](DialogSession&) {
      EXPECT_EQ(AfxGetResourceHandle(), self_);
      EXPECT_EQ(acDocManagerPtr()->resourceStackDepth(), 1);
    });
    contura::afx::ScopedUiBackend scope(backend);
    call();
    EXPECT_TRUE(backend.steps.empty());
    EXPECT_EQ(backend.dialogsRun.front(), static_cast<UINT>(IDD_DLG_SECTION));
    EXPECT_EQ(acDocManagerPtr()->resourceStackDepth(), 0);
    EXPECT_EQ(acDocManagerPtr()->resourceHistory().size(), 2u);
    acDocManagerPtr()->clearResourceHistory();
  }

  Drawing drawing_;
  HINSTANCE self_ = nullptr;
};

}  // namespace

// (The outline drawn is compared vertex by vertex in the end-to-end runs.)
TEST_F(UserSectionCommand, OnlyOkDrawsAndEachRunStartsWithAnEmptyList) {
  std::vector<Step> saveAndCancel = saveAs("截面");
  saveAndCancel.push_back(click(IDCANCEL));
  runWithResources(CConturaApp::OnUSection, saveAndCancel);
  EXPECT_TRUE(drawing_.modelSpace().empty());

  runWithResources(CConturaApp::OnUSection,
                   {click(IDC_BTN_SECTION_LIB),
                    [](DialogSession& s) {
                      EXPECT_EQ(SendDlgItemMessage(s.dialog(), IDC_LIST_USERSECTION, LB_GETCOUNT, 0, 0), 0);
                      s.click(item(s, IDCANCEL));
                    },
                    click(IDOK)});
  EXPECT_EQ(drawing_.modelSpace().size(), 1u);

  // The exported picker runs the same dialog the same way.
  CUserSectionInfo info;
  SectionList lib;
  runWithResources([&] { EXPECT_EQ(CSectionString::getUserSelectSection(info, lib), 1); }, {click(IDCANCEL)});
}
