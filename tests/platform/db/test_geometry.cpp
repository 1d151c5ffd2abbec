// Curve parameters, polyline vertices, explode, transforms and extents of the entities: curves,
// texts, block references, hatches and regions.
#include "bulge_cases.h"
#include "db_test_util.h"

#include <contura/db/hatch_data.h>
#include <contura/db/solid_data.h>
#include <dbelipse.h>
#include <dbents.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbregion.h>
#include <dbsol3d.h>
#include <dbspline.h>
#include <gearc2d.h>
#include <gelnsg2d.h>

#include <cmath>
#include <memory>

namespace {

using namespace dbtest;

constexpr double kTol = 1e-9;

// A closed unit square whose first segment (0,0)-(1,0) bulges outward (down) as a half
// circle: a positive bulge turns counter-clockwise.
AcDbPolyline* squareWithArc() {
  auto* pl = new AcDbPolyline();
  pl->addVertexAt(0, AcGePoint2d(0, 0), 1.0);
  pl->addVertexAt(1, AcGePoint2d(1, 0));
  pl->addVertexAt(2, AcGePoint2d(1, 1));
  pl->addVertexAt(3, AcGePoint2d(0, 1));
  pl->setClosed(true);
  return pl;
}

TEST(Polyline, VertexInsertionWidthsAndSegmentKinds) {
  AcDbPolyline pl;
  ASSERT_EQ(pl.addVertexAt(0, AcGePoint2d(0, 0)), Acad::eOk);
  ASSERT_EQ(pl.addVertexAt(1, AcGePoint2d(2, 0)), Acad::eOk);  // index == numVerts appends
  ASSERT_EQ(pl.addVertexAt(1, AcGePoint2d(1, 5), 0.5, 0.1, 0.2), Acad::eOk);  // before vertex 1
  EXPECT_EQ(pl.addVertexAt(4, AcGePoint2d(9, 9)), Acad::eInvalidIndex);
  ASSERT_EQ(pl.numVerts(), 3u);
  // The widths of the first vertex are its own, and move with it when one comes before.
  AcDbPolyline first;
  ASSERT_EQ(first.addVertexAt(0, AcGePoint2d(0, 0), 0.0, 2.0, 3.5), Acad::eOk);
  ASSERT_EQ(first.addVertexAt(0, AcGePoint2d(-1, 0), 0.0, 1.0, 1.0), Acad::eOk);
  EXPECT_EQ(dbtest::widthsAt(first, 1), std::make_pair(2.0, 3.5));
  ASSERT_EQ(first.addVertexAt(2, AcGePoint2d(1, 0)), Acad::eOk);
  EXPECT_EQ(dbtest::widthsAt(first, 2).first, 0.0);
  AcGePoint2d p;
  pl.getPointAt(1, p);
  EXPECT_EQ(p, AcGePoint2d(1, 5));
  pl.getPointAt(2, p);
  EXPECT_EQ(p, AcGePoint2d(2, 0));
  double bulge = 0.0;
  pl.getBulgeAt(1, bulge);
  EXPECT_EQ(bulge, 0.5);
  EXPECT_EQ(dbtest::widthsAt(pl, 1), std::make_pair(0.1, 0.2));
  EXPECT_EQ(dbtest::widthsAt(pl, 0), std::make_pair(0.0, 0.0));  // a default width: the constant width 0
  double constant = -1.0;
  EXPECT_EQ(pl.getConstantWidth(constant), Acad::eInvalidInput);
  EXPECT_EQ(pl.setConstantWidth(0.3), Acad::eOk);
  EXPECT_EQ(dbtest::widthsAt(pl, 1).first, 0.3);
  // With a constant width, -1 widths of a new vertex take it.
  ASSERT_EQ(pl.addVertexAt(3, AcGePoint2d(2, 0)), Acad::eOk);
  EXPECT_EQ(dbtest::widthsAt(pl, 3).second, 0.3);
  EXPECT_EQ(pl.getConstantWidth(constant), Acad::eOk);
  EXPECT_EQ(constant, 0.3);

  EXPECT_EQ(pl.segType(0), AcDbPolyline::kLine);
  EXPECT_EQ(pl.segType(1), AcDbPolyline::kArc);
  EXPECT_EQ(pl.segType(2), AcDbPolyline::kCoincident);
  EXPECT_EQ(pl.segType(3), AcDbPolyline::kEmpty);
  pl.setClosed(true);
  EXPECT_EQ(pl.segType(3), AcDbPolyline::kLine);
  AcGeCircArc2d arc;
  ASSERT_EQ(pl.getArcSegAt(1, arc), Acad::eOk);
  EXPECT_TRUE(arc.startPoint().isEqualTo(AcGePoint2d(1, 5)));
  EXPECT_TRUE(arc.endPoint().isEqualTo(AcGePoint2d(2, 0)));
  AcGeLineSeg2d seg;
  EXPECT_EQ(pl.getLineSegAt(1, seg), Acad::eInvalidInput);
  ASSERT_EQ(pl.removeVertexAt(2), Acad::eOk);
  EXPECT_EQ(pl.numVerts(), 3u);
  EXPECT_EQ(pl.removeVertexAt(3), Acad::eInvalidIndex);
  AcDbPolyline single;
  single.addVertexAt(0, AcGePoint2d(1, 1));
  EXPECT_EQ(single.segType(0), AcDbPolyline::kPoint);
}

TEST(Polyline, ParametersDistancesAndPoints) {
  std::unique_ptr<AcDbPolyline> pl(squareWithArc());
  double end = 0.0;
  ASSERT_EQ(pl->getEndParam(end), Acad::eOk);
  EXPECT_EQ(end, 4.0);
  // The half circle (radius 0.5) below the first side, then three sides of 1.
  const double perimeter = kPi * 0.5 + 3.0;
  double dist = 0.0;
  ASSERT_EQ(pl->getDistAtParam(end, dist), Acad::eOk);
  EXPECT_NEAR(dist, perimeter, kTol);
  // Arc segments run uniformly in angle: a quarter of the parameter is 45 degrees round.
  AcGePoint3d mid;
  ASSERT_EQ(pl->getPointAtParam(0.25, mid), Acad::eOk);
  expectNear(mid, AcGePoint3d(0.5 - 0.5 * std::sqrt(0.5), -0.5 * std::sqrt(0.5), 0));
  ASSERT_EQ(pl->getDistAtParam(0.25, dist), Acad::eOk);
  EXPECT_NEAR(dist, kPi / 8, kTol);
  double param = 0.0;
  ASSERT_EQ(pl->getParamAtPoint(AcGePoint3d(1, 0.25, 0), param), Acad::eOk);
  EXPECT_NEAR(param, 1.25, kTol);
  EXPECT_EQ(pl->getParamAtPoint(AcGePoint3d(0.5, 0.5, 0), param), Acad::eInvalidInput);
  EXPECT_EQ(pl->getParamAtPoint(AcGePoint3d(1, 0.25, 0.1), param), Acad::eInvalidInput);
  AcGePoint3d atDist;
  ASSERT_EQ(pl->getPointAtDist(kPi * 0.5 + 1.5, atDist), Acad::eOk);
  expectNear(atDist, AcGePoint3d(0.5, 1, 0));
  ASSERT_EQ(pl->getDistAtPoint(AcGePoint3d(0, 0.5, 0), dist), Acad::eOk);
  EXPECT_NEAR(dist, perimeter - 0.5, kTol);
  EXPECT_EQ(pl->getPointAtParam(4.5, mid), Acad::eInvalidInput);
}

TEST(Polyline, OcsPointsExplodeAndExtents) {
  auto pl = std::make_unique<AcDbPolyline>();
  pl->addVertexAt(0, AcGePoint2d(1, 2));
  pl->addVertexAt(1, AcGePoint2d(3, 2), 1.0);  // a half circle to (3,2)... then on to (3,2) again
  pl->addVertexAt(2, AcGePoint2d(5, 2));
  pl->addVertexAt(3, AcGePoint2d(5, 2));  // a zero-length segment
  pl->setElevation(4.0);
  pl->setNormal(AcGeVector3d(0, 0, -1));
  AcGePoint3d w;
  ASSERT_EQ(pl->getPointAt(0, w), Acad::eOk);
  // The OCS of -Z flips X: (1, 2, 4) in it is (-1, 2, -4) in the world.
  expectNear(w, AcGePoint3d(-1, 2, -4));
  Owned pieces;
  ASSERT_EQ(pl->explode(pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 2);  // the zero-length segment gives nothing
  AcDbLine* line = pieces.as<AcDbLine>(0);
  AcDbArc* arc = pieces.as<AcDbArc>(1);
  ASSERT_TRUE(line && arc);
  expectNear(line->startPoint(), AcGePoint3d(-1, 2, -4));
  expectNear(line->endPoint(), AcGePoint3d(-3, 2, -4));
  const AcGePoint3d s = dbtest::startOf(*arc), e = dbtest::endOf(*arc);
  // The arc runs counter-clockwise about its own normal; as a set it joins (3,2) and (5,2).
  const bool forward = s.isEqualTo(AcGePoint3d(-3, 2, -4)) && e.isEqualTo(AcGePoint3d(-5, 2, -4));
  const bool backward = e.isEqualTo(AcGePoint3d(-3, 2, -4)) && s.isEqualTo(AcGePoint3d(-5, 2, -4));
  EXPECT_TRUE(forward || backward);
  EXPECT_NEAR(arc->radius(), 1.0, kTol);
  EXPECT_NEAR(arc->totalAngle(), kPi, kTol);
  AcDbExtents ext;
  ASSERT_EQ(pl->getGeomExtents(ext), Acad::eOk);
  // Bulge +1 from (3,2) to (5,2) turns counter-clockwise in the OCS: below the chord (y = 1).
  expectNear(ext.minPoint(), AcGePoint3d(-5, 1, -4));
  expectNear(ext.maxPoint(), AcGePoint3d(-1, 2, -4));
}

TEST(Polyline, TransformsKeepShapeAndMirrorFlipsBulges) {
  std::unique_ptr<AcDbPolyline> pl(squareWithArc());
  double before = 0.0, after = 0.0, end = 0.0;
  pl->getEndParam(end);
  pl->getDistAtParam(end, before);
  const AcGeMatrix3d rotate = AcGeMatrix3d::rotation(0.7, AcGeVector3d::kZAxis, AcGePoint3d(3, 1, 0)) *
                              AcGeMatrix3d::scaling(2.0);
  AcGePoint3d p0 = dbtest::pointAt(*pl, 0.5);
  ASSERT_EQ(pl->transformBy(rotate), Acad::eOk);
  pl->getDistAtParam(end, after);
  EXPECT_NEAR(after, 2.0 * before, kTol);
  expectNear(dbtest::pointAt(*pl, 0.5), rotate * p0);
  // A mirror keeps every point on the mirrored curve: bulges change sign.
  const AcGeMatrix3d mirror = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(), AcGeVector3d::kXAxis));
  p0 = dbtest::pointAt(*pl, 0.5);
  ASSERT_EQ(pl->transformBy(mirror), Acad::eOk);
  EXPECT_TRUE(pl->normal().isEqualTo(AcGeVector3d::kZAxis));
  double bulge = 0.0;
  pl->getBulgeAt(0, bulge);
  EXPECT_EQ(bulge, -1.0);
  expectNear(dbtest::pointAt(*pl, 0.5), mirror * p0);
  EXPECT_EQ(pl->transformBy(AcGeMatrix3d::scaling(AcGeScale3d(1, 2, 1))), Acad::eCannotScaleNonUniformly);
}

