// Curve-curve intersections: known answers, tangency, overlaps, extension modes and invariance.
#include <gtest/gtest.h>

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
AcGePoint2d P(double x, double y) { return {x, y}; }

void expectPoint(const AcGePoint2d& p, double x, double y, double tol = 1e-9) {
  EXPECT_NEAR(p.x, x, tol) << "point (" << p.x << ", " << p.y << ")";
  EXPECT_NEAR(p.y, y, tol) << "point (" << p.x << ", " << p.y << ")";
}

TEST(GeIntersect, SegmentsCrossTouchAndMiss) {
  AcGeCurveCurveInt2d x(Seg(P(0, 0), P(10, 10)), Seg(P(0, 10), P(10, 0)));
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 5, 5);
  double t1, t2;
  x.getIntParams(0, t1, t2);
  EXPECT_NEAR(t1, 5 * std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(t2, 5 * std::sqrt(2.0), 1e-12);
  EXPECT_TRUE(x.isTransversal(0));

  // T junction: the end of one lies inside the other.
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(4, 0), P(4, 7)));
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 4, 0);
  // Ends meeting at an angle: the shared end exactly.
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(10, 0), P(12, 5)));
  ASSERT_EQ(x.numIntPoints(), 1);
  EXPECT_EQ(x.intPoint(0).x, 10.0);
  EXPECT_EQ(x.intPoint(0).y, 0.0);
  // Just short of each other.
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(4, 1e-6), P(4, 7)));
  EXPECT_EQ(x.numIntPoints(), 0);
  // Within the tolerance of the caller counts, and snaps onto the end it is near.
  AcGeTol loose;
  loose.setEqualPoint(1e-3);
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(4, 1e-4), P(4, 7)), loose);
  ASSERT_EQ(x.numIntPoints(), 1);
  EXPECT_EQ(x.intPoint(0).y, 1e-4);
  // Parallel apart.
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(0, 2), P(10, 2)));
  EXPECT_EQ(x.numIntPoints(), 0);
  EXPECT_EQ(x.overlapCount(), 0);
}

TEST(GeIntersect, ColinearSegmentsOverlapOrTouchEndToEnd) {
  AcGeCurveCurveInt2d x(Seg(P(0, 0), P(10, 0)), Seg(P(15, 0), P(6, 0)));
  EXPECT_EQ(x.numIntPoints(), 0);
  ASSERT_EQ(x.overlapCount(), 1);
  AcGeInterval r1, r2;
  x.getOverlapRanges(0, r1, r2);
  EXPECT_DOUBLE_EQ(r1.lowerBound(), 6.0);
  EXPECT_DOUBLE_EQ(r1.upperBound(), 10.0);
  EXPECT_DOUBLE_EQ(r2.lowerBound(), 5.0);
  EXPECT_DOUBLE_EQ(r2.upperBound(), 9.0);
  // End to end, colinear: one touching point, not an overlap.
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(10, 0), P(20, 0)));
  EXPECT_EQ(x.overlapCount(), 0);
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 10, 0);
  EXPECT_TRUE(x.isTangential(0));
  // Colinear with a gap.
  x.set(Seg(P(0, 0), P(10, 0)), Seg(P(11, 0), P(20, 0)));
  EXPECT_EQ(x.numIntPoints() + x.overlapCount(), 0);
  // Identical segments overlap completely.
  x.set(Seg(P(1, 1), P(4, 5)), Seg(P(4, 5), P(1, 1)));
  ASSERT_EQ(x.overlapCount(), 1);
  x.getOverlapRanges(0, r1, r2);
  EXPECT_DOUBLE_EQ(r1.length(), 5.0);
}

