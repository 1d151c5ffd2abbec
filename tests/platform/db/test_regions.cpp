// Regions from curves (known answers, refusals, symmetry), area properties, hatch areas and
// 3D solid mass properties.
#include "db_test_util.h"

#include <contura/db/hatch_data.h>
#include <contura/db/solid_data.h>
#include <contura/ge/loop2d.h>
#include <dbelipse.h>
#include <dbhatch.h>
#include <dbsol3d.h>

#include <random>
#include <vector>

using namespace dbtest;

namespace {

// The outlines of the known-answer table, as the section text writes them (open polylines
// whose last vertex repeats the first) or as closed polylines.
AcDbPolyline* quadrilateral() {
  return polyline({{0, 0}, {1000, 0}, {600, 1000}, {0, 1000}, {0, 0}});
}
AcDbPolyline* halfDisc() { return polyline({{0, 0, 1.0}, {1000, 0}}, true); }
AcDbPolyline* roundedRectangle() {
  return polyline({{0, 0}, {1000, 0}, {1000, 400, std::tan(kPi / 8)}, {800, 600}, {0, 600}}, true);
}
AcDbPolyline* annularSector() {
  const double a = 2 * kPi / 3, b = std::tan(a / 4);
  return polyline({{16.25, 0, b}, {16.25 * std::cos(a), 16.25 * std::sin(a)}, {15.75 * std::cos(a), 15.75 * std::sin(a), -b},
                   {15.75, 0}},
                  true);
}

struct KnownAnswer {
  const char* name;
  AcDbPolyline* (*make)();
  double area, perimeter, cx, cy;  // perimeter/centroid NaN when not tabled
};

TEST(RegionKnownAnswers, PolylineOutlinesGiveTabledAreaPerimeterAndCentroid) {
  const double nan = std::nan("");
  const KnownAnswer table[] = {
      {"quadrilateral", quadrilateral, 800000.0, 3677.0330, 408.3333, 458.3333},
      {"half disc", halfDisc, 392699.0817, 2570.7963, 500.0, -212.2066},
      {"rounded rectangle", roundedRectangle, 591415.9265, 3114.1593, 493.3912, 296.2941},
      {"annular sector", annularSector, 16.75516, nan, nan, nan},
  };
  for (const KnownAnswer& k : table) {
    SCOPED_TRACE(k.name);
    const RegionFacts f = regionFacts({k.make()});
    ASSERT_EQ(f.es, Acad::eOk);
    ASSERT_EQ(f.count, 1);
    // To the digits given (half a unit of the last one).
    const double areaTol = k.area < 100 ? 5e-6 : 5e-5;
    EXPECT_NEAR(f.area, k.area, areaTol);
    if (!std::isnan(k.perimeter)) {
      EXPECT_NEAR(f.perimeter, k.perimeter, 5e-5);
    }
    if (!std::isnan(k.cx)) {
      EXPECT_NEAR(f.centroid.x, k.cx, 5e-5);
      EXPECT_NEAR(f.centroid.y, k.cy, 5e-5);
    }
  }
}

// The pieces of a polyline as separate lines and arcs, in a shuffled order, every other one
// turned round.
std::vector<AcDbCurve*> shuffledPieces(AcDbPolyline* pl, unsigned seed) {
  Owned pieces;
  EXPECT_EQ(pl->explode(pieces.items), Acad::eOk);
  delete pl;
  std::vector<AcDbCurve*> out;
  for (int i = 0; i < pieces.size(); ++i) {
    auto* c = AcDbCurve::cast(pieces.at(i));
    if (i % 2 == 1 && AcDbLine::cast(c)) c->reverseCurve();
    out.push_back(c);
  }
  pieces.items.setLogicalLength(0);
  std::shuffle(out.begin(), out.end(), std::mt19937(seed));
  return out;
}

// Moved outlines, and their pieces shuffled and turned round, measure as the outline does.
TEST(RegionKnownAnswers, MovedOutlinesAndShuffledPiecesKeepAreaAndPerimeter) {
  const AcGeMatrix3d moves[] = {
      AcGeMatrix3d(),
      AcGeMatrix3d::translation(AcGeVector3d(1e5, -3e4, 7)),
      AcGeMatrix3d::rotation(0.83, AcGeVector3d::kZAxis, AcGePoint3d(50, 60, 0)),
      AcGeMatrix3d::rotation(1.1, AcGeVector3d(1, 2, 3).normal(), AcGePoint3d(5, 6, 7)),
      AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(3, 0, 0), AcGeVector3d(1, 1, 0).normal())),
  };
  for (auto make : {quadrilateral, halfDisc, roundedRectangle, annularSector}) {
    const RegionFacts ref = regionFacts({make()});
    unsigned seed = 0;
    for (const AcGeMatrix3d& m : moves) {
      for (bool split : {false, true}) {
        AcDbPolyline* pl = make();
        ASSERT_EQ(pl->transformBy(m), Acad::eOk);
        const RegionFacts moved = regionFacts(split ? shuffledPieces(pl, ++seed) : std::vector<AcDbCurve*>{pl}, false);
        ASSERT_EQ(moved.es, Acad::eOk);
        ASSERT_EQ(moved.count, 1);
        EXPECT_NEAR(moved.area, ref.area, 1e-9 * ref.area);
        EXPECT_NEAR(moved.perimeter, ref.perimeter, 1e-9 * ref.perimeter);
      }
    }
  }
}

