// Area properties of section shapes: known answers, a fine tessellation as the independent
// measure of second moments, and moves, turns, mirrors and reversals that keep what they must.
// (Rectangles with round holes against b h^3 / 12 - pi d^4 / 64: the report's end-to-end test.)
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

// 1000 x 600 with its upper right corner rounded at radius 200.
const std::string kRoundedRectangle = outline("0,0,0;1000,0,0;1000,400,0.41421356237309503;800,600,0;0,600,0");
// Between radii 3 and 5 from 0 to 120 degrees (bulge tan 30 degrees).
const std::string kAnnularSector =
    outline("3,0,0;5,0,0.57735026918962573;-2.5,4.3301270189221932,0;-1.5,2.5980762113533160,-0.57735026918962573");
const std::string kHole = "[Circle]\nCenter=300,200\nRadius=80\nColor=1,2,3\n";

TEST(SectionProperties, KnownAreasPerimetersAndCentroids) {
  const double sector = 2.0 / 3.0 * (125.0 - 27.0) / (25.0 - 9.0) * std::sin(kPi / 3.0) / (kPi / 3.0);
  const struct {
    std::string text;
    double area, perimeter, cx, cy;
  } cases[] = {
      {outline("0,0,0;1000,0,0;600,1000,0;0,1000,0;0,0,0"), 800000.0, 3677.0329614269008, 408.33333333333333,
       458.33333333333333},
      {outline("0,0,1;1000,0,0"), 392699.08169872415, 2570.7963267948966, 500.0, -212.20659078919379},
      {kRoundedRectangle, 591415.92653589793, 3114.1592653589793, 493.39119019763723, 296.29407903743606},
      {kAnnularSector, 16.755160819145562, 4.0 + 16.0 * kPi / 3.0, sector / 2.0, sector * std::sqrt(3.0) / 2.0},
      // An island in a hole is material again.
      {kRoundedRectangle + kHole + "[Circle]\nCenter=300,200\nRadius=40\nColor=1,2,3\n",
       591415.92653589793 - kPi * 4800.0, 3114.1592653589793 + kPi * 240.0, NAN, NAN},
  };
  for (const auto& c : cases) {
    const SectionProperties p = sectionProperties(c.text);
    ASSERT_EQ(p.result, SectionProperties::kOk) << c.text;
    expectNear(p.area, c.area, kRel, c.text);
    expectNear(p.perimeter(), c.perimeter, kRel, c.text);
    if (std::isnan(c.cx)) continue;
    expectNear(p.centroid.x, c.cx, kRel, c.text);
    expectNear(p.centroid.y, c.cy, kRel, c.text);
  }
  EXPECT_EQ(sectionProperties("[Line]\nPoint=0,0;1,1\nColor=1,2,3\n").result, SectionProperties::kNoClosedShape);
  EXPECT_EQ(sectionProperties(outline("0,0,0;10,10,0;10,0,0;0,10,0")).result, SectionProperties::kBadShape);
}

