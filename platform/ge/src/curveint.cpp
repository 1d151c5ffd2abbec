// Curve-curve intersection objects and the intersection members of lines and arcs.
#include <algorithm>
#include <cmath>

#include "contura/ge/intersect2d.h"
#include "gearc2d.h"
#include "gecint2d.h"
#include "gelent2d.h"
#include "geline2d.h"
#include "gelnsg2d.h"
#include "geray2d.h"
#include "prim2d.h"

using contura::ge::detail::IntResult;
using contura::ge::detail::intersect;
using contura::ge::detail::makePrim;
using contura::ge::detail::Prim;

// ---------------------------------------------------------------- AcGeCurveCurveInt2d

AcGeCurveCurveInt2d::AcGeCurveCurveInt2d(const AcGeCurve2d& curve1, const AcGeCurve2d& curve2, const AcGeTol& tol) {
  set(curve1, curve2, tol);
}

AcGeCurveCurveInt2d::AcGeCurveCurveInt2d(const AcGeCurveCurveInt2d& src) : AcGeEntity2d(src) { *this = src; }

AcGeCurveCurveInt2d& AcGeCurveCurveInt2d::operator=(const AcGeCurveCurveInt2d& src) {
  if (this == &src) return *this;
  mCurve1.reset(src.mCurve1 ? static_cast<AcGeCurve2d*>(src.mCurve1->copy()) : nullptr);
  mCurve2.reset(src.mCurve2 ? static_cast<AcGeCurve2d*>(src.mCurve2->copy()) : nullptr);
  mTol = src.mTol;
  mSupported = src.mSupported;
  mPoints = src.mPoints;
  mOverlaps = src.mOverlaps;
  return *this;
}

AcGeCurveCurveInt2d::~AcGeCurveCurveInt2d() = default;

AcGeCurveCurveInt2d& AcGeCurveCurveInt2d::set(const AcGeCurve2d& curve1, const AcGeCurve2d& curve2,
                                              const AcGeTol& tol) {
  mCurve1.reset(static_cast<AcGeCurve2d*>(curve1.copy()));
  mCurve2.reset(static_cast<AcGeCurve2d*>(curve2.copy()));
  mTol = tol;
  compute();
  return *this;
}

void AcGeCurveCurveInt2d::compute() {
  mPoints.clear();
  mOverlaps.clear();
  Prim a, b;
  mSupported = mCurve1 && mCurve2 && makePrim(*mCurve1, false, a) && makePrim(*mCurve2, false, b);
  if (!mSupported) return;
  IntResult r;
  intersect(a, b, mTol.equalPoint(), r);
  for (int i = 0; i < r.numHits; ++i)
    mPoints.push_back({r.hits[i].point, r.hits[i].t1, r.hits[i].t2, r.hits[i].tangent});
  for (int i = 0; i < r.numOverlaps; ++i) {
    const auto& o = r.overlaps[i];
    mOverlaps.push_back({o.lo1, o.hi1, o.lo2, o.hi2});
  }
}

AcGePoint2d AcGeCurveCurveInt2d::intPoint(int intNum) const {
  if (intNum < 0 || intNum >= numIntPoints()) return AcGePoint2d::kOrigin;
  return mPoints[static_cast<size_t>(intNum)].point;
}

void AcGeCurveCurveInt2d::getIntParams(int intNum, double& param1, double& param2) const {
  if (intNum < 0 || intNum >= numIntPoints()) {
    param1 = param2 = 0.0;
    return;
  }
  param1 = mPoints[static_cast<size_t>(intNum)].param1;
  param2 = mPoints[static_cast<size_t>(intNum)].param2;
}

Adesk::Boolean AcGeCurveCurveInt2d::isTangential(int intNum) const {
  return intNum >= 0 && intNum < numIntPoints() && mPoints[static_cast<size_t>(intNum)].tangent;
}

void AcGeCurveCurveInt2d::getOverlapRanges(int overlapNum, AcGeInterval& range1, AcGeInterval& range2) const {
  if (overlapNum < 0 || overlapNum >= overlapCount()) {
    range1.set();
    range2.set();
    return;
  }
  const Overlap& o = mOverlaps[static_cast<size_t>(overlapNum)];
  range1.set(o.lo1, o.hi1);
  range2.set(o.lo2, o.hi2);
}

Adesk::Boolean AcGeCurveCurveInt2d::isEqualTo(const AcGeEntity2d& ent, const AcGeTol& tol) const {
  if (ent.type() != AcGe::kCurveCurveInt2d) return false;
  const auto& o = static_cast<const AcGeCurveCurveInt2d&>(ent);
  if (!mCurve1 || !o.mCurve1) return !mCurve1 && !o.mCurve1;
  return mCurve1->isEqualTo(*o.mCurve1, tol) && mCurve2->isEqualTo(*o.mCurve2, tol);
}