TEST(RegionBuilding, EveryLoopBecomesOneRegionClosedCurvesFirst) {
  Owned input, regions;
  input.add(line(20, 0, 30, 0));
  input.add(line(30, 0, 20, 10));
  input.add(new AcDbCircle(AcGePoint3d(-5, 0, 0), AcGeVector3d::kZAxis, 2.0));
  input.add(line(20, 10, 20, 0));
  input.add(polyline({{0, 0}, {4, 0}, {4, 4}, {0, 4}}, true));
  regions.add(new AcDbLine());  // a caller's element: appended after, never touched
  ASSERT_EQ(AcDbRegion::createFromCurves(input.items, regions.items), Acad::eOk);
  ASSERT_EQ(regions.size(), 4);
  EXPECT_TRUE(regions.as<AcDbLine>(0) != nullptr);
  EXPECT_NEAR(areaOf(regions.as<AcDbRegion>(1)), 4 * kPi, 1e-12);
  EXPECT_NEAR(areaOf(regions.as<AcDbRegion>(2)), 16.0, 1e-12);
  EXPECT_NEAR(areaOf(regions.as<AcDbRegion>(3)), 50.0, 1e-12);
  // Regions lie in the curves' plane and explode back into curves of the same length.
  Owned pieces;
  ASSERT_EQ(regions.at(2)->explode(pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 4);
  double total = 0.0;
  for (int i = 0; i < pieces.size(); ++i) total += curveLength(AcDbCurve::cast(pieces.at(i)));
  EXPECT_NEAR(total, 16.0, 1e-12);
}

TEST(RegionBuilding, ArcLoopsInTiltedPlanesAndWithOppositeNormals) {
  // A slot: two half circles joined by lines, in a plane tilted about X, one arc described
  // about the opposite normal.
  const AcGeVector3d n = AcGeVector3d(0, -1, 1).normal();
  const AcGeMatrix3d toPlane = AcGeMatrix3d::planeToWorld(n);
  auto P = [&](double x, double y) { return toPlane * AcGePoint3d(x, y, 2.0); };
  Owned input, regions;
  input.add(new AcDbLine(P(0, 0), P(10, 0)));
  input.add(new AcDbArc(toPlane * AcGePoint3d(10, 1, 2), n, 1.0, -kPi / 2, kPi / 2));
  input.add(new AcDbLine(P(10, 2), P(0, 2)));
  // The left half circle, turned round so that it runs about -n (same points).
  auto* left = new AcDbArc(toPlane * AcGePoint3d(0, 1, 2), n, 1.0, kPi / 2, 3 * kPi / 2);
  ASSERT_EQ(left->reverseCurve(), Acad::eOk);
  EXPECT_TRUE(left->normal().isEqualTo(-n));
  AcGePoint3d s;
  left->getStartPoint(s);
  expectNear(s, P(0, 0));
  input.add(left);
  ASSERT_EQ(AcDbRegion::createFromCurves(input.items, regions.items), Acad::eOk);
  ASSERT_EQ(regions.size(), 1);
  double perimeter = 0;
  regions.as<AcDbRegion>(0)->getPerimeter(perimeter);
  EXPECT_NEAR(areaOf(regions.as<AcDbRegion>(0)), 20 + kPi, 1e-9);
  EXPECT_NEAR(perimeter, 20 + 2 * kPi, 1e-9);
  AcGeVector3d normal;
  regions.as<AcDbRegion>(0)->getNormal(normal);
  EXPECT_NEAR(std::fabs(normal.dotProduct(n)), 1.0, 1e-12);
}

TEST(RegionBuilding, OpenCrossingNonPlanarAndUnsupportedInputIsRefusedWithNothingMade) {
  struct Case {
    const char* name;
    std::vector<AcDbEntity*> curves;
    Acad::ErrorStatus expected;
  };
  std::vector<Case> cases;
  cases.push_back({"open chain", {line(0, 0, 1, 0), line(1, 0, 1, 1)}, Acad::eInvalidInput});
  cases.push_back({"open polyline", {polyline({{0, 0}, {4, 0}, {4, 4}})}, Acad::eInvalidInput});
  cases.push_back({"bow tie", {polyline({{0, 0}, {10, 10}, {10, 0}, {0, 10}}, true)}, Acad::eInvalidInput});
  cases.push_back({"figure eight of arcs and lines",
                   {line(0, 0, 4, 4), line(4, 4, 4, 0), line(4, 0, 0, 4), line(0, 4, 0, 0)},
                   Acad::eInvalidInput});
  cases.push_back({"touching itself", {polyline({{0, 0}, {4, 0}, {2, 2}, {4, 4}, {0, 4}, {2, 2}}, true)},
                   Acad::eInvalidInput});
  cases.push_back({"not planar",
                   {new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)),
                    new AcDbLine(AcGePoint3d(10, 0, 0), AcGePoint3d(10, 10, 5)),
                    new AcDbLine(AcGePoint3d(10, 10, 5), AcGePoint3d(0, 10, 0)),
                    new AcDbLine(AcGePoint3d(0, 10, 0), AcGePoint3d(0, 0, 0))},
                   Acad::eInvalidInput});
  cases.push_back({"no area", {polyline({{0, 0}, {5, 0}}, true)}, Acad::eInvalidInput});
  cases.push_back({"a good loop beside an open curve",
                   {new AcDbCircle(AcGePoint3d(), AcGeVector3d::kZAxis, 1.0), line(5, 5, 6, 6)},
                   Acad::eInvalidInput});
  cases.push_back({"not a curve", {new AcDbPoint(AcGePoint3d())}, Acad::eInvalidInput});
  cases.push_back({"ellipse", {new AcDbEllipse(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5)},
                   Acad::eNotImplementedYet});
  cases.push_back({"nothing", {}, Acad::eInvalidInput});
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    Owned input, regions;
    for (AcDbEntity* e : c.curves) input.add(e);
    EXPECT_EQ(AcDbRegion::createFromCurves(input.items, regions.items), c.expected);
    EXPECT_EQ(regions.size(), 0);
  }
}

