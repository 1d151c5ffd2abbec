// Points, entity picks and drags from the input language; temporary vectors and commands;
// coordinate systems, palette colours and views.
#include <accmd.h>
#include <afxwin.h>
#include <rxregsvc.h>

#include "editor_fixture.h"

using Point = std::array<double, 3>;

namespace {

Point asPoint(const ads_point p) { return {p[0], p[1], p[2]}; }
resbuf systemCode(int code) {
  resbuf rb{};
  rb.restype = RTSHORT;
  rb.resval.rint = static_cast<short>(code);
  return rb;
}

}  // namespace

TEST_F(EditorTest, PointsAbsoluteRelativeEmptyCancelledAndInvalid) {
  input.lines = {"3,4", "1.5, -2 ,3", "@1,1", "@2,0", "", "*cancel*", "abc", "1,2,3,4", "@x,1", "7,8"};
  ads_point p;
  ads_point base{5, 5, 0};
  ASSERT_EQ(acedGetPoint(nullptr, "\n输入插入基点:", p), RTNORM);
  EXPECT_EQ(asPoint(p), (Point{3, 4, 0}));
  ASSERT_EQ(acedGetPoint(nullptr, nullptr, p), RTNORM);
  EXPECT_EQ(asPoint(p), (Point{1.5, -2, 3}));
  ASSERT_EQ(acedGetPoint(base, "", p), RTNORM);  // relative to the base point
  EXPECT_EQ(asPoint(p), (Point{6, 6, 0}));
  ASSERT_EQ(acedGetPoint(nullptr, "", p), RTNORM);  // relative to the last point
  EXPECT_EQ(asPoint(p), (Point{8, 6, 0}));
  EXPECT_EQ(acedGetPoint(nullptr, "", p), RTNONE);
  EXPECT_EQ(acedGetPoint(nullptr, "", p), RTCAN);
  EXPECT_EQ(input.messages.back(), "\n*取消*");
  input.messages.clear();
  ASSERT_EQ(acedGetPoint(nullptr, "", p), RTNORM);  // three refusals, then a point
  EXPECT_EQ(asPoint(p), (Point{7, 8, 0}));
  EXPECT_EQ(input.messages, (std::vector<std::string>(3, "\n点无效。")));
  EXPECT_EQ(acedGetPoint(nullptr, "", p), RTCAN);  // the input ended
  EXPECT_EQ(input.requests.front().prompt, "\n输入插入基点:");
  ASSERT_TRUE(input.requests[2].base.has_value());
  EXPECT_EQ(*input.requests[2].base, (Point{5, 5, 0}));
  EXPECT_EQ(contura::ed::lastPoint(), (Point{7, 8, 0}));
}

TEST_F(EditorTest, EntityPicksByPointAndHandle) {
  input.lines = {"101,9.9", "h " + handleOf(text), "300,300", "", "nonsense", "*cancel*"};
  ads_name e;
  ads_point at;
  AcDbObjectId id;
  ASSERT_EQ(acedEntSel("\n请选择变量类别:", e, at), RTNORM);
  ASSERT_EQ(acdbGetObjectId(id, e), Acad::eOk);
  EXPECT_EQ(id, arc);
  EXPECT_EQ(asPoint(at), (Point{101, 9.9, 0}));
  ASSERT_EQ(acedEntSel(nullptr, e, at), RTNORM);
  ASSERT_EQ(acdbGetObjectId(id, e), Acad::eOk);
  EXPECT_EQ(id, text);
  EXPECT_EQ(acedEntSel(nullptr, e, at), RTERROR);  // nothing there
  EXPECT_EQ(acedEntSel(nullptr, e, at), RTERROR);  // an empty answer
  EXPECT_EQ(acedEntSel(nullptr, e, at), RTCAN);    // after one refusal
  EXPECT_EQ(input.messages, (std::vector<std::string>{"\n点无效。", "\n*取消*"}));
  EXPECT_EQ(input.requests[1].prompt, "\n选择对象: ");
  EXPECT_EQ(input.requests[0].kind, contura::ed::RequestKind::kEntity);
}

namespace {
Point g_cursor;
int g_answer = RTNORM;
int dragCallback(ads_point pt, ads_matrix m) {
  g_cursor = {pt[0], pt[1], pt[2]};
  m[0][3] = pt[0] - 1.0;  // a translation from (1, 0)
  return g_answer;
}
}  // namespace

