// CDwgDatabase's frame, array, point and entity members: their results, the codes of their
// failing steps, and that every object they open is closed again.
#include <gtest/gtest.h>

#include <dbents.h>
#include <dbpl.h>

#include "DwgDatabase.h"
#include "drawing_fixture.h"

namespace {

AcDbObjectId someId(AcDbDatabase& db, AcDbEntity* pEnt) {
  CDwgDatabase toolkit(&db);
  AcDbObjectId id;
  EXPECT_EQ(toolkit.appendEntToDb(id, pEnt), 0);
  pEnt->close();
  return id;
}

// True when nothing holds the object open: a write open succeeds.
bool isClosed(AcDbObjectId id) {
  AcDbObject* pObj = nullptr;
  if (acdbOpenAcDbObject(pObj, id, AcDb::kForWrite, true) != Acad::eOk) return false;
  pObj->close();
  return true;
}

AcDbObjectIdArray idsOf(std::initializer_list<AcDbObjectId> ids) {
  AcDbObjectIdArray out;
  for (AcDbObjectId id : ids) out.append(id);
  return out;
}

TEST(DwgToolkitFrame, BindsTheWorkingDatabaseOrTheGivenOneAndCopiesShareIt) {
  Drawing drawing;
  AcDbDatabase other(true);
  CDwgDatabase toolkit;  // the working database of this moment
  EXPECT_EQ(toolkit.m_pDb, &drawing.db);
  AcDbObjectId first;
  ASSERT_EQ(toolkit.appendEntToDb(first, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0))), 0);
  EXPECT_EQ(first.database(), &drawing.db);
  EXPECT_FALSE(isClosed(first));  // the appended entity stays open for the caller
  AcDbEntity* pFirst = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(pFirst, first, AcDb::kForRead), Acad::eWasOpenForWrite);

  toolkit.setDb(&other);
  CDwgDatabase copy;
  copy = toolkit;
  EXPECT_EQ(copy.m_pDb, &other);
  AcDbLine* pSecond = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0));
  AcDbObjectId second;
  ASSERT_EQ(copy.appendEntToDb(second, pSecond), 0);
  EXPECT_EQ(second.database(), &other);
  pSecond->close();

  toolkit.setDb(nullptr);  // stored as given
  EXPECT_EQ(toolkit.m_pDb, nullptr);
  AcDbLine* pOrphan = new AcDbLine();
  EXPECT_EQ(toolkit.appendEntToDb(pOrphan), 1);
  delete pOrphan;  // refused: still the caller's
  EXPECT_EQ(toolkit.m_nLastResult, 6);
}

TEST(DwgToolkitArrays, SetOperationsKeepTheOrderOfWhatRemains) {
  Drawing drawing;
  AcDbObjectId a = someId(drawing.db, new AcDbLine()), b = someId(drawing.db, new AcDbLine()),
               c = someId(drawing.db, new AcDbLine());
  AcDbObjectIdArray ids = idsOf({a, b, c}), keep = idsOf({c, a}), none;
  CDwgDatabase::getObjIdArrayInTolArray(ids, keep);
  EXPECT_EQ(ids, idsOf({a, c}));
  CDwgDatabase::getObjIdArrayInTolArray(ids, none);
  EXPECT_EQ(ids.length(), 0);

  AcDbObjectIdArray from = idsOf({a, b}), to = idsOf({b});
  CDwgDatabase::appendIdArrayToIdArray(from, to);
  EXPECT_EQ(to, idsOf({b, a}));

  AcDbObjectIdArray repeated = idsOf({a, b, a, c, a}), remove = idsOf({a});
  CDwgDatabase::removeIdArrayFromIdArray(remove, repeated);  // first occurrence only
  EXPECT_EQ(repeated, idsOf({b, a, c, a}));
  CDwgDatabase::removeObjIdArray(repeated, remove);  // every occurrence
  EXPECT_EQ(repeated, idsOf({b, c}));
  CDwgDatabase::removeIdFromIdArray(c, repeated);
  EXPECT_EQ(repeated, idsOf({b}));

  AcDbVoidPtrArray curves;
  AcDbLine* pLine = new AcDbLine();
  AcDbArc* pArc = new AcDbArc();
  curves.append(pLine);
  curves.append(nullptr);
  curves.append(pArc);
  AcDbVoidPtrArray out;
  out.append(nullptr);
  out.append(pLine);
  CDwgDatabase::removeAcdbVoidArray(curves, out);  // taken out, not deleted
  ASSERT_EQ(curves.length(), 2);
  EXPECT_EQ(curves[1], pArc);
  curves.append(pLine);
  CDwgDatabase::deleteAcdbVoidArray(curves);  // nulls passed over (leak checkers see the rest)
  EXPECT_EQ(curves.length(), 0);
}

