// Bulge conversions and offsets of 2D segments and arcs.
#include <cmath>

#include "contura/ge/angles.h"
#include "contura/ge/curve2d.h"
#include "contura/ge/tolerances.h"

namespace contura::ge {
void bulgeCircle(const AcGePoint2d& from, const AcGePoint2d& to, double b, AcGePoint2d& centre, double& radius) {
  const AcGeVector2d chord = to - from;
  const double c = chord.length();
  const AcGeVector2d left = chord.perpVector() / c;
  centre = from + chord * 0.5 + left * (c * (1.0 - b * b) / (4.0 * b));
  radius = c * (1.0 + b * b) / (4.0 * std::fabs(b));
}

double bulgeFromIncludedAngle(double signedIncludedAngle) { return std::tan(signedIncludedAngle / 4.0); }

double includedAngleFromBulge(double bulge) { return 4.0 * std::atan(bulge); }

bool isStraightBulge(double bulge) { return std::fabs(bulge) < tol::kBulgeStraight; }

bool arcFromBulge(const AcGePoint2d& from, const AcGePoint2d& to, double bulge, AcGeCircArc2d& arc) {
  if (from.x == to.x && from.y == to.y) return false;
  if (isStraightBulge(bulge)) return false;
  AcGePoint2d centre;
  double radius;
  bulgeCircle(from, to, bulge, centre, radius);
  const AcGeVector2d v = from - centre;
  const double phi = std::atan2(v.y, v.x);
  const double sweep = 4.0 * std::atan(std::fabs(bulge));
  // A clockwise arc measures its angles clockwise from +X: the start angle is -phi.
  const double start = bulge > 0.0 ? phi : -phi;
  arc.set(centre, radius, start, start + sweep, AcGeVector2d::kXAxis, bulge < 0.0);
  return true;
}

bool ccwArcFromBulge(const AcGePoint2d& from, const AcGePoint2d& to, double bulge, CcwArc& arc) {
  if (from.x == to.x && from.y == to.y) return false;
  if (isStraightBulge(bulge)) return false;
  bulgeCircle(from, to, bulge, arc.center, arc.radius);
  arc.reversed = bulge < 0.0;
  const AcGePoint2d& s = arc.reversed ? to : from;
  const AcGePoint2d& e = arc.reversed ? from : to;
  arc.startAngle = normalizeAngle(std::atan2(s.y - arc.center.y, s.x - arc.center.x));
  arc.endAngle = normalizeAngle(std::atan2(e.y - arc.center.y, e.x - arc.center.x));
  return true;
}

double bulgeOfArc(const AcGeCircArc2d& arc) {
  if (arc.isFullCircle()) return 0.0;
  const double b = std::tan(arc.sweep() / 4.0);
  return arc.isClockWise() ? -b : b;
}

AcGeLineSeg2d offsetSegment(const AcGeLineSeg2d& seg, double dist) {
  const AcGeVector2d shift = seg.direction().perpVector() * dist;
  return AcGeLineSeg2d(seg.startPoint() + shift, seg.endPoint() + shift);
}

bool offsetArc(const AcGeCircArc2d& arc, double dist, AcGeCircArc2d& out) {
  const double r = arc.radius() + dist;
  if (!(r > 0.0)) return false;
  out = arc;
  out.setRadius(r);
  return true;
}

}  // namespace contura::ge
