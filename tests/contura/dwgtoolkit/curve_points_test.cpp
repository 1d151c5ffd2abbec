// CDwgDatabase's curve point members: the 0.1 rules at their borders, arc angles and bulges,
// inside tests against exact arcs (checked against a fine sampling of the same boundary), and
// moving curve ends.
#include <gtest/gtest.h>

#include <dbents.h>
#include <dbpl.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>

#include "DwgDatabase.h"

namespace {

std::unique_ptr<AcDbPolyline> polyline(std::initializer_list<std::array<double, 3>> vertices, bool closed) {
  auto p = std::make_unique<AcDbPolyline>();
  unsigned int i = 0;
  for (const auto& v : vertices) p->addVertexAt(i++, AcGePoint2d(v[0], v[1]), v[2]);
  p->setClosed(closed);
  return p;
}

TEST(DwgToolkitCurvePoints, TheTenthRulesHoldAtTheirBorders) {
  AcDbLine line(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0));
  EXPECT_FALSE(CDwgDatabase::isPointOnCurve(AcGePoint3d(5, 0.1, 0), &line, false));  // strictly nearer
  EXPECT_TRUE(CDwgDatabase::isPointOnCurve(AcGePoint3d(5, 0.0999, 0), &line, false));
  EXPECT_FALSE(CDwgDatabase::isPointOnCurve(AcGePoint3d(12, 0, 0), &line, false));
  EXPECT_TRUE(CDwgDatabase::isPointOnCurve(AcGePoint3d(12, 0, 0), &line, true));

  AcDbLine tiny(AcGePoint3d(0, 0, 0), AcGePoint3d(0.05, 0, 0));
  bool isStart = false;
  ASSERT_TRUE(CDwgDatabase::isPointOnCurveEnd(isStart, AcGePoint3d(0.04, 0, 0), &tiny));
  EXPECT_TRUE(isStart);  // both ends are near: the start wins
  isStart = true;
  ASSERT_TRUE(CDwgDatabase::isPointOnCurveEnd(isStart, AcGePoint3d(10, 0.05, 0), &line));
  EXPECT_FALSE(isStart);
  EXPECT_FALSE(CDwgDatabase::isPointCurveEnd(&line, AcGePoint3d(10, 0.1, 0)));  // strictly nearer

  EXPECT_TRUE(CDwgDatabase::isPointNearCurveStart(AcGePoint3d(4.9, 0, 0), &line));
  EXPECT_FALSE(CDwgDatabase::isPointNearCurveStart(AcGePoint3d(5.1, 3, 0), &line));  // off: the nearer end
  EXPECT_EQ(CDwgDatabase::getCurveOtherEndPoint(AcGePoint3d(1, 1, 0), &line), AcGePoint3d(10, 0, 0));
  EXPECT_DOUBLE_EQ(CDwgDatabase::getCurveLengthOn2Pt(AcGePoint3d(2, 1, 0), AcGePoint3d(7, -1, 0), &line), 5.0);
  EXPECT_EQ(CDwgDatabase::getCurveMidPoint(&line), AcGePoint3d(5, 0, 0));
}

TEST(DwgToolkitCurvePoints, ArcAnglesAndBulges) {
  const double pi = std::numbers::pi;
  AcDbArc half(AcGePoint3d(0, 0, 0), 2.0, 0.0, pi);
  EXPECT_EQ(CDwgDatabase::getArcBulge(&half), 1.0);  // exactly, near a half circle
  AcDbArc quarter(AcGePoint3d(0, 0, 0), 2.0, 0.0, pi / 2);
  EXPECT_DOUBLE_EQ(CDwgDatabase::getArcBulge(&quarter), std::tan(pi / 8));
  AcDbArc wrapped(AcGePoint3d(0, 0, 0), 1.0, 1.5 * pi, 0.5 * pi);  // through angle 0
  EXPECT_NEAR(CDwgDatabase::getArcAngle(&wrapped), pi, 1e-6);
  AcDbLine line;
  EXPECT_EQ(CDwgDatabase::getArcBulge(&line), 0.0);
  double angle = 0.0;
  ASSERT_EQ(CDwgDatabase::getArc2PtAngle(angle, &quarter, AcGePoint3d(0, 5, 0), AcGePoint3d(3, 0, 0)), 0);
  EXPECT_NEAR(angle, 1.5 * pi, 1e-6);
  EXPECT_NEAR(CDwgDatabase::getCurveLength(&quarter), pi, 1e-12);
}

// The same boundary followed in 20,000 straight pieces: the exact inside test must agree
// with it away from the boundary.
bool sampledInside(AcDbPolyline& p, double x, double y) {
  double t0 = 0, t1 = 0;
  p.getStartParam(t0);
  p.getEndParam(t1);
  const int n = 20000;
  bool inside = false;
  AcGePoint3d a;
  p.getPointAtParam(t0, a);
  for (int k = 1; k <= n; k++) {
    AcGePoint3d b;
    p.getPointAtParam(t0 + (t1 - t0) * k / n, b);
    if ((a.y > y) != (b.y > y) && a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y) > x) inside = !inside;
    a = b;
  }
  return inside;
}