TEST(DwgToolkitPoints, ArraysTreatPointsWithinATenthAsOne) {
  AcGePoint3dArray points;
  points.append(AcGePoint3d(0, 0, 0));
  points.append(AcGePoint3d(0.05, 0, 0));
  points.append(AcGePoint3d(1, 0, 0));
  points.append(AcGePoint3d(0.1, 0, 0));  // exactly 0.1 away: removed too
  CDwgDatabase::removePoint(points, AcGePoint3d(0, 0, 0));
  ASSERT_EQ(points.length(), 1);
  EXPECT_EQ(points[0], AcGePoint3d(1, 0, 0));

  CDwgDatabase::addPointToArray(points, AcGePoint3d(1.1, 0, 0));   // within 0.1: not added
  CDwgDatabase::addPointToArray(points, AcGePoint3d(1.11, 0, 0));  // added
  EXPECT_EQ(points.length(), 2);
  EXPECT_TRUE(CDwgDatabase::isPointInArray(points, AcGePoint3d(1.2, 0, 0)));
  EXPECT_FALSE(CDwgDatabase::isPointInArray(points, AcGePoint3d(1.22, 0, 0)));

  AcGePoint3dArray unsorted;
  for (AcGePoint3d p : {AcGePoint3d(2, 0, 0), AcGePoint3d(1, 5, 0), AcGePoint3d(1, 2, 0)}) unsorted.append(p);
  CDwgDatabase::sortPoints(unsorted);
  EXPECT_EQ(unsorted[0], AcGePoint3d(1, 2, 0));
  EXPECT_EQ(unsorted[2], AcGePoint3d(2, 0, 0));

  EXPECT_TRUE(CDwgDatabase::isSamePoint(AcGePoint2d(0, 0), AcGePoint2d(3, 4), 5.0));  // inclusive
  EXPECT_EQ(CDwgDatabase::getMidPoint(AcGePoint3d(0, 2, 4), AcGePoint3d(2, 4, 8)), AcGePoint3d(1, 3, 6));
}

TEST(DwgToolkitPoints, AnglesUseTheSinglePrecisionCircle) {
  const double twoPiSingle = 6.2831854820251465;
  // Just below the x axis: the angle is measured up to the single-precision 2 pi.
  double a = CDwgDatabase::getVectAngle2PI(AcGeVector3d(1, -1e-9, 0));
  EXPECT_DOUBLE_EQ(a, twoPiSingle - 1e-9);
  EXPECT_NEAR(CDwgDatabase::getVectAngle2PI(AcGeVector3d(0, 1, 0), AcGeVector3d(1, 0, 0)), 1.5 * 3.14159265, 1e-6);
  EXPECT_NEAR(CDwgDatabase::getVectAngle1PI(AcGeVector3d(0, 1, 0), AcGeVector3d(1, 0, 0)), 1.5707963, 1e-6);
  EXPECT_TRUE(CDwgDatabase::isVectIn2Vect(AcGeVector3d(1, 1, 0), AcGeVector3d(1, 0, 0), AcGeVector3d(0, 1, 0)));
  EXPECT_FALSE(CDwgDatabase::isVectIn2Vect(AcGeVector3d(1, -1, 0), AcGeVector3d(1, 0, 0), AcGeVector3d(0, 1, 0)));

  AcDbExtents unit(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)), half(AcGePoint3d(0.5, 0.5, 0), AcGePoint3d(2, 2, 0));
  AcDbExtents cross;
  ASSERT_TRUE(CDwgDatabase::get2ExtentCross(unit, half, cross));
  EXPECT_EQ(cross, AcDbExtents(AcGePoint3d(0.5, 0.5, 0), AcGePoint3d(1, 1, 0)));
  EXPECT_TRUE(CDwgDatabase::isExtentIn(cross, unit));
  EXPECT_FALSE(CDwgDatabase::isExtentIn(half, unit));
  AcDbExtents far(AcGePoint3d(5, 5, 0), AcGePoint3d(6, 6, 0));
  EXPECT_FALSE(CDwgDatabase::get2ExtentCross(unit, far, cross));
}

