// 2D and 3D transformation matrices, scale triples and planes.
#include <algorithm>
#include <cmath>
#include <utility>

#include "gemat2d.h"
#include "gemat3d.h"
#include "geplane.h"

namespace {

// Square-matrix kernels shared by the 3x3 and 4x4 classes.
template <int N>
void identity(double (&m)[N][N]) {
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) m[i][j] = i == j ? 1.0 : 0.0;
}

template <int N>
void product(double (&out)[N][N], const double (&a)[N][N], const double (&b)[N][N]) {
  double r[N][N];
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) {
      double s = 0.0;
      for (int k = 0; k < N; ++k) s += a[i][k] * b[k][j];
      r[i][j] = s;
    }
  std::copy(&r[0][0], &r[0][0] + N * N, &out[0][0]);
}

template <int N>
double largestEntry(const double (&m)[N][N]) {
  double big = 0.0;
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) big = std::max(big, std::fabs(m[i][j]));
  return big;
}

// Gauss-Jordan with partial pivoting. A pivot no larger than relTol times the largest entry
// means the matrix is singular: out is left untouched and false returned.
template <int N>
bool invertInto(double (&out)[N][N], const double (&in)[N][N], double relTol) {
  double a[N][N], inv[N][N];
  std::copy(&in[0][0], &in[0][0] + N * N, &a[0][0]);
  identity(inv);
  const double limit = relTol * largestEntry(in);
  for (int col = 0; col < N; ++col) {
    int pivot = col;
    for (int r = col + 1; r < N; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (std::fabs(a[pivot][col]) <= limit || a[pivot][col] == 0.0) return false;
    if (pivot != col) {
      for (int j = 0; j < N; ++j) {
        std::swap(a[pivot][j], a[col][j]);
        std::swap(inv[pivot][j], inv[col][j]);
      }
    }
    const double p = a[col][col];
    for (int j = 0; j < N; ++j) {
      a[col][j] /= p;
      inv[col][j] /= p;
    }
    for (int r = 0; r < N; ++r) {
      if (r == col || a[r][col] == 0.0) continue;
      const double f = a[r][col];
      for (int j = 0; j < N; ++j) {
        a[r][j] -= f * a[col][j];
        inv[r][j] -= f * inv[col][j];
      }
    }
  }
  std::copy(&inv[0][0], &inv[0][0] + N * N, &out[0][0]);
  return true;
}

// Determinant by elimination with partial pivoting.
template <int N>
double determinant(const double (&in)[N][N]) {
  double a[N][N];
  std::copy(&in[0][0], &in[0][0] + N * N, &a[0][0]);
  double det = 1.0;
  for (int col = 0; col < N; ++col) {
    int pivot = col;
    for (int r = col + 1; r < N; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (a[pivot][col] == 0.0) return 0.0;
    if (pivot != col) {
      for (int j = 0; j < N; ++j) std::swap(a[pivot][j], a[col][j]);
      det = -det;
    }
    det *= a[col][col];
    for (int r = col + 1; r < N; ++r) {
      const double f = a[r][col] / a[col][col];
      for (int j = col; j < N; ++j) a[r][j] -= f * a[col][j];
    }
  }
  return det;
}

template <int N>
void transposeInPlace(double (&m)[N][N]) {
  for (int i = 0; i < N; ++i)
    for (int j = i + 1; j < N; ++j) std::swap(m[i][j], m[j][i]);
}

template <int N>
bool entriesEqual(const double (&a)[N][N], const double (&b)[N][N], double tol) {
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j)
      if (std::fabs(a[i][j] - b[i][j]) > tol) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------- AcGeMatrix2d

constinit const AcGeMatrix2d AcGeMatrix2d::kIdentity;

AcGeMatrix2d& AcGeMatrix2d::setToIdentity() {
  identity(entry);
  return *this;
}

AcGeMatrix2d AcGeMatrix2d::operator*(const AcGeMatrix2d& mat) const {
  AcGeMatrix2d r;
  product(r.entry, entry, mat.entry);
  return r;
}

AcGeMatrix2d& AcGeMatrix2d::preMultiplyBy(const AcGeMatrix2d& leftSide) {
  product(entry, leftSide.entry, entry);
  return *this;
}

AcGeMatrix2d& AcGeMatrix2d::postMultiplyBy(const AcGeMatrix2d& rightSide) {
  product(entry, entry, rightSide.entry);
  return *this;
}

AcGeMatrix2d& AcGeMatrix2d::setToProduct(const AcGeMatrix2d& mat1, const AcGeMatrix2d& mat2) {
  product(entry, mat1.entry, mat2.entry);
  return *this;
}

AcGeMatrix2d& AcGeMatrix2d::invert() {
  invertInto(entry, entry, AcGeContext::gTol.equalVector());
  return *this;
}

AcGeMatrix2d AcGeMatrix2d::inverse() const {
  AcGeMatrix2d r(*this);
  return r.invert();
}

Adesk::Boolean AcGeMatrix2d::isSingular(const AcGeTol& tol) const {
  double scratch[3][3];
  return !invertInto(scratch, entry, tol.equalVector());
}

AcGeMatrix2d& AcGeMatrix2d::transposeIt() {
  transposeInPlace(entry);
  return *this;
}

AcGeMatrix2d AcGeMatrix2d::transpose() const {
  AcGeMatrix2d r(*this);
  return r.transposeIt();
}

double AcGeMatrix2d::det() const { return determinant(entry); }

Adesk::Boolean AcGeMatrix2d::isEqualTo(const AcGeMatrix2d& mat, const AcGeTol& tol) const {
  return entriesEqual(entry, mat.entry, tol.equalVector());
}

Adesk::Boolean AcGeMatrix2d::isScaledOrtho(const AcGeTol& tol) const {
  const AcGeVector2d e0(entry[0][0], entry[1][0]), e1(entry[0][1], entry[1][1]);
  return e0.isPerpendicularTo(e1, tol);
}

Adesk::Boolean AcGeMatrix2d::isUniScaledOrtho(const AcGeTol& tol) const {
  const AcGeVector2d e0(entry[0][0], entry[1][0]), e1(entry[0][1], entry[1][1]);
  const double l0 = e0.length(), l1 = e1.length();
  return isScaledOrtho(tol) && std::fabs(l0 - l1) <= tol.equalVector() * std::max(l0, l1);
}

double AcGeMatrix2d::scale() const {
  const AcGeVector2d e0(entry[0][0], entry[1][0]), e1(entry[0][1], entry[1][1]);
  return std::max(e0.length(), e1.length());
}

AcGeMatrix2d& AcGeMatrix2d::setTranslation(const AcGeVector2d& vec) {
  entry[0][2] = vec.x;
  entry[1][2] = vec.y;
  return *this;
}

AcGeVector2d AcGeMatrix2d::translation() const { return {entry[0][2], entry[1][2]}; }

AcGeMatrix2d& AcGeMatrix2d::setCoordSystem(const AcGePoint2d& origin, const AcGeVector2d& e0,
                                           const AcGeVector2d& e1) {
  setToIdentity();
  entry[0][0] = e0.x; entry[1][0] = e0.y;
  entry[0][1] = e1.x; entry[1][1] = e1.y;
  entry[0][2] = origin.x; entry[1][2] = origin.y;
  return *this;
}

void AcGeMatrix2d::getCoordSystem(AcGePoint2d& origin, AcGeVector2d& e0, AcGeVector2d& e1) const {
  origin.set(entry[0][2], entry[1][2]);
  e0.set(entry[0][0], entry[1][0]);
  e1.set(entry[0][1], entry[1][1]);
}

AcGeMatrix2d& AcGeMatrix2d::setToTranslation(const AcGeVector2d& vec) {
  setToIdentity();
  return setTranslation(vec);
}

AcGeMatrix2d& AcGeMatrix2d::setToRotation(double angle, const AcGePoint2d& center) {
  const double c = std::cos(angle), s = std::sin(angle);
  setToIdentity();
  entry[0][0] = c; entry[0][1] = -s;
  entry[1][0] = s; entry[1][1] = c;
  // Rotation about center: x' = R (x - c) + c.
  entry[0][2] = center.x - (c * center.x - s * center.y);
  entry[1][2] = center.y - (s * center.x + c * center.y);
  return *this;
}

AcGeMatrix2d& AcGeMatrix2d::setToScaling(double scaleAll, const AcGePoint2d& center) {
  setToIdentity();
  entry[0][0] = entry[1][1] = scaleAll;
  entry[0][2] = center.x * (1.0 - scaleAll);
  entry[1][2] = center.y * (1.0 - scaleAll);
  return *this;
}

AcGeMatrix2d& AcGeMatrix2d::setToMirroring(const AcGePoint2d& pnt) { return setToScaling(-1.0, pnt); }

AcGeMatrix2d& AcGeMatrix2d::setToMirroring(const AcGePoint2d& linePoint, const AcGeVector2d& lineDir) {
  setToIdentity();
  const AcGeVector2d d = lineDir.normal();
  if (d.isZeroLength()) return *this;
  // Householder reflection 2 d d^T - I about the line, then moved onto linePoint.
  entry[0][0] = 2.0 * d.x * d.x - 1.0; entry[0][1] = 2.0 * d.x * d.y;
  entry[1][0] = 2.0 * d.x * d.y;       entry[1][1] = 2.0 * d.y * d.y - 1.0;
  const AcGePoint2d moved = *this * linePoint;
  entry[0][2] = linePoint.x - moved.x;
  entry[1][2] = linePoint.y - moved.y;
  return *this;
}

AcGeMatrix2d& AcGeMatrix2d::setToAlignCoordSys(const AcGePoint2d& fromOrigin, const AcGeVector2d& fromE0,
                                               const AcGeVector2d& fromE1, const AcGePoint2d& toOrigin,
                                               const AcGeVector2d& toE0, const AcGeVector2d& toE1) {
  AcGeMatrix2d from, to;
  from.setCoordSystem(fromOrigin, fromE0, fromE1);
  to.setCoordSystem(toOrigin, toE0, toE1);
  return *this = to * from.inverse();
}

AcGeMatrix2d AcGeMatrix2d::translation(const AcGeVector2d& vec) { return AcGeMatrix2d().setToTranslation(vec); }
AcGeMatrix2d AcGeMatrix2d::rotation(double angle, const AcGePoint2d& center) {
  return AcGeMatrix2d().setToRotation(angle, center);
}
AcGeMatrix2d AcGeMatrix2d::scaling(double scaleAll, const AcGePoint2d& center) {
  return AcGeMatrix2d().setToScaling(scaleAll, center);
}
AcGeMatrix2d AcGeMatrix2d::mirroring(const AcGePoint2d& pnt) { return AcGeMatrix2d().setToMirroring(pnt); }
AcGeMatrix2d AcGeMatrix2d::mirroring(const AcGePoint2d& linePoint, const AcGeVector2d& lineDir) {
  return AcGeMatrix2d().setToMirroring(linePoint, lineDir);
}
AcGeMatrix2d AcGeMatrix2d::alignCoordSys(const AcGePoint2d& fromOrigin, const AcGeVector2d& fromE0,
                                         const AcGeVector2d& fromE1, const AcGePoint2d& toOrigin,
                                         const AcGeVector2d& toE0, const AcGeVector2d& toE1) {
  return AcGeMatrix2d().setToAlignCoordSys(fromOrigin, fromE0, fromE1, toOrigin, toE0, toE1);
}

// ---------------------------------------------------------------- AcGeMatrix3d

constinit const AcGeMatrix3d AcGeMatrix3d::kIdentity;

AcGeMatrix3d& AcGeMatrix3d::setToIdentity() {
  identity(entry);
  return *this;
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& mat) const {
  AcGeMatrix3d r;
  product(r.entry, entry, mat.entry);
  return r;
}

AcGeMatrix3d& AcGeMatrix3d::preMultiplyBy(const AcGeMatrix3d& leftSide) {
  product(entry, leftSide.entry, entry);
  return *this;
}

AcGeMatrix3d& AcGeMatrix3d::postMultiplyBy(const AcGeMatrix3d& rightSide) {
  product(entry, entry, rightSide.entry);
  return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToProduct(const AcGeMatrix3d& mat1, const AcGeMatrix3d& mat2) {
  product(entry, mat1.entry, mat2.entry);
  return *this;
}

AcGeMatrix3d& AcGeMatrix3d::invert() {
  invertInto(entry, entry, AcGeContext::gTol.equalVector());
  return *this;
}

AcGeMatrix3d AcGeMatrix3d::inverse() const {
  AcGeMatrix3d r(*this);
  return r.invert();
}

Adesk::Boolean AcGeMatrix3d::inverse(AcGeMatrix3d& inv, double tol) const {
  return invertInto(inv.entry, entry, tol);
}

Adesk::Boolean AcGeMatrix3d::isSingular(const AcGeTol& tol) const {
  double scratch[4][4];
  return !invertInto(scratch, entry, tol.equalVector());
}

AcGeMatrix3d& AcGeMatrix3d::transposeIt() {
  transposeInPlace(entry);
  return *this;
}

AcGeMatrix3d AcGeMatrix3d::transpose() const {
  AcGeMatrix3d r(*this);
  return r.transposeIt();
}

double AcGeMatrix3d::det() const { return determinant(entry); }

Adesk::Boolean AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& mat, const AcGeTol& tol) const {
  return entriesEqual(entry, mat.entry, tol.equalVector());
}

static void columns(const AcGeMatrix3d& m, AcGeVector3d (&c)[3]) {
  for (int j = 0; j < 3; ++j) c[j].set(m.entry[0][j], m.entry[1][j], m.entry[2][j]);
}

Adesk::Boolean AcGeMatrix3d::isScaledOrtho(const AcGeTol& tol) const {
  AcGeVector3d c[3];
  columns(*this, c);
  return c[0].isPerpendicularTo(c[1], tol) && c[1].isPerpendicularTo(c[2], tol) &&
         c[0].isPerpendicularTo(c[2], tol);
}

Adesk::Boolean AcGeMatrix3d::isUniScaledOrtho(const AcGeTol& tol) const {
  AcGeVector3d c[3];
  columns(*this, c);
  const double l0 = c[0].length(), l1 = c[1].length(), l2 = c[2].length();
  const double big = std::max({l0, l1, l2});
  return isScaledOrtho(tol) && std::fabs(l0 - l1) <= tol.equalVector() * big &&
         std::fabs(l0 - l2) <= tol.equalVector() * big;
}

double AcGeMatrix3d::scale() const {
  AcGeVector3d c[3];
  columns(*this, c);
  return std::max({c[0].length(), c[1].length(), c[2].length()});
}

double AcGeMatrix3d::norm() const { return largestEntry(entry); }

AcGeMatrix3d& AcGeMatrix3d::setTranslation(const AcGeVector3d& vec) {
  entry[0][3] = vec.x;
  entry[1][3] = vec.y;
  entry[2][3] = vec.z;
  return *this;
}

AcGeVector3d AcGeMatrix3d::translation() const { return {entry[0][3], entry[1][3], entry[2][3]}; }

AcGeMatrix3d& AcGeMatrix3d::setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                           const AcGeVector3d& yAxis, const AcGeVector3d& zAxis) {
  setToIdentity();
  const AcGeVector3d* axes[3] = {&xAxis, &yAxis, &zAxis};
  for (int j = 0; j < 3; ++j)
    for (unsigned i = 0; i < 3; ++i) entry[i][j] = (*axes[j])[i];
  return setTranslation(origin.asVector());
}

void AcGeMatrix3d::getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                                  AcGeVector3d& zAxis) const {
  AcGeVector3d c[3];
  columns(*this, c);
  xAxis = c[0];
  yAxis = c[1];
  zAxis = c[2];
  origin.set(entry[0][3], entry[1][3], entry[2][3]);
}

