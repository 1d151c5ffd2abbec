// User sections: the picker "异形构件库" over the caller's array, the dialog "截面信息" (names,
// picking back, resizing, cancelled picks in the drawing), the command USD and the exported
// CSectionString::getUserSelectSection with the module's resources current around them.
#include <acdocman.h>
#include <contura/os/module.h>
#include <gtest/gtest.h>

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
using Step = std::function<void(DialogSession&)>;

namespace {

// A triangle of width w with base point (w, w): the base point tells which section is shown.
CUserSectionInfo section(const char* name, int w, int tag) {
  CUserSectionInfo info;
  info.m_nTag = tag;
  info.m_strName = name;
  info.m_strSection.Format("[PolylineSection]\nPoints=0,0,0;%d,0,0;0,%d,0;0,0,0\nBasePoint=%d,%d", w, w, w, w);
  return info;
}

using SectionList = CArray<CUserSectionInfo, CUserSectionInfo>;

// Elements named b, a and c, in this order, with tags 1, 2, 3 and base points 200, 100, 300.
void fillBAC(SectionList& lib) {
  lib.RemoveAll();
  lib.Add(section("b", 200, 1));
  lib.Add(section("a", 100, 2));
  lib.Add(section("c", 300, 3));
}

std::vector<std::string> namesOf(const SectionList& lib) {
  std::vector<std::string> names;
  for (INT_PTR i = 0; i < lib.GetSize(); ++i) names.push_back(lib[i].m_strName.GetString());
  return names;
}

HWND item(DialogSession& s, int id) { return GetDlgItem(s.dialog(), id); }

// The base point the preview (control 204) shows.
double shownBaseX(DialogSession& s) {
  return static_cast<CDraw2DWindow*>(Draw2DWindowFromHandle(item(s, IDC_DRAW_SECTION)))->GetDisplayList().basePoint.x;
}

Step click(int id) {
  return [id](DialogSession& s) { s.click(item(s, id)); };
}
Step selectRow(const char* name) {
  return [name](DialogSession& s) {
    EXPECT_EQ(s.select(item(s, IDC_LIST_USERSECTION), RowRef::named(name)), contura::afx::ActionStatus::kDone) << name;
  };
}
// The name dialog's answer: types `name` and confirms.
Step answerName(const char* name) {
  return [name](DialogSession& s) {
    s.type(item(s, IDC_EDIT_NAME), name);
    s.click(item(s, IDOK));
  };
}

INT_PTR run(CDialog& dlg, TestBackend& backend, std::vector<Step> steps) {
  backend.steps.assign(steps.begin(), steps.end());
  contura::afx::ScopedUiBackend scope(backend);
  INT_PTR result = dlg.DoModal();
  EXPECT_TRUE(backend.steps.empty());
  return result;
}

// Every row names the element its item data points at.
void expectRowsMatchElements(CDlgUserSectionLib& dlg, const SectionList& lib) {
  for (int row = 0; row < dlg.m_listSection.GetCount(); ++row) {
    CString text;
    dlg.m_listSection.GetText(row, text);
    EXPECT_EQ(lib[static_cast<INT_PTR>(dlg.m_listSection.GetItemData(row))].m_strName, text) << row;
  }
}

}  // namespace

TEST(UserSectionPicker, SortedRowsKeepTheirElementsAcrossDeletions) {
  struct Case {
    std::vector<const char*> deleted;  // rows, by name, in the order they are deleted
    std::vector<std::string> left;
  };
  const Case cases[] = {{{"a"}, {"b", "c"}}, {{"a", "c"}, {"b"}}, {{"c", "b"}, {"a"}}, {{"b", "a"}, {"c"}}};
  for (const Case& c : cases) {
    SectionList lib;
    fillBAC(lib);
    CDlgUserSectionLib dlg(&lib);
    TestBackend backend;
    std::vector<Step> steps = {[&](DialogSession& s) {
      CString first;
      dlg.m_listSection.GetText(0, first);
      EXPECT_EQ(first, "a");              // sorted by name, not by array order
      EXPECT_EQ(shownBaseX(s), 200);      // element 0 shown, no row selected
      EXPECT_EQ(dlg.m_listSection.GetCurSel(), -1);
    }};
    for (const char* name : c.deleted) {
      steps.push_back(selectRow(name));
      steps.push_back([&dlg, &lib, name](DialogSession& s) {
        EXPECT_EQ(dlg.m_chosenSection.m_strName, name);
        EXPECT_EQ(shownBaseX(s), 100 * (name[0] == 'a' ? 1 : name[0] == 'b' ? 2 : 3));
        s.click(item(s, IDC_BTN_USERSECTION_DELETE));
        EXPECT_EQ(dlg.m_chosenSection.m_strName, name);  // still chosen after the deletion
        expectRowsMatchElements(dlg, lib);
      });
    }
    steps.push_back(selectRow(c.left[0].c_str()));
    steps.push_back(click(IDOK));
    EXPECT_EQ(run(dlg, backend, steps), IDOK);
    EXPECT_EQ(namesOf(lib), c.left);
    EXPECT_EQ(dlg.m_chosenSection.m_strName, c.left[0].c_str());
  }
}

