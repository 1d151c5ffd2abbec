// AcGeEntity2d: base of the 2D geometric entities (type query, copy, transforms, point test).
#pragma once
#include "gemat2d.h"

// Entities are value types with virtual behaviour; copy() gives a heap copy the caller owns.
class AcGeEntity2d {
public:
  virtual ~AcGeEntity2d() = default;

  virtual AcGe::EntityId type() const = 0;
  virtual Adesk::Boolean isKindOf(AcGe::EntityId entType) const { return entType == AcGe::kEntity2d; }
  // A new heap copy of the same concrete type; the caller deletes it.
  virtual AcGeEntity2d* copy() const = 0;
  // Same type and the same point set within tol.
  virtual Adesk::Boolean isEqualTo(const AcGeEntity2d& ent, const AcGeTol& tol = AcGeContext::gTol) const = 0;
  virtual Adesk::Boolean isOn(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const = 0;

  // Applies a similarity transform (rotation, uniform scale, translation, mirror). A general
  // affine matrix cannot keep a circle a circle: arcs then refuse and stay unchanged.
  virtual AcGeEntity2d& transformBy(const AcGeMatrix2d& xfm) = 0;
  AcGeEntity2d& translateBy(const AcGeVector2d& translateVec) {
    return transformBy(AcGeMatrix2d::translation(translateVec));
  }
  AcGeEntity2d& rotateBy(double angle, const AcGePoint2d& wrtPoint = AcGePoint2d::kOrigin) {
    return transformBy(AcGeMatrix2d::rotation(angle, wrtPoint));
  }
  AcGeEntity2d& scaleBy(double scaleFactor, const AcGePoint2d& wrtPoint = AcGePoint2d::kOrigin) {
    return transformBy(AcGeMatrix2d::scaling(scaleFactor, wrtPoint));
  }

protected:
  AcGeEntity2d() = default;
  AcGeEntity2d(const AcGeEntity2d&) = default;
  AcGeEntity2d& operator=(const AcGeEntity2d&) = default;
};