AcGeMatrix3d& AcGeMatrix3d::setToTranslation(const AcGeVector3d& vec) {
  setToIdentity();
  return setTranslation(vec);
}

AcGeMatrix3d& AcGeMatrix3d::setToRotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center) {
  setToIdentity();
  const AcGeVector3d u = axis.normal();
  if (u.isZeroLength()) return *this;
  // Rodrigues: R = c I + s [u]x + (1 - c) u u^T.
  const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
  entry[0][0] = c + t * u.x * u.x;       entry[0][1] = t * u.x * u.y - s * u.z; entry[0][2] = t * u.x * u.z + s * u.y;
  entry[1][0] = t * u.x * u.y + s * u.z; entry[1][1] = c + t * u.y * u.y;       entry[1][2] = t * u.y * u.z - s * u.x;
  entry[2][0] = t * u.x * u.z - s * u.y; entry[2][1] = t * u.y * u.z + s * u.x; entry[2][2] = c + t * u.z * u.z;
  const AcGeVector3d moved = *this * center.asVector();
  return setTranslation(center.asVector() - moved);
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(double scaleAll, const AcGePoint3d& center) {
  return setToScaling(AcGeScale3d(scaleAll), center);
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(const AcGeScale3d& s, const AcGePoint3d& center) {
  setToIdentity();
  entry[0][0] = s.sx;
  entry[1][1] = s.sy;
  entry[2][2] = s.sz;
  return setTranslation({center.x * (1.0 - s.sx), center.y * (1.0 - s.sy), center.z * (1.0 - s.sz)});
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePlane& pln) {
  setToIdentity();
  const AcGeVector3d n = pln.normal();
  // Householder reflection I - 2 n n^T through the plane's point.
  for (unsigned i = 0; i < 3; ++i)
    for (unsigned j = 0; j < 3; ++j) entry[i][j] -= 2.0 * n[i] * n[j];
  const AcGePoint3d p = pln.pointOnPlane();
  return setTranslation(n * (2.0 * n.dotProduct(p.asVector())));
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePoint3d& pnt) { return setToScaling(-1.0, pnt); }

AcGeMatrix3d& AcGeMatrix3d::setToProjection(const AcGePlane& projectionPlane, const AcGeVector3d& projectDir) {
  setToIdentity();
  const AcGeVector3d n = projectionPlane.normal();
  const double dn = projectDir.dotProduct(n);
  if (std::fabs(dn) <= AcGeContext::gTol.equalVector() * projectDir.length()) return *this;
  // p' = p - d (n.(p - o)) / (n.d)
  for (unsigned i = 0; i < 3; ++i)
    for (unsigned j = 0; j < 3; ++j) entry[i][j] -= projectDir[i] * n[j] / dn;
  const double no = n.dotProduct(projectionPlane.pointOnPlane().asVector());
  return setTranslation(projectDir * (no / dn));
}

AcGeMatrix3d& AcGeMatrix3d::setToAlignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                               const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                               const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                               const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis) {
  AcGeMatrix3d from, to;
  from.setCoordSystem(fromOrigin, fromXAxis, fromYAxis, fromZAxis);
  to.setCoordSystem(toOrigin, toXAxis, toYAxis, toZAxis);
  return *this = to * from.inverse();
}

AcGeMatrix3d& AcGeMatrix3d::setToPlaneToWorld(const AcGeVector3d& normal) {
  // The plane of most entities: the arbitrary axis of +Z is the world's own system.
  if (normal.x == 0.0 && normal.y == 0.0 && normal.z > 0.0) return setToIdentity();
  const AcGeVector3d n = normal.normal();
  if (n.isZeroLength()) return setToIdentity();
  const AcGeVector3d ax = n.perpVector();
  const AcGeVector3d ay = n.crossProduct(ax).normal();
  return setCoordSystem(AcGePoint3d::kOrigin, ax, ay, n);
}

AcGeMatrix3d& AcGeMatrix3d::setToPlaneToWorld(const AcGePlane& plane) {
  AcGePoint3d o;
  AcGeVector3d u, v;
  plane.getCoordSystem(o, u, v);
  return setCoordSystem(o, u, v, plane.normal());
}

AcGeMatrix3d& AcGeMatrix3d::setToWorldToPlane(const AcGeVector3d& normal) {
  setToPlaneToWorld(normal);
  return invert();
}

AcGeMatrix3d& AcGeMatrix3d::setToWorldToPlane(const AcGePlane& plane) {
  setToPlaneToWorld(plane);
  return invert();
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& vec) { return AcGeMatrix3d().setToTranslation(vec); }
AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center) {
  return AcGeMatrix3d().setToRotation(angle, axis, center);
}
AcGeMatrix3d AcGeMatrix3d::scaling(double scaleAll, const AcGePoint3d& center) {
  return AcGeMatrix3d().setToScaling(scaleAll, center);
}
AcGeMatrix3d AcGeMatrix3d::scaling(const AcGeScale3d& scaleAll, const AcGePoint3d& center) {
  return AcGeMatrix3d().setToScaling(scaleAll, center);
}
AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePlane& pln) { return AcGeMatrix3d().setToMirroring(pln); }
AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePoint3d& pnt) { return AcGeMatrix3d().setToMirroring(pnt); }
AcGeMatrix3d AcGeMatrix3d::projection(const AcGePlane& projectionPlane, const AcGeVector3d& projectDir) {
  return AcGeMatrix3d().setToProjection(projectionPlane, projectDir);
}
AcGeMatrix3d AcGeMatrix3d::alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                         const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                         const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                         const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis) {
  return AcGeMatrix3d().setToAlignCoordSys(fromOrigin, fromXAxis, fromYAxis, fromZAxis, toOrigin, toXAxis,
                                           toYAxis, toZAxis);
}
AcGeMatrix3d AcGeMatrix3d::worldToPlane(const AcGeVector3d& normal) { return AcGeMatrix3d().setToWorldToPlane(normal); }
AcGeMatrix3d AcGeMatrix3d::worldToPlane(const AcGePlane& plane) { return AcGeMatrix3d().setToWorldToPlane(plane); }
AcGeMatrix3d AcGeMatrix3d::planeToWorld(const AcGeVector3d& normal) { return AcGeMatrix3d().setToPlaneToWorld(normal); }
AcGeMatrix3d AcGeMatrix3d::planeToWorld(const AcGePlane& plane) { return AcGeMatrix3d().setToPlaneToWorld(plane); }

