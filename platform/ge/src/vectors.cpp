// Points and vectors in 2D and 3D: constants, lengths, angles, comparisons and transforms.
#include <cmath>

#include "contura/ge/angles.h"
#include "gemat2d.h"
#include "gemat3d.h"
#include "geplane.h"

constinit AcGeTol AcGeContext::gTol;

constinit const AcGeVector2d AcGeVector2d::kIdentity(0.0, 0.0);
constinit const AcGeVector2d AcGeVector2d::kXAxis(1.0, 0.0);
constinit const AcGeVector2d AcGeVector2d::kYAxis(0.0, 1.0);
constinit const AcGePoint2d AcGePoint2d::kOrigin(0.0, 0.0);
constinit const AcGeVector3d AcGeVector3d::kIdentity(0.0, 0.0, 0.0);
constinit const AcGeVector3d AcGeVector3d::kXAxis(1.0, 0.0, 0.0);
constinit const AcGeVector3d AcGeVector3d::kYAxis(0.0, 1.0, 0.0);
constinit const AcGeVector3d AcGeVector3d::kZAxis(0.0, 0.0, 1.0);
constinit const AcGePoint3d AcGePoint3d::kOrigin(0.0, 0.0, 0.0);

namespace {
using contura::ge::kTwoPi;

// Threshold of the arbitrary-axis rule: a normal this close to the Z axis takes world Y.
constexpr double kArbitraryAxisLimit = 1.0 / 64.0;
}  // namespace

// ---------------------------------------------------------------- AcGeVector2d

AcGeVector2d operator*(const AcGeMatrix2d& m, const AcGeVector2d& v) {
  return {m.entry[0][0] * v.x + m.entry[0][1] * v.y, m.entry[1][0] * v.x + m.entry[1][1] * v.y};
}

AcGeVector2d& AcGeVector2d::setToProduct(const AcGeMatrix2d& mat, const AcGeVector2d& vec) {
  return *this = mat * vec;
}

AcGeVector2d& AcGeVector2d::transformBy(const AcGeMatrix2d& mat) { return *this = mat * *this; }

AcGeVector2d& AcGeVector2d::rotateBy(double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return set(c * x - s * y, s * x + c * y);
}

AcGeVector2d& AcGeVector2d::mirror(const AcGeVector2d& line) {
  const double len2 = line.lengthSqrd();
  if (len2 == 0.0) return *this;
  // Reflection: 2 * projection onto the line minus the vector itself.
  const double k = 2.0 * dotProduct(line) / len2;
  return set(k * line.x - x, k * line.y - y);
}

double AcGeVector2d::angle() const {
  return contura::ge::normalizeAngle(std::atan2(y, x));
}

double AcGeVector2d::angleTo(const AcGeVector2d& vec) const {
  return std::atan2(std::fabs(crossProduct(vec)), dotProduct(vec));
}

double AcGeVector2d::length() const { return std::hypot(x, y); }

AcGeVector2d AcGeVector2d::normal(const AcGeTol& tol) const {
  AcGeVector2d v(*this);
  return v.normalize(tol);
}

AcGeVector2d& AcGeVector2d::normalize(const AcGeTol& tol) {
  AcGe::ErrorCondition flag;
  return normalize(tol, flag);
}

AcGeVector2d& AcGeVector2d::normalize(const AcGeTol& tol, AcGe::ErrorCondition& flag) {
  const double len = length();
  if (len <= tol.equalVector()) {
    flag = AcGe::k0This;
    return set(0.0, 0.0);
  }
  flag = AcGe::kOk;
  return *this /= len;
}

Adesk::Boolean AcGeVector2d::isUnitLength(const AcGeTol& tol) const {
  return std::fabs(length() - 1.0) <= tol.equalVector();
}

Adesk::Boolean AcGeVector2d::isZeroLength(const AcGeTol& tol) const {
  return length() <= tol.equalVector();
}