TEST(DwgToolkitEntities, ExplodeKeepsCurvesInOrderAndCopiesMoveWhatTheyCopy) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  // A block holding a line, a text and an arc, and a reference to it.
  AcDbBlockTable* pTable = nullptr;
  ASSERT_EQ(drawing.db.getBlockTable(pTable, AcDb::kForWrite), Acad::eOk);
  AcDbBlockTableRecord* pBlock = new AcDbBlockTableRecord();
  pBlock->setName("B");
  AcDbObjectId blockId;
  ASSERT_EQ(pTable->add(blockId, pBlock), Acad::eOk);
  pTable->close();
  for (AcDbEntity* pEnt : std::initializer_list<AcDbEntity*>{
           new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)), new AcDbText(AcGePoint3d(0, 1, 0), "T", AcDbObjectId::kNull, 1.0, 0.0),
           new AcDbArc(AcGePoint3d(0, 0, 0), 1.0, 0.0, 1.0)}) {
    ASSERT_EQ(pBlock->appendAcDbEntity(pEnt), Acad::eOk);
    pEnt->close();
  }
  pBlock->close();
  AcDbObjectId refId = someId(drawing.db, new AcDbBlockReference(AcGePoint3d(10, 0, 0), blockId));

  AcDbVoidPtrArray curves;
  ASSERT_EQ(toolkit.explodeEntity(curves, refId), 0);
  ASSERT_EQ(curves.length(), 2);
  ASSERT_NE(AcDbLine::cast(static_cast<AcDbObject*>(curves[0])), nullptr);
  EXPECT_EQ(AcDbLine::cast(static_cast<AcDbObject*>(curves[0]))->startPoint(), AcGePoint3d(10, 0, 0));
  EXPECT_NE(AcDbArc::cast(static_cast<AcDbObject*>(curves[1])), nullptr);
  CDwgDatabase::deleteAcdbVoidArray(curves);
  EXPECT_TRUE(isClosed(refId));
  EXPECT_EQ(toolkit.explodeEntity(curves, AcDbObjectId::kNull), 1);

  AcDbObjectId lineId = someId(drawing.db, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0)));
  AcDbObjectId copyId;
  ASSERT_EQ(toolkit.getEntCopy(copyId, lineId), 0);
  EXPECT_NE(copyId, lineId);
  EXPECT_TRUE(isClosed(copyId));
  EXPECT_TRUE(isClosed(lineId));
  AcDbEntity* pMoved = nullptr;
  {
    AcDbEntity* pLine = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(pLine, lineId, AcDb::kForRead), Acad::eOk);
    ASSERT_EQ(toolkit.getEntCopy(pMoved, pLine, AcGeVector3d(0, 5, 0)), 0);
    pLine->close();
  }
  EXPECT_EQ(AcDbLine::cast(pMoved)->endPoint(), AcGePoint3d(4, 5, 0));
  delete pMoved;

  AcDbExtents box;
  ASSERT_EQ(toolkit.getExtentMax(box, idsOf({lineId, refId})), 0);
  EXPECT_EQ(box.maxPoint().x, 11.0);
  EXPECT_EQ(toolkit.getExtentMax(box, idsOf({lineId, AcDbObjectId::kNull})), 1);
  ASSERT_EQ(toolkit.getExtentMax(box), 0);
  EXPECT_EQ(box.minPoint().x, 0.0);  // the line and its copy start at 0
}

TEST(DwgToolkitEntities, ArrayMembersStopAtTheFirstFailureAndLeaveTheRestDone) {
  Drawing drawing;
  CDwgDatabase toolkit(&drawing.db);
  AcDbObjectId a = someId(drawing.db, new AcDbLine(AcGePoint3d(0, 0, 3), AcGePoint3d(1, 0, 5)));
  AcDbObjectId b = someId(drawing.db, new AcDbCircle(AcGePoint3d(0, 0, 2), AcGeVector3d::kZAxis, 1.0));
  AcDbObjectId tilted = someId(drawing.db, new AcDbCircle(AcGePoint3d(0, 0, 2), AcGeVector3d(1, 0, 1), 1.0));

  AcDbObjectIdArray flat = idsOf({a, b, tilted});
  EXPECT_EQ(toolkit.setEntToXYPlane(flat), 4);  // the tilted circle cannot lie flat
  AcDbCircle* pCircle = nullptr;
  ASSERT_EQ(acdbOpenObject(pCircle, b, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(pCircle->center(), AcGePoint3d(0, 0, 0));
  pCircle->close();
  AcDbLine* pLine = nullptr;
  ASSERT_EQ(acdbOpenObject(pLine, a, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(pLine->endPoint(), AcGePoint3d(1, 0, 0));
  pLine->close();

  AcGeMatrix3d up;
  up.setTranslation(AcGeVector3d(0, 0, 1));
  AcDbObjectIdArray moved = idsOf({a, AcDbObjectId::kNull, b});
  EXPECT_EQ(toolkit.transformEntity(up, moved), 1);
  ASSERT_EQ(acdbOpenObject(pLine, a, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(pLine->startPoint().z, 1.0);
  pLine->close();

  AcDbPolyline* pPline = new AcDbPolyline();
  pPline->addVertexAt(0, AcGePoint2d(0, 0), 0.0);
  pPline->addVertexAt(1, AcGePoint2d(2, 0), 1.0);
  pPline->addVertexAt(2, AcGePoint2d(2, 2), 0.0);
  AcDbObjectId plineId = someId(drawing.db, pPline);
  AcDbObjectIdArray exploded = idsOf({a, plineId, b});
  ASSERT_EQ(toolkit.explodePolyline(exploded), 0);
  ASSERT_EQ(exploded.length(), 4);  // a, the arc and the line of the polyline, b
  EXPECT_EQ(exploded[0], a);
  EXPECT_EQ(exploded[3], b);
  AcDbEntity* pGone = nullptr;
  EXPECT_EQ(acdbOpenAcDbEntity(pGone, plineId, AcDb::kForRead), Acad::eWasErased);
  for (int i = 0; i < exploded.length(); i++) EXPECT_TRUE(isClosed(exploded[i]));

  AcDbObjectIdArray keep = idsOf({b});
  ASSERT_EQ(toolkit.eraseNoSelectEntityArray(exploded, keep), 0);
  EXPECT_EQ(acdbOpenAcDbEntity(pGone, a, AcDb::kForRead), Acad::eWasErased);
  EXPECT_TRUE(isClosed(b));
}

}  // namespace
