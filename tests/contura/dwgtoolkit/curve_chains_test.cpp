// CDwgDatabase's breaking, chaining, zones, loops and regions: the known answers of their
// definitions, and the indexed array members against straightforward implementations of the
// same definitions on random curve sets.
#include <gtest/gtest.h>

#include <dbents.h>
#include <dbpl.h>
#include <dbregion.h>

#include <memory>
#include <random>
#include <vector>

#include "DwgDatabase.h"
#include "drawing_fixture.h"

namespace {

// Curves the test owns, handed to the toolkit as a curve array.
struct Curves {
  std::vector<std::unique_ptr<AcDbCurve>> owned;
  AcDbVoidPtrArray array;
  AcDbCurve* line(double x0, double y0, double x1, double y1) {
    return add(std::make_unique<AcDbLine>(AcGePoint3d(x0, y0, 0), AcGePoint3d(x1, y1, 0)));
  }
  AcDbCurve* add(std::unique_ptr<AcDbCurve> c) {
    owned.push_back(std::move(c));
    array.append(owned.back().get());
    return owned.back().get();
  }
};

AcGePoint3d startOf(void* c) { return CDwgDatabase::getCurveStartPt(static_cast<AcDbCurve*>(c)); }
AcGePoint3d endOf(void* c) { return CDwgDatabase::getCurveEndPt(static_cast<AcDbCurve*>(c)); }

TEST(DwgToolkitBreaking, KnownAnswers) {
  CDwgDatabase toolkit(nullptr);
  AcDbLine line(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0));
  AcDbVoidPtrArray pieces;
  ASSERT_EQ(toolkit.breakCurve(pieces, &line, AcGePoint3d(4, 0, 0)), 0);
  ASSERT_EQ(pieces.length(), 2);
  EXPECT_EQ(endOf(pieces[0]), AcGePoint3d(4, 0, 0));
  EXPECT_EQ(startOf(pieces[1]), AcGePoint3d(4, 0, 0));
  CDwgDatabase::deleteAcdbVoidArray(pieces);
  EXPECT_EQ(toolkit.breakCurve(pieces, &line, AcGePoint3d(0.05, 0, 0)), 3);  // at an end
  EXPECT_EQ(toolkit.breakCurve(pieces, &line, AcGePoint3d(4, 0.2, 0)), 1);   // off the line
  EXPECT_EQ(pieces.length(), 0);

  AcGePoint3dArray points;
  for (double x : {2.0, 2.05, 6.0}) points.append(AcGePoint3d(x, 0, 0));
  ASSERT_EQ(toolkit.breakCurve(pieces, &line, points), 0);
  EXPECT_EQ(pieces.length(), 3);  // 2.05 is the same point as 2.0
  CDwgDatabase::deleteAcdbVoidArray(pieces);

  AcDbPolyline pline;
  for (unsigned int i = 0; i < 4; i++) pline.addVertexAt(i, AcGePoint2d(i * 3.0, i % 2 ? 1.0 : 0.0));
  const AcGePoint3d midSecond(4.5, 0.5, 0);
  ASSERT_EQ(toolkit.breakCurve(pieces, &pline, midSecond), 0);
  ASSERT_EQ(pieces.length(), 4);  // the first, the third, then the halves of the second
  EXPECT_EQ(startOf(pieces[0]), AcGePoint3d(0, 0, 0));
  EXPECT_EQ(startOf(pieces[1]), AcGePoint3d(6, 0, 0));
  EXPECT_EQ(endOf(pieces[2]), midSecond);
  EXPECT_EQ(startOf(pieces[3]), midSecond);
  CDwgDatabase::deleteAcdbVoidArray(pieces);
}

