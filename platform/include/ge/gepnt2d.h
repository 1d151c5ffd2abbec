// AcGePoint2d: a 2D position (x, y) with the host's arithmetic and comparisons.
#pragma once
#include "gevec2d.h"

class AcGeMatrix2d;
class AcGeLine2d;

class AcGePoint2d {
public:
  constexpr AcGePoint2d() = default;  // the origin
  constexpr AcGePoint2d(double xx, double yy) : x(xx), y(yy) {}

  static const AcGePoint2d kOrigin;

  friend AcGePoint2d operator*(const AcGeMatrix2d& mat, const AcGePoint2d& pnt);

  AcGePoint2d& setToProduct(const AcGeMatrix2d& mat, const AcGePoint2d& pnt);
  AcGePoint2d& transformBy(const AcGeMatrix2d& mat);
  // Rotates counter-clockwise by angle radians about wrtPoint.
  AcGePoint2d& rotateBy(double angle, const AcGePoint2d& wrtPoint = AcGePoint2d::kOrigin);
  // Reflects across the infinite line through linePoint with direction lineDir.
  AcGePoint2d& mirror(const AcGePoint2d& linePoint, const AcGeVector2d& lineDir);
  AcGePoint2d& mirror(const AcGeLine2d& line);
  AcGePoint2d& scaleBy(double scaleFactor, const AcGePoint2d& wrtPoint = AcGePoint2d::kOrigin);

  AcGePoint2d operator*(double scl) const { return {x * scl, y * scl}; }
  AcGePoint2d& operator*=(double scl) { x *= scl; y *= scl; return *this; }
  AcGePoint2d operator/(double scl) const { return {x / scl, y / scl}; }
  AcGePoint2d& operator/=(double scl) { x /= scl; y /= scl; return *this; }
  AcGePoint2d operator+(const AcGeVector2d& v) const { return {x + v.x, y + v.y}; }
  AcGePoint2d& operator+=(const AcGeVector2d& v) { x += v.x; y += v.y; return *this; }
  AcGePoint2d operator-(const AcGeVector2d& v) const { return {x - v.x, y - v.y}; }
  AcGePoint2d& operator-=(const AcGeVector2d& v) { x -= v.x; y -= v.y; return *this; }
  AcGePoint2d& setToSum(const AcGePoint2d& pnt, const AcGeVector2d& vec) { return *this = pnt + vec; }
  AcGeVector2d operator-(const AcGePoint2d& p) const { return {x - p.x, y - p.y}; }
  AcGeVector2d asVector() const { return {x, y}; }

  double distanceTo(const AcGePoint2d& pnt) const;

  bool operator==(const AcGePoint2d& pnt) const { return isEqualTo(pnt); }
  bool operator!=(const AcGePoint2d& pnt) const { return !isEqualTo(pnt); }
  // Equal when the distance is at most tol.equalPoint().
  Adesk::Boolean isEqualTo(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const;

  double operator[](unsigned int i) const { return i == 0 ? x : y; }
  double& operator[](unsigned int i) { return i == 0 ? x : y; }
  AcGePoint2d& set(double xx, double yy) { x = xx; y = yy; return *this; }

  double x = 0.0;
  double y = 0.0;
};

inline AcGePoint2d operator*(double scl, const AcGePoint2d& pnt) { return pnt * scl; }
