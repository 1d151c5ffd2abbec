// CDwgDatabase: points, vectors and extents. Pure geometry: no database access.
//
// Choices where the interface leaves the meaning to the name:
// - addPointToArray appends a point only when no point of the array lies within 0.1 of it
//   (inclusive): the de-duplicating append the curve members use for crossing points.
// - get2ExtentCross: the box both extents cover (touching boxes give a flat box); false,
//   and the output untouched, when they do not meet or either is empty.
// - isExtentIn(inner, outer): the first box lies inside the second, borders included.
// - isPointInExtent: inside the box, borders included, in x, y and z.
// - getVectAngle1PI: the angle between the vectors, 0..pi. getVectAngle2PI(v): the angle
//   of v's projection on the XY plane from +X counter-clockwise, 0..2pi (single-precision
//   2 pi, as every toolkit angle). getVectAngle2PI(a, b): the angle from a to b
//   counter-clockwise about +Z, 0..2pi.
// - isVectIn2Vect(v, a, b): v lies in the angle swept counter-clockwise about +Z from a to
//   b, both borders included.
// - isVectCodirectional / isVectParallel: the geometry library's tests at its default
//   tolerance (parallel includes opposite directions).
// - sortPoints: ascending by x, then y, then z; equal points keep their order.
#include <algorithm>
#include <cmath>
#include <vector>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

bool boxIsEmpty(const AcDbExtents& e) {
  AcGePoint3d lo = e.minPoint(), hi = e.maxPoint();
  return lo.x > hi.x || lo.y > hi.y || lo.z > hi.z;
}

// Angle of (x, y) from +X counter-clockwise, brought into [0, 2pi) with the toolkit's 2 pi.
double planAngle(double x, double y) {
  double a = std::atan2(y, x);
  if (a < 0.0) a += kTwoPiSingle;
  if (a >= kTwoPiSingle) a -= kTwoPiSingle;
  return a;
}

}  // namespace

void CDwgDatabase::addPointToArray(AcGePoint3dArray& points, AcGePoint3d point) {
  if (!isPointInArray(points, point)) points.append(point);
}

void CDwgDatabase::addPointToArray(AcGePoint3dArray& points, AcGePoint3dArray& more) {
  for (int i = 0; i < more.length(); i++) addPointToArray(points, more[i]);
}

bool CDwgDatabase::get2ExtentCross(AcDbExtents& a, AcDbExtents& b, AcDbExtents& cross) {
  if (boxIsEmpty(a) || boxIsEmpty(b)) return false;
  AcGePoint3d lo(std::max(a.minPoint().x, b.minPoint().x), std::max(a.minPoint().y, b.minPoint().y),
                 std::max(a.minPoint().z, b.minPoint().z));
  AcGePoint3d hi(std::min(a.maxPoint().x, b.maxPoint().x), std::min(a.maxPoint().y, b.maxPoint().y),
                 std::min(a.maxPoint().z, b.maxPoint().z));
  if (lo.x > hi.x || lo.y > hi.y || lo.z > hi.z) return false;
  cross = AcDbExtents(lo, hi);
  return true;
}

AcGePoint3d CDwgDatabase::getMidPoint(AcGePoint3d p1, AcGePoint3d p2) {
  return AcGePoint3d(p1.x + (p2.x - p1.x) * 0.5, p1.y + (p2.y - p1.y) * 0.5, p1.z + (p2.z - p1.z) * 0.5);
}

double CDwgDatabase::getVectAngle1PI(AcGeVector3d v1, AcGeVector3d v2) { return v1.angleTo(v2); }

double CDwgDatabase::getVectAngle2PI(AcGeVector3d v) { return planAngle(v.x, v.y); }

double CDwgDatabase::getVectAngle2PI(AcGeVector3d from, AcGeVector3d to) {
  double a = planAngle(to.x, to.y) - planAngle(from.x, from.y);
  if (a < 0.0) a += kTwoPiSingle;
  return a;
}

bool CDwgDatabase::isExtentIn(AcDbExtents& inner, AcDbExtents& outer) {
  if (boxIsEmpty(inner) || boxIsEmpty(outer)) return false;
  return isPointInExtent(outer, inner.minPoint()) && isPointInExtent(outer, inner.maxPoint());
}

bool CDwgDatabase::isPointInArray(AcGePoint3dArray& points, AcGePoint3d point) {
  for (int i = 0; i < points.length(); i++) {
    if (isSamePoint(points[i], point, kPointArrayTol)) return true;
  }
  return false;
}

bool CDwgDatabase::isPointInExtent(AcDbExtents& box, AcGePoint3d p) {
  AcGePoint3d lo = box.minPoint(), hi = box.maxPoint();
  return p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y && p.z >= lo.z && p.z <= hi.z;
}

bool CDwgDatabase::isSamePoint(AcGePoint2d p1, AcGePoint2d p2, double tol) { return p1.distanceTo(p2) <= tol; }

bool CDwgDatabase::isSamePoint(AcGePoint3d p1, AcGePoint3d p2, double tol) { return p1.distanceTo(p2) <= tol; }

bool CDwgDatabase::isVectCodirectional(AcGeVector3d v1, AcGeVector3d v2) { return v1.isCodirectionalTo(v2) == Adesk::kTrue; }

bool CDwgDatabase::isVectIn2Vect(AcGeVector3d v, AcGeVector3d from, AcGeVector3d to) {
  return getVectAngle2PI(from, v) <= getVectAngle2PI(from, to);
}

bool CDwgDatabase::isVectParallel(AcGeVector3d v1, AcGeVector3d v2) { return v1.isParallelTo(v2) == Adesk::kTrue; }

AcGePoint3d CDwgDatabase::pt2To3(AcGePoint2d p) { return AcGePoint3d(p.x, p.y, 0.0); }

AcGePoint2d CDwgDatabase::pt3To2(AcGePoint3d p) { return AcGePoint2d(p.x, p.y); }

void CDwgDatabase::removePoint(AcGePoint3dArray& points, AcGePoint3d point) {
  int i = 0;
  while (i < points.length()) {
    if (isSamePoint(points[i], point, kPointArrayTol))
      points.removeAt(i);
    else
      i++;
  }
}

void CDwgDatabase::removePoint(AcGePoint3dArray& points, AcGePoint3dArray& remove) {
  for (int i = 0; i < remove.length(); i++) removePoint(points, remove[i]);
}

void CDwgDatabase::sortPoints(AcGePoint3dArray& points) {
  std::vector<AcGePoint3d> sorted;
  sorted.reserve(points.length());
  for (int i = 0; i < points.length(); i++) sorted.push_back(points[i]);
  std::stable_sort(sorted.begin(), sorted.end(), [](const AcGePoint3d& a, const AcGePoint3d& b) {
    if (a.x != b.x) return a.x < b.x;
    if (a.y != b.y) return a.y < b.y;
    return a.z < b.z;
  });
  for (int i = 0; i < points.length(); i++) points[i] = sorted[i];
}
