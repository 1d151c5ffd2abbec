// Points and vectors: known answers for angles, rotations, tolerances and plane conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gemat3d.h"
#include "geplane.h"

namespace {
constexpr double kPi = std::numbers::pi;

TEST(GeVector2d, AngleRunsCounterClockwiseFromXAxisInZeroToTwoPi) {
  EXPECT_DOUBLE_EQ(AcGeVector2d(1, 0).angle(), 0.0);
  EXPECT_DOUBLE_EQ(AcGeVector2d(0, 1).angle(), kPi / 2);
  EXPECT_DOUBLE_EQ(AcGeVector2d(-1, 0).angle(), kPi);
  EXPECT_DOUBLE_EQ(AcGeVector2d(0, -1).angle(), 1.5 * kPi);
  EXPECT_EQ(AcGeVector2d(1, -1e-300).angle(), 0.0);  // rounds up to 2pi, wraps to 0
  EXPECT_NEAR(AcGeVector2d(1, -1e-9).angle(), 2 * kPi - 1e-9, 1e-15);
  // angleTo is unsigned.
  EXPECT_DOUBLE_EQ(AcGeVector2d(1, 0).angleTo(AcGeVector2d(0, -1)), kPi / 2);
  EXPECT_DOUBLE_EQ(AcGeVector2d(1, 0).angleTo(AcGeVector2d(-1, 0)), kPi);
}

TEST(GeVector2d, RotateMirrorAndCross) {
  AcGeVector2d v(2, 0);
  v.rotateBy(kPi / 2);
  EXPECT_TRUE(v.isEqualTo(AcGeVector2d(0, 2)));
  EXPECT_GT(AcGeVector2d(1, 0).crossProduct(AcGeVector2d(0, 1)), 0.0);
  AcGeVector2d m(1, 2);
  m.mirror(AcGeVector2d(1, 1));  // reflection across y = x swaps the coordinates
  EXPECT_TRUE(m.isEqualTo(AcGeVector2d(2, 1)));
  AcGePoint2d p(3, 1);
  p.rotateBy(kPi, AcGePoint2d(1, 1));
  EXPECT_TRUE(p.isEqualTo(AcGePoint2d(-1, 1)));
  AcGePoint2d q(2, 5);
  q.mirror(AcGePoint2d(0, 3), AcGeVector2d(1, 0));  // across y = 3
  EXPECT_TRUE(q.isEqualTo(AcGePoint2d(2, 1)));
}

TEST(GeVector, ParallelPerpendicularAndZeroTestsUseTheVectorTolerance) {
  AcGeTol loose;
  loose.setEqualVector(0.1);
  const AcGeVector3d x(10, 0, 0);
  // sin(5 deg) = 0.087 is within 0.1; sin(6 deg) = 0.1045 is not.
  const double a5 = 5 * kPi / 180, a6 = 6 * kPi / 180;
  EXPECT_TRUE(x.isParallelTo(AcGeVector3d(std::cos(a5), std::sin(a5), 0), loose));
  EXPECT_FALSE(x.isParallelTo(AcGeVector3d(std::cos(a6), std::sin(a6), 0), loose));
  EXPECT_TRUE(x.isParallelTo(AcGeVector3d(-3, 0, 0)));
  EXPECT_FALSE(x.isCodirectionalTo(AcGeVector3d(-3, 0, 0)));
  EXPECT_TRUE(x.isCodirectionalTo(AcGeVector3d(3, 0, 0)));
  EXPECT_FALSE(x.isParallelTo(AcGeVector3d::kIdentity));  // a zero vector has no direction
  EXPECT_TRUE(x.isPerpendicularTo(AcGeVector3d(0, 0, 5)));
  EXPECT_TRUE(AcGeVector3d(0, 0, 1e-11).isZeroLength());
  EXPECT_FALSE(AcGeVector3d(0, 0, 1e-9).isZeroLength());
  EXPECT_TRUE(AcGeVector2d(3, 4).normal().isUnitLength());

  AcGeVector3d zero;
  AcGe::ErrorCondition flag = AcGe::kOk;
  zero.normalize(AcGeContext::gTol, flag);
  EXPECT_EQ(flag, AcGe::k0This);
  EXPECT_TRUE(zero.isZeroLength());
}

TEST(GeVector3d, AnglesCrossProductAndArbitraryAxis) {
  EXPECT_TRUE(AcGeVector3d::kXAxis.crossProduct(AcGeVector3d::kYAxis).isEqualTo(AcGeVector3d::kZAxis));
  EXPECT_DOUBLE_EQ(AcGeVector3d::kXAxis.angleTo(AcGeVector3d::kYAxis), kPi / 2);
  // Signed about a reference axis: +Y seen from -Z is a three-quarter turn.
  EXPECT_DOUBLE_EQ(AcGeVector3d::kXAxis.angleTo(AcGeVector3d::kYAxis, AcGeVector3d::kZAxis), kPi / 2);
  EXPECT_DOUBLE_EQ(AcGeVector3d::kXAxis.angleTo(AcGeVector3d::kYAxis, -AcGeVector3d::kZAxis), 1.5 * kPi);
  // Arbitrary axis rule: normal X gives world Z x X = Y; normal near Z gives world Y x N.
  EXPECT_TRUE(AcGeVector3d::kXAxis.perpVector().isEqualTo(AcGeVector3d::kYAxis));
  EXPECT_TRUE(AcGeVector3d::kZAxis.perpVector().isEqualTo(AcGeVector3d::kXAxis));
  const AcGeVector3d n(0.3, -0.5, 0.8);
  EXPECT_TRUE(n.perpVector().isPerpendicularTo(n));
  EXPECT_TRUE(n.perpVector().isUnitLength());

  AcGeVector3d r(1, 0, 0);
  r.rotateBy(kPi / 2, AcGeVector3d::kZAxis);
  EXPECT_TRUE(r.isEqualTo(AcGeVector3d(0, 1, 0)));
  EXPECT_EQ(AcGeVector3d(1, -7, 3).largestElement(), 1u);
}

TEST(GePoint3d, DistanceEqualityAndTransforms) {
  const AcGePoint3d a(1, 2, 3), b(4, 6, 3);
  EXPECT_DOUBLE_EQ(a.distanceTo(b), 5.0);
  EXPECT_TRUE(a.isEqualTo(AcGePoint3d(1, 2, 3 + 5e-11)));
  EXPECT_FALSE(a.isEqualTo(AcGePoint3d(1, 2, 3 + 5e-10)));
  AcGeTol t;
  t.setEqualPoint(0.1);
  EXPECT_TRUE(a.isEqualTo(AcGePoint3d(1.05, 2, 3), t));
  EXPECT_TRUE((b - a).isEqualTo(AcGeVector3d(3, 4, 0)));
  EXPECT_TRUE((a + AcGeVector3d(1, 1, 1)).isEqualTo(AcGePoint3d(2, 3, 4)));

  AcGePoint3d p(2, 0, 5);
  p.rotateBy(kPi / 2, AcGeVector3d::kZAxis, AcGePoint3d(1, 0, 0));
  EXPECT_TRUE(p.isEqualTo(AcGePoint3d(1, 1, 5)));
  p.scaleBy(2.0, AcGePoint3d(1, 1, 0));
  EXPECT_TRUE(p.isEqualTo(AcGePoint3d(1, 1, 10)));
  p.mirror(AcGePlane(AcGePoint3d(0, 0, 4), AcGeVector3d::kZAxis));
  EXPECT_TRUE(p.isEqualTo(AcGePoint3d(1, 1, -2)));
}

TEST(GePlane, CoordinatesRoundTripAndCoefficients) {
  const AcGePlane pl(AcGePoint3d(1, 2, 3), AcGeVector3d(0, 0, 2));
  EXPECT_TRUE(pl.normal().isEqualTo(AcGeVector3d::kZAxis));
  EXPECT_DOUBLE_EQ(pl.signedDistanceTo(AcGePoint3d(5, 5, 7)), 4.0);
  double a, b, c, d;
  pl.getCoefficients(a, b, c, d);
  EXPECT_DOUBLE_EQ(d, -3.0);
  // Skewed axes: plane coordinates solve the non-orthogonal system.
  const AcGePlane skew(AcGePoint3d(1, 1, 0), AcGeVector3d(2, 0, 0), AcGeVector3d(1, 1, 0));
  const AcGePoint3d world(skew, AcGePoint2d(0.5, 3));
  EXPECT_TRUE(world.isEqualTo(AcGePoint3d(1 + 1 + 3, 1 + 3, 0)));
  EXPECT_TRUE(world.convert2d(skew).isEqualTo(AcGePoint2d(0.5, 3)));
  const AcGePlane fromCoeffs(0, 0, 1, -4);  // z = 4
  EXPECT_TRUE(fromCoeffs.isOn(AcGePoint3d(9, -9, 4)));
}
}  // namespace