TEST(GeIntersect, LineAndArc) {
  const Arc circle(P(0, 0), 5.0);
  AcGeCurveCurveInt2d x(Seg(P(-10, 3), P(10, 3)), circle);
  ASSERT_EQ(x.numIntPoints(), 2);
  expectPoint(x.intPoint(0), -4, 3);  // sorted along the segment
  expectPoint(x.intPoint(1), 4, 3);
  double t1, t2;
  x.getIntParams(1, t1, t2);
  EXPECT_NEAR(t1, 14.0, 1e-12);
  EXPECT_NEAR(t2, std::atan2(3.0, 4.0), 1e-12);
  // Tangent: one point.
  x.set(Seg(P(-10, 5), P(10, 5)), circle);
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 0, 5);
  EXPECT_TRUE(x.isTangential(0));
  // Missing by a hair more than the tolerance.
  x.set(Seg(P(-10, 5 + 1e-9), P(10, 5 + 1e-9)), circle);
  EXPECT_EQ(x.numIntPoints(), 0);
  // The upper half arc keeps only the hits on it.
  const Arc upper(P(0, 0), 5.0, 0.0, kPi);
  x.set(Seg(P(3, -10), P(3, 10)), upper);
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 3, 4);
  // Through the arc's end: the end point exactly.
  x.set(Seg(P(5, -1), P(5, 1)), upper);
  ASSERT_EQ(x.numIntPoints(), 1);
  EXPECT_NEAR(x.intPoint(0).x, 5.0, 1e-15);
  EXPECT_NEAR(x.intPoint(0).y, 0.0, 1e-15);
  // Arc first, line second: parameters swap roles.
  x.set(upper, Seg(P(3, -10), P(3, 10)));
  ASSERT_EQ(x.numIntPoints(), 1);
  x.getIntParams(0, t1, t2);
  EXPECT_NEAR(t1, std::atan2(4.0, 3.0), 1e-12);
  EXPECT_NEAR(t2, 14.0, 1e-12);
  int n = 0;
  AcGePoint2d a, b;
  EXPECT_TRUE(circle.intersectWith(AcGeLine2d(P(0, 0), AcGeVector2d(1, 1)), n, a, b));
  EXPECT_EQ(n, 2);
}

TEST(GeIntersect, ArcAndArc) {
  AcGeCurveCurveInt2d x(Arc(P(0, 0), 5.0), Arc(P(8, 0), 5.0));
  ASSERT_EQ(x.numIntPoints(), 2);
  expectPoint(x.intPoint(0), 4, 3);
  expectPoint(x.intPoint(1), 4, -3);
  // External tangency.
  x.set(Arc(P(0, 0), 5.0), Arc(P(10, 0), 5.0));
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 5, 0);
  EXPECT_TRUE(x.isTangential(0));
  // Internal tangency, both orders.
  x.set(Arc(P(0, 0), 5.0), Arc(P(2, 0), 3.0));
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 5, 0);
  x.set(Arc(P(2, 0), 3.0), Arc(P(0, 0), 5.0));
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 5, 0);
  // Nested without contact, concentric, far apart.
  x.set(Arc(P(0, 0), 5.0), Arc(P(1, 0), 2.0));
  EXPECT_EQ(x.numIntPoints(), 0);
  x.set(Arc(P(0, 0), 5.0), Arc(P(0, 0), 4.0));
  EXPECT_EQ(x.numIntPoints(), 0);
  x.set(Arc(P(0, 0), 5.0), Arc(P(20, 0), 4.0));
  EXPECT_EQ(x.numIntPoints(), 0);
  // Bounded arcs keep only their own hits: upper half of the first only.
  x.set(Arc(P(0, 0), 5.0, 0.0, kPi), Arc(P(8, 0), 5.0));
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 4, 3);
}

TEST(GeIntersect, ArcsOnOneCircleOverlapOrTouch) {
  // Quarter arcs 0..90 and 45..180 overlap on 45..90.
  AcGeCurveCurveInt2d x(Arc(P(0, 0), 2.0, 0.0, kPi / 2), Arc(P(0, 0), 2.0, kPi / 4, kPi));
  EXPECT_EQ(x.numIntPoints(), 0);
  ASSERT_EQ(x.overlapCount(), 1);
  AcGeInterval r1, r2;
  x.getOverlapRanges(0, r1, r2);
  EXPECT_NEAR(r1.lowerBound(), kPi / 4, 1e-12);
  EXPECT_NEAR(r1.upperBound(), kPi / 2, 1e-12);
  EXPECT_NEAR(r2.lowerBound(), kPi / 4, 1e-12);
  EXPECT_NEAR(r2.upperBound(), kPi / 2, 1e-12);
  // Complementary halves touch at both ends.
  x.set(Arc(P(0, 0), 2.0, 0.0, kPi), Arc(P(0, 0), 2.0, kPi, 2 * kPi));
  EXPECT_EQ(x.overlapCount(), 0);
  ASSERT_EQ(x.numIntPoints(), 2);
  expectPoint(x.intPoint(0), 2, 0);
  expectPoint(x.intPoint(1), -2, 0);
  // Two long arcs overlapping in two separate pieces.
  x.set(Arc(P(0, 0), 2.0, 0.0, 1.5 * kPi), Arc(P(0, 0), 2.0, kPi, 2.5 * kPi));
  EXPECT_EQ(x.overlapCount(), 2);
  // A clockwise arc on the same circle: 0..-90 degrees clockwise against 270..360 ccw.
  x.set(Arc(P(0, 0), 2.0, 0.0, kPi / 2, AcGeVector2d::kXAxis, true), Arc(P(0, 0), 2.0, 1.5 * kPi, 2 * kPi));
  ASSERT_EQ(x.overlapCount(), 1);
  x.getOverlapRanges(0, r1, r2);
  EXPECT_NEAR(r1.length(), kPi / 2, 1e-12);
  EXPECT_NEAR(r2.lowerBound(), 1.5 * kPi, 1e-12);
  // Full circles coincide entirely.
  x.set(Arc(P(1, 1), 2.0), Arc(P(1, 1), 2.0, 1.0, 1.0));
  ASSERT_EQ(x.overlapCount(), 1);
  x.getOverlapRanges(0, r1, r2);
  EXPECT_NEAR(r1.length(), 2 * kPi, 1e-12);
}

