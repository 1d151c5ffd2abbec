// AcGeCurve2d: a parametric 2D curve: evaluation, projection, lengths and end points.
#pragma once
#include "geent2d.h"
#include "geintrvl.h"
#include "gevc2dar.h"

// Parameter conventions of the concrete curves:
// - linear entities (AcGeLine2d, AcGeRay2d, AcGeLineSeg2d): the signed distance from the
//   base point along the unit direction; a segment runs from 0 at its start to length().
// - AcGeCircArc2d: the angle in radians from the reference vector, measured in the arc's
//   direction of travel (counter-clockwise unless isClockWise()); the range is
//   [startAng(), endAng()] with endAng() - startAng() in (0, 2pi].
class AcGeCurve2d : public AcGeEntity2d {
public:
  Adesk::Boolean isKindOf(AcGe::EntityId entType) const override {
    return entType == AcGe::kCurve2d || AcGeEntity2d::isKindOf(entType);
  }

  // Parameter range; unbounded ends for infinite curves.
  virtual void getInterval(AcGeInterval& range) const = 0;
  virtual AcGePoint2d evalPoint(double param) const = 0;
  // Point and its first numDeriv derivatives (numDeriv 0..2) with respect to the parameter.
  virtual AcGePoint2d evalPoint(double param, int numDeriv, AcGeVector2dArray& derivArray) const = 0;
  // Parameter of the point of the curve nearest to pnt.
  virtual double paramOf(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const = 0;
  virtual AcGePoint2d closestPointTo(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const = 0;
  double distanceTo(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const {
    return pnt.distanceTo(closestPointTo(pnt, tol));
  }
  // On the curve when the closest point is within tol.equalPoint().
  Adesk::Boolean isOn(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const override {
    return distanceTo(pnt, tol) <= tol.equalPoint();
  }
  Adesk::Boolean isOn(const AcGePoint2d& pnt, double& param, const AcGeTol& tol = AcGeContext::gTol) const;
  // Arc length between two parameters (order does not matter).
  virtual double length(double fromParam, double toParam, const AcGeTol& tol = AcGeContext::gTol) const = 0;
  // Parameter reached after walking length from datumParam (forwards or backwards).
  virtual double paramAtLength(double datumParam, double length, Adesk::Boolean posParamDir = Adesk::kTrue,
                               const AcGeTol& tol = AcGeContext::gTol) const = 0;
  virtual Adesk::Boolean hasStartPoint(AcGePoint2d& startPnt) const = 0;
  virtual Adesk::Boolean hasEndPoint(AcGePoint2d& endPnt) const = 0;
  virtual Adesk::Boolean isClosed(const AcGeTol& tol = AcGeContext::gTol) const = 0;
  // Runs the curve the other way; the point set is unchanged.
  virtual AcGeCurve2d& reverseParam() = 0;

protected:
  AcGeCurve2d() = default;
  AcGeCurve2d(const AcGeCurve2d&) = default;
  AcGeCurve2d& operator=(const AcGeCurve2d&) = default;
};