TEST(RegionAreaProperties, RectangleMomentsAboutTheGivenAxesAndTheCentroid) {
  Owned input, regions;
  input.add(polyline({{0, 0}, {4, 0}, {4, 2}, {0, 2}}, true));
  ASSERT_EQ(AcDbRegion::createFromCurves(input.items, regions.items), Acad::eOk);
  const auto& r = *regions.as<AcDbRegion>(0);
  AreaProps p = areaProps(r);
  ASSERT_EQ(p.es, Acad::eOk);
  EXPECT_NEAR(p.area, 8.0, 1e-12);
  EXPECT_NEAR(p.perimeter, 12.0, 1e-12);
  EXPECT_TRUE(p.centroid.isEqualTo(AcGePoint2d(2, 1)));
  EXPECT_NEAR(p.mom[0], 4.0 * 8.0 / 3.0, 1e-12);   // b h^3 / 3 about the base
  EXPECT_NEAR(p.mom[1], 2.0 * 64.0 / 3.0, 1e-12);  // h b^3 / 3
  EXPECT_NEAR(p.prod, 16.0, 1e-12);                // b^2 h^2 / 4
  // About the centroid: b h^3 / 12 along x, h b^3 / 12 along y.
  const double ix = 4.0 * 8.0 / 12.0, iy = 2.0 * 64.0 / 12.0;
  const bool xFirst = std::fabs(p.axes[0].x) > 0.5;
  EXPECT_NEAR(p.prin[xFirst ? 0 : 1], ix, 1e-12);
  EXPECT_NEAR(p.prin[xFirst ? 1 : 0], iy, 1e-12);
  EXPECT_NEAR(p.radii[0], std::sqrt(p.mom[0] / 8.0), 1e-12);
  EXPECT_TRUE(p.lo.isEqualTo(AcGePoint2d(0, 0)) && p.hi.isEqualTo(AcGePoint2d(4, 2)));
  // Measured in a system turned by 90 degrees about (1, 1): x' = y - 1, y' = 1 - x.
  p = areaProps(r, AcGePoint3d(1, 1, 0), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis);
  ASSERT_EQ(p.es, Acad::eOk);
  EXPECT_TRUE(p.centroid.isEqualTo(AcGePoint2d(0, -1)));
  EXPECT_NEAR(p.mom[1], ix, 1e-12);  // x' runs along y through the centroid's height
  EXPECT_TRUE(p.lo.isEqualTo(AcGePoint2d(-1, -3)) && p.hi.isEqualTo(AcGePoint2d(1, 1)));
  // Axes out of the region's plane are refused.
  EXPECT_EQ(areaProps(r, AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kZAxis).es, Acad::eInvalidInput);
}

