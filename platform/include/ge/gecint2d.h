// AcGeCurveCurveInt2d: the intersection points and overlaps of two 2D lines, rays, segments or arcs.
#pragma once
#include <memory>
#include <vector>

#include "gecurv2d.h"

// Rules:
// - Curves are taken as they are: to extend a segment or an arc, pass its infinite line or
//   full circle (see contura/ge/intersect2d.h for the four extension modes).
// - A crossing or touching point is reported once, with its parameter on each curve, sorted
//   by the parameter on curve1. A point within tol.equalPoint() of an end of either curve
//   counts as on that curve and is moved exactly onto that end.
// - Tangency (line touching a circle, circles touching) within tol.equalPoint() gives one
//   point.
// - Colinear linear entities and arcs on one circle have overlaps instead of crossings: each
//   common piece longer than tol.equalPoint() is an overlap range; a common piece no longer
//   than that (the curves touch end to end) is an intersection point. Overlap ends are not
//   intersection points.
// - Only line, ray, segment and arc are supported; any other curve gives no result and
//   isSupported() false.
class AcGeCurveCurveInt2d : public AcGeEntity2d {
public:
  AcGeCurveCurveInt2d() = default;
  AcGeCurveCurveInt2d(const AcGeCurve2d& curve1, const AcGeCurve2d& curve2,
                      const AcGeTol& tol = AcGeContext::gTol);
  AcGeCurveCurveInt2d(const AcGeCurveCurveInt2d& src);
  AcGeCurveCurveInt2d& operator=(const AcGeCurveCurveInt2d& src);
  ~AcGeCurveCurveInt2d() override;

  AcGeCurveCurveInt2d& set(const AcGeCurve2d& curve1, const AcGeCurve2d& curve2,
                           const AcGeTol& tol = AcGeContext::gTol);

  const AcGeCurve2d* curve1() const { return mCurve1.get(); }
  const AcGeCurve2d* curve2() const { return mCurve2.get(); }
  AcGeTol tolerance() const { return mTol; }
  bool isSupported() const { return mSupported; }

  int numIntPoints() const { return static_cast<int>(mPoints.size()); }
  // Index outside [0, numIntPoints()) gives the origin and parameters 0.
  AcGePoint2d intPoint(int intNum) const;
  void getIntParams(int intNum, double& param1, double& param2) const;
  // True when the curves touch without crossing at that point (tangency).
  Adesk::Boolean isTangential(int intNum) const;
  Adesk::Boolean isTransversal(int intNum) const { return intNum >= 0 && intNum < numIntPoints() && !isTangential(intNum); }

  int overlapCount() const { return static_cast<int>(mOverlaps.size()); }
  // Parameter ranges of overlap overlapNum on each curve (range2 may run against curve2's
  // direction of travel, then its bounds are still given low to high).
  void getOverlapRanges(int overlapNum, AcGeInterval& range1, AcGeInterval& range2) const;

  AcGe::EntityId type() const override { return AcGe::kCurveCurveInt2d; }
  Adesk::Boolean isKindOf(AcGe::EntityId entType) const override {
    return entType == AcGe::kCurveCurveInt2d || AcGeEntity2d::isKindOf(entType);
  }
  AcGeEntity2d* copy() const override { return new AcGeCurveCurveInt2d(*this); }
  Adesk::Boolean isEqualTo(const AcGeEntity2d& ent, const AcGeTol& tol = AcGeContext::gTol) const override;
  Adesk::Boolean isOn(const AcGePoint2d& pnt, const AcGeTol& tol = AcGeContext::gTol) const override;
  // Transforms both curves and recomputes.
  AcGeEntity2d& transformBy(const AcGeMatrix2d& xfm) override;

  struct Hit {
    AcGePoint2d point;
    double param1 = 0.0;
    double param2 = 0.0;
    bool tangent = false;
  };
  struct Overlap {
    double lo1 = 0.0, hi1 = 0.0, lo2 = 0.0, hi2 = 0.0;
  };

private:
  void compute();

  std::unique_ptr<AcGeCurve2d> mCurve1;  // own copies of the curves
  std::unique_ptr<AcGeCurve2d> mCurve2;
  AcGeTol mTol;
  bool mSupported = false;
  std::vector<Hit> mPoints;
  std::vector<Overlap> mOverlaps;
};