TEST(Curves, LineArcCircleParametersAndExtents) {
  AcDbLine line(AcGePoint3d(1, 1, 0), AcGePoint3d(4, 5, 0));
  double end = 0.0, param = 0.0;
  line.getEndParam(end);
  EXPECT_NEAR(end, 5.0, kTol);
  ASSERT_EQ(line.getParamAtPoint(AcGePoint3d(2.5, 3, 0), param), Acad::eOk);
  EXPECT_NEAR(param, 2.5, kTol);
  EXPECT_EQ(line.getParamAtPoint(AcGePoint3d(2.5, 3.1, 0), param), Acad::eInvalidInput);
  EXPECT_EQ(line.getParamAtPoint(AcGePoint3d(7, 9, 0), param), Acad::eInvalidInput);  // beyond the end

  AcDbArc arc(AcGePoint3d(0, 0, 0), 2.0, 1.5 * kPi, 0.5 * kPi);  // the right half, through angle 0
  double s = 0.0;
  arc.getStartParam(s);
  arc.getEndParam(end);
  EXPECT_NEAR(end - s, kPi, kTol);
  ASSERT_EQ(arc.getParamAtPoint(AcGePoint3d(2, 0, 0), param), Acad::eOk);
  EXPECT_NEAR(param, 2.0 * kPi, kTol);
  EXPECT_EQ(arc.getParamAtPoint(AcGePoint3d(-2, 0, 0), param), Acad::eInvalidInput);
  double dist = 0.0;
  ASSERT_EQ(arc.getDistAtPoint(AcGePoint3d(0, 2, 0), dist), Acad::eOk);
  EXPECT_NEAR(dist, 2.0 * kPi, kTol);
}

