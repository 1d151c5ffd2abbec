// Bulges, end tangents and model space for the polyline plotting library.
#include "PlotGeometry.h"

#include <dbsymtb.h>

#include <cmath>
#include <numbers>

namespace curvane {
namespace {

// How close (in radians) to straight behind the tangent an end point may lie and still end a
// tangent arc; nearer, the arc's bulge grows without bound.
constexpr double kBehindTangentTolerance = 1.0e-9;

}  // namespace

double bulgeOfSweep(double signedSweep) { return std::tan(signedSweep / 4.0); }

AcGeVector2d endTangent(const AcGePoint2d& from, const AcGePoint2d& to, double bulge) {
  // The arc's end tangent makes half the included angle with the chord: 2 atan(bulge).
  AcGeVector2d chord = to - from;
  return chord.rotateBy(2.0 * std::atan(bulge));
}

bool tangentArcBulge(const AcGeVector2d& tangent, const AcGeVector2d& chord, double& bulge) {
  // The chord makes half the included angle with the tangent, so bulge = tan(turn / 2).
  double turn = std::atan2(tangent.crossProduct(chord), tangent.dotProduct(chord));
  if (std::numbers::pi - std::fabs(turn) < kBehindTangentTolerance) return false;
  bulge = std::tan(turn / 2.0);
  return true;
}

Acad::ErrorStatus postToModelSpace(AcDbDatabase* pDb, AcDbEntity* pEnt, AcDbObjectId& id) {
  if (!pDb || !pEnt) return Acad::eNullObjectPointer;
  AcDbBlockTable* pTable = nullptr;
  Acad::ErrorStatus es = pDb->getBlockTable(pTable, AcDb::kForRead);
  if (es != Acad::eOk) return es;
  AcDbBlockTableRecord* pModel = nullptr;
  es = pTable->getAt(ACDB_MODEL_SPACE, pModel, AcDb::kForWrite);
  pTable->close();
  if (es != Acad::eOk) return es;
  es = pModel->appendAcDbEntity(id, pEnt);
  pModel->close();
  return es;
}

}  // namespace curvane
