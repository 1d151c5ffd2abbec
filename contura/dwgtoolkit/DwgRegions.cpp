// CDwgDatabase: region, hatch and solid measures and outlines.
//
// Choices where the interface leaves the meaning to the name (codes count the steps):
// - getRegionExtentPL(outline, entity): a new closed polyline along the region's outer loop
//   (of its loops, the one enclosing the largest area), arcs as bulges. 1: not a region, or a
//   region held only as modeller data; 2: no closed loop could be followed.
// - getHatchSolidExtentPL(outline, entity): the same for a hatch's loops (the loop enclosing
//   the largest area). 1: not a hatch; 2: no loop readable as lines and arcs.
// - getRegionCenter(centre, region): the centroid of the region's area, in world
//   coordinates. 1: null region; 2: its properties could not be computed.
// - getRegionArea / getRegionPerimeter by value: 0 when the region cannot be read.
// - getSolidInfo(area, volume, solid): the solid's surface area and volume. 1: null solid;
//   2: area refused; 3: volume refused.
// - getSolidArea / getSolidVolume by value: 0 when the solid cannot be read.
// - getRegionFromCurveIdArrayOnPoint with ids (in the chains family) reads copies of the
//   curves; a loop it returns holds copies the caller deletes; the region form returns 6 when
//   the loop makes no region.
#include <cmath>

#include <dbents.h>
#include <dbhatch.h>
#include <dbpl.h>
#include <dbregion.h>
#include <dbsol3d.h>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

// Of closed outlines, the one enclosing the largest area (the others deleted).
AcDbPolyline* largestOutline(std::vector<AcDbPolyline*>& outlines) {
  AcDbPolyline* best = NULL;
  double bestArea = -1.0;
  for (AcDbPolyline* p : outlines) {
    double area = 0.0;
    if (p->getArea(area) == Acad::eOk && std::fabs(area) > bestArea) {
      bestArea = std::fabs(area);
      best = p;
    }
  }
  for (AcDbPolyline* p : outlines)
    if (p != best) delete p;
  outlines.clear();
  return best;
}

}  // namespace

int CDwgDatabase::getHatchSolidExtentPL(AcDbPolyline*& pOutline, AcDbEntity* pEnt) {
  pOutline = NULL;
  AcDbHatch* pHatch = AcDbHatch::cast(pEnt);
  if (pHatch == NULL) return 1;
  std::vector<AcDbPolyline*> outlines;
  for (int i = 0; i < pHatch->numLoops(); i++) {
    Adesk::Int32 type = 0;
    AcGePoint2dArray vertices;
    AcGeDoubleArray bulges;
    if (pHatch->getLoopAt(i, type, vertices, bulges) != Acad::eOk || vertices.length() < 2) continue;
    AcDbPolyline* p = new AcDbPolyline();
    for (int k = 0; k < vertices.length(); k++)
      p->addVertexAt(k, vertices[k], k < bulges.length() ? bulges[k] : 0.0);
    p->setClosed(true);
    p->setNormal(pHatch->normal());
    p->setElevation(pHatch->elevation());
    outlines.push_back(p);
  }
  pOutline = largestOutline(outlines);
  return pOutline != NULL ? 0 : 2;
}

int CDwgDatabase::getHatchSolidExtentPL(AcDbPolyline*& pOutline, AcDbObjectId id) {
  pOutline = NULL;
  OpenedObject<AcDbHatch> hatch;
  if (openEntity(hatch, id, AcDb::kForRead) != Acad::eOk) return 1;
  return getHatchSolidExtentPL(pOutline, hatch.get()) == 0 ? 0 : 2;
}

double CDwgDatabase::getRegionArea(AcDbObjectId id) {
  double area = 0.0;
  m_nLastResult = getRegionArea(area, id);
  return m_nLastResult == 0 ? area : 0.0;
}

int CDwgDatabase::getRegionArea(double& area, AcDbObjectId id) {
  double perimeter = 0.0;
  return getRegionInfo(area, perimeter, id);
}

int CDwgDatabase::getRegionCenter(AcGePoint3d& centre, AcDbRegion* pRegion) {
  if (pRegion == NULL) return 1;
  AcGePlane plane;
  if (pRegion->getPlane(plane) != Acad::eOk) return 2;
  AcGePoint3d origin;
  AcGeVector3d xAxis, yAxis;
  plane.getCoordSystem(origin, xAxis, yAxis);
  double perimeter = 0.0, area = 0.0, product = 0.0, moments[2], principal[2], radii[2];
  AcGePoint2d centroid, low, high;
  AcGeVector2d axes[2];
  if (pRegion->getAreaProp(origin, xAxis.normal(), yAxis.normal(), perimeter, area, centroid, moments, product,
                           principal, axes, radii, low, high) != Acad::eOk)
    return 2;
  centre = origin + xAxis.normal() * centroid.x + yAxis.normal() * centroid.y;
  return 0;
}

