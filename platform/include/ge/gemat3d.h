// AcGeMatrix3d: a 4x4 transformation of space (column vectors: p' = M * [x y z 1]).
#pragma once
#include "gepnt3d.h"
#include "gescl3d.h"

class AcGePlane;

class AcGeMatrix3d {
public:
  constexpr AcGeMatrix3d()  // the identity
      : entry{{1.0, 0.0, 0.0, 0.0}, {0.0, 1.0, 0.0, 0.0}, {0.0, 0.0, 1.0, 0.0}, {0.0, 0.0, 0.0, 1.0}} {}

  static const AcGeMatrix3d kIdentity;

  AcGeMatrix3d& setToIdentity();
  AcGeMatrix3d operator*(const AcGeMatrix3d& mat) const;
  AcGeMatrix3d& operator*=(const AcGeMatrix3d& mat) { return postMultiplyBy(mat); }
  AcGeMatrix3d& preMultiplyBy(const AcGeMatrix3d& leftSide);    // this = leftSide * this
  AcGeMatrix3d& postMultiplyBy(const AcGeMatrix3d& rightSide);  // this = this * rightSide
  AcGeMatrix3d& setToProduct(const AcGeMatrix3d& mat1, const AcGeMatrix3d& mat2);

  // Inverse by Gauss-Jordan elimination with partial pivoting. A singular matrix (no pivot
  // larger than tol.equalVector() relative to the matrix's largest entry) is left unchanged
  // by invert(); inverse() then returns a copy of it. inverse(inv, tol) reports the failure.
  AcGeMatrix3d& invert();
  AcGeMatrix3d inverse() const;
  Adesk::Boolean inverse(AcGeMatrix3d& inv, double tol) const;
  Adesk::Boolean isSingular(const AcGeTol& tol = AcGeContext::gTol) const;
  AcGeMatrix3d& transposeIt();
  AcGeMatrix3d transpose() const;
  double det() const;

  bool operator==(const AcGeMatrix3d& mat) const { return isEqualTo(mat); }
  bool operator!=(const AcGeMatrix3d& mat) const { return !isEqualTo(mat); }
  // Entry-wise comparison within tol.equalVector().
  Adesk::Boolean isEqualTo(const AcGeMatrix3d& mat, const AcGeTol& tol = AcGeContext::gTol) const;
  // The linear part maps the axes to mutually perpendicular vectors of one common length.
  Adesk::Boolean isUniScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
  Adesk::Boolean isScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
  // Largest length of the images of the unit axes.
  double scale() const;
  double norm() const;

  AcGeMatrix3d& setTranslation(const AcGeVector3d& vec);
  AcGeVector3d translation() const;
  AcGeMatrix3d& setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                               const AcGeVector3d& yAxis, const AcGeVector3d& zAxis);
  void getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                      AcGeVector3d& zAxis) const;

  AcGeMatrix3d& setToTranslation(const AcGeVector3d& vec);
  // Rotation by angle radians about the axis through center (right-hand rule).
  AcGeMatrix3d& setToRotation(double angle, const AcGeVector3d& axis,
                              const AcGePoint3d& center = AcGePoint3d::kOrigin);
  AcGeMatrix3d& setToScaling(double scaleAll, const AcGePoint3d& center = AcGePoint3d::kOrigin);
  AcGeMatrix3d& setToScaling(const AcGeScale3d& scaleAll, const AcGePoint3d& center = AcGePoint3d::kOrigin);
  AcGeMatrix3d& setToMirroring(const AcGePlane& pln);
  AcGeMatrix3d& setToMirroring(const AcGePoint3d& pnt);
  // Orthogonal or oblique projection onto the plane along projDir.
  AcGeMatrix3d& setToProjection(const AcGePlane& projectionPlane, const AcGeVector3d& projectDir);
  // Maps the "from" coordinate system onto the "to" coordinate system.
  AcGeMatrix3d& setToAlignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                   const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                   const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                   const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis);
  // World to the plane through the origin with this normal, its axes chosen by the
  // arbitrary-axis rule of object coordinate systems (see AcGeVector3d::perpVector).
  AcGeMatrix3d& setToWorldToPlane(const AcGeVector3d& normal);
  AcGeMatrix3d& setToWorldToPlane(const AcGePlane& plane);
  AcGeMatrix3d& setToPlaneToWorld(const AcGeVector3d& normal);
  AcGeMatrix3d& setToPlaneToWorld(const AcGePlane& plane);

  static AcGeMatrix3d translation(const AcGeVector3d& vec);
  static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                               const AcGePoint3d& center = AcGePoint3d::kOrigin);
  static AcGeMatrix3d scaling(double scaleAll, const AcGePoint3d& center = AcGePoint3d::kOrigin);
  static AcGeMatrix3d scaling(const AcGeScale3d& scaleAll, const AcGePoint3d& center = AcGePoint3d::kOrigin);
  static AcGeMatrix3d mirroring(const AcGePlane& pln);
  static AcGeMatrix3d mirroring(const AcGePoint3d& pnt);
  static AcGeMatrix3d projection(const AcGePlane& projectionPlane, const AcGeVector3d& projectDir);
  static AcGeMatrix3d alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                    const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                    const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                    const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis);
  static AcGeMatrix3d worldToPlane(const AcGeVector3d& normal);
  static AcGeMatrix3d worldToPlane(const AcGePlane& plane);
  static AcGeMatrix3d planeToWorld(const AcGeVector3d& normal);
  static AcGeMatrix3d planeToWorld(const AcGePlane& plane);

  double operator()(unsigned int row, unsigned int column) const { return entry[row][column]; }
  double& operator()(unsigned int row, unsigned int column) { return entry[row][column]; }
  const double* operator[](unsigned int row) const { return entry[row]; }
  double* operator[](unsigned int row) { return entry[row]; }

  double entry[4][4];
};
