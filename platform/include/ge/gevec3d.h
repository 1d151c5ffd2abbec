// AcGeVector3d: a 3D displacement (x, y, z) with the host's arithmetic and comparisons.
#pragma once
#include "gegbl.h"
#include "gevec2d.h"

class AcGeMatrix3d;
class AcGePlane;
class AcGePoint3d;

class AcGeVector3d {
public:
  constexpr AcGeVector3d() = default;  // the zero vector
  constexpr AcGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  // The 3D vector whose plane coordinates on pln are vec (u along its first axis, v along its second).
  AcGeVector3d(const AcGePlane& pln, const AcGeVector2d& vec);

  static const AcGeVector3d kIdentity;  // (0,0,0)
  static const AcGeVector3d kXAxis;
  static const AcGeVector3d kYAxis;
  static const AcGeVector3d kZAxis;

  friend AcGeVector3d operator*(const AcGeMatrix3d& mat, const AcGeVector3d& vec);
  friend AcGeVector3d operator*(double scl, const AcGeVector3d& vec) { return vec * scl; }

  AcGeVector3d& setToProduct(const AcGeMatrix3d& mat, const AcGeVector3d& vec);
  AcGeVector3d& setToProduct(const AcGeVector3d& vec, double scl) { return *this = vec * scl; }
  AcGeVector3d& setToSum(const AcGeVector3d& v1, const AcGeVector3d& v2) { return *this = v1 + v2; }
  // Applies the linear part of the matrix (translation does not move a vector).
  AcGeVector3d& transformBy(const AcGeMatrix3d& leftSide);
  // Rotates by angle radians about axis, counter-clockwise when looking down the axis.
  AcGeVector3d& rotateBy(double ang, const AcGeVector3d& axis);
  // Reflects in the plane through the origin with the given normal.
  AcGeVector3d& mirror(const AcGeVector3d& normalToPlane);
  // Coordinates of the vector in the plane's (u, v) axes after projecting along its normal.
  AcGeVector2d convert2d(const AcGePlane& pln) const;

  AcGeVector3d operator*(double scl) const { return {x * scl, y * scl, z * scl}; }
  AcGeVector3d& operator*=(double scl) { x *= scl; y *= scl; z *= scl; return *this; }
  AcGeVector3d operator/(double scl) const { return {x / scl, y / scl, z / scl}; }
  AcGeVector3d& operator/=(double scl) { x /= scl; y /= scl; z /= scl; return *this; }
  AcGeVector3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
  AcGeVector3d& operator+=(const AcGeVector3d& v) { x += v.x; y += v.y; z += v.z; return *this; }
  AcGeVector3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
  AcGeVector3d& operator-=(const AcGeVector3d& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
  AcGeVector3d operator-() const { return {-x, -y, -z}; }
  AcGeVector3d& negate() { x = -x; y = -y; z = -z; return *this; }

  // A unit vector perpendicular to this one, chosen by the arbitrary-axis rule of drawing
  // object coordinate systems (world Y x this when this is near the Z axis, else world Z x this).
  AcGeVector3d perpVector() const;
  // Unsigned angle between the vectors, in [0, pi].
  double angleTo(const AcGeVector3d& vec) const;
  // Angle from this to vec, counter-clockwise about refVec, in [0, 2pi).
  double angleTo(const AcGeVector3d& vec, const AcGeVector3d& refVec) const;
  // Angle of the vector's projection on the plane, measured from the plane's first axis.
  double angleOnPlane(const AcGePlane& pln) const;

  AcGeVector3d normal(const AcGeTol& tol = AcGeContext::gTol) const;
  AcGeVector3d& normalize(const AcGeTol& tol = AcGeContext::gTol);
  AcGeVector3d& normalize(const AcGeTol& tol, AcGe::ErrorCondition& flag);
  double length() const;
  double lengthSqrd() const { return x * x + y * y + z * z; }
  Adesk::Boolean isUnitLength(const AcGeTol& tol = AcGeContext::gTol) const;
  Adesk::Boolean isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const;
  // Parallel: both non-zero and the sine of the angle between them at most tol.equalVector().
  Adesk::Boolean isParallelTo(const AcGeVector3d& vec, const AcGeTol& tol = AcGeContext::gTol) const;
  Adesk::Boolean isCodirectionalTo(const AcGeVector3d& vec, const AcGeTol& tol = AcGeContext::gTol) const;
  Adesk::Boolean isPerpendicularTo(const AcGeVector3d& vec, const AcGeTol& tol = AcGeContext::gTol) const;

  double dotProduct(const AcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
  AcGeVector3d crossProduct(const AcGeVector3d& v) const {
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
  }
  // Component of the vector orthogonal to planeNormal.
  AcGeVector3d orthoProject(const AcGeVector3d& planeNormal) const;

  bool operator==(const AcGeVector3d& vec) const { return isEqualTo(vec); }
  bool operator!=(const AcGeVector3d& vec) const { return !isEqualTo(vec); }
  Adesk::Boolean isEqualTo(const AcGeVector3d& vec, const AcGeTol& tol = AcGeContext::gTol) const;

  double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
  double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }
  // Index of the coordinate with the largest absolute value.
  unsigned int largestElement() const;
  AcGeVector3d& set(double xx, double yy, double zz) { x = xx; y = yy; z = zz; return *this; }
  AcGeVector3d& set(const AcGePlane& pln, const AcGeVector2d& vec);

  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};