TEST(UserSectionPicker, EndingsAndWhatTheyHandBack) {
  struct Case {
    int elements;  // 0: empty list; 3: b, a, c
    std::vector<Step> steps;
    INT_PTR result;
    const char* chosenName;
    std::vector<std::string> left;
  };
  const Case cases[] = {
      {0, {click(IDOK)}, IDOK, "", {}},                  // the default section
      {3, {click(IDOK)}, IDOK, "b", {"b", "a", "c"}},    // element 0 when nothing selected
      {3, {selectRow("a"), click(IDC_BTN_USERSECTION_DELETE), click(IDC_BTN_USERSECTION_ADD)}, 0, "a", {"b", "c"}},
  };
  for (const Case& c : cases) {
    SectionList lib;
    if (c.elements) fillBAC(lib);
    CDlgUserSectionLib dlg(&lib);
    TestBackend backend;
    EXPECT_EQ(run(dlg, backend, c.steps), c.result) << c.chosenName;
    EXPECT_EQ(dlg.m_chosenSection.m_strName, c.chosenName);
    EXPECT_EQ(namesOf(lib), c.left);
  }

  // An element 0 without text opens with the default outline in its place, name kept.
  SectionList lib;
  lib.Add(section("empty", 10, 7));
  lib[0].m_strSection.Empty();
  CDlgUserSectionLib dlg(&lib);
  TestBackend backend;
  EXPECT_EQ(run(dlg, backend, {[](DialogSession& s) { EXPECT_EQ(shownBaseX(s), 500); }, click(IDOK)}), IDOK);
  EXPECT_EQ(dlg.m_chosenSection.m_strSection, CUserSectionInfo().m_strSection);
  EXPECT_EQ(dlg.m_chosenSection.m_strName, "empty");
}

TEST(SectionDialog, NamesChecked) {
  CDlgSection dlg;
  dlg.m_sectionList.Add(section("Sec", 10, 0));
  dlg.m_sectionList.Add(section("截面", 10, 0));
  struct Case {
    const char* name;
    const char* message;
  } const cases[] = {{"", "名称为空"}, {"Sec", "重名"}, {"截面", "重名"}, {"sec", nullptr}, {"截面2", nullptr}};
  for (const Case& c : cases) EXPECT_STREQ(dlg.CheckNewName(c.name), c.message) << c.name;
}

