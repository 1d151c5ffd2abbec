// Selection sets from the input language (window, crossing, pick, handles, all, last, empty,
// cancel), filters and modes, and the set functions.
#include "editor_fixture.h"

#include <adscodes.h>

using Ids = std::vector<AcDbObjectId>;

TEST_F(EditorTest, WindowTakesWhatLiesInsideCrossingWhatTouches) {
  // The window holds the line whole and only part of the diagonal.
  EXPECT_EQ(select({"w -1,-1 11,25", ""}), Ids{line});
  EXPECT_EQ(select({"c -1,-1 11,25", ""}), (Ids{line, diagonal}));
  // Inside the diagonal's extents but away from the line itself: nothing crosses.
  EXPECT_EQ(select({"c 8,20 10,22", ""}, RTERROR), Ids{});
  // The arc runs from 0 to 90 degrees: a window on the missing quarter misses it, one on
  // its middle catches it.
  EXPECT_EQ(select({"c 88,-8 92,-4", ""}, RTERROR), Ids{});
  EXPECT_EQ(select({"c 106,6 108,8", ""}), Ids{arc});
  // The polyline's half circle bulges below its chord; corners in any order.
  EXPECT_EQ(select({"c 206,-6 204,-4", ""}), Ids{polyline});
  EXPECT_EQ(select({"c 204,1 206,3", ""}, RTERROR), Ids{});
  // The text counts by its box; the frozen layer's line is never selected.
  EXPECT_EQ(select({"c 1,-19 2,-18", ""}), Ids{text});
  EXPECT_EQ(select({"w -1,99 11,101", ""}, RTERROR), Ids{});
}

TEST_F(EditorTest, PicksFindTheNearestEntityWithinThePickBox) {
  EXPECT_EQ(select({"5,3", ""}), Ids{line});
  EXPECT_EQ(select({"56,50", ""}), Ids{circle});
  EXPECT_EQ(select({"50,50", ""}), Ids{circle});  // the box's border reaches the circle
  EXPECT_EQ(select({"40,40", ""}, RTERROR), Ids{});
  EXPECT_EQ(select({"2,-18", ""}), Ids{text});  // inside the text's box
  // 14 from the line and 6 from the diagonal's end: both outside a box of 5.
  EXPECT_EQ(select({"0,14", ""}, RTERROR), Ids{});
  // A larger box reaches both lines: the nearer one wins.
  contura::ed::setPickBox(8);
  EXPECT_EQ(select({"0,6", ""}), Ids{line});
  EXPECT_EQ(select({"0,15", ""}), Ids{diagonal});
}

TEST_F(EditorTest, LinesAddUpUntilAnEmptyLine) {
  Ids all = select({"all", ""});
  EXPECT_EQ(all, (Ids{line, diagonal, circle, arc, polyline, text}));
  EXPECT_EQ(select({"l", ""}), Ids{text});  // the last entity that can be seen
  EXPECT_EQ(select({"h " + handleOf(circle) + " " + handleOf(arc), "5,0", "5,0", ""}), (Ids{circle, arc, line}));
  EXPECT_EQ(input.messages, (std::vector<std::string>{"\n找到 6 个", "\n找到 1 个", "\n找到 2 个",
                                                      "\n找到 1 个，总计 3 个", "\n找到 1 个（1 个重复），总计 3 个"}));
  for (const auto& r : input.requests) {
    EXPECT_EQ(r.kind, contura::ed::RequestKind::kSelection);
    EXPECT_EQ(r.prompt, "选择对象: ");
  }
}

TEST_F(EditorTest, EmptyCancelledInvalidAndEndedSelections) {
  EXPECT_EQ(select({""}, RTERROR), Ids{});  // nothing selected: no set
  EXPECT_EQ(select({"all", "*cancel*"}, RTCAN), Ids{});
  EXPECT_EQ(input.messages.back(), "\n*取消*");
  input.messages.clear();
  EXPECT_EQ(select({"w 1,1", "h zz", "frog", "5,0", ""}), Ids{line});
  EXPECT_EQ(input.messages, (std::vector<std::string>{"\n*无效选择*", "\n*无效选择*", "\n*无效选择*", "\n找到 1 个"}));
  EXPECT_EQ(select({"5,0"}, RTCAN), Ids{});  // the input ended before the empty line
  input.messages.clear();
  EXPECT_EQ(select({"h FFFF", ""}, RTERROR), Ids{});
  EXPECT_EQ(input.messages.front(), "\n未找到句柄“FFFF”。");
  EXPECT_EQ(contura::ed::openSelectionSets(), 0);
}

