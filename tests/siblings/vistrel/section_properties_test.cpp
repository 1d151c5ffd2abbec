// Area properties of section shapes: known answers, a fine tessellation as the independent
// measure of second moments, and moves, turns, mirrors and reversals that keep what they must.
#include <VistrelSectionProperties.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

using namespace vistrel;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kRel = 1e-9;          // closed forms: rounding only
constexpr double kTessellated = 1e-6;  // against a polygon of 8192 pieces an arc

void expectNear(double got, double want, double rel, const std::string& what) {
  EXPECT_NEAR(got, want, rel * std::max(1.0, std::fabs(want))) << what;
}

std::string outline(const std::string& points) { return "[PolylineSection]\nPoints=" + points + "\nBasePoint=500,500\n"; }

// The annular sector between radii 3 and 5 from 0 to 120 degrees.
std::string annularSector() {
  const double t = std::tan(kPi / 6.0), c = std::cos(2.0 * kPi / 3.0), s = std::sin(2.0 * kPi / 3.0);
  char buf[256];
  std::snprintf(buf, sizeof buf, "3,0,0;5,0,%.17g;%.17g,%.17g,0;%.17g,%.17g,%.17g", t, 5 * c, 5 * s, 3 * c, 3 * s, -t);
  return outline(buf);
}

// 1000 x 600 with its upper right corner rounded at radius 200.
const std::string kRoundedRectangle = outline("0,0,0;1000,0,0;1000,400,0.41421356237309503;800,600,0;0,600,0");

// Integrals of 1, x, y, x^2, y^2, x y over a polygon through the arcs' points (shoelace sums).
struct PolygonMoments {
  double a = 0, x = 0, y = 0, xx = 0, yy = 0, xy = 0;
};
PolygonMoments tessellated(const Shape& loop) {
  std::vector<Point2> pts;
  const auto& v = loop.vertices;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const Point2 a = v[i].pt, b = v[(i + 1) % v.size()].pt;
    Point2 c;
    double r, start, end;
    if (!bulgeArc(a, b, v[i].bulge, c, r, start, end)) {
      pts.push_back(a);
      continue;
    }
    constexpr int kPieces = 8192;
    const double sweep = 4.0 * std::atan(v[i].bulge), t0 = std::atan2(a.y - c.y, a.x - c.x);
    for (int k = 0; k < kPieces; ++k)
      pts.push_back({c.x + r * std::cos(t0 + sweep * k / kPieces), c.y + r * std::sin(t0 + sweep * k / kPieces)});
  }
  PolygonMoments m;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const Point2 p = pts[i], q = pts[(i + 1) % pts.size()];
    const double w = p.x * q.y - q.x * p.y;
    m.a += w / 2;
    m.x += (p.x + q.x) * w / 6;
    m.y += (p.y + q.y) * w / 6;
    m.xx += (p.x * p.x + p.x * q.x + q.x * q.x) * w / 12;
    m.yy += (p.y * p.y + p.y * q.y + q.y * q.y) * w / 12;
    m.xy += (p.x * q.y + 2 * p.x * p.y + 2 * q.x * q.y + q.x * p.y) * w / 24;
  }
  return m;
}

TEST(SectionProperties, KnownAreasPerimetersAndCentroids) {
  const double sectorCentroid =  // along the bisector at 60 degrees
      2.0 / 3.0 * (125.0 - 27.0) / (25.0 - 9.0) * std::sin(kPi / 3.0) / (kPi / 3.0);
  struct Case {
    const char* name;
    std::string text;
    double area, perimeter, cx, cy;
  } cases[] = {
      {"default outline", outline("0,0,0;1000,0,0;600,1000,0;0,1000,0;0,0,0"), 800000.0, 3677.0329614269008,
       408.33333333333333, 458.33333333333333},
      {"half disc", outline("0,0,1;1000,0,0"), 392699.08169872415, 2570.7963267948966, 500.0, -212.20659078919379},
      {"rounded corner", kRoundedRectangle, 591415.92653589793, 3114.1592653589793, 493.39119019763723,
       296.29407903743606},
      {"annular sector", annularSector(), 16.755160819145562, 4.0 + 16.0 * kPi / 3.0, sectorCentroid / 2.0,
       sectorCentroid * std::sqrt(3.0) / 2.0},
  };
  for (const Case& c : cases) {
    const SectionProperties p = sectionProperties(c.text);
    ASSERT_EQ(p.result, SectionProperties::kOk) << c.name;
    expectNear(p.area, c.area, kRel, c.name);
    expectNear(p.perimeter(), c.perimeter, kRel, c.name);
    expectNear(p.centroid.x, c.cx, kRel, c.name);
    expectNear(p.centroid.y, c.cy, kRel, c.name);
  }
}

