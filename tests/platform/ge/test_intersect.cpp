// Curve-curve intersections: known answers, tangency, overlaps, extension modes and invariance.
#include "ge_test_util.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "contura/ge/intersect2d.h"
#include "gearc2d.h"
#include "gecint2d.h"
#include "geline2d.h"
#include "gelnsg2d.h"
#include "geray2d.h"

namespace {
constexpr double kPi = std::numbers::pi;
using contura::ge::countIntersections;
using contura::ge::Extend;
using contura::ge::intersectCurves;

using Seg = AcGeLineSeg2d;
using Arc = AcGeCircArc2d;
using CurveP = std::shared_ptr<const AcGeCurve2d>;
AcGePoint2d P(double x, double y) { return {x, y}; }
CurveP seg(double x0, double y0, double x1, double y1) { return std::make_shared<Seg>(P(x0, y0), P(x1, y1)); }
CurveP arc(double cx, double cy, double r, double s = 0, double e = 2 * kPi, bool cw = false) {
  return std::make_shared<Arc>(P(cx, cy), r, s, e, AcGeVector2d::kXAxis, cw);
}


// Each pair with its expected points (in order along the first curve), overlap count and
// whether the first point is a tangency. A tolerance of 0 demands the point bit-exact.
struct Case {
  const char* name;
  CurveP a, b;
  std::vector<AcGePoint2d> pts;
  int overlaps = 0;
  bool tangent = false;
  double tol = 1e-9;
};

TEST(GeIntersect, KnownAnswerTable) {
  const double h = 5 + 1e-9;
  const Case cases[] = {
      {"crossing", seg(0, 0, 10, 10), seg(0, 10, 10, 0), {P(5, 5)}},
      {"T junction", seg(0, 0, 10, 0), seg(4, 0, 4, 7), {P(4, 0)}},
      {"ends meet at an angle", seg(0, 0, 10, 0), seg(10, 0, 12, 5), {P(10, 0)}, 0, false, 0.0},
      {"just short", seg(0, 0, 10, 0), seg(4, 1e-6, 4, 7), {}},
      {"parallel apart", seg(0, 0, 10, 0), seg(0, 2, 10, 2), {}},
      {"colinear overlap", seg(0, 0, 10, 0), seg(15, 0, 6, 0), {}, 1},
      {"colinear end to end", seg(0, 0, 10, 0), seg(10, 0, 20, 0), {P(10, 0)}, 0, true},
      {"colinear gap", seg(0, 0, 10, 0), seg(11, 0, 20, 0), {}},
      {"identical reversed", seg(1, 1, 4, 5), seg(4, 5, 1, 1), {}, 1},
      {"zero-length on circle", seg(3, 4, 3, 4), arc(0, 0, 5), {P(3, 4)}},
      {"zero-length off segment", seg(1, 1, 1, 1), seg(0, 0, 2, 0), {}},
      {"line through circle", seg(-10, 3, 10, 3), arc(0, 0, 5), {P(-4, 3), P(4, 3)}},
      {"line tangent to circle", seg(-10, 5, 10, 5), arc(0, 0, 5), {P(0, 5)}, 0, true},
      {"line a hair outside", seg(-10, h, 10, h), arc(0, 0, 5), {}},
      {"line and upper half", seg(3, -10, 3, 10), arc(0, 0, 5, 0, kPi), {P(3, 4)}},
      {"line through arc end", seg(5, -1, 5, 1), arc(0, 0, 5, 0, kPi), {P(5, 0)}, 0, false, 1e-15},
      {"circles crossing", arc(0, 0, 5), arc(8, 0, 5), {P(4, 3), P(4, -3)}},
      {"external tangency", arc(0, 0, 5), arc(10, 0, 5), {P(5, 0)}, 0, true},
      {"internal tangency", arc(0, 0, 5), arc(2, 0, 3), {P(5, 0)}},
      {"internal tangency swapped", arc(2, 0, 3), arc(0, 0, 5), {P(5, 0)}},
      {"nested apart", arc(0, 0, 5), arc(1, 0, 2), {}},
      {"concentric", arc(0, 0, 5), arc(0, 0, 4), {}},
      {"far apart", arc(0, 0, 5), arc(20, 0, 4), {}},
      {"upper half only", arc(0, 0, 5, 0, kPi), arc(8, 0, 5), {P(4, 3)}},
      {"same circle overlap", arc(0, 0, 2, 0, kPi / 2), arc(0, 0, 2, kPi / 4, kPi), {}, 1},
      {"complementary halves", arc(0, 0, 2, 0, kPi), arc(0, 0, 2, kPi, 2 * kPi), {P(2, 0), P(-2, 0)}},
      {"two overlap pieces", arc(0, 0, 2, 0, 1.5 * kPi), arc(0, 0, 2, kPi, 2.5 * kPi), {}, 2},
      {"full circles coincide", arc(1, 1, 2), arc(1, 1, 2, 1.0, 1.0), {}, 1},
  };
  AcGeCurveCurveInt2d x;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    x.set(*c.a, *c.b);
    ASSERT_EQ(static_cast<size_t>(x.numIntPoints()), c.pts.size());
    EXPECT_EQ(x.overlapCount(), c.overlaps);
    for (size_t i = 0; i < c.pts.size(); ++i) expectPoint(x.intPoint(static_cast<int>(i)), c.pts[i].x, c.pts[i].y, c.tol);
    if (c.tangent) {
      EXPECT_TRUE(x.isTangential(0));
    }
  }
}

