// AcDbCurve's defaults, lines, circles, arcs, points, rays, construction lines and 2D solids.
#include "segments.h"

#include <dbelipse.h>

#include <algorithm>
#include <cmath>

using contura::db::kPi;
using contura::db::kTwoPi;
using contura::db::normalizeAngle;
using contura::db::onCurveTol;

// ---- AcDbCurve -----------------------------------------------------------------------------
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbCurve, AcDbEntity)

AcDbCurve::AcDbCurve() = default;
AcDbCurve::~AcDbCurve() = default;

bool AcDbCurve::isClosed() const { return false; }
bool AcDbCurve::isPeriodic() const { return false; }
bool AcDbCurve::isPlanar() const { return false; }
Acad::ErrorStatus AcDbCurve::getPlane(AcGePlane&) const { return Acad::eNotApplicable; }
Acad::ErrorStatus AcDbCurve::getStartParam(double&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getEndParam(double&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getStartPoint(AcGePoint3d&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getEndPoint(AcGePoint3d&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getPointAtParam(double, AcGePoint3d&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getParamAtPoint(const AcGePoint3d&, double&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getDistAtParam(double, double&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getParamAtDist(double, double&) const { return Acad::eNotImplementedYet; }

Acad::ErrorStatus AcDbCurve::getDistAtPoint(const AcGePoint3d& point, double& dist) const {
  double param = 0.0;
  Acad::ErrorStatus es = getParamAtPoint(point, param);
  return es == Acad::eOk ? getDistAtParam(param, dist) : es;
}

Acad::ErrorStatus AcDbCurve::getPointAtDist(double dist, AcGePoint3d& point) const {
  double param = 0.0;
  Acad::ErrorStatus es = getParamAtDist(dist, param);
  return es == Acad::eOk ? getPointAtParam(param, point) : es;
}

Acad::ErrorStatus AcDbCurve::getFirstDeriv(double, AcGeVector3d&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getFirstDeriv(const AcGePoint3d& point, AcGeVector3d& firstDeriv) const {
  double param = 0.0;
  Acad::ErrorStatus es = getParamAtPoint(point, param);
  return es == Acad::eOk ? getFirstDeriv(param, firstDeriv) : es;
}
Acad::ErrorStatus AcDbCurve::getSecondDeriv(double, AcGeVector3d&) const { return Acad::eNotImplementedYet; }
Acad::ErrorStatus AcDbCurve::getSecondDeriv(const AcGePoint3d& point, AcGeVector3d& secDeriv) const {
  double param = 0.0;
  Acad::ErrorStatus es = getParamAtPoint(point, param);
  return es == Acad::eOk ? getSecondDeriv(param, secDeriv) : es;
}

// Closest points (curve_closest.cpp), offsets (curve_offset.cpp), splitting, extending,
// reversing and areas (curve_edit.cpp) work on every curve kind through its pieces.

// Shared by the classes below: a setter body that checks the open state.
#define SET_CHECKED(MEMBER, VALUE)                                                             \
  do {                                                                                          \
    if (!writable()) return Acad::eNotOpenForWrite;                                             \
    MEMBER = (VALUE);                                                                           \
    return Acad::eOk;                                                                           \
  } while (0)

namespace {
Acad::ErrorStatus setUnitNormal(AcGeVector3d& slot, const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  slot = normal.normal();
  return Acad::eOk;
}
// Adds the segment p -> p + normal * thickness (extruded entities) to an extents box.
void addExtruded(AcDbExtents& box, const AcGePoint3d& p, const AcGeVector3d& normal, double thickness) {
  box.addPoint(p);
  if (thickness != 0.0) box.addPoint(p + normal * thickness);
}
}  // namespace

// ---- AcDbLine ------------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbLine, AcDbCurve, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, LINE,
                        ObjectDBX Classes)

AcDbLine::AcDbLine() = default;
AcDbLine::AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : mStart(start), mEnd(end) {}
AcDbLine::~AcDbLine() = default;

const AcRxClass* AcDbLine::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbLine&>(src);
  return AcDbLine::desc();
}

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& pt) { SET_CHECKED(mStart, pt); }
Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& pt) { SET_CHECKED(mEnd, pt); }
Acad::ErrorStatus AcDbLine::setThickness(double thickness) { SET_CHECKED(mThickness, thickness); }
Acad::ErrorStatus AcDbLine::setNormal(const AcGeVector3d& normal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  return setUnitNormal(mNormal, normal);
}

Acad::ErrorStatus AcDbLine::getStartParam(double& startParam) const {
  startParam = 0.0;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::getEndParam(double& endParam) const {
  endParam = mStart.distanceTo(mEnd);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::getStartPoint(AcGePoint3d& startPoint) const {
  startPoint = mStart;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::getEndPoint(AcGePoint3d& endPoint) const {
  endPoint = mEnd;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getPointAtParam(double param, AcGePoint3d& point) const {
  const double len = mStart.distanceTo(mEnd);
  const double tol = onCurveTol(len);
  if (param < -tol || param > len + tol) return Acad::eInvalidInput;
  point = len > 0.0 ? mStart + (mEnd - mStart) * (std::clamp(param, 0.0, len) / len) : mStart;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  const AcGeVector3d d = mEnd - mStart;
  const double len = d.length();
  const double tol = onCurveTol(std::max(len, point.asVector().length()));
  double t = len > 0.0 ? (point - mStart).dotProduct(d) / len : 0.0;
  t = std::clamp(t, 0.0, len);
  const AcGePoint3d onLine = len > 0.0 ? mStart + d * (t / len) : mStart;
  if (onLine.distanceTo(point) > tol) return Acad::eInvalidInput;
  param = t;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getDistAtParam(double param, double& dist) const {
  const double len = mStart.distanceTo(mEnd);
  if (param < -onCurveTol(len) || param > len + onCurveTol(len)) return Acad::eInvalidInput;
  dist = std::clamp(param, 0.0, len);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getParamAtDist(double dist, double& param) const { return getDistAtParam(dist, param); }

Acad::ErrorStatus AcDbLine::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  AcGePoint3d unused;
  Acad::ErrorStatus es = getPointAtParam(param, unused);
  if (es != Acad::eOk) return es;
  const AcGeVector3d d = mEnd - mStart;
  const double len = d.length();
  firstDeriv = len > 0.0 ? d / len : AcGeVector3d();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getSecondDeriv(double param, AcGeVector3d& secDeriv) const {
  AcGePoint3d unused;
  Acad::ErrorStatus es = getPointAtParam(param, unused);
  if (es == Acad::eOk) secDeriv = AcGeVector3d();
  return es;
}

Acad::ErrorStatus AcDbLine::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mStart.transformBy(xform);
  mEnd.transformBy(xform);
  const AcGeVector3d n = contura::db::transformNormal(xform, mNormal);
  if (!n.isZeroLength()) mNormal = n;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getGeomExtents(AcDbExtents& extents) const {
  AcDbExtents box;
  addExtruded(box, mStart, mNormal, mThickness);
  addExtruded(box, mEnd, mNormal, mThickness);
  extents = box;
  return Acad::eOk;
}

// ---- circle and arc helpers ------------------------------------------------------------------
namespace {

struct PlaneAxes {
  AcGeVector3d x, y;
};

PlaneAxes axesOf(const AcGeVector3d& normal) {
  const AcGeMatrix3d m = contura::db::ocsToWorld(normal);
  return {AcGeVector3d(m(0, 0), m(1, 0), m(2, 0)), AcGeVector3d(m(0, 1), m(1, 1), m(2, 1))};
}

AcGePoint3d pointAtAngle(const AcGePoint3d& c, const AcGeVector3d& normal, double r, double a) {
  const PlaneAxes ax = axesOf(normal);
  return c + ax.x * (r * std::cos(a)) + ax.y * (r * std::sin(a));
}

// Angle of pt around c in the OCS of normal; false when pt is not on the circle.
bool angleOnCircle(const AcGePoint3d& c, const AcGeVector3d& normal, double r, const AcGePoint3d& pt, double& a) {
  const AcGeVector3d v = pt - c;
  const double tol = onCurveTol(std::max(r, c.asVector().length()));
  const double out = v.dotProduct(normal);
  const AcGeVector3d inPlane = v - normal * out;
  if (std::fabs(out) > tol || std::fabs(inPlane.length() - r) > tol) return false;
  const PlaneAxes ax = axesOf(normal);
  a = std::atan2(inPlane.dotProduct(ax.y), inPlane.dotProduct(ax.x));
  return true;
}

// Extents of the arc (full circle for sweep 2pi) from start over sweep in its plane.
void addArcExtents(AcDbExtents& box, const AcGePoint3d& c, const AcGeVector3d& normal, double r,
                   double start, double sweep, double thickness) {
  const PlaneAxes ax = axesOf(normal);
  addExtruded(box, pointAtAngle(c, normal, r, start), normal, thickness);
  addExtruded(box, pointAtAngle(c, normal, r, start + sweep), normal, thickness);
  for (int i = 0; i < 3; ++i) {
    // Coordinate i is extreme where tan a = y_i / x_i.
    const double a0 = std::atan2(ax.y[i], ax.x[i]);
    for (double a : {a0, a0 + kPi})
      if (contura::db::angleInSweep(a, start, sweep)) addExtruded(box, pointAtAngle(c, normal, r, a), normal, thickness);
  }
}

// Maps a circle's plane through xform: the new centre, unit normal and radius, and whether
// the turning direction flips. False when the plane is not mapped by a similarity.
bool mapCircle(const AcGeMatrix3d& xform, AcGePoint3d& center, AcGeVector3d& normal, double& radius, bool& flipped) {
  double scale = 0.0;
  if (!contura::db::planeSimilarity(xform, normal, scale)) return false;
  const PlaneAxes ax = axesOf(normal);
  AcGeVector3d u = ax.x, v = ax.y;
  u.transformBy(xform);
  v.transformBy(xform);
  const AcGeVector3d n = contura::db::transformNormal(xform, normal);
  if (n.isZeroLength()) return false;
  flipped = u.crossProduct(v).dotProduct(n) < 0.0;
  center.transformBy(xform);
  normal = n;
  radius *= scale;
  return true;
}

// The ellipse that is the image of a circle (or arc from start over sweep) under xform.
AcDbEllipse* ellipseImage(const AcGeMatrix3d& xform, const AcGePoint3d& c, const AcGeVector3d& normal,
                          double r, double start, double sweep) {
  const PlaneAxes ax = axesOf(normal);
  auto* e = new AcDbEllipse(c, normal, ax.x * r, 1.0, start, start + sweep);
  if (e->transformBy(xform) != Acad::eOk) {
    delete e;
    return nullptr;
  }
  return e;
}

}  // namespace

// ---- AcDbCircle ----------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbCircle, AcDbCurve, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, CIRCLE,
                        ObjectDBX Classes)

AcDbCircle::AcDbCircle() = default;
AcDbCircle::AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius)
    : mCenter(center), mRadius(std::fabs(radius)) {
  setUnitNormal(mNormal, normal);
}
AcDbCircle::~AcDbCircle() = default;

const AcRxClass* AcDbCircle::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbCircle&>(src);
  return AcDbCircle::desc();
}

Acad::ErrorStatus AcDbCircle::setCenter(const AcGePoint3d& center) { SET_CHECKED(mCenter, center); }
Acad::ErrorStatus AcDbCircle::setRadius(double radius) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(radius >= 0.0)) return Acad::eInvalidInput;
  mRadius = radius;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::setNormal(const AcGeVector3d& normal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  return setUnitNormal(mNormal, normal);
}
Acad::ErrorStatus AcDbCircle::setThickness(double thickness) { SET_CHECKED(mThickness, thickness); }
double AcDbCircle::circumference() const { return kTwoPi * mRadius; }

Acad::ErrorStatus AcDbCircle::getPlane(AcGePlane& plane) const {
  plane.set(mCenter, mNormal);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::getStartParam(double& startParam) const {
  startParam = 0.0;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::getEndParam(double& endParam) const {
  endParam = kTwoPi;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::getStartPoint(AcGePoint3d& startPoint) const {
  startPoint = pointAtAngle(mCenter, mNormal, mRadius, 0.0);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::getEndPoint(AcGePoint3d& endPoint) const { return getStartPoint(endPoint); }

Acad::ErrorStatus AcDbCircle::getPointAtParam(double param, AcGePoint3d& point) const {
  if (!std::isfinite(param)) return Acad::eInvalidInput;
  point = pointAtAngle(mCenter, mNormal, mRadius, param);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  double a = 0.0;
  if (!angleOnCircle(mCenter, mNormal, mRadius, point, a)) return Acad::eInvalidInput;
  param = normalizeAngle(a);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getDistAtParam(double param, double& dist) const {
  if (param < 0.0 || param > kTwoPi + contura::db::kParamTol) return Acad::eInvalidInput;
  dist = mRadius * param;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getParamAtDist(double dist, double& param) const {
  if (mRadius <= 0.0 || dist < 0.0 || dist > circumference() * (1.0 + contura::db::kLengthRelTol)) return Acad::eInvalidInput;
  param = dist / mRadius;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  const PlaneAxes ax = axesOf(mNormal);
  firstDeriv = ax.x * (-mRadius * std::sin(param)) + ax.y * (mRadius * std::cos(param));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getSecondDeriv(double param, AcGeVector3d& secDeriv) const {
  const PlaneAxes ax = axesOf(mNormal);
  secDeriv = ax.x * (-mRadius * std::cos(param)) + ax.y * (-mRadius * std::sin(param));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  AcGePoint3d c = mCenter;
  AcGeVector3d n = mNormal;
  double r = mRadius;
  bool flipped = false;
  if (!mapCircle(xform, c, n, r, flipped)) return Acad::eCannotScaleNonUniformly;
  mCenter = c;
  mNormal = n;
  mRadius = r;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& pEnt) const {
  double scale = 0.0;
  if (contura::db::planeSimilarity(xform, mNormal, scale)) return AcDbEntity::getTransformedCopy(xform, pEnt);
  pEnt = nullptr;
  AcDbEllipse* e = ellipseImage(xform, mCenter, mNormal, mRadius, 0.0, kTwoPi);
  if (e == nullptr) return Acad::eCannotScaleNonUniformly;
  e->setPropertiesFrom(this);
  pEnt = e;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getGeomExtents(AcDbExtents& extents) const {
  AcDbExtents box;
  addArcExtents(box, mCenter, mNormal, mRadius, 0.0, kTwoPi, mThickness);
  extents = box;
  return Acad::eOk;
}

// ---- AcDbArc -------------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbArc, AcDbCurve, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, ARC,
                        ObjectDBX Classes)

AcDbArc::AcDbArc() = default;
AcDbArc::AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle)
    : mCenter(center), mRadius(std::fabs(radius)), mStartAngle(normalizeAngle(startAngle)),
      mEndAngle(normalizeAngle(endAngle)) {}
AcDbArc::AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius, double startAngle,
                 double endAngle)
    : AcDbArc(center, radius, startAngle, endAngle) {
  setUnitNormal(mNormal, normal);
}
AcDbArc::~AcDbArc() = default;

const AcRxClass* AcDbArc::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbArc&>(src);
  return AcDbArc::desc();
}

Acad::ErrorStatus AcDbArc::setCenter(const AcGePoint3d& center) { SET_CHECKED(mCenter, center); }
Acad::ErrorStatus AcDbArc::setRadius(double radius) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(radius >= 0.0)) return Acad::eInvalidInput;
  mRadius = radius;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::setStartAngle(double angle) { SET_CHECKED(mStartAngle, normalizeAngle(angle)); }
Acad::ErrorStatus AcDbArc::setEndAngle(double angle) { SET_CHECKED(mEndAngle, normalizeAngle(angle)); }
Acad::ErrorStatus AcDbArc::setNormal(const AcGeVector3d& normal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  return setUnitNormal(mNormal, normal);
}
Acad::ErrorStatus AcDbArc::setThickness(double thickness) { SET_CHECKED(mThickness, thickness); }

double AcDbArc::totalAngle() const {
  const double sweep = mEndAngle - mStartAngle;
  return sweep > 0.0 ? sweep : sweep + kTwoPi;
}

Acad::ErrorStatus AcDbArc::getPlane(AcGePlane& plane) const {
  plane.set(mCenter, mNormal);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::getStartParam(double& startParam) const {
  startParam = mStartAngle;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::getEndParam(double& endParam) const {
  endParam = mStartAngle + totalAngle();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::getStartPoint(AcGePoint3d& startPoint) const {
  startPoint = pointAtAngle(mCenter, mNormal, mRadius, mStartAngle);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::getEndPoint(AcGePoint3d& endPoint) const {
  endPoint = pointAtAngle(mCenter, mNormal, mRadius, mEndAngle);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getPointAtParam(double param, AcGePoint3d& point) const {
  const double end = mStartAngle + totalAngle();
  if (!(param >= mStartAngle - contura::db::kParamTol && param <= end + contura::db::kParamTol)) return Acad::eInvalidInput;
  point = pointAtAngle(mCenter, mNormal, mRadius, param);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  double a = 0.0;
  if (!angleOnCircle(mCenter, mNormal, mRadius, point, a)) return Acad::eInvalidInput;
  double rel = std::fmod(a - mStartAngle, kTwoPi);
  if (rel < 0.0) rel += kTwoPi;
  const double sweep = totalAngle();
  // A point just before the start (within tolerance) is the start.
  if (rel > sweep + contura::db::kParamTol) {
    if (kTwoPi - rel <= contura::db::kParamTol) rel = 0.0;
    else return Acad::eInvalidInput;
  }
  param = mStartAngle + std::min(rel, sweep);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getDistAtParam(double param, double& dist) const {
  const double end = mStartAngle + totalAngle();
  if (!(param >= mStartAngle - contura::db::kParamTol && param <= end + contura::db::kParamTol)) return Acad::eInvalidInput;
  dist = mRadius * (std::clamp(param, mStartAngle, end) - mStartAngle);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getParamAtDist(double dist, double& param) const {
  if (mRadius <= 0.0 || dist < 0.0 || dist > length() * (1.0 + contura::db::kLengthRelTol) + contura::db::kZeroLength) return Acad::eInvalidInput;
  param = mStartAngle + std::min(dist / mRadius, totalAngle());
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  AcGePoint3d unused;
  Acad::ErrorStatus es = getPointAtParam(param, unused);
  if (es != Acad::eOk) return es;
  const PlaneAxes ax = axesOf(mNormal);
  firstDeriv = ax.x * (-mRadius * std::sin(param)) + ax.y * (mRadius * std::cos(param));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getSecondDeriv(double param, AcGeVector3d& secDeriv) const {
  AcGePoint3d unused;
  Acad::ErrorStatus es = getPointAtParam(param, unused);
  if (es != Acad::eOk) return es;
  const PlaneAxes ax = axesOf(mNormal);
  secDeriv = ax.x * (-mRadius * std::cos(param)) + ax.y * (-mRadius * std::sin(param));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  AcGePoint3d start, end;
  getStartPoint(start);
  getEndPoint(end);
  AcGePoint3d c = mCenter;
  AcGeVector3d n = mNormal;
  double r = mRadius;
  bool flipped = false;
  if (!mapCircle(xform, c, n, r, flipped)) return Acad::eCannotScaleNonUniformly;
  start.transformBy(xform);
  end.transformBy(xform);
  const PlaneAxes ax = axesOf(n);
  auto angleOf = [&](const AcGePoint3d& p) {
    const AcGeVector3d v = p - c;
    return normalizeAngle(std::atan2(v.dotProduct(ax.y), v.dotProduct(ax.x)));
  };
  const double a0 = angleOf(start), a1 = angleOf(end);
  // A mirrored arc runs the other way: its end becomes its start.
  mStartAngle = flipped ? a1 : a0;
  mEndAngle = flipped ? a0 : a1;
  mCenter = c;
  mNormal = n;
  mRadius = r;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& pEnt) const {
  double scale = 0.0;
  if (contura::db::planeSimilarity(xform, mNormal, scale)) return AcDbEntity::getTransformedCopy(xform, pEnt);
  pEnt = nullptr;
  AcDbEllipse* e = ellipseImage(xform, mCenter, mNormal, mRadius, mStartAngle, totalAngle());
  if (e == nullptr) return Acad::eCannotScaleNonUniformly;
  e->setPropertiesFrom(this);
  pEnt = e;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getGeomExtents(AcDbExtents& extents) const {
  AcDbExtents box;
  addArcExtents(box, mCenter, mNormal, mRadius, mStartAngle, totalAngle(), mThickness);
  extents = box;
  return Acad::eOk;
}

// ---- AcDbPoint ------------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbPoint, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, POINT,
                        ObjectDBX Classes)

AcDbPoint::AcDbPoint() = default;
AcDbPoint::AcDbPoint(const AcGePoint3d& position) : mPosition(position) {}
AcDbPoint::~AcDbPoint() = default;

const AcRxClass* AcDbPoint::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbPoint&>(src);
  return AcDbPoint::desc();
}

Acad::ErrorStatus AcDbPoint::setPosition(const AcGePoint3d& pt) { SET_CHECKED(mPosition, pt); }
Acad::ErrorStatus AcDbPoint::setThickness(double thickness) { SET_CHECKED(mThickness, thickness); }
Acad::ErrorStatus AcDbPoint::setNormal(const AcGeVector3d& normal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  return setUnitNormal(mNormal, normal);
}
Acad::ErrorStatus AcDbPoint::setEcsRotation(double rotation) { SET_CHECKED(mEcsRotation, rotation); }

Acad::ErrorStatus AcDbPoint::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  mPosition.transformBy(xform);
  const AcGeVector3d n = contura::db::transformNormal(xform, mNormal);
  if (!n.isZeroLength()) mNormal = n;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::getGeomExtents(AcDbExtents& extents) const {
  AcDbExtents box;
  addExtruded(box, mPosition, mNormal, mThickness);
  extents = box;
  return Acad::eOk;
}

// ---- AcDbRay and AcDbXline ------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbRay, AcDbCurve, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, RAY,
                        ObjectDBX Classes)

AcDbRay::AcDbRay() = default;
AcDbRay::~AcDbRay() = default;

const AcRxClass* AcDbRay::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbRay&>(src);
  return AcDbRay::desc();
}

void AcDbRay::setBasePoint(const AcGePoint3d& pt) {
  if (writable()) mBase = pt;
}
void AcDbRay::setUnitDir(const AcGeVector3d& vec) {
  if (writable() && !vec.isZeroLength()) mDir = vec.normal();
}
void AcDbRay::setSecondPoint(const AcGePoint3d& pt) { setUnitDir(pt - mBase); }

Acad::ErrorStatus AcDbRay::getStartParam(double& startParam) const {
  startParam = 0.0;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbRay::getEndParam(double&) const { return Acad::eNotApplicable; }
Acad::ErrorStatus AcDbRay::getStartPoint(AcGePoint3d& startPoint) const {
  startPoint = mBase;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbRay::getEndPoint(AcGePoint3d&) const { return Acad::eNotApplicable; }

Acad::ErrorStatus AcDbRay::getPointAtParam(double param, AcGePoint3d& point) const {
  if (!std::isfinite(param) || (!bothWays() && param < 0.0)) return Acad::eInvalidInput;
  point = mBase + mDir * param;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRay::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  const double t = (point - mBase).dotProduct(mDir);
  const double tol = onCurveTol(std::max(std::fabs(t), mBase.asVector().length()));
  if ((!bothWays() && t < -tol) || (mBase + mDir * t).distanceTo(point) > tol) return Acad::eInvalidInput;
  param = bothWays() ? t : std::max(t, 0.0);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRay::getDistAtParam(double param, double& dist) const {
  if (!std::isfinite(param) || (!bothWays() && param < 0.0)) return Acad::eInvalidInput;
  dist = param;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRay::getParamAtDist(double dist, double& param) const { return getDistAtParam(dist, param); }

Acad::ErrorStatus AcDbRay::getFirstDeriv(double param, AcGeVector3d& firstDeriv) const {
  if (!std::isfinite(param) || (!bothWays() && param < 0.0)) return Acad::eInvalidInput;
  firstDeriv = mDir;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRay::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  AcGeVector3d d = mDir;
  d.transformBy(xform);
  if (d.isZeroLength()) return Acad::eInvalidInput;
  mBase.transformBy(xform);
  mDir = d.normal();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbRay::getGeomExtents(AcDbExtents&) const { return Acad::eInvalidExtents; }

ACRX_DXF_DEFINE_MEMBERS(AcDbXline, AcDbRay, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, XLINE,
                        ObjectDBX Classes)

AcDbXline::AcDbXline() = default;
AcDbXline::~AcDbXline() = default;

const AcRxClass* AcDbXline::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbXline&>(src);
  return AcDbXline::desc();
}

Acad::ErrorStatus AcDbXline::getStartParam(double&) const { return Acad::eNotApplicable; }
Acad::ErrorStatus AcDbXline::getStartPoint(AcGePoint3d&) const { return Acad::eNotApplicable; }

// ---- AcDbSolid -------------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbSolid, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, SOLID,
                        ObjectDBX Classes)

AcDbSolid::AcDbSolid() = default;
AcDbSolid::AcDbSolid(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2,
                     const AcGePoint3d& pt3)
    : mPoints{pt0, pt1, pt2, pt3} {}
AcDbSolid::AcDbSolid(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2)
    : mPoints{pt0, pt1, pt2, pt2} {}
AcDbSolid::~AcDbSolid() = default;

const AcRxClass* AcDbSolid::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbSolid&>(src);
  return AcDbSolid::desc();
}

Acad::ErrorStatus AcDbSolid::getPointAt(Adesk::UInt16 idx, AcGePoint3d& pntRes) const {
  if (idx > 3) return Acad::eInvalidIndex;
  pntRes = mPoints[idx];
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSolid::setPointAt(Adesk::UInt16 idx, const AcGePoint3d& pntArg) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (idx > 3) return Acad::eInvalidIndex;
  mPoints[idx] = pntArg;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbSolid::setThickness(double thickness) { SET_CHECKED(mThickness, thickness); }
Acad::ErrorStatus AcDbSolid::setNormal(const AcGeVector3d& normal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  return setUnitNormal(mNormal, normal);
}

Acad::ErrorStatus AcDbSolid::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const AcGeVector3d n = contura::db::transformNormal(xform, mNormal);
  if (n.isZeroLength()) return Acad::eInvalidInput;
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(mNormal);
  const AcGeMatrix3d toOcs = contura::db::worldToOcs(n);
  for (AcGePoint3d& p : mPoints) p = toOcs * (xform * (toWorld * p));
  mNormal = n;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSolid::getGeomExtents(AcDbExtents& extents) const {
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(mNormal);
  AcDbExtents box;
  for (const AcGePoint3d& p : mPoints) addExtruded(box, toWorld * p, mNormal, mThickness);
  extents = box;
  return Acad::eOk;
}
