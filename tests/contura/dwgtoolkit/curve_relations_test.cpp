// CDwgDatabase's curve relations: the tolerances of the parallel and concentric tests at their
// borders, crossing points of parallel curves, and the crossings of a curve array against the
// all-pairs definition it must reproduce.
#include <gtest/gtest.h>

#include <dbents.h>
#include <dbpl.h>

#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "DwgDatabase.h"

namespace {

const double kPi = std::numbers::pi;

TEST(DwgToolkitCurveRelations, ParallelAndConcentricAtTheirBorders) {
  AcDbLine a(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)), b(AcGePoint3d(0, 2, 0), AcGePoint3d(10, 2, 0));
  double dist = 0.0;
  ASSERT_TRUE(CDwgDatabase::isParallelCurves(dist, &a, &b, 0.1));
  EXPECT_DOUBLE_EQ(dist, 2.0);
  for (bool extend : {false, true}) {
    AcGePoint3dArray points;
    EXPECT_EQ(CDwgDatabase::getTwoCurveCrossPoint(points, &a, &b, extend), 0);
    EXPECT_EQ(points.length(), 0) << extend;  // 2.0 apart: they never meet
  }
  AcDbArc near(AcGePoint3d(0, 0, 0), 5.0, 0.0, 1.0), at29(AcGePoint3d(2.9, 0, 0), 7.0, 0.0, 1.0),
      at30(AcGePoint3d(3.0, 0, 0), 7.0, 0.0, 1.0);
  EXPECT_TRUE(CDwgDatabase::isParallelCurves(dist, &near, &at29, 0.1));
  EXPECT_DOUBLE_EQ(dist, 2.0);
  EXPECT_FALSE(CDwgDatabase::isParallelCurves(dist, &near, &at30, 0.1));

  AcDbLine onA(AcGePoint3d(12, 0.05, 0), AcGePoint3d(20, 0.05, 0));
  EXPECT_TRUE(CDwgDatabase::isOnSameCurves(&a, &onA, 0.1));
  EXPECT_FALSE(CDwgDatabase::isOnSameCurves(&a, &onA, 0.04));
  AcDbLine reversedA(AcGePoint3d(10, 0.05, 0), AcGePoint3d(0, 0, 0));
  CDwgDatabase toolkit(nullptr);
  EXPECT_TRUE(toolkit.isSameCurves(&a, &reversedA));
  EXPECT_FALSE(toolkit.isSameCurves(&a, &onA));
}

TEST(DwgToolkitCurveRelations, CollinearLinesMeetAtTheirNearestEnds) {
  AcDbLine first(AcGePoint3d(0, 0, 0), AcGePoint3d(5, 0, 0));
  AcDbLine close(AcGePoint3d(5.5, 0, 0), AcGePoint3d(10, 0, 0)), apart(AcGePoint3d(7, 0, 0), AcGePoint3d(10, 0, 0));
  AcGePoint3dArray points;
  ASSERT_EQ(CDwgDatabase::getTwoCurveCrossPoint(points, &first, &close, false), 0);
  ASSERT_EQ(points.length(), 1);
  EXPECT_EQ(points[0], AcGePoint3d(5, 0, 0));  // the first line's end
  ASSERT_EQ(CDwgDatabase::getTwoCurveCrossPoint(points, &first, &apart, true), 0);
  ASSERT_EQ(points.length(), 1);
  EXPECT_EQ(points[0], AcGePoint3d(6, 0, 0));  // the midpoint of the nearest ends
  ASSERT_EQ(CDwgDatabase::getTwoCurveCrossPoint(points, &first, &apart, false), 0);
  EXPECT_EQ(points.length(), 0);

  bool start1 = true, start2 = false;
  double dist = 0.0;
  ASSERT_EQ(CDwgDatabase::getTwoCurveCloestDist(dist, start1, start2, &first, &apart), 0);
  EXPECT_DOUBLE_EQ(dist, 2.0);
  EXPECT_FALSE(start1);
  EXPECT_TRUE(start2);
}

// The all-pairs definition: every pair (i, j), i < j, in order, each point added unless one
// within 0.1 is already there.
AcGePoint3dArray crossingsByDefinition(AcDbVoidPtrArray& curves) {
  AcGePoint3dArray out;
  for (int i = 0; i < curves.length(); i++) {
    for (int j = i + 1; j < curves.length(); j++) {
      AcGePoint3dArray found;
      static_cast<AcDbCurve*>(curves[i])->intersectWith(static_cast<AcDbCurve*>(curves[j]), AcDb::kOnBothOperands, found);
      CDwgDatabase::addPointToArray(out, found);
    }
  }
  return out;
}

TEST(DwgToolkitCurveRelations, CrossingsOfAnArrayAreThoseOfEveryPairInOrder) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coord(0.0, 200.0), size(1.0, 40.0), angle(0.0, 2.0 * kPi);
  std::vector<std::unique_ptr<AcDbCurve>> owned;
  AcDbVoidPtrArray curves;
  for (int i = 0; i < 400; i++) {
    AcGePoint3d p(coord(random), coord(random), 0);
    if (i % 3 == 0) {
      owned.push_back(std::make_unique<AcDbArc>(p, size(random) / 2, angle(random), angle(random)));
    } else {
      double a = angle(random), len = size(random);
      owned.push_back(std::make_unique<AcDbLine>(p, p + AcGeVector3d(std::cos(a), std::sin(a), 0) * len));
    }
    curves.append(owned.back().get());
  }
  // Bulged polylines, collinear overlapping lines and ends touching exactly on a lattice.
  std::uniform_int_distribution<int> lattice(0, 20);
  for (int i = 0; i < 120; i++) {
    double x = lattice(random) * 10.0, y = lattice(random) * 10.0;
    if (i % 2 == 0) {
      auto p = std::make_unique<AcDbPolyline>();
      p->addVertexAt(0, AcGePoint2d(x, y), 0.4);
      p->addVertexAt(1, AcGePoint2d(x + 10, y), -1.0);
      p->addVertexAt(2, AcGePoint2d(x + 10, y + 10), 0.0);
      owned.push_back(std::move(p));
    } else {
      owned.push_back(std::make_unique<AcDbLine>(AcGePoint3d(x, y, 0), AcGePoint3d(x + 20, y, 0)));
    }
    curves.append(owned.back().get());
  }
  // Some crossings fall within 0.1 of each other: three lines through one point.
  for (double a : {0.0, 1.0, 2.0}) {
    owned.push_back(std::make_unique<AcDbLine>(AcGePoint3d(100 - 5 * std::cos(a), 100 - 5 * std::sin(a), 0),
                                               AcGePoint3d(100 + 5 * std::cos(a), 100.05 + 5 * std::sin(a), 0)));
    curves.append(owned.back().get());
  }
  CDwgDatabase toolkit(nullptr);
  AcGePoint3dArray fast;
  ASSERT_EQ(toolkit.getCurveCrossPoints(fast, curves), 0);
  AcGePoint3dArray expected = crossingsByDefinition(curves);
  ASSERT_GT(expected.length(), 100);
  EXPECT_EQ(fast, expected);
}

}  // namespace
