// Flat descriptions of lines and arcs and the exact intersection kernel working on them.
#pragma once
#include "gecurv2d.h"

namespace contura::ge::detail {

// A line, ray or segment: point(t) = base + dir * t, t within the bounds that exist.
struct LinearPrim {
  AcGePoint2d base;
  AcGeVector2d dir;  // unit
  double lo = 0.0, hi = 0.0;
  bool hasLo = false, hasHi = false;
  AcGePoint2d loPoint, hiPoint;  // exact end points when bounded
};

// An arc: point(t) = c + r (cos t * fx + sin t * fy), t in [start, start + sweep].
// fy is fx turned +90 degrees for counter-clockwise travel, -90 for clockwise.
struct CircularPrim {
  AcGePoint2d c;
  double r = 0.0;
  AcGeVector2d fx, fy;
  double start = 0.0, sweep = 0.0;
  bool full = false;
  AcGePoint2d startPoint, endPoint;  // exact end points (unused for a full circle)
};

struct Prim {
  enum Kind { kLinear, kCircular, kPoint } kind = kPoint;
  LinearPrim lin;
  CircularPrim arc;
  AcGePoint2d point;  // kPoint: a degenerate segment or a zero-radius arc
};

// Describes a supported curve; extend turns a linear entity into its infinite line and an arc
// into its full circle. False for curve types the kernel does not know.
bool makePrim(const AcGeCurve2d& curve, bool extend, Prim& out);
// A segment or an arc between two exact points, for loops (the arc from a bulge; zero or a
// bulge below the straightness tolerance gives a segment).
Prim makeBulgePrim(const AcGePoint2d& from, const AcGePoint2d& to, double bulge);

struct Hit {
  AcGePoint2d point;
  double t1 = 0.0, t2 = 0.0;
  bool tangent = false;
};
struct OverlapRange {
  double lo1 = 0.0, hi1 = 0.0, lo2 = 0.0, hi2 = 0.0;
};
// Fixed-capacity result: no allocation per pair.
struct IntResult {
  Hit hits[4];
  int numHits = 0;
  OverlapRange overlaps[2];
  int numOverlaps = 0;
  void addHit(const Hit& h, double tol);
};

// All intersections of a and b; tol is the point tolerance. Hits come sorted by t1.
void intersect(const Prim& a, const Prim& b, double tol, IntResult& out);

// Parameter of a point on a prim's carrier (line parameter or angle in [start, start + 2pi)).
double paramOnCarrier(const Prim& p, const AcGePoint2d& pt);
AcGePoint2d evalPrim(const Prim& p, double t);
// Closest point of the bounded prim to pt.
AcGePoint2d closestOnPrim(const Prim& p, const AcGePoint2d& pt);

}  // namespace contura::ge::detail
