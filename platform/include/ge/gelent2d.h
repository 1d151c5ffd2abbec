// AcGeLinearEnt2d: base of lines, rays and segments: a base point, a unit direction, bounds.
#pragma once
#include "gecurv2d.h"

class AcGeLine2d;

// Parameter = signed distance from pointOnLine() along direction(). A linear entity with a
// zero direction (a segment whose ends coincide) is a single point at parameter 0.
class AcGeLinearEnt2d : public AcGeCurve2d {
public:
  Adesk::Boolean isKindOf(AcGe::EntityId entType) const override {
    return entType == AcGe::kLinearEnt2d || AcGeCurve2d::isKindOf(entType);
  }

  AcGePoint2d pointOnLine() const { return mBase; }
  // Unit direction (zero for a degenerate segment).
  AcGeVector2d direction() const { return mDir; }
  void getLine(AcGeLine2d& line) const;
  // The line through pnt perpendicular to this one.
  void getPerpLine(const AcGePoint2d& pnt, AcGeLine2d& perpLine) const;

  Adesk::Boolean isParallelTo(const AcGeLinearEnt2d& line, const AcGeTol& tol = AcGeContext::gTol) const;
  Adesk::Boolean isPerpendicularTo(const AcGeLinearEnt2d& line, const AcGeTol& tol = AcGeContext::gTol) const;
  // Parallel and on one infinite line (the other's base point within tol.equalPoint()).
  Adesk::Boolean isColinearTo(const AcGeLinearEnt2d& line, const AcGeTol& tol = AcGeContext::gTol) const;
  // The single crossing point of the two bounded entities; false when they do not meet,
  // are parallel, or are colinear (an overlap is not a crossing: see overlap()).
  Adesk::Boolean intersectWith(const AcGeLinearEnt2d& line, AcGePoint2d& intPnt,
                               const AcGeTol& tol = AcGeContext::gTol) const;
  // The common part of two colinear entities as a new entity the caller deletes (a segment,
  // ray or line as the bounds require); false, with overlap set to nullptr, when they are not
  // colinear or share no more than a point.
  Adesk::Boolean overlap(const AcGeLinearEnt2d& line, AcGeLinearEnt2d*& overlap,
                         const AcGeTol& tol = AcGeContext::gTol) const;

  void getInterval(AcGeInterval& range) const override;
  AcGePoint2d evalPoint(double param) const override;
  AcGePoint2d evalPoint(double param, int numDeriv, AcGeVector2dArray& derivArray) const override;
  double paramOf(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const override;
  AcGePoint2d closestPointTo(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const override;
  double length(double fromParam, double toParam, const AcGeTol& tol = AcGeContext::gTol) const override;
  double paramAtLength(double datumParam, double length, Adesk::Boolean posParamDir = Adesk::kTrue,
                       const AcGeTol& tol = AcGeContext::gTol) const override;
  Adesk::Boolean hasStartPoint(AcGePoint2d& startPnt) const override;
  Adesk::Boolean hasEndPoint(AcGePoint2d& endPnt) const override;
  Adesk::Boolean isClosed(const AcGeTol& tol = AcGeContext::gTol) const override;
  Adesk::Boolean isEqualTo(const AcGeEntity2d& ent, const AcGeTol& tol = AcGeContext::gTol) const override;

  // Internal representation shared with the intersection code: bounds in parameter space.
  bool boundedBelow() const { return mHasLower; }
  bool boundedAbove() const { return mHasUpper; }
  double lowerParam() const { return mLower; }
  double upperParam() const { return mUpper; }

protected:
  AcGeLinearEnt2d() = default;
  AcGeLinearEnt2d(const AcGeLinearEnt2d&) = default;
  AcGeLinearEnt2d& operator=(const AcGeLinearEnt2d&) = default;
  // Clamps a parameter to the bounds.
  double clampParam(double t) const;

  AcGePoint2d mBase;
  AcGeVector2d mDir{1.0, 0.0};
  double mLower = 0.0;
  double mUpper = 0.0;
  bool mHasLower = false;
  bool mHasUpper = false;
};