// ---------------------------------------------------------------- AcGeScale3d

constinit const AcGeScale3d AcGeScale3d::kIdentity;

AcGeScale3d AcGeScale3d::inverse() const {
  auto rec = [](double f) { return f == 0.0 ? 0.0 : 1.0 / f; };
  return {rec(sx), rec(sy), rec(sz)};
}

Adesk::Boolean AcGeScale3d::isProportional(const AcGeTol& tol) const {
  return std::fabs(sx - sy) <= tol.equalVector() && std::fabs(sx - sz) <= tol.equalVector();
}

Adesk::Boolean AcGeScale3d::isEqualTo(const AcGeScale3d& s, const AcGeTol& tol) const {
  return std::fabs(sx - s.sx) <= tol.equalVector() && std::fabs(sy - s.sy) <= tol.equalVector() &&
         std::fabs(sz - s.sz) <= tol.equalVector();
}

void AcGeScale3d::getMatrix(AcGeMatrix3d& mat) const { mat.setToScaling(*this); }

AcGeScale3d::operator AcGeMatrix3d() const { return AcGeMatrix3d::scaling(*this); }

// ---------------------------------------------------------------- AcGePlane

// Constants are built from literals so that they are ready before any dynamic initialiser runs.
constinit const AcGePlane AcGePlane::kXYPlane(AcGeVector3d(1, 0, 0), AcGeVector3d(0, 1, 0), AcGeVector3d(0, 0, 1));
constinit const AcGePlane AcGePlane::kYZPlane(AcGeVector3d(0, 1, 0), AcGeVector3d(0, 0, 1), AcGeVector3d(1, 0, 0));
constinit const AcGePlane AcGePlane::kZXPlane(AcGeVector3d(0, 0, 1), AcGeVector3d(1, 0, 0), AcGeVector3d(0, 1, 0));

