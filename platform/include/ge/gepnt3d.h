// AcGePoint3d: a 3D position (x, y, z) with the host's arithmetic and comparisons.
#pragma once
#include "gepnt2d.h"
#include "gevec3d.h"

class AcGeMatrix3d;
class AcGePlane;

class AcGePoint3d {
public:
  constexpr AcGePoint3d() = default;  // the origin
  constexpr AcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  // The point with plane coordinates pnt2d on pln.
  AcGePoint3d(const AcGePlane& pln, const AcGePoint2d& pnt2d);

  static const AcGePoint3d kOrigin;

  friend AcGePoint3d operator*(const AcGeMatrix3d& mat, const AcGePoint3d& pnt);
  friend AcGePoint3d operator*(double scl, const AcGePoint3d& pnt) { return pnt * scl; }

  AcGePoint3d& setToProduct(const AcGeMatrix3d& mat, const AcGePoint3d& pnt);
  AcGePoint3d& transformBy(const AcGeMatrix3d& leftSide);
  // Rotates by angle radians about the axis vec through wrtPoint (right-hand rule).
  AcGePoint3d& rotateBy(double angle, const AcGeVector3d& vec,
                        const AcGePoint3d& wrtPoint = AcGePoint3d::kOrigin);
  AcGePoint3d& mirror(const AcGePlane& pln);
  AcGePoint3d& scaleBy(double scaleFactor, const AcGePoint3d& wrtPoint = AcGePoint3d::kOrigin);
  // Plane coordinates of the point's orthogonal projection on pln.
  AcGePoint2d convert2d(const AcGePlane& pln) const;
  AcGePoint3d orthoProject(const AcGePlane& pln) const;

  AcGePoint3d operator*(double scl) const { return {x * scl, y * scl, z * scl}; }
  AcGePoint3d& operator*=(double scl) { x *= scl; y *= scl; z *= scl; return *this; }
  AcGePoint3d operator/(double scl) const { return {x / scl, y / scl, z / scl}; }
  AcGePoint3d& operator/=(double scl) { x /= scl; y /= scl; z /= scl; return *this; }
  AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
  AcGePoint3d& operator+=(const AcGeVector3d& v) { x += v.x; y += v.y; z += v.z; return *this; }
  AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
  AcGePoint3d& operator-=(const AcGeVector3d& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
  AcGePoint3d& setToSum(const AcGePoint3d& pnt, const AcGeVector3d& vec) { return *this = pnt + vec; }
  AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
  AcGeVector3d asVector() const { return {x, y, z}; }

  double distanceTo(const AcGePoint3d& pnt) const;

  bool operator==(const AcGePoint3d& pnt) const { return isEqualTo(pnt); }
  bool operator!=(const AcGePoint3d& pnt) const { return !isEqualTo(pnt); }
  // Equal when the distance is at most tol.equalPoint().
  Adesk::Boolean isEqualTo(const AcGePoint3d& pnt, const AcGeTol& tol = AcGeContext::gTol) const;

  double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
  double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }
  AcGePoint3d& set(double xx, double yy, double zz) { x = xx; y = yy; z = zz; return *this; }
  AcGePoint3d& set(const AcGePlane& pln, const AcGePoint2d& pnt2d);

  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};