TEST(DwgToolkitCurvePoints, InsideFollowsArcsExactlyWhateverTheDirection) {
  // A square whose top side bulges out (a half circle) and whose right side bulges in.
  auto shape = polyline({{0, 0, 0}, {10, 0, -0.4}, {10, 10, 1.0}, {0, 10, 0}}, true);
  auto reversed = polyline({{0, 10, -1.0}, {10, 10, 0.4}, {10, 0, 0}, {0, 0, 0}}, true);
  for (double x = -1.5; x <= 11.5; x += 0.75) {
    for (double y = -1.5; y <= 16.5; y += 0.75) {
      AcGePoint3d pt(x, y, 0);
      AcGePoint3d on;
      shape->getClosestPointTo(pt, on);
      if (pt.distanceTo(on) < 0.2) continue;  // the boundary itself is not inside
      bool expected = sampledInside(*shape, x, y);
      EXPECT_EQ(CDwgDatabase::isPointInCurve(shape.get(), pt), expected) << x << "," << y;
      EXPECT_EQ(CDwgDatabase::isPointInCurve(reversed.get(), pt), expected) << x << "," << y;
    }
  }
  EXPECT_FALSE(CDwgDatabase::isPointInCurve(shape.get(), AcGePoint3d(5, 0.05, 0)));  // on it

  auto open = polyline({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}, false);
  EXPECT_FALSE(CDwgDatabase::isPointInCurve(open.get(), AcGePoint3d(8, 2, 0)));
  EXPECT_TRUE(CDwgDatabase::isPointInLoopCurve(open.get(), AcGePoint3d(8, 2, 0)));  // closed by its chord
  EXPECT_FALSE(CDwgDatabase::isPointInLoopCurve(open.get(), AcGePoint3d(2, 8, 0)));
}

TEST(DwgToolkitCurvePoints, LoopsOfSeveralCurvesInAnyOrderWithHoles) {
  // An outer square of four lines given out of order and direction, and a circle inside it.
  AcDbLine bottom(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)), right(AcGePoint3d(10, 10, 0), AcGePoint3d(10, 0, 0));
  AcDbLine top(AcGePoint3d(10, 10, 0), AcGePoint3d(0, 10, 0)), left(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 10, 0));
  AcDbCircle hole(AcGePoint3d(5, 5, 0), AcGeVector3d::kZAxis, 2.0);
  AcDbVoidPtrArray loop;
  for (AcDbCurve* c : std::initializer_list<AcDbCurve*>{&top, &bottom, &left, &right, &hole}) loop.append(c);
  EXPECT_TRUE(CDwgDatabase::isPointInLoopCurve(loop, AcGePoint3d(1, 1, 0)));
  EXPECT_FALSE(CDwgDatabase::isPointInLoopCurve(loop, AcGePoint3d(5, 5.5, 0)));  // in the hole
  EXPECT_FALSE(CDwgDatabase::isPointInLoopCurve(loop, AcGePoint3d(11, 5, 0)));
  EXPECT_TRUE(CDwgDatabase::isPointInCurve(&hole, AcGePoint3d(5, 6.8, 0)));
}

TEST(DwgToolkitCurvePoints, MovingEnds) {
  const double pi = std::numbers::pi;
  AcDbArc* pArc = new AcDbArc(AcGePoint3d(1, 1, 0), 2.0, 0.0, pi / 2);
  ASSERT_EQ(CDwgDatabase::setArcPoint(pArc, AcGePoint3d(-5, 1, 0), false), 0);
  EXPECT_NEAR(pArc->endAngle(), pi, 1e-12);
  EXPECT_EQ(pArc->radius(), 2.0);
  delete pArc;

  auto p = polyline({{0, 0, 0.5}, {4, 0, 0}, {4, 4, 0}}, false);
  AcDbCurve* pCurve = p.get();
  ASSERT_EQ(CDwgDatabase::setCurvePoint(pCurve, AcGePoint3d(4, 4.05, 0), AcGePoint3d(4, 6, 0)), 0);
  AcGePoint3d end;
  p->getEndPoint(end);
  EXPECT_EQ(end, AcGePoint3d(4, 6, 0));
  double bulge = 0;
  p->getBulgeAt(0, bulge);
  EXPECT_EQ(bulge, 0.5);  // bulges kept
  EXPECT_EQ(CDwgDatabase::setCurvePoint(pCurve, AcGePoint3d(2, 2, 0), AcGePoint3d(0, 0, 0)), 1);  // not an end

  CDwgDatabase toolkit(nullptr);
  AcDbCurve* pLine = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(3, 0, 0));
  AcDbCurve* pOther = new AcDbLine(AcGePoint3d(5, 1, 0), AcGePoint3d(5, 9, 0));
  ASSERT_EQ(toolkit.setCurveAtSameOneEndPoint(AcGePoint3d(5, 0, 0), pLine, pOther), 0);
  EXPECT_EQ(CDwgDatabase::getCurveEndPt(pLine), AcGePoint3d(5, 0, 0));
  EXPECT_EQ(CDwgDatabase::getCurveStartPt(pOther), AcGePoint3d(5, 0, 0));
  delete pLine;
  delete pOther;
}

}  // namespace