TEST(Curves, MirroredArcsKeepTheirPointsAndNonUniformCirclesBecomeEllipses) {
  AcDbArc arc(AcGePoint3d(1, 0, 0), 1.0, 0.0, kPi / 2);
  const AcGePoint3d s0 = dbtest::startOf(arc), e0 = dbtest::endOf(arc);
  const AcGeMatrix3d mirror = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(), AcGeVector3d::kXAxis));
  ASSERT_EQ(arc.transformBy(mirror), Acad::eOk);
  EXPECT_TRUE(arc.normal().isEqualTo(AcGeVector3d::kZAxis));
  expectNear(dbtest::startOf(arc), mirror * e0);
  expectNear(dbtest::endOf(arc), mirror * s0);
  EXPECT_EQ(arc.transformBy(AcGeMatrix3d::scaling(AcGeScale3d(2, 1, 1))), Acad::eCannotScaleNonUniformly);

  AcDbCircle circle(AcGePoint3d(1, 1, 0), AcGeVector3d::kZAxis, 1.0);
  const AcGeMatrix3d stretch = AcGeMatrix3d::scaling(AcGeScale3d(3, 1, 1));
  AcDbEntity* copy = nullptr;
  ASSERT_EQ(circle.getTransformedCopy(stretch, copy), Acad::eOk);
  std::unique_ptr<AcDbEntity> owned(copy);
  auto* ellipse = AcDbEllipse::cast(copy);
  ASSERT_NE(ellipse, nullptr);
  expectNear(ellipse->center(), AcGePoint3d(3, 1, 0));
  EXPECT_NEAR(ellipse->majorAxis().length(), 3.0, kTol);
  EXPECT_NEAR(ellipse->radiusRatio(), 1.0 / 3.0, kTol);
  // Every stretched point of the circle lies on the ellipse.
  for (int k = 0; k < 12; ++k) {
    double param = 0.0;
    EXPECT_EQ(ellipse->getParamAtPoint(stretch * dbtest::pointAt(circle, k * kPi / 6), param), Acad::eOk) << k;
  }
}

TEST(Curves, EllipseAndSplineEvaluation) {
  AcDbEllipse e(AcGePoint3d(1, 1, 0), AcGeVector3d::kZAxis, AcGeVector3d(0, 2, 0), 0.5, 0.0, kPi);
  expectNear(dbtest::startOf(e), AcGePoint3d(1, 3, 0));
  expectNear(dbtest::endOf(e), AcGePoint3d(1, -1, 0));
  expectNear(dbtest::pointAt(e, kPi / 2), AcGePoint3d(0, 1, 0));  // the minor axis is Z x major: (-1, 0, 0)
  dbtest::expectExtents(e, AcGePoint3d(0, -1, 0), AcGePoint3d(1, 3, 0));
  // A sheared image: every transformed point is on the new ellipse.
  AcGeMatrix3d shear;
  shear(0, 1) = 0.7;
  AcDbEllipse sheared(e.center(), e.normal(), e.majorAxis(), e.radiusRatio(), e.startAngle(), e.endAngle());
  ASSERT_EQ(sheared.transformBy(shear), Acad::eOk);
  for (int k = 0; k <= 8; ++k) {
    double param = 0.0;
    EXPECT_EQ(sheared.getParamAtPoint(shear * dbtest::pointAt(e, k * kPi / 8), param), Acad::eOk) << k;
  }

  // A clamped cubic with four control points is a Bezier curve.
  AcGePoint3dArray ctl;
  const AcGePoint3d c[4] = {{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 1}};
  for (const AcGePoint3d& q : c) ctl.append(q);
  AcGeDoubleArray knots, weights;
  for (double k : {0.0, 0.0, 0.0, 0.0, 2.0, 2.0, 2.0, 2.0}) knots.append(k);
  AcDbSpline spline(3, false, false, false, ctl, knots, weights);
  AcGePoint3d p;
  for (double t : {0.0, 0.3, 0.5, 0.9, 1.0}) {
    const double u = 1 - t;
    const AcGePoint3d expected = AcGePoint3d(0, 0, 0) + c[0].asVector() * (u * u * u) + c[1].asVector() * (3 * u * u * t) +
                                 c[2].asVector() * (3 * u * t * t) + c[3].asVector() * (t * t * t);
    ASSERT_EQ(spline.getPointAtParam(2.0 * t, p), Acad::eOk);
    expectNear(p, expected);
  }
  EXPECT_FALSE(spline.isPlanar());
  EXPECT_EQ(spline.getPointAtParam(2.5, p), Acad::eInvalidInput);
  // Fit data alone: ends known, evaluation left to the fitting algorithm.
  AcDbSpline fitOnly(dbtest::arrayOf<AcGePoint3d>({{0, 0, 0}, {5, 5, 0}}));
  EXPECT_EQ(dbtest::endOf(fitOnly), AcGePoint3d(5, 5, 0));
  EXPECT_EQ(fitOnly.getPointAtParam(0.5, p), Acad::eNotImplementedYet);
}

TEST(Text, JustificationAndExtents) {
  // "ab" at height 3: two narrow characters of 2/3 x 3 = 2 each, so 4 wide.
  AcDbText text(AcGePoint3d(10, 10, 0), "ab", AcDbObjectId::kNull, 3.0, 0.0);
  dbtest::expectExtents(text, AcGePoint3d(10, 10, 0), AcGePoint3d(14, 13, 0));
  text.setHorizontalMode(AcDb::kTextRight);
  text.setVerticalMode(AcDb::kTextTop);
  text.setAlignmentPoint(AcGePoint3d(20, 20, 0));
  ASSERT_EQ(text.adjustAlignment(), Acad::eOk);
  expectNear(text.position(), AcGePoint3d(16, 17, 0));
  // A double-byte character is as wide as the text is high; the width factor scales.
  AcDbText wide(AcGePoint3d(), "\xD6\xD0", AcDbObjectId::kNull, 2.0, kPi / 2);
  wide.setWidthFactor(0.5);
  dbtest::expectExtents(wide, AcGePoint3d(-2, 0, 0), AcGePoint3d(0, 1, 0));
  // Transforms scale the height and turn the rotation.
  AcDbText t2(AcGePoint3d(1, 0, 0), "x", AcDbObjectId::kNull, 1.0, 0.0);
  ASSERT_EQ(t2.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis) * AcGeMatrix3d::scaling(2.0)), Acad::eOk);
  EXPECT_NEAR(t2.height(), 2.0, kTol);
  EXPECT_NEAR(t2.rotation(), kPi / 2, kTol);
  expectNear(t2.position(), AcGePoint3d(0, 2, 0));
}