TEST(GeIntersect, ParametersRangesAndTolerance) {
  AcGeCurveCurveInt2d x(Seg(P(0, 0), P(10, 10)), Seg(P(0, 10), P(10, 0)));
  double t1, t2;
  x.getIntParams(0, t1, t2);
  EXPECT_NEAR(t1, 5 * std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(t2, 5 * std::sqrt(2.0), 1e-12);
  EXPECT_TRUE(x.isTransversal(0));
  // Within the tolerance of the caller counts, and snaps onto the end it is near.
  AcGeTol loose;
  loose.setEqualPoint(1e-3);
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(4, 1e-4), P(4, 7)), loose);
  ASSERT_EQ(x.numIntPoints(), 1);
  EXPECT_EQ(x.intPoint(0).y, 1e-4);

  x.set(Seg(P(-10, 3), P(10, 3)), Arc(P(0, 0), 5.0));
  x.getIntParams(1, t1, t2);
  EXPECT_NEAR(t1, 14.0, 1e-12);
  EXPECT_NEAR(t2, std::atan2(3.0, 4.0), 1e-12);
  // Arc first, line second: parameters swap roles.
  x.set(Arc(P(0, 0), 5.0, 0.0, kPi), Seg(P(3, -10), P(3, 10)));
  x.getIntParams(0, t1, t2);
  EXPECT_NEAR(t1, std::atan2(4.0, 3.0), 1e-12);
  EXPECT_NEAR(t2, 14.0, 1e-12);

  AcGeInterval r1, r2;
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(15, 0), P(6, 0)));
  x.getOverlapRanges(0, r1, r2);
  EXPECT_DOUBLE_EQ(r1.lowerBound(), 6.0);
  EXPECT_DOUBLE_EQ(r1.upperBound(), 10.0);
  EXPECT_DOUBLE_EQ(r2.lowerBound(), 5.0);
  EXPECT_DOUBLE_EQ(r2.upperBound(), 9.0);
  x.set(Seg(P(1, 1), P(4, 5)), Seg(P(4, 5), P(1, 1)));
  x.getOverlapRanges(0, r1, r2);
  EXPECT_DOUBLE_EQ(r1.length(), 5.0);
  x.set(Arc(P(0, 0), 2.0, 0.0, kPi / 2), Arc(P(0, 0), 2.0, kPi / 4, kPi));
  x.getOverlapRanges(0, r1, r2);
  EXPECT_NEAR(r1.lowerBound(), kPi / 4, 1e-12);
  EXPECT_NEAR(r1.upperBound(), kPi / 2, 1e-12);
  EXPECT_NEAR(r2.lowerBound(), kPi / 4, 1e-12);
  EXPECT_NEAR(r2.upperBound(), kPi / 2, 1e-12);
  // A clockwise arc on the same circle: 0..-90 degrees clockwise against 270..360 ccw.
  x.set(Arc(P(0, 0), 2.0, 0.0, kPi / 2, AcGeVector2d::kXAxis, true), Arc(P(0, 0), 2.0, 1.5 * kPi, 2 * kPi));
  ASSERT_EQ(x.overlapCount(), 1);
  x.getOverlapRanges(0, r1, r2);
  EXPECT_NEAR(r1.length(), kPi / 2, 1e-12);
  EXPECT_NEAR(r2.lowerBound(), 1.5 * kPi, 1e-12);
  x.set(Arc(P(1, 1), 2.0), Arc(P(1, 1), 2.0, 1.0, 1.0));
  x.getOverlapRanges(0, r1, r2);
  EXPECT_NEAR(r1.length(), 2 * kPi, 1e-12);

  // Out-of-range queries give neutral answers; copies compare equal.
  t1 = t2 = 7;
  x.getIntParams(5, t1, t2);
  EXPECT_EQ(t1, 0.0);
  expectPoint(x.intPoint(-1), 0, 0);
  AcGeCurveCurveInt2d copy(x);
  EXPECT_TRUE(copy.isEqualTo(x));
  EXPECT_TRUE(copy.isSupported());
  int n = 0;
  AcGePoint2d a, b;
  EXPECT_TRUE(Arc(P(0, 0), 5.0).intersectWith(AcGeLine2d(P(0, 0), AcGeVector2d(1, 1)), n, a, b));
  EXPECT_EQ(n, 2);
}

