// Circular arcs in 2D: construction (centre, three points, bulge), evaluation and projection.
#include <algorithm>
#include <cmath>

#include "contura/ge/angles.h"
#include "contura/ge/curve2d.h"
#include "contura/ge/tolerances.h"
#include "gearc2d.h"
#include "geline2d.h"

namespace {
using contura::ge::kTwoPi;
}

AcGeCircArc2d::AcGeCircArc2d() = default;
AcGeCircArc2d::AcGeCircArc2d(const AcGePoint2d& cent, double radius) { set(cent, radius); }
AcGeCircArc2d::AcGeCircArc2d(const AcGePoint2d& cent, double radius, double startAngle, double endAngle,
                             const AcGeVector2d& refVec, Adesk::Boolean isClockWise) {
  set(cent, radius, startAngle, endAngle, refVec, isClockWise);
}
AcGeCircArc2d::AcGeCircArc2d(const AcGePoint2d& startPoint, const AcGePoint2d& point, const AcGePoint2d& endPoint) {
  set(startPoint, point, endPoint);
}
AcGeCircArc2d::AcGeCircArc2d(const AcGePoint2d& startPoint, const AcGePoint2d& endPoint, double bulge,
                             Adesk::Boolean bulgeFlag) {
  set(startPoint, endPoint, bulge, bulgeFlag);
}

void AcGeCircArc2d::setSweep(double startAng, double endAng) {
  double sweep = std::fmod(endAng - startAng, kTwoPi);
  if (sweep <= 0.0) sweep += kTwoPi;
  mStart = startAng;
  mSweep = sweep;
}

bool AcGeCircArc2d::isFullCircle() const { return mSweep >= kTwoPi; }

AcGeCircArc2d& AcGeCircArc2d::setAngles(double startAng, double endAng) {
  setSweep(startAng, endAng);
  return *this;
}

AcGeCircArc2d& AcGeCircArc2d::setRefVec(const AcGeVector2d& vec) {
  const AcGeVector2d r = vec.normal();
  if (!r.isZeroLength()) mRef = r;
  return *this;
}

AcGeCircArc2d& AcGeCircArc2d::setToComplement() {
  // Same points, opposite travel: the old end becomes the new start. Keep the reference
  // vector at the old end point so the new angles are 0..sweep.
  const AcGePoint2d oldEnd = endPoint();
  const double sweep = mSweep;
  mRef = ((oldEnd - mCenter) / mRadius).normal();
  mClockwise = !mClockwise;
  mStart = 0.0;
  mSweep = sweep;
  return *this;
}

AcGeCircArc2d& AcGeCircArc2d::set(const AcGePoint2d& cent, double radius) {
  return set(cent, radius, 0.0, kTwoPi);
}

AcGeCircArc2d& AcGeCircArc2d::set(const AcGePoint2d& cent, double radius, double ang1, double ang2,
                                  const AcGeVector2d& refVec, Adesk::Boolean isClockWise) {
  mCenter = cent;
  mRadius = std::fabs(radius);
  setRefVec(refVec);
  mClockwise = isClockWise;
  if (ang1 != ang2 && std::fabs(ang2 - ang1) >= kTwoPi && std::fmod(ang2 - ang1, kTwoPi) == 0.0) {
    mStart = ang1;
    mSweep = kTwoPi;
    return *this;
  }
  setSweep(ang1, ang2);
  return *this;
}

AcGeCircArc2d& AcGeCircArc2d::set(const AcGePoint2d& p1, const AcGePoint2d& p2, const AcGePoint2d& p3) {
  // Circumcentre of the triangle; refused (left unchanged) when the points are collinear.
  const AcGeVector2d a = p2 - p1, b = p3 - p1;
  const double d = 2.0 * a.crossProduct(b);
  const double scale = std::max(a.lengthSqrd(), b.lengthSqrd());
  if (scale == 0.0 || std::fabs(d) <= contura::ge::tol::kParallelSine * scale) return *this;
  const double al = a.lengthSqrd(), bl = b.lengthSqrd();
  const AcGePoint2d c(p1.x + (b.y * al - a.y * bl) / d, p1.y + (a.x * bl - b.x * al) / d);
  mCenter = c;
  mRadius = c.distanceTo(p1);
  // Counter-clockwise when p1 -> p2 -> p3 turns left.
  mClockwise = d < 0.0;
  mRef = AcGeVector2d::kXAxis;
  const double s = rawAngle(p1);
  setSweep(s, rawAngle(p3));
  return *this;
}

AcGeCircArc2d& AcGeCircArc2d::set(const AcGePoint2d& startPoint, const AcGePoint2d& endPoint, double bulge,
                                  Adesk::Boolean bulgeFlag) {
  const double c = startPoint.distanceTo(endPoint);
  if (c == 0.0) return *this;
  // Convert a distance bulge (sagitta s) to tan(theta/4) = 2 s / c.
  const double b = bulgeFlag ? 2.0 * bulge / c : bulge;
  // Always counter-clockwise: a negative bulge runs from endPoint to startPoint. A straight
  // bulge leaves the arc as it was.
  contura::ge::CcwArc arc;
  if (!contura::ge::ccwArcFromBulge(startPoint, endPoint, b, arc)) return *this;
  mCenter = arc.center;
  mRadius = arc.radius;
  mRef = AcGeVector2d::kXAxis;
  mClockwise = false;
  mStart = arc.startAngle;
  mSweep = std::fabs(contura::ge::includedAngleFromBulge(b));
  return *this;
}