TEST(MText, PlainLinesStripFormatting) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(AcDbMText::plainLinesOf("{\\fArial|b1;\\C1;First} line\\Psecond\\~part"),
            (Lines{"First line", "second part"}));
  EXPECT_EQ(AcDbMText::plainLinesOf("a\\\\b\\{c\\}\nd"), (Lines{"a\\b{c}", "d"}));
  EXPECT_EQ(AcDbMText::plainLinesOf("\\H2.5x;\\W0.8;\\Lun\\lder\\S1/2;\\S3^4;"), (Lines{"under1/23/4"}));
  // The trail byte of a double-byte character may be a backslash: it is text, not a code.
  EXPECT_EQ(AcDbMText::plainLinesOf("\x95\\P\\P\xB0\xA1"), (Lines{"\x95\\P", "\xB0\xA1"}));
  EXPECT_EQ(AcDbMText::plainLinesOf(""), (Lines{""}));
}

TEST(MText, ExplodeGivesOneTextPerLineDownTheColumn) {
  AcDbMText mtext;
  mtext.setLocation(AcGePoint3d(10, 20, 0));
  mtext.setTextHeight(3.0);
  mtext.setContents("{\\C1;First}\\P\\fSimSun|b0;Second");
  EXPECT_NEAR(mtext.actualHeight(), 3.0 + 5.0, kTol);  // spacing 5/3 x 3 = 5
  EXPECT_NEAR(mtext.actualWidth(), 6 * 2.0, kTol);     // "Second": 6 narrow characters
  Owned pieces;
  ASSERT_EQ(mtext.explode(pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 2);
  AcDbText* first = pieces.as<AcDbText>(0);
  AcDbText* second = pieces.as<AcDbText>(1);
  ASSERT_TRUE(first && second);
  EXPECT_STREQ(first->textStringConst(), "First");
  EXPECT_STREQ(second->textStringConst(), "Second");
  EXPECT_EQ(first->height(), 3.0);
  // Top-left attachment: the first baseline one text height below the location.
  expectNear(first->position(), AcGePoint3d(10, 17, 0));
  expectNear(second->position(), AcGePoint3d(10, 12, 0));
  // Bottom-centre: the last baseline at the location, lines centred on it.
  mtext.setAttachment(AcDbMText::kBottomCenter);
  Owned centred;
  ASSERT_EQ(mtext.explode(centred.items), Acad::eOk);
  expectNear(centred.as<AcDbText>(1)->position(), AcGePoint3d(10 - 6, 20 + 0 - 3 + 3, 0));
  expectNear(centred.as<AcDbText>(0)->position(), AcGePoint3d(10 - 5, 20 + 5, 0));
  dbtest::expectExtents(mtext, AcGePoint3d(4, 20, 0), AcGePoint3d(16, 28, 0));
}

TEST(BlockReferences, ExplodeAndExtentsFollowTheBlockTransform) {
  AcDbDatabase db;
  AcDbObjectId inner, outer;
  dbtest::appendToBlock(db, "INNER", new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 1.0), &inner);
  dbtest::appendToBlock(db, "OUTER", new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)), &outer);
  auto* nested = new AcDbBlockReference(AcGePoint3d(5, 0, 0), inner);
  nested->setScaleFactors(AcGeScale3d(3));
  dbtest::appendToBlock(db, "OUTER", nested);
  dbtest::appendToBlock(db, "OUTER", new AcDbText(AcGePoint3d(), "t", AcDbObjectId::kNull, 1.0));
  // An attribute definition is exploded with the rest but does not show in the extents.
  dbtest::appendToBlock(db, "OUTER", new AcDbAttributeDefinition(AcGePoint3d(500, 500, 0), "v", "T", "?"));
  EXPECT_TRUE(dbtest::Opened<AcDbBlockTableRecord>(outer)->hasAttributeDefinitions());

  AcDbBlockReference ref(AcGePoint3d(100, 0, 0), outer);
  ref.setScaleFactors(AcGeScale3d(2));
  ref.setRotation(kPi / 2);
  Owned pieces;
  ASSERT_EQ(ref.explode(pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 4);
  EXPECT_NE(pieces.as<AcDbAttributeDefinition>(3), nullptr);
  AcDbLine* line = pieces.as<AcDbLine>(0);
  ASSERT_NE(line, nullptr);
  expectNear(line->startPoint(), AcGePoint3d(100, 0, 0));
  expectNear(line->endPoint(), AcGePoint3d(100, 2, 0));
  auto* nestedCopy = pieces.as<AcDbBlockReference>(1);
  ASSERT_NE(nestedCopy, nullptr);
  expectNear(nestedCopy->position(), AcGePoint3d(100, 10, 0));
  EXPECT_NEAR(nestedCopy->scaleFactors().sx, 6.0, kTol);
  Owned deeper;
  ASSERT_EQ(nestedCopy->explode(deeper.items), Acad::eOk);
  auto* circle = deeper.as<AcDbCircle>(0);
  ASSERT_NE(circle, nullptr);
  EXPECT_NEAR(circle->radius(), 6.0, kTol);
  expectNear(circle->center(), AcGePoint3d(100, 10, 0));
  EXPECT_NE(pieces.as<AcDbText>(2), nullptr);

  // The block's origin is subtracted before placing.
  dbtest::Opened<AcDbBlockTableRecord>(outer, AcDb::kForWrite)->setOrigin(AcGePoint3d(1, 0, 0));
  expectNear(ref.blockTransform() * AcGePoint3d(1, 0, 0), AcGePoint3d(100, 0, 0));
  AcDbExtents ext;
  ASSERT_EQ(ref.getGeomExtents(ext), Acad::eOk);
  // The nested circle: centre (5,0) - origin -> (4,0) x2 rotated -> (0,8)+(100,0), radius 6.
  expectNear(ext.maxPoint(), AcGePoint3d(106, 14, 0), 1e-6);
  AcDbBlockReference dangling(AcGePoint3d(), AcDbObjectId::kNull);
  EXPECT_EQ(dangling.explode(pieces.items), Acad::eNullBlockName);
  EXPECT_EQ(dangling.getGeomExtents(ext), Acad::eInvalidExtents);
}