TEST(GeIntersect, ExtensionModesExtendTheNamedOperand) {
  const Seg shortSeg(P(0, 0), P(1, 0)), vertical(P(5, -1), P(5, 1));
  const Seg lower(P(-10, -3), P(10, -3)), farSeg(P(-1, -3), P(1, -3));
  const Arc upper(P(0, 0), 5.0, 0.0, kPi);
  struct Mode {
    const AcGeCurve2d* a;
    const AcGeCurve2d* b;
    int counts[4];  // kNone, kThis, kArg, kBoth
  };
  const Mode cases[] = {
      {&shortSeg, &vertical, {0, 1, 0, 1}}, {&vertical, &shortSeg, {0, 0, 1, 1}}, {&upper, &lower, {0, 2, 0, 2}},
      {&lower, &upper, {0, 0, 2, 2}},       {&farSeg, &upper, {0, 0, 0, 2}},
  };
  for (const Mode& c : cases) {
    for (int m = 0; m < 4; ++m) {
      AcGePoint2dArray pts;
      EXPECT_EQ(intersectCurves(*c.a, *c.b, static_cast<Extend>(m), pts), Acad::eOk);
      EXPECT_EQ(pts.length(), c.counts[m]) << "mode " << m;
      EXPECT_EQ(countIntersections(*c.a, *c.b, static_cast<Extend>(m)), c.counts[m]);
    }
  }
  // Points are appended, not replaced.
  AcGePoint2dArray pts;
  pts.append(P(99, 99));
  intersectCurves(upper, lower, Extend::kThis, pts);
  ASSERT_EQ(pts.length(), 3);
  expectPoint(pts[0], 99, 99);
  expectPoint(pts[1], -4, -3);
  // Extending both colinear lines makes them one line: an overlap, no point.
  pts.removeAll();
  intersectCurves(Seg(P(0, 0), P(1, 0)), Seg(P(3, 0), P(4, 0)), Extend::kBoth, pts);
  EXPECT_EQ(pts.length(), 0);
  EXPECT_EQ(intersectCurves(upper, lower, static_cast<Extend>(7), pts), Acad::eInvalidInput);
  EXPECT_EQ(pts.length(), 0);
}

// Random lines and arcs, checked against transformed, reversed and swapped copies of themselves.
std::unique_ptr<AcGeCurve2d> randomCurve(std::mt19937& rng) {
  std::uniform_real_distribution<double> coord(-100, 100), radius(5, 80), angle(0, 2 * kPi);
  if (rng() % 2 == 0) return std::make_unique<Seg>(P(coord(rng), coord(rng)), P(coord(rng), coord(rng)));
  const double s = angle(rng);
  return std::make_unique<Arc>(P(coord(rng), coord(rng)), radius(rng), s, s + angle(rng) * 0.9 + 0.1);
}

int count(const AcGeCurve2d& a, const AcGeCurve2d& b) { return countIntersections(a, b, Extend::kNone); }
std::unique_ptr<AcGeCurve2d> clone(const AcGeCurve2d& c) { return std::unique_ptr<AcGeCurve2d>(static_cast<AcGeCurve2d*>(c.copy())); }

TEST(GeIntersect, MetamorphicTranslateRotateReverseAndSwapKeepCounts) {
  std::mt19937 rng(20240611);
  const AcGeMatrix2d moves[] = {
      AcGeMatrix2d::translation(AcGeVector2d(1234.5, -987.25)),
      AcGeMatrix2d::rotation(0.7318, P(13, -7)),
      AcGeMatrix2d::mirroring(P(0, 3), AcGeVector2d(1, 2)),
      AcGeMatrix2d::scaling(3.5, P(-2, 2)),
  };
  AcGeTol t;
  t.setEqualPoint(1e-9);
  int total = 0;
  for (int i = 0; i < 3000; ++i) {
    auto a = randomCurve(rng), b = randomCurve(rng);
    const int n = count(*a, *b);
    total += n;
    EXPECT_EQ(count(*b, *a), n);
    auto ra = clone(*a);
    ra->reverseParam();
    EXPECT_EQ(count(*ra, *b), n);
    for (const AcGeMatrix2d& m : moves) {
      auto ta = clone(*a), tb = clone(*b);
      ta->transformBy(m);
      tb->transformBy(m);
      EXPECT_EQ(count(*ta, *tb), n) << "pair " << i;
    }
    // Every point found lies on both curves.
    AcGePoint2dArray pts;
    intersectCurves(*a, *b, Extend::kNone, pts);
    for (const AcGePoint2d& p : pts) EXPECT_TRUE(a->isOn(p, t) && b->isOn(p, t));
  }
  EXPECT_GT(total, 500);  // the sample really exercises crossings
}
}  // namespace