AcGePlane::AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& normal) { set(origin, normal); }

AcGePlane::AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& uAxis, const AcGeVector3d& vAxis) {
  set(origin, uAxis, vAxis);
}

AcGePlane::AcGePlane(const AcGePoint3d& pntU, const AcGePoint3d& org, const AcGePoint3d& pntV) {
  set(org, pntU - org, pntV - org);
}

AcGePlane::AcGePlane(double a, double b, double c, double d) {
  const AcGeVector3d n(a, b, c);
  const double len2 = n.lengthSqrd();
  if (len2 == 0.0) return;  // no plane: keep the XY plane
  set(AcGePoint3d::kOrigin + n * (-d / len2), n);
}

AcGePlane& AcGePlane::set(const AcGePoint3d& origin, const AcGeVector3d& normal) {
  const AcGeVector3d n = normal.normal();
  if (n.isZeroLength()) return *this;
  mOrigin = origin;
  mNormal = n;
  mUAxis = n.perpVector();
  mVAxis = n.crossProduct(mUAxis).normal();
  return *this;
}

AcGePlane& AcGePlane::set(const AcGePoint3d& origin, const AcGeVector3d& uAxis, const AcGeVector3d& vAxis) {
  const AcGeVector3d n = uAxis.crossProduct(vAxis).normal();
  if (n.isZeroLength()) return *this;
  mOrigin = origin;
  mUAxis = uAxis;
  mVAxis = vAxis;
  mNormal = n;
  return *this;
}