TEST(BlockReferences, BlockTransformRoundTripsAndMirrorsAsNegativeScale) {
  AcDbBlockReference ref(AcGePoint3d(3, 4, 0), AcDbObjectId::kNull);
  ref.setRotation(0.3);
  ref.setScaleFactors(AcGeScale3d(2, 3, 4));
  const AcGeMatrix3d m = ref.blockTransform();
  AcDbBlockReference other;
  ASSERT_EQ(other.setBlockTransform(m), Acad::eOk);
  EXPECT_NEAR(other.rotation(), 0.3, kTol);
  EXPECT_NEAR(other.scaleFactors().sy, 3.0, kTol);
  expectNear(other.position(), AcGePoint3d(3, 4, 0));
  EXPECT_TRUE(other.blockTransform().isEqualTo(m));
  // Mirroring across the Y axis: X scale turns negative, the normal stays.
  AcDbBlockReference plain(AcGePoint3d(1, 0, 0), AcDbObjectId::kNull);
  ASSERT_EQ(plain.transformBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(), AcGeVector3d::kXAxis))), Acad::eOk);
  EXPECT_NEAR(plain.scaleFactors().sx, -1.0, kTol);
  EXPECT_TRUE(plain.normal().isEqualTo(AcGeVector3d::kZAxis));
  expectNear(plain.position(), AcGePoint3d(-1, 0, 0));
  // A shear cannot be represented.
  AcGeMatrix3d shear;
  shear(0, 1) = 0.5;
  EXPECT_EQ(plain.transformBy(shear), Acad::eCannotScaleNonUniformly);
  expectNear(plain.position(), AcGePoint3d(-1, 0, 0));
}

TEST(BlockReferences, AttributesFollowTheirReference) {
  AcDbDatabase db;
  AcDbObjectId block;
  dbtest::appendToBlock(db, "TAGGED", new AcDbPoint(), &block);
  auto* ref = new AcDbBlockReference(AcGePoint3d(0, 0, 0), block);
  auto* att = new AcDbAttribute(AcGePoint3d(1, 1, 0), "V", "T");
  AcDbObjectId attId;
  ASSERT_EQ(ref->appendAttribute(attId, att), Acad::eOk);
  EXPECT_TRUE(attId.isNull());  // held by the new reference
  const AcDbObjectId refId = dbtest::appendToModelSpace(db, ref);
  AcDbBlockReference* open = nullptr;
  ASSERT_EQ(acdbOpenObject(open, refId, AcDb::kForWrite), Acad::eOk);
  AcDbObjectIterator* it = open->attributeIterator();
  it->start();
  ASSERT_FALSE(it->done());
  attId = it->objectId();
  EXPECT_FALSE(attId.isNull());
  delete it;
  AcDbAttribute* opened = nullptr;
  ASSERT_EQ(open->openAttribute(opened, attId, AcDb::kForRead), Acad::eOk);  // closed when appended
  EXPECT_EQ(opened->ownerId(), refId);
  opened->close();
  ASSERT_EQ(open->transformBy(AcGeMatrix3d::translation(AcGeVector3d(10, 0, 0))), Acad::eOk);
  ASSERT_EQ(open->setColorIndex(4), Acad::eOk);
  ASSERT_EQ(open->erase(), Acad::eOk);
  open->close();
  EXPECT_TRUE(attId.isErased());
  dbtest::Opened<AcDbAttribute> erasedAtt(attId, AcDb::kForRead, true);
  expectNear(erasedAtt->position(), AcGePoint3d(11, 1, 0));
  EXPECT_EQ(erasedAtt->colorIndex(), 4);
}

