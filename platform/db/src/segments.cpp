// Bulge segments: the arc of a bulge, points, lengths and boxes of straight and arc segments.
#include "segments.h"

#include <dbents.h>

#include <algorithm>
#include <cmath>

namespace contura::db {

bool bulgeArc(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, BulgeArc& arc) {
  if (p0.distanceTo(p1) <= kZeroLength) return false;
  ge::CcwArc ccw;
  if (!ge::ccwArcFromBulge(p0, p1, bulge, ccw)) return false;
  arc.center = ccw.center;
  arc.radius = ccw.radius;
  arc.startAngle = std::atan2(p0.y - ccw.center.y, p0.x - ccw.center.x);
  arc.sweep = ge::includedAngleFromBulge(bulge);
  return true;
}

AcGePoint2d segmentPoint(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, double t) {
  BulgeArc arc;
  if (!bulgeArc(p0, p1, bulge, arc)) return AcGePoint2d(p0.x + (p1.x - p0.x) * t, p0.y + (p1.y - p0.y) * t);
  if (t <= 0.0) return p0;
  if (t >= 1.0) return p1;
  const double a = arc.startAngle + arc.sweep * t;
  return AcGePoint2d(arc.center.x + arc.radius * std::cos(a), arc.center.y + arc.radius * std::sin(a));
}

AcGeVector2d segmentDeriv(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, double t) {
  BulgeArc arc;
  if (!bulgeArc(p0, p1, bulge, arc)) return p1 - p0;
  const double a = arc.startAngle + arc.sweep * t;
  return AcGeVector2d(-std::sin(a), std::cos(a)) * (arc.radius * arc.sweep);
}

double segmentLength(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge) {
  BulgeArc arc;
  if (!bulgeArc(p0, p1, bulge, arc)) return p0.distanceTo(p1);
  return arc.radius * std::fabs(arc.sweep);
}

bool angleInSweep(double angle, double start, double sweep) {
  double rel = std::fmod(angle - start, kTwoPi);
  if (rel < 0.0) rel += kTwoPi;
  return rel <= sweep + kParamTol;
}

double segmentParamOf(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, const AcGePoint2d& pt,
                      double& distance) {
  BulgeArc arc;
  if (!bulgeArc(p0, p1, bulge, arc)) {
    const AcGeVector2d d = p1 - p0;
    const double len2 = d.x * d.x + d.y * d.y;
    double t = len2 > 0.0 ? ((pt.x - p0.x) * d.x + (pt.y - p0.y) * d.y) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    distance = pt.distanceTo(segmentPoint(p0, p1, bulge, t));
    return t;
  }
  const double a = std::atan2(pt.y - arc.center.y, pt.x - arc.center.x);
  // Fraction along the sweep, whichever way it turns.
  double rel = (a - arc.startAngle) * (arc.sweep > 0 ? 1.0 : -1.0);
  rel = std::fmod(rel, kTwoPi);
  if (rel < 0.0) rel += kTwoPi;
  double t = rel / std::fabs(arc.sweep);
  if (t > 1.0) {
    // Outside the arc: the nearer end.
    const double toStart = pt.distanceTo(p0), toEnd = pt.distanceTo(p1);
    t = toStart <= toEnd ? 0.0 : 1.0;
  }
  distance = pt.distanceTo(segmentPoint(p0, p1, bulge, t));
  return t;
}

void addSegmentBox(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, AcGePoint2d& lo, AcGePoint2d& hi) {
  auto add = [&](const AcGePoint2d& p) {
    lo.set(std::min(lo.x, p.x), std::min(lo.y, p.y));
    hi.set(std::max(hi.x, p.x), std::max(hi.y, p.y));
  };
  add(p0);
  add(p1);
  BulgeArc arc;
  if (!bulgeArc(p0, p1, bulge, arc)) return;
  // Counter-clockwise start and size of the arc.
  double start = arc.sweep > 0 ? arc.startAngle : arc.startAngle + arc.sweep;
  const double size = std::fabs(arc.sweep);
  for (int k = 0; k < 4; ++k) {
    const double quadrant = k * 0.5 * kPi;
    if (angleInSweep(quadrant, start, size))
      add(AcGePoint2d(arc.center.x + arc.radius * std::cos(quadrant), arc.center.y + arc.radius * std::sin(quadrant)));
  }
}

void addSegmentExtents(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge, const AcGeMatrix3d& toWorld,
                       double elevation, AcDbExtents& box) {
  box.addPoint(toWorld * AcGePoint3d(p0.x, p0.y, elevation));
  box.addPoint(toWorld * AcGePoint3d(p1.x, p1.y, elevation));
  BulgeArc arc;
  if (!bulgeArc(p0, p1, bulge, arc)) return;
  const double start = arc.sweep > 0 ? arc.startAngle : arc.startAngle + arc.sweep;
  const double size = std::fabs(arc.sweep);
  for (int i = 0; i < 3; ++i) {
    // World coordinate i along the arc is extreme where tan a = toWorld(i,1) / toWorld(i,0).
    const double a0 = std::atan2(toWorld(i, 1), toWorld(i, 0));
    for (double a : {a0, a0 + kPi}) {
      if (!angleInSweep(a, start, size)) continue;
      const AcGePoint3d p(arc.center.x + arc.radius * std::cos(a), arc.center.y + arc.radius * std::sin(a), elevation);
      box.addPoint(toWorld * p);
    }
  }
}

AcDbCurve* segmentEntity(const AcGePoint2d& p0, const AcGePoint2d& p1, double bulge,
                         const AcGeVector3d& normal, double elevation) {
  if (p0.distanceTo(p1) <= kZeroLength) return nullptr;
  const AcGeMatrix3d toWorld = ocsToWorld(normal);
  BulgeArc arc;
  if (!bulgeArc(p0, p1, bulge, arc)) {
    return new AcDbLine(toWorld * AcGePoint3d(p0.x, p0.y, elevation), toWorld * AcGePoint3d(p1.x, p1.y, elevation));
  }
  const double start = arc.sweep > 0 ? arc.startAngle : arc.startAngle + arc.sweep;
  const double end = start + std::fabs(arc.sweep);
  return new AcDbArc(toWorld * AcGePoint3d(arc.center.x, arc.center.y, elevation), normal, arc.radius,
                     normalizeAngle(start), normalizeAngle(end));
}

}  // namespace contura::db
