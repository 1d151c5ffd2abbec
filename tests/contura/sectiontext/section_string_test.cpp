// CSectionString: outline texts to a polyline at the origin and to a region, known answers
// (the default outline, a half circle, the two-number item) and malformed texts.
#include "SectionString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Vertex {
  double x, y, bulge;
};

std::vector<Vertex> verticesOf(const AcDbPolyline* p) {
  std::vector<Vertex> out;
  for (unsigned int i = 0; i < p->numVerts(); ++i) {
    AcGePoint2d pt;
    double bulge = 0;
    p->getPointAt(i, pt);
    p->getBulgeAt(i, bulge);
    out.push_back({pt.x, pt.y, bulge});
  }
  return out;
}

void expectVertices(const AcDbPolyline* p, const std::vector<Vertex>& expected) {
  std::vector<Vertex> got = verticesOf(p);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_DOUBLE_EQ(got[i].x, expected[i].x) << i;
    EXPECT_DOUBLE_EQ(got[i].y, expected[i].y) << i;
    EXPECT_DOUBLE_EQ(got[i].bulge, expected[i].bulge) << i;
  }
}

}  // namespace

TEST(SectionString, DefaultOutlineLandsWithItsBasePointOnTheOrigin) {
  AcDbPolyline* p = NULL;
  AcGePoint3d base(7, 8, 9);  // not used on entry
  ASSERT_EQ(CSectionString::getSectionPolylineFromString(p, base, CUserSectionInfo().m_strSection), 0);
  expectVertices(p, {{-500, -500, 0}, {500, -500, 0}, {100, 500, 0}, {-500, 500, 0}, {-500, -500, 0}});
  EXPECT_FALSE(p->isClosed());
  EXPECT_EQ(base, AcGePoint3d::kOrigin);
  delete p;

  // Read without the move, the text's own coordinates and base point come back.
  ASSERT_EQ(CSectionString::readPolylineSection(p, base, CUserSectionInfo().m_strSection), 0);
  EXPECT_EQ(base, AcGePoint3d(500, 500, 0));
  EXPECT_EQ(verticesOf(p)[2].x, 600.0);
  delete p;
}

TEST(SectionString, BulgesAndTheTwoNumberItem) {
  AcDbPolyline* p = NULL;
  AcGePoint3d base;
  // Items of two numbers take their y as bulge; letter case of keys and blanks do not count.
  ASSERT_EQ(CSectionString::readPolylineSection(p, base, "points= 0,0,1 ; 1000,0.25\nbasepoint=10,20\n"), 0);
  expectVertices(p, {{0, 0, 1}, {1000, 0.25, 0.25}});
  EXPECT_EQ(base, AcGePoint3d(10, 20, 0));
  delete p;
}

TEST(SectionString, RegionsOfClosedOutlinesAndRefusedOnes) {
  struct Case {
    const char* text;
    int result;
    double area = 0, perimeter = 0;
  };
  const double pi = std::acos(-1.0);
  const Case cases[] = {
      {"[PolylineSection]\nPoints=0,0,0;1000,0,0;600,1000,0;0,1000,0;0,0,0\nBasePoint=500,500", 0, 800000,
       1000 + 600 + 1000 + std::sqrt(400.0 * 400 + 1000 * 1000)},
      {"Points=0,0,1;1000,0,0;0,0,0\nBasePoint=500,0", 0, pi * 500 * 500 / 2, pi * 500 + 1000},
      {"Points=0,0,1;1000,0,0\nBasePoint=500,0", 2},                    // open: no region
      {"Points=0,0,0;100,100,0;100,0,0;0,100,0;0,0,0\nBasePoint=0,0", 2},  // crosses itself
      {"Points=0,0,0;1000,0,0\n", 1},                                    // no base point
  };
  for (const Case& c : cases) {
    AcDbRegion* region = NULL;
    AcGePoint3d base;
    ASSERT_EQ(CSectionString::getSectionRegionFromString(region, base, c.text), c.result) << c.text;
    if (c.result != 0) {
      EXPECT_EQ(region, nullptr) << c.text;
      continue;
    }
    double area = 0, perimeter = 0;
    region->getArea(area);
    region->getPerimeter(perimeter);
    EXPECT_NEAR(area, c.area, 1e-4) << c.text;
    EXPECT_NEAR(perimeter, c.perimeter, 1e-4) << c.text;
    delete region;
  }
}

TEST(SectionString, MalformedTextsGiveACodeAndNoPolyline) {
  struct Case {
    const char* text;
    int result;
  };
  const Case cases[] = {
      {"", CSectionString::kOutlineNoPoints},
      {"[PolylineSection]\nBasePoint=0,0", CSectionString::kOutlineNoPoints},
      {"Points=  \nBasePoint=0,0", CSectionString::kOutlineNoPoints},
      {"Points=0,0,0;1000 0 0\nBasePoint=0,0", CSectionString::kOutlineItemWithoutComma},
      {"Points=0,0,0;;5,5,0\nBasePoint=0,0", CSectionString::kOutlineBadNumber},  // ";5" is no number
      {"Points=0,0,0;1x,0,0\nBasePoint=0,0", CSectionString::kOutlineBadNumber},
      {"Points=0,0,0;1,,0\nBasePoint=0,0", CSectionString::kOutlineBadNumber},
      {"Points=0,0,0;1,0,弧\nBasePoint=0,0", CSectionString::kOutlineBadNumber},
      {"Points=0,0,0;1,nan,0\nBasePoint=0,0", CSectionString::kOutlineBadNumber},
      {"Points=0,0,0;1,0,0\n", CSectionString::kOutlineBadBasePoint},
      {"Points=0,0,0;1,0,0\nBasePoint=5", CSectionString::kOutlineBadBasePoint},
      {"Points=0,0,0;1,0,0\nBasePoint=a,b", CSectionString::kOutlineBadBasePoint},
  };
  for (const Case& c : cases) {
    AcDbPolyline* p = reinterpret_cast<AcDbPolyline*>(0x1);  // must come back null
    AcGePoint3d base(1, 2, 3);
    EXPECT_EQ(CSectionString::getSectionPolylineFromString(p, base, c.text), c.result) << c.text;
    EXPECT_EQ(p, nullptr) << c.text;
    EXPECT_EQ(base, AcGePoint3d(1, 2, 3)) << c.text;
  }
}