TEST(BlockReferences, MultiInsertExplodesEveryCell) {
  AcDbDatabase db;
  AcDbObjectId block;
  dbtest::appendToBlock(db, "CELL", new AcDbPoint(AcGePoint3d(0, 0, 0)), &block);
  AcDbMInsertBlock grid(AcGePoint3d(1, 1, 0), block, 3, 2, 10.0, 5.0);
  grid.setRotation(kPi / 2);
  Owned pieces;
  ASSERT_EQ(grid.explode(pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 6);
  // Columns run along the rotated X axis (+Y), rows along the rotated Y axis (-X).
  expectNear(pieces.as<AcDbPoint>(2)->position(), AcGePoint3d(1, 21, 0));
  expectNear(pieces.as<AcDbPoint>(5)->position(), AcGePoint3d(-4, 21, 0));
}

// The shared bulges on one polyline of kSide-long chords: both polyline kinds and the
// geometry's arc from a bulge must agree on what is straight, where every arc goes and how
// long the path is.
TEST(OldStylePolylines, AgreeWithTheLightweightOneAndTheGeometryOnEveryBulge) {
  const auto& bulges = bulgecases::kBulges;
  const double kSide = bulgecases::kSide;
  AcDbDatabase db;
  AcDbPolyline light;
  AcGePoint3dArray points;
  AcGeDoubleArray bulgeArray;
  for (unsigned int i = 0; i <= std::size(bulges); ++i) {
    const double b = i < std::size(bulges) ? bulges[i] : 0.0;
    light.addVertexAt(i, AcGePoint2d(kSide * i, 0.0), b);
    points.append(AcGePoint3d(kSide * i, 0.0, 0.0));
    bulgeArray.append(b);
  }
  const AcDbObjectId id = appendToModelSpace(
      db, new AcDb2dPolyline(AcDb::k2dSimplePoly, points, 0.0, false, 0.0, 0.0, &bulgeArray));
  AcDb2dPolyline* old = nullptr;
  ASSERT_EQ(acdbOpenObject(old, id, AcDb::kForRead), Acad::eOk);
  Owned lightPieces, oldPieces;
  ASSERT_EQ(light.explode(lightPieces.items), Acad::eOk);
  ASSERT_EQ(old->explode(oldPieces.items), Acad::eOk);
  ASSERT_EQ(lightPieces.size(), int(std::size(bulges)));
  ASSERT_EQ(oldPieces.size(), int(std::size(bulges)));
  for (unsigned int i = 0; i < std::size(bulges); ++i) {
    SCOPED_TRACE(bulges[i]);
    const AcGePoint2d a(kSide * i, 0.0), b(kSide * (i + 1), 0.0);
    const AcGeCircArc2d unit;
    const AcGeCircArc2d fromBulge(a, b, bulges[i], Adesk::kFalse);
    AcGeCircArc2d seg;
    if (light.segType(i) == AcDbPolyline::kLine) {
      EXPECT_EQ(fromBulge.center(), unit.center());  // a straight bulge leaves the arc as it was
      EXPECT_EQ(fromBulge.radius(), unit.radius());
      EXPECT_NE(lightPieces.as<AcDbLine>(int(i)), nullptr);
      EXPECT_NE(oldPieces.as<AcDbLine>(int(i)), nullptr);
    } else {
      ASSERT_EQ(light.getArcSegAt(i, seg), Acad::eOk);
      EXPECT_NEAR(seg.startPoint().distanceTo(a), 0.0, 1e-5);  // it runs the polyline's way
      EXPECT_EQ(static_cast<bool>(seg.isClockWise()), bulges[i] < 0.0);
      EXPECT_NEAR(fromBulge.radius(), seg.radius(), 1e-9 * seg.radius());
      EXPECT_NEAR(fromBulge.center().distanceTo(seg.center()), 0.0, 1e-9 * seg.radius());
      EXPECT_NEAR(fromBulge.sweep(), seg.sweep(), 1e-12);
      for (const Owned* pieces : {&lightPieces, &oldPieces}) {
        const AcDbArc* arc = pieces->as<AcDbArc>(int(i));
        ASSERT_NE(arc, nullptr);
        EXPECT_NEAR(arc->radius(), seg.radius(), 1e-9 * seg.radius());
      }
    }
    for (double t : {0.25, 0.5}) {
      AcGePoint3d p, q;
      double dl = 0.0, d2 = 0.0;
      ASSERT_EQ(light.getPointAtParam(i + t, p), Acad::eOk);
      ASSERT_EQ(old->getPointAtParam(i + t, q), Acad::eOk);
      EXPECT_EQ(p, q);
      ASSERT_EQ(light.getDistAtParam(i + t, dl), Acad::eOk);
      ASSERT_EQ(old->getDistAtParam(i + t, d2), Acad::eOk);
      EXPECT_EQ(dl, d2);
    }
  }
  old->close();
}

TEST(OldStylePolylines, VerticesIteratorAndExplode) {
  AcDbDatabase db;
  const AcGeDoubleArray bulges = dbtest::arrayOf<double>({0.0, 1.0, 0.0});
  auto* pl = new AcDb2dPolyline(AcDb::k2dSimplePoly, dbtest::arrayOf<AcGePoint3d>({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}}), 1.5,
                                true, 0.0, 0.0, &bulges);
  ASSERT_EQ(pl->appendVertex(new AcDb2dVertex(AcGePoint3d(0, 2, 0))), Acad::eOk);
  const AcDbObjectId id = dbtest::appendToModelSpace(db, pl);
  AcDb2dPolyline* open = nullptr;
  ASSERT_EQ(acdbOpenObject(open, id, AcDb::kForRead), Acad::eOk);
  AcDbObjectIterator* it = open->vertexIterator();
  int count = 0;
  for (it->start(); !it->done(); it->step()) {
    AcDb2dVertex* v = nullptr;
    ASSERT_EQ(open->openVertex(v, it->objectId(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(v->ownerId(), id);
    if (count == 3) expectNear(open->vertexPosition(*v), AcGePoint3d(0, 2, 1.5));
    v->close();
    ++count;
  }
  delete it;
  EXPECT_EQ(count, 4);
  Owned pieces;
  ASSERT_EQ(open->explode(pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 4);
  EXPECT_NE(pieces.as<AcDbArc>(1), nullptr);
  EXPECT_NEAR(pieces.as<AcDbArc>(1)->radius(), 1.0, kTol);
  expectNear(pieces.as<AcDbLine>(3)->endPoint(), AcGePoint3d(0, 0, 1.5));
  double dist = 0.0, end = 0.0;
  open->getEndParam(end);
  ASSERT_EQ(open->getDistAtParam(end, dist), Acad::eOk);
  EXPECT_NEAR(dist, 2 + kPi + 2 + 2, kTol);
  open->close();
}

TEST(Hatches, LoopsInBothFormsAndTransforms) {
  AcDbHatch hatch;
  EXPECT_TRUE(hatch.isSolidFill());
  ASSERT_EQ(hatch.appendLoop(AcDbHatch::kExternal, dbtest::arrayOf<AcGePoint2d>({{0, 0}, {4, 0}, {4, 4}}), AcGeDoubleArray()),
            Acad::eOk);
  AcGeVoidPointerArray edges;
  AcGeIntArray types;
  AcGeLineSeg2d a(AcGePoint2d(1, 1), AcGePoint2d(2, 1));
  AcGeCircArc2d b(AcGePoint2d(2, 1.5), 0.5, -kPi / 2, kPi / 2);  // counter-clockwise on the right
  AcGeLineSeg2d c(AcGePoint2d(2, 2), AcGePoint2d(1, 2));
  AcGeLineSeg2d d(AcGePoint2d(1, 2), AcGePoint2d(1, 1));
  for (void* e : {(void*)&a, (void*)&b, (void*)&c, (void*)&d}) edges.append(e);
  for (int t : {AcDbHatch::kLine, AcDbHatch::kCirArc, AcDbHatch::kLine, AcDbHatch::kLine}) types.append(t);
  ASSERT_EQ(hatch.appendLoop(AcDbHatch::kDefault, edges, types), Acad::eOk);
  EXPECT_EQ(hatch.numLoops(), 2);
  EXPECT_EQ(hatch.loopTypeAt(0), AcDbHatch::kExternal | AcDbHatch::kPolyline);
  Adesk::Int32 type = 0;
  AcGePoint2dArray outVerts;
  AcGeDoubleArray outBulges;
  ASSERT_EQ(hatch.getLoopAt(1, type, outVerts, outBulges), Acad::eOk);
  ASSERT_EQ(outVerts.length(), 4);
  EXPECT_TRUE(outVerts[1].isEqualTo(AcGePoint2d(2, 1)));
  EXPECT_NEAR(outBulges[1], 1.0, kTol);  // a counter-clockwise half circle
  AcGeVoidPointerArray outEdges;
  AcGeIntArray outTypes;
  ASSERT_EQ(hatch.getLoopAt(0, type, outEdges, outTypes), Acad::eOk);
  EXPECT_EQ(outEdges.length(), 3);
  for (void* e : outEdges) delete static_cast<AcGeLineSeg2d*>(e);
  ASSERT_EQ(hatch.setPattern(AcDbHatch::kPreDefined, "ANSI31"), Acad::eOk);
  EXPECT_FALSE(hatch.isSolidFill());
  ASSERT_EQ(hatch.transformBy(AcGeMatrix3d::translation(AcGeVector3d(10, 0, 0)) * AcGeMatrix3d::scaling(2.0)), Acad::eOk);
  EXPECT_NEAR(hatch.patternScale(), 2.0, kTol);
  dbtest::expectExtents(hatch, AcGePoint3d(10, 0, 0), AcGePoint3d(18, 8, 0));
  ASSERT_EQ(hatch.getLoopAt(1, type, outVerts, outBulges), Acad::eOk);
  EXPECT_TRUE(outVerts[2].isEqualTo(AcGePoint2d(14, 4)));
  EXPECT_NEAR(outBulges[1], 1.0, kTol);
  EXPECT_EQ(hatch.removeLoopAt(5), Acad::eInvalidIndex);
}

TEST(Regions, LoopsMeasureExplodeAndTransform) {
  AcDbRegion region;
  EXPECT_TRUE(region.isNull());
  contura::db::RegionData data;
  data.origin = AcGePoint3d(0, 0, 5);
  data.loops.push_back({{AcGePoint2d(0, 0), 0}, {AcGePoint2d(4, 0), 0}, {AcGePoint2d(4, 4), 0}, {AcGePoint2d(0, 4), 0}});
  // A hole: a circle of radius 1 as two half circles.
  data.loops.push_back({{AcGePoint2d(1, 2), 1.0}, {AcGePoint2d(3, 2), 1.0}});
  ASSERT_EQ(contura::db::setRegionData(region, data), Acad::eOk);
  double area = 0.0, perimeter = 0.0;
  ASSERT_EQ(region.getArea(area), Acad::eOk);
  EXPECT_NEAR(area, 16.0 - kPi, kTol);
  ASSERT_EQ(region.getPerimeter(perimeter), Acad::eOk);
  EXPECT_NEAR(perimeter, 16.0 + 2 * kPi, kTol);
  Owned pieces;
  ASSERT_EQ(region.explode(pieces.items), Acad::eOk);
  ASSERT_EQ(pieces.size(), 6);
  expectNear(pieces.as<AcDbLine>(0)->endPoint(), AcGePoint3d(4, 0, 5));
  EXPECT_NEAR(pieces.as<AcDbArc>(4)->radius(), 1.0, kTol);
  ASSERT_EQ(region.transformBy(AcGeMatrix3d::scaling(3.0)), Acad::eOk);
  ASSERT_EQ(region.getArea(area), Acad::eOk);
  EXPECT_NEAR(area, 9 * (16.0 - kPi), 1e-8);
  AcDbExtents ext;
  ASSERT_EQ(region.getGeomExtents(ext), Acad::eOk);
  expectNear(ext.maxPoint(), AcGePoint3d(12, 12, 15));
  EXPECT_EQ(region.transformBy(AcGeMatrix3d::scaling(AcGeScale3d(1, 2, 1))), Acad::eCannotScaleNonUniformly);

  AcDb3dSolid solid;
  EXPECT_TRUE(solid.isNull());
  ASSERT_EQ(solid.extrude(&region, -2.0), Acad::eOk);
  ASSERT_EQ(solid.getGeomExtents(ext), Acad::eOk);
  expectNear(ext.minPoint(), AcGePoint3d(0, 0, 13));
}

TEST(Splines, RationalQuadraticIsAQuarterCircle) {
  const AcGePoint3dArray ctl = dbtest::arrayOf<AcGePoint3d>({{1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  const AcGeDoubleArray knots = dbtest::arrayOf<double>({0, 0, 0, 1, 1, 1});
  AcGeDoubleArray weights = dbtest::arrayOf<double>({1.0, std::sqrt(0.5), 1.0});
  AcDbSpline arc(2, true, false, false, ctl, knots, weights);
  EXPECT_TRUE(arc.isRational());
  EXPECT_TRUE(arc.isPlanar());
  weights[1] = -1.0;
  AcDbSpline bad;
  EXPECT_EQ(bad.setNurbsData(2, true, false, false, ctl, knots, weights), Acad::eInvalidInput);
  AcDbExtents ext;
  ASSERT_EQ(arc.getGeomExtents(ext), Acad::eOk);
  EXPECT_EQ(ext.maxPoint(), AcGePoint3d(1, 1, 0));
  ASSERT_EQ(arc.transformBy(AcGeMatrix3d::translation(AcGeVector3d(0, 0, 2))), Acad::eOk);
  EXPECT_EQ(dbtest::startOf(arc), AcGePoint3d(1, 0, 2));
}

TEST(Ellipses, AnglesParametersAndArcs) {
  AcDbEllipse e(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5, kPi / 4, kPi);
  // The start angle is geometric: the point at it lies on the ray of that angle.
  AcGePoint3d p;
  e.getStartPoint(p);
  EXPECT_NEAR(std::atan2(p.y, p.x), kPi / 4, kTol);
  EXPECT_NEAR(e.startAngle(), kPi / 4, kTol);
  for (double a : {0.1, 1.0, 2.0, 4.0, 6.0}) EXPECT_NEAR(e.angleAtParam(e.paramAtAngle(a)), a, kTol);
  EXPECT_FALSE(e.isClosed());
  double param = 0.0;
  EXPECT_EQ(e.getParamAtPoint(AcGePoint3d(4, 0, 0), param), Acad::eInvalidInput);  // outside the arc
  ASSERT_EQ(e.getParamAtPoint(AcGePoint3d(-4, 0, 0), param), Acad::eOk);
  EXPECT_NEAR(param, kPi, kTol);
  AcDbEllipse full(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5);
  EXPECT_TRUE(full.isClosed());
  double start = 0.0, end = 0.0;
  full.getStartParam(start);
  full.getEndParam(end);
  EXPECT_NEAR(end - start, 2 * kPi, kTol);
  // Mirroring keeps the normal and reverses the run: the arc's points map onto the image.
  const AcGeMatrix3d mirror = AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(1, 0, 0), AcGeVector3d::kXAxis));
  AcDbEllipse mirrored(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.5, kPi / 4, kPi);
  ASSERT_EQ(mirrored.transformBy(mirror), Acad::eOk);
  EXPECT_TRUE(mirrored.normal().isEqualTo(AcGeVector3d::kZAxis));
  for (double t : {kPi / 4, 2.0, kPi}) {
    e.getPointAtParam(t, p);
    EXPECT_EQ(mirrored.getParamAtPoint(mirror * p, param), Acad::eOk) << t;
  }
}

TEST(Hatches, ClockwiseArcEdgesAndFullData) {
  AcDbHatch hatch;
  contura::db::HatchData data = contura::db::hatchData(hatch);
  contura::db::HatchLoop loop;
  contura::db::HatchEdge top;
  top.type = AcDbHatch::kLine;
  top.start = AcGePoint2d(-1, 0);
  top.end = AcGePoint2d(1, 0);
  contura::db::HatchEdge arc;  // clockwise from (1,0) down to (-1,0): angles stored clockwise
  arc.type = AcDbHatch::kCirArc;
  arc.center = AcGePoint2d(0, 0);
  arc.radius = 1.0;
  arc.startAngle = 0.0;
  arc.endAngle = kPi;
  arc.ccw = false;
  loop.edges = {top, arc};
  data.loops.push_back(loop);
  ASSERT_EQ(contura::db::setHatchData(hatch, data), Acad::eOk);
  Adesk::Int32 type = 0;
  AcGePoint2dArray verts;
  AcGeDoubleArray bulges;
  ASSERT_EQ(hatch.getLoopAt(0, type, verts, bulges), Acad::eOk);
  ASSERT_EQ(verts.length(), 2);
  EXPECT_TRUE(verts[1].isEqualTo(AcGePoint2d(1, 0)));
  EXPECT_NEAR(bulges[1], -1.0, kTol);  // clockwise half circle
  AcDbExtents ext;
  ASSERT_EQ(hatch.getGeomExtents(ext), Acad::eOk);
  EXPECT_NEAR(ext.minPoint().y, 1.0 * 0 - 1.0, kTol);  // passes through (0,-1)
  AcGeVoidPointerArray edges;
  AcGeIntArray types;
  ASSERT_EQ(hatch.getLoopAt(0, type, edges, types), Acad::eOk);
  auto* geArc = static_cast<AcGeCircArc2d*>(edges[1]);
  EXPECT_TRUE(geArc->isClockWise());
  EXPECT_TRUE(geArc->startPoint().isEqualTo(AcGePoint2d(1, 0)));
  EXPECT_TRUE(geArc->endPoint().isEqualTo(AcGePoint2d(-1, 0)));
  delete static_cast<AcGeLineSeg2d*>(edges[0]);
  delete geArc;
  // Mirrored, the arc turns counter-clockwise and still joins the line's ends.
  ASSERT_EQ(hatch.transformBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(), AcGeVector3d::kYAxis))), Acad::eOk);
  ASSERT_EQ(hatch.getLoopAt(0, type, verts, bulges), Acad::eOk);
  EXPECT_NEAR(bulges[1], 1.0, kTol);
  ASSERT_EQ(hatch.getGeomExtents(ext), Acad::eOk);
  EXPECT_NEAR(ext.maxPoint().y, 1.0, kTol);
  // Elliptic edges have no polyline form.
  data = contura::db::hatchData(hatch);
  data.loops[0].edges[1].type = AcDbHatch::kEllArc;
  data.loops[0].edges[1].majorAxis = AcGeVector2d(1, 0);
  contura::db::setHatchData(hatch, data);
  EXPECT_EQ(hatch.getLoopAt(0, type, verts, bulges), Acad::eNotApplicable);
  EXPECT_EQ(hatch.transformBy(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(), AcGeVector3d::kYAxis))),
            Acad::eNotApplicable);
}

