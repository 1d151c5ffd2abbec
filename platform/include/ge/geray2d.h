// AcGeRay2d: a 2D half-line from a base point (parameter 0) in one direction.
#pragma once
#include "gelent2d.h"

class AcGeRay2d : public AcGeLinearEnt2d {
public:
  AcGeRay2d();  // from the origin along +X
  AcGeRay2d(const AcGePoint2d& pnt, const AcGeVector2d& vec);
  // From pnt1 through pnt2.
  AcGeRay2d(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2);

  AcGeRay2d& set(const AcGePoint2d& pnt, const AcGeVector2d& vec);
  AcGeRay2d& set(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2);

  AcGe::EntityId type() const override { return AcGe::kRay2d; }
  Adesk::Boolean isKindOf(AcGe::EntityId entType) const override {
    return entType == AcGe::kRay2d || AcGeLinearEnt2d::isKindOf(entType);
  }
  AcGeEntity2d* copy() const override { return new AcGeRay2d(*this); }
  AcGeEntity2d& transformBy(const AcGeMatrix2d& xfm) override;
  // A ray has only one end: reversing turns it into the opposite ray from the same point.
  AcGeCurve2d& reverseParam() override;
};