Adesk::Boolean AcGeVector2d::isParallelTo(const AcGeVector2d& vec, const AcGeTol& tol) const {
  const double l1 = length(), l2 = vec.length();
  if (l1 <= tol.equalVector() || l2 <= tol.equalVector()) return false;
  return std::fabs(crossProduct(vec)) / (l1 * l2) <= tol.equalVector();
}

Adesk::Boolean AcGeVector2d::isCodirectionalTo(const AcGeVector2d& vec, const AcGeTol& tol) const {
  return isParallelTo(vec, tol) && dotProduct(vec) > 0.0;
}

Adesk::Boolean AcGeVector2d::isPerpendicularTo(const AcGeVector2d& vec, const AcGeTol& tol) const {
  const double l1 = length(), l2 = vec.length();
  if (l1 <= tol.equalVector() || l2 <= tol.equalVector()) return false;
  return std::fabs(dotProduct(vec)) / (l1 * l2) <= tol.equalVector();
}

Adesk::Boolean AcGeVector2d::isEqualTo(const AcGeVector2d& vec, const AcGeTol& tol) const {
  return (*this - vec).length() <= tol.equalVector();
}

// ---------------------------------------------------------------- AcGePoint2d

AcGePoint2d operator*(const AcGeMatrix2d& m, const AcGePoint2d& p) {
  return {m.entry[0][0] * p.x + m.entry[0][1] * p.y + m.entry[0][2],
          m.entry[1][0] * p.x + m.entry[1][1] * p.y + m.entry[1][2]};
}

AcGePoint2d& AcGePoint2d::setToProduct(const AcGeMatrix2d& mat, const AcGePoint2d& pnt) {
  return *this = mat * pnt;
}

AcGePoint2d& AcGePoint2d::transformBy(const AcGeMatrix2d& mat) { return *this = mat * *this; }

AcGePoint2d& AcGePoint2d::rotateBy(double angle, const AcGePoint2d& wrtPoint) {
  AcGeVector2d v = *this - wrtPoint;
  return *this = wrtPoint + v.rotateBy(angle);
}

AcGePoint2d& AcGePoint2d::mirror(const AcGePoint2d& linePoint, const AcGeVector2d& lineDir) {
  AcGeVector2d v = *this - linePoint;
  return *this = linePoint + v.mirror(lineDir);
}

AcGePoint2d& AcGePoint2d::scaleBy(double scaleFactor, const AcGePoint2d& wrtPoint) {
  return *this = wrtPoint + (*this - wrtPoint) * scaleFactor;
}

double AcGePoint2d::distanceTo(const AcGePoint2d& pnt) const { return (*this - pnt).length(); }

Adesk::Boolean AcGePoint2d::isEqualTo(const AcGePoint2d& pnt, const AcGeTol& tol) const {
  return distanceTo(pnt) <= tol.equalPoint();
}

// ---------------------------------------------------------------- AcGeVector3d

AcGeVector3d::AcGeVector3d(const AcGePlane& pln, const AcGeVector2d& vec) { set(pln, vec); }

AcGeVector3d& AcGeVector3d::set(const AcGePlane& pln, const AcGeVector2d& vec) {
  AcGePoint3d origin;
  AcGeVector3d u, v;
  pln.getCoordSystem(origin, u, v);
  return *this = u * vec.x + v * vec.y;
}

AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v) {
  return {m.entry[0][0] * v.x + m.entry[0][1] * v.y + m.entry[0][2] * v.z,
          m.entry[1][0] * v.x + m.entry[1][1] * v.y + m.entry[1][2] * v.z,
          m.entry[2][0] * v.x + m.entry[2][1] * v.y + m.entry[2][2] * v.z};
}

AcGeVector3d& AcGeVector3d::setToProduct(const AcGeMatrix3d& mat, const AcGeVector3d& vec) {
  return *this = mat * vec;
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& leftSide) {
  return *this = leftSide * *this;
}