TEST_F(EditorTest, DragsGiveTheFinalPointToTheCallback) {
  ads_name ss, lineName;
  acdbGetAdsName(lineName, line);
  ASSERT_EQ(acedSSAdd(lineName, nullptr, ss), RTNORM);
  input.lines = {"oops", "4,5", "@1,1", "", "*cancel*"};
  ads_point p;
  ASSERT_EQ(acedDragGen(ss, "\n指定位移第二点", 0, dragCallback, p), RTNORM);
  EXPECT_EQ(asPoint(p), (Point{4, 5, 0}));
  EXPECT_EQ(g_cursor, (Point{4, 5, 0}));
  g_answer = RTERROR;  // the callback stops the drag
  EXPECT_EQ(acedDragGen(ss, "", 0, dragCallback, p), RTERROR);
  EXPECT_EQ(g_cursor, (Point{5, 6, 0}));
  g_answer = RTNORM;
  EXPECT_EQ(acedDragGen(ss, "", 0, dragCallback, p), RTNONE);
  EXPECT_EQ(acedDragGen(ss, "", 0, dragCallback, p), RTCAN);
  EXPECT_EQ(input.requests.front().kind, contura::ed::RequestKind::kDrag);
  acedSSFree(ss);
  EXPECT_EQ(acedDragGen(ss, "", 0, dragCallback, p), RTERROR);  // no such set
}

namespace {
Point g_commandPoint;
void pointCommand() {
  ads_point p;
  if (acedGetPoint(nullptr, "\n点:", p) == RTNORM) g_commandPoint = {p[0], p[1], p[2]};
}
}  // namespace

TEST_F(EditorTest, TemporaryVectorsLastUntilRegen) {
  ads_point a{0, 0, 0}, b{10, 0, 0};
  EXPECT_EQ(acedGrDraw(a, b, 1, 0), RTNORM);
  EXPECT_EQ(acedGrDraw(b, a, -1, 1), RTNORM);
  std::vector<contura::ed::TemporaryVector> drawn = contura::ed::temporaryVectors();
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[1].color, -1);
  EXPECT_TRUE(drawn[1].highlighted);
  EXPECT_EQ(acedCommand(RTSTR, "regen", 0), RTNORM);
  EXPECT_TRUE(contura::ed::temporaryVectors().empty());
  EXPECT_EQ(contura::ed::regenerations(), 1);
  acedGrDraw(a, b, 2, 0);
  EXPECT_EQ(acedCommandS(RTSTR, "_.REDRAW", RTNONE), RTNORM);
  EXPECT_TRUE(contura::ed::temporaryVectors().empty());
  EXPECT_EQ(acedCommand(RTSTR, "nosuch", 0), RTERROR);
  EXPECT_EQ(input.messages.back(), "\n未知命令“NOSUCH”。");
  EXPECT_EQ(acedCommand(RTSTR, "regen", RTSTR, "extra", 0), RTERROR);

  // A registered command runs with the given answers.
  acedRegCmds->addCommand("EdTest", "PointCmd", "PTC", ACRX_CMD_MODAL, pointCommand);
  ads_point given{3, 4, 0};
  EXPECT_EQ(acedCommand(RTSTR, "ptc", RTPOINT, given, 0), RTNORM);
  EXPECT_EQ(g_commandPoint, (Point{3, 4, 0}));
  EXPECT_TRUE(input.requests.empty());  // answered without asking
  EXPECT_EQ(input.messages.back(), "\n点:3,4");
  resbuf* list = acutBuildList(RTSTR, "PointCmd", RTSTR, "\\", 0);
  input.lines = {"9,9"};  // the pause asks the person
  EXPECT_EQ(acedCmdS(list), RTNORM);
  EXPECT_EQ(g_commandPoint, (Point{9, 9, 0}));
  acutRelRb(list);
  acedRegCmds->removeGroup("EdTest");
}