TEST(GeIntersect, ExtensionModesExtendTheNamedOperand) {
  const Seg shortSeg(P(0, 0), P(1, 0));
  const Seg vertical(P(5, -1), P(5, 1));
  const Arc upper(P(0, 0), 5.0, 0.0, kPi);
  struct Case {
    const AcGeCurve2d* a;
    const AcGeCurve2d* b;
    int counts[4];  // kNone, kThis, kArg, kBoth
  };
  const Seg lower(P(-10, -3), P(10, -3));
  const Seg farSeg(P(-1, -3), P(1, -3));
  const Case cases[] = {
      {&shortSeg, &vertical, {0, 1, 0, 1}},
      {&vertical, &shortSeg, {0, 0, 1, 1}},
      {&upper, &lower, {0, 2, 0, 2}},
      {&lower, &upper, {0, 0, 2, 2}},
      {&farSeg, &upper, {0, 0, 0, 2}},
  };
  for (const Case& c : cases) {
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
  // Bad mode values are refused without output.
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

TEST(GeIntersect, MetamorphicTranslateRotateReverseAndSwapKeepCounts) {
  std::mt19937 rng(20240611);
  const AcGeMatrix2d moves[] = {
      AcGeMatrix2d::translation(AcGeVector2d(1234.5, -987.25)),
      AcGeMatrix2d::rotation(0.7318, P(13, -7)),
      AcGeMatrix2d::mirroring(P(0, 3), AcGeVector2d(1, 2)),
      AcGeMatrix2d::scaling(3.5, P(-2, 2)),
  };
  int total = 0;
  for (int i = 0; i < 3000; ++i) {
    auto a = randomCurve(rng), b = randomCurve(rng);
    const int n = count(*a, *b);
    total += n;
    EXPECT_EQ(count(*b, *a), n);
    std::unique_ptr<AcGeCurve2d> ra(static_cast<AcGeCurve2d*>(a->copy()));
    ra->reverseParam();
    EXPECT_EQ(count(*ra, *b), n);
    for (const AcGeMatrix2d& m : moves) {
      std::unique_ptr<AcGeCurve2d> ta(static_cast<AcGeCurve2d*>(a->copy())), tb(static_cast<AcGeCurve2d*>(b->copy()));
      ta->transformBy(m);
      tb->transformBy(m);
      EXPECT_EQ(count(*ta, *tb), n) << "pair " << i;
    }
    // Every point found lies on both curves.
    AcGePoint2dArray pts;
    intersectCurves(*a, *b, Extend::kNone, pts);
    AcGeTol t;
    t.setEqualPoint(1e-9);
    for (const AcGePoint2d& p : pts) {
      EXPECT_TRUE(a->isOn(p, t));
      EXPECT_TRUE(b->isOn(p, t));
    }
  }
  EXPECT_GT(total, 500);  // the sample really exercises crossings
}

TEST(GeIntersect, UnsupportedOrDegenerateInputsAreHandled) {
  // A zero-length segment is a point: found when it lies on the other curve.
  AcGeCurveCurveInt2d x(Seg(P(3, 4), P(3, 4)), Arc(P(0, 0), 5.0));
  ASSERT_EQ(x.numIntPoints(), 1);
  expectPoint(x.intPoint(0), 3, 4);
  x.set(Seg(P(1, 1), P(1, 1)), Seg(P(0, 0), P(2, 0)));
  EXPECT_EQ(x.numIntPoints(), 0);
  // Out-of-range queries give neutral answers.
  double t1 = 7, t2 = 7;
  x.getIntParams(5, t1, t2);
  EXPECT_EQ(t1, 0.0);
  expectPoint(x.intPoint(-1), 0, 0);
  AcGeCurveCurveInt2d copy(x);
  EXPECT_TRUE(copy.isEqualTo(x));
  EXPECT_TRUE(copy.isSupported());
}
}  // namespace