AcGeVector3d& AcGeVector3d::rotateBy(double ang, const AcGeVector3d& axis) {
  return *this = AcGeMatrix3d::rotation(ang, axis) * *this;
}

AcGeVector3d& AcGeVector3d::mirror(const AcGeVector3d& normalToPlane) {
  const double len2 = normalToPlane.lengthSqrd();
  if (len2 == 0.0) return *this;
  return *this -= normalToPlane * (2.0 * dotProduct(normalToPlane) / len2);
}

// Solves for the (u, v) coordinates of the in-plane part of a vector, allowing axes that are
// neither unit nor perpendicular (planes built from three points).
static AcGeVector2d planeCoordinates(const AcGePlane& pln, const AcGeVector3d& w) {
  AcGePoint3d origin;
  AcGeVector3d u, v;
  pln.getCoordSystem(origin, u, v);
  const double uu = u.dotProduct(u), uv = u.dotProduct(v), vv = v.dotProduct(v);
  const double wu = w.dotProduct(u), wv = w.dotProduct(v);
  const double d = uu * vv - uv * uv;
  if (d == 0.0) return {};
  return {(wu * vv - wv * uv) / d, (wv * uu - wu * uv) / d};
}

AcGeVector2d AcGeVector3d::convert2d(const AcGePlane& pln) const {
  return planeCoordinates(pln, *this);
}

AcGeVector3d AcGeVector3d::perpVector() const {
  AcGeVector3d n = normal();
  if (n.isZeroLength()) return {};
  AcGeVector3d p = (std::fabs(n.x) < kArbitraryAxisLimit && std::fabs(n.y) < kArbitraryAxisLimit)
                       ? kYAxis.crossProduct(n)
                       : kZAxis.crossProduct(n);
  return p.normalize();
}

double AcGeVector3d::angleTo(const AcGeVector3d& vec) const {
  return std::atan2(crossProduct(vec).length(), dotProduct(vec));
}

double AcGeVector3d::angleTo(const AcGeVector3d& vec, const AcGeVector3d& refVec) const {
  const AcGeVector3d c = crossProduct(vec);
  double a = std::atan2(c.length(), dotProduct(vec));
  if (c.dotProduct(refVec) < 0.0) a = kTwoPi - a;
  return a >= kTwoPi ? 0.0 : a;
}

double AcGeVector3d::angleOnPlane(const AcGePlane& pln) const {
  return convert2d(pln).angle();
}

double AcGeVector3d::length() const { return std::sqrt(x * x + y * y + z * z); }

AcGeVector3d AcGeVector3d::normal(const AcGeTol& tol) const {
  AcGeVector3d v(*this);
  return v.normalize(tol);
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol) {
  AcGe::ErrorCondition flag;
  return normalize(tol, flag);
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol, AcGe::ErrorCondition& flag) {
  const double len = length();
  if (len <= tol.equalVector()) {
    flag = AcGe::k0This;
    return set(0.0, 0.0, 0.0);
  }
  flag = AcGe::kOk;
  return *this /= len;
}

Adesk::Boolean AcGeVector3d::isUnitLength(const AcGeTol& tol) const {
  return std::fabs(length() - 1.0) <= tol.equalVector();
}

Adesk::Boolean AcGeVector3d::isZeroLength(const AcGeTol& tol) const {
  return length() <= tol.equalVector();
}

Adesk::Boolean AcGeVector3d::isParallelTo(const AcGeVector3d& vec, const AcGeTol& tol) const {
  const double l1 = length(), l2 = vec.length();
  if (l1 <= tol.equalVector() || l2 <= tol.equalVector()) return false;
  return crossProduct(vec).length() / (l1 * l2) <= tol.equalVector();
}

Adesk::Boolean AcGeVector3d::isCodirectionalTo(const AcGeVector3d& vec, const AcGeTol& tol) const {
  return isParallelTo(vec, tol) && dotProduct(vec) > 0.0;
}

