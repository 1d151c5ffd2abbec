// 2D lines and arcs: parameters, projection with and without extension, lengths, bulges, offsets.
#include "ge_test_util.h"

#include <cmath>
#include <memory>
#include <numbers>

#include "contura/ge/curve2d.h"
#include "gearc2d.h"
#include "geline2d.h"
#include "gelnsg2d.h"
#include "geray2d.h"

namespace {
constexpr double kPi = std::numbers::pi;
using contura::ge::arcFromBulge;
using contura::ge::bulgeOfArc;
using contura::ge::CcwArc;

template <class Curve>
void expectEnds(const Curve& c, double x0, double y0, double x1, double y1) {
  expectPoint(c.startPoint(), x0, y0);
  expectPoint(c.endPoint(), x1, y1);
}

TEST(GeLineSeg2d, ParameterIsDistanceFromStart) {
  const AcGeLineSeg2d seg(AcGePoint2d(1, 1), AcGePoint2d(4, 5));
  AcGeInterval range;
  seg.getInterval(range);
  EXPECT_DOUBLE_EQ(range.lowerBound(), 0.0);
  EXPECT_DOUBLE_EQ(range.upperBound(), 5.0);
  EXPECT_DOUBLE_EQ(seg.length(), 5.0);
  expectPoint(seg.evalPoint(2.5), 2.5, 3.0);
  // The end comes back bit-exact.
  EXPECT_EQ(seg.evalPoint(5.0).x, 4.0);
  EXPECT_EQ(seg.evalPoint(5.0).y, 5.0);
  EXPECT_DOUBLE_EQ(seg.paramOf(AcGePoint2d(2.5, 3.0)), 2.5);
  EXPECT_DOUBLE_EQ(seg.length(1.0, 4.0), 3.0);
  EXPECT_DOUBLE_EQ(seg.paramAtLength(4.0, 1.5, false), 2.5);
  AcGeVector2dArray d;
  seg.evalPoint(1.0, 2, d);
  ASSERT_EQ(d.length(), 2);
  EXPECT_TRUE(d[0].isEqualTo(AcGeVector2d(0.6, 0.8)));
  EXPECT_TRUE(d[1].isZeroLength());
  expectPoint(seg.midPoint(), 2.5, 3.0);
}

TEST(GeLineSeg2d, ClosestPointClampsToTheEndsUnlessExtended) {
  const AcGeLineSeg2d seg(AcGePoint2d(0, 0), AcGePoint2d(10, 0));
  expectPoint(seg.closestPointTo(AcGePoint2d(4, 3)), 4, 0);
  expectPoint(seg.closestPointTo(AcGePoint2d(-5, 2)), 0, 0);
  expectPoint(seg.closestPointTo(AcGePoint2d(15, -2)), 10, 0);
  AcGeLine2d line;
  seg.getLine(line);
  expectPoint(line.closestPointTo(AcGePoint2d(-5, 2)), -5, 0);
  EXPECT_DOUBLE_EQ(line.paramOf(AcGePoint2d(-5, 2)), -5.0);
  EXPECT_DOUBLE_EQ(seg.distanceTo(AcGePoint2d(13, 4)), 5.0);
  EXPECT_TRUE(seg.isOn(AcGePoint2d(3, 0)));
  EXPECT_FALSE(seg.isOn(AcGePoint2d(3, 1e-6)));
  AcGeTol loose;
  loose.setEqualPoint(0.1);
  EXPECT_TRUE(seg.isOn(AcGePoint2d(10.05, 0), loose));
  const AcGeRay2d ray(AcGePoint2d(0, 0), AcGeVector2d(0, 2));
  expectPoint(ray.closestPointTo(AcGePoint2d(1, -3)), 0, 0);
  expectPoint(ray.closestPointTo(AcGePoint2d(1, 30)), 0, 30);
  AcGePoint2d p;
  EXPECT_TRUE(ray.hasStartPoint(p));
  EXPECT_FALSE(ray.hasEndPoint(p));
}

TEST(GeLineSeg2d, DegenerateSegmentIsAPoint) {
  const AcGeLineSeg2d seg(AcGePoint2d(2, 2), AcGePoint2d(2, 2));
  EXPECT_DOUBLE_EQ(seg.length(), 0.0);
  expectPoint(seg.closestPointTo(AcGePoint2d(9, 9)), 2, 2);
  EXPECT_TRUE(seg.isOn(AcGePoint2d(2, 2)));
  EXPECT_FALSE(std::isnan(seg.paramOf(AcGePoint2d(5, 1))));
}

TEST(GeLinearEnt2d, ColinearParallelAndOverlapEntities) {
  const AcGeLineSeg2d a(AcGePoint2d(0, 0), AcGePoint2d(10, 0));
  const AcGeLineSeg2d b(AcGePoint2d(12, 0), AcGePoint2d(4, 0));
  EXPECT_TRUE(a.isColinearTo(b));
  AcGeLinearEnt2d* piece = nullptr;
  ASSERT_TRUE(a.overlap(b, piece));
  std::unique_ptr<AcGeLinearEnt2d> owned(piece);
  ASSERT_EQ(piece->type(), AcGe::kLineSeg2d);
  const auto* seg = static_cast<const AcGeLineSeg2d*>(piece);
  expectEnds(*seg, 4, 0, 10, 0);
  // A ray overlapping a line gives a ray.
  const AcGeRay2d ray(AcGePoint2d(3, 0), AcGeVector2d(-1, 0));
  ASSERT_TRUE(AcGeLine2d::kXAxis.overlap(ray, piece));
  owned.reset(piece);
  EXPECT_EQ(piece->type(), AcGe::kRay2d);
  // Touching end to end is no overlap, and no crossing either.
  const AcGeLineSeg2d c(AcGePoint2d(10, 0), AcGePoint2d(20, 0));
  EXPECT_FALSE(a.overlap(c, piece));
  EXPECT_EQ(piece, nullptr);
  AcGePoint2d x;
  EXPECT_FALSE(a.intersectWith(c, x));
  const AcGeLineSeg2d d(AcGePoint2d(5, -5), AcGePoint2d(5, 5));
  ASSERT_TRUE(a.intersectWith(d, x));
  expectPoint(x, 5, 0);
  EXPECT_TRUE(a.isPerpendicularTo(d));
}

TEST(GeCircArc2d, AnglesAreParametersAndSweepIsNormalised) {
  const AcGeCircArc2d arc(AcGePoint2d(1, 2), 2.0, kPi / 2, 0.0);  // end below start: wraps
  EXPECT_DOUBLE_EQ(arc.endAng(), 2 * kPi);
  EXPECT_DOUBLE_EQ(arc.length(), 2.0 * 1.5 * kPi);
  expectEnds(arc, 1, 4, 3, 2);
  EXPECT_NEAR(arc.paramOf(AcGePoint2d(-1, 2)), kPi, 1e-12);
  EXPECT_NEAR(arc.paramOf(AcGePoint2d(1, 0)), 1.5 * kPi, 1e-12);
  // A point in the gap maps to the nearer end.
  EXPECT_NEAR(arc.paramOf(AcGePoint2d(2.9, 3.0)), 2 * kPi, 1e-12);
  EXPECT_NEAR(arc.paramOf(AcGePoint2d(1.5, 3.9)), kPi / 2, 1e-12);
  EXPECT_FALSE(arc.isFullCircle());
  const AcGeCircArc2d circle(AcGePoint2d(0, 0), 3.0, 1.0, 1.0);
  EXPECT_TRUE(circle.isFullCircle());
  EXPECT_TRUE(circle.isClosed());
  AcGePoint2d p;
  EXPECT_FALSE(circle.hasStartPoint(p));
  AcGeVector2dArray d;
  arc.evalPoint(kPi, 2, d);
  EXPECT_TRUE(d[0].isEqualTo(AcGeVector2d(0, -2)));
  EXPECT_TRUE(d[1].isEqualTo(AcGeVector2d(2, 0)));
}

TEST(GeCircArc2d, ClosestPointWithAndWithoutExtension) {
  // Upper half circle of radius 5.
  const AcGeCircArc2d arc(AcGePoint2d(0, 0), 5.0, 0.0, kPi);
  expectPoint(arc.closestPointTo(AcGePoint2d(0, 10)), 0, 5);
  expectPoint(arc.closestPointTo(AcGePoint2d(3, -4)), 5, 0);   // below: nearest end
  expectPoint(arc.closestPointTo(AcGePoint2d(-1, -7)), -5, 0);
  const AcGeCircArc2d circle(arc.center(), arc.radius());
  expectPoint(circle.closestPointTo(AcGePoint2d(0, -10)), 0, -5);
  EXPECT_TRUE(arc.isOn(AcGePoint2d(3, 4)));
  EXPECT_FALSE(arc.isOn(AcGePoint2d(3, -4)));
  EXPECT_TRUE(arc.isInside(AcGePoint2d(1, 1)));
  AcGeLine2d tangent;
  ASSERT_TRUE(arc.tangent(AcGePoint2d(0, 5), tangent));
  EXPECT_TRUE(tangent.direction().isParallelTo(AcGeVector2d(1, 0)));
  EXPECT_FALSE(arc.tangent(AcGePoint2d(0, -5), tangent));
}

TEST(GeCircArc2d, ClockwiseArcsMeasureAnglesClockwise) {
  const AcGeCircArc2d cw(AcGePoint2d(0, 0), 1.0, 0.0, kPi / 2, AcGeVector2d::kXAxis, true);
  expectEnds(cw, 1, 0, 0, -1);
  EXPECT_TRUE(cw.isOn(AcGePoint2d(std::sqrt(0.5), -std::sqrt(0.5))));
  EXPECT_FALSE(cw.isOn(AcGePoint2d(std::sqrt(0.5), std::sqrt(0.5))));
  AcGeCircArc2d rev(cw);
  rev.setToComplement();
  EXPECT_FALSE(rev.isClockWise());
  expectEnds(rev, 0, -1, 1, 0);
  EXPECT_NEAR(rev.length(), kPi / 2, 1e-12);
}

TEST(GeCircArc2d, ThreePointAndBulgeConstructors) {
  const AcGeCircArc2d three(AcGePoint2d(1, 0), AcGePoint2d(0, 1), AcGePoint2d(-1, 0));
  expectPoint(three.center(), 0, 0);
  EXPECT_NEAR(three.radius(), 1.0, 1e-12);
  EXPECT_FALSE(three.isClockWise());
  EXPECT_NEAR(three.sweep(), kPi, 1e-12);
  const AcGeCircArc2d threeCw(AcGePoint2d(-1, 0), AcGePoint2d(0, 1), AcGePoint2d(1, 0));
  EXPECT_TRUE(threeCw.isClockWise());
  EXPECT_TRUE(threeCw.isOn(AcGePoint2d(0, 1)));
  // Collinear points are refused.
  const AcGeCircArc2d bad(AcGePoint2d(0, 0), AcGePoint2d(1, 1), AcGePoint2d(2, 2));
  EXPECT_DOUBLE_EQ(bad.radius(), 1.0);
  expectPoint(bad.center(), 0, 0);

  // tan(theta/4) = 1: a half circle below the chord (counter-clockwise from the start).
  const AcGeCircArc2d half(AcGePoint2d(0, 0), AcGePoint2d(10, 0), 1.0, false);
  expectPoint(half.center(), 5, 0);
  EXPECT_NEAR(half.radius(), 5.0, 1e-12);
  EXPECT_TRUE(half.isOn(AcGePoint2d(5, -5)));
  // Distance form: sagitta 5 on a chord of 10 is the same half circle.
  const AcGeCircArc2d sag(AcGePoint2d(0, 0), AcGePoint2d(10, 0), 5.0, true);
  EXPECT_TRUE(sag.isEqualTo(half));
  // Negative bulge: arc above, still counter-clockwise, so it starts at the second point.
  const AcGeCircArc2d neg(AcGePoint2d(0, 0), AcGePoint2d(10, 0), -1.0, false);
  EXPECT_TRUE(neg.isOn(AcGePoint2d(5, 5)));
  expectPoint(neg.startPoint(), 10, 0);
}

TEST(GeBulge, ArcsFromBulgesKeepTheTravelDirection) {
  AcGeCircArc2d arc;
  // Quarter arc, counter-clockwise: from (1,0) to (0,1) about the origin.
  ASSERT_TRUE(arcFromBulge(AcGePoint2d(1, 0), AcGePoint2d(0, 1), std::tan(kPi / 8), arc));
  expectPoint(arc.center(), 0, 0);
  expectEnds(arc, 1, 0, 0, 1);
  EXPECT_NEAR(bulgeOfArc(arc), std::tan(kPi / 8), 1e-12);
  // Clockwise three-quarter arc between the same points.
  ASSERT_TRUE(arcFromBulge(AcGePoint2d(1, 0), AcGePoint2d(0, 1), -std::tan(3 * kPi / 8), arc));
  expectPoint(arc.center(), 0, 0);
  EXPECT_TRUE(arc.isClockWise());
  expectEnds(arc, 1, 0, 0, 1);
  EXPECT_TRUE(arc.isOn(AcGePoint2d(-1, 0)));
  EXPECT_NEAR(arc.length(), 1.5 * kPi, 1e-12);
  EXPECT_NEAR(bulgeOfArc(arc), -std::tan(3 * kPi / 8), 1e-12);
  EXPECT_FALSE(arcFromBulge(AcGePoint2d(1, 0), AcGePoint2d(1, 0), 1.0, arc));
  EXPECT_FALSE(arcFromBulge(AcGePoint2d(1, 0), AcGePoint2d(2, 0), 0.0, arc));

  CcwArc ccw;
  ASSERT_TRUE(contura::ge::ccwArcFromBulge(AcGePoint2d(1, 0), AcGePoint2d(0, 1), -std::tan(3 * kPi / 8), ccw));
  EXPECT_TRUE(ccw.reversed);
  EXPECT_NEAR(ccw.startAngle, kPi / 2, 1e-12);
  EXPECT_NEAR(ccw.endAngle, 0.0, 1e-12);
  EXPECT_NEAR(contura::ge::includedAngleFromBulge(-1.0), -kPi, 1e-15);
  EXPECT_NEAR(contura::ge::bulgeFromIncludedAngle(kPi / 2), std::tan(kPi / 8), 1e-15);
}

TEST(GeOffset, ArcsChangeRadiusAndSegmentsMoveLeft) {
  const AcGeCircArc2d arc(AcGePoint2d(0, 0), 10.0, 0.0, kPi / 2);
  AcGeCircArc2d out;
  ASSERT_TRUE(contura::ge::offsetArc(arc, -4.0, out));
  EXPECT_DOUBLE_EQ(out.radius(), 6.0);
  EXPECT_DOUBLE_EQ(out.endAng(), kPi / 2);
  EXPECT_FALSE(contura::ge::offsetArc(arc, -10.0, out));
  EXPECT_DOUBLE_EQ(out.radius(), 6.0);  // untouched on failure
  const AcGeLineSeg2d seg(AcGePoint2d(0, 0), AcGePoint2d(10, 0));
  const AcGeLineSeg2d up = contura::ge::offsetSegment(seg, 2.0);
  expectEnds(up, 0, 2, 10, 2);
}

TEST(GeCurve2d, SimilarityTransformsKeepArcsExactAndMirrorsFlipDirection) {
  AcGeCircArc2d arc(AcGePoint2d(1, 0), 2.0, 0.0, kPi / 2);
  arc.transformBy(AcGeMatrix2d::rotation(kPi / 2, AcGePoint2d(0, 0)) * AcGeMatrix2d::scaling(2.0));
  expectPoint(arc.center(), 0, 2);
  EXPECT_DOUBLE_EQ(arc.radius(), 4.0);
  expectEnds(arc, 0, 6, -4, 2);
  AcGeCircArc2d m(AcGePoint2d(0, 0), 1.0, 0.0, kPi / 2);
  m.transformBy(AcGeMatrix2d::mirroring(AcGePoint2d(0, 0), AcGeVector2d(1, 0)));
  EXPECT_TRUE(m.isClockWise());
  expectEnds(m, 1, 0, 0, -1);
  // A non-uniform scale would make an ellipse: refused.
  AcGeCircArc2d keep(AcGePoint2d(0, 0), 1.0);
  AcGeMatrix2d squash;
  squash.entry[1][1] = 0.5;
  keep.transformBy(squash);
  EXPECT_DOUBLE_EQ(keep.radius(), 1.0);
  std::unique_ptr<AcGeEntity2d> copy(arc.copy());
  EXPECT_TRUE(copy->isEqualTo(arc));
  EXPECT_TRUE(copy->isKindOf(AcGe::kCurve2d));
  EXPECT_FALSE(copy->isKindOf(AcGe::kLinearEnt2d));
}
}  // namespace