TEST(MText, RotatedExtentsAndTransforms) {
  AcDbMText m;
  m.setContents("ab");
  m.setTextHeight(3.0);  // "ab": 4 wide, 3 high
  m.setLocation(AcGePoint3d(1, 1, 0));
  m.setRotation(kPi / 2);
  AcDbExtents ext;
  ASSERT_EQ(m.getGeomExtents(ext), Acad::eOk);
  // Top-left at the location; the text runs up (+Y) and its lines go right (+X).
  EXPECT_TRUE(ext.minPoint().isEqualTo(AcGePoint3d(1, 1, 0)));
  EXPECT_TRUE(ext.maxPoint().isEqualTo(AcGePoint3d(4, 5, 0)));
  ASSERT_EQ(m.transformBy(AcGeMatrix3d::scaling(2.0, AcGePoint3d(1, 1, 0))), Acad::eOk);
  EXPECT_NEAR(m.textHeight(), 6.0, kTol);
  ASSERT_EQ(m.getGeomExtents(ext), Acad::eOk);
  EXPECT_TRUE(ext.maxPoint().isEqualTo(AcGePoint3d(7, 9, 0)));
}

TEST(Curves, RaysLinesAndSolids) {
  AcDbRay ray;
  ray.setBasePoint(AcGePoint3d(1, 1, 0));
  ray.setSecondPoint(AcGePoint3d(1, 3, 0));
  EXPECT_TRUE(ray.unitDir().isEqualTo(AcGeVector3d::kYAxis));
  double param = 0.0;
  EXPECT_EQ(ray.getEndParam(param), Acad::eNotApplicable);
  ASSERT_EQ(ray.getParamAtPoint(AcGePoint3d(1, 11, 0), param), Acad::eOk);
  EXPECT_NEAR(param, 10.0, kTol);
  EXPECT_EQ(ray.getParamAtPoint(AcGePoint3d(1, -1, 0), param), Acad::eInvalidInput);
  AcDbXline xline;
  xline.setBasePoint(AcGePoint3d(1, 1, 0));
  xline.setUnitDir(AcGeVector3d(0, 2, 0));
  ASSERT_EQ(xline.getParamAtPoint(AcGePoint3d(1, -1, 0), param), Acad::eOk);
  EXPECT_NEAR(param, -2.0, kTol);
  AcGePoint3d p;
  EXPECT_EQ(xline.getStartPoint(p), Acad::eNotApplicable);

  AcDbSolid solid(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0), AcGePoint3d(0, 1, 0), AcGePoint3d(2, 1, 0));
  ASSERT_EQ(solid.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kXAxis)), Acad::eOk);
  EXPECT_TRUE(solid.normal().isEqualTo(AcGeVector3d(0, -1, 0)));
  dbtest::expectExtents(solid, AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 1));
}