TEST(RegionAreaProperties, ArcMomentsMatchClosedFormsAndTheExactLoopMeasures) {
  // A disc of radius 3 about (1, 2): Ix about the x axis = pi r^4 / 4 + A cy^2.
  Owned input, regions;
  input.add(new AcDbCircle(AcGePoint3d(1, 2, 0), AcGeVector3d::kZAxis, 3.0));
  ASSERT_EQ(AcDbRegion::createFromCurves(input.items, regions.items), Acad::eOk);
  const AreaProps p = areaProps(*regions.as<AcDbRegion>(0));
  const double a = 9 * kPi, disc = kPi * 81 / 4;
  EXPECT_NEAR(p.mom[0], disc + a * 4, 1e-10);
  EXPECT_NEAR(p.mom[1], disc + a * 1, 1e-10);
  EXPECT_NEAR(p.prod, a * 2, 1e-10);
  EXPECT_NEAR(p.prin[0], disc, 1e-10);
  EXPECT_NEAR(p.prin[1], disc, 1e-10);
  // Random star-shaped outlines with bulged sides: the integrated area and centroid agree
  // with the geometry layer's exact circular-segment formulas.
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> radius(50, 100), bulge(-0.3, 0.3), shift(-1e4, 1e4);
  for (int trial = 0; trial < 50; ++trial) {
    const int n = 3 + trial % 9;
    const double ox = shift(rng), oy = shift(rng);
    auto* pl = new AcDbPolyline();
    contura::ge::BulgeLoop loop;
    for (int i = 0; i < n; ++i) {
      const double t = 2 * kPi * i / n;
      const AcGePoint2d p(ox + radius(rng) * std::cos(t), oy + radius(rng) * std::sin(t));
      const double b = i % 3 == 0 ? 0.0 : bulge(rng);  // straight and bulged sides mixed
      pl->addVertexAt(unsigned(i), p, b);
      loop.push_back({p, b});
    }
    pl->setClosed(true);
    const RegionFacts f = regionFacts({pl});
    ASSERT_EQ(f.es, Acad::eOk);
    const contura::ge::LoopProperties exact = contura::ge::loopProperties(loop);
    EXPECT_NEAR(f.area, exact.area, 1e-9 * exact.area);
    EXPECT_NEAR(f.centroid.x, exact.centroid.x, 1e-8);
    EXPECT_NEAR(f.centroid.y, exact.centroid.y, 1e-8);
    EXPECT_NEAR(f.perimeter, exact.perimeter, 1e-9 * exact.perimeter);
  }
}

contura::db::HatchLoop squareLoop(double half, bool clockwise = false) {
  contura::db::HatchLoop loop;
  loop.type = AcDbHatch::kPolyline;
  std::vector<AcGePoint2d> pts{{-half, -half}, {half, -half}, {half, half}, {-half, half}};
  if (clockwise) std::reverse(pts.begin(), pts.end());
  for (const AcGePoint2d& p : pts) loop.vertices.push_back({p, 0.0});
  return loop;
}