TEST_F(EditorTest, FiltersAndModes) {
  resbuf* byLayer = acutBuildList(8, "文字", 0);
  EXPECT_EQ(select({"all", ""}, RTNORM, byLayer), Ids{text});
  resbuf* byType = acutBuildList(RTDXF0, "line,ARC", 0);
  EXPECT_EQ(select({"all", ""}, RTNORM, byType), (Ids{line, diagonal, arc}));
  resbuf* frozenLines = acutBuildList(RTDXF0, "LINE", 8, "冻*", 0);
  EXPECT_EQ(select({}, RTNORM, frozenLines, "X"), Ids{hidden});  // "X" sees every layer, asks nothing
  EXPECT_EQ(input.requests.size(), 4u);  // two lines each for the two selections before
  // ":S" ends with the first line that selects something.
  EXPECT_EQ(select({"300,300", "5,0", "50,55"}, RTNORM, byType, ":S"), Ids{line});
  EXPECT_EQ(input.lines.size(), 1u);
  resbuf* unsupported = acutBuildList(-4, "<OR", 0);
  EXPECT_EQ(select({}, RTERROR, unsupported), Ids{});
  acutRelRb(byLayer);
  acutRelRb(byType);
  acutRelRb(frozenLines);
  acutRelRb(unsupported);

  ads_name ss;
  ads_point a{-1, -1, 0}, b{11, 25, 0};
  ASSERT_EQ(acedSSGet("_W", a, b, nullptr, ss), RTNORM);
  EXPECT_EQ(membersAndFree(ss), Ids{line});
  ASSERT_EQ(acedSSGet("P", nullptr, nullptr, nullptr, ss), RTNORM);  // the previous set
  EXPECT_EQ(membersAndFree(ss), Ids{line});
  ads_point nowhere{300, 300, 0};
  ASSERT_EQ(acedSSGet(nullptr, nowhere, nullptr, nullptr, ss), RTERROR);  // a pick with nothing there
  ads_point onCircle{55, 50, 0};
  ASSERT_EQ(acedSSGet(nullptr, onCircle, nullptr, nullptr, ss), RTNORM);
  EXPECT_EQ(membersAndFree(ss), Ids{circle});
  EXPECT_EQ(acedSSGet("I", nullptr, nullptr, nullptr, ss), RTERROR);
  EXPECT_EQ(acedSSGet("Q", nullptr, nullptr, nullptr, ss), RTERROR);
}

TEST_F(EditorTest, SetFunctionsAndTheLimitOfOpenSets) {
  ads_name lineName, circleName;
  ASSERT_EQ(acdbGetAdsName(lineName, line), Acad::eOk);
  ASSERT_EQ(acdbGetAdsName(circleName, circle), Acad::eOk);
  ads_name ss, same;
  ASSERT_EQ(acedSSAdd(lineName, nullptr, ss), RTNORM);
  ASSERT_EQ(acedSSAdd(circleName, ss, same), RTNORM);
  EXPECT_TRUE(ads_name_equal(ss, same));
  ASSERT_EQ(acedSSAdd(lineName, ss, ss), RTNORM);  // already a member
  Adesk::Int32 n = 0;
  EXPECT_EQ(acedSSLength(ss, &n), RTNORM);
  EXPECT_EQ(n, 2);
  ads_name e;
  EXPECT_EQ(acedSSName(ss, 2, e), RTERROR);
  EXPECT_EQ(acedSSName(ss, -1, e), RTERROR);
  EXPECT_EQ(acedSSMemb(circleName, ss), RTNORM);
  EXPECT_EQ(acedSSDel(circleName, ss), RTNORM);
  EXPECT_EQ(acedSSMemb(circleName, ss), RTERROR);
  EXPECT_EQ(acedSSFree(ss), RTNORM);
  EXPECT_EQ(acedSSFree(ss), RTERROR);
  EXPECT_EQ(acedSSLength(ss, &n), RTERROR);
  EXPECT_EQ(acedSSAdd(lineName, ss, same), RTERROR);  // a freed set
  EXPECT_EQ(acedSSLength(lineName, &n), RTERROR);     // an entity is no set

  std::vector<std::array<Adesk::LongPtr, 2>> sets;
  for (int i = 0; i < 128; ++i) {
    ads_name s;
    ASSERT_EQ(acedSSAdd(nullptr, nullptr, s), RTNORM) << i;
    sets.push_back({s[0], s[1]});
  }
  ads_name extra;
  EXPECT_EQ(acedSSAdd(nullptr, nullptr, extra), RTERROR);
  input.lines = {"all", ""};
  EXPECT_EQ(acedSSGet(nullptr, nullptr, nullptr, nullptr, extra), RTERROR);
  EXPECT_EQ(contura::ed::openSelectionSets(), 128);
  ads_name first{sets[0][0], sets[0][1]};
  acedSSFree(first);
  EXPECT_EQ(acedSSAdd(nullptr, nullptr, extra), RTNORM);
}