Adesk::Boolean AcGeVector3d::isPerpendicularTo(const AcGeVector3d& vec, const AcGeTol& tol) const {
  const double l1 = length(), l2 = vec.length();
  if (l1 <= tol.equalVector() || l2 <= tol.equalVector()) return false;
  return std::fabs(dotProduct(vec)) / (l1 * l2) <= tol.equalVector();
}

AcGeVector3d AcGeVector3d::orthoProject(const AcGeVector3d& planeNormal) const {
  const double len2 = planeNormal.lengthSqrd();
  if (len2 == 0.0) return *this;
  return *this - planeNormal * (dotProduct(planeNormal) / len2);
}

Adesk::Boolean AcGeVector3d::isEqualTo(const AcGeVector3d& vec, const AcGeTol& tol) const {
  return (*this - vec).length() <= tol.equalVector();
}

unsigned int AcGeVector3d::largestElement() const {
  const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
  if (ax >= ay && ax >= az) return 0;
  return ay >= az ? 1 : 2;
}

// ---------------------------------------------------------------- AcGePoint3d

AcGePoint3d::AcGePoint3d(const AcGePlane& pln, const AcGePoint2d& pnt2d) { set(pln, pnt2d); }

AcGePoint3d& AcGePoint3d::set(const AcGePlane& pln, const AcGePoint2d& pnt2d) {
  AcGePoint3d origin;
  AcGeVector3d u, v;
  pln.getCoordSystem(origin, u, v);
  return *this = origin + u * pnt2d.x + v * pnt2d.y;
}

AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) {
  AcGePoint3d r(m.entry[0][0] * p.x + m.entry[0][1] * p.y + m.entry[0][2] * p.z + m.entry[0][3],
                m.entry[1][0] * p.x + m.entry[1][1] * p.y + m.entry[1][2] * p.z + m.entry[1][3],
                m.entry[2][0] * p.x + m.entry[2][1] * p.y + m.entry[2][2] * p.z + m.entry[2][3]);
  // Projective matrices carry a non-trivial last row; affine ones give w == 1 exactly.
  const double w = m.entry[3][0] * p.x + m.entry[3][1] * p.y + m.entry[3][2] * p.z + m.entry[3][3];
  if (w != 1.0 && w != 0.0) r /= w;
  return r;
}

AcGePoint3d& AcGePoint3d::setToProduct(const AcGeMatrix3d& mat, const AcGePoint3d& pnt) {
  return *this = mat * pnt;
}

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& leftSide) {
  return *this = leftSide * *this;
}

AcGePoint3d& AcGePoint3d::rotateBy(double angle, const AcGeVector3d& vec, const AcGePoint3d& wrtPoint) {
  return *this = AcGeMatrix3d::rotation(angle, vec, wrtPoint) * *this;
}

AcGePoint3d& AcGePoint3d::mirror(const AcGePlane& pln) {
  return *this = AcGeMatrix3d::mirroring(pln) * *this;
}

AcGePoint3d& AcGePoint3d::scaleBy(double scaleFactor, const AcGePoint3d& wrtPoint) {
  return *this = wrtPoint + (*this - wrtPoint) * scaleFactor;
}

AcGePoint2d AcGePoint3d::convert2d(const AcGePlane& pln) const {
  const AcGeVector2d uv = planeCoordinates(pln, *this - pln.pointOnPlane());
  return {uv.x, uv.y};
}

AcGePoint3d AcGePoint3d::orthoProject(const AcGePlane& pln) const { return pln.closestPointTo(*this); }

double AcGePoint3d::distanceTo(const AcGePoint3d& pnt) const { return (*this - pnt).length(); }

Adesk::Boolean AcGePoint3d::isEqualTo(const AcGePoint3d& pnt, const AcGeTol& tol) const {
  return distanceTo(pnt) <= tol.equalPoint();
}