double AcGeCircArc2d::rawAngle(const AcGePoint2d& pnt) const {
  const AcGeVector2d v = pnt - mCenter;
  return std::atan2(v.dotProduct(frameY()), v.dotProduct(frameX()));
}

double AcGeCircArc2d::angleOf(const AcGePoint2d& pnt) const {
  double t = rawAngle(pnt);
  t -= std::floor((t - mStart) / kTwoPi) * kTwoPi;
  if (t < mStart) t += kTwoPi;
  if (t >= mStart + kTwoPi) t -= kTwoPi;
  return t;
}

void AcGeCircArc2d::getInterval(AcGeInterval& range) const { range.set(mStart, mStart + mSweep); }

AcGePoint2d AcGeCircArc2d::evalPoint(double param) const {
  return mCenter + (frameX() * std::cos(param) + frameY() * std::sin(param)) * mRadius;
}

AcGePoint2d AcGeCircArc2d::evalPoint(double param, int numDeriv, AcGeVector2dArray& derivArray) const {
  derivArray.removeAll();
  const double c = std::cos(param), s = std::sin(param);
  if (numDeriv >= 1) derivArray.append((frameY() * c - frameX() * s) * mRadius);
  if (numDeriv >= 2) derivArray.append((frameX() * c + frameY() * s) * -mRadius);
  return evalPoint(param);
}

double AcGeCircArc2d::paramOf(const AcGePoint2d& pnt, const AcGeTol&) const {
  if (pnt.isEqualTo(mCenter, AcGeTol())) return mStart;
  const double t = angleOf(pnt);
  if (isFullCircle() || t <= mStart + mSweep) return t;
  // Beyond the end: choose the end nearer in angle (going past the end or before the start).
  return (t - (mStart + mSweep)) <= (mStart + kTwoPi - t) ? mStart + mSweep : mStart;
}

AcGePoint2d AcGeCircArc2d::closestPointTo(const AcGePoint2d& pnt, const AcGeTol&) const {
  const AcGeVector2d v = pnt - mCenter;
  if (v.lengthSqrd() == 0.0) return startPoint();
  const double t = angleOf(pnt);
  if (isFullCircle() || t <= mStart + mSweep) return mCenter + v.normal(AcGeTol()) * mRadius;
  const AcGePoint2d s = startPoint(), e = endPoint();
  return pnt.distanceTo(s) <= pnt.distanceTo(e) ? s : e;
}

double AcGeCircArc2d::length(double fromParam, double toParam, const AcGeTol&) const {
  return mRadius * std::fabs(toParam - fromParam);
}

double AcGeCircArc2d::paramAtLength(double datumParam, double length, Adesk::Boolean posParamDir,
                                    const AcGeTol&) const {
  if (mRadius == 0.0) return datumParam;
  const double dt = length / mRadius;
  return posParamDir ? datumParam + dt : datumParam - dt;
}

Adesk::Boolean AcGeCircArc2d::hasStartPoint(AcGePoint2d& startPnt) const {
  if (isFullCircle()) return false;
  startPnt = startPoint();
  return true;
}

Adesk::Boolean AcGeCircArc2d::hasEndPoint(AcGePoint2d& endPnt) const {
  if (isFullCircle()) return false;
  endPnt = endPoint();
  return true;
}

Adesk::Boolean AcGeCircArc2d::isClosed(const AcGeTol&) const { return isFullCircle(); }

Adesk::Boolean AcGeCircArc2d::tangent(const AcGePoint2d& pnt, AcGeLine2d& line, const AcGeTol& tol) const {
  if (!isOn(pnt, tol)) return false;
  AcGeVector2dArray d;
  const AcGePoint2d p = evalPoint(paramOf(pnt, tol), 1, d);
  line.set(p, d[0]);
  return true;
}

Adesk::Boolean AcGeCircArc2d::isInside(const AcGePoint2d& pnt, const AcGeTol& tol) const {
  return pnt.distanceTo(mCenter) < mRadius - tol.equalPoint();
}

AcGeEntity2d& AcGeCircArc2d::transformBy(const AcGeMatrix2d& xfm) {
  if (!xfm.isUniScaledOrtho()) return *this;
  const AcGeVector2d fx = xfm * frameX(), fy = xfm * frameY();
  const double scale = fx.length();
  if (scale == 0.0) return *this;
  mCenter = xfm * mCenter;
  mRadius *= scale;
  mRef = fx / scale;
  // A reflection turns the travel direction around: the frame's handedness tells.
  mClockwise = fx.crossProduct(fy) < 0.0;
  return *this;
}

Adesk::Boolean AcGeCircArc2d::isEqualTo(const AcGeEntity2d& ent, const AcGeTol& tol) const {
  if (ent.type() != AcGe::kCircArc2d) return false;
  const auto& o = static_cast<const AcGeCircArc2d&>(ent);
  if (!mCenter.isEqualTo(o.mCenter, tol) || std::fabs(mRadius - o.mRadius) > tol.equalPoint()) return false;
  if (isFullCircle() || o.isFullCircle()) return isFullCircle() && o.isFullCircle();
  if (std::fabs(length() - o.length()) > tol.equalPoint()) return false;
  return startPoint().isEqualTo(o.startPoint(), tol) && endPoint().isEqualTo(o.endPoint(), tol) &&
         evalPoint(mStart + 0.5 * mSweep).isEqualTo(o.evalPoint(o.mStart + 0.5 * o.mSweep), tol);
}
