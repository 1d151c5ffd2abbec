// Curve members: closest points, lengths and areas, offsets, splitting, extending, reversing,
// and stretched block references exploded into elliptical arcs.
#include "db_test_util.h"

#include <dbelipse.h>
#include <dbspline.h>

#include <random>
#include <string>

using namespace dbtest;

namespace {

// A rational quadratic quarter circle of radius 2 about the origin, from (2,0) to (0,2).
AcDbSpline* quarterCircleSpline() {
  return new AcDbSpline(2, true, false, false, dbtest::arrayOf<AcGePoint3d>({{2, 0, 0}, {2, 2, 0}, {0, 2, 0}}),
                        dbtest::arrayOf<double>({0, 0, 0, 1, 1, 1}), dbtest::arrayOf<double>({1.0, std::sqrt(0.5), 1.0}));
}

TEST(ClosestPoint, EveryKindWithAndWithoutExtension) {
  const double s = std::sqrt(0.5);
  struct Case {
    const char* name;
    AcDbCurve* curve;
    AcGePoint3d given, plain, extended;
  };
  const AcGePoint2d q(-3, 2);
  const AcGeVector2d toQ = (q - AcGePoint2d(5, 0)).normal() * 5;
  Case cases[] = {
      {"line", line(0, 0, 10, 0), {15, 3, 0}, {10, 0, 0}, {15, 0, 0}},
      {"ray", ray(0, 0, 1, 0), {-5, 3, 0}, {0, 0, 0}, {-5, 0, 0}},
      {"xline", ray(0, 0, 1, 0, true), {-5, 3, 0}, {-5, 0, 0}, {-5, 0, 0}},
      {"arc", arc(0, 0, 5, 0, kPi / 2), {5, -5, 0}, {5, 0, 0}, {5 * s, -5 * s, 0}},
      {"circle", new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 5), {5, -5, 1}, {5 * s, -5 * s, 0}, {5 * s, -5 * s, 0}},
      {"polyline arc start", polyline({{0, 0, 1}, {10, 0}, {10, 5}}), {q.x, q.y, 0}, {0, 0, 0},
       {5 + toQ.x, toQ.y, 0}},
      {"polyline inside", polyline({{0, 0, 1}, {10, 0}, {10, 5}}), {5, -8, 0}, {5, -5, 0}, {5, -5, 0}},
      {"polyline line end", polyline({{0, 0, 1}, {10, 0}, {10, 5}}), {10, 9, 0}, {10, 5, 0}, {10, 9, 0}},
      {"closed polyline", polyline({{0, 0, 1}, {10, 0}, {10, 5}}, true), {10, 9, 0}, {10, 5, 0}, {10, 5, 0}},
      {"2d polyline", poly2d({{0, 0, 1}, {10, 0}, {10, 5}}), {10, 9, 0}, {10, 5, 0}, {10, 9, 0}},
      {"ellipse", new AcDbEllipse(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5, 0, kPi / 2),
       {0, -5, 0}, {4, 0, 0}, {0, -2, 0}},
      {"spline", quarterCircleSpline(), {3, 3, 0}, {std::sqrt(2.0), std::sqrt(2.0), 0}, {std::sqrt(2.0), std::sqrt(2.0), 0}},
      {"spline end", quarterCircleSpline(), {-1, 5, 0}, {0, 2, 0}, {0, 2, 0}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<AcDbCurve> curve(c.curve);
    AcGePoint3d on;
    ASSERT_EQ(curve->getClosestPointTo(c.given, on), Acad::eOk);
    expectNear(on, c.plain, 1e-9);
    ASSERT_EQ(curve->getClosestPointTo(c.given, on, true), Acad::eOk);
    expectNear(on, c.extended, 1e-9);
  }
}

TEST(ClosestPoint, AlongAProjectionDirection) {
  std::unique_ptr<AcDbLine> l(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
  AcGePoint3d on;
  ASSERT_EQ(l->getClosestPointTo(AcGePoint3d(5, 3, 7), AcGeVector3d(0, 1, 1), on), Acad::eOk);
  expectNear(on, AcGePoint3d(5, 0, 0));
  ASSERT_EQ(l->getClosestPointTo(AcGePoint3d(2, 3, 3), AcGeVector3d(1, 1, 0), on), Acad::eOk);
  expectNear(on, AcGePoint3d(0, 0, 0));
  ASSERT_EQ(l->getClosestPointTo(AcGePoint3d(2, 3, 3), AcGeVector3d(1, 1, 0), on, true), Acad::eOk);
  expectNear(on, AcGePoint3d(-1, 0, 0));
  std::unique_ptr<AcDbArc> a(arc(0, 0, 5, 0, kPi));
  ASSERT_EQ(a->getClosestPointTo(AcGePoint3d(0, 9, 4), AcGeVector3d(0, 0, -2), on), Acad::eOk);
  expectNear(on, AcGePoint3d(0, 5, 0));
  EXPECT_EQ(a->getClosestPointTo(AcGePoint3d(0, 9, 4), AcGeVector3d(0, 1, 1), on), Acad::eNotImplementedYet);
  EXPECT_EQ(a->getClosestPointTo(AcGePoint3d(0, 9, 4), AcGeVector3d(), on), Acad::eInvalidInput);
}

// Lengths (integrated along ellipses and splines) and areas (closed by the chord when open).
TEST(CurveMeasures, LengthAndAreaOfEveryKind) {
  const double quarter = 1.2110560275684595;  // of the ellipse a = 1, b = 0.5: perimeter 4 E(3/4)
  auto halfEllipse = [] {
    auto* e = new AcDbEllipse(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5);
    e->setEndParam(kPi);
    return e;
  };
  struct Case {
    const char* name;
    AcDbCurve* curve;
    double length, area;
  };
  Case cases[] = {
      {"circle", new AcDbCircle(AcGePoint3d(5, 5, 5), AcGeVector3d::kXAxis, 2), 4 * kPi, 4 * kPi},
      {"arc", arc(0, 0, 2, 0, kPi / 2), kPi, 2 * (kPi / 2 - 1)},
      {"polyline half circle", polyline({{0, 0, 1}, {10, 0}}), 5 * kPi, kPi * 25 / 2},
      {"2d polyline", poly2d({{0, 0}, {4, 0}, {4, 3}}), 7, 6},
      {"ellipse", new AcDbEllipse(AcGePoint3d(7, -3, 2), AcGeVector3d::kZAxis, AcGeVector3d(0, 1, 0), 0.5), 4 * quarter,
       kPi * 0.5},
      {"half ellipse", halfEllipse(), NAN, kPi * 4},
      {"circular ellipse arc", new AcDbEllipse(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(3, 0, 0), 1.0, 0.5, 2.0),
       3 * 1.5, NAN},
      {"degree-1 spline", new AcDbSpline(1, false, false, false, dbtest::arrayOf<AcGePoint3d>({{0, 0, 0}, {3, 4, 0}, {3, 10, 0}}),
                                         dbtest::arrayOf<double>({0, 0, 1, 2, 2}), AcGeDoubleArray()),
       11, NAN},
      {"rational spline", quarterCircleSpline(), kPi, 2 * (kPi / 2 - 1)},
      {"line", line(0, 0, 1, 1), std::sqrt(2.0), 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<AcDbCurve> curve(c.curve);
    if (!std::isnan(c.length)) {
      EXPECT_NEAR(curveLength(curve.get()), c.length, 1e-12);
    }
    if (!std::isnan(c.area)) {
      EXPECT_NEAR(areaOf(curve.get()), c.area, 1e-9);
    }
  }
  // Known distances along the ellipse and the quarter circle, and one past the end.
  std::unique_ptr<AcDbEllipse> e(new AcDbEllipse(AcGePoint3d(7, -3, 2), AcGeVector3d::kZAxis, AcGeVector3d(0, 1, 0), 0.5));
  double dist = 0.0, param = 0.0;
  ASSERT_EQ(e->getDistAtPoint(AcGePoint3d(6.5, -3, 2), dist), Acad::eOk);  // the end of the minor axis
  EXPECT_NEAR(dist, quarter, 1e-12);
  EXPECT_EQ(e->getParamAtDist(4 * quarter + 1e-6, param), Acad::eInvalidInput);
  std::unique_ptr<AcDbSpline> quarterCircle(quarterCircleSpline());
  ASSERT_EQ(quarterCircle->getDistAtPoint(AcGePoint3d(std::sqrt(2.0), std::sqrt(2.0), 0), dist), Acad::eOk);
  EXPECT_NEAR(dist, kPi / 2, 1e-11);
  AcGePoint3d at;
  ASSERT_EQ(quarterCircle->getPointAtDist(kPi / 3, at), Acad::eOk);
  expectNear(at, AcGePoint3d(2 * std::cos(kPi / 6), 2 * std::sin(kPi / 6), 0), 1e-10);
  EXPECT_EQ(quarterCircle->getParamAtPoint(AcGePoint3d(1, 1, 0), param), Acad::eInvalidInput);
}

TEST(CurveParameters, PointsDistancesAndDerivativesAgreeForEveryKind) {
  auto tilted = [] {
    auto* pl = polyline({{1, 1, 0.4}, {6, 2, -0.7}, {7, 6}, {2, 5, 1.0}});
    pl->setNormal(AcGeVector3d(1, -2, 3).normal());
    pl->setElevation(4);
    return pl;
  };
  struct Case {
    const char* name;
    AcDbCurve* curve;
  };
  Case cases[] = {
      {"line", new AcDbLine(AcGePoint3d(1, 2, 3), AcGePoint3d(-4, 6, 1))},
      {"arc", new AcDbArc(AcGePoint3d(1, 2, 3), AcGeVector3d(0, 1, 1).normal(), 4, 5.5, 1.0)},
      {"circle", new AcDbCircle(AcGePoint3d(1, 2, 3), AcGeVector3d(1, 0, 1).normal(), 2)},
      {"tilted polyline", tilted()},
      {"closed polyline", polyline({{0, 0, -0.5}, {4, 0, 0.3}, {4, 4}}, true)},
      {"2d polyline", poly2d({{0, 0, -0.5}, {4, 0, 0.3}, {4, 4}, {0, 4}}, true)},
      {"ellipse", new AcDbEllipse(AcGePoint3d(1, 1, 0), AcGeVector3d::kZAxis, AcGeVector3d(3, 4, 0), 0.3, 1.0, 5.0)},
      {"spline", quarterCircleSpline()},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<AcDbCurve> curve(c.curve);
    double lo = 0, hi = 0;
    ASSERT_EQ(curve->getStartParam(lo), Acad::eOk);
    ASSERT_EQ(curve->getEndParam(hi), Acad::eOk);
    const AcGePoint3d s = dbtest::startOf(*curve), e = dbtest::endOf(*curve);
    expectNear(dbtest::pointAt(*curve, lo), s);
    expectNear(dbtest::pointAt(*curve, hi), e);
    AcGePoint3d p;
    EXPECT_EQ(curve->isClosed(), s.isEqualTo(e));
    const double len = curveLength(curve.get());
    for (double f : {0.05, 0.3, 0.55, 0.8, 0.97}) {
      const double t = lo + (hi - lo) * f;
      ASSERT_EQ(curve->getPointAtParam(t, p), Acad::eOk);
      double back = 0, dist = 0, t2 = 0;
      ASSERT_EQ(curve->getParamAtPoint(p, back), Acad::eOk);
      EXPECT_NEAR(back, t, 1e-9);
      ASSERT_EQ(curve->getDistAtPoint(p, dist), Acad::eOk);
      ASSERT_EQ(curve->getParamAtDist(dist, t2), Acad::eOk);
      EXPECT_NEAR(t2, t, 1e-8);
      EXPECT_LE(dist, len + 1e-9);
      // The first derivative against central differences of the points.
      const double h = 1e-6 * (hi - lo);
      AcGePoint3d a, b;
      AcGeVector3d d;
      curve->getPointAtParam(t - h, a);
      curve->getPointAtParam(t + h, b);
      ASSERT_EQ(curve->getFirstDeriv(t, d), Acad::eOk);
      const AcGeVector3d fd = (b - a) / (2 * h);
      EXPECT_NEAR((d - fd).length(), 0.0, 1e-5 * std::max(1.0, d.length()));
      // The closest point to a point of the curve is that point.
      AcGePoint3d on;
      ASSERT_EQ(curve->getClosestPointTo(p, on), Acad::eOk);
      expectNear(on, p, 1e-9);
    }
    // Extents hold every point and (but for splines) are reached.
    AcDbExtents ext, sampled;
    ASSERT_EQ(curve->getGeomExtents(ext), Acad::eOk);
    for (int i = 0; i <= 2400; ++i) {  // vertices of 3- and 4-segment polylines included
      curve->getPointAtParam(lo + (hi - lo) * i / 2400, p);
      sampled.addPoint(p);
    }
    for (int k = 0; k < 3; ++k) {
      EXPECT_GE(sampled.minPoint()[k], ext.minPoint()[k] - 1e-9);
      EXPECT_LE(sampled.maxPoint()[k], ext.maxPoint()[k] + 1e-9);
    }
    if (!AcDbSpline::cast(curve.get())) {  // a spline's box is that of its control points
      expectNear(sampled.minPoint(), ext.minPoint(), 1e-4);
      expectNear(sampled.maxPoint(), ext.maxPoint(), 1e-4);
    }
  }
}

// Every sampled point of the offset lies at |dist| from the source curve.
void expectParallel(const AcDbCurve* source, const AcDbCurve* offset, double dist) {
  double end = 0.0, len = 0.0;
  offset->getEndParam(end);
  offset->getDistAtParam(end, len);
  for (int i = 0; i <= 40; ++i) {
    AcGePoint3d p, on;
    ASSERT_EQ(offset->getPointAtDist(len * i / 40, p), Acad::eOk);
    ASSERT_EQ(source->getClosestPointTo(p, on), Acad::eOk);
    EXPECT_NEAR(p.distanceTo(on), std::fabs(dist), 1e-9);
  }
}

TEST(Offsets, LinesRaysArcsAndCirclesGoRightForPositiveDistances) {
  Owned out;
  std::unique_ptr<AcDbLine> l(line(0, 0, 10, 0));
  ASSERT_EQ(l->getOffsetCurves(2, out.items), Acad::eOk);
  ASSERT_EQ(out.size(), 1);
  expectNear(out.as<AcDbLine>(0)->startPoint(), AcGePoint3d(0, -2, 0));
  ASSERT_EQ(l->getOffsetCurves(-2, out.items), Acad::eOk);  // appended
  ASSERT_EQ(out.size(), 2);
  expectNear(out.as<AcDbLine>(1)->endPoint(), AcGePoint3d(10, 2, 0));
  std::unique_ptr<AcDbRay> r(ray(0, 0, 0, 1));
  ASSERT_EQ(r->getOffsetCurves(3, out.items), Acad::eOk);
  expectNear(out.as<AcDbRay>(2)->basePoint(), AcGePoint3d(3, 0, 0));
  std::unique_ptr<AcDbArc> a(arc(1, 1, 5, 0, kPi / 2));
  ASSERT_EQ(a->getOffsetCurves(1, out.items), Acad::eOk);
  EXPECT_NEAR(out.as<AcDbArc>(3)->radius(), 6, 1e-12);
  EXPECT_NEAR(out.as<AcDbArc>(3)->endAngle(), kPi / 2, 1e-12);
  EXPECT_EQ(a->getOffsetCurves(-5, out.items), Acad::eInvalidInput);
  std::unique_ptr<AcDbCircle> c(new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 2));
  ASSERT_EQ(c->getOffsetCurves(-0.5, out.items), Acad::eOk);
  EXPECT_NEAR(out.as<AcDbCircle>(4)->radius(), 1.5, 1e-12);
  EXPECT_EQ(c->getOffsetCurves(0, out.items), Acad::eInvalidInput);
  std::unique_ptr<AcDbEllipse> e(new AcDbEllipse(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5));
  EXPECT_EQ(e->getOffsetCurves(1, out.items), Acad::eNotImplementedYet);
  EXPECT_EQ(out.size(), 5);
}

TEST(Offsets, PolylineSegmentsMeetAtTheirCarriersOrDropOut) {
  // A counter-clockwise square: outward for positive distances, sharp corners kept.
  std::unique_ptr<AcDbPolyline> square(polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true));
  Owned out;
  ASSERT_EQ(square->getOffsetCurves(1, out.items), Acad::eOk);
  ASSERT_EQ(square->getOffsetCurves(-1, out.items), Acad::eOk);
  EXPECT_NEAR(areaOf(out.as<AcDbCurve>(0)), 144, 1e-9);
  EXPECT_NEAR(areaOf(out.as<AcDbCurve>(1)), 64, 1e-9);
  EXPECT_TRUE(out.as<AcDbPolyline>(0)->isClosed());
  // A rectangle with one rounded corner: outward the arc grows to radius 210.
  std::unique_ptr<AcDbPolyline> rounded(
      polyline({{0, 0}, {1000, 0}, {1000, 400, std::tan(kPi / 8)}, {800, 600}, {0, 600}}, true));
  out.clear();
  ASSERT_EQ(rounded->getOffsetCurves(10, out.items), Acad::eOk);
  EXPECT_NEAR(areaOf(out.as<AcDbCurve>(0)), 1020 * 620 - 210 * 210 * (1 - kPi / 4), 1e-6);
  EXPECT_NEAR(curveLength(out.as<AcDbCurve>(0)), 2 * (1020 + 620) - 2 * 210 + kPi * 210 / 2, 1e-9);
  // Inward past the corner radius the arc collapses and its neighbours meet square.
  ASSERT_EQ(rounded->getOffsetCurves(-250, out.items), Acad::eOk);
  EXPECT_NEAR(areaOf(out.as<AcDbCurve>(1)), 500 * 100, 1e-6);
  EXPECT_EQ(out.as<AcDbPolyline>(1)->numVerts(), 4u);
  // A slot (tangent arcs and lines): the offset keeps its distance everywhere.
  std::unique_ptr<AcDbPolyline> slot(polyline({{0, 0}, {10, 0, 1}, {10, 4}, {0, 4, 1}}, true));
  for (double d : {1.5, -1.5}) {
    Owned o;
    ASSERT_EQ(slot->getOffsetCurves(d, o.items), Acad::eOk);
    expectParallel(slot.get(), o.as<AcDbCurve>(0), d);
  }
  // Open, a line then a half circle: the arc's offset meets the line's offset.
  std::unique_ptr<AcDbPolyline> open(polyline({{0, 0}, {10, 0, 1}, {20, 0}}));
  Owned o;
  ASSERT_EQ(open->getOffsetCurves(1, o.items), Acad::eOk);
  auto* res = o.as<AcDbPolyline>(0);
  ASSERT_EQ(res->numVerts(), 3u);
  AcGePoint3d joint;
  res->getPointAt(1, joint);
  expectNear(dbtest::endOf(*res), AcGePoint3d(21, 0, 0));
  expectNear(joint, AcGePoint3d(15 - std::sqrt(35.0), -1, 0));
  // Old-style polylines offset into old-style polylines.
  std::unique_ptr<AcDb2dPolyline> old(poly2d({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true));
  Owned o2;
  ASSERT_EQ(old->getOffsetCurves(1, o2.items), Acad::eOk);
  ASSERT_TRUE(o2.as<AcDb2dPolyline>(0) != nullptr);
  EXPECT_NEAR(areaOf(o2.as<AcDbCurve>(0)), 144, 1e-9);
}

TEST(Splitting, AtParametersAndPointsForEveryKind) {
  Owned pieces;
  std::unique_ptr<AcDbLine> l(line(0, 0, 10, 0));
  AcGeDoubleArray params = dbtest::arrayOf<double>({7, 3, 10});  // 10 is an end: no cut
  ASSERT_EQ(l->getSplitCurves(params, pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 3);
  expectNear(pieces.as<AcDbLine>(1)->startPoint(), AcGePoint3d(3, 0, 0));
  expectNear(pieces.as<AcDbLine>(1)->endPoint(), AcGePoint3d(7, 0, 0));
  params.append(11);
  EXPECT_EQ(l->getSplitCurves(params, pieces.items), Acad::eInvalidInput);
  // A circle cut twice gives two arcs round it; cut once, one arc all the way round.
  std::unique_ptr<AcDbCircle> c(new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 2));
  pieces.clear();
  const AcGeDoubleArray two = dbtest::arrayOf<double>({1.0, 4.0});
  ASSERT_EQ(c->getSplitCurves(two, pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 2);
  EXPECT_NEAR(pieces.as<AcDbArc>(0)->totalAngle(), 3.0, 1e-12);
  EXPECT_NEAR(pieces.as<AcDbArc>(1)->totalAngle(), 2 * kPi - 3.0, 1e-12);
  // A closed polyline wraps its last piece through its start vertex.
  std::unique_ptr<AcDbPolyline> square(polyline({{0, 0}, {4, 0, 0.5}, {4, 4}, {0, 4}}, true));
  pieces.clear();
  ASSERT_EQ(square->getSplitCurves(dbtest::arrayOf<double>({1.5, 2.5}), pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 2);
  expectNear(dbtest::startOf(*pieces.as<AcDbCurve>(1)), dbtest::pointAt(*square, 2.5));
  expectNear(dbtest::endOf(*pieces.as<AcDbCurve>(1)), dbtest::pointAt(*square, 1.5));
  EXPECT_NEAR(curveLength(pieces.as<AcDbCurve>(0)) + curveLength(pieces.as<AcDbCurve>(1)), curveLength(square.get()),
              1e-12);
  // Rays and construction lines split into lines and rays.
  std::unique_ptr<AcDbRay> xl(ray(0, 0, 1, 0, true));
  pieces.clear();
  ASSERT_EQ(xl->getSplitCurves(two, pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 3);
  EXPECT_TRUE(pieces.as<AcDbRay>(0) && pieces.as<AcDbLine>(1) && pieces.as<AcDbRay>(2));
  EXPECT_TRUE(pieces.as<AcDbRay>(0)->unitDir().isEqualTo(AcGeVector3d(-1, 0, 0)));
  // A spline splits by knot insertion: the pieces run over the same parameters and points.
  std::unique_ptr<AcDbSpline> q(quarterCircleSpline());
  pieces.clear();
  ASSERT_EQ(q->getSplitCurves(dbtest::arrayOf<double>({0.7, 0.25}), pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 3);
  double total = 0.0;
  for (int i = 0; i < 3; ++i) total += curveLength(pieces.as<AcDbCurve>(i));
  EXPECT_NEAR(total, kPi, 1e-11);
  for (double t : {0.3, 0.5, 0.69}) {
    AcGePoint3d want, got;
    q->getPointAtParam(t, want);
    ASSERT_EQ(pieces.as<AcDbCurve>(1)->getPointAtParam(t, got), Acad::eOk);
    expectNear(got, want, 1e-12);
  }
  // A point off the curve is refused.
  EXPECT_EQ(l->getSplitCurves(dbtest::arrayOf<AcGePoint3d>({{5, 1, 0}}), pieces.items), Acad::eInvalidInput);
}

TEST(SplittingMetamorphic, BreakingAtPointsKeepsTheTotalLength) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> c(-100, 100), b(-2, 2), unit(0, 1);
  for (int trial = 0; trial < 60; ++trial) {
    std::unique_ptr<AcDbCurve> curve;
    switch (trial % 5) {
      case 0: curve.reset(line(c(rng), c(rng), c(rng), c(rng))); break;
      case 1: curve.reset(arc(c(rng), c(rng), 1 + unit(rng) * 50, 6 * unit(rng), 6 * unit(rng))); break;
      case 2:
        curve.reset(new AcDbEllipse(AcGePoint3d(c(rng), c(rng), 0), AcGeVector3d::kZAxis, AcGeVector3d(30, 10, 0),
                                    0.3 + 0.7 * unit(rng), unit(rng), 1 + 5 * unit(rng)));
        break;
      case 3:
        curve.reset(poly2d({{c(rng), c(rng), b(rng)}, {c(rng), c(rng), b(rng)}, {c(rng), c(rng), 0}, {c(rng), c(rng)}}));
        break;
      default:
        curve.reset(polyline({{c(rng), c(rng), b(rng)}, {c(rng), c(rng), 0}, {c(rng), c(rng), b(rng)}, {c(rng), c(rng)}},
                             trial % 2 == 0));
        break;
    }
    const double total = curveLength(curve.get());
    AcGePoint3dArray points;
    for (int k = 0; k < 1 + trial % 4; ++k) {
      AcGePoint3d p;
      ASSERT_EQ(curve->getPointAtDist(total * unit(rng), p), Acad::eOk);
      points.append(p);
    }
    Owned pieces;
    ASSERT_EQ(curve->getSplitCurves(points, pieces.items), Acad::eOk);
    double sum = 0.0;
    for (int i = 0; i < pieces.size(); ++i) sum += curveLength(pieces.as<AcDbCurve>(i));
    EXPECT_NEAR(sum, total, 1e-9 * total) << "trial " << trial;
  }
}

TEST(Extending, EndsMoveAlongTheirCarriers) {
  std::unique_ptr<AcDbLine> l(line(0, 0, 10, 0));
  ASSERT_EQ(l->extend(-2), Acad::eOk);
  ASSERT_EQ(l->extend(true, AcGePoint3d(-5, 0, 0)), Acad::eOk);
  expectNear(l->startPoint(), AcGePoint3d(-5, 0, 0));
  EXPECT_EQ(l->extend(5), Acad::eInvalidInput);
  EXPECT_EQ(l->extend(false, AcGePoint3d(20, 1, 0)), Acad::eInvalidInput);
  std::unique_ptr<AcDbArc> a(arc(0, 0, 2, 0, kPi / 2));
  ASSERT_EQ(a->extend(kPi), Acad::eOk);
  EXPECT_NEAR(a->endAngle(), kPi, 1e-12);
  ASSERT_EQ(a->extend(true, AcGePoint3d(0, -2, 0)), Acad::eOk);
  EXPECT_NEAR(a->totalAngle(), 1.5 * kPi, 1e-12);
  // The first segment of a polyline (either kind), an arc, runs on back round its circle.
  for (bool oldStyle : {false, true}) {
    SCOPED_TRACE(oldStyle ? "2d polyline" : "polyline");
    std::unique_ptr<AcDbCurve> pl(oldStyle ? static_cast<AcDbCurve*>(poly2d({{0, 0, 1}, {10, 0}, {10, 5}}))
                                           : polyline({{0, 0, 1}, {10, 0}, {10, 5}}));
    const double before = curveLength(pl.get());
    ASSERT_EQ(pl->extend(-0.5), Acad::eOk);
    expectNear(dbtest::startOf(*pl), AcGePoint3d(5, 5, 0));
    EXPECT_NEAR(curveLength(pl.get()), before + 5 * kPi / 2, 1e-9);
    ASSERT_EQ(pl->extend(false, AcGePoint3d(10, 8, 0)), Acad::eOk);
    EXPECT_NEAR(curveLength(pl.get()), before + 5 * kPi / 2 + 3, 1e-9);
  }
  std::unique_ptr<AcDbPolyline> closed(polyline({{0, 0}, {1, 0}, {1, 1}}, true));
  EXPECT_EQ(closed->extend(4.5), Acad::eNotApplicable);
}

TEST(Reversing, SamePointsTheOtherWay) {
  struct Case {
    const char* name;
    AcDbCurve* curve;
  };
  auto withWidths = [] {
    AcDbPolyline* pl = polyline({{0, 0, 0.5}, {4, 0, -0.3}, {4, 4}, {0, 6}});
    pl->setWidthsAt(0, 1.0, 2.0);
    return pl;
  };
  Case cases[] = {
      {"line", line(1, 2, 5, -3)},
      {"arc", arc(1, 1, 3, 0.3, 2.5)},
      {"polyline", withWidths()},
      {"closed polyline", polyline({{0, 0, 0.5}, {4, 0, -0.3}, {4, 4}, {0, 6}}, true)},
      {"2d polyline", poly2d({{0, 0, 0.5}, {4, 0, -0.3}, {4, 4}})},
      {"ellipse", new AcDbEllipse(AcGePoint3d(1, 2, 0), AcGeVector3d::kZAxis, AcGeVector3d(3, 1, 0), 0.4, 0.5, 2.0)},
      {"spline", quarterCircleSpline()},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<AcDbCurve> fwd(c.curve);
    std::unique_ptr<AcDbCurve> back(AcDbCurve::cast(fwd->clone()));
    ASSERT_EQ(back->reverseCurve(), Acad::eOk);
    const double len = curveLength(fwd.get());
    EXPECT_NEAR(curveLength(back.get()), len, 1e-9);
    for (double f : {0.0, 0.2, 0.5, 0.9, 1.0}) {
      AcGePoint3d p, q;
      ASSERT_EQ(fwd->getPointAtDist(len * f, p), Acad::eOk);
      ASSERT_EQ(back->getPointAtDist(len * (1 - f), q), Acad::eOk);
      expectNear(p, q, 1e-8);
    }
  }
  double sw = 0, ew = 0;
  std::unique_ptr<AcDbPolyline> w(withWidths());
  w->reverseCurve();
  w->getWidthsAt(2, sw, ew);  // the first segment, now last and run backwards
  EXPECT_EQ(sw, 2.0);
  EXPECT_EQ(ew, 1.0);
  std::unique_ptr<AcDbRay> r(ray(0, 0, 1, 0));
  EXPECT_EQ(r->reverseCurve(), Acad::eNotApplicable);
}

TEST(BlockExplode, StretchedArcsBecomeEllipses) {
  AcDbDatabase db;
  dbtest::appendToBlock(db, "PART", line(0, 0, 1, 0));
  dbtest::appendToBlock(db, "PART", arc(0, 0, 1, 0, kPi / 2));
  AcDbObjectId blockId;
  dbtest::appendToBlock(db, "PART", polyline({{0, 0, 1}, {2, 0}}), &blockId);
  // Stretched along x, arcs (and the polyline's half circle) become elliptical arcs.
  AcDbBlockReference ref(AcGePoint3d(10, 0, 0), blockId);
  ref.setScaleFactors(AcGeScale3d(3, 1, 1));
  Owned pieces;
  ASSERT_EQ(ref.explode(pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 3);
  ASSERT_TRUE(pieces.as<AcDbEllipse>(1) != nullptr);
  ASSERT_TRUE(pieces.as<AcDbEllipse>(2) != nullptr);
  EXPECT_NEAR(pieces.as<AcDbEllipse>(2)->majorAxis().length(), 3, 1e-12);
  expectNear(dbtest::startOf(*pieces.as<AcDbEllipse>(1)), AcGePoint3d(13, 0, 0));
}

}  // namespace
