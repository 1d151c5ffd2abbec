// Bulge conversions and offsets of 2D lines and arcs, as polylines and curve offsets need them.
#pragma once
#include "gearc2d.h"
#include "gelnsg2d.h"

namespace contura::ge {

// Bulge of a polyline segment: tan(theta / 4) where theta is the included angle, positive
// when the arc runs counter-clockwise from the segment's start vertex to its end vertex (the
// arc then lies to the right of the chord), negative for clockwise, 0 for a straight segment.
double bulgeFromIncludedAngle(double signedIncludedAngle);
double includedAngleFromBulge(double bulge);  // 4 atan(bulge), signed
bool isStraightBulge(double bulge);           // |bulge| below tol::kBulgeStraight

// Centre and radius of the circle of a bulged chord. The centre lies on the chord's bisector
// at signed distance c (1 - b^2) / (4 b) to the left of the chord direction. For distinct
// points and a bulge that is not straight only (callers test both).
void bulgeCircle(const AcGePoint2d& from, const AcGePoint2d& to, double bulge, AcGePoint2d& centre, double& radius);

// The arc of a bulged segment, running from `from` to `to` (clockwise for a negative bulge),
// with the reference vector +X. False (arc untouched) when the points coincide or the bulge is
// straight.
bool arcFromBulge(const AcGePoint2d& from, const AcGePoint2d& to, double bulge, AcGeCircArc2d& arc);

// The same arc described the way a counter-clockwise-only arc entity holds it: angles from +X
// in [0, 2pi), running counter-clockwise from startAngle to endAngle. reversed is true when
// that runs from `to` to `from` (a negative bulge).
struct CcwArc {
  AcGePoint2d center;
  double radius = 0.0;
  double startAngle = 0.0;
  double endAngle = 0.0;
  bool reversed = false;
};
bool ccwArcFromBulge(const AcGePoint2d& from, const AcGePoint2d& to, double bulge, CcwArc& arc);

// Bulge of an arc travelled from its start point to its end point: tan(sweep / 4), negative
// for a clockwise arc. A full circle has no single bulge: 0 is returned.
double bulgeOfArc(const AcGeCircArc2d& arc);

// Parallel copy of a segment at signed distance dist: positive to the left of its direction.
AcGeLineSeg2d offsetSegment(const AcGeLineSeg2d& seg, double dist);
// Concentric copy with radius + dist (same angles and direction). False, out untouched, when
// the new radius would be zero or negative.
bool offsetArc(const AcGeCircArc2d& arc, double dist, AcGeCircArc2d& out);

}  // namespace contura::ge
