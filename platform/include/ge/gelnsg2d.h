// AcGeLineSeg2d: a bounded 2D line segment, parameter 0 at the start to length() at the end.
#pragma once
#include "gelent2d.h"

class AcGeLineSeg2d : public AcGeLinearEnt2d {
public:
  AcGeLineSeg2d();  // (0,0) to (1,0)
  AcGeLineSeg2d(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2);
  // From pnt to pnt + vec.
  AcGeLineSeg2d(const AcGePoint2d& pnt, const AcGeVector2d& vec);

  AcGeLineSeg2d& set(const AcGePoint2d& pnt1, const AcGePoint2d& pnt2);
  AcGeLineSeg2d& set(const AcGePoint2d& pnt, const AcGeVector2d& vec);

  AcGePoint2d startPoint() const { return mStart; }
  AcGePoint2d endPoint() const { return mEnd; }
  AcGePoint2d midPoint() const;
  double length() const { return mUpper; }
  using AcGeLinearEnt2d::length;
  // (1 - blendCoeff) * start + blendCoeff * end.
  AcGePoint2d baryComb(double blendCoeff) const;
  // The perpendicular bisector.
  void getBisector(AcGeLine2d& line) const;

  AcGePoint2d evalPoint(double param) const override;
  using AcGeLinearEnt2d::evalPoint;
  Adesk::Boolean hasStartPoint(AcGePoint2d& startPnt) const override { startPnt = mStart; return true; }
  Adesk::Boolean hasEndPoint(AcGePoint2d& endPnt) const override { endPnt = mEnd; return true; }

  AcGe::EntityId type() const override { return AcGe::kLineSeg2d; }
  Adesk::Boolean isKindOf(AcGe::EntityId entType) const override {
    return entType == AcGe::kLineSeg2d || AcGeLinearEnt2d::isKindOf(entType);
  }
  AcGeEntity2d* copy() const override { return new AcGeLineSeg2d(*this); }
  AcGeEntity2d& transformBy(const AcGeMatrix2d& xfm) override;
  AcGeCurve2d& reverseParam() override;

private:
  AcGePoint2d mStart;
  AcGePoint2d mEnd;
};
