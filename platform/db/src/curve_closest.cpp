// Closest points of curves to a given point, with and without extension, and along a
// projection direction.
#include "curve_geom.h"
#include "curve_numeric.h"

#include <cmath>

namespace contura::db {

Acad::ErrorStatus closestPoint(const AcDbCurve& curve, const AcGePoint3d& q, bool extend, AcGePoint3d& out) {
  const CurveKind kind = curveKind(&curve);
  extend = extend && !curve.isClosed();
  Linear3d line;
  if (linearOf(&curve, extend, line)) {
    out = closestOnLinear(line, q);
    return Acad::eOk;
  }
  if (kind == CurveKind::kEllipse) {
    const auto& e = static_cast<const AcDbEllipse&>(curve);
    if (e.isNull()) return Acad::eDegenerateGeometry;
    const ParamCurve c = ellipseCurve(e, extend);
    out = c.point(closestParam(c, q));
    return Acad::eOk;
  }
  if (kind == CurveKind::kSpline) {
    ParamCurve c;
    if (!splineCurve(static_cast<const AcDbSpline&>(curve), c)) return Acad::eNotImplementedYet;
    out = c.point(closestParam(c, q));
    return Acad::eOk;
  }
  PlaneFrame f;
  if (!naturalFrame(&curve, f)) return Acad::eNotImplementedYet;
  std::vector<Piece> pieces;
  AcGePoint2d first;
  if (!planarPieces(&curve, f, extend, extend, pieces, &first)) return Acad::eDegenerateGeometry;
  const AcGePoint2d q2 = f.toPlane(q);
  AcGePoint2d best = first;
  double bestD = pieces.empty() ? 0.0 : -1.0;
  for (const Piece& piece : pieces) {
    const AcGePoint2d p = pieceCurve(piece).closestPointTo(q2);
    const double d = p.distanceTo(q2);
    if (bestD < 0.0 || d < bestD) {
      bestD = d;
      best = p;
    }
  }
  out = f.toWorld(best);
  return Acad::eOk;
}

}  // namespace contura::db

Acad::ErrorStatus AcDbCurve::getClosestPointTo(const AcGePoint3d& givenPnt, AcGePoint3d& pointOnCurve,
                                              bool extend) const {
  return contura::db::closestPoint(*this, givenPnt, extend, pointOnCurve);
}

Acad::ErrorStatus AcDbCurve::getClosestPointTo(const AcGePoint3d& givenPnt, const AcGeVector3d& direction,
                                              AcGePoint3d& pointOnCurve, bool extend) const {
  using namespace contura::db;
  if (direction.isZeroLength()) return Acad::eInvalidInput;
  const AcGeVector3d u = direction.normal();
  // Distances are measured across the direction: the component along it does not count.
  auto across = [&](const AcGeVector3d& v) { return v - u * v.dotProduct(u); };
  Linear3d line;
  if (linearOf(this, extend, line)) {
    const AcGeVector3d d = across(line.dir);
    const double dd = d.lengthSqrd();
    if (dd <= kZeroLength) {
      // Seen along the direction the curve is one point: its start (or base).
      pointOnCurve = line.base + line.dir * (line.hasLo ? line.lo : 0.0);
      return Acad::eOk;
    }
    double t = -across(line.base - givenPnt).dotProduct(d) / dd;
    if (line.hasLo) t = std::max(t, line.lo);
    if (line.hasHi) t = std::min(t, line.hi);
    pointOnCurve = line.base + line.dir * t;
    return Acad::eOk;
  }
  PlaneFrame f;
  if (!naturalFrame(this, f)) return Acad::eNotImplementedYet;
  // A planar curve seen along its normal keeps its shape: the plain closest point to the
  // given point moved into the plane along the direction.
  const double along = u.dotProduct(f.normal);
  if (1.0 - std::fabs(along) > kOnCurveRelTol) return Acad::eNotImplementedYet;
  return closestPoint(*this, givenPnt - u * (f.height(givenPnt) / along), extend, pointOnCurve);
}
