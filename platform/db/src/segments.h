// Bulge segments of polylines, hatch and region loops: arc data and evaluation in 2D.
#pragma once
#include "internal.h"

#include <contura/ge/curve2d.h>
#include <gepnt2d.h>

namespace contura::db {

// The circle of a bulge segment from p0 to p1 (bulge = tan of a quarter of the signed
// included angle), from the geometry's bulge conversion. False for a straight bulge
// (contura::ge::isStraightBulge) or a zero-length segment.
struct BulgeArc {
  AcGePoint2d center;
  double radius = 0.0;
  double startAngle = 0.0;  // angle of p0 seen from the centre
  double sweep = 0.0;       // signed included angle (positive: counter-clockwise)
};
bool bulgeArc(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, BulgeArc& arc);
// Point at fraction t (0..1) of the segment (uniform in angle on arcs).
AcGePoint2d segmentPoint(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, double t);
// Derivative with respect to t.
AcGeVector2d segmentDeriv(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, double t);
double segmentLength(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge);
// The fraction t of the segment nearest pt, and the distance from pt to that point.
double segmentParamOf(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, const AcGePoint2d& pt,
                      double& distance);
// Adds the segment's 2D bounding box to lo/hi.
void addSegmentBox(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, AcGePoint2d& lo, AcGePoint2d& hi);
// Adds the world box of the segment, lying in the OCS plane given by toWorld at elevation.
void addSegmentExtents(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, const AcGeMatrix3d& toWorld,
                       double elevation, AcDbExtents& box);
// A new AcDbLine or AcDbArc for the segment in the OCS of normal at elevation, or null for a
// zero-length segment.
AcDbCurve* segmentEntity(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge,
                         const AcGeVector3d& normal, double elevation);
// True when angle (any value) lies on the counter-clockwise sweep from start of size sweep >= 0.
bool angleInSweep(double angle, double start, double sweep);

}  // namespace contura::db