Adesk::Boolean AcGeCurveCurveInt2d::isOn(const AcGePoint2d& pnt, const AcGeTol& tol) const {
  for (const Hit& h : mPoints)
    if (h.point.isEqualTo(pnt, tol)) return true;
  return false;
}

AcGeEntity2d& AcGeCurveCurveInt2d::transformBy(const AcGeMatrix2d& xfm) {
  if (mCurve1) mCurve1->transformBy(xfm);
  if (mCurve2) mCurve2->transformBy(xfm);
  compute();
  return *this;
}

// ---------------------------------------------------------------- members of lines and arcs

Adesk::Boolean AcGeLinearEnt2d::intersectWith(const AcGeLinearEnt2d& line, AcGePoint2d& intPnt,
                                              const AcGeTol& tol) const {
  Prim a, b;
  if (!makePrim(*this, false, a) || !makePrim(line, false, b)) return false;
  IntResult r;
  intersect(a, b, tol.equalPoint(), r);
  // A colinear touch (flagged tangent) is not a crossing of two lines.
  if (r.numHits != 1 || r.numOverlaps != 0 || r.hits[0].tangent) return false;
  intPnt = r.hits[0].point;
  return true;
}

Adesk::Boolean AcGeLinearEnt2d::overlap(const AcGeLinearEnt2d& line, AcGeLinearEnt2d*& overlap,
                                        const AcGeTol& tol) const {
  overlap = nullptr;
  Prim a, b;
  if (!makePrim(*this, false, a) || !makePrim(line, false, b)) return false;
  if (a.kind != Prim::kLinear || b.kind != Prim::kLinear) return false;
  IntResult r;
  intersect(a, b, tol.equalPoint(), r);
  if (r.numOverlaps == 0) return false;
  const auto& o = r.overlaps[0];
  const bool lo = std::isfinite(o.lo1), hi = std::isfinite(o.hi1);
  if (lo && hi) {
    overlap = new AcGeLineSeg2d(evalPoint(o.lo1), evalPoint(o.hi1));
  } else if (lo) {
    overlap = new AcGeRay2d(evalPoint(o.lo1), mDir);
  } else if (hi) {
    overlap = new AcGeRay2d(evalPoint(o.hi1), -mDir);
  } else {
    overlap = new AcGeLine2d(mBase, mDir);
  }
  return true;
}

static Adesk::Boolean arcHits(const AcGeCurve2d& self, const AcGeCurve2d& other, int& intn, AcGePoint2d& p1,
                              AcGePoint2d& p2, const AcGeTol& tol) {
  intn = 0;
  Prim a, b;
  if (!makePrim(self, false, a) || !makePrim(other, false, b)) return false;
  IntResult r;
  intersect(a, b, tol.equalPoint(), r);
  intn = std::min(r.numHits, 2);
  if (intn > 0) p1 = r.hits[0].point;
  if (intn > 1) p2 = r.hits[1].point;
  return intn > 0;
}

Adesk::Boolean AcGeCircArc2d::intersectWith(const AcGeLinearEnt2d& line, int& intn, AcGePoint2d& p1,
                                            AcGePoint2d& p2, const AcGeTol& tol) const {
  return arcHits(*this, line, intn, p1, p2, tol);
}

Adesk::Boolean AcGeCircArc2d::intersectWith(const AcGeCircArc2d& arc, int& intn, AcGePoint2d& p1,
                                            AcGePoint2d& p2, const AcGeTol& tol) const {
  return arcHits(*this, arc, intn, p1, p2, tol);
}

// ---------------------------------------------------------------- extension modes

namespace contura::ge {

static bool prepare(const AcGeCurve2d& curve, const AcGeCurve2d& arg, Extend mode, Prim& a, Prim& b) {
  const int m = static_cast<int>(mode);
  if (m < 0 || m > 3) return false;
  const bool extendThis = m == 1 || m == 3, extendArg = m == 2 || m == 3;
  return makePrim(curve, extendThis, a) && makePrim(arg, extendArg, b);
}

Acad::ErrorStatus intersectCurves(const AcGeCurve2d& curve, const AcGeCurve2d& arg, Extend mode,
                                  AcGePoint2dArray& points, const AcGeTol& tol) {
  Prim a, b;
  if (!prepare(curve, arg, mode, a, b)) return Acad::eInvalidInput;
  IntResult r;
  intersect(a, b, tol.equalPoint(), r);
  for (int i = 0; i < r.numHits; ++i) points.append(r.hits[i].point);
  return Acad::eOk;
}

int countIntersections(const AcGeCurve2d& curve, const AcGeCurve2d& arg, Extend mode, const AcGeTol& tol) {
  Prim a, b;
  if (!prepare(curve, arg, mode, a, b)) return 0;
  IntResult r;
  intersect(a, b, tol.equalPoint(), r);
  return r.numHits;
}

}  // namespace contura::ge