TEST(SectionProperties, SecondMomentsAgreeWithAFineTessellation) {
  for (const std::string& text : {kRoundedRectangle, kAnnularSector, outline("0,0,-0.7;900,100,0.3;700,800,0;100,500,1.2")}) {
    const DisplayList list = parseSectionText(text);
    // The outline as a polygon through 8192 points of each arc, measured by shoelace sums.
    std::vector<Point2> pts;
    const auto& v = list.shapes.front().vertices;
    for (std::size_t i = 0; i < v.size(); ++i) {
      pts.push_back(v[i].pt);
      const double bulge = v[i].bulge;
      if (bulge == 0.0) continue;
      // The arc's circle from first principles: on the chord's bisector, c (1 - b^2) / (4 b)
      // to the left of the chord, radius c (1 + b^2) / (4 |b|).
      const Point2 a = v[i].pt, e = v[(i + 1) % v.size()].pt;
      const double dx = e.x - a.x, dy = e.y - a.y, chord = std::hypot(dx, dy);
      const double off = (1 - bulge * bulge) / (4 * bulge);
      const Point2 c{(a.x + e.x) / 2 - dy * off, (a.y + e.y) / 2 + dx * off};
      const double r = chord * (1 + bulge * bulge) / (4 * std::fabs(bulge));
      const double sweep = 4.0 * std::atan(v[i].bulge), t0 = std::atan2(v[i].pt.y - c.y, v[i].pt.x - c.x);
      for (int k = 1; k < 8192; ++k)
        pts.push_back({c.x + r * std::cos(t0 + sweep * k / 8192), c.y + r * std::sin(t0 + sweep * k / 8192)});
    }
    double a = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
      const Point2 p = pts[i], q = pts[(i + 1) % pts.size()];
      const double w = p.x * q.y - q.x * p.y;
      a += w / 2;
      sx += (p.x + q.x) * w / 6;
      sy += (p.y + q.y) * w / 6;
      sxx += (p.x * p.x + p.x * q.x + q.x * q.x) * w / 12;
      syy += (p.y * p.y + p.y * q.y + q.y * q.y) * w / 12;
      sxy += (p.x * q.y + 2 * p.x * p.y + 2 * q.x * q.y + q.x * p.y) * w / 24;
    }
    const double cx = sx / a, cy = sy / a, polar = sxx + syy - a * (cx * cx + cy * cy);
    const SectionProperties p = sectionProperties(list);
    EXPECT_NEAR(p.area, a, kTessellated * a) << text;
    EXPECT_NEAR(p.ix, syy - a * cy * cy, kTessellated * polar) << text;
    EXPECT_NEAR(p.iy, sxx - a * cx * cx, kTessellated * polar) << text;
    EXPECT_NEAR(p.ixy, sxy - a * cx * cy, kTessellated * polar) << text;
  }
}

TEST(SectionProperties, MovesTurnsMirrorsAndReversalsKeepTheMeasures) {
  const double ct = std::cos(0.6), st = std::sin(0.6);
  const struct {
    const char* name;
    std::function<Point2(Point2)> f;
    bool mirror;    // turns the sense of rotation: bulges change sign
    bool reversed;  // every loop run the other way
  } maps[] = {
      {"move", [](Point2 p) { return Point2{p.x + 12345.5, p.y - 678.25}; }, false, false},
      {"turn", [=](Point2 p) { return Point2{ct * p.x - st * p.y, st * p.x + ct * p.y}; }, false, false},
      {"mirror", [](Point2 p) { return Point2{-p.x, p.y}; }, true, false},
      {"reverse", [](Point2 p) { return p; }, false, true},
  };
  for (const std::string& text : {kRoundedRectangle + kHole, kAnnularSector}) {
    const DisplayList list = parseSectionText(text);
    const SectionProperties p = sectionProperties(list);
    for (const auto& m : maps) {
      DisplayList moved = list;
      for (Shape& s : moved.shapes) {
        const std::vector<Vertex> v = s.vertices;
        for (std::size_t k = 0, n = v.size(); k < n; ++k) {
          // Run backwards, vertex k takes the reversed bulge of the segment that now leaves it.
          s.vertices[k] = m.reversed ? v[n - 1 - k] : v[k];
          if (m.reversed) s.vertices[k].bulge = -v[(2 * n - 2 - k) % n].bulge;
          s.vertices[k].pt = m.f(s.vertices[k].pt);
          if (m.mirror) s.vertices[k].bulge = -s.vertices[k].bulge;
        }
        s.center = m.f(s.center);
      }
      const SectionProperties q = sectionProperties(moved);
      ASSERT_EQ(q.result, SectionProperties::kOk) << m.name;
      const Point2 c = m.f(p.centroid);
      for (auto [got, want] : {std::pair{q.area, p.area}, {q.perimeter(), p.perimeter()}, {q.centroid.x, c.x},
                               {q.centroid.y, c.y}, {q.i1, p.i1}, {q.i2, p.i2}})
        expectNear(got, want, 1e-8, m.name);
    }
  }
}

}  // namespace