TEST(HatchAreas, LoopAreasOfEveryEdgeKindAndIslandsByStyle) {
  contura::db::HatchData data;
  data.loops.push_back(squareLoop(5));
  data.loops.push_back(squareLoop(3, true));
  contura::db::HatchLoop circle;  // one full circular edge of radius 1, drawn clockwise
  contura::db::HatchEdge arc;
  arc.type = AcDbHatch::kCirArc;
  arc.radius = 1.0;
  arc.startAngle = 0.0;
  arc.endAngle = 2 * kPi;
  arc.ccw = false;
  circle.edges.push_back(arc);
  data.loops.push_back(circle);
  contura::db::HatchLoop slot;  // an elliptic half (a = 2, b = 1) closed by its chord, far off
  contura::db::HatchEdge half;
  half.type = AcDbHatch::kEllArc;
  half.center.set(100, 0);
  half.majorAxis.set(0, 2);
  half.minorRatio = 0.5;
  half.startAngle = 0.0;
  half.endAngle = kPi;
  contura::db::HatchEdge chord;
  chord.type = AcDbHatch::kLine;
  chord.start.set(100, 2);
  chord.end.set(100, -2);
  slot.edges = {half, chord};
  data.loops.push_back(slot);
  AcDbHatch hatch;
  ASSERT_EQ(contura::db::setHatchData(hatch, data), Acad::eOk);
  // Signed by the direction drawn: the half ellipse (a = 2, b = 1) is pi.
  const double signedAreas[] = {100.0, -36.0, -kPi, kPi};
  double a = 0.0;
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(contura::db::hatchLoopArea(hatch, i, a), Acad::eOk);
    EXPECT_NEAR(a, signedAreas[i], 1e-12) << i;
  }
  EXPECT_EQ(contura::db::hatchLoopArea(hatch, 4, a), Acad::eInvalidIndex);
  // Depths: outer square 0, inner square 1, circle 2, the far half ellipse 0.
  const double outer = 100.0, inner = 36.0, disc = kPi, far = kPi;
  EXPECT_NEAR(areaOf(&hatch), outer - inner + disc + far, 1e-12);
  hatch.setHatchStyle(AcDbHatch::kOuter);
  EXPECT_NEAR(areaOf(&hatch), outer - inner + far, 1e-12);
  hatch.setHatchStyle(AcDbHatch::kIgnore);
  EXPECT_NEAR(areaOf(&hatch), outer + far, 1e-12);
  // A spline edge known only by fit points has no area here.
  contura::db::HatchLoop fitOnly;
  contura::db::HatchEdge spline;
  spline.type = AcDbHatch::kSpline;
  spline.fitPoints = {{0, 0}, {1, 1}, {2, 0}};
  fitOnly.edges.push_back(spline);
  data.loops.push_back(fitOnly);
  ASSERT_EQ(contura::db::setHatchData(hatch, data), Acad::eOk);
  EXPECT_EQ(hatch.getArea(a), Acad::eNotApplicable);
}

TEST(HatchAreas, SplineEdgeLoopAreaByIntegration) {
  // A quarter disc of radius 2 whose arc is an exact rational quadratic spline.
  contura::db::HatchEdge quarter;
  quarter.type = AcDbHatch::kSpline;
  quarter.degree = 2;
  quarter.rational = true;
  quarter.knots = {0, 0, 0, 1, 1, 1};
  quarter.controlPoints = {{2, 0}, {2, 2}, {0, 2}};
  quarter.weights = {1, std::sqrt(0.5), 1};
  contura::db::HatchEdge down, back;
  down.type = back.type = AcDbHatch::kLine;
  down.start.set(0, 2);
  down.end.set(0, 0);
  back.start.set(0, 0);
  back.end.set(2, 0);
  contura::db::HatchData data;
  data.loops.push_back({});
  data.loops[0].edges = {quarter, down, back};
  AcDbHatch hatch;
  ASSERT_EQ(contura::db::setHatchData(hatch, data), Acad::eOk);
  EXPECT_NEAR(areaOf(&hatch), kPi, 1e-11);
}

struct MassProps {
  Acad::ErrorStatus es;
  double area = 0.0, volume = 0.0, mom[3] = {}, prod[3] = {}, prin[3] = {}, radii[3] = {};
  AcGePoint3d centroid;
  AcGeVector3d axes[3];
  AcDbExtents ext;
};