void AcGePlane::getCoordSystem(AcGePoint3d& origin, AcGeVector3d& axis1, AcGeVector3d& axis2) const {
  origin = mOrigin;
  axis1 = mUAxis;
  axis2 = mVAxis;
}

void AcGePlane::getCoefficients(double& a, double& b, double& c, double& d) const {
  a = mNormal.x;
  b = mNormal.y;
  c = mNormal.z;
  d = -mNormal.dotProduct(mOrigin.asVector());
}

double AcGePlane::signedDistanceTo(const AcGePoint3d& pnt) const { return mNormal.dotProduct(pnt - mOrigin); }

double AcGePlane::distanceTo(const AcGePoint3d& pnt) const { return std::fabs(signedDistanceTo(pnt)); }

AcGePoint3d AcGePlane::closestPointTo(const AcGePoint3d& pnt) const {
  return pnt - mNormal * signedDistanceTo(pnt);
}

Adesk::Boolean AcGePlane::isOn(const AcGePoint3d& pnt, const AcGeTol& tol) const {
  return distanceTo(pnt) <= tol.equalPoint();
}

AcGePlane& AcGePlane::transformBy(const AcGeMatrix3d& xfm) {
  const AcGePoint3d o = xfm * mOrigin;
  const AcGeVector3d u = xfm * mUAxis, v = xfm * mVAxis;
  return set(o, u, v);
}

Adesk::Boolean AcGePlane::isEqualTo(const AcGePlane& pln, const AcGeTol& tol) const {
  return mNormal.isParallelTo(pln.mNormal, tol) && isOn(pln.mOrigin, tol);
}