int CDwgDatabase::getRegionExtentPL(AcDbPolyline*& pOutline, AcDbEntity* pEnt) {
  pOutline = NULL;
  AcDbRegion* pRegion = AcDbRegion::cast(pEnt);
  AcDbVoidPtrArray curves;
  if (pRegion == NULL || pRegion->explode(curves) != Acad::eOk) return 1;
  CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&> loops;
  CDwgDatabase toolkit(NULL);
  toolkit.getCurvesZone(loops, curves);
  std::vector<AcDbPolyline*> outlines;
  for (INT_PTR i = 0; i < loops.GetSize(); i++) {
    AcDbPolyline* p = NULL;
    AcDbVoidPtrArray loop = loops[i];
    if (getPolylineFromCurves(p, loop) == 0 && p != NULL) outlines.push_back(p);
  }
  deleteAcdbVoidArray(curves);
  pOutline = largestOutline(outlines);
  return pOutline != NULL ? 0 : 2;
}

int CDwgDatabase::getRegionExtentPL(AcDbPolyline*& pOutline, AcDbObjectId id) {
  pOutline = NULL;
  OpenedObject<AcDbRegion> region;
  if (openEntity(region, id, AcDb::kForRead) != Acad::eOk) return 1;
  return getRegionExtentPL(pOutline, region.get()) == 0 ? 0 : 2;
}

int CDwgDatabase::getRegionInfo(double& area, double& perimeter, AcDbObjectId id) {
  area = 0.0;
  perimeter = 0.0;
  OpenedObject<AcDbRegion> region;
  m_esLast = openEntity(region, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  m_nLastResult = getRegionInfo(area, perimeter, region.get());
  return m_nLastResult;
}

int CDwgDatabase::getRegionInfo(double& area, double& perimeter, AcDbRegion* pRegion) {
  area = 0.0;
  perimeter = 0.0;
  if (pRegion == NULL) return 0;
  pRegion->getArea(area);
  pRegion->getPerimeter(perimeter);
  return 0;
}

double CDwgDatabase::getRegionPerimeter(AcDbObjectId id) {
  double perimeter = 0.0;
  m_nLastResult = getRegionPerimeter(perimeter, id);
  return m_nLastResult == 0 ? perimeter : 0.0;
}

int CDwgDatabase::getRegionPerimeter(double& perimeter, AcDbObjectId id) {
  double area = 0.0;
  return getRegionInfo(area, perimeter, id);
}

double CDwgDatabase::getSolidArea(AcDbObjectId id) {
  double area = 0.0;
  m_nLastResult = getSolidArea(area, id);
  return m_nLastResult == 0 ? area : 0.0;
}

int CDwgDatabase::getSolidArea(double& area, AcDbObjectId id) {
  double volume = 0.0;
  return getSolidInfo(area, volume, id);
}

int CDwgDatabase::getSolidInfo(double& area, double& volume, AcDb3dSolid*& pSolid) {
  area = 0.0;
  volume = 0.0;
  if (pSolid == NULL) return 1;
  m_esLast = pSolid->getArea(area);
  if (m_esLast != Acad::eOk) return 2;
  AcGePoint3d centroid;
  double moments[3], products[3], principal[3], radii[3];
  AcGeVector3d axes[3];
  AcDbExtents box;
  m_esLast = pSolid->getMassProp(volume, centroid, moments, products, principal, axes, radii, box);
  if (m_esLast != Acad::eOk) {
    volume = 0.0;
    return 3;
  }
  return 0;
}

int CDwgDatabase::getSolidInfo(double& area, double& volume, AcDbObjectId id) {
  area = 0.0;
  volume = 0.0;
  OpenedObject<AcDb3dSolid> solid;
  m_esLast = openEntity(solid, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  AcDb3dSolid* pSolid = solid.get();
  m_nLastResult = getSolidInfo(area, volume, pSolid);
  return m_nLastResult == 0 ? 0 : 2;
}

double CDwgDatabase::getSolidVolume(AcDbObjectId id) {
  double volume = 0.0;
  m_nLastResult = getSolidVolume(volume, id);
  return m_nLastResult == 0 ? volume : 0.0;
}

int CDwgDatabase::getSolidVolume(double& volume, AcDbObjectId id) {
  double area = 0.0;
  return getSolidInfo(area, volume, id);
}
