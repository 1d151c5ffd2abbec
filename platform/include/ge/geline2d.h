// AcGeLine2d: an infinite 2D line.
#pragma once
#include "gelent2d.h"

class AcGeLine2d : public AcGeLinearEnt2d {
public:
  AcGeLine2d();  // the X axis
  AcGeLine2d(const AcGePoint2d& pnt, const AcGeVector2d& vec);
  AcGeLine2d(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2);

  static const AcGeLine2d kXAxis;
  static const AcGeLine2d kYAxis;

  AcGeLine2d& set(const AcGePoint2d& pnt, const AcGeVector2d& vec);
  AcGeLine2d& set(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2);

  AcGe::EntityId type() const override { return AcGe::kLine2d; }
  Adesk::Boolean isKindOf(AcGe::EntityId entType) const override {
    return entType == AcGe::kLine2d || AcGeLinearEnt2d::isKindOf(entType);
  }
  AcGeEntity2d* copy() const override { return new AcGeLine2d(*this); }
  AcGeEntity2d& transformBy(const AcGeMatrix2d& xfm) override;
  AcGeCurve2d& reverseParam() override;
};
