// Intersections checked against GEOS: random segments (with colinear, touching and
// near-parallel cases) and arcs through a fine tessellation.
#include <gtest/gtest.h>

#include "../geos_oracle.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "gearc2d.h"
#include "gecint2d.h"
#include "geline2d.h"
#include "gelnsg2d.h"

namespace {
constexpr double kPi = std::numbers::pi;
using Seg = AcGeLineSeg2d;
using Arc = AcGeCircArc2d;
using namespace geosoracle;

double segSegDistance(const Seg& a, const Seg& b) {
  return std::min({a.distanceTo(b.startPoint()), a.distanceTo(b.endPoint()), b.distanceTo(a.startPoint()),
                   b.distanceTo(a.endPoint())});
}

struct Pair {
  Seg a, b;
};

// Random segments of several kinds whose exact answers are representable for both libraries.
std::vector<Pair> segmentPairs() {
  std::mt19937 rng(424242);
  std::uniform_real_distribution<double> c(0, 1000);
  std::uniform_int_distribution<int> ic(0, 200);
  std::vector<Pair> out;
  auto P = [](double x, double y) { return AcGePoint2d(x, y); };
  for (int i = 0; i < 4000; ++i) out.push_back({Seg(P(c(rng), c(rng)), P(c(rng), c(rng))), Seg(P(c(rng), c(rng)), P(c(rng), c(rng)))});
  // Colinear on y = 2x + 1 with integer x: exactly representable, overlapping, touching or apart.
  for (int i = 0; i < 1000; ++i) {
    const int x0 = ic(rng), x1 = ic(rng), x2 = ic(rng), x3 = ic(rng);
    out.push_back({Seg(P(x0, 2 * x0 + 1), P(x1, 2 * x1 + 1)), Seg(P(x2, 2 * x2 + 1), P(x3, 2 * x3 + 1))});
  }
  // Sharing an end point exactly, at random angles (including colinear continuations).
  for (int i = 0; i < 1000; ++i) {
    const AcGePoint2d m = P(ic(rng), ic(rng));
    const AcGePoint2d e = i % 5 == 0 ? m + (m - P(ic(rng), ic(rng))) : P(ic(rng), ic(rng));
    out.push_back({Seg(P(ic(rng), ic(rng)), m), Seg(m, e)});
  }
  // Axis-aligned T junctions and crosses on an integer grid.
  for (int i = 0; i < 1000; ++i) {
    const double y = ic(rng), x = ic(rng);
    out.push_back({Seg(P(ic(rng), y), P(ic(rng), y)), Seg(P(x, ic(rng)), P(x, ic(rng)))});
  }
  // Near-parallel: a copy turned by a tiny angle about a random point, then shifted.
  std::uniform_real_distribution<double> tiny(1e-9, 1e-5), shift(-1e-3, 1e-3);
  for (int i = 0; i < 1000; ++i) {
    const Seg a(P(c(rng), c(rng)), P(c(rng), c(rng)));
    const AcGeMatrix2d m = AcGeMatrix2d::translation(AcGeVector2d(shift(rng), shift(rng))) *
                           AcGeMatrix2d::rotation(i % 2 ? tiny(rng) : -tiny(rng), a.midPoint());
    Seg b(a);
    b.transformBy(m);
    out.push_back({a, b});
  }
  return out;
}

TEST(GeGeosOracle, RandomSegmentPairsAgreeWithGeos) {
  Geos g;
  int agreedPoints = 0, agreedOverlaps = 0, borderline = 0;
  for (const Pair& p : segmentPairs()) {
    // GEOS has no zero-length line strings (their own tests cover points on curves).
    if (p.a.length() == 0.0 || p.b.length() == 0.0) continue;
    const AcGeCurveCurveInt2d mine(p.a, p.b);
    const Reference ref = intersect(g, {p.a.startPoint(), p.a.endPoint()}, {p.b.startPoint(), p.b.endPoint()});
    // Within our point tolerance of touching, the two libraries may legitimately differ.
    const double gap = segSegDistance(p.a, p.b);
    const bool nearTouch = gap > 0 && gap <= 1e-9;
    if (ref.overlap > 1e-9) {
      ASSERT_EQ(mine.overlapCount(), 1);
      AcGeInterval r1, r2;
      mine.getOverlapRanges(0, r1, r2);
      EXPECT_NEAR(r1.length(), ref.overlap, 1e-9);
      EXPECT_NEAR(r2.length(), ref.overlap, 1e-9);
      EXPECT_EQ(mine.numIntPoints(), 0);
      ++agreedOverlaps;
      continue;
    }
    if (nearTouch && static_cast<size_t>(mine.numIntPoints()) != ref.points.size()) {
      ++borderline;
      continue;
    }
    ASSERT_EQ(static_cast<size_t>(mine.numIntPoints()), ref.points.size())
        << "a " << p.a.startPoint().x << "," << p.a.startPoint().y << " " << p.a.endPoint().x << "," << p.a.endPoint().y
        << " b " << p.b.startPoint().x << "," << p.b.startPoint().y << " " << p.b.endPoint().x << "," << p.b.endPoint().y;
    EXPECT_EQ(mine.overlapCount(), 0);
    if (ref.points.empty()) continue;
    // A shallow crossing is ill-conditioned along the lines: allow for the angle.
    const double sine = std::fabs(p.a.direction().crossProduct(p.b.direction()));
    const double tol = 1e-9 + 1e-12 / std::max(sine, 1e-12) * 1e3;
    EXPECT_LE(mine.intPoint(0).distanceTo(ref.points[0]), tol);
    ++agreedPoints;
  }
  EXPECT_GT(agreedPoints, 2500);
  EXPECT_GT(agreedOverlaps, 300);
  EXPECT_LT(borderline, 20);
}

std::vector<AcGePoint2d> tessellate(const Arc& arc, int perTurn) {
  const int n = std::max(8, static_cast<int>(perTurn * arc.sweep() / (2 * kPi)));
  std::vector<AcGePoint2d> pts;
  for (int i = 0; i <= n; ++i) pts.push_back(arc.evalPoint(arc.startAng() + arc.sweep() * i / n));
  return pts;
}

// Arcs against GEOS on fine polygons, away from tangency and from the curves' ends, where
// the chord error could change the answer.
TEST(GeGeosOracle, LinesAndArcsAgreeWithTessellatedGeos) {
  Geos g;
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> c(0, 1000), rad(20, 400), ang(0, 2 * kPi), sweep(0.2, 2 * kPi);
  auto P = [](double x, double y) { return AcGePoint2d(x, y); };
  int compared = 0, hits = 0;
  for (int i = 0; i < 3000; ++i) {
    const double s1 = ang(rng), s2 = ang(rng);
    const Arc a(P(c(rng), c(rng)), rad(rng), s1, s1 + sweep(rng), AcGeVector2d::kXAxis, i % 3 == 0);
    const bool withLine = i % 2 == 0;
    const Seg line(P(c(rng), c(rng)), P(c(rng), c(rng)));
    const Arc b(P(c(rng), c(rng)), rad(rng), s2, s2 + sweep(rng));
    const AcGeCurve2d& other = withLine ? static_cast<const AcGeCurve2d&>(line) : b;
    // Skip near-tangent configurations and ends lying near the other curve.
    const double margin = 0.5;
    if (withLine) {
      AcGeLine2d carrier;
      line.getLine(carrier);
      if (std::fabs(carrier.distanceTo(a.center()) - a.radius()) < margin) continue;
    } else {
      const double d = a.center().distanceTo(b.center());
      if (std::fabs(d - (a.radius() + b.radius())) < margin || std::fabs(d - std::fabs(a.radius() - b.radius())) < margin)
        continue;
    }
    AcGePoint2d s, e;
    a.hasStartPoint(s);
    a.hasEndPoint(e);
    if (other.distanceTo(s) < margin || other.distanceTo(e) < margin) continue;
    AcGePoint2d os, oe;
    other.hasStartPoint(os);
    other.hasEndPoint(oe);
    if (a.distanceTo(os) < margin || a.distanceTo(oe) < margin) continue;

    const AcGeCurveCurveInt2d mine(a, other);
    const std::vector<AcGePoint2d> otherPts =
        withLine ? std::vector<AcGePoint2d>{line.startPoint(), line.endPoint()} : tessellate(b, 20000);
    const Reference ref = intersect(g, tessellate(a, 20000), otherPts);
    ASSERT_EQ(static_cast<size_t>(mine.numIntPoints()), ref.points.size()) << "case " << i;
    for (int k = 0; k < mine.numIntPoints(); ++k) {
      double best = 1e300;
      for (const AcGePoint2d& q : ref.points) best = std::min(best, q.distanceTo(mine.intPoint(k)));
      EXPECT_LT(best, 1e-2);
    }
    ++compared;
    hits += mine.numIntPoints();
  }
  EXPECT_GT(compared, 2000);
  EXPECT_GT(hits, 400);
}
}  // namespace