TEST(DwgToolkitChains, ChainingInOrderWithAndWithoutBridges) {
  CDwgDatabase toolkit(nullptr);
  Curves c;
  AcDbCurve* a = c.line(0, 0, 1, 0);
  AcDbCurve* cc = c.line(2, 0, 3, 0);
  AcDbCurve* b = c.line(1, 0, 2, 0);
  AcDbVoidPtrArray chain(c.array);
  ASSERT_EQ(toolkit.sortCurvesByContinue(chain, false, 0.0), 0);
  ASSERT_EQ(chain.length(), 3);
  EXPECT_EQ(chain[0], a);
  EXPECT_EQ(chain[1], b);
  EXPECT_EQ(chain[2], cc);

  Curves gap;
  gap.line(0, 0, 1, 0);
  gap.line(2.5, 0, 3, 0);
  gap.line(1, 0, 2, 0);
  AcDbVoidPtrArray unchanged(gap.array);
  EXPECT_EQ(toolkit.sortCurvesByContinue(unchanged, false, 0.0), 1);
  EXPECT_EQ(unchanged, gap.array);
  EXPECT_EQ(toolkit.sortCurvesByContinue(unchanged, true, 0.4), 1);
  ASSERT_EQ(toolkit.sortCurvesByContinue(unchanged, true, 0.5), 0);
  ASSERT_EQ(unchanged.length(), 4);
  EXPECT_EQ(startOf(unchanged[2]), AcGePoint3d(2, 0, 0));  // the bridge, the caller's to delete
  EXPECT_EQ(endOf(unchanged[2]), AcGePoint3d(2.5, 0, 0));
  delete static_cast<AcDbCurve*>(unchanged[2]);

  int most = -1, least = -1;
  Curves same;
  same.line(0, 0, 1, 0);
  same.line(0, 0, 2, 0);
  ASSERT_EQ(toolkit.getCurveAtPtSortInfo(most, least, same.array, AcGePoint3d(0, 0, 0), AcGeVector3d(0, 1, 0)), 0);
  EXPECT_EQ(most, 0);
  EXPECT_EQ(least, 0);
  AcDbRegion* pNone = nullptr;
  AcDbVoidPtrArray empty;
  EXPECT_EQ(toolkit.createRegionFromCurveArray(pNone, empty), 1);
}

TEST(DwgToolkitChains, LoopsAroundAPickedPointInnerAndOuter) {
  // Two cells side by side: (0,0)-(200,100) and (200,0)-(400,100), sharing the edge x = 200,
  // every edge a piece of its own.
  CDwgDatabase toolkit(nullptr);
  Curves c;
  c.line(0, 0, 200, 0);
  c.line(200, 0, 400, 0);
  c.line(400, 0, 400, 100);
  c.line(400, 100, 200, 100);
  c.line(200, 100, 0, 100);
  c.line(0, 100, 0, 0);
  c.line(200, 0, 200, 100);
  AcDbVoidPtrArray loop;
  ASSERT_EQ(toolkit.getRegionFromCurveIdArrayOnPoint(loop, c.array, AcGePoint3d(50, 50, 0), false), 0);
  EXPECT_EQ(loop.length(), 4);
  AcDbRegion* pRegion = nullptr;
  ASSERT_EQ(CDwgDatabase::createRegionFromCurves(pRegion, loop), 0);
  double area = 0.0;
  pRegion->getArea(area);
  EXPECT_NEAR(area, 20000.0, 1e-6);  // the left cell
  delete pRegion;

  ASSERT_EQ(toolkit.getCurveZoneOutLoop(loop, c.array), 0);
  EXPECT_EQ(loop.length(), 6);  // the outline of both cells
  ASSERT_EQ(CDwgDatabase::createRegionFromCurves(pRegion, loop), 0);
  pRegion->getArea(area);
  EXPECT_NEAR(area, 40000.0, 1e-6);
  AcDbPolyline* pOutline = nullptr;
  ASSERT_EQ(CDwgDatabase::getRegionExtentPL(pOutline, pRegion), 0);
  double outlineArea = 0.0;
  pOutline->getArea(outlineArea);
  EXPECT_NEAR(outlineArea, 40000.0, 1e-6);
  delete pOutline;
  delete pRegion;
  EXPECT_EQ(toolkit.getRegionFromCurveIdArrayOnPoint(loop, c.array, AcGePoint3d(1000, 1000, 0), false), 1);  // nothing hit
}

// The zone definition as written: rescan from the front after every addition.
std::vector<std::vector<void*>> zonesByDefinition(AcDbVoidPtrArray& curves) {
  std::vector<void*> work(curves.begin(), curves.end());
  std::vector<std::vector<void*>> zones;
  while (!work.empty()) {
    std::vector<void*> zone{work.front()};
    AcGePoint3dArray points;
    CDwgDatabase::addPointToArray(points, startOf(work.front()));
    CDwgDatabase::addPointToArray(points, endOf(work.front()));
    work.erase(work.begin());
    for (bool added = true; added;) {
      added = false;
      for (size_t i = 0; i < work.size(); i++) {
        if (!CDwgDatabase::isPointInArray(points, startOf(work[i])) && !CDwgDatabase::isPointInArray(points, endOf(work[i])))
          continue;
        zone.push_back(work[i]);
        CDwgDatabase::addPointToArray(points, startOf(work[i]));
        CDwgDatabase::addPointToArray(points, endOf(work[i]));
        work.erase(work.begin() + i);
        added = true;
        break;
      }
    }
    zones.push_back(zone);
  }
  return zones;
}