TEST(SectionDialog, SavingAppendsUnderTrimmedNamesAndTheLibraryPicksBack) {
  CDlgSection dlg;
  dlg.m_sectionList.Add(section("b", 200, 1));
  dlg.m_sectionList.Add(section("a", 100, 2));
  const CString current = dlg.m_userSection.m_strSection;
  TestBackend backend;
  INT_PTR result = run(dlg, backend,
                       {[](DialogSession& s) { EXPECT_EQ(shownBaseX(s), 500); },  // the default outline
                        click(IDC_BTN_SAVE_TO_LIB), answerName("  截面 A\t "),
                        click(IDC_BTN_SAVE_TO_LIB), answerName("截面 A"),  // 重名
                        click(IDC_BTN_SAVE_TO_LIB), [](DialogSession& s) { s.click(item(s, IDCANCEL)); },
                        click(IDC_BTN_SAVE_TO_LIB), answerName("截面 B"),
                        // The library: choosing row a makes it the current section.
                        click(IDC_BTN_SECTION_LIB), selectRow("a"), click(IDOK),
                        [](DialogSession& s) { EXPECT_EQ(shownBaseX(s), 100); },
                        // "增加" in the library changes nothing.
                        click(IDC_BTN_SECTION_LIB), selectRow("b"), click(IDC_BTN_USERSECTION_ADD),
                        click(IDOK)});
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(backend.boxes[0].text, "重名");
  EXPECT_EQ(namesOf(dlg.m_sectionList), (std::vector<std::string>{"b", "a", "截面 A", "截面 B"}));
  for (int i : {2, 3}) {
    EXPECT_EQ(dlg.m_sectionList[i].m_strSection, current);
    EXPECT_EQ(dlg.m_sectionList[i].m_nTag, 0);
  }
  EXPECT_EQ(dlg.m_userSection.m_strName, "a");
  EXPECT_EQ(dlg.m_userSection.m_nTag, 2);
  EXPECT_EQ(dlg.m_userSection.m_strSection, section("a", 100, 2).m_strSection);
}

TEST(SectionDialog, ThePreviewGrowsByTheGrowthOfTheClientArea) {
  CDlgSection dlg;
  TestBackend backend;
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
  EXPECT_EQ(run(dlg, backend, steps), IDCANCEL);
}

namespace {

const char kDrawnArcOutline[] = "[PolylineSection]\nPoints=0,0,0;100,0,1;100,100,0;0,100,0;0,0,0\nBasePoint=10,20";
const std::deque<std::string> kDrawArcOutline = {"0,0", "100,0", "A", "100,100", "L", "0,100", "C", "10,20"};

// Two lines with a gap between them: they chain into no outline.
std::vector<AcDbObjectId> addGappedLines(Drawing& drawing) {
  return {drawing.add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(5, 0, 0))),
          drawing.add(new AcDbLine(AcGePoint3d(9, 0, 0), AcGePoint3d(9, 5, 0)))};
}

}  // namespace

TEST(OutlinePicks, ResultCodesLeaveTheDrawingAsItWas) {
  struct Case {
    int (*pick)(CString&);
    std::deque<std::string> answers;  // running out of answers cancels the request
    int result;
    const char* text;  // the text afterwards (it starts as "keep")
  };
  const Case cases[] = {
      {drawOutline, {}, 1, ""},                                // drawing cancelled
      {drawOutline, {"0,0", "100,0", "0,100", "C"}, 2, ""},    // base point cancelled
      {drawOutline, kDrawArcOutline, 0, kDrawnArcOutline},
      {selectCurves, {}, 2, "keep"},                           // selection cancelled
      {selectCurves, {"all", ""}, 2, "keep"},                  // base point cancelled
      {selectCurves, {"all", "", "0,0"}, 5, "keep"},           // the curves do not chain
  };
  for (const Case& c : cases) {
    Drawing drawing;
    const std::vector<AcDbObjectId> lines = addGappedLines(drawing);
    drawing.input.lines = c.answers;
    CString text = "keep";
    EXPECT_EQ(c.pick(text), c.result) << c.text;
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(drawing.modelSpace(), lines) << c.text;  // no temporary polyline left
  }
}

// Answers like the drawing's queue and notes whether the dialog was visible at each request.
struct WatchingInput : QueuedInput {
  HWND dialog = nullptr;
  int visibleRequests = 0;
  contura::ed::InputLine readLine(const contura::ed::InputRequest& request) override {
    visibleRequests += IsWindowVisible(dialog) ? 1 : 0;
    return QueuedInput::readLine(request);
  }
};