TEST(SectionProperties, HolesByNestingWithTheirOwnPerimeter) {
  const double b = 400, h = 600, d = 200;
  const std::string rect = "[Polyline]\nPoint=0,0,0,0,0;400,0,0,0,0;400,600,0,0,0;0,600,0,0,0;0,0,0,0,0\nColor=1,2,3\n";
  const std::string hole = "[Circle]\nCenter=200,300\nRadius=100\nColor=1,2,3\n";
  const std::string island = "[Circle]\nCenter=200,300\nRadius=50\nColor=1,2,3\n";
  const double holeI = kPi * std::pow(d, 4) / 64.0;
  SectionProperties p = sectionProperties(hole + rect);  // the hole may come first
  ASSERT_EQ(p.result, SectionProperties::kOk);
  EXPECT_EQ(p.holes, 1);
  expectNear(p.area, b * h - kPi * d * d / 4, kRel, "area");
  expectNear(p.outerPerimeter, 2 * (b + h), kRel, "outer");
  expectNear(p.holePerimeter, kPi * d, kRel, "hole");
  expectNear(p.ix, b * h * h * h / 12 - holeI, kRel, "Ix");
  expectNear(p.iy, h * b * b * b / 12 - holeI, kRel, "Iy");
  EXPECT_EQ(p.ixy, 0.0);  // symmetric: rounding left out
  expectNear(p.i1, p.ix, kRel, "I1 is Ix for the taller section");
  EXPECT_NEAR(p.angleDegrees, 0.0, 1e-9);  // the x axis carries I1
  EXPECT_DOUBLE_EQ(p.box.maxX, 400);
  // An island in the hole is material again.
  p = sectionProperties(rect + hole + island);
  expectNear(p.area, b * h - kPi * d * d / 4 + kPi * 50 * 50, kRel, "island");
  EXPECT_EQ(p.holes, 1);
}

TEST(SectionProperties, SecondMomentsAgreeWithAFineTessellation) {
  for (const std::string& text : {kRoundedRectangle, annularSector(), outline("0,0,-0.7;900,100,0.3;700,800,0;100,500,1.2")}) {
    const DisplayList list = parseSectionText(text);
    const SectionProperties p = sectionProperties(list);
    const PolygonMoments m = tessellated(list.shapes.front());
    ASSERT_EQ(p.result, SectionProperties::kOk) << text;
    const double cx = m.x / m.a, cy = m.y / m.a;
    const double scale = m.xx + m.yy - m.a * (cx * cx + cy * cy);  // polar moment about the centroid
    EXPECT_NEAR(p.area, m.a, kTessellated * m.a) << text;
    EXPECT_NEAR(p.ix, m.yy - m.a * cy * cy, kTessellated * scale) << text;
    EXPECT_NEAR(p.iy, m.xx - m.a * cx * cx, kTessellated * scale) << text;
    EXPECT_NEAR(p.ixy, m.xy - m.a * cx * cy, kTessellated * scale) << text;
  }
}

// Applies a map of the plane to every shape; `mirror` when it turns the sense of rotation.
DisplayList mapped(DisplayList list, const std::function<Point2(Point2)>& f, bool mirror) {
  for (Shape& s : list.shapes) {
    for (Vertex& v : s.vertices) {
      v.pt = f(v.pt);
      if (mirror) v.bulge = -v.bulge;
    }
    s.center = f(s.center);
  }
  return list;
}

// Every loop run the other way: vertex k takes the reversed bulge of the segment that now
// leaves it.
DisplayList reversed(DisplayList list) {
  for (Shape& s : list.shapes) {
    const std::vector<Vertex> v = s.vertices;
    const std::size_t n = v.size();
    for (std::size_t k = 0; k < n; ++k) {
      s.vertices[k] = v[n - 1 - k];
      s.vertices[k].bulge = -v[(2 * n - 2 - k) % n].bulge;
    }
  }
  return list;
}

TEST(SectionProperties, MovesTurnsMirrorsAndReversalsKeepTheMeasures) {
  const double t = 0.6, ct = std::cos(t), st = std::sin(t);
  const struct Map {
    const char* name;
    std::function<Point2(Point2)> f;
    bool mirror;
  } maps[] = {
      {"move", [](Point2 p) { return Point2{p.x + 12345.5, p.y - 678.25}; }, false},
      {"turn", [=](Point2 p) { return Point2{ct * p.x - st * p.y, st * p.x + ct * p.y}; }, false},
      {"mirror", [](Point2 p) { return Point2{-p.x, p.y}; }, true},
  };
  const std::string withHole = kRoundedRectangle + "[Circle]\nCenter=300,200\nRadius=80\nColor=1,2,3\n";
  for (const std::string& text : {withHole, annularSector()}) {
    const DisplayList list = parseSectionText(text);
    const SectionProperties p = sectionProperties(list);
    ASSERT_EQ(p.result, SectionProperties::kOk);
    for (const Map& m : maps) {
      const SectionProperties q = sectionProperties(mapped(list, m.f, m.mirror));
      ASSERT_EQ(q.result, SectionProperties::kOk) << m.name;
      expectNear(q.area, p.area, kRel, m.name);
      expectNear(q.perimeter(), p.perimeter(), kRel, m.name);
      const Point2 c = m.f(p.centroid);
      expectNear(q.centroid.x, c.x, kRel, m.name);
      expectNear(q.centroid.y, c.y, kRel, m.name);
      expectNear(q.i1, p.i1, 1e-8, m.name);
      expectNear(q.i2, p.i2, 1e-8, m.name);
    }
    const SectionProperties r = sectionProperties(reversed(list));
    ASSERT_EQ(r.result, SectionProperties::kOk);
    for (auto [got, want] : {std::pair{r.area, p.area}, {r.perimeter(), p.perimeter()}, {r.centroid.x, p.centroid.x},
                             {r.centroid.y, p.centroid.y}, {r.ix, p.ix}, {r.iy, p.iy}, {r.ixy, p.ixy}})
      expectNear(got, want, kRel, "reversed");
  }
}

TEST(SectionProperties, WhatCannotBeMeasuredSaysWhy) {
  EXPECT_EQ(sectionProperties("[Line]\nPoint=0,0;1,1\nColor=1,2,3\n").result, SectionProperties::kNoClosedShape);
  EXPECT_EQ(sectionProperties(outline("0,0,0;10,10,0;10,0,0;0,10,0")).result, SectionProperties::kBadShape);
}

}  // namespace