TEST(Polyline, SettersCheckTheirIndex) {
  AcDbPolyline pl;
  double b = 0.0;
  EXPECT_EQ(pl.setPointAt(0, AcGePoint2d()), Acad::eInvalidIndex);
  EXPECT_EQ(pl.getBulgeAt(0, b), Acad::eInvalidIndex);
  EXPECT_EQ(pl.getStartParam(b), Acad::eDegenerateGeometry);
  for (unsigned i = 0; i < 5; ++i) pl.addVertexAt(i, AcGePoint2d(i, 0));
  EXPECT_EQ(pl.setBulgeAt(4, 0.5), Acad::eOk);
  EXPECT_EQ(pl.setBulgeAt(5, 0.5), Acad::eInvalidIndex);
  EXPECT_EQ(pl.setWidthsAt(2, -1.0, 1.0), Acad::eInvalidInput);
  EXPECT_EQ(pl.setWidthsAt(2, 0.5, 1.0), Acad::eOk);
  EXPECT_TRUE(pl.hasWidth());
  EXPECT_TRUE(pl.hasBulges());
  pl.reset(true, 2);
  EXPECT_EQ(pl.numVerts(), 2u);
  EXPECT_FALSE(pl.hasWidth());
  EXPECT_FALSE(pl.hasBulges());
  pl.reset(false, 0);
  EXPECT_EQ(pl.numVerts(), 0u);
}

}  // namespace