MassProps massProps(const AcDb3dSolid& solid) {
  MassProps m;
  EXPECT_EQ(solid.getArea(m.area), Acad::eOk);
  m.es = solid.getMassProp(m.volume, m.centroid, m.mom, m.prod, m.prin, m.axes, m.radii, m.ext);
  return m;
}

TEST(SolidMassProperties, BoxVolumeAreaCentroidAndInertia) {
  AcDb3dSolid box;
  EXPECT_EQ(box.createBox(1, 0, 1), Acad::eInvalidInput);
  ASSERT_EQ(box.createBox(2, 4, 6), Acad::eOk);
  ASSERT_EQ(box.transformBy(AcGeMatrix3d::translation(AcGeVector3d(1, 1, 1))), Acad::eOk);
  MassProps m = massProps(box);
  ASSERT_EQ(m.es, Acad::eOk);
  EXPECT_NEAR(m.area, 2 * (8 + 24 + 12), 1e-12);
  EXPECT_NEAR(m.volume, 48, 1e-12);
  expectNear(m.centroid, AcGePoint3d(1, 1, 1), 1e-12);
  // About the world axes: m (b^2 + c^2) / 12 plus the parallel-axis term m d^2 (d^2 = 2).
  EXPECT_NEAR(m.mom[0], 48 * (16 + 36) / 12.0 + 48 * 2, 1e-9);
  EXPECT_NEAR(m.mom[1], 48 * (4 + 36) / 12.0 + 48 * 2, 1e-9);
  EXPECT_NEAR(m.mom[2], 48 * (4 + 16) / 12.0 + 48 * 2, 1e-9);
  EXPECT_NEAR(m.prod[0], 48, 1e-9);  // integral of x y = V cx cy
  std::vector<double> principal(m.prin, m.prin + 3);
  std::sort(principal.begin(), principal.end());
  EXPECT_NEAR(principal[0], 80, 1e-9);
  EXPECT_NEAR(principal[1], 160, 1e-9);
  EXPECT_NEAR(principal[2], 208, 1e-9);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(m.radii[i], std::sqrt(m.mom[i] / 48), 1e-12);
  expectNear(m.ext.minPoint(), AcGePoint3d(0, -1, -2));
  expectNear(m.ext.maxPoint(), AcGePoint3d(2, 3, 4));
  // Stretched to 2 x 8 x 6 along y.
  ASSERT_EQ(box.transformBy(AcGeMatrix3d::scaling(AcGeScale3d(1, 2, 1))), Acad::eOk);
  m = massProps(box);
  EXPECT_NEAR(m.area, 2 * (16 + 48 + 12), 1e-9);
  EXPECT_NEAR(m.volume, 96, 1e-9);
  double area = 0.0;
  EXPECT_EQ(AcDb3dSolid().getArea(area), Acad::eDegenerateGeometry);
}

TEST(SolidMassProperties, ExtrudedOutlineFollowsItsPlacement) {
  Owned input, regions;
  input.add(polyline({{0, 0, 1.0}, {2, 0}}, true));  // a half disc of radius 1 below the chord
  ASSERT_EQ(AcDbRegion::createFromCurves(input.items, regions.items), Acad::eOk);
  AcDb3dSolid solid;
  ASSERT_EQ(solid.extrude(regions.as<AcDbRegion>(0), -3.0), Acad::eOk);
  const MassProps m = massProps(solid);
  ASSERT_EQ(m.es, Acad::eOk);
  EXPECT_NEAR(m.volume, kPi / 2 * 3, 1e-12);
  EXPECT_NEAR(m.area, kPi + (kPi + 2) * 3, 1e-12);
  expectNear(m.centroid, AcGePoint3d(1, -4 / (3 * kPi), -1.5), 1e-12);
  // Turned and doubled: volume times 8, area times 4, centroid carried along.
  const AcGeMatrix3d move = AcGeMatrix3d::rotation(0.4, AcGeVector3d(1, -2, 0.5).normal(), AcGePoint3d(3, 4, 5)) *
                            AcGeMatrix3d::scaling(2.0);
  ASSERT_EQ(solid.transformBy(move), Acad::eOk);
  const MassProps moved = massProps(solid);
  EXPECT_NEAR(moved.volume, 8 * m.volume, 1e-9);
  EXPECT_NEAR(moved.area, 4 * m.area, 1e-9);
  expectNear(moved.centroid, move * m.centroid, 1e-9);
}

}  // namespace
