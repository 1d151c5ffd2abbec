// CSectionString: outline texts to a polyline at the origin or as they stand, and malformed
// texts. (Regions and their areas are compared in the end-to-end runs of a module built
// against Contura.arx.)
#include "SectionString.h"

#include <gtest/gtest.h>

#include "drawing_fixture.h"

TEST(SectionString, OutlinesReadAtTheOriginOrAsTheyStand) {
  const CString kDefault = CUserSectionInfo().m_strSection;
  // Items of two numbers take their y as bulge; letter case of keys and blanks do not count.
  const char kTwoNumbers[] = "points= 0,0,1 ; 1000,0.25\nbasepoint=10,20\n";
  struct Case {
    const char* text;
    bool atOrigin;
    std::vector<std::array<double, 3>> vertices;  // x, y, bulge
    AcGePoint3d base;
  } const cases[] = {
      {kDefault.GetString(), true, {{-500, -500, 0}, {500, -500, 0}, {100, 500, 0}, {-500, 500, 0}, {-500, -500, 0}}, {0, 0, 0}},
      {kDefault.GetString(), false, {{0, 0, 0}, {1000, 0, 0}, {600, 1000, 0}, {0, 1000, 0}, {0, 0, 0}}, {500, 500, 0}},
      {kTwoNumbers, false, {{0, 0, 1}, {1000, 0.25, 0.25}}, {10, 20, 0}},
      {kTwoNumbers, true, {{-10, -20, 1}, {990, -19.75, 0.25}}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    AcDbPolyline* p = NULL;
    AcGePoint3d base(7, 8, 9);  // not used on entry
    ASSERT_EQ(c.atOrigin ? CSectionString::getSectionPolylineFromString(p, base, c.text)
                         : CSectionString::readPolylineSection(p, base, c.text),
              0);
    EXPECT_EQ(verticesOf(p), c.vertices);
    EXPECT_FALSE(p->isClosed());
    EXPECT_EQ(base, c.base);
    delete p;
  }
}

TEST(SectionString, MalformedTextsGiveACodeAndNoPolyline) {
  struct Case {
    const char* text;
    int result;
  } const cases[] = {
      {"Points=  \nBasePoint=0,0", CSectionString::kOutlineNoPoints},
      {"Points=0,0,0;1000 0 0\nBasePoint=0,0", CSectionString::kOutlineItemWithoutComma},
      {"Points=0,0,0;;5,5,0\nBasePoint=0,0", CSectionString::kOutlineBadNumber},  // ";5" is no number
      {"Points=0,0,0;1x,0,0\nBasePoint=0,0", CSectionString::kOutlineBadNumber},
      {"Points=0,0,0;1,,0\nBasePoint=0,0", CSectionString::kOutlineBadNumber},
      {"Points=0,0,0;1,nan,0\nBasePoint=0,0", CSectionString::kOutlineBadNumber},
      {"Points=0,0,0;1,0,0\n", CSectionString::kOutlineBadBasePoint},
      {"Points=0,0,0;1,0,0\nBasePoint=5", CSectionString::kOutlineBadBasePoint},
  };
  for (const Case& c : cases) {
    AcDbPolyline* p = reinterpret_cast<AcDbPolyline*>(0x1);  // must come back null
    AcGePoint3d base(1, 2, 3);
    EXPECT_EQ(CSectionString::getSectionPolylineFromString(p, base, c.text), c.result) << c.text;
    EXPECT_EQ(p, nullptr) << c.text;
    EXPECT_EQ(base, AcGePoint3d(1, 2, 3)) << c.text;
  }
}