TEST_F(EditorTest, CoordinateSystemsColoursAndViews) {
  resbuf world = systemCode(0), display = systemCode(2), below{};
  below.restype = RT3DPOINT;
  below.resval.rpoint[2] = -1;  // seen along this direction
  ads_point p{3, 4, 5}, out;
  ASSERT_EQ(acedTrans(p, &world, &display, 0, out), RTNORM);
  EXPECT_EQ(asPoint(out), (Point{3, 4, 5}));
  ASSERT_EQ(acedTrans(p, &world, &below, 0, out), RTNORM);  // seen from below, x and z turn round
  EXPECT_EQ(asPoint(out), (Point{-3, 4, -5}));
  ASSERT_EQ(acedTrans(out, &below, &world, 0, out), RTNORM);
  EXPECT_EQ(asPoint(out), (Point{3, 4, 5}));
  resbuf bad = systemCode(7);
  EXPECT_EQ(acedTrans(p, &bad, &world, 0, out), RTERROR);

  EXPECT_EQ(acedGetRGB(1), 0x0000FFu);
  EXPECT_EQ(acedGetRGB(5), 0xFF0000u);
  EXPECT_EQ(acedGetRGB(256), 0u);

  EXPECT_NE(adsw_acadMainWnd(), nullptr);
  EXPECT_TRUE(IsWindow(adsw_acadMainWnd()));

  AcDbViewTableRecord view;
  view.setCenterPoint(AcGePoint2d(50, 25));
  view.setHeight(30);
  view.setWidth(60);
  EXPECT_EQ(acedSetCurrentView(nullptr, nullptr), Acad::eNullObjectPointer);
  ASSERT_EQ(acedSetCurrentView(&view, nullptr), Acad::eOk);
  EXPECT_EQ(contura::ed::displayedView().width, 60);
  ASSERT_EQ(acedVports2VportTableRecords(), Acad::eOk);
  AcDbViewportTable* vports = nullptr;
  ASSERT_EQ(db->getViewportTable(vports, AcDb::kForRead), Acad::eOk);
  AcDbViewportTableRecord* active = nullptr;
  ASSERT_EQ(vports->getAt("*ACTIVE", active, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(active->centerPoint(), AcGePoint2d(50, 25));
  EXPECT_EQ(active->height(), 30);
  active->close();
  vports->close();
}

namespace {
enum class Ask { kPoint, kKword };
struct KeywordCase {
  const char* list;
  int flags;
  Ask ask;
  std::deque<std::string> answers;
  int rc;
  std::string keyword;  // acedGetInput after RTKWORD, the result of acedGetKword
  std::vector<std::string> refusals;
};
const std::string kNeedPoint(contura::ed::kPointOrKeyword), kBadKeyword(contura::ed::kInvalidKeyword);
}  // namespace

TEST_F(EditorTest, KeywordAnswersToPointAndKeywordRequests) {
  const KeywordCase cases[] = {
      {"Arc Close Undo", 0, Ask::kPoint, {" CLOSE "}, RTKWORD, "Close", {}},
      {"LType eXit", 0, Ask::kPoint, {"lTy"}, RTKWORD, "LType", {}},
      {"LType eXit", 0, Ask::kPoint, {"X"}, RTKWORD, "eXit", {}},
      {"LType eXit", 0, Ask::kPoint, {"ex"}, RTKWORD, "eXit", {}},
      {"LType eXit", 0, Ask::kPoint, {"l", "e", "exits", "3,4"}, RTNORM, "", {3, kNeedPoint}},
      {"Line LType", 0, Ask::kPoint, {"l"}, RTKWORD, "Line", {}},
      {"LArge Line", 0, Ask::kPoint, {"li"}, RTKWORD, "Line", {}},
      {"癆 Arc", 0, Ask::kPoint, {"a"}, RTKWORD, "Arc", {}},  // 癆's second byte is 'A': no capital
      {"圆弧 闭合 _ Arc Close", 0, Ask::kPoint, {"闭合"}, RTKWORD, "Close", {}},
      {"圆弧 闭合 _ Arc Close", 0, Ask::kPoint, {"_a"}, RTKWORD, "Arc", {}},
      {"圆弧 闭合 _ Arc Close", 0, Ask::kPoint, {"a", "1,2"}, RTNORM, "", {kNeedPoint}},
      {"Arc", 0, Ask::kPoint, {""}, RTNONE, "", {}},
      {"Arc", RSG_NONULL, Ask::kPoint, {"", "A"}, RTKWORD, "Arc", {kNeedPoint}},
      {nullptr, RSG_NONULL, Ask::kPoint, {"", "zz", "5,5"}, RTNORM, "", {2, std::string(contura::ed::kInvalidPoint)}},
      {"Arc", RSG_OTHER, Ask::kPoint, {"12 间"}, RTKWORD, "12 间", {}},
      {"Yes No", 0, Ask::kKword, {"maybe", "1,1", "nO"}, RTNORM, "No", {2, kBadKeyword}},
      {"Yes No", 0, Ask::kKword, {""}, RTNONE, "", {}},
      {"Yes No", RSG_NONULL, Ask::kKword, {"", "no"}, RTNORM, "No", {kBadKeyword}},
      {"Yes No", RSG_OTHER, Ask::kKword, {"perhaps"}, RTNORM, "perhaps", {}},
      {"Yes No", 0, Ask::kKword, {}, RTCAN, "", {}},
      {nullptr, 0, Ask::kKword, {"y"}, RTREJ, "", {}},
  };
  for (const KeywordCase& c : cases) {
    SCOPED_TRACE(std::string(c.list ? c.list : "(none)") + " / " + (c.answers.empty() ? "" : c.answers.front()));
    input.lines = c.answers;
    input.messages.clear();
    ASSERT_EQ(acedInitGet(c.flags, c.list), RTNORM);
    ads_point p;
    char got[512] = "";
    int rc = c.ask == Ask::kPoint ? acedGetPoint(nullptr, "\n指定点: ", p) : acedGetKword("\n是否? ", got);
    EXPECT_EQ(rc, c.rc);
    if (rc == RTKWORD) {
      EXPECT_EQ(acedGetInput(got), RTNORM);
    }
    if (rc == RTKWORD || c.ask == Ask::kKword) {
      EXPECT_EQ(got, c.keyword);
    }
    EXPECT_EQ(input.messages, c.refusals);
  }
  EXPECT_EQ(acedInitGet(0, "Arc Close _ Arc"), RTREJ);  // halves of different length
}

TEST_F(EditorTest, ArmingLastsForOneRequest) {
  input.lines = {"c", "1,1", "c", "c", "2,2"};
  ads_point p;
  char word[512];
  ASSERT_EQ(acedInitGet(0, "Arc Close"), RTNORM);
  EXPECT_EQ(acedGetPoint(nullptr, "", p), RTKWORD);
  EXPECT_EQ(input.requests.back().keywords, (std::vector<std::string>{"Arc", "Close"}));
  EXPECT_EQ(acedGetPoint(nullptr, "", p), RTNORM);
  EXPECT_EQ(acedGetInput(word), RTERROR);  // the last request gave no keyword
  ASSERT_EQ(acedInitGet(0, "Arc Close"), RTNORM);
  ASSERT_EQ(acedGetPoint(nullptr, "", p), RTKWORD);
  EXPECT_EQ(acedGetPoint(nullptr, "", p), RTNORM);  // "c" no longer a keyword: refused
  EXPECT_EQ(asPoint(p), (Point{2, 2, 0}));
  EXPECT_TRUE(input.requests.back().keywords.empty());
  EXPECT_EQ(input.messages, (std::vector<std::string>{"\n点无效。"}));
}

TEST_F(EditorTest, StringAnswers) {
  const std::string cut = std::string(510, 'x') + "中";  // 512 bytes: the last character cannot fit
  struct Case {
    int cronly;
    std::string answer;
    int rc;
    std::string text;
  } cases[] = {
      {1, "  两个 words ", RTNORM, "  两个 words "},
      {0, "  两个 words ", RTNORM, "两个"},
      {0, "", RTNORM, ""},
      {1, " *cancel* ", RTCAN, ""},
      {1, std::string(600, 'y'), RTINPUTTRUNCATED, std::string(511, 'y')},
      {1, cut, RTINPUTTRUNCATED, std::string(510, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.substr(0, 20));
    contura::ed::resetEditor();
    input.lines = {c.answer};
    char text[512] = "";
    EXPECT_EQ(acedGetString(c.cronly, "\n名称: ", text), c.rc);
    if (c.rc != RTCAN) {
      EXPECT_EQ(text, c.text);
    }
  }
  // The words after a blank answer the requests that follow.
  input.lines = {"one two 3,4", "next"};
  char text[512];
  ads_point p;
  ASSERT_EQ(acedGetString(0, "", text), RTNORM);
  ASSERT_EQ(acedGetString(1, "", text), RTNORM);
  EXPECT_STREQ(text, "two");
  ASSERT_EQ(acedGetPoint(nullptr, "", p), RTNORM);
  EXPECT_EQ(asPoint(p), (Point{3, 4, 0}));
  ASSERT_EQ(acedGetString(1, "", text), RTNORM);
  EXPECT_STREQ(text, "next");
  EXPECT_EQ(acedGetString(1, "", text), RTCAN);  // the input ended
  EXPECT_EQ(input.requests.front().kind, contura::ed::RequestKind::kString);
}
