// Bulge loops: known-answer areas, perimeters and centroids, invariance, containment, self-crossing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "contura/ge/loop2d.h"
#include "gemat2d.h"

namespace {
constexpr double kPi = std::numbers::pi;
using contura::ge::BulgeLoop;
using contura::ge::classifyPoint;
using contura::ge::isSelfIntersecting;
using contura::ge::loopProperties;
using contura::ge::PointContainment;

BulgeLoop quadrilateral() { return {{{0, 0}, 0}, {{1000, 0}, 0}, {{600, 1000}, 0}, {{0, 1000}, 0}}; }
BulgeLoop halfDisc() { return {{{0, 0}, 1.0}, {{1000, 0}, 0}}; }
BulgeLoop roundedRectangle() {
  return {{{0, 0}, 0}, {{1000, 0}, 0}, {{1000, 400}, std::tan(kPi / 8)}, {{800, 600}, 0}, {{0, 600}, 0}};
}
BulgeLoop annularSector() {
  const double a = 2 * kPi / 3, b = std::tan(a / 4);
  return {{{16.25, 0}, b},
          {{16.25 * std::cos(a), 16.25 * std::sin(a)}, 0},
          {{15.75 * std::cos(a), 15.75 * std::sin(a)}, -b},
          {{15.75, 0}, 0}};
}

struct Known {
  const char* name;
  BulgeLoop loop;
  double area, perimeter, cx, cy;
};

std::vector<Known> knownTable() {
  return {
      {"quadrilateral", quadrilateral(), 800000.0, 3677.0330, 408.3333, 458.3333},
      {"half disc", halfDisc(), 392699.0817, 2570.7963, 500.0, -212.2066},
      {"rounded rectangle", roundedRectangle(), 591415.9265, 3114.1593, 493.3912, 296.2941},
      {"annular sector", annularSector(), 16.75516, 2 * (16.25 + 15.75) * kPi / 3 + 1.0, NAN, NAN},
  };
}

TEST(GeLoop, KnownAnswerTable) {
  for (const Known& k : knownTable()) {
    SCOPED_TRACE(k.name);
    const auto p = loopProperties(k.loop);
    EXPECT_NEAR(p.area, k.area, 5e-5);
    EXPECT_GT(p.signedArea, 0.0);  // all drawn counter-clockwise
    EXPECT_NEAR(p.perimeter, k.perimeter, 5e-5);
    if (!std::isnan(k.cx)) {
      EXPECT_NEAR(p.centroid.x, k.cx, 5e-5);
      EXPECT_NEAR(p.centroid.y, k.cy, 5e-5);
    }
  }
  // The sector's centroid lies on its bisector at 2/3 (R^3 - r^3)/(R^2 - r^2) sin(a/2)/(a/2).
  const auto s = loopProperties(annularSector());
  const double R = 16.25, r = 15.75, half = kPi / 3;
  const double dist = 2.0 / 3.0 * (R * R * R - r * r * r) / (R * R - r * r) * std::sin(half) / half;
  EXPECT_NEAR(s.centroid.x, dist * std::cos(half), 1e-9);
  EXPECT_NEAR(s.centroid.y, dist * std::sin(half), 1e-9);
}

BulgeLoop reversed(const BulgeLoop& loop) {
  // Walking backwards: vertex i+1 -> i uses the negated bulge of vertex i.
  BulgeLoop out;
  const size_t n = loop.size();
  for (size_t k = 0; k < n; ++k) {
    const size_t i = (n - k) % n;
    out.push_back({loop[i].point, -loop[(i + n - 1) % n].bulge});
  }
  return out;
}

BulgeLoop transformed(const BulgeLoop& loop, const AcGeMatrix2d& m, bool mirror) {
  BulgeLoop out = loop;
  for (auto& v : out) {
    v.point = m * v.point;
    if (mirror) v.bulge = -v.bulge;  // a mirror turns counter-clockwise arcs clockwise
  }
  return out;
}

TEST(GeLoop, MetamorphicTransformsReversalAndStartVertexKeepMeasures) {
  const AcGeMatrix2d rot = AcGeMatrix2d::rotation(1.234, AcGePoint2d(50, -20));
  const AcGeMatrix2d far = AcGeMatrix2d::translation(AcGeVector2d(3.0e6, -7.5e5));
  const AcGeMatrix2d mir = AcGeMatrix2d::mirroring(AcGePoint2d(10, 10), AcGeVector2d(1, 3));
  for (const Known& k : knownTable()) {
    const auto base = loopProperties(k.loop);
    // Each variant: its loop, the sign of its signed area, where the centroid must go and how close.
    struct Variant {
      std::string name;
      BulgeLoop loop;
      double sign;
      AcGeMatrix2d moves;
      double tol;
    };
    std::vector<Variant> variants = {
        {"reversed", reversed(k.loop), -1, AcGeMatrix2d::kIdentity, 1e-9},
        {"rotated", transformed(k.loop, rot, false), 1, rot, 1e-9},
        {"far away", transformed(k.loop, far, false), 1, far, 1e-8},
        {"mirrored", transformed(k.loop, mir, true), -1, mir, 1e-9},
    };
    for (size_t shift = 1; shift < k.loop.size(); ++shift) {
      BulgeLoop rotated = k.loop;
      std::rotate(rotated.begin(), rotated.begin() + static_cast<long>(shift), rotated.end());
      variants.push_back({"start " + std::to_string(shift), rotated, 1, AcGeMatrix2d::kIdentity, 1e-9});
    }
    for (const Variant& v : variants) {
      SCOPED_TRACE(std::string(k.name) + ", " + v.name);
      const auto p = loopProperties(v.loop);
      EXPECT_NEAR(p.signedArea, v.sign * base.signedArea, 1e-9 * base.area);
      EXPECT_NEAR(p.perimeter, base.perimeter, 1e-9 * base.perimeter);
      EXPECT_NEAR(p.centroid.distanceTo(v.moves * base.centroid), 0.0, v.tol * base.perimeter);
    }
  }
}

// The loop as a polygon with `steps` chords on each arc (straight sides stay one chord).
BulgeLoop tessellated(const BulgeLoop& loop, int steps) {
  BulgeLoop fine;
  for (size_t i = 0; i < loop.size(); ++i) {
    const AcGePoint2d a = loop[i].point, b = loop[(i + 1) % loop.size()].point;
    const double theta = 4 * std::atan(loop[i].bulge);
    if (theta == 0) {
      fine.push_back({a, 0});
      continue;
    }
    const double c = a.distanceTo(b), r = c / (2 * std::sin(std::fabs(theta) / 2));
    const AcGeVector2d u = (b - a) / c;
    const AcGePoint2d centre = a + (b - a) * 0.5 + u.perpVector() * (r * std::cos(theta / 2) * (theta > 0 ? 1 : -1));
    const double phi0 = std::atan2(a.y - centre.y, a.x - centre.x);
    for (int s = 0; s < steps; ++s) {
      const double phi = phi0 + theta * s / steps;
      fine.push_back({{centre.x + r * std::cos(phi), centre.y + r * std::sin(phi)}, 0});
    }
  }
  return fine;
}

TEST(GeLoop, DegenerateLoops) {
  EXPECT_EQ(loopProperties(BulgeLoop{}).area, 0.0);
  // Repeated vertices are zero-length segments and change nothing.
  BulgeLoop q = quadrilateral();
  q.insert(q.begin() + 2, q[1]);
  EXPECT_NEAR(loopProperties(q).area, 800000.0, 1e-6);
  // A straight back-and-forth has no area; its centroid is the vertex mean.
  const auto flat = loopProperties(BulgeLoop{{{0, 0}, 0}, {{10, 0}, 0}});
  EXPECT_EQ(flat.area, 0.0);
  EXPECT_DOUBLE_EQ(flat.centroid.x, 5.0);
  EXPECT_DOUBLE_EQ(flat.perimeter, 20.0);
  // Tiny bulges are continuous with straight segments.
  BulgeLoop tiny = quadrilateral();
  tiny[0].bulge = 1e-9;
  EXPECT_NEAR(loopProperties(tiny).area, 800000.0 + 1000.0 * 1000.0 * 1e-9 / 3.0, 1e-6);  // c^2 b / 3
  AcGePoint2dArray pts;
  for (const AcGePoint2d& p : {AcGePoint2d(0, 0), AcGePoint2d(2, 0), AcGePoint2d(2, 2)}) pts.append(p);
  EXPECT_EQ(contura::ge::makeLoop(pts, AcGeDoubleArray()).size(), 3u);
}

TEST(GeLoop, PointContainmentWithArcsAndBoundary) {
  using enum PointContainment;
  const BulgeLoop hd = halfDisc(), rr = roundedRectangle(), as = annularSector();  // half disc below the x axis
  const struct {
    const BulgeLoop& loop;
    AcGePoint2d p;
    PointContainment where;
  } cases[] = {
      {hd, {500, -250}, kInside},    {hd, {500, 250}, kOutside},       {hd, {500, 0}, kOnBoundary},
      {hd, {500, -500}, kOnBoundary}, {hd, {500, -500.001}, kOutside}, {hd, {10, -90}, kInside},
      {hd, {10, -110}, kOutside},  // outside the circle
      // Rays through vertices and arc tops/bottoms count once.
      {rr, {-5, 400}, kOutside},     {rr, {500, 400}, kInside},        {rr, {950, 560}, kOutside},  // in the cut corner
      {rr, {900, 500}, kInside},     {rr, {500, 600}, kOnBoundary},    {as, {16.0, 0.1}, kInside},
      {as, {0, 16.0}, kInside},      {as, {0, 15.0}, kOutside},        {as, {0, 0}, kOutside},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(classifyPoint(c.loop, c.p), c.where) << c.p.x << "," << c.p.y;
    EXPECT_EQ(classifyPoint(reversed(c.loop), c.p), c.where) << "reversed " << c.p.x << "," << c.p.y;
  }
}

TEST(GeLoop, ContainmentAgreesWithTessellatedPolygon) {
  // Random points against a loop with major and minor arcs, compared with its fine polygon.
  const BulgeLoop loop = {{{0, 0}, 0.4}, {{60, 0}, -0.7}, {{60, 50}, 1.8}, {{0, 50}, 0}};
  const BulgeLoop fine = tessellated(loop, 1000);
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> x(-60, 120), y(-60, 120);
  int inside = 0;
  for (int i = 0; i < 2000; ++i) {
    const AcGePoint2d p(x(rng), y(rng));
    const auto exact = classifyPoint(loop, p, 1e-9);
    const auto approx = classifyPoint(fine, p, 0.01);
    if (approx == PointContainment::kOnBoundary) continue;  // within the chords' error
    EXPECT_EQ(exact, approx) << p.x << "," << p.y;
    inside += exact == PointContainment::kInside;
  }
  EXPECT_GT(inside, 150);
}

TEST(GeLoop, SelfIntersection) {
  const std::pair<BulgeLoop, bool> cases[] = {  // loop, crosses itself
      {quadrilateral(), false},
      {halfDisc(), false},
      {roundedRectangle(), false},
      {annularSector(), false},
      {{{{0, 0}, 0}, {{10, 10}, 0}, {{10, 0}, 0}, {{0, 10}, 0}}, true},  // bow tie
      {{{{0, 0}, 0}, {{5, 5}, 0}, {{10, 0}, 0}, {{10, 10}, 0}, {{5, 5}, 0}, {{0, 10}, 0}}, true},  // figure eight at a vertex
      {{{{0, 0}, 0}, {{10, 0}, 0}, {{10, 10}, 0}, {{10, 5}, 0}, {{0, 10}, 0}}, true},  // spike doubling back
      {{{{0, 0}, 0}, {{10, 0}, 0}}, true},  // straight back-and-forth
      {{{{0, 0}, 0}, {{100, 0}, 0}, {{100, 10}, -0.5}, {{0, 10}, 0}}, true},  // arc across a thin rectangle
      {{{{0, 0}, 0}, {{100, 0}, 0}, {{100, 10}, 0.5}, {{0, 10}, 0}}, false},  // arc bulging outwards
      // Neighbouring line and arc crossing away from their shared vertex, at (4.25, 0).
      {{{{0, 0}, 0}, {{10, 0}, -2.0}, {{5, 1}, 0}}, true},  // line and arc neighbours
      {{{{1, 1}, 0}, {{1, 1}, 0}}, true},  // fewer than two real segments
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(isSelfIntersecting(cases[i].first), cases[i].second) << "case " << i;
  int a = -1, b = -1;
  ASSERT_TRUE(contura::ge::findSelfIntersection(cases[4].first, a, b));
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 2);
}

TEST(GeLoop, LargeRegularOutlineIsSimpleAndMeasuresLikeACircle) {
  // 10000 vertices on a circle of radius 1000, each pair joined by the exact arc.
  const int n = 10000;
  const double step = 2 * kPi / n, b = std::tan(step / 4);
  BulgeLoop loop;
  for (int i = 0; i < n; ++i) loop.push_back({{1000 * std::cos(i * step), 1000 * std::sin(i * step)}, b});
  const auto p = loopProperties(loop);
  EXPECT_NEAR(p.area, kPi * 1e6, 1e-4);
  EXPECT_NEAR(p.perimeter, 2000 * kPi, 1e-6);
  EXPECT_NEAR(p.centroid.x, 0.0, 1e-6);
  EXPECT_FALSE(isSelfIntersecting(loop));
}
}  // namespace
