// AcGeVector2d: a 2D displacement (x, y) with the host's arithmetic and comparisons.
#pragma once
#include "gegbl.h"

class AcGeMatrix2d;

class AcGeVector2d {
public:
  constexpr AcGeVector2d() = default;  // the zero vector
  constexpr AcGeVector2d(double xx, double yy) : x(xx), y(yy) {}

  static const AcGeVector2d kIdentity;  // (0,0)
  static const AcGeVector2d kXAxis;     // (1,0)
  static const AcGeVector2d kYAxis;     // (0,1)

  friend AcGeVector2d operator*(const AcGeMatrix2d& mat, const AcGeVector2d& vec);
  friend AcGeVector2d operator*(double scl, const AcGeVector2d& vec) { return vec * scl; }

  AcGeVector2d& setToProduct(const AcGeMatrix2d& mat, const AcGeVector2d& vec);
  AcGeVector2d& setToProduct(const AcGeVector2d& vec, double scl) { return *this = vec * scl; }
  AcGeVector2d& setToSum(const AcGeVector2d& v1, const AcGeVector2d& v2) { return *this = v1 + v2; }
  // Applies the linear part of the matrix (translation does not move a vector).
  AcGeVector2d& transformBy(const AcGeMatrix2d& mat);
  // Rotates counter-clockwise by angle radians.
  AcGeVector2d& rotateBy(double angle);
  // Reflects across the line through the origin with direction line.
  AcGeVector2d& mirror(const AcGeVector2d& line);

  AcGeVector2d operator*(double scl) const { return {x * scl, y * scl}; }
  AcGeVector2d& operator*=(double scl) { x *= scl; y *= scl; return *this; }
  AcGeVector2d operator/(double scl) const { return {x / scl, y / scl}; }
  AcGeVector2d& operator/=(double scl) { x /= scl; y /= scl; return *this; }
  AcGeVector2d operator+(const AcGeVector2d& v) const { return {x + v.x, y + v.y}; }
  AcGeVector2d& operator+=(const AcGeVector2d& v) { x += v.x; y += v.y; return *this; }
  AcGeVector2d operator-(const AcGeVector2d& v) const { return {x - v.x, y - v.y}; }
  AcGeVector2d& operator-=(const AcGeVector2d& v) { x -= v.x; y -= v.y; return *this; }
  AcGeVector2d operator-() const { return {-x, -y}; }
  AcGeVector2d& negate() { x = -x; y = -y; return *this; }

  // The vector turned +90 degrees (counter-clockwise).
  AcGeVector2d perpVector() const { return {-y, x}; }
  // Angle from the X axis, counter-clockwise, in [0, 2pi).
  double angle() const;
  // Unsigned angle between the two vectors, in [0, pi].
  double angleTo(const AcGeVector2d& vec) const;

  // Unit vector in this direction; the zero vector (within tol.equalVector()) stays zero.
  AcGeVector2d normal(const AcGeTol& tol = AcGeContext::gTol) const;
  AcGeVector2d& normalize(const AcGeTol& tol = AcGeContext::gTol);
  AcGeVector2d& normalize(const AcGeTol& tol, AcGe::ErrorCondition& flag);
  double length() const;
  double lengthSqrd() const { return x * x + y * y; }
  Adesk::Boolean isUnitLength(const AcGeTol& tol = AcGeContext::gTol) const;
  Adesk::Boolean isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const;
  // Parallel: both non-zero and the sine of the angle between them at most tol.equalVector().
  Adesk::Boolean isParallelTo(const AcGeVector2d& vec, const AcGeTol& tol = AcGeContext::gTol) const;
  Adesk::Boolean isCodirectionalTo(const AcGeVector2d& vec, const AcGeTol& tol = AcGeContext::gTol) const;
  // Perpendicular: both non-zero and the cosine of the angle between them at most tol.equalVector().
  Adesk::Boolean isPerpendicularTo(const AcGeVector2d& vec, const AcGeTol& tol = AcGeContext::gTol) const;
  double dotProduct(const AcGeVector2d& vec) const { return x * vec.x + y * vec.y; }
  // z component of the 3D cross product: positive when vec lies counter-clockwise of this.
  double crossProduct(const AcGeVector2d& vec) const { return x * vec.y - y * vec.x; }

  bool operator==(const AcGeVector2d& vec) const { return isEqualTo(vec); }
  bool operator!=(const AcGeVector2d& vec) const { return !isEqualTo(vec); }
  Adesk::Boolean isEqualTo(const AcGeVector2d& vec, const AcGeTol& tol = AcGeContext::gTol) const;

  double operator[](unsigned int i) const { return i == 0 ? x : y; }
  double& operator[](unsigned int i) { return i == 0 ? x : y; }
  AcGeVector2d& set(double xx, double yy) { x = xx; y = yy; return *this; }

  double x = 0.0;
  double y = 0.0;
};