TEST(SectionDialog, PicksHideTheDialogAndOnlySuccessfulOnesChangeTheOutline) {
  Drawing drawing;
  addGappedLines(drawing);
  WatchingInput input;
  contura::ed::ScopedInputBackend scope(input);
  CDlgSection dlg;
  dlg.m_userSection = section("prev", 70, 5);
  const CString previous = dlg.m_userSection.m_strSection;
  auto pick = [&input](int button, std::deque<std::string> answers, const CString& text, double baseX) {
    return [&input, button, answers, text, baseX](DialogSession& s) {
      input.dialog = s.dialog();
      input.lines = answers;
      s.click(item(s, button));
      EXPECT_EQ(input.visibleRequests, 0) << button;       // hidden while the user picks,
      EXPECT_TRUE(IsWindowVisible(s.dialog())) << button;  // shown again afterwards
      EXPECT_EQ(static_cast<CDlgSection&>(s.dialogObject()).m_userSection.m_strSection, text);
      EXPECT_EQ(shownBaseX(s), baseX);
    };
  };
  TestBackend backend;
  INT_PTR result = run(dlg, backend,
                       {pick(IDC_BTN_DRAW_OUTLINE, {"0,0", "100,0", "0,100", "C"}, previous, 70),
                        pick(IDC_BTN_SELECT_CURVES, {"all", "", "0,0"}, previous, 70),
                        pick(IDC_BTN_DRAW_OUTLINE, kDrawArcOutline, kDrawnArcOutline, 10), click(IDOK)});
  EXPECT_EQ(result, IDOK);
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

  // Runs `call` with the steps; the section dialog runs once, with the module's resources
  // current, and they are popped again afterwards.
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

TEST_F(UserSectionCommand, OkDrawsTheOutlineInGreenAtTheOriginAndEachRunStartsAfresh) {
  // A first run saves a section and picks it back, then is cancelled: nothing is drawn.
  runWithResources(CConturaApp::OnUSection, {click(IDC_BTN_SAVE_TO_LIB), answerName("截面"),
                                             click(IDC_BTN_SECTION_LIB), click(IDOK), click(IDCANCEL)});
  EXPECT_TRUE(drawing_.modelSpace().empty());

  // The next starts with an empty list (the library shows no row) and the default outline.
  runWithResources(CConturaApp::OnUSection, {click(IDC_BTN_SECTION_LIB),
                                             [](DialogSession& s) {
                                               EXPECT_EQ(SendDlgItemMessage(s.dialog(), IDC_LIST_USERSECTION,
                                                                            LB_GETCOUNT, 0, 0),
                                                         0);
                                               s.click(item(s, IDCANCEL));
                                             },
                                             click(IDOK)});
  // (Every vertex is compared in the end-to-end run of the default outline.)
  auto ids = drawing_.modelSpace();
  ASSERT_EQ(ids.size(), 1u);
  Opened<AcDbPolyline> p(ids[0]);
  ASSERT_NE(p.p, nullptr);
  EXPECT_EQ(p->colorIndex(), 3);
  AcGePoint2d first;
  p->getPointAt(0, first);
  EXPECT_EQ(first, AcGePoint2d(-500, -500));
}

TEST_F(UserSectionCommand, TheExportedPickerHandsBackOnlyAfterOk) {
  CUserSectionInfo info = section("mine", 40, 9);
  SectionList lib;
  fillBAC(lib);
  // Cancelled after saving one more and deleting one: the caller's record and list stay.
  runWithResources([&] { EXPECT_EQ(CSectionString::getUserSelectSection(info, lib), 1); },
                   {click(IDC_BTN_SAVE_TO_LIB), answerName("new"), click(IDC_BTN_SECTION_LIB), selectRow("a"),
                    click(IDC_BTN_USERSECTION_DELETE), click(IDOK), click(IDCANCEL)});
  EXPECT_EQ(namesOf(lib), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_EQ(info.m_strName, "mine");

  // Confirmed: the dialog's list and its current section (here the row c picked) come back.
  runWithResources([&] { EXPECT_EQ(CSectionString::getUserSelectSection(info, lib), 0); },
                   {[](DialogSession& s) { EXPECT_EQ(shownBaseX(s), 40); },  // the caller's record
                    click(IDC_BTN_SAVE_TO_LIB), answerName("new"), click(IDC_BTN_SECTION_LIB), selectRow("a"),
                    click(IDC_BTN_USERSECTION_DELETE), selectRow("c"), click(IDOK), click(IDOK)});
  EXPECT_EQ(namesOf(lib), (std::vector<std::string>{"b", "c", "new"}));
  EXPECT_EQ(lib[2].m_strSection, section("mine", 40, 9).m_strSection);
  EXPECT_EQ(info.m_strName, "c");
  EXPECT_EQ(info.m_nTag, 3);
  EXPECT_EQ(info.m_strSection, section("c", 300, 3).m_strSection);
}
