// AcGePlane: an unbounded plane given by an origin and two in-plane axes (normal = u x v).
#pragma once
#include "gepnt3d.h"

class AcGePlane {
public:
  constexpr AcGePlane() = default;  // the XY plane
  // Plane through origin with this normal; the in-plane axes follow the arbitrary-axis rule.
  AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& normal);
  // Plane through origin spanned by uAxis and vAxis (kept as given, not normalised).
  AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& uAxis, const AcGeVector3d& vAxis);
  // Plane through three points: uAxis = pntU - org, vAxis = pntV - org.
  AcGePlane(const AcGePoint3d& pntU, const AcGePoint3d& org, const AcGePoint3d& pntV);
  // Plane a*x + b*y + c*z + d = 0.
  AcGePlane(double a, double b, double c, double d);

  static const AcGePlane kXYPlane;
  static const AcGePlane kYZPlane;
  static const AcGePlane kZXPlane;

  AcGePoint3d pointOnPlane() const { return mOrigin; }
  AcGeVector3d normal() const { return mNormal; }
  void getCoordSystem(AcGePoint3d& origin, AcGeVector3d& axis1, AcGeVector3d& axis2) const;
  void getCoefficients(double& a, double& b, double& c, double& d) const;

  double signedDistanceTo(const AcGePoint3d& pnt) const;
  double distanceTo(const AcGePoint3d& pnt) const;
  AcGePoint3d closestPointTo(const AcGePoint3d& pnt) const;
  Adesk::Boolean isOn(const AcGePoint3d& pnt, const AcGeTol& tol = AcGeContext::gTol) const;

  AcGePlane& set(const AcGePoint3d& origin, const AcGeVector3d& normal);
  AcGePlane& set(const AcGePoint3d& origin, const AcGeVector3d& uAxis, const AcGeVector3d& vAxis);
  AcGePlane& transformBy(const AcGeMatrix3d& xfm);

  bool operator==(const AcGePlane& pln) const { return isEqualTo(pln); }
  bool operator!=(const AcGePlane& pln) const { return !isEqualTo(pln); }
  // Same geometric plane (orientation of the normal ignored).
  Adesk::Boolean isEqualTo(const AcGePlane& pln, const AcGeTol& tol = AcGeContext::gTol) const;

private:
  // Constant planes through the origin with unit axes.
  constexpr AcGePlane(const AcGeVector3d& u, const AcGeVector3d& v, const AcGeVector3d& n)
      : mUAxis(u), mVAxis(v), mNormal(n) {}

  AcGePoint3d mOrigin;
  AcGeVector3d mUAxis{1.0, 0.0, 0.0};
  AcGeVector3d mVAxis{0.0, 1.0, 0.0};
  AcGeVector3d mNormal{0.0, 0.0, 1.0};  // unit normal
};