TEST(DwgToolkitChains, ZonesAndLinkedGroupsAreThoseOfTheirDefinitions) {
  CDwgDatabase toolkit(nullptr);
  Curves two;  // two separate triangles, the second's first curve given first
  two.line(10, 0, 11, 0);
  two.line(0, 0, 1, 0);
  two.line(1, 0, 0, 1);
  two.line(11, 0, 10, 1);
  two.line(0, 1, 0, 0);
  two.line(10, 1, 10, 0);
  CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&> zones;
  toolkit.getCurvesZone(zones, two.array);
  ASSERT_EQ(zones.GetSize(), 2);
  EXPECT_EQ(zones[0][0], two.array[0]);
  EXPECT_EQ(zones[0].length(), 3);

  // Short lines on a coarse lattice, so that ends meet often and near-misses are common.
  std::mt19937 random(11);
  std::uniform_int_distribution<int> cell(0, 30), step(-1, 1);
  std::uniform_real_distribution<double> jitter(-0.07, 0.07);
  Curves many;
  for (int i = 0; i < 600; i++) {
    double x = cell(random), y = cell(random);
    many.line(x + jitter(random), y + jitter(random), x + step(random) + jitter(random), y + step(random) + 0.5);
  }
  toolkit.getCurvesZone(zones, many.array);
  std::vector<std::vector<void*>> expected = zonesByDefinition(many.array);
  ASSERT_EQ(static_cast<size_t>(zones.GetSize()), expected.size());
  for (size_t z = 0; z < expected.size(); z++)
    EXPECT_EQ(std::vector<void*>(zones[z].begin(), zones[z].end()), expected[z]) << "zone " << z;

  // Linked groups: a single pass over the array, each curve checked against those still linked.
  AcDbVoidPtrArray open, linked;
  ASSERT_EQ(toolkit.divideCurvesIsLinked2End(open, linked, many.array), 0);
  std::vector<void*> stillLinked(many.array.begin(), many.array.end()), expectedOpen;
  for (size_t i = 0; i < stillLinked.size();) {
    auto linkedAt = [&](const AcGePoint3d& p) {
      for (size_t j = 0; j < stillLinked.size(); j++)
        if (j != i && (startOf(stillLinked[j]).distanceTo(p) <= 5.0 || endOf(stillLinked[j]).distanceTo(p) <= 5.0))
          return true;
      return false;
    };
    if (linkedAt(startOf(stillLinked[i])) && linkedAt(endOf(stillLinked[i]))) {
      i++;
    } else {
      expectedOpen.push_back(stillLinked[i]);
      stillLinked.erase(stillLinked.begin() + i);
    }
  }
  EXPECT_EQ(std::vector<void*>(open.begin(), open.end()), expectedOpen);
  EXPECT_EQ(std::vector<void*>(linked.begin(), linked.end()), stillLinked);

  Curves triangle;
  triangle.line(0, 0, 10, 0);
  triangle.line(10, 0, 0, 10);
  triangle.line(0, 10, 0, 0);
  triangle.line(10, 0, 30, 0);  // touches the triangle at one end only
  ASSERT_EQ(toolkit.divideCurvesIsLinked2End(open, linked, triangle.array), 0);
  EXPECT_EQ(linked.length(), 3);
  ASSERT_EQ(open.length(), 1);
  EXPECT_EQ(open[0], triangle.array[3]);
}

TEST(DwgToolkitChains, ShortCurvesAreErasedUpToTheirLengthInclusive) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  AcDbObjectId exact = drawing.add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
  AcDbObjectId longer = drawing.add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1.01, 0, 0)));
  AcDbObjectIdArray ids;
  ids.append(exact);
  ids.append(AcDbObjectId::kNull);
  ids.append(longer);
  ASSERT_EQ(toolkit.eraseCurveShort(ids, 1.0), 0);
  ASSERT_EQ(ids.length(), 1);
  EXPECT_EQ(ids[0], longer);
  AcDbEntity* pErased = nullptr;
  EXPECT_EQ(acdbOpenAcDbEntity(pErased, exact, AcDb::kForRead), Acad::eWasErased);
}

}  // namespace
